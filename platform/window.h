// Windows, the message queue and the cursor.
#pragma once

#include "platform/base.h"

struct HWND__;
using HWND = HWND__*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

// A window with a procedure; the window backend adds what it shows.
HWND CreateHeadlessWindow(WNDPROC proc);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The one queue of the main thread. PostMessageA is safe from any thread.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the window procedure at once and returns its result.
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// WM_PAINT is produced only when nothing else waits and some part of the window was invalidated.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// FALSE for WM_QUIT, TRUE otherwise. Waits for the backend's events when the queue is empty.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);

// The cursor in screen coordinates; the client area starts at the window's client origin.
BOOL GetCursorPos(POINT* pt);
// Moving the cursor sends the window a fresh mouse move, as the system does.
BOOL SetCursorPos(int x, int y);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
BOOL ClientToScreen(HWND hwnd, POINT* pt);
// The count after the change; the cursor shows while it is 0 or more.
int ShowCursor(BOOL show);

namespace platform {
// The backend pumps its events into the queue when asked; null while headless.
using EventPump = void (*)(bool wait);
void SetEventPump(EventPump pump);
// Where the client area sits on the screen (the backend keeps it current).
void SetClientOrigin(HWND hwnd, POINT origin);
} // namespace platform
