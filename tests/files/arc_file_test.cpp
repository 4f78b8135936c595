// The "MAI\n" archive reader: lookups, handed-out files, loose files, damaged directories, cached
// entries and the two global readers.
#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/FileCtrl.h"
#include "platform/testing.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace le = fixtures::le;
using Bytes = std::vector<unsigned char>;

namespace {
Bytes ReadAll(std::FILE* fp, std::size_t n) {
    Bytes out(n);
    out.resize(std::fread(out.data(), 1, n, fp));
    return out;
}

const std::vector<fixtures::ArcEntryData> kEntries = {{"Sg004", le::Pattern(300, 1)},
                                                      {"bg_Room01", le::Pattern(4096, 2)},
                                                      {"se000", le::Pattern(17, 3)},
                                                      {"VeryLongName015", le::Pattern(64, 4)},
                                                      {"twin", le::Pattern(10, 5)},
                                                      {"TWIN", le::Pattern(20, 6)},
                                                      {"ABCDEFGHIJKLMNOP", le::Pattern(30, 7)},
                                                      {"after", le::Pattern(40, 8)}};

class Archive : public ::testing::Test {
  protected:
    std::string Write(const Bytes& image, const char* name = "graphic.arc") {
        EXPECT_TRUE(fixtures::WriteFileBytes(dir.File(name), image));
        return dir.ProgramPath() + name;
    }
    void TearDown() override { platform::testing::ClearFileFaults(); }
    fixtures::TempDir dir;
};

// Names are found whatever their case, the first of two equal names wins, and a name of 16
// characters or more is found nowhere: the longest name is 15 characters.
TEST_F(Archive, FirstOfTwoEqualNamesWinsAndSixteenByteNamesMatchNothing) {
    const Bytes image = fixtures::ArcImage(kEntries);
    CArcFile arc(Write(image).c_str());
    ASSERT_TRUE(arc.IsOpened() && arc.IsArchiveMode());
    EXPECT_EQ(arc.GetEntryCount(), 8);
    std::string withOffsetBytes = "ABCDEFGHIJKLMNOP";
    withOffsetBytes.append(image.begin() + fixtures::ArcEntryOffsetField(6),
                           image.begin() + fixtures::ArcEntryOffsetField(6) + 4);
    const struct {
        const char* name;
        int entry;
    } rows[] = {{"SG004", 0},
                {"BG_ROOM01", 1},
                {"Se000", 2},
                {"verylongname015", 3},
                {"Twin", 4},
                {"after", 7},
                // A prefix or a longer name is another name.
                {"sg00", -1},
                {"sg0044", -1},
                // Sixteen characters fill the field without a NUL: such an entry matches nothing.
                {"abcdefghijklmnop", -1},
                {"ABCDEFGHIJKLMNOPQ", -1},
                {withOffsetBytes.c_str(), -1},
                {nullptr, -1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name ? row.name : "null");
        DWORD size = 0;
        std::FILE* fp = arc.OpenFile(row.name, &size);
        ASSERT_EQ(fp != nullptr, row.entry >= 0);
        if (!fp) continue;
        EXPECT_EQ(size, kEntries[row.entry].data.size());
        EXPECT_EQ(ReadAll(fp, size), kEntries[row.entry].data);
        EXPECT_EQ(arc.CloseFile(fp), 0);
    }
}

TEST_F(Archive, HandedOutFilesAreCountedAndIndependent) {
    CArcFile arc(Write(fixtures::ArcImage(kEntries)).c_str());
    std::FILE* a = arc.OpenFile("sg004", nullptr);
    std::FILE* b = arc.OpenFile("se000", nullptr);
    ASSERT_TRUE(a && b && a != b);
    EXPECT_EQ(arc.GetOpenFileCount(), 2);
    EXPECT_EQ(arc.CloseFile(nullptr), -1);
    EXPECT_EQ(arc.CloseFile(a), 1);
    // The reader's state does not reach the files it handed out.
    arc.Close();
    EXPECT_FALSE(arc.IsOpened());
    EXPECT_EQ(std::fgetc(b), kEntries[2].data[0]);
    ASSERT_TRUE(arc.Open(dir.File("graphic.arc").c_str()));
    EXPECT_FALSE(arc.Open(dir.File("graphic.arc").c_str())) << "SecondOpenIsRefusedUntilClosed";
    EXPECT_EQ(arc.CloseFile(b), 0) << "a file handed out before the reopen is still taken back";
    // Closing more files than were opened is refused and closes nothing.
    std::FILE* foreign = std::fopen(dir.File("graphic.arc").c_str(), "rb");
    EXPECT_EQ(arc.CloseFile(foreign), -1);
    EXPECT_EQ(std::fgetc(foreign), 'M');
    std::fclose(foreign);
}

TEST_F(Archive, FileWindowsOverEntriesReadThemAloneAndIndependently) {
    CArcFile arc(Write(fixtures::ArcImage(kEntries)).c_str());
    DWORD sizes[2] = {};
    std::FILE* files[2] = {arc.OpenFile("bg_room01", &sizes[0]), arc.OpenFile("after", &sizes[1])};
    CFileCtrl windows[2];
    Bytes got[2];
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(windows[i].Assign(files[i], static_cast<LONG>(sizes[i])));
    // Read in turns, a byte at a time, then past the end: each window gives its own entry only.
    for (DWORD k = 0; k < 4200; ++k)
        for (int i = 0; i < 2; ++i) {
            unsigned char c;
            if (windows[i].Read(&c, 1)) got[i].push_back(c);
        }
    EXPECT_EQ(got[0], kEntries[1].data);
    EXPECT_EQ(got[1], kEntries[7].data);
    for (int i = 0; i < 2; ++i) {
        windows[i].Close();
        arc.CloseFile(files[i]);
    }
}

TEST_F(Archive, MissingArchiveServesLooseFilesInExtensionOrder) {
    const char* exts[] = {".cmp", ".ami", ".bmp", ".wav", ".ogg"};
    // Entry k exists with extensions k.. only, so the k-th extension must be the one chosen.
    for (int k = 0; k < 5; ++k)
        for (int e = k; e < 5; ++e)
            ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("sg00" + std::to_string(k) + exts[e]),
                                                 le::Pattern(50 + e, e)));
    CArcFile arc((dir.ProgramPath() + "graphic.arc").c_str());
    ASSERT_TRUE(arc.IsOpened());
    EXPECT_FALSE(arc.IsArchiveMode());
    EXPECT_STREQ(arc.GetPath(), dir.ProgramPath().c_str()) << "the folder, ending in a backslash";
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(exts[k]);
        DWORD size = 0;
        std::FILE* fp = arc.OpenFile(("SG00" + std::to_string(k)).c_str(), &size);
        ASSERT_NE(fp, nullptr);
        EXPECT_EQ(size, 50u + k);
        EXPECT_EQ(ReadAll(fp, size), le::Pattern(50 + k, k));
        EXPECT_EQ(arc.CloseFile(fp), 0);
    }
    EXPECT_EQ(arc.OpenFile("sg009", nullptr), nullptr);
    EXPECT_EQ(arc.OpenFile(std::string(400, 'x').c_str(), nullptr), nullptr) << "an overlong path is cut off";
    int index = 3;
    EXPECT_EQ(arc.LoadEntry("sg000", 0, &index), 0u);
    EXPECT_EQ(index, -1);
}

