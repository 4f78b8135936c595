#include "tests/transition/Engine.h"

using namespace transition_test;

namespace {
// The cross-fade frame at `alpha` as the formula gives it; the vector path blends byte 3 of 32-bit
// pixels too.
void ExpectFadeFrame(const Picture& frame, const Picture& a, const Picture& b, int alpha, bool simd) {
    for (int y = 0; y < frame.height; y += 7)
        for (int x = 0; x < frame.width; ++x)
            ASSERT_EQ(frame.Pixel(x, y), RefBlend(frame.format, a.Pixel(x, y), b.Pixel(x, y), alpha, simd))
                << "format " << frame.format << " alpha " << alpha << " at " << x << "," << y;
}
} // namespace

TEST_F(EngineTest, CrossFadeFramesFollowTheFormulaOnBothPathsInEveryFormat) {
    for (int format : kFormats)
        for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
            SCOPED_TRACE(format);
            Use(format, 640, 480, simd);
            auto engine = MakeEngine();
            const TransitionParams p = Params(1);
            ASSERT_EQ(engine->Start(&p), 1);
            EXPECT_EQ(engine->IsRunning(), 1);
            int changed = -1;
            EXPECT_EQ(StepAt(*engine, 19, &changed), 0);
            EXPECT_EQ(changed, 0) << "no step before the first 20 ms";
            for (DWORD t : {20u, 100u, 320u, 620u}) {
                EXPECT_EQ(StepAt(*engine, t, &changed), 0);
                EXPECT_EQ(changed, 1);
                ExpectFadeFrame(DrawPicture(), before, after, static_cast<int>(t / 20 * 8),
                                simd == pt::SimdChoice::Simd);
            }
            // The before and after pictures are only read.
            EXPECT_TRUE(BeforePicture().SamePixels(before));
        }
}

TEST_F(EngineTest, CrossFadeEndsAt640MsWithTheDefaultRow) {
    Use(32);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    int changed = -1;
    EXPECT_EQ(StepAt(*engine, 620, &changed), 0);
    EXPECT_EQ(StepAt(*engine, 639, &changed), 0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(StepAt(*engine, 640, &changed), 1);
    EXPECT_EQ(changed, 1);
    // Running until the caller ends it.
    EXPECT_EQ(engine->IsRunning(), 1);
    engine->End();
    EXPECT_EQ(engine->IsRunning(), 0);
}

TEST_F(EngineTest, CrossFadeDrawsOnceAfterATimeJump) {
    Use(16);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    int changed = -1;
    StepAt(*engine, 30, &changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(StepAt(*engine, 200, &changed), 0);
    EXPECT_EQ(changed, 1);
    ExpectFadeFrame(DrawPicture(), before, after, 80, false);
    EXPECT_EQ(StepAt(*engine, 210, &changed), 0);
    EXPECT_EQ(changed, 0);
}

TEST_F(EngineTest, CrossFadeWithoutDrawSurfaceBlendsTheBeforeSurfaceFromStepToStep) {
    Use(32, 640, 480, pt::SimdChoice::Plain);
    auto engine = MakeEngine();
    TransitionParams p = Params(1);
    p.draw = nullptr;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 20);
    Picture expected(32, 640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            expected.SetPixel(x, y, RefBlend(32, before.Pixel(x, y), after.Pixel(x, y), 8));
    StepAt(*engine, 40);
    const Picture frame = BeforePicture();
    for (int y = 0; y < 480; y += 13)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(frame.Pixel(x, y), RefBlend(32, expected.Pixel(x, y), after.Pixel(x, y), 16));
}

TEST_F(EngineTest, KeyedCrossFadeLeavesTheBeforePictureWhereTheAfterPictureHasTheKey) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format);
        const std::uint32_t key = format == 15 ? 0x0C63 : format == 16 ? 0x18E3 : 0x00202020;
        for (int y = 100; y < 200; ++y)
            for (int x = 0; x < 640; ++x)
                after.SetPixel(x, y, key);
        Put(m_After, after);
        auto engine = MakeEngine();
        TransitionParams p = Params(1);
        p.keySource = kKeyColor;
        p.color = key;
        ASSERT_EQ(engine->Start(&p), 1);
        StepAt(*engine, 200);
        const Picture frame = DrawPicture();
        for (int y = 0; y < 480; y += 5)
            for (int x = 0; x < 640; x += 3) {
                // Random pixels elsewhere may hold the key too (1 in 32768 at 15 bits).
                const bool isKey = (after.Pixel(x, y) & 0xFFFFFF) == key;
                const std::uint32_t want =
                    isKey ? before.Pixel(x, y) : RefBlend(format, before.Pixel(x, y), after.Pixel(x, y), 80);
                ASSERT_EQ(frame.Pixel(x, y), want) << x << "," << y;
            }
    }
}

