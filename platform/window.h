// Windows, the message queue, the cursor and the screen metrics.
#pragma once

#include "platform/base.h"

struct HWND__;
struct HICON__;
struct HCURSOR__;
struct HMENU__;
struct HBRUSH__;
using HWND = HWND__*;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HMENU = HMENU__*;
using HBRUSH = HBRUSH__*;
using ATOM = WORD;
using SHORT = std::int16_t;
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

// Messages and codes beyond the common ones of base.h.
enum : UINT { WM_NCACTIVATE = 0x0086 };
enum : UINT { VK_F4 = 0x73, VK_F10 = 0x79 };
enum : LRESULT { HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2 };
enum : WPARAM { SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100 };
inline constexpr int WHEEL_DELTA = 120;
inline constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wParam) {
    return static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
}

// Window and class styles.
enum : DWORD {
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000,
    WS_CAPTION = 0x00C00000,
    WS_SYSMENU = 0x00080000,
    WS_MINIMIZEBOX = 0x00020000,
};
enum : UINT { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002 };
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5 };
enum : int { GWL_STYLE = -16 };
enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOACTIVATE = 0x0010,
    SWP_SHOWWINDOW = 0x0040,
};
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1 };

inline const char* MAKEINTRESOURCEA(int id) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
inline const char* const IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const char* const IDC_NO = MAKEINTRESOURCEA(32648);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

// Classes are matched by name without regard to case; registering a name twice fails.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
// A top-level window of a registered class, shown through the display backend. It gets WM_CREATE
// before this returns. Its frame belongs to the desktop: the window RECT is the client area.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
// A window with a procedure and nothing shown, for code that only needs a queue target.
HWND CreateHeadlessWindow(WNDPROC proc);
// Sends WM_DESTROY, then the window is gone.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
// The caption, cut to fit; the number of characters copied.
int GetWindowTextA(HWND hwnd, char* text, int size);
BOOL ShowWindow(HWND hwnd, int command);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
LONG GetWindowLongA(HWND hwnd, int index);
// Our windows have no frame of their own, so the outer RECT is the client RECT.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// SM_CXSCREEN reads 640 while the display is full screen (the picture is scaled onto the desktop).
int GetSystemMetrics(int index);
// Resources live in the program itself; these hand back tokens that nothing draws.
HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
// The input method's enable state of a window; the input-method family reads it.
BOOL WINNLSEnableIME(HWND hwnd, BOOL enable);

// Unless noted, window messages first reach DefWindowProcA's defaults: WM_CLOSE destroys the window,
// Alt+F4 becomes SC_CLOSE and then WM_CLOSE with lParam 0, Alt or F10 released asks for SC_KEYMENU,
// WM_NCHITTEST tells the client area from the rest.
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
// Key downs of printable keys post WM_CHAR (shift gives capitals).
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);

// The cursor in screen coordinates; the client area starts at the window's client origin (0, 0
// while full screen).
BOOL GetCursorPos(POINT* pt);
// Moving the cursor sends the window a fresh mouse move, as the system does.
BOOL SetCursorPos(int x, int y);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
BOOL ClientToScreen(HWND hwnd, POINT* pt);
// The count after the change; the system cursor shows over the client area while it is 0 or more.
int ShowCursor(BOOL show);
// High bit set while the key is held.
SHORT GetKeyState(int vk);

namespace platform {
// The backend pumps its events into the queue when asked.
using EventPump = void (*)(bool wait);
void SetEventPump(EventPump pump);
EventPump GetEventPump();
// A backend that can wait for its events waits in the idle pass until input arrives or the display's
// next frame falls due. Set after the backend's event pump: it waits only while that pump is in place.
using FrameWaiter = void (*)();
void SetFrameWaiter(FrameWaiter waiter);
// The idle pass's wait for the next frame: until the backend has input for the queue or the display's
// next frame falls due (at once when messages wait). False, without waiting, where nothing can arrive
// meanwhile (the headless backend, a test's own event pump).
bool WaitForNextFrame();
// Where the client area sits on the screen (the backend keeps it current).
void SetClientOrigin(HWND hwnd, POINT origin);
// What WINNLSEnableIME last set for the window (TRUE for a new one).
BOOL IsImeEnabled(HWND hwnd);

// Input as the backend turns it into messages: the same path for SDL events and test input.
// Positions are client pixels of the 640x480 picture and may be negative.
void DeliverMouseMove(HWND hwnd, POINT client);
// msg is WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN or WM_RBUTTONUP.
void DeliverMouseButton(HWND hwnd, UINT msg, POINT client);
// One notch is WHEEL_DELTA; positive away from the user.
void DeliverWheel(HWND hwnd, int delta);
// Alt held turns keys into WM_SYSKEYDOWN/WM_SYSKEYUP, as does F10; Alt itself is a system key.
void DeliverKey(HWND hwnd, UINT vk, bool down, bool repeat = false);
// The close box: WM_CLOSE with lParam 0.
void DeliverClose(HWND hwnd);
void DeliverActivate(HWND hwnd, bool active);
// The pointer left the window: the hit test reports no client area.
void DeliverLeave(HWND hwnd);
void DeliverMoved(HWND hwnd, POINT clientOrigin);
void DeliverExposed(HWND hwnd);
// Forgets the held keys and buttons (a test starting afresh).
void ResetInputState();
} // namespace platform
