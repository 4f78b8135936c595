// The program's entry: single instance, settings, then the game until the window closes.
#pragma once

#include "platform/base.h"

// The module instance handle, stored first thing by WinMain.
extern HINSTANCE g_hInstance;

int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, char* lpCmdLine, int nCmdShow);

// Lets go of the single-instance lock this process holds; a process that starts the game more than
// once (the tests) calls it between starts. The program itself keeps the lock until it ends.
void CloseInstanceMutex();
