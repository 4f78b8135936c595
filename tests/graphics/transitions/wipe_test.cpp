// Mask wipes: rule masks laid over the screen and checked, and the engine's wipe frames at chosen clock
// times on the plain, vector and keyed paths.
#include "graphics/TransitionRuleMask.h"
#include "tests/graphics/transitions/TransitionFixture.h"

using namespace transition_test;
using fixtures::RuleMaskShape;
using fixtures::RuleShape;

namespace {
BYTE LevelAt(int x, int y) {
    return static_cast<BYTE>((x * 7 + y * 13) & 0xFF);
}
std::vector<BYTE> Levels(int width, int height) {
    std::vector<BYTE> v(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = LevelAt(static_cast<int>(i % width), static_cast<int>(i / width));
    return v;
}
} // namespace

// Smaller masks repeat across and down from the top-left corner; larger ones give that corner.
TEST(RuleMask, TilingFillsTheScreenFromTheTopLeftCorner) {
    const struct {
        int w, h;
    } rows[] = {{320, 240}, {600, 7}, {1, 1}, {640, 480}, {800, 600}, {641, 480}, {640, 1000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.w << "x" << row.h);
        const auto levels = Levels(row.w, row.h);
        std::vector<BYTE> screen(transition::kScreenPixels, 0xEE);
        transition::TileMask(levels.data(), row.w, row.h, screen.data());
        for (int y = 0; y < 480; y += 7)
            for (int x = 0; x < 640; ++x)
                ASSERT_EQ(screen[y * 640 + x], LevelAt(x % row.w, y % row.h)) << x << "," << y;
    }
    std::vector<BYTE> screen(transition::kScreenPixels);
    EXPECT_FALSE(transition::LoadRuleMask(nullptr, 2000, screen.data()));
}

TEST(RuleMask, CountsCoverOnlyTheAreaAndSkipFinishedEntries) {
    std::vector<WORD> mask(10 * 4, 3);
    mask[0] = 0xFFFF;
    mask[1] = 200;
    mask[9] = 200; // outside the 6-wide area
    DWORD histogram[256];
    transition::CountMaskLevels(mask.data(), 10, 6, 4, histogram);
    EXPECT_TRUE(histogram[3] == 22 && histogram[200] == 1 && histogram[255] == 0);
}

// Every path against the wipe as the formulas give it, on an area small enough to run quickly and
// offset on the surfaces: the level rises by the level step at every level-step time, each started
// pixel gains the alpha of the alpha steps since the last call and finishes at 256. The vector path
// differs only in byte 3 of 32-bit pixels and by one in rising channels of finished 24-bit pixels.
TEST_F(EngineTest, MaskWipeFramesFollowTheRuleMaskOnEveryPath) {
    const auto mask = RuleMaskShape(RuleShape::Noise, 640, 480);
    for (int format : kFormats)
        for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
            SCOPED_TRACE(format * 10 + (simd == pt::SimdChoice::Simd));
            Use(format, 72, 24, simd);
            auto engine = MakeEngine({{"random", mask}});
            TransitionParams p = Params(47);
            p.destX = 5;
            p.destY = 3;
            p.source = RECT{2, 1, 2 + 61, 1 + 20}; // rows 3-22 and columns 5-65 of the surfaces
            ASSERT_EQ(Start(*engine, p), 1);
            std::vector<int> alpha(72 * 24, 0);
            Picture model = before;
            int done = 0, left = 61 * 20;
            for (DWORD t = 20; !done && t < 10000; t += 20) {
                const Result r = Step(*engine, t);
                done = r[0];
                EXPECT_EQ(r[1], 1);
                const int level = std::min<int>(256, t / p.timing[0] * p.timing[1]);
                const int delta =
                    std::min<int>(256, p.timing[3] * (t / p.timing[2] - (t - 20) / p.timing[2]));
                for (int y = 3; y < 23; ++y)
                    for (int x = 5; x < 66; ++x) {
                        int& a = alpha[y * 72 + x];
                        if (a >= 256 || mask[1040 + y * 640 + x] > level)
                            continue; // the mask at the screen position
                        a = std::min(a + delta, 256);
                        left -= a >= 256;
                        model.SetPixel(
                            x, y,
                            a >= 256 ? after.Pixel(x - 3, y - 2)
                                     : Blended(format, before.Pixel(x, y), after.Pixel(x - 3, y - 2), a));
                    }
                ASSERT_EQ(done, left == 0) << "at " << t;
                if (t % 300 && !done) continue;
                const Picture frame = DrawPicture();
                ExpectFrame(frame, [&](int x, int y) {
                    const bool same =
                        SameButListed(format, frame.Pixel(x, y), model.Pixel(x, y), before.Pixel(x, y),
                                      simd == pt::SimdChoice::Simd && alpha[y * 72 + x] >= 256);
                    return same ? frame.Pixel(x, y) : model.Pixel(x, y);
                });
            }
            EXPECT_TRUE(done);
        }
}

