// Shift-JIS text drawn into locked pixels the way GDI's TextOut draws it: each byte takes one half-width
// cell, the cells sit on one row as high as the font, glyphs are clipped to their cells, and an opaque
// background fills the cells before the glyphs go on.
#pragma once

#include "platform/base.h"
#include "platform/gdi_font_face.h"

namespace platform {
// Pixels of a locked surface: 16, 24 or 32 bits a pixel with the surface's channel masks.
struct PixelView {
    BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // bytes from one row to the next
    int bitsPerPixel = 0;
    DWORD redMask = 0;
    DWORD greenMask = 0;
    DWORD blueMask = 0;
};

// Background modes, as SetBkMode takes them.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

struct TextStyle {
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
};

// A COLORREF (0x00BBGGRR) as a pixel of the view's format; each channel keeps its top bits.
DWORD ColorToPixel(const PixelView& view, COLORREF color);

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
