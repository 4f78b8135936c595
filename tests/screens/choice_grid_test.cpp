// The choice grid: levels from the progress bytes, picks by mouse and keys. What it shows is checked
// with the demo's art (demo_art_test.cpp).
#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "screens/ChoiceGrid.h"

namespace screens_test {
namespace {
constexpr int D = CChoiceGrid::kDecide, B = CChoiceGrid::kBack, S = CChoiceGrid::kSpecialCell;
constexpr BYTE L = CChoiceGrid::kLocked;
// Steps: a region clicked, 100 + region pressed, 200 + region released, 300 + region hovered; -vk a key.
constexpr int U = -VK_UP, Dn = -VK_DOWN, Lf = -VK_LEFT, R = -VK_RIGHT, E = -VK_RETURN;

class ChoiceGridTest : public ScreenFixture {
  protected:
    // Progress 1, but 4 for cells 1 and 9 (locked) and 200 for the special cell, unless `progress` is
    // given (empty: the save data's).
    void OpenGrid(const std::vector<BYTE>* progress = nullptr) {
        Start({.pictures = {{"sg030", Picture(640, 480, SheetAt)},
                            {"sg031", Picture(100, 1328, SheetAt)},
                            {"sg032", Picture(386, 64, SheetAt)},
                            {"sg033", Picture(52, 604, SheetAt)}}});
        // As the costume choice leaves them: the grid takes their place.
        for (int slot = 0; slot < 4; ++slot)
            g_pScreen->LoadLayer(slot, "sg030", 1, 0, 0, 0);
        std::vector<BYTE> bytes(24, 1);
        bytes[1] = bytes[9] = 4;
        bytes[S] = 200;
        if (progress) bytes = *progress;
        grid = std::make_unique<CChoiceGrid>();
        ASSERT_TRUE(grid->Open(0, bytes.empty() ? nullptr : bytes.data()));
    }
    // The result of the last step.
    int Act(const std::vector<int>& steps) {
        int result = 0;
        for (int step : steps) {
            Silence();
            const int r = step % 100;
            const POINT p = r == D   ? POINT{530, 50}
                            : r == B ? POINT{530, 95}
                                     : POINT{83 + 87 * (r % 6), 165 + 81 * (r / 6)};
            if (step < 0) grid->OnKeyDown(-step), result = grid->OnKeyUp(-step);
            if (step >= 300) grid->OnMouseMove(p.x, p.y);
            if (step >= 0 && step < 200) grid->OnLButtonDown(p.x, p.y);
            if (step >= 0 && step < 300 && step / 100 != 1) result = grid->OnLButtonUp(p.x, p.y);
        }
        return result;
    }

    std::unique_ptr<CChoiceGrid> grid;
};

// Progress bytes beyond the table's columns lock a cell; the special cell never changes.
TEST_F(ChoiceGridTest, LevelsFollowTheProgressBytes) {
    const std::array<int, 3> rows[] = {{0, 0, 1}, {2, 12, 3}, {2, 19, 4},  {2, 21, L}, {4, 8, 4},
                                       {4, 9, L}, {5, 3, L},  {200, 8, L}, {200, S, 0}};
    for (auto [progress, cell, level] : rows) {
        SCOPED_TRACE(testing::Message() << "cell " << cell << " progress " << progress);
        const std::vector<BYTE> bytes(24, static_cast<BYTE>(progress));
        OpenGrid(&bytes);
        EXPECT_EQ(grid->GetLevel(cell), level);
    }
    // The save data's defaults, -1, lock every cell but the special one.
    const std::vector<BYTE> none;
    g_pSaveData = new CSaveData;
    g_pSaveData->SetDefaults();
    OpenGrid(&none);
    EXPECT_EQ((std::array{grid->GetLevel(4), grid->GetLevel(S)}), (std::array<BYTE, 2>{L, 0}));
    delete g_pSaveData;
    g_pSaveData = nullptr;
}

TEST_F(ChoiceGridTest, ClicksAndKeysPickDecideAndGoBack) {
    const struct {
        const char* name;
        std::vector<int> steps;
        int result;
        std::array<int, 3> picks;
        const char* sound = "Se001"; // of the last step
    } rows[] = {
        {"cell_then_decide", {3, D}, 1, {3, -1, -1}},
        {"fourth_replaces_third", {3, 4, 5, 6}, 0, {3, 4, 6}},
        {"special_then_decide_is_none", {S, D}, 1, {-1, -1, -1}},
        {"special_then_cell", {S, 5}, 0, {5, -1, -1}},
        {"cell_then_special", {5, S}, 0, {S, S, S}},
        {"decide_without_picks", {D}, 0, {-1, -1, -1}},
        {"back_removes_the_last", {3, 4, B}, 0, {3, -1, -1}},
        {"back_clears_the_special", {S, B, D}, 0, {-1, -1, -1}},
        // Nothing to take back: picks and count stay.
        {"back_with_no_picks", {B, B, 3, D}, 1, {3, -1, -1}},
        {"locked_cells", {1, 9}, 0, {-1, -1, -1}, ""},
        {"released_elsewhere", {103, 204}, 0, {-1, -1, -1}, ""},
        {"stray_release", {3, 203}, 0, {3, -1, -1}, ""},
        {"hover", {304}, 0, {-1, -1, -1}, "Se000"},
        {"up_from_nothing_is_special", {U, E}, 0, {S, S, S}},
        {"left_wraps_the_row", {R, Lf, E}, 0, {5, -1, -1}},
        {"down_and_up_a_row", {R, Dn, Dn, U, E}, 0, {6, -1, -1}},
        {"up_from_the_top_row_is_back", {R, E, U, E}, 0, {-1, -1, -1}},
        {"down_from_the_bottom_row_is_decide", {Lf, E, Dn, Dn, Dn, Dn, E}, 1, {5, -1, -1}},
        {"decide_back_then_row_end", {Dn, Dn, Dn, E}, 0, {5, -1, -1}},
        {"buttons_stay_sideways", {Dn, Lf, R, E}, 0, {-1, -1, -1}},
        {"enter_without_focus", {E}, 0, {-1, -1, -1}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid();
        EXPECT_EQ(Act(row.steps), row.result);
        EXPECT_EQ((std::array{grid->GetResult(0), grid->GetResult(1), grid->GetResult(2)}), row.picks);
        EXPECT_EQ(Playing("Se001") ? "Se001" : Playing("Se000") ? "Se000" : "", std::string(row.sound));
    }
}

} // namespace
} // namespace screens_test
