#include "platform/threads.h"

void InitializeCriticalSection(CRITICAL_SECTION* cs) {
    if (cs && !cs->mutex) cs->mutex = new std::recursive_mutex;
}

void DeleteCriticalSection(CRITICAL_SECTION* cs) {
    if (!cs) return;
    delete cs->mutex;
    cs->mutex = nullptr;
}

void EnterCriticalSection(CRITICAL_SECTION* cs) {
    if (cs && cs->mutex) cs->mutex->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* cs) {
    if (cs && cs->mutex) cs->mutex->unlock();
}
