#include "graphics/MaskImage.h"

#include <cstdint>
#include <cstring>

namespace {
DWORD ReadU32(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}
} // namespace

bool ReadMaskImageHeader(const void* data, std::size_t size, MaskImageHeader* out) {
    if (!data || !out || size < kMaskImageHeaderSize) return false;
    const auto* p = static_cast<const unsigned char*>(data);
    out->totalSize = ReadU32(p);
    out->width = ReadU32(p + 4);
    out->height = ReadU32(p + 8);
    out->reserved = ReadU32(p + 12);
    for (int i = 0; i < 256; ++i)
        out->valueCounts[i] = ReadU32(p + 16 + 4 * i);
    return true;
}

bool IsMaskImageWhole(const void* image, std::size_t size) {
    MaskImageHeader h;
    if (!ReadMaskImageHeader(image, size, &h)) return false;
    const std::uint64_t needed =
        kMaskImageHeaderSize + static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
    return needed <= size;
}
