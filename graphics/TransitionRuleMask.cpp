#include "graphics/TransitionRuleMask.h"

#include "graphics/MaskImage.h"

#include <cstdint>

#include <cstddef>
#include <cstring>

namespace transition {
void TileMask(const BYTE* levels, int width, int height, BYTE* screen) {
    for (int y = 0; y < kScreenHeight; ++y) {
        BYTE* dst = screen + static_cast<std::size_t>(y) * kScreenWidth;
        if (y >= height) {
            // Rows repeat: take the screen row already built from the same mask row.
            std::memcpy(dst, screen + static_cast<std::size_t>(y % height) * kScreenWidth, kScreenWidth);
            continue;
        }
        const BYTE* src = levels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int filled = width < kScreenWidth ? width : kScreenWidth;
        std::memcpy(dst, src, static_cast<std::size_t>(filled));
        // Repeat across by doubling what the row already holds.
        while (filled < kScreenWidth) {
            const int piece = kScreenWidth - filled < filled ? kScreenWidth - filled : filled;
            std::memcpy(dst + filled, dst, static_cast<std::size_t>(piece));
            filled += piece;
        }
    }
}

bool LoadRuleMask(const BYTE* entry, std::size_t size, BYTE* screen) {
    MaskImageHeader header;
    if (!ReadMaskImageHeader(entry, size, &header)) return false;
    // Sizes beyond 2^30 cannot be a picture of this program and would not fit the int arithmetic below.
    if (header.width < 1 || header.height < 1 || header.width > (1u << 30) || header.height > (1u << 30))
        return false;
    const std::uint64_t expected = kMaskImageHeaderSize + static_cast<std::uint64_t>(header.width) *
                                                              static_cast<std::uint64_t>(header.height);
    if (header.totalSize != expected || expected > size) return false;
    TileMask(entry + kMaskImageHeaderSize, static_cast<int>(header.width), static_cast<int>(header.height),
             screen);
    return true;
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
