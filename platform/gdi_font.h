// Fonts and text output on device contexts: CreateFontA finds the face through fontconfig, TextOutA
// draws Shift-JIS with the DC's text colour, background colour and background mode.
#pragma once

#include "platform/gdi.h"
#include "platform/gdi_font_face.h"

#include <memory>
#include <string>

enum : int { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
enum : DWORD { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128 };
enum : DWORD { OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0 };
enum : DWORD { DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2, NONANTIALIASED_QUALITY = 3 };
enum : DWORD { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };

struct HFONT__ : platform::GdiObject {
    HFONT__() : GdiObject(Kind::Font) {}
    int height = 0;
    int width = 0;
    DWORD charSet = DEFAULT_CHARSET;
    DWORD pitchAndFamily = DEFAULT_PITCH;
    std::string faceName; // Shift-JIS, as given
    // The face at this font's cell size; null when no font file could be read.
    std::shared_ptr<const platform::ScaledFont> scaled;
};

// height > 0: cell height; < 0: character height; 0: a 16-pixel cell. width: the half width of a
// one-byte character (0: the face's own). Escapement, orientation, weight, italic, underline,
// strike-out and the precisions are accepted and not drawn. Never null: a font without a face draws
// no text.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* faceName);

// `count` bytes of Shift-JIS with the top-left corner of the first cell at (x, y), in the selected
// font (a 16-pixel Gothic cell when none is selected). FALSE for a DC without pixels or without a face.
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);
