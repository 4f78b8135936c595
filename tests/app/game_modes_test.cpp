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

TEST_F(GameTest, LogoShowsItsPicturesOnTimeAndTheTitleStartsOnePassLater) {
    StartGame();
    // When each picture first became the background, in ms after the first pass.
    std::vector<std::pair<std::string, DWORD>> shown;
    const DWORD start = GetTickCount() + 20;
    for (int n = 0; Game().GetMode() == GameModeLogo && n < 500; ++n) {
        Pass();
        if (shown.empty() || shown.back().first != Background())
            shown.emplace_back(Background(), GetTickCount() - start);
        if (shown.size() == 1) {
            EXPECT_FALSE(Game().GetCursorSprite()->m_bVisible);
        }
    }
    struct Row {
        const char* picture;
        DWORD at;
    };
    // The deadlines count from each change's start, the fade's time included.
    const Row expected[] = {{"sg000", 0}, {"sg002", 1000}, {"sg000", 3700}};
    ASSERT_EQ(shown.size(), std::size(expected));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i].first, expected[i].picture);
        EXPECT_GE(shown[i].second, expected[i].at);
        EXPECT_LT(shown[i].second, expected[i].at + 20);
    }
    EXPECT_GE(GetTickCount() - start, 5700u);
    EXPECT_EQ(Pixel(320, 240), kLogoDark);
    // The logo is gone; the title comes on the next pass, with the cursor and its music.
    EXPECT_EQ(Game().GetLogo(), nullptr);
    EXPECT_EQ(Game().GetTitle(), nullptr);
    Pass();
    ASSERT_NE(Game().GetTitle(), nullptr);
    EXPECT_TRUE(Game().GetCursorSprite()->m_bVisible);
    EXPECT_EQ(NewSounds(), std::vector<std::string>{"bgm02"});
    PassWhileTransition();
    Pass();
    EXPECT_EQ(Pixel(320, 240), kTitleBack);
}

TEST_F(GameTest, LogoDeadlinesHoldAcrossTheClockWrap) {
    pt::SetClock(0xFFFFFFFFu - 500);
    StartGame();
    Pass();
    ASSERT_STREQ(Background(), "sg000");
    // 1000 ms run past the wrap of the clock before the fade starts.
    for (int i = 0; i < 40; ++i)
        Pass();
    EXPECT_STREQ(Background(), "sg000");
    PassUntilMode(GameModeTitle);
}

TEST_F(GameTest, MovieSwitchReplacesTheLogoWithTheMovie) {
    StartGame(Settings{1, 1});
    Pass();
    EXPECT_EQ(Game().GetMode(), GameModeMovie);
    EXPECT_EQ(Game().GetLogo(), nullptr);
    EXPECT_STREQ(Background(), "");
    Pass();
    EXPECT_NE(Game().GetMovie(), nullptr);
    EXPECT_FALSE(Game().GetCursorSprite()->m_bVisible);
}

TEST_F(GameTest, TitleKeysLeadToNameEntryAndExtras) {
    struct Row {
        const char* name;
        UINT key;
        int mode;
    };
    for (const Row& row :
         {Row{"N", 'N', GameModeNameEntry}, Row{"E", 'E', GameModeExtra}, Row{"other", 'X', 3}}) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        ToTitle();
        Game().OnKeyDown(row.key);
        Game().OnKeyUp(row.key);
        EXPECT_EQ(NewSounds(),
                  row.mode == GameModeTitle ? std::vector<std::string>{} : std::vector<std::string>{"Se001"});
        EXPECT_EQ(Game().GetTitle()->Run(), row.mode);
        // Nothing else is taken once a mode was chosen.
        Game().OnKeyUp('N' + 'E' - row.key);
        EXPECT_EQ(Game().GetTitle()->Run(), row.mode);
    }
}

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
