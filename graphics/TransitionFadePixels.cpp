#include "graphics/TransitionFadePixels.h"

#include <cstddef>

namespace transition {
namespace {
// Blends one row; byte3 says whether byte 3 of 32-bit pixels is blended (vector path) or written as 0.
void BlendRow(int format, const BYTE* a, const BYTE* b, BYTE* d, int width, int alpha, bool byte3,
              const ColorKey* key) {
    const int bpp = BytesPerPixel(format);
    for (int x = 0; x < width; ++x, a += bpp, b += bpp, d += bpp) {
        if (key && IsKeyPixel(format, b, *key)) continue;
        switch (format) {
        case kFormat24:
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
            break;
        case kFormat32:
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
            d[3] = byte3 ? static_cast<BYTE>(BlendChannel(a[3], b[3], alpha)) : 0;
            break;
        default:
            Store16(d, BlendPixel16(Load16(a), Load16(b), alpha, format));
            break;
        }
    }
}

void BlendArea(int format, const PixelArea& area, int alpha, bool byte3, const ColorKey* key) {
    for (int y = 0; y < area.height; ++y)
        BlendRow(format, area.before + std::ptrdiff_t{y} * area.beforePitch,
                 area.after + std::ptrdiff_t{y} * area.afterPitch,
                 area.draw + std::ptrdiff_t{y} * area.drawPitch, area.width, alpha, byte3, key);
}
} // namespace

void BlendPlain(int format, const PixelArea& area, int alpha) {
    BlendArea(format, area, alpha, false, nullptr);
}

void BlendKeyed(int format, const PixelArea& area, int alpha, ColorKey key) {
    BlendArea(format, area, alpha, false, &key);
}

void BlendSimdTwin(int format, const PixelArea& area, int alpha) {
    BlendArea(format, area, alpha, true, nullptr);
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
