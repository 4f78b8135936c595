// The transition engine over surfaces: starts and refusals, the cross-fade, the dither and the shake
// at chosen clock times, stops, and the area it works on.
#include "tests/graphics/transitions/TransitionFixture.h"

using namespace transition_test;

namespace {
// Every seventh row of the frame is the blend at `alpha`; the vector path blends byte 3 of 32-bit
// pixels too.
void ExpectFadeFrame(const Picture& frame, const Picture& a, const Picture& b, int alpha, bool simd) {
    for (int y = 0; y < frame.height; y += 7)
        for (int x = 0; x < frame.width; ++x)
            ASSERT_EQ(frame.Pixel(x, y), Blended(frame.format, a.Pixel(x, y), b.Pixel(x, y), alpha, simd))
                << "alpha " << alpha << " at " << x << "," << y;
}

// After the dither steps of `copied` (indices of the order), those cells show the after picture.
void ExpectDitherCells(const Picture& frame, const Picture& a, const Picture& b,
                       const std::vector<int>& copied) {
    for (int y = 0; y < frame.height; y += 3)
        for (int x = 0; x < frame.width; ++x) {
            bool isCopied = false;
            for (int k : copied)
                isCopied = isCopied || (DitherOrder[k].column == x % 4 && DitherOrder[k].row == y % 4);
            ASSERT_EQ(frame.Pixel(x, y), isCopied ? b.Pixel(x, y) : a.Pixel(x, y)) << x << "," << y;
        }
}
} // namespace

TEST_F(EngineTest, StartsWithoutAKindOrWithoutPicturesOrArchiveAreRefused) {
    Use(32, 64, 32);
    auto engine = MakeEngine();
    EXPECT_EQ(engine->Start(nullptr), 0);
    for (LONG effect : {0, 72, 100, -1}) {
        const TransitionParams p = Params(effect);
        EXPECT_EQ(engine->Start(&p), 0) << effect;
    }
    TransitionParams p = Params(1);
    p.before = nullptr;
    EXPECT_EQ(engine->Start(&p), 0);
    p = Params(1);
    p.after = nullptr;
    EXPECT_EQ(engine->Start(&p), 0);
    EXPECT_EQ(engine->IsRunning(), 0);
    int changed = 3;
    EXPECT_EQ(engine->Step(&changed), 1) << "nothing to step";
    // WithoutItsArchiveTheEngineRefusesEveryStart
    p = Params(1);
    CTransition never;
    EXPECT_EQ(never.Start(&p), 0);
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("bad.arc"), "NOT AN ARCHIVE AT ALL"));
    CTransition broken;
    EXPECT_EQ(broken.Create((dir.ProgramPath() + "bad.arc").c_str()), 0);
    EXPECT_EQ(broken.Start(&p), 0);
}

TEST_F(EngineTest, TheProcessorCheckIsMadeOnceAtCreation) {
    Use(32, 64, 32, pt::SimdChoice::Simd);
    auto vector = MakeEngine();
    pt::ForceSimd(pt::SimdChoice::Plain);
    const TransitionParams p = Params(1);
    ASSERT_EQ(vector->Start(&p), 1);
    StepAt(*vector, 320);
    // The vector path blends byte 3 of 32-bit pixels; the plain path writes it as 0.
    EXPECT_EQ(DrawPicture().Pixel(1, 1), Blended(32, before.Pixel(1, 1), after.Pixel(1, 1), 128, true));
    auto plain = MakeEngine();
    ASSERT_EQ(plain->Start(&p), 1);
    pt::SetClock(kClockStart);
    plain->RestampStart();
    StepAt(*plain, 320);
    EXPECT_EQ(DrawPicture().Pixel(1, 1), Blended(32, before.Pixel(1, 1), after.Pixel(1, 1), 128));
#if defined(__x86_64__)
    pt::ForceSimd(pt::SimdChoice::Detect);
    EXPECT_EQ(CTransition::IsSimdAvailable(), 1); // every x86-64 processor has SSE2
#endif
}

