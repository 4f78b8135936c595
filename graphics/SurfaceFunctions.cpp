// Making, filling and describing surfaces in the display's format.
#include "graphics/DDrawSurface.h"

#include "platform/debug.h"

#include <bit>

namespace {
BYTE LowestBit(DWORD mask) {
    return mask ? static_cast<BYTE>(std::countr_zero(mask)) : 0;
}

bool ReadPixelFormat(IDirectDrawSurface* surface, DDPIXELFORMAT* format) {
    if (!surface) return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_PIXELFORMAT;
    if (surface->GetSurfaceDesc(&desc) != DD_OK) return false;
    *format = desc.ddpfPixelFormat;
    return true;
}
} // namespace

IDirectDrawSurface* CreateOffscreenSurface(IDirectDraw* dd, SIZE size) {
    if (!dd) return nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(size.cx);
    desc.dwHeight = static_cast<DWORD>(size.cy);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    const HRESULT hr =
        (size.cx > 0 && size.cy > 0) ? dd->CreateSurface(&desc, &surface, nullptr) : DDERR_INVALIDPARAMS;
    if (hr != DD_OK) {
        OutputDebugStringA(" Create Surface Miss\n");
        TraceDDError(hr);
        return nullptr;
    }
    return surface;
}

IDirectDrawSurface* CreateSurfaceFromBits(IDirectDraw* dd, const void* bits, SIZE size, const DWORD* masks) {
    IDirectDrawSurface* surface = CreateOffscreenSurface(dd, size);
    if (!surface) return nullptr;
    if (!CopyDibToSurface(surface, bits, size.cx, size.cy, masks)) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

HRESULT FillSurface(IDirectDrawSurface* surface, DWORD color, const RECT* rect) {
    if (!surface) return DDERR_INVALIDPARAMS;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    RECT r{};
    if (rect) r = *rect;
    return surface->Blt(rect ? &r : nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

bool GetSurfacePixelFormat(IDirectDrawSurface* surface, SurfacePixelFormat* format) {
    DDPIXELFORMAT pf;
    if (!format || !ReadPixelFormat(surface, &pf)) return false;
    format->bitCount = pf.dwRGBBitCount;
    const DWORD masks[3] = {pf.dwBBitMask, pf.dwGBitMask, pf.dwRBitMask};
    for (int i = 0; i < 3; ++i) {
        const BYTE shift = LowestBit(masks[i]);
        const DWORD max = masks[i] >> shift;
        format->maxValue[i] = static_cast<BYTE>(max > 0xFF ? 0xFF : max);
        format->dropBits[i] = max == 31 ? 3 : 2;
        format->shift[i] = shift;
    }
    return true;
}

void CalcRgbShifts(RgbChannelMasks* masks, DWORD redMask, DWORD greenMask, DWORD blueMask) {
    if (!masks) return;
    masks->redMask = redMask;
    masks->redShift = LowestBit(redMask);
    masks->redMax = static_cast<WORD>(redMask >> masks->redShift);
    masks->greenMask = greenMask;
    masks->greenShift = LowestBit(greenMask);
    masks->greenMax = static_cast<WORD>(greenMask >> masks->greenShift);
    masks->blueMask = blueMask;
    masks->blueShift = LowestBit(blueMask);
    masks->blueMax = static_cast<WORD>(blueMask >> masks->blueShift);
}

bool GetSurfaceRgbMasks(IDirectDrawSurface* surface, RgbChannelMasks* masks) {
    DDPIXELFORMAT pf;
    if (!masks || !ReadPixelFormat(surface, &pf)) return false;
    CalcRgbShifts(masks, pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask);
    return true;
}
