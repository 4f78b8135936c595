// The game object on a headless window and display, over a game folder written by the fixture
// writers: every picture the game object, the logo and the title load (each of its own colour, the
// bar's and the title's sheets with a colour per cell), the interface sounds and the title music (each
// at its own sample rate, so that the buffers tell which one played), and the settings.
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
inline constexpr DWORD kKey = 0xFF00FF;
inline constexpr DWORD kLogoDark = 0x202040;     // sg000
inline constexpr DWORD kStartPicture = 0xE0E0E0; // sg001
inline constexpr DWORD kLogo = 0x3366CC;         // sg002
inline constexpr DWORD kCursor = 0xFFFF00;       // sg004
inline constexpr DWORD kTitleBack = 0x004400;    // sg017

// Sheet colours: the bar's cells by row (normal, hover, pressed, disabled) and column (0-8 the
// buttons' off columns, 9 skip on, 10 auto on); the title's by item and hover or pressed.
inline DWORD BarCell(int row, int column) {
    return (0x40u + row * 0x30u) << 16 | (0x10u + column * 0x14u) << 8 | 0x99u;
}
inline DWORD TitleCell(int item, bool pressed) {
    return 0x200000u * (item + 1) | 0x1000u | (pressed ? 0xC0u : 0x40u);
}

inline fixtures::Bytes Bmp(int w, int h, const std::function<DWORD(int, int)>& colour) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y));
    return fixtures::WriteBmp(desc);
}

inline fixtures::Bytes Tone(int rate) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.bits = 8;
    desc.rate = rate;
    desc.pcm = fixtures::MakePcm(rate / 2, 1, 8);
    return fixtures::WriteWave(desc);
}

// The sounds by sample rate.
inline const std::map<DWORD, std::string>& SoundRates() {
    static const std::map<DWORD, std::string> rates{
        {8000, "Se000"}, {11025, "Se001"}, {12000, "Se002"}, {22050, "bgm02"}, {24000, "bgm01"}};
    return rates;
}

struct Settings {
    int effectSwitch = 1;
    int movieSwitch = 0;
};

class GameTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        platform::SetEventPump(nullptr);
        WriteGameFolder();
    }

    void WriteGameFolder() {
        const int sheetColumn[] = {0, 1, 2, 3, 9, 4, 10, 5, 6, 7, 8};
        const int sheetLeft[] = {0, 126, 188, 250, 312, 374, 436, 498, 560, 622, 684, 746};
        auto sheet = [&](int x, int y) {
            if (x == 0 && y == 143) return kKey;
            int i = 0;
            while (x >= sheetLeft[i + 1])
                ++i;
            return BarCell(y / 36, sheetColumn[i]);
        };
        auto titleSheet = [](int x, int y) {
            if (x == 0 && y == 0) return kKey;
            const int item = y < 40 ? 0 : (y >= 80 && y < 120) ? 1 : y >= 200 ? 2 : -1;
            return item < 0 ? DWORD{0x808080} : TitleCell(item, x >= 128);
        };
        auto solid = [](DWORD c) { return [c](int, int) { return c; }; };
        ASSERT_TRUE(fixtures::WriteArc(
            game.File("graphic.arc"),
            {{"sg000", Bmp(640, 480, solid(kLogoDark))},
             {"sg001", Bmp(640, 480, solid(kStartPicture))},
             {"sg002", Bmp(640, 480, solid(kLogo))},
             {"sg004", Bmp(32, 32, [](int x, int y) { return (x == 0 && y == 31) ? kKey : kCursor; })},
             {"sg005", Bmp(746, 144, sheet)},
             {"sg017", Bmp(640, 480, solid(kTitleBack))},
             {"sg018", Bmp(256, 240, titleSheet)}}));
        std::vector<fixtures::ArcEntryData> se, music;
        for (const auto& [rate, name] : SoundRates())
            (name[0] == 'S' ? se : music).push_back({name, Tone(static_cast<int>(rate))});
        ASSERT_TRUE(fixtures::WriteArc(game.File("se.arc"), se));
        ASSERT_TRUE(fixtures::WriteArc(game.File("sound.arc"), music));
    }

    void WriteSettings(const Settings& s) {
        const std::string ini = game.ProgramPath() + "Quorin.ini";
        ASSERT_TRUE(fixtures::WriteFileText(game.File("Quorin.ini"),
                                            fixtures::DefaultSettingsIni(game.ProgramPath())));
        for (auto [key, value] :
             {std::pair{"WindowMode", 0}, {"EffectSwitch", s.effectSwitch}, {"MovieSwitch", s.movieSwitch}})
            WritePrivateProfileStringA("Config", key, std::to_string(value).c_str(), ini.c_str());
    }

    void WriteScript(const std::string& source) {
        std::string error;
        ASSERT_TRUE(fixtures::WriteAssembledScript(source, game.File("main.sct"), game.File("at"), &error))
            << error;
    }

    // The start-up of WinMain without its message loop.
    void StartGame(const Settings& s = {}) {
        WriteSettings(s);
        ASSERT_TRUE(CreateConfig());
        g_pGameCtrl = new CGameCtrl;
        ASSERT_TRUE(g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL));
        ASSERT_TRUE(g_DDrawCtrl.InitDirectDraw(1));
        g_pGameCtrl->RecreateSurfaces(g_DDrawCtrl.GetDirectDrawObject());
        g_pGameCtrl->Initialize();
        Dispatch();
        NewSounds();
    }

    CGameCtrl& Game() { return *g_pGameCtrl; }

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
    // Passes until the mode is `mode` (at most `limit` of them); the passes taken.
    int PassUntilMode(int mode, int limit = 1000) {
        int n = 0;
        while (Game().GetMode() != mode && n < limit) {
            Pass();
            ++n;
        }
        EXPECT_EQ(Game().GetMode(), mode) << "after " << n << " passes";
        return n;
    }
    void PassWhileTransition(int limit = 1000) {
        for (int n = 0; g_pTransition->IsRunning() && n < limit; ++n)
            Pass();
    }
    // From the start to the title with its menu up and no transition running.
    void ToTitle(const Settings& s = {}) {
        StartGame(s);
        PassUntilMode(GameModeTitle);
        Pass();
        PassWhileTransition();
        ASSERT_NE(Game().GetTitle(), nullptr);
        NewSounds();
    }

    DWORD Pixel(int x, int y) { return pt::ReadSurfaceRgbAt(g_DDrawCtrl.GetBackBuffer(), x, y); }
    const char* Background() {
        CLayer* layer = g_pScreen->GetLayer(0);
        return layer && layer->GetName() ? layer->GetName() : "";
    }

    // The sounds started since the last call, oldest first.
    std::vector<std::string> NewSounds() {
        std::vector<std::string> names;
        for (const pt::SoundBufferState& b : pt::SoundBuffers()) {
            if (b.id <= lastBuffer) continue;
            lastBuffer = b.id;
            // The device's own buffer plays at the mixer's rate.
            auto it = SoundRates().find(b.format.nSamplesPerSec);
            if (it != SoundRates().end()) names.push_back(it->second);
        }
        return names;
    }

    int lastBuffer = 0;
};
} // namespace game_test
