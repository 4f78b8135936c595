// Surfaces in every display format: fills, clipped and keyed blits, pixel-format records, DIBs put in
// directly and through GDI, and the refusals of what cannot be used.
#include "tests/graphics/DisplayFixture.h"

using namespace graphics_test;

namespace {
// The bytes past the last pixel of every row are still 0.
bool PaddingUntouched(IDirectDrawSurface* s, int width, int bytes) {
    const std::vector<BYTE> all = pt::ReadSurfaceBytes(s);
    const std::size_t pitch = pt::SurfacePitch(s);
    for (std::size_t i = 0; i < all.size(); ++i)
        if (i % pitch >= static_cast<std::size_t>(width * bytes) && all[i] != 0) return false;
    return true;
}

// A BITMAPINFO with room for a colour table or three masks.
struct Dib {
    BITMAPINFOHEADER header{};
    DWORD extra[256] = {};
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
Dib MakeDib(int width, int height, int bits, DWORD compression, std::initializer_list<DWORD> table = {}) {
    Dib d;
    d.header = BITMAPINFOHEADER{40, width, height, 1, static_cast<WORD>(bits), compression, 0, 0, 0, 0, 0};
    std::copy(table.begin(), table.end(), d.extra);
    return d;
}
} // namespace

using SurfaceTest = DisplayTest;

TEST_P(SurfaceTest, FillTakesTheRawValueAndStaysInsideItsRect) {
    IDirectDrawSurface* s = MakeSurface(10, 6);
    const int bytes = Bits() / 8;
    ASSERT_GT(pt::SurfacePitch(s), 10 * bytes);
    const RECT r{2, 1, 5, 3};
    EXPECT_EQ(FillSurface(s, 0x12345678, &r), DD_OK);
    // Not converted: a 16-bit surface keeps the low 16 bits, 24 bits the low 24.
    ExpectRect(s, r, Bits() == 16 ? 0x5678u : 0x345678u, 0);
    EXPECT_TRUE(Bits() != 32 || pt::ReadSurfaceRaw(s, 2, 1) == 0x12345678u);
    // White is 0xFFFFFF at every depth; a null RECT is the whole surface; the row padding stays.
    EXPECT_EQ(FillSurface(s, 0xFFFFFF, nullptr), DD_OK);
    for (DWORD rgb : pt::ReadSurfaceRgb(s))
        EXPECT_EQ(rgb, 0xFFFFFFu);
    EXPECT_TRUE(PaddingUntouched(s, 10, bytes));
    // A RECT that leaves the surface is refused whole; no surface is no fill.
    const RECT outside{8, 4, 11, 6};
    EXPECT_EQ(FillSurface(s, 0, &outside), DDERR_INVALIDRECT);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(s, 9, 5), 0xFFFFFFu);
    EXPECT_EQ(FillSurface(nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
}

TEST_P(SurfaceTest, OneToOneCopyClipsToTheDestination) {
    CDDrawSurface src;
    ASSERT_TRUE(src.CreateEmpty(dd, SIZE{8, 5}));
    IDirectDrawSurface* dst = MakeSurface(12, 9, Pixel(0x808080));
    auto value = [&](int x, int y) { return Pixel(0x10204 * (y * 8 + x + 1)); };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            pt::WriteSurfaceRaw(src.GetSurface(), x, y, value(x, y));
    EXPECT_EQ(src.BltTo(dst, 3, 2, nullptr), DD_OK);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 3 && x < 11 && y >= 2 && y < 7;
            ASSERT_EQ(Raw(dst, x, y), inside ? value(x - 3, y - 2) : Pixel(0x808080)) << x << "," << y;
        }
    // Hanging over the right and bottom edges: only what fits is copied, and the padding stays.
    const RECT part{2, 1, 8, 5};
    EXPECT_EQ(src.BltTo(dst, 9, 7, &part), DD_OK);
    ExpectRaw(dst, {{9, 7, value(2, 1)}, {11, 8, value(4, 2)}});
    EXPECT_TRUE(PaddingUntouched(dst, 12, Bits() / 8));
    // Nothing to copy from or to.
    CDDrawSurface none;
    EXPECT_FALSE(src.BltTo(nullptr, 0, 0, nullptr) || none.BltTo(dst, 0, 0, nullptr) ||
                 none.BltStretch(dst, nullptr, nullptr) || src.BltStretch(nullptr, nullptr, nullptr));
}

TEST_P(SurfaceTest, CornerKeysReadOnlyTheirPixelAndKeyedCopiesSkipIt) {
    UseDisplay(GetParam(), 1, 0); // no slack after the last pixel: a wider read would leave the surface
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{3, 2}));
    const DWORD corners[4] = {Pixel(0x102030), Pixel(0x405060), Pixel(0x708090), Pixel(0xA0B0C0)};
    FillSurface(s.GetSurface(), Pixel(0xFFFFFF), nullptr);
    const POINT at[4] = {{0, 0}, {2, 0}, {0, 1}, {2, 1}};
    for (int c = 0; c < 4; ++c)
        pt::WriteSurfaceRaw(s.GetSurface(), at[c].x, at[c].y, corners[c]);
    EXPECT_EQ(s.GetBltFlags(), 0u);
    for (int corner = 0; corner < 4; ++corner) {
        ASSERT_TRUE(s.SetColorKeyFromCorner(corner));
        DDCOLORKEY key{};
        ASSERT_EQ(s.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        EXPECT_TRUE(key.dwColorSpaceLowValue == corners[corner] &&
                    key.dwColorSpaceHighValue == corners[corner]);
    }
    EXPECT_EQ(s.GetBltFlags(), kKeyedBltFlags);
    // Keyed by the bottom-right corner, a copy leaves out only that colour.
    IDirectDrawSurface* dst = MakeSurface(3, 2, Pixel(0x00C000));
    EXPECT_EQ(s.BltTo(dst, 0, 0, nullptr), DD_OK);
    std::vector<DWORD> shown;
    for (int i = 0; i < 6; ++i)
        shown.push_back(Raw(dst, i % 3, i / 3));
    const DWORD white = Pixel(0xFFFFFF);
    EXPECT_EQ(shown, (std::vector<DWORD>{corners[0], white, corners[1], corners[2], white, Pixel(0x00C000)}));
    EXPECT_TRUE(SetColorKeyTopLeft(s.GetSurface()));
    EXPECT_FALSE(SetColorKeyTopLeft(nullptr));
}

