#include "graphics/BmpFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

using picture_io::PathStream;
using picture_io::ReadExact;
using picture_io::StreamMark;
using picture_io::U16;
using picture_io::U32;

CBmpFile::CBmpFile() : m_FileHeader{}, m_InfoHeader{}, m_Info{} {}

CBmpFile::~CBmpFile() = default;

void CBmpFile::GetInfo(PictureInfo* out) {
    if (out) *out = m_Info;
}

BOOL CBmpFile::ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    return ReadBmpHeader(fp, out, keepPosition);
}

BOOL CBmpFile::ReadHeader(const char* path, PictureInfo* out) {
    PathStream s(path);
    return s.fp && ReadHeader(s.fp, out, TRUE);
}

BOOL CBmpFile::ReadBmpHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    if (!fp) return FALSE;
    StreamMark mark(fp, keepPosition);
    BYTE raw[kBmpHeadersSize];
    if (!mark.Valid() || !ReadExact(fp, raw, sizeof raw)) return FALSE;
    if (raw[0] != 'B' || raw[1] != 'M') return FALSE;
    BITMAPFILEHEADER file;
    file.bfType = U16(raw);
    file.bfSize = U32(raw + 2);
    file.bfReserved1 = U16(raw + 6);
    file.bfReserved2 = U16(raw + 8);
    file.bfOffBits = U32(raw + 10);
    const BYTE* p = raw + 14;
    BITMAPINFOHEADER info;
    info.biSize = U32(p);
    info.biWidth = static_cast<LONG>(U32(p + 4));
    info.biHeight = static_cast<LONG>(U32(p + 8));
    info.biPlanes = U16(p + 12);
    info.biBitCount = U16(p + 14);
    info.biCompression = U32(p + 16);
    info.biSizeImage = U32(p + 20);
    info.biXPelsPerMeter = static_cast<LONG>(U32(p + 24));
    info.biYPelsPerMeter = static_cast<LONG>(U32(p + 28));
    info.biClrUsed = U32(p + 32);
    info.biClrImportant = U32(p + 36);
    m_FileHeader = file;
    m_InfoHeader = info;

    // Only the plain layout is understood: a 40-byte header, rows stored bottom-up and uncompressed,
    // masks (as BI_BITFIELDS) at 16 and 32 bits, a palette as long as the depth needs.
    if (info.biSize != 40 || file.bfOffBits < kBmpHeadersSize) return FALSE;
    if (info.biWidth <= 0 || info.biHeight <= 0) return FALSE;
    const bool masked = info.biBitCount == 16 || info.biBitCount == 32;
    if (info.biCompression != BI_RGB && !(masked && info.biCompression == BI_BITFIELDS)) return FALSE;
    PictureInfo pi;
    pi.kind = kPictureKindBmp;
    pi.width = static_cast<DWORD>(info.biWidth);
    pi.height = static_cast<DWORD>(info.biHeight);
    pi.bitCount = info.biBitCount;
    pi.paletteEntries = (file.bfOffBits - kBmpHeadersSize) / 4;
    if (!IsPictureInfoUsable(pi) || pi.paletteEntries < NeededPaletteEntries(pi.bitCount)) return FALSE;
    m_Info = pi;
    if (out) *out = pi;
    return TRUE;
}

DWORD CBmpFile::GetImageSize(const PictureInfo* info, BOOL packed) {
    if (!info || !IsPictureInfoUsable(*info)) return 0;
    return GetLineSize(info, packed) * info->height;
}

DWORD CBmpFile::GetImageSize(std::FILE* fp, BOOL packed, BOOL keepPosition) {
    PictureInfo info;
    return ReadHeader(fp, &info, keepPosition) ? GetImageSize(&info, packed) : 0;
}

DWORD CBmpFile::GetImageSize(const char* path, BOOL packed) {
    PathStream s(path);
    return s.fp ? GetImageSize(s.fp, packed, TRUE) : 0;
}

DWORD CBmpFile::GetLineSize(const PictureInfo* info, BOOL packed) {
    if (!info || !IsPictureInfoUsable(*info)) return 0;
    return static_cast<DWORD>(packed ? PackedLineBytes(info->width, info->bitCount)
                                     : PaddedLineBytes(info->width, info->bitCount));
}

DWORD CBmpFile::GetLineSize(std::FILE* fp, BOOL packed, BOOL keepPosition) {
    PictureInfo info;
    return ReadHeader(fp, &info, keepPosition) ? GetLineSize(&info, packed) : 0;
}

DWORD CBmpFile::GetLineSize(const char* path, BOOL packed) {
    PathStream s(path);
    return s.fp ? GetLineSize(s.fp, packed, TRUE) : 0;
}

int CBmpFile::GetLinePadding(const PictureInfo* info) {
    return static_cast<int>(GetLineSize(info, FALSE) - GetLineSize(info, TRUE));
}

int CBmpFile::GetLinePadding(std::FILE* fp, BOOL keepPosition) {
    PictureInfo info;
    return ReadHeader(fp, &info, keepPosition) ? GetLinePadding(&info) : -1;
}

