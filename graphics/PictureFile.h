// What the three picture readers share: the picture record, the "CM" and "AM" headers, row and image
// sizes, and the stream helpers. Colour rows are stored bottom row first, as in a DIB.
#pragma once

#include "platform/gdi.h"
#include "platform/base.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum : DWORD { kPictureKindBmp = 0, kPictureKindCm = 1, kPictureKindAm = 2 };

struct PictureInfo {
    DWORD kind; // kPictureKindBmp, kPictureKindCm or kPictureKindAm
    DWORD width;
    DWORD height;
    DWORD bitCount; // of the colour picture: 4, 8, 16, 24 or 32 (and 1 for BMP)
    // 4-byte entries before the pixels in the DIB; at 16 and 32 bits the red, green and blue masks.
    DWORD paletteEntries;
};

// The 14-byte file header of a BMP.
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};

inline constexpr DWORD kBmpFileHeaderSize = 14;
inline constexpr DWORD kBmpHeadersSize = 54; // file header and the 40-byte info header
// The masks of a BI_BITFIELDS picture follow a 40-byte info header or sit inside a longer one: either
// way at this offset.
inline constexpr DWORD kBmpMasksOffset = 54;

// "CM" picture header, 32 bytes.
struct CMHeader {
    char magic[2];
    DWORD unused2;
    WORD width;
    WORD height;
    WORD paletteEntries;
    BYTE bitCount;
    BYTE compression; // 1 run-length; anything else is stored as is
    BYTE mustBeOne;   // pixel data is refused unless 1
    BYTE unused15;
    DWORD dataOffset; // from the picture's first byte
    DWORD dataSize;   // stored bytes, run-length packets included
    BYTE unused24[8];
};
inline constexpr DWORD kCmHeaderSize = 32;

// "AM" picture header, 48 bytes: a colour picture coded as "CM" data, then a second plane.
struct AMHeader {
    char magic[2];
    BYTE unused2[4];
    WORD width;
    WORD height;
    WORD planeWidth;
    WORD planeHeight;
    WORD planeKept1;
    WORD planeKept2;
    WORD paletteEntries;
    BYTE bitCount;
    BYTE compression;
    BYTE planeKind; // 1 weights 0 to 16, 2 alpha 0 to 255
    BYTE unused23;
    BYTE mustBeOne;
    BYTE unused25;
    DWORD colourOffset;
    DWORD colourSize;
    DWORD planeOffset;
    DWORD planeSize;
    BYTE planeCompression;
    BYTE unused43[5];
};
inline constexpr DWORD kAmHeaderSize = 48;

enum : BYTE { kPlaneKindWeights = 1, kPlaneKindAlpha = 2 };

// Pictures larger than this are refused: sizes are worked out in 64 bits and never wrap.
inline constexpr std::uint64_t kMaxPictureBytes = 64ull << 20;
inline constexpr DWORD kMaxPictureSide = 16384;
inline constexpr DWORD kMaxPaletteEntries = 256;

// Bytes of one row without padding, or 0 for a depth without a row layout.
std::uint64_t PackedLineBytes(std::uint64_t width, DWORD bitCount);
inline std::uint64_t PaddedLineBytes(std::uint64_t width, DWORD bitCount) {
    return (PackedLineBytes(width, bitCount) + 3) & ~std::uint64_t{3};
}
// Bytes per run-length unit: 1 at 4 and 8 bits, 2, 3 or 4 above; 0 for other depths.
int RunLengthUnitBytes(DWORD bitCount);
// Palette entries the DIB's colour table must hold for the depth: 2, 16 or 256 colours, or 3 masks.
DWORD NeededPaletteEntries(DWORD bitCount);

// A picture record the program can hold: a known depth (1 bit for BMP only), a size from 1 x 1 up to the
// caps, at most 256 palette entries and, at 16 and 32 bits, at least the three masks.
bool IsPictureInfoUsable(const PictureInfo& info);

// The DIB header for a picture: bottom-up, BI_BITFIELDS at 16 and 32 bits, padded image size.
BITMAPINFOHEADER MakeInfoHeader(const PictureInfo& info);

namespace picture_io {
// Notes the stream position; unless told to keep the new one, puts the stream back when it goes.
class StreamMark {
  public:
    StreamMark(std::FILE* fp, BOOL keepPosition);
    ~StreamMark();
    StreamMark(const StreamMark&) = delete;
    StreamMark& operator=(const StreamMark&) = delete;
    // The position noted: the picture's first byte.
    long Start() const { return m_Start; }
    std::FILE* File() const { return m_File; }
    bool Valid() const { return m_Start >= 0; }
    // Seeks to the picture's first byte plus offset.
    bool SeekFromStart(std::uint64_t offset) const;

  private:
    std::FILE* m_File;
    long m_Start;
    BOOL m_Keep;
};

// Opens a picture file "rb" for a path form; closed when it goes.
struct PathStream {
    explicit PathStream(const char* path);
    ~PathStream();
    PathStream(const PathStream&) = delete;
    PathStream& operator=(const PathStream&) = delete;
    std::FILE* fp;
};

bool ReadExact(std::FILE* fp, void* dst, std::size_t n);
// Reads two bytes and puts the stream back.
bool PeekMagic(std::FILE* fp, char magic[2]);
inline WORD U16(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}
inline DWORD U32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// Decodes run-length packets from the stream into out (capacity bytes) until the packets read reach
// storedSize bytes; false when the stream ends first, a unit size is unknown or the output would
// outgrow the capacity. *produced is the number of bytes written.
bool DecodeRunLengthStream(std::FILE* fp, DWORD storedSize, int unitBytes, BYTE* out, std::size_t capacity,
                           std::size_t* produced);
} // namespace picture_io
