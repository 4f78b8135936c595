// The program's own window messages and the calls that send them to the main window.
#pragma once

#include "platform/window.h"

enum : UINT {
    UM_TOGGLESCREEN = WM_USER + 1,
    UM_SHOWCURSOR = WM_USER + 2,
    UM_HIDECURSOR = WM_USER + 3,
    UM_MOUSEMOVE = WM_USER + 4,
    UM_LBUTTONUP = WM_USER + 5,
    UM_REPAINT = WM_USER + 6,
    UM_QUIT = WM_USER + 7,
    UM_SAVEMENU = WM_USER + 8,
    UM_LOADMENU = WM_USER + 9,
    UM_CONFIG = WM_USER + 10,
};

// The main window; null until it is created.
extern HWND g_hWnd;

LRESULT SendAppMessage(UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostAppMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// Has the hover art follow the pointer after a change under it: a mouse move at the cursor, then a repaint.
void RefreshCursor();
// A button release at the cursor, with x and y replaced unless they are -1.
void PostCursorClick(int x, int y);