TEST_P(SurfaceTest, KeyFlagsFollowOnlyASuccessfulKey) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    pt::LoseSurface(s.GetSurface());
    EXPECT_FALSE(s.SetColorKeyFromCorner(0));
    EXPECT_EQ(s.GetBltFlags(), 0u);
    EXPECT_TRUE(s.Restore());
    EXPECT_EQ(s.GetSurface()->IsLost(), DD_OK);
    EXPECT_FALSE(s.SetColorKeyFromCorner(4) || s.SetColorKeyFromCorner(-1));
    EXPECT_EQ(s.GetBltFlags(), 0u);
    EXPECT_TRUE(s.SetColorKeyFromCorner(0));
    EXPECT_EQ(s.GetBltFlags(), kKeyedBltFlags);
    // A new surface in a keyed wrapper has no key: its blits copy every pixel and do not fail.
    IDirectDrawSurface* dest = MakeSurface(4, 4);
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    EXPECT_EQ(s.GetBltFlags(), 0u);
    FillSurface(s.GetSurface(), Pixel(0xFFFFFF), nullptr);
    EXPECT_EQ(s.BltTo(dest, 0, 0, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(dest, 0, 0), 0xFFFFFFu);
    ASSERT_TRUE(s.SetColorKeyFromCorner(0));
    const DWORD bits[4] = {};
    ASSERT_TRUE(s.Create(dd, bits, SIZE{2, 2}, FALSE, FALSE, nullptr));
    EXPECT_EQ(s.GetBltFlags(), 0u);
}

