// The mixing cost of one second of sound: eight streamed voices (WAVE and Ogg, ring refills
// included) against eight whole voices (mixing alone) and against copying the same bytes.
#include "platform/testing.h"
#include "sound/DSoundCtrl.h"
#include "sound/ThreadCtrl.h"
#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
namespace pt = platform::testing;

constexpr int kVoices = 8;

class Voices {
  public:
    enum class Kind { StreamWave, StreamOgg, WholeWave };

    explicit Voices(Kind kind) {
        pt::UseManualClock(1000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        CThreadCtrl::SetMode(CThreadCtrl::Mode::Clocked);
        m_Device.Create(nullptr);
        for (int i = 0; i < kVoices; ++i) {
            // Three seconds each, so that every stream loops through its part and its ring.
            fixtures::Bytes bytes;
            if (kind == Kind::StreamOgg) {
                bytes = fixtures::WriteOgg(fixtures::MakeToneSamples(3 * 44100, 2, 44100, i + 1), 2, 44100);
            } else {
                fixtures::WaveDesc s;
                s.pcm = fixtures::MakePcm(3 * 44100, 2, 16, i + 1);
                bytes = fixtures::WriteWave(s);
            }
            const std::string path = m_Dir.File("v" + std::to_string(i));
            fixtures::WriteFileBytes(path, bytes);
            std::FILE* f = std::fopen(path.c_str(), "rb");
            m_Files.push_back(f);
            const DWORD size = static_cast<DWORD>(bytes.size());
            const int slot = kind == Kind::WholeWave ? m_Device.LoadSound(f, size)
                                                     : m_Device.LoadSound(f, size, nullptr, 0);
            m_Device.SetVolume(slot, -1100);
            m_Device.Play(slot, 1);
        }
    }
    ~Voices() {
        m_Device.Release();
        for (std::FILE* f : m_Files)
            std::fclose(f);
    }
    // One second of sound in the steps the clock takes in the program's idle loop.
    void OneSecond() {
        for (int ms = 0; ms < 1000; ms += 5)
            pt::AdvanceClock(5);
    }

  private:
    fixtures::TempDir m_Dir;
    std::vector<std::FILE*> m_Files;
    CDSoundCtrl m_Device;
};

void Run(benchmark::State& state, Voices::Kind kind) {
    Voices voices(kind);
    for (auto _ : state)
        voices.OneSecond();
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EightStreamedWaveVoices(benchmark::State& state) {
    Run(state, Voices::Kind::StreamWave);
}
void BM_EightStreamedOggVoices(benchmark::State& state) {
    Run(state, Voices::Kind::StreamOgg);
}
void BM_EightWholeWaveVoices(benchmark::State& state) {
    Run(state, Voices::Kind::WholeWave);
}

// The peer: copying one second of eight CD-quality voices.
void BM_CopyEightSecondsOfCdAudio(benchmark::State& state) {
    std::vector<char> from(kVoices * 176400, 1);
    std::vector<char> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_EightStreamedWaveVoices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EightStreamedOggVoices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EightWholeWaveVoices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyEightSecondsOfCdAudio)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
