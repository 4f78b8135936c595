// The demo story played through the game scene from its first line to the ending, once for each
// branch of its choices, on the demo game's own archives: a player who clicks through every page,
// picks the row's choices, dresses Aoi and picks keepsakes. No script error may stop it on the way,
// neither in one go nor when every page is saved and loaded again before the story goes on; and at
// every click wait and choice the name plate, the pictures and the calendar agree with the words.
#include "DemoSceneFixture.h"
#include "platform/runtime.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {
using demo_test::kKanaName;
using demo_test::kOtherNames;
namespace pt = platform::testing;

// The top-left corner of choice box i, and of cell k of the choice grid.
POINT ChoiceBox(int i) {
    return {100, 166 + 50 * i};
}
POINT GridCell(int k) {
    static const int kX[6] = {73, 160, 247, 334, 421, 508}, kY[4] = {155, 236, 317, 398};
    return {kX[k % 6] + 20, kY[k / 6] + 20};
}
constexpr POINT kGridDecide = {540, 50}, kCostumeOk = {250, 440};
constexpr int kCgPark = 0, kCgStreet = 167, kCgFireworks = 20;

// The time of day each background of the story shows (0 morning, 1 noon, 2 evening, 3 night): its sky,
// or the light through its windows.
const std::map<std::string, int> kBackgroundTimes = {
    {"bg_hill", 0},   {"bg_aoi_room", 0},  {"bg_school", 1}, {"bg_school_ev", 2}, {"bg_park", 2},
    {"at000a", 2},    {"bg_street", 2},    {"ka000a", 2},    {"bg_room", 3},      {"bg_street_n", 3},
    {"bg_hill_n", 3}, {"bg_fireworks", 3}, {"at003a", 3}};
// Kana's photo is shown on this layer, Aoi on the other.
constexpr int kPhotoLayer = 6, kAoiLayer = 2;

// How the player saves while playing: never; on every page, loading each save at once; or over each
// choice the moment it is offered, loading that save at once.
enum class Saving { Never, EveryPage, OverEachChoice };

// What the screen showed at a click wait or a choice: the page's lines and the picture's checksum.
struct Shot {
    std::string page;
    std::uint64_t picture;
    bool operator==(const Shot&) const = default;
};

struct StoryRow {
    const char* name;
    std::vector<int> choices; // the box picked at each choice, in order
    int costumeSteps;         // Left presses in the costume choice before OK
    int costume;              // what Aoi wears then
    std::vector<int> keepsakes;
    int cgSeen, cgUnseen;
    bool fireworks;             // the programme of all 72 effects is watched
    const char *family, *given; // the player's names
};

class DemoStoryTest : public demo_test::DemoSceneFixture, public ::testing::WithParamInterface<StoryRow> {
  protected:
    // A frame as the game object runs it; the screen effects that ran are counted.
    void Frame(DWORD ms) {
        DemoSceneFixture::Frame(ms);
        if (g_pScreen->IsRunning()) effectsSeen.insert(g_pScreen->GetEffect());
    }
    void Key(UINT vk) {
        scene->OnKeyDown(vk);
        scene->OnKeyUp(vk);
    }
    void NewScene() { DemoSceneFixture::NewScene("main.sct"); }
    // What the game does for a save and a load of slot 1 from the bar: the scene saves; for the load it
    // is deleted (and its layers 1-9 with it) and a new one loads the slot.
    void SaveAndLoad() {
        ASSERT_TRUE(scene->Save(0));
        scene.reset();
        NewScene();
        ASSERT_TRUE(scene->Load(0));
    }
    using Page = std::pair<std::string, DWORD>; // where a load of the page's save resumes
    Page CurrentPage() const { return {scene->GetResumeBlock(), scene->GetResumePc()}; }
    // True on a page the player could save on (the bar is offered) that no earlier save was made on.
    bool NewPageToSave(Page* last) const {
        if (!scene->CanOpenMenu() || !scene->IsMenuEnabled() || g_pTransition->IsRunning()) return false;
        if (scene->GetSceneMode() == CGameScene::kModeRedisplay || scene->GetResumePc() == 0) return false;
        if (CurrentPage() == *last) return false;
        *last = CurrentPage();
        return true;
    }

    std::string PageLines() const {
        std::string page;
        for (int line = 0; line < 3; ++line)
            page += std::string(scene->GetMessageWindow()->GetGridLine(line)) + "|";
        return page;
    }
    Shot TakeShot() const {
        std::uint64_t sum = 14695981039346656037ull;
        for (DWORD pixel : pt::ReadSurfaceRgb(back->GetSurface()))
            sum = (sum ^ pixel) * 1099511628211ull;
        return {platform::SjisToUtf8(PageLines()), sum};
    }

