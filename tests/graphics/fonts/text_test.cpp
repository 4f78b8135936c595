// Glyphs of the pinned Gothic face drawn into plain pixels, and TextOutA on device contexts over
// surfaces of every display format.
#include "platform/gdi_font.h"
#include "platform/gdi_font_draw.h"
#include "platform/text_encoding.h"
#include "tests/graphics/DisplayFixture.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace graphics_test;
using platform::ScaledFont;
using platform::TextStyle;

namespace {
// "ＭＳ ゴシック"
const char kGothic[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr DWORD kSentinel = 0x5A5A5A5A;

// A top-down view of `bpp` bits with `pad` spare bytes after each row and guard bytes after the last.
struct Canvas {
    std::vector<BYTE> bytes;
    platform::PixelView view;
    Canvas(int width, int height, int bpp, std::initializer_list<DWORD> masks = {0xFF0000, 0xFF00, 0xFF},
           int pad = 4) {
        view.width = width;
        view.height = height;
        view.bitCount = bpp;
        view.stride = width * (bpp / 8) + pad;
        std::copy(masks.begin(), masks.end(), view.masks);
        bytes.assign(static_cast<std::size_t>(view.stride) * height + 64, 0x5A);
        std::fill(bytes.end() - 64, bytes.end(), 0xEE);
        view.base = bytes.data();
    }
    DWORD At(int x, int y) const {
        DWORD v = 0;
        std::memcpy(&v, bytes.data() + static_cast<std::size_t>(y) * view.stride + x * (view.bitCount / 8),
                    view.bitCount / 8);
        return v | (view.bitCount == 32 ? 0 : kSentinel & ~((1u << view.bitCount) - 1));
    }
};

HFONT GothicFont(int height, int width) {
    return CreateFontA(height, width, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, kGothic);
}

// The pixels of a view that are `ink`: how many, and the left, top, right and bottom around them;
// every other pixel must still hold `paper`.
template <class Read> std::array<int, 5> Census(int width, int height, DWORD ink, DWORD paper, Read read) {
    std::array<int, 5> found{0, 9999, 9999, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD v = read(x, y);
            EXPECT_TRUE(v == ink || v == paper) << x << "," << y;
            if (v == ink)
                found = {found[0] + 1, std::min(found[1], x), std::min(found[2], y),
                         std::max(found[3], x + 1), std::max(found[4], y + 1)};
        }
    return found;
}

// Inside `cells` every pixel is white or black, black text on white, with ink; outside them `paper`.
template <class Read> void ExpectOpaqueCells(int width, int height, RECT cells, DWORD paper, Read read) {
    int black = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD v = read(x, y);
            const POINT p{x, y};
            black += v == 0;
            EXPECT_TRUE(PtInRect(&cells, p) ? v == 0xFFFFFF || v == 0 : v == paper) << x << "," << y;
        }
    EXPECT_GT(black, (cells.right - cells.left) / 2);
}

class Glyphs : public ::testing::Test {
  protected:
    void SetUp() override { pt::UseFontFile(pt::kPinnedGothicFont); }
    void TearDown() override { pt::UseFontFile(""); }
    std::shared_ptr<const ScaledFont> Font(int height, int half) {
        return ScaledFont::Open(platform::FindFontFile(kGothic, true, true), height, half);
    }
};
} // namespace

TEST_F(Glyphs, CellFollowsTheRequestedHeightAndHalfWidth) {
    // IPAGothic: Windows ascent 1802, descent 401: 16 x 1802 / 2203 = 13.09. A negative height is the
    // character height; the cell adds the face's leading.
    const struct {
        int height, half, cell, halfWidth, ascent;
    } cells[] = {{16, 8, 16, 8, 13}, {60, 30, 60, 30, 49}, {-16, 0, 17, 8, 14}, {0, 0, 16, 7, 13}};
    for (const auto& c : cells) {
        auto font = Font(c.height, c.half);
        ASSERT_TRUE(font);
        EXPECT_TRUE(font->CellHeight() == c.cell && font->HalfWidth() == c.halfWidth) << c.height;
        EXPECT_TRUE(c.height <= 0 || font->Ascent() == c.ascent) << c.height;
    }
}

