// The transition engine over surfaces: starts and refusals, the cross-fade, the dither and the shake
// at chosen clock times, stops, and the area it works on.
#include "tests/graphics/transitions/TransitionFixture.h"

using namespace transition_test;

namespace {
// The cross-fade frame at `alpha` on every seventh row; the vector path blends byte 3 of 32-bit pixels too.
void ExpectFadeFrame(const Picture& frame, const Picture& a, const Picture& b, int alpha, bool simd = false) {
    ExpectFrame(
        frame, [&](int x, int y) { return Blended(frame.format, a.Pixel(x, y), b.Pixel(x, y), alpha, simd); },
        7);
}

// After the dither steps of `copied` (indices of the order), those cells show the after picture.
void ExpectDitherCells(const Picture& frame, const Picture& a, const Picture& b,
                       const std::vector<int>& copied) {
    ExpectFrame(frame, [&](int x, int y) {
        bool isCopied = false;
        for (int k : copied)
            isCopied = isCopied || (DitherOrder[k].column == x % 4 && DitherOrder[k].row == y % 4);
        return (isCopied ? b : a).Pixel(x, y);
    });
}

std::uint32_t KeyOf(int format) {
    return format == 15 ? 0x0C63 : format == 16 ? 0x18E3 : 0x202020;
}
} // namespace

TEST_F(EngineTest, StartsWithoutAKindPicturesOrArchiveAreRefusedAndTheProcessorIsAskedOnce) {
    Use(32, 64, 32);
    auto engine = MakeEngine();
    EXPECT_EQ(engine->Start(nullptr), 0);
    TransitionParams noBefore = Params(1), noAfter = Params(1);
    noBefore.before = nullptr;
    noAfter.after = nullptr;
    for (const TransitionParams& p : {Params(0), Params(72), Params(100), Params(-1), noBefore, noAfter})
        EXPECT_EQ(engine->Start(&p), 0) << p.effect;
    EXPECT_EQ(engine->IsRunning(), 0);
    EXPECT_EQ(StepNow(*engine), kEndedUntouched) << "nothing to step";
    // WithoutItsArchiveTheEngineRefusesEveryStart
    const TransitionParams p = Params(1);
    CTransition never, broken;
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("bad.arc"), "NOT AN ARCHIVE AT ALL"));
    EXPECT_EQ(broken.Create((dir.ProgramPath() + "bad.arc").c_str()), 0);
    EXPECT_FALSE(never.Start(&p) || broken.Start(&p));
    // TheProcessorCheckIsMadeOnceAtCreation
    pt::ForceSimd(pt::SimdChoice::Simd);
    auto vector = MakeEngine();
    pt::ForceSimd(pt::SimdChoice::Plain);
    auto plain = MakeEngine();
    // The vector path blends byte 3 of 32-bit pixels; the plain path writes it as 0.
    for (CTransition* each : {vector.get(), plain.get()}) {
        ASSERT_EQ(Start(*each, Params(1)), 1);
        StepAt(*each, 320);
        EXPECT_EQ(DrawPicture().Pixel(1, 1),
                  Blended(32, before.Pixel(1, 1), after.Pixel(1, 1), 128, each == vector.get()));
    }
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
            clockBase = 0xFFFFFFFFu - 300; // TheClockMayWrapDuringATransition
            auto engine = Started(Params(1));
            EXPECT_EQ(engine->IsRunning(), 1);
            EXPECT_EQ(Step(*engine, 19), kWaiting) << "no step before the first 20 ms";
            for (DWORD t : {20u, 100u, 320u, 620u}) {
                EXPECT_EQ(Step(*engine, t), kDrawn);
                ExpectFadeFrame(DrawPicture(), before, after, static_cast<int>(t / 20 * 8),
                                simd == pt::SimdChoice::Simd);
            }
            EXPECT_TRUE(BeforePicture().SamePixels(before)); // only read
            // CrossFadeEndsAt640MsWithTheDefaultRow, running until the caller ends it.
            EXPECT_EQ(Step(*engine, 639), kWaiting);
            EXPECT_EQ(Step(*engine, 640), kEnded);
            EXPECT_EQ(engine->IsRunning(), 1);
            engine->End();
            EXPECT_EQ(engine->IsRunning(), 0);
        }
}

