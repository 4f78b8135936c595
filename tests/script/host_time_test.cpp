// Host command group 5 in a running scene: waits and timers to the millisecond, and the two ends of
// a script.
#include "SceneTestSupport.h"

#include "platform/time.h"
#include "sound/SoundManager.h"

namespace scene_test {
namespace {
enum class Input { None, Click, Enter };

struct WaitRow {
    const char* name;
    const char* commands;
    DWORD clockStart;
    Input input; // at 100 ms
    bool skip;
    DWORD endsAt; // ms after the first command's frame
};

const WaitRow kWaits[] = {
    {"timed", "cmd 5, 0, =3", kClockStart, Input::None, false, 300},
    {"timed ignores clicks", "cmd 5, 0, =3", kClockStart, Input::Click, false, 300},
    {"timed or click times out", "cmd 5, 5, =4", kClockStart, Input::None, false, 400},
    {"timed or click ends on a click", "cmd 5, 5, =4", kClockStart, Input::Click, false, 100},
    {"timed or click ends on Enter", "cmd 5, 5, =4", kClockStart, Input::Enter, false, 100},
    {"timer", "cmd 5, 1, =2, =5\n cmd 5, 2, =2", kClockStart, Input::None, false, 500},
    {"timer set before another wait", "cmd 5, 1, =2, =5\n cmd 5, 0, =1\n cmd 5, 2, =2", kClockStart,
     Input::None, false, 500},
    {"timer 10 is none", "cmd 5, 1, =10, =5\n cmd 5, 2, =10", kClockStart, Input::None, false, 2},
    {"timer -1 is none", "cmd 5, 1, =-1, =5\n cmd 5, 2, =-1", kClockStart, Input::None, false, 2},
    {"across the wrap of the tick count", "cmd 5, 0, =5", 0xFFFFFF00u, Input::None, false, 500},
    {"skipping ends it at the next frame", "cmd 5, 0, =50", kClockStart, Input::None, true, 1},
};

class WaitTest : public SceneTest, public ::testing::WithParamInterface<WaitRow> {};

TEST_P(WaitTest, EndsToTheMillisecond) {
    const WaitRow& row = GetParam();
    platform::testing::SetClock(row.clockStart);
    SetSkipMode(row.skip ? 1 : 0);
    Play(std::string(".block main\n ") + row.commands + "\n mov r13, #1\n host 99, 0\n");
    Frame();
    DWORD t = 0;
    for (; t < 2000 && scene->GetRegister(13) == 0; ++t) {
        if (t + 1 == 100 && row.input == Input::Click) scene->OnLButtonUp(10, 10);
        if (t + 1 == 100 && row.input == Input::Enter) scene->OnKeyUp(VK_RETURN);
        Frame(1);
    }
    EXPECT_EQ(t, row.endsAt);
    EXPECT_EQ(scene->GetWaitKind(), CGameScene::kWaitNone);
}

INSTANTIATE_TEST_SUITE_P(Rows, WaitTest, ::testing::ValuesIn(kWaits), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

struct EndRow {
    const char* name;
    const char* script;
    int runState;
};
const EndRow kEnds[] = {
    {"end command",
     ".block main\n cmd 20, 0, \"bgm01\", =1\n cmd 0, 1, \"sub\"\n.block sub, resident\n cmd 5, 3\n",
     CGameScene::kRunEnding},
    {"return from block 0",
     ".block main\n cmd 20, 0, \"bgm01\", =1\n cmd 0, 1, \"sub\"\n ret\n.block sub\n ret\n",
     CGameScene::kRunTitle},
};

class EndTest : public SceneTest, public ::testing::WithParamInterface<EndRow> {};

TEST_P(EndTest, FinishesTheScriptWithItsRunState) {
    Play(GetParam().script);
    int result = CGameScene::kRunStay;
    for (int frame = 0; frame < 10 && result == CGameScene::kRunStay; ++frame) {
        result = scene->Run(nullptr);
        g_pSoundManager->Update();
    }
    EXPECT_EQ(result, GetParam().runState);
    EXPECT_TRUE(scene->IsFinished());
    EXPECT_EQ(scene->GetCallStack().GetCount(), 0);
    // Every block let go of its code, the resident one too.
    EXPECT_FALSE(scene->GetBlock(0)->loaded);
    EXPECT_FALSE(scene->GetBlock(1)->loaded);
    // Only the end command fades the music out.
    EXPECT_EQ(g_pSoundManager->IsFading() != 0, GetParam().runState == CGameScene::kRunEnding);
    EXPECT_EQ(scene->Run(nullptr), GetParam().runState) << "a finished script is not run again";
}

INSTANTIATE_TEST_SUITE_P(Rows, EndTest, ::testing::ValuesIn(kEnds), [](const auto& info) {
    return std::string(info.param.name[0] == 'e' ? "End" : "Return");
});
} // namespace
} // namespace scene_test
