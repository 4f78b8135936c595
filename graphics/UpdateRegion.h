// The one update region of a frame, the render target every picture is finally drawn into, and the
// flag that tells the present step a blit reached it.
#pragma once

#include "platform/ddraw.h"

struct UpdateRegion {
    RECT rect;       // back-buffer pixels, right and bottom exclusive
    BYTE pending;    // the RECT holds this frame's region
    BYTE updateMode; // set by the first RECT ever added; until then nothing reaches the render target
};

extern IDirectDrawSurface* g_pRenderTarget;
extern UpdateRegion g_UpdateRegion;
extern BYTE g_bPresentNeeded;

void SetRenderTarget(IDirectDrawSurface* surface);
IDirectDrawSurface* GetRenderTarget();
// A RECT grows the region to the bounding box of both (or starts it) and is clamped to the screen's
// left, top, right and bottom; an empty or inverted RECT is taken as it is. Null empties the region;
// when a blit reached the render target meanwhile, the region (which bounds every such blit) joins the
// part drawn since the last present.
void AddUpdateRect(const RECT* rect);
// Smallest left and top, largest right and bottom, into `target`.
void UnionUpdateRect(RECT* target, const RECT* rect);
// Copies the region into `out` and returns `out`, or null when nothing is pending.
RECT* GetUpdateRect(RECT* out);
BOOL IsPresentNeeded();
// Clears the flag and forgets the drawn part.
void ClearPresentNeeded();
// Copies the part of the render target that blits may have changed since the last present into
// `out` (the regions emptied since, and the one still pending) and returns `out`; null when no blit
// reached the render target, or when the part is not known: the present step then copies all of it.
RECT* GetDrawnRect(RECT* out);
// Everything back to its start-up value (tests begin afresh).
void ResetUpdateRegion();
