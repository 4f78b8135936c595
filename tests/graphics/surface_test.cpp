#include "SurfaceFixture.h"

#include <vector>

namespace {
std::vector<BYTE> Padding(IDirectDrawSurface* s, int width, int bytes) {
    const std::vector<BYTE> all = pt::ReadSurfaceBytes(s);
    const int pitch = pt::SurfacePitch(s);
    std::vector<BYTE> pad;
    for (std::size_t row = 0; row * pitch < all.size(); ++row)
        for (int i = width * bytes; i < pitch; ++i)
            pad.push_back(all[row * pitch + i]);
    return pad;
}
} // namespace

TEST_P(SurfaceTest, FillTakesTheRawValueAndStaysInsideItsRect) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{10, 6}));
    const int bytes = Bits() / 8;
    ASSERT_GT(pt::SurfacePitch(s.GetSurface()), 10 * bytes);

    const RECT r{2, 1, 5, 3};
    EXPECT_EQ(FillSurface(s.GetSurface(), 0x12345678, &r), DD_OK);
    // The value is not converted: a 16-bit surface keeps the low 16 bits, 24 bits the low 24.
    const DWORD expected = Bits() == 16 ? 0x5678u : Bits() == 24 ? 0x345678u : 0x12345678u;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), x, y), inside ? expected : 0u) << x << "," << y;
        }

    // White is 0xFFFFFF at every depth; a null RECT is the whole surface, and the bytes past each
    // row stay untouched.
    EXPECT_EQ(FillSurface(s.GetSurface(), 0xFFFFFF, nullptr), DD_OK);
    for (DWORD rgb : pt::ReadSurfaceRgb(s.GetSurface()))
        EXPECT_EQ(rgb, 0xFFFFFFu);
    for (BYTE b : Padding(s.GetSurface(), 10, bytes))
        EXPECT_EQ(b, 0);

    // A RECT that leaves the surface is refused whole.
    const RECT outside{8, 4, 11, 6};
    EXPECT_EQ(FillSurface(s.GetSurface(), 0, &outside), DDERR_INVALIDRECT);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(s.GetSurface(), 9, 5), 0xFFFFFFu);
}

TEST_P(SurfaceTest, OneToOneCopyClipsToTheDestination) {
    CDDrawSurface src, dst;
    ASSERT_TRUE(src.CreateEmpty(dd, SIZE{8, 5}));
    ASSERT_TRUE(dst.CreateEmpty(dd, SIZE{12, 9}));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            pt::WriteSurfaceRaw(src.GetSurface(), x, y, Pixel(0x10204 * (y * 8 + x + 1)));
    FillSurface(dst.GetSurface(), Pixel(0x808080), nullptr);

    EXPECT_EQ(src.BltTo(dst.GetSurface(), 3, 2, nullptr), DD_OK);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 3 && x < 11 && y >= 2 && y < 7;
            const DWORD want = inside ? Pixel(0x10204 * ((y - 2) * 8 + (x - 3) + 1)) : Pixel(0x808080);
            EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), x, y), want) << x << "," << y;
        }

    // Hanging over the right and bottom edges: only what fits is copied.
    const RECT part{2, 1, 8, 5};
    EXPECT_EQ(src.BltTo(dst.GetSurface(), 9, 7, &part), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), 9, 7), Pixel(0x10204 * (1 * 8 + 2 + 1)));
    EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), 11, 8), Pixel(0x10204 * (2 * 8 + 4 + 1)));
    for (BYTE b : Padding(dst.GetSurface(), 12, Bits() / 8))
        EXPECT_EQ(b, 0);
}

TEST_P(SurfaceTest, KeyedCopySkipsTheCornerColour) {
    CDDrawSurface src, dst;
    ASSERT_TRUE(src.CreateEmpty(dd, SIZE{4, 3}));
    ASSERT_TRUE(dst.CreateEmpty(dd, SIZE{4, 3}));
    const DWORD key = Pixel(0xFF00FF), ink = Pixel(0x204080), ground = Pixel(0x00C000);
    FillSurface(src.GetSurface(), key, nullptr);
    pt::WriteSurfaceRaw(src.GetSurface(), 1, 1, ink);
    pt::WriteSurfaceRaw(src.GetSurface(), 2, 1, ink);
    FillSurface(dst.GetSurface(), ground, nullptr);

    EXPECT_EQ(src.GetBltFlags(), 0u);
    ASSERT_TRUE(src.SetColorKeyFromCorner(3));
    EXPECT_EQ(src.GetBltFlags(), kKeyedBltFlags);
    EXPECT_EQ(src.BltTo(dst.GetSurface(), 0, 0, nullptr), DD_OK);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool drawn = y == 1 && (x == 1 || x == 2);
            EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), x, y), drawn ? ink : ground) << x << "," << y;
        }
}

TEST_P(SurfaceTest, CornerKeyReadsOnlyThatPixel) {
    // No slack after the last pixel: a key read wider than the pixel would leave the surface.
    pt::SetSurfacePitch(1, 0);
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{3, 2}));
    const DWORD corners[4] = {Pixel(0x102030), Pixel(0x405060), Pixel(0x708090), Pixel(0xA0B0C0)};
    FillSurface(s.GetSurface(), Pixel(0xFFFFFF), nullptr);
    pt::WriteSurfaceRaw(s.GetSurface(), 0, 0, corners[0]);
    pt::WriteSurfaceRaw(s.GetSurface(), 2, 0, corners[1]);
    pt::WriteSurfaceRaw(s.GetSurface(), 0, 1, corners[2]);
    pt::WriteSurfaceRaw(s.GetSurface(), 2, 1, corners[3]);
    for (int corner = 0; corner < 4; ++corner) {
        ASSERT_TRUE(s.SetColorKeyFromCorner(corner));
        DDCOLORKEY key{};
        ASSERT_EQ(s.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        EXPECT_EQ(key.dwColorSpaceLowValue, corners[corner]) << corner;
        EXPECT_EQ(key.dwColorSpaceHighValue, corners[corner]) << corner;
    }
    EXPECT_TRUE(SetColorKeyTopLeft(s.GetSurface()));
}

