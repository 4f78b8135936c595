#include "platform/dsound_mixer.h"

#include <SDL.h>

#include <cstdio>

namespace platform::dsound {
namespace {
SDL_AudioDeviceID g_device = 0;
// The audio subsystem is up and ours to quit.
bool g_subsystem = false;

void Callback(void*, Uint8* stream, int len) {
    const std::size_t frames = static_cast<std::size_t>(len) / 4;
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    std::lock_guard<std::mutex> lock(MixerLock());
    MixFrames(out, frames);
    CaptureLocked(out, frames);
}
} // namespace

bool OpenSdlOutput() {
    if (!g_subsystem) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "sound: no audio subsystem: %s\n", SDL_GetError());
            return false;
        }
        g_subsystem = true;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kOutputRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Callback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (g_device == 0) {
        std::fprintf(stderr, "sound: no audio device: %s\n", SDL_GetError());
        // The subsystem stays up until the output is closed: quitting it waits for its device
        // watcher to wake, a tenth of a second of the start-up on a machine without sound.
        return false;
    }
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void CloseSdlOutput() {
    if (g_device != 0) SDL_CloseAudioDevice(g_device);
    g_device = 0;
    if (g_subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_subsystem = false;
}
} // namespace platform::dsound
