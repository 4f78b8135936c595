#include "graphics/AmFile.h"
#include "picture_stream.h"
#include "tools/fixtures/PictureWriter.h"

#include <gtest/gtest.h>

#include <memory>

using fixtures::Bytes;
using fixtures::PictureDesc;
using fixtures::PutU16;
using fixtures::PutU32;

namespace {
// LoadImage through the full reader chain; frees what it got.
bool Loads(const Bytes& file, BOOL packed = FALSE) {
    CAmFile reader;
    PictureStream in(file);
    BYTE* pixels = nullptr;
    RGBQUAD* palette = nullptr;
    const BOOL ok = reader.LoadImage(in.get(), &pixels, packed, &palette, FALSE);
    if (!ok) {
        EXPECT_EQ(pixels, nullptr);
        EXPECT_EQ(palette, nullptr);
    }
    delete[] pixels;
    delete[] palette;
    return ok;
}

bool HeaderReads(const Bytes& file) {
    CAmFile reader;
    PictureStream in(file);
    PictureInfo info;
    return reader.ReadHeader(in.get(), &info, FALSE);
}

// An 8-bit "CM" picture of width x 1 whose pixel data is `data`, stored with the given compression.
Bytes CmWithData(int width, const Bytes& data, std::uint8_t compression, std::uint32_t storedSize) {
    PictureDesc s = fixtures::MakeTestPicture(width, 1, 8, 5);
    Bytes file = fixtures::WriteCm(s);
    file.resize(32 + 3 * 256);
    file.insert(file.end(), data.begin(), data.end());
    file[13] = compression;
    PutU32(file, 20, storedSize);
    return file;
}

Bytes DecodeCm(const Bytes& file, BOOL packed, DWORD destSize, DWORD* stored, long* endPosition = nullptr) {
    CCmFile reader;
    PictureStream in(file);
    Bytes out(destSize, 0xEE);
    std::vector<RGBQUAD> palette(256);
    *stored = reader.ReadImage(in.get(), out.data(), destSize, packed, palette.data(), 256, TRUE) ? 1 : 0;
    if (endPosition) *endPosition = std::ftell(in.get());
    return out;
}
} // namespace

TEST(PictureDamage, BmpHeadersOutsideThePlainLayoutAreRefused) {
    const PictureDesc s8 = fixtures::MakeTestPicture(5, 3, 8, 1);
    const Bytes good = fixtures::WriteBmp(s8);
    ASSERT_TRUE(Loads(good));

    Bytes lowOffset = good; // pixels said to start inside the headers
    PutU32(lowOffset, 10, 50);
    EXPECT_FALSE(HeaderReads(lowOffset));

    Bytes topDown = good; // a negative height
    PutU32(topDown, 22, static_cast<std::uint32_t>(-3));
    EXPECT_FALSE(HeaderReads(topDown));

    Bytes compressed = good; // BI_RLE8
    PutU32(compressed, 30, 1);
    EXPECT_FALSE(HeaderReads(compressed));

    Bytes bigHeader = good; // a 108-byte header
    PutU32(bigHeader, 14, 108);
    EXPECT_FALSE(HeaderReads(bigHeader));

    Bytes zeroWidth = good;
    PutU32(zeroWidth, 18, 0);
    EXPECT_FALSE(HeaderReads(zeroWidth));

    PictureDesc shortPalette = s8; // 100 colours for 8 bits
    shortPalette.palette.resize(100);
    EXPECT_FALSE(HeaderReads(fixtures::WriteBmp(shortPalette)));
    PictureDesc four = fixtures::MakeTestPicture(5, 3, 4, 2);
    EXPECT_TRUE(Loads(fixtures::WriteBmp(four)));
    four.palette.resize(15);
    EXPECT_FALSE(HeaderReads(fixtures::WriteBmp(four)));

    for (int depth : {16, 32}) {
        const PictureDesc s = fixtures::MakeTestPicture(4, 2, depth, 3);
        Bytes twoMasks = fixtures::WriteBmp(s); // offset says two entries
        PutU32(twoMasks, 10, 54 + 8);
        EXPECT_FALSE(HeaderReads(twoMasks)) << depth;
        Bytes noMasks = fixtures::WriteBmp(s);
        PutU32(noMasks, 10, 54);
        PutU32(noMasks, 30, 0);
        EXPECT_FALSE(HeaderReads(noMasks)) << depth;
    }

    const PictureDesc s24 = fixtures::MakeTestPicture(4, 2, 24, 3);
    Bytes bitfields24 = fixtures::WriteBmp(s24); // BI_BITFIELDS only goes with 16 and 32 bits
    PutU32(bitfields24, 30, 3);
    EXPECT_FALSE(HeaderReads(bitfields24));
    Bytes oneBit = fixtures::WriteBmp(s24);
    PutU16(oneBit, 28, 1);
    EXPECT_FALSE(HeaderReads(oneBit));
}

