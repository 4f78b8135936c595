// The choice grid: levels from the progress bytes, picks through mouse and keys, decide and back, and
// the parts it shows on compositor layers 0-3.
#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "screens/ChoiceGrid.h"

#include <memory>

namespace screens_test {
namespace {
constexpr int D = CChoiceGrid::kDecide, B = CChoiceGrid::kBack, S = CChoiceGrid::kSpecialCell;
constexpr BYTE L = CChoiceGrid::kLocked;

// A point inside a region, away from its corner.
POINT Inside(int region) {
    if (region == D) return {530, 50};
    if (region == B) return {530, 95};
    return {73 + 87 * (region % 6) + 10, 155 + 81 * (region / 6) + 10};
}
int ClickRegion(CChoiceGrid& grid, int region) {
    const POINT p = Inside(region);
    grid.OnLButtonDown(p.x, p.y);
    return grid.OnLButtonUp(p.x, p.y);
}
// The result of the last click.
int ClickRegions(CChoiceGrid& grid, std::initializer_list<int> regions) {
    int result = 0;
    for (int region : regions) {
        Silence();
        result = ClickRegion(grid, region);
    }
    return result;
}
void MoveTo(CChoiceGrid& grid, int region) {
    const POINT p = Inside(region);
    grid.OnMouseMove(p.x, p.y);
}
std::string Sound() {
    for (const char* name : {"Se000", "Se001"})
        if (Playing(name)) return name;
    return "";
}

// Progress 1 everywhere, but 4 for cells 0-2 and 9 (locked) and 200 for the special cell.
std::vector<BYTE> MixedProgress() {
    std::vector<BYTE> progress(24, 1);
    for (int k : {0, 1, 2, 9})
        progress[k] = 4;
    progress[S] = 200;
    return progress;
}

class ChoiceGridTest : public ScreenFixture {
  protected:
    // The level sheet has a keyed hole in the middle of each art, so the cells beneath show through.
    static fixtures::Bytes LevelSheet() {
        return Picture(386, 64, [](int x, int y) {
            const int inX = (x - 2) % 64;
            return x >= 2 && inX >= 20 && inX < 44 && y >= 20 && y < 44 ? 0xFF00FF : SheetAt(x, y);
        });
    }
    // `before` runs once the game is up, before the grid opens.
    void OpenGrid(const std::vector<BYTE>& progress, bool layersTaken = false,
                  const std::function<void()>& before = {}) {
        Start({.pictures = {{"sg030", Picture(640, 480, SheetAt)},
                            {"sg031", Picture(100, 1328, SheetAt)},
                            {"sg032", LevelSheet()},
                            {"sg033", Picture(52, 604, SheetAt)}}});
        // As the costume choice leaves them: the grid takes their place.
        if (layersTaken)
            for (int slot = 0; slot < 4; ++slot)
                g_pScreen->LoadLayer(slot, "sg030", 1, 0, 0, 0);
        if (before) before();
        grid = std::make_unique<CChoiceGrid>();
        ASSERT_TRUE(grid->Open(0, progress.empty() ? nullptr : progress.data()));
    }
    void GridFrame() {
        grid->FlushUpdateRect();
        g_pScreen->Draw(Back());
        AddUpdateRect(nullptr);
    }
    void TearDown() override {
        grid.reset();
        delete g_pSaveData;
        g_pSaveData = nullptr;
        ScreenFixture::TearDown();
    }

