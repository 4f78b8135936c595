#include "files/FileCtrl.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

using fixtures::TempDir;

namespace {
// Byte i of the file is i mod 251, so every read can be checked against its file offset.
std::vector<unsigned char> Pattern(std::size_t n) {
    std::vector<unsigned char> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i % 251);
    return bytes;
}

class FileWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("blob.bin"), Pattern(kFileSize)));
        fp = std::fopen(dir.File("blob.bin").c_str(), "rb");
        ASSERT_NE(fp, nullptr);
    }
    void TearDown() override {
        if (fp) std::fclose(fp);
    }
    // A window of `size` bytes at file offset `start`.
    void AssignAt(CFileCtrl& window, long start, LONG size) {
        ASSERT_EQ(std::fseek(fp, start, SEEK_SET), 0);
        ASSERT_TRUE(window.Assign(fp, size));
    }

    static constexpr long kFileSize = 1000;
    TempDir dir;
    std::FILE* fp = nullptr;
};
} // namespace

TEST_F(FileWindow, ReadsStopAtTheWindowAtStartMiddleAndEnd) {
    struct Case {
        long start;
        LONG size;
    };
    for (const Case c : {Case{0, 100}, Case{400, 37}, Case{kFileSize - 64, 64}}) {
        SCOPED_TRACE(c.start);
        CFileCtrl window;
        AssignAt(window, c.start, c.size);
        EXPECT_EQ(window.GetSize(), c.size);
        EXPECT_EQ(window.Tell(), 0);

        std::vector<unsigned char> buf(c.size + 50, 0xEE);
        // Asking for more than is left reads the rest and succeeds.
        ASSERT_TRUE(window.Read(buf.data(), static_cast<DWORD>(buf.size())));
        for (LONG i = 0; i < c.size; ++i)
            ASSERT_EQ(buf[i], (c.start + i) % 251) << i;
        EXPECT_EQ(buf[c.size], 0xEE) << "nothing beyond the window is read";
        EXPECT_EQ(window.Tell(), c.size);
        EXPECT_FALSE(window.Read(buf.data(), 1)) << "a read at the window end fails";
        EXPECT_EQ(window.Tell(), c.size);
    }
}

TEST_F(FileWindow, SeeksFromEachOriginStayWithinTheWindow) {
    CFileCtrl window;
    const LONG size = 200;
    AssignAt(window, 300, size);

    EXPECT_TRUE(window.Seek(0, 2));
    EXPECT_EQ(window.Tell(), size);
    EXPECT_TRUE(window.Seek(10, 2));
    EXPECT_EQ(window.Tell(), size - 10);
    EXPECT_TRUE(window.Seek(size + 5, 2));
    EXPECT_EQ(window.Tell(), 0);

    EXPECT_TRUE(window.Seek(size + 5, 0));
    EXPECT_EQ(window.Tell(), size);
    EXPECT_TRUE(window.Seek(20, 0));
    EXPECT_TRUE(window.Seek(size + 5, 1));
    EXPECT_EQ(window.Tell(), size);

    // Offsets that point out of the window the other way are held at its edges too.
    EXPECT_TRUE(window.Seek(-50, 0));
    EXPECT_EQ(window.Tell(), 0);
    EXPECT_TRUE(window.Seek(7, 0));
    EXPECT_TRUE(window.Seek(-50, 1));
    EXPECT_EQ(window.Tell(), 0);
    EXPECT_TRUE(window.Seek(-50, 2));
    EXPECT_EQ(window.Tell(), size);
    unsigned char b = 0;
    EXPECT_FALSE(window.Read(&b, 1))
        << "a seek past the end from the end origin must not open the file beyond";

    EXPECT_TRUE(window.Seek(5, 0));
    EXPECT_TRUE(window.Seek(3, 1));
    EXPECT_EQ(window.Tell(), 8);
    ASSERT_TRUE(window.Read(&b, 1));
    EXPECT_EQ(b, (300 + 8) % 251);
    EXPECT_FALSE(window.Seek(0, 3));
}

TEST_F(FileWindow, ReadTagIsLittleEndianAndZeroWhenShort) {
    CFileCtrl window;
    AssignAt(window, 10, 6);
    EXPECT_EQ(window.ReadTag(), 10u | 11u << 8 | 12u << 16 | 13u << 24);
    EXPECT_EQ(window.ReadTag(), 0u) << "two bytes left: a partial tag is no tag";
}

