// Fills and copies between software surfaces. Every RECT is checked against its surface before a
// byte moves, so no blit reads or writes outside the memory it was given.
#include "platform/ddraw_internal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {
namespace {
bool RectInside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width &&
           r.bottom <= height;
}
bool RectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// One row of a keyed 1:1 copy. Whole-word pixels choose without a branch, so that the loop stays
// fast whatever the pattern of keyed pixels.
template <typename Word>
void KeyedWords(std::uint8_t* dest, const std::uint8_t* source, int count, DWORD mask, DWORD low,
                DWORD high) {
    const DWORD span = high - low;
    for (int x = 0; x < count; ++x) {
        Word s, d;
        std::memcpy(&s, source + x * sizeof(Word), sizeof(Word));
        std::memcpy(&d, dest + x * sizeof(Word), sizeof(Word));
        const bool keyedOut = ((static_cast<DWORD>(s) & mask) - low) <= span;
        d = keyedOut ? d : s;
        std::memcpy(dest + x * sizeof(Word), &d, sizeof(Word));
    }
}

template <int Bytes>
void KeyedRow(std::uint8_t* dest, const std::uint8_t* source, int count, DWORD mask, DWORD low, DWORD high) {
    if constexpr (Bytes == 1) {
        KeyedWords<std::uint8_t>(dest, source, count, mask, low, high);
    } else if constexpr (Bytes == 2) {
        KeyedWords<std::uint16_t>(dest, source, count, mask, low, high);
    } else if constexpr (Bytes == 4) {
        KeyedWords<std::uint32_t>(dest, source, count, mask, low, high);
    } else {
        for (int x = 0; x < count; ++x, dest += Bytes, source += Bytes) {
            const DWORD v = LoadPixel(source, Bytes) & mask;
            if (v >= low && v <= high) continue;
            std::memcpy(dest, source, Bytes);
        }
    }
}

void KeyedRow(int bytes, std::uint8_t* dest, const std::uint8_t* source, int count, DWORD mask, DWORD low,
              DWORD high) {
    switch (bytes) {
    case 1:
        KeyedRow<1>(dest, source, count, mask, low, high);
        break;
    case 2:
        KeyedRow<2>(dest, source, count, mask, low, high);
        break;
    case 3:
        KeyedRow<3>(dest, source, count, mask, low, high);
        break;
    default:
        KeyedRow<4>(dest, source, count, mask, low, high);
        break;
    }
}
} // namespace

// The destination of a surface with a clipper is in screen coordinates: it moves into the window's
// client area and is cut to it, and the source loses what the destination lost.
bool SoftSurface::ClipToWindow(RECT* dest, RECT* source) const {
    POINT origin{0, 0};
    if (m_Clipper && m_Clipper->Window()) ClientToScreen(m_Clipper->Window(), &origin);
    RECT d{dest->left - origin.x, dest->top - origin.y, dest->right - origin.x, dest->bottom - origin.y};
    if (RectEmpty(d)) return false;
    const long long dw = d.right - d.left, dh = d.bottom - d.top;
    long long sw = 0, sh = 0;
    if (source) {
        sw = source->right - source->left;
        sh = source->bottom - source->top;
    }
    RECT c = d;
    c.left = std::max<LONG>(c.left, 0);
    c.top = std::max<LONG>(c.top, 0);
    c.right = std::min<LONG>(c.right, m_Width);
    c.bottom = std::min<LONG>(c.bottom, m_Height);
    if (RectEmpty(c)) return false;
    if (source) {
        RECT s = *source;
        s.left = source->left + static_cast<LONG>((c.left - d.left) * sw / dw);
        s.right = source->left + static_cast<LONG>((c.right - d.left) * sw / dw);
        s.top = source->top + static_cast<LONG>((c.top - d.top) * sh / dh);
        s.bottom = source->top + static_cast<LONG>((c.bottom - d.top) * sh / dh);
        if (RectEmpty(s)) return false;
        *source = s;
    }
    *dest = c;
    return true;
}

