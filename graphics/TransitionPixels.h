// What every transition pixel routine shares: the four pixel formats, the one rectangle of the three
// pictures a step works on, the colour key and the channel blend.
#pragma once

#include "platform/base.h"

#include <cstring>

namespace transition {
// 15: 16-bit 5-5-5 (bit 15 written as 0); 16: 16-bit 5-6-5; 24: three bytes; 32: four bytes, byte 3
// not a colour.
enum PixelFormat : int { kFormat15 = 15, kFormat16 = 16, kFormat24 = 24, kFormat32 = 32 };

inline int BytesPerPixel(int format) {
    return format == kFormat24 ? 3 : format == kFormat32 ? 4 : 2;
}

// The same width x height rectangle in the three pictures, each row `pitch` bytes after the one above.
// Before and draw sit at the destination origin, after at the source origin. Draw may be the before
// picture itself (the frames are then drawn in place).
struct PixelArea {
    const BYTE* before;
    LONG beforePitch;
    const BYTE* after;
    LONG afterPitch;
    BYTE* draw;
    LONG drawPitch;
    int width;
    int height;
};

// 15- and 16-bit pixels are compared whole with key16; 24- and 32-bit pixels by their low 24 bits
// with the low 24 bits of key32.
struct ColorKey {
    WORD key16;
    DWORD key32;
};

// a + floor(alpha x (b - a) / 256): the result stays between a and b; alpha 0 gives a, 256 gives b.
inline int BlendChannel(int a, int b, int alpha) {
    return a + ((alpha * (b - a)) >> 8);
}

inline WORD BlendPixel16(WORD a, WORD b, int alpha, int format) {
    const int greenBits = format == kFormat16 ? 6 : 5;
    const int redShift = 5 + greenBits;
    const int greenMax = (1 << greenBits) - 1;
    const int blue = BlendChannel(a & 31, b & 31, alpha);
    const int green = BlendChannel((a >> 5) & greenMax, (b >> 5) & greenMax, alpha);
    const int red = BlendChannel((a >> redShift) & 31, (b >> redShift) & 31, alpha);
    return static_cast<WORD>(blue | (green << 5) | (red << redShift));
}

inline WORD Load16(const BYTE* p) {
    WORD v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Store16(BYTE* p, WORD v) {
    std::memcpy(p, &v, 2);
}
inline DWORD Load24(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16);
}
inline DWORD Load32(const BYTE* p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

// Whether the after pixel at p is the key colour.
inline bool IsKeyPixel(int format, const BYTE* p, ColorKey key) {
    switch (format) {
    case kFormat24:
        return Load24(p) == (key.key32 & 0xFFFFFF);
    case kFormat32:
        return (Load32(p) & 0xFFFFFF) == (key.key32 & 0xFFFFFF);
    default:
        return Load16(p) == key.key16;
    }
}
} // namespace transition
