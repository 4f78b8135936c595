// The game object on a headless window and display, over a game folder written by the fixture
// writers: every picture the game object, the logo, the title, the scene, the overlays and the ending
// load (each of its own colour; the bar's and the title's sheets with a colour per cell), and the
// interface sounds and music (each at its own sample rate, so that the buffers tell which one played).
#pragma once

#include "AppFixture.h"

#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "platform/time.h"
#include "screens/TitleMode.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/WaveWriter.h"

#include <map>

namespace game_test {
using Sounds = std::vector<std::string>;
inline constexpr DWORD kKey = 0xFF00FF;
inline constexpr DWORD kLogoDark = 0x202040;  // sg000
inline constexpr DWORD kLogo = 0x3366CC;      // sg002
inline constexpr DWORD kTitleBack = 0x004400; // sg017

// Sheet colours: the bar's by row (normal, hover, pressed, disabled) and column (0-8 the buttons'
// off columns, 9 skip on, 10 auto on); the title's by item, hover or pressed.
inline DWORD BarCell(int row, int column) {
    return (0x40u + row * 0x30u) << 16 | (0x10u + column * 0x14u) << 8 | 0x99u;
}
inline DWORD TitleCell(int item, bool pressed) {
    return 0x200000u * (item + 1) | 0x1000u | (pressed ? 0xC0u : 0x40u);
}
inline const RECT& Item(int i) {
    return *CTitleMode::GetItemRect(i);
}

inline fixtures::Bytes Bmp(int w, int h, const std::function<DWORD(int, int)>& colour) {
    fixtures::PictureDesc desc{w, h, 24};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y));
    return fixtures::WriteBmp(desc);
}

// Every picture, written once a run.
inline const std::vector<fixtures::ArcEntryData>& Pictures() {
    static const int sheetColumn[] = {0, 1, 2, 3, 9, 4, 10, 5, 6, 7, 8};
    auto sheet = [](int x, int y) {
        const int i = x < 126 ? 0 : 1 + (x - 126) / 62;
        return (x == 0 && y == 143) ? kKey : BarCell(y / 36, sheetColumn[i]);
    };
    auto titleSheet = [](int x, int y) {
        const int item = y < 40 ? 0 : (y >= 80 && y < 120) ? 1 : y >= 200 ? 2 : -1;
        return (x == 0 && y == 0) ? kKey : item < 0 ? DWORD{0x808080} : TitleCell(item, x >= 128);
    };
    auto solid = [](DWORD c) { return [c](int, int) { return c; }; };
    static const std::vector<fixtures::ArcEntryData> pictures{
        {"sg000", Bmp(640, 480, solid(kLogoDark))},
        {"sg001", Bmp(640, 480, solid(0xE0E0E0))},
        {"sg002", Bmp(640, 480, solid(kLogo))},
        {"sg004", Bmp(32, 32, [](int x, int y) { return (x == 0 && y == 31) ? kKey : 0xFFFF00; })},
        {"sg005", Bmp(746, 144, sheet)},
        {"sg017", Bmp(640, 480, solid(kTitleBack))},
        {"sg018", Bmp(256, 240, titleSheet)},
        // The sheets every scene loads: the message window's and the calendar's.
        {"sg022", Bmp(596, 130, solid(0x202040))},
        {"sg023", Bmp(64, 16, solid(0xFFFF00))},
        {"sg024", Bmp(480, 80, solid(0x404040))},
        {"sg025", Bmp(306, 136, solid(0x808080))},
        // The overlays': yes/no dialog, config panel, save and load menus, status panel.
        {"sg006", Bmp(384, 512, solid(0x604020))},
        {"sg007", Bmp(88, 128, solid(0x206040))},
        {"sg010", Bmp(640, 480, solid(0x102030))},
        {"sg011", Bmp(230, 320, solid(0x203010))},
        {"sg012", Bmp(22, 22, solid(0x301020))},
        {"sg013", Bmp(640, 480, solid(0x103020))},
        {"sg014", Bmp(456, 88, solid(0x201030))},
        {"sg015", Bmp(640, 480, solid(0x302010))},
        {"sg016", Bmp(456, 88, solid(0x102010))},
        {"sg040", Bmp(640, 480, solid(0x201020))},
        {"sg041", Bmp(84, 80, solid(0x102020))},
        {"sg042", Bmp(30, 400, solid(0x202010))},
        // The staff roll's first picture and the choice grid's four.
        {"ed000", Bmp(640, 480, solid(0x102030))},
        {"sg030", Bmp(640, 480, solid(0x304030))},
        {"sg031", Bmp(100, 1328, solid(0x506050))},
        {"sg032", Bmp(386, 64, solid(0x708070))},
        {"sg033", Bmp(52, 604, solid(0x90A090))}};
    return pictures;
}

inline const std::map<DWORD, std::string>& SoundRates() {
    static const std::map<DWORD, std::string> rates{
        {8000, "Se000"}, {11025, "Se001"}, {12000, "Se002"}, {22050, "bgm02"}, {24000, "bgm01"}};
    return rates;
}

class GameTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::SetEventPump(nullptr);
        ASSERT_TRUE(fixtures::WriteArc(game.File("graphic.arc"), Pictures()));
        std::vector<fixtures::ArcEntryData> se, music;
        for (const auto& [rate, name] : SoundRates()) {
            fixtures::WaveDesc tone{1, 8, static_cast<int>(rate),
                                    fixtures::MakePcm(static_cast<int>(rate) / 2, 1, 8)};
            (name[0] == 'S' ? se : music).push_back({name, fixtures::WriteWave(tone)});
        }
        ASSERT_TRUE(fixtures::WriteArc(game.File("se.arc"), se));
        ASSERT_TRUE(fixtures::WriteArc(game.File("sound.arc"), music));
    }

  public:
    // Each row of a table starts afresh.
    void Restart() {
        TearDown();
        SetUp();
    }

    // The start-up of WinMain without its message loop.
    void StartGame(int effectSwitch = 1, int movieSwitch = 0) {
        const std::string ini = game.ProgramPath() + "Quorin.ini";
        fixtures::WriteFileText(game.File("Quorin.ini"), fixtures::DefaultSettingsIni(game.ProgramPath()));
        for (auto [key, value] :
             {std::pair{"WindowMode", 0}, {"EffectSwitch", effectSwitch}, {"MovieSwitch", movieSwitch}})
            WritePrivateProfileStringA("Config", key, std::to_string(value).c_str(), ini.c_str());
        ASSERT_TRUE(CreateConfig());
        g_pGameCtrl = new CGameCtrl;
        ASSERT_TRUE(g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL));
        ASSERT_TRUE(g_DDrawCtrl.InitDirectDraw(1));
        g_pGameCtrl->RecreateSurfaces(g_DDrawCtrl.GetDirectDrawObject());
        g_pGameCtrl->Initialize();
        Dispatch();
        NewSounds();
    }
    // From the start to the title with its menu up and no transition running.
    void ToTitle() {
        StartGame();
        PassUntilMode(GameModeTitle, 100, 100);
        Pass();
        PassWhileTransition();
        ASSERT_NE(Game().GetTitle(), nullptr);
        NewSounds();
    }
    // From the title's start item into a scene of `script` (by default one that waits a minute).
    void ToScene(const std::string& script = ".block main\n cmd 5, 0, =600\n ret\n") {
        std::string error;
        ASSERT_TRUE(fixtures::WriteAssembledScript(script, game.File("main.sct"), game.File("at"), &error))
            << error;
        ToTitle();
        Key(VK_DOWN);
        Key(VK_RETURN);
        PassWhileTransition();
        Pass();
        ASSERT_NE(Game().GetScene(), nullptr);
        NewSounds();
    }

    CGameCtrl& Game() { return *g_pGameCtrl; }
    void Key(UINT vk) {
        Game().OnKeyDown(vk);
        Game().OnKeyUp(vk);
    }
    void Click(int x, int y) {
        Game().OnMouseMove(x, y);
        Game().OnLButtonDown(x, y);
        Game().OnLButtonUp(x, y);
    }
    // Messages the program posted to itself, as the loop would dispatch them.
    void Dispatch() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    // One idle pass of the message loop, `ms` after the last.
    void Pass(DWORD ms = 20) {
        Dispatch();
        pt::AdvanceClock(ms);
        Game().Run();
        g_DDrawCtrl.PresentFrame();
    }
    void PassUntilMode(int mode, int limit = 1000, DWORD ms = 20) {
        for (int n = 0; Game().GetMode() != mode && n < limit; ++n)
            Pass(ms);
        EXPECT_EQ(Game().GetMode(), mode);
    }
    void PassWhileTransition() {
        for (int n = 0; g_pTransition->IsRunning() && n < 1000; ++n)
            Pass(50);
    }
    void StartTransition() {
        g_pScreen->SetEffect(1);
        g_pScreen->ChangeLayer(0, "sg000", 1, 0, 0, 0, -1, -1, -1, -1);
        ASSERT_TRUE(g_pTransition->IsRunning());
    }

    // The back buffer after a frame that draws the whole screen.
    DWORD Shown(int x, int y) {
        AddUpdateRect(GetScreenRect());
        g_DDrawCtrl.PresentFrame();
        return pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetBackBuffer(), x, y);
    }
    const char* Background() {
        CLayer* layer = g_pScreen->GetLayer(0);
        return layer && layer->GetName() ? layer->GetName() : "";
    }
    // The sounds started since the last call, oldest first (the device's own buffer has no name).
    Sounds NewSounds() {
        Sounds names;
        for (const pt::SoundBufferState& b : pt::SoundBuffers()) {
            if (b.id <= lastBuffer) continue;
            lastBuffer = b.id;
            if (SoundRates().count(b.format.nSamplesPerSec))
                names.push_back(SoundRates().at(b.format.nSamplesPerSec));
        }
        return names;
    }

    int lastBuffer = 0;
};
} // namespace game_test
