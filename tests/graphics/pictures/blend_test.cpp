// Plane blending on locked pixels: known blends of single pixels, which pixels a blend reaches, and the
// vector kernels against their plain twins.
#include "graphics/PreBlend.h"
#include "tests/graphics/SimdLevels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {
// Random pixels in rows `pitch` bytes apart, with bytes to spare after each row.
struct Pixels {
    Pixels(int w, int h, int bytesPerPixel, long extraPitch, std::uint32_t seed)
        : width(w), height(h), bpp(bytesPerPixel), pitch(w * bytesPerPixel + extraPitch),
          bytes(pitch * h + 16) {
        std::mt19937 rng(seed);
        for (auto& b : bytes)
            b = static_cast<BYTE>(rng());
    }
    PixelView View() { return PixelView{bytes.data(), pitch, width, height}; }
    DWORD Get(int x, int y) const {
        DWORD v = 0;
        std::memcpy(&v, bytes.data() + y * pitch + x * bpp, bpp);
        return v;
    }
    int width, height, bpp;
    long pitch;
    std::vector<BYTE> bytes;
};

std::vector<BYTE> RandomBytes(std::mt19937& rng, std::size_t n, unsigned below = 256) {
    std::vector<BYTE> v(n);
    for (auto& b : v)
        b = static_cast<BYTE>(rng() % below);
    return v;
}

// Weights as a picture's plane has them: runs of 16 transparent (0), opaque (16, or above it, which
// counts as 16), soft (1-15), and mixed (0-19) pixels, in turn.
std::vector<BYTE> PlaneWeights(std::mt19937& rng, std::size_t n) {
    std::vector<BYTE> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        switch (i / 16 % 4) {
        case 0:
            v[i] = 0;
            break;
        case 1:
            v[i] = static_cast<BYTE>(16 + rng() % 4);
            break;
        case 2:
            v[i] = static_cast<BYTE>(1 + rng() % 15);
            break;
        default:
            v[i] = static_cast<BYTE>(rng() % 20);
            break;
        }
    }
    return v;
}

class PlaneBlendAtLevel : public graphics_test::AtSimdLevel {};
} // namespace

TEST(PlaneBlend, AlphaEdgeValues) {
    // 24 and 32 bits: 255 over 0 with alpha 255 gives 254; 200 under 100 with 128 gives 150, with 1 199.
    BYTE t[16] = {0, 200, 200, 77}, o[16] = {255, 100, 100, 10}, s[16] = {}, a[16] = {255, 128, 1, 0};
    AlphaBlendRow24(s, t, o, a, 4);
    EXPECT_EQ(std::vector<BYTE>(s, s + 4),
              (std::vector<BYTE>{254, 150, 199, 77})); // alpha 0 keeps the target
    WORD a32[2] = {255, 0};
    BYTE t32[8] = {0, 200, 10, 20, 1, 2, 3, 4}, o32[8] = {255, 100, 10, 120, 9, 9, 9, 9}, s32[8] = {};
    AlphaBlendRow32(s32, t32, o32, a32, 2);
    // 200 + floor(-100 x 255 / 256) = 100; the fourth byte is blended too.
    EXPECT_EQ(std::vector<BYTE>(s32, s32 + 8), (std::vector<BYTE>{254, 100, 10, 119, 1, 2, 3, 4}));
    // 555: red 31 over 0 with 256 gives 31 and bit 15 stays 0.
    WORD r555[1] = {0xFC00}, z[1] = {0}, out[1] = {}, full[1] = {256};
    AlphaBlendRow16(out, z, r555, full, 1, true);
    EXPECT_EQ(out[0], 0x7C00);
}

// Alpha 0 shows the target exactly and 256 (16 bits) the picture: which pixels take part is all there is
// to see. Pixels off the target, and the bytes past each row, keep what they held.
TEST(PlaneBlend, OnlyPixelsOnTheTargetBlendAndRowsStopAtTheirWidth) {
    const struct {
        const char* name;
        int bpp, w, h, x, y;
        long extraPitch;
        WORD alpha;
    } rows[] = {
        {"AlphaBlendMatchesThePlainFormulaOnRandomData inside", 2, 23, 17, 3, 5, 10, 0},
        {"off the left and top", 3, 30, 20, -9, -4, 12, 0},
        {"off the right and bottom", 4, 30, 20, 20, 21, 0, 0},
        {"wholly off the target", 4, 5, 5, 40, 0, 0, 0},
        {"one pixel in the corner", 3, 1, 1, 36, 28, 3, 0},
        {"OnlyColumnsAndRowsOnTheTargetBlend", 4, 40, 10, -20, 25, 0, 0},
        {"SixPixelsAtSixteenBitsBlendEveryColumn", 2, 6, 2, 0, 0, 0, 256},
        {"whole rows at 16 bits", 2, 23, 17, -3, 20, 6, 256},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Pixels target(37, 29, row.bpp, 8, 11), picture(row.w, row.h, row.bpp, row.extraPitch, 12);
        Pixels shown(row.w, row.h, row.bpp, row.extraPitch, 13);
        const Pixels before = shown;
        const std::vector<WORD> words(row.w * row.h, row.alpha);
        const std::vector<BYTE> bytes(3 * row.w * row.h, static_cast<BYTE>(row.alpha));
        AlphaBlend(row.bpp, false, shown.View(), picture.View(), target.View(), row.x, row.y, words.data(),
                   bytes.data(), row.w, row.h);
        for (int r = 0; r < row.h; ++r)
            for (int k = 0; k < row.w; ++k) {
                const bool on = row.x + k >= 0 && row.x + k < 37 && row.y + r >= 0 && row.y + r < 29;
                const DWORD want = !on         ? before.Get(k, r)
                                   : row.alpha ? picture.Get(k, r)
                                               : target.Get(row.x + k, row.y + r);
                ASSERT_EQ(shown.Get(k, r), want) << k << "," << r;
            }
        for (int r = 0; r < row.h; ++r)
            for (long i = row.w * row.bpp; i < shown.pitch; ++i)
                ASSERT_EQ(shown.bytes[r * shown.pitch + i], before.bytes[r * shown.pitch + i]);
    }
}

