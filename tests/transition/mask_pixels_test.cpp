#include "graphics/TransitionMaskPixels.h"
#include "tests/transition/Pictures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace transition;
using namespace transition_test;

namespace {
// One wipe over a width x height area: the pictures and the two entry buffers (rows `stride` apart).
struct Wipe {
    Picture before, after, draw;
    int stride;
    std::vector<WORD> mask, alpha;
    LONG remaining;

    Wipe(int format, int width, int height, std::uint32_t seed)
        : before(format, width, height), after(format, width, height, 8), draw(format, width, height, 4),
          stride(width + 5), mask(static_cast<std::size_t>(stride) * height, 0xAAAA),
          alpha(static_cast<std::size_t>(stride) * height, 0xBBBB), remaining(width * height) {
        before.Randomise(seed);
        after.Randomise(seed + 1);
        draw = before;
        std::mt19937 rng(seed + 2);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                Mask(x, y) = static_cast<WORD>(rng() % 256);
                Alpha(x, y) = 0;
            }
    }
    WORD& Mask(int x, int y) { return mask[static_cast<std::size_t>(y * stride + x)]; }
    WORD& Alpha(int x, int y) { return alpha[static_cast<std::size_t>(y * stride + x)]; }
    // Active pixels: the reached count of an exact histogram.
    LONG Reached(int level) {
        LONG n = 0;
        for (int y = 0; y < draw.height; ++y)
            for (int x = 0; x < draw.width; ++x)
                n += Mask(x, y) <= level ? 1 : 0;
        return n;
    }
    MaskScan Scan(int level, int delta) {
        return MaskScan{mask.data(), alpha.data(), stride, level, delta, remaining, Reached(level)};
    }
    transition::PixelArea PixelArea() { return Area(before, after, draw); }
};

using ScanFn = std::function<int(int format, const transition::PixelArea&, MaskScan&)>;

// Runs one scan through fn and writes back the remaining count.
int RunScan(Wipe& w, int format, int level, int delta, const ScanFn& fn) {
    MaskScan scan = w.Scan(level, delta);
    const int done = fn(format, w.PixelArea(), scan);
    w.remaining = scan.remaining;
    return done;
}

const ScanFn kPlain = [](int f, const transition::PixelArea& a, MaskScan& s) {
    return ScanMaskPlain(f, a, s);
};
const ScanFn kSimd = [](int f, const transition::PixelArea& a, MaskScan& s) { return ScanMaskSimd(f, a, s); };
const ScanFn kTwin = [](int f, const transition::PixelArea& a, MaskScan& s) {
    return ScanMaskSimdTwin(f, a, s);
};
} // namespace

TEST(MaskScan, PlainScanStartsBlendsAndFinishesPixelsByTheirLevel) {
    for (int format : kFormats) {
        Wipe w(format, 23, 6, 100 + format);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 23; ++x)
                if (w.Mask(x, y) <= 120) w.Alpha(x, y) = static_cast<WORD>((x * 37 + y * 11) % 256);
        Wipe old = w;
        EXPECT_EQ(RunScan(w, format, 120, 16, kPlain), 0);
        LONG finished = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 23; ++x) {
                if (old.Mask(x, y) > 120) {
                    ASSERT_EQ(w.Mask(x, y), old.Mask(x, y));
                    ASSERT_EQ(w.Alpha(x, y), 0);
                    ASSERT_EQ(w.draw.Pixel(x, y), old.draw.Pixel(x, y));
                    continue;
                }
                const int alpha = old.Alpha(x, y) + 16;
                ASSERT_EQ(w.Alpha(x, y), alpha);
                if (alpha >= 256) {
                    ++finished;
                    ASSERT_EQ(w.Mask(x, y), kMaskFinished);
                    ASSERT_EQ(w.draw.Pixel(x, y), w.after.Pixel(x, y));
                } else {
                    ASSERT_EQ(w.Mask(x, y), old.Mask(x, y));
                    ASSERT_EQ(w.draw.Pixel(x, y),
                              RefBlend(format, w.before.Pixel(x, y), w.after.Pixel(x, y), alpha))
                        << format << " at " << x << "," << y;
                }
            }
        EXPECT_GT(finished, 0);
        EXPECT_EQ(w.remaining, 23 * 6 - finished);
    }
}

