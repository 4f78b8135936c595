// Streamed sounds: the ring, its refills, intro and main parts, loops, ends, stops and replays, heard
// through the mixer.
#include "SoundTestSupport.h"

#include "sound/DSBCStreamBase.h"

#include <atomic>
#include <thread>

using namespace soundtest;

namespace {
Bytes OggTone(int frames, int channels, int rate, unsigned seed) {
    return fixtures::WriteOgg(fixtures::MakeToneSamples(frames, channels, rate, seed), channels, rate);
}

class StreamTest : public DeviceTest {
  protected:
    CDSBCStreamBase* Stream(int slot) { return dynamic_cast<CDSBCStreamBase*>(ctrl.GetController(slot)); }
    // Listens until the stream stops by itself, at most `limit` ms; how long that took.
    DWORD ListenToTheEnd(int slot, DWORD limit) {
        DWORD heard = 0;
        for (; ctrl.IsPlaying(slot) && heard < limit; heard += 5)
            Advance(5);
        return heard;
    }
};

TEST_F(StreamTest, PartsPlayInOrderOverSeveralRingTurnsWithoutGapOrRepeat) {
    const fixtures::WaveDesc intro = CdWave(13230, 1), main = CdWave(33075, 2); // 0.3 s and 0.75 s
    fixtures::WaveDesc chunky = CdWave(57330, 3);                               // 1.3 s
    chunky.beforeData = {{"LIST", Bytes(21, 3)}};
    chunky.afterData = {{"cue ", Bytes(30, 4)}};
    const fixtures::WaveDesc shortIntro = CdWave(7500, 4), longMain = CdWave(100000, 5); // 30,000 bytes
    const Bytes oggIntro = OggTone(11025, 2, 44100, 1), oggMain = OggTone(26000, 2, 44100, 2);
    const Bytes monoIntro = OggTone(4000, 1, 22050, 4), stereoMain = OggTone(20000, 2, 44100, 5);
    const std::string wave = "CDSBCStreamWave", ogg = "CDSBCStreamOgg";
    const std::string introEnd = Sjis("イントロ箇所のデータの読み込みが終了しました");
    struct Row {
        const char* name;
        Bytes intro, main;
        Samples introHeard, mainHeard;
        DWORD ms, length; // length 0: not looked at
        std::vector<std::string> logs;
    };
    const Row rows[] = {
        {"IntroThenMainOverSeveralRingTurnsWithoutGapOrRepeat",
         fixtures::WriteWave(intro),
         fixtures::WriteWave(main),
         Heard(intro.pcm, 2, 16),
         Heard(main.pcm, 2, 16),
         5000,
         1050,
         {wave + "::_ReadDataFromIntro -> " + introEnd,
          Line(wave + "::_ReadDataFromLoop", "Wave データの先頭へシークしました")}},
        {"MainAloneLoopsFromItsDataStart",
         {},
         fixtures::WriteWave(chunky),
         {},
         Heard(chunky.pcm, 2, 16),
         6000,
         1300,
         {}},
        {"AnIntroOfThirtyThousandBytesIsUsedUpByThePrefill",
         fixtures::WriteWave(shortIntro),
         fixtures::WriteWave(longMain),
         Heard(shortIntro.pcm, 2, 16),
         Heard(longMain.pcm, 2, 16),
         3000,
         0,
         {}},
        {"OggIntroThenMainLoopsWithoutAGap",
         oggIntro,
         oggMain,
         fixtures::DecodeOgg(oggIntro),
         fixtures::DecodeOgg(oggMain),
         4500,
         0,
         {ogg + "::_ReadDataFromIntro -> " + introEnd,
          Line(ogg + "::_ReadDataFromLoop", "OggVorbis データの先頭へシークしました")}},
        // The intro's mono samples are taken as stereo frames of the main part's format.
        {"AnOggIntroInAnotherFormatPlaysInTheMainPartsFormat",
         monoIntro,
         stereoMain,
         fixtures::DecodeOgg(monoIntro),
         fixtures::DecodeOgg(stereoMain),
         2000,
         0,
         {Line(ogg + "::_LoadSoundInfoFromIntro", "イントロ箇所とループ箇所のフォーマットが違います")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int slot = LoadStream(row.main, row.intro.empty() ? nullptr : &row.intro);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(pt::SoundBuffers().size(), 1u) << "nothing is read before the play";
        pt::TakeDebugOutput();
        pt::CaptureMixedSound(true);
        ASSERT_EQ(ctrl.Play(slot, 1), 1);
        EXPECT_FALSE(Stream(slot)->IsIntroStep()) << "every intro here fits in the prefill";
        Advance(row.ms);
        const Samples got = pt::TakeMixedSound();
        EXPECT_EQ(ctrl.GetController(slot)->IsStreamPlaying(), 1);
        EXPECT_EQ(pt::SoundBuffers().back().size, 352800u);
        EXPECT_EQ(ctrl.GetController(slot)->GetFormat().nSamplesPerSec, 44100u);
        if (row.length) {
            EXPECT_EQ(ctrl.GetController(slot)->GetLength(), row.length);
        }
        EXPECT_EQ(FirstDifference(got, Repeat(row.introHeard, row.mainHeard, got.size() / 2)), -1);
        const std::string log = pt::TakeDebugOutput();
        for (const std::string& line : row.logs)
            EXPECT_TRUE(Contains(log, line)) << line;
        ctrl.ReleaseSound(slot);
    }
}

TEST_F(StreamTest, AStreamWithoutLoopEndsWithinTwoRingTurnsAndAnEmptyLoopEnds) {
    fixtures::WaveDesc eightBit;
    eightBit.channels = 1;
    eightBit.bits = 8;
    eightBit.pcm = fixtures::MakePcm(22050, 1, 8);
    const fixtures::WaveDesc half = CdWave(22050, 6); // 0.5 s, shorter than the ring
    const Bytes ogg = OggTone(30000, 2, 44100, 3);
    const std::string wave = "CDSBCStreamWave", oggTag = "CDSBCStreamOgg";
    struct Row {
        const char* name;
        Bytes main;
        int loop;
        Samples heard; // then silence
        DWORD listen;  // an end comes within this, and after 2 s when there is data
        std::vector<std::string> logs;
        std::string never = "";
        bool ends = true;
    };
    const Row rows[] = {
        {"ANonLoopingStreamEndsWithinTwoRingTurns",
         fixtures::WriteWave(half),
         0,
         Heard(half.pcm, 2, 16),
         4000,
         {Line(wave + "::_StreamingReadDataFromLoop", "すべてのデータを書き込み終わりました"),
          Line(wave + "::_StreamingReadDataFromLoop", "書き込みがすべて終了しました"),
          Line(wave + "::OnStreaming", "ストリーム再生が正常に終了しました")}},
        {"OggStopsAndPlaysAgainAndEndsWithoutLoop",
         ogg,
         0,
         fixtures::DecodeOgg(ogg),
         4000,
         {Line(oggTag + "::OnStreaming", "ストリーム再生が正常に終了しました")}},
        {"ALoopingMainPartWithoutDataEndsInsteadOfSeekingForEver",
         fixtures::WriteWave(CdWave(0)),
         1,
         {},
         4500,
         {},
         Sjis("Wave データの先頭へシークしました")},
        {"ALoopingOggWithoutSamplesEndsInsteadOfSeekingForEver",
         fixtures::WriteOgg({}, 2, 44100),
         1,
         {},
         4500,
         {},
         Sjis("OggVorbis データの先頭へシークしました")},
        // The ring holds 8 s of this format; after the data it holds byte 128, 8-bit silence.
        {"EightBitSilenceAfterTheEndIsSilent",
         fixtures::WriteWave(eightBit),
         0,
         Heard(eightBit.pcm, 1, 8),
         1500,
         {},
         "",
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int slot = LoadStream(row.main);
        ASSERT_GE(slot, 0);
        // Started, stopped by its owner and started again: it plays from its beginning.
        PlayFor(slot, 1, 300);
        ASSERT_EQ(ctrl.Stop(slot), 1);
        pt::TakeDebugOutput();
        const Samples got = [&] {
            PlayFor(slot, row.loop, 0);
            const DWORD heard = ListenToTheEnd(slot, row.listen);
            if (row.ends) {
                EXPECT_TRUE(heard > (row.heard.empty() ? 0u : 2000u) && heard < row.listen) << heard;
            }
            return pt::TakeMixedSound();
        }();
        EXPECT_EQ(FirstDifference(got, Repeat(row.heard, {}, got.size() / 2)), -1);
        const std::string log = pt::TakeDebugOutput();
        for (const std::string& line : row.logs)
            EXPECT_TRUE(Contains(log, line)) << line;
        if (!row.never.empty()) {
            EXPECT_FALSE(Contains(log, row.never));
        }
        // The thread ended by itself; the owner's stop releases it.
        EXPECT_EQ(ctrl.GetController(slot)->IsThreadAlive(), !row.ends);
        ctrl.Stop(slot);
        EXPECT_FALSE(ctrl.GetController(slot)->HasThread());
        ctrl.ReleaseSound(slot);
    }
}

TEST_F(StreamTest, StopAndPlayAgainStartsFromTheBeginning) {
    const fixtures::WaveDesc intro = CdWave(8820, 7), main = CdWave(30000, 8);
    const Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(main), &introBytes);
    const Samples all = Repeat(Heard(intro.pcm, 2, 16), Heard(main.pcm, 2, 16), 132300);
    PlayFor(slot, 1, 1300);
    ASSERT_EQ(ctrl.Stop(slot), 1);
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_EQ(pt::SoundBuffers().size(), 1u); // the ring went with the stop
    EXPECT_FALSE(ctrl.GetController(slot)->HasThread());
    EXPECT_TRUE(
        Contains(pt::TakeDebugOutput(), Line("CThreadCtrl::ThreadRelease", "スレッドを正常に停止しました")));
    Advance(500);
    EXPECT_EQ(FirstDifference(PlayFor(slot, 1, 3000), all), -1);
    SCOPED_TRACE("PlayingAStreamThatEndedByItselfStartsItAgain");
    ctrl.Stop(slot);
    PlayFor(slot, 0, 0);
    ASSERT_LT(ListenToTheEnd(slot, 4500), 4500u);
    pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(PlayFor(slot, 1, 3000), all), -1);
    EXPECT_TRUE(ctrl.GetController(slot)->IsThreadAlive());
}

TEST_F(StreamTest, ALateRefillCatchesUpWithEverySegmentThatPlayed) {
    const fixtures::WaveDesc main = CdWave(44100 * 3, 10);
    const int slot = LoadStream(fixtures::WriteWave(main));
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    Advance(400);
    // The worker misses 0.4 s, more than three segments.
    ctrl.GetController(slot)->CThreadCtrl::Pause();
    Advance(400);
    ctrl.GetController(slot)->CThreadCtrl::Resume();
    Advance(5200);
    const Samples got = pt::TakeMixedSound();
    EXPECT_EQ(FirstDifference(got, Repeat({}, Heard(main.pcm, 2, 16), got.size() / 2)), -1);
}

TEST_F(StreamTest, APausedStreamGoesOnWhereItStood) {
    const fixtures::WaveDesc main = CdWave(44100 * 3, 11);
    const int slot = LoadStream(fixtures::WriteWave(main));
    Samples got = PlayFor(slot, 1, 400);
    ASSERT_EQ(ctrl.GetController(slot)->Pause(), 1);
    Advance(1000);
    EXPECT_EQ(pt::TakeMixedSound(), Samples(88200, 0));
    ASSERT_EQ(ctrl.GetController(slot)->Resume(), 1);
    EXPECT_EQ(ctrl.GetController(slot)->IsStreamPlaying(), 1);
    Advance(4600);
    const Samples more = pt::TakeMixedSound();
    got.insert(got.end(), more.begin(), more.end());
    EXPECT_EQ(FirstDifference(got, Repeat({}, Heard(main.pcm, 2, 16), got.size() / 2)), -1);
}

TEST_F(StreamTest, AWaveIntroInAnotherFormatRefusesThePlay) {
    fixtures::WaveDesc intro = CdWave(2000, 11);
    intro.rate = 22050;
    const Bytes introBytes = fixtures::WriteWave(intro);
    const int slot = LoadStream(fixtures::WriteWave(CdWave(20000, 12)), &introBytes);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_EQ(pt::TakeDebugOutput(), Line("CDSBCStreamWave::_LoadSoundInfoFromIntro",
                                          "イントロ箇所とループ箇所のフォーマットが違います"));
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
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
    const struct {
        pt::SoundCall call;
        const char* message;
    } rows[] = {
        {pt::SoundCall::GetPosition, "再生位置の取得に失敗しました"},
        {pt::SoundCall::Lock, "DSB の Lock に失敗しました"},
        {pt::SoundCall::Unlock, "DSB の Unlock に失敗しました"},
    };
    const int slot = LoadStream(fixtures::WriteWave(CdWave(100000, 16)));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        ASSERT_EQ(ctrl.Play(slot, 1), 1);
        pt::TakeDebugOutput();
        pt::FailSoundCall(row.call);
        Advance(300);
        const std::string log = pt::TakeDebugOutput();
        EXPECT_TRUE(Contains(log, Line("CDSBCStreamWave::_StreamingReadDataFromLoop", row.message)));
        EXPECT_TRUE(
            Contains(log, Line("CDSBCStreamWave::OnStreaming", "ストリーム再生の読み込みに失敗しました")));
        EXPECT_FALSE(ctrl.GetController(slot)->IsThreadAlive());
        EXPECT_EQ(ctrl.IsPlaying(slot), 1);
        ASSERT_EQ(ctrl.Stop(slot), 1);
    }
}

// A worker thread of the system steps on the manual clock: each of its sleeps moves the clock, and
// with it the mixer, so the stream runs as fast as the worker can go and is heard as in real time.
TEST_F(StreamTest, ARealWorkerThreadStreamsOnTheClock) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    const fixtures::WaveDesc main = CdWave(10000, 14);
    const int slot = LoadStream(fixtures::WriteWave(main));
    pt::CaptureMixedSound(true);
    const DWORD start = GetTickCount();
    ASSERT_EQ(ctrl.Play(slot, 1), 1);
    // A little more than a ring turn of sound; the worker refills on its own. Once the clock has passed
    // 2225 ms, the mixing up to 2200 ms is done: the worker mixes before it moves the clock on again.
    while (GetTickCount() - start < 2225 && ctrl.GetController(slot)->IsThreadAlive())
        std::this_thread::yield();
    ASSERT_EQ(ctrl.Stop(slot), 1);
    // The worker may go on a little while the stop, which mutes first, waits for it.
    Samples got = pt::TakeMixedSound();
    ASSERT_GE(got.size(), 97020u * 2);
    got.resize(97020 * 2);
    EXPECT_EQ(FirstDifference(got, Repeat({}, Heard(main.pcm, 2, 16), 97020)), -1);
}
} // namespace
