// Reads "AM" pictures: a 48-byte header, a palette of 3-byte entries, the colour data coded as "CM"
// pixel data, and a second plane of one byte a pixel (weights 0 to 16, or alpha 0 to 255), also coded
// as "CM" data at 8 bits, stored top row first. Hands "BM" and "CM" pictures to its bases, so it reads
// all three formats; "AM" is tested first.
#pragma once

#include "graphics/CmFile.h"

class CAmFile : public CCmFile {
  public:
    CAmFile();
    ~CAmFile() override;

    using CCmFile::ReadBits;
    using CCmFile::ReadHeader;
    using CCmFile::ReadImage;

    BOOL ReadHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition) override;
    DWORD ReadBits(std::FILE* fp, BYTE* dest, DWORD destSize, BOOL packed, BOOL keepPosition) override;
    // For an "AM" picture the plane follows the colour data; it goes into the plane buffer this reader
    // owns. Fails while a plane is still held; a failed plane read leaves none.
    BOOL ReadImage(std::FILE* fp, BYTE* pixels, DWORD pixelsSize, BOOL packed, RGBQUAD* palette,
                   int paletteCount, BOOL keepPosition) override;

    // The plane of an "AM" picture, packed rows, into dest of size bytes (at least width x height).
    virtual DWORD ReadPlane(std::FILE* fp, BYTE* dest, DWORD size, BOOL keepPosition);
    DWORD ReadPlane(const char* path, BYTE* dest, DWORD size);

    const AMHeader& GetAmHeader() const { return m_AmHeader; }
    const BYTE* GetPlane() const { return m_pPlane; }
    WORD GetPlaneWidth() const { return m_PlaneWidth; }
    WORD GetPlaneHeight() const { return m_PlaneHeight; }
    WORD GetPlaneKept1() const { return m_PlaneKept1; }
    WORD GetPlaneKept2() const { return m_PlaneKept2; }
    void FreePlane();

  protected:
    BOOL ReadAmHeader(std::FILE* fp, PictureInfo* out, BOOL keepPosition);
    CMHeader PlaneHeader() const;

    AMHeader m_AmHeader;
    BYTE* m_pPlane;
    WORD m_PlaneWidth;
    WORD m_PlaneHeight;
    WORD m_PlaneKept1;
    WORD m_PlaneKept2;
};
