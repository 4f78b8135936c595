// What outlives the program: a save in the middle of a page, loaded in a fresh program; slots that a load
// must refuse; the read-text marks that auto mode skips over.
#include "SceneTestSupport.h"

#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/text_encoding.h"
#include "text/MessageWindow.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/SaveWriter.h"

namespace scene_test {
namespace {
// Main shows the scene and calls the resident "sub", which calls itself once; the inner call's page
// begins with its first text. The page goes on: a register, the local, the global and a call to "leaf"
// all change before the save. The outer call adds the local to r6 once the inner one returns.
constexpr char kStory[] = R"(
.data
.saved
g: .int 0
.endsaved
.block main
 cmd 20, 0, "bgm01", =1
 cmd 10, 4, "bg"
 cmd 10, 4, "chara"
 cmd 200, 2, =14
 cmd 200, 3
 cmd 2, 7
 mov [g], #5
 cmd 0, 1, "sub"
 mov r13, #1
 host 99, 0
.block sub, resident
 add [lv], #1
 cmp [lv], #2
 jz page
 cmd 0, 1, "sub"
 add r6, [lv]
 ret
page:
 cmd 20, 2, "rain", =1
 mov r5, #42
 cmd 2, 1
 cmd 2, 0, "一ページ目##"
 mov r5, #99
 add [lv], #100
 mov [g], #77
 cmd 0, 1, "leaf"
 cmd 2, 0, "続き##"
 ret
 .local
lv: .int 0
 .endlocal
.block leaf
 mov r4, #1
 ret
)";

class SaveStateTest : public SceneTest {
  protected:
    // Everything the program had goes; the folder with the script, the seed and the saves stays.
    void Restart() {
        TearDown();
        SetUp();
        g_pSaveData->LoadSystemFile();
        scene = std::make_unique<CGameScene>();
        ASSERT_EQ(scene->LoadScript(dir.File("main.sct").c_str()), 1);
    }
    std::string Line(int n) { return scene->GetMessageWindow()->GetGridLine(n); }
    // Frames, clicking away each click wait, until the page shows `text` and waits.
    bool Shows(const char* utf8) {
        return (Line(0) + Line(1) + Line(2)).find(platform::Utf8ToSjis(utf8)) != std::string::npos;
    }
    void ClickUntil(const char* utf8) {
        for (int i = 0; i < 80 && !Shows(utf8); ++i) {
            Frame(50);
            if (scene->GetMessageWindow()->GetState() == CMessageWindow::kStateClickWait)
                scene->OnLButtonUp(9, 9);
        }
        Frames(10, 50);
        ASSERT_TRUE(Shows(utf8)) << utf8;
    }
    DWORD Local() const { return scene->GetCode()[scene->GetBlock(1)->record.localOffset]; }
    DWORD Global() const { return scene->GetDataBlob()[scene->GetSavedStart()]; }
};

TEST_F(SaveStateTest, MidPageSaveComesBackInAFreshProgramAndRunsOnAsBefore) {
    Play(kStory);
    ClickUntil("続き");
    ASSERT_EQ(scene->GetRegister(4), 1u) << "leaf ran within the page";
    ASSERT_TRUE(scene->Save(4));
    Restart();
    ASSERT_TRUE(scene->Load(4));
    Frame();
    EXPECT_EQ(scene->GetRegister(5), 42u);
    EXPECT_EQ(Local(), 2u);
    EXPECT_EQ(Global(), 5u);
    std::string stack;
    scene->GetCallStack().ForEach([&](const CallFrame* f) { stack += std::string(f->blockName) + " "; });
    EXPECT_EQ(stack, "main sub sub ");
    EXPECT_TRUE(Playing(kBgm01));
    EXPECT_TRUE(Playing(kRain));
    EXPECT_TRUE(scene->IsCalendarShown());
    EXPECT_EQ(scene->GetLiveState().dayValue, 14);
    ClickUntil("一ページ目");
    EXPECT_EQ(At(600, 20), kBlue);
    EXPECT_EQ(At(5, 5), 0x808080u) << "the calendar";
    EXPECT_EQ(At(320, 250), kWhite) << "the character on layer 1";
    ClickUntil("続き");
    scene->OnLButtonUp(9, 9);
    EXPECT_LT(RunUntilR13(), 60);
    EXPECT_EQ(scene->GetRegister(6), 102u) << "each sub frame went on from its own return pc";
    EXPECT_EQ(Global(), 77u);

    // Saved again at once, the load's own state is what the slot gets.
    ASSERT_TRUE(scene->Load(4));
    ASSERT_TRUE(scene->Save(5));
    Restart();
    ASSERT_TRUE(scene->Load(5));
    EXPECT_EQ(Local(), 2u);
    EXPECT_EQ(scene->GetRegister(5), 42u);
}

TEST_F(SaveStateTest, SaveBeforeAnyPageResumesAtTheStart) {
    Play(kStory);
    ASSERT_TRUE(scene->Save(0));
    Restart();
    ASSERT_TRUE(scene->Load(0));
    EXPECT_EQ(scene->GetPc(), 0u);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 1);
    EXPECT_EQ(RunUntilR13(300), 300) << "runs from the start up to the first click wait";
    EXPECT_TRUE(Shows("一ページ目"));
}

