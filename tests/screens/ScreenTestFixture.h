// A headless game for the screens' tests: the program folder and its settings, a graphic archive with
// the pictures the overlays load (and those a test adds), sound archives in which sound i of kSounds
// plays at 8000 + 1000 i Hz so that the mixer tells which one plays, the display object windowed or
// full screen, the sound manager, the compositor and the manual clock.
#pragma once

#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "sound/SoundManager.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace screens_test {
namespace pt = platform::testing;

inline constexpr const char* kSounds[] = {"Se000",   "Se001",   "Se002",   "Se004",   "sl_rain", "bgm01",
                                          "svo0000", "svo0001", "svo0002", "svo0003", "svo0009", "svo0004",
                                          "svo0005", "svo0006", "bgm00",   "bgm08",   "bgm14",   "bgm03"};
// The backgrounds "sg010" and "sg040" and the snapshot have one colour each; "sg006" has one colour a
// kind over an alpha plane clear in its left third, half in the middle and opaque in the right third;
// every other picture shows SheetAt(x, y) at its (x, y): a pixel read back tells where it came from.
inline constexpr DWORD kBackground = 0x203040, kSnapshotColour = 0x4080C0;
// The top-left pixel, the colour key of keyed sheets, is magenta: no other colour of a sheet comes near.
constexpr DWORD SheetAt(int x, int y) {
    return x || y ? static_cast<DWORD>(x) << 12 | static_cast<DWORD>(y) : 0xFF00FF;
}
constexpr DWORD MessageColour(int kind) {
    return 0xE00000u >> (8 * kind);
}
// Each channel of a lies within `tolerance` of b's.
inline bool Near(DWORD a, DWORD b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

inline fixtures::Bytes Picture(int w, int h, const std::function<DWORD(int, int)>& colour,
                               bool withAlpha = false) {
    fixtures::PictureDesc desc{w, h, 24};
    fixtures::Bytes alpha;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            desc.pixels.push_back(colour(x, y));
            alpha.push_back(x < 128 ? 0 : x < 256 ? 128 : 255);
        }
    return withAlpha ? fixtures::WriteAm(desc, alpha) : fixtures::WriteBmp(desc);
}
struct SheetSize {
    const char* name;
    int width, height;
};
inline constexpr SheetSize kSheets[] = {
    {"sg011", 230, 320}, {"sg012", 22, 22}, {"sg007", 88, 128}, {"sg041", 84, 80}, {"sg042", 30, 400}};
inline const char* ArchiveOf(const std::string& sound) {
    if (sound.rfind("bgm", 0) == 0) return "sound.arc";
    return sound.rfind("svo", 0) == 0 ? "voice.arc" : "se.arc";
}
inline fixtures::Bytes Solid(DWORD colour) {
    return Picture(640, 480, [colour](int, int) { return colour; });
}

// The settings file as a fresh start lays it out, holding `v`.
inline std::string SettingsIni(const std::string& folder, const ConfigValues& v) {
    const char* keys[] = {"TextSpeed", "EffectSwitch", "WindowMode", "BgmSwitch",
                          "SESwitch",  "VoiceSwitch",  "MovieSwitch"};
    const int values[] = {v.TextSpeed, v.EffectSwitch, v.WindowMode, v.BgmSwitch,
                          v.SESwitch,  v.VoiceSwitch,  v.MovieSwitch};
    fixtures::IniSection config{"Config", {}};
    for (int i = 0; i < 7; ++i)
        config.entries.emplace_back(keys[i], std::to_string(values[i]));
    const std::string ini = fixtures::DefaultSettingsIni(folder);
    return ini.substr(0, ini.find("[Config]")) + fixtures::IniText({config});
}

// The volume of the sound of that name, or 1 when it does not play.
inline LONG VolumeOf(const std::string& name) {
    for (const auto& b : pt::SoundBuffers())
        for (DWORD i = 0; i < std::size(kSounds); ++i)
            if (name == kSounds[i] && b.format.nSamplesPerSec == 8000 + 1000 * i && b.format.nChannels == 1 &&
                b.playing)
                return b.volume;
    return 1;
}
inline bool Playing(const std::string& name) {
    return VolumeOf(name) <= 0;
}
// Stops the one-shot effect and the system voice: the next sound heard is the test's.
inline void Silence() {
    g_pSoundManager->StopSE();
    g_pSoundManager->StopSysVoice();
}
inline bool Posted(UINT msg, WPARAM wParam) {
    for (const MSG& m : pt::PendingMessages())
        if (m.message == msg && m.wParam == wParam) return true;
    return false;
}
template <typename T> void Click(T& overlay, int x, int y) {
    overlay.OnLButtonDown(x, y);
    overlay.OnLButtonUp(x, y);
}
template <typename T> void Key(T& overlay, UINT vk) {
    overlay.OnKeyDown(vk);
    overlay.OnKeyUp(vk);
}
// The pointer at a client point of the window.
inline void PointerAt(int x, int y) {
    POINT p{x, y};
    ClientToScreen(g_hWnd, &p);
    pt::SetCursorPosition(p.x, p.y);
}
// What the overlay posted to the window, as the message loop hands it on: a cursor refresh is a mouse
// move at the pointer; nothing else reaches the overlay.
template <typename T> void DeliverPosted(T& overlay) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == UM_MOUSEMOVE) overlay.OnMouseMove(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam));
}

