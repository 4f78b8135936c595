// Streamed sounds: the ring, its refills, intro and main parts, loops, ends, stops and replays.
#include "SoundTestSupport.h"

#include "sound/DSBCStreamBase.h"
#include "sound/DSoundCtrl.h"

#include <memory>

using namespace soundtest;

namespace {
fixtures::WaveDesc CdWave(int frames, unsigned seed) {
    fixtures::WaveDesc s;
    s.pcm = fixtures::MakePcm(frames, 2, 16, seed);
    return s;
}

class StreamTest : public SoundTest {
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
    int LoadStream(const fixtures::Bytes& main, const fixtures::Bytes* intro = nullptr) {
        Entry* m = Keep(main);
        Entry* i = intro ? Keep(*intro) : nullptr;
        const int slot = ctrl.LoadSound(m->file(), m->size(), i ? i->file() : nullptr, i ? i->size() : 0);
        if (slot >= 0) ctrl.SetVolume(slot, 0);
        return slot;
    }
    CDSBCStreamBase* Stream(int slot) { return dynamic_cast<CDSBCStreamBase*>(ctrl.GetController(slot)); }
    // Plays from the start and returns the first `ms` of what was heard.
    Samples PlayFor(int slot, int loop, DWORD ms) {
        pt::CaptureMixedSound(true);
        EXPECT_EQ(ctrl.Play(slot, loop), 1);
        Advance(ms);
        return pt::TakeMixedSound();
    }
    std::vector<std::unique_ptr<Entry>> entries;
    CDSoundCtrl ctrl;
};

TEST_F(StreamTest, IntroThenMainOverSeveralRingTurnsWithoutGapOrRepeat) {
    const fixtures::WaveDesc intro = CdWave(13230, 1); // 0.3 s
    const fixtures::WaveDesc main = CdWave(33075, 2);  // 0.75 s
    const fixtures::Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(main), &introBytes);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(pt::SoundBuffers().size(), 1u); // nothing is read before the play
    const Samples got = PlayFor(slot, 1, 5000);
    EXPECT_EQ(ctrl.IsPlaying(slot), 1);
    EXPECT_EQ(ctrl.GetController(slot)->IsStreamPlaying(), 1);
    EXPECT_EQ(pt::SoundBuffers().back().size, 352800u);
    const Samples want =
        Repeat(fixtures::PcmSamples(intro.pcm, 16), fixtures::PcmSamples(main.pcm, 16), got.size() / 2);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
    EXPECT_EQ(ctrl.GetController(slot)->GetLength(), 300u + 750u);
    const std::string log = pt::TakeDebugOutput();
    EXPECT_TRUE(Contains(log, "CDSBCStreamWave::_ReadDataFromIntro -> " +
                                  Sjis("イントロ箇所のデータの読み込みが終了しました")));
    EXPECT_TRUE(
        Contains(log, Line("CDSBCStreamWave::_ReadDataFromLoop", "Wave データの先頭へシークしました")));
}

TEST_F(StreamTest, MainAloneLoopsFromItsDataStart) {
    fixtures::WaveDesc main = CdWave(57330, 3); // 1.3 s
    main.beforeData = {{"LIST", fixtures::Bytes(21, 3)}};
    main.afterData = {{"cue ", fixtures::Bytes(30, 4)}};
    const int slot = LoadStream(fixtures::WriteWave(main));
    const Samples got = PlayFor(slot, 1, 6000);
    EXPECT_EQ(FirstDifference(got, Repeat({}, fixtures::PcmSamples(main.pcm, 16), got.size() / 2), 0), -1);
}

TEST_F(StreamTest, AnIntroOfThirtyThousandBytesIsUsedUpByThePrefill) {
    const fixtures::WaveDesc intro = CdWave(7500, 4); // 30,000 bytes
    const fixtures::WaveDesc main = CdWave(100000, 5);
    const fixtures::Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(main), &introBytes);
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    EXPECT_FALSE(Stream(slot)->IsIntroStep());
    Advance(3000);
    const Samples got = pt::TakeMixedSound();
    const Samples want =
        Repeat(fixtures::PcmSamples(intro.pcm, 16), fixtures::PcmSamples(main.pcm, 16), got.size() / 2);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
}

