// The pixel work of the transitions on plain memory: the cross-fade blend, the dither cells and the
// mask-wipe scans, plain, keyed and vector, in the four formats.
#include "graphics/TransitionFadePixels.h"
#include "graphics/TransitionMaskPixels.h"
#include "tests/graphics/SimdLevels.h"
#include "tests/graphics/transitions/TransitionFixture.h"

using namespace transition;
using namespace transition_test;

namespace {
const int kAlphas[] = {0, 1, 8, 80, 128, 248, 255, 256};

// The vector forms at each processor level against the plain form and the scalar twins.
class BlendAreaAtLevel : public AtSimdLevel {};
class MaskScanAtLevel : public AtSimdLevel {};
} // namespace

TEST(BlendFormula, ExamplesOfTheChannelBlend) {
    const int rows[][4] = {
        {200, 100, 128, 150}, {0, 255, 255, 254}, {255, 0, 1, 254}, {17, 99, 0, 17}, {17, 99, 256, 99}};
    for (const auto& r : rows)
        EXPECT_EQ(BlendChannel(r[0], r[1], r[2]), r[3]) << r[0] << " " << r[1] << " " << r[2];
    // A 5-5-5 white pixel half-way to black has 15 in every channel and bit 15 clear.
    EXPECT_EQ(BlendPixel16(0x7FFF, 0x0000, 128, 15), (15 << 10) | (15 << 5) | 15);
    EXPECT_EQ(BlendPixel16(0xFFFF, 0x0000, 128, 16), (15 << 11) | (31 << 5) | 15);
}

// The plain path gives the blend of every pixel in the area and nothing outside it (nor in the bytes
// past each row); the vector path gives the same bytes except that it blends byte 3 of 32-bit pixels,
// at every width (rows of whole vectors and of rests), and its scalar twin gives the vector bytes.
TEST_P(BlendAreaAtLevel, PlainAndVectorPathsAtEveryWidthAndAlpha) {
    for (int format : kFormats)
        for (int width : {1, 3, 7, 8, 9, 13, 16, 17, 31, 32, 33, 64, 77, 96})
            for (int alpha : kAlphas) {
                SCOPED_TRACE(::testing::Message() << format << " w" << width << " a" << alpha);
                Picture a(format, width + 3, 4), b(format, width + 3, 4, 8), plain(format, width + 3, 4, 4);
                a.Randomise(width * 7 + alpha);
                b.Randomise(width * 11 + alpha);
                plain.Randomise(3);
                Picture simd = plain, twin = plain;
                const Picture old = plain;
                PixelArea area = Area(a, b, plain, width, 3);
                BlendPlain(format, area, alpha);
                area.draw = simd.bytes.data();
                BlendSimd(format, area, alpha);
                area.draw = twin.bytes.data();
                BlendSimdTwin(format, area, alpha);
                EXPECT_EQ(simd.bytes, twin.bytes);
                for (int i = 0; i < (width + 3) * 4; ++i) {
                    const int x = i % (width + 3), y = i / (width + 3);
                    const bool in = x < width && y < 3;
                    const std::uint32_t a0 = a.Pixel(x, y), b0 = b.Pixel(x, y), o = old.Pixel(x, y);
                    ASSERT_EQ(plain.Pixel(x, y), in ? Blended(format, a0, b0, alpha) : o) << x << "," << y;
                    ASSERT_EQ(simd.Pixel(x, y), in ? Blended(format, a0, b0, alpha, true) : o)
                        << x << "," << y;
                }
                for (int y = 0; y < 4; ++y)
                    for (int i = (width + 3) * plain.Bpp(); i < plain.pitch; ++i)
                        ASSERT_TRUE(plain.bytes[y * plain.pitch + i] == old.bytes[y * plain.pitch + i] &&
                                    simd.bytes[y * plain.pitch + i] == old.bytes[y * plain.pitch + i]);
            }
}

namespace {
// One wipe over a width x height area: the pictures and the two entry buffers (rows `stride` apart).
struct Wipe {
    Picture before, after, draw;
    int stride;
    std::vector<WORD> mask, alpha;
    LONG remaining;

    // A mask of random levels, or (byRow) a sweep: one level a row, so that whole rows wait or finish.
    Wipe(int format, int width, int height, std::uint32_t seed, bool byRow = false)
        : before(format, width, height), after(format, width, height, 8), draw(format, width, height, 4),
          stride(width + 5), mask(static_cast<std::size_t>(stride) * height, 0xAAAA),
          alpha(mask.size(), 0xBBBB), remaining(width * height) {
        before.Randomise(seed);
        after.Randomise(seed + 1);
        draw = before;
        std::mt19937 rng(seed + 2);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                Mask(x, y) = static_cast<WORD>(byRow ? y * 255 / height : rng() % 256);
                Alpha(x, y) = 0;
            }
    }
    WORD& Mask(int x, int y) { return mask[static_cast<std::size_t>(y * stride + x)]; }
    WORD& Alpha(int x, int y) { return alpha[static_cast<std::size_t>(y * stride + x)]; }
    // Runs one scan; `reached` is the exact count of active pixels unless given.
    int Run(int format, int level, int delta, int (*scan)(int, const PixelArea&, MaskScan&),
            LONG reached = -1) {
        if (reached < 0) {
            reached = 0;
            for (int y = 0; y < draw.height; ++y)
                for (int x = 0; x < draw.width; ++x)
                    reached += Mask(x, y) <= level;
        }
        MaskScan s{mask.data(), alpha.data(), stride, level, delta, remaining, reached};
        const int done = scan(format, Area(before, after, draw), s);
        remaining = s.remaining;
        return done;
    }
};
} // namespace

