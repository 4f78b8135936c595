// Save data: the system record with its checksum, the read-text table from the seed and back, the
// slot files, and writes that fail halfway.
#include "files/Config.h"
#include "files/SaveData.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/SaveWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace le = fixtures::le;
namespace pt = platform::testing;
using Bytes = std::vector<unsigned char>;
// The save structures are packed: their numbers are copied out (DWORD{...}) before an assertion
// binds a reference to them.

namespace {
fixtures::ReadTextTableData SampleTable() {
    return {{"Main", 7, {{10, 0}, {52, 1}, {300, 0}}},
            {"EmptyBlock", 0, {}},
            {"chapter_02", 0xABCD, {{4, 0}, {9, 0}}}};
}

fixtures::SystemRecordData SampleRecord() {
    fixtures::SystemRecordData r;
    r.familyName = platform::Utf8ToSjis("佐藤");
    r.givenName = platform::Utf8ToSjis("花子");
    r.cgSeen = {0, 5, 248};
    r.scenesSeen = {0, 79};
    r.bestValues[2] = 100;
    r.bestValues[3] = -100;
    r.nextSlot = 3;
    return r;
}

Bytes StateBlob(std::uint32_t marker) {
    fixtures::SceneStateData s;
    s.year = 2031;
    s.registers[0] = marker;
    s.speakerName = platform::Utf8ToSjis("先生");
    s.layers[0] = {12, 34, 2, 1, 0, "bg_room01"};
    return fixtures::SceneStateBytes(s);
}

Bytes ScriptBlob(std::size_t localSize) {
    fixtures::ScriptStateData s;
    s.resumePc = 0x1234;
    s.savedData = le::Pattern(100, 5);
    s.frames = {{"main", le::Pattern(localSize, 6), 77}, {"sub_a", le::Pattern(8, 7), 0x1234}};
    return fixtures::ScriptStateBytes(s);
}

class SaveDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path() + "SaveData");
        config.SetSaveDataPath((dir.ProgramPath() + "SaveData").c_str());
        config.SetSystemDataPath(dir.ProgramPath().c_str());
        g_pConfig = &config;
    }
    void TearDown() override {
        g_pConfig = nullptr;
        pt::ClearFileFaults();
        pt::UseRealClock();
        pt::CaptureDebugOutput(false);
    }
    std::string SaveFile(const std::string& name) const { return dir.Path() + "SaveData/" + name; }
    std::string Data00() const { return SaveFile("data00.sav"); }
    void WriteSeed(const fixtures::ReadTextTableData& table) {
        ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("at"), fixtures::SeedFileBytes(table)));
    }
    // Writes a slot through the save data, as a save does.
    bool Save(CSaveData& save, int slot, const Bytes& a, const Bytes& b) {
        save.SelectSlot(slot);
        save.SetStateBlob(a.data(), static_cast<DWORD>(a.size()));
        save.SetScriptBlob(b.data(), static_cast<DWORD>(b.size()));
        const bool ok = save.WriteSlot();
        save.ResetSlot();
        return ok;
    }
    fixtures::TempDir dir;
    CConfig config;
};