TEST_F(StreamTest, ANonLoopingStreamEndsWithinTwoRingTurns) {
    const fixtures::WaveDesc main = CdWave(22050, 6); // 0.5 s, shorter than the ring
    const int slot = LoadStream(fixtures::WriteWave(main));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 0), 1);
    DWORD heard = 0;
    while (ctrl.IsPlaying(slot) && heard < 6000) {
        Advance(5);
        heard += 5;
    }
    EXPECT_GT(heard, 2000u);
    EXPECT_LE(heard, 4000u);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, Repeat(fixtures::PcmSamples(main.pcm, 16), {}, got.size() / 2), 0), -1);
    const std::string log = pt::TakeDebugOutput();
    EXPECT_TRUE(Contains(
        log, Line("CDSBCStreamWave::_StreamingReadDataFromLoop", "すべてのデータを書き込み終わりました")));
    EXPECT_TRUE(
        Contains(log, Line("CDSBCStreamWave::_StreamingReadDataFromLoop", "書き込みがすべて終了しました")));
    EXPECT_TRUE(Contains(log, Line("CDSBCStreamWave::OnStreaming", "ストリーム再生が正常に終了しました")));
    // The thread ended by itself; the owner's stop releases it.
    EXPECT_FALSE(ctrl.GetController(slot)->IsThreadAlive());
    EXPECT_EQ(ctrl.Stop(slot), 1);
    EXPECT_FALSE(ctrl.GetController(slot)->HasThread());
}

TEST_F(StreamTest, EightBitSilenceAfterTheEndIsSilent) {
    fixtures::WaveDesc main;
    main.channels = 1;
    main.bits = 8;
    main.rate = 22050;
    main.pcm = fixtures::MakePcm(11025, 1, 8);
    const int slot = LoadStream(fixtures::WriteWave(main));
    const Samples got = PlayFor(slot, 0, 1500);
    // The ring after the data holds byte 128, the silence of 8-bit sound.
    fixtures::Bytes ring = main.pcm;
    ring.resize(44100, 128);
    EXPECT_EQ(
        FirstDifference(got, ExpectedMix(fixtures::PcmSamples(ring, 8), 1, 22050, got.size() / 2, false)),
        -1);
    EXPECT_EQ(std::count(got.begin() + 44100 * 2, got.end(), 0), static_cast<long>(got.size()) - 44100 * 2);
}

TEST_F(StreamTest, StopAndPlayAgainStartsFromTheBeginning) {
    const fixtures::WaveDesc intro = CdWave(8820, 7);
    const fixtures::WaveDesc main = CdWave(30000, 8);
    const fixtures::Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(main), &introBytes);
    PlayFor(slot, 1, 1300);
    ASSERT_EQ(ctrl.Stop(slot), 1);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_EQ(pt::SoundBuffers().size(), 1u); // the ring went with the stop
    EXPECT_FALSE(ctrl.GetController(slot)->HasThread());
    EXPECT_TRUE(
        Contains(pt::TakeDebugOutput(), Line("CThreadCtrl::ThreadRelease", "スレッドを正常に停止しました")));
    Advance(500);
    const Samples got = PlayFor(slot, 1, 3000);
    const Samples want =
        Repeat(fixtures::PcmSamples(intro.pcm, 16), fixtures::PcmSamples(main.pcm, 16), got.size() / 2);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
}

TEST_F(StreamTest, PlayingAStreamThatEndedByItselfStartsItAgain) {
    const fixtures::WaveDesc main = CdWave(4410, 9);
    const int slot = LoadStream(fixtures::WriteWave(main));
    PlayFor(slot, 0, 4500);
    ASSERT_EQ(ctrl.IsPlaying(slot), 0);
    const Samples got = PlayFor(slot, 1, 1000);
    EXPECT_EQ(FirstDifference(got, Repeat({}, fixtures::PcmSamples(main.pcm, 16), got.size() / 2), 0), -1);
    EXPECT_TRUE(ctrl.GetController(slot)->IsThreadAlive());
}

TEST_F(StreamTest, ALateRefillCatchesUpWithEverySegmentThatPlayed) {
    const fixtures::WaveDesc main = CdWave(44100 * 3, 10);
    const int slot = LoadStream(fixtures::WriteWave(main));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    Advance(400);
    // The worker misses 0.4 s, more than three segments.
    ctrl.GetController(slot)->Pause();
    Advance(400);
    ctrl.GetController(slot)->Resume();
    Advance(5200);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, Repeat({}, fixtures::PcmSamples(main.pcm, 16), got.size() / 2), 0), -1);
}