TEST_F(EngineTest, CrossFadeTimeJumpsRestartsAndRestamps) {
    Use(16, 64, 32, pt::SimdChoice::Plain);
    TransitionParams p = Params(1);
    auto engine = Started(p);
    // CrossFadeDrawsOnceAfterATimeJump
    EXPECT_EQ(Step(*engine, 30), kDrawn);
    EXPECT_EQ(Step(*engine, 200), kDrawn);
    ExpectFadeFrame(DrawPicture(), before, after, 80);
    EXPECT_EQ(Step(*engine, 210), kWaiting);
    // ASecondStartDuringACrossFadeRestartsFromTheNewRecord
    pt::SetClock(clockBase + 1000);
    p.timing[3] = 16;
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 1020);
    ExpectFadeFrame(DrawPicture(), before, after, 16);
    EXPECT_EQ(StepAt(*engine, 1320), 1);
    // RestampMovesTheStartToNow
    ASSERT_EQ(Start(*engine, Params(1)), 1);
    pt::SetClock(clockBase + 500);
    engine->RestampStart();
    EXPECT_TRUE(StepAt(*engine, 1139) == 0 && StepAt(*engine, 1140) == 1);
}

TEST_F(EngineTest, CrossFadeWithoutDrawSurfaceBlendsTheBeforeSurfaceFromStepToStep) {
    for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
        Use(32, 64, 32, simd);
        TransitionParams p = Params(1);
        p.draw = nullptr;
        auto engine = Started(p);
        StepAt(*engine, 20);
        StepAt(*engine, 40);
        const bool byte3 = simd == pt::SimdChoice::Simd;
        ExpectFrame(BeforePicture(), [&](int x, int y) {
            const std::uint32_t first = Blended(32, before.Pixel(x, y), after.Pixel(x, y), 8, byte3);
            return Blended(32, first, after.Pixel(x, y), 16, byte3);
        });
    }
}

// The key from the colour word or from a corner of the after picture: those pixels are not drawn.
TEST_F(EngineTest, KeyedCrossFadeLeavesTheBeforePictureWhereTheAfterPictureHasTheKey) {
    for (int format : kFormats)
        for (LONG source : {kKeyColor, kKeyTopLeft, kKeyTopRight, kKeyBottomLeft, kKeyBottomRight}) {
            SCOPED_TRACE(format * 10 + source);
            Use(format, 64, 32);
            const int cx = source == kKeyTopRight || source == kKeyBottomRight ? 63 : 0;
            const int cy = source == kKeyBottomLeft || source == kKeyBottomRight ? 31 : 0;
            const std::uint32_t key =
                source == kKeyColor ? KeyOf(format) : after.Pixel(cx, cy) & (format == 32 ? 0xFFFFFF : ~0u);
            for (int x = 0; x < 64; ++x) // a row of the key, byte 3 of 32-bit pixels aside
                after.SetPixel(x, 10, format == 32 ? key | 0xAB000000 : key);
            Put(m_After, after);
            TransitionParams p = Params(1);
            p.destWidth = p.imageWidth = 64;
            p.destHeight = p.imageHeight = 32;
            p.keySource = source;
            p.color = key;
            auto engine = Started(p);
            StepAt(*engine, 320);
            ExpectFrame(DrawPicture(), [&](int x, int y) {
                const bool isKey = (after.Pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF);
                return isKey ? before.Pixel(x, y)
                             : Blended(format, before.Pixel(x, y), after.Pixel(x, y), 128);
            });
        }
}

TEST_F(EngineTest, AnAreaBeyondTheSurfacesIsKeptInsideThemOnBothPaths) {
    for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
        Use(32, 200, 100, simd);
        TransitionParams p = Params(1);
        p.destX = -30;
        p.destY = 50;
        p.source = RECT{-20, -10, 5000, 5000}; // the caller's sizes say 640 x 480
        auto engine = Started(p);
        StepAt(*engine, 320);
        // Destination x -30 takes the source from column 10; the source's -10 rows above move the area
        // down by 10 more.
        ExpectFrame(DrawPicture(), [&](int x, int y) {
            const bool in = y >= 60 && x + 10 < 200;
            return in ? Blended(32, before.Pixel(x, y), after.Pixel(x + 10, y - 60), 128,
                                simd == pt::SimdChoice::Simd)
                      : before.Pixel(x, y);
        });
    }
}

