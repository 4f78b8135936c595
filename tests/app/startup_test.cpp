#include "AppFixture.h"

#include "platform/debug.h"
#include "platform/text_encoding.h"

namespace {
DWORD BackBufferDepth() {
    DDPIXELFORMAT pf{};
    if (!g_DDrawCtrl.GetBackBuffer() || g_DDrawCtrl.GetBackBuffer()->GetPixelFormat(&pf) != DD_OK) return 0;
    return pf.dwRGBBitCount;
}
} // namespace

TEST_F(AppTest, DefaultSettingsComeUpFullScreen) {
    bool seen = false;
    Then([&] {
        seen = true;
        EXPECT_TRUE(pt::IsFullScreen());
        EXPECT_FALSE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 1);
        EXPECT_EQ(g_FullScreenDepth, 32); // 24 is tried first and not offered
        EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
        EXPECT_EQ(GetDirectDraw(), g_DDrawCtrl.GetDirectDrawObject());
        EXPECT_TRUE(g_pGameCtrl->IsInitialized());
        char caption[32];
        GetWindowTextA(g_hWnd, caption, sizeof caption);
        EXPECT_STREQ(caption, "Lunavel");
        EXPECT_EQ(GetWindowLongA(g_hWnd, GWL_STYLE), static_cast<LONG>(WS_VISIBLE | WS_SYSMENU));
        EXPECT_LT(g_CursorShowCount, 0);
    });
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(seen);
    // Shut-down: the game object and the settings are gone, the cursor is back, the display too.
    EXPECT_EQ(g_pGameCtrl, nullptr);
    EXPECT_EQ(g_pConfig, nullptr);
    EXPECT_EQ(pt::CursorShowCount(), 0);
    EXPECT_FALSE(pt::IsFullScreen());
    EXPECT_FALSE(IsWindow(g_hWnd));
}

TEST_F(AppTest, WindowedStartIsCentredWithItsClientOnScreen) {
    WriteWindowMode(0);
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().x, (1024 - 640) / 2);
        EXPECT_EQ(g_DDrawCtrl.GetWindowPosition().y, (768 - 480) / 2);
        const RECT& client = g_DDrawCtrl.GetClientRectOnScreen();
        EXPECT_EQ(client.left, 192);
        EXPECT_EQ(client.right - client.left, 640);
        EXPECT_EQ(client.bottom - client.top, 480);
        EXPECT_EQ(GetWindowLongA(g_hWnd, GWL_STYLE), static_cast<LONG>(kWindowedStyle));
    });
    EXPECT_EQ(Start(), 0);
}

TEST_F(AppTest, FullScreenThatFailsFallsBackToWindowed) {
    pt::SetFullScreenDepths({});
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_FALSE(pt::IsFullScreen());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 0);
        EXPECT_NE(g_DDrawCtrl.GetBackBuffer(), nullptr);
    });
    EXPECT_EQ(Start(), 0);
    // Only the config panel writes the ini file.
    EXPECT_NE(fixtures::ReadFileText(game.File("Quorin.ini")).find("WindowMode=1"), std::string::npos);
}

TEST_F(AppTest, FullScreenNot640WideFallsBackToWindowed) {
    pt::SetFullScreenWidth(800);
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_FALSE(pt::IsFullScreen());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 0);
    });
    EXPECT_EQ(Start(), 0);
}

TEST_F(AppTest, FullScreenDepthsAreTriedAndTheFoundOneKept) {
    WriteWindowMode(1);
    pt::SetFullScreenDepths({16});
    Then([&] {
        EXPECT_EQ(g_FullScreenDepth, 16);
        EXPECT_EQ(BackBufferDepth(), 16u);
        AltEnter();
    });
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(BackBufferDepth(), 32u);
        // 24 bits would come first in the search, but the depth found is kept.
        pt::SetFullScreenDepths({24, 16});
        AltEnter();
    });
    Then([&] {
        EXPECT_FALSE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(BackBufferDepth(), 16u);
    });
    EXPECT_EQ(Start(), 0);
}

TEST_F(AppTest, DesktopUnder16BitsShowsTheDepthMessageAndLeaves) {
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

TEST_F(AppTest, WindowedSetUpFailingOtherwiseLeavesWithoutAMessage) {
    WriteWindowMode(0);
    pt::FailCreateSurface(DDSCAPS_PRIMARYSURFACE, -1);
    EXPECT_EQ(Start(), 0);
    EXPECT_TRUE(pt::TakeMessageBoxes().empty());
    EXPECT_FALSE(IsWindow(g_hWnd));
    EXPECT_EQ(pt::LiveSurfaceCount(), 0);
}

TEST_F(AppTest, AltEnterSwitchesBothWaysAndTheSettingFollows) {
    WriteWindowMode(0);
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        AltEnter();
    });
    Then([&] {
        EXPECT_FALSE(g_DDrawCtrl.IsWindowed());
        EXPECT_TRUE(pt::IsFullScreen());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 1);
        EXPECT_TRUE(g_bSkipNextWheel);
        EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
        EXPECT_EQ(GetDirectDraw(), g_DDrawCtrl.GetDirectDrawObject());
        // The switch dropped the next wheel notch.
        pt::PostWheel(g_hWnd, -WHEEL_DELTA);
    });
    Then([&] {
        EXPECT_FALSE(g_bSkipNextWheel);
        AltEnter();
    });
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_FALSE(pt::IsFullScreen());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 0);
        EXPECT_EQ(pt::LiveSurfaceCount(), 2); // primary and back buffer only: nothing leaked by the switches
    });
    EXPECT_EQ(Start(), 0);
}

TEST_F(AppTest, ToggleMessageFallsBackWhenFullScreenIsNot640Wide) {
    WriteWindowMode(0);
    Then([&] {
        pt::SetFullScreenWidth(1280);
        PostMessageA(g_hWnd, UM_TOGGLESCREEN, 13, 0);
    });
    Then([&] {
        EXPECT_TRUE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 0);
        pt::SetFullScreenWidth(640);
        PostMessageA(g_hWnd, UM_TOGGLESCREEN, 13, 0);
    });
    Then([&] {
        EXPECT_FALSE(g_DDrawCtrl.IsWindowed());
        EXPECT_EQ(g_pConfig->GetWindowMode(), 1);
    });
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
        EXPECT_EQ(g_DDrawCtrl.GetPrimarySurface()->IsLost(), DD_OK);
        EXPECT_EQ(g_DDrawCtrl.GetBackBuffer()->IsLost(), DD_OK);
        EXPECT_EQ(GetRenderTarget(), g_DDrawCtrl.GetBackBuffer());
        // The restored back buffer lost its picture: the next frame draws all of it.
        RECT pending;
        ASSERT_NE(GetUpdateRect(&pending), nullptr);
        EXPECT_TRUE(EqualRect(&pending, GetScreenRect()));
    });
    EXPECT_EQ(Start(), 0);
}
