// The display: a DirectDraw object, the primary surface, clippers and off-screen surfaces in the
// display's pixel format. Surfaces are plain memory; the primary is what the window shows.
#pragma once

#include "platform/base.h"
#include "platform/window.h"

struct HDC__;
using HDC = HDC__*;

enum : HRESULT { DD_OK = 0 };

// Result codes. Failures are negative, as every caller tests them against 0 or by name.
inline constexpr HRESULT MakeDDResult(unsigned code) {
    return static_cast<HRESULT>(0x88760000u | code);
}
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_INVALIDCAPS = MakeDDResult(100);
inline constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDResult(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDDResult(145);
inline constexpr HRESULT DDERR_INVALIDRECT = MakeDDResult(150);
inline constexpr HRESULT DDERR_NOCOLORKEY = MakeDDResult(215);
inline constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDDResult(225);
inline constexpr HRESULT DDERR_SURFACEBUSY = MakeDDResult(430);
inline constexpr HRESULT DDERR_SURFACELOST = MakeDDResult(450);
inline constexpr HRESULT DDERR_NOTLOCKED = MakeDDResult(584);
inline constexpr HRESULT DDERR_WRONGMODE = MakeDDResult(587);
inline constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeDDResult(590);
inline constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDResult(564);
inline constexpr HRESULT DDERR_CANTCREATEDC = MakeDDResult(610);
inline constexpr HRESULT DDERR_DCALREADYCREATED = MakeDDResult(620);
inline constexpr HRESULT DDERR_NODC = MakeDDResult(583);

// Surface description flags.
enum : DWORD {
    DDSD_CAPS = 0x00000001,
    DDSD_HEIGHT = 0x00000002,
    DDSD_WIDTH = 0x00000004,
    DDSD_PITCH = 0x00000008,
    DDSD_LPSURFACE = 0x00000800,
    DDSD_PIXELFORMAT = 0x00001000,
    DDSD_CKSRCBLT = 0x00010000,
};
// Surface capabilities.
enum : DWORD {
    DDSCAPS_OFFSCREENPLAIN = 0x00000040,
    DDSCAPS_PRIMARYSURFACE = 0x00000200,
    DDSCAPS_SYSTEMMEMORY = 0x00000800,
};
// Blit flags.
enum : DWORD {
    DDBLT_COLORFILL = 0x00000400,
    DDBLT_KEYSRC = 0x00008000,
    DDBLT_WAIT = 0x01000000,
};
// Lock flags.
enum : DWORD {
    DDLOCK_SURFACEMEMORYPTR = 0x00000000,
    DDLOCK_WAIT = 0x00000001,
    DDLOCK_READONLY = 0x00000010,
    DDLOCK_WRITEONLY = 0x00000020,
};
enum : DWORD { DDCKEY_SRCBLT = 0x00000008 };
// Cooperative levels.
enum : DWORD { DDSCL_FULLSCREEN = 0x00000001, DDSCL_NORMAL = 0x00000008, DDSCL_EXCLUSIVE = 0x00000010 };
// Pixel format flags.
enum : DWORD { DDPF_PALETTEINDEXED8 = 0x00000020, DDPF_RGB = 0x00000040 };

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwFillColor;
};

struct IDirectDrawClipper;

// Reference-counted like their COM originals: Release deletes the object when the last reference goes.
struct IDirectDrawSurface {
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    // A null destination RECT is the whole surface, a null source RECT the whole source. Both RECTs
    // must lie inside their surfaces (DDERR_INVALIDRECT otherwise), except on a surface with a clipper,
    // where the destination is in screen coordinates and clipped to the window. Sizes that differ
    // stretch. Nothing outside either RECT is ever read or written.
    virtual HRESULT Blt(RECT* destRect, IDirectDrawSurface* source, RECT* sourceRect, DWORD flags,
                        DDBLTFX* fx) = 0;
    // Fills lpSurface, lPitch, size and pixel format; lpSurface points at the RECT's first pixel.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(void* rectOrPointer) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    // DDERR_SURFACELOST while the memory is lost, DD_OK otherwise.
    virtual HRESULT IsLost() = 0;
    // Brings the memory back (its content is undefined until the owner reloads it).
    virtual HRESULT Restore() = 0;
    // A GDI device context over the pixels; the surface counts as locked until ReleaseDC.
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;

  protected:
    virtual ~IDirectDrawSurface() = default;
};

struct IDirectDrawClipper {
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    virtual HRESULT SetHWnd(DWORD flags, HWND hwnd) = 0;

  protected:
    virtual ~IDirectDrawClipper() = default;
};

struct IDirectDraw {
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
    // Full screen only: the 640x480 picture in that depth, scaled onto the desktop's full screen.
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC* desc) = 0;
    // Off-screen surfaces take the display's pixel format; a DDSD_PIXELFORMAT asks for that format only.
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) = 0;

  protected:
    virtual ~IDirectDraw() = default;
};

// guid null: the default device.
HRESULT DirectDrawCreate(void* guid, IDirectDraw** out, void* outer);
