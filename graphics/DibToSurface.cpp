// DIB pixels into surfaces: directly (CopyDibToSurface) or through GDI (BltDibToSurface, the path of
// every picture).
#include "graphics/DDrawSurface.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
// One channel of a 16-bit source pixel moved into a 16-bit surface channel of the same or a
// neighbouring width: a 5-bit value goes up one bit into a 6-bit channel, a 6-bit one loses its lowest.
DWORD MoveChannel(DWORD pixel, DWORD sourceShift, DWORD sourceMax, DWORD destShift, DWORD destMax,
                  DWORD destMask) {
    const DWORD v = (pixel >> sourceShift) & sourceMax;
    int shift = static_cast<int>(destShift);
    if (sourceMax < destMax)
        shift += 1;
    else if (sourceMax > destMax)
        shift -= 1;
    const DWORD moved = shift >= 0 ? v << shift : v >> -shift;
    return moved & destMask;
}

DWORD UpShift(DWORD max) {
    return max == 31 ? 3 : 2;
}

void Store16(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
} // namespace

bool CopyDibToSurface(IDirectDrawSurface* surface, const void* bits, int width, int height,
                      const DWORD* masks) {
    SurfacePixelFormat format;
    if (!GetSurfacePixelFormat(surface, &format)) return false;
    RgbChannelMasks destMasks{};
    if (masks && !GetSurfaceRgbMasks(surface, &destMasks)) return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    if (!bits || width <= 0 || height <= 0) {
        surface->Unlock(nullptr);
        return true;
    }

    // Rows and columns the surface does not have are left out rather than written past its end.
    const int columns = std::min<int>(width, static_cast<int>(desc.dwWidth));
    const int rows = std::min<int>(height, static_cast<int>(desc.dwHeight));
    const auto* source = static_cast<const BYTE*>(bits);
    const std::size_t sourceRow = static_cast<std::size_t>(width) * (masks ? 2 : 3);
    RgbChannelMasks sourceMasks{};
    if (masks) CalcRgbShifts(&sourceMasks, masks[0], masks[1], masks[2]);

    for (int y = 0; y < rows; ++y) {
        const BYTE* s = source + static_cast<std::size_t>(height - 1 - y) * sourceRow;
        BYTE* d = static_cast<BYTE*>(desc.lpSurface) + static_cast<std::size_t>(y) * desc.lPitch;
        switch (format.bitCount) {
        case 16:
            for (int x = 0; x < columns; ++x) {
                DWORD pixel;
                if (!masks) {
                    const BYTE b = s[x * 3], g = s[x * 3 + 1], r = s[x * 3 + 2];
                    pixel = (static_cast<DWORD>(r >> format.dropBits[2]) << format.shift[2]) |
                            (static_cast<DWORD>(g >> format.dropBits[1]) << format.shift[1]) |
                            (static_cast<DWORD>(b >> format.dropBits[0]) << format.shift[0]);
                } else {
                    const DWORD v = s[x * 2] | (s[x * 2 + 1] << 8);
                    pixel = MoveChannel(v, sourceMasks.redShift, sourceMasks.redMax, destMasks.redShift,
                                        destMasks.redMax, destMasks.redMask) |
                            MoveChannel(v, sourceMasks.greenShift, sourceMasks.greenMax, destMasks.greenShift,
                                        destMasks.greenMax, destMasks.greenMask) |
                            MoveChannel(v, sourceMasks.blueShift, sourceMasks.blueMax, destMasks.blueShift,
                                        destMasks.blueMax, destMasks.blueMask);
                }
                Store16(d + x * 2, pixel);
            }
            break;
        case 24:
        case 32: {
            const int bytes = format.bitCount / 8;
            for (int x = 0; x < columns; ++x) {
                BYTE* p = d + static_cast<std::size_t>(x) * bytes;
                if (!masks) {
                    const BYTE b = s[x * 3], g = s[x * 3 + 1], r = s[x * 3 + 2];
                    if (bytes == 3) {
                        p[0] = b;
                        p[1] = g;
                        p[2] = r;
                    } else {
                        const DWORD pixel = (static_cast<DWORD>(r) << format.shift[2]) |
                                            (static_cast<DWORD>(g) << format.shift[1]) |
                                            (static_cast<DWORD>(b) << format.shift[0]);
                        std::memcpy(p, &pixel, 4);
                    }
                } else {
                    const DWORD v = s[x * 2] | (s[x * 2 + 1] << 8);
                    p[0] = static_cast<BYTE>(((v >> sourceMasks.blueShift) & sourceMasks.blueMax)
                                             << UpShift(sourceMasks.blueMax));
                    p[1] = static_cast<BYTE>(((v >> sourceMasks.greenShift) & sourceMasks.greenMax)
                                             << UpShift(sourceMasks.greenMax));
                    p[2] = static_cast<BYTE>(((v >> sourceMasks.redShift) & sourceMasks.redMax)
                                             << UpShift(sourceMasks.redMax));
                }
            }
            break;
        }
        default:
            break; // other depths take nothing
        }
    }
    surface->Unlock(nullptr);
    return true;
}

