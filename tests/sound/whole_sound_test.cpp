// Whole sounds: the RIFF walk of WAVE entries, WAVE and Ogg Vorbis held in one buffer and heard
// through the mixer, and the buffer operations of every controller.
#include "SoundTestSupport.h"

#include "sound/DSBCStaticWave.h"

#include <functional>

using namespace soundtest;

namespace {
fixtures::WaveDesc Desc(int channels, int bits, int rate, int frames) {
    fixtures::WaveDesc desc;
    desc.channels = channels;
    desc.bits = bits;
    desc.rate = rate;
    desc.pcm = fixtures::MakePcm(frames, channels, bits);
    return desc;
}

fixtures::WaveDesc With(fixtures::WaveDesc desc, const std::function<void(fixtures::WaveDesc&)>& change) {
    change(desc);
    return desc;
}

using WaveReaderTest = SoundTest;

TEST_F(WaveReaderTest, TheRiffWalkReadsFormatDataAndLength) {
    fixtures::WaveDesc huge = Desc(1, 8, 11025, 0), odd = Desc(1, 8, 22050, 100),
                       nulId = Desc(2, 16, 44100, 25), fmt18 = Desc(2, 16, 44100, 10),
                       after = Desc(2, 16, 44100, 50), claim = after;
    huge.pcm.assign(5000000, 128); // 453.5 s: data size x 1000 is past 32 bits
    odd.beforeFmt = {{"LIST", {1, 2, 3}}};
    odd.beforeData = {{"junk", {9}}, {"fact", {0, 0, 0, 0}}};
    nulId.beforeData = {{std::string(4, '\0'), {7, 7, 7}}};
    fmt18.fmtSize = 18;
    after.afterData = {{"LIST", Bytes(77, 1)}};
    claim.dataSizeClaim = 1000000;
    const struct {
        const char* name;
        const fixtures::WaveDesc& desc;
        const char* data; // start, size and length in ms (rounded up)
    } rows[] = {{"ReadsFormatDataAndLength", Desc(2, 16, 44100, 1000), "44 4000 23"},
                {"TheLengthOfALongSoundDoesNotOverflow", huge, "44 5000000 453515"},
                {"SkipsOddChunksWithoutAPadByte", odd, "76 100 5"},
                {"AChunkWhoseIdIsFourNulBytesIsSkippedLikeAnyOther", nulId, "55 100 1"},
                {"FmtBodiesOfEighteenBytesLoad", fmt18, "46 40 1"},
                {"DataEndsAtTheEndOfTheDataBody", after, "44 200 2"},
                {"ADataSizeBeyondTheEntryIsHeldToTheEntry", claim, "44 200 2"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CDSBCStaticWave ctrl;
        Entry entry(dir, row.name, fixtures::WriteWave(row.desc));
        ASSERT_EQ(ctrl.LoadSoundInfo(entry.file(), entry.size()), 1);
        const WAVEFORMATEX& f = ctrl.GetFormat();
        const int align = row.desc.channels * row.desc.bits / 8;
        EXPECT_EQ(std::to_string(f.wFormatTag) + " " + std::to_string(f.nChannels) + " " +
                      std::to_string(f.nSamplesPerSec) + " " + std::to_string(f.nBlockAlign) + " " +
                      std::to_string(f.nAvgBytesPerSec) + " " + std::to_string(f.wBitsPerSample) + " " +
                      std::to_string(f.cbSize),
                  "1 " + std::to_string(row.desc.channels) + " " + std::to_string(row.desc.rate) + " " +
                      std::to_string(align) + " " + std::to_string(row.desc.rate * align) + " " +
                      std::to_string(row.desc.bits) + " 0");
        EXPECT_EQ(std::to_string(ctrl.GetDataStart()) + " " + std::to_string(ctrl.GetDataSize()) + " " +
                      std::to_string(ctrl.GetLength()),
                  row.data);
        EXPECT_EQ(ctrl.GetDataEnd(), ctrl.GetDataStart() + ctrl.GetDataSize());
        EXPECT_EQ(pt::TakeDebugOutput(), "");
        ctrl.Release(); // the window lets go of the entry before its file closes
    }
}

// Damaged entries too, each with its message.
TEST_F(WaveReaderTest, FormatsThatCannotBePlayedAsPcmAreRefused) {
    const Bytes good = fixtures::WriteWave(Desc(2, 16, 44100, 20));
    auto patched = [&](std::size_t at, std::uint32_t value) {
        fixtures::WaveDesc d = Desc(2, 16, 44100, 20);
        d.beforeData = {{"big!", {}}}; // its size field sits right after the 24-byte "fmt " chunk
        Bytes bytes = fixtures::WriteWave(d);
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
        return bytes;
    };
    auto changed = [&](std::size_t at, unsigned char value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    auto wave = [](const std::function<void(fixtures::WaveDesc&)>& change) {
        return fixtures::WriteWave(With(Desc(2, 16, 44100, 20), change));
    };
    const char* const tag1 = "このサウンドフォーマットは対応していません : [FormatTag = 1]";
    const char* const tag0 = "このサウンドフォーマットは対応していません : [FormatTag = 0]";
    const char* const notSound = "指定されたファイルはサウンドファイルではありません";
    const char* const noTag = "チャンクタグの検索に失敗しました";
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } rows[] = {
        {"float", wave([](auto& d) { d.formatTag = 3; }),
         "このサウンドフォーマットは対応していません : [FormatTag = 3]"},
        {"extensible with a 40-byte fmt", wave([](auto& d) { d.fmtSize = 40, d.formatTag = 0xFFFE; }),
         "このサウンドフォーマットは対応していません : [FormatTag = 65534]"},
        {"no channel", wave([](auto& d) { d.channels = 0; }), tag1},
        {"12 bits", wave([](auto& d) { d.bits = 12; }), tag1},
        {"block align", wave([](auto& d) { d.blockAlign = 3; }), tag1},
        {"no byte rate", wave([](auto& d) { d.byteRate = 0; }), tag1},
        {"data before fmt", wave([](auto& d) { d.dataBeforeFmt = true; }), tag0},
        {"no fmt", wave([](auto& d) { d.writeFmt = false; }), tag0},
        {"not RIFF", changed(0, 'X'), notSound},
        {"not WAVE", changed(8, 'A'), "WAVE チャンクが見つかりません"},
        {"cut before the data chunk", Bytes(good.begin(), good.begin() + 38), noTag},
        {"cut inside the tag", Bytes(good.begin(), good.begin() + 6), notSound},
        {"AChunkSizeReachingPastTheEntryEndsTheWalk", patched(40, 0xFFFFFFF8u), noTag},
        {"a chunk size negative as signed", patched(40, 0x7FFFFFFFu), noTag},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CDSBCStaticWave ctrl;
        Entry entry(dir, row.name, row.bytes);
        pt::TakeDebugOutput();
        EXPECT_EQ(ctrl.LoadSoundInfo(entry.file(), entry.size()), 0);
        EXPECT_EQ(pt::TakeDebugOutput(), Line("CDSBCStaticWave::LoadSoundInfo", row.message));
        // The window was closed again: the entry is back at its first byte.
        EXPECT_EQ(entry.Position(), 0);
    }
    CDSBCStaticWave ctrl;
    EXPECT_EQ(ctrl.LoadSoundInfo(nullptr, 100), 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticWave::LoadSoundInfo", "サウンドファイルのオープンに失敗しました"));
}

TEST_F(DeviceTest, EveryPcmFormatPlaysOnceAsTheSourceThenEnds) {
    for (int bits : {8, 16}) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::to_string(bits) + " bit, " + std::to_string(channels) + " channels");
            fixtures::WaveDesc desc = Desc(channels, bits, 44100, 8820); // 200 ms
            desc.afterData = {{"LIST", Bytes(40, 0x7F)}};
            const int slot = Load(fixtures::WriteWave(desc));
            ASSERT_GE(slot, 0);
            EXPECT_EQ(ctrl.GetController(slot)->GetBufferSize(), desc.pcm.size());
            EXPECT_EQ(ctrl.GetController(slot)->GetLength(), 200u);
            ctrl.SetVolume(slot, 0);
            pt::CaptureMixedSound(true);
            ASSERT_EQ(ctrl.Play(slot, 0), 1);
            Advance(199);
            EXPECT_EQ(ctrl.IsPlaying(slot), 1);
            Advance(101);
            EXPECT_EQ(ctrl.IsPlaying(slot), 0);
            EXPECT_EQ(
                FirstDifference(pt::TakeMixedSound(), Repeat(Heard(desc.pcm, channels, bits), {}, 13230)),
                -1);
            ctrl.ReleaseSound(slot);
        }
    }
}

