// Glyphs drawn into plain pixels, checked against FreeType's own bitmap of the pinned font.
#include "platform/gdi_font_draw.h"
#include "platform/gdi_font_face.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>
#include <vector>

namespace pt = platform::testing;
using platform::ScaledFont;
using platform::TextStyle;

namespace {
// "ＭＳ ゴシック"
const char kGothic[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr DWORD kSentinel32 = 0x5A5A5A5A;
constexpr std::size_t kGuard = 64;

struct Canvas {
    std::vector<BYTE> bytes;
    platform::PixelView view;
    // A top-down DIB layout with `pad` spare bytes at the end of each row.
    Canvas(int width, int height, int bpp, DWORD r = 0, DWORD g = 0, DWORD b = 0, int pad = 4) {
        view.width = width;
        view.height = height;
        view.bitCount = bpp;
        view.stride = width * (bpp / 8) + pad;
        view.masks[0] = r;
        view.masks[1] = g;
        view.masks[2] = b;
        bytes.assign(static_cast<std::size_t>(view.stride) * height, 0x5A);
        // Guard bytes after the last row: nothing may reach them.
        bytes.resize(bytes.size() + kGuard, 0xEE);
        view.base = bytes.data();
    }
    DWORD At(int x, int y) const {
        const int n = view.bitCount / 8;
        const BYTE* p = bytes.data() + static_cast<std::size_t>(y) * view.stride + x * n;
        DWORD v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<DWORD>(p[i]) << (8 * i);
        return v;
    }
};

// FreeType's monochrome bitmap of one character, sized as a GDI cell of `height` rows and `half`
// columns a byte, made here independently of the layer.
struct ReferenceGlyph {
    int left = 0, top = 0, width = 0, rows = 0, ascent = 0;
    std::vector<int> lit;
    bool At(int c, int r) const {
        return c >= 0 && r >= 0 && c < width && r < rows && lit[static_cast<std::size_t>(r) * width + c];
    }
};

ReferenceGlyph Reference(const char* file, int height, int half, char32_t ch) {
    ReferenceGlyph g;
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    EXPECT_EQ(FT_New_Face(lib, file, 0, &face), 0);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double cellUnits = os2->usWinAscent + os2->usWinDescent;
    g.ascent = static_cast<int>(std::lround(os2->usWinAscent * height / cellUnits));
    FT_Load_Char(face, '0', FT_LOAD_NO_SCALE);
    const double halfUnits = face->glyph->advance.x;
    const double yPpem = height * face->units_per_EM / cellUnits;
    const double xPpem = half * face->units_per_EM / halfUnits;
    FT_Set_Char_Size(face, std::lround(xPpem * 64), std::lround(yPpem * 64), 72, 72);
    FT_Load_Char(face, ch, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
    const FT_Bitmap& bm = face->glyph->bitmap;
    g.left = face->glyph->bitmap_left;
    g.top = face->glyph->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.width; ++c)
            g.lit.push_back((bm.buffer[r * bm.pitch + (c >> 3)] >> (7 - (c & 7))) & 1);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return g;
}

class Glyphs : public ::testing::Test {
  protected:
    void SetUp() override { pt::UseFontFile(pt::kPinnedGothicFont); }
    void TearDown() override { pt::UseFontFile(""); }
    std::shared_ptr<const ScaledFont> Font(int height, int half) {
        return ScaledFont::Open(platform::FindFontFile(kGothic, true, true), height, half);
    }
};

// Every pixel inside the cell is ink exactly where the reference is lit, and nothing else changed.
void ExpectGlyphInCell(const Canvas& c, const ReferenceGlyph& ref, int cellX, int cellY, int cellW, int cellH,
                       DWORD ink) {
    int inked = 0;
    for (int y = 0; y < c.view.height; ++y)
        for (int x = 0; x < c.view.width; ++x) {
            const bool inCell = x >= cellX && x < cellX + cellW && y >= cellY && y < cellY + cellH;
            const bool lit = inCell && ref.At(x - cellX - ref.left, y - cellY - ref.ascent + ref.top);
            if (lit) {
                ++inked;
                EXPECT_EQ(c.At(x, y), ink) << x << "," << y;
            } else {
                EXPECT_EQ(c.At(x, y), kSentinel32) << x << "," << y;
            }
        }
    EXPECT_GT(inked, 10);
}
} // namespace

TEST_F(Glyphs, CellFollowsTheRequestedHeightAndHalfWidth) {
    auto font = Font(16, 8);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->CellHeight(), 16);
    EXPECT_EQ(font->HalfWidth(), 8);
    // IPAGothic: Windows ascent 1802, descent 401: 16 x 1802 / 2203 = 13.09.
    EXPECT_EQ(font->Ascent(), 13);
    auto big = Font(60, 30);
    EXPECT_EQ(big->CellHeight(), 60);
    EXPECT_EQ(big->Ascent(), 49);
    // A negative height is the character height; the cell adds the face's leading.
    auto em = Font(-16, 0);
    EXPECT_EQ(em->CellHeight(), 17);
    EXPECT_EQ(em->HalfWidth(), 8);
}

