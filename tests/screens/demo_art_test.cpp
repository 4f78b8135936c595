// The calendar, the choice grid and the costume choice drawn with the demo game's art and kept under
// build/screens/ for a person to look at.
#include "ScreenTestFixture.h"

#include "graphics/Layer.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"
#include "script/GameScene.h"
#include "tools/mkdemo/DemoCatalogue.h"

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

TEST_F(ScreenFixture, DemoArtOfTheCalendarTheGridAndTheCostumeChoice) {
    StartOptions options;
    for (const demo::Asset& a : demo::Catalogue())
        if (a.archive == demo::Archive::Graphic && (a.name.starts_with("sg02") || a.name.starts_with("sg03")))
            options.pictures.push_back({a.name, a.build(a)});
    Start(options);
    CCalendar calendar;
    calendar.SetVisible(1);
    calendar.SetDay(2, 5);
    calendar.SetWeekday(6);
    calendar.SetTimeOfDay(2);
    Frame(calendar);
    SavePng("calendar");
    EXPECT_EQ(At(79, 28), SheetPixel("sg025", 124 + 14 * 5 + 7, 7)) << "the units digit";

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
    EXPECT_EQ(At(66 + 32, 150 + 26), SheetPixel("sg032", 322 + 32, 26)) << "cell 0 locked";
    EXPECT_EQ(At(446 + 26, 135 + 12), SheetPixel("sg033", 26, 24 * 4 + 12)) << "the label of cell 4";

    CGameScene scene;
    scene.EnterCostumeChoice(3);
    scene.OnMouseMove(300, 450);
    scene.FlushUpdateRect();
    g_pScreen->Draw(Back());
    scene.Draw(Back());
    SavePng("costume_choice");
    // The chosen costume, opaque in the middle of its card, between its veiled neighbours.
    EXPECT_TRUE(Near(At(320, 210), SheetPixel("sg037", 152 * 3 + 76, 150), 2));
    EXPECT_FALSE(Near(At(118, 210), SheetPixel("sg037", 152 * 2 + 76, 150), 2));
}
} // namespace
} // namespace screens_test