// One damaged field a row; the load is refused with the error and the scene stays as it was.
TEST_F(SaveStateTest, DamagedSlotIsRefusedWithoutAChange) {
    using Bytes = std::vector<unsigned char>;
    using Record = fixtures::SceneStateData;
    using Script = fixtures::ScriptStateData;
    struct Row {
        const char* name;
        std::function<void(Record&)> record;
        std::function<void(Script&)> script;
        std::function<void(Bytes&)> blob;
    };
    const std::string longName(18, 'x');
    const Row rows[] = {
        {"speaker_name", [&](Record& r) { r.speakerName = longName; }},
        {"voice_name", [&](Record& r) { r.voiceName = longName; }},
        {"bgm_name", [&](Record& r) { r.bgmName = longName; }},
        {"loop_se1_name", [&](Record& r) { r.loopSe1Name = longName; }},
        {"loop_se2_name", [&](Record& r) { r.loopSe2Name = longName; }},
        {"layer_name", [&](Record& r) { r.layers[7].pictureName = longName; }},
        {"day_value", [](Record& r) { r.dayValue = 32; }},
        {"font_size", [](Record& r) { r.fontSize = 5; }},
        {"effect", [](Record& r) { r.effect = 72; }},
        {"window_flag", [](Record& r) { r.windowShown = 2; }},
        {"calendar_flag", [](Record& r) { r.calendarShown = 2; }},
        {"layer_visible", [](Record& r) { r.layers[0] = {0, 0, 0, 2, 0, "bg"}; }},
        {"layer_color_key", [](Record& r) { r.layers[1] = {0, 0, 0, 1, 3, "chara"}; }},
        {"layer_filter", [](Record& r) { r.layers[0] = {0, 0, 3, 1, 0, "bg"}; }},
        {"layer_picture_unknown", [](Record& r) { r.layers[2] = {0, 0, 0, 1, 0, "nosuch"}; }},
        {"frame_count_zero", {}, [](Script& s) { s.frames.clear(); }},
        {"frame_block_unknown", {}, [](Script& s) { s.frames[1].blockName = "nosuch"; }},
        {"frame_block_unterminated", {}, [](Script& s) { s.frames[1].blockName = std::string(17, 's'); }},
        {"first_frame_not_block_0", {}, [](Script& s) { s.frames.erase(s.frames.begin()); }},
        {"block_not_resident_twice",
         {},
         [](Script& s) {
             s.frames = {s.frames[0], {"leaf"}, {"leaf"}};
         }},
        {"local_size", {}, [](Script& s) { s.frames[1].localArea.push_back(0); }},
        {"saved_length", {}, [](Script& s) { s.savedData.push_back(0); }},
        {"return_pc_past_code", {}, [](Script& s) { s.frames[0].returnPc = 10000; }},
        {"resume_pc_not_last_frame", {}, [](Script& s) { s.resumePc = 1; }},
        {"total_size", {}, {}, [](Bytes& b) { fixtures::le::Put32(b, 5, 1000); }},
        {"saved_offset", {}, {}, [](Bytes& b) { fixtures::le::Put32(b, 9, 16); }},
        {"entries_past_the_end",
         {},
         {},
         [](Bytes& b) { b = {255, 0, 0, 0, 0, 17, 0, 0, 0, 0xF4, 0x1C, 0, 0, 4, 0, 0, 0}; }},
        {"local_offset", {}, {}, [](Bytes& b) { fixtures::le::Put32(b, 17 + 29 + 17, 0); }},
        {"blob_longer", {}, {}, [](Bytes& b) { b.push_back(0), fixtures::le::Put32(b, 5, b.size()); }},
    };
    const Script baseline{0, {5, 0, 0, 0}, {{"main", {}, 0}, {"sub", {7, 0, 0, 0}, 0}}};
    Play(kStory);
    ClickUntil("一ページ目");
    const DWORD pc = scene->GetPc(), r5 = scene->GetRegister(5), local = Local();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Record record;
        Script script = baseline;
        if (row.record) row.record(record);
        if (row.script) row.script(script);
        Bytes blob = fixtures::ScriptStateBytes(script);
        if (row.blob) row.blob(blob);
        fixtures::WriteFileBytes(dir.File(fixtures::SlotFileName(9)),
                                 fixtures::SlotFileBytes(fixtures::SceneStateBytes(record), blob));
        std::remove(dir.File("errmes.log").c_str());
        EXPECT_FALSE(scene->Load(9));
        EXPECT_NE(Log().find(platform::Utf8ToSjis("ロードに失敗しました")), std::string::npos);
        EXPECT_EQ(scene->GetPc(), pc);
        EXPECT_EQ(scene->GetRegister(5), r5);
        EXPECT_EQ(Local(), local);
        EXPECT_EQ(Global(), 5u);
        EXPECT_EQ(scene->GetCallStack().GetCount(), 3);
        EXPECT_STREQ(g_pScreen->GetLayer(0)->GetName(), "bg");
    }
    fixtures::WriteFileBytes(
        dir.File(fixtures::SlotFileName(9)),
        fixtures::SlotFileBytes(fixtures::SceneStateBytes({}), fixtures::ScriptStateBytes(baseline)));
    EXPECT_TRUE(scene->Load(9)) << "the rows' slot undamaged";
}

