#include "platform/pixel_format.h"

#include <bit>

namespace platform {
namespace {
const PixelFormat kFormats[] = {
    {PixelLayout::Pal8, 8, 0, 0, 0},
    {PixelLayout::Rgb555, 16, 0x7C00, 0x03E0, 0x001F},
    {PixelLayout::Rgb565, 16, 0xF800, 0x07E0, 0x001F},
    {PixelLayout::Rgb24, 24, 0xFF0000, 0x00FF00, 0x0000FF},
    {PixelLayout::Xrgb32, 32, 0xFF0000, 0x00FF00, 0x0000FF},
};

DWORD PackChannel(std::uint8_t value, DWORD mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const DWORD v =
        width >= 8 ? static_cast<DWORD>(value) << (width - 8) : static_cast<DWORD>(value) >> (8 - width);
    return (v << shift) & mask;
}
} // namespace

const PixelFormat& FormatOf(PixelLayout layout) {
    return kFormats[static_cast<int>(layout)];
}

PixelLayout LayoutForDepth(int bitsPerPixel, PixelLayout sixteen) {
    switch (bitsPerPixel) {
    case 8:
        return PixelLayout::Pal8;
    case 16:
        return sixteen == PixelLayout::Rgb555 ? PixelLayout::Rgb555 : PixelLayout::Rgb565;
    case 24:
        return PixelLayout::Rgb24;
    default:
        return PixelLayout::Xrgb32;
    }
}

DWORD PixelValueMask(const PixelFormat& format) {
    return format.bitsPerPixel >= 32 ? 0xFFFFFFFFu : ((1u << format.bitsPerPixel) - 1u);
}

std::uint8_t ExpandChannel(DWORD pixel, DWORD mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    DWORD v = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<std::uint8_t>(v >> (width - 8));
    // Repeat the top bits into the low ones so that full intensity stays full (31 -> 255).
    DWORD out = 0;
    int filled = 0;
    while (filled < 8) {
        const int take = width < 8 - filled ? width : 8 - filled;
        out = (out << take) | (v >> (width - take));
        filled += take;
    }
    return static_cast<std::uint8_t>(out);
}

DWORD PixelToRgb(const PixelFormat& format, DWORD pixel) {
    if (format.layout == PixelLayout::Pal8) {
        const DWORD g = pixel & 0xFF;
        return (g << 16) | (g << 8) | g;
    }
    return (static_cast<DWORD>(ExpandChannel(pixel, format.redMask)) << 16) |
           (static_cast<DWORD>(ExpandChannel(pixel, format.greenMask)) << 8) |
           ExpandChannel(pixel, format.blueMask);
}

DWORD RgbToPixel(const PixelFormat& format, DWORD rgb) {
    const auto r = static_cast<std::uint8_t>(rgb >> 16), g = static_cast<std::uint8_t>(rgb >> 8),
               b = static_cast<std::uint8_t>(rgb);
    if (format.layout == PixelLayout::Pal8) return (r * 77u + g * 150u + b * 29u) >> 8;
    return PackChannel(r, format.redMask) | PackChannel(g, format.greenMask) |
           PackChannel(b, format.blueMask);
}

} // namespace platform
