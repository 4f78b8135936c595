// The fatal error report drawn on the background layer with the fresh device context's colours.
#include "platform/gdi_font_face.h"
#include "tests/screen/ScreenFixture.h"

#include <cstring>

using namespace screen_test;

namespace {
class ErrorDrawTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(4, "red", 1, 0, 0, 0);
        font = platform::ScaledFont::Open(pt::kPinnedGothicFont, 16, 8);
        ASSERT_TRUE(font);
    }
    // Cells of `bytes` half-width columns from (x, y): every pixel white or black, and black exactly
    // where the font's glyph of `first` lies in the first cell.
    void ExpectLine(int x, int y, int bytes, char32_t first) {
        const auto glyph = font->Glyph(first);
        const int ox = x + glyph->left, oy = y + font->Ascent() - glyph->top;
        int black = 0;
        for (int py = y; py < y + 16; ++py)
            for (int px = x; px < x + 8 * bytes; ++px) {
                const DWORD v = At(px, py);
                ASSERT_TRUE(v == kWhite || v == 0) << px << "," << py;
                black += v == 0;
                if (px < x + 8) {
                    const int c = px - ox, r = py - oy;
                    const bool lit = c >= 0 && r >= 0 && c < glyph->width && r < glyph->rows &&
                                     glyph->bits[r * glyph->width + c];
                    EXPECT_EQ(v, lit ? 0u : kWhite) << px << "," << py;
                }
            }
        EXPECT_GT(black, 4 * bytes);
    }
    std::shared_ptr<const platform::ScaledFont> font;
};
} // namespace

TEST_F(ErrorDrawTest, LinesAppearOnTheBlackBackgroundAndTheLogLineIsWritten) {
    SetScriptName("main.sct");
    SetScriptLine(120);
    const std::string m1 = "E:" + platform::Utf8ToSjis("グラフィックの読み込みに失敗しました。");
    const std::string m2 = "sg099";
    const std::string m3 = platform::Utf8ToSjis("画像") + "3";
    ReportError(m1.c_str(), m2.c_str(), m3.c_str());
    EXPECT_TRUE(IsErrorStop());
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main.sct(120)\x81\x46" + m1 + "  " + m2 + "  " + m3 + "\r\n");
    // The whole screen waits to be drawn; the picture above the background still shows.
    RECT rc;
    ASSERT_NE(GetUpdateRect(&rc), nullptr);
    EXPECT_TRUE(SameRect(rc, RECT{0, 0, 640, 480}));
    Frame();
    EXPECT_EQ(At(10, 10), kRed);
    g_pScreen->GetLayer(4)->m_bVisible = 0;
    FullFrame();
    ExpectLine(64, 64, static_cast<int>(m1.size()), U'E');
    ExpectLine(64, 96, static_cast<int>(m2.size()), U's');
    ExpectLine(64, 128, static_cast<int>(m3.size()), U'画');
    // Black everywhere else.
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3) {
            const bool line1 = y >= 64 && y < 80 && x >= 64 && x < 64 + 8 * static_cast<int>(m1.size());
            const bool line2 = y >= 96 && y < 112 && x >= 64 && x < 64 + 8 * static_cast<int>(m2.size());
            const bool line3 = y >= 128 && y < 144 && x >= 64 && x < 64 + 8 * static_cast<int>(m3.size());
            if (!line1 && !line2 && !line3) {
                ASSERT_EQ(At(x, y), 0u) << x << "," << y;
            }
        }
    EXPECT_TRUE(pt::SaveSurfacePng(back->GetSurface(), ArtifactPath("screen_error_report.png")));
}

TEST_F(ErrorDrawTest, ASecondReportDrawsOverAFreshlyBlackenedLayerAndAThirdLineNeedsASecond) {
    ReportError("first report with a long line", "and a second line");
    ReportError("Two", nullptr, "never drawn");
    g_pScreen->GetLayer(4)->m_bVisible = 0;
    FullFrame();
    ExpectLine(64, 64, 3, U'T');
    EXPECT_EQ(At(64 + 8 * 3 + 4, 70), 0u);
    EXPECT_EQ(At(70, 100), 0u);
    EXPECT_EQ(At(70, 132), 0u);
    const std::string log = Log();
    EXPECT_NE(log.find("\x81\x46Two\r\n"), std::string::npos);
}

TEST_F(ErrorDrawTest, NoBackgroundNoDrawing) {
    delete g_pScreen;
    g_pScreen = new CScreen;
    EXPECT_FALSE(DrawErrorReport("x", nullptr, nullptr));
    delete g_pScreen;
    g_pScreen = nullptr;
    EXPECT_FALSE(DrawErrorReport("x", nullptr, nullptr));
}
