// The choice grid: levels from the progress bytes, picks by mouse and keys, and the parts it shows on
// compositor layers 0-3.
#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "screens/ChoiceGrid.h"

#include <memory>

namespace screens_test {
namespace {
constexpr int D = CChoiceGrid::kDecide, B = CChoiceGrid::kBack, S = CChoiceGrid::kSpecialCell;
constexpr BYTE L = CChoiceGrid::kLocked;
// Steps of a row: a region is clicked; 100 + r pressed, 200 + r released, 300 + r hovered; -vk a key.
constexpr int U = -VK_UP, Dn = -VK_DOWN, Lf = -VK_LEFT, R = -VK_RIGHT, E = -VK_RETURN;
POINT Inside(int r) {
    return r == D ? POINT{530, 50} : r == B ? POINT{530, 95} : POINT{83 + 87 * (r % 6), 165 + 81 * (r / 6)};
}

class ChoiceGridTest : public ScreenFixture {
  protected:
    // Progress 1, but 4 for cells 1 and 9 (locked) and 200 for the special cell; a row may change it.
    void OpenGrid(const std::function<void(std::vector<BYTE>&)>& change = {}) {
        // The level sheet has a keyed hole in each art, through which the cell beneath shows.
        const auto levels = Picture(386, 64, [](int x, int y) {
            const bool hole = x >= 2 && (x - 2) % 64 >= 20 && (x - 2) % 64 < 44 && y >= 20 && y < 44;
            return hole ? 0xFF00FF : SheetAt(x, y);
        });
        Start({.pictures = {{"sg030", Picture(640, 480, SheetAt)},
                            {"sg031", Picture(100, 1328, SheetAt)},
                            {"sg032", levels},
                            {"sg033", Picture(52, 604, SheetAt)}}});
        // As the costume choice leaves them: the grid takes their place.
        for (int slot = 0; slot < 4; ++slot)
            g_pScreen->LoadLayer(slot, "sg030", 1, 0, 0, 0);
        std::vector<BYTE> progress(24, 1);
        progress[1] = progress[9] = 4;
        progress[S] = 200;
        if (change) change(progress);
        grid = std::make_unique<CChoiceGrid>();
        ASSERT_TRUE(grid->Open(0, progress.empty() ? nullptr : progress.data()));
    }
    // The result of the last step.
    int Act(const std::vector<int>& steps) {
        int result = 0;
        for (int step : steps) {
            Silence();
            const POINT p = Inside(step % 100);
            if (step < 0)
                grid->OnKeyDown(-step), result = grid->OnKeyUp(-step);
            else if (step < 100)
                grid->OnLButtonDown(p.x, p.y), result = grid->OnLButtonUp(p.x, p.y);
            else if (step < 200)
                grid->OnLButtonDown(p.x, p.y);
            else if (step < 300)
                result = grid->OnLButtonUp(p.x, p.y);
            else
                grid->OnMouseMove(p.x, p.y);
        }
        return result;
    }
    void TearDown() override {
        grid.reset();
        delete g_pSaveData;
        g_pSaveData = nullptr;
        ScreenFixture::TearDown();
    }

    std::unique_ptr<CChoiceGrid> grid;
};

// Progress bytes beyond the table's columns lock a cell; the special cell never changes.
TEST_F(ChoiceGridTest, LevelsFollowTheProgressBytes) {
    const std::array<int, 3> rows[] = {{0, 0, 1}, {0, 3, 0},  {2, 12, 3}, {2, 19, 4},  {2, 21, L}, {4, 8, 4},
                                       {4, 9, L}, {4, 22, L}, {5, 3, L},  {200, 8, L}, {200, S, 0}};
    for (auto [progress, cell, level] : rows) {
        SCOPED_TRACE(testing::Message() << "cell " << cell << " progress " << progress);
        OpenGrid([p = progress](std::vector<BYTE>& bytes) { bytes.assign(24, static_cast<BYTE>(p)); });
        EXPECT_EQ(grid->GetLevel(cell), level);
    }
    // The save data's defaults, -1, lock every cell but the special one.
    OpenGrid([](std::vector<BYTE>& bytes) { bytes.clear(), (g_pSaveData = new CSaveData)->SetDefaults(); });
    EXPECT_EQ((std::array{grid->GetLevel(4), grid->GetLevel(S)}), (std::array<BYTE, 2>{L, 0}));
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
        {"left_from_nothing_is_row_end", {Lf, E}, 0, {5, -1, -1}},
        {"right_from_nothing_is_first", {R, E}, 0, {0, -1, -1}},
        {"left_wraps_the_row", {R, Lf, E}, 0, {5, -1, -1}},
        {"down_and_up_a_row", {R, Dn, Dn, U, E}, 0, {6, -1, -1}},
        {"up_from_the_top_row_is_back", {R, E, U, E}, 0, {-1, -1, -1}},
        {"down_from_the_bottom_row_is_decide", {Lf, E, Dn, Dn, Dn, Dn, E}, 1, {5, -1, -1}},
        {"decide_back_then_row_end", {Dn, Dn, Dn, E}, 0, {5, -1, -1}},
        {"decide_up_is_special", {Dn, U, E}, 0, {S, S, S}},
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

TEST_F(ChoiceGridTest, LayersShowLevelsFramesLabelsAndPicks) {
    const struct {
        const char* name;
        std::vector<int> steps;
        POINT at;
        DWORD expected;
    } rows[] = {
        {"locked_art", {}, {158, 155}, SheetAt(327, 5)},
        {"level_1_art", {}, {332, 155}, SheetAt(71, 5)},
        {"hover_frame", {304}, {440, 180}, SheetAt(19, 225)},
        {"pressed_frame", {104}, {440, 180}, SheetAt(69, 225)},
        {"label_and_underline", {304}, {456, 161}, SheetAt(10, 602)},
        {"picked_cell_in_its_slot", {4}, {210, 70}, SheetAt(443, 179)},
        {"picked_level_in_its_slot", {3, 10}, {285, 46}, SheetAt(135, 5)},
        {"back_takes_the_pick_away", {4, B}, {210, 70}, SheetAt(210, 70)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid();
        Act(row.steps);
        grid->FlushUpdateRect();
        g_pScreen->Draw(Back());
        EXPECT_EQ(At(row.at.x, row.at.y), row.expected);
    }
}
} // namespace
} // namespace screens_test
