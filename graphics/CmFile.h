// Reads "CM" pictures: a 32-byte header, a palette of 3-byte entries (blue, green, red) and pixel data,
// raw or run-length coded, whose rows may be packed or padded to 4 bytes. Hands BMP pictures to its
// base. Each unit of the run-length code is one pixel's bytes (one byte at 4 and 8 bits): a control
// byte below 128 is followed by that many units copied as they are, one of 128 or more by one unit
// repeated (control - 128) times.
#pragma once

#include "graphics/BmpFile.h"

class CCmFile : public CBmpFile {
  public:
    CCmFile();
    ~CCmFile() override;

    using CBmpFile::ReadBits;
    using CBmpFile::ReadHeader;
    using CBmpFile::ReadImage;
    using CBmpFile::ReadPalette;

    BOOL ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) override;
    // Reads the header first; BMP palettes are 4-byte entries, "CM" and "AM" palettes 3-byte ones.
    int ReadPalette(std::FILE* fp, RGBQUAD* dest, int count, BOOL keepPosition) override;
    int ReadPalette(const char* path, RGBQUAD* dest, int count) override;
    DWORD ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) override;
    BOOL ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                   int paletteCount, BOOL keepPosition) override;

    // The header in use for decoding: of the last "CM" picture, or the one built from an "AM" header.
    const CMHeader& GetCmHeader() const { return m_CmHeader; }

  protected:
    BOOL ReadCmHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition);
    // Decodes the pixel data that starts at the stream's position as `header` describes it. The
    // decoded byte count must be the packed or the padded image size exactly; the rows are stored in
    // the packing asked for. Returns the bytes stored, 0 on failure.
    DWORD DecodePixelData(std::FILE* fp, const CMHeader& header, BYTE* dest, DWORD destSize, BOOL packed);
    // 3-byte palette entries at the stream's position, or skips them when dest is null.
    BOOL ReadShortPalette(std::FILE* fp, RGBQUAD* dest, int destCount, DWORD entries);

    CMHeader m_CmHeader;
};