TEST_F(StreamTest, AWaveIntroInAnotherFormatRefusesThePlay) {
    fixtures::WaveDesc intro = CdWave(2000, 11);
    intro.rate = 22050;
    const fixtures::Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(CdWave(20000, 12)), &introBytes);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_EQ(pt::TakeDebugOutput(), Line("CDSBCStreamWave::_LoadSoundInfoFromIntro",
                                          "イントロ箇所とループ箇所のフォーマットが違います"));
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
}

TEST_F(StreamTest, ALoopingMainPartWithoutDataEndsInsteadOfSeekingForEver) {
    fixtures::WaveDesc main = CdWave(0, 13);
    const int slot = LoadStream(fixtures::WriteWave(main));
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    Advance(4500);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_FALSE(Contains(pt::TakeDebugOutput(), Sjis("Wave データの先頭へシークしました")));
}

TEST_F(StreamTest, OggIntroThenMainLoopsWithoutAGap) {
    const fixtures::Bytes intro = fixtures::WriteOgg(fixtures::MakeToneSamples(11025, 2, 44100, 1), 2, 44100);
    const fixtures::Bytes main = fixtures::WriteOgg(fixtures::MakeToneSamples(26000, 2, 44100, 2), 2, 44100);
    const int slot = LoadStream(main, &intro);
    ASSERT_EQ(slot, 0);
    const Samples got = PlayFor(slot, 1, 4500);
    const Samples want = Repeat(fixtures::DecodeOgg(intro), fixtures::DecodeOgg(main), got.size() / 2);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
    const std::string log = pt::TakeDebugOutput();
    EXPECT_TRUE(Contains(log, "CDSBCStreamOgg::_ReadDataFromIntro -> " +
                                  Sjis("イントロ箇所のデータの読み込みが終了しました")));
    EXPECT_TRUE(
        Contains(log, Line("CDSBCStreamOgg::_ReadDataFromLoop", "OggVorbis データの先頭へシークしました")));
}

TEST_F(StreamTest, OggStopsAndPlaysAgainAndEndsWithoutLoop) {
    const fixtures::Bytes main = fixtures::WriteOgg(fixtures::MakeToneSamples(30000, 2, 44100, 3), 2, 44100);
    const int slot = LoadStream(main);
    PlayFor(slot, 1, 2500);
    ASSERT_EQ(ctrl.Stop(slot), 1);
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 0), 1);
    DWORD heard = 0;
    while (ctrl.IsPlaying(slot) && heard < 6000) {
        Advance(5);
        heard += 5;
    }
    EXPECT_LE(heard, 4000u);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, Repeat(fixtures::DecodeOgg(main), {}, got.size() / 2), 0), -1);
    EXPECT_TRUE(Contains(pt::TakeDebugOutput(),
                         Line("CDSBCStreamOgg::OnStreaming", "ストリーム再生が正常に終了しました")));
}

TEST_F(StreamTest, AnOggIntroInAnotherFormatPlaysInTheMainPartsFormat) {
    const fixtures::Bytes intro = fixtures::WriteOgg(fixtures::MakeToneSamples(4000, 1, 22050, 4), 1, 22050);
    const fixtures::Bytes main = fixtures::WriteOgg(fixtures::MakeToneSamples(20000, 2, 44100, 5), 2, 44100);
    const int slot = LoadStream(main, &intro);
    const Samples got = PlayFor(slot, 1, 2000);
    EXPECT_TRUE(Contains(pt::TakeDebugOutput(), Line("CDSBCStreamOgg::_LoadSoundInfoFromIntro",
                                                     "イントロ箇所とループ箇所のフォーマットが違います")));
    EXPECT_EQ(ctrl.GetController(slot)->GetFormat().nSamplesPerSec, 44100u);
    // The intro's mono samples are taken as stereo frames of the main part's format.
    const Samples want = Repeat(fixtures::DecodeOgg(intro), fixtures::DecodeOgg(main), got.size() / 2);
    EXPECT_EQ(FirstDifference(got, want, 0), -1);
}

