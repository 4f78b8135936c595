#include "graphics/UpdateRegion.h"

IDirectDrawSurface* g_pRenderTarget = nullptr;
UpdateRegion g_UpdateRegion = {{0, 0, 0, 0}, 0, 0};
BYTE g_bPresentNeeded = 0;

namespace {
// The bounding box of the regions of the frames that drew since the last present.
RECT g_DrawnRect = {0, 0, 0, 0};
bool g_bDrawnKept = false;

void KeepDrawnRegion() {
    if (!g_bPresentNeeded || !g_UpdateRegion.pending) return;
    if (g_bDrawnKept)
        UnionUpdateRect(&g_DrawnRect, &g_UpdateRegion.rect);
    else
        g_DrawnRect = g_UpdateRegion.rect;
    g_bDrawnKept = true;
}
} // namespace

void SetRenderTarget(IDirectDrawSurface* surface) {
    g_pRenderTarget = surface;
}

IDirectDrawSurface* GetRenderTarget() {
    return g_pRenderTarget;
}

void UnionUpdateRect(RECT* target, const RECT* rect) {
    if (!target || !rect) return;
    if (rect->left < target->left) target->left = rect->left;
    if (rect->top < target->top) target->top = rect->top;
    if (rect->right > target->right) target->right = rect->right;
    if (rect->bottom > target->bottom) target->bottom = rect->bottom;
}

void AddUpdateRect(const RECT* rect) {
    if (!rect) {
        KeepDrawnRegion();
        g_UpdateRegion.pending = 0;
        return;
    }
    if (g_UpdateRegion.pending)
        UnionUpdateRect(&g_UpdateRegion.rect, rect);
    else
        g_UpdateRegion.rect = *rect;
    g_UpdateRegion.pending = 1;
    RECT& r = g_UpdateRegion.rect;
    if (r.left < 0) r.left = 0;
    if (r.right >= 640) r.right = 640;
    if (r.top < 0) r.top = 0;
    if (r.bottom >= 480) r.bottom = 480;
    g_UpdateRegion.updateMode = 1;
}

RECT* GetUpdateRect(RECT* out) {
    if (!out) return nullptr;
    *out = g_UpdateRegion.rect;
    return g_UpdateRegion.pending ? out : nullptr;
}

BOOL IsPresentNeeded() {
    return g_bPresentNeeded ? TRUE : FALSE;
}

void ClearPresentNeeded() {
    g_bPresentNeeded = 0;
    g_bDrawnKept = false;
}

RECT* GetDrawnRect(RECT* out) {
    if (!out || !g_bPresentNeeded) return nullptr;
    if (!g_bDrawnKept && !g_UpdateRegion.pending) return nullptr;
    if (g_bDrawnKept && g_UpdateRegion.pending) {
        *out = g_DrawnRect;
        UnionUpdateRect(out, &g_UpdateRegion.rect);
    } else {
        *out = g_bDrawnKept ? g_DrawnRect : g_UpdateRegion.rect;
    }
    return out;
}

void ResetUpdateRegion() {
    g_pRenderTarget = nullptr;
    g_UpdateRegion = UpdateRegion{{0, 0, 0, 0}, 0, 0};
    g_bPresentNeeded = 0;
    g_bDrawnKept = false;
}