// Written explicitly or on exit (only by an object that loaded), the file agrees with the format: the
// writer's own checksum of what lies on disk.
TEST_F(SaveDataTest, SystemRecordRoundTripsWithFlagsNamesAndBestValues) {
    const Bytes old = fixtures::SystemFileBytes(SampleRecord(), nullptr, 0);
    ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), old));
    { CSaveData never; }
    EXPECT_EQ(fixtures::ReadFileBytes(Data00()), old) << "OnlyALoadedRecordIsWrittenOnExit";
    for (bool onExit : {false, true}) {
        pt::UseManualClock(onExit ? 123456 : 777777);
        {
            CSaveData save;
            ASSERT_TRUE(save.LoadSystemFile());
            const auto* r = save.GetRecord();
            EXPECT_EQ(std::string(save.GetFamilyName()) + save.GetGivenName(),
                      platform::Utf8ToSjis(onExit ? "佐藤次郎" : "佐藤花子"));
            EXPECT_EQ(std::vector<int>({save.IsCGSeen(0), save.IsCGSeen(5), save.IsCGSeen(6),
                                        save.IsCGSeen(7), save.IsCGSeen(248), save.IsSceneSeen(40),
                                        save.IsSceneSeen(78), save.IsSceneSeen(79), r->bestValues[0],
                                        r->bestValues[2], r->bestValues[3], r->bestValues[23]}),
                      onExit ? std::vector<int>({1, 1, 0, 1, 1, 1, 0, 1, -1, 100, -100, 9})
                             : std::vector<int>({1, 1, 0, 0, 1, 0, 0, 1, -1, 100, -100, 0}));
            EXPECT_EQ(save.GetLastSavedSlot(), 2);
            EXPECT_FALSE(save.HasReadTextTable());
            save.SetCGSeen(7);
            save.SetSceneSeen(onExit ? 3 : 40);
            save.SetGivenName(platform::Utf8ToSjis("次郎").c_str());
            save.GetRecord()->bestValues[23] = 9;
            EXPECT_TRUE(onExit || save.WriteSystemFile());
        }
        const Bytes disk = fixtures::ReadFileBytes(Data00());
        ASSERT_EQ(disk.size(), fixtures::kSystemRecordSize);
        EXPECT_EQ(le::Get32(disk, fixtures::kRecordTickCount), onExit ? 123456u : 777777u);
        EXPECT_EQ(le::Get32(disk, fixtures::kRecordChecksum), fixtures::SystemRecordChecksum(disk));
        EXPECT_EQ(disk[fixtures::kRecordCGFlags + 7] * 100 +
                      disk[fixtures::kRecordSceneFlags + (onExit ? 3 : 40)],
                  onExit ? 804 : 841);
    }
}

TEST_F(SaveDataTest, MissingShortOrTamperedFileGivesDefaults) {
    const Bytes good = fixtures::SystemFileBytes(SampleRecord(), nullptr, 0);
    Bytes edited = good;
    edited[fixtures::kRecordCGFlags + 10] = 11; // a CG byte edited by hand
    const struct {
        const char* name;
        Bytes bytes;
    } rows[] = {{"missing", {}}, {"short", Bytes(good.begin(), good.end() - 1)}, {"tampered", edited}};
    pt::UseManualClock(4242);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(Data00());
        if (!row.bytes.empty()) {
            ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), row.bytes));
        }
        CSaveData save;
        EXPECT_FALSE(save.LoadSystemFile());
        EXPECT_EQ(std::filesystem::exists(Data00()), !row.bytes.empty())
            << "defaults are not written at load";
        EXPECT_EQ(std::string(save.GetFamilyName()) + save.GetGivenName(), platform::Utf8ToSjis("山田太郎"));
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(save.GetRecord()->bestValues[i], i < 23 ? -1 : 0);
        for (int i = 0; i < CSaveData::kCGCount; ++i)
            ASSERT_EQ(save.IsCGSeen(i), 0);
        EXPECT_EQ(save.GetLastSavedSlot(), -1);
        EXPECT_EQ(DWORD{save.GetRecord()->tickCount}, 4242u);
        EXPECT_EQ(DWORD{save.GetRecord()->checksum}, CSaveData::ComputeChecksum(*save.GetRecord()));
    }
}

