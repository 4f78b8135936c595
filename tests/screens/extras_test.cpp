// The extras: the pointer over each sub-screen, the CG viewer and its slide show, the scene replay.
#include "ExtrasFixture.h"

#include "app/RunState.h"
#include "screens/EndingMode.h"
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/mkdemo/Scenario.h"

#include <cstring>
#include <tuple>

namespace screens_test {
namespace {
// Menu items, with "none" for rows that stay in the menu; then places of the gallery, the scene list and
// the sound room.
constexpr POINT kNone = {-1, -1}, G = kGalleryItem, L = kSceneItem, R = kSoundItem, kMenuBack = {260, 430};
constexpr POINT kSlides = {150, 370}, kGalleryBack = {30, 450}, kPage1 = {70, 180}, kPage10 = {120, 296};
constexpr POINT kScene0 = {300, 45}, kLowerTab = {20, 160}, kHigherTab = {20, 210}, kListBack = {20, 440};
constexpr POINT kPrevious = {20, 140}, kPlay = {130, 128}, kNext = {200, 140}, kRoomBack = {550, 440};
constexpr POINT kMiddle = {320, 240};
constexpr auto P = PictureColour;
constexpr auto A = SceneArtColour;
constexpr auto T = ThumbColour;
constexpr auto C = CgColour;
constexpr auto Band = [](int t) { return SheetAt(10, 26 * t + 5); };
const std::vector<Step> kSlideShow = {{kClick, kSlides}, {kClick, Cell(2)}};

// The scene replayed: its own music for three seconds.
constexpr const char* kReplayScript = R"(.sound bgm03, "bgm03.ogg", bgm
.block replay
    cmd 20, 0, "bgm03", =1
    cmd 5, 0, =30
    ret
)";

using ExtrasTest = ExtrasFixture;

// Each row opens the extras with the music "bgm01" and a looping effect playing, CG and scene 0 (or those
// given) seen, enters a sub-screen by its menu item and takes the steps.
TEST_F(ExtrasTest, EachSubScreenAnswersThePointer) {
    struct Row {
        const char* name;
        POINT item;
        std::vector<Step> steps;
        const char* sound;
        int subScreen;
        POINT at;
        DWORD shows;
        std::vector<int> seen = {0};
        const char* plays = "bgm01 sl_rain"; // at the end, of "bgm01", "bgm08" and "sl_rain"
    };
    const Row rows[] = {
        {"menu_hover", kNone, {{kMove, G}}, "Se000", 0, {314, 150}, SheetAt(10, 6)},
        {"menu_back_keeps_bgm01", kNone, {{kClick, kMenuBack}}, "Se002", 6, {266, 432}, P(50)},
        {"gallery_unseen", G, {{kMove, Cell(1)}}, "", 1, Cell(1), P(52)},
        {"gallery_hover_seen", G, {{kMove, Cell(0)}}, "Se000", 1, Cell(0), T(0, 0, 1)},
        {"gallery_press_seen", G, {{kDown, Cell(0)}}, "", 1, Cell(0), T(0, 0, 2)},
        {"gallery_hover_back", G, {{kMove, kGalleryBack}}, "Se000", 1, {20, 440}, SheetAt(228, 80)},
        {"gallery_click_unseen", G, {{kClick, Cell(1)}}, "Se001", 1, Cell(1), P(52), {0}, "bgm01"},
        {"gallery_slide_show_on", G, {{kClick, kSlides}}, "Se001", 1, {110, 360}, SheetAt(228, 40)},
        {"gallery_unpressed_up",
         G,
         {{kClick, Cell(0)}, {kRight}, {kUp, Cell(0)}},
         "Se001",
         1,
         Cell(0),
         T(0, 0, 0)},
        {"gallery_back", G, {{kClick, kGalleryBack}}, "Se002", 0, {10, 10}, P(50)},
        {"page_1_art", G, {{kClick, kPage1}}, "Se001", 1, kPage1, SheetAt(64, 6)},
        {"page_11_art_to_its_foot", G, {{kClick, kPage10}}, "Se001", 1, {120, 344}, SheetAt(120, 170)},
        {"page_1_seen", G, {{kClick, kPage1}}, "Se001", 1, Cell(6), T(1, 6, 0), {30}},
        {"page_10_end_picture", G, {{kClick, kPage10}}, "Se001", 1, Cell(9), P(81)},
        {"page_10_no_cg",
         G,
         {{kClick, kPage10}, {kClick, Cell(9)}},
         "Se001",
         1,
         Cell(8),
         T(10, 8, 0),
         {248},
         "bgm01"},
        {"viewer_next_seen", G, {{kClick, Cell(1)}, {kEnter}}, "Se001", 2, kMiddle, C(47), {1, 47}},
        {"viewer_wraps", G, {{kClick, Cell(1)}, {kEnter}}, "Se001", 2, kMiddle, C(0), {1, 0}},
        {"viewer_only_one_seen", G, {{kClick, Cell(1)}, {kEnter}}, "Se001", 2, kMiddle, C(1), {1}},
        {"viewer_seen_since",
         G,
         {{kClick, Cell(1)}, {kSeen, {30}}, {kEnter}},
         "Se001",
         2,
         kMiddle,
         C(30),
         {1, 47}},
        {"viewer_none_left", G, {{kClick, Cell(1)}, {kForget}, {kEnter}}, "Se001", 2, kMiddle, C(1), {1}},
        {"viewer_back", G, {{kClick, Cell(1)}, {kRight}}, "Se001", 1, Cell(1), T(0, 1, 0), {1}},
        {"slides_wait", G, {kSlideShow[0], kSlideShow[1], {kWait, {4999}}}, "", 2, kMiddle, C(2), {2, 30}},
        {"slides_next", G, {kSlideShow[0], kSlideShow[1], {kWait, {5000}}}, "", 2, kMiddle, C(30), {2, 30}},
        {"slides_click",
         G,
         {kSlideShow[0], kSlideShow[1], {kWait, {5000}}, {kClick}},
         "",
         1,
         Cell(6),
         T(1, 6, 0),
         {2, 30}},
        {"list_unseen", L, {}, "", 3, kScene0, P(54), {1}},
        {"list_hover_seen", L, {{kMove, kScene0}}, "Se000", 3, kScene0, A(0, 0, 4)},
        {"list_hover_tab", L, {{kMove, kLowerTab}}, "", 3, kScene0, A(0, 0, 0)},
        {"list_hover_back", L, {{kMove, kListBack}}, "Se000", 3, kListBack, A(0, 38, 0)},
        {"list_click_unseen", L, {{kClick, kScene0}}, "", 3, kScene0, P(54), {1}},
        {"list_tab_lower", L, {{kClick, kLowerTab}}, "Se001", 3, {10, 10}, P(56)},
        {"list_page_2", L, {{kClick, kHigherTab}}, "Se001", 3, {510, 165}, A(2, 0, 0), {63}},
        {"list_back", L, {{kClick, kListBack}}, "Se002", 0, {10, 10}, P(50)},
        {"room_opens_on_track_8", R, {}, "", 5, Track(8), Band(8)},
        {"room_previous_from_0", R, {{kClick, Track(0)}, {kClick, kPrevious}}, "", 5, Track(14), Band(14)},
        {"room_next_from_14", R, {{kClick, Track(14)}, {kClick, kNext}}, "", 5, Track(0), Band(0)},
        {"room_play",
         R,
         {{kClick, Track(7)}, {kClick, kNext}, {kClick, kPlay}},
         "",
         5,
         Track(8),
         Band(8),
         {0},
         "bgm08"},
        {"room_back", R, {{kClick, kRoomBack}}, "Se002", 0, {10, 10}, P(50)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame(row.seen, row.seen);
        g_pSoundManager->PlayBGM("bgm01", 1);
        g_pSoundManager->PlayLoopSE("sl_rain", 1);
        CExtraMode x;
        x.Open();
        if (row.item.x >= 0) Click(x, row.item);
        Silence();
        Do(x, row.steps);
        Show(x);
        EXPECT_EQ(Sound(), row.sound);
        EXPECT_EQ(x.GetSubScreen(), row.subScreen);
        EXPECT_EQ(At(row.at.x, row.at.y), row.shows);
        for (const char* sound : {"bgm01", "bgm08", "sl_rain"})
            EXPECT_EQ(Playing(sound), std::strstr(row.plays, sound) != nullptr) << sound;
        if (row.subScreen == 2) {
            EXPECT_TRUE(Posted(UM_HIDECURSOR, 0));
        }
    }
}

TEST_F(ExtrasTest, ReplayEndsBackInTheListWithTheMusicOfTheExtras) {
    // Played in the sound room before the replay, the music the list resumes, and the effects setting.
    using Row = std::tuple<std::vector<Step>, const char*, int>;
    for (const auto& [soundRoom, resumed, effects] :
         {Row{{}, "bgm08", 1}, Row{{{kClick, Track(0)}, {kClick, kPlay}}, "bgm00", 0}}) {
        SCOPED_TRACE(resumed);
        StartOptions options;
        options.values.EffectSwitch = effects;
        StartGame({}, {0}, options);
        CExtraMode x;
        Enter(x, R);
        Do(x, soundRoom);
        Do(x, {{kClick, kRoomBack}, {kClick, L}});
        Silence();
        std::string error;
        ASSERT_TRUE(fixtures::WriteAssembledScript(kReplayScript, dir.File("scene.sct"), "", &error))
            << error;
        Click(x, kScene0);
        EXPECT_TRUE(x.IsReplaying());
        EXPECT_EQ(GetReplaySceneNo(), 0u);
        EXPECT_EQ(Sound(), "Se001");
        Show(x);
        EXPECT_EQ(At(10, 10), P(1)) << "the replay's curtain";
        // The replay's own music plays until its scene ends.
        g_pSoundManager->StopBGM();
        g_pSoundManager->PlayBGM("bgm03", 1);
        for (int frame = 0; frame < 100 && x.IsReplaying(); ++frame) {
            pt::AdvanceClock(100);
            x.Run();
            if (frame == 5) {
                EXPECT_TRUE(Playing("bgm03"));
            }
        }
        Show(x);
        EXPECT_EQ(x.GetSubScreen(), CExtraMode::kSceneList);
        EXPECT_EQ(At(kScene0.x, kScene0.y), A(0, 0, 0));
        EXPECT_FALSE(Playing("bgm03"));
        EXPECT_TRUE(Playing(resumed));
    }
}

// The demo game's own pictures, kept as PNGs to look at: the gallery, a replay, the list after it and the
// staff roll.
TEST_F(ExtrasTest, DemoPicturesShowTheArtWhereTheRegionsAre) {
    StartOptions options;
    for (const demo::Asset& a : demo::Catalogue())
        for (const char* prefix : {"sg0", "ed0", "at0", "bg_", "aoi", "kana", "hina"})
            if (a.archive == demo::Archive::Graphic && a.name.rfind(prefix, 0) == 0)
                options.pictures.push_back({a.name, a.build(a)});
    StartGame({0, 2, 5, 11, 20}, {0, 1, 5}, options);
    CExtraMode x;
    Enter(x, G);
    Show(x);
    const POINT frame = {Cell(2).x - 40, 9};
    const DWORD cell = At(frame.x, frame.y), back = At(kGalleryBack.x, kGalleryBack.y);
    Do(x, {{kMove, Cell(2)}});
    Show(x);
    EXPECT_NE(At(frame.x, frame.y), cell) << "the hovered thumbnail's frame";
    Do(x, {{kMove, kGalleryBack}});
    Show(x);
    EXPECT_NE(At(kGalleryBack.x, kGalleryBack.y), back) << "the hovered back button";
    Do(x, {{kMove, Cell(5)}});
    Show(x);
    SavePng("extras_gallery");
    // The demo's own "scene.sct" replays scene 1, the park; clicks go on through its text to the end.
    std::string error;
    ASSERT_TRUE(fixtures::WriteAssembledScript(demo::kSceneScenario, dir.File("scene.sct"), "", &error))
        << error;
    Do(x, {{kClick, kGalleryBack}, {kClick, L}, {kClick, {300, 67}}});
    for (int frame = 0; frame < 300 && x.IsReplaying(); ++frame) {
        pt::AdvanceClock(100);
        x.Run();
        Show(x);
        if (frame == 10) SavePng("extras_replay");
        if (frame > 10) Click(x, kMiddle);
    }
    Do(x, {{kMove, {300, 67}}});
    Show(x);
    SavePng("extras_replay_end");
    Do(x, {{kClick, kListBack}, {kClick, kMenuBack}}); // the extras take their sheets with them
    CEndingMode ending;
    pt::AdvanceClock(5800 * 3);
    for (int n = 0; n < 4; ++n)
        ending.Run();
    Show(ending);
    SavePng("ending");
}
} // namespace
} // namespace screens_test
