// The calendar, the choice grid and the costume choice drawn with the demo game's art and kept under
// build/screens/.
#include "ScreenTestFixture.h"

#include "graphics/Layer.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"
#include "script/GameScene.h"
#include "tools/mkdemo/DemoCatalogue.h"

namespace screens_test {
namespace {
std::vector<fixtures::ArcEntryData> DemoPictures(const std::vector<std::string>& names) {
    std::vector<fixtures::ArcEntryData> entries;
    for (const demo::Asset& asset : demo::Catalogue())
        if (asset.archive == demo::Archive::Graphic && std::count(names.begin(), names.end(), asset.name))
            entries.push_back({asset.name, asset.build(asset)});
    return entries;
}
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

TEST_F(ScreenFixture, DemoCostumeChoiceWithTheOkButtonHovered) {
    Start(
        {.pictures = DemoPictures({"sg022", "sg023", "sg024", "sg025", "sg035", "sg036", "sg037", "sg038"})});
    CGameScene scene;
    scene.EnterCostumeChoice(3);
    scene.OnMouseMove(300, 450);
    scene.FlushUpdateRect();
    g_pScreen->Draw(Back());
    scene.Draw(Back());
    SavePng("costume_choice");
    // The chosen costume, opaque in the middle of its card, between its veiled neighbours.
    EXPECT_TRUE(Near(At(244 + 76, 60 + 150), SheetPixel("sg037", 152 * 3 + 76, 150), 2));
    EXPECT_FALSE(Near(At(42 + 76, 60 + 150), SheetPixel("sg037", 152 * 2 + 76, 150), 2));
}
} // namespace
} // namespace screens_test
