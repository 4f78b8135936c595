// Pixel pictures for the transition tests: random or solid contents in any of the four formats, with a
// pitch wider than the row, and the reference blend written from the formula.
#pragma once

#include "graphics/TransitionPixels.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace transition_test {
inline const int kFormats[] = {15, 16, 24, 32};

struct Picture {
    int format = 32;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<BYTE> bytes;

    Picture() = default;
    Picture(int fmt, int w, int h, int extraPitch = 12)
        : format(fmt), width(w), height(h), pitch(w * Bpp() + extraPitch),
          bytes(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(h > 0 ? h : 1), 0) {}

    int Bpp() const { return format == 24 ? 3 : format == 32 ? 4 : 2; }
    BYTE* At(int x, int y) { return bytes.data() + static_cast<std::size_t>(y) * pitch + x * Bpp(); }
    const BYTE* At(int x, int y) const {
        return bytes.data() + static_cast<std::size_t>(y) * pitch + x * Bpp();
    }
    std::uint32_t Pixel(int x, int y) const {
        const BYTE* p = At(x, y);
        std::uint32_t v = 0;
        for (int i = Bpp() - 1; i >= 0; --i)
            v = (v << 8) | p[i];
        return v;
    }
    void SetPixel(int x, int y, std::uint32_t v) {
        BYTE* p = At(x, y);
        for (int i = 0; i < Bpp(); ++i)
            p[i] = static_cast<BYTE>(v >> (8 * i));
    }
    // Random pixels; 15-bit pixels keep bit 15 clear as a 5-5-5 display writes them.
    void Randomise(std::uint32_t seed) {
        std::mt19937 rng(seed);
        for (auto& b : bytes)
            b = static_cast<BYTE>(rng());
        if (format == 15)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    SetPixel(x, y, Pixel(x, y) & 0x7FFF);
    }
    void Fill(std::uint32_t v) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(x, y, v);
    }
    bool SamePixels(const Picture& o) const {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Pixel(x, y) != o.Pixel(x, y)) return false;
        return true;
    }
};

// Channel c of the formula: a + floor(alpha x (b - a) / 256).
inline int RefChannel(int a, int b, int alpha) {
    return a + static_cast<int>(std::floor(alpha * (b - a) / 256.0));
}

// The blended pixel as the formats define their channels. blendByte3: the vector path's 32-bit byte 3.
inline std::uint32_t RefBlend(int format, std::uint32_t a, std::uint32_t b, int alpha,
                              bool blendByte3 = false) {
    struct Channel {
        int shift, bits;
    };
    static const Channel k15[] = {{0, 5}, {5, 5}, {10, 5}};
    static const Channel k16[] = {{0, 5}, {5, 6}, {11, 5}};
    static const Channel kBytes[] = {{0, 8}, {8, 8}, {16, 8}, {24, 8}};
    const Channel* channels = format == 15 ? k15 : format == 16 ? k16 : kBytes;
    const int count = format == 32 && blendByte3 ? 4 : 3;
    std::uint32_t out = 0;
    for (int i = 0; i < count; ++i) {
        const Channel& c = channels[i];
        const int mask = (1 << c.bits) - 1;
        const int v =
            RefChannel(static_cast<int>(a >> c.shift) & mask, static_cast<int>(b >> c.shift) & mask, alpha);
        out |= static_cast<std::uint32_t>(v) << c.shift;
    }
    return out;
}

inline transition::PixelArea Area(const Picture& before, const Picture& after, Picture& draw, int width = -1,
                                  int height = -1) {
    return transition::PixelArea{before.bytes.data(),
                                 before.pitch,
                                 after.bytes.data(),
                                 after.pitch,
                                 draw.bytes.data(),
                                 draw.pitch,
                                 width < 0 ? draw.width : width,
                                 height < 0 ? draw.height : height};
}
} // namespace transition_test
