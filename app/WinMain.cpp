#include "app/WinMain.h"

#include "files/Config.h"
#include "platform/process.h"

HINSTANCE g_hInstance = nullptr;
// Never closed: the system releases it when the process ends.
static HANDLE g_hInstanceMutex = nullptr;

int WinMain(HINSTANCE hInstance, HINSTANCE, char*, int) {
    g_hInstance = hInstance;

    // A second copy leaves at once and silently; the lock lives until the process ends.
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin");
    if (existing) {
        CloseHandle(existing);
        return 0;
    }
    g_hInstanceMutex = CreateMutexA(nullptr, TRUE, "Quorin");
    if (!g_hInstanceMutex) return 0;

    CoInitialize(nullptr);
    CreateConfig();

    // The window, the display and the game come with their own subsystems; until then the program
    // stops here with its settings in place.
    DestroyConfig();
    CoUninitialize();
    return 0;
}
