#include "graphics/CmFile.h"

#include <cstring>
#include <memory>

using picture_io::PeekMagic;
using picture_io::ReadExact;
using picture_io::StreamMark;
using picture_io::U16;
using picture_io::U32;

CCmFile::CCmFile() : m_CmHeader{} {}

CCmFile::~CCmFile() = default;

BOOL CCmFile::ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return FALSE;
    if (magic[0] == 'B' && magic[1] == 'M') return CBmpFile::ReadHeader(fp, out, keepPosition);
    if (magic[0] == 'C' && magic[1] == 'M') return ReadCmHeader(fp, out, keepPosition);
    return FALSE;
}

BOOL CCmFile::ReadCmHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    StreamMark mark(fp, keepPosition);
    BYTE raw[kCmHeaderSize];
    if (!mark.Valid() || !ReadExact(fp, raw, sizeof raw)) return FALSE;
    if (raw[0] != 'C' || raw[1] != 'M') return FALSE;
    CMHeader h;
    std::memcpy(h.magic, raw, 2);
    h.unused2 = U32(raw + 2);
    h.width = U16(raw + 6);
    h.height = U16(raw + 8);
    h.paletteEntries = U16(raw + 10);
    h.bitCount = raw[12];
    h.compression = raw[13];
    h.mustBeOne = raw[14];
    h.unused15 = raw[15];
    h.dataOffset = U32(raw + 16);
    h.dataSize = U32(raw + 20);
    std::memcpy(h.unused24, raw + 24, 8);
    PictureInfo info{kPictureKindCm, h.width, h.height, h.bitCount, h.paletteEntries};
    if (!IsPictureInfoUsable(info)) return FALSE;
    m_CmHeader = h;
    m_Info = info;
    if (out) *out = info;
    return TRUE;
}

int CCmFile::ReadPalette(std::FILE* fp, RGBQUAD* dest, int count, BOOL keepPosition) {
    if (!fp || count < 0 || (count > 0 && !dest)) return -1;
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadHeader(fp, &info, TRUE)) return -1;
    if (info.kind == kPictureKindBmp) return ReadBmpPalette(fp, dest, count);
    return ReadShortPalette(fp, dest, count, static_cast<DWORD>(count)) ? count : -1;
}

int CCmFile::ReadPalette(const char* path, RGBQUAD* dest, int count) {
    picture_io::PathStream s(path);
    return s.fp ? ReadPalette(s.fp, dest, count, TRUE) : -1;
}

BOOL CCmFile::ReadShortPalette(std::FILE* fp, RGBQUAD* dest, int destCount, DWORD entries) {
    if (!dest) return std::fseek(fp, static_cast<long>(3 * entries), SEEK_CUR) == 0;
    if (destCount < 0 || static_cast<DWORD>(destCount) < entries) return FALSE;
    for (DWORD i = 0; i < entries; ++i) {
        BYTE e[3];
        if (!ReadExact(fp, e, 3)) return FALSE;
        dest[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    return TRUE;
}

DWORD CCmFile::DecodePixelData(std::FILE* fp, const CMHeader& header, BYTE* dest, DWORD destSize,
                               BOOL packed) {
    if (!fp || !dest) return 0;
    const PictureInfo info{kPictureKindCm, header.width, header.height, header.bitCount, 0};
    const int unit = RunLengthUnitBytes(info.bitCount);
    if (unit == 0 || info.width == 0 || info.height == 0) return 0;
    const std::uint64_t packedLine = PackedLineBytes(info.width, info.bitCount);
    const std::uint64_t paddedLine = PaddedLineBytes(info.width, info.bitCount);
    const std::uint64_t packedSize = packedLine * info.height;
    const std::uint64_t paddedSize = paddedLine * info.height;
    if (paddedSize > kMaxPictureBytes) return 0;
    const std::uint64_t wanted = packed ? packedSize : paddedSize;
    if (destSize < wanted) return 0;
    if (header.mustBeOne != 1) return 0;

    std::unique_ptr<BYTE[]> decoded(new BYTE[paddedSize]);
    std::size_t n = 0;
    if (header.compression == 1) {
        if (!picture_io::DecodeRunLengthStream(fp, header.dataSize, unit, decoded.get(), paddedSize, &n))
            return 0;
    } else {
        // A stream longer than the image is refused before anything is read into the buffer.
        if (header.dataSize > paddedSize || !ReadExact(fp, decoded.get(), header.dataSize)) return 0;
        n = header.dataSize;
    }

    if (n == paddedSize) {
        if (!packed || packedLine == paddedLine) {
            std::memcpy(dest, decoded.get(), n);
        } else {
            for (DWORD row = 0; row < info.height; ++row)
                std::memcpy(dest + row * packedLine, decoded.get() + row * paddedLine, packedLine);
        }
    } else if (n == packedSize) {
        if (packed) {
            std::memcpy(dest, decoded.get(), n);
        } else {
            for (DWORD row = 0; row < info.height; ++row) {
                std::memcpy(dest + row * paddedLine, decoded.get() + row * packedLine, packedLine);
                std::memset(dest + row * paddedLine + packedLine, 0, paddedLine - packedLine);
            }
        }
    } else {
        // Short data would leave rows unset, and any other length has no row layout.
        return 0;
    }
    return static_cast<DWORD>(wanted);
}

DWORD CCmFile::ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return 0;
    if (magic[0] == 'B' && magic[1] == 'M')
        return CBmpFile::ReadBits(fp, dest, destSize, packed, keepPosition);
    StreamMark mark(fp, keepPosition);
    if (!ReadCmHeader(fp, nullptr, FALSE)) return 0;
    if (!mark.SeekFromStart(m_CmHeader.dataOffset)) return 0;
    return DecodePixelData(fp, m_CmHeader, dest, destSize, packed);
}

BOOL CCmFile::ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                        int paletteCount, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return FALSE;
    if (magic[0] == 'B' && magic[1] == 'M')
        return CBmpFile::ReadImage(fp, pixels, pixelsSize, packed, palette, paletteCount, keepPosition);
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadCmHeader(fp, &info, TRUE)) return FALSE;
    // The pixel data follows the palette directly.
    if (!ReadShortPalette(fp, palette, paletteCount, info.paletteEntries)) return FALSE;
    return DecodePixelData(fp, m_CmHeader, pixels, pixelsSize, packed) != 0;
}
