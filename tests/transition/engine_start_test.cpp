#include "tests/transition/Engine.h"

#include "tools/fixtures/ArcWriter.h"

using namespace transition_test;

TEST_F(EngineTest, StartsWithoutAKindOrWithoutPicturesAreRefused) {
    Use(32);
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
}

TEST_F(EngineTest, WithoutItsArchiveTheEngineRefusesEveryStart) {
    Use(32);
    CTransition never;
    const TransitionParams p = Params(1);
    EXPECT_EQ(never.Start(&p), 0);

    ASSERT_TRUE(fixtures::WriteFileText(m_Dir.File("bad.arc"), "NOT AN ARCHIVE AT ALL"));
    CTransition broken;
    EXPECT_EQ(broken.Create((m_Dir.ProgramPath() + "bad.arc").c_str()), 0);
    EXPECT_EQ(broken.Start(&p), 0);
}

TEST_F(EngineTest, TheProcessorCheckIsMadeOnceAtCreation) {
    Use(32);
    pt::ForceSimd(pt::SimdChoice::Simd);
    auto vector = MakeEngine();
    pt::ForceSimd(pt::SimdChoice::Plain);
    const TransitionParams p = Params(1);
    ASSERT_EQ(vector->Start(&p), 1);
    StepAt(*vector, 320);
    // The vector path blends byte 3 of 32-bit pixels; the plain path writes it as 0.
    const Picture frame = DrawPicture();
    EXPECT_EQ(frame.Pixel(1, 1), RefBlend(32, before.Pixel(1, 1), after.Pixel(1, 1), 128, true));
    auto plain = MakeEngine();
    ASSERT_EQ(plain->Start(&p), 1);
    pt::SetClock(kClockStart);
    plain->RestampStart();
    StepAt(*plain, 320);
    EXPECT_EQ(DrawPicture().Pixel(1, 1), RefBlend(32, before.Pixel(1, 1), after.Pixel(1, 1), 128, false));
}

TEST_F(EngineTest, AStopRequestEndsEveryKindAtOnceAndLeavesTheFlag) {
    Use(32);
    auto engine = MakeEngine();
    for (LONG effect : {1, 2, 3}) {
        TransitionParams p = Params(effect);
        p.timing[0] = 1000; // a shake that would last
        p.timing[1] = 10;
        ASSERT_EQ(engine->Start(&p), 1);
        engine->RequestStop();
        int changed = 9;
        EXPECT_EQ(StepAt(*engine, 100, &changed), 1) << effect;
        EXPECT_EQ(changed, 9);
        engine->End();
    }
    EXPECT_TRUE(DrawPicture().SamePixels(before));
    EXPECT_TRUE(BeforePicture().SamePixels(before));
}

TEST_F(EngineTest, AnAreaBeyondTheSurfacesIsKeptInsideThem) {
    Use(32, 200, 100);
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
            const bool inArea = y >= 60;
            const std::uint32_t want = inArea ? RefBlend(32, before.Pixel(x, y), after.Pixel(x + 10, y - 60),
                                                         128, engine->IsSimdAvailable() != 0)
                                              : before.Pixel(x, y);
            if (inArea && x + 10 >= 200) {
                ASSERT_EQ(frame.Pixel(x, y), before.Pixel(x, y));
                continue;
            }
            ASSERT_EQ(frame.Pixel(x, y), want) << x << "," << y;
        }
}

TEST_F(EngineTest, AStepAfterEndTouchesNothing) {
    Use(32);
    auto engine = MakeEngine({{"mesh", fixtures::RuleMaskShape(fixtures::RuleShape::Noise, 640, 480)}});
    for (LONG effect : {1, 38}) {
        const TransitionParams p = Params(effect);
        ASSERT_EQ(engine->Start(&p), 1);
        StepAt(*engine, 100);
        engine->End();
        int changed = 4;
        EXPECT_EQ(StepAt(*engine, 200, &changed), 1);
        EXPECT_EQ(changed, 4);
    }
    // The compositor deletes its work surfaces after End; a stray step must not reach them.
    ReleaseSurfaces();
    EXPECT_EQ(engine->Step(nullptr), 1);
}
