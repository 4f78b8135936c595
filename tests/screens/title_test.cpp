// The title: its music on entry, the items under the pointer and the keys (N and E included), and its
// surfaces after the start.
#include "tests/app/GameFixture.h"

#include "sound/SoundManager.h"

using namespace game_test;

TEST_F(GameTest, TitleMusicStartsUnlessItIsPlayingAlready) {
    struct Row {
        const char* name;
        const char* before; // the music current when the title comes
        Sounds started;
    };
    for (const Row& row : {Row{"none", nullptr, {"bgm02"}}, Row{"the title's", "bgm02", {}},
                           Row{"another", "bgm01", {"bgm02"}}}) {
        SCOPED_TRACE(row.name);
        Restart();
        StartGame();
        if (row.before) g_pSoundManager->PlayBGM(row.before, 1);
        NewSounds();
        CTitleMode title;
        EXPECT_EQ(NewSounds(), row.started);
        // Only the title's music is left.
        for (const pt::SoundBufferState& b : pt::SoundBuffers())
            if (b.playing && SoundRates().count(b.format.nSamplesPerSec)) {
                EXPECT_EQ(SoundRates().at(b.format.nSamplesPerSec), "bgm02");
            }
    }
}

TEST_F(GameTest, TitleItemsFollowPointerAndKeys) {
    // m: pointer to the item (-1 away from all), d / u: button down / up over it, k: a key pressed.
    struct Step {
        char what;
        int arg;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
        int focus;
        int art;       // the item showing art, or -1
        bool pressed;  // its pressed art, else its hover art
        Sounds sounds; // played by the last step
        int next;      // what Run returns
    };
    const Row rows[] = {
        {"hover", {{'m', 1}}, 1, 1, false, {"Se000"}, 3},
        {"press", {{'m', 2}, {'d', 2}}, 2, 2, true, {}, 3},
        {"release over another item", {{'m', 0}, {'d', 0}, {'m', 1}, {'u', 1}}, -1, 1, false, {}, 3},
        {"up from no focus", {{'k', VK_UP}}, 2, 2, false, {"Se000"}, 3},
        {"down from no focus", {{'k', VK_DOWN}}, 0, 0, false, {"Se000"}, 3},
        {"up wraps", {{'k', VK_UP}, {'k', VK_UP}, {'k', VK_UP}, {'k', VK_UP}}, 2, 2, false, {"Se000"}, 3},
        {"enter starts", {{'k', VK_DOWN}, {'k', VK_RETURN}}, 0, -1, false, {"Se001"}, 5},
        {"nothing after the start",
         {{'k', VK_DOWN}, {'k', VK_RETURN}, {'k', VK_UP}, {'k', 'E'}},
         0,
         -1,
         false,
         {},
         5},
        {"N to name entry", {{'k', 'N'}}, -1, -1, false, {"Se001"}, 4},
        {"E to the extras", {{'k', 'E'}}, -1, -1, false, {"Se001"}, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        ToTitle();
        Game().OnMouseMove(600, 300);
        for (const Step& s : row.steps) {
            NewSounds();
            const bool onItem = s.what != 'k' && s.arg >= 0;
            const int x = onItem ? Item(s.arg).left + 40 : 600, y = onItem ? Item(s.arg).top + 5 : 300;
            if (s.what == 'm') Game().OnMouseMove(x, y);
            if (s.what == 'd') Game().OnLButtonDown(x, y);
            if (s.what == 'u') Game().OnLButtonUp(x, y);
            if (s.what == 'k') Key(s.arg);
        }
        EXPECT_EQ(NewSounds(), row.sounds);
        EXPECT_EQ(Game().GetTitle()->GetFocus(), row.focus);
        EXPECT_EQ(Game().GetTitle()->Run(), row.next);
        if (row.next != GameModeTitle) continue;
        for (int i = 0; i < CTitleMode::kItemCount; ++i)
            EXPECT_EQ(Shown(Item(i).right - 10, Item(i).bottom - 5),
                      i == row.art ? TitleCell(i, row.pressed) : kTitleBack)
                << i;
    }
}

TEST_F(GameTest, ScreenSwitchAfterTheStartFindsNoItemSprite) {
    ToTitle();
    Key(VK_DOWN);
    Key(VK_RETURN);
    ASSERT_EQ(Game().GetTitle()->GetItemSprite(), nullptr);
    AltEnter();
    Dispatch();
    EXPECT_TRUE(pt::IsFullScreen());
    PassUntilMode(GameModeScene, 100);
}
