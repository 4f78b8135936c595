#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/FileCtrl.h"
#include "platform/testing.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using fixtures::ArcEntryData;
using fixtures::TempDir;
namespace le = fixtures::le;

namespace {
std::vector<unsigned char> ReadAll(std::FILE* fp, std::size_t n) {
    std::vector<unsigned char> out(n);
    if (n) {
        EXPECT_EQ(std::fread(out.data(), 1, n, fp), n);
    }
    return out;
}

std::vector<ArcEntryData> SampleEntries() {
    return {{"Sg004", le::Pattern(300, 1)},
            {"bg_Room01", le::Pattern(4096, 2)},
            {"se000", le::Pattern(17, 3)},
            {"VeryLongName015", le::Pattern(64, 4)}};
}

class Archive : public ::testing::Test {
  protected:
    std::string Write(const std::vector<unsigned char>& image, const char* name = "graphic.arc") {
        EXPECT_TRUE(fixtures::WriteFileBytes(dir.File(name), image));
        return dir.ProgramPath() + name;
    }
    void TearDown() override { platform::testing::ClearFileFaults(); }
    TempDir dir;
};
} // namespace

TEST_F(Archive, EntriesRoundTripWhateverTheCaseOfTheName) {
    const auto entries = SampleEntries();
    CArcFile arc(Write(fixtures::ArcImage(entries)).c_str());
    ASSERT_TRUE(arc.IsOpened());
    ASSERT_TRUE(arc.IsArchiveMode());
    EXPECT_EQ(arc.GetEntryCount(), 4);

    const char* asked[] = {"SG004", "BG_ROOM01", "Se000", "verylongname015"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(asked[i]);
        DWORD size = 0;
        std::FILE* fp = arc.OpenFile(asked[i], &size);
        ASSERT_NE(fp, nullptr);
        EXPECT_EQ(size, entries[i].data.size());
        EXPECT_EQ(ReadAll(fp, size), entries[i].data);
        EXPECT_EQ(arc.CloseFile(fp), 0);
    }
    EXPECT_EQ(arc.OpenFile("sg00", nullptr), nullptr) << "a prefix is another name";
    EXPECT_EQ(arc.OpenFile("sg0044", nullptr), nullptr);
    EXPECT_EQ(arc.OpenFile(nullptr, nullptr), nullptr);
}