TEST_F(EngineTest, CornerKeysComeFromTheAfterPicturesCorners) {
    for (int format : kFormats)
        for (LONG corner : {kKeyTopLeft, kKeyTopRight, kKeyBottomLeft, kKeyBottomRight}) {
            SCOPED_TRACE(format * 10 + corner);
            Use(format, 64, 32);
            const int cx = corner == kKeyTopRight || corner == kKeyBottomRight ? 63 : 0;
            const int cy = corner == kKeyBottomLeft || corner == kKeyBottomRight ? 31 : 0;
            // The corner's colour, and a pixel elsewhere sharing it, are not drawn.
            after.SetPixel(10, 10, after.Pixel(cx, cy));
            Put(m_After, after);
            auto engine = MakeEngine();
            TransitionParams p = Params(1);
            p.destWidth = p.imageWidth = 64;
            p.destHeight = p.imageHeight = 32;
            p.source = RECT{0, 0, 64, 32};
            p.keySource = corner;
            ASSERT_EQ(engine->Start(&p), 1);
            StepAt(*engine, 320);
            const Picture frame = DrawPicture();
            EXPECT_EQ(frame.Pixel(cx, cy), before.Pixel(cx, cy));
            EXPECT_EQ(frame.Pixel(10, 10), before.Pixel(10, 10));
            EXPECT_EQ(frame.Pixel(20, 20), RefBlend(format, before.Pixel(20, 20), after.Pixel(20, 20), 128));
        }
}

TEST_F(EngineTest, A555DisplayRunsTheFiveBitGreenBlend) {
    Use(15);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 100);
    ExpectFadeFrame(DrawPicture(), before, after, 40, false);
}

TEST_F(EngineTest, IdenticalPicturesCrossFadeUnchanged) {
    Use(24);
    Put(m_After, before);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    for (DWORD t = 20; t < 640; t += 60) {
        StepAt(*engine, t);
        ASSERT_TRUE(DrawPicture().SamePixels(before)) << t;
    }
}

TEST_F(EngineTest, VectorAndPlainCrossFadesGiveTheSameFramesAtAnyWidth) {
    for (int format : kFormats)
        for (LONG width : {640, 632, 77, 13, 8, 1}) {
            SCOPED_TRACE(format * 1000 + width);
            Picture frames[2];
            for (int path = 0; path < 2; ++path) {
                Use(format, 640, 480, path ? pt::SimdChoice::Simd : pt::SimdChoice::Plain);
                auto engine = MakeEngine();
                TransitionParams p = Params(1);
                p.destX = 5;
                p.destY = 3;
                p.source = RECT{2, 1, 2 + width, 101};
                ASSERT_EQ(engine->Start(&p), 1);
                StepAt(*engine, 260);
                frames[path] = DrawPicture();
            }
            // The area is rows 3-102; rows below it only need a look.
            for (int y = 0; y < 480; y += y < 110 ? 1 : 17)
                for (int x = 0; x < 640; ++x) {
                    const bool inArea = x >= 5 && x < 5 + width && y >= 3 && y < 103;
                    const std::uint32_t mask =
                        format == 32 ? 0xFFFFFFu : ~0u; // byte 3 is the listed difference
                    ASSERT_EQ(frames[1].Pixel(x, y) & mask, frames[0].Pixel(x, y) & mask) << x << "," << y;
                    if (!inArea) {
                        ASSERT_EQ(frames[0].Pixel(x, y), before.Pixel(x, y));
                    } else {
                        ASSERT_EQ(frames[0].Pixel(x, y) & mask,
                                  RefBlend(format, before.Pixel(x, y), after.Pixel(x - 3, y - 2), 104));
                    }
                }
        }
}

TEST_F(EngineTest, TheClockMayWrapDuringATransition) {
    Use(32);
    pt::UseManualClock(0xFFFFFFFFu - 300);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    int changed = -1;
    pt::AdvanceClock(620); // past 2^32
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 1);
    ExpectFadeFrame(DrawPicture(), before, after, 248, engine->IsSimdAvailable() != 0);
    pt::AdvanceClock(20);
    EXPECT_EQ(engine->Step(&changed), 1);
}

TEST_F(EngineTest, ASecondStartDuringACrossFadeRestartsFromTheNewRecord) {
    Use(32, 640, 480, pt::SimdChoice::Plain);
    auto engine = MakeEngine();
    TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 300);
    pt::SetClock(kClockStart + 1000);
    p.timing[3] = 16;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 1020);
    ExpectFadeFrame(DrawPicture(), before, after, 16, false);
    EXPECT_EQ(StepAt(*engine, 1320), 1);
}

TEST_F(EngineTest, RestampMovesTheStartToNow) {
    Use(32);
    auto engine = MakeEngine();
    const TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    pt::SetClock(kClockStart + 500);
    engine->RestampStart();
    EXPECT_EQ(StepAt(*engine, 640), 0);
    EXPECT_EQ(StepAt(*engine, 1140), 1);
}
