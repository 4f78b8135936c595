// Every check of the host commands: the error report's log line, and the script aborted with the
// pictures of layers 1-9 gone and the message window hidden.
#include "SceneTestSupport.h"

#include "graphics/Screen.h"

namespace scene_test {
namespace {
struct RefusalRow {
    const char* name;
    const char* before; // commands run first
    const char* command;
    const char* messages; // UTF-8, separated by two spaces as in the log; null: the bad index below
    int max = 0, index = 0;
};

const RefusalRow kRefusals[] = {
    {"show background", R"(cmd 10, 4, "bg")", R"(cmd 10, 1, "bg")",
     "drawgarphic関数は背景に対して使用できません  ID = bg"},
    {"hide background", R"(cmd 10, 4, "bg")", R"(cmd 10, 2, "bg")",
     "undrawgarphic関数は背景に対して使用できません  ID = bg"},
    {"layer in use", R"(cmd 10, 4, "chara")", R"(cmd 10, 0, "chara2")",
     "レイヤー（1）は使用中です  前のID = chara  後のID = chara2"},
    {"layer in use by a blank", "cmd 10, 6, =4, =10, =10", R"(cmd 10, 0, "blank")",
     "レイヤー（4）は使用中です  前のID = SYSTEM  後のID = blank"},
    {"blank on a used layer", R"(cmd 10, 4, "chara")", "cmd 10, 6, =1, =10, =10",
     "レイヤー（1）は使用中です  前のID = chara  後のID = CreatLayer"},
    {"layer unused", "", R"(cmd 10, 1, "chara")", "レイヤー（1）は未使用です  ID = chara"},
    {"layer 12", "", R"(cmd 10, 0, "far")", "（12）は使用できないレイヤーです  ID = far"},
    {"layer -1", "", R"(cmd 10, 4, "below")", "（-1）は使用できないレイヤーです  ID = below"},
    {"layer 10 by number", "", "cmd 10, 8, =10, =0, =0",
     "（10）は使用できないレイヤーです  ID = SetDrawPoint"},
    {"CreatLayer on layer -3", "", "cmd 10, 6, =-3, =10, =10",
     "（-3）は使用できないレイヤーです  ID = CreatLayer"},
    {"DrawLayer from an empty layer", "cmd 10, 6, =4, =10, =10", "cmd 10, 7, =4, =0, =0, =3, =0, =0, =5, =5",
     "レイヤー（3）は未使用です  ID = DrawLayer"},
    {"DrawLayer onto layer 10", "cmd 10, 6, =4, =10, =10", "cmd 10, 7, =10, =0, =0, =4, =0, =0, =5, =5",
     "（10）は使用できないレイヤーです  ID = DrawLayer"},
    {"DeleteLayer of an empty layer", "", "cmd 10, 10, =2", "レイヤー（2）は未使用です  ID = DeleteLayer"},
    {"CreatLayer of no size", "", "cmd 10, 6, =4, =0, =10",
     "レイヤーの大きさ（0 x 10）が不正です  ID = CreatLayer"},
    {"grey reload without a background", "", R"(cmd 10, 27, "bg")", "レイヤー（0）は未使用です  ID = bg"},
    {"unknown graphic", "", R"(cmd 10, 0, "nosuch")", "登録されていないＩＤです  ID = nosuch"},
    {"music that is an effect", "", R"(cmd 20, 0, "rain", =1)", "サウンドではありません  ID = rain"},
    {"effect that is music", "", R"(cmd 20, 11, "bgm01", =1, =5)", "ＳＥではありません  ID = bgm01"},
    {"two bad cells, one report", "", "mov r1, #0x7FFFFFF0\n mov r2, #0x7FFFFFF0\n host 20, 14",
     "不正なアドレスを指しました  アドレス = 7FFFFFF0"},
    {"shuffle of -1", "", "cmd 3, 1, =-1", "乱数列の長さ（-1）が不正です"},
    {"voice prefix 5", "", "cmd 20, 14, =5, =7", nullptr, 5, 5},
    {"best value 24", "", "cmd 201, 8, =24, =1", nullptr, 24, 24},
    {"best value -1", "", "cmd 201, 8, =255, =1", nullptr, 24, -1},
    {"font size 5", "", "cmd 2, 9, =5", nullptr, 5, 5},
    {"substring past the end", "", R"(cmd 1, 4, bufcell, "abc", =1, =3)", nullptr, 3, 3},
    {"substring before the start", "", R"(cmd 1, 4, bufcell, "abc", =-1, =1)", nullptr, 3, -1},
};

class RefusalTest : public SceneTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(RefusalTest, ReportsAndAborts) {
    const RefusalRow& row = GetParam();
    char messages[256];
    std::snprintf(messages, sizeof messages,
                  "配列（最大数 = %d）に対して不正なインデックス（%d）を指しました", row.max, row.index);
    PlayMain(std::string(" .line 4\n cmd 2, 7\n ") + row.before + "\n .line 5\n " + row.command);
    EXPECT_EQ(RunUntilR13(8, 0), 8) << "nothing runs after the error";
    EXPECT_TRUE(scene->IsHalted());
    EXPECT_EQ(Log(), ErrorLine(5, row.messages ? row.messages : messages));
    for (int layer = 1; layer < CScreen::kLayerCount; ++layer)
        EXPECT_EQ(g_pScreen->GetLayer(layer), nullptr) << "layer " << layer;
    EXPECT_FALSE(scene->IsWindowShown());
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusalTest, ::testing::ValuesIn(kRefusals), RowNamer());
} // namespace
} // namespace scene_test
