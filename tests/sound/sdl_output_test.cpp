// The SDL backend's real path: what the mixer sends to an SDL audio device, captured by SDL's disk
// driver on a machine without a sound card.
#include "SoundTestSupport.h"

#include "platform/dsound.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace soundtest;

namespace {
using SdlOutputTest = SoundTest;

TEST_F(SdlOutputTest, TheDiskDriverReceivesTheMix) {
    pt::UseRealClock();
    pt::UseSoundBackend(pt::SoundBackend::Sdl);
    const std::string out = dir.File("out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);

    void* object = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &object),
              DS_OK);
    auto* ds = static_cast<IDirectSound*>(object);
    if (FAILED(ds->Initialize(nullptr))) {
        ds->Release();
        GTEST_SKIP() << "SDL has no disk audio driver here";
    }
    EXPECT_EQ(pt::ActiveSoundBackend(), pt::SoundBackend::Sdl);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);

    const fixtures::Bytes pcm = fixtures::MakePcm(11025, 2, 16); // 0.25 s
    WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = static_cast<DWORD>(pcm.size());
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memcpy(p, pcm.data(), n);
    b->Unlock(p, n, nullptr, 0);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    // The disk driver takes the sound at the pace of a real device.
    DWORD status = DSBSTATUS_PLAYING;
    for (int i = 0; i < 500 && (status & DSBSTATUS_PLAYING); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        b->GetStatus(&status);
    }
    EXPECT_EQ(status, 0u);
    b->Release();
    ds->Release();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");

    const fixtures::Bytes written = fixtures::ReadFileBytes(out);
    const Samples heard = fixtures::PcmSamples(written, 16);
    std::size_t first = 0;
    while (first < heard.size() && heard[first] == 0)
        ++first;
    first -= first % 2;
    ASSERT_GE(heard.size(), first + 11025 * 2);
    const Samples source = fixtures::PcmSamples(pcm, 16);
    EXPECT_EQ(FirstDifference(Samples(heard.begin() + static_cast<long>(first),
                                      heard.begin() + static_cast<long>(first) + 11025 * 2),
                              source, 0),
              -1);
}
} // namespace