    // What a player does in the frame's state: a click at a click wait, the row's answers elsewhere.
    // The text read at each click wait goes to `read`, and what the screen showed there and at each
    // choice to `shots`.
    void Play(const StoryRow& row, Saving saving) {
        modesSeen.insert(scene->GetSceneMode());
        if (scene->GetSceneMode() != playMode) step = 0;
        playMode = scene->GetSceneMode();
        switch (scene->GetSceneMode()) {
        case CGameScene::kModeText:
            if (scene->GetMessageWindow()->GetState() == CMessageWindow::kStateClickWait) {
                const std::string page = PageLines();
                read.push_back(page);
                CheckPage(platform::SjisToUtf8(page), row);
                shots.push_back(TakeShot());
                Click({320, 400});
            }
            break;
        case CGameScene::kModeChoices: {
            CheckTimeOfDay();
            ASSERT_LT(choice, row.choices.size()) << "a choice the row does not answer";
            const Shot shot = TakeShot();
            if (saving == Saving::OverEachChoice && savedAtChoice != choice) {
                savedAtChoice = choice;
                shotBeforeSave = shot;
                SaveAndLoad();
                break;
            }
            if (saving == Saving::OverEachChoice) {
                // Loaded, the page and its choices are back as they were offered.
                SCOPED_TRACE(shot.page);
                EXPECT_TRUE(scene->IsWindowShown() && scene->IsWindowVisible()) << "the window";
                EXPECT_TRUE(scene->GetMessageWindow()->AreChoicesVisible());
                EXPECT_EQ(shot.page, shotBeforeSave.page) << "the page's lines";
                EXPECT_EQ(shot.picture, shotBeforeSave.picture) << "the picture";
            }
            shots.push_back(shot);
            Click(ChoiceBox(row.choices[choice++]));
            break;
        }
        // One thing a frame, as a player's hand does, and nothing while the display fades in: the
        // wardrobe turned, the pointer on OK, the click; the pointer on each keepsake and on DECIDE, each
        // followed by its click.
        case CGameScene::kModeCostume:
            if (g_pTransition->IsRunning()) break;
            if (step < row.costumeSteps)
                Key(VK_LEFT);
            else if (step == row.costumeSteps)
                scene->OnMouseMove(kCostumeOk.x, kCostumeOk.y);
            else {
                Click(kCostumeOk);
                dressed = row.costume;
            }
            ++step;
            break;
        case CGameScene::kModeGrid: {
            if (g_pTransition->IsRunning()) break;
            const std::size_t target = static_cast<std::size_t>(step / 2);
            const POINT p = target < row.keepsakes.size() ? GridCell(row.keepsakes[target]) : kGridDecide;
            if (step % 2 == 0)
                scene->OnMouseMove(p.x, p.y);
            else
                Click(p);
            ++step;
            break;
        }
        default:
            break;
        }
    }

    // A page at its click wait: a line in 「」 is spoken, and the plate names the speaker, Kana's name
    // always in her colour; a page nobody speaks on has no name, also when it was loaded from a save
    // made before its first text. Her photo is up on her page about it, also when that page was loaded
    // from a save, and nowhere else.
    void CheckPage(const std::string& page, const StoryRow& row) {
        SCOPED_TRACE(page);
        // A line that wraps never leaves a closer alone at the start of the next one, whatever the names.
        static const char* const kClosers[] = {"」", "』", "）", "、", "。", "！", "？", "ー", "…"};
        for (std::size_t bar = page.find('|'); bar != std::string::npos && bar + 1 < page.size();
             bar = page.find('|', bar + 1))
            for (const char* closer : kClosers)
                EXPECT_NE(page.compare(bar + 1, std::strlen(closer), closer), 0)
                    << "a line starts with " << closer << " for " << row.family << " " << row.given;
        // Once dressed, Aoi wears the costume chosen in every picture of her.
        if (const CLayer* aoi = g_pScreen->GetLayer(kAoiLayer); dressed >= 0 && aoi && aoi->GetName()) {
            const std::string suffix = dressed == 0 ? "" : std::to_string(dressed), name = aoi->GetName();
            EXPECT_TRUE(name == "aoi_smile" + suffix || name == "aoi_shy" + suffix)
                << name << " in costume " << dressed;
        }
        const CMessageWindow& window = *scene->GetMessageWindow();
        const std::string speaker = platform::SjisToUtf8(window.GetSpeakerName());
        if (page.find("「") != std::string::npos) {
            EXPECT_FALSE(speaker.empty()) << "a spoken line without a name";
            int r = 0, g = 0, b = 0;
            window.GetNameColor(&r, &g, &b);
            EXPECT_EQ(std::tuple(r, g, b), speaker == "香奈" ? kKanaName : kOtherNames)
                << speaker << "'s plate";
        } else {
            EXPECT_EQ(speaker, "") << "a name on a page nobody speaks on";
        }
        const CLayer* photo = g_pScreen->GetLayer(kPhotoLayer);
        const bool photoShown = photo && photo->m_bVisible;
        if (page.find("写ってる") != std::string::npos) {
            EXPECT_TRUE(photoShown) << "the photo she speaks of";
        }
        if (page.find("写真") == std::string::npos) {
            EXPECT_FALSE(photoShown) << "a photo no line speaks of";
        }
        CheckTimeOfDay();
    }
    // The calendar, when shown, tells the time of day the background shows.
    void CheckTimeOfDay() {
        if (!scene->IsCalendarShown()) return;
        const CLayer* background = g_pScreen->GetLayer(0);
        const std::string name = background && background->GetName() ? background->GetName() : "";
        const auto time = kBackgroundTimes.find(name);
        ASSERT_NE(time, kBackgroundTimes.end()) << "a background of the story the table lacks: " << name;
        EXPECT_EQ(scene->GetLiveState().timeOfDay, time->second) << "the calendar over " << name;
    }

