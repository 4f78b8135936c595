// Debugger output and the message box.
#pragma once

#include "platform/base.h"

#include <functional>

// Thread-safe. Goes to stderr when QUORIN_DEBUG=1; tests can capture it (platform/testing.h).
void OutputDebugStringA(const char* text);

enum : UINT { MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNO = 0x4, MB_ICONERROR = 0x10, MB_ICONWARNING = 0x30 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Texts are Shift-JIS. Shown by the window backend when there is one; always recorded for tests.
int MessageBoxA(HANDLE owner, const char* text, const char* caption, UINT type);

namespace platform {
// The window backend installs how a message box is shown; without one the text goes to stderr.
void SetMessageBoxPresenter(std::function<int(const char* text, const char* caption, UINT type)> presenter);
} // namespace platform
