// Reads Windows BMP pictures (uncompressed, an info header of 40 bytes or more, rows bottom-up or
// top-down) into bottom-up DIB rows and a palette. The base
// of the reader chain: "CM" and "AM" readers derive from it and pass it what they do not recognise.
//
// Every operation has a stream form (an open stream at the picture's first byte and a keep-position
// flag: 0 puts the stream back where it was, 1 leaves it after what was read) and a path form (opens
// the file, reads with keep position 1, closes it). Results: true/false, a byte count with 0 for
// failure, or a count with -1 for failure. packed 1 asks for rows without padding, 0 for rows padded
// to 4 bytes.
#pragma once

#include "graphics/PictureFile.h"

#include <cstdio>

class CBmpFile {
  public:
    CBmpFile();
    virtual ~CBmpFile();
    CBmpFile(const CBmpFile&) = delete;
    CBmpFile& operator=(const CBmpFile&) = delete;

    // The record of the last header read (zeros before any).
    virtual void GetInfo(PictureInfo* out);

    virtual BOOL ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition);
    BOOL ReadHeader(const char* path, PictureInfo* out);

    // Sizes for any kind of picture, from a record or from a header read first.
    DWORD GetImageSize(const PictureInfo* info, BOOL packed);
    DWORD GetImageSize(std::FILE* fp, BOOL packed, BOOL keepPosition);
    DWORD GetImageSize(const char* path, BOOL packed);
    DWORD GetLineSize(const PictureInfo* info, BOOL packed);
    DWORD GetLineSize(std::FILE* fp, BOOL packed, BOOL keepPosition);
    DWORD GetLineSize(const char* path, BOOL packed);
    int GetLinePadding(const PictureInfo* info);
    int GetLinePadding(std::FILE* fp, BOOL keepPosition);
    int GetLinePadding(const char* path);

    // Reads count 4-byte entries from where the stream stands (after the info header, where callers
    // put it). The path form gives the table a DIB of the picture takes: the stored colours padded
    // black to the depth's table, or the masks at 16 and 32 bits.
    virtual int ReadPalette(std::FILE* fp, RGBQUAD* dest, int count, BOOL keepPosition);
    virtual int ReadPalette(const char* path, RGBQUAD* dest, int count);

    // The pixel rows, bottom row first, into dest of destSize bytes (at least the image size).
    virtual DWORD ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition);
    DWORD ReadBits(const char* path, BYTE* dest, DWORD destSize, BOOL packed);

    // Palette and rows. The palette destination takes paletteCount entries and must hold the
    // picture's; with a null palette destination the palette is skipped.
    virtual BOOL ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                           int paletteCount, BOOL keepPosition);
    BOOL ReadImage(const char* path, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                   int paletteCount);

    // As ReadImage into new buffers the caller owns (delete[]); both null on failure, the palette null
    // when the picture has none.
    virtual BOOL LoadImage(std::FILE* fp, BYTE** pixels, BOOL packed, RGBQUAD** palette, BOOL keepPosition);
    BOOL LoadImage(const char* path, BYTE** pixels, BOOL packed, RGBQUAD** palette);

    const BITMAPFILEHEADER& GetFileHeader() const { return m_FileHeader; }
    const BITMAPINFOHEADER& GetInfoHeader() const { return m_InfoHeader; }

  protected:
    // The BMP forms, whatever the object's own kind.
    BOOL ReadBmpHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition);
    DWORD ReadBmpBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition);
    BOOL ReadBmpImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                      int paletteCount, BOOL keepPosition);
    int ReadBmpPalette(std::FILE* fp, RGBQUAD* dest, int count);
    // The first `count` entries of the DIB's table for the header just read, at most the depth's.
    bool ReadBmpColours(const picture_io::StreamMark& mark, const PictureInfo& info, RGBQUAD* dest,
                        int count);

    BITMAPFILEHEADER m_FileHeader;
    BITMAPINFOHEADER m_InfoHeader;
    PictureInfo m_Info;
};
