#include "graphics/PreBlend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {
struct Pixels {
    Pixels(int w, int h, int bytesPerPixel, long extraPitch = 0, std::uint32_t seed = 1)
        : width(w), height(h), bpp(bytesPerPixel), pitch(w * bytesPerPixel + extraPitch),
          bytes(pitch * h + 16) {
        std::mt19937 rng(seed);
        for (auto& b : bytes)
            b = static_cast<BYTE>(rng());
    }
    PixelView View() { return PixelView{bytes.data(), pitch, width, height}; }
    BYTE* At(int x, int y) { return bytes.data() + y * pitch + x * bpp; }
    DWORD Get(int x, int y) {
        DWORD v = 0;
        std::memcpy(&v, At(x, y), bpp);
        return v;
    }
    void Set(int x, int y, DWORD v) { std::memcpy(At(x, y), &v, bpp); }
    int width, height, bpp;
    long pitch;
    std::vector<BYTE> bytes;
};

int Floor256(int v) {
    return v >= 0 ? v / 256 : -((-v + 255) / 256);
}
int Ref(int t, int o, int a) {
    return t + Floor256((o - t) * a);
}

DWORD RefPixel(int bpp, bool is555, DWORD t, DWORD o, const int* a) {
    DWORD out = 0;
    if (bpp == 2) {
        const int rs = is555 ? 10 : 11, gm = is555 ? 31 : 63;
        out |= Ref((t >> rs) & 31, (o >> rs) & 31, a[0]) << rs;
        out |= Ref((t >> 5) & gm, (o >> 5) & gm, a[0]) << 5;
        out |= Ref(t & 31, o & 31, a[0]);
        return out;
    }
    for (int c = 0; c < bpp; ++c)
        out |= static_cast<DWORD>(Ref((t >> (8 * c)) & 255, (o >> (8 * c)) & 255, a[bpp == 3 ? c : 0]))
               << (8 * c);
    return out;
}

struct Plane {
    std::vector<WORD> words;
    std::vector<BYTE> bytes;
};
// Alpha values as a layer prepares them: words 0..256 at 16 bits (255 stored as 256), 0..255 at 32,
// tripled bytes at 24.
Plane MakePlane(int bpp, int w, int h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Plane p;
    for (int i = 0; i < w * h; ++i) {
        int v = static_cast<int>(rng() % 256);
        if (i % 7 == 0) v = 0;
        if (i % 11 == 0) v = 255;
        if (bpp == 3) {
            for (int c = 0; c < 3; ++c)
                p.bytes.push_back(static_cast<BYTE>(v));
        } else {
            p.words.push_back(static_cast<WORD>(bpp == 2 && v == 255 ? 256 : v));
        }
    }
    return p;
}

void ExpectAlphaBlend(int bpp, bool is555, int w, int h, int x, int y, long extraPitch) {
    SCOPED_TRACE(::testing::Message() << "bpp " << bpp << (is555 ? " 555" : "") << " " << w << "x" << h
                                      << " at " << x << "," << y << " extra pitch " << extraPitch);
    Pixels target(37, 29, bpp, 8, 11), picture(w, h, bpp, extraPitch, 12), shown(w, h, bpp, extraPitch, 13);
    const Pixels before = shown;
    const Plane plane = MakePlane(bpp, w, h, 14);
    AlphaBlend(bpp, is555, shown.View(), picture.View(), target.View(), x, y, plane.words.data(),
               plane.bytes.data(), w, h);
    for (int r = 0; r < h; ++r)
        for (int k = 0; k < w; ++k) {
            const bool on = x + k >= 0 && x + k < target.width && y + r >= 0 && y + r < target.height;
            Pixels& b = const_cast<Pixels&>(before);
            if (!on) {
                ASSERT_EQ(shown.Get(k, r), b.Get(k, r)) << k << "," << r;
                continue;
            }
            int a[3];
            for (int c = 0; c < 3; ++c)
                a[c] = bpp == 3 ? plane.bytes[3 * (r * w + k) + c] : plane.words[r * w + k];
            const DWORD want = RefPixel(bpp, is555, target.Get(x + k, y + r), picture.Get(k, r), a);
            ASSERT_EQ(shown.Get(k, r), want) << k << "," << r;
        }
    // Bytes between the rows (the pitch beyond the width) are never written.
    for (int r = 0; r < h; ++r)
        for (long i = w * bpp; i < shown.pitch; ++i)
            ASSERT_EQ(shown.bytes[r * shown.pitch + i], before.bytes[r * shown.pitch + i]);
}
} // namespace

