#include "files/Config.h"
#include "platform/process.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using fixtures::TempDir;

namespace {
void StartIn(const TempDir& dir) {
    std::string folder = dir.Path();
    char* argv[] = {const_cast<char*>("quorin"), folder.data(), nullptr};
    SetProgramArguments(2, argv);
}

std::string IniOf(const std::string& config) {
    return "[Path]\r\nSystemProgramPath=C:\\game\r\nSaveDataPath=C:\\game\\save\\\r\n[Config]\r\n" + config;
}
} // namespace

class Config : public ::testing::Test {
  protected:
    void TearDown() override { DestroyConfig(); }
    TempDir dir;
};

TEST_F(Config, FreshStartWritesTheDefaultIniByteForByte) {
    StartIn(dir);
    ASSERT_TRUE(CreateConfig());
    const std::string folder = dir.ProgramPath();
    EXPECT_EQ(fixtures::ReadFileText(dir.File("Quorin.ini")), fixtures::DefaultSettingsIni(folder));
    EXPECT_STREQ(g_pConfig->GetSystemProgramPath(), folder.c_str());
    EXPECT_STREQ(g_pConfig->GetSaveDataPath(), (folder + "SaveData\\").c_str());
    EXPECT_STREQ(g_pConfig->GetSparePath(), "");
    const ConfigValues v = *g_pConfig->GetValues();
    EXPECT_EQ(v.BgmSwitch, 4);
    EXPECT_EQ(v.EffectSwitch, 1);
    EXPECT_EQ(v.WindowMode, 1);
    EXPECT_EQ(v.TextSpeed, 0);
    EXPECT_EQ(v.MovieSwitch, 0);
}

TEST_F(Config, ExistingIniIsNotRewritten) {
    const std::string text = IniOf("BgmSwitch=2\r\n");
    fixtures::WriteFileText(dir.File("Quorin.ini"), text);
    StartIn(dir);
    CreateConfig();
    EXPECT_EQ(fixtures::ReadFileText(dir.File("Quorin.ini")), text);
    EXPECT_EQ(g_pConfig->GetBgmSwitch(), 2);
}

TEST_F(Config, FirstCharacterDecidesEachValue) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, IniOf("BgmSwitch=9\r\nSESwitch=3x\r\nVoiceSwitch=0\r\nEffectSwitch=yes\r\n"
                                       "WindowMode=0\r\nMovieSwitch=\r\n"));
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    EXPECT_EQ(config.GetBgmSwitch(), 4);
    EXPECT_EQ(config.GetSESwitch(), 3);
    EXPECT_EQ(config.GetVoiceSwitch(), 0);
    EXPECT_EQ(config.GetEffectSwitch(), 1);
    EXPECT_EQ(config.GetWindowMode(), 0);
    EXPECT_EQ(config.GetTextSpeed(), 1) << "a missing TextSpeed reads as whole text at once";
    EXPECT_EQ(config.GetMovieSwitch(), 1);
}

TEST_F(Config, SectionAndKeyNamesInAnyCase) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, "[PATH]\r\nsystemdatapath=D:\\data\r\n[config]\r\nbgmswitch=1\r\n");
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    EXPECT_STREQ(config.GetSystemDataPath(), "D:\\data\\");
    EXPECT_EQ(config.GetBgmSwitch(), 1);
}

TEST_F(Config, FoldersEndInBackslashAndEmptyOnesMeanTheProgramFolder) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, "[Path]\r\nSystemProgramPath=C:\\game\r\nScenarioPath=C:\\scn\\\r\n"
                                 "SystemDataPath=\r\n");
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    EXPECT_STREQ(config.GetSystemProgramPath(), "C:\\game\\");
    EXPECT_STREQ(config.GetScenarioPath(), "C:\\scn\\");
    EXPECT_STREQ(config.GetSystemDataPath(), dir.Path().c_str());
    EXPECT_STREQ(config.GetMovieDataPath(), dir.Path().c_str());
    // The joined form lives in the one shared buffer.
    const char* a = config.GetScenarioPath("main.sct");
    EXPECT_STREQ(a, "C:\\scn\\main.sct");
    const char* b = config.GetSystemProgramPath("errmes.log");
    EXPECT_EQ(a, b);
    EXPECT_STREQ(a, "C:\\game\\errmes.log");
}

