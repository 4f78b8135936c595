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
} // namespace
} // namespace scene_test
