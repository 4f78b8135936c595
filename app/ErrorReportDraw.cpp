#include "app/ErrorReport.h"

#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/gdi_font.h"

#include <cstring>

namespace {
constexpr int kLeft = 64;
constexpr int kTop = 64;
constexpr int kLineStep = 32;
constexpr int kLineHeight = 16;
} // namespace

HRESULT DrawErrorReport(IDirectDrawSurface* target) {
    RECT region;
    if (!target || !GetUpdateRect(&region)) return DD_OK;
    const HRESULT filled = FillSurface(target, 0, &region);
    if (filled != DD_OK) return filled;
    g_bPresentNeeded = 1;

    // A line's cells are opaque: one that the region meets is drawn whole, and what falls outside the
    // region is drawn again as it already stands.
    const auto meets = [&region](int i) {
        const int top = kTop + kLineStep * i;
        return region.top < top + kLineHeight && region.bottom > top;
    };
    bool any = false;
    for (int i = 0; GetErrorReportLine(i); ++i)
        any = any || meets(i);
    if (!any) return DD_OK;
    HFONT font = CreateFontA(16, 8, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, nullptr);
    HDC dc = nullptr;
    if (target->GetDC(&dc) == DD_OK && dc) {
        // The device context's own colours: black text on white cells.
        HGDIOBJ old = SelectObject(dc, font);
        for (int i = 0; const char* line = GetErrorReportLine(i); ++i)
            if (meets(i))
                TextOutA(dc, kLeft, kTop + kLineStep * i, line, static_cast<int>(std::strlen(line)));
        SelectObject(dc, old);
        target->ReleaseDC(dc);
    }
    DeleteObject(font);
    return DD_OK;
}
