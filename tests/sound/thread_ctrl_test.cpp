// The worker of the streaming controllers: clocked steps and threads of the system, both on the manual
// clock.
#include "SoundTestSupport.h"

#include <atomic>
#include <thread>

using namespace soundtest;

namespace {
class Counter : public CThreadCtrl {
  public:
    ~Counter() override { ThreadRelease(); }
    int OnThread() override {
        stamps.push_back(GetTickCount());
        if (releaseInside) insideResult = ThreadRelease();
        ++steps;
        return steps.load() >= limit ? 0 : 1;
    }
    // Waits until the thread has made its steps (a thread of the system runs on its own).
    void AwaitSteps(int n) {
        while (steps < n)
            std::this_thread::yield();
    }
    std::atomic<int> steps{0};
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
    Counter c;
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

// The wait of five intervals runs out: the release goes on waiting, and once the thread has left its
// loop it says that it stopped, not that it was stopped by force.
TEST_F(ThreadCtrlTest, ALateThreadIsWaitedForNeverKilled) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    Counter c;
    c.SetInterval(25);
    ASSERT_EQ(c.ThreadCreate(), 1);
    c.AwaitSteps(1);
    pt::TimeOutNextThreadWait();
    EXPECT_EQ(c.ThreadRelease(), 1);
    EXPECT_FALSE(c.HasThread());
    const std::string out = pt::TakeDebugOutput();
    EXPECT_TRUE(Contains(out, Line("CThreadCtrl::ThreadRelease", "スレッドを正常に停止しました"))) << out;
    EXPECT_FALSE(Contains(out, Sjis("強制"))) << out;
    EXPECT_FALSE(Contains(out, Sjis("スレッドの停止に失敗しました"))) << out;
}

TEST_F(ThreadCtrlTest, AThreadCannotReleaseItself) {
    for (auto mode : {CThreadCtrl::Mode::Clocked, CThreadCtrl::Mode::Threads}) {
        SCOPED_TRACE(mode == CThreadCtrl::Mode::Clocked ? "AClockedThreadCannotReleaseItselfEither"
                                                        : "AThreadCannotWaitForItself");
        CThreadCtrl::SetMode(mode);
        Counter c;
        c.releaseInside = true;
        c.limit = 2;
        ASSERT_EQ(c.ThreadCreate(), 1);
        if (mode == CThreadCtrl::Mode::Clocked) Advance(300);
        c.AwaitSteps(1);
        EXPECT_EQ(c.ThreadRelease(), 1);
        EXPECT_EQ(c.insideResult, 0);
        EXPECT_EQ(c.steps, 1); // the release inside stopped it
        EXPECT_TRUE(Contains(pt::TakeDebugOutput(),
                             Line("CThreadCtrl::StreamThreadEnd", "スレッドの停止に失敗しました")));
    }
}
} // namespace