HRESULT SoftSurface::Blt(RECT* destRect, IDirectDrawSurface* sourceSurface, RECT* sourceRect, DWORD flags,
                         DDBLTFX* fx) {
    if (Lost()) return DDERR_SURFACELOST;
    if (Busy()) return DDERR_SURFACEBUSY;
    RECT dest = destRect ? *destRect : RECT{0, 0, m_Width, m_Height};

    if (flags & DDBLT_COLORFILL) {
        if (!fx) return DDERR_INVALIDPARAMS;
        if (m_Clipper) {
            if (!ClipToWindow(&dest, nullptr)) return DD_OK;
        } else if (!RectInside(dest, m_Width, m_Height)) {
            return DDERR_INVALIDRECT;
        }
        const HRESULT hr = Fill(dest, fx->dwFillColor);
        if (hr == DD_OK && IsPrimary()) PresentPrimary(&dest);
        return hr;
    }

    if (!sourceSurface) return DDERR_INVALIDPARAMS;
    auto* source = static_cast<SoftSurface*>(sourceSurface);
    if (source->Lost()) return DDERR_SURFACELOST;
    if (source != this && source->Busy()) return DDERR_SURFACEBUSY;
    if (source->m_Format != m_Format) return DDERR_INVALIDPIXELFORMAT;
    RECT src = sourceRect ? *sourceRect : RECT{0, 0, source->m_Width, source->m_Height};
    if (!RectInside(src, source->m_Width, source->m_Height)) return DDERR_INVALIDRECT;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !source->m_HasKey) return DDERR_NOCOLORKEY;
    if (m_Clipper) {
        if (RectEmpty(src) || !ClipToWindow(&dest, &src)) return DD_OK;
    } else {
        if (!RectInside(dest, m_Width, m_Height)) return DDERR_INVALIDRECT;
        if (RectEmpty(dest) || RectEmpty(src)) return DD_OK;
    }
    const HRESULT hr = Copy(dest, *source, src, keyed);
    if (hr == DD_OK && IsPrimary()) PresentPrimary(&dest);
    return hr;
}

HRESULT SoftSurface::Fill(RECT dest, DWORD color) {
    const int bytes = m_Format->BytesPerPixel();
    const DWORD value = color & PixelValueMask(*m_Format);
    const int width = dest.right - dest.left;
    if (width <= 0) return DD_OK;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * bytes);
    for (int x = 0; x < width; ++x)
        StorePixel(row.data() + static_cast<std::size_t>(x) * bytes, bytes, value);
    for (int y = dest.top; y < dest.bottom; ++y)
        std::memcpy(m_Memory.data() + static_cast<std::size_t>(y) * m_Pitch +
                        static_cast<std::size_t>(dest.left) * bytes,
                    row.data(), row.size());
    return DD_OK;
}

HRESULT SoftSurface::Copy(RECT dest, SoftSurface& source, RECT src, bool keyed) {
    const int bytes = m_Format->BytesPerPixel();
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    const int sw = src.right - src.left, sh = src.bottom - src.top;
    const DWORD mask = PixelValueMask(*m_Format);
    const DWORD keyLow = source.m_Key.dwColorSpaceLowValue & mask;
    const DWORD keyHigh = std::max(source.m_Key.dwColorSpaceHighValue & mask, keyLow);

    // A copy within one surface may overlap: read from a snapshot of the source rows.
    std::vector<std::uint8_t> snapshot;
    const std::uint8_t* srcBase = source.m_Memory.data();
    std::ptrdiff_t srcPitch = source.m_Pitch;
    int srcTop = src.top, srcLeft = src.left;
    if (&source == this) {
        snapshot.resize(static_cast<std::size_t>(sw) * bytes * sh);
        for (int y = 0; y < sh; ++y)
            std::memcpy(snapshot.data() + static_cast<std::size_t>(y) * sw * bytes,
                        srcBase + static_cast<std::size_t>(src.top + y) * source.m_Pitch +
                            static_cast<std::size_t>(src.left) * bytes,
                        static_cast<std::size_t>(sw) * bytes);
        srcBase = snapshot.data();
        srcPitch = static_cast<std::ptrdiff_t>(sw) * bytes;
        srcTop = srcLeft = 0;
    }

    for (int y = 0; y < dh; ++y) {
        const int sy = srcTop + (dh == sh ? y : static_cast<int>(static_cast<long long>(y) * sh / dh));
        const std::uint8_t* srow = srcBase + sy * srcPitch + static_cast<std::ptrdiff_t>(srcLeft) * bytes;
        std::uint8_t* drow = m_Memory.data() + static_cast<std::size_t>(dest.top + y) * m_Pitch +
                             static_cast<std::size_t>(dest.left) * bytes;
        if (dw == sw) {
            if (keyed)
                KeyedRow(bytes, drow, srow, dw, mask, keyLow, keyHigh);
            else
                std::memcpy(drow, srow, static_cast<std::size_t>(dw) * bytes);
            continue;
        }
        for (int x = 0; x < dw; ++x) {
            const int sx = dw == sw ? x : static_cast<int>(static_cast<long long>(x) * sw / dw);
            const std::uint8_t* sp = srow + static_cast<std::ptrdiff_t>(sx) * bytes;
            if (keyed) {
                const DWORD v = LoadPixel(sp, bytes) & mask;
                if (v >= keyLow && v <= keyHigh) continue;
            }
            std::memcpy(drow + static_cast<std::ptrdiff_t>(x) * bytes, sp, static_cast<std::size_t>(bytes));
        }
    }
    return DD_OK;
}

} // namespace platform