    static bool IsFullScreenDisplay(int mode) {
        return mode == CGameScene::kModeCostume || mode == CGameScene::kModeGrid;
    }
    // Left, the costume choice and the grid stay on screen whole, as the player left them, until one
    // transition takes them to the next scene; the calendar comes back only with that scene.
    void CheckLeaving() {
        const bool transition = g_pTransition->IsRunning() || g_pScreen->IsRunning();
        switch (leaving) {
        case Leaving::JustLeft:
            leftPicture = TakeShot().picture;
            leaving = Leaving::Frozen;
            break;
        case Leaving::Frozen:
            if (!transition) {
                EXPECT_EQ(TakeShot().picture, leftPicture)
                    << "the display left changes before its transition";
                break;
            }
            leaving = Leaving::Fading;
            [[fallthrough]];
        case Leaving::Fading:
            EXPECT_FALSE(scene->IsCalendarShown()) << "the calendar over the display being left";
            if (!transition) leaving = Leaving::No;
            break;
        case Leaving::No:
            break;
        }
    }

    // Plays from a new scene to the ending, half an hour of play at most (with the whole firework
    // programme the story takes about nine minutes at this frame rate). Saving on every page, each page
    // is saved as soon as the bar is offered on it and loaded at once; what was read and chosen on the
    // page before the save is forgotten, since the page plays again from its start. Returns the pages
    // saved.
    int PlayToTheEnd(const StoryRow& row, Saving saving) {
        constexpr int kFrames = 30 * 60 * 25;
        const bool reload = saving == Saving::EveryPage;
        // Each play starts as the program does, at the same time: no picture, sound, save or
        // remembered keepsake of an earlier play.
        TearDown();
        SetUp();
        if (HasFatalFailure()) return 0;
        g_pSaveData->SetFamilyName(platform::Utf8ToSjis(row.family).c_str());
        g_pSaveData->SetGivenName(platform::Utf8ToSjis(row.given).c_str());
        crt::srand(1); // the same fortune and lottery tickets each time
        choice = 0;
        savedAtChoice = SIZE_MAX;
        leaving = Leaving::No;
        dressed = -1;
        read.clear();
        shots.clear();
        NewScene();
        Page lastSaved, page;
        std::size_t readAtPageStart = 0, choiceAtPageStart = 0;
        int frame = 0, saved = 0;
        for (; frame < kFrames && scene->GetRunState() == CGameScene::kRunStay && !IsErrorStop(); ++frame) {
            Frame(40);
            if (CurrentPage() != page) {
                page = CurrentPage();
                readAtPageStart = read.size();
                choiceAtPageStart = choice;
            }
            CheckLeaving();
            if (reload && NewPageToSave(&lastSaved)) {
                SCOPED_TRACE(testing::Message()
                             << "page " << saved << " at " << page.first << "+" << page.second);
                SaveAndLoad();
                read.resize(readAtPageStart);
                choice = choiceAtPageStart;
                ++saved;
                leaving = Leaving::No;
            }
            const bool fullScreen = IsFullScreenDisplay(scene->GetSceneMode());
            Play(row, saving);
            if (fullScreen && !IsFullScreenDisplay(scene->GetSceneMode())) leaving = Leaving::JustLeft;
            if (HasFatalFailure()) return saved;
        }
        EXPECT_EQ(scene->GetRunState(), CGameScene::kRunEnding)
            << "after " << frame << " frames, " << saved << " pages saved; the last at " << page.first << "+"
            << page.second;
        EXPECT_FALSE(IsErrorStop());
        EXPECT_FALSE(std::filesystem::exists(game->File("errmes.log")))
            << fixtures::ReadFileText(game->File("errmes.log"));
        EXPECT_EQ(choice, row.choices.size()) << "every choice was offered";
        return saved;
    }

