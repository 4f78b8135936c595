// A game folder with "sound.arc", "se.arc" and (in the voice folder) "voice.arc", the settings, the
// manual clock and the headless mixer. Every sound has its own sample rate, so a test finds the
// buffer that plays it among the mixer's buffers.
#pragma once

#include "files/Config.h"
#include "platform/testing.h"
#include "sound/SoundManager.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace soundtest {
// Sample rates of the test sounds (all mono 16-bit; the device's own silence is stereo).
inline constexpr DWORD kBgm03 = 22050;    // "bgm03", 1 s, in "sound.arc"
inline constexpr DWORD kBgm05 = 24000;    // "bgm05", 1 s
inline constexpr DWORD kBgm07 = 48000;    // "bgm07", 1 s, Ogg Vorbis
inline constexpr DWORD kLoopA = 11025;    // "sl_rain", 500 ms, in "se.arc"
inline constexpr DWORD kLoopB = 12000;    // "sl_wind", 500 ms
inline constexpr DWORD kLoopC = 16000;    // "sl_fire", 500 ms
inline constexpr DWORD kSe001 = 8000;     // "Se001", 100 ms
inline constexpr DWORD kSe002 = 44100;    // "Se002", 100 ms, Ogg Vorbis
inline constexpr DWORD kVoice = 32000;    // "v0001", 300 ms, in "voice.arc"
inline constexpr DWORD kSysVoice = 20000; // "svo0000", 200 ms

// The volume the settings level gives.
inline constexpr LONG kLevelVolume[5] = {-10000, -1800, -1100, -650, 0};

struct Levels {
    int bgm = 4;
    int se = 4;
    int voice = 4;
};

class SoundManagerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the folder and the settings, then creates the settings and the sound manager.
    void Start(Levels levels = {});
    CSoundManager& sm() { return *g_pSoundManager; }

    // Moves the manual clock (and with it the mixer), then runs one frame of the manager.
    void Frame(DWORD ms);
    // The live buffer playing the sound of that rate, if any.
    static std::optional<platform::testing::SoundBufferState> Buffer(DWORD rate);
    static bool Playing(DWORD rate);
    // Volume of the buffer of that rate; a sentinel above 0 when there is none.
    static LONG VolumeOf(DWORD rate);
    // Count of files the process has open, to see entries closed again.
    static int OpenFileCount();
    std::string Name(char* (CSoundManager::*getter)(char*));

    fixtures::TempDir dir;
    HWND window = nullptr;
};
} // namespace soundtest
