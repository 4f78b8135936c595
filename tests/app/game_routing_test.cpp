// Routing of window events: the first open overlay takes them, a running transition drops what would
// reach a mode, Space arrives as Enter and Alt+Enter keeps the game where it was.
#include "GameFixture.h"

#include "screens/ConfigPanel.h"
#include "screens/YesNoDialog.h"

using namespace game_test;

namespace {
const RECT& Item(int i) {
    return *CTitleMode::GetItemRect(i);
}
} // namespace

TEST_F(GameTest, TitleInputGoesToTheFirstOverlayAndNotThroughATransition) {
    struct Setup {
        const char* name;
        std::function<void(CGameCtrl&)> apply;
    };
    const Setup setups[] = {
        {"nothing open", [](CGameCtrl&) {}},
        {"quit dialog", [](CGameCtrl& g) { g.OpenQuitDialog(); }},
        {"config panel", [](CGameCtrl& g) { g.OpenConfigPanel(); }},
        {"dialog over the panel", [](CGameCtrl& g) { g.OpenConfigPanel(), g.OpenQuitDialog(); }},
        {"transition",
         [](CGameCtrl&) {
             g_pScreen->SetEffect(1);
             g_pScreen->ChangeLayer(0, "sg000", 1, 0, 0, 0, -1, -1, -1, -1);
         }},
    };
    // Each event with what the title shows when it got it.
    struct Event {
        const char* name;
        std::function<void(CGameCtrl&)> send;
        std::function<bool(CTitleMode&)> got;
    };
    const Event events[] = {
        {"mouse move", [](CGameCtrl& g) { g.OnMouseMove(Item(1).left, Item(1).top); },
         [](CTitleMode& t) { return t.GetHoverRegion() == 1; }},
        {"left down", [](CGameCtrl& g) { g.OnLButtonDown(Item(1).left, Item(1).top); },
         [](CTitleMode& t) { return t.IsButtonHeld(); }},
        {"key down", [](CGameCtrl& g) { g.OnKeyDown(VK_DOWN); },
         [](CTitleMode& t) { return t.GetFocus() == 0; }},
        {"key up", [](CGameCtrl& g) { g.OnKeyUp('N'); },
         [](CTitleMode& t) { return t.Run() == GameModeNameEntry; }},
    };
    for (const Setup& setup : setups) {
        for (const Event& event : events) {
            SCOPED_TRACE(std::string(setup.name) + ", " + event.name);
            TearDown();
            SetUp();
            ToTitle();
            setup.apply(Game());
            event.send(Game());
            EXPECT_EQ(event.got(*Game().GetTitle()), setup.name == setups[0].name);
            EXPECT_FALSE(Game().IsBarShown());
        }
    }
}

TEST_F(GameTest, OverlaysStayUntilTheyAnswer) {
    ToTitle();
    Game().OpenConfigPanel();
    Game().OpenQuitDialog();
    EXPECT_EQ(Game().GetDialogKind(), CYesNoDialog::kQuit);
    EXPECT_TRUE(Game().GetCursorSprite()->m_bVisible);
    // Releases and keys are followed by the close checks; no answer leaves both up.
    Game().OnLButtonUp(10, 300);
    Game().OnKeyUp(VK_RETURN);
    Game().AnswerConfigPanel(0);
    EXPECT_NE(Game().GetDialog(), nullptr);
    EXPECT_NE(Game().GetConfigPanel(), nullptr);
    // No to the quit question leaves the game running; the panel below answers next.
    Game().AnswerConfirmDialog(2, CYesNoDialog::kQuit);
    EXPECT_EQ(Game().GetDialog(), nullptr);
    EXPECT_EQ(GetDialogResult(), 2u);
    Game().AnswerConfigPanel(1);
    EXPECT_EQ(Game().GetConfigPanel(), nullptr);
    for (const MSG& m : pt::PendingMessages())
        EXPECT_NE(m.message, static_cast<UINT>(WM_CLOSE));
    // Yes closes the window for real.
    Game().OpenQuitDialog();
    Game().AnswerConfirmDialog(1, CYesNoDialog::kQuit);
    bool closing = false;
    for (const MSG& m : pt::PendingMessages())
        closing |= m.message == WM_CLOSE && m.lParam == 1;
    EXPECT_TRUE(closing);
}

TEST_F(GameTest, SpaceIsEnterAndAltEnterKeepsTheTitle) {
    ToTitle();
    AltEnter();
    Dispatch();
    ASSERT_TRUE(pt::IsFullScreen());
    // Alt's release in the title shows no bar; the title's sprite works on the new surfaces.
    EXPECT_FALSE(Game().IsBarShown());
    EXPECT_EQ(Game().GetMode(), GameModeTitle);
    pt::PostMouseMove(g_hWnd, Item(1).left + 40, Item(1).top + 5);
    Pass();
    EXPECT_EQ(Pixel(Item(1).right - 10, Item(1).bottom - 5), TitleCell(1, false));
    EXPECT_EQ(Pixel(320, 300), kTitleBack);
    pt::PostKeyDown(g_hWnd, VK_SPACE);
    pt::PostKeyUp(g_hWnd, VK_SPACE);
    Dispatch();
    EXPECT_NE(Game().GetConfigPanel(), nullptr);
}