TEST(PictureDamage, HugePicturesAreRefusedNotWrapped) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 2, 32, 3);
    Bytes bmp = fixtures::WriteBmp(s);
    PutU32(bmp, 18, 65535);
    PutU32(bmp, 22, 65535);
    EXPECT_FALSE(HeaderReads(bmp));
    Bytes wraps = fixtures::WriteBmp(s); // 0x40000001 x 4 bytes wraps 32 bits to 4
    PutU32(wraps, 18, 0x40000001);
    PutU32(wraps, 22, 1);
    EXPECT_FALSE(HeaderReads(wraps));

    Bytes cm = fixtures::WriteCm(s);
    PutU16(cm, 6, 65535);
    PutU16(cm, 8, 65535);
    EXPECT_FALSE(HeaderReads(cm));

    Bytes am = fixtures::WriteAm(s, Bytes(8, 255));
    PutU16(am, 6, 65535);
    PutU16(am, 8, 65535);
    PutU16(am, 10, 65535);
    PutU16(am, 12, 65535);
    EXPECT_FALSE(HeaderReads(am));
}

TEST(PictureDamage, DecodedDataMustBeExactlyPackedOrPadded) {
    // Width 3, one row of 8 bits: packed 3 bytes, padded 4.
    DWORD ok = 0;
    Bytes out = DecodeCm(CmWithData(3, {1, 2, 3}, 0, 3), FALSE, 4, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 0})); // packed data given padding
    out = DecodeCm(CmWithData(3, {1, 2, 3, 9}, 0, 4), TRUE, 3, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{1, 2, 3})); // padded data loses its padding

    // Shorter data fails the read and leaves no partial rows.
    DecodeCm(CmWithData(3, {1, 2}, 0, 2), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    DecodeCm(CmWithData(3, {0x81, 7}, 1, 2), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    // Longer data never runs past the buffers: raw data larger than the padded image, and packets that
    // decode beyond it, are refused.
    DecodeCm(CmWithData(3, Bytes(64, 5), 0, 64), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    DecodeCm(CmWithData(3, {0xFF, 7}, 1, 2), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    DecodeCm(CmWithData(3, {0x7F, 1, 2, 3, 4, 5}, 1, 6), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    // Data that ends before the stored size is consumed.
    DecodeCm(CmWithData(3, {0x02, 1, 2}, 1, 10), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    DecodeCm(CmWithData(3, {1, 2, 3}, 0, 4), FALSE, 4, &ok);
    EXPECT_FALSE(ok);
    // A destination smaller than the image.
    DecodeCm(CmWithData(3, {1, 2, 3, 4}, 0, 4), FALSE, 3, &ok);
    EXPECT_FALSE(ok);
}

TEST(PictureDamage, RunLengthPacketsCountTheirBytes) {
    DWORD ok = 0;
    long end = 0;
    // 0 is an empty packet, 128 repeats its unit zero times; both count towards the stored size.
    Bytes out = DecodeCm(CmWithData(2, {0x00, 0x80, 9, 0x02, 4, 5}, 1, 6), TRUE, 2, &ok, &end);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{4, 5}));
    // The last packet may overshoot the stored size; decoding ends after it, the stream there.
    Bytes overshoot = CmWithData(4, {0x84, 6, 0x55, 0x55}, 1, 1);
    out = DecodeCm(overshoot, FALSE, 4, &ok, &end);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{6, 6, 6, 6}));
    EXPECT_EQ(end, 32 + 3 * 256 + 2);
}

TEST(PictureDamage, CmPixelsNeedTheMustBeOneByte) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 2, 8, 6);
    const Bytes file = fixtures::WriteCm(s, {false, false, 0});
    CCmFile reader;
    PictureStream in(file);
    PictureInfo info;
    EXPECT_TRUE(reader.ReadHeader(in.get(), &info, FALSE));
    EXPECT_EQ(info.width, 4u);
    Bytes out(64);
    std::vector<RGBQUAD> palette(256);
    EXPECT_EQ(reader.ReadBits(in.get(), out.data(), 64, TRUE, FALSE), 0u);
    EXPECT_FALSE(reader.ReadImage(in.get(), out.data(), 64, TRUE, palette.data(), 256, FALSE));
    // The palette itself is still there.
    EXPECT_EQ(reader.ReadPalette(in.get(), palette.data(), 256, FALSE), 256);
    std::vector<RGBQUAD> more(300);
    EXPECT_EQ(reader.ReadPalette(in.get(), more.data(), 260, FALSE), -1); // runs past the file's end
}

