// Host command group 10 in a running scene, one command a frame, read back from the screen.
#include "SceneTestSupport.h"

#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"

namespace scene_test {
namespace {
struct PictureStep {
    const char* command;
    int x, y;
    DWORD rgb; // the screen there after the command's frame
    const char* png = nullptr;
};

// "chara" is 200x300 at (220, 100): white in its middle, keyed magenta around it.
const PictureStep kSteps[] = {
    {R"(cmd 10, 4, "bg")", 10, 10, kBlue, "scene_background.png"},
    {R"(cmd 10, 0, "chara")", 320, 250, kBlue},
    {R"(cmd 10, 1, "chara")", 320, 250, kWhite, "scene_background_and_character.png"},
    {R"(cmd 10, 1, "chara")", 225, 105, kBlue}, // shown again: nothing changes, the key holds
    {"cmd 10, 8, =1, =300, =50", 400, 200, kWhite},
    {"cmd 10, 8, =1, =300, =50", 320, 250, kBlue},
    {R"(cmd 10, 11, "bg2")", 10, 10, kGreen},
    {R"(cmd 10, 26, "chara2", =0)", 400, 200, kWhite}, // keeps the present position
    {R"(cmd 10, 2, "chara")", 400, 200, kGreen},
    {R"(cmd 10, 1, "chara")", 400, 200, kWhite},
    {R"(cmd 10, 3, "chara")", 400, 200, kGreen},
    {R"(cmd 10, 4, "chara")", 320, 250, kWhite},
    // Only the white middle of "chara", at (10, 10).
    {"cmd 10, 9, =1, =10, =10, =50, =75, =150, =225", 60, 60, kWhite},
    {"cmd 10, 9, =1, =10, =10, =50, =75, =150, =225", 320, 250, kGreen},
    {"cmd 10, 9, =1, =10, =10, =50, =75, =150, =225", 110, 60, kGreen},
    {R"(cmd 10, 5, "chara")", 320, 250, kGreen},
    {"cmd 10, 17, =0", 10, 10, 0},
    {"cmd 10, 18, =0", 10, 10, kGreen},
};

TEST_F(SceneTest, PictureCommandsChangeTheScreenOneAFrame) {
    std::string script = ".block main\n";
    for (const PictureStep& step : kSteps)
        script += std::string("    ") + step.command + "\n";
    Play(script + "    host 99, 0\n");
    for (const PictureStep& step : kSteps) {
        SCOPED_TRACE(step.command);
        Frame(20);
        EXPECT_EQ(At(step.x, step.y), step.rgb);
        if (step.png) SavePng(step.png);
    }
    EXPECT_FALSE(scene->IsHalted());
    EXPECT_EQ(Log(), "");
}

TEST_F(SceneTest, LayersByNumberFiltersAndSeenCGs) {
    PlayMain(" cmd 10, 4, \"bg\"\n cmd 10, 6, =3, =40, =30\n cmd 10, 7, =3, =5, =5, =0, =0, =0, =10, =10\n"
             " cmd 10, 28, =1\n cmd 10, 29, \"bg2\"\n cmd 10, 21, \"bg\", =0, =5\n cmd 10, 10, =3");
    Frames(3);
    const CLayer* blank = g_pScreen->GetLayer(3);
    ASSERT_NE(blank, nullptr);
    EXPECT_FALSE(blank->m_bVisible);
    // The copied rectangle lands at (5, 5) of the blank picture, and only there.
    EXPECT_EQ(platform::testing::ReadSurfaceRgbAt(blank->GetSurface(), 14, 14), kBlue);
    EXPECT_NE(platform::testing::ReadSurfaceRgbAt(blank->GetSurface(), 15, 15), kBlue);
    Frame();
    EXPECT_EQ(g_pScreen->GetLayer(0)->GetColorFilter(), 1);
    Frame();
    EXPECT_STREQ(g_pScreen->GetLayer(0)->GetName(), "bg2");
    EXPECT_EQ(g_pScreen->GetLayer(0)->GetColorFilter(), 2);
    EXPECT_EQ(g_pSaveData->IsCGSeen(5), 0);
    EXPECT_EQ(RunUntilR13(), 3);
    EXPECT_STREQ(g_pScreen->GetLayer(0)->GetName(), "bg");
    EXPECT_EQ(g_pSaveData->IsCGSeen(5), 1);
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    EXPECT_EQ(Log(), "");
}
// Positions and rectangles anywhere in 32 bits: pictures far off the screen draw nothing and leave the
// rest of the screen as it was; a slide between far-apart ends goes the right way.
struct ExtremeRow {
    const char* name;
    const char* commands; // after "bg" on layer 0 and "chara" shown on layer 1, a blank 40x30 layer 3
    DWORD middle;         // the screen at (320, 250) afterwards
    DWORD blank;          // layer 3's picture at (14, 14)
    LONG charaXAtLeast = 0;
};
const ExtremeRow kExtremes[] = {
    {"DrawLayer to the largest point", "cmd 10, 7, =3, =0x7FFFFFFF, =0x7FFFFFFF, =0, =0, =0, =10, =10",
     kWhite, 0},
    {"DrawLayer to the smallest point", "cmd 10, 7, =3, =0x80000000, =0x80000000, =0, =0, =0, =10, =10",
     kWhite, 0},
    {"DrawLayer of a rectangle over all of 32 bits",
     "cmd 10, 7, =3, =0, =0, =0, =0x80000000, =0x80000000, =0x7FFFFFFF, =0x7FFFFFFF", kWhite, kBlue},
    {"SetDrawPoint to the largest point, hidden and shown",
     "cmd 10, 8, =1, =0x7FFFFFF0, =0x7FFFFFF0\n cmd 10, 2, \"chara\"\n cmd 10, 1, \"chara\"", kBlue, 0},
    {"SetDrawPoint to the smallest point", "cmd 10, 8, =1, =0x80000000, =0x80000000", kBlue, 0},
    {"MoveChar to the smallest x at once", "cmd 10, 24, =1, =1, =0x80000000, =0", kBlue, 0},
    {"MoveChar far right slides right",
     "cmd 10, 8, =1, =-1000, =100\n cmd 10, 15, =1\n cmd 10, 24, =1, =1, =0x7FFFFF00, =20", kBlue, 0,
     0x3FFFF000},
};

class ExtremeTest : public SceneTest, public ::testing::WithParamInterface<ExtremeRow> {};

TEST_P(ExtremeTest, ClippedWithoutOverflow) {
    const ExtremeRow& row = GetParam();
    PlayMain(std::string(" cmd 10, 4, \"bg\"\n cmd 10, 4, \"chara\"\n cmd 10, 6, =3, =40, =30\n ") +
             row.commands);
    RunUntilR13(20, 20);
    Frame(20);
    Frame(1000); // halfway through a two-second slide
    EXPECT_EQ(At(320, 250), row.middle);
    EXPECT_EQ(platform::testing::ReadSurfaceRgbAt(g_pScreen->GetLayer(3)->GetSurface(), 14, 14), row.blank);
    if (row.charaXAtLeast) {
        EXPECT_GE(g_pScreen->GetLayer(1)->m_nX, row.charaXAtLeast);
    }
    EXPECT_EQ(Log(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, ExtremeTest, ::testing::ValuesIn(kExtremes), RowNamer());
} // namespace
} // namespace scene_test