    std::size_t choice = 0;
    int playMode = -1, step = 0; // what the player is doing in the scene's mode
    int dressed = -1;            // the costume chosen, once it is
    std::vector<std::string> read;
    std::vector<Shot> shots;
    std::size_t savedAtChoice = SIZE_MAX;
    Shot shotBeforeSave;
    enum class Leaving { No, JustLeft, Frozen, Fading } leaving = Leaving::No;
    std::uint64_t leftPicture = 0;
    std::set<int> effectsSeen, modesSeen;
};

// The story in one go, then again with a save on every page, each loaded at once. A save keeps what its
// page started with (the pictures of layers 0-3, the saved data), so each page loaded goes on to the
// next without an error and the story reads the same as in one go.
TEST_P(DemoStoryTest, ReachesTheEndingInOneGoAndThroughASaveOnEveryPage) {
    const StoryRow& row = GetParam();
    PlayToTheEnd(row, Saving::Never);
    EXPECT_EQ(g_pSaveData->IsCGSeen(row.cgSeen), 1);
    EXPECT_EQ(g_pSaveData->IsCGSeen(kCgFireworks), 1);
    EXPECT_EQ(g_pSaveData->IsCGSeen(row.cgUnseen), 0);
    EXPECT_TRUE(modesSeen.count(CGameScene::kModeCostume) && modesSeen.count(CGameScene::kModeGrid));
    // The keepsakes picked are remembered for the next time the grid opens.
    for (int k = 0; k < 23; ++k) {
        const bool picked = std::find(row.keepsakes.begin(), row.keepsakes.end(), k) != row.keepsakes.end();
        EXPECT_EQ(g_pSaveData->GetRecord()->bestValues[k], picked ? 1 : -1) << "keepsake " << k;
    }
    // The programme runs every effect with a transition, 1 to 71 (0 changes at once).
    EXPECT_EQ(effectsSeen.size() >= 71, row.fireworks) << effectsSeen.size() << " effects ran";
    if (HasFailure()) return;

    const std::vector<std::string> inOneGo = read;
    const int saved = PlayToTheEnd(row, Saving::EveryPage);
    EXPECT_GT(saved, row.fireworks ? 120 : 50);
    std::size_t same = 0;
    while (same < read.size() && same < inOneGo.size() && read[same] == inOneGo[same])
        ++same;
    EXPECT_EQ(same, inOneGo.size()) << "the pages read differ from click wait " << same << " on";
    EXPECT_EQ(read.size(), inOneGo.size());
}

// A save made while the choices are offered, loaded at once: the page is back with its window, its
// lines and the choices, and after the choice every page waits for its click in the window, each
// looking as in the same play without the save.
TEST_P(DemoStoryTest, ASaveOverEachChoiceLoadsWithItsWindowAndLosesNoPage) {
    const StoryRow& row = GetParam();
    PlayToTheEnd(row, Saving::Never);
    const std::vector<Shot> inOneGo = shots;
    if (HasFailure()) return;

    PlayToTheEnd(row, Saving::OverEachChoice);
    EXPECT_EQ(savedAtChoice, row.choices.size() - 1) << "a save over every choice";
    for (std::size_t i = 0; i < std::min(shots.size(), inOneGo.size()); ++i) {
        EXPECT_EQ(shots[i].page, inOneGo[i].page) << "click wait or choice " << i;
        EXPECT_EQ(shots[i].picture, inOneGo[i].picture) << "the picture at " << inOneGo[i].page;
        if (shots[i] != inOneGo[i]) break;
    }
    EXPECT_EQ(shots.size(), inOneGo.size()) << "click waits and choices";
}

void PrintTo(const StoryRow& row, std::ostream* os) {
    *os << row.name;
}

INSTANTIATE_TEST_SUITE_P(Branches, DemoStoryTest,
                         ::testing::Values(StoryRow{"ParkAndTheWholeFireworkProgramme",
                                                    {0, 0},
                                                    0,
                                                    4,
                                                    {12, 21, 22},
                                                    kCgPark,
                                                    kCgStreet,
                                                    true,
                                                    "林",
                                                    "ゆうき"},
                                           StoryRow{"StreetAndTalkingInstead",
                                                    {1, 1},
                                                    1,
                                                    5,
                                                    {23},
                                                    kCgStreet,
                                                    kCgPark,
                                                    false,
                                                    "勅使河原",
                                                    "あさひなまい"}),
                         [](const auto& info) { return std::string(info.param.name); });
} // namespace
