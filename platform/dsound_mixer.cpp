#include "platform/dsound_mixer.h"

#include "platform/time.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace platform::dsound {
namespace {
std::mutex g_mixerLock;
std::vector<Voice*> g_voices;

// Headless time: output frames are due at 44.1 a millisecond; the remainder carries over.
std::uint64_t g_msMixed = 0;
std::uint64_t g_framesMixed = 0;
bool g_haveRealTick = false;
DWORD g_realTick = 0;

bool g_capture = false;
std::vector<std::int16_t> g_captured;

// The output: which backend the open devices use, and how many are open.
std::mutex g_outputLock;
int g_outputCount = 0;
testing::SoundBackend g_backend = testing::SoundBackend::Automatic;
testing::SoundBackend g_choice = testing::SoundBackend::Automatic;

std::mutex g_faultLock;
std::map<testing::SoundCall, int> g_faults;

float GainOf(LONG hundredthsDb) {
    if (hundredthsDb <= DSBVOLUME_MIN) return 0.0f;
    if (hundredthsDb >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

template <bool k16, bool kStereo> float SampleAt(const BYTE* frame, int channel) {
    if constexpr (k16) {
        const BYTE* p = frame + (kStereo ? channel * 2 : 0);
        return static_cast<float>(static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8))));
    } else {
        return static_cast<float>((static_cast<int>(frame[kStereo ? channel : 0]) - 128) * 256);
    }
}

// Moves a silent voice on without reading its samples; the same arithmetic as the mixing loop.
void Skip(Voice& v, std::size_t n) {
    const std::uint64_t total = v.phase + static_cast<std::uint64_t>(n) * v.Rate();
    const std::uint64_t frame = v.frame + total / kOutputRate;
    v.phase = static_cast<DWORD>(total % kOutputRate);
    if (frame < v.frames) {
        v.frame = static_cast<DWORD>(frame);
    } else if (v.looping) {
        v.frame = static_cast<DWORD>(frame % v.frames);
    } else {
        v.playing = false;
        v.frame = 0;
        v.phase = 0;
    }
}

// Linear interpolation between the frame under the cursor and the next one; a one-shot holds its
// last frame, a looping buffer reaches back to its first.
template <bool k16, bool kStereo> void MixVoice(Voice& v, float* acc, std::size_t n) {
    const BYTE* data = v.data.data();
    const DWORD align = v.format.nBlockAlign;
    const DWORD rate = v.Rate();
    const float gl = v.gainLeft;
    const float gr = v.gainRight;
    constexpr float kInvRate = 1.0f / static_cast<float>(kOutputRate);
    if (rate == kOutputRate && v.phase == 0) {
        // At the output's own rate every output frame is one source frame: no interpolation.
        std::size_t i = 0;
        while (i < n) {
            const std::size_t run = std::min<std::size_t>(n - i, v.frames - v.frame);
            const BYTE* p = data + static_cast<std::size_t>(v.frame) * align;
            for (std::size_t k = 0; k < run; ++k, p += align) {
                const float l = SampleAt<k16, kStereo>(p, 0);
                acc[2 * (i + k)] += l * gl;
                acc[2 * (i + k) + 1] += (kStereo ? SampleAt<k16, kStereo>(p, 1) : l) * gr;
            }
            i += run;
            v.frame += static_cast<DWORD>(run);
            if (v.frame >= v.frames) {
                v.frame = 0;
                if (!v.looping) {
                    v.playing = false;
                    return;
                }
            }
        }
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const DWORD f = v.frame;
        DWORD next = f + 1;
        if (next >= v.frames) next = v.looping ? 0 : f;
        const BYTE* a = data + static_cast<std::size_t>(f) * align;
        const BYTE* b = data + static_cast<std::size_t>(next) * align;
        const float t = static_cast<float>(v.phase) * kInvRate;
        const float l0 = SampleAt<k16, kStereo>(a, 0);
        const float l = l0 + (SampleAt<k16, kStereo>(b, 0) - l0) * t;
        float r = l;
        if constexpr (kStereo) {
            const float r0 = SampleAt<k16, kStereo>(a, 1);
            r = r0 + (SampleAt<k16, kStereo>(b, 1) - r0) * t;
        }
        acc[2 * i] += l * gl;
        acc[2 * i + 1] += r * gr;
        v.phase += rate;
        while (v.phase >= kOutputRate) {
            v.phase -= kOutputRate;
            if (++v.frame >= v.frames) {
                if (v.looping) {
                    v.frame = 0;
                } else {
                    v.playing = false;
                    v.frame = 0;
                    v.phase = 0;
                    return;
                }
            }
        }
    }
}

void MixMs(DWORD ms) {
    g_msMixed += ms;
    const std::uint64_t target = g_msMixed * kOutputRate / 1000;
    std::array<std::int16_t, 2 * 1024> chunk;
    while (g_framesMixed < target) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(1024, target - g_framesMixed));
        MixFrames(chunk.data(), n);
        CaptureLocked(chunk.data(), n);
        g_framesMixed += n;
    }
}

bool HeadlessWanted() {
    if (g_choice == testing::SoundBackend::Headless) return true;
    if (g_choice == testing::SoundBackend::Sdl) return false;
    const char* env = std::getenv("QUORIN_HEADLESS");
    if (env && std::strcmp(env, "1") == 0) return true;
    return platform::IsManualClock();
}

