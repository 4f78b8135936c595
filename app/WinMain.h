// The program's entry: single instance, settings, then the game until the window closes.
#pragma once

#include "platform/base.h"

int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, char* lpCmdLine, int nCmdShow);