TEST_F(Archive, DamagedDirectoriesAreRefused) {
    const Bytes good = fixtures::ArcImage(kEntries);
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes image = good;
        le::Put32(image, at, value);
        return image;
    };
    const struct {
        const char* what;
        Bytes image;
    } rows[] = {
        {"directory cut short",
         Bytes(good.begin(), good.begin() + fixtures::kArcHeaderSize + fixtures::kArcEntrySize * 2 + 5)},
        {"count of 2^31", patched(fixtures::kArcCountOffset, 0x80000000u)},
        {"count whose directory size wraps", patched(fixtures::kArcCountOffset, 0xAAAAAAABu)},
        {"wrong magic", patched(0, 0x580A4941u)},
        {"header cut short", Bytes(good.begin(), good.begin() + 10)},
        {"empty file", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CArcFile arc;
        EXPECT_FALSE(arc.Open(Write(row.image, "damaged.arc").c_str()));
        EXPECT_TRUE(arc.IsOpened());
        EXPECT_EQ(arc.GetEntryCount(), 0);
        EXPECT_EQ(arc.OpenFile("sg004", nullptr), nullptr);
        int index = 0;
        EXPECT_EQ(arc.LoadEntry("sg004", 1, &index), 0u);
        EXPECT_EQ(index, -1);
    }
    // An archive with no entries opens and finds nothing.
    CArcFile empty(Write(fixtures::ArcImage({}), "empty.arc").c_str());
    EXPECT_TRUE(empty.IsArchiveMode());
    EXPECT_EQ(empty.OpenFile("sg004", nullptr), nullptr);
}

