// The software mixer behind every sound buffer: the voices, the mix to 44,100 Hz stereo 16 bit, the
// output backends and the faults tests ask for. Internal to the sound family.
#pragma once

#include "platform/dsound.h"
#include "platform/testing_sound.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform::dsound {
inline constexpr DWORD kOutputRate = 44100;

// One secondary buffer's sound and play state; guarded by MixerLock().
struct Voice {
    int id = 0;
    std::vector<BYTE> data;
    WAVEFORMATEX format{};
    DWORD caps = 0;
    DWORD frames = 0;
    // The play position is frame + phase / kOutputRate source frames: exact at any rate.
    DWORD frame = 0;
    DWORD phase = 0;
    bool playing = false;
    bool looping = false;
    LONG volume = 0;
    LONG pan = 0;
    DWORD frequency = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;

    DWORD Rate() const { return frequency ? frequency : format.nSamplesPerSec; }
    DWORD PlayCursor() const { return frame * format.nBlockAlign; }
    void UpdateGains();
};

std::mutex& MixerLock();
// Both under MixerLock().
void AddVoice(Voice* voice);
void RemoveVoice(Voice* voice);
// The live voices, oldest first; read under MixerLock().
const std::vector<Voice*>& VoicesLocked();

// Mixes `frames` output frames of every playing voice into `out` (interleaved left/right) and
// advances the voices. Under MixerLock().
void MixFrames(std::int16_t* out, std::size_t frames);
// Headless on the real clock: mixes the time passed since the last call. Under MixerLock(); every
// buffer call makes it first, so a change always lands at the moment it was made.
void CatchUp();

// The output of the devices: opened by the first device that initialises, closed with the last.
bool OpenOutput();
void CloseOutput();
testing::SoundBackend CurrentBackend();

// A zeroed secondary buffer of the description's size and format, mixed from now on.
HRESULT CreateSecondaryBuffer(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer);
// The checks every PCM format of a buffer passes.
bool IsPlayableFormat(const WAVEFORMATEX& format);

// True when a test asked this call to fail now.
bool ShouldFail(testing::SoundCall call);

// SDL audio: false when there is no device. The callback mixes under MixerLock().
bool OpenSdlOutput();
void CloseSdlOutput();
// Called by the SDL callback with the lock held, so that tests also see what SDL played.
void CaptureLocked(const std::int16_t* frames, std::size_t count);
} // namespace platform::dsound
