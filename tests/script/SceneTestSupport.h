// A headless game scene: the compositor on a 32-bit display with a graphic archive, the sound
// manager with its archives on the headless mixer, the save data, and the manual clock. Scripts
// are assembled in the test and run frame by frame as the game object runs the scene.
#pragma once

#include "ScriptTestSupport.h"

#include "graphics/DDrawSurface.h"
#include "platform/ddraw.h"

#include <optional>

namespace scene_test {
// Colours of the test pictures.
inline constexpr DWORD kBlue = 0x0000FF;
inline constexpr DWORD kGreen = 0x00FF00;
inline constexpr DWORD kWhite = 0xFFFFFF;
inline constexpr DWORD kMagenta = 0xFF00FF;
inline constexpr DWORD kClockStart = 500000;

// Sample rates of the test sounds: each plays in a buffer of its own rate.
inline constexpr DWORD kBgm01 = 22050;
inline constexpr DWORD kBgm02 = 24000;
inline constexpr DWORD kRain = 11025;
inline constexpr DWORD kVoice1 = 32000;
inline constexpr DWORD kVoiceAo7 = 16000;
inline constexpr DWORD kSecretVoice = 20000;

// The tables every scenario shares: "bg" and "bg2" backgrounds on layer 0, the keyed "chara" on
// layer 1 at (220, 100), and the sounds.
inline constexpr char kTables[] = R"(
.graphic bg, "bg.bmp", 0, 0, 0, nokey
.graphic bg2, "bg2", 0, 0, 0, nokey
.graphic chara, "chara.bmp", 1, 220, 100, key
.graphic chara2, "chara", 1, 0, 0, key
.graphic blank, "none", 4, 0, 0, nokey
.graphic far, "chara", 12, 0, 0, key
.graphic below, "chara", -1, 0, 0, key
.sound bgm01, "bgm01.wav", bgm
.sound bgm02, "bgm02.wav", bgm
.sound rain, "rain.wav", se
)";

class SceneTest : public ScriptTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Assembles the tables and the text and loads them; fails the test when that does not work.
    void Play(const std::string& source);
    // Advances the clock by `ms`, then one frame as the game object runs it: the scene, the sound
    // manager, the compositor, the flush of every dirty rectangle and the drawing into the back
    // buffer.
    void Frame(DWORD ms = 0);
    void Frames(int count, DWORD ms = 0);
    DWORD At(int x, int y) const;
    // Saves the back buffer as a PNG under the build folder.
    void SavePng(const std::string& name) const;
    // The live buffer of that rate is playing.
    static bool Playing(DWORD rate);
    // The log line of a script error at the given source line of block "main".
    static std::string ErrorLine(int line, const std::string& utf8Messages);

    IDirectDraw* dd = nullptr;
    HWND window = nullptr;
    std::unique_ptr<CDDrawSurface> back;
};
} // namespace scene_test
