#include "graphics/TransitionMaskPixels.h"

#include <cstddef>

namespace transition {
namespace {
void CopyPixel(int bpp, BYTE* d, const BYTE* b) {
    std::memcpy(d, b, bpp);
}

// The plain blend of one pixel: 24-bit byte by byte, 32-bit bytes 0-2 with byte 3 written as 0.
void BlendOne(int format, const BYTE* a, const BYTE* b, BYTE* d, int alpha) {
    switch (format) {
    case kFormat24:
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
        break;
    case kFormat32:
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
        d[3] = 0;
        break;
    default:
        Store16(d, BlendPixel16(Load16(a), Load16(b), alpha, format));
        break;
    }
}

enum class ScanKind { Plain, Keyed };

int Scan(int format, const PixelArea& area, MaskScan& s, ScanKind kind, ColorKey key) {
    const int bpp = BytesPerPixel(format);
    // Only the 24-bit plain scan stops once every active pixel has been handled.
    const bool bounded = kind == ScanKind::Plain && format == kFormat24;
    LONG blended = 0;
    for (int y = 0; y < area.height; ++y) {
        WORD* mask = s.mask + std::ptrdiff_t{y} * s.stride;
        WORD* alpha = s.alpha + std::ptrdiff_t{y} * s.stride;
        const BYTE* a = area.before + std::ptrdiff_t{y} * area.beforePitch;
        const BYTE* b = area.after + std::ptrdiff_t{y} * area.afterPitch;
        BYTE* d = area.draw + std::ptrdiff_t{y} * area.drawPitch;
        for (int x = 0; x < area.width; ++x, a += bpp, b += bpp, d += bpp) {
            if (mask[x] > s.level) continue;
            if (kind == ScanKind::Keyed && IsKeyPixel(format, b, key)) {
                mask[x] = kMaskFinished;
                if (--s.remaining == 0) return 1;
                continue;
            }
            const int sum = alpha[x] + s.delta;
            alpha[x] = static_cast<WORD>(sum);
            if (sum >= 256) {
                CopyPixel(bpp, d, b);
                mask[x] = kMaskFinished;
                if (--s.remaining == 0) return 1;
                if (bounded) --s.reached;
            } else {
                BlendOne(format, a, b, d, sum);
                if (bounded) ++blended;
            }
            if (bounded && blended >= s.reached) return 0;
        }
    }
    return 0;
}

// The vector path's blend of one 16- or 32-bit pixel (byte 3 blended too).
void BlendOneSimd(int format, const BYTE* a, const BYTE* b, BYTE* d, int alpha) {
    if (format == kFormat32) {
        for (int i = 0; i < 4; ++i)
            d[i] = static_cast<BYTE>(BlendChannel(a[i], b[i], alpha));
    } else {
        Store16(d, BlendPixel16(Load16(a), Load16(b), alpha, format));
    }
}
} // namespace

int ScanMaskPlain(int format, const PixelArea& area, MaskScan& scan) {
    return Scan(format, area, scan, ScanKind::Plain, ColorKey{});
}

int ScanMaskKeyed(int format, const PixelArea& area, MaskScan& scan, ColorKey key) {
    return Scan(format, area, scan, ScanKind::Keyed, key);
}

int ScanMaskGroupTwin(int format, const PixelArea& area, MaskScan& s, int y, int x0, int n) {
    WORD* mask = s.mask + std::ptrdiff_t{y} * s.stride + x0;
    WORD* alpha = s.alpha + std::ptrdiff_t{y} * s.stride + x0;
    unsigned active = 0;
    for (int i = 0; i < n; ++i) {
        if (mask[i] > s.level) continue;
        active |= 1u << i;
        const int sum = alpha[i] + s.delta;
        if (sum >= 256) {
            mask[i] = kMaskFinished;
            alpha[i] = 256;
            --s.remaining;
        } else {
            alpha[i] = static_cast<WORD>(sum);
        }
    }
    // The group that finishes the wipe is still written, so that its last frame shows every pixel done.
    if (!active) return 0;
    const int finished = s.remaining <= 0 ? 1 : 0;

    const int bpp = BytesPerPixel(format);
    const BYTE* a = area.before + std::ptrdiff_t{y} * area.beforePitch + x0 * bpp;
    const BYTE* b = area.after + std::ptrdiff_t{y} * area.afterPitch + x0 * bpp;
    BYTE* d = area.draw + std::ptrdiff_t{y} * area.drawPitch + x0 * bpp;
    if (format != kFormat24) {
        for (int i = 0; i < n; ++i)
            BlendOneSimd(format, a + i * bpp, b + i * bpp, d + i * bpp, alpha[i]);
        return finished;
    }
    // 24-bit: 8-byte parts; a byte's alpha is its pixel's, 256 entered as 255.
    const int bytes = n * 3;
    for (int part = 0; part < bytes; part += 8) {
        const int end = part + 8 < bytes ? part + 8 : bytes;
        bool touched = false;
        for (int j = part; j < end && !touched; ++j)
            touched = (active >> (j / 3)) & 1u;
        if (!touched) continue;
        for (int j = part; j < end; ++j) {
            const int pixelAlpha = alpha[j / 3] > 255 ? 255 : alpha[j / 3];
            d[j] = static_cast<BYTE>(BlendChannel(a[j], b[j], pixelAlpha));
        }
    }
    return finished;
}

int ScanMaskSimdTwin(int format, const PixelArea& area, MaskScan& scan) {
    const int group = MaskGroupSize(format);
    for (int y = 0; y < area.height; ++y)
        for (int x0 = 0; x0 < area.width; x0 += group) {
            const int n = area.width - x0 < group ? area.width - x0 : group;
            if (ScanMaskGroupTwin(format, area, scan, y, x0, n)) return 1;
        }
    return 0;
}
} // namespace transition
