// The clipping blit: every picture reaches the back buffer through here.
#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"

#include <algorithm>

namespace {
// The destination's own bounds, whatever the clip RECT or the update region says.
RECT KeepInside(RECT clip, IDirectDrawSurface* dest) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (dest->GetSurfaceDesc(&desc) != DD_OK) return RECT{0, 0, 0, 0};
    clip.left = std::max<LONG>(clip.left, 0);
    clip.top = std::max<LONG>(clip.top, 0);
    clip.right = std::min<LONG>(clip.right, static_cast<LONG>(desc.dwWidth));
    clip.bottom = std::min<LONG>(clip.bottom, static_cast<LONG>(desc.dwHeight));
    return clip;
}

// A rectangle whose edges may lie beyond 32 bits while it is being clipped.
struct Edges {
    long long left, top, right, bottom;
    RECT Rect() const {
        return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                    static_cast<LONG>(bottom)};
    }
};
} // namespace

HRESULT CDDrawSurface::BltTo(IDirectDrawSurface* dest, int x, int y, const RECT* source) {
    if (!m_pSurface || !dest) return 0;
    const bool toTarget = dest == g_pRenderTarget;
    if (!g_UpdateRegion.updateMode && toTarget) return 0;

    // Scripts place pictures anywhere in 32 bits: the edges are worked out in 64 bits, where no sum of
    // a position and a size can overflow, and only a rectangle cut inside both surfaces comes back.
    Edges src, dst;
    if (source) {
        src = Edges{std::max<LONG>(source->left, 0), std::max<LONG>(source->top, 0),
                    std::min<LONG>(source->right, m_Width), std::min<LONG>(source->bottom, m_Height)};
        if (src.right <= src.left || src.bottom <= src.top) return 0;
    } else {
        src = Edges{0, 0, m_Width, m_Height};
    }
    dst = Edges{x, y, x + (src.right - src.left), y + (src.bottom - src.top)};

    RECT clip;
    if (g_UpdateRegion.updateMode && toTarget) {
        if (!g_UpdateRegion.pending) return 0;
        g_bPresentNeeded = 1;
        clip = g_UpdateRegion.rect;
    } else {
        clip = m_ClipRect;
    }
    clip = KeepInside(clip, dest);

    if (dst.left < clip.left) {
        src.left += clip.left - dst.left;
        dst.left = clip.left;
        if (src.left >= src.right) return 0;
    }
    if (dst.right > clip.right) {
        src.right -= dst.right - clip.right;
        dst.right = clip.right;
        if (src.right <= src.left) return 0;
    }
    if (dst.top < clip.top) {
        src.top += clip.top - dst.top;
        dst.top = clip.top;
        if (src.top >= src.bottom) return 0;
    }
    if (dst.bottom > clip.bottom) {
        src.bottom -= dst.bottom - clip.bottom;
        dst.bottom = clip.bottom;
        if (src.bottom <= src.top) return 0;
    }
    RECT s = src.Rect(), d = dst.Rect();
    return dest->Blt(&d, m_pSurface, &s, m_BltFlags | DDBLT_WAIT, nullptr);
}

HRESULT CDDrawSurface::BltStretch(IDirectDrawSurface* dest, const RECT* destRect, const RECT* sourceRect) {
    if (!m_pSurface || !dest) return 0;
    RECT src = sourceRect ? *sourceRect : RECT{0, 0, m_Width, m_Height};
    src.left = std::max<LONG>(src.left, 0);
    src.top = std::max<LONG>(src.top, 0);
    src.right = std::min<LONG>(src.right, m_Width);
    src.bottom = std::min<LONG>(src.bottom, m_Height);
    if (src.right <= src.left || src.bottom <= src.top) return 0;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (dest->GetSurfaceDesc(&desc) != DD_OK) return 0;
    const RECT d =
        destRect ? *destRect : RECT{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
    if (d.right <= d.left || d.bottom <= d.top) return 0;
    const RECT clip = KeepInside(m_ClipRect, dest);
    RECT c{std::max(d.left, clip.left), std::max(d.top, clip.top), std::min(d.right, clip.right),
           std::min(d.bottom, clip.bottom)};
    if (c.right <= c.left || c.bottom <= c.top) return 0;
    // The source loses the share of the destination that was cut off.
    const long long dw = d.right - d.left, dh = d.bottom - d.top;
    const long long sw = src.right - src.left, sh = src.bottom - src.top;
    RECT s{static_cast<LONG>(src.left + (c.left - d.left) * sw / dw),
           static_cast<LONG>(src.top + (c.top - d.top) * sh / dh),
           static_cast<LONG>(src.left + (c.right - d.left) * sw / dw),
           static_cast<LONG>(src.top + (c.bottom - d.top) * sh / dh)};
    if (s.right <= s.left || s.bottom <= s.top) return 0;
    return dest->Blt(&c, m_pSurface, &s, m_BltFlags | DDBLT_WAIT, nullptr);
}