TEST_F(StreamTest, ALoopingOggWithoutSamplesEndsInsteadOfSeekingForEver) {
    const fixtures::Bytes empty = fixtures::WriteOgg({}, 2, 44100);
    const int slot = LoadStream(empty);
    ASSERT_EQ(slot, 0);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    Advance(4500);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_FALSE(Contains(pt::TakeDebugOutput(), Sjis("OggVorbis データの先頭へシークしました")));
}

TEST_F(StreamTest, APlayThatCannotStartIsUndone) {
    const int slot = LoadStream(fixtures::WriteWave(CdWave(50000, 15)));
    pt::FailSoundCall(pt::SoundCall::Play);
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_TRUE(
        Contains(pt::TakeDebugOutput(), Line("CDSoundBufferCtrlBase::Play", "DSB の再生に失敗しました")));
    EXPECT_EQ(pt::SoundBuffers().size(), 1u);
    CThreadCtrl::FailNextThreadCreate();
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    const std::string log = pt::TakeDebugOutput();
    EXPECT_TRUE(Contains(log, Line("CThreadCtrl::ThreadCreate", "スレッドの作成に失敗しました")));
    EXPECT_TRUE(
        Contains(log, Line("CDSoundBufferCtrlBase::Play", "ストリーム再生スレッドの開始に失敗しました")));
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_EQ(pt::SoundBuffers().size(), 1u);
    EXPECT_EQ(ctrl.Play(slot, 1), 1);
}

TEST_F(StreamTest, AFailedStepEndsTheThreadAndTheRingPlaysOn) {
    struct Case {
        pt::SoundCall call;
        const char* step;
        const char* message;
    };
    const Case cases[] = {
        {pt::SoundCall::GetPosition, "CDSBCStreamWave::_StreamingReadDataFromLoop",
         "再生位置の取得に失敗しました"},
        {pt::SoundCall::Lock, "CDSBCStreamWave::_StreamingReadDataFromLoop", "DSB の Lock に失敗しました"},
        {pt::SoundCall::Unlock, "CDSBCStreamWave::_StreamingReadDataFromLoop",
         "DSB の Unlock に失敗しました"},
    };
    const int slot = LoadStream(fixtures::WriteWave(CdWave(100000, 16)));
    for (const Case& c : cases) {
        ASSERT_EQ(ctrl.Play(slot, 1), 1);
        pt::TakeDebugOutput();
        pt::FailSoundCall(c.call);
        Advance(300);
        const std::string log = pt::TakeDebugOutput();
        EXPECT_TRUE(Contains(log, Line(c.step, c.message))) << c.message;
        EXPECT_TRUE(
            Contains(log, Line("CDSBCStreamWave::OnStreaming", "ストリーム再生の読み込みに失敗しました")));
        EXPECT_FALSE(ctrl.GetController(slot)->IsThreadAlive());
        EXPECT_EQ(ctrl.IsPlaying(slot), 1);
        ASSERT_EQ(ctrl.Stop(slot), 1);
    }
}

TEST_F(StreamTest, ARealWorkerThreadStreamsInRealTime) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    pt::UseRealClock();
    const fixtures::WaveDesc main = CdWave(10000, 14);
    const int slot = LoadStream(fixtures::WriteWave(main));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    EXPECT_TRUE(ctrl.GetController(slot)->IsThreadAlive());
    // A little more than a ring turn of sound; the worker refills on its own.
    Samples got;
    const DWORD start = GetTickCount();
    while (got.size() < 92610 * 2 && GetTickCount() - start < 10000) {
        Sleep(20);
        const Samples more = pt::TakeMixedSound();
        got.insert(got.end(), more.begin(), more.end());
    }
    ASSERT_EQ(ctrl.Stop(slot), 1);
    ASSERT_GE(got.size(), 92610u * 2);
    // Silence until the play began, then the part without a gap.
    std::size_t first = 0;
    while (first < got.size() && got[first] == 0)
        ++first;
    first -= first % 2;
    const Samples heard(got.begin() + static_cast<long>(first), got.end());
    EXPECT_EQ(FirstDifference(heard, Repeat({}, fixtures::PcmSamples(main.pcm, 16), heard.size() / 2), 0),
              -1);
}
} // namespace
