// The whole start-up on the headless display: windowed or full screen from the setting, its fallbacks,
// the screen switch, restores, and what the message loop does with each pass.
#include "AppFixture.h"

#include "app/ErrorReport.h"
#include "platform/debug.h"
#include "platform/text_encoding.h"
#include "platform/time.h"

#include <csignal>
#include <filesystem>
#include <map>

namespace {
DWORD BackBufferDepth() {
    DDPIXELFORMAT pf{};
    if (!g_DDrawCtrl.GetBackBuffer() || g_DDrawCtrl.GetBackBuffer()->GetPixelFormat(&pf) != DD_OK) return 0;
    return pf.dwRGBBitCount;
}

// The display as one line: windowed or full screen, the setting, the back buffer's depth, the style.
std::string Display() {
    return std::string(g_DDrawCtrl.IsWindowed() ? "windowed" : "full screen") +
           (pt::IsFullScreen() == !g_DDrawCtrl.IsWindowed() ? "" : " (the platform disagrees)") +
           ", WindowMode " + std::to_string(g_pConfig->GetWindowMode()) + ", " +
           std::to_string(BackBufferDepth()) + " bit" +
           (GetWindowLongA(g_hWnd, GWL_STYLE) ==
                    static_cast<LONG>(g_DDrawCtrl.IsWindowed() ? kWindowedStyle : WS_VISIBLE | WS_SYSMENU)
                ? ""
                : " (style)");
}

TEST_F(AppTest, EachSettingAndDisplayStartsInItsMode) {
    const struct {
        const char* name;
        int windowMode; // -1: the default ini a fresh start writes
        std::initializer_list<int> depths;
        int width, depthFound;
        const char* display;
    } rows[] = {
        // 24 bits per pixel is tried first and not offered.
        {"DefaultSettingsComeUpFullScreen", -1, {32, 16}, 640, 32, "full screen, WindowMode 1, 32 bit"},
        {"FullScreenDepthsAreTried", 1, {16}, 640, 16, "full screen, WindowMode 1, 16 bit"},
        {"WindowedStartIsCentredWithItsClientOnScreen",
         0,
         {32, 16},
         640,
         0,
         "windowed, WindowMode 0, 32 bit"},
        // Only the config panel writes the ini file: these fall-backs change the setting in memory.
        {"FullScreenThatFailsFallsBackToWindowed", 1, {}, 640, 0, "windowed, WindowMode 0, 32 bit"},
        {"FullScreenNot640WideFallsBackToWindowed", 1, {32, 16}, 800, 32, "windowed, WindowMode 0, 32 bit"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        if (row.windowMode >= 0) WriteWindowMode(row.windowMode);
        pt::SetFullScreenDepths(row.depths);
        pt::SetFullScreenWidth(row.width);
        bool seen = false;
        Then([&] {
            seen = true;
            EXPECT_EQ(Display(), row.display);
            EXPECT_EQ(g_FullScreenDepth, row.depthFound);
            EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
            EXPECT_EQ(GetDirectDraw(), g_DDrawCtrl.GetDirectDrawObject());
            EXPECT_TRUE(g_pGameCtrl->IsInitialized());
            EXPECT_LT(g_CursorShowCount, 0);
            char caption[32];
            GetWindowTextA(g_hWnd, caption, sizeof caption);
            EXPECT_STREQ(caption, "Lunavel");
            if (g_DDrawCtrl.IsWindowed()) {
                EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().x, (1024 - 640) / 2);
                EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().y, (768 - 480) / 2);
                const RECT& c = g_DDrawCtrl.GetClientRectOnScreen();
                EXPECT_EQ(std::to_string(c.left) + " " + std::to_string(c.right - c.left) + "x" +
                              std::to_string(c.bottom - c.top),
                          "192 640x480");
            }
        });
        EXPECT_EQ(Start(), 0);
        EXPECT_TRUE(seen);
        const std::string stored = "WindowMode=" + std::to_string(row.windowMode ? 1 : 0);
        EXPECT_NE(fixtures::ReadFileText(game.File("Quorin.ini")).find(stored), std::string::npos);
        // Shut-down: the game object and the settings are gone, the cursor is back, the display too.
        EXPECT_TRUE(!g_pGameCtrl && !g_pConfig && !IsWindow(g_hWnd));
        EXPECT_EQ(pt::CursorShowCount(), 0);
        EXPECT_FALSE(pt::IsFullScreen());
    }
}