TEST_F(SaveDataTest, NamesFlagsAndTheLastSlotStayWithinTheirFields) {
    fixtures::SystemRecordData r = SampleRecord();
    const std::string kanji = platform::Utf8ToSjis("漢");
    std::string thirteen; // no room left for the NUL
    for (int i = 0; i < 7; ++i)
        thirteen += kanji;
    r.familyName = thirteen.substr(0, 13);
    r.givenName = thirteen + thirteen;
    ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), fixtures::SystemFileBytes(r, nullptr, 0)));
    CSaveData save;
    ASSERT_TRUE(save.LoadSystemFile()) << "the names are not part of the checksum";
    EXPECT_EQ(std::string(save.GetFamilyName()) + save.GetGivenName(),
              thirteen.substr(0, 12) + thirteen.substr(0, 12));
    EXPECT_EQ(save.IsCGSeen(0), 1) << "the flags after the names are untouched";
    save.SetFamilyName("abcdefghijkl");  // 12 bytes: stored
    save.SetFamilyName("abcdefghijklm"); // 13 bytes: refused
    EXPECT_STREQ(save.GetFamilyName(), "abcdefghijkl");
    save.SetGivenName("x");
    save.SetGivenName(nullptr);
    EXPECT_EQ(std::memcmp(save.GetGivenName(), "x\0\0\0\0\0\0\0\0\0\0\0\0", 13), 0);

    // FlagNumbersOutOfRangeAreNeitherReadNorWritten
    const SystemSaveRecord before = *save.GetRecord();
    for (int i : {-1, -1000, 249, 250, 100000})
        save.SetCGSeen(i);
    for (int i : {-1, 80, 81, 255})
        save.SetSceneSeen(i);
    EXPECT_EQ(std::memcmp(&before, save.GetRecord(), sizeof before), 0);
    EXPECT_EQ(save.IsCGSeen(-1) + save.IsSceneSeen(-1) + save.IsSceneSeen(80), 0);
    EXPECT_EQ(save.IsCGSeen(249) + save.IsCGSeen(263), -2)
        << "the gallery leaves frames past the last CG alone";

    // LastSlotFieldIsHeldToTheSlotRange
    const std::pair<std::uint32_t, int> slots[] = {
        {0, -1}, {1, 0}, {30, 29}, {31, 30}, {32, -1}, {0xFFFFFFFFu, -1}, {0x80000000u, -1}};
    for (const auto& [stored, last] : slots) {
        r.nextSlot = stored;
        ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), fixtures::SystemFileBytes(r, nullptr, 0)));
        CSaveData other;
        ASSERT_TRUE(other.LoadSystemFile());
        EXPECT_EQ(other.GetLastSavedSlot(), last) << stored;
    }
}

// Name entry edits whole two-byte characters only: a name read from the file is cut before the first
// byte that could not have been typed there.
TEST_F(SaveDataTest, LoadedNamesAreCutBeforeTheFirstCharacterNameEntryRefuses) {
    const std::string sato = platform::Utf8ToSjis("佐藤"), sa = platform::Utf8ToSjis("佐");
    const struct {
        const char* name;
        std::string stored, loaded;
    } rows[] = {
        {"whole characters", sato, sato},
        {"six characters", platform::Utf8ToSjis("一二三四五六"), platform::Utf8ToSjis("一二三四五六")},
        {"half-width first", "Sato", ""},
        {"half-width inside", sa + "a" + platform::Utf8ToSjis("藤"), sa},
        {"half-width katakana", sa + "\xB1\xB2", sa},
        {"a lead byte without its trail", sa + "\x82", sa},
        {"a trail byte first", "\x40\x82\xA0", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fixtures::SystemRecordData r = SampleRecord();
        r.familyName = row.stored;
        r.givenName = row.stored;
        ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), fixtures::SystemFileBytes(r, nullptr, 0)));
        CSaveData save;
        ASSERT_TRUE(save.LoadSystemFile());
        EXPECT_EQ(std::string(save.GetFamilyName(), 13),
                  row.loaded + std::string(13 - row.loaded.size(), '\0'));
        EXPECT_EQ(std::string(save.GetGivenName()), row.loaded);
    }
}