// A small mask is tiled and the 24-bit plain scan's counts come from the tiled screen; counts in the
// header that say otherwise cannot stall the wipe.
TEST_F(EngineTest, MasksOfAnySizeAndCountFinishEveryPixel) {
    auto wrongCounts = RuleMaskShape(RuleShape::LeftToRight, 640, 480);
    for (std::size_t v = 0; v < 256; ++v)
        fixtures::PutU32(wrongCounts, 16 + 4 * v, v == 0 ? 1 : 0); // counts saying one pixel in all
    Use(24, 640, 240, pt::SimdChoice::Plain);                      // the area holds the small mask twice
    auto engine =
        MakeEngine({{"mosaic", RuleMaskShape(RuleShape::Noise, 320, 240)}, {"left_to_right", wrongCounts}});
    for (LONG effect : {45, 19}) {
        Put(m_Draw, before);
        ASSERT_EQ(Start(*engine, Params(effect)), 1);
        EXPECT_EQ(RunToEnd(*engine), 3180u) << effect;
        EXPECT_TRUE(DrawPicture().SamePixels(after)) << effect;
        engine->End();
    }
}

// A damaged or missing mask, or a picture format the pixel routines cannot address, is refused at the
// set-up and leaves a running transition as it was. Bytes after the mask, and counts that do not match
// its levels, are no damage.
TEST_F(EngineTest, ARefusedStartLeavesTheRunningTransitionAsItWas) {
    Use(32, 160, 120, pt::SimdChoice::Plain);
    const auto good = RuleMaskShape(RuleShape::Noise, 40, 30);
    const auto damaged = [&](std::size_t offset, std::uint32_t value, std::uint32_t total = 1040 + 1200) {
        auto b = good;
        fixtures::PutU32(b, 0, total);
        fixtures::PutU32(b, offset, value);
        return b;
    };
    auto longer = good;
    longer.push_back(9);
    auto engine = MakeEngine({{"mesh", damaged(0, 1040 + 1200 - 1)},       // total one short of the pixels
                              {"mesh_2", damaged(8, 0, 1040)},             // no rows
                              {"checker", {good.begin(), good.end() - 1}}, // entry shorter than its total
                              {"random", damaged(4, 0, 1040)},             // no columns
                              {"lens", damaged(0, 1040 + 1200 + 1)},       // total one beyond the pixels
                              {"wave", damaged(4, 0x80000000u)},           // a width that wraps 1040 + w x h
                              {"mosaic", {good.begin(), good.begin() + 1039}}, // not even a header
                              {"left_to_right", longer},
                              {"top_to_bottom", damaged(16, 123456)}});
    TransitionParams p = Params(1);
    p.destX = 10;
    p.source = RECT{0, 0, 100, 100};
    ASSERT_EQ(Start(*engine, p), 1);
    StepAt(*engine, 100);
    for (LONG effect : {38, 39, 43, 47, 51, 49, 45, 40 /* not in the archive */})
        EXPECT_EQ(Start(*engine, Params(effect)), 0) << effect;
    EXPECT_EQ(engine->IsRunning(), 1);
    StepAt(*engine, 200);
    ExpectFrame(DrawPicture(), [&](int x, int y) {
        return x >= 10 && x < 110 && y < 100 ? Blended(32, before.Pixel(x, y), after.Pixel(x - 10, y), 80)
                                             : before.Pixel(x, y);
    });
    // Without an engine running, the refusal leaves the pictures alone.
    engine->End();
    Put(m_Draw, before);
    EXPECT_FALSE(Start(*engine, Params(38)) || engine->IsRunning());
    EXPECT_TRUE(DrawPicture().SamePixels(before));
    for (LONG effect : {19, 4}) {
        EXPECT_EQ(Start(*engine, Params(effect)), 1) << effect;
        engine->End();
    }
}

