#include "platform/window.h"

#include "platform/ddraw_internal.h"
#include "platform/display_backend.h"
#include "platform/ime_internal.h"
#include "platform/runtime.h"
#include "platform/testing.h"
#include "platform/time.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>

struct HWND__ {
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    RECT rect{0, 0, 0, 0}; // screen coordinates while windowed
    POINT clientOrigin{0, 0};
    bool visible = false;
    bool invalid = false;
    bool shown = false; // opened through the display backend
    BOOL imeEnabled = TRUE;
};

namespace {
std::mutex g_queueLock;
std::deque<MSG> g_queue;
std::set<HWND> g_windows;
platform::EventPump g_pump = nullptr;
platform::FrameWaiter g_frameWaiter = nullptr;
// The pump that came with the waiter: a test that puts its own pump in place waits for nothing.
platform::EventPump g_frameWaiterPump = nullptr;
POINT g_cursor{0, 0};
int g_cursorCount = 0;
bool g_quitPosted = false;
int g_quitCode = 0;
HWND g_focus = nullptr;

struct ClassEntry {
    WNDCLASSA wc;
    std::string name;
};
std::map<std::string, ClassEntry> g_classes;

std::string ClassKey(const char* name) {
    std::string key = name ? name : "";
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

// Takes the first waiting message; WM_QUIT after everything posted, WM_PAINT only when nothing else waits.
bool TakeMessage(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, hwnd, lo, hi)) continue;
        *out = *it;
        if (remove) g_queue.erase(it);
        return true;
    }
    if (g_quitPosted) {
        *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, GetTickCount(), g_cursor};
        if (remove) g_quitPosted = false;
        return true;
    }
    for (HWND w : g_windows) {
        if (!w->invalid || (hwnd && w != hwnd)) continue;
        MSG paint{w, WM_PAINT, 0, 0, GetTickCount(), g_cursor};
        if (!Matches(paint, hwnd, lo, hi)) continue;
        *out = paint;
        if (remove) w->invalid = false;
        return true;
    }
    return false;
}

bool Alive(HWND hwnd) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return hwnd && g_windows.count(hwnd);
}
} // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    const std::string key = ClassKey(windowClass->lpszClassName);
    if (key.empty() || g_classes.count(key)) return 0;
    ClassEntry entry{*windowClass, windowClass->lpszClassName};
    entry.wc.lpszClassName = nullptr;
    g_classes[key] = entry;
    return static_cast<ATOM>(0xC000 + g_classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    return g_classes.erase(ClassKey(className)) ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND, HMENU, HINSTANCE, void*) {
    auto it = g_classes.find(ClassKey(className));
    if (it == g_classes.end() || width <= 0 || height <= 0) return nullptr;
    HWND w = new HWND__;
    w->proc = it->second.wc.lpfnWndProc;
    w->title = title ? title : "";
    w->style = style;
    w->rect = RECT{x, y, x + width, y + height};
    w->clientOrigin = POINT{x, y};
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_windows.insert(w);
    }
    if (!platform::Backend().OpenWindow(w, w->title.c_str(), w->rect)) {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_windows.erase(w);
        delete w;
        return nullptr;
    }
    w->shown = true;
    SendMessageA(w, WM_CREATE, 0, 0);
    if (style & WS_VISIBLE) ShowWindow(w, SW_SHOW);
    return w;
}

HWND CreateHeadlessWindow(WNDPROC proc) {
    HWND w = new HWND__;
    w->proc = proc;
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_windows.insert(w);
    return w;
}