TEST_P(SurfaceTest, KeyFlagsFollowOnlyASuccessfulKey) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    pt::LoseSurface(s.GetSurface());
    EXPECT_FALSE(s.SetColorKeyFromCorner(0));
    EXPECT_EQ(s.GetBltFlags(), 0u);
    EXPECT_FALSE(s.SetColorKeyFromCorner(4));
    EXPECT_TRUE(s.Restore());
    EXPECT_EQ(s.GetSurface()->IsLost(), DD_OK);
    EXPECT_TRUE(s.SetColorKeyFromCorner(0));
    EXPECT_EQ(s.GetBltFlags(), kKeyedBltFlags);

    // A new surface in a keyed wrapper has no key: its blits copy every pixel and do not fail.
    CDDrawSurface dest;
    ASSERT_TRUE(dest.CreateEmpty(dd, SIZE{4, 4}));
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    EXPECT_EQ(s.GetBltFlags(), 0u);
    FillSurface(s.GetSurface(), Pixel(0xFFFFFF), nullptr);
    EXPECT_EQ(s.BltTo(dest.GetSurface(), 0, 0, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(dest.GetSurface(), 0, 0), 0xFFFFFFu);
    ASSERT_TRUE(s.SetColorKeyFromCorner(0));
    const DWORD bits[4] = {};
    ASSERT_TRUE(s.Create(dd, bits, SIZE{2, 2}, FALSE, FALSE, nullptr));
    EXPECT_EQ(s.GetBltFlags(), 0u);
}

TEST_P(SurfaceTest, PixelFormatRecordsDescribeTheDisplay) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{2, 2}));
    SurfacePixelFormat f;
    ASSERT_TRUE(GetSurfacePixelFormat(s.GetSurface(), &f));
    RgbChannelMasks m;
    ASSERT_TRUE(GetSurfaceRgbMasks(s.GetSurface(), &m));
    EXPECT_EQ(f.bitCount, static_cast<DWORD>(Bits()));
    switch (GetParam()) {
    case pt::DisplayFormat::Rgb565:
        EXPECT_EQ(f.maxValue[1], 63);
        EXPECT_EQ(f.dropBits[1], 2);
        EXPECT_EQ(f.dropBits[2], 3);
        EXPECT_EQ(f.shift[2], 11);
        EXPECT_EQ(m.greenMask, 0x07E0u);
        EXPECT_EQ(m.greenMax, 63);
        break;
    case pt::DisplayFormat::Rgb555:
        EXPECT_EQ(f.maxValue[1], 31);
        EXPECT_EQ(f.dropBits[1], 3);
        EXPECT_EQ(f.shift[2], 10);
        EXPECT_EQ(m.redMask, 0x7C00u);
        break;
    default:
        EXPECT_EQ(f.shift[0], 0);
        EXPECT_EQ(f.shift[1], 8);
        EXPECT_EQ(f.shift[2], 16);
        EXPECT_EQ(m.redMax, 255);
        break;
    }
}

TEST_P(SurfaceTest, CreateFailureLeavesNoSurfaceAndIsTraced) {
    pt::CaptureDebugOutput(true);
    pt::FailCreateSurface(DDSCAPS_OFFSCREENPLAIN, 1);
    CDDrawSurface s;
    EXPECT_FALSE(s.CreateEmpty(dd, SIZE{4, 4}));
    EXPECT_EQ(s.GetSurface(), nullptr);
    EXPECT_EQ(pt::TakeDebugOutput(), " Create Surface Miss\n DirectDraw Error DDERR_OUTOFMEMORY \n");
    pt::CaptureDebugOutput(false);
    EXPECT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    EXPECT_EQ(s.BltTo(nullptr, 0, 0, nullptr), 0);
}

TEST_P(SurfaceTest, StretchDoublesAndKeepsInsideTheDestination) {
    CDDrawSurface src, dst;
    ASSERT_TRUE(src.CreateEmpty(dd, SIZE{2, 2}));
    ASSERT_TRUE(dst.CreateEmpty(dd, SIZE{5, 5}));
    pt::WriteSurfaceRaw(src.GetSurface(), 0, 0, Pixel(0xFF0000));
    pt::WriteSurfaceRaw(src.GetSurface(), 1, 1, Pixel(0x0000FF));
    const RECT to{1, 1, 5, 5};
    EXPECT_EQ(src.BltStretch(dst.GetSurface(), &to, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), 2, 2), Pixel(0xFF0000));
    EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), 4, 4), Pixel(0x0000FF));
    EXPECT_EQ(pt::ReadSurfaceRaw(dst.GetSurface(), 0, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceTest, AllFormats(), FormatParamName);

TEST(TraceDDError, NamesKnownCodesAndReturnsZero) {
    pt::CaptureDebugOutput(true);
    EXPECT_EQ(TraceDDError(DDERR_SURFACELOST), 0);
    EXPECT_EQ(TraceDDError(0x12345), 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              " DirectDraw Error DDERR_SURFACELOST \n DirectDraw Error Unknown Error \n");
    pt::CaptureDebugOutput(false);
}