TEST_F(SaveDataTest, ReadTextTableComesFromTheSeedThenFromTheSystemFile) {
    WriteSeed(SampleTable());
    const auto seedSize = static_cast<std::uint32_t>(fixtures::ReadTextTableSize(SampleTable()));
    {
        CSaveData save;
        save.LoadSystemFile();
        ASSERT_TRUE(save.HasReadTextTable());
        ASSERT_EQ(save.GetReadTextBlockCount(), 3u);
        EXPECT_EQ(save.GetReadTextSizeCheck(), seedSize);
        ReadTextBlock* blocks = save.GetReadTextBlocks();
        ReadTextEntry** entries = save.GetReadTextEntries();
        ASSERT_TRUE(blocks && entries);
        EXPECT_EQ(std::string(blocks[0].name) + blocks[1].name, "MainEmptyBlock");
        EXPECT_EQ(DWORD{blocks[0].entryCount}, 3u);
        EXPECT_EQ(DWORD{blocks[0].spare} * 0x10000 + DWORD{blocks[2].spare}, 0x7ABCDu);
        EXPECT_EQ(entries[1], nullptr) << "a block without entries has no entry array";
        EXPECT_EQ(DWORD{entries[0][2].position}, 300u);
        EXPECT_EQ(entries[0][1].read, 1);
        EXPECT_EQ(DWORD{entries[2][1].position}, 9u);
        // The game scene marks pages in place.
        entries[2][1].read = 1;
        EXPECT_TRUE(save.LoadReadTable());
        EXPECT_EQ(save.GetReadTextBlocks(), blocks) << "taken once only";
    } // written back on exit
    const Bytes disk = fixtures::ReadFileBytes(Data00());
    fixtures::ReadTextTableData marked = SampleTable();
    marked[2].entries[1].second = 1;
    const Bytes table = fixtures::ReadTextTableBytes(marked, seedSize);
    ASSERT_EQ(disk.size(), fixtures::kSystemRecordSize + table.size());
    EXPECT_TRUE(std::equal(table.begin(), table.end(), disk.begin() + fixtures::kSystemRecordSize));
    CSaveData next;
    next.LoadSystemFile();
    ASSERT_TRUE(next.HasReadTextTable());
    EXPECT_EQ(next.GetReadTextEntries()[2][1].read, 1) << "the marks come back from data00.sav";

    SCOPED_TRACE("BlockNamesAreKeptWithinTheirField");
    WriteSeed({{std::string(17, 'N'), 0, {{1, 0}}}});
    std::filesystem::remove(Data00());
    CSaveData longName;
    longName.LoadSystemFile();
    ASSERT_TRUE(longName.HasReadTextTable());
    EXPECT_EQ(std::strlen(longName.GetReadTextBlocks()[0].name), 16u);
    EXPECT_EQ(DWORD{longName.GetReadTextEntries()[0][0].position}, 1u);
}

TEST_F(SaveDataTest, ANewSeedRejectsTheStoredTableOnce) {
    WriteSeed(SampleTable());
    {
        CSaveData save;
        save.LoadSystemFile();
        ASSERT_TRUE(save.HasReadTextTable());
        save.GetReadTextEntries()[0][0].read = 1;
    }
    fixtures::ReadTextTableData bigger = SampleTable();
    bigger.push_back({"added", 0, {{1, 0}}});
    WriteSeed(bigger);
    {
        CSaveData save;
        save.LoadSystemFile();
        EXPECT_FALSE(save.HasReadTextTable());
        EXPECT_TRUE(!save.GetReadTextBlocks() && !save.GetReadTextEntries() && !save.GetReadTextBlockCount());
    }
    EXPECT_EQ(fixtures::ReadFileBytes(Data00()).size(), fixtures::kSystemRecordSize) << "the record alone";
    CSaveData third;
    third.LoadSystemFile();
    ASSERT_TRUE(third.HasReadTextTable());
    EXPECT_EQ(third.GetReadTextBlockCount(), 4u);
    EXPECT_EQ(third.GetReadTextEntries()[0][0].read, 0) << "started again from the new seed";
}

TEST_F(SaveDataTest, TablesWhoseCountsOverrunTheFileAreRejected) {
    const Bytes seed = fixtures::SeedFileBytes(SampleTable());
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes b = seed;
        le::Put32(b, at, value);
        return b;
    };
    const struct {
        const char* what;
        Bytes bytes;
    } rows[] = {{"block count of 2^28", patched(0, 0x10000000u)},
                {"block count of 2^32-1", patched(0, 0xFFFFFFFFu)},
                {"entry count past the end", patched(8 + 17, 0x40000000u)},
                {"one entry short", patched(8 + 25 * 2 + 17, 3)}, // the last block claims one entry more
                {"head cut short", Bytes(seed.begin(), seed.begin() + 6)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // The size check names the damaged file's own size, so only the counts can reject it.
        Bytes b = row.bytes;
        if (b.size() >= 8) le::Put32(b, 4, static_cast<std::uint32_t>(b.size()));
        ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("at"), b));
        CSaveData save;
        save.LoadSystemFile();
        EXPECT_FALSE(save.HasReadTextTable());
        EXPECT_EQ(save.GetReadTextBlockCount(), 0u);
    }
    SCOPED_TRACE("the same damage appended to data00.sav");
    WriteSeed(SampleTable());
    Bytes system = fixtures::SystemRecordBytes(SampleRecord());
    Bytes table = fixtures::ReadTextTableBytes(SampleTable(), static_cast<std::uint32_t>(seed.size()));
    le::Put32(table, 8 + 17, 0x7FFFFFFFu);
    le::AppendBytes(system, table);
    ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), system));
    CSaveData save;
    EXPECT_TRUE(save.LoadSystemFile());
    EXPECT_FALSE(save.HasReadTextTable());
}

