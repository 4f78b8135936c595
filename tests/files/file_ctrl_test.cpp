// The file window: reads and seeks held to a window over a borrowed file, and files opened by path.
#include "files/FileCtrl.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {
// Byte i of the file is i mod 251, so every read can be checked against its file offset.
class FileWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<unsigned char> bytes(1000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i % 251);
        ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("blob.bin"), bytes));
        fp = std::fopen(dir.File("blob.bin").c_str(), "rb");
        ASSERT_NE(fp, nullptr);
    }
    void TearDown() override { std::fclose(fp); }
    // A window of `size` bytes at file offset `start`.
    void AssignAt(CFileCtrl& window, long start, LONG size, std::FILE* file = nullptr) {
        ASSERT_EQ(std::fseek(file ? file : fp, start, SEEK_SET), 0);
        ASSERT_TRUE(window.Assign(file ? file : fp, size));
    }
    fixtures::TempDir dir;
    std::FILE* fp = nullptr;
};

TEST_F(FileWindow, ReadsStopAtTheWindowAtStartMiddleAndEnd) {
    for (const auto& [start, size] : {std::pair<long, LONG>{0, 100}, {400, 37}, {936, 64}}) {
        SCOPED_TRACE(start);
        CFileCtrl window;
        AssignAt(window, start, size);
        EXPECT_EQ(window.GetSize(), size);
        EXPECT_EQ(window.Tell(), 0);
        std::vector<unsigned char> buf(size + 50, 0xEE);
        // Asking for more than is left reads the rest and succeeds.
        ASSERT_TRUE(window.Read(buf.data(), static_cast<DWORD>(buf.size())));
        for (LONG i = 0; i < size; ++i)
            ASSERT_EQ(buf[i], (start + i) % 251) << i;
        EXPECT_EQ(buf[size], 0xEE) << "nothing beyond the window is read";
        EXPECT_EQ(window.Tell(), size);
        EXPECT_FALSE(window.Read(buf.data(), 1)) << "a read at the window end fails";
        EXPECT_EQ(window.Tell(), size);
    }
}

TEST_F(FileWindow, SeeksFromEachOriginStayWithinTheWindow) {
    CFileCtrl window;
    AssignAt(window, 300, 200);
    // Offset, origin (0 start, 1 current, 2 end), where the window stands after.
    const struct {
        LONG offset;
        int origin;
        LONG at;
    } rows[] = {{0, 2, 200},
                {10, 2, 190},
                {205, 2, 0},
                {205, 0, 200},
                {20, 0, 20},
                {205, 1, 200},
                // Offsets that point out of the window the other way are held at its edges too.
                {-50, 0, 0},
                {7, 0, 7},
                {-50, 1, 0},
                {-50, 2, 200},
                {5, 0, 5},
                {3, 1, 8}};
    for (const auto& row : rows) {
        EXPECT_TRUE(window.Seek(row.offset, row.origin));
        EXPECT_EQ(window.Tell(), row.at) << row.offset << " from " << row.origin;
    }
    unsigned char b = 0;
    ASSERT_TRUE(window.Read(&b, 1));
    EXPECT_EQ(b, (300 + 8) % 251);
    EXPECT_TRUE(window.Seek(-50, 2));
    EXPECT_FALSE(window.Read(&b, 1))
        << "a seek past the end from the end origin must not open the file beyond";
    EXPECT_FALSE(window.Seek(0, 3));
}

TEST_F(FileWindow, TagsAndTheEmptyOrRefusedWindow) {
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
    // ReadTagIsLittleEndianAndZeroWhenShort
    AssignAt(window, 10, 6);
    EXPECT_EQ(window.ReadTag(), 10u | 11u << 8 | 12u << 16 | 13u << 24);
    EXPECT_EQ(window.ReadTag(), 0u) << "two bytes left: a partial tag is no tag";
}

// Closing, replacing or destroying a window leaves its borrowed file open at the window's start.
TEST_F(FileWindow, CloseAndAssignLeaveABorrowedFileOpenAtTheWindowStart) {
    std::FILE* other = std::fopen(dir.File("blob.bin").c_str(), "rb");
    {
        CFileCtrl window;
        AssignAt(window, 123, 50);
        unsigned char buf[20];
        ASSERT_TRUE(window.Read(buf, sizeof buf));
        window.Close();
        EXPECT_EQ(window.GetSize(), -1);
        EXPECT_EQ(std::ftell(fp), 123);
        EXPECT_FALSE(window.Read(buf, 1));
        AssignAt(window, 40, 30);
        ASSERT_TRUE(window.Read(buf, 1));
        AssignAt(window, 600, 10, other);
        EXPECT_EQ(std::ftell(fp), 40) << "the dropped window's file is rewound to its start";
        ASSERT_TRUE(window.Read(buf, 4));
        EXPECT_EQ(buf[0], 600 % 251);
    }
    EXPECT_EQ(std::ftell(other), 600);
    EXPECT_EQ(std::fgetc(other), 600 % 251) << "the file is still open and usable";
    std::fclose(other);
}

TEST(FileWindowByPath, ReadWholeFileAndWriteNewOne) {
    fixtures::TempDir dir;
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
} // namespace