TEST_F(Archive, HandedOutFilesAreCountedAndIndependent) {
    CArcFile arc(Write(fixtures::ArcImage(SampleEntries())).c_str());
    std::FILE* a = arc.OpenFile("sg004", nullptr);
    std::FILE* b = arc.OpenFile("se000", nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(arc.GetOpenFileCount(), 2);
    EXPECT_EQ(arc.CloseFile(nullptr), -1);
    EXPECT_EQ(arc.CloseFile(a), 1);
    // The reader's state does not reach the files it handed out.
    arc.Close();
    EXPECT_EQ(std::fgetc(b), le::Pattern(17, 3)[0]);
    ASSERT_TRUE(arc.Open(dir.File("graphic.arc").c_str()));
    EXPECT_EQ(arc.CloseFile(b), 0) << "a file handed out before the reopen is still taken back";
    std::FILE* c = arc.OpenFile("se000", nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(arc.CloseFile(c), 0);
    // Closing more files than were opened is refused and closes nothing.
    std::FILE* foreign = std::fopen(dir.File("graphic.arc").c_str(), "rb");
    EXPECT_EQ(arc.CloseFile(foreign), -1);
    EXPECT_EQ(std::fgetc(foreign), 'M');
    std::fclose(foreign);
}

TEST_F(Archive, FirstOfTwoEqualNamesWinsAndSixteenByteNamesStayInTheirField) {
    std::vector<ArcEntryData> entries = {{"twin", le::Pattern(10, 1)},
                                         {"TWIN", le::Pattern(20, 2)},
                                         {"ABCDEFGHIJKLMNOP", le::Pattern(30, 3)},
                                         {"after", le::Pattern(40, 4)}};
    CArcFile arc(Write(fixtures::ArcImage(entries)).c_str());
    DWORD size = 0;
    std::FILE* fp = arc.OpenFile("Twin", &size);
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(size, 10u);
    arc.CloseFile(fp);

    // All sixteen bytes are name: the offset that follows in the directory is not part of it.
    fp = arc.OpenFile("abcdefghijklmnop", &size);
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(size, 30u);
    arc.CloseFile(fp);
    EXPECT_EQ(arc.OpenFile("ABCDEFGHIJKLMNOPQ", nullptr), nullptr);
    std::string withOffsetBytes = "ABCDEFGHIJKLMNOP";
    const auto image = fixtures::ArcImage(entries);
    for (int i = 0; i < 4; ++i)
        withOffsetBytes += static_cast<char>(image[fixtures::ArcEntryOffsetField(2) + i]);
    EXPECT_EQ(arc.OpenFile(withOffsetBytes.c_str(), nullptr), nullptr);
}

TEST_F(Archive, EmptyArchiveOpensAndFindsNothing) {
    CArcFile arc(Write(fixtures::ArcImage({})).c_str());
    EXPECT_TRUE(arc.IsArchiveMode());
    EXPECT_EQ(arc.GetEntryCount(), 0);
    EXPECT_EQ(arc.OpenFile("sg004", nullptr), nullptr);
    int index = 7;
    EXPECT_EQ(arc.LoadEntry("sg004", 0, &index), 0u);
    EXPECT_EQ(index, -1);
}

TEST_F(Archive, SecondOpenIsRefusedUntilClosed) {
    const std::string path = Write(fixtures::ArcImage(SampleEntries()));
    CArcFile arc;
    EXPECT_FALSE(arc.IsOpened());
    EXPECT_TRUE(arc.Open(path.c_str()));
    EXPECT_FALSE(arc.Open(path.c_str()));
    arc.Close();
    EXPECT_FALSE(arc.IsOpened());
    EXPECT_TRUE(arc.Open(path.c_str()));
}

TEST_F(Archive, FileWindowsAtStartMiddleAndEnd) {
    const auto entries = SampleEntries();
    CArcFile arc(Write(fixtures::ArcImage(entries)).c_str());
    for (std::size_t i : {std::size_t{0}, std::size_t{1}, entries.size() - 1}) {
        SCOPED_TRACE(entries[i].name);
        DWORD size = 0;
        std::FILE* fp = arc.OpenFile(entries[i].name.c_str(), &size);
        ASSERT_NE(fp, nullptr);
        CFileCtrl window;
        ASSERT_TRUE(window.Assign(fp, static_cast<LONG>(size)));
        std::vector<unsigned char> got(size + 100, 0);
        ASSERT_TRUE(window.Read(got.data(), static_cast<DWORD>(got.size())));
        got.resize(size);
        EXPECT_EQ(got, entries[i].data);
        ASSERT_TRUE(window.Seek(4, 2));
        unsigned char tail[8] = {};
        ASSERT_TRUE(window.Read(tail, sizeof tail));
        EXPECT_EQ(tail[3], entries[i].data[size - 1]);
        window.Close();
        EXPECT_EQ(arc.CloseFile(fp), 0);
    }

    // Two windows over two files of one archive.
    DWORD sizeA = 0, sizeB = 0;
    std::FILE* a = arc.OpenFile("bg_room01", &sizeA);
    std::FILE* b = arc.OpenFile("verylongname015", &sizeB);
    CFileCtrl wa, wb;
    ASSERT_TRUE(wa.Assign(a, static_cast<LONG>(sizeA)));
    ASSERT_TRUE(wb.Assign(b, static_cast<LONG>(sizeB)));
    for (DWORD k = 0; k < sizeB; ++k) {
        unsigned char x, y;
        ASSERT_TRUE(wa.Read(&x, 1));
        ASSERT_TRUE(wb.Read(&y, 1));
        ASSERT_EQ(x, entries[1].data[k]);
        ASSERT_EQ(y, entries[3].data[k]);
    }
    wa.Close();
    wb.Close();
    arc.CloseFile(a);
    arc.CloseFile(b);
}

TEST_F(Archive, MissingArchiveServesLooseFilesInExtensionOrder) {
    const char* exts[] = {".cmp", ".ami", ".bmp", ".wav", ".ogg"};
    // Entry k exists with extensions k.. only, so the k-th extension must be the one chosen.
    for (int k = 0; k < 5; ++k) {
        const std::string name = "sg00" + std::to_string(k);
        for (int e = k; e < 5; ++e)
            ASSERT_TRUE(fixtures::WriteFileBytes(dir.File(name + exts[e]), le::Pattern(50 + e, 10 * k + e)));
    }
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
        EXPECT_EQ(ReadAll(fp, size), le::Pattern(50 + k, 10 * k + k));
        EXPECT_EQ(arc.CloseFile(fp), 0);
    }
    EXPECT_EQ(arc.OpenFile("sg009", nullptr), nullptr);
    EXPECT_EQ(arc.OpenFile(std::string(400, 'x').c_str(), nullptr), nullptr) << "an overlong path is cut off";
    int index = 3;
    EXPECT_EQ(arc.LoadEntry("sg000", 0, &index), 0u);
    EXPECT_EQ(index, -1);
}

TEST_F(Archive, LooseFolderWrittenByTheFixtureWriter) {
    std::filesystem::create_directories(dir.Path() + "Loose");
    const auto entries = SampleEntries();
    ASSERT_TRUE(fixtures::WriteLooseFiles(dir.Path() + "Loose", entries, ".wav"));
    CArcFile arc((dir.ProgramPath() + "loose\\se.arc").c_str());
    for (const auto& e : entries) {
        DWORD size = 0;
        std::FILE* fp = arc.OpenFile(e.name.c_str(), &size);
        ASSERT_NE(fp, nullptr) << e.name;
        EXPECT_EQ(ReadAll(fp, size), e.data);
        arc.CloseFile(fp);
    }
}

TEST_F(Archive, DamagedDirectoriesAreRefused) {
    const auto good = fixtures::ArcImage(SampleEntries());
    struct Case {
        const char* what;
        std::vector<unsigned char> image;
    };
    std::vector<Case> cases;
    {
        auto img = good;
        img.resize(fixtures::kArcHeaderSize + fixtures::kArcEntrySize * 2 + 5);
        cases.push_back({"directory cut short", img});
    }
    {
        auto img = good;
        le::Put32(img, fixtures::kArcCountOffset, 0x80000000u);
        cases.push_back({"count of 2^31", img});
    }
    {
        auto img = good;
        le::Put32(img, fixtures::kArcCountOffset, 0xAAAAAAABu); // 24 * n wraps to a small number
        cases.push_back({"count whose directory size wraps", img});
    }
    {
        auto img = good;
        img[3] = 'X';
        cases.push_back({"wrong magic", img});
    }
    cases.push_back({"header cut short", std::vector<unsigned char>(good.begin(), good.begin() + 10)});
    cases.push_back({"empty file", {}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CArcFile arc;
        EXPECT_FALSE(arc.Open(Write(c.image, "damaged.arc").c_str()));
        EXPECT_TRUE(arc.IsOpened());
        EXPECT_EQ(arc.GetEntryCount(), 0);
        EXPECT_EQ(arc.OpenFile("sg004", nullptr), nullptr);
        int index = 0;
        EXPECT_EQ(arc.LoadEntry("sg004", 1, &index), 0u);
        EXPECT_EQ(index, -1);
    }
}

TEST_F(Archive, EntriesOutsideTheFileAreNeverFound) {
    auto img = fixtures::ArcImage(SampleEntries());
    le::Put32(img, fixtures::ArcEntrySizeField(0), 1u << 20);                         // runs past the end
    le::Put32(img, fixtures::ArcEntryOffsetField(2), 0xFFFFFFF0u);                    // offset + size wraps
    le::Put32(img, fixtures::ArcEntryOffsetField(3), static_cast<DWORD>(img.size())); // starts at the end
    CArcFile arc(Write(img).c_str());
    ASSERT_EQ(arc.GetEntryCount(), 4);
    EXPECT_EQ(arc.OpenFile("sg004", nullptr), nullptr);
    EXPECT_EQ(arc.OpenFile("se000", nullptr), nullptr);
    EXPECT_EQ(arc.OpenFile("verylongname015", nullptr), nullptr);
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
    const auto entries = SampleEntries();
    CArcFile arc(Write(fixtures::ArcImage(entries), "mask.arc").c_str());
    int index = -5;
    ASSERT_EQ(arc.LoadEntry("BG_ROOM01", 0, &index), 4096u);
    ASSERT_EQ(index, 1);

    std::vector<unsigned char> head(1040), rest(4096 - 1040);
    EXPECT_EQ(arc.ReadEntry(head.data(), 1040, index), head.data());
    EXPECT_EQ(arc.GetEntryPointer(index)[0], entries[1].data[1040]);
    std::vector<unsigned char> tooMuch(5000, 0);
    EXPECT_EQ(arc.ReadEntry(tooMuch.data(), 5000, index), nullptr) << "fewer bytes than asked are left";
    EXPECT_EQ(tooMuch[0], 0) << "nothing was copied";
    EXPECT_EQ(arc.ReadEntry(rest.data(), static_cast<DWORD>(rest.size()), index), rest.data());
    head.insert(head.end(), rest.begin(), rest.end());
    EXPECT_EQ(head, entries[1].data);
    EXPECT_EQ(arc.ReadEntry(rest.data(), 1, index), nullptr) << "at the end";

    EXPECT_TRUE(arc.SeekEntry(index, 4095));
    EXPECT_FALSE(arc.SeekEntry(index, 4097));
    unsigned char last = 0;
    EXPECT_NE(arc.ReadEntry(&last, 1, index), nullptr);
    EXPECT_EQ(last, entries[1].data[4095]);

    arc.FreeEntry(index);
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);
    EXPECT_EQ(arc.ReadEntry(&last, 1, index), nullptr);
    arc.FreeEntry(index); // a second free finds nothing to free
    EXPECT_EQ(arc.ReadEntry(&last, 1, 99), nullptr);
    EXPECT_EQ(arc.ReadEntry(&last, 1, -1), nullptr);
    arc.FreeEntry(99);

    // A kept entry outlives FreeEntry; loading it again rewinds it.
    ASSERT_EQ(arc.LoadEntry("sg004", 1, &index), 300u);
    unsigned char first[3];
    ASSERT_NE(arc.ReadEntry(first, 3, index), nullptr);
    arc.FreeEntry(index);
    ASSERT_NE(arc.GetEntryPointer(index), nullptr);
    ASSERT_EQ(arc.LoadEntry("SG004", 0, &index), 300u);
    ASSERT_NE(arc.ReadEntry(first, 3, index), nullptr);
    EXPECT_EQ(first[0], entries[0].data[0]);
    arc.FreeEntry(index);
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);

    ASSERT_EQ(arc.LoadEntry("se000", 1, &index), 17u);
    arc.UnloadAllEntries();
    EXPECT_EQ(arc.GetEntryPointer(index), nullptr);

    EXPECT_EQ(arc.LoadEntry("nothing", 0, &index), 0u);
    EXPECT_EQ(index, -1);
}

