// The picture readers: every format our writers produce in every depth reads back, each reader knows
// its own formats, and damaged or unusable pictures are refused without reading past anything.
#include "graphics/AmFile.h"
#include "tests/graphics/pictures/WrittenPictures.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using fixtures::Bytes;
using namespace graphics_test;
using fixtures::PictureDesc;
using fixtures::PutU16;
using fixtures::PutU32;

namespace {
// An in-memory picture opened as a stdio stream, `leading` bytes into it as inside an archive.
struct PictureStream {
    explicit PictureStream(const Bytes& b, std::size_t leading = 0) : bytes(leading, 0xCC) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        bytes.push_back(0); // fmemopen wants a byte; an empty picture is read from its end
        fp = fmemopen(bytes.data(), bytes.size() - 1 + b.empty(), "rb");
        std::fseek(fp, static_cast<long>(b.empty() ? 1 : leading), SEEK_SET);
    }
    ~PictureStream() { std::fclose(fp); }
    std::FILE* get() const { return fp; }
    Bytes bytes;
    std::FILE* fp;
};

std::uint32_t Quad(const RGBQUAD& q) {
    return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16) | (q.rgbReserved << 24);
}

// LoadImage through the whole reader chain; frees what it got.
bool Loads(const Bytes& file, BOOL packed = FALSE) {
    CAmFile reader;
    PictureStream in(file);
    BYTE* pixels = nullptr;
    RGBQUAD* palette = nullptr;
    const BOOL ok = reader.LoadImage(in.get(), &pixels, packed, &palette, FALSE);
    EXPECT_TRUE(ok || (pixels == nullptr && palette == nullptr));
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

} // namespace

TEST(PictureReaders, EveryWrittenPictureReadsBackInBothPackings) {
    for (const Written& w : AllWrittenPictures()) {
        SCOPED_TRACE(w.name);
        const PictureDesc& s = w.desc;
        for (BOOL packed : {FALSE, TRUE}) {
            CAmFile reader;
            PictureStream in(w.file, 17);
            BYTE* pixels = nullptr;
            RGBQUAD* palette = nullptr;
            ASSERT_TRUE(reader.LoadImage(in.get(), &pixels, packed, &palette, FALSE)) << "packed " << packed;
            std::unique_ptr<BYTE[]> ownPixels(pixels);
            std::unique_ptr<RGBQUAD[]> ownPalette(palette);
            EXPECT_EQ(std::ftell(in.get()), 17); // put back
            // Kept, the stream stands after the header: 48 for "AM", 32 for "CM", 14 + the info header.
            const long header = w.kind == kPictureKindAm   ? 48
                                : w.kind == kPictureKindCm ? 32
                                                           : 14 + w.file[14];
            EXPECT_TRUE(reader.ReadHeader(in.get(), nullptr, TRUE) && std::ftell(in.get()) == 17 + header);
            PictureInfo info;
            reader.GetInfo(&info);
            EXPECT_TRUE(info.kind == w.kind && info.width == static_cast<DWORD>(s.width) &&
                        info.height == static_cast<DWORD>(s.height) &&
                        info.bitCount == static_cast<DWORD>(s.bitCount));
            const Bytes rows = fixtures::DibRows(s, !packed);
            ASSERT_EQ(reader.GetImageSize(&info, packed), rows.size());
            EXPECT_EQ(Bytes(pixels, pixels + rows.size()), rows);
            ASSERT_EQ(palette == nullptr, w.palette.empty());
            for (std::size_t i = 0; i < w.palette.size(); ++i)
                ASSERT_EQ(Quad(palette[i]), w.palette[i]) << "entry " << i;
            if (w.kind == kPictureKindAm) {
                ASSERT_NE(reader.GetPlane(), nullptr);
                EXPECT_TRUE(reader.GetPlaneWidth() == s.width && reader.GetPlaneHeight() == s.height);
                EXPECT_EQ(Bytes(reader.GetPlane(), reader.GetPlane() + w.plane.size()), w.plane);
                // A second read while the plane is held fails; ReadPlane seeks to it by its offset.
                PictureStream again(w.file);
                EXPECT_FALSE(reader.ReadImage(again.get(), pixels, static_cast<DWORD>(rows.size()), packed,
                                              nullptr, 0, FALSE));
                Bytes direct(w.plane.size());
                EXPECT_EQ(
                    reader.ReadPlane(again.get(), direct.data(), static_cast<DWORD>(direct.size()), FALSE),
                    w.plane.size());
                EXPECT_TRUE(direct == w.plane && std::ftell(again.get()) == 0);
                reader.FreePlane();
                EXPECT_EQ(reader.GetPlane(), nullptr);
            }
            // ReadBits writes the image and nothing beyond it.
            Bytes out(rows.size() + 8, 0xAB);
            PictureStream bits(w.file);
            EXPECT_EQ(reader.ReadBits(bits.get(), out.data(), static_cast<DWORD>(out.size()), packed, TRUE),
                      rows.size());
            EXPECT_TRUE(Bytes(out.begin(), out.begin() + rows.size()) == rows && out[rows.size()] == 0xAB);
        }
    }
}

