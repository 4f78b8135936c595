// Whole sounds: WAVE and Ogg Vorbis held in one buffer, heard through the headless mixer.
#include "SoundTestSupport.h"

#include "sound/DSBCStaticOgg.h"
#include "sound/DSoundCtrl.h"

#include <memory>
#include <tuple>

using namespace soundtest;

namespace {
class WholeSoundTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(ctrl.Create(nullptr), 1);
        pt::TakeDebugOutput();
    }
    Entry* Keep(const fixtures::Bytes& bytes) {
        entries.push_back(std::make_unique<Entry>(dir, "e" + std::to_string(entries.size()), bytes));
        return entries.back().get();
    }
    int Load(const fixtures::Bytes& bytes) {
        Entry* e = Keep(bytes);
        return ctrl.LoadSound(e->file(), e->size());
    }
    std::vector<std::unique_ptr<Entry>> entries;
    CDSoundCtrl ctrl;
};

class WholeWaveFormats : public WholeSoundTest,
                         public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

TEST_P(WholeWaveFormats, PlaysOnceAsTheSourceThenEnds) {
    const auto [bits, channels, rate] = GetParam();
    fixtures::WaveDesc desc;
    desc.bits = bits;
    desc.channels = channels;
    desc.rate = rate;
    const int frames = rate / 5; // 200 ms
    desc.pcm = fixtures::MakePcm(frames, channels, bits);
    desc.afterData = {{"LIST", fixtures::Bytes(40, 0x7F)}};
    const int slot = Load(fixtures::WriteWave(desc));
    ASSERT_EQ(slot, 0);
    const CDSoundBufferCtrlBase* c = ctrl.GetController(slot);
    EXPECT_EQ(c->GetFormat().wBitsPerSample, bits);
    EXPECT_EQ(c->GetBufferSize(), desc.pcm.size());
    EXPECT_EQ(c->GetLength(), 200u);
    pt::CaptureMixedSound(true);
    ctrl.SetVolume(slot, 0);
    ASSERT_EQ(ctrl.Play(slot, 0), 1);
    Advance(199);
    EXPECT_EQ(ctrl.IsPlaying(slot), 1);
    Advance(101);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    const Samples got = pt::TakeMixedSound();
    const Samples want = ExpectedMix(fixtures::PcmSamples(desc.pcm, bits), channels, static_cast<DWORD>(rate),
                                     got.size() / 2, false);
    EXPECT_EQ(FirstDifference(got, want), -1);
}

INSTANTIATE_TEST_SUITE_P(EveryPcmFormat, WholeWaveFormats,
                         ::testing::Combine(::testing::Values(8, 16), ::testing::Values(1, 2),
                                            ::testing::Values(22050, 44100)));

TEST_F(WholeSoundTest, ALoopRestartsAtTheDataStart) {
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(4410, 2, 16);
    desc.beforeData = {{"junk", fixtures::Bytes(13, 9)}};
    desc.afterData = {{"smpl", fixtures::Bytes(60, 5)}};
    const int slot = Load(fixtures::WriteWave(desc));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    EXPECT_EQ(ctrl.GetController(slot)->IsLoopPlaying(), 1);
    Advance(350);
    EXPECT_EQ(ctrl.IsPlaying(slot), 1);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, Repeat({}, fixtures::PcmSamples(desc.pcm, 16), got.size() / 2), 0), -1);
}

TEST_F(WholeSoundTest, StopKeepsThePlaceAndPlayGoesOnSilentUntilAVolumeIsSet) {
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(44100, 2, 16);
    const Samples source = fixtures::PcmSamples(desc.pcm, 16);
    const int slot = Load(fixtures::WriteWave(desc));
    ctrl.SetVolume(slot, 0);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 0);
    Advance(100);
    ASSERT_EQ(ctrl.Stop(slot), 1);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    Advance(100);
    EXPECT_EQ(pt::SoundBuffers().back().playCursor, 4410u * 4);
    EXPECT_EQ(ctrl.GetController(slot)->GetCurrentVolume(), -10000);
    ASSERT_EQ(ctrl.Play(slot, 0), 1);
    Advance(100);
    ctrl.SetVolume(slot, 0);
    Advance(100);
    const Samples got = pt::TakeMixedSound();
    ASSERT_EQ(got.size(), 17640u * 2);
    // Played 0-100 ms, stopped, silent 100 ms of play, then the source from 200 ms on.
    EXPECT_EQ(FirstDifference(Samples(got.begin(), got.begin() + 8820),
                              Samples(source.begin(), source.begin() + 8820), 0),
              -1);
    EXPECT_EQ(std::count(got.begin() + 8820, got.begin() + 26460, 0), 17640);
    EXPECT_EQ(FirstDifference(Samples(got.begin() + 26460, got.end()),
                              Samples(source.begin() + 17640, source.begin() + 26460), 0),
              -1);
}

TEST_F(WholeSoundTest, AVolumeChangeIsHeardAtOnce) {
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(44100, 2, 16);
    const Samples source = fixtures::PcmSamples(desc.pcm, 16);
    const int slot = Load(fixtures::WriteWave(desc));
    ctrl.SetVolume(slot, -1100);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 0);
    Advance(50);
    ASSERT_EQ(ctrl.SetCurrentVolume(slot, -4000), 1);
    Advance(50);
    const Samples got = pt::TakeMixedSound();
    ASSERT_EQ(got.size(), 4410u * 2);
    for (std::size_t i = 0; i < got.size(); ++i) {
        const double gain = std::pow(10.0, (i < 2205 * 2 ? -1100 : -4000) / 2000.0);
        ASSERT_NEAR(got[i], source[i] * gain, 1.0) << i;
    }
    EXPECT_EQ(ctrl.GetController(slot)->GetVolume(), -1100);
}

