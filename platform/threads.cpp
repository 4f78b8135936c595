#include "platform/threads.h"

#include "platform/handle.h"
#include "platform/testing.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
std::atomic<DWORD> g_nextThreadId{1};
std::atomic<bool> g_timeOutNextWait{false};
thread_local DWORD g_threadId = 0;

// Shared by the handle and the running thread, so either may go first.
struct ThreadState {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    DWORD exitCode = 0;
    int priority = THREAD_PRIORITY_NORMAL;
};

struct ThreadHandle : platform::KernelObject {
    ~ThreadHandle() override {
        if (!thread.joinable()) return;
        bool ended;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            ended = state->done;
        }
        if (ended && thread.get_id() != std::this_thread::get_id())
            thread.join();
        else
            thread.detach();
    }

    std::thread thread;
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
    DWORD id = 0;
};

ThreadHandle* AsThread(HANDLE handle) {
    return handle ? dynamic_cast<ThreadHandle*>(static_cast<platform::KernelObject*>(handle)) : nullptr;
}
} // namespace

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

HANDLE _beginthreadex(void*, unsigned, THREAD_START_ROUTINE start, void* argument, unsigned,
                      unsigned* threadId) {
    if (!start) return nullptr;
    auto* handle = new ThreadHandle;
    handle->id = g_nextThreadId++;
    try {
        handle->thread = std::thread([state = handle->state, id = handle->id, start, argument] {
            g_threadId = id;
            const unsigned code = start(argument);
            std::lock_guard<std::mutex> lock(state->mutex);
            state->exitCode = code;
            state->done = true;
            state->ended.notify_all();
        });
    } catch (const std::system_error&) {
        delete handle;
        return nullptr;
    }
    if (threadId) *threadId = handle->id;
    return static_cast<platform::KernelObject*>(handle);
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    ThreadHandle* t = AsThread(thread);
    if (!t) return FALSE;
    std::lock_guard<std::mutex> lock(t->state->mutex);
    t->state->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    ThreadHandle* t = AsThread(thread);
    if (!t) return 0x7FFFFFFF;
    std::lock_guard<std::mutex> lock(t->state->mutex);
    return t->state->priority;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    ThreadHandle* t = AsThread(handle);
    if (!t || t->id == g_threadId) return WAIT_FAILED;
    ThreadState& s = *t->state;
    std::unique_lock<std::mutex> lock(s.mutex);
    if (ms == INFINITE) {
        s.ended.wait(lock, [&s] { return s.done; });
    } else if (g_timeOutNextWait.exchange(false)) {
        return WAIT_TIMEOUT;
    } else if (!s.ended.wait_for(lock, std::chrono::milliseconds(ms), [&s] { return s.done; })) {
        return WAIT_TIMEOUT;
    }
    return WAIT_OBJECT_0;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    ThreadHandle* t = AsThread(thread);
    if (!t || !exitCode) return FALSE;
    std::lock_guard<std::mutex> lock(t->state->mutex);
    if (!t->state->done) return FALSE;
    *exitCode = t->state->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    // The main thread and other threads not started here get an id on first use.
    if (g_threadId == 0) g_threadId = g_nextThreadId++;
    return g_threadId;
}

void platform::testing::TimeOutNextThreadWait() {
    g_timeOutNextWait = true;
}
