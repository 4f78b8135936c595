#include "app/AppMessages.h"

HWND g_hWnd = nullptr;

LRESULT SendAppMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_hWnd, msg, wParam, lParam);
}

BOOL PostAppMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(g_hWnd, msg, wParam, lParam);
}

namespace {
POINT CursorInClient() {
    POINT pt{0, 0};
    GetCursorPos(&pt);
    ScreenToClient(g_hWnd, &pt);
    return pt;
}
} // namespace

void RefreshCursor() {
    const POINT pt = CursorInClient();
    PostAppMessage(UM_MOUSEMOVE, 0, MAKELPARAM_XY(pt.x, pt.y));
    PostAppMessage(UM_REPAINT, 0, 0);
}

void PostCursorClick(int x, int y) {
    POINT pt = CursorInClient();
    if (x != -1) pt.x = x;
    if (y != -1) pt.y = y;
    PostAppMessage(UM_LBUTTONUP, 0, MAKELPARAM_XY(pt.x, pt.y));
}