TEST_F(WholeSoundTest, AnOddDataSizeIsRaisedToWholeFramesAndReadOnlyToTheEntrysEnd) {
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(251, 2, 16);
    desc.pcm.resize(1001);
    const int slot = Load(fixtures::WriteWave(desc));
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticWave::LoadSound", "バッファのアライメント調整を行います"));
    EXPECT_EQ(ctrl.GetController(slot)->GetBufferSize(), 1004u);
    EXPECT_EQ(ctrl.GetController(slot)->GetDataSize(), 1001u);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 0);
    Advance(10);
    const Samples got = pt::TakeMixedSound();
    // The last frame holds the one data byte left and zeros, not the bytes after the entry.
    EXPECT_EQ(got[500], static_cast<std::int16_t>(desc.pcm[1000]));
    EXPECT_EQ(got[501], 0);
    EXPECT_EQ(got[502], 0);
}

TEST_F(WholeSoundTest, WholeOggPlaysItsDecodedSamples) {
    const fixtures::Bytes ogg = fixtures::WriteOgg(fixtures::MakeToneSamples(13230, 2, 44100), 2, 44100);
    const Samples decoded = fixtures::DecodeOgg(ogg);
    ASSERT_EQ(decoded.size(), 13230u * 2);
    const int slot = Load(ogg);
    ASSERT_EQ(slot, 0);
    const CDSoundBufferCtrlBase* c = ctrl.GetController(slot);
    EXPECT_EQ(c->GetDataSize(), 13230u * 4);
    EXPECT_EQ(c->GetLength(), 300u);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 0);
    Advance(350);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, ExpectedMix(decoded, 2, 44100, got.size() / 2, false), 0), -1);
}

TEST_F(WholeSoundTest, MonoOggAtHalfRatePlaysAsSixteenBitAtItsOwnRate) {
    const fixtures::Bytes ogg = fixtures::WriteOgg(fixtures::MakeToneSamples(4410, 1, 22050), 1, 22050);
    const Samples decoded = fixtures::DecodeOgg(ogg);
    const int slot = Load(ogg);
    ASSERT_EQ(slot, 0);
    const WAVEFORMATEX& f = ctrl.GetController(slot)->GetFormat();
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 1);
    Advance(500);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, ExpectedMix(decoded, 1, 22050, got.size() / 2, true)), -1);
}

TEST_F(WholeSoundTest, BufferFailuresAreLoggedAndRefuseTheLoad) {
    struct Case {
        pt::SoundCall call;
        const char* message;
    };
    const Case cases[] = {
        {pt::SoundCall::CreateBuffer, "DirectSoundBuffer の作成に失敗しました"},
        {pt::SoundCall::Lock, "DirectSoundBuffer の Lock に失敗しました"},
        {pt::SoundCall::Unlock, "DirectSoundBuffer の Unlock に失敗しました"},
    };
    fixtures::WaveDesc desc;
    desc.pcm = fixtures::MakePcm(100, 2, 16);
    const fixtures::Bytes wave = fixtures::WriteWave(desc);
    for (const Case& c : cases) {
        pt::FailSoundCall(c.call);
        EXPECT_EQ(Load(wave), -1);
        EXPECT_EQ(pt::TakeDebugOutput(),
                  Line("CDSBCStaticWave::LoadSound", c.message) +
                      Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました"));
        EXPECT_EQ(pt::SoundBuffers().size(), 1u); // the system sound alone
        EXPECT_EQ(entries.back()->Position(), 0);
    }
    const int slot = Load(wave);
    pt::FailSoundCall(pt::SoundCall::Play);
    EXPECT_EQ(ctrl.Play(slot, 0), 0);
    EXPECT_EQ(pt::TakeDebugOutput(), Line("CDSoundBufferCtrlBase::Play", "DSB の再生に失敗しました"));
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_EQ(ctrl.Play(slot, 0), 1);
}

// Offsets of the pages of an Ogg file.
std::vector<std::size_t> Pages(const fixtures::Bytes& ogg) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i + 4 <= ogg.size(); ++i)
        if (ogg[i] == 'O' && ogg[i + 1] == 'g' && ogg[i + 2] == 'g' && ogg[i + 3] == 'S') at.push_back(i);
    return at;
}

TEST_F(WholeSoundTest, ADamagedOggFailsTheLoadAndACutOneLoadsWhatItHolds) {
    const fixtures::Bytes ogg = fixtures::WriteOgg(fixtures::MakeToneSamples(3 * 44100, 2, 44100), 2, 44100);
    const std::vector<std::size_t> pages = Pages(ogg);
    ASSERT_GE(pages.size(), 5u);
    // A page in the middle that fails its check leaves a hole in the stream.
    fixtures::Bytes damaged = ogg;
    damaged[pages[3] + 100] ^= 0x55;
    EXPECT_EQ(Load(damaged), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticOgg::LoadSound", "Ogg データの読み込みに失敗しました") +
                  Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました"));
    const fixtures::Bytes cut(ogg.begin(), ogg.begin() + static_cast<long>(pages[pages.size() - 2]));
    const Samples decoded = fixtures::DecodeOgg(cut);
    ASSERT_GT(decoded.size(), 0u);
    ASSERT_LT(decoded.size(), 3u * 44100 * 2);
    const int slot = Load(cut);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(ctrl.GetController(slot)->GetDataSize(), decoded.size() * 2);
    pt::CaptureMixedSound(true);
    ctrl.Play(slot, 0);
    Advance(3000);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, ExpectedMix(decoded, 2, 44100, got.size() / 2, false), 0), -1);
}
} // namespace