TEST_F(AppTest, StartsThatCannotSetUpLeave) {
    {
        SCOPED_TRACE("DesktopUnder16BitsShowsTheDepthMessageAndLeaves");
        pt::UseHeadlessDisplay(pt::DisplayFormat::Pal8);
        WriteWindowMode(0);
        EXPECT_EQ(Start(), 0);
        const auto boxes = pt::TakeMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, platform::Utf8ToSjis("ディスプレイの設定を16 ﾋﾞｯﾄ以上にしてください。"));
        EXPECT_EQ(boxes[0].caption, platform::Utf8ToSjis("エラーメッセージ"));
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
        EXPECT_TRUE(g_bWindowedLowDepth);
        EXPECT_FALSE(IsWindow(g_hWnd));
        // Surfaces were released before the game object was ready to have any.
        EXPECT_FALSE(g_pGameCtrl->IsInitialized());
    }
    TearDown();
    SetUp();
    SCOPED_TRACE("WindowedSetUpFailingOtherwiseLeavesWithoutAMessage");
    WriteWindowMode(0);
    pt::FailCreateSurface(DDSCAPS_PRIMARYSURFACE, -1);
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(pt::TakeMessageBoxes().empty());
    EXPECT_FALSE(IsWindow(g_hWnd));
    EXPECT_EQ(pt::LiveSurfaceCount(), 0);
}

// Alt+Enter switches the display and leaves the setting alone; a switch the config panel asks for
// stores the mode the display really ends in.
TEST_F(AppTest, AltEnterSwitchesBothWaysAndLeavesTheSetting) {
    WriteWindowMode(0);
    pt::SetFullScreenDepths({16});
    const struct {
        std::function<void()> input;
        const char* display;
    } steps[] = {
        {AltEnter, "full screen, WindowMode 0, 16 bit"},
        // 24 bits would come first in the search, but the depth found is kept.
        {[] {
             pt::SetFullScreenDepths({24, 16}), AltEnter();
         },
         "windowed, WindowMode 0, 32 bit"},
        {AltEnter, "full screen, WindowMode 0, 16 bit"},
        {AltEnter, "windowed, WindowMode 0, 32 bit"},
        // ToggleMessageFallsBackWhenFullScreenIsNot640Wide
        {[] { pt::SetFullScreenWidth(1280), PostMessageA(g_hWnd, UM_TOGGLESCREEN, 13, 0); },
         "windowed, WindowMode 0, 32 bit"},
        {[] { pt::SetFullScreenWidth(640), PostMessageA(g_hWnd, UM_TOGGLESCREEN, 13, 0); },
         "full screen, WindowMode 1, 16 bit"},
        {AltEnter, "windowed, WindowMode 1, 32 bit"},
        // Alt+Enter into a full screen that is not 640 wide falls back, the setting still alone.
        {[] { pt::SetFullScreenWidth(800), AltEnter(); }, "windowed, WindowMode 1, 32 bit"},
    };
    for (const auto& step : steps) {
        Then(step.input);
        Then([&] {
            EXPECT_EQ(Display(), step.display);
            EXPECT_TRUE(g_bSkipNextWheel) << "the switch drops the next wheel notch";
            pt::PostWheel(g_hWnd, -WHEEL_DELTA);
            EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
            EXPECT_EQ(GetDirectDraw(), g_DDrawCtrl.GetDirectDrawObject());
            EXPECT_EQ(pt::LiveSurfaceCount(), 2) << "primary and back buffer: nothing leaked by the switches";
        });
        Then([] { EXPECT_FALSE(g_bSkipNextWheel); });
    }
    EXPECT_EQ(Start(), 0);
}

