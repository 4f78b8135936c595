// The demo story played through the game scene from its first line to the ending, once for each
// branch of its choices, on the demo game's own archives: a player who clicks through every page,
// picks the row's choices, dresses Aoi and picks keepsakes. No script error may stop it on the way.
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"
#include "DemoFolder.h"
#include "tools/fixtures/HeadlessGame.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

namespace {
namespace pt = platform::testing;

// The top-left corner of choice box i, and of cell k of the choice grid.
POINT ChoiceBox(int i) {
    return {100, 166 + 50 * i};
}
POINT GridCell(int k) {
    static const int kX[6] = {73, 160, 247, 334, 421, 508}, kY[4] = {155, 236, 317, 398};
    return {kX[k % 6] + 20, kY[k / 6] + 20};
}
constexpr POINT kGridDecide = {540, 50};
constexpr int kCgPark = 0, kCgStreet = 167, kCgFireworks = 20;

struct StoryRow {
    const char* name;
    std::vector<int> choices; // the box picked at each choice, in order
    int costumeSteps;         // Left presses in the costume choice before OK
    std::vector<int> keepsakes;
    int cgSeen, cgUnseen;
    bool fireworks; // the programme of all 72 effects is watched
};

class DemoStoryTest : public ::testing::TestWithParam<StoryRow> {
  protected:
    void SetUp() override {
        game = demo_test::DemoFolder();
        ASSERT_NE(game, nullptr);
        ResetRunState();
        ResetUpdateRegion();
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::UseManualClock(100000);
        pt::UseFontFile(pt::kPinnedGothicFont);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        const std::string folder = game->ProgramPath();
        std::filesystem::remove_all(game->File("SaveData"));
        std::filesystem::create_directory(game->File("SaveData"));
        std::filesystem::remove(game->File("errmes.log"));
        g_pConfig = new CConfig;
        ASSERT_TRUE(g_pConfig->Load((folder + "Quorin.ini").c_str()));
        g_pConfig->SetSystemProgramPath(folder.c_str());

        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(dd, SIZE{640, 480}));
        SetRenderTarget(back->GetSurface());
        g_pTransition = new CTransition;
        ASSERT_EQ(g_pTransition->Create(g_pConfig->GetSystemDataPath("mask.arc")), 1);
        g_pGraphicArc = new CArcFile(g_pConfig->GetSystemDataPath("graphic.arc"));
        g_pScreen = new CScreen;
        g_pScreen->SetEffectEnable(1);
        window = CreateHeadlessWindow(DefWindowProcA);
        ASSERT_TRUE(CreateSoundManager(window));
        g_pSaveData = new CSaveData;
        g_pSaveData->LoadSystemFile();
        // The title leaves its curtain on the background layer for the scene.
        g_pScreen->LoadLayer(0, "sg001", 1, 0, 0, 0);
        scene = std::make_unique<CGameScene>();
        ASSERT_EQ(scene->LoadScript(g_pConfig->GetScenarioPath("main.sct")), 1);
    }

    void TearDown() override {
        scene.reset();
        fixtures::ReleaseHeadlessGame(window, &back, dd);
        DestroyConfig();
        ResetRunState();
    }

    // One frame as the game object runs the scene: sound fades, the scene unless a transition runs,
    // the compositor, and the drawing.
    void Frame(DWORD ms) {
        pt::AdvanceClock(ms);
        g_pSoundManager->Update();
        if (!g_pTransition->IsRunning()) scene->Run(nullptr);
        g_pScreen->Update();
        scene->FlushUpdateRect();
        g_pScreen->Draw(back->GetSurface());
        scene->Draw(back->GetSurface());
        AddUpdateRect(nullptr);
        if (g_pScreen->IsRunning()) effectsSeen.insert(g_pScreen->GetEffect());
    }
    void Click(POINT p) {
        scene->OnMouseMove(p.x, p.y);
        scene->OnLButtonDown(p.x, p.y);
        scene->OnLButtonUp(p.x, p.y);
    }
    void Key(UINT vk) {
        scene->OnKeyDown(vk);
        scene->OnKeyUp(vk);
    }

    // What a player does in the frame's state: a click at a click wait, the row's answers elsewhere.
    void Play(const StoryRow& row) {
        modesSeen.insert(scene->GetSceneMode());
        switch (scene->GetSceneMode()) {
        case CGameScene::kModeText:
            if (scene->GetMessageWindow()->GetState() == CMessageWindow::kStateClickWait) Click({320, 400});
            break;
        case CGameScene::kModeChoices:
            ASSERT_LT(choice, row.choices.size()) << "a choice the row does not answer";
            Click(ChoiceBox(row.choices[choice++]));
            break;
        case CGameScene::kModeCostume:
            for (int i = 0; i < row.costumeSteps; ++i)
                Key(VK_LEFT);
            Key(VK_RETURN);
            break;
        case CGameScene::kModeGrid:
            for (int k : row.keepsakes)
                Click(GridCell(k));
            Click(kGridDecide);
            break;
        default:
            break;
        }
    }

    const fixtures::TempDir* game = nullptr;
    IDirectDraw* dd = nullptr;
    HWND window = nullptr;
    std::unique_ptr<CDDrawSurface> back;
    std::unique_ptr<CGameScene> scene;
    std::size_t choice = 0;
    std::set<int> effectsSeen, modesSeen;
};

TEST_P(DemoStoryTest, ReachesTheEndingWithoutAnError) {
    const StoryRow& row = GetParam();
    // Half an hour of play at most; with the whole firework programme the story takes about nine
    // minutes at this frame rate.
    constexpr int kFrames = 30 * 60 * 25;
    int frame = 0;
    for (; frame < kFrames && scene->GetRunState() == CGameScene::kRunStay && !IsErrorStop(); ++frame) {
        Frame(40);
        Play(row);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(scene->GetRunState(), CGameScene::kRunEnding) << "after " << frame << " frames";
    EXPECT_FALSE(IsErrorStop());
    EXPECT_FALSE(std::filesystem::exists(game->File("errmes.log")))
        << fixtures::ReadFileText(game->File("errmes.log"));
    EXPECT_EQ(choice, row.choices.size()) << "every choice was offered";
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
}

void PrintTo(const StoryRow& row, std::ostream* os) {
    *os << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Branches, DemoStoryTest,
    ::testing::Values(
        StoryRow{"ParkAndTheWholeFireworkProgramme", {0, 0}, 0, {12, 21, 22}, kCgPark, kCgStreet, true},
        StoryRow{"StreetAndTalkingInstead", {1, 1}, 1, {23}, kCgStreet, kCgPark, false}),
    [](const auto& info) { return std::string(info.param.name); });
} // namespace
