// The run-state flags, the script name and line of the error log, the watch table and the cursor
// messages.
#include "app/AppMessages.h"
#include "app/RunState.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
class RunState : public ::testing::Test {
  protected:
    void SetUp() override { ResetRunState(); }
    void TearDown() override { ResetRunState(); }
};

// The skip and auto readers, as "auto-or-skip skip-only skipping" after each change.
TEST_F(RunState, SkipAndAutoReaders) {
    auto flags = [] {
        return std::to_string(GetSkipAutoFlags(1)) + std::to_string(GetSkipAutoFlags(0)) +
               std::to_string(GetSkipAutoFlags(2)) + std::to_string(IsSkipping());
    };
    SetAutoMode(1);
    EXPECT_EQ(flags(), "1000");
    SetSkipMode(1);
    EXPECT_EQ(flags(), "1111");
    ClearSkipAuto();
    SetReadSkip(1);
    EXPECT_EQ(flags(), "0001");
    ClearSkipAuto();
    EXPECT_EQ(flags(), "0000");
    // ScriptNameKeepsAtMost31Characters
    SetScriptName("0123456789012345678901234567890123456789");
    SetScriptLine(99);
    EXPECT_EQ(std::strlen(GetScriptName()) * 1000 + GetScriptLine(), 31099u);
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

TEST_F(RunState, CursorMessagesCarrySignedCoordinates) {
    platform::testing::ClearMessages();
    g_hWnd = CreateHeadlessWindow(DefWindowProcA);
    platform::SetClientOrigin(g_hWnd, POINT{100, 50});
    platform::testing::SetCursorPosition(90, 60); // left of the client area
    RefreshCursor();
    PostCursorClick(-1, 200);
    std::string pending;
    for (const MSG& m : platform::testing::PendingMessages())
        pending += std::to_string(m.message - WM_USER) + "(" + std::to_string(GET_X_LPARAM(m.lParam)) + "," +
                   std::to_string(GET_Y_LPARAM(m.lParam)) + ") ";
    // UM_MOUSEMOVE and UM_REPAINT from the refresh, UM_LBUTTONUP at the click: x from the cursor.
    EXPECT_EQ(pending, "4(-10,10) 6(0,0) 5(-10,200) ");
    DestroyWindow(g_hWnd);
    g_hWnd = nullptr;
    platform::testing::ClearMessages();
}
} // namespace
