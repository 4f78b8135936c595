// The demo's own 5x7 pixel font for the printable ASCII characters, drawn into the pictures' labels.
#pragma once

namespace demo {
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6; // one blank column between characters

// Whether the cell (column 0-4, row 0-6) of the character is lit; false outside the font.
bool GlyphCell(char c, int column, int row);
} // namespace demo
