// The pixel layouts a display and a DIB can have, and the conversions between them. Shared by the
// ddraw and gdi families and the test interface.
#pragma once

#include "platform/base.h"

#include <cstdint>

namespace platform {

enum class PixelLayout { Pal8, Rgb555, Rgb565, Rgb24, Xrgb32 };

struct PixelFormat {
    PixelLayout layout;
    int bitsPerPixel;
    DWORD redMask;
    DWORD greenMask;
    DWORD blueMask;

    int BytesPerPixel() const { return bitsPerPixel / 8; }
};

const PixelFormat& FormatOf(PixelLayout layout);
// The layout a display of that depth gets: 16 bits pick 565 unless `sixteen` says 555.
PixelLayout LayoutForDepth(int bitsPerPixel, PixelLayout sixteen = PixelLayout::Rgb565);

inline DWORD LoadPixel(const std::uint8_t* p, int bytes) {
    switch (bytes) {
    case 1:
        return p[0];
    case 2:
        return static_cast<DWORD>(p[0] | (p[1] << 8));
    case 3:
        return static_cast<DWORD>(p[0] | (p[1] << 8) | (p[2] << 16));
    default:
        return static_cast<DWORD>(p[0] | (p[1] << 8) | (p[2] << 16)) | (static_cast<DWORD>(p[3]) << 24);
    }
}

inline void StorePixel(std::uint8_t* p, int bytes, DWORD v) {
    p[0] = static_cast<std::uint8_t>(v);
    if (bytes > 1) p[1] = static_cast<std::uint8_t>(v >> 8);
    if (bytes > 2) p[2] = static_cast<std::uint8_t>(v >> 16);
    if (bytes > 3) p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The low bits a pixel of that format keeps of a raw value.
DWORD PixelValueMask(const PixelFormat& format);

// One channel of a masked pixel widened to 8 bits by repeating its top bits, as GDI reads it.
std::uint8_t ExpandChannel(DWORD pixel, DWORD mask);
// 0xRRGGBB of a raw pixel; an 8-bit pixel without a palette reads as grey.
DWORD PixelToRgb(const PixelFormat& format, DWORD pixel);
// The raw pixel of 0xRRGGBB, each channel cut to its width.
DWORD RgbToPixel(const PixelFormat& format, DWORD rgb);

} // namespace platform