int CBmpFile::GetLinePadding(const char* path) {
    PathStream s(path);
    return s.fp ? GetLinePadding(s.fp, TRUE) : -1;
}

int CBmpFile::ReadBmpPalette(std::FILE* fp, RGBQUAD* dest, int count) {
    if (!fp || count < 0 || (count > 0 && !dest)) return -1;
    for (int i = 0; i < count; ++i) {
        BYTE e[4];
        if (!ReadExact(fp, e, 4)) return -1;
        dest[i] = RGBQUAD{e[0], e[1], e[2], e[3]};
    }
    return count;
}

int CBmpFile::ReadPalette(std::FILE* fp, RGBQUAD* dest, int count, BOOL keepPosition) {
    StreamMark mark(fp, keepPosition);
    return ReadBmpPalette(fp, dest, count);
}

int CBmpFile::ReadPalette(const char* path, RGBQUAD* dest, int count) {
    PathStream s(path);
    if (!s.fp || std::fseek(s.fp, kBmpHeadersSize, SEEK_SET) != 0) return -1;
    return ReadPalette(s.fp, dest, count, TRUE);
}

DWORD CBmpFile::ReadBmpBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) {
    if (!fp || !dest) return 0;
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadBmpHeader(fp, &info, FALSE)) return 0;
    const DWORD size = GetImageSize(&info, packed);
    if (size == 0 || destSize < size) return 0;
    if (!mark.SeekFromStart(m_FileHeader.bfOffBits)) return 0;
    if (!packed) return ReadExact(fp, dest, size) ? size : 0;
    const DWORD line = GetLineSize(&info, TRUE);
    const int padding = GetLinePadding(&info);
    for (DWORD row = 0; row < info.height; ++row) {
        if (!ReadExact(fp, dest + static_cast<std::size_t>(row) * line, line)) return 0;
        if (padding && std::fseek(fp, padding, SEEK_CUR) != 0) return 0;
    }
    return size;
}

DWORD CBmpFile::ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) {
    return ReadBmpBits(fp, dest, destSize, packed, keepPosition);
}

DWORD CBmpFile::ReadBits(const char* path, BYTE* dest, DWORD destSize, BOOL packed) {
    PathStream s(path);
    return s.fp ? ReadBits(s.fp, dest, destSize, packed, TRUE) : 0;
}

BOOL CBmpFile::ReadBmpImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                            int paletteCount, BOOL keepPosition) {
    if (!fp) return FALSE;
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadBmpHeader(fp, &info, TRUE)) return FALSE;
    if (palette) {
        if (paletteCount < 0 || static_cast<DWORD>(paletteCount) < info.paletteEntries) return FALSE;
        if (!mark.SeekFromStart(kBmpHeadersSize)) return FALSE;
        if (ReadBmpPalette(fp, palette, static_cast<int>(info.paletteEntries)) < 0) return FALSE;
    }
    if (!mark.SeekFromStart(0)) return FALSE;
    return ReadBmpBits(fp, pixels, pixelsSize, packed, TRUE) != 0;
}

BOOL CBmpFile::ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                         int paletteCount, BOOL keepPosition) {
    return ReadBmpImage(fp, pixels, pixelsSize, packed, palette, paletteCount, keepPosition);
}

BOOL CBmpFile::ReadImage(const char* path, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                         int paletteCount) {
    PathStream s(path);
    return s.fp && ReadImage(s.fp, pixels, pixelsSize, packed, palette, paletteCount, TRUE);
}

BOOL CBmpFile::LoadImage(std::FILE* fp, BYTE** pixels, BOOL packed, RGBQUAD** palette, BOOL keepPosition) {
    if (pixels) *pixels = nullptr;
    if (palette) *palette = nullptr;
    if (!fp || !pixels || !palette) return FALSE;
    PictureInfo info;
    if (!ReadHeader(fp, &info, FALSE)) return FALSE;
    const DWORD size = GetImageSize(&info, packed);
    if (size == 0) return FALSE;
    std::unique_ptr<BYTE[]> bits(new BYTE[size]);
    // The table is always as long as the depth needs, so a DIB made from it never reads past it.
    const DWORD entries = std::max(info.paletteEntries, NeededPaletteEntries(info.bitCount));
    std::unique_ptr<RGBQUAD[]> colours;
    if (entries > 0) colours.reset(new RGBQUAD[entries]());
    if (!ReadImage(fp, bits.get(), size, packed, colours.get(), static_cast<int>(entries), keepPosition))
        return FALSE;
    *pixels = bits.release();
    *palette = colours.release();
    return TRUE;
}

BOOL CBmpFile::LoadImage(const char* path, BYTE** pixels, BOOL packed, RGBQUAD** palette) {
    PathStream s(path);
    if (!s.fp) {
        if (pixels) *pixels = nullptr;
        if (palette) *palette = nullptr;
        return FALSE;
    }
    return LoadImage(s.fp, pixels, packed, palette, TRUE);
}
