// The extras' scene list with its replay, and the sound room.
#include "ExtrasFixture.h"

#include "app/RunState.h"
#include "script/GameScene.h"

namespace screens_test {
namespace {
constexpr POINT kSceneItem = {200, 240}, kSoundItem = {100, 320}, kScene0 = {300, 45};
constexpr POINT kLowerTab = {20, 160}, kHigherTab = {20, 210}, kListBack = {20, 440};
constexpr POINT kPrevious = {20, 140}, kPlay = {130, 128}, kNext = {200, 140}, kRoomBack = {550, 440};
POINT Track(int t) {
    return {348 - 20 * t, 31 + 30 * t};
}

class ExtrasScenesTest : public ExtrasFixture {
  protected:
    void Enter(CExtraMode& x, POINT item) {
        x.Open();
        Click(x, item);
        Silence();
    }
};

TEST_F(ExtrasScenesTest, SceneListShowsSeenScenesTabsAndBack) {
    using A = std::function<void(CExtraMode&)>;
    const POINT stray = {kStrayRegion.left + 5, kStrayRegion.top + 5};
    struct Row {
        const char* name;
        std::vector<int> seen;
        A act;
        const char* sound;
        int subScreen, page;
        POINT at;
        DWORD shows;
    };
    const Row rows[] = {
        {"seen_scene", {0}, [](CExtraMode&) {}, "", 3, 0, kScene0, SceneArtColour(0, 0, 0)},
        {"unseen_scene", {1}, [](CExtraMode&) {}, "", 3, 0, kScene0, PictureColour(54)},
        {"hover_seen",
         {0},
         [](CExtraMode& x) { x.OnMouseMove(300, 45); },
         "Se000",
         3,
         0,
         kScene0,
         SceneArtColour(0, 0, 4)},
        {"press_seen",
         {0},
         [](CExtraMode& x) { x.OnLButtonDown(300, 45); },
         "",
         3,
         0,
         kScene0,
         SceneArtColour(0, 0, 8)},
        {"hover_tab",
         {0},
         [](CExtraMode& x) { x.OnMouseMove(20, 160); },
         "",
         3,
         0,
         kScene0,
         SceneArtColour(0, 0, 0)},
        {"hover_back",
         {},
         [](CExtraMode& x) { x.OnMouseMove(20, 440); },
         "Se000",
         3,
         0,
         kListBack,
         SceneArtColour(0, 38, 0)},
        {"hover_stray",
         {},
         [=](CExtraMode& x) { x.OnMouseMove(stray.x, stray.y); },
         "",
         3,
         0,
         stray,
         PictureColour(54)},
        {"click_unseen", {1}, [](CExtraMode& x) { Click(x, kScene0); }, "", 3, 0, kScene0, PictureColour(54)},
        {"tab_lower",
         {},
         [](CExtraMode& x) { Click(x, kLowerTab); },
         "Se001",
         3,
         1,
         {10, 10},
         PictureColour(56)},
        {"tab_higher",
         {},
         [](CExtraMode& x) { Click(x, kHigherTab); },
         "Se001",
         3,
         2,
         {10, 10},
         PictureColour(58)},
        {"page_2_tab_lower",
         {63},
         [](CExtraMode& x) {
             Click(x, kHigherTab);
             Click(x, kLowerTab);
         },
         "Se001",
         3,
         0,
         {10, 10},
         PictureColour(54)},
        {"page_2_seen",
         {63},
         [](CExtraMode& x) { Click(x, kHigherTab); },
         "Se001",
         3,
         2,
         {510, 165},
         SceneArtColour(2, 0, 0)},
        {"back", {}, [](CExtraMode& x) { Click(x, kListBack); }, "Se002", 0, 0, {10, 10}, PictureColour(50)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame({}, row.seen);
        CExtraMode x;
        Enter(x, kSceneItem);
        row.act(x);
        Show(x);
        EXPECT_EQ(Sound(), row.sound);
        EXPECT_EQ(x.GetSubScreen(), row.subScreen);
        EXPECT_EQ(x.GetScenePage(), row.page);
        EXPECT_EQ(At(row.at.x, row.at.y), row.shows);
    }
}

TEST_F(ExtrasScenesTest, ReplayEndsBackInTheListWithTheMusicOfTheExtras) {
    struct Row {
        const char* name;
        int playedTrack; // in the sound room before the replay, -1 none
        int effects;
        const char* resumed;
    };
    for (const Row& row :
         {Row{"opening_music", -1, 1, "bgm08"}, Row{"track_played_effects_off", 0, 0, "bgm00"}}) {
        SCOPED_TRACE(row.name);
        StartOptions options;
        options.values.EffectSwitch = row.effects;
        StartGame({}, {0}, options);
        CExtraMode x;
        Enter(x, kSoundItem);
        if (row.playedTrack >= 0) {
            Click(x, Track(row.playedTrack));
            Click(x, kPlay);
        }
        Click(x, kRoomBack);
        Click(x, kSceneItem);
        Silence();
        Click(x, kScene0);
        EXPECT_TRUE(x.IsReplaying());
        EXPECT_EQ(GetReplaySceneNo(), 0u);
        EXPECT_EQ(Sound(), "Se001");
        Show(x);
        EXPECT_EQ(At(10, 10), PictureColour(1)) << "the replay's curtain";
        // The replay's own music plays until its scene ends.
        g_pSoundManager->StopBGM();
        g_pSoundManager->PlayBGM("bgm03", 1);
        for (int frame = 0; frame < 100 && x.IsReplaying(); ++frame)
            x.Run();
        Show(x);
        EXPECT_EQ(x.GetSubScreen(), CExtraMode::kSceneList);
        EXPECT_EQ(x.GetReplayScene(), nullptr);
        EXPECT_EQ(At(kScene0.x, kScene0.y), SceneArtColour(0, 0, 0));
        EXPECT_FALSE(Playing("bgm03"));
        EXPECT_TRUE(Playing(row.resumed));
    }
    SavePng("extras_replay_end");
}

TEST_F(ExtrasScenesTest, SoundRoomSelectsWrapsAndPlaysOnlyOnPlay) {
    struct Row {
        const char* name;
        std::vector<POINT> clicks;
        int track;
        const char* plays; // "" none
    };
    const Row rows[] = {
        {"opens_on_track_8", {}, 8, ""},
        {"select_does_not_play", {Track(3)}, 3, ""},
        {"previous_from_0", {Track(0), kPrevious}, 14, ""},
        {"next_from_14", {Track(14), kNext}, 0, ""},
        {"play", {Track(0), kPlay}, 0, "bgm00"},
        {"play_from_the_buttons", {Track(7), kNext, kPlay}, 8, "bgm08"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame();
        g_pSoundManager->PlayBGM("bgm01", 1);
        CExtraMode x;
        Enter(x, kSoundItem);
        for (const POINT& p : row.clicks)
            Click(x, p);
        Show(x);
        EXPECT_EQ(x.GetTrack(), row.track);
        const POINT band = Track(row.track);
        EXPECT_EQ(At(band.x, band.y), SheetAt(10, 26 * row.track + 5)) << "the band";
        for (const char* music : {"bgm00", "bgm08"})
            EXPECT_EQ(Playing(music), music == std::string(row.plays)) << music;
        EXPECT_EQ(Playing("bgm01"), !*row.plays) << "play stops every sound first";
        EXPECT_STREQ(x.GetResumeBGM(), *row.plays ? row.plays : "bgm08");
    }
}

TEST_F(ExtrasScenesTest, SoundRoomBackReturnsToTheMenu) {
    StartGame();
    CExtraMode x;
    Enter(x, kSoundItem);
    x.OnMouseMove(kRoomBack.x, kRoomBack.y);
    Show(x);
    EXPECT_EQ(At(510, 432), SheetAt(6, 420)) << "hover art of back";
    Click(x, kRoomBack);
    EXPECT_EQ(x.GetSubScreen(), CExtraMode::kMenu);
    EXPECT_EQ(Sound(), "Se002");
    EXPECT_EQ(x.GetMaskBuffer(), nullptr);
}
} // namespace
} // namespace screens_test