TEST_F(SaveDataTest, SlotFilesRoundTripAndAreScanned) {
    CSaveData save;
    save.LoadSystemFile();
    const Bytes a = StateBlob(0xDEADBEEF), b = ScriptBlob(4096 - 17 - 29 * 2 - 100 - 8); // 2048 x 2 in all
    ASSERT_EQ(b.size(), 4096u);
    ASSERT_TRUE(Save(save, 4, a, b));
    EXPECT_EQ(fixtures::ReadFileBytes(SaveFile("data05.sav")), fixtures::SlotFileBytes(a, b));
    EXPECT_EQ(save.GetLastSavedSlot(), 4);
    EXPECT_FALSE(std::filesystem::exists(SaveFile("data05.sav.tmp")));
    ASSERT_TRUE(Save(save, 0, StateBlob(1), ScriptBlob(3)));
    EXPECT_EQ(save.GetLastSavedSlot(), 0);
    ASSERT_TRUE(Save(save, 30, StateBlob(2), ScriptBlob(3)));
    EXPECT_EQ(save.GetLastSavedSlot(), 0) << "slot 30 is never recorded";
    EXPECT_TRUE(std::filesystem::exists(SaveFile("data31.sav")));
    // UnusedHeaderShowsEmptyYetReads
    ASSERT_TRUE(fixtures::WriteFileBytes(SaveFile("data08.sav"), fixtures::SlotFileBytes(a, b, 0)));
    BYTE used[CSaveData::kSlotCount];
    std::memset(used, 0xCC, sizeof used);
    save.GetUsedSlots(used);
    for (int k = 0; k < CSaveData::kSlotCount; ++k)
        EXPECT_EQ(used[k], (k == 0 || k == 4 || k == 30) ? 1 : 0) << k;
    for (int slot : {4, 7}) {
        save.SelectSlot(slot);
        ASSERT_TRUE(save.ReadSlot());
        DWORD lenA = 0, lenB = 0;
        const BYTE* gotA = save.GetStateBlob(&lenA);
        const BYTE* gotB = save.GetScriptBlob(&lenB);
        ASSERT_TRUE(gotA && gotB);
        EXPECT_EQ(Bytes(gotA, gotA + lenA), a);
        EXPECT_EQ(Bytes(gotB, gotB + lenB), b);
        EXPECT_EQ(DWORD{save.GetSlotHeader().offsetB}, 17u + 533u);
        EXPECT_FALSE(save.ReadSlot()) << "blobs already read";
        save.ResetSlot();
        EXPECT_EQ(save.GetStateBlob(&lenA), nullptr);
        EXPECT_EQ(lenA, 0u);
        EXPECT_EQ(save.GetSelectedSlot(), -1);
    }
    EXPECT_STREQ(CSaveData::GetSlotFileName(0), "data01.sav");
    EXPECT_STREQ(CSaveData::GetSlotFileName(30), "data31.sav");
    EXPECT_EQ(CSaveData::GetSlotFileName(31), nullptr);
    EXPECT_EQ(CSaveData::GetSlotFileName(-1), nullptr);
}