// The path forms open the file (its name found without regard to case), read as the stream forms do
// and close it; a missing file fails them all. The BMP palette's path form gives the table a DIB takes.
TEST(PictureReaders, PathFormsOpenReadAndClose) {
    fixtures::TempDir dir;
    const PictureDesc s = fixtures::MakeTestPicture(5, 4, 8, 11);
    PictureDesc few = s;
    few.palette.resize(20);
    fixtures::WriteFileBytes(dir.File("pic.cmp"), fixtures::WriteCm(s, {true, false, 1}));
    fixtures::WriteFileBytes(dir.File("few.bmp"), fixtures::WriteBmp(few, {108}));
    fixtures::WriteFileBytes(dir.File("pic.ami"), fixtures::WriteAm(s, Bytes(20, 9)));
    const std::string cm = dir.ProgramPath() + "PIC.CMP", bmp = dir.ProgramPath() + "few.bmp";
    const std::string am = dir.ProgramPath() + "pic.ami", missing = dir.ProgramPath() + "missing.bmp";
    CAmFile r;
    PictureInfo info;
    std::vector<RGBQUAD> palette(256);
    Bytes bits(20);
    BYTE* pixels = nullptr;
    RGBQUAD* colours = nullptr;
    ASSERT_TRUE(r.ReadHeader(cm.c_str(), &info) && info.kind == kPictureKindCm);
    EXPECT_TRUE(r.GetImageSize(cm.c_str(), TRUE) == 20 && r.GetImageSize(cm.c_str(), FALSE) == 32);
    EXPECT_TRUE(r.GetLineSize(cm.c_str(), FALSE) == 8 && r.GetLinePadding(cm.c_str()) == 3);
    EXPECT_TRUE(r.ReadPalette(cm.c_str(), palette.data(), 256) == 256 && Quad(palette[9]) == s.palette[9]);
    EXPECT_TRUE(r.ReadBits(cm.c_str(), bits.data(), 20, TRUE) == 20 && bits == fixtures::DibRows(s, false));
    EXPECT_EQ(r.ReadBits(cm.c_str(), bits.data(), 19, TRUE), 0u); // destination too small
    EXPECT_TRUE(r.ReadImage(cm.c_str(), bits.data(), 20, TRUE, palette.data(), 256));
    EXPECT_TRUE(r.ReadPlane(am.c_str(), bits.data(), 20) == 20 && bits == Bytes(20, 9));
    CBmpFile plain;
    EXPECT_EQ(plain.ReadPalette(bmp.c_str(), palette.data(), 256), 256);
    EXPECT_TRUE(Quad(palette[19]) == s.palette[19] && Quad(palette[20]) == 0);
    EXPECT_EQ(plain.ReadPalette(bmp.c_str(), palette.data(), 257), -1);
    ASSERT_TRUE(plain.LoadImage(bmp.c_str(), &pixels, TRUE, &colours));
    EXPECT_EQ(Bytes(pixels, pixels + 20), fixtures::DibRows(s, false));
    delete[] pixels;
    delete[] colours;
    const char* none = missing.c_str();
    EXPECT_FALSE(plain.ReadHeader(none, &info) || plain.GetImageSize(none, TRUE) ||
                 plain.GetLineSize(none, TRUE));
    EXPECT_TRUE(plain.GetLinePadding(none) == -1 && plain.ReadPalette(none, palette.data(), 1) == -1);
    EXPECT_FALSE(plain.ReadBits(none, bits.data(), 20, TRUE) ||
                 plain.ReadImage(none, bits.data(), 20, TRUE, nullptr, 0));
    EXPECT_FALSE(plain.LoadImage(none, &pixels, TRUE, &colours) || pixels || colours ||
                 r.ReadPlane(none, bits.data(), 20));
}

