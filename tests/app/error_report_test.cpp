#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace pt = platform::testing;

class ErrorReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRunState();
        g_pConfig = new CConfig;
        g_pConfig->SetSystemProgramPath(dir.ProgramPath().c_str());
        pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
    }
    void TearDown() override {
        DestroyConfig();
        pt::UnpinLocalTime();
        ResetRunState();
    }
    std::string Log() { return fixtures::ReadFileText(dir.File("errmes.log")); }
    fixtures::TempDir dir;
};

TEST_F(ErrorReportTest, LogLineByteForByte) {
    SetScriptName("main.sct");
    SetScriptLine(120);
    const std::string message = platform::Utf8ToSjis("テキストが長すぎます");
    ReportError(message.c_str());
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main.sct(120)\x81\x46" + message + "\r\n");
    EXPECT_TRUE(IsErrorStop());
}

TEST_F(ErrorReportTest, MessagesJoinedByTwoSpacesAndThirdNeedsSecond) {
    SetScriptName("scene.sct");
    SetScriptLine(7);
    ReportError("one", "two", "three");
    ReportError("alone", nullptr, "ignored");
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) scene.sct(7)\x81\x46one  two  three\r\n"
                     "2004/03/05(09:07:03) scene.sct(7)\x81\x46"
                     "alone\r\n");
}

TEST_F(ErrorReportTest, LongMessagesAreCutNotOverflowed) {
    const std::string huge(5000, 'x');
    ReportError(huge.c_str(), huge.c_str(), huge.c_str());
    const std::string log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_LE(log.size(), 513u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    EXPECT_TRUE(IsErrorStop());
}

TEST_F(ErrorReportTest, StopsEvenWhenTheLogCannotBeOpened) {
    pt::FailOpensOf("errmes.log");
    ReportError("x");
    pt::ClearFileFaults();
    EXPECT_TRUE(IsErrorStop());
    EXPECT_EQ(Log(), "");
}

TEST(Trace, CutAt1023AndEndsWithNewline) {
    pt::CaptureDebugOutput(true);
    const std::string huge(3000, 'y');
    Trace("%s", huge.c_str());
    const std::string out = pt::TakeDebugOutput();
    EXPECT_EQ(out, std::string(1023, 'y') + "\n");
    ErrorLog("CDSoundCtrl::LoadSound", "%s %d", "bad", 3);
    EXPECT_EQ(pt::TakeDebugOutput(), "CDSoundCtrl::LoadSound -> bad 3\n");
    pt::CaptureDebugOutput(false);
}