// A weekday or time of day the calendar has no picture for is ignored, as from a script: the load goes
// on and the scene, and the record its next save writes, keep what they had.
TEST_F(SaveStateTest, CalendarValuesBeyondItsPicturesInASaveAreIgnored) {
    struct Row {
        const char* name;
        BYTE weekday, timeOfDay;         // in the slot
        BYTE liveWeekday, liveTimeOfDay; // after the load
    };
    const Row rows[] = {
        {"both_shown", 3, 2, 3, 2},
        {"weekday_10", 10, 2, 5, 2},
        {"time_of_day_4", 3, 4, 3, 1},
        {"both_255", 255, 255, 5, 1},
    };
    const fixtures::ScriptStateData script{0, {5, 0, 0, 0}, {{"main", {}, 0}, {"sub", {7, 0, 0, 0}, 0}}};
    Play(kStory);
    ClickUntil("一ページ目");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        scene->SetWeekday(5);
        scene->SetTimeOfDay(1);
        fixtures::SceneStateData record;
        record.weekday = row.weekday;
        record.timeOfDay = row.timeOfDay;
        fixtures::WriteFileBytes(
            dir.File(fixtures::SlotFileName(9)),
            fixtures::SlotFileBytes(fixtures::SceneStateBytes(record), fixtures::ScriptStateBytes(script)));
        EXPECT_TRUE(scene->Load(9));
        EXPECT_EQ(scene->GetLiveState().weekday, row.liveWeekday);
        EXPECT_EQ(scene->GetLiveState().timeOfDay, row.liveTimeOfDay);
    }
    EXPECT_EQ(Log(), "");
}