// "AM" with a BMP tail is still "AM": the first two bytes decide; "XY" is no reader's.
TEST(PictureReaders, EachReaderKnowsItsOwnFormatsOnly) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 4, 24, 3);
    const Bytes cm = fixtures::WriteCm(s);
    Bytes fake = fixtures::WriteBmp(s), xy = cm;
    fake[0] = 'A';
    xy[0] = 'X';
    xy[1] = 'Y';
    CBmpFile bmp;
    CCmFile cmReader;
    CAmFile amReader;
    const auto reads = [](CBmpFile& r, const Bytes& file) {
        return r.ReadHeader(PictureStream(file).get(), nullptr, FALSE);
    };
    EXPECT_FALSE(reads(bmp, fake) || reads(cmReader, fake) || reads(bmp, cm));
    EXPECT_TRUE(reads(cmReader, cm));
    for (CBmpFile* r : {&bmp, static_cast<CBmpFile*>(&cmReader), static_cast<CBmpFile*>(&amReader)}) {
        PictureStream in(xy);
        Bytes out(64);
        EXPECT_FALSE(reads(*r, xy) || r->ReadBits(in.get(), out.data(), 64, TRUE, FALSE) ||
                     r->GetImageSize(in.get(), TRUE, FALSE) || r->GetLineSize(in.get(), TRUE, FALSE));
        EXPECT_EQ(r->GetLinePadding(in.get(), FALSE), -1);
    }
    Bytes plane(16);
    EXPECT_EQ(amReader.ReadPlane(PictureStream(cm).get(), plane.data(), 16, FALSE), 0u); // "AM" only
}

TEST(PictureReaders, RowSizesAndTheDibHeader) {
    CBmpFile r;
    const struct {
        const char* name;
        PictureInfo info;
        DWORD packedLine, paddedLine, padding, packedImage;
    } rows[] = {{"24 bits", {kPictureKindCm, 5, 3, 24, 0}, 15, 16, 1, 45},
                // Never wrapped: pictures beyond the cap, unknown depths and 1-bit "CM" have no sizes.
                {"huge", {kPictureKindCm, 65535, 65535, 32, 3}, 0, 0, 0, 0},
                {"12 bits", {kPictureKindCm, 5, 3, 12, 0}, 0, 0, 0, 0},
                {"1 bit cm", {kPictureKindCm, 9, 2, 1, 2}, 0, 0, 0, 0}};
    for (const auto& row : rows)
        EXPECT_TRUE(r.GetLineSize(&row.info, TRUE) == row.packedLine &&
                    r.GetLineSize(&row.info, FALSE) == row.paddedLine &&
                    r.GetLinePadding(&row.info) == static_cast<int>(row.padding) &&
                    r.GetImageSize(&row.info, TRUE) == row.packedImage)
            << row.name;
    const PictureInfo* none = nullptr;
    EXPECT_FALSE(r.GetImageSize(none, TRUE) || r.GetLineSize(none, TRUE));

    const BITMAPINFOHEADER h = MakeInfoHeader(PictureInfo{kPictureKindCm, 3, 5, 8, 256});
    const BITMAPINFOHEADER want{40, 3, 5, 1, 8, BI_RGB, 20, 72, 72, 0, 0}; // positive height: bottom-up
    EXPECT_EQ(std::memcmp(&h, &want, sizeof h), 0);
    for (DWORD bits : {16u, 24u, 32u})
        EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 3, 1, bits, 3}).biCompression,
                  bits == 24 ? DWORD{BI_RGB} : DWORD{BI_BITFIELDS});
    EXPECT_EQ(MakeInfoHeader(PictureInfo{kPictureKindBmp, 9, 2, 4, 16}).biSizeImage, 16u);
}

