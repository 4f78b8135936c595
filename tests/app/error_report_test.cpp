// The fatal error report: its line in "errmes.log", the lines drawn over the frame's update region, and
// the two debugger-output traces.
#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pt = platform::testing;

namespace {
class ErrorReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRunState();
        ResetUpdateRegion();
        g_pConfig = new CConfig;
        g_pConfig->SetSystemProgramPath(dir.ProgramPath().c_str());
        pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
    }
    void TearDown() override {
        frame.reset();
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        DestroyConfig();
        pt::UnpinLocalTime();
        pt::UseFontFile("");
        ResetUpdateRegion();
        ResetRunState();
    }
    std::string Log() { return fixtures::ReadFileText(dir.File("errmes.log")); }
    // A red 640x480 frame to draw on.
    IDirectDrawSurface* Frame() {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::UseFontFile(pt::kPinnedGothicFont);
        EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        frame = std::make_unique<CDDrawSurface>();
        EXPECT_TRUE(frame->CreateEmpty(dd, SIZE{640, 480}));
        FillSurface(frame->GetSurface(), 0xFF0000, nullptr);
        return frame->GetSurface();
    }
    // The 8x16 cells of the line at y: '#' white with black ink only, '.' black, '?' anything else; then
    // " inked" when the `bytes` cells from x 64 hold some black.
    static std::string Drawn(IDirectDrawSurface* surface, int y, int bytes) {
        std::string cells;
        int ink = 0;
        for (int x = 0; x < 640; x += 8) {
            int paper = 0, other = 0;
            for (int py = y; py < y + 16; ++py)
                for (int px = x; px < x + 8; ++px) {
                    const DWORD v = pt::ReadSurfaceRgbAt(surface, px, py);
                    v == 0xFFFFFF ? ++paper : v ? ++other : ink += x >= 64 && x < 64 + 8 * bytes;
                }
            cells += other ? '?' : paper ? '#' : '.';
        }
        return cells + (bytes && ink >= 4 * bytes ? " inked" : "");
    }
    static std::string Line(std::size_t bytes) {
        return std::string(8, '.') + std::string(bytes, '#') + std::string(72 - bytes, '.') +
               (bytes ? " inked" : "");
    }
    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    std::unique_ptr<CDDrawSurface> frame;
};

TEST_F(ErrorReportTest, LogLineByteForByte) {
    SetScriptName("main.sct");
    SetScriptLine(120);
    const std::string message = platform::Utf8ToSjis("テキストが長すぎます");
    ReportError(message.c_str());
    EXPECT_TRUE(IsErrorStop());
    // MessagesJoinedByTwoSpacesAndThirdNeedsSecond
    SetScriptName("scene.sct");
    SetScriptLine(7);
    ReportError("one", "two", "three");
    ReportError("alone", nullptr, "ignored");
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main.sct(120)\x81\x46" + message +
                         "\r\n"
                         "2004/03/05(09:07:03) scene.sct(7)\x81\x46one  two  three\r\n"
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
    // NoFrameNoDrawing
    EXPECT_EQ(DrawErrorReport(nullptr), DD_OK);
}

// The lines appear in black on white cells over the black frame, 32 pixels apart from (64, 64), in the
// fresh device context's colours; a third line needs a second. The report waits for the whole screen
// to be drawn; later frames draw what their update region holds.
TEST_F(ErrorReportTest, LinesAppearOnTheBlackFrameAndTheLogLineIsWritten) {
    IDirectDrawSurface* surface = Frame();
    const std::string m1 = "E:" + platform::Utf8ToSjis("グラフィックの読み込みに失敗しました。"),
                      m2 = "sg099", m3 = platform::Utf8ToSjis("画像") + "3";
    ReportError(m1.c_str(), m2.c_str(), m3.c_str());
    EXPECT_NE(Log().find("\x81\x46" + m1 + "  " + m2 + "  " + m3 + "\r\n"), std::string::npos);
    RECT rc;
    ASSERT_NE(GetUpdateRect(&rc), nullptr);
    EXPECT_TRUE(EqualRect(&rc, GetScreenRect()));
    EXPECT_EQ(DrawErrorReport(surface), DD_OK);
    EXPECT_TRUE(IsPresentNeeded());
    const int n1 = static_cast<int>(m1.size()), n3 = static_cast<int>(m3.size());
    EXPECT_EQ(Drawn(surface, 64, n1), Line(m1.size()));
    EXPECT_EQ(Drawn(surface, 96, 5), Line(5));
    EXPECT_EQ(Drawn(surface, 128, n3), Line(m3.size()));
    EXPECT_EQ(Drawn(surface, 0, 0) + Drawn(surface, 80, 0), Line(0) + Line(0));
    // ASecondReportDrawsOverAFreshlyBlackenedFrameAndAThirdLineNeedsASecond
    ReportError("Two", nullptr, "never drawn");
    DrawErrorReport(surface);
    EXPECT_EQ(Drawn(surface, 64, 3), Line(3));
    EXPECT_EQ(Drawn(surface, 96, 0) + Drawn(surface, 128, 0), Line(0) + Line(0));
    // ALaterFrameDrawsItsRegionOnly
    AddUpdateRect(nullptr);
    FillSurface(surface, 0xFF0000, nullptr);
    const RECT corner = {0, 0, 80, 64};
    AddUpdateRect(&corner);
    DrawErrorReport(surface);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(surface, 79, 63), 0u);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(surface, 80, 63), 0xFF0000u);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(surface, 70, 70), 0xFF0000u) << "the line lies outside the region";
}

TEST(Trace, CutAt1023AndEndsWithNewline) {
    pt::CaptureDebugOutput(true);
    const std::string huge(3000, 'y');
    Trace("%s", huge.c_str());
    EXPECT_EQ(pt::TakeDebugOutput(), std::string(1023, 'y') + "\n");
    ErrorLog("CDSoundCtrl::LoadSound", "%s %d", "bad", 3);
    EXPECT_EQ(pt::TakeDebugOutput(), "CDSoundCtrl::LoadSound -> bad 3\n");
    pt::CaptureDebugOutput(false);
}
} // namespace
