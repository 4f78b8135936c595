#include "platform/files.h"
#include "platform/profile.h"
#include "platform/testing.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using fixtures::TempDir;

TEST(Files, MixedCaseNameFoundThroughBackslashPath) {
    TempDir dir;
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
}

TEST(Files, ReadOnlyFileIsReadableButNotWritable) {
    TempDir dir;
    const std::string file = dir.File("ro.ini");
    fixtures::WriteFileBytes(file, "x", 1);
    std::filesystem::permissions(file,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(_access(file.c_str(), 4), 0);
    EXPECT_EQ(_access(file.c_str(), 6), -1);
    EXPECT_EQ(_access(dir.File("missing").c_str(), 0), -1);
}

TEST(Files, InjectedFaults) {
    TempDir dir;
    const std::string file = dir.File("data00.sav");
    platform::testing::FailOpensOf("data00");
    EXPECT_EQ(crt::fopen(file.c_str(), "wb"), nullptr);
    platform::testing::ClearFileFaults();

    platform::testing::LimitWritesOf("data00", 10);
    std::FILE* fp = crt::fopen(file.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    char data[100] = {};
    const std::size_t written = std::fwrite(data, 1, sizeof data, fp);
    const bool failed = written < sizeof data || crt::fflush_sync(fp) != 0;
    std::fclose(fp);
    platform::testing::ClearFileFaults();
    EXPECT_TRUE(failed);
    EXPECT_EQ(fixtures::ReadFileBytes(file).size(), 10u);
}

TEST(Profile, ReadsAnyCaseCutsToBufferAndDefaults) {
    TempDir dir;
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
    TempDir dir;
    const std::string ini = dir.File("w.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("Path", "A", "1", ini.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("Config", "B", "2", ini.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("path", "C", "3", ini.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("CONFIG", "b", "4", ini.c_str()));
    EXPECT_EQ(fixtures::ReadFileText(ini), "[Path]\r\nA=1\r\nC=3\r\n[Config]\r\nb=4\r\n");

    fixtures::WriteFileText(ini, "; note\r\n[Config]\r\nX=1\r\n\r\n[Keep]\r\nY=2\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("Config", "Z", "9", ini.c_str()));
    EXPECT_EQ(fixtures::ReadFileText(ini), "; note\r\n[Config]\r\nX=1\r\nZ=9\r\n\r\n[Keep]\r\nY=2\r\n");

    // A line with a stray NUL in it is kept byte for byte, not cut at the NUL.
    using namespace std::string_literals;
    const std::string odd = "[Odd\0x]\r\nK=\0v\r\n[Config]\r\nX=1\r\n"s;
    fixtures::WriteFileText(ini, odd);
    EXPECT_TRUE(WritePrivateProfileStringA("Config", "X", "2", ini.c_str()));
    EXPECT_EQ(fixtures::ReadFileText(ini), "[Odd\0x]\r\nK=\0v\r\n[Config]\r\nX=2\r\n"s);
}
