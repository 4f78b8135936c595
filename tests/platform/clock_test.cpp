// Time and threads: the manual clock behind both clocks and Sleep, local time, and worker threads.
#include "platform/process.h"
#include "platform/testing.h"
#include "platform/threads.h"
#include "platform/time.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace pt = platform::testing;

class ManualClock : public ::testing::Test {
  protected:
    void TearDown() override { pt::UseRealClock(); }
};

// Starting near 2^32, so that differences across the wrap are seen.
TEST_F(ManualClock, BothClocksSleepAndListenersFollowTheManualTime) {
    pt::UseManualClock(0xFFFFFFF0u);
    DWORD heard = 0;
    const int id = platform::AddClockListener([&](DWORD ms) { heard += ms; });
    const DWORD before = GetTickCount();
    Sleep(0x10);
    pt::AdvanceClock(0x10);
    platform::RemoveClockListener(id);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(timeGetTime(), 0x10u);
    EXPECT_EQ(GetTickCount() - before, 0x20u);
    EXPECT_EQ(heard, 0x20u);
    pt::AdvanceClock(50);
    EXPECT_EQ(heard, 0x20u) << "a removed listener hears nothing";
}

TEST(RealClock, MovesForwardAndLocalTimeCanBePinned) {
    pt::UseRealClock();
    const DWORD a = GetTickCount();
    Sleep(2);
    EXPECT_GE(GetTickCount() - a, 1u);
    pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
    const std::time_t now = crt::time(nullptr);
    const std::tm* t = crt::localtime(&now);
    pt::UnpinLocalTime();
    EXPECT_EQ(t->tm_year * 10000 + t->tm_mon * 100 + t->tm_mday, 1040205);
    EXPECT_EQ(t->tm_hour * 10000 + t->tm_min * 100 + t->tm_sec, 90703);
}

TEST(Threads, ThreadsOfTheSystemCanBeWaitedForWithATimeOut) {
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
    // A late thread as a test makes one: the next timed wait gives up at once, the one after waits.
    pt::TimeOutNextThreadWait();
    EXPECT_EQ(WaitForSingleObject(h, 1000000), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(GetExitCodeThread(h, &code), TRUE);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(CloseHandle(h), TRUE);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), static_cast<DWORD>(WAIT_FAILED));
}