void OnClock(DWORD elapsed) {
    std::lock_guard<std::mutex> lock(g_mixerLock);
    if (g_backend != testing::SoundBackend::Headless || !platform::IsManualClock()) return;
    g_haveRealTick = false;
    MixMs(elapsed);
}

// Registered before anything else can be: the mix of a stretch of time comes before whatever else
// steps on the same clock (the streaming workers), so a refill sees the cursor of its moment.
[[maybe_unused]] const int g_clockListener = platform::AddClockListener(OnClock);
} // namespace

void Voice::UpdateGains() {
    const float g = GainOf(volume);
    gainLeft = g * (pan > 0 ? GainOf(-pan) : 1.0f);
    gainRight = g * (pan < 0 ? GainOf(pan) : 1.0f);
}

std::mutex& MixerLock() {
    return g_mixerLock;
}

void AddVoice(Voice* voice) {
    g_voices.push_back(voice);
}

void RemoveVoice(Voice* voice) {
    std::erase(g_voices, voice);
}

const std::vector<Voice*>& VoicesLocked() {
    return g_voices;
}

void MixFrames(std::int16_t* out, std::size_t frames) {
    thread_local std::vector<float> acc;
    acc.assign(frames * 2, 0.0f);
    for (Voice* v : g_voices) {
        if (!v->playing || v->frames == 0) continue;
        if (v->gainLeft == 0.0f && v->gainRight == 0.0f) {
            Skip(*v, frames);
            continue;
        }
        const bool is16 = v->format.wBitsPerSample == 16;
        const bool stereo = v->format.nChannels == 2;
        if (is16 && stereo)
            MixVoice<true, true>(*v, acc.data(), frames);
        else if (is16)
            MixVoice<true, false>(*v, acc.data(), frames);
        else if (stereo)
            MixVoice<false, true>(*v, acc.data(), frames);
        else
            MixVoice<false, false>(*v, acc.data(), frames);
    }
    for (std::size_t i = 0; i < frames * 2; ++i) {
        const long s = std::lrint(acc[i]);
        out[i] = static_cast<std::int16_t>(std::clamp<long>(s, -32768, 32767));
    }
}

void CatchUp() {
    if (g_backend != testing::SoundBackend::Headless) return;
    if (platform::IsManualClock()) {
        g_haveRealTick = false;
        return;
    }
    const DWORD now = GetTickCount();
    if (!g_haveRealTick) {
        g_haveRealTick = true;
        g_realTick = now;
        return;
    }
    const DWORD elapsed = now - g_realTick;
    g_realTick = now;
    if (elapsed) MixMs(elapsed);
}

void CaptureLocked(const std::int16_t* frames, std::size_t count) {
    if (g_capture) g_captured.insert(g_captured.end(), frames, frames + count * 2);
}

bool OpenOutput() {
    std::lock_guard<std::mutex> output(g_outputLock);
    if (g_outputCount > 0) {
        ++g_outputCount;
        return true;
    }
    if (HeadlessWanted()) {
        std::lock_guard<std::mutex> lock(g_mixerLock);
        g_backend = testing::SoundBackend::Headless;
        g_haveRealTick = false;
    } else {
        if (!OpenSdlOutput()) return false;
        std::lock_guard<std::mutex> lock(g_mixerLock);
        g_backend = testing::SoundBackend::Sdl;
    }
    g_outputCount = 1;
    return true;
}

void CloseOutput() {
    std::lock_guard<std::mutex> output(g_outputLock);
    if (g_outputCount == 0 || --g_outputCount > 0) return;
    testing::SoundBackend was;
    {
        std::lock_guard<std::mutex> lock(g_mixerLock);
        was = g_backend;
        g_backend = testing::SoundBackend::Automatic;
    }
    // Closing SDL waits for its callback, which takes the mixer lock: never close while holding it.
    if (was == testing::SoundBackend::Sdl) CloseSdlOutput();
}

testing::SoundBackend CurrentBackend() {
    std::lock_guard<std::mutex> lock(g_mixerLock);
    return g_backend;
}

bool ShouldFail(testing::SoundCall call) {
    std::lock_guard<std::mutex> lock(g_faultLock);
    auto it = g_faults.find(call);
    if (it == g_faults.end()) return false;
    if (it->second > 0) {
        --it->second;
        return false;
    }
    g_faults.erase(it);
    return true;
}
} // namespace platform::dsound

namespace platform::testing {
using namespace platform::dsound;

void UseSoundBackend(SoundBackend backend) {
    std::lock_guard<std::mutex> output(g_outputLock);
    g_choice = backend;
}

SoundBackend ActiveSoundBackend() {
    return CurrentBackend();
}

void FailSoundCall(SoundCall call, int skip) {
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_faults[call] = skip < 0 ? 0 : skip;
}

void ClearSoundFaults() {
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_faults.clear();
}

void CaptureMixedSound(bool on) {
    std::lock_guard<std::mutex> lock(g_mixerLock);
    g_capture = on;
    g_captured.clear();
}

std::vector<std::int16_t> TakeMixedSound() {
    std::lock_guard<std::mutex> lock(g_mixerLock);
    CatchUp();
    std::vector<std::int16_t> out;
    out.swap(g_captured);
    return out;
}

void MixSound(DWORD ms) {
    std::lock_guard<std::mutex> lock(g_mixerLock);
    MixMs(ms);
}
} // namespace platform::testing
