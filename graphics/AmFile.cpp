#include "graphics/AmFile.h"

#include <cstring>

using picture_io::PeekMagic;
using picture_io::ReadExact;
using picture_io::StreamMark;
using picture_io::U16;
using picture_io::U32;

namespace {
bool IsAm(const char magic[2]) {
    return magic[0] == 'A' && magic[1] == 'M';
}

// The colour data and the plane are each coded as "CM" pixel data; this is the header that decodes one
// of them.
CMHeader PartHeader(const AMHeader& h, WORD width, WORD height, BYTE bitCount, BYTE compression, DWORD offset,
                    DWORD size) {
    CMHeader part{};
    part.magic[0] = 'C';
    part.magic[1] = 'M';
    part.width = width;
    part.height = height;
    part.paletteEntries = h.paletteEntries;
    part.bitCount = bitCount;
    part.compression = compression;
    part.mustBeOne = h.mustBeOne;
    part.unused15 = h.unused25;
    part.dataOffset = offset;
    part.dataSize = size;
    return part;
}
} // namespace

CAmFile::CAmFile()
    : m_AmHeader{}, m_pPlane(nullptr), m_PlaneWidth(0), m_PlaneHeight(0), m_PlaneKept1(0), m_PlaneKept2(0) {}

CAmFile::~CAmFile() {
    FreePlane();
}

void CAmFile::FreePlane() {
    delete[] m_pPlane;
    m_pPlane = nullptr;
}

BOOL CAmFile::ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return FALSE;
    if (IsAm(magic)) return ReadAmHeader(fp, out, keepPosition);
    return CCmFile::ReadHeader(fp, out, keepPosition);
}

BOOL CAmFile::ReadAmHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) {
    StreamMark mark(fp, keepPosition);
    BYTE raw[kAmHeaderSize];
    if (!mark.Valid() || !ReadExact(fp, raw, sizeof raw)) return FALSE;
    if (raw[0] != 'A' || raw[1] != 'M') return FALSE;
    AMHeader h;
    std::memcpy(h.magic, raw, 2);
    std::memcpy(h.unused2, raw + 2, 4);
    h.width = U16(raw + 6);
    h.height = U16(raw + 8);
    h.planeWidth = U16(raw + 10);
    h.planeHeight = U16(raw + 12);
    h.planeKept1 = U16(raw + 14);
    h.planeKept2 = U16(raw + 16);
    h.paletteEntries = U16(raw + 18);
    h.bitCount = raw[20];
    h.compression = raw[21];
    h.planeKind = raw[22];
    h.unused23 = raw[23];
    h.mustBeOne = raw[24];
    h.unused25 = raw[25];
    h.colourOffset = U32(raw + 26);
    h.colourSize = U32(raw + 30);
    h.planeOffset = U32(raw + 34);
    h.planeSize = U32(raw + 38);
    h.planeCompression = raw[42];
    std::memcpy(h.unused43, raw + 43, 5);
    PictureInfo info{kPictureKindAm, h.width, h.height, h.bitCount, h.paletteEntries};
    if (!IsPictureInfoUsable(info)) return FALSE;
    // The plane is read pixel for pixel against the colour picture; another size has no meaning.
    if (h.planeWidth != h.width || h.planeHeight != h.height) return FALSE;
    m_AmHeader = h;
    m_CmHeader = PartHeader(h, h.width, h.height, h.bitCount, h.compression, h.colourOffset, h.colourSize);
    m_Info = info;
    if (out) *out = info;
    return TRUE;
}

CMHeader CAmFile::PlaneHeader() const {
    const AMHeader& h = m_AmHeader;
    return PartHeader(h, h.planeWidth, h.planeHeight, 8, h.planeCompression, h.planeOffset, h.planeSize);
}

DWORD CAmFile::ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return 0;
    if (!IsAm(magic)) return CCmFile::ReadBits(fp, dest, destSize, packed, keepPosition);
    StreamMark mark(fp, keepPosition);
    if (!ReadAmHeader(fp, nullptr, FALSE)) return 0;
    if (!mark.SeekFromStart(m_AmHeader.colourOffset)) return 0;
    return DecodePixelData(fp, m_CmHeader, dest, destSize, packed);
}

BOOL CAmFile::ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                        int paletteCount, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic)) return FALSE;
    if (!IsAm(magic))
        return CCmFile::ReadImage(fp, pixels, pixelsSize, packed, palette, paletteCount, keepPosition);
    StreamMark mark(fp, keepPosition);
    PictureInfo info;
    if (!ReadAmHeader(fp, &info, TRUE)) return FALSE;
    if (!ReadShortPalette(fp, palette, paletteCount, info.paletteEntries)) return FALSE;
    if (DecodePixelData(fp, m_CmHeader, pixels, pixelsSize, packed) == 0) return FALSE;
    if (m_pPlane) return FALSE;
    m_PlaneWidth = m_AmHeader.planeWidth;
    m_PlaneHeight = m_AmHeader.planeHeight;
    m_PlaneKept1 = m_AmHeader.planeKept1;
    m_PlaneKept2 = m_AmHeader.planeKept2;
    const DWORD size = static_cast<DWORD>(m_PlaneWidth) * m_PlaneHeight;
    m_pPlane = new BYTE[size];
    // The plane follows the colour data directly. A failed read leaves no plane behind, so the reader
    // can take the next picture.
    if (DecodePixelData(fp, PlaneHeader(), m_pPlane, size, TRUE) == 0) {
        FreePlane();
        return FALSE;
    }
    return TRUE;
}

DWORD CAmFile::ReadPlane(std::FILE* fp, BYTE* dest, DWORD size, BOOL keepPosition) {
    char magic[2];
    if (!PeekMagic(fp, magic) || !IsAm(magic)) return 0;
    StreamMark mark(fp, keepPosition);
    if (!ReadAmHeader(fp, nullptr, TRUE)) return 0;
    if (!mark.SeekFromStart(m_AmHeader.planeOffset)) return 0;
    return DecodePixelData(fp, PlaneHeader(), dest, size, TRUE);
}

DWORD CAmFile::ReadPlane(const char* path, BYTE* dest, DWORD size) {
    picture_io::PathStream s(path);
    return s.fp ? ReadPlane(s.fp, dest, size, TRUE) : 0;
}
