// The vector forms of the cross-fade blend and the mask-wipe scan, one per processor level, and the
// choice among them at each call. The bodies are in TransitionPixelsLevel.h, compiled here once per
// level with that level's target, so the program still runs on a processor with SSE2 alone.
#include "graphics/TransitionFadePixels.h"
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionPixelsLanes.h"
#include "platform/cpu.h"

#include <cstddef>

#if defined(__SSE2__)

namespace transition {
namespace {
namespace sse2 {
using L = lanes::Sse2;
#define QUORIN_LEVEL
#include "graphics/TransitionPixelsLevel.h"
#undef QUORIN_LEVEL
} // namespace sse2

// Only the 24-bit wipe gains from byte shuffles; the other routines run their SSE2 form at this level.
namespace ssse3 {
using L = lanes::Ssse3;
#define QUORIN_LEVEL __attribute__((target("ssse3")))
#include "graphics/TransitionPixelsLevel.h"
#undef QUORIN_LEVEL
} // namespace ssse3

// 24-bit pixels do not fill 32-byte lanes evenly; the 24-bit wipe runs its SSSE3 form at this level.
namespace avx2 {
using L = lanes::Avx2;
#define QUORIN_LEVEL __attribute__((target("avx2,popcnt")))
#define QUORIN_LEVEL_POPCNT
#include "graphics/TransitionPixelsLevel.h"
#undef QUORIN_LEVEL_POPCNT
#undef QUORIN_LEVEL
} // namespace avx2

bool AtLeast(platform::SimdLevel level) {
    return platform::GetSimdLevel() >= level;
}

template <int Format> int ScanAtLevel(const PixelArea& area, MaskScan& scan) {
    if constexpr (Format == kFormat24) {
        return AtLeast(platform::SimdLevel::Ssse3) ? ssse3::ScanArea<Format>(area, scan)
                                                   : sse2::ScanArea<Format>(area, scan);
    } else {
        return AtLeast(platform::SimdLevel::Avx2) ? avx2::ScanArea<Format>(area, scan)
                                                  : sse2::ScanArea<Format>(area, scan);
    }
}
} // namespace

void BlendSimd(int format, const PixelArea& area, int alpha) {
    if (area.width <= 0) return;
    if (AtLeast(platform::SimdLevel::Avx2))
        avx2::FadeArea(format, area, alpha);
    else
        sse2::FadeArea(format, area, alpha);
}

int ScanMaskSimd(int format, const PixelArea& area, MaskScan& scan) {
    switch (format) {
    case kFormat15:
        return ScanAtLevel<kFormat15>(area, scan);
    case kFormat16:
        return ScanAtLevel<kFormat16>(area, scan);
    case kFormat24:
        return ScanAtLevel<kFormat24>(area, scan);
    case kFormat32:
        return ScanAtLevel<kFormat32>(area, scan);
    default:
        return 0;
    }
}
} // namespace transition

#else

namespace transition {
void BlendSimd(int format, const PixelArea& area, int alpha) {
    BlendSimdTwin(format, area, alpha);
}
int ScanMaskSimd(int format, const PixelArea& area, MaskScan& scan) {
    return ScanMaskSimdTwin(format, area, scan);
}
} // namespace transition

#endif