TEST(MaskScan, TheScanReportsTheEndWhenTheLastPixelFinishes) {
    for (const ScanFn* fn : {&kPlain, &kSimd, &kTwin})
        for (int format : kFormats) {
            Wipe w(format, 11, 3, 7);
            int calls = 0;
            int done = 0;
            while (!done && calls < 100) {
                ++calls;
                done = RunScan(w, format, 256, 64, *fn);
            }
            EXPECT_EQ(calls, 4) << format;
            EXPECT_EQ(w.remaining, 0);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 11; ++x) {
                    const std::uint32_t want =
                        format == 32 && fn == &kPlain ? w.after.Pixel(x, y) & 0xFFFFFF : w.after.Pixel(x, y);
                    if (format == 24 && fn != &kPlain) continue; // finished 24-bit pixels may be one short
                    ASSERT_EQ(w.draw.Pixel(x, y) & (format == 32 && fn == &kPlain ? 0xFFFFFFu : ~0u), want);
                }
        }
}

TEST(MaskScan, TwentyFourBitPlainScanStopsAfterTheReachedCount) {
    // The count says two pixels are active where four are: the scan handles the first two only. An
    // exact count makes the scan stop just after the last active pixel, drawing what a full scan would.
    Wipe w(24, 8, 1, 3);
    for (int x = 0; x < 8; ++x)
        w.Mask(x, 0) = x % 2 ? 200 : 10;
    MaskScan scan = w.Scan(50, 8);
    scan.reached = 2;
    EXPECT_EQ(ScanMaskPlain(24, w.PixelArea(), scan), 0);
    EXPECT_EQ(w.Alpha(0, 0), 8);
    EXPECT_EQ(w.Alpha(2, 0), 8);
    EXPECT_EQ(w.Alpha(4, 0), 0);
    EXPECT_EQ(w.Alpha(6, 0), 0);

    // 16-bit scans have no bound.
    Wipe v(16, 8, 1, 3);
    for (int x = 0; x < 8; ++x)
        v.Mask(x, 0) = x % 2 ? 200 : 10;
    MaskScan all = v.Scan(50, 8);
    all.reached = 2;
    ScanMaskPlain(16, v.PixelArea(), all);
    EXPECT_EQ(v.Alpha(6, 0), 8);
}

TEST(MaskScan, KeyedScanFinishesKeyPixelsWithoutDrawing) {
    for (int format : kFormats) {
        Wipe w(format, 9, 4, 30);
        const std::uint32_t key = format == 15 ? 0x2222 : format == 16 ? 0x1234 : 0x00102030;
        for (int x = 0; x < 9; ++x) {
            w.after.SetPixel(x, 1, format == 32 ? key | 0x7F000000u : key);
            w.Mask(x, 1) = 0;
        }
        w.draw.Randomise(31);
        const Picture old = w.draw;
        const LONG before = w.remaining;
        MaskScan scan = w.Scan(0, 8);
        scan.reached = 1; // no bound on the keyed scan
        EXPECT_EQ(ScanMaskKeyed(format, w.PixelArea(), scan, ColorKey{static_cast<WORD>(key), key}), 0);
        int active = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                if (y == 1) {
                    ASSERT_EQ(w.Mask(x, y), kMaskFinished);
                    ASSERT_EQ(w.Alpha(x, y), 0);
                    ASSERT_EQ(w.draw.Pixel(x, y), old.Pixel(x, y));
                } else if (w.Mask(x, y) == 0) {
                    ++active;
                    ASSERT_EQ(w.Alpha(x, y), 8);
                }
            }
        EXPECT_EQ(scan.remaining, before - 9);
    }
}

TEST(MaskScan, VectorScanMatchesItsScalarTwinByteForByte) {
    const int widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 40, 67};
    for (int format : kFormats)
        for (int width : widths) {
            Wipe simd(format, width, 5, 500 + static_cast<std::uint32_t>(width));
            for (int y = 0; y < 5; ++y)
                simd.Mask(y % width, y) = kMaskFinished; // some pixels already done
            simd.remaining -= 5;
            for (int y = 0; y < 5; ++y)
                simd.Alpha(y % width, y) = 256;
            Wipe twin = simd;
            int level = 0;
            for (int call = 0; call < 200; ++call) {
                level = level + 7 > 256 ? 256 : level + 7;
                const int delta = 1 + (call * 29) % 90;
                const int a = RunScan(simd, format, level, delta, kSimd);
                const int b = RunScan(twin, format, level, delta, kTwin);
                ASSERT_EQ(a, b) << format << " w" << width << " call " << call;
                ASSERT_EQ(simd.remaining, twin.remaining);
                ASSERT_EQ(simd.mask, twin.mask);
                ASSERT_EQ(simd.alpha, twin.alpha);
                ASSERT_EQ(simd.draw.bytes, twin.draw.bytes) << format << " w" << width << " call " << call;
                if (a) break;
            }
            EXPECT_EQ(simd.remaining, 0);
        }
}

