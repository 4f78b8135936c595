#include "SurfaceFixture.h"

#include <cstring>
#include <vector>

namespace {
// A BITMAPINFO with room for a colour table or three masks.
struct Dib {
    BITMAPINFOHEADER header;
    DWORD extra[256];
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

Dib MakeDib(int width, int height, int bits, DWORD compression) {
    Dib d{};
    d.header.biSize = 40;
    d.header.biWidth = width;
    d.header.biHeight = height;
    d.header.biPlanes = 1;
    d.header.biBitCount = static_cast<WORD>(bits);
    d.header.biCompression = compression;
    return d;
}

std::size_t Stride(int width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}
} // namespace

// 24-bit source pixels (bottom-up, no padding) through the direct conversion.
TEST_P(SurfaceTest, DirectConversionOfTrueColourRows) {
    const DWORD top[3] = {0xF8FC08, 0x123456, 0xFFFFFF};
    const DWORD bottom[3] = {0x000000, 0x7F80FF, 0x0C1824};
    std::vector<BYTE> bits;
    for (const DWORD* row : {bottom, top})
        for (int x = 0; x < 3; ++x) {
            bits.push_back(static_cast<BYTE>(row[x]));
            bits.push_back(static_cast<BYTE>(row[x] >> 8));
            bits.push_back(static_cast<BYTE>(row[x] >> 16));
        }
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{3, 2}));
    if (Bits() == 32) pt::WriteSurfaceRaw(s.GetSurface(), 1, 0, 0xAA000000);
    ASSERT_TRUE(CopyDibToSurface(s.GetSurface(), bits.data(), 3, 2, nullptr));
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), x, 0), Pixel(top[x])) << x;
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), x, 1), Pixel(bottom[x])) << x;
    }
}

// 16-bit source pixels with 5-5-5 or 5-6-5 masks through the direct conversion.
TEST_P(SurfaceTest, DirectConversionOfMaskedRows) {
    const DWORD m555[3] = {0x7C00, 0x03E0, 0x001F};
    const DWORD m565[3] = {0xF800, 0x07E0, 0x001F};
    // One pixel: red 0x15, green 0x13 (555) / 0x27 (565), blue 0x09.
    const WORD p555 = (0x15 << 10) | (0x13 << 5) | 0x09;
    const WORD p565 = (0x15 << 11) | (0x27 << 5) | 0x09;

    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{1, 1}));
    if (Bits() == 32) pt::WriteSurfaceRaw(s.GetSurface(), 0, 0, 0xAA000000);
    ASSERT_TRUE(CopyDibToSurface(s.GetSurface(), &p555, 1, 1, m555));
    DWORD want555;
    switch (GetParam()) {
    case pt::DisplayFormat::Rgb565: // green moves up one bit, its lowest bit 0
        want555 = (0x15u << 11) | (0x26u << 5) | 0x09;
        break;
    case pt::DisplayFormat::Rgb555:
        want555 = p555;
        break;
    case pt::DisplayFormat::Rgb24:
        want555 = (0xA8u << 16) | (0x98u << 8) | 0x48;
        break;
    default: // the fourth byte stays as it was
        want555 = 0xAA000000u | (0xA8u << 16) | (0x98u << 8) | 0x48;
        break;
    }
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), want555);

    ASSERT_TRUE(CopyDibToSurface(s.GetSurface(), &p565, 1, 1, m565));
    DWORD want565;
    switch (GetParam()) {
    case pt::DisplayFormat::Rgb565:
        want565 = p565;
        break;
    case pt::DisplayFormat::Rgb555: // green loses its lowest bit
        want565 = (0x15u << 10) | (0x13u << 5) | 0x09;
        break;
    case pt::DisplayFormat::Rgb24:
        want565 = (0xA8u << 16) | (0x9Cu << 8) | 0x48;
        break;
    default:
        want565 = 0xAA000000u | (0xA8u << 16) | (0x9Cu << 8) | 0x48;
        break;
    }
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), want565);
}

TEST_P(SurfaceTest, DirectConversionNeverLeavesTheSurface) {
    pt::SetSurfacePitch(1, 0);
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{2, 2}));
    std::vector<BYTE> bits(5 * 4 * 3, 0xFF);
    ASSERT_TRUE(CopyDibToSurface(s.GetSurface(), bits.data(), 5, 4, nullptr));
    EXPECT_EQ(pt::ReadSurfaceRgbAt(s.GetSurface(), 1, 1), 0xFFFFFFu);
}

TEST_P(SurfaceTest, SurfaceFromBitsKeysItsTopLeftPixel) {
    std::vector<BYTE> bits = {0x00, 0x00, 0xFF, 0x10, 0x20, 0x30,  // bottom row: red, dark
                              0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}; // top row: magenta, green
    CDDrawSurface s;
    ASSERT_TRUE(s.Create(dd, bits.data(), SIZE{2, 2}, FALSE, TRUE, nullptr));
    EXPECT_EQ(s.GetBltFlags(), kKeyedBltFlags);
    DDCOLORKEY key{};
    ASSERT_EQ(s.GetSurface()->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, Pixel(0xFF00FF));
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 1, 0), Pixel(0x00FF00));
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 1), Pixel(0xFF0000));
    // Keep: the old surface goes and none comes.
    EXPECT_TRUE(s.Create(dd, bits.data(), SIZE{2, 2}, TRUE, FALSE, nullptr));
    EXPECT_EQ(s.GetSurface(), nullptr);
}