TEST_F(FileWindow, CloseLeavesABorrowedFileOpenAtTheWindowStart) {
    {
        CFileCtrl window;
        AssignAt(window, 123, 50);
        unsigned char buf[20];
        ASSERT_TRUE(window.Read(buf, sizeof buf));
        window.Close();
        EXPECT_EQ(window.GetSize(), -1);
        EXPECT_EQ(std::ftell(fp), 123);
        ASSERT_TRUE(window.Read(buf, 1) == false);
        AssignAt(window, 500, 10);
        ASSERT_TRUE(window.Read(buf, 4));
    } // the destructor closes too
    EXPECT_EQ(std::ftell(fp), 500);
    EXPECT_EQ(std::fgetc(fp), 500 % 251) << "the file is still open and usable";
}

TEST_F(FileWindow, AssignReplacesThePreviousWindow) {
    std::FILE* other = std::fopen(dir.File("blob.bin").c_str(), "rb");
    ASSERT_NE(other, nullptr);
    CFileCtrl window;
    AssignAt(window, 40, 30);
    unsigned char b;
    ASSERT_TRUE(window.Read(&b, 1));
    ASSERT_EQ(std::fseek(other, 600, SEEK_SET), 0);
    ASSERT_TRUE(window.Assign(other, 10));
    EXPECT_EQ(std::ftell(fp), 40) << "the dropped window's file is rewound to its start";
    ASSERT_TRUE(window.Read(&b, 1));
    EXPECT_EQ(b, 600 % 251);
    window.Close();
    std::fclose(other);
}

TEST_F(FileWindow, EmptyOrRefusedWindowFailsEverything) {
    CFileCtrl window;
    unsigned char b;
    EXPECT_FALSE(window.Read(&b, 1));
    EXPECT_FALSE(window.Seek(0, 0));
    EXPECT_EQ(window.Tell(), 0);
    EXPECT_EQ(window.GetSize(), -1);
    EXPECT_EQ(window.ReadTag(), 0u);
    EXPECT_FALSE(window.Assign(nullptr, 10));
    EXPECT_FALSE(window.Assign(fp, 0));
    EXPECT_FALSE(window.Assign(fp, -4));
    EXPECT_EQ(window.GetSize(), -1);
    window.Close();
}

TEST_F(FileWindow, TwoWindowsOverTwoFilesReadIndependently) {
    std::FILE* second = std::fopen(dir.File("blob.bin").c_str(), "rb");
    ASSERT_NE(second, nullptr);
    CFileCtrl a, b;
    AssignAt(a, 0, 100);
    ASSERT_EQ(std::fseek(second, 700, SEEK_SET), 0);
    ASSERT_TRUE(b.Assign(second, 100));
    for (int i = 0; i < 100; ++i) {
        unsigned char x, y;
        ASSERT_TRUE(a.Read(&x, 1));
        ASSERT_TRUE(b.Read(&y, 1));
        ASSERT_EQ(x, i % 251);
        ASSERT_EQ(y, (700 + i) % 251);
    }
    b.Close();
    std::fclose(second);
}

TEST(FileWindowByPath, ReadWholeFileAndWriteNewOne) {
    TempDir dir;
    const std::string path = dir.File("out.bin");
    {
        CFileCtrl writer;
        ASSERT_TRUE(writer.Open(path.c_str(), CFileCtrl::GENERIC_WRITE));
        EXPECT_STREQ(writer.GetFileName(), path.c_str());
        EXPECT_TRUE(writer.Write("hello", 5));
        unsigned char b;
        EXPECT_FALSE(writer.Read(&b, 1)) << "a write window does not read";
        EXPECT_EQ(writer.GetSize(), -1);
    }
    CFileCtrl reader;
    ASSERT_TRUE(reader.Open(path.c_str(), CFileCtrl::GENERIC_READ));
    EXPECT_EQ(reader.GetSize(), 5);
    char text[8] = {};
    EXPECT_TRUE(reader.Read(text, sizeof text));
    EXPECT_STREQ(text, "hello");
    EXPECT_FALSE(reader.Write("x", 1));
    reader.Close();
    EXPECT_STREQ(reader.GetFileName(), "");
    EXPECT_FALSE(reader.Open(dir.File("missing.bin").c_str(), CFileCtrl::GENERIC_READ));
}
