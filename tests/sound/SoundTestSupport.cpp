#include "SoundTestSupport.h"

#include "platform/process.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/IniWriter.h"

#include <algorithm>
#include <filesystem>

namespace soundtest {
namespace {
Bytes Sound(const SoundDesc& d) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.rate = static_cast<int>(d.rate);
    desc.pcm = fixtures::MakePcm(static_cast<int>(d.rate * d.ms / 1000), 1, 16, d.rate);
    return fixtures::WriteWave(desc);
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
    std::filesystem::create_directories(dir.Path() + "voice");
    const Bytes junk = {'J', 'U', 'N', 'K', 0, 0, 0, 0};
    std::vector<fixtures::ArcEntryData> arcs[3] = {{{"broken", junk}}, {{"sebroken", junk}}, {}};
    for (const SoundDesc& d : kSounds)
        arcs[d.archive / 2].push_back({d.name, Sound(d)});
    // An archive left out is one that cannot be read: a missing one would serve loose files.
    for (const auto& [bit, path] :
         {std::pair{kSoundArc, "sound.arc"}, {kSEArc, "se.arc"}, {kVoiceArc, "voice/voice.arc"}})
        EXPECT_TRUE((archives & bit) ? fixtures::WriteArc(dir.File(path), arcs[bit / 2])
                                     : fixtures::WriteFileBytes(dir.File(path), junk));
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

std::optional<pt::SoundBufferState> SoundManagerTest::Buffer(const char* sound) {
    const DWORD rate = std::find_if(std::begin(kSounds), std::end(kSounds), [&](const SoundDesc& d) {
                           return std::string(d.name) == sound;
                       })->rate;
    for (const auto& b : pt::SoundBuffers())
        if (b.format.nSamplesPerSec == rate && b.format.nChannels == 1) return b;
    return std::nullopt;
}

std::string SoundManagerTest::Mix() {
    std::string mix;
    for (const auto& b : pt::SoundBuffers()) {
        const auto* d = std::find_if(std::begin(kSounds), std::end(kSounds), [&](const SoundDesc& s) {
            return s.rate == b.format.nSamplesPerSec && b.format.nChannels == 1;
        });
        if (d == std::end(kSounds)) continue; // the device's own silence
        mix += (mix.empty() ? "" : ", ") + std::string(d->name) + " " + std::to_string(b.volume) +
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