TEST(PlaneBlend, AlphaBlendMatchesThePlainFormulaOnRandomData) {
    for (int bpp : {2, 3, 4})
        for (bool is555 : {false, true}) {
            if (is555 && bpp != 2) continue;
            ExpectAlphaBlend(bpp, is555, 23, 17, 3, 5, 0);
            ExpectAlphaBlend(bpp, is555, 23, 17, 3, 5, 10); // pitch wider than the row
            ExpectAlphaBlend(bpp, is555, 6, 4, 0, 0, 2 * bpp + 2);
            ExpectAlphaBlend(bpp, is555, 30, 20, -9, -4, 12); // off the left and top
            ExpectAlphaBlend(bpp, is555, 30, 20, 20, 21, 0);  // off the right and bottom
            ExpectAlphaBlend(bpp, is555, 5, 5, 40, 0, 0);     // wholly off the target
            ExpectAlphaBlend(bpp, is555, 1, 1, 36, 28, 3);
        }
}

TEST(PlaneBlend, VectorAndPlainKernelsGiveTheSameBytes) {
    std::mt19937 rng(5);
    for (int n = 0; n < 70; ++n) {
        std::vector<BYTE> t(4 * n + 16), o(4 * n + 16), a8(4 * n + 16), s1(4 * n + 16, 0), s2(4 * n + 16, 0);
        std::vector<WORD> a16(n + 8);
        for (auto& v : t)
            v = static_cast<BYTE>(rng());
        for (auto& v : o)
            v = static_cast<BYTE>(rng());
        for (auto& v : a8)
            v = static_cast<BYTE>(rng());
        for (auto& v : a16)
            v = static_cast<WORD>(rng() % 257);
        AlphaBlendRow32(s1.data(), t.data(), o.data(), a16.data(), n);
        AlphaBlendRow32Plain(s2.data(), t.data(), o.data(), a16.data(), n);
        ASSERT_EQ(s1, s2) << n;
        AlphaBlendRow24(s1.data(), t.data(), o.data(), a8.data(), 3 * n);
        AlphaBlendRow24Plain(s2.data(), t.data(), o.data(), a8.data(), 3 * n);
        ASSERT_EQ(s1, s2) << n;
        for (bool is555 : {false, true}) {
            AlphaBlendRow16(reinterpret_cast<WORD*>(s1.data()), reinterpret_cast<const WORD*>(t.data()),
                            reinterpret_cast<const WORD*>(o.data()), a16.data(), n, is555);
            AlphaBlendRow16Plain(reinterpret_cast<WORD*>(s2.data()), reinterpret_cast<const WORD*>(t.data()),
                                 reinterpret_cast<const WORD*>(o.data()), a16.data(), n, is555);
            ASSERT_EQ(s1, s2) << n;
        }
    }
}

TEST(PlaneBlend, AlphaEdgeValues) {
    // 24 and 32 bits: 255 over 0 with alpha 255 gives 254; 200 under 100 with 128 gives 150, with 1 199.
    BYTE t[16] = {0, 200, 200, 77, 0, 0, 0, 0}, o[16] = {255, 100, 100, 10, 0, 0, 0, 0}, s[16] = {};
    BYTE a[16] = {255, 128, 1, 0};
    AlphaBlendRow24(s, t, o, a, 4);
    EXPECT_EQ(s[0], 254);
    EXPECT_EQ(s[1], 150);
    EXPECT_EQ(s[2], 199);
    EXPECT_EQ(s[3], 77); // alpha 0 keeps the target
    WORD a32[2] = {255, 0};
    BYTE t32[8] = {0, 200, 10, 20, 1, 2, 3, 4}, o32[8] = {255, 100, 10, 120, 9, 9, 9, 9}, s32[8] = {};
    AlphaBlendRow32(s32, t32, o32, a32, 2);
    EXPECT_EQ(s32[0], 254);
    EXPECT_EQ(s32[1], 100); // 200 + floor(-100 x 255 / 256) = 200 - 100
    EXPECT_EQ(s32[3], 119); // the fourth byte is blended too
    EXPECT_EQ(s32[4], 1);
    EXPECT_EQ(s32[7], 4);

    // 16 bits: 256 (255 in the file) reproduces the picture exactly; 0 keeps the target.
    WORD t16[2] = {0x0000, 0x1234}, o16[2] = {0xFFFF, 0xABCD}, s16[2] = {}, a16[2] = {256, 256};
    AlphaBlendRow16(s16, t16, o16, a16, 2, false);
    EXPECT_EQ(s16[0], 0xFFFF);
    EXPECT_EQ(s16[1], 0xABCD);
    a16[0] = a16[1] = 0;
    AlphaBlendRow16(s16, t16, o16, a16, 2, false);
    EXPECT_EQ(s16[1], 0x1234);
    // 555: red 31 over 0 with 256 gives 31 and bit 15 stays 0.
    WORD r555[1] = {0xFC00}, z[1] = {0}, out[1] = {}, full[1] = {256};
    AlphaBlendRow16(out, z, r555, full, 1, true);
    EXPECT_EQ(out[0], 0x7C00);
}

