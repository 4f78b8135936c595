// The message queue, the cursor and the files and profile calls as the program expects them of Windows.
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/testing.h"
#include "platform/window.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {
std::vector<UINT> g_seen;
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(msg);
    return msg == WM_USER ? 42 : DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Queue : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::testing::ClearMessages();
        g_seen.clear();
        hwnd = CreateHeadlessWindow(RecordingProc);
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        platform::testing::ClearMessages();
    }
    // The next message taken from the queue: its number, wParam and lParam; "none" when it is empty.
    std::string Next(UINT remove = PM_REMOVE) {
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, remove)) return "none";
        return std::to_string(m.message) + " " + std::to_string(m.wParam) + " " + std::to_string(m.lParam);
    }
    HWND hwnd = nullptr;
};

TEST_F(Queue, PaintOnlyWhenNothingElseWaits) {
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER + 2, 7, 8);
    EXPECT_EQ(Next(PM_NOREMOVE), std::to_string(WM_USER + 2) + " 7 8") << "PeekWithoutRemoveLeavesTheMessage";
    EXPECT_EQ(Next(), std::to_string(WM_USER + 2) + " 7 8");
    EXPECT_EQ(Next(), std::to_string(WM_PAINT) + " 0 0");
    EXPECT_EQ(Next(), "none");
}

TEST_F(Queue, SendIsSynchronousAndQuitCarriesItsCode) {
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 42);
    EXPECT_EQ(g_seen.size(), 1u);
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    EXPECT_EQ(g_seen.size(), 2u);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Queue, CursorCountMovesAndCharacters) {
    const int base = platform::testing::CursorShowCount();
    EXPECT_EQ(ShowCursor(FALSE), base - 1);
    EXPECT_EQ(ShowCursor(TRUE), base);
    SetCursorPos(-3, 20);
    EXPECT_EQ(Next(), std::to_string(WM_MOUSEMOVE) + " 0 " + std::to_string(MAKELPARAM_XY(-3, 20)));
    // TranslateTurnsKeysIntoCharacters
    MSG key{hwnd, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_TRUE(TranslateMessage(&key));
    EXPECT_EQ(Next(), std::to_string(WM_CHAR) + " 97 0");
}

TEST(Files, MixedCaseNameFoundThroughBackslashPathAndInjectedFaults) {
    fixtures::TempDir dir;
    std::filesystem::create_directories(dir.Path() + "Data/SubDir");
    fixtures::WriteFileBytes(dir.Path() + "Data/SubDir/Graphic.ARC", "abc", 3);
    const std::string program = dir.ProgramPath() + "data\\subdir\\graphic.arc";
    EXPECT_EQ(ResolvePath(program.c_str()), dir.Path() + "Data/SubDir/Graphic.ARC");
    EXPECT_EQ(_access(program.c_str(), 0), 0);
    _stat_t st{};
    ASSERT_EQ(_stat(program.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 3);
    std::FILE* fp = crt::fopen(program.c_str(), "rb");
    ASSERT_NE(fp, nullptr);
    char buf[4] = {};
    EXPECT_EQ(std::fread(buf, 1, 3, fp), 3u);
    EXPECT_STREQ(buf, "abc");
    std::fclose(fp);
    // A name that exists nowhere keeps its spelling so that it can be created.
    EXPECT_EQ(ResolvePath((dir.ProgramPath() + "DATA\\New.sav").c_str()), dir.Path() + "Data/New.sav");
    // ReadOnlyFileIsReadableButNotWritable
    std::filesystem::permissions(dir.Path() + "Data/SubDir/Graphic.ARC", std::filesystem::perms::owner_read);
    EXPECT_EQ(_access(program.c_str(), 4) * 10 + _access(program.c_str(), 6), -1);
    EXPECT_EQ(_access(dir.File("missing").c_str(), 0), -1);
    // InjectedFaults
    const std::string file = dir.File("data00.sav");
    platform::testing::FailOpensOf("data00");
    EXPECT_EQ(crt::fopen(file.c_str(), "wb"), nullptr);
    platform::testing::ClearFileFaults();
    platform::testing::LimitWritesOf("data00", 10);
    fp = crt::fopen(file.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    char data[100] = {};
    const bool failed = std::fwrite(data, 1, sizeof data, fp) < sizeof data || crt::fflush_sync(fp) != 0;
    std::fclose(fp);
    platform::testing::ClearFileFaults();
    EXPECT_TRUE(failed);
    EXPECT_EQ(fixtures::ReadFileBytes(file).size(), 10u);
}

TEST(Profile, ReadsAnyCaseCutsToBufferAndDefaults) {
    fixtures::TempDir dir;
    const std::string ini = dir.File("t.ini");
    fixtures::WriteFileText(ini, "[Config]\r\nTextSpeed = 1\r\nLong=abcdefghij\r\n[Other]\r\nA=2\r\n");
    char buf[16];
    EXPECT_EQ(GetPrivateProfileStringA("config", "TEXTSPEED", "", buf, sizeof buf, ini.c_str()), 1u);
    EXPECT_STREQ(buf, "1");
    EXPECT_EQ(GetPrivateProfileStringA("Config", "Long", "", buf, 5, ini.c_str()), 4u);
    EXPECT_STREQ(buf, "abcd");
    GetPrivateProfileStringA("Config", "A", "dflt", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "dflt");
    GetPrivateProfileStringA("Missing", "A", "", buf, sizeof buf, dir.File("none.ini").c_str());
    EXPECT_STREQ(buf, "");
}

TEST(Profile, WritesCreateFileAndSectionAndKeepOtherLines) {
    using namespace std::string_literals;
    fixtures::TempDir dir;
    const std::string ini = dir.File("w.ini");
    for (const auto& [section, key, value] :
         {std::tuple{"Path", "A", "1"}, {"Config", "B", "2"}, {"path", "C", "3"}, {"CONFIG", "b", "4"}})
        EXPECT_TRUE(WritePrivateProfileStringA(section, key, value, ini.c_str()));
    EXPECT_EQ(fixtures::ReadFileText(ini), "[Path]\r\nA=1\r\nC=3\r\n[Config]\r\nb=4\r\n");
    const struct {
        std::string before, after;
    } rows[] = {{"; note\r\n[Config]\r\nX=1\r\n\r\n[Keep]\r\nY=2\r\n",
                 "; note\r\n[Config]\r\nX=1\r\nZ=9\r\n\r\n[Keep]\r\nY=2\r\n"},
                // A line with a stray NUL in it is kept byte for byte, not cut at the NUL.
                {"[Odd\0x]\r\nK=\0v\r\n[Config]\r\nZ=1\r\n"s, "[Odd\0x]\r\nK=\0v\r\n[Config]\r\nZ=9\r\n"s}};
    for (const auto& row : rows) {
        fixtures::WriteFileText(ini, row.before);
        EXPECT_TRUE(WritePrivateProfileStringA("Config", "Z", "9", ini.c_str()));
        EXPECT_EQ(fixtures::ReadFileText(ini), row.after);
    }
}
} // namespace
