// The window procedure: window messages and the program's own UM_ messages turned into calls on the
// display object and the game object.
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/ErrorReport.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/UpdateRegion.h"
#include "platform/debug.h"

#include <utility>

namespace {
// "画面モードの切り替えに失敗しました"
const char kSwitchFailed[] =
    "\x89\xE6\x96\xCA\x83\x82\x81\x5B\x83\x68\x82\xCC\x90\xD8\x82\xE8\x91\xD6\x82\xA6\x82"
    "\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";
// The previous key state bit of a key message's lParam: set on a repeat.
constexpr LPARAM kKeyWasDown = 1 << 30;
// "エラーメッセージ"
const char kErrorCaption[] = "\x83\x47\x83\x89\x81\x5B\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57";

void ReleaseGameSurfaces() {
    if (g_pGameCtrl) g_pGameCtrl->ReleaseSurfaces();
}

// Neither mode can be set up: the program says so and closes rather than running on with no display.
void FailScreenSwitch() {
    ReportError(kSwitchFailed);
    MessageBoxA(nullptr, kSwitchFailed, kErrorCaption, MB_OK | MB_ICONERROR);
    DestroyWindow(g_hWnd);
}

void Repaint() {
    if (IsMoviePlaying()) return;
    AddUpdateRect(GetScreenRect());
    g_DDrawCtrl.PresentFrame();
}

// Alt went down with another key (Alt+Enter, Alt+Tab) since it was pressed: its release is no
// press of Alt alone, which shows or hides the bar.
bool g_bAltCombined = false;

void MousePosition(LPARAM lParam) {
    g_DDrawCtrl.GetMousePos(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &g_MouseX, &g_MouseY);
}
} // namespace

bool SwitchScreenMode(bool storeMode) {
    ReleaseGameSurfaces();
    if (!g_DDrawCtrl.ToggleScreenMode()) {
        ReleaseGameSurfaces();
        if (!g_DDrawCtrl.ToggleScreenMode()) {
            FailScreenSwitch();
            return false;
        }
    } else if (!g_DDrawCtrl.IsWindowed() && GetSystemMetrics(SM_CXSCREEN) != 640) {
        // A full screen that is not 640 pixels wide is no use: back to windowed.
        ReleaseGameSurfaces();
        if (!g_DDrawCtrl.ToggleScreenMode()) {
            FailScreenSwitch();
            return false;
        }
    }
    // The config panel's switch stores the mode the display really ended in; Alt+Enter leaves the
    // setting alone.
    if (storeMode && g_pConfig) g_pConfig->SetWindowMode(g_DDrawCtrl.IsWindowed() ? 0 : 1);
    if (g_pGameCtrl) g_pGameCtrl->RecreateSurfaces(g_DDrawCtrl.GetDirectDrawObject());
    g_bSkipNextWheel = TRUE;
    return true;
}

LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CGameCtrl* game = g_pGameCtrl;
    switch (msg) {
    case WM_CREATE:
        break;
    case WM_DESTROY:
        ReleaseGameSurfaces();
        g_DDrawCtrl.ReleaseDirectDraw();
        PostQuitMessage(0);
        break;
    case WM_MOVE:
        g_DDrawCtrl.OnMove();
        break;
    case WM_PAINT:
    case UM_REPAINT:
        Repaint();
        break;
    case WM_CLOSE:
        if (lParam != 0) return DefWindowProcA(hwnd, msg, wParam, 0);
        if (!IsMoviePlaying() && game) game->OpenQuitDialog();
        return 0;
    case WM_ACTIVATEAPP:
        AddUpdateRect(GetScreenRect());
        break;
    case WM_NCHITTEST: {
        if (!g_DDrawCtrl.IsWindowed()) return HTCLIENT;
        const LRESULT hit = DefWindowProcA(hwnd, msg, wParam, lParam);
        if (hit == HTCLIENT) {
            while (g_CursorShowCount >= 0)
                g_CursorShowCount = ShowCursor(FALSE);
        } else {
            while (g_CursorShowCount < 0)
                g_CursorShowCount = ShowCursor(TRUE);
        }
        return hit;
    }
    case WM_NCACTIVATE:
        if (!g_DDrawCtrl.IsWindowed() && IsMoviePlaying()) return 0;
        break;
    case WM_KEYDOWN:
        if (!game) break;
        if (wParam == VK_SPACE)
            game->OnKeyDown(VK_RETURN);
        else if (wParam == VK_F1)
            game->OnHelpKey();
        else
            game->OnKeyDown(static_cast<UINT>(wParam));
        break;
    case WM_KEYUP:
        if (!game) break;
        game->OnKeyUp(wParam == VK_SPACE ? VK_RETURN : static_cast<UINT>(wParam));
        break;
    case WM_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_NOTIFY:
    case WM_IME_CHAR:
        return game ? game->OnImeMessage(msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_SYSKEYDOWN:
        if (wParam != VK_MENU)
            g_bAltCombined = true;
        else if (!(lParam & kKeyWasDown))
            g_bAltCombined = false;
        break;
    case WM_SYSKEYUP:
        if (wParam == VK_TAB) {
            g_bSkipNextWheel = TRUE;
        } else if (wParam == VK_RETURN) {
            if (!SwitchScreenMode(false)) return 0;
        } else if (wParam == VK_MENU && game && !std::exchange(g_bAltCombined, false)) {
            game->OnKeyUp(VK_MENU);
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    case WM_MOUSEMOVE:
    case UM_MOUSEMOVE:
        MousePosition(lParam);
        if (game) game->OnMouseMove(g_MouseX, g_MouseY);
        break;
    case WM_LBUTTONDOWN:
        MousePosition(lParam);
        if (IsErrorStop()) {
            DestroyWindow(hwnd);
            return 0;
        }
        if (game) game->OnLButtonDown(g_MouseX, g_MouseY);
        break;
    case WM_LBUTTONUP:
    case UM_LBUTTONUP:
        MousePosition(lParam);
        if (game) game->OnLButtonUp(g_MouseX, g_MouseY);
        break;
    case WM_RBUTTONDOWN:
        if (game) game->OnRButtonDown();
        break;
    case WM_MOUSEWHEEL:
        if (g_bSkipNextWheel) {
            g_bSkipNextWheel = FALSE;
        } else if (game) {
            if (GET_WHEEL_DELTA_WPARAM(wParam) < 0)
                game->OnWheelDown();
            else
                game->OnWheelUp();
        }
        break;
    case UM_TOGGLESCREEN:
        if (!SwitchScreenMode(true)) return 0;
        break;
    case UM_SHOWCURSOR:
        if (game) game->ShowCursorSprite();
        break;
    case UM_HIDECURSOR:
        if (game) game->HideCursorSprite();
        break;
    case UM_QUIT:
        if (game) game->OpenQuitDialog();
        break;
    case UM_SAVEMENU:
        if (game) game->OpenSaveMenu();
        break;
    case UM_LOADMENU:
        if (game) game->OpenLoadMenu();
        break;
    case UM_CONFIG:
        if (game) game->OpenConfigPanel();
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
