// The calendar's values as the scripts set them: each goes to the calendar sheet and to the live state
// record that a save takes.
#include "script/GameScene.h"

#include "script/Calendar.h"

namespace {
// Day values 0-30 stand for the 1st to the 31st; 31, and -1 (no day, as a restore gives it), show
// the blank tens place and the digit 0.
constexpr int kNoDay = -1;
constexpr int kLastDay = 31;
} // namespace

void CGameScene::SetDay(int day) {
    // Other values have no digits on the sheet.
    if (day < kNoDay || day > kLastDay) return;
    const int date = day >= 0 && day < kLastDay ? day + 1 : 0;
    const int tens = date / 10, units = date % 10;
    if (m_pCalendar) m_pCalendar->SetDay(tens, units);
    m_LiveState.calendarSet = 7;
    m_LiveState.dayTens = static_cast<BYTE>(tens);
    m_LiveState.dayUnits = static_cast<BYTE>(units);
    m_LiveState.dayValue = static_cast<BYTE>(day);
}

void CGameScene::SetWeekday(int weekday) {
    // A value from a script or a damaged save that the sheet has no picture for changes nothing.
    if (weekday < 0 || weekday >= CCalendar::kWeekdayCount) return;
    if (m_pCalendar) m_pCalendar->SetWeekday(weekday);
    m_LiveState.weekday = static_cast<BYTE>(weekday);
}

void CGameScene::SetTimeOfDay(int timeOfDay) {
    if (timeOfDay < 0 || timeOfDay >= CCalendar::kTimeOfDayCount) return;
    if (m_pCalendar) m_pCalendar->SetTimeOfDay(timeOfDay);
    m_LiveState.timeOfDay = static_cast<BYTE>(timeOfDay);
}
