// What lies behind the GDI handles: device contexts, bitmaps and a uniform view of the pixels a DC
// draws on. The text functions reach their target through ViewOf.
#pragma once

#include "platform/gdi.h"
#include "platform/pixel_format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct IDirectDrawSurface;

namespace platform {

// Pixels in either a display format (surfaces) or a DIB layout (DIB sections).
struct PixelView {
    std::uint8_t* base = nullptr; // first byte of the top row
    std::ptrdiff_t stride = 0;    // from one row to the next one down; negative for bottom-up DIBs
    int width = 0;
    int height = 0;
    const PixelFormat* format = nullptr; // set for surfaces
    int bitCount = 0;                    // DIB layout when format is null
    DWORD masks[3] = {0, 0, 0};          // red, green, blue; 16 and 32 bits
    const RGBQUAD* palette = nullptr;
    int paletteSize = 0;

    bool Valid() const { return base && width > 0 && height > 0; }
    std::uint8_t* Row(int y) const { return base + static_cast<std::ptrdiff_t>(y) * stride; }
    // 0xRRGGBB of the pixel at (x, y); callers keep x and y inside the view.
    DWORD ReadRgb(int x, int y) const;
    void WriteRgb(int x, int y, DWORD rgb) const;
};

// The pixels of a DIB section.
PixelView BitmapView(HBITMAP bitmap);

// The pixels a DC draws on: its selected bitmap, or the surface behind it. Invalid for a window DC.
PixelView ViewOf(HDC dc);

// A DC over a surface's pixels, made by the surface's GetDC and ended by its ReleaseDC.
HDC CreateSurfaceDC(IDirectDrawSurface* surface, const PixelView& view);
void DestroySurfaceDC(HDC dc);

} // namespace platform

struct HDC__ {
    enum class Kind { Memory, Surface, Window };
    Kind kind = Kind::Memory;
    HBITMAP bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    platform::PixelView surfaceView;
    IDirectDrawSurface* surface = nullptr;
    HWND window = nullptr;
};
