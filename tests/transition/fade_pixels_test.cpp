#include "graphics/TransitionFadePixels.h"
#include "tests/transition/Pictures.h"

#include <gtest/gtest.h>

using namespace transition;
using namespace transition_test;

namespace {
const int kAlphas[] = {0, 1, 8, 80, 128, 248, 255, 256};
const int kWidths[] = {1, 3, 7, 8, 9, 13, 16, 17, 31, 64, 77};
} // namespace

TEST(BlendFormula, ExamplesOfTheChannelBlend) {
    EXPECT_EQ(BlendChannel(200, 100, 128), 150);
    EXPECT_EQ(BlendChannel(0, 255, 255), 254);
    EXPECT_EQ(BlendChannel(255, 0, 1), 254);
    EXPECT_EQ(BlendChannel(17, 99, 0), 17);
    EXPECT_EQ(BlendChannel(17, 99, 256), 99);
    // A 5-5-5 white pixel half-way to black has 15 in every channel and bit 15 clear.
    EXPECT_EQ(BlendPixel16(0x7FFF, 0x0000, 128, 15), (15 << 10) | (15 << 5) | 15);
    EXPECT_EQ(BlendPixel16(0xFFFF, 0x0000, 128, 16), (15 << 11) | (31 << 5) | 15);
}

TEST(BlendArea, PlainPathFollowsTheFormulaInEveryFormat) {
    for (int format : kFormats)
        for (int alpha : kAlphas) {
            Picture a(format, 19, 5), b(format, 19, 5, 20), d(format, 19, 5, 4);
            a.Randomise(1 + alpha);
            b.Randomise(2 + alpha);
            d.Randomise(3);
            BlendPlain(format, Area(a, b, d), alpha);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 19; ++x)
                    ASSERT_EQ(d.Pixel(x, y), RefBlend(format, a.Pixel(x, y), b.Pixel(x, y), alpha))
                        << "format " << format << " alpha " << alpha << " at " << x << "," << y;
        }
}

TEST(BlendArea, OnlyTheAreaIsWritten) {
    for (int format : kFormats) {
        Picture a(format, 10, 6), b(format, 10, 6), d(format, 10, 6);
        a.Randomise(4);
        b.Randomise(5);
        d.Randomise(6);
        const Picture untouched = d;
        BlendPlain(format, Area(a, b, d, 7, 4), 100);
        BlendSimd(format, Area(a, b, d, 7, 4), 100);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                if (x >= 7 || y >= 4) {
                    ASSERT_EQ(d.Pixel(x, y), untouched.Pixel(x, y)) << format;
                }
        // The padding after each row is never touched either.
        for (int y = 0; y < 6; ++y)
            for (int i = 10 * d.Bpp(); i < d.pitch; ++i)
                ASSERT_EQ(d.bytes[static_cast<std::size_t>(y * d.pitch + i)],
                          untouched.bytes[static_cast<std::size_t>(y * d.pitch + i)]);
    }
}

TEST(BlendArea, VectorPathGivesThePlainBytesExceptThe32BitFourthByte) {
    for (int format : kFormats)
        for (int width : kWidths)
            for (int alpha : kAlphas) {
                Picture a(format, width, 3), b(format, width, 3, 8);
                a.Randomise(static_cast<std::uint32_t>(width * 7 + alpha));
                b.Randomise(static_cast<std::uint32_t>(width * 11 + alpha));
                Picture plain(format, width, 3), simd(format, width, 3, 24), twin(format, width, 3);
                BlendPlain(format, Area(a, b, plain), alpha);
                BlendSimd(format, Area(a, b, simd), alpha);
                BlendSimdTwin(format, Area(a, b, twin), alpha);
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < width; ++x) {
                        ASSERT_EQ(simd.Pixel(x, y), twin.Pixel(x, y))
                            << format << " w" << width << " a" << alpha;
                        if (format == 32) {
                            ASSERT_EQ(simd.Pixel(x, y),
                                      RefBlend(32, a.Pixel(x, y), b.Pixel(x, y), alpha, true));
                            ASSERT_EQ(plain.Pixel(x, y) & 0xFF000000u, 0u);
                            ASSERT_EQ(simd.Pixel(x, y) & 0xFFFFFF, plain.Pixel(x, y));
                        } else {
                            ASSERT_EQ(simd.Pixel(x, y), plain.Pixel(x, y))
                                << format << " w" << width << " a" << alpha;
                        }
                    }
            }
}