bool AnalyseBitfieldMasks(const BITMAPINFO* info, BitfieldAnalysis* analysis) {
    if (!info || !analysis) return false;
    DWORD masks[3];
    std::memcpy(masks, reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER), sizeof masks);
    analysis->size = info->bmiHeader.biSize;
    analysis->redMask = masks[0];
    analysis->greenMask = masks[1];
    analysis->blueMask = masks[2];
    RgbChannelMasks shifts;
    CalcRgbShifts(&shifts, masks[0], masks[1], masks[2]);
    analysis->redShift = shifts.redShift;
    analysis->greenShift = shifts.greenShift;
    analysis->blueShift = shifts.blueShift;
    analysis->redUp = std::popcount(masks[0]) == 5 ? 3 : 2;
    analysis->greenUp = std::popcount(masks[1]) == 5 ? 3 : 2;
    analysis->blueUp = std::popcount(masks[2]) == 5 ? 3 : 2;
    return analysis->size == 40;
}

BYTE ConvertMaskedChannel(DWORD value, DWORD mask, DWORD shift, DWORD up) {
    return static_cast<BYTE>(((value & mask) >> shift) << up);
}

bool BltDibToSurface(IDirectDrawSurface* surface, const BITMAPINFO* info, const void* bits) {
    if (!surface || !info || !bits) return false;
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) return false;

    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int width = header.biWidth;
    const int height = std::abs(header.biHeight);
    void* sectionBits = nullptr;
    HBITMAP section = nullptr;
    if (!(header.biBitCount == 16 && header.biCompression == BI_BITFIELDS)) {
        section = CreateDIBSection(memory, info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
        if (section) {
            const std::size_t rowSize = (static_cast<std::size_t>(width) * header.biBitCount + 31) / 32 * 4;
            std::memcpy(sectionBits, bits, rowSize * height);
        }
    } else {
        BitfieldAnalysis masks;
        if (AnalyseBitfieldMasks(info, &masks)) {
            BITMAPINFO copy{};
            copy.bmiHeader = header;
            copy.bmiHeader.biSize = 40;
            copy.bmiHeader.biCompression = BI_RGB;
            copy.bmiHeader.biBitCount = 24;
            copy.bmiHeader.biSizeImage = 0;
            copy.bmiHeader.biClrUsed = 0;
            section = CreateDIBSection(memory, &copy, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
        }
        if (section) {
            const std::size_t sourceRow = static_cast<std::size_t>((width + 1) & ~1) * 2;
            const std::size_t destRow =
                (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
            const auto* s = static_cast<const BYTE*>(bits);
            auto* d = static_cast<BYTE*>(sectionBits);
            for (int y = 0; y < height; ++y) {
                const BYTE* sr = s + y * sourceRow;
                BYTE* dr = d + y * destRow;
                for (int x = 0; x < width; ++x) {
                    const DWORD v = sr[x * 2] | (sr[x * 2 + 1] << 8);
                    dr[x * 3] = ConvertMaskedChannel(v, masks.blueMask, masks.blueShift, masks.blueUp);
                    dr[x * 3 + 1] = ConvertMaskedChannel(v, masks.greenMask, masks.greenShift, masks.greenUp);
                    dr[x * 3 + 2] = ConvertMaskedChannel(v, masks.redMask, masks.redShift, masks.redUp);
                }
            }
        }
    }
    if (!section) {
        DeleteDC(memory);
        return false;
    }

    HGDIOBJ old = SelectObject(memory, section);
    HDC target = nullptr;
    BOOL copied = FALSE;
    if (surface->GetDC(&target) == DD_OK) {
        copied = StretchBlt(target, 0, 0, width, height, memory, 0, 0, width, height, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    if (target) surface->ReleaseDC(target);
    return copied != FALSE;
}
