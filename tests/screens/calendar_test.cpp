// The calendar sheet: which part of "sg025" shows where for days, weekdays and times of day, and what
// it marks for redraw.
#include "ScreenTestFixture.h"

#include "script/Calendar.h"

namespace screens_test {
namespace {

class CalendarTest : public ScreenFixture {
  protected:
    void StartCalendar() { Start({.pictures = {{"sg025", Picture(306, 118, SheetAt)}}}); }
};

// Every sheet pixel names its own place, so one screen pixel tells which part of the sheet shows there.
struct PartRow {
    const char* name;
    std::function<void(CCalendar&)> set;
    POINT at;       // on the screen
    DWORD expected; // the sheet pixel shown there
};

TEST_F(CalendarTest, EachValueShowsItsPartOfTheSheet) {
    using C = CCalendar&;
    const PartRow rows[] = {
        {"panel", [](C) {}, {10, 100}, SheetAt(8, 100)},
        {"tens_1", [](C c) { c.SetDay(1, 0); }, {59, 25}, SheetAt(127, 18)},
        {"tens_3", [](C c) { c.SetDay(3, 1); }, {59, 25}, SheetAt(159, 18)},
        {"tens_blank_shows_the_panel", [](C c) { c.SetDay(0, 1); }, {59, 25}, SheetAt(57, 25)},
        {"units_0", [](C c) { c.SetDay(1, 0); }, {75, 25}, SheetAt(127, 4)},
        {"units_9", [](C c) { c.SetDay(2, 9); }, {75, 25}, SheetAt(253, 4)},
        {"weekday_2", [](C c) { c.SetWeekday(2); }, {35, 51}, SheetAt(129, 69)},
        {"weekday_7_second_column", [](C c) { c.SetWeekday(7); }, {35, 51}, SheetAt(197, 69)},
        {"time_3", [](C c) { c.SetTimeOfDay(3); }, {45, 81}, SheetAt(265, 105)},
        // Values outside the sheet's tables, from a script or a damaged save, keep what was shown.
        {"weekday_10_ignored", [](C c) { c.SetWeekday(2), c.SetWeekday(10); }, {35, 51}, SheetAt(129, 69)},
        {"weekday_negative_ignored",
         [](C c) { c.SetWeekday(2), c.SetWeekday(-1); },
         {35, 51},
         SheetAt(129, 69)},
        {"time_4_ignored", [](C c) { c.SetTimeOfDay(1), c.SetTimeOfDay(4); }, {45, 81}, SheetAt(265, 69)},
        {"tens_4_ignored", [](C c) { c.SetDay(1, 2), c.SetDay(4, 0); }, {75, 25}, SheetAt(155, 4)},
        {"hidden_draws_nothing", [](C c) { c.SetVisible(0); }, {10, 100}, 0},
        {"released_and_restored",
         [](C c) { c.SetWeekday(2), c.ReleaseSurfaces(), c.Restore(g_DDrawCtrl.GetDirectDrawObject()); },
         {35, 51},
         SheetAt(129, 69)},
    };
    for (const PartRow& row : rows) {
        SCOPED_TRACE(row.name);
        StartCalendar();
        CCalendar calendar;
        calendar.SetVisible(1);
        row.set(calendar);
        Frame(calendar);
        EXPECT_EQ(At(row.at.x, row.at.y), row.expected);
    }
}

TEST_F(CalendarTest, StartsHiddenAndMarksOnlyItsOwnRectangle) {
    StartCalendar();
    CCalendar calendar;
    EXPECT_FALSE(calendar.IsVisible());
    calendar.FlushUpdateRect();
    RECT region;
    EXPECT_EQ(GetUpdateRect(&region), nullptr) << "nothing changed yet";
    calendar.SetWeekday(4);
    calendar.FlushUpdateRect();
    ASSERT_NE(GetUpdateRect(&region), nullptr);
    EXPECT_EQ((std::array{region.left, region.top, region.right, region.bottom}),
              (std::array<LONG, 4>{2, 0, 126, 112}));
    AddUpdateRect(nullptr);
    calendar.FlushUpdateRect();
    EXPECT_EQ(GetUpdateRect(&region), nullptr) << "handed on once";
}

} // namespace
} // namespace screens_test
