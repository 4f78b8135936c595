#include "sound/ThreadCtrl.h"

#include "app/ErrorReport.h"
#include "platform/handle.h"
#include "platform/process.h"
#include "platform/time.h"
#include "sound/SoundMessages.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {
// A thread that exists only on the clock: its passes run when the clock has moved an interval on.
struct ClockedThread : platform::KernelObject {
    CThreadCtrl* owner = nullptr;
    DWORD id = 0;
    bool started = false;
    bool ended = false;
    DWORD lastPass = 0;
    DWORD wait = 0;
};

std::atomic<CThreadCtrl::Mode> g_mode{CThreadCtrl::Mode::Automatic};
std::atomic<bool> g_failNextCreate{false};
std::atomic<DWORD> g_nextClockedId{0x10000};

// Held while a clocked pass runs; a pass never waits for it again from inside.
std::recursive_mutex g_clockedLock;
std::vector<ClockedThread*> g_clocked;
bool g_clockListener = false;
// The clocked thread whose pass runs on this thread now: it cannot wait for itself.
thread_local ClockedThread* g_inPass = nullptr;

void TraceThreadEnd(DWORD id) {
    Trace("CThreadCtrl::_Threading -> %s [Thread ID = %08lx]", kMsgThreadEnd, static_cast<unsigned long>(id));
}

bool Clocked() {
    const CThreadCtrl::Mode mode = g_mode;
    return mode == CThreadCtrl::Mode::Clocked ||
           (mode == CThreadCtrl::Mode::Automatic && platform::IsManualClock());
}
} // namespace

CThreadCtrl::CThreadCtrl()
    : m_CriticalSection{}, m_hThread(nullptr), m_ThreadId(0), m_bRunning(0), m_bPaused(0), m_Interval(100) {
    InitializeCriticalSection(&m_CriticalSection);
}

CThreadCtrl::~CThreadCtrl() {
    // Owners end their thread before their own part is gone; this only keeps a forgotten one from
    // outliving the object.
    if (m_hThread) ThreadRelease();
    _ResetThread();
    DeleteCriticalSection(&m_CriticalSection);
}

int CThreadCtrl::OnThread() {
    return 0;
}

void CThreadCtrl::Lock() {
    EnterCriticalSection(&m_CriticalSection);
}

void CThreadCtrl::Unlock() {
    LeaveCriticalSection(&m_CriticalSection);
}

void CThreadCtrl::_ResetThread() {
    m_hThread = nullptr;
    m_ThreadId = 0;
    m_bRunning = 0;
    m_bPaused = 0;
    m_Interval = 100;
}

int CThreadCtrl::ThreadCreate() {
    // Only here is the thread told to run: a Stop that comes before the thread's first pass stays
    // in force.
    Lock();
    m_bRunning = 1;
    Unlock();
    if (g_failNextCreate.exchange(false)) {
        Trace("CThreadCtrl::ThreadCreate -> %s", kMsgThreadCreate);
        Lock();
        m_bRunning = 0;
        Unlock();
        return 0;
    }
    if (Clocked()) {
        auto* t = new ClockedThread;
        t->owner = this;
        t->id = g_nextClockedId++;
        {
            std::lock_guard<std::recursive_mutex> lock(g_clockedLock);
            g_clocked.push_back(t);
            if (!g_clockListener) {
                platform::AddClockListener([](DWORD) { StepClockedThreads(); });
                g_clockListener = true;
            }
        }
        m_hThread = static_cast<platform::KernelObject*>(t);
        m_ThreadId = t->id;
        return 1;
    }
    unsigned id = 0;
    // The handle is stored before the thread's first pass can take the lock, so a step that asks
    // for its own thread finds it.
    Lock();
    HANDLE h = _beginthreadex(nullptr, 0, _Threading, this, 0, &id);
    if (!h) {
        Trace("CThreadCtrl::ThreadCreate -> %s", kMsgThreadCreate);
        m_bRunning = 0;
        Unlock();
        return 0;
    }
    m_hThread = h;
    m_ThreadId = id;
    Unlock();
    SetThreadPriority(h, THREAD_PRIORITY_HIGHEST);
    return 1;
}

