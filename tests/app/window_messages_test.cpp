#include "AppFixture.h"

#include "graphics/DDrawSurface.h"

// The display object and the window procedure without the message loop.
class DisplayTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::SetEventPump(nullptr);
        CreateConfig();
        g_pGameCtrl = new CGameCtrl;
        ASSERT_TRUE(g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL));
        ASSERT_TRUE(g_DDrawCtrl.InitDirectDraw(1));
        g_pGameCtrl->Initialize();
        pt::ClearMessages();
    }
    void Dispatch() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
};

TEST_F(DisplayTest, TheWindowBringsTheSoundManagerWithIt) {
    ASSERT_NE(g_pSoundManager, nullptr);
    // Headless there is a device; music asked for by name that does not exist is refused, not fatal.
    EXPECT_EQ(g_pSoundManager->PlayBGM("nosuchtrack", 1), 0);
}

TEST_F(DisplayTest, PresentsOnlyFramesThatReachedTheBackBuffer) {
    const int before = pt::PresentCount();
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before);
    // The frame's fixed corner went into the region and the region was emptied at the end.
    EXPECT_TRUE(EqualRect(&g_UpdateRegion.rect, &g_FrameCornerRect));
    EXPECT_EQ(g_UpdateRegion.pending, 0);
    EXPECT_EQ(g_UpdateRegion.updateMode, 1);

    CDDrawSurface picture;
    ASSERT_TRUE(picture.CreateEmpty(GetDirectDraw(), SIZE{640, 480}));
    FillSurface(picture.GetSurface(), 0x3060C0, nullptr);
    const RECT part{100, 100, 200, 150};
    AddUpdateRect(&part);
    EXPECT_EQ(picture.BltTo(GetRenderTarget(), 0, 0, nullptr), DD_OK);
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before + 1);
    IDirectDrawSurface* screen = g_DDrawCtrl.GetPrimarySurface();
    EXPECT_EQ(pt::ReadSurfaceRgbAt(screen, 100, 100), 0x3060C0u);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(screen, 199, 149), 0x3060C0u);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(screen, 200, 149), 0u);
    EXPECT_FALSE(IsPresentNeeded());
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before + 1);

    // A repaint marks the whole screen for the next draw.
    SendMessageA(g_hWnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(EqualRect(&g_UpdateRegion.rect, GetScreenRect()));
}

TEST_F(DisplayTest, WheelAfterAltTabIsDropped) {
    pt::PostKeyDown(g_hWnd, VK_MENU);
    pt::PostKeyDown(g_hWnd, VK_TAB);
    pt::PostKeyUp(g_hWnd, VK_TAB);
    pt::PostKeyUp(g_hWnd, VK_MENU);
    Dispatch();
    EXPECT_TRUE(g_bSkipNextWheel);
    pt::PostWheel(g_hWnd, WHEEL_DELTA);
    Dispatch();
    EXPECT_FALSE(g_bSkipNextWheel);
}

TEST_F(DisplayTest, SystemCursorHiddenOverTheClientAreaOnly) {
    g_CursorShowCount = 0;
    pt::SetCursorShowCount(0);
    pt::PostMouseMove(g_hWnd, 20, 30);
    EXPECT_LT(g_CursorShowCount, 0);
    EXPECT_LT(pt::CursorShowCount(), 0);
    platform::DeliverLeave(g_hWnd);
    EXPECT_GE(g_CursorShowCount, 0);
    EXPECT_GE(pt::CursorShowCount(), 0);
}

TEST_F(DisplayTest, MousePositionsKeepTheirSign) {
    pt::PostMouseMove(g_hWnd, -12, 470);
    Dispatch();
    EXPECT_EQ(g_MouseX, -12);
    EXPECT_EQ(g_MouseY, 470);
    SendMessageA(g_hWnd, UM_MOUSEMOVE, 0, MAKELPARAM_XY(5, -3));
    EXPECT_EQ(g_MouseX, 5);
    EXPECT_EQ(g_MouseY, -3);
}

TEST_F(DisplayTest, FullScreenReportsTheClientEverywhereAndReadsTheCursor) {
    ASSERT_TRUE(g_DDrawCtrl.ToggleScreenMode());
    EXPECT_EQ(SendMessageA(g_hWnd, WM_NCHITTEST, 0, MAKELPARAM_XY(-100, -100)), HTCLIENT);
    pt::SetCursorPosition(300, 200);
    SendMessageA(g_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM_XY(1, 1));
    EXPECT_EQ(g_MouseX, 300);
    EXPECT_EQ(g_MouseY, 200);
    // The system menu never opens from the keyboard.
    EXPECT_EQ(SendMessageA(g_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    SetMoviePlaying(1);
    EXPECT_EQ(SendMessageA(g_hWnd, WM_NCACTIVATE, FALSE, 0), 0);
}

TEST_F(DisplayTest, MovingTheWindowMovesThePresent) {
    platform::DeliverMoved(g_hWnd, POINT{50, 60});
    Dispatch();
    EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().x, 50);
    const RECT& client = g_DDrawCtrl.GetClientRectOnScreen();
    EXPECT_EQ(client.left, 50);
    EXPECT_EQ(client.top, 60);
    CDDrawSurface dot;
    ASSERT_TRUE(dot.CreateEmpty(GetDirectDraw(), SIZE{1, 1}));
    FillSurface(dot.GetSurface(), 0xFFFFFF, nullptr);
    AddUpdateRect(GetScreenRect());
    dot.BltTo(GetRenderTarget(), 639, 479, nullptr);
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetPrimarySurface(), 639, 479), 0xFFFFFFu);
}

TEST_F(DisplayTest, ReleasedDisplayLeavesNoPointersBehind) {
    EXPECT_NE(GetDirectDraw(), nullptr);
    g_DDrawCtrl.ReleaseDirectDraw();
    EXPECT_EQ(GetDirectDraw(), nullptr);
    EXPECT_EQ(GetRenderTarget(), nullptr);
    EXPECT_EQ(pt::LiveSurfaceCount(), 0);
    // Frames without a display draw and present nothing.
    g_bPresentNeeded = 1;
    const int before = pt::PresentCount();
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before);
}