TEST_F(SaveDataTest, SelectionAndAttachmentToggle) {
    CSaveData save;
    save.LoadSystemFile();
    save.SelectSlot(3);
    EXPECT_EQ(save.GetSelectedSlot(), 3);
    save.SelectSlot(3);
    EXPECT_EQ(save.GetSelectedSlot(), -1) << "a second select clears";
    for (int bad : {31, -1}) {
        save.SelectSlot(bad);
        EXPECT_EQ(save.GetSelectedSlot(), -1);
    }
    const Bytes a = StateBlob(1), b = ScriptBlob(4);
    EXPECT_FALSE(save.WriteSlot()) << "nothing selected";
    save.SelectSlot(2);
    EXPECT_FALSE(save.WriteSlot()) << "nothing attached";
    save.SetStateBlob(a.data(), static_cast<DWORD>(a.size()));
    save.SetScriptBlob(b.data(), static_cast<DWORD>(b.size()));
    save.SetScriptBlob(b.data(), static_cast<DWORD>(b.size())); // detaches again
    EXPECT_FALSE(save.WriteSlot());
    save.SetScriptBlob(b.data(), 0);
    EXPECT_FALSE(save.WriteSlot()) << "an empty blob is no save";
    save.SetScriptBlob(nullptr, 0);
    save.SetScriptBlob(b.data(), static_cast<DWORD>(b.size()));
    EXPECT_TRUE(save.WriteSlot());
    save.ResetSlot();
    save.SelectSlot(9);
    EXPECT_FALSE(save.ReadSlot()) << "no file";
}

TEST_F(SaveDataTest, DamagedSlotFilesAreRefused) {
    const Bytes a = StateBlob(5), b = ScriptBlob(10), good = fixtures::SlotFileBytes(a, b);
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes x = good;
        le::Put32(x, at, value);
        return x;
    };
    Bytes longA = a;
    longA.push_back(0);
    const struct {
        const char* what;
        Bytes bytes;
    } rows[] = {{"blob A of 532 bytes", fixtures::SlotFileBytes(Bytes(a.begin(), a.end() - 1), b)},
                {"blob A of 534 bytes", fixtures::SlotFileBytes(longA, b)},
                {"blob B cut short", Bytes(good.begin(), good.end() - 1)},
                {"header only", Bytes(good.begin(), good.begin() + 17)},
                {"header cut short", Bytes(good.begin(), good.begin() + 10)},
                {"blob B length of 4 GiB", patched(12, 0xFFFFFFF0u)},
                {"blob B offset past the end", patched(8, 0xFFFFFFF0u)},
                {"blob A offset at the end", patched(0, static_cast<std::uint32_t>(good.size()))},
                {"empty blob B", patched(12, 0)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(fixtures::WriteFileBytes(SaveFile("data02.sav"), row.bytes));
        CSaveData save;
        save.SelectSlot(1);
        EXPECT_FALSE(save.ReadSlot());
        DWORD len = 1;
        EXPECT_EQ(save.GetStateBlob(&len), nullptr);
        EXPECT_EQ(len, 0u);
        EXPECT_EQ(save.GetScriptBlob(&len), nullptr);
    }
    // Any offsets inside the file are read: the blobs in the other order.
    Bytes swapped(17);
    le::Put32(swapped, 0, static_cast<std::uint32_t>(17 + b.size()));
    le::Put32(swapped, 4, static_cast<std::uint32_t>(a.size()));
    le::Put32(swapped, 8, 17);
    le::Put32(swapped, 12, static_cast<std::uint32_t>(b.size()));
    swapped[16] = 1;
    le::AppendBytes(swapped, b);
    le::AppendBytes(swapped, a);
    ASSERT_TRUE(fixtures::WriteFileBytes(SaveFile("data02.sav"), swapped));
    CSaveData save;
    save.SelectSlot(1);
    ASSERT_TRUE(save.ReadSlot());
    DWORD len = 0;
    const BYTE* gotA = save.GetStateBlob(&len);
    EXPECT_EQ(Bytes(gotA, gotA + len), a);
}

TEST_F(SaveDataTest, MissingSaveFolderIsCreatedOnWrite) {
    std::filesystem::remove_all(dir.Path() + "SaveData");
    CSaveData save;
    EXPECT_FALSE(save.LoadSystemFile());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "SaveData")) << "reading creates nothing";
    ASSERT_TRUE(save.WriteSystemFile());
    EXPECT_EQ(fixtures::ReadFileBytes(Data00()).size(), fixtures::kSystemRecordSize);
    std::filesystem::remove_all(dir.Path() + "SaveData");
    ASSERT_TRUE(Save(save, 6, StateBlob(1), ScriptBlob(2)));
    EXPECT_TRUE(std::filesystem::exists(SaveFile("data07.sav")));
    // Only one level is made: a save folder whose parent is gone fails, and says so.
    config.SetSaveDataPath((dir.ProgramPath() + "gone\\SaveData").c_str());
    pt::CaptureDebugOutput(true);
    EXPECT_FALSE(save.WriteSystemFile());
    EXPECT_FALSE(Save(save, 6, StateBlob(1), ScriptBlob(2)));
    const std::string trace = pt::TakeDebugOutput();
    EXPECT_NE(trace.find("CSaveData::WriteSystemFile"), std::string::npos) << trace;
    EXPECT_NE(trace.find("CSaveData::WriteSlot"), std::string::npos) << trace;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "gone"));
}

