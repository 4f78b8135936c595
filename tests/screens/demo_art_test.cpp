// The calendar and the choice grid drawn with the demo game's art and kept under build/screens/.
#include "DemoArt.h"
#include "ScreenTestFixture.h"

#include "graphics/Layer.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"

namespace screens_test {
namespace {
// A pixel of a demo picture as the display holds it.
DWORD SheetPixel(const char* name, int x, int y) {
    CLayer* sheet = CreateLayerObject(0);
    sheet->Load(name, 1, 0, 0, 0, 0);
    const DWORD pixel = pt::ReadSurfaceRgbAt(sheet->GetSurface(), x, y);
    DeleteLayerObject(sheet);
    return pixel;
}

TEST_F(ScreenFixture, DemoCalendarShowsTheTwentyFifthOnASundayEvening) {
    Start({.pictures = DemoPictures({"sg025"})});
    CCalendar calendar;
    calendar.SetVisible(1);
    calendar.SetDay(2, 5);
    calendar.SetWeekday(6);
    calendar.SetTimeOfDay(2);
    Frame(calendar);
    SavePng("calendar");
    EXPECT_EQ(At(72 + 7, 21 + 7), SheetPixel("sg025", 124 + 14 * 5 + 7, 7)) << "the units digit";
}

TEST_F(ScreenFixture, DemoChoiceGridWithTwoPicksAndAHover) {
    Start({.pictures = DemoPictures({"sg030", "sg031", "sg032", "sg033"})});
    std::vector<BYTE> progress(24, 1);
    progress[0] = progress[9] = progress[21] = 4;
    CChoiceGrid grid;
    grid.Open(0, progress.data());
    for (POINT p : {POINT{185, 261}, POINT{272, 342}})
        grid.OnLButtonDown(p.x, p.y), grid.OnLButtonUp(p.x, p.y);
    grid.OnMouseMove(446, 180);
    grid.FlushUpdateRect();
    g_pScreen->Draw(Back());
    SavePng("choice_grid");
    EXPECT_EQ(At(213, 71), SheetPixel("sg030", 185, 261)) << "cell 7 in the first pick slot";
}
} // namespace
} // namespace screens_test