// A save made while the choices are offered loads with the window as the player saw it over them. Kept
// up, it comes back with the page's lines; hidden by the script before the choices, it stays hidden, and
// the script's own "show window" after the choice brings it back. Either way the page after the choice
// waits for its click in the window. A backlog opened over the choices only lends them the window.
TEST_F(SaveStateTest, SaveOverTheChoicesLoadsWithTheWindowAsItWas) {
    const struct Row {
        const char* name;
        bool hiddenForChoices, backlogOpen;
    } rows[] = {{"window kept up over the choices", false, false},
                {"window hidden before the choices", true, false},
                {"window hidden, the backlog open over the choices", true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string hide = row.hiddenForChoices ? " cmd 2, 8\n" : "";
        const std::string show = row.hiddenForChoices ? " cmd 2, 7\n" : "";
        PlayMain(" cmd 2, 7\n cmd 2, 0, \"前の頁\"\n cmd 2, 6\n cmd 2, 0, \"どうする？\"\n" + hide +
                 " cmd 2, 2, \"はい\", =1\n cmd 2, 2, \"いいえ\", =2\n cmd 2, 3\n" + show +
                 " cmd 2, 6\n cmd 2, 0, \"あとのページ##\"");
        Frames(20, 50);
        ASSERT_EQ(scene->GetSceneMode(), CGameScene::kModeChoices);
        if (row.backlogOpen) {
            scene->OnWheelUp();
            ASSERT_TRUE(scene->IsBacklogOpen());
            ASSERT_TRUE(scene->IsWindowShown());
        }
        ASSERT_TRUE(scene->Save(6));
        Restart();
        ASSERT_TRUE(scene->Load(6));
        Frame(50);
        EXPECT_EQ(scene->IsWindowShown(), !row.hiddenForChoices) << "the window as the save recorded it";
        for (int i = 0; i < 20 && scene->GetSceneMode() != CGameScene::kModeChoices; ++i)
            Frame(50);
        ASSERT_EQ(scene->GetSceneMode(), CGameScene::kModeChoices) << "the choices are offered again";
        EXPECT_TRUE(scene->GetMessageWindow()->AreChoicesVisible());
        EXPECT_EQ(scene->IsWindowShown(), !row.hiddenForChoices);
        EXPECT_EQ(scene->GetMessageWindow()->IsVisible(), row.hiddenForChoices ? 0 : 1);
        if (!row.hiddenForChoices) {
            EXPECT_TRUE(Shows("どうする？")) << "the page's lines";
        }

        scene->OnMouseMove(100, 220);
        scene->OnLButtonDown(100, 220);
        scene->OnLButtonUp(100, 220);
        ASSERT_EQ(scene->GetRegister(0), 2u);
        EXPECT_EQ(RunUntilR13(), 60) << "the page after the choice waits for its click";
        EXPECT_TRUE(Shows("あとのページ"));
        EXPECT_TRUE(scene->IsWindowShown());
        EXPECT_EQ(scene->GetMessageWindow()->IsVisible(), 1);
        EXPECT_EQ(scene->GetMessageWindow()->GetState(), CMessageWindow::kStateClickWait);
        scene->OnLButtonUp(9, 9);
        EXPECT_LT(RunUntilR13(), 60);
    }
}

TEST_F(SaveStateTest, ReadMarksOutliveTheProgramAndAutoModeStopsAtUnreadText) {
    std::string pages = ".block main\n cmd 2, 7\n";
    for (const char* text : {"一", "二", "三"})
        pages += std::string(" cmd 2, 0, \"") + text + "##\"\n cmd 2, 1\n";
    const auto script = Assemble(kTables + pages + " mov r13, #1\n host 99, 0\n");
    fixtures::WriteFileBytes(dir.File("at"), script.readTextSeed);
    g_pSaveData->LoadSystemFile();
    ASSERT_EQ(LoadBytes(script.file), 1);
    ClickUntil("三");
    Restart();
    SetAutoMode(1);
    Frames(40, 50);
    EXPECT_TRUE(Shows("三")) << "the read pages went by at skip speed";
    EXPECT_FALSE(IsReadSkip()) << "and the unread one stops it";
    EXPECT_EQ(scene->GetRegister(13), 0u);
}
} // namespace
} // namespace scene_test
