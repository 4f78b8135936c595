// The settings record: the default ini of a fresh start, what Load makes of an ini, the folders and
// their joined paths, and Save.
#include "files/Config.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace pt = platform::testing;

namespace {
void StartIn(const std::string& folder) {
    std::string f = folder;
    char* argv[] = {const_cast<char*>("quorin"), f.data(), nullptr};
    SetProgramArguments(2, argv);
}

// The seven values in their order: music, effects, voice, effects switch, window, text, movie.
std::string Values(const CConfig& config) {
    const ConfigValues& v = *config.GetValues();
    std::string out;
    for (int n :
         {v.BgmSwitch, v.SESwitch, v.VoiceSwitch, v.EffectSwitch, v.WindowMode, v.TextSpeed, v.MovieSwitch})
        out += std::to_string(n);
    return out;
}

class Config : public ::testing::Test {
  protected:
    void SetUp() override { pt::CaptureDebugOutput(true); }
    void TearDown() override {
        DestroyConfig();
        pt::CaptureDebugOutput(false);
    }
    std::string Ini(const std::string& text) {
        EXPECT_TRUE(fixtures::WriteFileText(dir.File("Quorin.ini"), text));
        return dir.File("Quorin.ini");
    }
    fixtures::TempDir dir;
};

TEST_F(Config, FreshStartWritesTheDefaultIniByteForByte) {
    StartIn(dir.Path());
    ASSERT_TRUE(CreateConfig());
    const std::string folder = dir.ProgramPath();
    EXPECT_EQ(fixtures::ReadFileText(dir.File("Quorin.ini")), fixtures::DefaultSettingsIni(folder));
    EXPECT_STREQ(g_pConfig->GetSystemProgramPath(), folder.c_str());
    EXPECT_STREQ(g_pConfig->GetSaveDataPath(), (folder + "SaveData\\").c_str());
    EXPECT_STREQ(g_pConfig->GetSparePath(), "");
    EXPECT_EQ(Values(*g_pConfig), "4441100");
    // An ini that exists is not rewritten.
    const std::string text = "[Config]\r\nBgmSwitch=2\r\n";
    Ini(text);
    ASSERT_TRUE(CreateConfig());
    EXPECT_EQ(fixtures::ReadFileText(dir.File("Quorin.ini")), text);
    EXPECT_EQ(g_pConfig->GetBgmSwitch(), 2);
}

TEST_F(Config, TheProgramFolderComesFromTheCommandLine) {
    const std::string spaced = dir.Path() + "Game Folder";
    const std::string deep = dir.Path() + std::string(240, 'd');
    std::filesystem::create_directories(spaced);
    std::filesystem::create_directories(deep);
    // QuotedCommandLineGivesTheProgramFolder
    StartIn(spaced);
    ASSERT_TRUE(CreateConfig());
    EXPECT_STREQ(g_pConfig->GetSystemProgramPath(), (dir.ProgramPath() + "Game Folder\\").c_str());
    EXPECT_TRUE(std::filesystem::exists(spaced + "/Quorin.ini"));
    // A folder whose ini path would not fit names no file: defaults, nothing written, and a trace.
    StartIn(deep);
    pt::TakeDebugOutput();
    ASSERT_TRUE(CreateConfig());
    EXPECT_NE(pt::TakeDebugOutput().find("CreateConfig -> program folder too long"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(deep + "/Quorin.ini"));
    EXPECT_STREQ(g_pConfig->GetSystemProgramPath(), "");
    EXPECT_EQ(Values(*g_pConfig), "4441100");
}

TEST_F(Config, LoadReadsTheFirstCharacterOfEachValueAndEveryFolder) {
    const std::string program = dir.Path(); // the ini's own folder, as the ini was named
    const std::string f258(258, 'f'), f259(259, 'f');
    const struct {
        const char* name;
        std::string ini;
        std::string values, dataFolder;
        const char* trace;
    } rows[] = {
        {"FirstCharacterDecidesEachValue",
         "[Config]\r\nBgmSwitch=9\r\nSESwitch=3x\r\nVoiceSwitch=0\r\nEffectSwitch=yes\r\nWindowMode="
         "0\r\nMovieSwitch=\r\n",
         "4301011", program, ""}, // a missing TextSpeed reads as whole text at once
        {"SectionAndKeyNamesInAnyCase", "[PATH]\r\nsystemdatapath=D:\\data\r\n[config]\r\nbgmswitch=1\r\n",
         "1441111", "D:\\data\\", ""},
        {"FoldersEndInBackslashAndEmptyOnesMeanTheProgramFolder", "[Path]\r\nSystemDataPath=\r\n", "4441111",
         program, ""},
        {"a folder ending in a backslash keeps it", "[Path]\r\nSystemDataPath=C:\\scn\\\r\n", "4441111",
         "C:\\scn\\", ""},
        {"258 characters and the backslash fit", "[Path]\r\nSystemDataPath=" + f258 + "\r\n", "4441111",
         f258 + "\\", ""},
        {"259 with their backslash fit", "[Path]\r\nSystemDataPath=" + f258 + "\\\r\n", "4441111",
         f258 + "\\", ""},
        {"OverlongFolderIsRefusedNotCut", "[Path]\r\nSystemDataPath=" + f259 + "\r\n", "4441111", program,
         "CConfig::Load -> folder path too long: SystemDataPath\n"},
        {"a folder longer than any", "[Path]\r\nSystemDataPath=" + std::string(2000, 'f') + "\r\n", "4441111",
         program, "CConfig::Load -> folder path too long: SystemDataPath\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CConfig config;
        pt::TakeDebugOutput();
        ASSERT_TRUE(config.Load(Ini(row.ini).c_str()));
        EXPECT_EQ(Values(config), row.values);
        EXPECT_EQ(config.GetSystemDataPath(), row.dataFolder);
        EXPECT_EQ(config.GetMovieDataPath(), program);
        EXPECT_EQ(pt::TakeDebugOutput(), row.trace);
    }
}

TEST_F(Config, LoadWithoutAReadableIniOrWithoutAFolder) {
    {
        SCOPED_TRACE("ReadOnlyIniStillLoads");
        const std::string ini = Ini("[Config]\r\nBgmSwitch=1\r\n");
        std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
        CConfig config;
        EXPECT_TRUE(config.Load(ini.c_str()));
        EXPECT_EQ(config.GetBgmSwitch(), 1);
        std::filesystem::remove(ini);
    }
    {
        SCOPED_TRACE("FailedLoadLeavesValidDefaults");
        CConfig config;
        EXPECT_FALSE(config.Load(dir.File("missing.ini").c_str()));
        EXPECT_EQ(Values(config), "4441100");
        EXPECT_STREQ(config.GetSystemDataPath(), "");
        // An ini path that does not fit is refused rather than cut, so that Save cannot write elsewhere.
        EXPECT_FALSE(config.Load((dir.File(std::string(300, 'i')) + ".ini").c_str()));
        EXPECT_FALSE(config.Save(nullptr));
        EXPECT_NE(pt::TakeDebugOutput().find("CConfig::Load -> ini path too long"), std::string::npos);
    }
    SCOPED_TRACE("IniWithoutAFolderLeavesEmptyFoldersInTheCurrentOne");
    Ini("[Path]\r\nSystemDataPath=\r\nScenarioPath=scn\r\n");
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

TEST_F(Config, JoinedPathsShareOneBufferAndPathsThatDoNotFitAreRefused) {
    CConfig config;
    config.SetScenarioPath("C:\\scn");
    config.SetSystemProgramPath("C:\\game\\");
    const char* a = config.GetScenarioPath("main.sct");
    EXPECT_STREQ(a, "C:\\scn\\main.sct");
    const char* b = config.GetSystemProgramPath("errmes.log");
    EXPECT_EQ(a, b);
    EXPECT_STREQ(a, "C:\\game\\errmes.log");
    pt::TakeDebugOutput();
    config.SetScenarioPath(std::string(259, 'e').c_str());
    EXPECT_STREQ(config.GetScenarioPath(), "C:\\scn\\") << "the folder stays as it was";
    EXPECT_STREQ(config.GetScenarioPath(std::string(1020, 'n').c_str()), "");
    const std::string trace = pt::TakeDebugOutput(); // a trace line is cut at 1023 characters
    EXPECT_EQ(trace.find("CConfig::SetPath -> folder path too long: " + std::string(259, 'e') + "\n"), 0u);
    EXPECT_NE(trace.find("\nCConfig::GetPath -> path too long: nnn"), std::string::npos);
    config.SetScenarioPath(std::string(258, 'e').c_str());
    EXPECT_EQ(config.GetScenarioPath(), std::string(258, 'e') + "\\");
}

TEST_F(Config, SaveWritesTheSevenValuesOnly) {
    const std::string head = "[Path]\r\nSystemProgramPath=C:\\game\r\n[Config]\r\n";
    const std::string ini = Ini(head + "BgmSwitch=1\r\n");
    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    ConfigValues v{0, 7, 2, 0, 5, 1, 0};
    config.SetValues(&v);
    EXPECT_TRUE(config.Save(nullptr));
    EXPECT_EQ(fixtures::ReadFileText(ini),
              head + "BgmSwitch=0\r\nSESwitch=4\r\nVoiceSwitch=2\r\nEffectSwitch=0\r\n"
                     "WindowMode=1\r\nTextSpeed=1\r\nMovieSwitch=0\r\n");
    EXPECT_FALSE(config.Save(""));
    EXPECT_FALSE(config.Save(dir.File("no/such/folder/x.ini").c_str())) << "SaveReportsAFailedWrite";
    CConfig unloaded;
    EXPECT_FALSE(unloaded.Save(nullptr));
}
} // namespace