TEST(PlaneBlend, SixPixelsAtSixteenBitsBlendEveryColumn) {
    // The kept copy's pitch is 12 bytes: the whole row is blended, the last two pixels included.
    Pixels target(640, 480, 2, 0, 1), picture(6, 2, 2, 0, 2), shown(6, 2, 2, 0, 3);
    std::vector<WORD> alpha(12, 256);
    AlphaBlend(2, false, shown.View(), picture.View(), target.View(), 0, 0, alpha.data(), nullptr, 6, 2);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(shown.Get(k, 1), picture.Get(k, 1)) << k;
}

TEST(PlaneBlend, OnlyColumnsAndRowsOnTheTargetBlend) {
    Pixels target(640, 480, 4, 0, 1), picture(40, 10, 4, 0, 2), shown(40, 10, 4, 0, 3);
    const Pixels before = shown;
    std::vector<WORD> alpha(400, 0); // alpha 0: the target shows through
    AlphaBlend(4, false, shown.View(), picture.View(), target.View(), -20, 475, alpha.data(), nullptr, 40,
               10);
    Pixels& b = const_cast<Pixels&>(before);
    for (int r = 0; r < 10; ++r)
        for (int k = 0; k < 40; ++k) {
            if (k >= 20 && r < 5)
                EXPECT_EQ(shown.Get(k, r), target.Get(k - 20, 475 + r));
            else
                EXPECT_EQ(shown.Get(k, r), b.Get(k, r));
        }
}

TEST(PlaneBlend, WeightBlendEdgesAndRandomData) {
    // 24 bits over black: weight 8 halves, 16 copies, 0 leaves the shown pixel.
    Pixels target(4, 1, 3, 0, 1), picture(4, 1, 3, 0, 2), shown(4, 1, 3, 0, 3);
    std::fill(target.bytes.begin(), target.bytes.end(), 0);
    picture.Set(0, 0, 0xC8FF65);
    picture.Set(1, 0, 0x123456);
    shown.Set(2, 0, 0xABCDEF);
    BYTE weights[4] = {8, 16, 0, 200};
    BlendFields none{};
    WeightBlend(3, none, shown.View(), picture.View(), target.View(), 0, 0, weights, 4, 1);
    EXPECT_EQ(shown.Get(0, 0), 0x647F32u);
    EXPECT_EQ(shown.Get(1, 0), 0x123456u);
    EXPECT_EQ(shown.Get(2, 0), 0xABCDEFu);
    EXPECT_EQ(shown.Get(3, 0), picture.Get(3, 0)); // weights above 16 count as 16

    // Random data at 16 (565) and 32 bits against the per-field formula.
    for (int bpp : {2, 4}) {
        const BlendFields f = bpp == 2 ? BlendFields{{0xF800, 11}, {0x07E0, 5}, {0x001F, 0}}
                                       : BlendFields{{0xFF0000, 16}, {0x00FF00, 8}, {0x0000FF, 0}};
        Pixels t(20, 12, bpp, 4, 4), o(9, 7, bpp, 6, 5), s(9, 7, bpp, 6, 6);
        const Pixels before = s;
        std::mt19937 rng(7);
        std::vector<BYTE> w(63);
        for (auto& v : w)
            v = static_cast<BYTE>(rng() % 17);
        WeightBlend(bpp, f, s.View(), o.View(), t.View(), 14, 8, w.data(), 9, 7);
        Pixels& b = const_cast<Pixels&>(before);
        for (int r = 0; r < 7; ++r)
            for (int k = 0; k < 9; ++k) {
                const int weight = w[r * 9 + k];
                // Rows stop at the target's height (12) and columns at its width (20).
                if (weight == 0 || 14 + k >= 20 || 8 + r >= 12) {
                    ASSERT_EQ(s.Get(k, r), b.Get(k, r)) << k << "," << r;
                    continue;
                }
                const DWORD tp = t.Get(14 + k, 8 + r), op = o.Get(k, r);
                DWORD want = 0;
                for (const BlendField& c : {f.red, f.green, f.blue}) {
                    const DWORD tf = (tp & c.mask) >> c.shift, of = (op & c.mask) >> c.shift;
                    want |= ((tf * (16 - weight) + of * weight) >> 4) << c.shift;
                }
                ASSERT_EQ(s.Get(k, r), want) << k << "," << r; // at 32 bits the fourth byte is 0
            }
    }
}

