#include "graphics/TransitionFadePixels.h"

#include <cstddef>

namespace transition {
namespace {
// One row; Byte3 says whether byte 3 of 32-bit pixels is blended (vector path) or written as 0.
template <int Format, bool Byte3, bool Keyed>
void BlendRow(const BYTE* a, const BYTE* b, BYTE* d, int width, int alpha, ColorKey key) {
    constexpr int bpp = Format == kFormat24 ? 3 : Format == kFormat32 ? 4 : 2;
    for (int x = 0; x < width; ++x, a += bpp, b += bpp, d += bpp) {
        if (Keyed && IsKeyPixel(Format, b, key)) continue;
        if constexpr (Format == kFormat24 || Format == kFormat32) {
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
            if constexpr (Format == kFormat32)
                d[3] = Byte3 ? static_cast<BYTE>(BlendChannel(a[3], b[3], alpha)) : 0;
        } else {
            Store16(d, BlendPixel16(Load16(a), Load16(b), alpha, Format));
        }
    }
}

template <int Format, bool Byte3, bool Keyed> void BlendRows(const PixelArea& area, int alpha, ColorKey key) {
    for (int y = 0; y < area.height; ++y)
        BlendRow<Format, Byte3, Keyed>(area.before + std::ptrdiff_t{y} * area.beforePitch,
                                       area.after + std::ptrdiff_t{y} * area.afterPitch,
                                       area.draw + std::ptrdiff_t{y} * area.drawPitch, area.width, alpha,
                                       key);
}

template <bool Byte3, bool Keyed> void BlendArea(int format, const PixelArea& area, int alpha, ColorKey key) {
    switch (format) {
    case kFormat15:
        BlendRows<kFormat15, Byte3, Keyed>(area, alpha, key);
        break;
    case kFormat16:
        BlendRows<kFormat16, Byte3, Keyed>(area, alpha, key);
        break;
    case kFormat24:
        BlendRows<kFormat24, Byte3, Keyed>(area, alpha, key);
        break;
    case kFormat32:
        BlendRows<kFormat32, Byte3, Keyed>(area, alpha, key);
        break;
    }
}
} // namespace

void BlendPlain(int format, const PixelArea& area, int alpha) {
    BlendArea<false, false>(format, area, alpha, ColorKey{});
}

void BlendKeyed(int format, const PixelArea& area, int alpha, ColorKey key) {
    BlendArea<false, true>(format, area, alpha, key);
}

void BlendSimdTwin(int format, const PixelArea& area, int alpha) {
    BlendArea<true, false>(format, area, alpha, ColorKey{});
}

void CopyDitherCells(int format, const PixelArea& area, int cx, int cy, const ColorKey* key) {
    const int bpp = BytesPerPixel(format);
    for (int row = cy; row < area.height; row += 4) {
        const BYTE* src = area.after + std::ptrdiff_t{row} * area.afterPitch;
        BYTE* dst = area.draw + std::ptrdiff_t{row} * area.drawPitch;
        for (int col = cx; col < area.width; col += 4) {
            const BYTE* s = src + col * bpp;
            if (key && IsKeyPixel(format, s, *key)) continue;
            std::memcpy(dst + col * bpp, s, bpp);
        }
    }
}
} // namespace transition