TEST_P(SurfaceTest, CreateFailureLeavesNoSurfaceAndIsTraced) {
    pt::CaptureDebugOutput(true);
    pt::FailCreateSurface(DDSCAPS_OFFSCREENPLAIN, 1);
    CDDrawSurface s;
    EXPECT_FALSE(s.CreateEmpty(dd, SIZE{4, 4}));
    EXPECT_EQ(s.GetSurface(), nullptr);
    EXPECT_EQ(pt::TakeDebugOutput(), " Create Surface Miss\n DirectDraw Error DDERR_OUTOFMEMORY \n");
    // No DirectDraw object, or no pixels to hold, is no surface either.
    EXPECT_FALSE(s.CreateEmpty(nullptr, SIZE{4, 4}));
    EXPECT_TRUE(!CreateOffscreenSurface(dd, SIZE{0, 4}) && !CreateOffscreenSurface(dd, SIZE{4, -1}));
    EXPECT_EQ(CreateSurfaceFromBits(nullptr, nullptr, SIZE{2, 2}, nullptr), nullptr);
    pt::TakeDebugOutput();
    EXPECT_TRUE(TraceDDError(DDERR_SURFACELOST) == 0 && TraceDDError(0x12345) == 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              " DirectDraw Error DDERR_SURFACELOST \n DirectDraw Error Unknown Error \n");
    pt::CaptureDebugOutput(false);
    EXPECT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
}

// 24-bit source pixels, and 16-bit ones with 5-5-5 or 5-6-5 masks, through the direct conversion.
TEST_P(SurfaceTest, DirectConversionOfTrueColourAndMaskedRows) {
    const DWORD top[3] = {0xF8FC08, 0x123456, 0xFFFFFF}, bottom[3] = {0x000000, 0x7F80FF, 0x0C1824};
    std::vector<BYTE> bits;
    for (const DWORD* row : {bottom, top})
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                bits.push_back(static_cast<BYTE>(row[x] >> (8 * c)));
    IDirectDrawSurface* s = MakeSurface(3, 2);
    ASSERT_TRUE(CopyDibToSurface(s, bits.data(), 3, 2, nullptr));
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(Raw(s, x, 0), Pixel(top[x])) << x;
        EXPECT_EQ(Raw(s, x, 1), Pixel(bottom[x])) << x;
    }
    // One pixel: red 0x15, green 0x13 (555) or 0x27 (565), blue 0x09. Into 16 bits a 5-bit green moves
    // up one bit and a 6-bit one loses its lowest; into 24 and 32 bits each channel moves to the top.
    const struct {
        WORD pixel;
        DWORD masks[3], want565, want555, wantTrue;
    } rows[] = {{0x5669, {0x7C00, 0x03E0, 0x001F}, 0xACC9, 0x5669, 0xA89848},
                {0xACE9, {0xF800, 0x07E0, 0x001F}, 0xACE9, 0x5669, 0xA89C48}};
    for (const auto& row : rows) {
        if (Bits() == 32) pt::WriteSurfaceRaw(s, 0, 0, 0xAA000000); // the fourth byte stays
        ASSERT_TRUE(CopyDibToSurface(s, &row.pixel, 1, 1, row.masks));
        const DWORD want = Bits() > 16 ? row.wantTrue : Is555() ? row.want555 : row.want565;
        EXPECT_EQ(pt::ReadSurfaceRaw(s, 0, 0), want | (Bits() == 32 ? 0xAA000000u : 0u)) << row.masks[0];
    }
    // Rows and columns the surface does not have are left out; no pixels or a lost lock change nothing.
    std::vector<BYTE> wide(5 * 4 * 3, 0xFF);
    ASSERT_TRUE(CopyDibToSurface(s, wide.data(), 5, 4, nullptr));
    EXPECT_EQ(pt::ReadSurfaceRgbAt(s, 2, 1), 0xFFFFFFu);
    EXPECT_TRUE(CopyDibToSurface(s, nullptr, 3, 2, nullptr));
    EXPECT_TRUE(CopyDibToSurface(s, bits.data(), 0, 2, nullptr));
    EXPECT_EQ(pt::ReadSurfaceRgbAt(s, 2, 1), 0xFFFFFFu);
    EXPECT_FALSE(CopyDibToSurface(nullptr, bits.data(), 3, 2, nullptr));
    SurfacePixelFormat f;
    RgbChannelMasks m;
    EXPECT_FALSE(GetSurfacePixelFormat(nullptr, &f) || GetSurfacePixelFormat(s, nullptr));
    EXPECT_FALSE(GetSurfaceRgbMasks(nullptr, &m) || GetSurfaceRgbMasks(s, nullptr));
    pt::LoseSurface(s);
    EXPECT_FALSE(CopyDibToSurface(s, bits.data(), 3, 2, nullptr));
}

