// The player's input in a running scene: hiding the window, skipping, the backlog, the hidden key
// sequence, and what the scene leaves behind when it goes.
#include "SceneTestSupport.h"

#include "graphics/Screen.h"
#include "sound/SoundManager.h"

namespace scene_test {
namespace {
// The calendar hides and shows with the window.
TEST_F(SceneTest, HiddenWindowPausesTheSceneUntilShownAgain) {
    Play(".block main\n cmd 2, 7\n cmd 200, 3\n cmd 5, 5, =100\n mov r13, #1\n host 99, 0\n");
    Frames(3);
    ASSERT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimedOrClick);
    scene->OnRButtonDown();
    EXPECT_FALSE(scene->IsWindowVisible());
    EXPECT_FALSE(scene->IsCalendarVisible());
    scene->OnLButtonUp(10, 10);
    Frame(20000);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimedOrClick) << "neither clicks nor time count";
    EXPECT_EQ(scene->GetRegister(13), 0u);
    scene->OnKeyUp(VK_ESCAPE);
    EXPECT_TRUE(scene->IsWindowVisible());
    EXPECT_TRUE(scene->IsCalendarVisible());
    scene->OnLButtonUp(10, 10);
    Frame();
    EXPECT_EQ(scene->GetRegister(13), 1u);
}

struct SkipRow {
    const char* name;
    bool autoMode;
    bool ctrl;
    int input; // 0 left click, 1 right click, else the key released
    bool stillSkipping;
};
const SkipRow kSkipRows[] = {
    {"left click", false, false, 0, false},          {"right click", false, false, 1, false},
    {"right click with Ctrl", false, true, 1, true}, {"Esc", false, false, VK_ESCAPE, false},
    {"Enter", false, false, VK_RETURN, false},       {"left click in auto mode", true, false, 0, false},
    {"Backspace", false, false, VK_BACK, true},
};

class SkipInputTest : public SceneTest, public ::testing::WithParamInterface<SkipRow> {};

// The first click or key while skipping only ends skipping: the wait for a click goes on.
TEST_P(SkipInputTest, EndsSkippingAndNothingElse) {
    const SkipRow& row = GetParam();
    Play(".block main\n cmd 2, 7\n cmd 5, 5, =100\n host 99, 0\n");
    Frames(2);
    row.autoMode ? SetAutoMode(1) : SetSkipMode(1);
    SetCtrlKeyDown(row.ctrl ? 1 : 0);
    if (row.input == 0)
        scene->OnLButtonUp(10, 10);
    else if (row.input == 1)
        scene->OnRButtonDown();
    else
        scene->OnKeyUp(static_cast<UINT>(row.input));
    EXPECT_EQ(GetSkipAutoFlags(1) != FALSE, row.stillSkipping);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimedOrClick);
    EXPECT_TRUE(scene->IsWindowVisible());
}

INSTANTIATE_TEST_SUITE_P(Rows, SkipInputTest, ::testing::ValuesIn(kSkipRows), RowNamer());

TEST_F(SceneTest, NothingRunsAndNoWaitEndsBehindTheBacklog) {
    Play(".block main\n cmd 2, 7\n cmd 2, 0, \"a\"\n cmd 2, 1\n cmd 5, 0, =1\n mov r13, #1\n host 99, 0\n");
    for (int frame = 0; frame < 50 && scene->GetWaitKind() == CGameScene::kWaitNone; ++frame)
        Frame(50);
    ASSERT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimed);
    scene->OnWheelUp();
    ASSERT_TRUE(scene->IsBacklogOpen());
    EXPECT_FALSE(scene->CanOpenMenu());
    Frame(500);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimed);
    EXPECT_EQ(scene->GetRegister(13), 0u);
    scene->OnWheelDown();
    EXPECT_FALSE(scene->IsBacklogOpen());
    Frame();
    EXPECT_EQ(scene->GetRegister(13), 1u);
}

TEST_F(SceneTest, HiddenKeySequencePlaysItsVoice) {
    const struct {
        const char* keys;
        bool plays;
    } rows[] = {{"QRN", true}, {"QXRN", false}, {"QQRN", true}, {"QR1N", true}, {"RNQ", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        Play(".block main\n host 99, 0\n");
        for (const char* key = row.keys; *key; ++key)
            scene->OnKeyDown(static_cast<UINT>(*key));
        EXPECT_EQ(Playing(kSecretVoice), row.plays);
        g_pSoundManager->StopVoice();
    }
}

TEST_F(SceneTest, SceneLeavesOnlyTheBackgroundBehind) {
    Play(".block main\n cmd 10, 4, \"bg\"\n cmd 10, 4, \"chara\"\n cmd 20, 2, \"rain\", =1\n"
         " cmd 20, 4, \"v0001\"\n cmd 20, 0, \"bgm01\", =1\n host 99, 0\n");
    Frames(5);
    SetSkipMode(1);
    scene.reset();
    EXPECT_NE(g_pScreen->GetLayer(0), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(1), nullptr);
    EXPECT_FALSE(Playing(kRain));
    EXPECT_FALSE(Playing(kVoice1));
    EXPECT_TRUE(Playing(kBgm01)) << "the music plays on";
    EXPECT_FALSE(GetSkipAutoFlags(1));
}
} // namespace
} // namespace scene_test
