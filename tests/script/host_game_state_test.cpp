// Host command groups 200, 201 and 204 in a running scene, one command a frame, and the resume point
// of a page.
#include "SceneTestSupport.h"

#include "files/SaveData.h"
#include "platform/text_encoding.h"

#include <filesystem>

namespace scene_test {
namespace {
TEST_F(SceneTest, GameStateCommandsKeepTheLiveRecordAndTheSaveData) {
    SetReplaySceneNo(12);
    PlayMain(" cmd 201, 0, =0x100\n cmd 201, 3, =1, =2, =3, =4, =5, =6, =7, =8, =9, =10, =11, =0x10C\n"
             " cmd 201, 9, =100, =200, =300, =10000\n cmd 201, 8, =3, =5\n cmd 201, 8, =3, =2\n"
             " cmd 2, 12, bufcell, =1\n cmd 200, 3\n cmd 204, 1, =7\n cmd 201, 1\n mov r12, r0\n cmd 204, 0");
    EXPECT_EQ(RunUntilR13(), 11) << "one command a frame";
    EXPECT_FALSE(scene->IsMenuEnabled()) << "only the low byte counts";
    EXPECT_EQ(scene->GetLiveState().gridLevels[11], 12);
    DWORD status[4];
    scene->GetStatusValues(&status[0], &status[1], &status[2], &status[3]);
    EXPECT_EQ(status[3], 10000u);
    // A best value is only ever raised, and the system file is written with it.
    EXPECT_EQ(g_pSaveData->GetRecord()->bestValues[3], 5);
    EXPECT_TRUE(std::filesystem::exists(dir.File("data00.sav")));
    EXPECT_EQ(Buffer(), platform::Utf8ToSjis("太郎"));
    EXPECT_TRUE(scene->IsCalendarShown());
    EXPECT_EQ(g_pSaveData->IsSceneSeen(7), 1);
    EXPECT_EQ(scene->GetRegister(12), 0u) << "effects run";
    EXPECT_EQ(scene->GetRegister(0), 12u);
    EXPECT_EQ(Log(), "");
}

// Commands that no group knows only move pc on: ten of them take ten frames.
TEST_F(SceneTest, UnknownCommandsTakeAFrameEachAndChangeNothing) {
    std::string script = " mov r0, #7\n";
    for (const char* command :
         {"4, 0", "10, 31", "20, 15", "200, 5", "201, 10", "203, 1", "204, 2", "5, 4", "3, 4", "1, 8"})
        script += std::string(" host ") + command + "\n";
    PlayMain(script);
    EXPECT_EQ(RunUntilR13(), 11);
    EXPECT_EQ(scene->GetRegister(0), 7u);
    EXPECT_EQ(Log(), "");
}
// A new page makes the next command the resume point; only the first text after it moves it again,
// to that text command itself. Offering no choices does not wait for one.
TEST_F(SceneTest, PagesSetTheResumePoint) {
    PlayMain(" cmd 2, 7\n cmd 2, 1\n cmd 2, 0, \"text\"\n cmd 2, 0, \"more\"\n cmd 2, 3");
    Frames(2);
    const DWORD page = scene->GetResumePc();
    EXPECT_EQ(scene->GetCode()[page - 5], 2) << "just past the new-page command";
    EXPECT_STREQ(scene->GetResumeBlock(), "main");
    Frame();
    EXPECT_EQ(scene->GetSceneMode(), CGameScene::kModeText);
    EXPECT_EQ(scene->GetResumePc(), page + 6) << "the text command, past its argument load";
    EXPECT_LT(RunUntilR13(), 60);
    EXPECT_EQ(scene->GetResumePc(), page + 6);
    EXPECT_NE(scene->GetSceneMode(), CGameScene::kModeChoices);
}
} // namespace
} // namespace scene_test