TEST_P(PlaneBlendAtLevel, VectorAndPlainKernelsGiveTheSameBytes) {
    std::mt19937 rng(5);
    const BlendFields layouts[] = {
        {{0xF800, 11}, {0x07E0, 5}, {0x001F, 0}},              // 565
        {{0x7C00, 10}, {0x03E0, 5}, {0x001F, 0}},              // 555
        {{0xFF0000, 16}, {0x00FF00, 8}, {0x0000FF, 0}},        // 32 bits
        {{0x3FF00000, 20}, {0x000FFC00, 10}, {0x000003FF, 0}}, // 32 bits, fields that are not bytes
        {{0x0000FF, 0}, {0x00FF00, 8}, {0xFF0000, 16}},
    };
    for (int n = 0; n < 100; ++n) {
        const std::size_t size = 4 * n + 16;
        const auto t = RandomBytes(rng, size), o = RandomBytes(rng, size), a8 = RandomBytes(rng, size);
        std::vector<WORD> a16(n + 8);
        for (auto& v : a16)
            v = static_cast<WORD>(rng() % 257);
        std::vector<BYTE> s1(size), s2(size);
        AlphaBlendRow32(s1.data(), t.data(), o.data(), a16.data(), n);
        AlphaBlendRow32Plain(s2.data(), t.data(), o.data(), a16.data(), n);
        ASSERT_EQ(s1, s2) << n;
        AlphaBlendRow24(s1.data(), t.data(), o.data(), a8.data(), 3 * n);
        AlphaBlendRow24Plain(s2.data(), t.data(), o.data(), a8.data(), 3 * n);
        ASSERT_EQ(s1, s2) << n;
        for (bool is555 : {false, true}) {
            const auto* tw = reinterpret_cast<const WORD*>(t.data());
            const auto* ow = reinterpret_cast<const WORD*>(o.data());
            AlphaBlendRow16(reinterpret_cast<WORD*>(s1.data()), tw, ow, a16.data(), n, is555);
            AlphaBlendRow16Plain(reinterpret_cast<WORD*>(s2.data()), tw, ow, a16.data(), n, is555);
            ASSERT_EQ(s1, s2) << n;
        }
        // Weights at random (zeros and weights above 16 among them) and in a picture's runs.
        for (const auto& w : {RandomBytes(rng, n + 16, 20), PlaneWeights(rng, n + 16)})
            for (int li = 0; li < 5; ++li) {
                s1 = RandomBytes(rng, size);
                s2 = s1;
                WeightBlendRow(li < 2 ? 2 : 4, layouts[li], s1.data(), t.data(), o.data(), w.data(), n);
                WeightBlendRowPlain(li < 2 ? 2 : 4, layouts[li], s2.data(), t.data(), o.data(), w.data(), n);
                ASSERT_EQ(s1, s2) << "layout " << li << " n " << n;
            }
    }
}

TEST(PlaneBlend, CellFormSkipsCellsOffTheTargetTheSheetOrThePlane) {
    Pixels target(64, 48, 4, 0, 1), sheet(32, 16, 4, 0, 2), set(32, 16, 4, 0, 3);
    std::vector<WORD> alpha(32 * 16, 0);
    const RECT source{8, 4, 16, 10};
    ASSERT_TRUE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), source, 50, 30, 2, 1,
                               alpha.data(), nullptr, 32, 16));
    // Destinations not wholly on the target, sources off the sheet and plane rectangles off the plane.
    const struct {
        const char* name;
        RECT source;
        int destX, destY, planeLeft, planeTop;
    } refused[] = {
        {"past the target's right", source, 57, 30, 0, 0}, {"left of the target", source, -1, 0, 0, 0},
        {"past the target's bottom", source, 0, 43, 0, 0}, {"off the sheet", {30, 0, 34, 4}, 0, 0, 0, 0},
        {"off the plane's right", source, 0, 0, 30, 0},    {"off the plane's bottom", source, 0, 0, 0, 12}};
    for (const auto& row : refused)
        EXPECT_FALSE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), row.source, row.destX,
                                    row.destY, row.planeLeft, row.planeTop, alpha.data(), nullptr, 32, 16))
            << row.name;
}

QUORIN_AT_EVERY_SIMD_LEVEL(PlaneBlendAtLevel);
