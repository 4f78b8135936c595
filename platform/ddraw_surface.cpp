#include "platform/ddraw_internal.h"
#include "platform/display_backend.h"
#include "platform/gdi_internal.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
std::vector<SoftSurface*> g_Surfaces;

int PitchFor(int width, const PixelFormat& format) {
    const int align = std::max(1, Faults().pitchAlignment);
    const int row = width * format.BytesPerPixel();
    return (row + align - 1) / align * align + std::max(0, Faults().pitchPadding);
}

bool RectInside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= width &&
           r.bottom <= height;
}
} // namespace

SoftSurface::SoftSurface(std::shared_ptr<DeviceState> device, int width, int height,
                         const PixelFormat& format, DWORD caps, HWND presentWindow)
    : m_Device(std::move(device)), m_Width(width), m_Height(height), m_Pitch(PitchFor(width, format)),
      m_Format(&format), m_Caps(caps), m_PresentWindow(presentWindow),
      m_Memory(static_cast<std::size_t>(m_Pitch) * static_cast<std::size_t>(height), 0) {
    g_Surfaces.push_back(this);
}

SoftSurface::~SoftSurface() {
    std::erase(g_Surfaces, this);
    if (m_DC) DestroySurfaceDC(m_DC);
    if (m_Clipper) m_Clipper->Release();
}

const std::vector<SoftSurface*>& SoftSurface::All() {
    return g_Surfaces;
}

void SoftSurface::LoseAll() {
    for (SoftSurface* s : g_Surfaces)
        s->m_Lost = true;
}

DWORD SoftSurface::Release() {
    const DWORD left = --m_Refs;
    if (left == 0) delete this;
    return left;
}

void SoftSurface::FillDesc(DDSURFACEDESC* desc) const {
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(m_Width);
    desc->dwHeight = static_cast<DWORD>(m_Height);
    desc->lPitch = m_Pitch;
    desc->ddsCaps.dwCaps = m_Caps;
    DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
    pf.dwSize = sizeof pf;
    pf.dwFlags = m_Format->layout == PixelLayout::Pal8 ? (DDPF_RGB | DDPF_PALETTEINDEXED8) : DDPF_RGB;
    pf.dwRGBBitCount = static_cast<DWORD>(m_Format->bitsPerPixel);
    pf.dwRBitMask = m_Format->redMask;
    pf.dwGBitMask = m_Format->greenMask;
    pf.dwBBitMask = m_Format->blueMask;
    if (m_HasKey) {
        desc->dwFlags |= DDSD_CKSRCBLT;
        desc->ddckCKSrcBlt = m_Key;
    }
}

HRESULT SoftSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
    if (!desc) return DDERR_INVALIDPARAMS;
    FillDesc(desc);
    return DD_OK;
}

HRESULT SoftSurface::GetPixelFormat(DDPIXELFORMAT* format) {
    if (!format) return DDERR_INVALIDPARAMS;
    DDSURFACEDESC desc;
    FillDesc(&desc);
    *format = desc.ddpfPixelFormat;
    return DD_OK;
}

HRESULT SoftSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, HANDLE) {
    if (!desc) return DDERR_INVALIDPARAMS;
    if (Lost()) return DDERR_SURFACELOST;
    if (Busy()) return DDERR_SURFACEBUSY;
    RECT r{0, 0, m_Width, m_Height};
    if (rect) {
        if (!RectInside(*rect, m_Width, m_Height)) return DDERR_INVALIDRECT;
        r = *rect;
    }
    FillDesc(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = m_Memory.data() + static_cast<std::size_t>(r.top) * m_Pitch +
                      static_cast<std::size_t>(r.left) * m_Format->BytesPerPixel();
    ++m_LockCount;
    return DD_OK;
}

HRESULT SoftSurface::Unlock(void*) {
    if (m_LockCount == 0) return DDERR_NOTLOCKED;
    --m_LockCount;
    return DD_OK;
}

HRESULT SoftSurface::SetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
    if (Lost()) return DDERR_SURFACELOST;
    if (!key) {
        m_HasKey = false;
        return DD_OK;
    }
    m_Key = *key;
    m_HasKey = true;
    return DD_OK;
}

HRESULT SoftSurface::GetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (!key || !(flags & DDCKEY_SRCBLT)) return DDERR_INVALIDPARAMS;
    if (!m_HasKey) return DDERR_NOCOLORKEY;
    *key = m_Key;
    return DD_OK;
}

HRESULT SoftSurface::IsLost() {
    return Lost() ? DDERR_SURFACELOST : DD_OK;
}

HRESULT SoftSurface::Restore() {
    if (!m_Device->alive) return DDERR_WRONGMODE;
    if (!m_Lost) return DD_OK;
    // Memory of the old mode cannot come back in a new one: the owner makes a new surface.
    if (&CurrentDisplayFormat() != m_Format) return DDERR_WRONGMODE;
    if (Faults().failRestore) return DDERR_GENERIC;
    std::fill(m_Memory.begin(), m_Memory.end(), 0);
    m_Lost = false;
    return DD_OK;
}

HRESULT SoftSurface::GetDC(HDC* dc) {
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (Lost()) return DDERR_SURFACELOST;
    if (m_DC) return DDERR_DCALREADYCREATED;
    if (m_LockCount > 0) return DDERR_SURFACEBUSY;
    PixelView view;
    view.base = m_Memory.data();
    view.stride = m_Pitch;
    view.width = m_Width;
    view.height = m_Height;
    view.format = m_Format;
    m_DC = CreateSurfaceDC(this, view);
    if (!m_DC) return DDERR_CANTCREATEDC;
    *dc = m_DC;
    return DD_OK;
}

HRESULT SoftSurface::ReleaseDC(HDC dc) {
    if (!dc || dc != m_DC) return DDERR_NODC;
    DestroySurfaceDC(m_DC);
    m_DC = nullptr;
    if (IsPrimary()) PresentPrimary(nullptr);
    return DD_OK;
}

HRESULT SoftSurface::SetClipper(IDirectDrawClipper* clipper) {
    if (m_Clipper) m_Clipper->Release();
    m_Clipper = static_cast<SoftClipper*>(clipper);
    if (m_Clipper) m_Clipper->AddRef();
    return DD_OK;
}

void SoftSurface::PresentPrimary(const RECT* changed) {
    HWND window = m_Clipper && m_Clipper->Window() ? m_Clipper->Window() : m_PresentWindow;
    ++Faults().presents;
    if (window && IsWindow(window))
        Backend().Present(window, *m_Format, m_Memory.data(), m_Pitch, m_Width, m_Height, changed);
}

} // namespace platform
