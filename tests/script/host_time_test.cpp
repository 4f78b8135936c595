// Host command group 5 in a running scene: waits and timers to the millisecond, and the two ends of
// a script.
#include "SceneTestSupport.h"

#include "sound/SoundManager.h"

namespace scene_test {
namespace {
enum class Input { None, Click, Enter };

struct WaitRow {
    const char* name;
    const char* commands;
    Input input = Input::None; // at 100 ms
    int endsAt = 0;            // ms after the first command's frame
    bool skip = false;
    DWORD clockStart = kClockStart;
};

const WaitRow kWaits[] = {
    {"timed", "cmd 5, 0, =3", Input::None, 300},
    {"timed ignores clicks", "cmd 5, 0, =3", Input::Click, 300},
    {"timed or click times out", "cmd 5, 5, =4", Input::None, 400},
    {"timed or click ends on a click", "cmd 5, 5, =4", Input::Click, 100},
    {"timed or click ends on Enter", "cmd 5, 5, =4", Input::Enter, 100},
    {"timer", "cmd 5, 1, =2, =5\n cmd 5, 2, =2", Input::None, 500},
    {"timer set before another wait", "cmd 5, 1, =2, =5\n cmd 5, 0, =1\n cmd 5, 2, =2", Input::None, 500},
    {"timer 10 is none", "cmd 5, 1, =10, =5\n cmd 5, 2, =10", Input::None, 2},
    {"timer -1 is none", "cmd 5, 1, =-1, =5\n cmd 5, 2, =-1", Input::None, 2},
    {"across the wrap of the tick count", "cmd 5, 0, =5", Input::None, 500, false, 0xFFFFFF00u},
    {"timer across the wrap", "cmd 5, 1, =2, =5\n cmd 5, 2, =2", Input::None, 500, false, 0xFFFFFF00u},
    {"timer never set, at once", "cmd 5, 2, =3", Input::None, 1},
    {"timer never set, past 2^31 ms of run time", "cmd 5, 2, =3", Input::None, 1, false, 0x80000100u},
    {"skipping ends it at the next frame", "cmd 5, 0, =50", Input::None, 1, true},
};

class WaitTest : public SceneTest, public ::testing::WithParamInterface<WaitRow> {};

TEST_P(WaitTest, EndsToTheMillisecond) {
    const WaitRow& row = GetParam();
    platform::testing::SetClock(row.clockStart);
    SetSkipMode(row.skip ? 1 : 0);
    PlayMain(std::string(" ") + row.commands);
    Frame();
    int ms = RunUntilR13(row.input == Input::None ? 2000 : 99, 1);
    if (row.input == Input::Click) scene->OnLButtonUp(10, 10);
    if (row.input == Input::Enter) scene->OnKeyUp(VK_RETURN);
    if (row.input != Input::None) ms += RunUntilR13(2000, 1);
    EXPECT_EQ(ms, row.endsAt);
}

INSTANTIATE_TEST_SUITE_P(Rows, WaitTest, ::testing::ValuesIn(kWaits), RowNamer());

// The end command from a resident block called by block 0, and a return from block 0: every block
// lets go of its code, and only the end command fades the music out.
TEST_F(SceneTest, ScriptEndsWithItsRunState) {
    for (const bool endCommand : {true, false}) {
        SCOPED_TRACE(endCommand ? "end command" : "return");
        Play(std::string(
                 ".block main\n cmd 20, 0, \"bgm01\", =1\n cmd 0, 1, \"sub\"\n ret\n.block sub, resident\n") +
             (endCommand ? " cmd 5, 3\n" : " ret\n"));
        const int expected = endCommand ? CGameScene::kRunEnding : CGameScene::kRunTitle;
        int result = CGameScene::kRunStay;
        for (int frame = 0; frame < 10 && result == CGameScene::kRunStay; ++frame)
            result = scene->Run(nullptr);
        EXPECT_EQ(result, expected);
        EXPECT_TRUE(scene->IsFinished());
        EXPECT_EQ(scene->GetCallStack().GetCount(), 0);
        EXPECT_FALSE(scene->GetBlock(0)->loaded);
        EXPECT_EQ(scene->GetBlock(1)->loaded, !endCommand) << "a resident block keeps its code on return";
        EXPECT_EQ(g_pSoundManager->IsFading() != 0, endCommand);
        EXPECT_EQ(scene->Run(nullptr), expected) << "a finished script is not run again";
        g_pSoundManager->StopAll();
    }
}
} // namespace
} // namespace scene_test
