#include "SoundManagerFixture.h"

#include "platform/process.h"
#include "platform/testing_sound.h"
#include "platform/time.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/WaveWriter.h"

#include <filesystem>

namespace soundtest {
namespace {
std::vector<unsigned char> Tone(DWORD rate, DWORD ms) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.bits = 16;
    desc.rate = static_cast<int>(rate);
    desc.pcm = fixtures::MakePcm(static_cast<int>(rate * ms / 1000), 1, 16, rate);
    return fixtures::WriteWave(desc);
}

std::vector<unsigned char> OggTone(DWORD rate, DWORD ms) {
    const int frames = static_cast<int>(rate * ms / 1000);
    return fixtures::WriteOgg(fixtures::MakeToneSamples(frames, 1, static_cast<int>(rate)), 1,
                              static_cast<int>(rate));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}
} // namespace

void SoundManagerTest::SetUp() {
    platform::testing::UseManualClock(100000);
    platform::testing::UseSoundBackend(platform::testing::SoundBackend::Headless);
}

void SoundManagerTest::TearDown() {
    DestroySoundManager();
    DestroyConfig();
    if (window) DestroyWindow(window);
    platform::testing::ClearSoundFaults();
    platform::testing::UseSoundBackend(platform::testing::SoundBackend::Automatic);
    platform::testing::UseRealClock();
}

void SoundManagerTest::Start(Levels levels) {
    // The voices live in their own folder, as ScenarioVoicePath may name one.
    std::filesystem::create_directories(dir.Path() + "voice");
    ASSERT_TRUE(fixtures::WriteArc(dir.File("sound.arc"), {{"bgm03", Tone(kBgm03, 1000)},
                                                           {"bgm05", Tone(kBgm05, 1000)},
                                                           {"bgm07", OggTone(kBgm07, 1000)},
                                                           {"broken", {'J', 'U', 'N', 'K', 0, 0, 0, 0}}}));
    ASSERT_TRUE(fixtures::WriteArc(dir.File("se.arc"), {{"sl_rain", Tone(kLoopA, 500)},
                                                        {"sl_wind", Tone(kLoopB, 500)},
                                                        {"sl_fire", Tone(kLoopC, 500)},
                                                        {"Se001", Tone(kSe001, 100)},
                                                        {"Se002", OggTone(kSe002, 100)},
                                                        {"sebroken", {'J', 'U', 'N', 'K', 0, 0, 0, 0}}}));
    ASSERT_TRUE(fixtures::WriteArc(dir.File("voice/voice.arc"),
                                   {{"v0001", Tone(kVoice, 300)}, {"svo0000", Tone(kSysVoice, 200)}}));

    const std::string folder = dir.ProgramPath();
    std::string ini = fixtures::DefaultSettingsIni(folder);
    ini = Replace(ini, "ScenarioVoicePath=" + folder + "\r\n", "ScenarioVoicePath=" + folder + "voice\\\r\n");
    ini = Replace(ini, "BgmSwitch=4", "BgmSwitch=" + std::to_string(levels.bgm));
    ini = Replace(ini, "SESwitch=4", "SESwitch=" + std::to_string(levels.se));
    ini = Replace(ini, "VoiceSwitch=4", "VoiceSwitch=" + std::to_string(levels.voice));
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("Quorin.ini"), ini));

    std::string path = dir.Path();
    char* argv[] = {const_cast<char*>("quorin"), path.data(), nullptr};
    SetProgramArguments(2, argv);
    ASSERT_TRUE(CreateConfig());
    window = CreateHeadlessWindow(DefWindowProcA);
    ASSERT_TRUE(CreateSoundManager(window));
}

void SoundManagerTest::Frame(DWORD ms) {
    if (ms) platform::testing::AdvanceClock(ms);
    g_pSoundManager->Update();
}

std::optional<platform::testing::SoundBufferState> SoundManagerTest::Buffer(DWORD rate) {
    for (const auto& b : platform::testing::SoundBuffers())
        if (b.format.nSamplesPerSec == rate && b.format.nChannels == 1) return b;
    return std::nullopt;
}

bool SoundManagerTest::Playing(DWORD rate) {
    const auto b = Buffer(rate);
    return b && b->playing;
}

LONG SoundManagerTest::VolumeOf(DWORD rate) {
    const auto b = Buffer(rate);
    return b ? b->volume : 1;
}

int SoundManagerTest::OpenFileCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

std::string SoundManagerTest::Name(char* (CSoundManager::*getter)(char*)) {
    char buffer[CSoundManager::kNameSize] = "x";
    char* result = (sm().*getter)(buffer);
    if (!result) {
        EXPECT_STREQ(buffer, "");
        return "<null>";
    }
    EXPECT_EQ(result, buffer);
    return buffer;
}
} // namespace soundtest
