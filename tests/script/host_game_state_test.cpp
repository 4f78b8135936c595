// Host command groups 2 (the scene's side of a page), 200, 201 and 204 in a running scene, and one
// command a frame.
#include "SceneTestSupport.h"

#include "files/SaveData.h"
#include "graphics/Screen.h"
#include "platform/text_encoding.h"

#include <filesystem>

namespace scene_test {
namespace {
TEST_F(SceneTest, GameStateCommandsKeepTheLiveRecordAndTheSaveData) {
    SetReplaySceneNo(12);
    Play(R"(
.data
buf: .zero 16
bufcell: .ptr buf
.block main
    cmd 201, 0, =0x100
    cmd 201, 3, =1, =2, =3, =4, =5, =6, =7, =8, =9, =10, =11, =0x10C
    cmd 201, 9, =100, =200, =300, =10000
    cmd 201, 8, =3, =5
    cmd 201, 8, =3, =2
    cmd 204, 0
    mov r13, r0
    cmd 2, 12, bufcell, =1
    cmd 200, 3
    cmd 201, 1
    host 99, 0
)");
    Frames(10);
    EXPECT_FALSE(scene->IsMenuEnabled()) << "only the low byte counts";
    EXPECT_EQ(scene->GetLiveState().gridLevels[11], 12);
    DWORD status[4];
    scene->GetStatusValues(&status[0], &status[1], &status[2], &status[3]);
    EXPECT_EQ(status[3], 10000u);
    // A best value is only ever raised, and the system file is written with it.
    EXPECT_EQ(g_pSaveData->GetRecord()->bestValues[3], 5);
    EXPECT_TRUE(std::filesystem::exists(dir.File("data00.sav")));
    EXPECT_EQ(scene->GetRegister(13), 12u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(scene->GetDataBlob().data())),
              platform::Utf8ToSjis("太郎"));
    EXPECT_TRUE(scene->IsCalendarShown());
    EXPECT_EQ(scene->GetRegister(0), 0u) << "effects run";
    EXPECT_EQ(Log(), "");
}

// Commands that no group knows only move pc on: ten of them take ten frames.
TEST_F(SceneTest, UnknownCommandsTakeAFrameEachAndChangeNothing) {
    std::string script = ".block main\n mov r0, #7\n";
    for (const char* command :
         {"4, 0", "10, 31", "20, 15", "200, 5", "201, 10", "203, 1", "204, 2", "5, 4", "3, 4", "1, 8"})
        script += std::string(" host ") + command + "\n";
    Play(script + " mov r13, #1\n host 99, 0\n");
    Frames(10);
    EXPECT_EQ(scene->GetRegister(13), 0u);
    Frame();
    EXPECT_EQ(scene->GetRegister(13), 1u);
    EXPECT_EQ(scene->GetRegister(0), 7u);
    EXPECT_EQ(Log(), "");
}

// A new page makes the next command the resume point; the first text after it resumes at itself.
TEST_F(SceneTest, PagesSetTheResumePointAndChoicesWithoutChoicesGoOn) {
    Play(".block main\n cmd 2, 7\n cmd 2, 1\n cmd 2, 0, \"text\"\n cmd 2, 0, \"more\"\n cmd 2, 3\n"
         " mov r13, #1\n host 99, 0\n");
    Frames(2);
    const DWORD page = scene->GetResumePc();
    EXPECT_EQ(scene->GetCode()[page - 5], 2) << "just past the new-page command";
    EXPECT_EQ(scene->GetTextState(), CGameScene::kTextNewPage);
    EXPECT_STREQ(scene->GetResumeBlock(), "main");
    Frame();
    EXPECT_EQ(scene->GetSceneMode(), CGameScene::kModeText);
    EXPECT_EQ(scene->GetTextState(), CGameScene::kTextShown);
    EXPECT_EQ(scene->GetResumePc(), page + 6) << "the text command itself, past its argument load";
    for (int frame = 0; frame < 20 && scene->GetRegister(13) == 0; ++frame)
        Frame(50);
    EXPECT_EQ(scene->GetRegister(13), 1u) << "showing no choices does not wait for one";
    EXPECT_NE(scene->GetSceneMode(), CGameScene::kModeChoices);
    EXPECT_EQ(scene->GetResumePc(), page + 6) << "only the first text of a page moves the resume point";
}
} // namespace
} // namespace scene_test
