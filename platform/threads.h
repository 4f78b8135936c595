// Critical sections: recursive locks, as the sound controllers expect of them.
#pragma once

#include <mutex>

struct CRITICAL_SECTION {
    std::recursive_mutex* mutex = nullptr;
};

void InitializeCriticalSection(CRITICAL_SECTION* cs);
void DeleteCriticalSection(CRITICAL_SECTION* cs);
void EnterCriticalSection(CRITICAL_SECTION* cs);
void LeaveCriticalSection(CRITICAL_SECTION* cs);
