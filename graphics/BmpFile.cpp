#include "graphics/BmpFile.h"

#include <algorithm>
#include <cstdint>
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

    // Any info header of 40 bytes or more: the colour table follows it and the pixels start at
    // bfOffBits. Refused is only what cannot be read safely: compressed rows, a picture without a
    // colour table at 1, 4 and 8 bits or without its masks at 16 and 32 (BI_BITFIELDS), and headers
    // or tables that overlap the pixels.
    const std::uint64_t tableStart = kBmpFileHeaderSize + static_cast<std::uint64_t>(info.biSize);
    if (info.biSize < 40 || file.bfOffBits < tableStart) return FALSE;
    // Rows are bottom-up, or top-down with a negative height.
    const std::int64_t height = info.biHeight;
    if (info.biWidth <= 0 || height == 0 || height < -0x7FFFFFFFll) return FALSE;
    const bool masked = info.biBitCount == 16 || info.biBitCount == 32;
    if (info.biCompression != BI_RGB && !(masked && info.biCompression == BI_BITFIELDS)) return FALSE;
    if (info.biCompression == BI_BITFIELDS && file.bfOffBits < kBmpMasksOffset + 12) return FALSE;
    PictureInfo pi;
    pi.kind = kPictureKindBmp;
    pi.width = static_cast<DWORD>(info.biWidth);
    pi.height = static_cast<DWORD>(height < 0 ? -height : height);
    pi.bitCount = info.biBitCount;
    // A short table is padded black to the depth's; the DIB at 16 and 32 bits takes the three masks.
    const std::uint64_t stored = (file.bfOffBits - tableStart) / 4;
    pi.paletteEntries =
        masked ? 3 : static_cast<DWORD>(std::min<std::uint64_t>(stored, NeededPaletteEntries(pi.bitCount)));
    if (!IsPictureInfoUsable(pi) || (pi.bitCount <= 8 && pi.paletteEntries == 0)) return FALSE;
    if (keepPosition && !mark.SeekFromStart(tableStart)) return FALSE;
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
    if (!s.fp || count < 0 || (count > 0 && !dest)) return -1;
    StreamMark mark(s.fp, TRUE);
    PictureInfo info;
    if (!ReadBmpHeader(s.fp, &info, FALSE)) return -1;
    return ReadBmpColours(mark, info, dest, count) ? count : -1;
}

bool CBmpFile::ReadBmpColours(const StreamMark& mark, const PictureInfo& info, RGBQUAD* dest, int count) {
    const bool masked = info.bitCount == 16 || info.bitCount == 32;
    const DWORD table = masked ? 3 : NeededPaletteEntries(info.bitCount);
    if (count < 0 || static_cast<DWORD>(count) > table || (count > 0 && !dest)) return false;
    if (masked && m_InfoHeader.biCompression == BI_RGB) {
        // Without bit fields the layout is fixed: 5-5-5 at 16 bits, 8-8-8 at 32.
        const DWORD fixed[2][3] = {{0x7C00, 0x03E0, 0x001F}, {0xFF0000, 0x00FF00, 0x0000FF}};
        for (int i = 0; i < count; ++i) {
            const DWORD m = fixed[info.bitCount == 32][i];
            dest[i] = RGBQUAD{static_cast<BYTE>(m), static_cast<BYTE>(m >> 8), static_cast<BYTE>(m >> 16),
                              static_cast<BYTE>(m >> 24)};
        }
        return true;
    }
    const std::uint64_t start =
        masked ? kBmpMasksOffset : kBmpFileHeaderSize + std::uint64_t{m_InfoHeader.biSize};
    const int stored = std::min(count, static_cast<int>(info.paletteEntries));
    if (!mark.SeekFromStart(start) || ReadBmpPalette(mark.File(), dest, stored) < 0) return false;
    for (int i = stored; i < count; ++i)
        dest[i] = RGBQUAD{0, 0, 0, 0};
    return true;
}

DWORD CBmpFile::ReadBmpBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) {
    if (!fp || !dest) return 0;
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadBmpHeader(fp, &info, FALSE)) return 0;
    const DWORD size = GetImageSize(&info, packed);
    if (size == 0 || destSize < size) return 0;
    if (!mark.SeekFromStart(m_FileHeader.bfOffBits)) return 0;
    const bool topDown = m_InfoHeader.biHeight < 0;
    if (!packed && !topDown) return ReadExact(fp, dest, size) ? size : 0;
    // Row by row: to drop the padding, or to turn top-down rows into the DIB's bottom-up order.
    const DWORD line = GetLineSize(&info, packed);
    const int skip = packed ? GetLinePadding(&info) : 0;
    for (DWORD row = 0; row < info.height; ++row) {
        const DWORD at = topDown ? info.height - 1 - row : row;
        if (!ReadExact(fp, dest + static_cast<std::size_t>(at) * line, line)) return 0;
        if (skip && std::fseek(fp, skip, SEEK_CUR) != 0) return 0;
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
        const int table =
            static_cast<int>(std::max(info.paletteEntries, NeededPaletteEntries(info.bitCount)));
        if (!ReadBmpColours(mark, info, palette, std::min(paletteCount, table))) return FALSE;
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
