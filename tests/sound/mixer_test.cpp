// The sound device of the platform layer: limits, locks, cursors and what the mixer makes of them.
#include "SoundTestSupport.h"

#include "platform/dsound.h"

#include <cstring>

using namespace soundtest;

namespace {
WAVEFORMATEX Pcm(int channels, int bits, DWORD rate) {
    const WORD align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, static_cast<WORD>(channels), rate, rate * align,
            align,           static_cast<WORD>(bits),     0};
}

class MixerTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
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
        SoundTest::TearDown();
    }
    HRESULT Create(DWORD size, const WAVEFORMATEX& format, IDirectSoundBuffer** out,
                   DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY) {
        WAVEFORMATEX f = format;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = size;
        desc.lpwfxFormat = &f;
        const HRESULT hr = ds->CreateSoundBuffer(&desc, out, nullptr);
        if (SUCCEEDED(hr)) buffers.push_back(*out);
        return hr;
    }
    IDirectSoundBuffer* Filled(const fixtures::Bytes& pcm, const WAVEFORMATEX& format) {
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(Create(static_cast<DWORD>(pcm.size()), format, &b), DS_OK);
        void* p = nullptr;
        DWORD n = 0;
        EXPECT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::memcpy(p, pcm.data(), n);
        EXPECT_EQ(b->Unlock(p, n, nullptr, 0), DS_OK);
        return b;
    }
    IDirectSound* ds = nullptr;
    std::vector<IDirectSoundBuffer*> buffers;
};

TEST_F(MixerTest, PrimaryFormatNeedsThePriorityLevel) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX f{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&f, sizeof f, &written), DS_OK);
    EXPECT_EQ(written, 18u);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
    EXPECT_EQ(f.wBitsPerSample, 8);
    const WAVEFORMATEX cd = Pcm(2, 16, 44100);
    EXPECT_EQ(primary->SetFormat(&cd), DS_OK);
    ASSERT_EQ(primary->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&cd), DSERR_PRIOLEVELNEEDED);
    primary->Release();
}

