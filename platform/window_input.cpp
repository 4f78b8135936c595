// Input turned into window messages the way the system does it: hit test first, then the message,
// with Alt making keys system keys. The SDL backend and the test interface both come through here.
#include "platform/window.h"
#include "platform/window_internal.h"

#include <array>
#include <mutex>

namespace {
std::mutex g_inputLock;
std::array<bool, 256> g_keys{};

bool KeyHeld(UINT vk) {
    std::lock_guard<std::mutex> lock(g_inputLock);
    return vk < g_keys.size() && g_keys[vk];
}

WPARAM MouseKeys() {
    WPARAM keys = 0;
    if (KeyHeld(VK_LBUTTON)) keys |= MK_LBUTTON;
    if (KeyHeld(VK_RBUTTON)) keys |= MK_RBUTTON;
    if (KeyHeld(VK_SHIFT)) keys |= MK_SHIFT;
    if (KeyHeld(VK_CONTROL)) keys |= MK_CONTROL;
    return keys;
}

POINT ToScreen(HWND hwnd, POINT client) {
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    return screen;
}

void HitTest(HWND hwnd, POINT screen) {
    SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM_XY(screen.x, screen.y));
}
} // namespace

SHORT GetKeyState(int vk) {
    return KeyHeld(static_cast<UINT>(vk)) ? static_cast<SHORT>(0x8000) : 0;
}

namespace platform {

void DeliverMouseMove(HWND hwnd, POINT client) {
    if (!IsWindow(hwnd)) return;
    const POINT screen = ToScreen(hwnd, client);
    SetCursorScreenPos(screen);
    HitTest(hwnd, screen);
    PostMessageA(hwnd, WM_MOUSEMOVE, MouseKeys(), MAKELPARAM_XY(client.x, client.y));
}

void DeliverMouseButton(HWND hwnd, UINT msg, POINT client) {
    if (!IsWindow(hwnd)) return;
    const POINT screen = ToScreen(hwnd, client);
    SetCursorScreenPos(screen);
    HitTest(hwnd, screen);
    {
        std::lock_guard<std::mutex> lock(g_inputLock);
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) g_keys[VK_LBUTTON] = msg == WM_LBUTTONDOWN;
        if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) g_keys[VK_RBUTTON] = msg == WM_RBUTTONDOWN;
    }
    PostMessageA(hwnd, msg, MouseKeys(), MAKELPARAM_XY(client.x, client.y));
}

void DeliverWheel(HWND hwnd, int delta) {
    if (!IsWindow(hwnd)) return;
    POINT screen{0, 0};
    GetCursorPos(&screen);
    const WPARAM wParam = (static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16) | MouseKeys();
    PostMessageA(hwnd, WM_MOUSEWHEEL, wParam, MAKELPARAM_XY(screen.x, screen.y));
}

void DeliverKey(HWND hwnd, UINT vk, bool down, bool repeat) {
    if (!IsWindow(hwnd) || vk == 0 || vk > 0xFF) return;
    bool wasDown;
    bool alt;
    {
        std::lock_guard<std::mutex> lock(g_inputLock);
        wasDown = g_keys[vk];
        g_keys[vk] = down;
        if (vk == VK_MENU)
            alt = down || wasDown;
        else
            alt = g_keys[VK_MENU];
    }
    // Alt itself, keys pressed with Alt held, and F10 are system keys.
    const bool system = alt || vk == VK_F10;
    UINT msg;
    if (down)
        msg = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        msg = system ? WM_SYSKEYUP : WM_KEYUP;
    LPARAM lParam = 1;
    if (alt && vk != VK_F10) lParam |= 1 << 29;
    if (!down || wasDown || repeat) lParam |= 1 << 30;
    if (!down) lParam |= static_cast<LPARAM>(static_cast<std::uint32_t>(1u << 31));
    PostMessageA(hwnd, msg, vk, lParam);
}

void DeliverClose(HWND hwnd) {
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void DeliverActivate(HWND hwnd, bool active) {
    if (!IsWindow(hwnd)) return;
    SendMessageA(hwnd, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    SendMessageA(hwnd, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
    if (!active) ResetInputState();
}

void DeliverLeave(HWND hwnd) {
    if (!IsWindow(hwnd)) return;
    RECT r;
    GetWindowRect(hwnd, &r);
    HitTest(hwnd, POINT{r.left - 1, r.top - 1});
}

void DeliverMoved(HWND hwnd, POINT clientOrigin) {
    if (!IsWindow(hwnd)) return;
    MoveWindowRect(hwnd, clientOrigin);
    PostMessageA(hwnd, WM_MOVE, 0, MAKELPARAM_XY(clientOrigin.x, clientOrigin.y));
}

void DeliverExposed(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

void ResetInputState() {
    std::lock_guard<std::mutex> lock(g_inputLock);
    g_keys.fill(false);
}

} // namespace platform