TEST_F(EngineTest, AStopRequestEndsEveryKindAtOnceAndAStepAfterEndTouchesNothing) {
    Use(32, 64, 32);
    auto engine = MakeEngine({{"mesh", fixtures::RuleMaskShape(fixtures::RuleShape::Noise, 640, 480)}});
    for (LONG effect : {1, 2, 3, 38}) {
        TransitionParams p = Params(effect);
        p.timing[0] = effect == 3 ? 1000 : p.timing[0]; // a shake that would last
        p.timing[1] = effect == 3 ? 10 : p.timing[1];
        ASSERT_EQ(Start(*engine, p), 1);
        engine->RequestStop();
        EXPECT_EQ(Step(*engine, 100), kEndedUntouched) << effect;
        engine->End();
        EXPECT_EQ(Step(*engine, 200), kEndedUntouched) << effect;
    }
    EXPECT_TRUE(DrawPicture().SamePixels(before) && BeforePicture().SamePixels(before));
    // The compositor deletes its work surfaces after End; a stray step must not reach them.
    ReleaseDisplay();
    EXPECT_EQ(engine->Step(nullptr), 1);
}

TEST_F(EngineTest, DitherInTimingMode0CopiesOneCellOrderEntryPerDueStepAndKeyedDoesNotCopyTheKey) {
    for (int format : kFormats)
        for (bool keyed : {false, true}) {
            SCOPED_TRACE(format * 10 + keyed);
            Use(format, 64, 48);
            for (int x = 0; x < 64 && keyed; ++x)
                after.SetPixel(x, 5, format == 32 ? KeyOf(32) | 0xAB000000u : KeyOf(format));
            Put(m_After, after);
            clockBase = 0xFFFFFFFFu - 14; // DitherAndShakeTimesSurviveTheClocksWrap
            TransitionParams p = Params(2);
            p.keySource = keyed ? kKeyColor : kKeyNone;
            p.color = KeyOf(format);
            auto engine = Started(p);
            EXPECT_EQ(Step(*engine, 0), kWaiting) << "the first step comes after the start tick";
            std::vector<int> copied;
            DWORD t = 1;
            for (int k = 0; k < 16; ++k, t += 26) {
                EXPECT_EQ(Step(*engine, t), kDrawn);
                copied.push_back(k);
                if ((k == 0 || k == 7) && !keyed) ExpectDitherCells(BeforePicture(), before, after, copied);
                EXPECT_EQ(Step(*engine, t + 25), kWaiting); // not yet 25 ms later
            }
            ExpectFrame(BeforePicture(),
                        [&](int x, int y) { return (keyed && y == 5 ? before : after).Pixel(x, y); });
            EXPECT_EQ(Step(*engine, t), kEnded);
        }
}

TEST_F(EngineTest, DitherInTimingMode1SkipsTheStepsItPassesOver) {
    Use(16, 64, 48);
    TransitionParams p = Params(2);
    p.timingMode = 1;
    auto engine = Started(p);
    StepAt(*engine, 60); // index 2
    ExpectDitherCells(BeforePicture(), before, after, {2});
    StepAt(*engine, 120); // index 4
    ExpectDitherCells(BeforePicture(), before, after, {2, 4});
    EXPECT_EQ(Step(*engine, 124), kWaiting);
    for (DWORD t = 180; t < 400; t += 60)
        EXPECT_EQ(StepAt(*engine, t), 0);
    EXPECT_EQ(StepAt(*engine, 420), 1) << "index 16 finishes";
}

TEST_F(EngineTest, ShakeShowsTheOffsetsInOrderAndStopsAtItsDuration) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format, 64, 48);
        TransitionParams p = Params(3);
        p.draw = nullptr;
        p.destWidth = p.imageWidth = 64;
        p.destHeight = p.imageHeight = 48;
        p.timing[0] = 500;
        p.timing[1] = 50;
        p.color = 0x1F;
        clockBase = 0xFFFFFFFFu - 100;
        auto engine = Started(p);
        for (DWORD t : {0u, 60u, 110u, 170u, 400u, 499u}) {
            EXPECT_EQ(Step(*engine, t), kDrawn);
            const ShakeOffset o = ShakeOffsets[t / 50 % 8];
            ExpectFrame(BeforePicture(), [&](int x, int y) {
                const int sx = x - o.dx, sy = y - o.dy;
                return sx >= 0 && sx < 64 && sy >= 0 && sy < 48 ? after.Pixel(sx, sy) : 0x1Fu;
            });
        }
        EXPECT_EQ(Step(*engine, 499), kWaiting);
        EXPECT_EQ(Step(*engine, 500), kEndedUntouched) << "the end of a shake leaves the flag alone";
    }
    // ShakeWithTheTablesRowFinishesOnItsFirstStepWithoutDrawing
    Use(32, 64, 48);
    TransitionParams p = Params(3);
    p.draw = nullptr;
    auto engine = Started(p);
    EXPECT_EQ(Step(*engine, 0), kEndedUntouched);
    EXPECT_TRUE(BeforePicture().SamePixels(before));
}
