#include "SoundTestSupport.h"

#include "platform/process.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/IniWriter.h"

#include <algorithm>
#include <filesystem>

namespace soundtest {
namespace {
Bytes Tone(DWORD rate, DWORD ms) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.rate = static_cast<int>(rate);
    desc.pcm = fixtures::MakePcm(static_cast<int>(rate * ms / 1000), 1, 16, rate);
    return fixtures::WriteWave(desc);
}

Bytes OggTone(DWORD rate, DWORD ms) {
    const int r = static_cast<int>(rate);
    return fixtures::WriteOgg(fixtures::MakeToneSamples(r * static_cast<int>(ms) / 1000, 1, r), 1, r);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
}
} // namespace

void SoundManagerTest::TearDown() {
    DestroySoundManager();
    DestroyConfig();
    if (window) DestroyWindow(window);
    window = nullptr;
}

bool SoundManagerTest::Start(Levels levels, int archives) {
    TearDown();
    // The voices live in their own folder, as ScenarioVoicePath may name one.
    std::filesystem::create_directories(dir.Path() + "voice");
    const Bytes junk = {'J', 'U', 'N', 'K', 0, 0, 0, 0};
    const struct {
        int bit;
        std::string path;
        std::vector<fixtures::ArcEntryData> entries;
    } arcs[] = {
        {kSoundArc,
         "sound.arc",
         {{"bgm03", Tone(kBgm03, 1000)},
          {"bgm05", Tone(kBgm05, 1000)},
          {"bgm07", OggTone(kBgm07, 1000)},
          {"broken", junk}}},
        {kSEArc,
         "se.arc",
         {{"sl_rain", Tone(kLoopA, 500)},
          {"sl_wind", Tone(kLoopB, 500)},
          {"sl_fire", Tone(kLoopC, 500)},
          {"Se001", Tone(kSe001, 100)},
          {"Se002", OggTone(kSe002, 100)},
          {"sebroken", junk}}},
        {kVoiceArc, "voice/voice.arc", {{"v0001", Tone(kVoice, 300)}, {"svo0000", Tone(kSysVoice, 200)}}},
    };
    // An archive left out is one that cannot be read: a missing one would serve loose files.
    for (const auto& arc : arcs)
        EXPECT_TRUE((archives & arc.bit) ? fixtures::WriteArc(dir.File(arc.path), arc.entries)
                                         : fixtures::WriteFileBytes(dir.File(arc.path), junk));
    const std::string folder = dir.ProgramPath();
    std::string ini = fixtures::DefaultSettingsIni(folder);
    Replace(ini, "ScenarioVoicePath=" + folder + "\r\n", "ScenarioVoicePath=" + folder + "voice\\\r\n");
    Replace(ini, "BgmSwitch=4", "BgmSwitch=" + std::to_string(levels.bgm));
    Replace(ini, "SESwitch=4", "SESwitch=" + std::to_string(levels.se));
    Replace(ini, "VoiceSwitch=4", "VoiceSwitch=" + std::to_string(levels.voice));
    EXPECT_TRUE(fixtures::WriteFileText(dir.File("Quorin.ini"), ini));

    std::string path = dir.Path();
    char* argv[] = {const_cast<char*>("quorin"), path.data(), nullptr};
    SetProgramArguments(2, argv);
    EXPECT_TRUE(CreateConfig());
    window = CreateHeadlessWindow(DefWindowProcA);
    return CreateSoundManager(window);
}

void SoundManagerTest::Frame(DWORD ms) {
    if (ms) pt::AdvanceClock(ms);
    g_pSoundManager->Update();
}

std::optional<pt::SoundBufferState> SoundManagerTest::Buffer(DWORD rate) {
    for (const auto& b : pt::SoundBuffers())
        if (b.format.nSamplesPerSec == rate && b.format.nChannels == 1) return b;
    return std::nullopt;
}

std::string SoundManagerTest::Mix() {
    static const std::pair<DWORD, const char*> kNames[] = {
        {kBgm03, "bgm03"},   {kBgm05, "bgm05"},     {kBgm07, "bgm07"}, {kLoopA, "sl_rain"},
        {kLoopB, "sl_wind"}, {kLoopC, "sl_fire"},   {kSe001, "Se001"}, {kSe002, "Se002"},
        {kVoice, "v0001"},   {kSysVoice, "svo0000"}};
    std::string mix;
    for (const auto& b : pt::SoundBuffers()) {
        if (b.format.nChannels != 1) continue; // the device's own silence
        const auto* name = std::find_if(std::begin(kNames), std::end(kNames),
                                        [&](const auto& n) { return n.first == b.format.nSamplesPerSec; });
        mix += (mix.empty() ? "" : ", ") + std::string(name->second) + " " + std::to_string(b.volume) +
               (b.looping ? " loop" : "") + (b.playing ? "" : " stopped");
    }
    return sm().IsFading() ? mix + (mix.empty() ? "fading" : " fading") : mix;
}

std::string SoundManagerTest::Names() {
    std::string names;
    for (auto getter :
         {&CSoundManager::GetBGMName, &CSoundManager::GetLoopSEName1, &CSoundManager::GetLoopSEName2,
          &CSoundManager::GetSEName, &CSoundManager::GetVoiceName, &CSoundManager::GetSysVoiceName}) {
        // The name goes to the buffer, and the result is the buffer; with none, an empty buffer and null.
        char buffer[CSoundManager::kNameSize] = "x";
        const char* result = (sm().*getter)(buffer);
        EXPECT_EQ(result, result ? buffer : nullptr);
        EXPECT_EQ((sm().*getter)(nullptr) == nullptr, result == nullptr);
        names += (names.empty() ? "" : "|") + std::string(result ? buffer : (buffer[0] ? "?" : "-"));
    }
    return names;
}

void SoundManagerTest::Run(const Scenario& scenario) {
    ASSERT_TRUE(Start(scenario.levels));
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1));
        const Step& step = scenario.steps[i];
        const int result = step.call ? step.call(sm()) : -1;
        if (step.result >= 0) {
            EXPECT_EQ(result, step.result);
        }
        if (step.ms >= 0) Frame(static_cast<DWORD>(step.ms));
        if (step.mix != "*") {
            EXPECT_EQ(Mix(), step.mix);
        }
        if (!step.names.empty()) {
            EXPECT_EQ(Names(), step.names);
        }
    }
}
} // namespace soundtest
