// What the sound tests share: a headless device on the manual clock with clocked streaming steps,
// entries inside bigger files as archives hold them, and a game folder with the three sound archives
// for the manager. Sounds are checked by reading the mixer.
#pragma once

#include "files/Config.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "platform/time.h"
#include "sound/DSoundCtrl.h"
#include "sound/SoundManager.h"
#include "sound/ThreadCtrl.h"
#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace soundtest {
namespace pt = platform::testing;
using fixtures::Bytes;
using Samples = std::vector<std::int16_t>;

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::UseManualClock(50000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        pt::ClearSoundFaults();
        CThreadCtrl::SetMode(CThreadCtrl::Mode::Clocked);
        pt::CaptureDebugOutput(true);
    }
    // After the test's own members are gone, so that their devices shut down on the manual clock.
    ~SoundTest() override {
        pt::CaptureMixedSound(false);
        pt::CaptureDebugOutput(false);
        pt::ClearSoundFaults();
        CThreadCtrl::SetMode(CThreadCtrl::Mode::Automatic);
        pt::UseSoundBackend(pt::SoundBackend::Automatic);
        pt::UseRealClock();
    }
    fixtures::TempDir dir;
};

// The clock in steps of 5 ms: each step mixes, then runs the streaming steps that are due.
inline void Advance(DWORD ms) {
    for (; ms > 0; ms -= std::min<DWORD>(ms, 5))
        pt::AdvanceClock(std::min<DWORD>(ms, 5));
}

inline std::string Sjis(const char* utf8) {
    return platform::Utf8ToSjis(utf8);
}
// "tag -> message" as the traces write it, the message given in UTF-8.
inline std::string Line(const std::string& tag, const char* utf8) {
    return tag + " -> " + Sjis(utf8) + "\n";
}
inline bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

// 44.1 kHz stereo 16-bit frames, the output's own format: the mixer passes them through unchanged.
inline fixtures::WaveDesc CdWave(int frames, unsigned seed = 1) {
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(frames, 2, 16, seed);
    return desc;
}
// What the output holds of 44.1 kHz samples: every frame in stereo, mono doubled.
inline Samples Stereo(const Samples& in, int channels) {
    if (channels == 2) return in;
    Samples out;
    for (std::int16_t s : in)
        out.insert(out.end(), {s, s});
    return out;
}
// The same of 44.1 kHz PCM bytes, 8 bit widened.
inline Samples Heard(const Bytes& pcm, int channels, int bits) {
    return Stereo(fixtures::PcmSamples(pcm, bits), channels);
}
// `head`, then `loop` again and again, cut to `frames` stereo frames (silence after a one-shot).
inline Samples Repeat(const Samples& head, const Samples& loop, std::size_t frames) {
    Samples out(head);
    while (out.size() < frames * 2 && !loop.empty())
        out.insert(out.end(), loop.begin(), loop.end());
    out.resize(frames * 2, 0);
    return out;
}
// Index of the first sample where the two differ by more than `tolerance`, or -1.
inline long FirstDifference(const Samples& got, const Samples& want, int tolerance = 0) {
    const auto at =
        std::mismatch(got.begin(), got.end(), want.begin(), want.end(),
                      [&](std::int16_t a, std::int16_t b) { return std::abs(a - b) <= tolerance; });
    return at.first == got.end() && at.second == want.end() ? -1 : static_cast<long>(at.first - got.begin());
}

// Count of files the process has open, to see entries closed again.
inline long OpenFileCount() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return std::distance(std::filesystem::begin(fds), std::filesystem::end(fds));
}