TEST(MaskScan, TwentyFourBitPlainScanStopsAfterTheReachedCountAndSixteenBitHasNoBound) {
    // The count says two pixels are active where four are: the 24-bit scan handles the first two only.
    for (int format : {24, 16}) {
        Wipe w(format, 8, 1, 3);
        for (int x = 0; x < 8; ++x)
            w.Mask(x, 0) = x % 2 ? 200 : 10;
        EXPECT_EQ(w.Run(format, 50, 8, ScanMaskPlain, 2), 0);
        for (int x = 0; x < 8; x += 2)
            EXPECT_EQ(w.Alpha(x, 0), format == 24 && x >= 4 ? 0 : 8) << format << " " << x;
    }
}

// The vector scan against its scalar twin byte for byte, and against the plain scan where the two may
// differ only as listed: byte 3 of 32-bit pixels, and a finished 24-bit pixel one short in each
// channel that rises. The widths hold rows shorter than one vector, rows of whole runs of four vectors
// that the scan tests at once (32 and 64 entries), and rests after them.
TEST_P(MaskScanAtLevel, VectorScanMatchesItsTwinAndThePlainScanExceptWhereTheyDiffer) {
    const struct {
        const char* name;
        bool byRow; // a sweep rather than random levels
        bool hard;  // every pixel finishes in the call that reaches it (alpha step 256)
    } kinds[] = {{"random levels", false, false}, {"sweep", true, false}, {"hard-edged sweep", true, true}};
    for (const auto& kind : kinds)
        for (int format : kFormats)
            for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 21, 24, 25, 32, 40, 64, 67, 130}) {
                SCOPED_TRACE(::testing::Message() << kind.name << " " << format << " w" << width);
                Wipe simd(format, width, 5, 500 + width, kind.byRow);
                for (int y = 0; y < 5; ++y) { // some pixels already done
                    simd.Mask(y % width, y) = kMaskFinished;
                    simd.Alpha(y % width, y) = 256;
                    simd.draw.SetPixel(y % width, y, simd.after.Pixel(y % width, y));
                }
                simd.remaining -= 5;
                Wipe twin = simd, plain = simd;
                int level = 0, done = 0;
                for (int call = 0; call < 300 && !done; ++call) {
                    level = std::min(level + 3, 256);
                    const int delta = kind.hard ? 256 : 1 + (call * 29) % 90;
                    done = simd.Run(format, level, delta, ScanMaskSimd);
                    ASSERT_EQ(twin.Run(format, level, delta, ScanMaskSimdTwin), done);
                    ASSERT_EQ(plain.Run(format, level, delta, ScanMaskPlain), done)
                        << "both paths end in the same call";
                    ASSERT_TRUE(simd.remaining == twin.remaining && simd.mask == twin.mask &&
                                simd.alpha == twin.alpha);
                    ASSERT_EQ(simd.draw.bytes, twin.draw.bytes);
                    for (int i = 0; i < width * 5; ++i) {
                        const int x = i % width, y = i / width;
                        ASSERT_TRUE(SameButListed(format, simd.draw.Pixel(x, y), plain.draw.Pixel(x, y),
                                                  plain.before.Pixel(x, y), simd.Mask(x, y) == kMaskFinished))
                            << x << "," << y;
                    }
                }
                EXPECT_EQ(simd.remaining, 0);
            }
}

TEST_P(MaskScanAtLevel, VectorScanRewritesWaitingPixelsOfAnActiveGroupWithTheirBeforeValue) {
    for (int format : {15, 16, 32}) {
        Wipe w(format, 8, 1, 77);
        for (int x = 0; x < 8; ++x)
            w.Mask(x, 0) = x ? 200 : 0; // pixels 0-3 (16-bit) or 0-1 (32-bit) form the active group
        w.draw.Randomise(78);
        const Picture start = w.draw;
        w.Run(format, 10, 8, ScanMaskSimd);
        for (int x = 1; x < 8; ++x)
            EXPECT_EQ(w.draw.Pixel(x, 0),
                      x < (format == 32 ? 2 : 4) ? w.before.Pixel(x, 0) : start.Pixel(x, 0))
                << format << " pixel " << x;
    }
    // 24 bits: a finished neighbour in the active pixel's 8-byte part is blended again, one short.
    Wipe w(24, 8, 1, 5);
    for (int x = 0; x < 8; ++x) {
        w.before.SetPixel(x, 0, 0x00C80010); // bytes (blue, green, red) 10 00 C8
        w.after.SetPixel(x, 0, 0x00107890);  // bytes 90 78 10
        w.Mask(x, 0) = x == 1 ? 0 : kMaskFinished;
        w.Alpha(x, 0) = x == 1 ? 0 : 256;
    }
    w.draw = w.after;
    w.remaining = 2; // pixel 1 and one pixel elsewhere
    w.Run(24, 0, 8, ScanMaskSimd);
    EXPECT_EQ(w.draw.Pixel(0, 0), 0x0010778Fu); // blue and green rise and land one short; red is exact
    EXPECT_EQ(w.draw.Pixel(7, 0), 0x00107890u); // no part shared with the active pixel: left alone
}

QUORIN_AT_EVERY_SIMD_LEVEL(BlendAreaAtLevel);
QUORIN_AT_EVERY_SIMD_LEVEL(MaskScanAtLevel);