TEST_P(SurfaceTest, SurfaceFromBitsKeysItsTopLeftPixel) {
    const std::vector<BYTE> bits = {0x00, 0x00, 0xFF, 0x10, 0x20, 0x30,  // bottom row: red, dark
                                    0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}; // top row: magenta, green
    CDDrawSurface s;
    ASSERT_TRUE(s.Create(dd, bits.data(), SIZE{2, 2}, FALSE, TRUE, nullptr));
    EXPECT_EQ(s.GetBltFlags(), kKeyedBltFlags);
    DDCOLORKEY key{};
    ASSERT_EQ(s.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, Pixel(0xFF00FF));
    ExpectRaw(s.GetSurface(), {{1, 0, Pixel(0x00FF00)}, {0, 1, Pixel(0xFF0000)}});
    // Keep: the old surface goes and none comes.
    EXPECT_TRUE(s.Create(dd, bits.data(), SIZE{2, 2}, TRUE, FALSE, nullptr));
    EXPECT_EQ(s.GetSurface(), nullptr);
    EXPECT_FALSE(s.Create(nullptr, bits.data(), SIZE{2, 2}, FALSE, FALSE, nullptr));
}

// Every picture reaches its surface through GDI (the picture-object tests draw every depth in every
// format); what GDI cannot read is refused: an unknown depth, masks after a header that is not 40
// bytes, no pixels, no header, no surface, a lost surface.
TEST_P(SurfaceTest, GdiConversionRefusesWhatItCannotRead) {
    IDirectDrawSurface* s = MakeSurface(4, 4);
    std::vector<BYTE> bits(64);
    const Dib good = MakeDib(2, 2, 24, BI_RGB);
    Dib masked = MakeDib(2, 2, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F});
    EXPECT_TRUE(BltDibToSurface(s, good.Info(), bits.data()) &&
                BltDibToSurface(s, masked.Info(), bits.data()));
    masked.header.biSize = 124;
    EXPECT_FALSE(BltDibToSurface(s, MakeDib(2, 2, 7, BI_RGB).Info(), bits.data()) ||
                 BltDibToSurface(s, masked.Info(), bits.data()));
    EXPECT_FALSE(BltDibToSurface(s, good.Info(), nullptr) || BltDibToSurface(s, nullptr, bits.data()) ||
                 BltDibToSurface(nullptr, good.Info(), bits.data()));
    pt::LoseSurface(s);
    EXPECT_FALSE(BltDibToSurface(s, good.Info(), bits.data()));
}

GRAPHICS_IN_EVERY_FORMAT(SurfaceTest);

class EightBitDisplay : public DisplayFixture {};

TEST_F(EightBitDisplay, DirectConversionChangesNothingAndSucceeds) {
    UseDisplay(pt::DisplayFormat::Pal8);
    IDirectDrawSurface* s = MakeSurface(2, 2);
    pt::WriteSurfaceRaw(s, 0, 0, 0x5A);
    const std::vector<BYTE> bits(12, 0xFF);
    EXPECT_TRUE(CopyDibToSurface(s, bits.data(), 2, 2, nullptr));
    EXPECT_TRUE(pt::ReadSurfaceRaw(s, 0, 0) == 0x5A && pt::ReadSurfaceRaw(s, 1, 1) == 0);
}
