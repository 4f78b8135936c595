// The game scene under the game object: entered from the title once its transition is over, in the
// same pass (or only the report when "main.sct" fails), left for the title (in the same pass) and the
// ending (on the next); the return to the title.
#include "GameFixture.h"

#include "app/RunState.h"
#include "platform/text_encoding.h"
#include "screens/YesNoDialog.h"
#include "sound/SoundManager.h"

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