// An entry inside a bigger file, as an archive holds it: other bytes before and after, the file
// positioned at the entry's first byte.
class Entry {
  public:
    Entry(const fixtures::TempDir& dir, const std::string& name, const Bytes& bytes) : m_Size(bytes.size()) {
        Bytes file(37 + bytes.size() + 29, 0xCD);
        std::fill(file.begin(), file.begin() + 37, 0xAB);
        std::copy(bytes.begin(), bytes.end(), file.begin() + 37);
        fixtures::WriteFileBytes(dir.File(name), file);
        m_File = std::fopen(dir.File(name).c_str(), "rb");
        std::fseek(m_File, 37, SEEK_SET);
    }
    ~Entry() {
        if (m_File) std::fclose(m_File);
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    std::FILE* file() const { return m_File; }
    DWORD size() const { return static_cast<DWORD>(m_Size); }
    long Position() const { return std::ftell(m_File) - 37; }

  private:
    std::FILE* m_File = nullptr;
    std::size_t m_Size;
};

// A device made at the set-up, and entries that live as long as it does.
class DeviceTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(ctrl.Create(nullptr), 1);
        pt::TakeDebugOutput();
    }
    Entry* Keep(const Bytes& bytes) {
        entries.push_back(std::make_unique<Entry>(dir, "e" + std::to_string(entries.size()), bytes));
        return entries.back().get();
    }
    int Load(const Bytes& bytes) {
        Entry* e = Keep(bytes);
        return ctrl.LoadSound(e->file(), e->size());
    }
    int LoadStream(const Bytes& main, const Bytes* intro = nullptr) {
        Entry* m = Keep(main);
        Entry* i = intro ? Keep(*intro) : nullptr;
        const int slot = ctrl.LoadSound(m->file(), m->size(), i ? i->file() : nullptr, i ? i->size() : 0);
        if (slot >= 0) ctrl.SetVolume(slot, 0);
        return slot;
    }
    // Plays and returns the first `ms` of what was heard.
    Samples PlayFor(int slot, int loop, DWORD ms) {
        pt::CaptureMixedSound(true);
        EXPECT_EQ(ctrl.Play(slot, loop), 1);
        Advance(ms);
        return pt::TakeMixedSound();
    }
    std::vector<std::unique_ptr<Entry>> entries;
    CDSoundCtrl ctrl;
};

// The manager's sounds, mono 16-bit, each at a rate of its own so that the mixer's buffer shows which
// sound it holds (the device's own silence is stereo). Voices lie in a folder of their own.
struct SoundDesc {
    const char* name;
    DWORD rate, ms;
    int archive;
};
enum Archives { kSoundArc = 1, kSEArc = 2, kVoiceArc = 4, kAllArchives = 7 };
inline constexpr SoundDesc kSounds[] = {
    {"bgm03", 22050, 1000, kSoundArc}, {"bgm05", 24000, 1000, kSoundArc}, {"sl_rain", 11025, 500, kSEArc},
    {"sl_wind", 12000, 500, kSEArc},   {"sl_fire", 16000, 500, kSEArc},   {"Se001", 8000, 100, kSEArc},
    {"v0001", 32000, 300, kVoiceArc},  {"svo0000", 20000, 200, kVoiceArc}};

struct Levels {
    int bgm = 4, se = 4, voice = 4;
};
using Call = std::function<int(CSoundManager&)>;
// One step of a manager scenario: a call (its result looked at unless -1), a frame after `ms` (none for
// -1), then what the mixer plays (see Mix; "*" for not looked at) and, unless empty, the names.
struct Step {
    Call call;
    int result, ms;
    std::string mix, names = "";
};
struct Scenario {
    const char* name;
    Levels levels;
    std::vector<Step> steps;
};

class SoundManagerTest : public SoundTest {
  protected:
    void TearDown() override;
    // Writes the folder with the archives asked for (the others unreadable) and the settings, then
    // creates the settings and the sound manager (false when it came up without a device).
    bool Start(Levels levels = {}, int archives = kAllArchives);
    CSoundManager& sm() { return *g_pSoundManager; }
    // Moves the manual clock (and with it the mixer), then runs one frame of the manager.
    void Frame(DWORD ms);
    // The sounds the mixer holds, oldest first: "name volume", " loop" when looping, " stopped" when
    // not playing, joined by ", "; then " fading" while a fade runs.
    std::string Mix();
    // The six name getters: music, loop effects 1 and 2, effect, voice, system voice; "-" for none.
    std::string Names();
    // Starts the manager with the scenario's levels and runs its steps.
    void Run(const Scenario& scenario);
    static std::optional<pt::SoundBufferState> Buffer(const char* sound);

    HWND window = nullptr;
};
} // namespace soundtest
