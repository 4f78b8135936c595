#include "graphics/AmFile.h"
#include "picture_stream.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using fixtures::Bytes;
using fixtures::PictureDesc;

namespace {
const int kDepths[] = {4, 8, 16, 24, 32};
const int kWidths[] = {1, 2, 3, 5, 7, 8, 13};

// What the palette buffer holds after a read: the colours, or the masks at 16 and 32 bits.
std::vector<std::uint32_t> ExpectedPalette(const PictureDesc& s) {
    if (s.bitCount == 16 || s.bitCount == 32) return {s.redMask, s.greenMask, s.blueMask};
    return s.palette;
}

std::uint32_t Quad(const RGBQUAD& q) {
    return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16) | (q.rgbReserved << 24);
}

Bytes PlaneFor(const PictureDesc& s, std::uint32_t seed, int limit) {
    Bytes plane(static_cast<std::size_t>(s.width) * s.height);
    std::uint32_t x = seed;
    for (auto& v : plane) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>((x >> 16) % (limit + 1));
    }
    return plane;
}

// Reads through LoadImage with the packing asked for and checks rows and palette.
void ExpectLoads(CAmFile& reader, const Bytes& file, const PictureDesc& s, DWORD kind, std::size_t leading) {
    for (BOOL packed : {FALSE, TRUE}) {
        SCOPED_TRACE(packed ? "packed rows asked" : "padded rows asked");
        PictureStream in(file, leading);
        BYTE* pixels = nullptr;
        RGBQUAD* palette = nullptr;
        ASSERT_TRUE(reader.LoadImage(in.get(), &pixels, packed, &palette, FALSE));
        std::unique_ptr<BYTE[]> ownPixels(pixels);
        std::unique_ptr<RGBQUAD[]> ownPalette(palette);
        EXPECT_EQ(std::ftell(in.get()), static_cast<long>(leading)); // put back
        PictureInfo info;
        reader.GetInfo(&info);
        EXPECT_EQ(info.kind, kind);
        EXPECT_EQ(info.width, static_cast<DWORD>(s.width));
        EXPECT_EQ(info.height, static_cast<DWORD>(s.height));
        EXPECT_EQ(info.bitCount, static_cast<DWORD>(s.bitCount));
        const Bytes rows = fixtures::DibRows(s, !packed);
        ASSERT_EQ(reader.GetImageSize(&info, packed), rows.size());
        EXPECT_EQ(Bytes(pixels, pixels + rows.size()), rows);
        const auto colours = ExpectedPalette(s);
        if (colours.empty()) {
            EXPECT_EQ(palette, nullptr);
        } else {
            ASSERT_NE(palette, nullptr);
            for (std::size_t i = 0; i < colours.size(); ++i)
                EXPECT_EQ(Quad(palette[i]), colours[i]) << i;
        }
        reader.FreePlane();
    }
}
} // namespace

TEST(PictureReaders, BmpOfEveryDepthAndOddWidthsReadsBack) {
    for (int depth : kDepths)
        for (int width : kWidths) {
            SCOPED_TRACE("depth " + std::to_string(depth) + " width " + std::to_string(width));
            const PictureDesc s = fixtures::MakeTestPicture(width, 3, depth, depth * 100 + width);
            const Bytes file = fixtures::WriteBmp(s);
            CAmFile reader;
            ExpectLoads(reader, file, s, kPictureKindBmp, 17);
            CBmpFile plain;
            PictureInfo info;
            PictureStream in(file);
            ASSERT_TRUE(plain.ReadHeader(in.get(), &info, TRUE));
            EXPECT_EQ(std::ftell(in.get()), 54); // just after the headers
            EXPECT_EQ(info.paletteEntries, ExpectedPalette(s).size());
        }
}

TEST(PictureReaders, CmRawAndRunLengthPaddedAndPackedReadBack) {
    for (int depth : kDepths)
        for (int width : kWidths)
            for (bool runLength : {false, true})
                for (bool padded : {false, true}) {
                    SCOPED_TRACE("depth " + std::to_string(depth) + " width " + std::to_string(width) +
                                 (runLength ? " rle" : " raw") + (padded ? " padded" : " packed"));
                    const PictureDesc s = fixtures::MakeTestPicture(width, 4, depth, depth * 7 + width);
                    // 3-byte units cannot code padded rows that are not a whole number of units.
                    if (runLength && padded && fixtures::DibRows(s, true).size() % 3 != 0 && depth == 24)
                        continue;
                    const Bytes file = fixtures::WriteCm(s, {runLength, padded, 1});
                    CAmFile reader;
                    ExpectLoads(reader, file, s, kPictureKindCm, 5);
                    CCmFile cm;
                    PictureStream in(file);
                    const Bytes rows = fixtures::DibRows(s, true);
                    Bytes out(rows.size() + 8, 0xAB);
                    EXPECT_EQ(cm.ReadBits(in.get(), out.data(), static_cast<DWORD>(out.size()), FALSE, TRUE),
                              rows.size());
                    EXPECT_EQ(Bytes(out.begin(), out.begin() + rows.size()), rows);
                    EXPECT_EQ(out[rows.size()], 0xAB); // nothing written beyond the image
                }
}

