// The surface wrapper every picture lives in, and the free functions that make, fill, key and
// convert surfaces in the display's pixel format (16 bits 5-6-5 or 5-5-5, 24 or 32 bits).
#pragma once

#include "platform/ddraw.h"
#include "platform/gdi.h"

// Blit flags of a wrapper whose source colour key is set: DDBLT_KEYSRC | DDBLT_WAIT.
inline constexpr DWORD kKeyedBltFlags = 0x01008000;

class CDDrawSurface {
  public:
    CDDrawSurface();
    virtual ~CDDrawSurface();
    CDDrawSurface(const CDDrawSurface&) = delete;
    CDDrawSurface& operator=(const CDDrawSurface&) = delete;

    // Releases the current surface; unless `keep` is set makes one from the DIB bits (24-bit, or
    // 16-bit with `masks` red, green, blue) and, with `colorKey`, keys it from the top-left pixel.
    virtual bool Create(IDirectDraw* dd, const void* bits, SIZE size, BOOL keep, BOOL colorKey,
                        const DWORD* masks);
    virtual bool Release();
    // Brings a lost surface's memory back; the owner reloads the pixels. Always true.
    virtual bool Restore();

    // An empty offscreen surface of the display's format; false (and no surface) when that fails.
    bool CreateEmpty(IDirectDraw* dd, SIZE size);
    // Keys later blits with the pixel at corner 0 top-left, 1 top-right, 2 bottom-left or 3
    // bottom-right. The keyed blit flags are set only once the key is in place.
    bool SetColorKeyFromCorner(int corner);
    // Keys later blits with the raw pixel value `value` of the surface's format.
    bool SetColorKeyValue(DWORD value);
    IDirectDrawSurface* GetSurface() const { return m_pSurface; }
    int GetWidth() const { return m_Width; }
    int GetHeight() const { return m_Height; }
    DWORD GetBltFlags() const { return m_BltFlags; }

    // Blits the whole surface, or `source` of it, with its top-left corner at (x, y). Blits into the
    // render target are clipped to the update region and mark the frame for presenting; every blit is
    // also kept inside the destination surface. The DirectDraw result, 0 when nothing was blitted.
    HRESULT BltTo(IDirectDrawSurface* dest, int x, int y, const RECT* source);
    // A stretching blit clipped to the clip RECT and the destination only; it neither reads the update
    // region nor marks the frame.
    HRESULT BltStretch(IDirectDrawSurface* dest, const RECT* destRect, const RECT* sourceRect);

  private:
    IDirectDrawSurface* m_pSurface;
    LONG m_Width;
    LONG m_Height;
    DWORD m_BltFlags;
    RECT m_ClipRect;
};

// The display's pixel layout, channel by channel: index 0 blue, 1 green, 2 red.
struct SurfacePixelFormat {
    DWORD bitCount;
    BYTE maxValue[3]; // the mask shifted down to bit 0 (cut to a byte)
    BYTE dropBits[3]; // bits an 8-bit component loses: 3 for a 5-bit channel, else 2
    BYTE shift[3];    // index of the mask's lowest set bit
};

// Red, green, blue masks with their maximum and shift.
struct RgbChannelMasks {
    DWORD redMask;
    WORD redMax;
    BYTE redShift;
    DWORD greenMask;
    WORD greenMax;
    BYTE greenShift;
    DWORD blueMask;
    WORD blueMax;
    BYTE blueShift;
};

// The masks of a 16-bit BI_BITFIELDS DIB: blue, green, red.
struct BitfieldAnalysis {
    DWORD size; // must hold 40
    DWORD blueMask;
    DWORD blueShift;
    DWORD blueUp; // 3 for a 5-bit channel, else 2
    DWORD greenMask;
    DWORD greenShift;
    DWORD greenUp;
    DWORD redMask;
    DWORD redShift;
    DWORD redUp;
};

// DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH with DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY; null on failure
// (traced as " Create Surface Miss").
IDirectDrawSurface* CreateOffscreenSurface(IDirectDraw* dd, SIZE size);
IDirectDrawSurface* CreateSurfaceFromBits(IDirectDraw* dd, const void* bits, SIZE size, const DWORD* masks);
// The raw colour value of the surface's format (0xFFFFFF is white at every depth; a 16-bit surface
// takes its low 16 bits), onto `rect` or the whole surface. Not clipped; the update region is untouched.
HRESULT FillSurface(IDirectDrawSurface* surface, DWORD color, const RECT* rect);
bool SetColorKeyTopLeft(IDirectDrawSurface* surface);
bool GetSurfacePixelFormat(IDirectDrawSurface* surface, SurfacePixelFormat* format);
bool GetSurfaceRgbMasks(IDirectDrawSurface* surface, RgbChannelMasks* masks);
void CalcRgbShifts(RgbChannelMasks* masks, DWORD redMask, DWORD greenMask, DWORD blueMask);
bool AnalyseBitfieldMasks(const BITMAPINFO* info, BitfieldAnalysis* analysis);
BYTE ConvertMaskedChannel(DWORD value, DWORD mask, DWORD shift, DWORD up);
// A bottom-up DIB without row padding: 24-bit blue, green, red without masks, 16-bit with masks
// (red, green, blue). Rows and columns beyond the surface are left out.
bool CopyDibToSurface(IDirectDrawSurface* surface, const void* bits, int width, int height,
                      const DWORD* masks);
// Draws a DIB (bottom-up, rows padded to 4 bytes) onto the surface at (0, 0) through GDI, converting
// to the surface's format.
bool BltDibToSurface(IDirectDrawSurface* surface, const BITMAPINFO* info, const void* bits);
// " DirectDraw Error NAME \n" to the debugger output; returns 0.
int TraceDDError(HRESULT result);
// The DirectDraw name of a result code, or "Unknown Error".
const char* DDErrorName(HRESULT result);
