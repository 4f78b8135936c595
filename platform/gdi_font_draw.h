// Shift-JIS text drawn into the pixels of a device context the way GDI's TextOut draws it: each byte
// takes one half-width cell, the cells sit on one row as high as the font, glyphs are clipped to their
// cells, and an opaque background fills the cells before the glyphs go on.
#pragma once

#include "platform/gdi_font_face.h"
#include "platform/gdi_internal.h"

namespace platform {
struct TextStyle {
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
};

// Draws `count` bytes of Shift-JIS with the top-left of the first cell at (x, y), clipped to the view
// and to `clip` when given. A lead byte at the end of the text takes one cell and draws nothing.
// Returns the width of the text in pixels (bytes x half width).
int DrawSjisText(const ScaledFont& font, const PixelView& view, int x, int y, const char* text, int count,
                 const TextStyle& style, const RECT* clip = nullptr);

// The Shift-JIS lead-byte rule: 0x81-0x9F and 0xE0-0xFC begin a two-byte character.
inline bool IsSjisLeadByte(BYTE b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
} // namespace platform
