// The player's input in a running scene: hiding the window, skipping and auto mode, the backlog, the
// hidden key sequence.
#include "SceneTestSupport.h"

#include "sound/SoundManager.h"

namespace scene_test {
namespace {
// Neither clicks nor time count while the player has hidden the window; the calendar follows it.
TEST_F(SceneTest, HiddenWindowPausesTheSceneUntilShownAgain) {
    PlayMain(" cmd 2, 7\n cmd 200, 3\n cmd 5, 5, =100");
    Frames(3);
    scene->OnRButtonDown();
    EXPECT_FALSE(scene->IsWindowVisible());
    EXPECT_FALSE(scene->IsCalendarVisible());
    scene->OnLButtonUp(10, 10);
    EXPECT_EQ(RunUntilR13(2, 20000), 2);
    scene->OnKeyUp(VK_ESCAPE);
    EXPECT_TRUE(scene->IsWindowVisible());
    EXPECT_TRUE(scene->IsCalendarVisible());
    scene->OnLButtonUp(10, 10);
    EXPECT_EQ(RunUntilR13(2, 0), 1);
}

struct SkipRow {
    const char* name;
    int input; // 0 left click, 1 right click, 2 right click with Ctrl held, else the key released
    bool stillSkipping;
    bool autoMode = false;
    bool hidden = false; // the player hid the window first
    bool visibleAfter = true;
};
const SkipRow kSkipRows[] = {{"left click", 0, false},
                             {"right click", 1, false},
                             {"right click with Ctrl", 2, true},
                             {"Esc", VK_ESCAPE, false},
                             {"Enter", VK_RETURN, false},
                             {"Backspace", VK_BACK, true},
                             {"left click in auto mode", 0, false, true},
                             // Auto mode is no skipping: right click and Esc show or hide the window and
                             // leave auto mode on.
                             {"right click in auto mode shows the hidden window", 1, true, true, true},
                             {"Esc in auto mode shows the hidden window", VK_ESCAPE, true, true, true},
                             {"right click in auto mode hides the window", 1, true, true, false, false}};

class SkipInputTest : public SceneTest, public ::testing::WithParamInterface<SkipRow> {};

// The first click or key while skipping only ends skipping: the wait for a click goes on.
TEST_P(SkipInputTest, EndsSkippingAndNothingElse) {
    const SkipRow& row = GetParam();
    PlayMain(" cmd 2, 7\n cmd 5, 5, =100");
    Frames(2);
    if (row.hidden) scene->OnRButtonDown();
    row.autoMode ? SetAutoMode(1) : SetSkipMode(1);
    SetCtrlKeyDown(row.input == 2 ? 1 : 0);
    if (row.input == 0) scene->OnLButtonUp(10, 10);
    if (row.input == 1 || row.input == 2) scene->OnRButtonDown();
    if (row.input > 2) scene->OnKeyUp(static_cast<UINT>(row.input));
    EXPECT_EQ(GetSkipAutoFlags(1) != FALSE, row.stillSkipping);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimedOrClick);
    EXPECT_EQ(scene->IsWindowVisible(), row.visibleAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, SkipInputTest, ::testing::ValuesIn(kSkipRows), RowNamer());

TEST_F(SceneTest, NothingRunsAndNoWaitEndsBehindTheBacklog) {
    PlayMain(" cmd 2, 7\n cmd 2, 0, \"a\"\n cmd 2, 1\n cmd 5, 0, =1");
    for (int frame = 0; frame < 50 && scene->GetWaitKind() == CGameScene::kWaitNone; ++frame)
        Frame(50);
    scene->OnWheelUp();
    ASSERT_TRUE(scene->IsBacklogOpen());
    EXPECT_FALSE(scene->CanOpenMenu());
    EXPECT_EQ(RunUntilR13(2, 500), 2);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitTimed);
    scene->OnWheelDown();
    EXPECT_FALSE(scene->IsBacklogOpen());
    EXPECT_EQ(RunUntilR13(2, 0), 1);
}

// The voice plays on the third letter typed in order, once a scene; other keys neither count nor break.
TEST_F(SceneTest, HiddenKeySequencePlaysItsVoiceOnce) {
    const std::pair<const char*, const char*> rows[] = {{"QXRN", ""}, {"RNQ", ""}, {"QQR1NQRN", "N"}};
    for (const auto& [keys, after] : rows) {
        Play(".block main\n host 99, 0\n");
        std::string played;
        for (const char* key = keys; *key; ++key) {
            scene->OnKeyDown(static_cast<UINT>(*key));
            if (Playing(kSecretVoice)) played += *key;
            g_pSoundManager->StopVoice();
        }
        EXPECT_EQ(played, after) << keys;
    }
}
} // namespace
} // namespace scene_test
