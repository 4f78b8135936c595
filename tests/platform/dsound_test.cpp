// The sound device of the platform layer: limits, locks, cursors and what the headless mixer makes of
// the buffers, read from its output; and the SDL backend's real path through SDL's disk driver.
#include "platform/dsound.h"
#include "platform/testing.h"
#include "platform/time.h"
#include "tools/fixtures/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace pt = platform::testing;

namespace {
using Samples = std::vector<std::int16_t>;

WAVEFORMATEX Pcm(int channels, int bits, DWORD rate) {
    const WORD align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, static_cast<WORD>(channels), rate, rate * align,
            align,           static_cast<WORD>(bits),     0};
}

// 16-bit samples as the bytes of a buffer.
std::vector<unsigned char> Bytes16(const Samples& samples) {
    std::vector<unsigned char> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::UseManualClock(50000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        void* object = nullptr;
        ASSERT_EQ(
            CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &object),
            DS_OK);
        ds = static_cast<IDirectSound*>(object);
        ASSERT_EQ(ds->Initialize(nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override {
        for (IDirectSoundBuffer* b : buffers)
            b->Release();
        if (ds) ds->Release();
        pt::CaptureMixedSound(false);
        pt::UseSoundBackend(pt::SoundBackend::Automatic);
        pt::UseRealClock();
    }
    HRESULT Create(DWORD size, const WAVEFORMATEX& format, IDirectSoundBuffer** out,
                   DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY) {
        WAVEFORMATEX f = format;
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), flags, size, 0, &f};
        const HRESULT hr = ds->CreateSoundBuffer(&desc, out, nullptr);
        if (SUCCEEDED(hr)) buffers.push_back(*out);
        return hr;
    }
    IDirectSoundBuffer* Filled(const std::vector<unsigned char>& pcm, const WAVEFORMATEX& format) {
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(Create(static_cast<DWORD>(pcm.size()), format, &b), DS_OK);
        void* p = nullptr;
        DWORD n = 0;
        EXPECT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::memcpy(p, pcm.data(), n);
        EXPECT_EQ(b->Unlock(p, n, nullptr, 0), DS_OK);
        return b;
    }
    // Plays from the start and returns the first `ms` of the output, moving the clock in 5 ms steps.
    Samples Hear(IDirectSoundBuffer* b, DWORD flags, DWORD ms) {
        pt::CaptureMixedSound(true);
        EXPECT_EQ(b->Play(0, 0, flags), DS_OK);
        for (; ms > 0; ms -= 5)
            pt::AdvanceClock(5);
        return pt::TakeMixedSound();
    }
    IDirectSound* ds = nullptr;
    std::vector<IDirectSoundBuffer*> buffers;
};