TEST_F(Config, OverlongFolderIsCutWithRoomForTheBackslash) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, "[Path]\r\nSystemDataPath=" + std::string(400, 'd') + "\r\n");
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    const std::string folder = config.GetSystemDataPath();
    EXPECT_LE(folder.size(), 259u);
    EXPECT_EQ(folder.back(), '\\');
    config.SetSystemDataPath(std::string(1000, 'e').c_str());
    EXPECT_LE(std::string(config.GetSystemDataPath()).size(), 259u);
}

TEST_F(Config, ReadOnlyIniStillLoads) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, IniOf("BgmSwitch=1\r\n"));
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
    CConfig config;
    EXPECT_TRUE(config.Load(ini.c_str()));
    EXPECT_EQ(config.GetBgmSwitch(), 1);
}

TEST_F(Config, FailedLoadLeavesValidDefaults) {
    CConfig config;
    EXPECT_FALSE(config.Load(dir.File("missing.ini").c_str()));
    EXPECT_EQ(config.GetBgmSwitch(), 4);
    EXPECT_EQ(config.GetWindowMode(), 1);
    EXPECT_STREQ(config.GetSystemDataPath(), "");
}

TEST_F(Config, SaveWritesTheSevenValuesOnly) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, IniOf("BgmSwitch=1\r\n"));
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    ConfigValues v{0, 7, 2, 0, 5, 1, 0};
    config.SetValues(&v);
    EXPECT_TRUE(config.Save(nullptr));
    EXPECT_EQ(
        fixtures::ReadFileText(ini),
        "[Path]\r\nSystemProgramPath=C:\\game\r\nSaveDataPath=C:\\game\\save\\\r\n[Config]\r\n"
        "BgmSwitch=0\r\nSESwitch=4\r\nVoiceSwitch=2\r\nEffectSwitch=0\r\nWindowMode=1\r\nTextSpeed=1\r\n"
        "MovieSwitch=0\r\n");
    EXPECT_FALSE(config.Save(""));
    CConfig unloaded;
    EXPECT_FALSE(unloaded.Save(nullptr));
}

TEST_F(Config, SaveReportsAFailedWrite) {
    const std::string ini = dir.File("Quorin.ini");
    fixtures::WriteFileText(ini, IniOf(""));
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    EXPECT_FALSE(config.Save(dir.File("no/such/folder/x.ini").c_str()));
}

TEST_F(Config, QuotedCommandLineGivesTheProgramFolder) {
    fixtures::TempDir other;
    std::filesystem::create_directories(other.Path() + "Game Folder");
    std::string folder = other.Path() + "Game Folder";
    char* argv[] = {const_cast<char*>("quorin"), folder.data(), nullptr};
    SetProgramArguments(2, argv);
    ASSERT_TRUE(CreateConfig());
    EXPECT_STREQ(g_pConfig->GetSystemProgramPath(), (other.ProgramPath() + "Game Folder\\").c_str());
    EXPECT_TRUE(std::filesystem::exists(other.Path() + "Game Folder/Quorin.ini"));
}

TEST_F(Config, IniWithoutAFolderLeavesEmptyFoldersInTheCurrentOne) {
    fixtures::WriteFileText(dir.File("Quorin.ini"), "[Path]\r\nSystemDataPath=\r\nScenarioPath=scn\r\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    CConfig config;
    const bool loaded = config.Load("Quorin.ini");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(loaded);
    EXPECT_STREQ(config.GetSystemDataPath(), "");
    EXPECT_STREQ(config.GetSystemDataPath("data.arc"), "data.arc");
    EXPECT_STREQ(config.GetScenarioPath(), "scn\\");
}
