// The interpreter over arbitrary bytecode in two blocks, run frame by frame with a bounded number of
// instructions per pass, host commands carried out as the scene does: on a headless display with the
// compositor and the sound manager, so that the picture and sound commands take whatever positions,
// rectangles, layers and durations the bytecode hands them, and the frames draw the result.
// fuzz-runs: 5000
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "fuzz/ScratchFolder.h"
#include "fuzz/ScriptFuzzInput.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"
#include "sound/ThreadCtrl.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/WaveWriter.h"

#include <cstdint>
#include <string>

namespace {
namespace pt = platform::testing;

fixtures::Bytes Picture(int width, int height, std::uint32_t seed) {
    return fixtures::WriteBmp(fixtures::MakeTestPicture(width, height, 24, seed));
}

fixtures::Bytes Tone(int rate) {
    return fixtures::WriteWave(fixtures::WaveDesc{1, 8, rate, fixtures::MakePcm(rate / 20, 1, 8)});
}

// The game folder and the headless world the scene runs in, made once: the picture and sound
// archives, the settings, the display with its back buffer, the sound manager and the save data.
struct World {
    World() {
        const fixtures::TempDir& dir = fuzzing::ScratchFolder();
        const fixtures::PictureDesc am = fixtures::MakeTestPicture(48, 40, 24, 7);
        fixtures::Bytes plane(static_cast<std::size_t>(am.width) * am.height);
        for (std::size_t i = 0; i < plane.size(); ++i)
            plane[i] = static_cast<std::uint8_t>(i * 37);
        fixtures::WriteArc(dir.File("graphic.arc"), {{"p0", Picture(64, 48, 1)},
                                                     {"p1", fixtures::WriteAm(am, plane)},
                                                     // The message window's and the calendar's sheets.
                                                     {"sg022", Picture(596, 130, 2)},
                                                     {"sg023", Picture(64, 16, 3)},
                                                     {"sg024", Picture(480, 80, 4)},
                                                     {"sg025", Picture(306, 136, 5)}});
        fixtures::WriteArc(dir.File("sound.arc"), {{"main", Tone(8000)}});
        fixtures::WriteArc(dir.File("se.arc"), {{"b", Tone(11025)}});
        fixtures::WriteArc(dir.File("voice.arc"), {{"b", Tone(16000)}, {"main", Tone(22050)}});

        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::UseManualClock(1000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        CThreadCtrl::SetMode(CThreadCtrl::Mode::Clocked);
        g_pConfig = new CConfig;
        const std::string folder = dir.ProgramPath();
        g_pConfig->SetSystemProgramPath(folder.c_str());
        for (auto slot : {CConfig::SystemData, CConfig::ScenarioVoice, CConfig::SaveData})
            g_pConfig->SetPath(slot, folder.c_str());
        g_pGraphicArc = new CArcFile((folder + "graphic.arc").c_str());
        DirectDrawCreate(nullptr, &dd, nullptr);
        back.CreateEmpty(dd, SIZE{640, 480});
        window = CreateHeadlessWindow(DefWindowProcA);
        CreateSoundManager(window);
        g_pSaveData = new CSaveData;
    }

    // The run-state flags, a fresh compositor and a quiet mixer for each input.
    void Reset() {
        ResetRunState();
        SetDirectDraw(dd);
        ResetUpdateRegion();
        SetRenderTarget(back.GetSurface());
        delete g_pScreen;
        g_pScreen = new CScreen;
        g_pScreen->SetEffectEnable(1);
        if (g_pSoundManager) g_pSoundManager->StopAll();
    }

    // One frame as the game object runs the scene: the sound, the compositor, then the drawing.
    void Frame(CGameScene& scene) {
        if (g_pSoundManager) g_pSoundManager->Update();
        g_pScreen->Update();
        scene.FlushUpdateRect();
        g_pScreen->Draw(back.GetSurface());
        scene.Draw(back.GetSurface());
        AddUpdateRect(nullptr);
        pt::AdvanceClock(50);
    }

    IDirectDraw* dd = nullptr;
    CDDrawSurface back;
    HWND window = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    static const std::string path = fuzzing::ScratchFolder().File("interp.sct");
    if (!fixtures::WriteFileBytes(path, fuzzing::ScriptFromFuzzInput(data, size))) return 0;
    world.Reset();
    {
        CGameScene scene;
        if (!scene.LoadScript(path.c_str())) return 0;
        scene.SetStepLimit(2000);
        for (int frame = 0; frame < 64 && !scene.IsHalted() && !scene.IsFinished(); ++frame) {
            if (scene.Execute() == 1) scene.DispatchCommand();
            world.Frame(scene);
        }
    }
    return 0;
}