TEST_F(AppTest, SwitchFailingBothWaysReportsAndCloses) {
    WriteWindowMode(0);
    Then([&] {
        pt::SetFullScreenDepths({});
        pt::FailCreateSurface(DDSCAPS_PRIMARYSURFACE, -1);
        AltEnter();
    });
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(IsErrorStop());
    const auto boxes = pt::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, platform::Utf8ToSjis("画面モードの切り替えに失敗しました"));
    EXPECT_NE(fixtures::ReadFileText(game.File("errmes.log")).find(boxes[0].text), std::string::npos);
    EXPECT_FALSE(IsWindow(g_hWnd));
    EXPECT_EQ(pt::LiveSurfaceCount(), 0);
}

TEST_F(AppTest, LostSurfacesAreRestoredByThePresent) {
    WriteWindowMode(0);
    Then([&] {
        pt::LoseAllSurfaces();
        pt::FailRestores(true);
        g_bPresentNeeded = 1;
    });
    Then([&] {
        // The restore failed: still lost, and the next present tries again.
        EXPECT_EQ(g_DDrawCtrl.GetPrimarySurface()->IsLost(), DDERR_SURFACELOST);
        pt::FailRestores(false);
        g_bPresentNeeded = 1;
    });
    Then([&] {
        EXPECT_EQ(g_DDrawCtrl.GetPrimarySurface()->IsLost() | g_DDrawCtrl.GetBackBuffer()->IsLost(), DD_OK);
        EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
        // The restored back buffer lost its picture: the next frame draws all of it.
        RECT pending;
        ASSERT_NE(GetUpdateRect(&pending), nullptr);
        EXPECT_TRUE(EqualRect(&pending, GetScreenRect()));
    });
    EXPECT_EQ(Start(), 0);
}

