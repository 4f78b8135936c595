// The extras' menu, the CG gallery and its viewer with the slide show.
#include "ExtrasFixture.h"

#include "app/GameCtrl.h"

namespace screens_test {
namespace {
constexpr POINT kGalleryItem = {320, 160}, kSlideSwitch = {150, 370}, kGalleryBack = {30, 450};
POINT Cell(int i) {
    return {284 + 100 * (i % 4), 48 + 78 * (i / 4)};
}

class GalleryTest : public ExtrasFixture {
  protected:
    void OpenGallery(CExtraMode& x) {
        x.Open();
        Click(x, kGalleryItem);
        ASSERT_EQ(x.GetSubScreen(), CExtraMode::kGallery);
        Silence();
    }
};

TEST_F(GalleryTest, MenuShowsItsArtAndBackKeepsOnlyTheMusicItNames) {
    struct Row {
        const char* music;
        bool playsOn;
    };
    for (const Row& row : {Row{"bgm01", true}, Row{"bgm00", false}}) {
        SCOPED_TRACE(row.music);
        StartGame();
        g_pSoundManager->PlayBGM(row.music, 1);
        CExtraMode x;
        x.Open();
        x.OnMouseMove(320, 160);
        Show(x);
        EXPECT_EQ(At(314, 150), SheetAt(10, 6)) << "hover art of the gallery item";
        EXPECT_EQ(Sound(), "Se000");
        x.OnLButtonDown(260, 430);
        Show(x);
        EXPECT_EQ(At(266, 432), SheetAt(1146, 62)) << "pressed art of back";
        x.OnLButtonUp(260, 430);
        EXPECT_EQ(x.Run(), GameModeTitle);
        EXPECT_EQ(x.GetSubScreen(), CExtraMode::kLeaving);
        EXPECT_EQ(Playing(row.music), row.playsOn);
        EXPECT_EQ(Sound(), "Se002");
    }
}

TEST_F(GalleryTest, PagesShowTheThumbnailsOfSeenCgsOnly) {
    StartGame({0, 2, 30, 248});
    CExtraMode x;
    OpenGallery(x);
    struct Row {
        const char* name;
        POINT button;
        int page, seenCell, unseenCell;
        DWORD unseenShows;
    };
    for (const Row& row : {Row{"page_0", {20, 180}, 0, 2, 1, PictureColour(52)},
                           Row{"page_1", {70, 180}, 1, 6, 7, PictureColour(52)},
                           Row{"page_10", {120, 296}, 10, 8, 9, PictureColour(81)}}) {
        SCOPED_TRACE(row.name);
        Click(x, row.button);
        Show(x);
        EXPECT_EQ(x.GetGalleryPage(), row.page);
        EXPECT_EQ(At(Cell(row.seenCell).x, Cell(row.seenCell).y), ThumbColour(row.page, row.seenCell, 0));
        EXPECT_EQ(At(Cell(row.unseenCell).x, Cell(row.unseenCell).y), row.unseenShows);
        const int p = row.page;
        EXPECT_EQ(At(row.button.x, row.button.y), SheetAt(56 * (p % 4) + 8, 58 * (p / 4) + 6)) << "page art";
        Click(x, Cell(row.unseenCell));
        EXPECT_EQ(x.GetSubScreen(), CExtraMode::kGallery) << "an unseen cell does not open";
    }
}

TEST_F(GalleryTest, PointerAndClicksOnCellsSwitchesAndStrayMaskValues) {
    using A = std::function<void(CExtraMode&)>;
    const POINT stray = {kStrayRegion.left + 5, kStrayRegion.top + 5};
    struct Row {
        const char* name;
        A act;
        const char* sound;
        int subScreen;
        POINT at;
        DWORD shows;
    };
    const Row rows[] = {
        {"hover_seen", [](CExtraMode& x) { x.OnMouseMove(284, 48); }, "Se000", 1, Cell(0),
         ThumbColour(0, 0, 1)},
        {"hover_unseen", [](CExtraMode& x) { x.OnMouseMove(384, 48); }, "", 1, Cell(1), PictureColour(52)},
        {"press_seen", [](CExtraMode& x) { x.OnLButtonDown(284, 48); }, "", 1, Cell(0), ThumbColour(0, 0, 2)},
        {"hover_back",
         [](CExtraMode& x) { x.OnMouseMove(30, 450); },
         "Se000",
         1,
         {20, 440},
         SheetAt(228, 80)},
        {"hover_stray", [=](CExtraMode& x) { x.OnMouseMove(stray.x, stray.y); }, "", 1, stray,
         PictureColour(52)},
        {"click_stray", [=](CExtraMode& x) { Click(x, stray); }, "", 1, stray, PictureColour(52)},
        {"click_unseen", [](CExtraMode& x) { Click(x, Cell(1)); }, "Se001", 1, Cell(1), PictureColour(52)},
        {"slide_show_on",
         [](CExtraMode& x) { Click(x, kSlideSwitch); },
         "Se001",
         1,
         {110, 360},
         SheetAt(228, 40)},
        {"release_without_press",
         [](CExtraMode& x) {
             Click(x, Cell(0));
             x.OnRButtonDown();
             x.OnLButtonUp(284, 48);
         },
         "Se001", 1, Cell(0), ThumbColour(0, 0, 0)},
        {"back", [](CExtraMode& x) { Click(x, kGalleryBack); }, "Se002", 0, {10, 10}, PictureColour(50)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame({0});
        CExtraMode x;
        OpenGallery(x);
        g_pSoundManager->PlayLoopSE("sl_rain", 1);
        row.act(x);
        Show(x);
        EXPECT_EQ(Sound(), row.sound);
        EXPECT_EQ(x.GetSubScreen(), row.subScreen);
        EXPECT_EQ(At(row.at.x, row.at.y), row.shows);
        EXPECT_EQ(Playing("sl_rain"), std::string(row.name) != "click_unseen") << "an unseen cell stops it";
    }
}

TEST_F(GalleryTest, ViewerFindsTheNextSeenCgByTheLiveFlags) {
    using A = std::function<void()>;
    struct Row {
        const char* name;
        std::vector<int> seen;
        A afterOpening;
        int shows;
    };
    const Row rows[] = {
        {"next_seen", {1, 47}, [] {}, 47},
        {"wraps_to_the_first", {1, 0}, [] {}, 0},
        {"the_only_seen_again", {1}, [] {}, 1},
        {"seen_since_opening", {1, 47}, [] { g_pSaveData->SetCGSeen(30); }, 30},
        {"none_left_keeps_it", {1}, [] { g_pSaveData->SetDefaults(); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame(row.seen);
        CExtraMode x;
        OpenGallery(x);
        Click(x, Cell(1));
        EXPECT_TRUE(Posted(UM_HIDECURSOR, 0));
        row.afterOpening();
        Key(x, VK_RETURN);
        Show(x);
        EXPECT_EQ(x.GetCurrentCg(), row.shows);
        EXPECT_EQ(At(320, 240), CgColour(row.shows));
    }
}

TEST_F(GalleryTest, SlideShowAdvancesEveryFiveSecondsAndAClickReturnsToTheCgsPage) {
    StartGame({2, 30, 248});
    CExtraMode x;
    OpenGallery(x);
    Click(x, kSlideSwitch);
    Click(x, Cell(2));
    for (const int expected : {2, 30, 248}) {
        pt::AdvanceClock(4999);
        x.Run();
        Show(x);
        EXPECT_EQ(At(320, 240), CgColour(expected)) << "before the five seconds are up";
        pt::AdvanceClock(1);
        x.Run();
    }
    EXPECT_EQ(x.GetCurrentCg(), 2) << "wrapped";
    pt::AdvanceClock(10000);
    x.Run();
    x.OnRButtonDown(); // leaves the slide show's viewer on CG 30, page 1
    Show(x);
    EXPECT_EQ(x.GetSubScreen(), CExtraMode::kGallery);
    EXPECT_EQ(x.GetGalleryPage(), 1);
    EXPECT_TRUE(Posted(UM_SHOWCURSOR, 0));
    EXPECT_EQ(At(Cell(6).x, Cell(6).y), ThumbColour(1, 6, 0));
    SavePng("extras_gallery");
}
} // namespace
} // namespace screens_test
