// SIGTERM and SIGINT (kill, a logout, Ctrl+C in a terminal) end the game as a confirmed quit does:
// the window closes for real and the shut-down writes the system data. The close button still asks.
#pragma once

// Puts the program's handlers in place of the defaults; the handler only sets a flag.
void InstallQuitSignals();
// True once for each time a signal arrived since the last call; the message loop reads it every pass.
bool TakeQuitSignal();
