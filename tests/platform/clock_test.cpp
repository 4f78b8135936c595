#include "platform/testing.h"
#include "platform/time.h"

#include <gtest/gtest.h>

namespace pt = platform::testing;

class ManualClock : public ::testing::Test {
  protected:
    void TearDown() override { pt::UseRealClock(); }
};

TEST_F(ManualClock, BothClocksReadTheSameManualTime) {
    pt::UseManualClock(5000);
    EXPECT_EQ(GetTickCount(), 5000u);
    EXPECT_EQ(timeGetTime(), 5000u);
    pt::AdvanceClock(25);
    EXPECT_EQ(GetTickCount(), 5025u);
    EXPECT_EQ(timeGetTime(), 5025u);
}

TEST_F(ManualClock, SleepAdvancesInsteadOfWaiting) {
    pt::UseManualClock(0);
    Sleep(100);
    Sleep(1);
    EXPECT_EQ(GetTickCount(), 101u);
}

TEST_F(ManualClock, WrapsPastTwoToThe32AndDifferencesStayRight) {
    pt::UseManualClock(0xFFFFFFF0u);
    const DWORD before = GetTickCount();
    pt::AdvanceClock(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount() - before, 0x20u);
}

TEST_F(ManualClock, ListenersHearEveryAdvance) {
    pt::UseManualClock(0);
    DWORD heard = 0;
    const int id = platform::AddClockListener([&](DWORD ms) { heard += ms; });
    Sleep(7);
    pt::AdvanceClock(3);
    platform::RemoveClockListener(id);
    pt::AdvanceClock(50);
    EXPECT_EQ(heard, 10u);
}

TEST(RealClock, MovesForward) {
    pt::UseRealClock();
    const DWORD a = GetTickCount();
    Sleep(2);
    EXPECT_GE(GetTickCount() - a, 1u);
}

TEST(LocalTime, PinnedTimeIsWhatLocaltimeReads) {
    pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
    std::time_t now = crt::time(nullptr);
    const std::tm* t = crt::localtime(&now);
    EXPECT_EQ(t->tm_year, 104);
    EXPECT_EQ(t->tm_mon, 2);
    EXPECT_EQ(t->tm_mday, 5);
    EXPECT_EQ(t->tm_hour, 9);
    EXPECT_EQ(t->tm_min, 7);
    EXPECT_EQ(t->tm_sec, 3);
    pt::UnpinLocalTime();
}
