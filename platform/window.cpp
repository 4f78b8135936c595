#include "platform/window.h"

#include "platform/testing.h"
#include "platform/time.h"

#include <deque>
#include <mutex>
#include <set>

struct HWND__ {
    WNDPROC proc = nullptr;
    POINT clientOrigin{0, 0};
    bool invalid = false;
};

namespace {
std::mutex g_queueLock;
std::deque<MSG> g_queue;
std::set<HWND> g_windows;
platform::EventPump g_pump = nullptr;
POINT g_cursor{0, 0};
int g_cursorCount = 0;
bool g_quitPosted = false;
int g_quitCode = 0;

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
} // namespace

HWND CreateHeadlessWindow(WNDPROC proc) {
    HWND w = new HWND__;
    w->proc = proc;
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_windows.insert(w);
    return w;
}

BOOL IsWindow(HWND hwnd) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return g_windows.count(hwnd) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_windows.erase(hwnd);
    std::erase_if(g_queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    delete hwnd;
    return TRUE;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
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
        // Headless there is nothing to wait for: an empty queue reads as a quit request would
        // hang the program, so hand back a null message instead.
        if (!g_pump) {
            *msg = MSG{hwnd, WM_NULL, 0, 0, GetTickCount(), g_cursor};
            return TRUE;
        }
        g_pump(true);
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    // Printable keys and the few control keys that carry a character.
    const UINT vk = static_cast<UINT>(msg->wParam);
    char ch = 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = static_cast<char>(vk - 'A' + 'a');
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
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_cursor = POINT{x, y};
    // The window under the cursor hears of it, in its own client coordinates.
    for (HWND w : g_windows) {
        const int cx = x - w->clientOrigin.x, cy = y - w->clientOrigin.y;
        g_queue.push_back(MSG{w, WM_MOUSEMOVE, 0, MAKELPARAM_XY(cx, cy), GetTickCount(), g_cursor});
    }
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
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_cursorCount += show ? 1 : -1;
    return g_cursorCount;
}

namespace platform {
void SetEventPump(EventPump pump) {
    g_pump = pump;
}
void SetClientOrigin(HWND hwnd, POINT origin) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    if (g_windows.count(hwnd)) hwnd->clientOrigin = origin;
}

namespace testing {
void SetCursorPosition(int x, int y) {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_cursor = POINT{x, y};
}
std::vector<MSG> PendingMessages() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return std::vector<MSG>(g_queue.begin(), g_queue.end());
}
void ClearMessages() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_queue.clear();
    g_quitPosted = false;
}
int CursorShowCount() {
    std::lock_guard<std::mutex> lock(g_queueLock);
    return g_cursorCount;
}
} // namespace testing
} // namespace platform
