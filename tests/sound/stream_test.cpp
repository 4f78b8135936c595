// Streamed sounds: the ring, its refills, intro and main parts, loops, ends, stops and replays, heard
// through the mixer.
#include "SoundTestSupport.h"

#include "sound/DSBCStreamBase.h"

#include <thread>

using namespace soundtest;

namespace {
// A part's file and what the output holds of it.
struct Part {
    Bytes file;
    Samples heard;
};
Part Wav(const fixtures::WaveDesc& desc) {
    return {fixtures::WriteWave(desc), Heard(desc.pcm, desc.channels, desc.bits)};
}
Part Ogg(int frames, int channels, int rate, unsigned seed) {
    Bytes file = fixtures::WriteOgg(fixtures::MakeToneSamples(frames, channels, rate, seed), channels, rate);
    return {file, fixtures::DecodeOgg(file)};
}
// The lines the log lacks.
std::string Missing(const std::string& log, const std::vector<std::string>& lines) {
    std::string missing;
    for (const std::string& line : lines)
        missing += Contains(log, line) ? "" : line;
    return missing;
}

class StreamTest : public DeviceTest {
  protected:
    int Load(const Part& main, const Part* intro = nullptr) {
        return LoadStream(main.file, intro ? &intro->file : nullptr);
    }
    // Listens until the stream stops by itself, at most `limit` ms; how long that took.
    DWORD ListenToTheEnd(int slot, DWORD limit) {
        DWORD heard = 0;
        for (; ctrl.IsPlaying(slot) && heard < limit; heard += 5)
            Advance(5);
        return heard;
    }
    const std::string kWave = "CDSBCStreamWave", kOgg = "CDSBCStreamOgg";
};

TEST_F(StreamTest, PartsPlayInOrderOverSeveralRingTurnsWithoutGapOrRepeat) {
    fixtures::WaveDesc chunky = CdWave(57330, 3); // 1.3 s
    chunky.beforeData = {{"LIST", Bytes(21, 3)}};
    chunky.afterData = {{"cue ", Bytes(30, 4)}};
    const Part intro = Wav(CdWave(13230, 1)), main = Wav(CdWave(33075, 2)),
               alone = Wav(chunky);                                                  // 0.3, 0.75 s
    const Part shortIntro = Wav(CdWave(7500, 4)), longMain = Wav(CdWave(100000, 5)); // 30,000 bytes
    const Part oggIntro = Ogg(11025, 2, 44100, 1), oggMain = Ogg(26000, 2, 44100, 2);
    const Part monoIntro = Ogg(4000, 1, 22050, 4), stereoMain = Ogg(20000, 2, 44100, 5);
    const std::string introEnd = " -> " + Sjis("イントロ箇所のデータの読み込みが終了しました");
    const struct {
        const char* name;
        const Part *intro, &main;
        DWORD ms, length; // length 0: not looked at
        std::vector<std::string> logs;
    } rows[] = {
        {"IntroThenMainOverSeveralRingTurnsWithoutGapOrRepeat",
         &intro,
         main,
         5000,
         1050,
         {kWave + "::_ReadDataFromIntro" + introEnd,
          Line(kWave + "::_ReadDataFromLoop", "Wave データの先頭へシークしました")}},
        {"MainAloneLoopsFromItsDataStart", nullptr, alone, 6000, 1300, {}},
        {"AnIntroOfThirtyThousandBytesIsUsedUpByThePrefill", &shortIntro, longMain, 3000, 0, {}},
        {"OggIntroThenMainLoopsWithoutAGap",
         &oggIntro,
         oggMain,
         4500,
         0,
         {kOgg + "::_ReadDataFromIntro" + introEnd,
          Line(kOgg + "::_ReadDataFromLoop", "OggVorbis データの先頭へシークしました")}},
        // The intro's mono samples are taken as stereo frames of the main part's format.
        {"AnOggIntroInAnotherFormatPlaysInTheMainPartsFormat",
         &monoIntro,
         stereoMain,
         2000,
         0,
         {Line(kOgg + "::_LoadSoundInfoFromIntro", "イントロ箇所とループ箇所のフォーマットが違います")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int slot = Load(row.main, row.intro);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(pt::SoundBuffers().size(), 1u) << "nothing is read before the play";
        pt::TakeDebugOutput();
        const Samples got = PlayFor(slot, 1, row.ms);
        EXPECT_FALSE(dynamic_cast<CDSBCStreamBase*>(ctrl.GetController(slot))->IsIntroStep())
            << "every intro here fits in the prefill";
        EXPECT_EQ(ctrl.GetController(slot)->IsStreamPlaying(), 1);
        EXPECT_EQ(std::to_string(pt::SoundBuffers().back().size) + " " +
                      std::to_string(ctrl.GetController(slot)->GetFormat().nSamplesPerSec),
                  "352800 44100");
        EXPECT_EQ(row.length ? ctrl.GetController(slot)->GetLength() : 0, row.length);
        EXPECT_EQ(FirstDifference(
                      got, Repeat(row.intro ? row.intro->heard : Samples{}, row.main.heard, got.size() / 2)),
                  -1);
        EXPECT_EQ(Missing(pt::TakeDebugOutput(), row.logs), "");
        ctrl.ReleaseSound(slot);
    }
}

// Each stream is started, stopped by its owner and started again: it plays from its beginning, and
// then to its end, with up to a ring of silence after its data, and its thread ends by itself.
TEST_F(StreamTest, AStreamWithoutLoopEndsWithinTwoRingTurnsAndAnEmptyLoopEnds) {
    fixtures::WaveDesc eightBit = CdWave(0);
    eightBit.channels = 1;
    eightBit.bits = 8;
    eightBit.pcm = fixtures::MakePcm(22050, 1, 8);
    const Part half = Wav(CdWave(22050, 6)), ogg = Ogg(30000, 2, 44100, 3), eight = Wav(eightBit);
    const Part noData = Wav(CdWave(0)), noSamples = {fixtures::WriteOgg({}, 2, 44100), {}};
    const std::string loop = "::_StreamingReadDataFromLoop", fine = "ストリーム再生が正常に終了しました";
    const struct {
        const char* name;
        const Part& main;
        int loop;
        DWORD listen; // an end comes within this, and after 2 s when there is data; 0: no end
        std::vector<std::string> logs;
        std::string never = "";
    } rows[] = {
        {"ANonLoopingStreamEndsWithinTwoRingTurns",
         half,
         0,
         4000,
         {Line(kWave + loop, "すべてのデータを書き込み終わりました"),
          Line(kWave + loop, "書き込みがすべて終了しました"), Line(kWave + "::OnStreaming", fine.c_str())}},
        {"OggStopsAndPlaysAgainAndEndsWithoutLoop",
         ogg,
         0,
         4000,
         {Line(kOgg + "::OnStreaming", fine.c_str())}},
        {"ALoopingMainPartWithoutDataEndsInsteadOfSeekingForEver",
         noData,
         1,
         4500,
         {},
         Sjis("Wave データの先頭へシークしました")},
        {"ALoopingOggWithoutSamplesEndsInsteadOfSeekingForEver",
         noSamples,
         1,
         4500,
         {},
         Sjis("OggVorbis データの先頭へシークしました")},
        // The ring holds 8 s of this format; after the data it holds byte 128, 8-bit silence.
        {"EightBitSilenceAfterTheEndIsSilent", eight, 0, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int slot = Load(row.main);
        ASSERT_GE(slot, 0);
        PlayFor(slot, 1, 300);
        ASSERT_EQ(ctrl.Stop(slot), 1);
        pt::TakeDebugOutput();
        PlayFor(slot, row.loop, 0);
        const DWORD heard = ListenToTheEnd(slot, row.listen ? row.listen : 1500);
        EXPECT_TRUE(!row.listen || (heard > (row.main.heard.empty() ? 0u : 2000u) && heard < row.listen))
            << heard;
        const Samples got = pt::TakeMixedSound();
        EXPECT_EQ(FirstDifference(got, Repeat(row.main.heard, {}, got.size() / 2)), -1);
        const std::string log = pt::TakeDebugOutput();
        EXPECT_EQ(Missing(log, row.logs), "");
        EXPECT_TRUE(row.never.empty() || !Contains(log, row.never));
        // The thread ended by itself; the owner's stop releases it.
        EXPECT_EQ(ctrl.GetController(slot)->IsThreadAlive(), !row.listen);
        ctrl.Stop(slot);
        EXPECT_FALSE(ctrl.GetController(slot)->HasThread());
        ctrl.ReleaseSound(slot);
    }
}

TEST_F(StreamTest, StopAndPlayAgainStartsFromTheBeginning) {
    const Part intro = Wav(CdWave(8820, 7)), main = Wav(CdWave(30000, 8));
    const int slot = Load(main, &intro);
    const Samples all = Repeat(intro.heard, main.heard, 132300);
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

// ALateRefillCatchesUpWithEverySegmentThatPlayed: the worker misses 0.4 s, more than three segments.
// A paused stream stands still, worker and all, and goes on where it stood.
TEST_F(StreamTest, ALateRefillCatchesUpAndAPausedStreamGoesOnWhereItStood) {
    const Part main = Wav(CdWave(44100 * 3, 10));
    const int slot = Load(main);
    CDSoundBufferCtrlBase* c = ctrl.GetController(slot);
    Samples got = PlayFor(slot, 1, 400);
    c->CThreadCtrl::Pause();
    Advance(400);
    c->CThreadCtrl::Resume();
    Advance(400);
    ASSERT_EQ(c->Pause(), 1);
    Advance(1000);
    Samples more = pt::TakeMixedSound();
    EXPECT_EQ(Samples(more.end() - 88200, more.end()), Samples(88200, 0));
    more.resize(more.size() - 88200);
    ASSERT_EQ(c->Resume(), 1);
    EXPECT_EQ(c->IsStreamPlaying(), 1);
    Advance(4400);
    got.insert(got.end(), more.begin(), more.end());
    more = pt::TakeMixedSound();
    got.insert(got.end(), more.begin(), more.end());
    EXPECT_EQ(FirstDifference(got, Repeat({}, main.heard, got.size() / 2)), -1);
}

TEST_F(StreamTest, PlaysThatCannotStartAreUndone) {
    // AWaveIntroInAnotherFormatRefusesThePlay
    fixtures::WaveDesc other = CdWave(2000, 11);
    other.rate = 22050;
    const Part intro = Wav(other);
    int slot = Load(Wav(CdWave(20000, 12)), &intro);
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line(kWave + "::_LoadSoundInfoFromIntro", "イントロ箇所とループ箇所のフォーマットが違います"));
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    ctrl.ReleaseSound(slot);
    // APlayThatCannotStartIsUndone
    slot = Load(Wav(CdWave(50000, 15)));
    pt::FailSoundCall(pt::SoundCall::Play);
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_EQ(
        Missing(pt::TakeDebugOutput(), {Line("CDSoundBufferCtrlBase::Play", "DSB の再生に失敗しました")}),
        "");
    EXPECT_EQ(pt::SoundBuffers().size(), 1u);
    CThreadCtrl::FailNextThreadCreate();
    EXPECT_EQ(ctrl.Play(slot, 1), 0);
    EXPECT_EQ(Missing(pt::TakeDebugOutput(),
                      {Line("CThreadCtrl::ThreadCreate", "スレッドの作成に失敗しました"),
                       Line("CDSoundBufferCtrlBase::Play", "ストリーム再生スレッドの開始に失敗しました")}),
              "");
    EXPECT_EQ(ctrl.IsPlaying(slot), 0);
    EXPECT_EQ(pt::SoundBuffers().size(), 1u);
    EXPECT_EQ(ctrl.Play(slot, 1), 1);
}

TEST_F(StreamTest, AFailedStepEndsTheThreadAndTheRingPlaysOn) {
    const int slot = Load(Wav(CdWave(100000, 16)));
    for (const auto& [call, message] : {std::pair{pt::SoundCall::GetPosition, "再生位置の取得に失敗しました"},
                                        {pt::SoundCall::Lock, "DSB の Lock に失敗しました"},
                                        {pt::SoundCall::Unlock, "DSB の Unlock に失敗しました"}}) {
        SCOPED_TRACE(message);
        ASSERT_EQ(ctrl.Play(slot, 1), 1);
        pt::TakeDebugOutput();
        pt::FailSoundCall(call);
        Advance(300);
        EXPECT_EQ(Missing(pt::TakeDebugOutput(),
                          {Line(kWave + "::_StreamingReadDataFromLoop", message),
                           Line(kWave + "::OnStreaming", "ストリーム再生の読み込みに失敗しました")}),
                  "");
        EXPECT_FALSE(ctrl.GetController(slot)->IsThreadAlive());
        EXPECT_EQ(ctrl.IsPlaying(slot), 1);
        ASSERT_EQ(ctrl.Stop(slot), 1);
    }
}

// A worker thread of the system steps on the manual clock: each of its sleeps moves the clock, and
// with it the mixer, so the stream runs as fast as the worker can go and is heard as in real time.
TEST_F(StreamTest, ARealWorkerThreadStreamsOnTheClock) {
    CThreadCtrl::SetMode(CThreadCtrl::Mode::Threads);
    const Part main = Wav(CdWave(10000, 14));
    const int slot = Load(main);
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
    EXPECT_EQ(FirstDifference(got, Repeat({}, main.heard, 97020)), -1);
}
} // namespace
