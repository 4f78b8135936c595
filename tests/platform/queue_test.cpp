#include "platform/testing.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<UINT> g_seen;
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(msg);
    return msg == WM_USER ? 42 : DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

class Queue : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::testing::ClearMessages();
        g_seen.clear();
        hwnd = CreateHeadlessWindow(RecordingProc);
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        platform::testing::ClearMessages();
    }
    HWND hwnd = nullptr;
};

TEST_F(Queue, PaintOnlyWhenNothingElseWaits) {
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, SendIsSynchronousAndQuitCarriesItsCode) {
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 42);
    EXPECT_EQ(g_seen.size(), 1u);
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    EXPECT_EQ(g_seen.size(), 2u);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Queue, PeekWithoutRemoveLeavesTheMessage) {
    PostMessageA(hwnd, WM_USER + 2, 7, 8);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
}

TEST_F(Queue, CursorCountAndMoves) {
    const int base = platform::testing::CursorShowCount();
    EXPECT_EQ(ShowCursor(FALSE), base - 1);
    EXPECT_EQ(ShowCursor(TRUE), base);
    SetCursorPos(-3, 20);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), -3);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 20);
}

TEST_F(Queue, TranslateTurnsKeysIntoCharacters) {
    MSG key{hwnd, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
}