TEST_F(EngineTest, CrossFadeFramesFollowTheFormulaOnBothPathsInEveryFormat) {
    for (int format : kFormats)
        for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
            SCOPED_TRACE(format);
            Use(format, 96, 40, simd);
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
            EXPECT_TRUE(BeforePicture().SamePixels(before)); // only read
            // CrossFadeEndsAt640MsWithTheDefaultRow, running until the caller ends it.
            EXPECT_EQ(StepAt(*engine, 639, &changed), 0);
            EXPECT_EQ(changed, 0);
            EXPECT_EQ(StepAt(*engine, 640, &changed), 1);
            EXPECT_EQ(changed, 1);
            EXPECT_EQ(engine->IsRunning(), 1);
            engine->End();
            EXPECT_EQ(engine->IsRunning(), 0);
        }
}

TEST_F(EngineTest, CrossFadeTimesJumpsRestartsRestampsAndTheClocksWrap) {
    Use(16, 64, 32, pt::SimdChoice::Plain);
    auto engine = MakeEngine();
    TransitionParams p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    // CrossFadeDrawsOnceAfterATimeJump
    int changed = -1;
    StepAt(*engine, 30, &changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(StepAt(*engine, 200, &changed), 0);
    EXPECT_EQ(changed, 1);
    ExpectFadeFrame(DrawPicture(), before, after, 80, false);
    EXPECT_EQ(StepAt(*engine, 210, &changed), 0);
    EXPECT_EQ(changed, 0);
    // ASecondStartDuringACrossFadeRestartsFromTheNewRecord
    pt::SetClock(kClockStart + 1000);
    p.timing[3] = 16;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 1020);
    ExpectFadeFrame(DrawPicture(), before, after, 16, false);
    EXPECT_EQ(StepAt(*engine, 1320), 1);
    // RestampMovesTheStartToNow
    p = Params(1);
    ASSERT_EQ(engine->Start(&p), 1);
    pt::SetClock(kClockStart + 1500);
    engine->RestampStart();
    EXPECT_EQ(StepAt(*engine, 2140 - 1), 0);
    EXPECT_EQ(StepAt(*engine, 2140), 1);
    // TheClockMayWrapDuringATransition
    pt::UseManualClock(0xFFFFFFFFu - 300);
    ASSERT_EQ(engine->Start(&p), 1);
    pt::AdvanceClock(620); // past 2^32
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 1);
    ExpectFadeFrame(DrawPicture(), before, after, 248, false);
    pt::AdvanceClock(20);
    EXPECT_EQ(engine->Step(&changed), 1);
}

TEST_F(EngineTest, CrossFadeWithoutDrawSurfaceBlendsTheBeforeSurfaceFromStepToStep) {
    Use(32, 64, 32, pt::SimdChoice::Plain);
    auto engine = MakeEngine();
    TransitionParams p = Params(1);
    p.draw = nullptr;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 20);
    StepAt(*engine, 40);
    const Picture frame = BeforePicture();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(frame.Pixel(x, y), Blended(32, Blended(32, before.Pixel(x, y), after.Pixel(x, y), 8),
                                                 after.Pixel(x, y), 16));
}

// The key from the colour word or from a corner of the after picture: those pixels are not drawn.
TEST_F(EngineTest, KeyedCrossFadeLeavesTheBeforePictureWhereTheAfterPictureHasTheKey) {
    for (int format : kFormats)
        for (LONG source : {kKeyColor, kKeyTopLeft, kKeyTopRight, kKeyBottomLeft, kKeyBottomRight}) {
            SCOPED_TRACE(format * 10 + source);
            Use(format, 64, 32);
            const int cx = source == kKeyTopRight || source == kKeyBottomRight ? 63 : 0;
            const int cy = source == kKeyBottomLeft || source == kKeyBottomRight ? 31 : 0;
            const std::uint32_t key = source == kKeyColor
                                          ? (format == 15   ? 0x0C63
                                             : format == 16 ? 0x18E3
                                                            : 0x202020)
                                          : after.Pixel(cx, cy) & (format == 32 ? 0xFFFFFF : ~0u);
            for (int x = 0; x < 64; ++x) // a row of the key, byte 3 of 32-bit pixels aside
                after.SetPixel(x, 10, format == 32 ? key | 0xAB000000 : key);
            Put(m_After, after);
            auto engine = MakeEngine();
            TransitionParams p = Params(1);
            p.destWidth = p.imageWidth = 64;
            p.destHeight = p.imageHeight = 32;
            p.keySource = source;
            p.color = key;
            ASSERT_EQ(engine->Start(&p), 1);
            StepAt(*engine, 320);
            const Picture frame = DrawPicture();
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 64; ++x) {
                    const bool isKey = (after.Pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF);
                    ASSERT_EQ(frame.Pixel(x, y),
                              isKey ? before.Pixel(x, y)
                                    : Blended(format, before.Pixel(x, y), after.Pixel(x, y), 128))
                        << x << "," << y;
                }
        }
}

