// Test interface of the sound family: the backend, faults of the device calls, the state of every
// buffer and the mixer's output.
#pragma once

#include "platform/dsound.h"

#include <cstdint>
#include <vector>

namespace platform::testing {
// Automatic: headless when QUORIN_HEADLESS=1 or when the manual clock runs at device creation, else
// SDL. Takes effect for the next device that initialises.
enum class SoundBackend { Automatic, Headless, Sdl };
void UseSoundBackend(SoundBackend backend);
// The backend of the devices open now (Automatic when none is).
SoundBackend ActiveSoundBackend();

// The calls a test can make fail: the call after `skip` successful ones fails once, with
// DSERR_GENERIC (Initialize: DSERR_NODRIVER).
enum class SoundCall {
    CreateDevice,
    Initialize,
    PriorityLevel,
    NormalLevel,
    CreatePrimary,
    SetPrimaryFormat,
    CreateBuffer,
    Lock,
    Unlock,
    Play,
    Stop,
    SetVolume,
    SetPosition,
    GetPosition,
    GetStatus,
};
void FailSoundCall(SoundCall call, int skip = 0);
void ClearSoundFaults();

struct SoundBufferState {
    int id; // creation order, from 1
    DWORD size;
    WAVEFORMATEX format;
    bool playing;
    bool looping;
    DWORD playCursor; // bytes
    LONG volume;
    LONG pan;
    DWORD frequency;
};
// The live secondary buffers of every device, oldest first.
std::vector<SoundBufferState> SoundBuffers();

struct SoundDeviceState {
    DWORD level; // 0 before SetCooperativeLevel
    WAVEFORMATEX primaryFormat;
};
// The live devices, oldest first. A primary buffer starts at 22,050 Hz 8 bit stereo.
std::vector<SoundDeviceState> SoundDevices();

// Headless: the mixer's output (interleaved left/right, 44,100 frames a second) is kept from now on.
void CaptureMixedSound(bool on);
std::vector<std::int16_t> TakeMixedSound();
// Headless: mixes `ms` more milliseconds without moving the clock.
void MixSound(DWORD ms);
} // namespace platform::testing