TEST_F(SaveDataTest, AWriteThatFailsHalfwayKeepsTheOldFiles) {
    WriteSeed(SampleTable());
    // The record alone: a full write would be longer.
    const Bytes oldSystem = fixtures::SystemFileBytes(SampleRecord(), nullptr, 0);
    ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), oldSystem));
    const Bytes oldSlot = fixtures::SlotFileBytes(StateBlob(1), ScriptBlob(5000));
    ASSERT_TRUE(fixtures::WriteFileBytes(SaveFile("data06.sav"), oldSlot));
    CSaveData save;
    ASSERT_TRUE(save.LoadSystemFile());
    save.SetCGSeen(100);
    pt::CaptureDebugOutput(true);
    for (long limit : {0L, 100L, 398L, 399L, 450L, -1L}) {
        SCOPED_TRACE(limit);
        limit < 0 ? pt::FailOpensOf("data00") : pt::LimitWritesOf("data00", limit);
        EXPECT_FALSE(save.WriteSystemFile());
        pt::ClearFileFaults();
        EXPECT_EQ(fixtures::ReadFileBytes(Data00()), oldSystem);
        EXPECT_FALSE(std::filesystem::exists(Data00() + ".tmp"));
    }
    const Bytes a = StateBlob(2), b = ScriptBlob(6000);
    for (long limit : {0L, 10L, 17L, 2048L, 5000L}) {
        SCOPED_TRACE(limit);
        pt::LimitWritesOf("data06", limit);
        EXPECT_FALSE(Save(save, 5, a, b));
        pt::ClearFileFaults();
        EXPECT_EQ(fixtures::ReadFileBytes(SaveFile("data06.sav")), oldSlot);
        EXPECT_FALSE(std::filesystem::exists(SaveFile("data06.sav.tmp")));
    }
    EXPECT_EQ(save.GetLastSavedSlot(), 2) << "a failed slot write is not remembered as the last";
    EXPECT_NE(pt::TakeDebugOutput().find("kept as it was"), std::string::npos);
    // Once the disk is well again both writes replace the old files.
    ASSERT_TRUE(Save(save, 5, a, b));
    EXPECT_EQ(fixtures::ReadFileBytes(SaveFile("data06.sav")), fixtures::SlotFileBytes(a, b));
    ASSERT_TRUE(save.WriteSystemFile());
    CSaveData reread;
    ASSERT_TRUE(reread.LoadSystemFile());
    EXPECT_EQ(reread.IsCGSeen(100), 1);
    EXPECT_EQ(reread.GetLastSavedSlot(), 5);
    EXPECT_TRUE(reread.HasReadTextTable());
}

TEST_F(SaveDataTest, DeleteAllRemovesSlotsAndWritesDefaults) {
    ASSERT_TRUE(fixtures::WriteFileBytes(Data00(), fixtures::SystemFileBytes(SampleRecord(), nullptr, 0)));
    CSaveData save;
    save.LoadSystemFile();
    ASSERT_TRUE(Save(save, 0, StateBlob(1), ScriptBlob(1)));
    ASSERT_TRUE(Save(save, 17, StateBlob(1), ScriptBlob(1)));
    EXPECT_TRUE(save.DeleteAll());
    EXPECT_FALSE(std::filesystem::exists(SaveFile("data01.sav")) ||
                 std::filesystem::exists(SaveFile("data18.sav")));
    EXPECT_EQ(save.IsCGSeen(5), 0);
    EXPECT_EQ(save.GetLastSavedSlot(), -1);
    CSaveData reread;
    EXPECT_TRUE(reread.LoadSystemFile());
    EXPECT_EQ(std::string(reread.GetFamilyName()), platform::Utf8ToSjis("山田"));
}
} // namespace
