// Every mask-wipe effect loads its own rule mask by name and runs with its own timing row.
#include "tests/transition/Engine.h"

#include <map>
#include <string>

using namespace transition_test;

namespace {
// The names of "mask.arc" by effect; 22 shares the mask of 20.
const char* const kNames[] = {"top_to_bottom",
                              "t_to_b_blind",
                              "t_to_b_blind_s",
                              "t_to_b_blind_s2",
                              "t_to_b_blind_m",
                              "t_to_b_blind_m2",
                              "t_to_b_blind_l",
                              "bottom_to_top",
                              "b_to_t_blind",
                              "b_to_t_blind_s",
                              "b_to_t_blind_s2",
                              "b_to_t_blind_m",
                              "b_to_t_blind_m2",
                              "b_to_t_blind_l",
                              "right_to_left",
                              "left_to_right",
                              "l_to_r_blind",
                              "l_to_r_blind_s",
                              "l_to_r_blind",
                              "l_to_r_blind_s3",
                              "l_to_r_blind_m",
                              "l_to_r_blind_m2",
                              "l_to_r_blind_l",
                              "l_to_r_dia",
                              "l_to_r_dia_s",
                              "lt_to_rb_dia",
                              "lt_to_rb_dia_s",
                              "l_to_r_pipe",
                              "lt_to_rb_blind",
                              "lt_to_rb_ell",
                              "lb_to_rt",
                              "c_to_s_blind",
                              "center_in",
                              "center_out",
                              "mesh",
                              "mesh_2",
                              "left_rotation",
                              "left_rotat_s",
                              "right_rotation",
                              "checker",
                              "tilt_checker",
                              "mosaic",
                              "mosaic_2",
                              "random",
                              "right_spiral",
                              "wave",
                              "right_radial",
                              "lens",
                              "tuvela_1a",
                              "tuvela_1b",
                              "tuvela_2a",
                              "tuvela_2b",
                              "tuvela_3a",
                              "tuvela_3b",
                              "tuvela_4a",
                              "tuvela_4b",
                              "tuvela_5a",
                              "tuvela_5b",
                              "tuvela_6a",
                              "tuvela_6b",
                              "tuvela_7a",
                              "tuvela_7b",
                              "tuvela_8a",
                              "tuvela_8b",
                              "tuvela_test",
                              "tuvela_test2",
                              "tuvela_new",
                              "tuvela_new2"};
static_assert(sizeof kNames / sizeof kNames[0] == 68);

struct Row {
    LONG levelMs, levelStep, alphaMs, alphaStep;
};
Row RowOf(int effect) {
    switch (effect) {
    case 4:
    case 11:
        return {20, 16, 1, 256};
    case 5:
        return {20, 4, 20, 8};
    case 47:
        return {20, 4, 20, 32};
    case 50:
        return {20, 4, 20, 24};
    case 51:
        return {20, 3, 20, 16};
    default:
        return {20, 2, 20, 8};
    }
}
} // namespace

TEST_F(EngineTest, EveryWipeEffectLoadsItsNamedMaskAndRunsWithItsRow) {
    // The mask named for effect e starts column e at level 0; every other pixel waits for level 255.
    constexpr int kWidth = 80, kHeight = 2;
    std::map<std::string, int> column;
    for (int effect = 4; effect < kEffectCount; ++effect)
        column.emplace(kNames[effect - 4], effect); // 22 keeps the column of 20
    std::vector<fixtures::ArcEntryData> masks;
    for (const auto& [name, col] : column) {
        const int c = col;
        masks.push_back(
            {name, fixtures::RuleMaskBytes(640, 480, [c](int x, int) { return x == c ? 0 : 255; })});
    }
    Use(32, kWidth, kHeight);
    auto engine = MakeEngine(masks);

    for (int effect = 4; effect < kEffectCount; ++effect) {
        SCOPED_TRACE(effect);
        const Row row = RowOf(effect);
        TransitionParams p = Params(effect);
        EXPECT_EQ(p.timing[0], row.levelMs);
        EXPECT_EQ(p.timing[1], row.levelStep);
        EXPECT_EQ(p.timing[2], row.alphaMs);
        EXPECT_EQ(p.timing[3], row.alphaStep);
        Put(m_Draw, before);
        pt::SetClock(kClockStart);
        ASSERT_EQ(engine->Start(&p), 1);
        const int own = column[kNames[effect - 4]];
        // The first alpha step: only the mask's own column has started.
        int changed = 0;
        ASSERT_EQ(StepAt(*engine, static_cast<DWORD>(row.alphaMs), &changed), 0);
        EXPECT_EQ(changed, 1);
        const Picture first = DrawPicture();
        const int alpha = row.alphaStep < 256 ? row.alphaStep : 256;
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t want =
                x == own ? RefBlend(32, before.Pixel(x, 0), after.Pixel(x, 0), alpha) : before.Pixel(x, 0);
            ASSERT_EQ(first.Pixel(x, 0) & 0xFFFFFF, want & 0xFFFFFF) << "column " << x;
        }
        // The waiting pixels start in the first call whose level reaches 255.
        const DWORD reach = static_cast<DWORD>((255 + row.levelStep - 1) / row.levelStep * row.levelMs);
        const int other = own == 0 ? 1 : 0;
        ASSERT_EQ(StepAt(*engine, reach - 1), 0);
        EXPECT_EQ(DrawPicture().Pixel(other, 1), before.Pixel(other, 1));
        StepAt(*engine, reach);
        EXPECT_NE(DrawPicture().Pixel(other, 1) & 0xFFFFFF, before.Pixel(other, 1) & 0xFFFFFF);
        engine->End();
    }
}