TEST(PictureReaders, AmColourAndBothPlaneKindsReadBack) {
    for (int depth : {8, 16, 24, 32})
        for (int width : {1, 3, 6, 9})
            for (int variant = 0; variant < 4; ++variant) {
                const bool runLength = variant & 1, padded = variant & 2;
                const BYTE kind = (variant & 1) ? kPlaneKindWeights : kPlaneKindAlpha;
                SCOPED_TRACE("depth " + std::to_string(depth) + " width " + std::to_string(width) +
                             " variant " + std::to_string(variant));
                const PictureDesc s =
                    fixtures::MakeTestPicture(width, 5, depth, depth + width * 31 + variant);
                if (depth == 24 && runLength && padded && fixtures::DibRows(s, true).size() % 3 != 0)
                    continue;
                const Bytes plane = PlaneFor(s, variant + width, kind == kPlaneKindWeights ? 16 : 255);
                fixtures::AmOptions o;
                o.planeKind = kind;
                o.colourRunLength = runLength;
                o.planeRunLength = !runLength;
                o.paddedRows = padded;
                o.planePaddedRows = !padded;
                const Bytes file = fixtures::WriteAm(s, plane, o);
                CAmFile reader;
                PictureStream in(file, 3);
                const Bytes rows = fixtures::DibRows(s, true);
                Bytes pixels(rows.size());
                std::vector<RGBQUAD> palette(256);
                ASSERT_TRUE(reader.ReadImage(in.get(), pixels.data(), static_cast<DWORD>(pixels.size()),
                                             FALSE, palette.data(), 256, TRUE));
                EXPECT_EQ(pixels, rows);
                EXPECT_EQ(reader.GetAmHeader().planeKind, kind);
                ASSERT_NE(reader.GetPlane(), nullptr);
                EXPECT_EQ(reader.GetPlaneWidth(), width);
                EXPECT_EQ(reader.GetPlaneHeight(), 5);
                EXPECT_EQ(Bytes(reader.GetPlane(), reader.GetPlane() + plane.size()), plane);
                // A second read while the plane is held fails; after FreePlane it works again.
                PictureStream again(file);
                EXPECT_FALSE(reader.ReadImage(again.get(), pixels.data(), static_cast<DWORD>(pixels.size()),
                                              FALSE, palette.data(), 256, FALSE));
                reader.FreePlane();
                EXPECT_TRUE(reader.ReadImage(again.get(), pixels.data(), static_cast<DWORD>(pixels.size()),
                                             FALSE, palette.data(), 256, FALSE));
                // ReadPlane seeks to the plane by its offset.
                Bytes direct(plane.size());
                PictureStream third(file);
                EXPECT_EQ(
                    reader.ReadPlane(third.get(), direct.data(), static_cast<DWORD>(direct.size()), FALSE),
                    plane.size());
                EXPECT_EQ(direct, plane);
                EXPECT_EQ(std::ftell(third.get()), 0);
            }
}

TEST(PictureReaders, PathFormsOpenReadAndClose) {
    fixtures::TempDir dir;
    const PictureDesc s = fixtures::MakeTestPicture(5, 4, 8, 11);
    fixtures::WriteFileBytes(dir.File("pic.cmp"), fixtures::WriteCm(s, {true, false, 1}));
    fixtures::WriteFileBytes(dir.File("pic.bmp"), fixtures::WriteBmp(s));
    const std::string cm = dir.ProgramPath() + "PIC.CMP", bmp = dir.ProgramPath() + "pic.bmp";
    CAmFile reader;
    PictureInfo info;
    ASSERT_TRUE(reader.ReadHeader(cm.c_str(), &info));
    EXPECT_EQ(info.kind, kPictureKindCm);
    EXPECT_EQ(reader.GetImageSize(cm.c_str(), TRUE), 20u);
    EXPECT_EQ(reader.GetImageSize(cm.c_str(), FALSE), 32u);
    EXPECT_EQ(reader.GetLineSize(cm.c_str(), FALSE), 8u);
    EXPECT_EQ(reader.GetLinePadding(cm.c_str()), 3);
    std::vector<RGBQUAD> palette(256);
    EXPECT_EQ(reader.ReadPalette(cm.c_str(), palette.data(), 256), 256);
    EXPECT_EQ(Quad(palette[9]), s.palette[9]);
    Bytes bits(20);
    EXPECT_EQ(reader.ReadBits(cm.c_str(), bits.data(), 20, TRUE), 20u);
    EXPECT_EQ(bits, fixtures::DibRows(s, false));
    EXPECT_EQ(reader.ReadBits(cm.c_str(), bits.data(), 19, TRUE), 0u); // destination too small

    CBmpFile plain;
    EXPECT_EQ(plain.ReadPalette(bmp.c_str(), palette.data(), 256), 256);
    EXPECT_EQ(Quad(palette[200]), s.palette[200]);
    BYTE* pixels = nullptr;
    RGBQUAD* colours = nullptr;
    ASSERT_TRUE(plain.LoadImage(bmp.c_str(), &pixels, TRUE, &colours));
    EXPECT_EQ(Bytes(pixels, pixels + 20), fixtures::DibRows(s, false));
    delete[] pixels;
    delete[] colours;
    EXPECT_FALSE(plain.ReadHeader((dir.ProgramPath() + "missing.bmp").c_str(), &info));
    EXPECT_EQ(plain.GetLinePadding((dir.ProgramPath() + "missing.bmp").c_str()), -1);
}