// Through GDI: padded rows of every DIB depth the picture readers hand over.
TEST_P(SurfaceTest, GdiConversionOfEveryDibDepth) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{9, 2}));

    { // 24 bits, width 3: rows of 9 bytes padded to 12.
        Dib d = MakeDib(3, 2, 24, BI_RGB);
        std::vector<BYTE> bits(Stride(3, 24) * 2, 0);
        const DWORD top[3] = {0xF8FC08, 0x123456, 0xFFFFFF};
        for (int x = 0; x < 3; ++x) {
            BYTE* p = bits.data() + Stride(3, 24) + x * 3; // row 1 is the top row
            p[0] = static_cast<BYTE>(top[x]);
            p[1] = static_cast<BYTE>(top[x] >> 8);
            p[2] = static_cast<BYTE>(top[x] >> 16);
        }
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits.data()));
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), x, 0), Pixel(top[x])) << x;
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 1), 0u);
    }
    { // 8 bits with a palette.
        Dib d = MakeDib(2, 1, 8, BI_RGB);
        d.header.biClrUsed = 2;
        d.extra[0] = 0x00C08040; // RGBQUAD blue 40, green 80, red C0
        d.extra[1] = 0x000000FF;
        std::vector<BYTE> bits = {1, 0, 0, 0};
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits.data()));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), Pixel(0x0000FF));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 1, 0), Pixel(0xC08040));
    }
    { // 16-bit BI_BITFIELDS of odd width: each source row holds one padding pixel.
        Dib d = MakeDib(3, 2, 16, BI_BITFIELDS);
        d.extra[0] = 0xF800;
        d.extra[1] = 0x07E0;
        d.extra[2] = 0x001F;
        const WORD bits[8] = {0, 0, 0, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x1234};
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), Pixel(0xF80000));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 1, 0), Pixel(0x00FC00));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 2, 0), Pixel(0x0000F8));
    }
    { // 4 bits, width 9: 8 bytes a row.
        Dib d = MakeDib(9, 1, 4, BI_RGB);
        d.header.biClrUsed = 16;
        for (int i = 0; i < 16; ++i)
            d.extra[i] = static_cast<DWORD>(i * 0x10) << 16;
        std::vector<BYTE> bits = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits.data()));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 3, 0), Pixel(0x300000));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 8, 0), Pixel(0x800000));
    }
    { // 32 bits with masks.
        Dib d = MakeDib(1, 1, 32, BI_BITFIELDS);
        d.extra[0] = 0x0000FF;
        d.extra[1] = 0x00FF00;
        d.extra[2] = 0xFF0000;
        const DWORD bits[1] = {0x00112233};
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), Pixel(0x332211));
    }
    { // 1 bit.
        Dib d = MakeDib(2, 1, 1, BI_RGB);
        d.extra[0] = 0x00000000;
        d.extra[1] = 0x00FFFFFF;
        std::vector<BYTE> bits = {0x40, 0, 0, 0};
        ASSERT_TRUE(BltDibToSurface(s.GetSurface(), d.Info(), bits.data()));
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), 0u);
        EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 1, 0), Pixel(0xFFFFFF));
    }
}

TEST_P(SurfaceTest, GdiConversionRefusesWhatItCannotRead) {
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{4, 4}));
    Dib d = MakeDib(2, 2, 7, BI_RGB);
    BYTE bits[64] = {};
    EXPECT_FALSE(BltDibToSurface(s.GetSurface(), d.Info(), bits));
    Dib masked = MakeDib(2, 2, 16, BI_BITFIELDS);
    masked.header.biSize = 124; // the masks are read after a 40-byte header only
    EXPECT_FALSE(BltDibToSurface(s.GetSurface(), masked.Info(), bits));
    pt::LoseSurface(s.GetSurface());
    Dib ok = MakeDib(2, 2, 24, BI_RGB);
    EXPECT_FALSE(BltDibToSurface(s.GetSurface(), ok.Info(), bits));
}

TEST(BitfieldAnalysis, ShiftsAndUpShifts) {
    BITMAPINFOHEADER h{};
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info{h, {0x7C00, 0x03E0, 0x001F}};
    info.header.biSize = 40;
    BitfieldAnalysis a;
    ASSERT_TRUE(AnalyseBitfieldMasks(reinterpret_cast<const BITMAPINFO*>(&info), &a));
    EXPECT_EQ(a.redShift, 10u);
    EXPECT_EQ(a.greenShift, 5u);
    EXPECT_EQ(a.greenUp, 3u);
    info.masks[1] = 0x07E0;
    ASSERT_TRUE(AnalyseBitfieldMasks(reinterpret_cast<const BITMAPINFO*>(&info), &a));
    EXPECT_EQ(a.greenUp, 2u);
    EXPECT_EQ(ConvertMaskedChannel(0x07E0, 0x07E0, 5, 2), 0xFC);
}

TEST(EightBitDisplay, DirectConversionChangesNothingAndSucceeds) {
    pt::UseHeadlessDisplay(pt::DisplayFormat::Pal8);
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    CDDrawSurface s;
    ASSERT_TRUE(s.CreateEmpty(dd, SIZE{2, 2}));
    pt::WriteSurfaceRaw(s.GetSurface(), 0, 0, 0x5A);
    const BYTE bits[12] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(CopyDibToSurface(s.GetSurface(), bits, 2, 2, nullptr));
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 0, 0), 0x5Au);
    EXPECT_EQ(pt::ReadSurfaceRaw(s.GetSurface(), 1, 1), 0u);
    s.Release();
    dd->Release();
}
