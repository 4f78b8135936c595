// The display object and the window procedure without the message loop.
#include "AppFixture.h"

#include "graphics/DDrawSurface.h"

namespace {
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
        // The folder holds no pictures, so the start ends in the error report; these tests look at the
        // display's own frames, drawn by a game object with nothing to draw.
        IDirectDraw* dd = GetDirectDraw();
        ResetRunState();
        SetDirectDraw(dd);
        AddUpdateRect(nullptr);
        pt::ClearMessages();
    }
    void Dispatch() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    // Draws a picture of one colour into the render target over `rc` and presents the frame.
    void Present(DWORD color, const RECT& rc) {
        CDDrawSurface picture;
        ASSERT_TRUE(picture.CreateEmpty(GetDirectDraw(), SIZE{640, 480}));
        FillSurface(picture.GetSurface(), color, nullptr);
        AddUpdateRect(&rc);
        EXPECT_EQ(picture.BltTo(GetRenderTarget(), 0, 0, nullptr), DD_OK);
        g_DDrawCtrl.PresentFrame();
    }
    DWORD Screen(int x, int y) { return pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetPrimarySurface(), x, y); }
};

TEST_F(DisplayTest, PresentsOnlyFramesThatReachedTheBackBuffer) {
    // The window brings the sound manager with it; music that does not exist is refused, not fatal.
    ASSERT_NE(g_pSoundManager, nullptr);
    EXPECT_EQ(g_pSoundManager->PlayBGM("nosuchtrack", 1), 0);
    const int before = pt::PresentCount();
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before);
    // The frame's fixed corner went into the region and the region was emptied at the end.
    EXPECT_TRUE(EqualRect(&g_UpdateRegion.rect, &g_FrameCornerRect));
    EXPECT_EQ(g_UpdateRegion.pending * 10 + g_UpdateRegion.updateMode, 1);
    Present(0x3060C0, RECT{100, 100, 200, 150});
    EXPECT_EQ(pt::PresentCount(), before + 1);
    EXPECT_EQ(Screen(100, 100), 0x3060C0u);
    EXPECT_EQ(Screen(199, 149), 0x3060C0u);
    EXPECT_EQ(Screen(200, 149), 0u);
    EXPECT_FALSE(IsPresentNeeded());
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before + 1);
    // OnlyTheDrawnPartGoesToTheScreen: what changed in the back buffer without a blit of a frame is
    // not copied along with the next frame's part.
    const RECT aside{300, 300, 310, 310};
    FillSurface(g_DDrawCtrl.GetBackBuffer(), 0xFFFFFF, &aside);
    Present(0x102030, RECT{0, 0, 10, 10});
    EXPECT_EQ(Screen(5, 5), 0x102030u);
    EXPECT_EQ(Screen(300, 300), 0u);
    EXPECT_EQ(Screen(100, 100), 0x3060C0u);
    // A repaint marks the whole screen for the next draw.
    SendMessageA(g_hWnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(EqualRect(&g_UpdateRegion.rect, GetScreenRect()));
    // MovingTheWindowMovesThePresent
    platform::DeliverMoved(g_hWnd, POINT{50, 60});
    Dispatch();
    EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().x, 50);
    EXPECT_EQ(g_DDrawCtrl.GetClientRectOnScreen().left * 1000 + g_DDrawCtrl.GetClientRectOnScreen().top,
              50060);
    Present(0xFFFFFF, RECT{639, 479, 640, 480});
    EXPECT_EQ(Screen(639, 479), 0xFFFFFFu);
}

