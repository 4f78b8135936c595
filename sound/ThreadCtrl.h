// A worker that runs one step every interval under the object's lock: the streaming thread of every
// sound buffer controller.
#pragma once

#include "platform/base.h"
#include "platform/threads.h"

class CThreadCtrl {
  public:
    CThreadCtrl();
    // One step of the thread; any result other than 1 ends it. The base ends at once.
    virtual int OnThread();
    virtual ~CThreadCtrl();

    CThreadCtrl(const CThreadCtrl&) = delete;
    CThreadCtrl& operator=(const CThreadCtrl&) = delete;

    void Lock();
    void Unlock();

    // Starts the thread at the highest priority; 1 or 0.
    int ThreadCreate();
    // Ends the thread and waits for it: 0 when there is none or it could not be waited for.
    int ThreadRelease();

    void Stop();
    void Pause();
    void Resume();
    void SetInterval(DWORD ms);
    DWORD GetInterval();

    // How ThreadCreate runs the steps. Clocked: no thread of the system; a step runs whenever the
    // interval has passed on the clock, as the clock advances (and on StepClockedThreads), so a test
    // drives streaming through the manual clock alone. Automatic: clocked while the manual clock
    // runs, real threads otherwise.
    enum class Mode { Automatic, Clocked, Threads };
    static void SetMode(Mode mode);
    // Runs the step of every clocked thread whose interval has passed.
    static void StepClockedThreads();
    // Makes the next ThreadCreate fail, as a system out of threads would.
    static void FailNextThreadCreate();

    // Whether a thread was created and has not been released.
    BOOL HasThread() const { return m_hThread != nullptr; }
    // Whether that thread still runs its loop (a clocked one, or one of the system).
    BOOL IsThreadAlive();

  protected:
    static unsigned _Threading(void* object);

    CRITICAL_SECTION m_CriticalSection;
    HANDLE m_hThread;
    DWORD m_ThreadId;
    DWORD m_bRunning;
    DWORD m_bPaused;
    DWORD m_Interval;

  private:
    // One pass of the loop: under the lock, the step unless paused. False once the loop is over;
    // `interval` and `spent` tell how long to wait before the next pass.
    bool _Pass(DWORD* interval, DWORD* spent);
    void _ResetThread();
    // One pass of a clocked thread when its wait is over.
    static void _ClockedPass(void* clocked);
};