TEST_F(EngineTest, AKeyedWipeFinishesKeyPixelsWithoutDrawingThem) {
    for (int format : kFormats) {
        Use(format, 160, 48);
        const std::uint32_t key = format == 15 ? 0x0841 : format == 16 ? 0x1082 : 0x081020;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 40; ++x)
                after.SetPixel(x, y,
                               format == 32 ? key | 0x5A000000 : key); // the top-left corner gives the key
        Put(m_After, after);
        TransitionParams p = Params(49);
        p.keySource = kKeyTopLeft;
        auto engine = Started(p, {{"wave", RuleMaskShape(RuleShape::LeftToRight, 640, 480)}});
        EXPECT_LT(RunToEnd(*engine), 5000u);
        ExpectFrame(DrawPicture(), [&](int x, int y) { return (x < 40 ? before : after).Pixel(x, y); });
    }
}

TEST_F(EngineTest, StopEndsAWipeAtOnceAndEndFreesItsBuffers) {
    Use(32, 64, 48);
    auto engine = MakeEngine({{"lens", RuleMaskShape(RuleShape::CenterOut, 640, 480)},
                              {"l_to_r_blind", RuleMaskShape(RuleShape::Blinds, 640, 480)}});
    const TransitionParams p = Params(51);
    ASSERT_EQ(Start(*engine, p), 1);
    StepAt(*engine, 400);
    const Picture mid = DrawPicture();
    EXPECT_EQ(Start(*engine, p), 0) << "a wipe not yet ended holds its buffers";
    engine->RequestStop();
    EXPECT_EQ(Step(*engine, 800), kEndedUntouched);
    EXPECT_TRUE(DrawPicture().SamePixels(mid) && engine->IsRunning() == 1);
    engine->End();
    EXPECT_EQ(engine->IsRunning(), 0);
    EXPECT_EQ(Start(*engine, p), 1) << "End freed the buffers";
    EXPECT_EQ(StepAt(*engine, 900), 0) << "Start cleared the stop request";
    engine->End();
    // EffectTwentyTwoUsesTheMaskOfEffectTwenty
    for (LONG effect : {20, 22, 21}) {
        EXPECT_EQ(Start(*engine, Params(effect)), effect != 21) << effect;
        engine->End();
    }
}

TEST_F(EngineTest, ALongPauseOrZeroTimingValuesStillFinish) {
    // Ten minutes between two steps: 30000 alpha steps of 256 would wrap a 16-bit alpha, and a level
    // of 480000 would pass the finished marker 65535 and count finished pixels again.
    const auto mask = RuleMaskShape(RuleShape::TopToBottom, 640, 480);
    for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
        Use(16, 64, 64, simd);
        auto engine =
            MakeEngine({{"top_to_bottom", mask}, {"mesh", RuleMaskShape(RuleShape::Noise, 640, 480)}});
        TransitionParams p = Params(4);
        ASSERT_EQ(Start(*engine, p), 1);
        EXPECT_EQ(StepAt(*engine, 40), 0);
        EXPECT_EQ(StepAt(*engine, 600000), 1);
        EXPECT_TRUE(DrawPicture().SamePixels(after));
        engine->End();
        // ZeroTimingValuesStillFinish: taken as 1 ms and 1 alpha a step.
        p = Params(1);
        p.timing[2] = p.timing[3] = 0;
        pt::SetClock(kClockStart);
        ASSERT_EQ(Start(*engine, p), 1);
        EXPECT_EQ(StepAt(*engine, 255), 0);
        EXPECT_EQ(StepAt(*engine, 256), 1);
        engine->End();
        p = Params(38);
        p.timing[0] = p.timing[1] = p.timing[2] = 0;
        p.timing[3] = -5;
        ASSERT_EQ(Start(*engine, p), 1);
        EXPECT_LT(RunToEnd(*engine, 1, 0, 2000), 2000u);
    }
}