TEST_F(EngineTest, AnAreaBeyondTheSurfacesIsKeptInsideThemOnBothPaths) {
    for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
        Use(32, 200, 100, simd);
        auto engine = MakeEngine();
        TransitionParams p = Params(1);
        p.destX = -30;
        p.destY = 50;
        p.source = RECT{-20, -10, 5000, 5000}; // the caller's sizes say 640 x 480
        ASSERT_EQ(engine->Start(&p), 1);
        StepAt(*engine, 320);
        const Picture frame = DrawPicture();
        // Destination x -30 takes the source from column 10; the source's -10 rows above move the area
        // down by 10 more.
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inArea = y >= 60 && x + 10 < 200;
                ASSERT_EQ(frame.Pixel(x, y),
                          inArea ? Blended(32, before.Pixel(x, y), after.Pixel(x + 10, y - 60), 128,
                                           simd == pt::SimdChoice::Simd)
                                 : before.Pixel(x, y))
                    << x << "," << y;
            }
    }
}

TEST_F(EngineTest, AStopRequestEndsEveryKindAtOnceAndAStepAfterEndTouchesNothing) {
    Use(32, 64, 32);
    auto engine = MakeEngine({{"mesh", fixtures::RuleMaskShape(fixtures::RuleShape::Noise, 640, 480)}});
    for (LONG effect : {1, 2, 3, 38}) {
        SCOPED_TRACE(effect);
        TransitionParams p = Params(effect);
        if (effect == 3) p.timing[0] = 1000, p.timing[1] = 10; // a shake that would last
        ASSERT_EQ(engine->Start(&p), 1);
        engine->RequestStop();
        int changed = 9;
        EXPECT_EQ(StepAt(*engine, 100, &changed), 1);
        EXPECT_EQ(changed, 9);
        engine->End();
        EXPECT_EQ(StepAt(*engine, 200, &changed), 1);
        EXPECT_EQ(changed, 9);
    }
    EXPECT_TRUE(DrawPicture().SamePixels(before) && BeforePicture().SamePixels(before));
    // The compositor deletes its work surfaces after End; a stray step must not reach them.
    ReleaseDisplay();
    EXPECT_EQ(engine->Step(nullptr), 1);
}

TEST_F(EngineTest, DitherInTimingMode0CopiesOneCellOrderEntryPerDueStep) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format, 64, 48);
        auto engine = MakeEngine();
        const TransitionParams p = Params(2);
        ASSERT_EQ(engine->Start(&p), 1);
        int changed = -1;
        EXPECT_EQ(StepAt(*engine, 0, &changed), 0);
        EXPECT_EQ(changed, 0) << "the first step comes after the start tick";
        std::vector<int> copied;
        DWORD t = 1;
        for (int k = 0; k < 16; ++k, t += 26) {
            EXPECT_EQ(StepAt(*engine, t, &changed), 0);
            EXPECT_EQ(changed, 1);
            copied.push_back(k);
            if (k == 0 || k == 7) ExpectDitherCells(BeforePicture(), before, after, copied);
            EXPECT_EQ(StepAt(*engine, t + 25, &changed), 0); // not yet 25 ms later: no step
            EXPECT_EQ(changed, 0);
        }
        EXPECT_TRUE(BeforePicture().SamePixels(after));
        EXPECT_EQ(StepAt(*engine, t, &changed), 1);
        EXPECT_EQ(changed, 1);
    }
}

