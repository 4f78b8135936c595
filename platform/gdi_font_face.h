// Font files found through fontconfig and scaled with FreeType into the character cells that GDI text
// uses: a cell as high as the font and one half width per Shift-JIS byte.
#pragma once

#include "platform/base.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
// One glyph as a 1-bit picture: bits[row * width + column] is 1 where the glyph is lit. left and top
// place it against the pen: column 0 sits at pen x + left, row 0 at baseline - top.
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> bits;
};

// A face at one cell size. Shared by every font made with the same file and size; safe to use from
// any thread (glyphs are made under one lock).
class ScaledFont {
  public:
    // height > 0: the cell height; height < 0: the character height (the cell then also holds the
    // face's internal leading); 0: a 16-pixel cell. halfWidth 0 takes the face's own width.
    // Null when the file cannot be read as a font.
    static std::shared_ptr<const ScaledFont> Open(const std::string& file, int height, int halfWidth);

    ~ScaledFont();
    ScaledFont(const ScaledFont&) = delete;
    ScaledFont& operator=(const ScaledFont&) = delete;

    int CellHeight() const { return m_CellHeight; }
    int HalfWidth() const { return m_HalfWidth; }
    // Rows from the top of the cell to the baseline.
    int Ascent() const { return m_Ascent; }
    const std::string& File() const { return m_File; }
    // The glyph of a Unicode character; an empty bitmap for what the face cannot draw.
    std::shared_ptr<const GlyphBitmap> Glyph(char32_t ch) const;

  private:
    struct Impl;
    ScaledFont() = default;
    std::string m_File;
    int m_CellHeight = 0;
    int m_HalfWidth = 0;
    int m_Ascent = 0;
    std::unique_ptr<Impl> m_Impl;
};

// The file of the face that stands for a face name (Shift-JIS, may be empty) of a font request:
// "ＭＳ ゴシック", "MS Gothic" and a nameless fixed-pitch Japanese request all become a Japanese
// monospaced Gothic face. Empty when no face is installed. A test may pin the file.
std::string FindFontFile(const char* faceNameSjis, bool fixedPitch, bool japanese);
} // namespace platform
