// The logo: its pictures and their times (across the clock's wrap too), and the title one pass after it.
#include "tests/app/GameFixture.h"

using namespace game_test;

TEST_F(GameTest, LogoShowsItsPicturesOnTimeAndTheTitleStartsOnePassLater) {
    for (DWORD clock : {100000u, 0xFFFFFFFFu - 1500}) {
        SCOPED_TRACE(clock);
        Restart();
        pt::SetClock(clock);
        StartGame();
        // Each picture as it became the background, with its time after the first pass.
        std::vector<std::pair<std::string, DWORD>> shown;
        for (int n = 0; Game().GetMode() == GameModeLogo && n < 500; ++n) {
            Pass();
            if (shown.empty() || shown.back().first != Background())
                shown.emplace_back(Background(), GetTickCount() - clock - 20);
        }
        // The deadlines count from each change's start, the fade's time included.
        const std::vector<std::pair<std::string, DWORD>> expected{
            {"sg000", 0}, {"sg002", 1000}, {"sg000", 3700}};
        ASSERT_EQ(shown.size(), expected.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].first, expected[i].first);
            EXPECT_GE(shown[i].second, expected[i].second);
            EXPECT_LT(shown[i].second, expected[i].second + 20);
        }
        EXPECT_FALSE(Game().GetCursorSprite()->m_bVisible);
        EXPECT_EQ(Shown(320, 240), kLogoDark);
        EXPECT_EQ(Game().GetTitle(), nullptr);
        Pass();
        ASSERT_NE(Game().GetTitle(), nullptr);
        EXPECT_TRUE(Game().GetCursorSprite()->m_bVisible);
        EXPECT_EQ(NewSounds(), Sounds{"bgm02"});
    }
}