TEST_F(Archive, EntriesOutsideTheFileAreNeverFound) {
    Bytes image = fixtures::ArcImage(kEntries);
    le::Put32(image, fixtures::ArcEntrySizeField(0), 1u << 20);      // past the end
    le::Put32(image, fixtures::ArcEntryOffsetField(2), 0xFFFFFFF0u); // offset + size wraps
    le::Put32(image, fixtures::ArcEntryOffsetField(3), static_cast<DWORD>(image.size())); // starts at the end
    CArcFile arc(Write(image).c_str());
    ASSERT_EQ(arc.GetEntryCount(), 8);
    for (const char* name : {"sg004", "se000", "verylongname015"})
        EXPECT_EQ(arc.OpenFile(name, nullptr), nullptr) << name;
    int index = 0;
    EXPECT_EQ(arc.LoadEntry("se000", 0, &index), 0u);
    EXPECT_EQ(index, -1);
    DWORD size = 0;
    std::FILE* fp = arc.OpenFile("bg_room01", &size);
    ASSERT_NE(fp, nullptr) << "the sound entries of a damaged archive are still served";
    EXPECT_EQ(size, 4096u);
    arc.CloseFile(fp);
}

TEST_F(Archive, CachedEntriesReadInPiecesAndFreeOnce) {
    CArcFile arc(Write(fixtures::ArcImage(kEntries), "mask.arc").c_str());
    // EntryNotCachedWhenTheArchiveCannotBeReopened
    platform::testing::FailOpensOf("mask.arc");
    int index = 0;
    EXPECT_EQ(arc.LoadEntry("sg004", 0, &index), 0u);
    EXPECT_EQ(index, -1);
    platform::testing::ClearFileFaults();
    ASSERT_EQ(arc.LoadEntry("BG_ROOM01", 0, &index), 4096u);
    ASSERT_EQ(index, 1);
    Bytes head(1040), rest(5000, 0);
    EXPECT_EQ(arc.ReadEntry(head.data(), 1040, index), head.data());
    EXPECT_EQ(arc.GetEntryPointer(index)[0], kEntries[1].data[1040]);
    // Asked for more than is left, a read copies what is left.
    EXPECT_EQ(arc.ReadEntry(rest.data(), 5000, index), rest.data());
    head.insert(head.end(), rest.begin(), rest.begin() + 3056);
    EXPECT_EQ(head, kEntries[1].data);
    EXPECT_EQ(rest[3056], 0) << "nothing past the entry";
    EXPECT_EQ(arc.ReadEntry(rest.data(), 1, index), nullptr) << "at the end";
    EXPECT_TRUE(arc.SeekEntry(index, 4095));
    EXPECT_FALSE(arc.SeekEntry(index, 4097));
    unsigned char last = 0;
    EXPECT_NE(arc.ReadEntry(&last, 1, index), nullptr);
    EXPECT_EQ(last, kEntries[1].data[4095]);
    arc.FreeEntry(index);
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);
    EXPECT_EQ(arc.ReadEntry(&last, 1, index), nullptr);
    arc.FreeEntry(index); // a second free finds nothing to free
    for (int bad : {99, 8, -1}) {
        EXPECT_EQ(arc.ReadEntry(&last, 1, bad), nullptr);
        arc.FreeEntry(bad);
    }
    // A kept entry outlives FreeEntry; loading it again rewinds it and takes the new keep flag.
    ASSERT_EQ(arc.LoadEntry("sg004", 1, &index), 300u);
    unsigned char first[3];
    ASSERT_NE(arc.ReadEntry(first, 3, index), nullptr);
    arc.FreeEntry(index);
    ASSERT_NE(arc.GetEntryPointer(index), nullptr);
    ASSERT_EQ(arc.LoadEntry("SG004", 0, &index), 300u);
    ASSERT_NE(arc.ReadEntry(first, 3, index), nullptr);
    EXPECT_EQ(first[0], kEntries[0].data[0]);
    arc.FreeEntry(index);
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);
    ASSERT_EQ(arc.LoadEntry("se000", 1, &index), 17u);
    arc.UnloadAllEntries();
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);
    EXPECT_EQ(arc.LoadEntry("nothing", 0, &index), 0u);
    EXPECT_EQ(index, -1);
}

