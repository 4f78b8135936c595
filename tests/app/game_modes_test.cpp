// The game object's mode state machine: the logo, the title, the keys to name entry and the extras, the
// start into the game scene, and the transitions that hold the mode loop.
#include "GameFixture.h"

#include "app/ErrorReport.h"
#include "platform/text_encoding.h"
#include "screens/LogoMode.h"
#include "screens/NameEntryMode.h"
#include "screens/ExtraMode.h"
#include "script/GameScene.h"

using namespace game_test;

TEST_F(GameTest, StartWaitsForTheTransitionAndAFailedScriptLeavesOnlyTheReport) {
    ToTitle();
    const RECT* start = CTitleMode::GetItemRect(CTitleMode::kItemStart);
    Game().OnMouseMove(start->left, start->top);
    Game().OnLButtonDown(start->left, start->top);
    Game().OnLButtonUp(start->left, start->top);
    EXPECT_EQ(NewSounds(), std::vector<std::string>{"Se001"});
    ASSERT_TRUE(g_pTransition->IsRunning());
    EXPECT_STREQ(Background(), "sg001");
    // The title is held while the dither runs.
    for (int i = 0; i < 3; ++i) {
        Pass();
        EXPECT_EQ(Game().GetMode(), GameModeTitle);
        EXPECT_NE(Game().GetTitle(), nullptr);
    }
    PassWhileTransition();
    // No "main.sct": the title's end and the failed scene come in one pass.
    Pass();
    EXPECT_EQ(Game().GetMode(), GameModeScene);
    EXPECT_EQ(Game().GetTitle(), nullptr);
    EXPECT_EQ(Game().GetScene(), nullptr);
    EXPECT_TRUE(IsErrorStop());
    const std::string log = fixtures::ReadFileText(game.File("errmes.log"));
    EXPECT_NE(log.find(platform::Utf8ToSjis("スクリプトファイルの読み込みに失敗しました")), std::string::npos)
        << log;
    g_DDrawCtrl.PresentFrame();
    EXPECT_EQ(Pixel(600, 400), 0u);
}