TEST_F(MixerTest, SizeAndFormatLimits) {
    IDirectSoundBuffer* b = nullptr;
    EXPECT_EQ(Create(3, Pcm(1, 8, 22050), &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(DSBSIZE_MAX + 1, Pcm(1, 8, 22050), &b), DSERR_INVALIDPARAM);
    EXPECT_EQ(Create(1000, Pcm(3, 16, 44100), &b), DSERR_BADFORMAT);
    EXPECT_EQ(Create(1000, Pcm(2, 12, 44100), &b), DSERR_BADFORMAT);
    EXPECT_EQ(Create(1000, Pcm(2, 16, 99), &b), DSERR_BADFORMAT);
    WAVEFORMATEX badAlign = Pcm(2, 16, 44100);
    badAlign.nBlockAlign = 2;
    EXPECT_EQ(Create(1000, badAlign, &b), DSERR_BADFORMAT);
    ASSERT_EQ(Create(DSBSIZE_MIN, Pcm(2, 16, 44100), &b), DS_OK);
    EXPECT_TRUE(pt::SoundBuffers().back().size == DSBSIZE_MIN);
}

TEST_F(MixerTest, NewBuffersAreZeroedAndLockHandsOutTwoRegionsAcrossTheEnd) {
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(1000, Pcm(2, 16, 44100), &b), DS_OK);
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1, 1000u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    const fixtures::Bytes zero(1000, 0);
    EXPECT_EQ(std::memcmp(p1, zero.data(), 1000), 0);
    auto* base = static_cast<unsigned char*>(p1);
    ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

    ASSERT_EQ(b->Lock(900, 300, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(p1, base + 900);
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(p2, base);
    EXPECT_EQ(n2, 200u);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    // Without room for the second region only the first is handed out.
    ASSERT_EQ(b->Lock(900, 300, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

    EXPECT_EQ(b->Lock(1000, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(base + 999, 2, nullptr, 0), DSERR_INVALIDPARAM);
}

TEST_F(MixerTest, CursorAdvancesAtTheByteRateAndAOneShotStopsAndRewinds) {
    IDirectSoundBuffer* mono8 = nullptr;
    ASSERT_EQ(Create(22050, Pcm(1, 8, 22050), &mono8), DS_OK); // one second
    IDirectSoundBuffer* cd = nullptr;
    ASSERT_EQ(Create(176400, Pcm(2, 16, 44100), &cd), DS_OK);
    ASSERT_EQ(mono8->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(cd->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Advance(100);
    DWORD play = 0, write = 0;
    ASSERT_EQ(mono8->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 2205u);
    EXPECT_GT(write, play);
    ASSERT_EQ(cd->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 17640u);
    pt::AdvanceClock(1);
    ASSERT_EQ(cd->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 17640u + 176u); // 44.1 frames a millisecond, whole frames only

    Advance(898);
    DWORD status = 0;
    ASSERT_EQ(mono8->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    pt::AdvanceClock(1);
    ASSERT_EQ(mono8->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(mono8->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 0u);
    // The looping one wrapped and goes on.
    Advance(250);
    ASSERT_EQ(cd->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    ASSERT_EQ(cd->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 44100u);
}

TEST_F(MixerTest, StopKeepsTheCursorAndSetCurrentPositionMovesIt) {
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(44100, Pcm(1, 16, 22050), &b), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    Advance(200);
    ASSERT_EQ(b->Stop(), DS_OK);
    Advance(300);
    DWORD play = 0;
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 8820u);
    ASSERT_EQ(b->SetCurrentPosition(1001), DS_OK);
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 1000u); // whole frames
    EXPECT_EQ(b->SetCurrentPosition(44100), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->SetFrequency(44100), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    Advance(100);
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 1000u + 8820u);
    DWORD frequency = 0;
    ASSERT_EQ(b->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 44100u);
    EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(100001), DSERR_INVALIDPARAM);
}

TEST_F(MixerTest, OutputIsTheSourceAtFullVolume) {
    const fixtures::Bytes pcm = fixtures::MakePcm(4410, 2, 16);
    IDirectSoundBuffer* b = Filled(pcm, Pcm(2, 16, 44100));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    Advance(150);
    const Samples got = pt::TakeMixedSound();
    ASSERT_EQ(got.size(), 6615u * 2);
    const Samples want = ExpectedMix(fixtures::PcmSamples(pcm, 16), 2, 44100, 6615, false);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
}

TEST_F(MixerTest, EightBitMonoAtHalfRateIsInterpolated) {
    const fixtures::Bytes pcm = fixtures::MakePcm(2205, 1, 8);
    IDirectSoundBuffer* b = Filled(pcm, Pcm(1, 8, 22050));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Advance(250);
    const Samples got = pt::TakeMixedSound();
    const Samples source = fixtures::PcmSamples(pcm, 8);
    const Samples want = ExpectedMix(source, 1, 22050, got.size() / 2, true);
    EXPECT_EQ(FirstDifference(got, want), -1);
    // Every second output frame is a source frame, the ones between lie halfway.
    EXPECT_EQ(got[400], source[100]);
    EXPECT_EQ(got[401], source[100]);
    EXPECT_NEAR(got[402], (source[100] + source[101]) / 2, 1);
}

TEST_F(MixerTest, VolumeAndPanScaleTheOutputAtOnce) {
    const fixtures::Bytes pcm = fixtures::MakePcm(44100, 2, 16);
    IDirectSoundBuffer* b = Filled(pcm, Pcm(2, 16, 44100));
    const Samples source = fixtures::PcmSamples(pcm, 16);
    pt::CaptureMixedSound(true);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    Advance(100);
    ASSERT_EQ(b->SetVolume(-600), DS_OK);
    Advance(100);
    ASSERT_EQ(b->SetVolume(DSBVOLUME_MIN), DS_OK);
    Advance(100);
    ASSERT_EQ(b->SetVolume(0), DS_OK);
    ASSERT_EQ(b->SetPan(DSBPAN_RIGHT), DS_OK);
    Advance(100);
    const Samples got = pt::TakeMixedSound();
    ASSERT_EQ(got.size(), 17640u * 2);
    const double gain = std::pow(10.0, -600 / 2000.0);
    for (std::size_t f = 0; f < 17640; ++f) {
        const int l = source[2 * f], r = source[2 * f + 1];
        int wantL = l, wantR = r;
        if (f >= 4410 && f < 8820) {
            wantL = static_cast<int>(std::lround(l * gain));
            wantR = static_cast<int>(std::lround(r * gain));
        } else if (f >= 8820 && f < 13230) {
            wantL = wantR = 0;
        } else if (f >= 13230) {
            wantL = 0;
        }
        ASSERT_NEAR(got[2 * f], wantL, 1) << "frame " << f;
        ASSERT_NEAR(got[2 * f + 1], wantR, 1) << "frame " << f;
    }
    LONG volume = 1;
    ASSERT_EQ(b->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
}

TEST_F(MixerTest, VoicesAddUpAndClip) {
    fixtures::Bytes loud(4000);
    for (std::size_t i = 0; i < loud.size(); i += 2) {
        loud[i] = 0x00;
        loud[i + 1] = 0x60; // 24576
    }
    IDirectSoundBuffer* a = Filled(loud, Pcm(1, 16, 44100));
    IDirectSoundBuffer* b = Filled(loud, Pcm(1, 16, 44100));
    pt::CaptureMixedSound(true);
    a->Play(0, 0, DSBPLAY_LOOPING);
    b->Play(0, 0, DSBPLAY_LOOPING);
    b->SetVolume(-10000);
    Advance(10);
    Samples got = pt::TakeMixedSound();
    EXPECT_EQ(got[0], 24576);
    b->SetVolume(0);
    Advance(10);
    got = pt::TakeMixedSound();
    EXPECT_EQ(got[0], 32767);
}

TEST_F(MixerTest, ControlsTheBufferWasNotMadeWithAreRefused) {
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(Create(1000, Pcm(2, 16, 44100), &b, 0), DS_OK);
    EXPECT_EQ(b->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->SetPan(100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
}

} // namespace
