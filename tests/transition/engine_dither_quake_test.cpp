#include "tests/transition/Engine.h"

using namespace transition_test;

namespace {
// After `steps` dither steps the cells of the first `steps` order entries (or those listed) show the
// after picture.
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

TEST_F(EngineTest, DitherInTimingMode0CopiesOneCellOrderEntryPerDueStep) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format);
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
            if (k == 0 || k == 7 || k == 15) ExpectDitherCells(BeforePicture(), before, after, copied);
            // Not yet 25 ms later: no step.
            EXPECT_EQ(StepAt(*engine, t + 25, &changed), 0);
            EXPECT_EQ(changed, 0);
        }
        EXPECT_TRUE(BeforePicture().SamePixels(after));
        EXPECT_EQ(StepAt(*engine, t, &changed), 1);
        EXPECT_EQ(changed, 1);
    }
}

TEST_F(EngineTest, DitherInTimingMode1SkipsTheStepsItPassesOver) {
    Use(16);
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
}

TEST_F(EngineTest, KeyedDitherDoesNotCopyTheKeyColour) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format, 64, 48);
        const std::uint32_t key = format == 15 ? 0x1111 : format == 16 ? 0x2222 : 0x00333333;
        for (int x = 0; x < 64; ++x)
            after.SetPixel(x, 5, format == 32 ? key | 0xAB000000u : key);
        Put(m_After, after);
        auto engine = MakeEngine();
        TransitionParams p = Params(2);
        p.destWidth = p.imageWidth = 64;
        p.destHeight = p.imageHeight = 48;
        p.source = RECT{0, 0, 64, 48};
        p.keySource = kKeyColor;
        p.color = key;
        ASSERT_EQ(engine->Start(&p), 1);
        for (DWORD t = 1; t < 17 * 26; t += 26)
            StepAt(*engine, t);
        const Picture frame = BeforePicture();
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(frame.Pixel(x, y),
                          (after.Pixel(x, y) & 0xFFFFFF) == key ? before.Pixel(x, y) : after.Pixel(x, y));
    }
}

TEST_F(EngineTest, ShakeShowsTheOffsetsInOrderAndStopsAtItsDuration) {
    for (int format : kFormats) {
        SCOPED_TRACE(format);
        Use(format);
        auto engine = MakeEngine();
        TransitionParams p = Params(3);
        p.draw = nullptr;
        p.timing[0] = 500;
        p.timing[1] = 50;
        p.color = 0x1F;
        p.source = RECT{0, 0, 0, 0};
        ASSERT_EQ(engine->Start(&p), 1);
        int changed = -1;
        for (DWORD t : {0u, 60u, 110u, 170u, 400u, 499u}) {
            const int n = static_cast<int>(t / 50);
            EXPECT_EQ(StepAt(*engine, t, &changed), 0);
            EXPECT_EQ(changed, 1);
            const ShakeOffset o = ShakeOffsets[n % 8];
            const Picture frame = BeforePicture();
            for (int y = 0; y < 480; y += 3)
                for (int x = 0; x < 640; x += 1) {
                    const int sx = x - o.dx, sy = y - o.dy;
                    const bool shown = sx >= 0 && sx < 640 && sy >= 0 && sy < 480;
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
}

TEST_F(EngineTest, ShakeWithTheTablesRowFinishesOnItsFirstStepWithoutDrawing) {
    Use(32);
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
    Use(16);
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