struct StartOptions {
    pt::DisplayFormat format = pt::DisplayFormat::Xrgb32;
    bool windowed = true;                         // the mode the display is really in
    ConfigValues values = {2, 2, 2, 1, 0, 0, 0};  // the settings file's
    std::vector<fixtures::ArcEntryData> pictures; // more for the graphic archive
};

class ScreenFixture : public ::testing::Test {
  protected:
    // Ends what an earlier start made and starts afresh, so that each row of a table starts once.
    void Start(StartOptions options = {}) {
        TearDown();
        pt::UseHeadlessDisplay(options.format);
        pt::UseManualClock(100000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        pt::ResetWindowClasses();
        auto& pictures = options.pictures;
        for (const char* name : {"sg010", "sg040"})
            pictures.push_back({name, Solid(kBackground)});
        for (const auto& [name, w, h] : kSheets)
            pictures.push_back({name, Picture(w, h, SheetAt)});
        pictures.push_back({"snapshot", Solid(kSnapshotColour)});
        pictures.push_back({"sg006", Picture(
                                         384, 512, [](int, int y) { return MessageColour(y / 128); }, true)});
        ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"), pictures));
        std::map<std::string, std::vector<fixtures::ArcEntryData>> arcs;
        for (int i = 0; i < static_cast<int>(std::size(kSounds)); ++i) {
            fixtures::WaveDesc wave{1, 16, 8000 + 1000 * i};
            wave.pcm = fixtures::MakePcm(wave.rate / 5, 1, 16, static_cast<DWORD>(wave.rate));
            arcs[ArchiveOf(kSounds[i])].push_back({kSounds[i], fixtures::WriteWave(wave)});
        }
        for (const auto& [name, entries] : arcs)
            ASSERT_TRUE(fixtures::WriteArc(dir.File(name), entries));
        ASSERT_TRUE(fixtures::WriteFileText(IniPath(), SettingsIni(dir.ProgramPath(), options.values)));
        std::string folder = dir.Path();
        char* argv[] = {folder.data(), folder.data(), nullptr};
        SetProgramArguments(2, argv);
        ASSERT_TRUE(CreateConfig() && g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL) &&
                    g_pSoundManager && g_DDrawCtrl.InitDirectDraw(options.windowed));
        OpenArchives();
        g_pScreen = new CScreen;
        g_pScreen->SetEffectEnable(options.values.EffectSwitch == 1);
        pt::ClearMessages();
    }
    void TearDown() override {
        delete g_pScreen;
        g_pScreen = nullptr;
        if (IsWindow(g_hWnd)) DestroyWindow(g_hWnd);
        ResetDisplayGlobals();
        DestroySoundManager();
        CloseArchives();
        DestroyConfig();
        ResetUpdateRegion();
        ResetRunState();
        pt::ClearMessages();
        pt::UseSoundBackend(pt::SoundBackend::Automatic);
        pt::UseRealClock();
    }

    // One frame of an overlay alone: its dirty rectangle handed on, then drawn into the back buffer.
    template <typename T> void Frame(T& overlay) {
        overlay.FlushUpdateRect();
        overlay.Draw(Back());
        AddUpdateRect(nullptr);
    }
    IDirectDrawSurface* Back() const { return g_DDrawCtrl.GetBackBuffer(); }
    DWORD At(int x, int y) const { return pt::ReadSurfaceRgbAt(Back(), x, y); }
    // Keeps the back buffer as build/screens/NAME.png.
    void SavePng(const std::string& name) const {
        std::filesystem::create_directories(QUORIN_BINARY_DIR "/screens");
        EXPECT_TRUE(pt::SaveSurfacePng(Back(), QUORIN_BINARY_DIR "/screens/" + name + ".png"));
    }
    std::string IniPath() const { return dir.File("Quorin.ini"); }

    fixtures::TempDir dir;
};
} // namespace screens_test