// Pictures whose header is refused, and pictures whose header reads but whose pixels cannot be had:
// neither loads, and a failed load hands out no buffers.
TEST(PictureDamage, UnusablePicturesAreRefused) {
    using fixtures::MakeTestPicture;
    const PictureDesc s8 = MakeTestPicture(5, 3, 8, 1), s24 = MakeTestPicture(4, 2, 24, 3);
    const PictureDesc s32 = MakeTestPicture(4, 2, 32, 3), s16 = MakeTestPicture(4, 2, 16, 3);
    const Bytes bmp = fixtures::WriteBmp(s8), bmp32 = fixtures::WriteBmp(s32);
    const auto patched = [](Bytes b, std::size_t at, std::uint32_t v, int bytes = 4) {
        bytes == 4 ? PutU32(b, at, v) : PutU16(b, at, static_cast<std::uint16_t>(v));
        return b;
    };
    const auto cut = [](const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + n); };
    const Bytes cm = fixtures::WriteCm(s8), am = fixtures::WriteAm(s8, Bytes(15, 3));
    const struct {
        const char* name;
        Bytes file;
        bool headerReads;
    } rows[] = {
        // BmpHeadersOutsideThePlainLayoutAreRefused
        {"pixels said to start inside the headers", patched(bmp, 10, 50), false},
        {"table said to start inside the pixels", patched(fixtures::WriteBmp(s8, {124}), 10, 130), false},
        {"info header below 40 bytes", patched(bmp, 14, 12), false},
        {"zero width", patched(bmp, 18, 0), false},
        {"negative width", patched(bmp, 18, 0xFFFFFFFB), false},
        {"zero height", patched(bmp, 22, 0), false},
        {"BI_RLE8", patched(bmp, 30, 1), false},
        {"BI_BITFIELDS at 24 bits", patched(fixtures::WriteBmp(s24), 30, 3), false},
        {"unknown depth", patched(fixtures::WriteBmp(s24), 28, 2, 2), false},
        {"no colour table at 8 bits", fixtures::WriteBmp(s8, {40, 0}), false},
        {"no colour table at 1 bit", fixtures::WriteBmp(MakeTestPicture(9, 2, 1, 4), {40, 0}), false},
        {"bit fields without their masks at 16", patched(patched(fixtures::WriteBmp(s16), 10, 54), 14, 40),
         false},
        {"two masks at 32 bits", patched(bmp32, 10, 54 + 8), false},
        // HugePicturesAreRefusedNotWrapped
        {"huge bmp", patched(patched(bmp32, 18, 65535), 22, 65535), false},
        {"bmp size wrapping 32 bits", patched(patched(bmp32, 18, 0x40000001), 22, 1), false},
        {"huge cm", patched(patched(cm, 6, 65535, 2), 8, 65535, 2), false},
        {"huge am",
         patched(patched(patched(patched(am, 6, 65535, 2), 8, 65535, 2), 10, 65535, 2), 12, 65535, 2), false},
        {"am plane of another size", patched(am, 10, 6, 2), false},
        {"1-bit cm", patched(cm, 12, 1, 2), false},
        {"cm wider than 16384", patched(cm, 6, 16385, 2), false},
        {"cm table of 257", patched(cm, 10, 257, 2), false},
        {"16-bit cm with two masks", patched(fixtures::WriteCm(s16), 10, 2, 2), false},
        // ShortPalettesAndHeadersFail: files cut anywhere
        {"bmp cut in its header", cut(bmp, 20), false},
        {"bmp cut in its table", cut(bmp, 300), true},
        {"bmp cut in its pixels", cut(bmp, bmp.size() - 1), true},
        {"bmp pixels beyond the file", patched(bmp, 10, 2000), true},
        {"cm cut in its header", cut(cm, 20), false},
        {"cm cut in its palette", cut(cm, 300), true},
        {"cm cut in its pixels", cut(cm, cm.size() - 1), true},
        {"am cut in its plane", cut(am, am.size() - 1), true},
        // CmPixelsNeedTheMustBeOneByte
        {"cm must-be-one byte 0", fixtures::WriteCm(s8, {false, false, 0}), true},
        {"am must-be-one byte 0", patched(am, 24, 0, 2), true},
        {"empty", Bytes{}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(HeaderReads(row.file), row.headerReads);
        EXPECT_FALSE(Loads(row.file, FALSE));
        EXPECT_FALSE(Loads(row.file, TRUE));
    }
    EXPECT_TRUE(Loads(bmp) && Loads(cm) && Loads(am));
}

