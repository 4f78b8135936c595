// TextOutA on device contexts over surfaces of every display format.
#include "tools/fixtures/DisplayFormats.h"
#include "graphics/DDrawSurface.h"
#include "platform/gdi_font.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace pt = platform::testing;

namespace {
// "ＭＳ ゴシック"
const char kGothic[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr DWORD kPaper = 0x204080; // what the surface holds before the text

HFONT GothicFont(int height, int width) {
    return CreateFontA(height, width, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, kGothic);
}

std::string FormatLabel(const ::testing::TestParamInfo<pt::DisplayFormat>& info) {
    return fixtures::DisplayFormatName(info.param);
}

class TextOut : public ::testing::TestWithParam<pt::DisplayFormat> {
  protected:
    void SetUp() override {
        pt::UseFontFile(pt::kPinnedGothicFont);
        pt::UseHeadlessDisplay(GetParam());
        pt::SetSurfacePitch(16, 12);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        surface = CreateOffscreenSurface(dd, SIZE{96, 64});
        ASSERT_TRUE(surface);
        // The paper colour as this display stores it, so that reads compare exactly.
        pt::WriteSurfaceRaw(surface, 0, 0, 0);
        FillSurface(surface, Raw(kPaper), nullptr);
        paper = pt::ReadSurfaceRgbAt(surface, 0, 0);
    }
    void TearDown() override {
        if (surface) surface->Release();
        if (dd) dd->Release();
        pt::UseFontFile("");
    }
    DWORD Raw(DWORD rgb) const { return fixtures::DisplayPixel(GetParam(), rgb); }
    IDirectDraw* dd = nullptr;
    IDirectDrawSurface* surface = nullptr;
    DWORD paper = 0;
};
} // namespace

TEST_P(TextOut, FreshContextWritesBlackOnOpaqueWhite) {
    HFONT font = GothicFont(16, 8);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(GetTextColor(dc), 0x000000u);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    HGDIOBJ old = SelectObject(dc, font);
    const std::string text = platform::Utf8ToSjis("エラーX");
    EXPECT_TRUE(TextOutA(dc, 5, 7, text.c_str(), static_cast<int>(text.size())));
    SelectObject(dc, old);
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_TRUE(DeleteObject(font));

    int black = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const DWORD v = pt::ReadSurfaceRgbAt(surface, x, y);
            // Seven bytes: seven half-width cells of 8 x 16.
            if (x >= 5 && x < 5 + 56 && y >= 7 && y < 23) {
                EXPECT_TRUE(v == 0xFFFFFF || v == 0) << x << "," << y;
                black += v == 0;
            } else {
                EXPECT_EQ(v, paper) << x << "," << y;
            }
        }
    EXPECT_GT(black, 60);
}

TEST_P(TextOut, ColourAndTransparentModeDrawOnlyTheGlyph) {
    HFONT font = GothicFont(48, 24);
    const auto& scaled = *font->scaled;
    const auto glyph = scaled.Glyph(U'漢');
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SelectObject(dc, font);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextColor(dc, RGB(255, 255, 255)), 0x000000u);
    const std::string text = platform::Utf8ToSjis("漢");
    EXPECT_TRUE(TextOutA(dc, 20, 6, text.c_str(), 2));
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    DeleteObject(font);

    const int originX = 20 + glyph->left, originY = 6 + scaled.Ascent() - glyph->top;
    int lit = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const int c = x - originX, r = y - originY;
            const bool on = x >= 20 && x < 68 && y >= 6 && y < 54 && c >= 0 && r >= 0 && c < glyph->width &&
                            r < glyph->rows && glyph->bits[r * glyph->width + c];
            if (on) {
                ++lit;
                // White as the display stores it: 0xFFFF at 5-6-5, 0x7FFF at 5-5-5.
                EXPECT_EQ(pt::ReadSurfaceRaw(surface, x, y), Raw(0xFFFFFF)) << x << "," << y;
            } else {
                EXPECT_EQ(pt::ReadSurfaceRgbAt(surface, x, y), paper) << x << "," << y;
            }
        }
    EXPECT_GT(lit, 100);
}

INSTANTIATE_TEST_SUITE_P(Formats, TextOut,
                         ::testing::Values(pt::DisplayFormat::Rgb565, pt::DisplayFormat::Rgb555,
                                           pt::DisplayFormat::Rgb24, pt::DisplayFormat::Xrgb32),
                         FormatLabel);

TEST(Fonts, SizesOfTheRequestAndTheUnselectedDefault) {
    pt::UseFontFile(pt::kPinnedGothicFont);
    HFONT big = GothicFont(60, 30);
    ASSERT_TRUE(big->scaled);
    EXPECT_EQ(big->scaled->CellHeight(), 60);
    EXPECT_EQ(big->scaled->HalfWidth(), 30);
    // A nameless Japanese fixed-pitch request is the same Gothic face.
    HFONT nameless =
        CreateFontA(16, 8, 0, 0, 0, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, PROOF_QUALITY, FIXED_PITCH, nullptr);
    ASSERT_TRUE(nameless->scaled);
    EXPECT_EQ(nameless->scaled->File(), big->scaled->File());
    EXPECT_TRUE(DeleteObject(big));
    EXPECT_TRUE(DeleteObject(nameless));

    // Without a selected font the DC writes 16-pixel cells of the face's own width.
    const int half = platform::ScaledFont::Open(pt::kPinnedGothicFont, 0, 0)->HalfWidth();
    EXPECT_EQ(half, 7);
    pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    IDirectDrawSurface* surface = CreateOffscreenSurface(dd, SIZE{40, 40});
    FillSurface(surface, 0x123456, nullptr);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_TRUE(TextOutA(dc, 0, 0, "ab", 2));
    surface->ReleaseDC(dc);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool cell = x < 2 * half && y < 16;
            const DWORD v = pt::ReadSurfaceRgbAt(surface, x, y);
            EXPECT_TRUE(cell ? (v == 0xFFFFFF || v == 0) : v == 0x123456) << x << "," << y;
        }
    surface->Release();
    dd->Release();
    pt::UseFontFile("");
}

TEST(Fonts, SelectedFontLivesUntilItsContextLetsGo) {
    pt::UseFontFile(pt::kPinnedGothicFont);
    pt::UseHeadlessDisplay(pt::DisplayFormat::Rgb565);
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    IDirectDrawSurface* surface = CreateOffscreenSurface(dd, SIZE{16, 16});
    HFONT font = GothicFont(16, 8);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SelectObject(dc, font);
    EXPECT_FALSE(DeleteObject(font));
    surface->ReleaseDC(dc);
    EXPECT_TRUE(DeleteObject(font));
    // A DC with no pixels behind it draws nothing.
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
    surface->Release();
    dd->Release();
    pt::UseFontFile("");
}
