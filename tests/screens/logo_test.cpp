// The logo: its pictures and their times, the movie in its place, and the title after it.
#include "tests/app/GameFixture.h"

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