// Stop mutes and keeps the place; Pause keeps the volume too; StopAndRewind starts over.
TEST_F(DeviceTest, StopPauseAndRewindKeepOrMoveThePlace) {
    const fixtures::WaveDesc desc = CdWave(44100);
    const Samples source = Heard(desc.pcm, 2, 16);
    auto frames = [&](std::size_t from, std::size_t to) { // 4410 frames are 100 ms
        return Samples(source.begin() + from * 2, source.begin() + to * 2);
    };
    const Samples still(8820, 0);
    const int slot = Load(fixtures::WriteWave(desc));
    CDSoundBufferCtrlBase* c = ctrl.GetController(slot);
    struct Row {
        const char* name;
        std::function<int()> halt, goOn;
        Samples resumed, after; // the 100 ms after going on, then the 100 ms after a volume is set
    };
    const Row rows[] = {
        {"StopKeepsThePlaceAndPlayGoesOnSilentUntilAVolumeIsSet", [&] { return ctrl.Stop(slot); },
         [&] { return ctrl.Play(slot, 0); }, still, frames(8820, 13230)},
        {"Pause keeps the place and the volume", [&] { return c->Pause(); }, [&] { return c->Resume(); },
         frames(4410, 8820), frames(8820, 13230)},
        {"StopAndRewind", [&] { return c->StopAndRewind(); }, [&] { return ctrl.Play(slot, 0); }, still,
         frames(4410, 8820)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        c->StopAndRewind();
        ctrl.SetVolume(slot, 0);
        EXPECT_EQ(FirstDifference(PlayFor(slot, 0, 100), frames(0, 4410)), -1);
        ASSERT_EQ(row.halt(), 1);
        EXPECT_EQ(ctrl.IsPlaying(slot), 0);
        Advance(100);
        ASSERT_EQ(row.goOn(), 1);
        Advance(100);
        Samples want = still;
        want.insert(want.end(), row.resumed.begin(), row.resumed.end());
        EXPECT_EQ(FirstDifference(pt::TakeMixedSound(), want), -1);
        ctrl.SetVolume(slot, 0);
        Advance(100);
        EXPECT_EQ(FirstDifference(pt::TakeMixedSound(), row.after), -1);
    }
    pt::FailSoundCall(pt::SoundCall::Stop);
    EXPECT_EQ(c->Pause(), 0);
    pt::FailSoundCall(pt::SoundCall::Play);
    EXPECT_EQ(c->Resume(), 0);
    pt::FailSoundCall(pt::SoundCall::SetPosition);
    EXPECT_EQ(c->StopAndRewind(), 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSoundBufferCtrlBase::Pause", "DSB の停止に失敗しました") +
                  Line("CDSoundBufferCtrlBase::Resume", "DSB の再生に失敗しました") +
                  Line("CDSoundBufferCtrlBase::StopAndRewind", "DSB の巻き戻しに失敗しました"));
    CDSBCStaticWave empty;
    EXPECT_EQ(empty.Pause() + empty.Resume() + empty.StopAndRewind(), 0) << "no buffer";
}

TEST_F(DeviceTest, AnOddDataSizeIsRaisedToWholeFramesAndReadOnlyToTheEntrysEnd) {
    fixtures::WaveDesc desc = CdWave(251);
    desc.pcm.resize(1001);
    const int slot = Load(fixtures::WriteWave(desc));
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticWave::LoadSound", "バッファのアライメント調整を行います"));
    EXPECT_EQ(ctrl.GetController(slot)->GetBufferSize(), 1004u);
    EXPECT_EQ(ctrl.GetController(slot)->GetDataSize(), 1001u);
    ctrl.SetVolume(slot, 0);
    const Samples got = PlayFor(slot, 0, 10);
    // The last frame holds the one data byte left and zeros, not the bytes after the entry.
    EXPECT_EQ(got[500], static_cast<std::int16_t>(desc.pcm[1000]));
    EXPECT_EQ(got[501], 0);
    EXPECT_EQ(got[502], 0);
}

TEST_F(DeviceTest, WholeOggPlaysWhatTheFileHoldsInItsOwnFormat) {
    for (int channels : {2, 1}) {
        SCOPED_TRACE(channels == 2 ? "WholeOggPlaysItsDecodedSamples" : "MonoOggPlaysAsSixteenBit");
        const Bytes ogg =
            fixtures::WriteOgg(fixtures::MakeToneSamples(13230, channels, 44100), channels, 44100);
        const Samples decoded = fixtures::DecodeOgg(ogg);
        ASSERT_EQ(decoded.size(), 13230u * channels);
        const int slot = Load(ogg);
        ASSERT_GE(slot, 0);
        const CDSoundBufferCtrlBase* c = ctrl.GetController(slot);
        EXPECT_EQ(c->GetDataSize(), 13230u * 2 * channels);
        EXPECT_EQ(c->GetLength(), 300u);
        EXPECT_EQ(c->GetFormat().nBlockAlign, 2 * channels);
        EXPECT_EQ(c->GetFormat().nAvgBytesPerSec, 88200u * channels);
        ctrl.SetVolume(slot, 0);
        const Samples got = PlayFor(slot, 0, 350);
        EXPECT_EQ(ctrl.IsPlaying(slot), 0);
        EXPECT_EQ(FirstDifference(got, Repeat(Stereo(decoded, channels), {}, 15435)), -1);
        ctrl.ReleaseSound(slot);
    }
}

TEST_F(DeviceTest, BufferFailuresAreLoggedAndRefuseTheLoad) {
    const struct {
        pt::SoundCall call;
        const char* message;
    } rows[] = {
        {pt::SoundCall::CreateBuffer, "DirectSoundBuffer の作成に失敗しました"},
        {pt::SoundCall::Lock, "DirectSoundBuffer の Lock に失敗しました"},
        {pt::SoundCall::Unlock, "DirectSoundBuffer の Unlock に失敗しました"},
    };
    const Bytes wave = fixtures::WriteWave(CdWave(100));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        pt::FailSoundCall(row.call);
        EXPECT_EQ(Load(wave), -1);
        EXPECT_EQ(pt::TakeDebugOutput(),
                  Line("CDSBCStaticWave::LoadSound", row.message) +
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

TEST_F(DeviceTest, ADamagedOggFailsTheLoadAndACutOneLoadsWhatItHolds) {
    const Bytes ogg = fixtures::WriteOgg(fixtures::MakeToneSamples(3 * 44100, 2, 44100), 2, 44100);
    std::vector<std::size_t> pages;
    for (std::size_t i = 0; i + 4 <= ogg.size(); ++i)
        if (std::equal(ogg.begin() + i, ogg.begin() + i + 4, "OggS")) pages.push_back(i);
    ASSERT_GE(pages.size(), 5u);
    // A page in the middle that fails its check leaves a hole in the stream.
    Bytes damaged = ogg;
    damaged[pages[3] + 100] ^= 0x55;
    EXPECT_EQ(Load(damaged), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticOgg::LoadSound", "Ogg データの読み込みに失敗しました") +
                  Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました"));
    const Bytes cut(ogg.begin(), ogg.begin() + static_cast<long>(pages[pages.size() - 2]));
    const Samples decoded = fixtures::DecodeOgg(cut);
    ASSERT_GT(decoded.size(), 0u);
    ASSERT_LT(decoded.size(), 3u * 44100 * 2);
    const int slot = Load(cut);
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(ctrl.GetController(slot)->GetDataSize(), decoded.size() * 2);
    ctrl.SetVolume(slot, 0);
    const Samples got = PlayFor(slot, 0, 3000);
    EXPECT_EQ(FirstDifference(got, Repeat(decoded, {}, 132300)), -1);
}
} // namespace
