#include "app/AppMessages.h"
#include "app/RunState.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <cstring>

class RunState : public ::testing::Test {
  protected:
    void SetUp() override { ResetRunState(); }
    void TearDown() override { ResetRunState(); }
};

TEST_F(RunState, SkipAndAutoReaders) {
    SetAutoMode(1);
    EXPECT_TRUE(GetSkipAutoFlags(1));
    EXPECT_FALSE(GetSkipAutoFlags(0));
    EXPECT_FALSE(IsSkipping());
    SetSkipMode(1);
    EXPECT_TRUE(GetSkipAutoFlags(0));
    EXPECT_TRUE(GetSkipAutoFlags(2));
    ClearSkipAuto();
    EXPECT_FALSE(GetSkipAutoFlags(1));
    SetReadSkip(1);
    EXPECT_TRUE(IsSkipping());
    EXPECT_FALSE(GetSkipAutoFlags(1));
    ClearSkipAuto();
    EXPECT_FALSE(IsSkipping());
}

TEST_F(RunState, ScriptNameKeepsAtMost31Characters) {
    SetScriptName("0123456789012345678901234567890123456789");
    EXPECT_EQ(std::strlen(GetScriptName()), 31u);
    SetScriptLine(99);
    EXPECT_EQ(GetScriptLine(), 99u);
}

TEST_F(RunState, ScreenRectIsTheWholeBackBuffer) {
    const RECT* rc = GetScreenRect();
    EXPECT_EQ(rc->left, 0);
    EXPECT_EQ(rc->right, 640);
    EXPECT_EQ(rc->bottom, 480);
    EXPECT_EQ(GetScreenSize()->cx, 640);
}

TEST_F(RunState, WatchTableRefusesSlotsOutsideRangeAndBoundsTheName) {
    DebugWatchEntry e{};
    std::memset(e.name, 'n', sizeof e.name); // no terminator at all
    e.isInteger = 1;
    DebugWatchSet(-1, &e);
    DebugWatchSet(16, &e);
    for (int n = 0; n < kDebugWatchSlots; ++n)
        EXPECT_EQ(DebugWatchGet(n), nullptr);
    DebugWatchSet(3, &e);
    ASSERT_NE(DebugWatchGet(3), nullptr);
    EXPECT_EQ(std::strlen(DebugWatchGet(3)->name), 15u);
    DebugWatchRemove(-5);
    DebugWatchRemove(3);
    EXPECT_EQ(DebugWatchGet(3), nullptr);
    DebugWatchSet(4, &e);
    DebugWatchClear();
    EXPECT_EQ(DebugWatchGet(4), nullptr);
}

namespace {
LRESULT Quiet(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
} // namespace

TEST_F(RunState, CursorMessagesCarrySignedCoordinates) {
    platform::testing::ClearMessages();
    g_hWnd = CreateHeadlessWindow(Quiet);
    platform::SetClientOrigin(g_hWnd, POINT{100, 50});
    platform::testing::SetCursorPosition(90, 60); // left of the client area
    RefreshCursor();
    auto pending = platform::testing::PendingMessages();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].message, static_cast<UINT>(UM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(pending[0].lParam), -10);
    EXPECT_EQ(GET_Y_LPARAM(pending[0].lParam), 10);
    EXPECT_EQ(pending[1].message, static_cast<UINT>(UM_REPAINT));
    platform::testing::ClearMessages();

    PostCursorClick(-1, 200);
    pending = platform::testing::PendingMessages();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].message, static_cast<UINT>(UM_LBUTTONUP));
    EXPECT_EQ(GET_X_LPARAM(pending[0].lParam), -10);
    EXPECT_EQ(GET_Y_LPARAM(pending[0].lParam), 200);
    DestroyWindow(g_hWnd);
    g_hWnd = nullptr;
    platform::testing::ClearMessages();
}