// Each byte takes one half-width cell and each glyph is clipped to its cell: the ink of the pinned face
// (its count and where it lies) lands where the cells put it, and nothing else changes.
TEST_F(Glyphs, TextAdvancesByBytesAndClipsEachGlyphToItsCell) {
    const auto a = platform::Utf8ToSjis("あ"), mixed = "A" + platform::Utf8ToSjis("漢") + "g";
    const struct {
        const char* name;
        int height, half, x, y;
        std::string text;
        int ink, left, top, right, bottom;
    } rows[] = {
        {"FullWidthCharacterLandsWhereFreeTypePutsIt", 48, 24, 10, 20, a, 495, 15, 23, 53, 60},
        {"HalfWidthCharactersTakeOneCellEach", 48, 24, 30, 5, "W", 364, 31, 10, 53, 42},
        {"half-width katakana", 48, 24, 0, 0, "\xB1", 195, 2, 7, 21, 40},
        {"MixedTextAdvancesByBytesAndClipsEachGlyphToItsCell", 16, 8, 4, 8, mixed, 140, 4, 9, 35, 22},
        {"LoneLeadByteTakesOneCellAndDrawsNothing", 16, 8, 0, 0, "\x82", 0, 9999, 9999, -1, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto font = Font(row.height, row.half);
        Canvas c(96, 80, 32);
        TextStyle style;
        style.textColor = RGB(0x12, 0x34, 0x56);
        style.backMode = TRANSPARENT;
        const int n = static_cast<int>(row.text.size());
        EXPECT_EQ(platform::DrawSjisText(*font, c.view, row.x, row.y, row.text.c_str(), n, style),
                  row.half * n);
        EXPECT_EQ(Census(96, 80, 0x123456, kSentinel, [&](int x, int y) { return c.At(x, y); }),
                  (std::array<int, 5>{row.ink, row.left, row.top, row.right, row.bottom}));
    }
}

// The opaque background of a space shows how a colour lands in each layout (blue first at 24 bits).
TEST_F(Glyphs, ColoursFollowTheViewFormat) {
    const struct {
        const char* name;
        int bpp;
        std::initializer_list<DWORD> masks;
        COLORREF back;
        DWORD want;
    } formats[] = {{"565", 16, {0xF800, 0x07E0, 0x001F}, RGB(0xFF, 0x80, 0x08), 0xFC01},
                   {"555", 16, {0x7C00, 0x03E0, 0x001F}, RGB(0xFF, 0xFF, 0xFF), 0x7FFF},
                   {"24", 24, {}, RGB(0x11, 0x22, 0x33), 0x112233}};
    auto tiny = Font(2, 1);
    for (const auto& f : formats) {
        Canvas k(1, 2, f.bpp, f.masks);
        TextStyle style;
        style.backColor = f.back;
        platform::DrawSjisText(*tiny, k.view, 0, 0, " ", 1, style);
        EXPECT_EQ(k.At(0, 1), f.want | (kSentinel & ~((1u << f.bpp) - 1))) << f.name;
        EXPECT_EQ(k.bytes[f.bpp / 8], 0x5A) << f.name; // the next byte stays
    }
}

TEST_F(Glyphs, TextOffTheEdgesNeverWritesOutsideTheViewOrTheClip) {
    auto font = Font(32, 16);
    Canvas c(40, 20, 16, {0xF800, 0x07E0, 0x001F}, 0);
    const std::string text = platform::Utf8ToSjis("■■■■■");
    platform::DrawSjisText(*font, c.view, -20, -10, text.c_str(), static_cast<int>(text.size()), TextStyle{});
    platform::DrawSjisText(*font, c.view, 30, 10, text.c_str(), static_cast<int>(text.size()), TextStyle{});
    EXPECT_TRUE(std::all_of(c.bytes.end() - 64, c.bytes.end(), [](BYTE b) { return b == 0xEE; }));
    // The clip RECT limits even the background.
    Canvas k(40, 20, 32);
    const RECT clip = {10, 0, 20, 20};
    platform::DrawSjisText(*font, k.view, 0, 0, text.c_str(), static_cast<int>(text.size()), TextStyle{},
                           &clip);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(k.At(x, y) == kSentinel, x < 10 || x >= 20) << x << "," << y;
}

TEST(FontLookup, GothicRequestFindsAJapaneseFaceThroughFontconfig) {
    pt::UseFontFile("");
    const std::string file = platform::FindFontFile(kGothic, true, true);
    ASSERT_FALSE(file.empty());
    auto font = ScaledFont::Open(file, 16, 8);
    ASSERT_TRUE(font);
    EXPECT_GT(font->Glyph(U'ゴ')->rows, 0);
    // A nameless fixed-pitch Japanese request means the same face; a pinned file wins over the lookup.
    EXPECT_EQ(platform::FindFontFile("", true, true), file);
    pt::UseFontFile("/nonexistent/font.ttf");
    EXPECT_EQ(platform::FindFontFile(kGothic, true, true), "/nonexistent/font.ttf");
    EXPECT_FALSE(ScaledFont::Open("/nonexistent/font.ttf", 16, 8));
    pt::UseFontFile("");
}

class TextOut : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        pt::UseFontFile(pt::kPinnedGothicFont);
        surface = MakeSurface(96, 64, Pixel(0x204080));
        paper = pt::ReadSurfaceRgbAt(surface, 0, 0);
    }
    void TearDown() override {
        pt::UseFontFile("");
        DisplayTest::TearDown();
    }
    IDirectDrawSurface* surface = nullptr;
    DWORD paper = 0;
};

