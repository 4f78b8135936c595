// The system bar over the game scene: which buttons are enabled in each state and the art they show,
// the wrap of the key selection, each command's effect, and the pointer and keys on the strip.
#include "GameFixture.h"

#include "app/RunState.h"
#include "screens/StatusPanel.h"
#include "screens/YesNoDialog.h"
#include "script/GameScene.h"

#include <functional>

using namespace game_test;

namespace {
constexpr int kSkipOn = 9, kAutoOn = 10;
constexpr int Art(int row, int column) {
    return row * 16 + column;
}
} // namespace

class BarTest : public GameTest {
  public:
    // The art a button shows: row and sheet column read back from the screen.
    int ArtOf(int button) {
        const DWORD c = Shown(g_BarButtonRects[button].left + 50, 3);
        return Art(static_cast<int>(((c >> 16) - 0x40) / 0x30),
                   static_cast<int>((((c >> 8) & 0xFF) - 0x10) / 0x14));
    }
    void ClickButton(int button, int y = 10) { Click(g_BarButtonRects[button].left + 5, y); }
};

TEST_F(BarTest, EnableRulesAndArtInEachState) {
    struct Row {
        const char* name;
        bool scene;
        std::function<void(BarTest&)> setup;
        std::vector<int> enabled; // buttons 0-8
        std::map<int, int> onArt; // buttons in their on column
    };
    const Row rows[] = {
        {"scene", true, [](BarTest&) {}, {0, 1, 1, 1, 1, 1, 1, 1, 1}, {}},
        {"skip and auto on",
         true,
         [](BarTest&) { SetSkipMode(1), SetAutoMode(1); },
         {0, 1, 1, 1, 1, 1, 1, 1, 1},
         {{BarSkip, Art(0, kSkipOn)}, {BarAuto, Art(0, kAutoOn)}}},
        {"transition", true, [](BarTest& t) { t.StartTransition(); }, {0, 0, 0, 0, 0, 0, 0, 0, 0}, {}},
        {"no scene", false, [](BarTest&) {}, {0, 0, 1, 1, 1, 1, 0, 0, 1}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        row.scene ? ToScene() : ToTitle();
        row.setup(*this);
        Game().DrawSystemBar();
        for (int b = 0; b < kBarButtonCount; ++b) {
            SCOPED_TRACE(b);
            EXPECT_EQ(g_BarButtonEnabled[b], row.enabled[b]);
            EXPECT_EQ(ArtOf(b),
                      row.onArt.count(b) ? row.onArt.at(b) : Art(b == 0 || row.enabled[b] ? 0 : 3, b));
        }
    }
}

TEST_F(BarTest, KeySelectionWrapsOverDisabledButtons) {
    struct Row {
        const char* name;
        bool scene;
        std::vector<int> steps;
        int selection;
    };
    const Row rows[] = {
        {"right from the last", true, {-1, 1}, 1},
        {"left from the first", true, {1, -1}, 8},
        {"right over save", false, {1}, 2},
        {"left over status and backlog", false, {-1, -1}, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        row.scene ? ToScene() : ToTitle();
        Game().DrawSystemBar();
        for (int step : row.steps)
            Game().MoveBarSelection(step);
        EXPECT_EQ(Game().GetBarSelection(), row.selection);
        EXPECT_EQ(NewSounds(), Sounds{"Se000"});
    }
    // With nothing enabled the search ends after one turn, with no selection.
    StartTransition();
    Game().DrawSystemBar();
    Game().MoveBarSelection(1);
    EXPECT_EQ(Game().GetBarSelection(), -1);
}

TEST_F(BarTest, EachCommandByMouse) {
    struct Row {
        const char* name;
        int button;
        std::function<void()> before;
        std::function<bool(CGameCtrl&)> done;
    };
    const Row rows[] = {
        {"save", BarSave, [] {}, [](CGameCtrl& g) { return g.GetSaveLoadMenu() != nullptr; }},
        {"load", BarLoad, [] {}, [](CGameCtrl& g) { return g.GetSaveLoadMenu() != nullptr; }},
        {"config", BarConfig, [] {}, [](CGameCtrl& g) { return g.GetConfigPanel() != nullptr; }},
        {"skip on", BarSkip, [] { SetAutoMode(1); },
         [](CGameCtrl&) { return GetSkipAutoFlags(0) && !IsAutoMode(); }},
        {"skip off", BarSkip, [] { SetSkipMode(1); }, [](CGameCtrl&) { return !GetSkipAutoFlags(1); }},
        {"auto on", BarAuto, [] { SetSkipMode(1); },
         [](CGameCtrl&) { return IsAutoMode() && !GetSkipAutoFlags(0); }},
        {"auto off", BarAuto, [] { SetAutoMode(1), SetReadSkip(1); },
         [](CGameCtrl&) { return !GetSkipAutoFlags(1) && !IsSkipping(); }},
        // The panel shows the status values the scene's script set.
        {"status", BarStatus, [] {},
         [](CGameCtrl& g) {
             const CStatusPanel* p = g.GetStatusPanel();
             return p && p->GetValue(0) == 100 && p->GetValue(1) == 200 && p->GetValue(2) == 300 &&
                    p->GetValue(3) == 7500;
         }},
        {"title", BarTitle, [] {},
         [](CGameCtrl& g) { return g.GetDialogKind() == CYesNoDialog::kReturnToTitle; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ToScene(".block main\n cmd 201, 9, =100, =200, =300, =7500\n cmd 5, 0, =600\n ret\n");
        Pass();
        row.before();
        ClickButton(row.button);
        EXPECT_TRUE(row.done(Game()));
        EXPECT_EQ(NewSounds().back(), "Se001");
        EXPECT_FALSE(Game().IsBarShown());
        EXPECT_TRUE(Game().IsBarSuppressed());
        EXPECT_EQ(Game().GetBarSelection(), -1);
    }
}

TEST_F(BarTest, PointerAndKeysOnTheStrip) {
    ToScene();
    const int x = g_BarButtonRects[BarConfig].left + 5;
    Game().OnMouseMove(x, 10);
    Game().OnMouseMove(x + 10, 12);
    EXPECT_EQ(NewSounds(), Sounds{"Se000"});
    EXPECT_EQ(ArtOf(BarConfig), Art(1, BarConfig));
    Game().OnLButtonDown(x, 10);
    EXPECT_EQ(ArtOf(BarConfig), Art(2, BarConfig));
    // Held outside the strip the bar stays; released there it goes without a command.
    Game().OnMouseMove(x, 200);
    EXPECT_TRUE(Game().IsBarShown());
    Game().OnLButtonUp(x, 200);
    EXPECT_FALSE(Game().IsBarShown() || Game().GetConfigPanel());
    // After a command the pointer must leave the strip once before the bar comes back.
    ClickButton(BarSkip);
    for (auto [y, shown] : {std::pair{10, false}, {36, false}, {10, true}}) {
        Game().OnMouseMove(x, y);
        EXPECT_EQ(Game().IsBarShown(), shown);
    }
    Game().OnRButtonDown();
    // Alt shows the bar with no selection and hides it; Escape hides it.
    for (auto [key, shown] :
         {std::pair{VK_MENU, true}, {VK_MENU, false}, {VK_MENU, true}, {VK_ESCAPE, false}}) {
        Game().OnKeyUp(key);
        EXPECT_EQ(Game().IsBarShown(), shown);
    }
    Game().OnKeyUp(VK_MENU);
    EXPECT_EQ(Game().GetBarSelection(), -1);
    // Ctrl turns skip on and the bar shows it; its release turns it off again.
    Game().OnKeyDown(VK_CONTROL);
    EXPECT_EQ(ArtOf(BarSkip), Art(0, kSkipOn));
    Game().OnKeyUp(VK_CONTROL);
    EXPECT_EQ(ArtOf(BarSkip), Art(0, BarSkip));
    Game().OnKeyDown(VK_RIGHT);
    Game().OnKeyDown(VK_RETURN);
    EXPECT_EQ(ArtOf(BarSave), Art(2, BarSave));
    Game().OnKeyUp(VK_RETURN);
    EXPECT_FALSE(Game().IsBarShown());
    EXPECT_NE(Game().GetSaveLoadMenu(), nullptr);
}

TEST_F(BarTest, AltAloneShowsAndHidesTheBarAndAltEnterLeavesIt) {
    ToScene();
    // The pointer away from the strip, which would show the bar when a switch moves it again.
    pt::PostMouseMove(g_hWnd, 320, 300);
    const auto alt = [] {
        pt::PostKeyDown(g_hWnd, VK_MENU);
        pt::PostKeyUp(g_hWnd, VK_MENU);
    };
    const struct {
        const char* name;
        std::function<void()> keys;
        bool shown, fullScreen;
    } rows[] = {
        {"alt alone shows it", alt, true, false},
        {"alt+enter switches and leaves it shown", AltEnter, true, true},
        {"alt alone hides it", alt, false, true},
        {"alt+enter switches back and leaves it hidden", AltEnter, false, false},
        // A held Alt repeats its press; released alone it still counts as alone.
        {"held alt", [alt] { pt::PostKeyDown(g_hWnd, VK_MENU), alt(); }, true, false},
    };
    for (const auto& row : rows) {
        row.keys();
        Dispatch();
        EXPECT_EQ(Game().IsBarShown(), row.shown) << row.name;
        EXPECT_EQ(pt::IsFullScreen(), row.fullScreen) << row.name;
    }
}

TEST_F(BarTest, ButtonsComeBackAfterATransition) {
    ToScene();
    Game().OnKeyUp(VK_MENU);
    StartTransition();
    Game().DrawSystemBar();
    EXPECT_EQ(ArtOf(BarLoad), Art(3, BarLoad));
    PassWhileTransition();
    Pass();
    EXPECT_EQ(ArtOf(BarLoad), Art(0, BarLoad));
}

// A press that began on a widget of the scene and was released on the bar (or on the quit dialog that
// came up meanwhile) ends there as a release outside the widget: the next click on it counts.
TEST_F(BarTest, APressReleasedOnTheBarEndsForTheWidgetThatTookIt) {
    const char* kChoices = " cmd 2, 2, \"yes\", =10\n cmd 2, 2, \"no\", =20\n cmd 2, 3";
    const auto secondChosen = [](CGameScene& s) {
        return s.GetSceneMode() == CGameScene::kModeRun && s.GetRegister(0) == 20;
    };
    const struct Row {
        const char* name;
        const char* commands;
        int mode;    // the scene's, with the widget up
        POINT press; // dragged up into the strip and released there
        std::vector<POINT> clicks;
        std::function<bool(CGameScene&)> decided;
        bool dialog = false; // released on the quit dialog instead, then answered no
    } rows[] = {
        {"choice", kChoices, CGameScene::kModeChoices, {100, 170}, {{100, 220}}, secondChosen},
        {"choice released on the dialog",
         kChoices,
         CGameScene::kModeChoices,
         {100, 170},
         {{100, 220}},
         secondChosen,
         true},
        {"grid cell",
         " cmd 201, 3, =4, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1\n"
         " cmd 201, 4, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1",
         CGameScene::kModeGrid,
         {344, 165},
         {{431, 165}, {530, 50}},
         [](CGameScene& s) { return s.GetSceneMode() == CGameScene::kModeRun && s.GetGridResult(0) == 4; }},
    };
    pt::UseFontFile(pt::kPinnedGothicFont);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ToScene(std::string(".block main\n") + row.commands + "\n cmd 5, 0, =600\n ret\n");
        for (int n = 0; n < 20 && Game().GetScene()->GetSceneMode() != row.mode; ++n)
            Pass();
        PassWhileTransition();
        ASSERT_EQ(Game().GetScene()->GetSceneMode(), row.mode);
        Game().OnMouseMove(row.press.x, row.press.y);
        Game().OnLButtonDown(row.press.x, row.press.y);
        if (row.dialog) {
            Game().OpenQuitDialog();
            Game().OnLButtonUp(row.press.x, row.press.y);
            Game().AnswerConfirmDialog(2, CYesNoDialog::kQuit);
        } else {
            Game().OnMouseMove(row.press.x, 10);
            ASSERT_TRUE(Game().IsBarShown());
            Game().OnLButtonUp(row.press.x, 10);
        }
        for (POINT p : row.clicks)
            Click(p.x, p.y);
        EXPECT_TRUE(row.decided(*Game().GetScene()));
    }
    pt::UseFontFile("");
}