TEST_F(DisplayTest, MouseWheelAndCursorMessages) {
    // MousePositionsKeepTheirSign
    pt::PostMouseMove(g_hWnd, -12, 470);
    Dispatch();
    EXPECT_EQ(g_MouseX * 1000 + g_MouseY, -12000 + 470);
    SendMessageA(g_hWnd, UM_MOUSEMOVE, 0, MAKELPARAM_XY(5, -3));
    EXPECT_EQ(g_MouseX * 1000 + g_MouseY, 5000 - 3);
    // WheelAfterAltTabIsDropped
    for (UINT vk : {VK_MENU, VK_TAB})
        pt::PostKeyDown(g_hWnd, vk);
    for (UINT vk : {VK_TAB, VK_MENU})
        pt::PostKeyUp(g_hWnd, vk);
    Dispatch();
    EXPECT_TRUE(g_bSkipNextWheel);
    pt::PostWheel(g_hWnd, WHEEL_DELTA);
    Dispatch();
    EXPECT_FALSE(g_bSkipNextWheel);
    // SystemCursorHiddenOverTheClientAreaOnly
    g_CursorShowCount = 0;
    pt::SetCursorShowCount(0);
    pt::PostMouseMove(g_hWnd, 20, 30);
    EXPECT_TRUE(g_CursorShowCount < 0 && pt::CursorShowCount() < 0);
    platform::DeliverLeave(g_hWnd);
    EXPECT_TRUE(g_CursorShowCount >= 0 && pt::CursorShowCount() >= 0);
}

TEST_F(DisplayTest, FullScreenReportsTheClientEverywhereAndReadsTheCursor) {
    ASSERT_TRUE(g_DDrawCtrl.ToggleScreenMode());
    EXPECT_EQ(SendMessageA(g_hWnd, WM_NCHITTEST, 0, MAKELPARAM_XY(-100, -100)), HTCLIENT);
    pt::SetCursorPosition(300, 200);
    SendMessageA(g_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM_XY(1, 1));
    EXPECT_EQ(g_MouseX * 1000 + g_MouseY, 300200);
    // The system menu never opens from the keyboard.
    EXPECT_EQ(SendMessageA(g_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    SetMoviePlaying(1);
    EXPECT_EQ(SendMessageA(g_hWnd, WM_NCACTIVATE, FALSE, 0), 0);
}

TEST_F(DisplayTest, ASwitchLeavesThePointerOverTheSamePointOfThePicture) {
    const POINT origin{g_DDrawCtrl.GetClientRectOnScreen().left, g_DDrawCtrl.GetClientRectOnScreen().top};
    ASSERT_TRUE(origin.x > 0 && origin.y > 0) << "the window stands inside the desktop";
    const struct {
        const char* name;
        POINT pointer; // in the window's client pixels before the first switch
        POINT after;   // where the game hears of it after each switch
    } rows[] = {
        {"over the picture", {300, 200}, {300, 200}},
        {"at its corner", {639, 479}, {639, 479}},
        // Beside the window the pointer keeps its place on the desktop, which the full screen covers;
        // from there on it is over the picture.
        {"beside the window", {-40, -30}, {origin.x - 40, origin.y - 30}},
    };
    for (const auto& row : rows) {
        pt::PostMouseMove(g_hWnd, row.pointer.x, row.pointer.y);
        Dispatch();
        for (bool fullScreen : {true, false}) {
            ASSERT_TRUE(g_DDrawCtrl.ToggleScreenMode());
            Dispatch();
            EXPECT_EQ(g_MouseX * 10000 + g_MouseY, row.after.x * 10000 + row.after.y)
                << row.name << (fullScreen ? " on the full screen" : " back in the window");
        }
    }
}

TEST_F(DisplayTest, ReleasedDisplayLeavesNoPointersBehind) {
    EXPECT_NE(GetDirectDraw(), nullptr);
    g_DDrawCtrl.ReleaseDirectDraw();
    EXPECT_TRUE(!GetDirectDraw() && !GetRenderTarget());
    EXPECT_EQ(pt::LiveSurfaceCount(), 0);
    // Frames without a display draw and present nothing.
    g_bPresentNeeded = 1;
    const int before = pt::PresentCount();
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(pt::PresentCount(), before);
}
} // namespace
