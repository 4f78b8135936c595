#include "platform/gdi_font.h"

#include "platform/gdi_font_draw.h"
#include "platform/gdi_internal.h"

namespace {
std::shared_ptr<const platform::ScaledFont> OpenFace(int height, int width, DWORD charSet,
                                                     DWORD pitchAndFamily, const char* faceName) {
    const bool fixedPitch = (pitchAndFamily & 3) == FIXED_PITCH;
    const bool japanese = charSet == SHIFTJIS_CHARSET;
    return platform::ScaledFont::Open(platform::FindFontFile(faceName, fixedPitch, japanese), height, width);
}
} // namespace

HFONT CreateFontA(int height, int width, int, int, int, DWORD, DWORD, DWORD, DWORD charSet, DWORD, DWORD,
                  DWORD, DWORD pitchAndFamily, const char* faceName) {
    auto* font = new HFONT__;
    font->height = height;
    font->width = width;
    font->charSet = charSet;
    font->pitchAndFamily = pitchAndFamily;
    font->faceName = faceName ? faceName : "";
    font->scaled = OpenFace(height, width, charSet, pitchAndFamily, faceName);
    return font;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
    if (!dc || !text || count < 0) return FALSE;
    const platform::PixelView view = platform::ViewOf(dc);
    if (!view.Valid()) return FALSE;
    std::shared_ptr<const platform::ScaledFont> face;
    if (dc->font && dc->font->kind == platform::GdiObject::Kind::Font) {
        face = static_cast<HFONT>(dc->font)->scaled;
    } else {
        // A DC without a selected font writes in the system's own: a Japanese fixed-pitch cell.
        face = OpenFace(0, 0, SHIFTJIS_CHARSET, FIXED_PITCH, nullptr);
    }
    if (!face) return FALSE;
    platform::TextStyle style;
    style.textColor = dc->textColor;
    style.backColor = dc->bkColor;
    style.backMode = dc->bkMode;
    platform::DrawSjisText(*face, view, x, y, text, count, style);
    return TRUE;
}