    std::unique_ptr<CChoiceGrid> grid;
};

TEST_F(ChoiceGridTest, LevelsFollowTheProgressBytes) {
    struct Row {
        const char* name;
        std::vector<BYTE> progress; // empty: the save data's best values
        std::vector<std::pair<int, BYTE>> levels;
    };
    const Row rows[] = {
        {"progress_0", std::vector<BYTE>(24, 0), {{0, 1}, {3, 0}, {9, 0}, {21, 0}, {S, 0}}},
        {"progress_2", std::vector<BYTE>(24, 2), {{0, 3}, {5, 2}, {12, 3}, {19, 4}, {21, L}, {S, 0}}},
        {"progress_4", std::vector<BYTE>(24, 4), {{2, L}, {3, 4}, {8, 4}, {9, L}, {17, L}, {22, L}, {S, 0}}},
        // Beyond the table's columns: locked, not read from past its end.
        {"progress_above_4_locks", std::vector<BYTE>(24, 5), {{3, L}, {8, L}, {S, 0}}},
        {"special_cell_ignores_its_byte", MixedProgress(), {{0, L}, {9, L}, {10, 2}, {S, 0}}},
        // The save data's defaults are -1 (never reached) for all but the special cell.
        {"save_data_defaults_lock", {}, {{0, L}, {4, 3}, {22, L}, {S, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid(row.progress, false, [] {
            g_pSaveData = new CSaveData;
            g_pSaveData->SetDefaults();
            g_pSaveData->GetRecord()->bestValues[4] = 3;
        });
        for (auto [cell, level] : row.levels)
            EXPECT_EQ(grid->GetLevel(cell), level) << "cell " << cell;
    }
}

TEST_F(ChoiceGridTest, ClicksPickDecideAndGoBack) {
    using G = CChoiceGrid&;
    struct Row {
        const char* name;
        std::function<int(G)> act; // the result of the last release
        int result;
        std::array<int, 3> picks;
        int count;
        const char* sound; // of the last release
    };
    const Row rows[] = {
        {"a_cell_then_decide",
         [](G g) {
             return ClickRegions(g, {3, D});
         },
         1,
         {3, -1, -1},
         1,
         "Se001"},
        {"a_fourth_cell_replaces_the_third",
         [](G g) {
             return ClickRegions(g, {3, 4, 5, 6});
         },
         0,
         {3, 4, 6},
         3,
         "Se001"},
        {"a_cell_twice",
         [](G g) {
             return ClickRegions(g, {3, 3});
         },
         0,
         {3, 3, -1},
         2,
         "Se001"},
        {"special_then_decide_is_none",
         [](G g) {
             return ClickRegions(g, {S, D});
         },
         1,
         {-1, -1, -1},
         0,
         "Se001"},
        {"special_then_a_cell",
         [](G g) {
             return ClickRegions(g, {S, 5});
         },
         0,
         {5, -1, -1},
         1,
         "Se001"},
        {"a_cell_then_special",
         [](G g) {
             return ClickRegions(g, {5, S});
         },
         0,
         {S, S, S},
         0,
         "Se001"},
        {"decide_without_picks_still_sounds",
         [](G g) { return ClickRegions(g, {D}); },
         0,
         {-1, -1, -1},
         0,
         "Se001"},
        {"back_removes_the_last",
         [](G g) {
             return ClickRegions(g, {3, 4, B});
         },
         0,
         {3, -1, -1},
         1,
         "Se001"},
        {"back_clears_the_special",
         [](G g) {
             return ClickRegions(g, {S, B, D});
         },
         0,
         {-1, -1, -1},
         0,
         "Se001"},
        // Nothing to remove: the picks and their count stay as they are.
        {"back_with_no_picks",
         [](G g) {
             return ClickRegions(g, {B, B, 3, D});
         },
         1,
         {3, -1, -1},
         1,
         "Se001"},
        {"locked_cells_are_not_picked",
         [](G g) {
             return ClickRegions(g, {0, 9});
         },
         0,
         {-1, -1, -1},
         0,
         ""},
        {"released_on_another_cell",
         [](G g) {
             const POINT a = Inside(3), b = Inside(4);
             g.OnLButtonDown(a.x, a.y);
             return g.OnLButtonUp(b.x, b.y);
         },
         0,
         {-1, -1, -1},
         0,
         ""},
        {"a_stray_release_repeats_nothing",
         [](G g) {
             ClickRegions(g, {3});
             Silence();
             const POINT p = Inside(3);
             return g.OnLButtonUp(p.x, p.y);
         },
         0,
         {3, -1, -1},
         1,
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid(MixedProgress());
        EXPECT_EQ(row.act(*grid), row.result);
        EXPECT_EQ((std::array{grid->GetResult(0), grid->GetResult(1), grid->GetResult(2)}), row.picks);
        EXPECT_EQ(grid->GetPickCount(), row.count);
        EXPECT_EQ(Sound(), row.sound);
    }
}

TEST_F(ChoiceGridTest, ArrowKeysMoveTheFocusAndEnterClicksIt) {
    struct Row {
        const char* name;
        std::vector<UINT> keys;
        int focus;
        int pick;   // the first pick afterwards
        int result; // of the last key
    };
    const UINT U = VK_UP, Dn = VK_DOWN, Lf = VK_LEFT, R = VK_RIGHT, E = VK_RETURN;
    const Row rows[] = {
        {"up_from_nothing_is_the_special_cell", {U}, S, -1, 0},
        {"down_from_nothing_is_decide", {Dn}, D, -1, 0},
        {"decide_down_is_back", {Dn, Dn}, B, -1, 0},
        {"back_down_is_the_top_row_end", {Dn, Dn, Dn}, 5, -1, 0},
        {"back_up_is_decide", {Dn, Dn, U}, D, -1, 0},
        {"decide_up_is_the_special_cell", {Dn, U}, S, -1, 0},
        {"left_from_nothing_is_the_top_row_end", {Lf}, 5, -1, 0},
        {"right_from_nothing_is_the_first_cell", {R}, 0, -1, 0},
        {"left_wraps_in_the_row", {R, Lf}, 5, -1, 0},
        {"right_wraps_in_the_row", {Lf, R}, 0, -1, 0},
        {"up_from_the_top_row_is_back", {R, U}, B, -1, 0},
        {"down_a_row", {R, Dn}, 6, -1, 0},
        {"up_a_row", {U, U}, 17, -1, 0},
        {"down_from_the_bottom_row_is_decide", {U, Dn}, D, -1, 0},
        {"sideways_on_the_buttons_stays", {Dn, Lf, R}, D, -1, 0},
        {"enter_picks_the_focused_cell", {R, R, R, R, E}, 3, 3, 0},
        {"enter_on_decide_decides", {R, R, R, R, E, Dn, Dn, Dn, Dn, E}, D, 3, 1},
        {"enter_without_focus_does_nothing", {E}, -1, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid(MixedProgress());
        int result = 0;
        for (UINT vk : row.keys) {
            grid->OnKeyDown(vk);
            result = grid->OnKeyUp(vk);
        }
        EXPECT_EQ(grid->GetFocus(), row.focus);
        EXPECT_EQ(grid->GetResult(0), row.pick);
        EXPECT_EQ(result, row.result);
    }
}

TEST_F(ChoiceGridTest, HoverSoundsOnlyOverAvailableRegionsAndAMoveOffClearsTheFocus) {
    OpenGrid(MixedProgress());
    MoveTo(*grid, 4);
    EXPECT_EQ(Sound(), "Se000");
    EXPECT_EQ(grid->GetFocus(), 4);
    Silence();
    MoveTo(*grid, 0);
    EXPECT_EQ(Sound(), "") << "a locked cell";
    grid->OnMouseMove(5, 5);
    EXPECT_EQ(grid->GetFocus(), -1);
}

TEST_F(ChoiceGridTest, AHoverMarksItsRegionAndLabelOnly) {
    OpenGrid(MixedProgress());
    GridFrame();
    MoveTo(*grid, 4);
    grid->FlushUpdateRect();
    RECT region;
    ASSERT_NE(GetUpdateRect(&region), nullptr);
    // Cell 4 {421, 155, 471, 205} and its label with the underline {446, 135, 498, 163}.
    EXPECT_EQ((std::array{region.left, region.top, region.right, region.bottom}),
              (std::array<LONG, 4>{421, 135, 498, 205}));
}

TEST_F(ChoiceGridTest, LayersShowLevelsFramesLabelsAndPicks) {
    using G = CChoiceGrid&;
    struct Row {
        const char* name;
        std::function<void(G)> act;
        POINT at;
        DWORD expected;
    };
    const Row rows[] = {
        {"locked_art", [](G) {}, {71, 155}, SheetAt(327, 5)},
        {"level_1_art", [](G) {}, {332, 155}, SheetAt(71, 5)},
        {"level_2_art", [](G) {}, {419, 236}, SheetAt(135, 5)},
        {"special_cell_level_0", [](G) {}, {506, 398}, SheetAt(7, 5)},
        {"the_grid_beneath", [](G) {}, {357, 180}, SheetAt(357, 180)},
        {"hover_frame", [](G g) { MoveTo(g, 4); }, {440, 180}, SheetAt(19, 225)},
        {"pressed_frame", [](G g) { MoveTo(g, 4), g.OnLButtonDown(440, 180); }, {440, 180}, SheetAt(69, 225)},
        {"no_frame_on_a_locked_cell", [](G g) { MoveTo(g, 0); }, {96, 180}, SheetAt(96, 180)},
        {"no_label_on_a_locked_cell", [](G g) { MoveTo(g, 4), MoveTo(g, 0); }, {456, 140}, SheetAt(456, 140)},
        {"label", [](G g) { MoveTo(g, 4); }, {456, 140}, SheetAt(10, 101)},
        {"underline", [](G g) { MoveTo(g, 4); }, {456, 161}, SheetAt(10, 602)},
        {"decide_hovered", [](G g) { MoveTo(g, D); }, {530, 50}, SheetAt(8, 1210)},
        {"back_pressed", [](G g) { MoveTo(g, B), g.OnLButtonDown(530, 95); }, {530, 95}, SheetAt(7, 1306)},
        {"picked_cell_in_its_slot", [](G g) { ClickRegions(g, {4}); }, {210, 70}, SheetAt(443, 179)},
        {"picked_level_in_its_slot",
         [](G g) {
             ClickRegions(g, {3, 10});
         },
         {285, 46},
         SheetAt(135, 5)},
        {"empty_slot",
         [](G g) {
             ClickRegions(g, {3, 10});
         },
         {384, 46},
         SheetAt(384, 46)},
        {"back_takes_the_pick_away",
         [](G g) {
             ClickRegions(g, {4, B});
         },
         {210, 70},
         SheetAt(210, 70)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenGrid(MixedProgress(), true);
        row.act(*grid);
        GridFrame();
        EXPECT_EQ(At(row.at.x, row.at.y), row.expected);
    }
}
} // namespace
} // namespace screens_test