// A broken archive leaves its global reader null; a missing one serves loose files.
TEST_F(Archive, GlobalReadersFollowTheSettingsFolders) {
    std::filesystem::create_directories(dir.Path() + "gfx");
    std::filesystem::create_directories(dir.Path() + "data");
    ASSERT_TRUE(fixtures::WriteArc(dir.Path() + "gfx/Graphic.arc", kEntries));
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.Path() + "data/rgn01.bmp", le::Pattern(9, 9)));
    CConfig config;
    config.SetSystemGraphicPath((dir.ProgramPath() + "gfx").c_str());
    config.SetSystemDataPath((dir.ProgramPath() + "data").c_str());
    g_pConfig = &config;
    OpenArchives();
    ASSERT_TRUE(g_pGraphicArc && g_pDataArc);
    EXPECT_TRUE(g_pGraphicArc->IsArchiveMode());
    EXPECT_FALSE(g_pDataArc->IsArchiveMode());
    std::FILE* fp = OpenGraphicFile("sg004");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(ReadAll(fp, 300), kEntries[0].data);
    CloseGraphicFile(fp);
    EXPECT_EQ(g_pGraphicArc->GetOpenFileCount(), 0);
    fp = OpenDataFile("RGN01");
    ASSERT_NE(fp, nullptr);
    CloseDataFile(fp);
    EXPECT_EQ(g_pDataArc->GetOpenFileCount(), 0);
    EXPECT_EQ(OpenDataFile("sg004"), nullptr);
    EXPECT_EQ(OpenGraphicFile(nullptr), nullptr);
    CloseArchives();
    EXPECT_TRUE(!g_pGraphicArc && !g_pDataArc);
    EXPECT_EQ(OpenGraphicFile("sg004"), nullptr);

    SCOPED_TRACE("BrokenGlobalArchiveLeavesItsReaderNull");
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.Path() + "gfx/Graphic.arc", "NOPE, not an archive", 20));
    OpenArchives();
    g_pConfig = nullptr;
    EXPECT_EQ(g_pGraphicArc, nullptr);
    EXPECT_EQ(OpenGraphicFile("sg004"), nullptr);
    EXPECT_NE(g_pDataArc, nullptr);
    CloseArchives();
}
} // namespace
