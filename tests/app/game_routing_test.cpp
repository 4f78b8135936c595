// Routing of window events: the first open overlay takes them, a running transition drops what would
// reach a mode, the close checks act once an overlay answers, Space arrives as Enter and Alt+Enter
// keeps the game where it was.
#include "GameFixture.h"

#include "screens/EndingMode.h"
#include "app/RunState.h"
#include "screens/YesNoDialog.h"
#include "script/GameScene.h"

using namespace game_test;

TEST_F(GameTest, TitleInputGoesToTheFirstOverlayAndNotThroughATransition) {
    const std::pair<const char*, std::function<void(GameTest&)>> setups[] = {
        {"nothing open", [](GameTest&) {}},
        {"quit dialog", [](GameTest& t) { t.Game().OpenQuitDialog(); }},
        {"config panel", [](GameTest& t) { t.Game().OpenConfigPanel(); }},
        {"dialog over the panel", [](GameTest& t) { t.Game().OpenConfigPanel(), t.Game().OpenQuitDialog(); }},
        {"transition", [](GameTest& t) { t.StartTransition(); }},
    };
    // Each event with what the title shows when it got it.
    const std::pair<std::function<void(CGameCtrl&)>, std::function<bool(CTitleMode&)>> events[] = {
        {[](CGameCtrl& g) { g.OnMouseMove(Item(1).left, Item(1).top); },
         [](CTitleMode& t) { return t.GetHoverRegion() == 1; }},
        {[](CGameCtrl& g) { g.OnLButtonDown(Item(1).left, Item(1).top); },
         [](CTitleMode& t) { return t.IsButtonHeld(); }},
        {[](CGameCtrl& g) { g.OnKeyDown(VK_DOWN); }, [](CTitleMode& t) { return t.GetFocus() == 0; }},
        {[](CGameCtrl& g) { g.OnKeyUp('N'); }, [](CTitleMode& t) { return t.Run() == GameModeNameEntry; }},
    };
    for (const auto& [name, setup] : setups) {
        for (std::size_t e = 0; e < std::size(events); ++e) {
            SCOPED_TRACE(std::string(name) + ", event " + std::to_string(e));
            Restart();
            ToTitle();
            setup(*this);
            events[e].first(Game());
            EXPECT_EQ(events[e].second(*Game().GetTitle()), name == setups[0].first);
        }
    }
}

TEST_F(GameTest, OverlaysStayUntilTheyAnswer) {
    ToTitle();
    Game().OpenConfigPanel();
    Click(Item(CTitleMode::kItemQuit).left, Item(CTitleMode::kItemQuit).top);
    Game().AnswerConfigPanel(0);
    ASSERT_NE(Game().GetConfigPanel(), nullptr); // it took the click and has not answered
    Game().AnswerConfigPanel(1);
    Click(Item(CTitleMode::kItemQuit).left, Item(CTitleMode::kItemQuit).top);
    EXPECT_EQ(Game().GetDialogKind(), CYesNoDialog::kQuit);
    Key(VK_RETURN); // followed by the close check: no answer yet
    Game().AnswerConfirmDialog(2, CYesNoDialog::kQuit);
    EXPECT_EQ(Game().GetDialog(), nullptr);
    Game().OpenQuitDialog();
    Game().AnswerConfirmDialog(1, CYesNoDialog::kQuit);
    const std::vector<MSG> posted = pt::PendingMessages();
    EXPECT_EQ(std::count_if(posted.begin(), posted.end(),
                            [](const MSG& m) { return m.message == WM_CLOSE && m.lParam == 1; }),
              1);
}

TEST_F(GameTest, SpaceIsEnterAndAltEnterKeepsTheTitle) {
    ToTitle();
    Pass();
    AltEnter();
    Dispatch();
    ASSERT_TRUE(pt::IsFullScreen());
    // Alt's release in the title shows no bar; the title's sprite works on the new surfaces.
    EXPECT_FALSE(Game().IsBarShown());
    EXPECT_EQ(Game().GetMode(), GameModeTitle);
    pt::PostMouseMove(g_hWnd, Item(1).left + 40, Item(1).top + 5);
    // The next frame draws the whole screen on the new back buffer, the item's art included.
    Pass();
    IDirectDrawSurface* back = g_DDrawCtrl.GetBackBuffer();
    EXPECT_EQ(pt::ReadSurfaceRgbAt(back, Item(1).right - 10, Item(1).bottom - 5), TitleCell(1, false));
    EXPECT_EQ(pt::ReadSurfaceRgbAt(back, 600, 400), kTitleBack);
    pt::PostKeyDown(g_hWnd, VK_SPACE);
    pt::PostKeyUp(g_hWnd, VK_SPACE);
    Dispatch();
    EXPECT_NE(Game().GetConfigPanel(), nullptr);
}

