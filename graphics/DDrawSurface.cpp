#include "graphics/DDrawSurface.h"

CDDrawSurface::CDDrawSurface() : m_pSurface(nullptr), m_Width(0), m_Height(0), m_BltFlags(0) {
    SetRect(&m_ClipRect, 0, 0, 640, 480);
}

CDDrawSurface::~CDDrawSurface() {
    CDDrawSurface::Release();
}

bool CDDrawSurface::Create(IDirectDraw* dd, const void* bits, SIZE size, BOOL keep, BOOL colorKey,
                           const DWORD* masks) {
    Release();
    if (keep) return true;
    m_pSurface = CreateSurfaceFromBits(dd, bits, size, masks);
    if (!m_pSurface) return false;
    m_Width = size.cx;
    m_Height = size.cy;
    if (colorKey && SetColorKeyTopLeft(m_pSurface)) m_BltFlags = kKeyedBltFlags;
    return true;
}

bool CDDrawSurface::Release() {
    if (m_pSurface) {
        m_pSurface->Release();
        m_pSurface = nullptr;
    }
    // The key went with the surface; keyed blits of the next one would fail for want of a key.
    m_BltFlags = 0;
    return true;
}

bool CDDrawSurface::Restore() {
    if (m_pSurface && m_pSurface->IsLost() != DD_OK) m_pSurface->Restore();
    return true;
}

bool CDDrawSurface::CreateEmpty(IDirectDraw* dd, SIZE size) {
    Release();
    m_pSurface = CreateOffscreenSurface(dd, size);
    if (!m_pSurface) return false;
    m_Width = size.cx;
    m_Height = size.cy;
    return true;
}

namespace {
// The key is read from that corner pixel's own bytes, so a corner at the very end of the surface never
// reads past it.
bool SetColorKeyFromSurfaceCorner(IDirectDrawSurface* surface, int corner) {
    if (!surface || corner < 0 || corner > 3) return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->GetSurfaceDesc(&desc) != DD_OK || desc.dwWidth == 0 || desc.dwHeight == 0) return false;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
    const DWORD bytes = bits >= 8 ? bits / 8 : 1;
    const DWORD row = corner >= 2 ? desc.dwHeight - 1 : 0;
    const DWORD column = (corner == 1 || corner == 3) ? desc.dwWidth - 1 : 0;
    const BYTE* p = static_cast<const BYTE*>(desc.lpSurface) + static_cast<std::size_t>(row) * desc.lPitch +
                    static_cast<std::size_t>(column) * bytes;
    DWORD value = 0;
    for (DWORD i = 0; i < bytes && i < 4; ++i)
        value |= static_cast<DWORD>(p[i]) << (8 * i);
    surface->Unlock(nullptr);
    if (bits < 32) value &= (1u << bits) - 1u;
    DDCOLORKEY key{value, value};
    return surface->SetColorKey(DDCKEY_SRCBLT, &key) == DD_OK;
}
} // namespace

bool SetColorKeyTopLeft(IDirectDrawSurface* surface) {
    return SetColorKeyFromSurfaceCorner(surface, 0);
}

bool CDDrawSurface::SetColorKeyValue(DWORD value) {
    DDCOLORKEY key{value, value};
    if (!m_pSurface || m_pSurface->SetColorKey(DDCKEY_SRCBLT, &key) != DD_OK) return false;
    m_BltFlags = kKeyedBltFlags;
    return true;
}

bool CDDrawSurface::SetColorKeyFromCorner(int corner) {
    if (!SetColorKeyFromSurfaceCorner(m_pSurface, corner)) return false;
    m_BltFlags = kKeyedBltFlags;
    return true;
}
