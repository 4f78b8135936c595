// A game scene on the demo game's own folder, headless, as the game object runs one: the settings,
// DirectDraw and a back buffer, the transitions, the graphic archive, the compositor with the title's
// curtain on its background layer, the sound manager and fresh save data, on the manual clock with the
// pinned font. A test makes its scene from one of the two scenarios and drives it frame by frame.
#pragma once

#include "DemoFolder.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"
#include "tools/fixtures/HeadlessGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

namespace demo_test {
// Kana's name plate, the same wherever she speaks, and everyone else's.
inline constexpr std::tuple<int, int, int> kKanaName = {255, 170, 200}, kOtherNames = {255, 255, 255};

class DemoSceneFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        namespace pt = platform::testing;
        game = DemoFolder();
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
        // The title, and the extras before a replay, leave the curtain on the background layer.
        g_pScreen->LoadLayer(0, "sg001", 1, 0, 0, 0);
    }

    void TearDown() override {
        scene.reset();
        fixtures::ReleaseHeadlessGame(window, &back, dd);
        DestroyConfig();
        ResetRunState();
    }

    // A new scene on the scenario of the demo folder ("main.sct" or "scene.sct").
    void NewScene(const char* scenario) {
        scene = std::make_unique<CGameScene>();
        ASSERT_EQ(scene->LoadScript(g_pConfig->GetScenarioPath(scenario)), 1);
    }

    // One frame as the game object runs the scene: sound fades, the scene unless a transition runs,
    // the compositor, and the drawing.
    void Frame(DWORD ms) {
        platform::testing::AdvanceClock(ms);
        g_pSoundManager->Update();
        if (!g_pTransition->IsRunning()) scene->Run(nullptr);
        g_pScreen->Update();
        scene->FlushUpdateRect();
        g_pScreen->Draw(back->GetSurface());
        scene->Draw(back->GetSurface());
        AddUpdateRect(nullptr);
    }
    void Click(POINT p) {
        scene->OnMouseMove(p.x, p.y);
        scene->OnLButtonDown(p.x, p.y);
        scene->OnLButtonUp(p.x, p.y);
    }
    bool AtClickWait() const {
        return scene->GetSceneMode() == CGameScene::kModeText &&
               scene->GetMessageWindow()->GetState() == CMessageWindow::kStateClickWait;
    }
    // The picture on the background layer, or "".
    static std::string Background() {
        const CLayer* layer = g_pScreen->GetLayer(0);
        return layer && layer->GetName() ? layer->GetName() : "";
    }

    const fixtures::TempDir* game = nullptr;
    IDirectDraw* dd = nullptr;
    HWND window = nullptr;
    std::unique_ptr<CDDrawSurface> back;
    std::unique_ptr<CGameScene> scene;
};
} // namespace demo_test
