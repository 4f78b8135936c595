// The title: its music on entry, the items under the pointer and the keys, the keys to name entry and
// the extras, and its surfaces after the start.
#include "tests/app/GameFixture.h"

#include "screens/ConfigPanel.h"
#include "sound/SoundManager.h"

using namespace game_test;

namespace {
using Sounds = std::vector<std::string>;
const RECT& Item(int i) {
    return *CTitleMode::GetItemRect(i);
}
} // namespace

TEST_F(GameTest, TitleMusicStartsUnlessItIsPlayingAlready) {
    struct Row {
        const char* name;
        const char* before; // the music current when the title comes
        Sounds started;
    };
    const Row rows[] = {
        {"none", nullptr, {"bgm02"}}, {"the title's", "bgm02", {}}, {"another", "bgm01", {"bgm02"}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        StartGame();
        if (row.before) g_pSoundManager->PlayBGM(row.before, 1);
        NewSounds();
        CTitleMode title;
        EXPECT_EQ(NewSounds(), row.started);
        char name[CSoundManager::kNameSize];
        ASSERT_NE(g_pSoundManager->GetBGMName(name), nullptr);
        EXPECT_STREQ(name, "bgm02");
        // Only the title's music is left.
        for (const pt::SoundBufferState& b : pt::SoundBuffers())
            if (b.playing && SoundRates().count(b.format.nSamplesPerSec)) {
                EXPECT_EQ(SoundRates().at(b.format.nSamplesPerSec), "bgm02");
            }
    }
}

TEST_F(GameTest, TitleItemsFollowPointerAndKeys) {
    // m: pointer to the item (-1 away from all), d / u: button down / up over the item, k: a key
    // pressed and released.
    struct Step {
        char what;
        int arg;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
        int focus;
        int art;       // the item showing art, or -1
        bool pressed;  // pressed art, else hover art
        Sounds sounds; // played by the last step
        int next;      // what Run returns
    };
    const Row rows[] = {
        {"hover", {{'m', 1}}, 1, 1, false, {"Se000"}, 3},
        {"hover the same item again", {{'m', 1}, {'m', 1}}, 1, 1, false, {}, 3},
        {"pointer leaves", {{'m', 1}, {'m', -1}}, -1, -1, false, {}, 3},
        {"press", {{'m', 2}, {'d', 2}}, 2, 2, true, {}, 3},
        {"release over another item", {{'m', 0}, {'d', 0}, {'m', 1}, {'u', 1}}, -1, 1, false, {}, 3},
        {"up from no focus", {{'k', VK_UP}}, 2, 2, false, {"Se000"}, 3},
        {"down from no focus", {{'k', VK_DOWN}}, 0, 0, false, {"Se000"}, 3},
        {"up wraps", {{'k', VK_UP}, {'k', VK_UP}, {'k', VK_UP}, {'k', VK_UP}}, 2, 2, false, {"Se000"}, 3},
        {"down wraps", {{'k', VK_UP}, {'k', VK_DOWN}}, 0, 0, false, {"Se000"}, 3},
        {"enter starts", {{'k', VK_DOWN}, {'k', VK_RETURN}}, 0, -1, false, {"Se001"}, 5},
        {"nothing after the start",
         {{'k', VK_DOWN}, {'k', VK_RETURN}, {'k', VK_DOWN}, {'m', 1}},
         0,
         -1,
         false,
         {},
         5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        ToTitle();
        Game().OnMouseMove(600, 300);
        for (const Step& s : row.steps) {
            NewSounds();
            const int x = s.arg >= 0 && s.what != 'k' ? Item(s.arg).left + 40 : 600;
            const int y = s.arg >= 0 && s.what != 'k' ? Item(s.arg).top + 5 : 300;
            if (s.what == 'm') Game().OnMouseMove(x, y);
            if (s.what == 'd') Game().OnLButtonDown(x, y);
            if (s.what == 'u') Game().OnLButtonUp(x, y);
            if (s.what == 'k') {
                Game().OnKeyDown(s.arg);
                Game().OnKeyUp(s.arg);
            }
        }
        EXPECT_EQ(NewSounds(), row.sounds);
        CTitleMode* title = Game().GetTitle();
        EXPECT_EQ(title->GetFocus(), row.focus);
        EXPECT_EQ(title->Run(), row.next);
        if (row.next != 3) continue;
        g_DDrawCtrl.PresentFrame();
        for (int i = 0; i < CTitleMode::kItemCount; ++i)
            EXPECT_EQ(Pixel(Item(i).right - 10, Item(i).bottom - 5),
                      i == row.art ? TitleCell(i, row.pressed) : kTitleBack)
                << "item " << i;
    }
}

TEST_F(GameTest, TitleConfigAndQuitOpenTheirOverlays) {
    ToTitle();
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        Game().OnKeyDown(key);
        Game().OnKeyUp(key);
    }
    EXPECT_NE(Game().GetConfigPanel(), nullptr);
    Game().AnswerConfigPanel(2);
    EXPECT_EQ(Game().GetConfigPanel(), nullptr);
    const RECT& quit = Item(CTitleMode::kItemQuit);
    Game().OnLButtonDown(quit.left, quit.top);
    Game().OnLButtonUp(quit.left, quit.top);
    EXPECT_EQ(Game().GetDialogKind(), 1);
    EXPECT_EQ(Game().GetTitle()->Run(), GameModeTitle);
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

TEST_F(GameTest, ScreenSwitchAfterTheStartFindsNoItemSprite) {
    ToTitle();
    for (UINT key : {VK_DOWN, VK_RETURN}) {
        Game().OnKeyDown(key);
        Game().OnKeyUp(key);
    }
    ASSERT_EQ(Game().GetTitle()->GetItemSprite(), nullptr);
    AltEnter();
    Dispatch();
    EXPECT_TRUE(pt::IsFullScreen());
    Pass();
    PassWhileTransition();
    Pass();
    EXPECT_EQ(Game().GetMode(), GameModeScene);
}
