// One unsigned 32-bit millisecond clock behind both GetTickCount and timeGetTime, and local time.
#pragma once

#include <ctime>
#include <functional>

#include "platform/base.h"

DWORD GetTickCount();
DWORD timeGetTime();
// On the manual clock a Sleep advances the clock by the same amount instead of waiting.
void Sleep(DWORD ms);

namespace crt {
// The calendar time; a test may pin it (platform/testing.h).
std::time_t time(std::time_t* out);
// Local broken-down time of t, or of the pinned local time when a test set one. Never null.
const std::tm* localtime(const std::time_t* t);
} // namespace crt

namespace platform {
// Called with the elapsed milliseconds whenever the manual clock moves; the headless mixer uses it
// so that sound and time agree exactly. Returns an id for RemoveClockListener.
int AddClockListener(std::function<void(DWORD elapsedMs)> listener);
void RemoveClockListener(int id);
bool IsManualClock();
} // namespace platform
