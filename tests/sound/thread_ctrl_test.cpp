// The worker of the streaming controllers: clocked steps for tests, real threads for the program.
#include "SoundTestSupport.h"

#include "platform/process.h"
#include "platform/time.h"
#include "sound/ThreadCtrl.h"

#include <atomic>
#include <thread>

using namespace soundtest;

namespace {
class Counter : public CThreadCtrl {
  public:
    ~Counter() override { ThreadRelease(); }
    int OnThread() override {
        ++steps;
        stamps.push_back(GetTickCount());
        if (releaseInside) insideResult = ThreadRelease();
        finished = steps.load();
        return steps.load() >= limit ? 0 : 1;
    }
    std::atomic<int> steps{0};
    std::atomic<int> finished{0};
    int limit = 1000000;
    bool releaseInside = false;
    int insideResult = -1;
    std::vector<DWORD> stamps;
};

using ThreadCtrlTest = SoundTest;

TEST_F(ThreadCtrlTest, ClockedStepsFollowTheIntervalOnTheClock) {
    Counter c;
    EXPECT_EQ(c.GetInterval(), 100u);
    c.SetInterval(25);
    ASSERT_EQ(c.ThreadCreate(), 1);
    EXPECT_TRUE(c.HasThread());
    Advance(100);
    // A first pass at once, then one every 25 ms.
    ASSERT_EQ(c.steps, 4);
    EXPECT_EQ(c.stamps[1] - c.stamps[0], 25u);
    EXPECT_EQ(c.stamps[3] - c.stamps[2], 25u);
    c.Pause();
    Advance(100);
    EXPECT_EQ(c.steps, 4);
    c.Resume();
    Advance(25);
    EXPECT_EQ(c.steps, 5);
    pt::TakeDebugOutput();
    EXPECT_EQ(c.ThreadRelease(), 1);
    const std::string out = pt::TakeDebugOutput();
    EXPECT_TRUE(
        Contains(out, "CThreadCtrl::_Threading -> " + Sjis("スレッド動作を終了します [Thread ID = ")));
    EXPECT_TRUE(Contains(out, Line("CThreadCtrl::ThreadRelease", "スレッドを正常に停止しました")));
    EXPECT_FALSE(c.HasThread());
    EXPECT_EQ(c.GetInterval(), 100u);
    Advance(100);
    EXPECT_EQ(c.steps, 5);
    EXPECT_EQ(c.ThreadRelease(), 0);
}

TEST_F(ThreadCtrlTest, AStepResultOtherThanOneEndsTheThread) {
    Counter c;
    c.SetInterval(25);
    c.limit = 3;
    ASSERT_EQ(c.ThreadCreate(), 1);
    Advance(200);
    EXPECT_EQ(c.steps, 3);
    EXPECT_FALSE(c.IsThreadAlive());
    // The handle stays until the owner releases it.
    EXPECT_TRUE(c.HasThread());
    EXPECT_EQ(c.ThreadRelease(), 1);
}

TEST_F(ThreadCtrlTest, AFailedCreateLeavesNothingRunning) {
    Counter c;
    CThreadCtrl::FailNextThreadCreate();
    EXPECT_EQ(c.ThreadCreate(), 0);
    EXPECT_TRUE(
        Contains(pt::TakeDebugOutput(), Line("CThreadCtrl::ThreadCreate", "スレッドの作成に失敗しました")));
    EXPECT_FALSE(c.HasThread());
    Advance(200);
    EXPECT_EQ(c.steps, 0);
}

TEST_F(ThreadCtrlTest, AStopBeforeTheThreadsFirstPassKeepsItFromRunning) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    pt::UseRealClock();
    Counter c;
    c.SetInterval(5);
    // Holding the lock keeps the new thread before its first step.
    c.Lock();
    ASSERT_EQ(c.ThreadCreate(), 1);
    c.Stop();
    c.Unlock();
    EXPECT_EQ(c.ThreadRelease(), 1);
    EXPECT_EQ(c.steps, 0);
    EXPECT_TRUE(
        Contains(pt::TakeDebugOutput(), Line("CThreadCtrl::ThreadRelease", "スレッドを正常に停止しました")));
}

TEST_F(ThreadCtrlTest, ALateThreadIsWaitedForNeverKilled) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    pt::UseRealClock();
    Counter c;
    // The thread reads this interval after its first step and sleeps that long ...
    c.SetInterval(200);
    ASSERT_EQ(c.ThreadCreate(), 1);
    while (c.finished == 0)
        std::this_thread::yield();
    // ... while the release waits only five of the new, shorter intervals.
    c.SetInterval(10);
    EXPECT_EQ(c.ThreadRelease(), 1);
    EXPECT_FALSE(c.HasThread());
    EXPECT_EQ(c.steps, 1);
    EXPECT_TRUE(Contains(pt::TakeDebugOutput(),
                         Line("CThreadCtrl::StreamThreadEnd", "スレッドを強制的に停止しました")));
}

TEST_F(ThreadCtrlTest, AClockedThreadCannotReleaseItselfEither) {
    Counter c;
    c.releaseInside = true;
    c.limit = 2;
    ASSERT_EQ(c.ThreadCreate(), 1);
    Advance(300);
    EXPECT_EQ(c.insideResult, 0);
    EXPECT_EQ(c.steps, 1); // the release stopped it
    EXPECT_TRUE(Contains(pt::TakeDebugOutput(),
                         Line("CThreadCtrl::StreamThreadEnd", "スレッドの停止に失敗しました")));
    EXPECT_EQ(c.ThreadRelease(), 1);
}

TEST_F(ThreadCtrlTest, AThreadCannotWaitForItself) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    pt::UseRealClock();
    Counter c;
    c.releaseInside = true;
    c.limit = 1;
    ASSERT_EQ(c.ThreadCreate(), 1);
    while (c.finished == 0)
        std::this_thread::yield();
    EXPECT_EQ(c.ThreadRelease(), 1);
    EXPECT_EQ(c.insideResult, 0);
    EXPECT_TRUE(Contains(pt::TakeDebugOutput(),
                         Line("CThreadCtrl::StreamThreadEnd", "スレッドの停止に失敗しました")));
}

TEST_F(ThreadCtrlTest, ThreadsOfTheSystemCanBeWaitedForWithATimeOut) {
    std::atomic<bool> go{false};
    HANDLE h = _beginthreadex(
        nullptr, 0,
        [](void* arg) -> unsigned {
            while (!static_cast<std::atomic<bool>*>(arg)->load())
                std::this_thread::yield();
            return 7;
        },
        &go, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(SetThreadPriority(h, THREAD_PRIORITY_HIGHEST), TRUE);
    EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(WaitForSingleObject(h, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(h, &code), FALSE);
    go = true;
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(GetExitCodeThread(h, &code), TRUE);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(CloseHandle(h), TRUE);
}
} // namespace
