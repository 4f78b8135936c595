// The game scene under the game object: entered from the title once its transition is over, in the
// same pass (or only the report when "main.sct" fails), left for the title (in the same pass) and the
// ending (on the next); the return to the title.
#include "GameFixture.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "platform/text_encoding.h"
#include "screens/YesNoDialog.h"
#include "sound/SoundManager.h"

#include <algorithm>

using namespace game_test;

TEST_F(GameTest, AFailedScriptLeavesOnlyTheReport) {
    ToTitle();
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_STREQ(Background(), "sg001");
    // The title is held while the dither runs; its end and the failed scene come in one pass.
    for (int i = 0; g_pTransition->IsRunning(); ++i) {
        ASSERT_NE(Game().GetTitle(), nullptr) << i;
        Pass();
    }
    Pass();
    EXPECT_EQ(Game().GetMode(), GameModeScene);
    EXPECT_EQ(Game().GetTitle(), nullptr);
    EXPECT_EQ(Game().GetScene(), nullptr);
    EXPECT_TRUE(IsErrorStop());
    const std::string log = fixtures::ReadFileText(game.File("errmes.log"));
    EXPECT_NE(log.find(platform::Utf8ToSjis("スクリプトファイルの読み込みに失敗しました")),
              std::string::npos);
    EXPECT_EQ(Shown(600, 400), 0u);
}

// After a fatal error the frame shows the report and nothing else, in every phase: before the
// compositor exists, over the title, over a scene whose calendar is up, behind an open panel.
TEST_F(GameTest, TheReportIsAloneOnTheScreenInEveryPhase) {
    const auto withArt = [](const std::vector<std::string>& leftOut) {
        std::vector<fixtures::ArcEntryData> pictures;
        for (const auto& entry : Pictures())
            if (std::find(leftOut.begin(), leftOut.end(), entry.name) == leftOut.end())
                pictures.push_back(entry);
        return pictures;
    };
    const struct {
        const char* name;
        std::vector<std::string> leftOut;
        std::function<void(GameTest&)> reach;
        std::vector<std::string> lines; // as shown, in UTF-8
        bool markWhole = true;          // the frame checked draws the whole screen
    } rows[] = {
        {"before the compositor, the cursor picture missing",
         {"sg004"},
         [](GameTest& t) { t.StartGame(); },
         {"グラフィックの読み込みに失敗しました。", "sg004"}},
        {"over the title", {}, [](GameTest& t) { t.ToTitle(), ReportError("title"); }, {"title"}},
        {"over a scene with its calendar up",
         {},
         [](GameTest& t) { t.ToScene(".block main\n cmd 200, 3\n cmd 10, 1, \"nope\"\n ret\n"), t.Pass(); },
         {"登録されていないＩＤです", "ID = nope"}},
        {"behind the save menu",
         {},
         [](GameTest& t) { t.ToScene(), t.Game().OpenSaveMenu(), ReportError("menu", "2"); },
         {"menu", "2"}},
        // The new back buffer of a switch is drawn whole with nothing else marking it.
        {"after a switch of the display mode",
         {},
         [](GameTest& t) {
             t.ToTitle(), ReportError("switch"), t.Pass(), SwitchScreenMode(false),
                 g_DDrawCtrl.PresentFrame();
         },
         {"switch"},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ASSERT_TRUE(fixtures::WriteArc(game.File("graphic.arc"), withArt(row.leftOut)));
        row.reach(*this);
        ASSERT_TRUE(IsErrorStop());
        if (row.markWhole) {
            AddUpdateRect(GetScreenRect());
            g_DDrawCtrl.PresentFrame();
        }
        // Every line's cells hold black ink on white; every other pixel is black.
        std::vector<int> widths;
        for (const std::string& line : row.lines)
            widths.push_back(8 * static_cast<int>(platform::Utf8ToSjis(line).size()));
        int stray = 0, inked = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const RECT cells = {64, 64 + 32 * static_cast<LONG>(i), 64 + widths[i],
                                80 + 32 * static_cast<LONG>(i)};
            int white = 0, black = 0;
            for (LONG y = cells.top; y < cells.bottom; ++y)
                for (LONG x = cells.left; x < cells.right; ++x) {
                    const DWORD v = pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetBackBuffer(), x, y);
                    v == 0xFFFFFF ? ++white : v == 0 ? ++black : ++stray;
                }
            inked += white > 0 && black > 0;
        }
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const std::size_t i = y >= 64 && (y - 64) % 32 < 16 ? (y - 64) / 32 : widths.size();
                if (i < widths.size() && x >= 64 && x < 64 + widths[i]) continue;
                stray += pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetBackBuffer(), x, y) != 0;
            }
        EXPECT_EQ(stray, 0);
        EXPECT_EQ(inked, static_cast<int>(widths.size()));
    }
}