TEST(MaskScan, VectorAndPlainFramesAgreeExceptWhereTheyDiffer) {
    for (int format : kFormats)
        for (int width : {16, 21, 40}) {
            Wipe plain(format, width, 4, 900 + static_cast<std::uint32_t>(width));
            Wipe simd = plain;
            int level = 0;
            bool ended = false;
            for (int call = 0; call < 300 && !ended; ++call) {
                level = level + 2 > 256 ? 256 : level + 2;
                const int a = RunScan(plain, format, level, 8, kPlain);
                const int b = RunScan(simd, format, level, 8, kSimd);
                ASSERT_EQ(a, b) << "both paths end in the same call";
                ended = a;
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < width; ++x) {
                        const std::uint32_t p = plain.draw.Pixel(x, y), s = simd.draw.Pixel(x, y);
                        if (format == 15 || format == 16) {
                            ASSERT_EQ(s, p) << format << " at " << x << "," << y;
                        } else if (format == 32) {
                            ASSERT_EQ(s & 0xFFFFFF, p & 0xFFFFFF);
                        } else {
                            // A finished 24-bit pixel written by the vector path is one short in each
                            // channel that rises from before to after, exact in the others.
                            for (int c = 0; c < 3; ++c) {
                                const int pc = (p >> (8 * c)) & 0xFF, sc = (s >> (8 * c)) & 0xFF;
                                const int bc = (plain.before.Pixel(x, y) >> (8 * c)) & 0xFF;
                                const bool oneShort =
                                    simd.Mask(x, y) == kMaskFinished && pc > bc && sc == pc - 1;
                                ASSERT_TRUE(sc == pc || oneShort)
                                    << "at " << x << "," << y << " channel " << c;
                            }
                        }
                    }
            }
            EXPECT_TRUE(ended);
        }
}

TEST(MaskScan, VectorScanRewritesWaitingPixelsOfAnActiveGroupWithTheirBeforeValue) {
    for (int format : {15, 16, 32}) {
        Wipe plain(format, 8, 1, 77);
        for (int x = 0; x < 8; ++x)
            plain.Mask(x, 0) = 200;
        plain.Mask(0, 0) = 0; // pixels 0-3 (16-bit) or 0-1 (32-bit) form its group
        plain.draw.Randomise(78);
        Wipe simd = plain;
        const Picture start = plain.draw;
        RunScan(plain, format, 10, 8, kPlain);
        RunScan(simd, format, 10, 8, kSimd);
        const int group = format == 32 ? 2 : 4;
        for (int x = 1; x < 8; ++x) {
            EXPECT_EQ(plain.draw.Pixel(x, 0), start.Pixel(x, 0));
            if (x < group)
                EXPECT_EQ(simd.draw.Pixel(x, 0), simd.before.Pixel(x, 0)) << format << " pixel " << x;
            else
                EXPECT_EQ(simd.draw.Pixel(x, 0), plain.draw.Pixel(x, 0)) << format << " pixel " << x;
        }
    }
}

TEST(MaskScan, VectorScanReblendsAFinished24BitNeighbourOneShort) {
    Wipe w(24, 8, 1, 5);
    w.before.Fill(0x00C80010); // bytes (blue, green, red) 10 00 C8
    w.after.Fill(0x00107890);  // bytes 90 78 10
    w.draw = w.after;
    for (int x = 0; x < 8; ++x) {
        w.Mask(x, 0) = kMaskFinished;
        w.Alpha(x, 0) = 256;
    }
    w.Mask(1, 0) = 0; // active: pixel 0 shares the first 8-byte part with it
    w.Alpha(1, 0) = 0;
    w.remaining = 1 + 1; // pixel 1 and one pixel elsewhere
    RunScan(w, 24, 0, 8, kSimd);
    // Pixel 0: blue and green rise and land one short; red falls and is exact.
    EXPECT_EQ(w.draw.Pixel(0, 0), 0x0010778Fu);
    // Pixels 6 and 7 share no part with an active pixel: left alone.
    EXPECT_EQ(w.draw.Pixel(7, 0), 0x00107890u);
}