TEST(BlendArea, InPlaceBlendReadsEachPixelBeforeWritingIt) {
    for (int format : kFormats) {
        Picture a(format, 21, 4), b(format, 21, 4);
        a.Randomise(40);
        b.Randomise(41);
        Picture separate(format, 21, 4);
        BlendSimd(format, Area(a, b, separate), 77);
        Picture inPlace = a;
        BlendSimd(format,
                  transition::PixelArea{inPlace.bytes.data(), inPlace.pitch, b.bytes.data(), b.pitch,
                                        inPlace.bytes.data(), inPlace.pitch, 21, 4},
                  77);
        EXPECT_TRUE(inPlace.SamePixels(separate)) << format;
    }
}

TEST(BlendArea, IdenticalPicturesStayUnchangedAtEveryAlpha) {
    for (int format : kFormats) {
        Picture a(format, 17, 3);
        a.Randomise(9);
        for (int alpha = 0; alpha <= 256; alpha += 8) {
            Picture plain(format, 17, 3), simd(format, 17, 3);
            BlendPlain(format, Area(a, a, plain), alpha);
            BlendSimd(format, Area(a, a, simd), alpha);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 17; ++x) {
                    const std::uint32_t colour = format == 32 ? a.Pixel(x, y) & 0xFFFFFF : a.Pixel(x, y);
                    ASSERT_EQ(plain.Pixel(x, y), colour);
                    ASSERT_EQ(simd.Pixel(x, y), a.Pixel(x, y));
                }
        }
    }
}

TEST(BlendArea, KeyedBlendLeavesKeyColouredPixelsAlone) {
    for (int format : kFormats) {
        Picture a(format, 12, 4), b(format, 12, 4), d(format, 12, 4);
        a.Randomise(50);
        b.Randomise(51);
        d.Randomise(52);
        const std::uint32_t key = format == 15 ? 0x1234 : format == 16 ? 0xBEEF : 0x00ABCDEF;
        for (int y = 0; y < 4; ++y)
            b.SetPixel(y, y, format == 32 ? (key | 0x55000000u) : key); // byte 3 does not take part
        const Picture old = d;
        BlendKeyed(format, Area(a, b, d), 128, ColorKey{static_cast<WORD>(key), key});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 12; ++x) {
                const std::uint32_t want =
                    x == y ? old.Pixel(x, y) : RefBlend(format, a.Pixel(x, y), b.Pixel(x, y), 128);
                ASSERT_EQ(d.Pixel(x, y), want) << format;
            }
    }
}

TEST(DitherCells, EachOrderEntryCopiesOneCellOfEveryBlock) {
    for (int format : kFormats) {
        Picture after(format, 10, 7, 6), before(format, 10, 7);
        after.Randomise(60);
        before.Randomise(61);
        const Picture start = before;
        const auto area = transition::PixelArea{before.bytes.data(),
                                                before.pitch,
                                                after.bytes.data(),
                                                after.pitch,
                                                before.bytes.data(),
                                                before.pitch,
                                                10,
                                                7};
        CopyDitherCells(format, area, 2, 1, nullptr);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool cell = x % 4 == 2 && y % 4 == 1;
                ASSERT_EQ(before.Pixel(x, y), cell ? after.Pixel(x, y) : start.Pixel(x, y)) << x << "," << y;
            }
        for (int cx = 0; cx < 4; ++cx)
            for (int cy = 0; cy < 4; ++cy)
                CopyDitherCells(format, area, cx, cy, nullptr);
        EXPECT_TRUE(before.SamePixels(after));
    }
}

TEST(DitherCells, KeyedCopySkipsTheKeyColour) {
    for (int format : kFormats) {
        Picture after(format, 8, 8), before(format, 8, 8);
        after.Randomise(70);
        before.Randomise(71);
        const std::uint32_t key = format == 15 ? 0x0421 : format == 16 ? 0xF800 : 0x00FF00FF;
        after.SetPixel(4, 4, key);
        const Picture start = before;
        const ColorKey k{static_cast<WORD>(key), key};
        const auto area = transition::PixelArea{before.bytes.data(),
                                                before.pitch,
                                                after.bytes.data(),
                                                after.pitch,
                                                before.bytes.data(),
                                                before.pitch,
                                                8,
                                                8};
        for (int cx = 0; cx < 4; ++cx)
            for (int cy = 0; cy < 4; ++cy)
                CopyDitherCells(format, area, cx, cy, &k);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(before.Pixel(x, y), x == 4 && y == 4 ? start.Pixel(x, y) : after.Pixel(x, y));
    }
}