TEST(PictureReaders, EachReaderKnowsItsOwnFormatsOnly) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 4, 24, 3);
    const Bytes am = fixtures::WriteAm(s, Bytes(16, 255));
    const Bytes cm = fixtures::WriteCm(s);
    PictureInfo info;
    CBmpFile bmp;
    CCmFile cmReader;
    CAmFile amReader;
    {
        // "AM" with a BMP tail is still "AM": the first two bytes decide.
        Bytes fake = fixtures::WriteBmp(s);
        fake[0] = 'A';
        PictureStream a(fake), b(fake), c(am);
        EXPECT_FALSE(bmp.ReadHeader(a.get(), &info, FALSE));
        EXPECT_FALSE(cmReader.ReadHeader(b.get(), &info, FALSE));
        EXPECT_TRUE(amReader.ReadHeader(c.get(), &info, TRUE));
        EXPECT_EQ(info.kind, kPictureKindAm);
        EXPECT_EQ(std::ftell(c.get()), 48);
    }
    {
        PictureStream a(cm), b(cm);
        EXPECT_FALSE(bmp.ReadHeader(a.get(), &info, FALSE));
        EXPECT_TRUE(cmReader.ReadHeader(b.get(), &info, TRUE));
        EXPECT_EQ(std::ftell(b.get()), 32);
    }
    Bytes xy = cm;
    xy[0] = 'X';
    xy[1] = 'Y';
    for (CBmpFile* r : {&bmp, static_cast<CBmpFile*>(&cmReader), static_cast<CBmpFile*>(&amReader)}) {
        PictureStream in(xy);
        EXPECT_FALSE(r->ReadHeader(in.get(), &info, FALSE));
        Bytes out(64);
        EXPECT_EQ(r->ReadBits(in.get(), out.data(), 64, TRUE, FALSE), 0u);
        EXPECT_EQ(r->GetImageSize(in.get(), TRUE, FALSE), 0u);
        EXPECT_EQ(r->GetLinePadding(in.get(), FALSE), -1);
    }
    Bytes plane(16);
    PictureStream in(cm);
    EXPECT_EQ(amReader.ReadPlane(in.get(), plane.data(), 16, FALSE), 0u); // "AM" only
}

TEST(PictureReaders, MakeInfoHeaderDescribesTheDib) {
    const BITMAPINFOHEADER h8 = MakeInfoHeader(PictureInfo{kPictureKindCm, 3, 5, 8, 256});
    EXPECT_EQ(h8.biSize, 40u);
    EXPECT_EQ(h8.biWidth, 3);
    EXPECT_EQ(h8.biHeight, 5); // positive: bottom-up
    EXPECT_EQ(h8.biPlanes, 1);
    EXPECT_EQ(h8.biBitCount, 8);
    EXPECT_EQ(h8.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h8.biSizeImage, 20u);
    EXPECT_EQ(h8.biXPelsPerMeter, 72);
    EXPECT_EQ(h8.biYPelsPerMeter, 72);
    EXPECT_EQ(h8.biClrUsed, 0u);
    EXPECT_EQ(h8.biClrImportant, 0u);
    EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 3, 1, 16, 3}).biCompression,
              static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 3, 1, 32, 3}).biCompression,
              static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 3, 1, 24, 0}).biCompression,
              static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 9, 2, 4, 16}).biSizeImage, 16u);
}

TEST(PictureReaders, SizesOfRowsAndImages) {
    CBmpFile r;
    const PictureInfo four{kPictureKindCm, 9, 2, 4, 16};
    EXPECT_EQ(r.GetLineSize(&four, TRUE), 5u);
    EXPECT_EQ(r.GetLineSize(&four, FALSE), 8u);
    EXPECT_EQ(r.GetLinePadding(&four), 3);
    EXPECT_EQ(r.GetImageSize(&four, TRUE), 10u);
    const PictureInfo rgb{kPictureKindCm, 5, 3, 24, 0};
    EXPECT_EQ(r.GetLineSize(&rgb, TRUE), 15u);
    EXPECT_EQ(r.GetImageSize(&rgb, FALSE), 48u);
    EXPECT_EQ(r.GetLinePadding(&rgb), 1);
    // Sizes are never wrapped: pictures beyond the cap have none.
    const PictureInfo huge{kPictureKindCm, 65535, 65535, 32, 3};
    EXPECT_EQ(r.GetImageSize(&huge, TRUE), 0u);
    const PictureInfo odd{kPictureKindCm, 5, 3, 12, 0};
    EXPECT_EQ(r.GetImageSize(&odd, TRUE), 0u);
}
