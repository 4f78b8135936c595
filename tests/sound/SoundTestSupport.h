// What the sound tests share: a headless device on the manual clock with clocked streaming steps,
// archive-like entries in temporary files, the clock moved in small steps, and the output a mixer
// must make of a source.
#pragma once

#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "platform/time.h"
#include "sound/ThreadCtrl.h"
#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace soundtest {
namespace pt = platform::testing;

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
    while (ms > 0) {
        const DWORD step = ms < 5 ? ms : 5;
        pt::AdvanceClock(step);
        ms -= step;
    }
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

// An entry inside a bigger file, as an archive holds it: other bytes before and after, the file
// positioned at the entry's first byte.
class Entry {
  public:
    Entry(const fixtures::TempDir& dir, const std::string& name, const fixtures::Bytes& bytes)
        : m_Size(bytes.size()) {
        fixtures::Bytes file(37 + bytes.size() + 29, 0xCD);
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

// The stereo output a mixer makes of interleaved `source` frames of `channels` at `rate`, started
// at frame 0: linear interpolation toward the next frame (the first again when looping, the last
// held at the end of a one-shot), scaled by `gain`. `frames` output frames; silence after a one-shot.
inline Samples ExpectedMix(const Samples& source, int channels, DWORD rate, std::size_t frames, bool loop,
                           double gain = 1.0) {
    Samples out;
    const std::size_t count = source.size() / channels;
    std::uint64_t frame = 0;
    std::uint64_t phase = 0;
    bool playing = count > 0;
    for (std::size_t k = 0; k < frames; ++k) {
        for (int c = 0; c < 2; ++c) {
            if (!playing) {
                out.push_back(0);
                continue;
            }
            const int ch = channels == 2 ? c : 0;
            std::uint64_t next = frame + 1;
            if (next >= count) next = loop ? 0 : frame;
            const double a = source[frame * channels + ch];
            const double b = source[next * channels + ch];
            const double v = (a + (b - a) * (static_cast<double>(phase) / 44100.0)) * gain;
            out.push_back(static_cast<std::int16_t>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, v)))));
        }
        if (!playing) continue;
        phase += rate;
        while (phase >= 44100) {
            phase -= 44100;
            if (++frame >= count) {
                if (loop) {
                    frame = 0;
                } else {
                    playing = false;
                    break;
                }
            }
        }
    }
    return out;
}

// Index of the first sample where the two differ by more than `tolerance`, or -1.
inline long FirstDifference(const Samples& got, const Samples& want, int tolerance = 1) {
    const std::size_t n = std::min(got.size(), want.size());
    for (std::size_t i = 0; i < n; ++i)
        if (std::abs(got[i] - want[i]) > tolerance) return static_cast<long>(i);
    return got.size() == want.size() ? -1 : static_cast<long>(n);
}

// Samples of a stereo stream: the sequence repeated until `frames` frames.
inline Samples Repeat(const Samples& head, const Samples& loop, std::size_t frames) {
    Samples out(head);
    while (out.size() < frames * 2 && !loop.empty())
        out.insert(out.end(), loop.begin(), loop.end());
    out.resize(frames * 2, 0);
    return out;
}
} // namespace soundtest
