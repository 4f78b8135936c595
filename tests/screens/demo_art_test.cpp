// The calendar and the choice grid drawn with the demo game's art and kept under build/screens/: the
// parts land where the art expects them.
#include "DemoArt.h"
#include "ScreenTestFixture.h"

#include "graphics/Layer.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"

namespace screens_test {
namespace {

class DemoArtTest : public ScreenFixture {
  protected:
    // A pixel of a demo picture as the display holds it.
    static DWORD SheetPixel(const char* name, int x, int y) {
        CLayer* sheet = CreateLayerObject(0);
        sheet->Load(name, 1, 0, 0, 0, 0);
        const DWORD pixel = pt::ReadSurfaceRgbAt(sheet->GetSurface(), x, y);
        DeleteLayerObject(sheet);
        return pixel;
    }
};

TEST_F(DemoArtTest, CalendarShowsTheTwentyFifthOnASunday) {
    Start({.pictures = DemoPictures({"sg025"})});
    CCalendar calendar;
    calendar.SetVisible(1);
    calendar.SetDay(2, 5);
    calendar.SetWeekday(6);
    calendar.SetTimeOfDay(2);
    Frame(calendar);
    SavePng("calendar");
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
            ASSERT_EQ(At(72 + x, 21 + y), SheetPixel("sg025", 124 + 14 * 5 + x, y)) << x << "," << y;
    EXPECT_EQ(At(30 + 34, 46 + 9), SheetPixel("sg025", 192 + 34, 28 + 18 + 9)) << "the weekday";
}

TEST_F(DemoArtTest, ChoiceGridWithTwoPicksAndAHover) {
    Start({.pictures = DemoPictures({"sg030", "sg031", "sg032", "sg033"})});
    std::vector<BYTE> progress(24, 1);
    progress[0] = progress[9] = progress[21] = 4;
    CChoiceGrid grid;
    grid.Open(0, progress.data());
    for (int cell : {7, 14}) {
        const int x = 73 + 87 * (cell % 6) + 25, y = 155 + 81 * (cell / 6) + 25;
        grid.OnLButtonDown(x, y);
        grid.OnLButtonUp(x, y);
    }
    grid.OnMouseMove(73 + 87 * 4 + 25, 155 + 25);
    grid.FlushUpdateRect();
    g_pScreen->Draw(Back());
    SavePng("choice_grid");
    // The first pick slot shows cell 7 as the grid shows it: the middle of the icon.
    EXPECT_EQ(At(188 + 25, 46 + 25), SheetPixel("sg030", 73 + 87 + 25, 155 + 81 + 25));
}
} // namespace
} // namespace screens_test