// A right press and the wheel when no overlay, or one, is up: each goes where it may, or nowhere. The
// scene shows a second page, so that the wheel opens its backlog; skip mode is on, so that a right press
// reaching the scene ends it.
TEST_F(GameTest, RightPressesAndTheWheelGoToTheModeUnlessSomethingTakesThem) {
    struct Row {
        const char* name;
        std::function<void(GameTest&)> setup;
        bool wheel; // else a right press
        bool reachesScene;
        bool barShown = false;
    };
    const Row rows[] = {
        {"right_press", [](GameTest&) {}, false, true},
        {"right_press_during_a_transition", [](GameTest& t) { t.StartTransition(); }, false, true},
        {"right_press_under_the_dialog", [](GameTest& t) { t.Game().OpenQuitDialog(); }, false, false},
        {"right_press_under_the_config_panel", [](GameTest& t) { t.Game().OpenConfigPanel(); }, false, false},
        {"right_press_under_the_status_panel", [](GameTest& t) { t.Game().OpenStatusPanel(); }, false, false},
        {"right_press_hides_the_bar", [](GameTest& t) { t.Game().OnKeyUp(VK_MENU); }, false, false},
        {"wheel", [](GameTest&) {}, true, true},
        {"wheel_during_a_transition", [](GameTest& t) { t.StartTransition(); }, true, false},
        {"wheel_under_the_dialog", [](GameTest& t) { t.Game().OpenQuitDialog(); }, true, false},
        {"wheel_under_the_save_menu", [](GameTest& t) { t.Game().OpenSaveMenu(); }, true, false},
        {"wheel_beside_the_bar", [](GameTest& t) { t.Game().OnKeyUp(VK_MENU); }, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ToScene(".block main\n cmd 2, 7\n cmd 2, 0, \"一\"\n cmd 2, 1\n cmd 2, 0, \"二##\"\n"
                " cmd 5, 0, =600\n ret\n");
        for (int i = 0; i < 20; ++i)
            Pass();
        row.setup(*this);
        SetSkipMode(1);
        if (row.wheel)
            Game().OnWheelUp();
        else
            Game().OnRButtonDown();
        EXPECT_EQ(row.wheel ? Game().GetScene()->IsBacklogOpen() : !IsSkipping(), row.reachesScene);
        EXPECT_EQ(Game().IsBarShown(), row.barShown);
        EXPECT_FALSE(IsErrorStop());
    }
}

// The ending takes a right press as a left press and release: the roll is cut short.
TEST_F(GameTest, ARightPressSkipsTheEnding) {
    ToScene(".block main\n cmd 5, 0, =10\n cmd 5, 3\n ret\n");
    PassUntilMode(GameModeEnding, 100);
    Pass();
    ASSERT_NE(Game().GetEnding(), nullptr);
    EXPECT_FALSE(Game().GetEnding()->IsFinishing());
    Game().OnRButtonDown();
    EXPECT_TRUE(Game().GetEnding()->IsFinishing());
}

// Ctrl released while an overlay has the keys reaches the game as the last overlay goes: skipping ends
// and a right click shows the window the player hid. Pressed again under the overlay, it stays held.
TEST_F(GameTest, CtrlReleasedUnderAnOverlayIsReleasedWhenItCloses) {
    const struct Row {
        const char* name;
        std::function<void(CGameCtrl&)> open, close;
        std::vector<bool> underOverlay; // Ctrl down (true) or up (false), in order
        bool held;
    } rows[] = {
        {"status panel",
         [](CGameCtrl& g) { g.OpenStatusPanel(); },
         [](CGameCtrl& g) { g.CloseStatusPanel(); },
         {false},
         false},
        {"save menu",
         [](CGameCtrl& g) { g.OpenSaveMenu(); },
         [](CGameCtrl& g) { g.AnswerSaveLoadMenu(2, false, -1); },
         {false},
         false},
        {"config panel",
         [](CGameCtrl& g) { g.OpenConfigPanel(); },
         [](CGameCtrl& g) { g.AnswerConfigPanel(2); },
         {false},
         false},
        {"dialog over a panel",
         [](CGameCtrl& g) { g.OpenStatusPanel(), g.OpenQuitDialog(); },
         [](CGameCtrl& g) { g.AnswerConfirmDialog(2, CYesNoDialog::kQuit), g.CloseStatusPanel(); },
         {false},
         false},
        {"pressed again before it closes",
         [](CGameCtrl& g) { g.OpenStatusPanel(); },
         [](CGameCtrl& g) { g.CloseStatusPanel(); },
         {false, true},
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ToScene(".block main\n cmd 2, 7\n cmd 5, 0, =600\n ret\n");
        Pass();
        Game().OnRButtonDown(); // the player hides the window
        Game().OnKeyDown(VK_CONTROL);
        ASSERT_TRUE(IsSkipping());
        row.open(Game());
        for (bool down : row.underOverlay)
            down ? Game().OnKeyDown(VK_CONTROL) : Game().OnKeyUp(VK_CONTROL);
        row.close(Game());
        EXPECT_EQ(IsCtrlKeyDown() != FALSE, row.held);
        EXPECT_EQ(IsSkipping() != FALSE, row.held);
        Game().OnRButtonDown();
        EXPECT_EQ(Game().GetScene()->IsWindowVisible(), !row.held);
    }
}