BOOL IsWindow(HWND hwnd) {
    return Alive(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    return Alive(hwnd) && hwnd->visible ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, char* text, int size) {
    if (!text || size <= 0) return 0;
    text[0] = '\0';
    if (!IsWindow(hwnd)) return 0;
    CopyBounded(text, static_cast<std::size_t>(size), hwnd->title.c_str());
    return static_cast<int>(std::strlen(text));
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    if (hwnd->shown) platform::Backend().CloseWindow(hwnd);
    platform::ForgetImeContext(hwnd);
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_windows.erase(hwnd);
    std::erase_if(g_queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    if (g_focus == hwnd) g_focus = nullptr;
    delete hwnd;
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int command) {
    if (!IsWindow(hwnd)) return FALSE;
    const BOOL was = hwnd->visible ? TRUE : FALSE;
    hwnd->visible = command != SW_HIDE;
    if (hwnd->visible)
        hwnd->style |= WS_VISIBLE;
    else
        hwnd->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (hwnd->shown) platform::Backend().ShowWindow(hwnd, hwnd->visible);
    if (hwnd->visible) InvalidateRect(hwnd, nullptr, FALSE);
    return was;
}

HWND SetFocus(HWND hwnd) {
    HWND old = g_focus;
    if (hwnd && !IsWindow(hwnd)) return nullptr;
    g_focus = hwnd;
    return old;
}

HWND GetFocus() {
    return g_focus;
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    if (!IsWindow(hwnd) || index != GWL_STYLE) return 0;
    const LONG old = static_cast<LONG>(hwnd->style);
    hwnd->style = static_cast<DWORD>(value);
    hwnd->visible = (hwnd->style & WS_VISIBLE) != 0;
    return old;
}

LONG GetWindowLongA(HWND hwnd, int index) {
    if (!IsWindow(hwnd) || index != GWL_STYLE) return 0;
    return static_cast<LONG>(hwnd->style);
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) {
    return rect ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int width, int height, UINT flags) {
    if (!IsWindow(hwnd)) return FALSE;
    RECT r = hwnd->rect;
    if (!(flags & SWP_NOMOVE)) OffsetRect(&r, x - r.left, y - r.top);
    if (!(flags & SWP_NOSIZE) && width > 0 && height > 0) {
        r.right = r.left + width;
        r.bottom = r.top + height;
    }
    const bool moved = r.left != hwnd->rect.left || r.top != hwnd->rect.top;
    hwnd->rect = r;
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOW);
    if (moved && !platform::IsFullScreenActive()) {
        if (hwnd->shown)
            platform::Backend().MoveWindow(hwnd, r.left, r.top);
        else
            platform::SetClientOrigin(hwnd, POINT{r.left, r.top});
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM_XY(r.left, r.top));
    }
    return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
    if (!IsWindow(hwnd) || !placement) return FALSE;
    *placement = WINDOWPLACEMENT{};
    placement->length = sizeof *placement;
    placement->showCmd = hwnd->visible ? SW_SHOWNORMAL : SW_HIDE;
    placement->rcNormalPosition = hwnd->rect;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    if (!IsWindow(hwnd) || !rect) return FALSE;
    *rect = RECT{0, 0, hwnd->rect.right - hwnd->rect.left, hwnd->rect.bottom - hwnd->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    if (!IsWindow(hwnd) || !rect) return FALSE;
    *rect = hwnd->rect;
    return TRUE;
}

int GetSystemMetrics(int index) {
    platform::DisplayBackend& backend = platform::Backend();
    if (platform::IsFullScreenActive()) return index == SM_CXSCREEN ? backend.FullScreenWidth() : 480;
    const SIZE desktop = backend.DesktopSize();
    if (index == SM_CXSCREEN) return desktop.cx;
    if (index == SM_CYSCREEN) return desktop.cy;
    return 0;
}

HICON LoadIconA(HINSTANCE, const char* name) {
    return reinterpret_cast<HICON>(const_cast<char*>(name));
}

HCURSOR LoadCursorA(HINSTANCE, const char* name) {
    return reinterpret_cast<HCURSOR>(const_cast<char*>(name));
}

BOOL WINNLSEnableIME(HWND hwnd, BOOL enable) {
    if (!IsWindow(hwnd)) return FALSE;
    const BOOL old = hwnd->imeEnabled;
    hwnd->imeEnabled = enable ? TRUE : FALSE;
    platform::OnImeEnableChanged(hwnd);
    return old;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29))) SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU || wParam == VK_F10) SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_NCHITTEST: {
        if (!IsWindow(hwnd)) return HTNOWHERE;
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &pt);
        RECT client;
        GetClientRect(hwnd, &client);
        return PtInRect(&client, pt) ? HTCLIENT : HTNOWHERE;
    }
    case WM_NCACTIVATE:
        return TRUE;
    default:
        return 0;
    }
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (hwnd && !g_windows.count(hwnd)) return FALSE;
    g_queue.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), g_cursor});
    return TRUE;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        if (!g_windows.count(hwnd)) return 0;
        proc = hwnd->proc;
    }
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_quitPosted = true;
    g_quitCode = exitCode;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi, UINT removeMsg) {
    if (!msg) return FALSE;
    if (g_pump) g_pump(false);
    return TakeMessage(msg, hwnd, lo, hi, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi) {
    if (!msg) return FALSE;
    for (;;) {
        if (TakeMessage(msg, hwnd, lo, hi, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
        // Headless there is nothing to wait for: an empty queue would hang the program, so hand back
        // a null message instead.
        if (!g_pump) {
            *msg = MSG{hwnd, WM_NULL, 0, 0, GetTickCount(), g_cursor};
            return TRUE;
        }
        g_pump(true);
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    const UINT vk = static_cast<UINT>(msg->wParam);
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    char ch = 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = static_cast<char>(shift ? vk : vk - 'A' + 'a');
    else if (vk >= '0' && vk <= '9')
        ch = static_cast<char>(vk);
    else if (vk == VK_SPACE)
        ch = ' ';
    else if (vk == VK_RETURN)
        ch = '\r';
    else if (vk == VK_BACK)
        ch = '\b';
    else if (vk == VK_ESCAPE)
        ch = 0x1B;
    if (!ch) return FALSE;
    PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    if (msg->message == platform::kImeEventMessage) {
        platform::DispatchImeEvent(*msg);
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (hwnd) {
        if (!g_windows.count(hwnd)) return FALSE;
        hwnd->invalid = true;
    } else {
        for (HWND w : g_windows)
            w->invalid = true;
    }
    return TRUE;
}

BOOL GetCursorPos(POINT* pt) {
    if (!pt) return FALSE;
    std::lock_guard<std::mutex> lock(g_queueLock);
    *pt = g_cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    std::vector<std::pair<HWND, POINT>> warps;
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_cursor = POINT{x, y};
        // The window hears of it, in its own client coordinates.
        for (HWND w : g_windows) {
            const POINT client{x - w->clientOrigin.x, y - w->clientOrigin.y};
            g_queue.push_back(
                MSG{w, WM_MOUSEMOVE, 0, MAKELPARAM_XY(client.x, client.y), GetTickCount(), g_cursor});
            if (w->shown) warps.emplace_back(w, client);
        }
    }
    for (auto& [w, client] : warps)
        platform::Backend().WarpCursor(w, client);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    if (!pt || !IsWindow(hwnd)) return FALSE;
    pt->x -= hwnd->clientOrigin.x;
    pt->y -= hwnd->clientOrigin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    if (!pt || !IsWindow(hwnd)) return FALSE;
    pt->x += hwnd->clientOrigin.x;
    pt->y += hwnd->clientOrigin.y;
    return TRUE;
}

int ShowCursor(BOOL show) {
    int count;
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_cursorCount += show ? 1 : -1;
        count = g_cursorCount;
    }
    if (platform::DisplayBackend* backend = platform::ChosenBackend())
        backend->SetSystemCursorVisible(count >= 0);
    return count;
}

namespace platform {
void SetEventPump(EventPump pump) {
    g_pump = pump;
}
EventPump GetEventPump() {
    return g_pump;
}
void SetFrameWaiter(FrameWaiter waiter) {
    g_frameWaiter = waiter;
    g_frameWaiterPump = g_pump;
}
bool WaitForNextFrame() {
    if (!g_frameWaiter || g_pump != g_frameWaiterPump) return false;
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        if (!g_queue.empty() || g_quitPosted) return true;
        for (HWND w : g_windows)
            if (w->invalid) return true;
    }
    g_frameWaiter();
    return true;
}
void SetClientOrigin(HWND hwnd, POINT origin) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (g_windows.count(hwnd)) hwnd->clientOrigin = origin;
}
void MoveWindowRect(HWND hwnd, POINT topLeft) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (!g_windows.count(hwnd)) return;
    OffsetRect(&hwnd->rect, topLeft.x - hwnd->rect.left, topLeft.y - hwnd->rect.top);
    hwnd->clientOrigin = topLeft;
}
BOOL IsImeEnabled(HWND hwnd) {
    return IsWindow(hwnd) ? hwnd->imeEnabled : FALSE;
}
void SetCursorScreenPos(POINT screen) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_cursor = screen;
}

namespace testing {
void SetCursorPosition(int x, int y) {
    SetCursorScreenPos(POINT{x, y});
}
std::vector<MSG> PendingMessages() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return std::vector<MSG>(g_queue.begin(), g_queue.end());
}
void ClearMessages() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_queue.clear();
    g_quitPosted = false;
    for (HWND w : g_windows)
        w->invalid = false;
}
int CursorShowCount() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return g_cursorCount;
}
void ResetWindowClasses() {
    g_classes.clear();
}
void SetCursorShowCount(int count) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_cursorCount = count;
}
} // namespace testing
} // namespace platform