TEST_F(Glyphs, FullWidthCharacterLandsWhereFreeTypePutsIt) {
    auto font = Font(48, 24);
    Canvas c(96, 80, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    TextStyle style;
    style.textColor = 0x0000FF; // red as COLORREF
    style.backMode = TRANSPARENT;
    const std::string a = platform::Utf8ToSjis("あ");
    EXPECT_EQ(platform::DrawSjisText(*font, c.view, 10, 20, a.c_str(), 2, style), 48);
    ExpectGlyphInCell(c, Reference(pt::kPinnedGothicFont, 48, 24, U'あ'), 10, 20, 48, 48, 0xFF0000);
}

TEST_F(Glyphs, HalfWidthCharactersTakeOneCellEach) {
    auto font = Font(48, 24);
    Canvas c(96, 80, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    TextStyle style;
    style.textColor = 0xFFFFFF;
    style.backMode = TRANSPARENT;
    EXPECT_EQ(platform::DrawSjisText(*font, c.view, 30, 5, "W", 1, style), 24);
    ExpectGlyphInCell(c, Reference(pt::kPinnedGothicFont, 48, 24, U'W'), 30, 5, 24, 48, 0xFFFFFF);

    // Half-width katakana is one byte and one cell too.
    Canvas k(96, 80, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    EXPECT_EQ(platform::DrawSjisText(*font, k.view, 0, 0, "\xB1", 1, style), 24); // ｱ
    ExpectGlyphInCell(k, Reference(pt::kPinnedGothicFont, 48, 24, U'\uFF71'), 0, 0, 24, 48, 0xFFFFFF);
}

TEST_F(Glyphs, MixedTextAdvancesByBytesAndClipsEachGlyphToItsCell) {
    auto font = Font(16, 8);
    Canvas c(64, 32, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    TextStyle style;
    style.backMode = TRANSPARENT;
    style.textColor = 0x00FF00;
    const std::string text = "A" + platform::Utf8ToSjis("漢") + "g";
    platform::DrawSjisText(*font, c.view, 4, 8, text.c_str(), static_cast<int>(text.size()), style);
    // Cells: A at 4-11, 漢 at 12-27, g at 28-35; rows 8-23.
    const ReferenceGlyph refA = Reference(pt::kPinnedGothicFont, 16, 8, U'A');
    const ReferenceGlyph refK = Reference(pt::kPinnedGothicFont, 16, 8, U'漢');
    const ReferenceGlyph refG = Reference(pt::kPinnedGothicFont, 16, 8, U'g');
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            bool lit = false;
            if (y >= 8 && y < 24) {
                if (x >= 4 && x < 12) lit = refA.At(x - 4 - refA.left, y - 8 - refA.ascent + refA.top);
                if (x >= 12 && x < 28) lit = refK.At(x - 12 - refK.left, y - 8 - refK.ascent + refK.top);
                if (x >= 28 && x < 36) lit = refG.At(x - 28 - refG.left, y - 8 - refG.ascent + refG.top);
            }
            EXPECT_EQ(c.At(x, y), lit ? 0x00FF00u : kSentinel32) << x << "," << y;
        }
}

TEST_F(Glyphs, OpaqueBackgroundFillsExactlyTheCells) {
    auto font = Font(16, 8);
    Canvas c(64, 40, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    const std::string text = platform::Utf8ToSjis("エラー") + "!";
    platform::DrawSjisText(*font, c.view, 3, 5, text.c_str(), static_cast<int>(text.size()), TextStyle{});
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inCells = x >= 3 && x < 3 + 7 * 8 && y >= 5 && y < 21;
            if (!inCells) {
                EXPECT_EQ(c.At(x, y), kSentinel32);
            } else {
                // Fresh device context colours: black text on white.
                const DWORD v = c.At(x, y);
                EXPECT_TRUE(v == 0xFFFFFF || v == 0x000000) << x << "," << y;
                ink += v == 0;
            }
        }
    EXPECT_GT(ink, 40);
}

TEST_F(Glyphs, ColoursFollowTheViewFormat) {
    // The opaque background of a space shows how a colour lands in each layout.
    auto font = Font(2, 1);
    TextStyle style;
    style.backColor = RGB(0xFF, 0x80, 0x08);
    Canvas c565(1, 2, 16, 0xF800, 0x07E0, 0x001F);
    platform::DrawSjisText(*font, c565.view, 0, 0, " ", 1, style);
    EXPECT_EQ(c565.At(0, 0), 0xFC01u);
    style.backColor = RGB(0xFF, 0xFF, 0xFF);
    Canvas c555(1, 2, 16, 0x7C00, 0x03E0, 0x001F);
    platform::DrawSjisText(*font, c555.view, 0, 0, " ", 1, style);
    EXPECT_EQ(c555.At(0, 1), 0x7FFFu);
    style.backColor = RGB(0x11, 0x22, 0x33);
    Canvas c24(1, 2, 24);
    platform::DrawSjisText(*font, c24.view, 0, 0, " ", 1, style);
    EXPECT_EQ(c24.bytes[0], 0x33); // blue first in memory
    EXPECT_EQ(c24.bytes[1], 0x22);
    EXPECT_EQ(c24.bytes[2], 0x11);
    EXPECT_EQ(c24.bytes[3], 0x5A);
}

TEST_F(Glyphs, TextOffTheEdgesNeverWritesOutsideTheView) {
    auto font = Font(32, 16);
    Canvas c(40, 20, 16, 0xF800, 0x07E0, 0x001F, 0);
    const std::string text = platform::Utf8ToSjis("■■■■■");
    platform::DrawSjisText(*font, c.view, -20, -10, text.c_str(), static_cast<int>(text.size()), TextStyle{});
    platform::DrawSjisText(*font, c.view, 30, 10, text.c_str(), static_cast<int>(text.size()), TextStyle{});
    for (std::size_t i = c.bytes.size() - kGuard; i < c.bytes.size(); ++i)
        EXPECT_EQ(c.bytes[i], 0xEE);
    // The clip RECT limits even the background.
    Canvas k(40, 20, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    const RECT clip = {10, 0, 20, 20};
    platform::DrawSjisText(*font, k.view, 0, 0, text.c_str(), static_cast<int>(text.size()), TextStyle{},
                           &clip);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x < 10 || x >= 20) {
                EXPECT_EQ(k.At(x, y), kSentinel32);
            }
        }
}

TEST_F(Glyphs, LoneLeadByteTakesOneCellAndDrawsNothing) {
    auto font = Font(16, 8);
    Canvas c(32, 16, 32, 0xFF0000, 0x00FF00, 0x0000FF);
    TextStyle style;
    style.backMode = TRANSPARENT;
    EXPECT_EQ(platform::DrawSjisText(*font, c.view, 0, 0, "\x82", 1, style), 8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(c.At(x, y), kSentinel32);
}

TEST(FontLookup, GothicRequestFindsAJapaneseFaceThroughFontconfig) {
    pt::UseFontFile("");
    const std::string file = platform::FindFontFile(kGothic, true, true);
    ASSERT_FALSE(file.empty());
    auto font = ScaledFont::Open(file, 16, 8);
    ASSERT_TRUE(font);
    EXPECT_GT(font->Glyph(U'ゴ')->rows, 0);
    // A nameless fixed-pitch Japanese request means the same face.
    EXPECT_EQ(platform::FindFontFile("", true, true), file);
    // A pinned file wins over the lookup.
    pt::UseFontFile("/nonexistent/font.ttf");
    EXPECT_EQ(platform::FindFontFile(kGothic, true, true), "/nonexistent/font.ttf");
    EXPECT_FALSE(ScaledFont::Open("/nonexistent/font.ttf", 16, 8));
    pt::UseFontFile("");
}
