// The layer's test interface. The program never includes this file; tests drive time, files, input
// and the debug channels through it.
#pragma once

#include "platform/base.h"
#include "platform/window.h"

#include <string>
#include <vector>

namespace platform::testing {
// Time: a manual clock, moved only by the test and by Sleep.
void UseManualClock(DWORD start);
void UseRealClock();
void SetClock(DWORD now);
void AdvanceClock(DWORD ms);
void PinLocalTime(int year, int month, int day, int hour, int minute, int second);
void UnpinLocalTime();

// Files: opens whose host path contains pathPart fail; writes to such files stop after `bytes`.
void FailOpensOf(const char* pathPart);
void LimitWritesOf(const char* pathPart, long bytes);
void ClearFileFaults();

// Threads: the next wait with a time-out on a thread reports WAIT_TIMEOUT at once, as for a thread
// that is late to end.
void TimeOutNextThreadWait();

// Debug output and message boxes.
void CaptureDebugOutput(bool on);
std::string TakeDebugOutput();
struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<MessageBoxRecord> TakeMessageBoxes();

// Input and the queue.
void SetCursorPosition(int x, int y);
std::vector<MSG> PendingMessages();
void ClearMessages();
int CursorShowCount();
} // namespace platform::testing
#include "platform/testing_display.h"
#include "platform/testing_font.h"
#include "platform/testing_ime.h"
#include "platform/testing_cpu.h"
#include "platform/testing_sound.h"
#include "platform/testing_movie.h"