// Each pass of the loop either dispatches one message or is idle; only idle passes run a frame (one
// millisecond on the clock) or, while the movie plays, sleep 100 ms and draw nothing. A paint waits
// for an empty queue.
TEST_F(AppTest, APassThatDispatchesAMessageRunsNoGameStep) {
    const struct {
        const char* name;
        std::function<void(int)> at;             // what the script does at each pass
        std::map<int, DWORD> clock;              // the clock at chosen passes, from the start
        std::map<int, std::size_t> pending = {}; // messages waiting after chosen passes
        int presented = 1;                       // frames presented from pass 1 on
    } rows[] = {
        // Passes 1-5 each find a message waiting; pass 6 the repaint of the shown window; 7 is idle.
        {"APassThatDispatchesAMessageRunsNoGameStep",
         [](int pass) {
             if (pass <= 5) PostMessageA(g_hWnd, UM_SHOWCURSOR, 0, 0);
         },
         {{1, 0}, {7, 0}, {8, 1}, {9, 2}}},
        // Passes 1 and 2 take the posted messages, pass 3 the repaint, pass 4 is the first idle one.
        {"PaintWaitsForAnEmptyQueue",
         [](int pass) {
             if (pass != 1) return;
             pt::ClearMessages();
             InvalidateRect(g_hWnd, nullptr, FALSE);
             PostMessageA(g_hWnd, UM_HIDECURSOR, 0, 0);
             PostMessageA(g_hWnd, UM_SHOWCURSOR, 0, 0);
         },
         {{3, 0}, {4, 0}, {5, 1}},
         {{1, 2}, {2, 1}, {3, 0}}},
        // An idle pass (100 ms), then the repaint it asked for (ignored while the movie plays), and so on.
        {"WhileTheMovieRunsIdlePassesSleep100AndDrawNothing",
         [](int pass) {
             if (pass != 1) return;
             pt::ClearMessages();
             SetMoviePlaying(1);
             g_bPresentNeeded = 1;
         },
         {{2, 100}, {3, 100}, {4, 200}},
         {},
         0},
        // A backend that can wait waits for the next frame (here 16 ms) instead of the millisecond.
        {"WhereTheBackendWaitsIdlePassesWaitForTheNextFrame",
         [](int pass) {
             if (pass != 1) return;
             pt::ClearMessages();
             platform::SetFrameWaiter([] { pt::AdvanceClock(16); });
         },
         {{2, 16}, {3, 32}, {4, 48}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        WriteWindowMode(0);
        std::map<int, DWORD> clock;
        std::map<int, std::size_t> pending;
        int presents = -1;
        Script() = [&](int pass) {
            clock[pass] = GetTickCount() - kStart;
            if (pass == 1) presents = pt::PresentCount();
            row.at(pass);
            if (row.pending.count(pass)) pending[pass] = pt::PendingMessages().size();
            if (pass == 10) PostQuitMessage(5);
        };
        EXPECT_EQ(Start(), 5);
        platform::SetFrameWaiter(nullptr);
        for (const auto& [pass, ms] : row.clock)
            EXPECT_EQ(clock[pass], ms) << "pass " << pass;
        EXPECT_EQ(pending, row.pending);
        // The folder holds no pictures: the start ends in the error report, whose first frame is the only
        // one drawn, and so the only one presented; while the movie plays nothing is.
        EXPECT_EQ(pt::PresentCount(), presents + row.presented);
    }
}

// Whichever way the loop ends, the shut-down writes the system data.
TEST_F(AppTest, TheProgramEndsOnAClickAfterAnErrorOnAltF4AndOnASignalButNotWhileTheMovieRuns) {
    const struct {
        const char* name;
        std::function<void()> input;
        bool ends;
    } rows[] = {
        {"AfterAnErrorTheNextLeftClickEndsTheProgram",
         [] { SetErrorStop(), pt::PostMouseButton(g_hWnd, WM_LBUTTONDOWN, 10, 10); }, true},
        {"AltF4ArrivesAsTheCloseBoxWhoseQuestionIsAnsweredYes",
         [] {
             pt::PostKeyDown(g_hWnd, VK_MENU), pt::PostKeyDown(g_hWnd, VK_F4);
             pt::PostKeyUp(g_hWnd, VK_F4), pt::PostKeyUp(g_hWnd, VK_MENU);
             for (UINT key : {VK_RIGHT, VK_RETURN})
                 pt::PostKeyDown(g_hWnd, key), pt::PostKeyUp(g_hWnd, key);
         },
         true},
        {"CloseBoxDoesNothingWhileTheMovieRuns", [] { SetMoviePlaying(1), platform::DeliverClose(g_hWnd); },
         false},
        {"CloseBoxAsksFirst", [] { platform::DeliverClose(g_hWnd); }, false},
        // kill, a logout or Ctrl+C: no question, as though it had been answered yes.
        {"SigtermEndsTheGame", [] { std::raise(SIGTERM); }, true},
        {"SigintEndsTheGameEvenWhileTheMovieRuns", [] { SetMoviePlaying(1), std::raise(SIGINT); }, true},
        {"SignalWhileTheQuitDialogIsUp", [] { g_pGameCtrl->OpenQuitDialog(), std::raise(SIGTERM); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        WriteWindowMode(0);
        std::filesystem::create_directories(game.Path() + "SaveData");
        bool asked = false;
        Script() = [&](int pass) {
            if (pass == 2) row.input();
            if (pass == 101) asked = g_pGameCtrl->GetDialog() != nullptr;
            if (pass == 102) PostQuitMessage(3);
        };
        EXPECT_EQ(Start(), row.ends ? 0 : 3);
        EXPECT_EQ(IsWindow(g_hWnd), !row.ends);
        EXPECT_EQ(asked, std::string(row.name) == "CloseBoxAsksFirst");
        EXPECT_TRUE(std::filesystem::exists(game.Path() + "SaveData/data00.sav"));
    }
}
} // namespace