// An 8-bit "CM" picture of width x 1 whose stored pixel data is `data`, decoded by ReadImage.
TEST(PictureDamage, DecodedDataMustBeExactlyPackedOrPaddedAndPacketsCountTheirBytes) {
    const struct {
        const char* name;
        int width;
        Bytes data;
        BYTE compression;
        DWORD stored;
        BOOL packed;
        DWORD destSize;
        Bytes want; // empty: refused
        long end = 0;
    } rows[] = {
        {"packed data given padding", 3, {1, 2, 3}, 0, 3, FALSE, 4, {1, 2, 3, 0}},
        {"padded data loses its padding", 3, {1, 2, 3, 9}, 0, 4, TRUE, 3, {1, 2, 3}},
        {"shorter raw data", 3, {1, 2}, 0, 2, FALSE, 4, {}},
        {"shorter run-length data", 3, {0x81, 7}, 1, 2, FALSE, 4, {}},
        {"raw data beyond the padded image", 3, Bytes(64, 5), 0, 64, FALSE, 4, {}},
        {"a repeat beyond the image", 3, {0xFF, 7}, 1, 2, FALSE, 4, {}},
        {"a literal beyond the image", 3, {0x7F, 1, 2, 3, 4, 5}, 1, 6, FALSE, 4, {}},
        {"packets end before the stored size", 3, {0x02, 1, 2}, 1, 10, FALSE, 4, {}},
        {"raw data ends before the stored size", 3, {1, 2, 3}, 0, 4, FALSE, 4, {}},
        {"destination smaller than the image", 3, {1, 2, 3, 4}, 0, 4, FALSE, 3, {}},
        // RunLengthPacketsCountTheirBytes: 0 is an empty packet, 128 repeats its unit zero times.
        {"empty packets count", 2, {0x00, 0x80, 9, 0x02, 4, 5}, 1, 6, TRUE, 2, {4, 5}, 800 + 6},
        {"the last packet may overshoot", 4, {0x84, 6, 0x55, 0x55}, 1, 1, FALSE, 4, {6, 6, 6, 6}, 800 + 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes file = fixtures::WriteCm(fixtures::MakeTestPicture(row.width, 1, 8, 5));
        file.resize(32 + 3 * 256);
        file.insert(file.end(), row.data.begin(), row.data.end());
        file[13] = row.compression;
        PutU32(file, 20, row.stored);
        CCmFile reader;
        PictureStream in(file);
        Bytes out(row.destSize, 0xEE);
        std::vector<RGBQUAD> palette(256);
        const bool ok =
            reader.ReadImage(in.get(), out.data(), row.destSize, row.packed, palette.data(), 256, TRUE);
        EXPECT_EQ(ok, !row.want.empty());
        if (ok) {
            EXPECT_EQ(out, row.want);
        }
        // The stream stops after the last packet.
        EXPECT_TRUE(!row.end || std::ftell(in.get()) == row.end);
    }
}

// What the readers are handed must hold what they write: null streams, buffers and outputs, short
// destinations and palettes, and reads that the picture's kind does not have.
TEST(PictureDamage, GuardsOfTheReadersRefuseWhatTheyCannotUse) {
    const PictureDesc s = fixtures::MakeTestPicture(6, 4, 8, 9);
    const Bytes bmp = fixtures::WriteBmp(s), cm = fixtures::WriteCm(s),
                am = fixtures::WriteAm(s, Bytes(24, 8));
    const Bytes cm0 = fixtures::WriteCm(s, {false, false, 0}), amCut(am.begin(), am.end() - 5);
    std::vector<std::unique_ptr<PictureStream>> streams;
    const auto in = [&](const Bytes& b) {
        streams.push_back(std::make_unique<PictureStream>(b));
        return streams.back()->get();
    };
    Bytes buf(64);
    BYTE* bits = nullptr;
    std::vector<RGBQUAD> pal(300);
    RGBQUAD* colours = nullptr;
    CAmFile r;
    const struct {
        const char* name;
        bool refused;
    } rows[] = {
        {"header of no stream", !r.ReadHeader(nullptr, nullptr, FALSE)},
        {"bits into no buffer", !r.ReadBits(in(bmp), nullptr, 64, TRUE, FALSE)},
        {"bits of no stream", !r.ReadBits(nullptr, buf.data(), 64, TRUE, FALSE)},
        {"bits into 23 bytes", !r.ReadBits(in(bmp), buf.data(), 23, TRUE, FALSE)},
        {"cm bits into 23 bytes", !r.ReadBits(in(cm), buf.data(), 23, TRUE, FALSE)},
        {"image into 31 bytes", !r.ReadImage(in(bmp), buf.data(), 31, FALSE, nullptr, 0, FALSE)},
        {"bmp table of 255", !r.ReadImage(in(bmp), buf.data(), 64, FALSE, pal.data(), 255, FALSE)},
        {"cm table of 255", !r.ReadImage(in(cm), buf.data(), 64, FALSE, pal.data(), 255, FALSE)},
        {"am table of -1", !r.ReadImage(in(am), buf.data(), 64, FALSE, pal.data(), -1, FALSE)},
        {"load without pixels out", !r.LoadImage(in(bmp), nullptr, FALSE, &colours, FALSE)},
        {"load without palette out", !r.LoadImage(in(bmp), &bits, FALSE, nullptr, FALSE)},
        {"load of no stream", !r.LoadImage(nullptr, &bits, FALSE, &colours, FALSE)},
        {"palette of no stream", r.ReadPalette(nullptr, pal.data(), 1, FALSE) == -1},
        {"palette into nothing", r.ReadPalette(in(cm), nullptr, 4, FALSE) == -1},
        {"bmp palette into nothing", CBmpFile().ReadPalette(in(bmp), nullptr, 4, FALSE) == -1},
        {"palette of -1 entries", r.ReadPalette(in(cm), pal.data(), -1, FALSE) == -1},
        {"palette past the file's end", r.ReadPalette(in(cm0), pal.data(), 270, FALSE) == -1},
        {"plane into 23 bytes", !r.ReadPlane(in(am), buf.data(), 23, FALSE)},
        {"plane into no buffer", !r.ReadPlane(in(am), nullptr, 24, FALSE)},
        {"cm bits without the must-be-one byte", !r.ReadBits(in(cm0), buf.data(), 64, TRUE, FALSE)},
        {"cm image without the must-be-one byte",
         !r.ReadImage(in(cm0), buf.data(), 64, 1, pal.data(), 256, 0)},
        // AFailedAmReadFreesItsPlane: the plane ends early.
        {"a failed plane is not kept",
         !r.ReadImage(in(amCut), buf.data(), 64, 0, nullptr, 0, 0) && !r.GetPlane()},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(row.refused) << row.name;
    EXPECT_TRUE(bits == nullptr && colours == nullptr);
    // The palette of a picture without its pixels is still there, and a plane that fits is read.
    EXPECT_EQ(r.ReadPalette(in(cm0), pal.data(), 256, FALSE), 256);
    EXPECT_EQ(r.ReadPlane(in(am), buf.data(), 24, FALSE), 24u);
    EXPECT_TRUE(r.ReadImage(in(am), buf.data(), 64, FALSE, pal.data(), 256, FALSE) && r.GetPlane()[23] == 8);
}