TEST(PictureDamage, ShortPalettesAndHeadersFail) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 2, 8, 6);
    for (const Bytes& whole :
         {fixtures::WriteBmp(s), fixtures::WriteCm(s), fixtures::WriteAm(s, Bytes(8, 3))}) {
        for (std::size_t cut :
             {std::size_t{1}, std::size_t{20}, std::size_t{40}, std::size_t{300}, whole.size() - 1}) {
            Bytes part(whole.begin(), whole.begin() + cut);
            EXPECT_FALSE(Loads(part)) << cut;
        }
        EXPECT_TRUE(Loads(whole));
    }
    // A palette destination that is too small.
    CAmFile reader;
    PictureStream in(fixtures::WriteCm(s));
    Bytes out(8);
    std::vector<RGBQUAD> palette(255);
    EXPECT_FALSE(reader.ReadImage(in.get(), out.data(), 8, TRUE, palette.data(), 255, FALSE));
}

TEST(PictureDamage, AFailedAmReadFreesItsPlane) {
    const PictureDesc s = fixtures::MakeTestPicture(6, 4, 24, 9);
    const Bytes plane(24, 128);
    const Bytes good = fixtures::WriteAm(s, plane);
    Bytes cut(good.begin(), good.end() - 5); // the plane ends early
    CAmFile reader;
    Bytes pixels(6 * 3 * 4 + 8);
    {
        PictureStream in(cut);
        EXPECT_FALSE(reader.ReadImage(in.get(), pixels.data(), static_cast<DWORD>(pixels.size()), FALSE,
                                      nullptr, 0, FALSE));
        EXPECT_EQ(reader.GetPlane(), nullptr);
    }
    {
        PictureStream in(good);
        EXPECT_TRUE(reader.ReadImage(in.get(), pixels.data(), static_cast<DWORD>(pixels.size()), FALSE,
                                     nullptr, 0, FALSE));
        ASSERT_NE(reader.GetPlane(), nullptr);
        EXPECT_EQ(reader.GetPlane()[23], 128);
    }
    // A plane whose size differs from the colour picture's is refused.
    Bytes other = good;
    PutU16(other, 10, 5);
    EXPECT_FALSE(HeaderReads(other));
    // The plane needs the must-be-one byte too, and ReadPlane a destination that holds it.
    Bytes dest(24);
    PictureStream in(good);
    EXPECT_EQ(reader.ReadPlane(in.get(), dest.data(), 23, FALSE), 0u);
    EXPECT_EQ(reader.ReadPlane(in.get(), dest.data(), 24, FALSE), 24u);
}