TEST(PlaneBlend, CellFormBlendsIntoTheSetSurfaceAndSkipsCellsOffTheTarget) {
    Pixels target(64, 48, 4, 0, 1), sheet(32, 16, 4, 0, 2), set(32, 16, 4, 0, 3);
    const Pixels before = set;
    std::vector<WORD> alpha(32 * 16);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = static_cast<WORD>(i % 256);
    const RECT source{8, 4, 16, 10};
    ASSERT_TRUE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), source, 50, 30, 2, 1,
                               alpha.data(), nullptr, 32, 16));
    Pixels& b = const_cast<Pixels&>(before);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inCell = x >= 8 && x < 16 && y >= 4 && y < 10;
            if (!inCell) {
                ASSERT_EQ(set.Get(x, y), b.Get(x, y));
                continue;
            }
            const int k = x - 8, r = y - 4;
            const int a = alpha[(1 + r) * 32 + 2 + k];
            const int as[3] = {a, a, a};
            ASSERT_EQ(set.Get(x, y), RefPixel(4, false, target.Get(50 + k, 30 + r), sheet.Get(x, y), as));
        }
    // Destinations not wholly on the target, sources off the sheet and plane rectangles off the plane.
    EXPECT_FALSE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), source, 57, 30, 0, 0,
                                alpha.data(), nullptr, 32, 16));
    EXPECT_FALSE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), source, -1, 0, 0, 0,
                                alpha.data(), nullptr, 32, 16));
    EXPECT_FALSE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), RECT{30, 0, 34, 4}, 0, 0,
                                0, 0, alpha.data(), nullptr, 32, 16));
    EXPECT_FALSE(AlphaBlendCell(4, false, set.View(), sheet.View(), target.View(), source, 0, 0, 30, 0,
                                alpha.data(), nullptr, 32, 16));
}

TEST(PlaneBlend, WeightVectorAndPlainRowsGiveTheSameBytes) {
    const BlendFields layouts[] = {
        {{0xF800, 11}, {0x07E0, 5}, {0x001F, 0}}, // 565
        {{0x7C00, 10}, {0x03E0, 5}, {0x001F, 0}}, // 555
        {{0xFF0000, 16}, {0x00FF00, 8}, {0x0000FF, 0}},
        {{0x0000FF, 0}, {0x00FF00, 8}, {0xFF0000, 16}},
    };
    std::mt19937 rng(9);
    for (int li = 0; li < 4; ++li) {
        const int bpp = li < 2 ? 2 : 4;
        for (int n = 0; n < 40; ++n) {
            std::vector<BYTE> t(4 * n + 16), o(4 * n + 16), w(n + 8), s1(4 * n + 16), s2;
            for (auto* v : {&t, &o, &s1})
                for (auto& b : *v)
                    b = static_cast<BYTE>(rng());
            for (auto& b : w)
                b = static_cast<BYTE>(rng() % 3 == 0 ? 0 : rng() % 20); // zeros and weights above 16
            s2 = s1;
            WeightBlendRow(bpp, layouts[li], s1.data(), t.data(), o.data(), w.data(), n);
            WeightBlendRowPlain(bpp, layouts[li], s2.data(), t.data(), o.data(), w.data(), n);
            ASSERT_EQ(s1, s2) << li << " " << n;
        }
    }
}
