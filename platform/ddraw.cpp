#include "platform/ddraw.h"

#include "platform/ddraw_internal.h"
#include "platform/display_backend.h"

namespace platform {
namespace {
// The one display: the desktop, or the full-screen mode that one DirectDraw object holds.
struct DisplayMode {
    bool fullScreen = false;
    PixelLayout layout = PixelLayout::Xrgb32;
    SoftDirectDraw* exclusiveOwner = nullptr;
    HWND window = nullptr;
};
DisplayMode g_Mode;
DisplayFaults g_Faults;

constexpr int kMaxSurfaceSide = 16384;
} // namespace

DisplayFaults& Faults() {
    return g_Faults;
}

void ForgetDisplayMode() {
    g_Mode = DisplayMode{};
}

const PixelFormat& CurrentDisplayFormat() {
    return FormatOf(g_Mode.fullScreen ? g_Mode.layout : Backend().DesktopLayout());
}

bool IsFullScreenActive() {
    return g_Mode.fullScreen;
}

DWORD SoftClipper::Release() {
    const DWORD left = --m_Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT SoftClipper::SetHWnd(DWORD, HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) return DDERR_INVALIDPARAMS;
    m_Window = hwnd;
    return DD_OK;
}

SoftDirectDraw::SoftDirectDraw() : m_Device(std::make_shared<DeviceState>()) {}

SoftDirectDraw::~SoftDirectDraw() {
    RestoreDisplayMode();
    if (g_Mode.exclusiveOwner == this) g_Mode.exclusiveOwner = nullptr;
    m_Device->alive = false;
}

DWORD SoftDirectDraw::Release() {
    const DWORD left = --m_Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT SoftDirectDraw::SetCooperativeLevel(HWND hwnd, DWORD flags) {
    if (hwnd && !IsWindow(hwnd)) return DDERR_INVALIDPARAMS;
    if (flags & DDSCL_EXCLUSIVE) {
        if (!(flags & DDSCL_FULLSCREEN) || !hwnd) return DDERR_INVALIDPARAMS;
        if (g_Mode.exclusiveOwner && g_Mode.exclusiveOwner != this) return DDERR_NOEXCLUSIVEMODE;
        g_Mode.exclusiveOwner = this;
        m_Exclusive = true;
        m_Window = hwnd;
        return DD_OK;
    }
    if (!(flags & DDSCL_NORMAL)) return DDERR_INVALIDPARAMS;
    if (g_Mode.exclusiveOwner == this) {
        RestoreDisplayMode();
        g_Mode.exclusiveOwner = nullptr;
    }
    m_Exclusive = false;
    m_Window = hwnd;
    return DD_OK;
}

HRESULT SoftDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    if (!m_Exclusive) return DDERR_NOEXCLUSIVEMODE;
    if (width != 640 || height != 480) return DDERR_UNSUPPORTEDMODE;
    PixelLayout layout;
    if (!Backend().FullScreenDepth(static_cast<int>(bitsPerPixel), &layout)) return DDERR_UNSUPPORTEDMODE;
    if (!g_Mode.fullScreen && !Backend().SetFullScreen(m_Window, true)) return DDERR_GENERIC;
    const bool changed = !g_Mode.fullScreen || g_Mode.layout != layout;
    g_Mode.fullScreen = true;
    g_Mode.layout = layout;
    g_Mode.window = m_Window;
    // A mode change takes every surface's memory, as the display hardware would.
    if (changed) SoftSurface::LoseAll();
    return DD_OK;
}

HRESULT SoftDirectDraw::RestoreDisplayMode() {
    if (!g_Mode.fullScreen || g_Mode.exclusiveOwner != this) return DD_OK;
    Backend().SetFullScreen(g_Mode.window, false);
    g_Mode.fullScreen = false;
    g_Mode.window = nullptr;
    SoftSurface::LoseAll();
    return DD_OK;
}

HRESULT SoftDirectDraw::GetDisplayMode(DDSURFACEDESC* desc) {
    if (!desc) return DDERR_INVALIDPARAMS;
    const PixelFormat& format = CurrentDisplayFormat();
    const SIZE size = g_Mode.fullScreen ? SIZE{640, 480} : Backend().DesktopSize();
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(size.cx);
    desc->dwHeight = static_cast<DWORD>(size.cy);
    desc->ddpfPixelFormat.dwSize = sizeof desc->ddpfPixelFormat;
    desc->ddpfPixelFormat.dwFlags =
        format.layout == PixelLayout::Pal8 ? (DDPF_RGB | DDPF_PALETTEINDEXED8) : DDPF_RGB;
    desc->ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(format.bitsPerPixel);
    desc->ddpfPixelFormat.dwRBitMask = format.redMask;
    desc->ddpfPixelFormat.dwGBitMask = format.greenMask;
    desc->ddpfPixelFormat.dwBBitMask = format.blueMask;
    return DD_OK;
}

HRESULT SoftDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void*) {
    if (!desc || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
    if (g_Faults.failCreateCount != 0 && (g_Faults.failCreateCaps == 0 || (caps & g_Faults.failCreateCaps))) {
        if (g_Faults.failCreateCount > 0) --g_Faults.failCreateCount;
        return DDERR_OUTOFMEMORY;
    }
    const PixelFormat& format = CurrentDisplayFormat();
    int width = 640, height = 480;
    if (!(caps & DDSCAPS_PRIMARYSURFACE)) {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        if (desc->dwWidth < 1 || desc->dwHeight < 1 || desc->dwWidth > kMaxSurfaceSide ||
            desc->dwHeight > kMaxSurfaceSide)
            return DDERR_INVALIDPARAMS;
        width = static_cast<int>(desc->dwWidth);
        height = static_cast<int>(desc->dwHeight);
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            const DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
            if (pf.dwRGBBitCount != static_cast<DWORD>(format.bitsPerPixel) ||
                pf.dwRBitMask != format.redMask || pf.dwGBitMask != format.greenMask ||
                pf.dwBBitMask != format.blueMask)
                return DDERR_INVALIDPIXELFORMAT;
        }
    } else if (!m_Window) {
        return DDERR_INVALIDPARAMS;
    }
    *surface = new SoftSurface(m_Device, width, height, format, caps, m_Window);
    return DD_OK;
}

HRESULT SoftDirectDraw::CreateClipper(DWORD, IDirectDrawClipper** clipper, void*) {
    if (!clipper) return DDERR_INVALIDPARAMS;
    *clipper = new SoftClipper;
    return DD_OK;
}

} // namespace platform

HRESULT DirectDrawCreate(void*, IDirectDraw** out, void*) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (platform::Faults().failDirectDrawCreate) return DDERR_GENERIC;
    *out = new platform::SoftDirectDraw;
    return DD_OK;
}
