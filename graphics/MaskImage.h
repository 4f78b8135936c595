// 8-bit mask images: a 1040-byte header, then width x height bytes, top row first, rows not padded.
// Region masks (a byte is a region number) and transition rule masks (a byte is a threshold level)
// share the layout.
#pragma once

#include "platform/base.h"

#include <cstddef>

struct MaskImageHeader {
    DWORD totalSize; // header included
    DWORD width;
    DWORD height;
    DWORD reserved;
    DWORD valueCounts[256]; // pixels holding each value
};
static_assert(sizeof(MaskImageHeader) == 1040, "the header is a file layout");

inline constexpr std::size_t kMaskImageHeaderSize = sizeof(MaskImageHeader);

// Reads the little-endian header from the first 1040 bytes of data; false when fewer are given.
bool ReadMaskImageHeader(const void* data, std::size_t size, MaskImageHeader* out);

// True when the header and the width x height pixels behind it (counted without wrapping) lie within
// the `size` bytes at hand. The header's total is not read: region masks keep their packed length
// there. Counts are not checked.
bool IsMaskImageWhole(const void* image, std::size_t size);