TEST_F(MixerTest, PrimaryFormatAndBufferLimits) {
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX f{}, cd = Pcm(2, 16, 44100);
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&f, sizeof f, &written), DS_OK);
    EXPECT_EQ(written * 10000000 + f.nSamplesPerSec * 100 + f.wBitsPerSample, 182205008u);
    EXPECT_EQ(primary->SetFormat(&cd), DS_OK);
    ASSERT_EQ(primary->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&cd), DSERR_PRIOLEVELNEEDED) << "PrimaryFormatNeedsThePriorityLevel";
    primary->Release();

    WAVEFORMATEX badAlign = cd;
    badAlign.nBlockAlign = 2;
    const struct {
        DWORD size;
        WAVEFORMATEX format;
        HRESULT result;
    } rows[] = {{3, Pcm(1, 8, 22050), DSERR_INVALIDPARAM},
                {DSBSIZE_MAX + 1, Pcm(1, 8, 22050), DSERR_INVALIDPARAM},
                {1000, Pcm(3, 16, 44100), DSERR_BADFORMAT},
                {1000, Pcm(2, 12, 44100), DSERR_BADFORMAT},
                {1000, Pcm(2, 16, 99), DSERR_BADFORMAT},
                {1000, badAlign, DSERR_BADFORMAT},
                {DSBSIZE_MIN, cd, DS_OK}};
    for (const auto& row : rows) {
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(Create(row.size, row.format, &b), row.result) << row.size << " bytes";
    }
    // Controls the buffer was not made with are refused.
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(1000, cd, &b, 0), DS_OK);
    EXPECT_EQ(b->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->SetPan(100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
}

TEST_F(MixerTest, NewBuffersAreZeroedAndLockHandsOutTwoRegionsAcrossTheEnd) {
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(1000, Pcm(2, 16, 44100), &b), DS_OK);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_TRUE(n1 == 1000 && !p2 && !n2);
    EXPECT_EQ(
        std::vector<unsigned char>(static_cast<unsigned char*>(p1), static_cast<unsigned char*>(p1) + 1000),
        std::vector<unsigned char>(1000, 0));
    auto* base = static_cast<unsigned char*>(p1);
    ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);
    ASSERT_EQ(b->Lock(900, 300, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_TRUE(p1 == base + 900 && n1 == 100 && p2 == base && n2 == 200);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    // Without room for the second region only the first is handed out.
    ASSERT_EQ(b->Lock(900, 300, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);
    EXPECT_EQ(b->Lock(1000, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(base + 999, 2, nullptr, 0), DSERR_INVALIDPARAM);
}

TEST_F(MixerTest, CursorsMoveAtTheByteRateAndStopAndSetCurrentPositionPlaceThem) {
    IDirectSoundBuffer *mono8 = nullptr, *cd = nullptr, *half = nullptr;
    ASSERT_EQ(Create(22050, Pcm(1, 8, 22050), &mono8), DS_OK); // one second
    ASSERT_EQ(Create(176400, Pcm(2, 16, 44100), &cd), DS_OK);
    ASSERT_EQ(Create(44100, Pcm(1, 16, 22050), &half), DS_OK);
    auto cursor = [](IDirectSoundBuffer* b) {
        DWORD play = 0, write = 0;
        EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
        EXPECT_GT(write, play);
        return play;
    };
    auto status = [](IDirectSoundBuffer* b) {
        DWORD s = 0;
        EXPECT_EQ(b->GetStatus(&s), DS_OK);
        return s;
    };
    ASSERT_EQ(mono8->Play(0, 0, 0) | cd->Play(0, 0, DSBPLAY_LOOPING) | half->Play(0, 0, 0), DS_OK);
    pt::AdvanceClock(100);
    EXPECT_EQ(cursor(mono8), 2205u);
    EXPECT_EQ(cursor(cd), 17640u);
    pt::AdvanceClock(1);
    EXPECT_EQ(cursor(cd), 17640u + 176u); // 44.1 frames a millisecond, whole frames only
    // StopKeepsTheCursorAndSetCurrentPositionMovesIt
    ASSERT_EQ(half->Stop(), DS_OK);
    pt::AdvanceClock(898);
    EXPECT_EQ(cursor(half), 4454u); // stopped after 101 ms
    ASSERT_EQ(half->SetCurrentPosition(1001), DS_OK);
    EXPECT_EQ(cursor(half), 1000u); // whole frames
    EXPECT_EQ(half->SetCurrentPosition(44100), DSERR_INVALIDPARAM);
    EXPECT_EQ(status(mono8), static_cast<DWORD>(DSBSTATUS_PLAYING));
    pt::AdvanceClock(1);
    // A one-shot stops at its end and rewinds; the looping one wrapped and goes on.
    EXPECT_EQ(status(mono8), 0u);
    EXPECT_EQ(cursor(mono8), 0u);
    pt::AdvanceClock(250);
    EXPECT_EQ(status(cd), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    EXPECT_EQ(cursor(cd), 44100u);
    DWORD frequency = 0;
    ASSERT_EQ(half->SetFrequency(44100), DS_OK);
    ASSERT_EQ(half->Play(0, 0, 0), DS_OK);
    pt::AdvanceClock(100);
    EXPECT_EQ(cursor(half), 1000u + 8820u);
    ASSERT_EQ(half->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 44100u);
    EXPECT_EQ(half->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(half->SetFrequency(100001), DSERR_INVALIDPARAM);
}

// Known samples in, known samples out: the frames of a source at the output's own rate pass
// unchanged, 8 bit is widened, mono doubled, and half the rate falls halfway between its frames.
TEST_F(MixerTest, TheOutputHoldsTheSourceWidenedAndInterpolated) {
    const Samples stereo = {100, -100, 2000, -2000, 32767, -32768, 7, 8};
    const struct {
        const char* name;
        std::vector<unsigned char> pcm;
        WAVEFORMATEX format;
        Samples heard; // the first frames, left and right; silence after them
    } rows[] = {
        {"OutputIsTheSourceAtFullVolume", Bytes16(stereo), Pcm(2, 16, 44100), stereo},
        {"eight bit mono",
         {128, 138, 0, 255},
         Pcm(1, 8, 44100),
         {0, 0, 2560, 2560, -32768, -32768, 32512, 32512}},
        {"EightBitMonoAtHalfRateIsInterpolated",
         {128, 138, 148, 128},
         Pcm(1, 8, 22050),
         {0, 0, 1280, 1280, 2560, 2560, 3840, 3840, 5120, 5120, 2560, 2560}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Samples got = Hear(Filled(row.pcm, row.format), 0, 5);
        Samples want = row.heard;
        want.resize(got.size(), 0);
        EXPECT_EQ(got, want);
    }
}

TEST_F(MixerTest, VolumeAndPanScaleTheOutputAtOnceAndVoicesAddUpAndClip) {
    IDirectSoundBuffer* b = Filled(Bytes16(Samples(8820, 20000)), Pcm(2, 16, 44100)); // 100 ms
    IDirectSoundBuffer* quiet = Filled(Bytes16(Samples(8820, 20000)), Pcm(2, 16, 44100));
    ASSERT_EQ(quiet->SetVolume(DSBVOLUME_MIN), DS_OK);
    const struct {
        const char* name;
        LONG volume, pan;
        std::int16_t left, right;
    } rows[] = {
        {"full", 0, 0, 20000, 20000},       {"-6 dB", -600, 0, 10024, 10024},
        {"silent", DSBVOLUME_MIN, 0, 0, 0}, {"right", 0, DSBPAN_RIGHT, 0, 20000},
        {"left", 0, DSBPAN_LEFT, 20000, 0}, {"half right", 0, 600, 10024, 20000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(b->SetVolume(row.volume), DS_OK);
        ASSERT_EQ(b->SetPan(row.pan), DS_OK);
        const Samples got = Hear(b, DSBPLAY_LOOPING, 5);
        EXPECT_NEAR(got[0], row.left, 1);
        EXPECT_NEAR(got[1], row.right, 1);
        EXPECT_EQ(got[0], got[got.size() - 2]);
    }
    LONG volume = 1;
    ASSERT_EQ(b->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
    ASSERT_EQ(quiet->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(quiet->SetVolume(0), DS_OK);
    EXPECT_EQ(Hear(b, DSBPLAY_LOOPING, 5)[1], 32767) << "two of 20000 clip";
}

// The SDL backend's real path, on SDL's disk driver: it writes as fast as it can rather than at the
// pace of a device.
TEST_F(MixerTest, TheSdlDiskDriverReceivesTheMix) {
    ds->Release();
    pt::UseRealClock();
    pt::UseSoundBackend(pt::SoundBackend::Sdl);
    fixtures::TempDir dir;
    for (const auto& [name, value] : {std::pair<const char*, std::string>{"SDL_AUDIODRIVER", "disk"},
                                      {"SDL_DISKAUDIOFILE", dir.File("out.raw")},
                                      {"SDL_DISKAUDIODELAY", "0"}})
        setenv(name, value.c_str(), 1);
    void* object = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &object),
              DS_OK);
    ds = static_cast<IDirectSound*>(object);
    if (FAILED(ds->Initialize(nullptr))) GTEST_SKIP() << "SDL has no disk audio driver here";
    EXPECT_EQ(pt::ActiveSoundBackend(), pt::SoundBackend::Sdl);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    Samples source(22050); // 0.125 s, no sample silent
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::int16_t>(i * 37 % 20011 + 1);
    IDirectSoundBuffer* b = Filled(Bytes16(source), Pcm(2, 16, 44100));
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    // The sound ends once the driver has taken it: a bounded wait on the audio thread.
    DWORD status = DSBSTATUS_PLAYING;
    for (long i = 0; i < 100000000 && (status & DSBSTATUS_PLAYING); ++i) {
        std::this_thread::yield();
        b->GetStatus(&status);
    }
    EXPECT_EQ(status, 0u);
    TearDown();
    ds = nullptr;
    buffers.clear();
    for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY"})
        unsetenv(name);
    const std::vector<unsigned char> written = fixtures::ReadFileBytes(dir.File("out.raw"));
    Samples heard(written.size() / 2);
    std::memcpy(heard.data(), written.data(), heard.size() * 2);
    // Silence until the play began, then the sound without a gap.
    const auto first = std::find_if(heard.begin(), heard.end(), [](std::int16_t v) { return v != 0; });
    ASSERT_GE(heard.end() - first, static_cast<long>(source.size()));
    EXPECT_EQ(Samples(first, first + static_cast<long>(source.size())), source);

    // ADeviceThatCannotOpenLeavesTheAudioUp: quitting SDL's audio waits for its device watcher, a tenth
    // of a second of every start on a machine without sound.
    pt::UseSoundBackend(pt::SoundBackend::Sdl);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", dir.File("missing/out.raw").c_str(), 1);
    object = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &object),
              DS_OK);
    auto* unopened = static_cast<IDirectSound*>(object);
    EXPECT_TRUE(FAILED(unopened->Initialize(nullptr)));
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    unopened->Release();
    for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE"})
        unsetenv(name);
}
} // namespace