int CThreadCtrl::ThreadRelease() {
    Lock();
    const bool haveThread = m_hThread != nullptr;
    Unlock();
    if (!haveThread) return 0;
    Stop();
    auto* clocked = dynamic_cast<ClockedThread*>(static_cast<platform::KernelObject*>(m_hThread));
    if (clocked == g_inPass && clocked) {
        Trace("CThreadCtrl::StreamThreadEnd -> %s", kMsgThreadStopFail);
        return 0;
    }
    if (clocked) {
        std::lock_guard<std::recursive_mutex> lock(g_clockedLock);
        // A thread of the system would see the flag at its next pass and leave.
        if (!clocked->ended) {
            clocked->ended = true;
            TraceThreadEnd(clocked->id);
        }
        std::erase(g_clocked, clocked);
        Trace("CThreadCtrl::ThreadRelease -> %s", kMsgThreadReleased);
    } else {
        DWORD result = WaitForSingleObject(m_hThread, GetInterval() * 5);
        // A thread that is late is waited for, never killed: it may hold the lock or be halfway through
        // a buffer. Once it has left its loop it stopped as any other does.
        if (result == WAIT_TIMEOUT) result = WaitForSingleObject(m_hThread, INFINITE);
        if (result == WAIT_OBJECT_0) Trace("CThreadCtrl::ThreadRelease -> %s", kMsgThreadReleased);
        if (result != WAIT_OBJECT_0) {
            Trace("CThreadCtrl::StreamThreadEnd -> %s", kMsgThreadStopFail);
            return 0;
        }
    }
    CloseHandle(m_hThread);
    Lock();
    _ResetThread();
    Unlock();
    return 1;
}

void CThreadCtrl::Stop() {
    Lock();
    m_bRunning = 0;
    Unlock();
}

void CThreadCtrl::Pause() {
    Lock();
    m_bPaused = 1;
    Unlock();
}

void CThreadCtrl::Resume() {
    Lock();
    m_bPaused = 0;
    Unlock();
}

void CThreadCtrl::SetInterval(DWORD ms) {
    Lock();
    m_Interval = ms;
    Unlock();
}

DWORD CThreadCtrl::GetInterval() {
    Lock();
    const DWORD ms = m_Interval;
    Unlock();
    return ms;
}

BOOL CThreadCtrl::IsThreadAlive() {
    if (!m_hThread) return FALSE;
    if (auto* clocked = dynamic_cast<ClockedThread*>(static_cast<platform::KernelObject*>(m_hThread))) {
        std::lock_guard<std::recursive_mutex> lock(g_clockedLock);
        return clocked->ended ? FALSE : TRUE;
    }
    return WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT ? TRUE : FALSE;
}

bool CThreadCtrl::_Pass(DWORD* interval, DWORD* spent) {
    Lock();
    if (m_bRunning != 1) {
        Unlock();
        return false;
    }
    const DWORD t0 = GetTickCount();
    int result = 1;
    if (!m_bPaused) result = OnThread();
    const DWORD running = m_bRunning;
    *interval = m_Interval;
    Unlock();
    *spent = GetTickCount() - t0;
    return running == 1 && result == 1;
}

unsigned CThreadCtrl::_Threading(void* object) {
    auto* self = static_cast<CThreadCtrl*>(object);
    DWORD interval = 0;
    DWORD spent = 0;
    while (self->_Pass(&interval, &spent)) {
        const LONG wait = static_cast<LONG>(interval) - static_cast<LONG>(spent);
        if (wait > 0) Sleep(static_cast<DWORD>(wait));
    }
    TraceThreadEnd(GetCurrentThreadId());
    return 0;
}

void CThreadCtrl::_ClockedPass(void* clocked) {
    auto* t = static_cast<ClockedThread*>(clocked);
    if (t->ended) return;
    if (t->started && GetTickCount() - t->lastPass < t->wait) return;
    t->started = true;
    DWORD interval = 0;
    DWORD spent = 0;
    g_inPass = t;
    const bool goOn = t->owner->_Pass(&interval, &spent);
    g_inPass = nullptr;
    t->lastPass = GetTickCount();
    t->wait = interval > spent ? interval - spent : 0;
    if (!goOn) {
        t->ended = true;
        TraceThreadEnd(t->id);
    }
}

void CThreadCtrl::SetMode(Mode mode) {
    g_mode = mode;
}

void CThreadCtrl::StepClockedThreads() {
    std::lock_guard<std::recursive_mutex> lock(g_clockedLock);
    // A pass never creates or releases threads, so the list holds still while it is walked.
    for (std::size_t i = 0; i < g_clocked.size(); ++i)
        _ClockedPass(g_clocked[i]);
}

void CThreadCtrl::FailNextThreadCreate() {
    g_failNextCreate = true;
}