TEST_F(EngineTest, DitherInTimingMode1SkipsTheStepsItPassesOverAndKeyedDoesNotCopyTheKey) {
    Use(16, 64, 48);
    auto engine = MakeEngine();
    TransitionParams p = Params(2);
    p.timingMode = 1;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 60); // index 2
    ExpectDitherCells(BeforePicture(), before, after, {2});
    StepAt(*engine, 120); // index 4
    ExpectDitherCells(BeforePicture(), before, after, {2, 4});
    int changed = -1;
    EXPECT_EQ(StepAt(*engine, 124, &changed), 0);
    EXPECT_EQ(changed, 0);
    for (DWORD t = 180; t < 400; t += 60)
        EXPECT_EQ(StepAt(*engine, t), 0);
    EXPECT_EQ(StepAt(*engine, 420), 1) << "index 16 finishes";
    // KeyedDitherDoesNotCopyTheKeyColour
    for (int format : kFormats) {
        Use(format, 64, 48);
        const std::uint32_t key = format == 15 ? 0x1111 : format == 16 ? 0x2222 : 0x00333333;
        for (int x = 0; x < 64; ++x)
            after.SetPixel(x, 5, format == 32 ? key | 0xAB000000u : key);
        Put(m_After, after);
        auto keyed = MakeEngine();
        p = Params(2);
        p.keySource = kKeyColor;
        p.color = key;
        ASSERT_EQ(keyed->Start(&p), 1);
        RunToEnd(*keyed, 26, 0, 17 * 26);
        const Picture frame = BeforePicture();
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(frame.Pixel(x, y), y == 5 ? before.Pixel(x, y) : after.Pixel(x, y)) << format;
    }
}

TEST_F(EngineTest, ShakeShowsTheOffsetsInOrderAndStopsAtItsDuration) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format, 64, 48);
        auto engine = MakeEngine();
        TransitionParams p = Params(3);
        p.draw = nullptr;
        p.destWidth = p.imageWidth = 64;
        p.destHeight = p.imageHeight = 48;
        p.timing[0] = 500;
        p.timing[1] = 50;
        p.color = 0x1F;
        int changed = -1;
        ASSERT_EQ(engine->Start(&p), 1);
        for (DWORD t : {0u, 60u, 110u, 170u, 400u, 499u}) {
            EXPECT_EQ(StepAt(*engine, t, &changed), 0);
            EXPECT_EQ(changed, 1);
            const ShakeOffset o = ShakeOffsets[t / 50 % 8];
            const Picture frame = BeforePicture();
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x) {
                    const int sx = x - o.dx, sy = y - o.dy;
                    const bool shown = sx >= 0 && sx < 64 && sy >= 0 && sy < 48;
                    ASSERT_EQ(frame.Pixel(x, y), shown ? after.Pixel(sx, sy) : 0x1Fu)
                        << "t " << t << " at " << x << "," << y;
                }
        }
        EXPECT_EQ(StepAt(*engine, 499, &changed), 0);
        EXPECT_EQ(changed, 0);
        changed = -1;
        EXPECT_EQ(StepAt(*engine, 500, &changed), 1);
        EXPECT_EQ(changed, -1) << "the end of a shake leaves the flag alone";
    }
    // ShakeWithTheTablesRowFinishesOnItsFirstStepWithoutDrawing
    Use(32, 64, 48);
    auto engine = MakeEngine();
    TransitionParams p = Params(3);
    p.draw = nullptr;
    ASSERT_EQ(engine->Start(&p), 1);
    int changed = -1;
    EXPECT_EQ(StepAt(*engine, 0, &changed), 1);
    EXPECT_EQ(changed, -1);
    EXPECT_TRUE(BeforePicture().SamePixels(before));
}

TEST_F(EngineTest, DitherAndShakeTimesSurviveTheClocksWrap) {
    Use(16, 64, 48);
    auto engine = MakeEngine();
    // The next dither step falls just past 2^32 while the clock still reads just below it.
    pt::UseManualClock(0xFFFFFFFFu - 14);
    TransitionParams p = Params(2);
    ASSERT_EQ(engine->Start(&p), 1);
    int changed = -1;
    pt::AdvanceClock(1);
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 1);
    pt::AdvanceClock(10); // 11 ms after the start: the next step is 25 ms after the first
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 0);
    pt::AdvanceClock(16); // past the wrap, 26 ms after the first step
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 1);
    ExpectDitherCells(BeforePicture(), before, after, {0, 1});
    engine->End();
    p = Params(3);
    p.draw = nullptr;
    p.timing[0] = 100;
    p.timing[1] = 30;
    ASSERT_EQ(engine->Start(&p), 1);
    pt::AdvanceClock(60); // past 2^32
    EXPECT_EQ(engine->Step(&changed), 0);
    EXPECT_EQ(changed, 1);
    pt::AdvanceClock(40);
    changed = -1;
    EXPECT_EQ(engine->Step(&changed), 1);
    EXPECT_EQ(changed, -1);
}
