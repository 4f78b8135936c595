// The RIFF walk: what it reads from a WAVE entry, and the entries it refuses.
#include "SoundTestSupport.h"

#include "sound/DSBCStaticWave.h"

using namespace soundtest;

namespace {
fixtures::WaveDesc Desc(int channels, int bits, int rate, int frames) {
    fixtures::WaveDesc s;
    s.channels = channels;
    s.bits = bits;
    s.rate = rate;
    s.pcm = fixtures::MakePcm(frames, channels, bits);
    return s;
}

class WaveReaderTest : public SoundTest {
  protected:
    // Loads the info of `bytes` as an entry; the log lines it wrote go to `log`.
    int Read(const fixtures::Bytes& bytes) {
        // The window lets go of the previous entry before its file closes.
        ctrl.Release();
        entry = std::make_unique<Entry>(dir, "e" + std::to_string(++count), bytes);
        pt::TakeDebugOutput();
        const int result = ctrl.LoadSoundInfo(entry->file(), entry->size());
        log = pt::TakeDebugOutput();
        return result;
    }
    std::string Refusal(const char* utf8) { return Line("CDSBCStaticWave::LoadSoundInfo", utf8); }
    std::unique_ptr<Entry> entry;
    CDSBCStaticWave ctrl;
    std::string log;
    int count = 0;
};

TEST_F(WaveReaderTest, ReadsFormatDataAndLength) {
    ASSERT_EQ(Read(fixtures::WriteWave(Desc(2, 16, 44100, 1000))), 1);
    const WAVEFORMATEX& f = ctrl.GetFormat();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
    EXPECT_EQ(ctrl.GetDataStart(), 44u);
    EXPECT_EQ(ctrl.GetDataSize(), 4000u);
    EXPECT_EQ(ctrl.GetDataEnd(), 4044u);
    EXPECT_EQ(ctrl.GetLength(), 23u); // 22.67 ms, rounded up
    EXPECT_EQ(log, "");
}

TEST_F(WaveReaderTest, TheLengthOfALongSoundDoesNotOverflow) {
    fixtures::WaveDesc s = Desc(1, 8, 11025, 0);
    s.pcm.assign(5000000, 128); // 453.5 s: data size x 1000 is past 32 bits
    ASSERT_EQ(Read(fixtures::WriteWave(s)), 1);
    EXPECT_EQ(ctrl.GetLength(), 453515u);
}

TEST_F(WaveReaderTest, SkipsOddChunksWithoutAPadByte) {
    fixtures::WaveDesc s = Desc(1, 8, 22050, 100);
    s.beforeFmt = {{"LIST", {1, 2, 3}}};
    s.beforeData = {{"junk", {9}}, {"fact", {0, 0, 0, 0}}};
    ASSERT_EQ(Read(fixtures::WriteWave(s)), 1);
    EXPECT_EQ(ctrl.GetDataStart(), 12u + 11u + 24u + 9u + 12u + 8u);
    EXPECT_EQ(ctrl.GetDataSize(), 100u);
    EXPECT_EQ(ctrl.GetFormat().nAvgBytesPerSec, 22050u);
}

TEST_F(WaveReaderTest, AChunkWhoseIdIsFourNulBytesIsSkippedLikeAnyOther) {
    fixtures::WaveDesc s = Desc(2, 16, 44100, 25);
    s.beforeData = {{std::string("\0\0\0\0", 4), {7, 7, 7}}};
    ASSERT_EQ(Read(fixtures::WriteWave(s)), 1);
    EXPECT_EQ(ctrl.GetDataStart(), 12u + 24u + 11u + 8u);
    EXPECT_EQ(ctrl.GetDataSize(), 100u);
    EXPECT_EQ(log, "");
}

TEST_F(WaveReaderTest, FmtBodiesOfSixteenAndEighteenBytesLoadLongerOnesAreRefused) {
    fixtures::WaveDesc s = Desc(2, 16, 44100, 10);
    s.fmtSize = 18;
    EXPECT_EQ(Read(fixtures::WriteWave(s)), 1);
    s.fmtSize = 40;
    s.formatTag = 0xFFFE;
    EXPECT_EQ(Read(fixtures::WriteWave(s)), 0);
    EXPECT_EQ(log, Refusal("このサウンドフォーマットは対応していません : [FormatTag = 65534]"));
}

TEST_F(WaveReaderTest, DataEndsAtTheEndOfTheDataBody) {
    fixtures::WaveDesc s = Desc(2, 16, 44100, 50);
    s.afterData = {{"LIST", fixtures::Bytes(77, 1)}};
    ASSERT_EQ(Read(fixtures::WriteWave(s)), 1);
    EXPECT_EQ(ctrl.GetDataEnd(), ctrl.GetDataStart() + 200u);
}

TEST_F(WaveReaderTest, ADataSizeBeyondTheEntryIsHeldToTheEntry) {
    fixtures::WaveDesc s = Desc(2, 16, 44100, 50);
    s.dataSizeClaim = 1000000;
    ASSERT_EQ(Read(fixtures::WriteWave(s)), 1);
    EXPECT_EQ(ctrl.GetDataSize(), 200u);
    EXPECT_EQ(ctrl.GetDataEnd(), entry->size());
}

TEST_F(WaveReaderTest, FormatsThatCannotBePlayedAsPcmAreRefused) {
    struct Case {
        const char* name;
        void (*change)(fixtures::WaveDesc&);
        const char* message;
    };
    const Case cases[] = {
        {"float", [](fixtures::WaveDesc& s) { s.formatTag = 3; },
         "このサウンドフォーマットは対応していません : [FormatTag = 3]"},
        {"no channel", [](fixtures::WaveDesc& s) { s.channels = 0; },
         "このサウンドフォーマットは対応していません : [FormatTag = 1]"},
        {"12 bits", [](fixtures::WaveDesc& s) { s.bits = 12; },
         "このサウンドフォーマットは対応していません : [FormatTag = 1]"},
        {"block align", [](fixtures::WaveDesc& s) { s.blockAlign = 3; },
         "このサウンドフォーマットは対応していません : [FormatTag = 1]"},
        {"no byte rate", [](fixtures::WaveDesc& s) { s.byteRate = 0; },
         "このサウンドフォーマットは対応していません : [FormatTag = 1]"},
        {"data before fmt", [](fixtures::WaveDesc& s) { s.dataBeforeFmt = true; },
         "このサウンドフォーマットは対応していません : [FormatTag = 0]"},
        {"no fmt", [](fixtures::WaveDesc& s) { s.writeFmt = false; },
         "このサウンドフォーマットは対応していません : [FormatTag = 0]"},
    };
    for (const Case& c : cases) {
        CDSBCStaticWave fresh;
        fixtures::WaveDesc s = Desc(2, 16, 44100, 20);
        c.change(s);
        Entry e(dir, c.name, fixtures::WriteWave(s));
        pt::TakeDebugOutput();
        EXPECT_EQ(fresh.LoadSoundInfo(e.file(), e.size()), 0) << c.name;
        EXPECT_EQ(pt::TakeDebugOutput(), Refusal(c.message)) << c.name;
        // The window was closed again: the entry is back at its first byte.
        EXPECT_EQ(e.Position(), 0) << c.name;
    }
}

TEST_F(WaveReaderTest, DamagedEntriesAreRefusedWithTheirMessages) {
    const fixtures::Bytes good = fixtures::WriteWave(Desc(2, 16, 44100, 20));
    fixtures::Bytes notRiff = good;
    notRiff[0] = 'X';
    EXPECT_EQ(Read(notRiff), 0);
    EXPECT_EQ(log, Refusal("指定されたファイルはサウンドファイルではありません"));
    fixtures::Bytes notWave = good;
    notWave[8] = 'A';
    EXPECT_EQ(Read(notWave), 0);
    EXPECT_EQ(log, Refusal("WAVE チャンクが見つかりません"));
    // Cut before the "data" chunk.
    EXPECT_EQ(Read(fixtures::Bytes(good.begin(), good.begin() + 38)), 0);
    EXPECT_EQ(log, Refusal("チャンクタグの検索に失敗しました"));
    EXPECT_EQ(Read(fixtures::Bytes(good.begin(), good.begin() + 6)), 0);
    EXPECT_EQ(log, Refusal("指定されたファイルはサウンドファイルではありません"));
}

TEST_F(WaveReaderTest, AChunkSizeReachingPastTheEntryEndsTheWalk) {
    fixtures::WaveDesc s = Desc(2, 16, 44100, 20);
    s.beforeData = {{"big!", {}}};
    fixtures::Bytes bytes = fixtures::WriteWave(s);
    // The "big!" header sits right after the 24-byte "fmt " chunk: claim almost 4 GiB, then a
    // size that would seek backwards if taken as signed.
    for (std::uint32_t claim : {0xFFFFFFF8u, 0x7FFFFFFFu}) {
        for (int i = 0; i < 4; ++i)
            bytes[40 + i] = static_cast<unsigned char>(claim >> (8 * i));
        EXPECT_EQ(Read(bytes), 0);
        EXPECT_EQ(log, Refusal("チャンクタグの検索に失敗しました"));
    }
}

TEST_F(WaveReaderTest, AnEntryThatCannotBeWindowedIsRefused) {
    EXPECT_EQ(ctrl.LoadSoundInfo(nullptr, 100), 0);
    EXPECT_EQ(pt::TakeDebugOutput(), Refusal("サウンドファイルのオープンに失敗しました"));
}
} // namespace