TEST_P(TextOut, FreshContextWritesBlackOnOpaqueWhite) {
    HFONT font = GothicFont(16, 8);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_TRUE(GetTextColor(dc) == 0x000000 && GetBkColor(dc) == 0xFFFFFF && GetBkMode(dc) == OPAQUE);
    HGDIOBJ old = SelectObject(dc, font);
    const std::string text = platform::Utf8ToSjis("エラーX");
    EXPECT_TRUE(TextOutA(dc, 5, 7, text.c_str(), static_cast<int>(text.size())));
    SelectObject(dc, old);
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_TRUE(DeleteObject(font));
    // Seven bytes: seven half-width cells of 8 x 16.
    ExpectOpaqueCells(96, 64, RECT{5, 7, 5 + 56, 23}, paper,
                      [&](int x, int y) { return pt::ReadSurfaceRgbAt(surface, x, y); });
}

TEST_P(TextOut, ColourAndTransparentModeDrawOnlyTheGlyph) {
    HFONT font = GothicFont(48, 24);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SelectObject(dc, font);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextColor(dc, RGB(255, 255, 255)), 0x000000u);
    const std::string text = platform::Utf8ToSjis("漢");
    EXPECT_TRUE(TextOutA(dc, 20, 6, text.c_str(), 2));
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    DeleteObject(font);
    // White as the display stores it: 0xFFFF at 5-6-5, 0x7FFF at 5-5-5.
    EXPECT_EQ(
        Census(96, 64, Pixel(0xFFFFFF), Pixel(0x204080), [&](int x, int y) { return Raw(surface, x, y); }),
        (std::array<int, 5>{731, 22, 8, 65, 48}));
}

TEST_P(TextOut, TheUnselectedDefaultAndASelectedFontThatLivesUntilItsContextLetsGo) {
    HFONT big = GothicFont(60, 30);
    // A nameless Japanese fixed-pitch request is the same Gothic face.
    HFONT nameless =
        CreateFontA(16, 8, 0, 0, 0, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, PROOF_QUALITY, FIXED_PITCH, nullptr);
    ASSERT_TRUE(big->scaled && nameless->scaled);
    EXPECT_TRUE(big->scaled->CellHeight() == 60 && big->scaled->HalfWidth() == 30);
    EXPECT_EQ(nameless->scaled->File(), big->scaled->File());
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    // Without a selected font the DC writes 16-pixel cells of the face's own width (7).
    EXPECT_TRUE(TextOutA(dc, 0, 0, "ab", 2));
    SelectObject(dc, big);
    EXPECT_FALSE(DeleteObject(big));
    surface->ReleaseDC(dc);
    EXPECT_TRUE(DeleteObject(big) && DeleteObject(nameless));
    ExpectOpaqueCells(96, 64, RECT{0, 0, 14, 16}, paper,
                      [&](int x, int y) { return pt::ReadSurfaceRgbAt(surface, x, y); });
    // A DC with no pixels behind it draws nothing.
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
}

GRAPHICS_IN_EVERY_FORMAT(TextOut);
