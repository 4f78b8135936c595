#include "AppFixture.h"

#include "app/ErrorReport.h"
#include "platform/time.h"

#include <map>

TEST_F(AppTest, APassThatDispatchesAMessageRunsNoGameStep) {
    WriteWindowMode(0);
    std::map<int, DWORD> clockAt;
    int presentsBefore = -1;
    Script() = [&](int pass) {
        clockAt[pass] = GetTickCount();
        // Passes 1-5 each find a message waiting; pass 6 the repaint of the shown window, which waits
        // for an empty queue; pass 7 is the first idle pass.
        if (pass <= 5) PostMessageA(g_hWnd, UM_SHOWCURSOR, 0, 0);
        if (pass == 1) presentsBefore = pt::PresentCount();
        if (pass == 9) PostQuitMessage(5);
    };
    EXPECT_EQ(Start(), 5);
    for (int pass = 1; pass <= 7; ++pass)
        EXPECT_EQ(clockAt[pass], kStart) << pass;
    EXPECT_EQ(clockAt[8], kStart + 1);
    EXPECT_EQ(clockAt[9], kStart + 2);
    // Nothing was drawn, so nothing was presented.
    EXPECT_EQ(pt::PresentCount(), presentsBefore);
}

TEST_F(AppTest, PaintWaitsForAnEmptyQueue) {
    WriteWindowMode(0);
    std::map<int, std::size_t> pendingAt;
    std::map<int, DWORD> clockAt;
    Script() = [&](int pass) {
        if (pass == 1) {
            pt::ClearMessages();
            InvalidateRect(g_hWnd, nullptr, FALSE);
            PostMessageA(g_hWnd, UM_HIDECURSOR, 0, 0);
            PostMessageA(g_hWnd, UM_SHOWCURSOR, 0, 0);
        }
        pendingAt[pass] = pt::PendingMessages().size();
        clockAt[pass] = GetTickCount();
        if (pass == 5) PostQuitMessage(0);
    };
    EXPECT_EQ(Start(), 0);
    // Passes 1 and 2 take the posted messages, pass 3 the repaint, pass 4 is the first idle one.
    EXPECT_EQ(pendingAt[1], 2u);
    EXPECT_EQ(pendingAt[2], 1u);
    EXPECT_EQ(pendingAt[3], 0u);
    EXPECT_EQ(clockAt[4], kStart);
    EXPECT_EQ(clockAt[5], kStart + 1);
}

TEST_F(AppTest, WhileTheMovieRunsIdlePassesSleep100AndDrawNothing) {
    WriteWindowMode(0);
    std::map<int, DWORD> clockAt;
    int presents = -1;
    Script() = [&](int pass) {
        clockAt[pass] = GetTickCount();
        if (pass == 1) {
            pt::ClearMessages();
            SetMoviePlaying(1);
            presents = pt::PresentCount();
            g_bPresentNeeded = 1;
        }
        if (pass == 6) PostQuitMessage(0);
    };
    EXPECT_EQ(Start(), 0);
    // Idle pass (100 ms), then the repaint it asked for (ignored while the movie plays), and so on.
    EXPECT_EQ(clockAt[2], kStart + 100);
    EXPECT_EQ(clockAt[3], kStart + 100);
    EXPECT_EQ(clockAt[4], kStart + 200);
    EXPECT_EQ(pt::PresentCount(), presents);
}

// Runs the script's input at pass 2 and fails when the program is still running 100 passes later.
static void EndsWithin100Passes(int pass, const std::function<void()>& input) {
    if (pass == 2) input();
    if (pass == 102) {
        ADD_FAILURE() << "the program did not end";
        PostQuitMessage(1);
    }
}

TEST_F(AppTest, AfterAnErrorTheNextLeftClickEndsTheProgram) {
    WriteWindowMode(0);
    Script() = [](int pass) {
        EndsWithin100Passes(pass, [] {
            SetErrorStop();
            pt::PostMouseButton(g_hWnd, WM_LBUTTONDOWN, 10, 10);
        });
    };
    EXPECT_EQ(Start(), 0);
    EXPECT_FALSE(IsWindow(g_hWnd));
}

TEST_F(AppTest, CloseBoxDoesNothingWhileTheMovieRuns) {
    WriteWindowMode(0);
    Script() = [](int pass) {
        if (pass == 1) {
            SetMoviePlaying(1);
            platform::DeliverClose(g_hWnd);
        }
        if (pass == 50) {
            EXPECT_TRUE(IsWindow(g_hWnd));
            PostQuitMessage(3);
        }
    };
    EXPECT_EQ(Start(), 3);
}

TEST_F(AppTest, AltF4ArrivesAsTheCloseBox) {
    WriteWindowMode(0);
    Script() = [](int pass) {
        EndsWithin100Passes(pass, [] {
            pt::PostKeyDown(g_hWnd, VK_MENU);
            pt::PostKeyDown(g_hWnd, VK_F4);
        });
    };
    EXPECT_EQ(Start(), 0);
    EXPECT_FALSE(IsWindow(g_hWnd));
}
