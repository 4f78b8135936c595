#include "graphics/TransitionRuleMask.h"

#include <cstddef>
#include <cstring>

namespace transition {
void TileRuleMask(const BYTE* levels, int width, int height, BYTE* screen) {
    for (int y = 0; y < kScreenHeight; ++y) {
        const BYTE* src = levels + static_cast<std::size_t>(y % height) * static_cast<std::size_t>(width);
        BYTE* dst = screen + static_cast<std::size_t>(y) * kScreenWidth;
        for (int x = 0; x < kScreenWidth; x += width) {
            const int piece = kScreenWidth - x < width ? kScreenWidth - x : width;
            std::memcpy(dst + x, src, static_cast<std::size_t>(piece));
        }
    }
}

void CountMaskLevels(const WORD* mask, int stride, int width, int height, DWORD histogram[256]) {
    std::memset(histogram, 0, 256 * sizeof(DWORD));
    for (int y = 0; y < height; ++y) {
        const WORD* row = mask + std::ptrdiff_t{y} * stride;
        for (int x = 0; x < width; ++x)
            if (row[x] < 256) ++histogram[row[x]];
    }
}
} // namespace transition
