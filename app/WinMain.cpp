#include "app/WinMain.h"

#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/GameCtrl.h"
#include "app/QuitSignal.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "platform/debug.h"
#include "platform/movie.h"
#include "platform/process.h"
#include "platform/time.h"
#include "platform/window.h"
#include "sound/SoundManager.h"

HINSTANCE g_hInstance = nullptr;
// Never closed: the system releases it when the process ends.
static HANDLE g_hInstanceMutex = nullptr;

namespace {
// "ディスプレイの設定を16 ﾋﾞｯﾄ以上にしてください。"
const char kLowDepthMessage[] =
    "\x83\x66\x83\x42\x83\x58\x83\x76\x83\x8C\x83\x43\x82\xCC\x90\xDD\x92\xE8\x82\xF0"
    "\x31\x36\x20\xCB\xDE\xAF\xC4\x88\xC8\x8F\xE3\x82\xC9\x82\xB5\x82\xC4\x82\xAD\x82"
    "\xBE\x82\xB3\x82\xA2\x81\x42";
// "エラーメッセージ"
const char kErrorCaption[] = "\x83\x47\x83\x89\x81\x5B\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57";
} // namespace

int WinMain(HINSTANCE hInstance, HINSTANCE, char*, int nCmdShow) {
    g_hInstance = hInstance;

    // A second copy leaves at once and silently; the lock lives until the process ends.
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin");
    if (existing) {
        CloseHandle(existing);
        return 0;
    }
    g_hInstanceMutex = CreateMutexA(nullptr, TRUE, "Quorin");
    if (!g_hInstanceMutex) return 0;
    // Before the window's toolkit starts, which then leaves these two signals to us.
    InstallQuitSignals();

    CoInitialize(nullptr);
    CreateConfig();
    g_pGameCtrl = new CGameCtrl;

    if (!g_DDrawCtrl.CreateMainWindow(hInstance, nCmdShow)) return 0;

    if (g_pConfig->GetWindowMode() != 0) {
        if (!g_DDrawCtrl.InitDirectDraw(0) || GetSystemMetrics(SM_CXSCREEN) != 640) {
            g_pGameCtrl->ReleaseSurfaces();
            if (!g_DDrawCtrl.ToggleScreenMode()) return 0;
            // The ini file itself is written only by the config panel.
            g_pConfig->SetWindowMode(g_DDrawCtrl.IsWindowed() ? 0 : 1);
        }
    } else if (!g_DDrawCtrl.InitDirectDraw(1)) {
        if (g_bWindowedLowDepth) MessageBoxA(nullptr, kLowDepthMessage, kErrorCaption, MB_OK);
        g_DDrawCtrl.DestroyMainWindow();
        return 0;
    }

    g_pGameCtrl->RecreateSurfaces(g_DDrawCtrl.GetDirectDrawObject());
    g_pGameCtrl->Initialize();
    return g_DDrawCtrl.MessageLoop();
}

void CloseInstanceMutex() {
    if (g_hInstanceMutex) CloseHandle(g_hInstanceMutex);
    g_hInstanceMutex = nullptr;
}

int CDDrawCtrl::MessageLoop() {
    // The game draws its own cursor; the system's stays hidden over the client area.
    g_CursorShowCount = ShowCursor(FALSE);
    MSG msg{};
    for (;;) {
        // A SIGTERM or SIGINT closes the window as the quit dialog's yes does.
        if (TakeQuitSignal() && IsWindow(g_hWnd)) PostAppMessage(WM_CLOSE, 0, 1);
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (IsMoviePlaying()) {
            const RECT screen{0, 0, 640, 480};
            InvalidateRect(g_hWnd, &screen, FALSE);
            // The movie's video window shows its frames as they fall due while the loop waits.
            platform::SleepShowingVideo(100);
        } else if (!platform::WaitForNextFrame()) {
            // On a real display the pass waits instead for input or the display's next frame: a
            // picture at rest costs a look a frame, not a pass a millisecond.
            Sleep(1);
        }
        if (!IsErrorStop() && g_pGameCtrl) g_pGameCtrl->Run();
        PresentFrame();
    }

    g_CursorShowCount = ShowCursor(TRUE);
    if (g_pGameCtrl) {
        g_pGameCtrl->Finalize();
        delete g_pGameCtrl;
        g_pGameCtrl = nullptr;
    }
    DestroyConfig();
    DestroySoundManager();
    CoUninitialize();
    return static_cast<int>(msg.wParam);
}