TEST_F(Archive, EntryNotCachedWhenTheArchiveCannotBeReopened) {
    CArcFile arc(Write(fixtures::ArcImage(SampleEntries()), "mask.arc").c_str());
    platform::testing::FailOpensOf("mask.arc");
    int index = 0;
    EXPECT_EQ(arc.LoadEntry("sg004", 0, &index), 0u);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(arc.OpenFile("sg004", nullptr), nullptr);
    platform::testing::ClearFileFaults();
    EXPECT_EQ(arc.LoadEntry("sg004", 0, &index), 300u);
}

TEST_F(Archive, GlobalReadersFollowTheSettingsFolders) {
    std::filesystem::create_directories(dir.Path() + "gfx");
    std::filesystem::create_directories(dir.Path() + "data");
    ASSERT_TRUE(fixtures::WriteArc(dir.Path() + "gfx/Graphic.arc", SampleEntries()));
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.Path() + "data/rgn01.bmp", le::Pattern(9, 9)));
    CConfig config;
    config.SetSystemGraphicPath((dir.ProgramPath() + "gfx").c_str());
    config.SetSystemDataPath((dir.ProgramPath() + "data").c_str());
    CConfig* saved = g_pConfig;
    g_pConfig = &config;
    OpenArchives();
    g_pConfig = saved;

    ASSERT_NE(g_pGraphicArc, nullptr);
    ASSERT_NE(g_pDataArc, nullptr);
    EXPECT_TRUE(g_pGraphicArc->IsArchiveMode());
    EXPECT_FALSE(g_pDataArc->IsArchiveMode());
    std::FILE* fp = OpenGraphicFile("sg004");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(ReadAll(fp, 300), le::Pattern(300, 1));
    CloseGraphicFile(fp);
    EXPECT_EQ(g_pGraphicArc->GetOpenFileCount(), 0);
    fp = OpenDataFile("RGN01");
    ASSERT_NE(fp, nullptr);
    CloseDataFile(fp);
    EXPECT_EQ(OpenDataFile("sg004"), nullptr);
    EXPECT_EQ(OpenGraphicFile(nullptr), nullptr);
    CloseArchives();
    EXPECT_EQ(g_pGraphicArc, nullptr);
    EXPECT_EQ(g_pDataArc, nullptr);
    EXPECT_EQ(OpenGraphicFile("sg004"), nullptr);
}

TEST_F(Archive, BrokenGlobalArchiveLeavesItsReaderNull) {
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("graphic.arc"), "NOPE, not an archive", 20));
    CConfig config;
    config.SetSystemGraphicPath(dir.ProgramPath().c_str());
    config.SetSystemDataPath(dir.ProgramPath().c_str());
    CConfig* saved = g_pConfig;
    g_pConfig = &config;
    OpenArchives();
    g_pConfig = saved;
    EXPECT_EQ(g_pGraphicArc, nullptr);
    EXPECT_EQ(OpenGraphicFile("sg004"), nullptr);
    EXPECT_NE(g_pDataArc, nullptr);
    CloseArchives();
}
