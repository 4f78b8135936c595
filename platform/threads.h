// Critical sections (recursive locks, as the sound controllers expect of them) and worker threads.
#pragma once

#include "platform/base.h"

#include <mutex>

struct CRITICAL_SECTION {
    std::recursive_mutex* mutex = nullptr;
};

void InitializeCriticalSection(CRITICAL_SECTION* cs);
void DeleteCriticalSection(CRITICAL_SECTION* cs);
void EnterCriticalSection(CRITICAL_SECTION* cs);
void LeaveCriticalSection(CRITICAL_SECTION* cs);

// Worker threads. A thread handle is closed with CloseHandle (platform/process.h); closing the handle
// of a thread that still runs leaves the thread running, as the system does.
using THREAD_START_ROUTINE = unsigned (*)(void* argument);
// Starts `start`(argument) at once; the thread's id goes to *threadId when given. Security, stack
// size and flags are not used here. Null when the thread cannot be started.
HANDLE _beginthreadex(void* security, unsigned stackSize, THREAD_START_ROUTINE start, void* argument,
                      unsigned initFlag, unsigned* threadId);

enum : int {
    THREAD_PRIORITY_LOWEST = -2,
    THREAD_PRIORITY_BELOW_NORMAL = -1,
    THREAD_PRIORITY_NORMAL = 0,
    THREAD_PRIORITY_ABOVE_NORMAL = 1,
    THREAD_PRIORITY_HIGHEST = 2,
    THREAD_PRIORITY_TIME_CRITICAL = 15,
};
// A hint only: the priority is kept and read back, the scheduler is not asked.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

enum : DWORD { WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 0x102, WAIT_FAILED = 0xFFFFFFFF };
#ifndef INFINITE
#define INFINITE 0xFFFFFFFFu
#endif
// For a thread handle: WAIT_OBJECT_0 once the thread has ended, WAIT_TIMEOUT after `ms` real
// milliseconds, WAIT_FAILED for anything else and for a thread that waits for itself.
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
// The exit code once the thread has ended; FALSE while it runs.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();
