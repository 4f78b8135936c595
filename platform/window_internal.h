// Pieces of the window family shared between its files.
#pragma once

#include "platform/window.h"

namespace platform {
// Moves the cursor without telling any window (the backend reports a real move itself).
void SetCursorScreenPos(POINT screen);
// The window was moved on the desktop: its RECT and client origin follow.
void MoveWindowRect(HWND hwnd, POINT topLeft);
// The backend that shows windows, once one was chosen; null before.
class DisplayBackend;
DisplayBackend* ChosenBackend();
} // namespace platform
