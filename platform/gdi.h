// Device contexts over surfaces, DIB sections and 1:1 stretch copies between them, with the DC state
// that text drawing reads (text and background colours, background mode). Fonts and text output
// build on this in their own file.
#pragma once

#include "platform/base.h"
#include "platform/window.h"

#include <vector>

namespace platform {
// Every GDI object behind an HGDIOBJ derives from this.
struct GdiObject {
    enum class Kind { Bitmap, Brush, Pen, Font };
    explicit GdiObject(Kind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Kind kind;
    bool stock = false;
    // Device contexts it is selected into; a selected object is not deleted.
    int selections = 0;
};
} // namespace platform

struct HDC__;
struct HBITMAP__;
struct HFONT__;
using HDC = HDC__*;
using HGDIOBJ = platform::GdiObject*;
using HBITMAP = HBITMAP__*;
using HFONT = HFONT__*; // defined with the text functions

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// The header, then the colour table (or, for BI_BITFIELDS, the red, green and blue masks).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// A DIB section (or the 1x1 bitmap a memory DC starts with).
struct HBITMAP__ : platform::GdiObject {
    HBITMAP__() : GdiObject(Kind::Bitmap) {}
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> colors;
    DWORD masks[3] = {0, 0, 0}; // red, green, blue at 16 and 32 bits
    std::vector<BYTE> bits;
    int stride = 0;
};

struct HBRUSH__ : platform::GdiObject {
    explicit HBRUSH__(COLORREF c) : GdiObject(Kind::Brush), color(c) {}
    COLORREF color;
};

enum : DWORD { BI_RGB = 0, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0 };
enum : DWORD { SRCCOPY = 0x00CC0020 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14 };
enum : int { WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5 };

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r | (g << 8) | (b << 16));
}

// A memory DC starts with a 1x1 bitmap selected; null or a surface DC are both fine as the model.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

// 1, 4, 8, 16, 24 or 32 bits per pixel; BI_BITFIELDS at 16 and 32. Rows are padded to 4 bytes and
// bottom-up unless the height is negative. The colour table or masks are copied from the info.
// Null for anything else or an absurd size.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE for stock objects and for objects still selected into a DC (they stay alive).
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int which);

// Copies with conversion between any DIB section and any surface format. Both RECTs are clipped to
// their bitmaps; sizes that differ stretch by nearest pixel. SRCCOPY only.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                int sourceHeight, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);

int GetDeviceCaps(HDC dc, int index);

// The window's DC: it reports the desktop's depth; nothing draws through it.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

// Windows defaults: black text, white background, opaque.
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_FONT = 6, OBJ_BITMAP = 7 };
// The object of that type selected into the DC, or null.
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