TEST_F(GameTest, ConfirmedLoadEndsWhateverModeRuns) {
    for (UINT key : {0u, static_cast<UINT>('E')}) {
        SCOPED_TRACE(key ? "extras" : "title");
        Restart();
        ToTitle();
        if (key) {
            Key(key);
            Pass();
            ASSERT_NE(Game().GetExtra(), nullptr);
        }
        Game().OpenLoadMenu();
        Game().AnswerSaveLoadMenu(1, true, 3);
        EXPECT_EQ(Game().GetMode(), GameModeScene);
        EXPECT_EQ(Game().GetPendingLoadSlot(), 3);
        EXPECT_EQ(Game().GetTitle(), nullptr);
        EXPECT_EQ(Game().GetExtra(), nullptr);
        EXPECT_EQ(Game().GetSaveLoadMenu(), nullptr);
        EXPECT_EQ(g_pScreen->GetFadeKind(), CScreen::kWhiteOut);
    }
}

TEST_F(GameTest, SceneEndsIntoTheTitleOrTheEnding) {
    struct Row {
        const char* name;
        const char* end;    // what the script does after a second
        int mode;           // after the pass in which it ends
        bool titleThatPass; // the title already made in that pass
    };
    for (const Row& row : {Row{"block returns", "ret", GameModeTitle, true},
                           Row{"ending command", "cmd 5, 3", GameModeEnding, false}}) {
        SCOPED_TRACE(row.name);
        Restart();
        ToScene(std::string(".block main\n cmd 5, 0, =10\n ") + row.end + "\n ret\n");
        EXPECT_EQ(Game().GetTitle(), nullptr);
        PassUntilMode(row.mode, 100);
        EXPECT_EQ(Game().GetScene(), nullptr);
        EXPECT_EQ(Game().GetTitle() != nullptr, row.titleThatPass);
        EXPECT_EQ(Game().GetEnding(), nullptr);
    }
}

TEST_F(GameTest, ReturnToTitleLeavesNoLoopSoundBehind) {
    ToScene();
    g_pSoundManager->PlayLoopSE("Se002", 1);
    SetSkipMode(1);
    Game().OnKeyUp(VK_MENU);
    Click(g_BarButtonRects[BarTitle].left + 5, 10);
    EXPECT_EQ(Game().GetDialogKind(), CYesNoDialog::kReturnToTitle);
    Game().AnswerConfirmDialog(1, CYesNoDialog::kReturnToTitle);
    EXPECT_EQ(Game().GetScene(), nullptr);
    EXPECT_EQ(Game().GetMode(), GameModeTitle);
    EXPECT_STREQ(Background(), "sg001");
    EXPECT_TRUE(g_pTransition->IsRunning());
    EXPECT_FALSE(IsSkipping());
    PassWhileTransition();
    Pass();
    ASSERT_NE(Game().GetTitle(), nullptr);
    // A panel closed in the title brings back nothing of the scene's loop sound.
    NewSounds();
    Game().OpenConfigPanel();
    Game().AnswerConfigPanel(2);
    EXPECT_EQ(NewSounds(), Sounds{});
}
