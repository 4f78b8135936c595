#include "graphics/SurfaceContent.h"

#include "graphics/DDrawSurface.h"

#include <bit>
#include <cstring>

namespace {
bool ReadFormat(IDirectDrawSurface* surface, DDPIXELFORMAT* format) {
    *format = DDPIXELFORMAT{};
    format->dwSize = sizeof *format;
    return surface && surface->GetPixelFormat(format) == DD_OK;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask;
}

DWORD BytesPerPixel(const DDPIXELFORMAT& format) {
    return format.dwRGBBitCount / 8;
}

// A stored pixel of 2 to 4 bytes as a little-endian value.
DWORD LoadPixel(const BYTE* p, DWORD bytes) {
    DWORD value = 0;
    for (DWORD i = 0; i < bytes && i < 4; ++i)
        value |= static_cast<DWORD>(p[i]) << (8 * i);
    return value;
}

// `rows` rows of `row` bytes each, between buffers of their own pitch.
void CopyRows(BYTE* to, std::size_t toPitch, const BYTE* from, std::size_t fromPitch, std::size_t row,
              DWORD rows) {
    for (DWORD y = 0; y < rows; ++y)
        std::memcpy(to + y * toPitch, from + y * fromPitch, row);
}

// One channel of a pixel scaled to eight bits.
BYTE Channel(DWORD pixel, DWORD mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const DWORD max = mask >> shift;
    return static_cast<BYTE>((((pixel & mask) >> shift) * 255 + max / 2) / max);
}

// Locks the whole surface and hands its rows to `use`; false when it cannot be locked.
template <typename Use> bool WithPixels(IDirectDrawSurface* surface, DWORD flags, Use use) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->Lock(nullptr, &desc, flags | DDLOCK_WAIT, nullptr) != DD_OK) return false;
    use(desc);
    surface->Unlock(nullptr);
    return true;
}
} // namespace

bool CSurfaceContent::Keep(const CDDrawSurface* wrapper) {
    Clear();
    IDirectDrawSurface* surface = wrapper ? wrapper->GetSurface() : nullptr;
    DDPIXELFORMAT format;
    if (!ReadFormat(surface, &format) || BytesPerPixel(format) == 0) return false;
    const bool read = WithPixels(surface, DDLOCK_READONLY, [&](const DDSURFACEDESC& desc) {
        const std::size_t row = static_cast<std::size_t>(desc.dwWidth) * BytesPerPixel(format);
        m_Pixels.resize(row * desc.dwHeight);
        CopyRows(m_Pixels.data(), row, static_cast<const BYTE*>(desc.lpSurface), desc.lPitch, row,
                 desc.dwHeight);
        m_Width = desc.dwWidth;
        m_Height = desc.dwHeight;
    });
    if (!read || m_Pixels.empty()) {
        Clear();
        return false;
    }
    m_Format = format;
    DDCOLORKEY key{};
    m_bKeyed = wrapper->GetBltFlags() == kKeyedBltFlags && surface->GetColorKey(DDCKEY_SRCBLT, &key) == DD_OK;
    m_Key = key.dwColorSpaceLowValue;
    return true;
}

bool CSurfaceContent::Fits(const CDDrawSurface* wrapper) const {
    IDirectDrawSurface* surface = wrapper ? wrapper->GetSurface() : nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    DDPIXELFORMAT format;
    return !IsEmpty() && ReadFormat(surface, &format) && SameFormat(format, m_Format) &&
           surface->GetSurfaceDesc(&desc) == DD_OK && desc.dwWidth == m_Width && desc.dwHeight == m_Height;
}

bool CSurfaceContent::PutBack(CDDrawSurface* wrapper) const {
    IDirectDrawSurface* surface = wrapper ? wrapper->GetSurface() : nullptr;
    if (IsEmpty() || !surface) return false;
    const bool fits = Fits(wrapper);
    const std::size_t row = static_cast<std::size_t>(m_Width) * BytesPerPixel(m_Format);
    const bool put = fits ? WithPixels(surface, DDLOCK_WRITEONLY,
                                       [&](const DDSURFACEDESC& desc) {
                                           CopyRows(static_cast<BYTE*>(desc.lpSurface), desc.lPitch,
                                                    m_Pixels.data(), row, row, m_Height);
                                       })
                          : Convert(surface);
    if (put && m_bKeyed) wrapper->SetColorKeyValue(KeyFor(surface, !fits));
    return put;
}

DWORD CSurfaceContent::KeyFor(IDirectDrawSurface* surface, bool converted) const {
    if (!converted) return m_Key;
    // The converted key is what a pixel of the key colour became, so that the two still match.
    const DWORD bytes = BytesPerPixel(m_Format);
    for (std::size_t at = 0; at + bytes <= m_Pixels.size(); at += bytes) {
        if (LoadPixel(&m_Pixels[at], bytes) != m_Key) continue;
        const std::size_t index = at / bytes;
        DWORD value = 0;
        WithPixels(surface, DDLOCK_READONLY, [&](const DDSURFACEDESC& desc) {
            const DWORD newBytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
            value = LoadPixel(static_cast<const BYTE*>(desc.lpSurface) + (index / m_Width) * desc.lPitch +
                                  (index % m_Width) * newBytes,
                              newBytes);
        });
        return value;
    }
    // No pixel shows the key: any value keys nothing that is there.
    return m_Key;
}

bool CSurfaceContent::Convert(IDirectDrawSurface* surface) const {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->GetSurfaceDesc(&desc) != DD_OK || desc.dwWidth != m_Width || desc.dwHeight != m_Height)
        return false;
    // Through bottom-up rows of blue, green and red at full eight bits, so that white stays white.
    const DWORD bytes = BytesPerPixel(m_Format);
    const std::size_t row = static_cast<std::size_t>(m_Width) * bytes;
    std::vector<BYTE> dib(static_cast<std::size_t>(m_Width) * m_Height * 3);
    for (DWORD y = 0; y < m_Height; ++y) {
        const BYTE* s = &m_Pixels[y * row];
        BYTE* d = &dib[(m_Height - 1 - y) * static_cast<std::size_t>(m_Width) * 3];
        for (DWORD x = 0; x < m_Width; ++x, s += bytes, d += 3) {
            const DWORD pixel = LoadPixel(s, bytes);
            d[0] = Channel(pixel, m_Format.dwBBitMask);
            d[1] = Channel(pixel, m_Format.dwGBitMask);
            d[2] = Channel(pixel, m_Format.dwRBitMask);
        }
    }
    return CopyDibToSurface(surface, dib.data(), static_cast<int>(m_Width), static_cast<int>(m_Height),
                            nullptr);
}

void CSurfaceContent::Clear() {
    m_Pixels.clear();
    m_Pixels.shrink_to_fit();
    m_Width = m_Height = 0;
    m_Format = DDPIXELFORMAT{};
    m_bKeyed = false;
    m_Key = 0;
}
