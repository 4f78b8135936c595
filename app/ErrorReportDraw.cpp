#include "app/ErrorReport.h"

#include "app/RunState.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/gdi_font.h"

#include <cstring>

bool DrawErrorReport(const char* message1, const char* message2, const char* message3) {
    CLayer* background = g_pScreen ? g_pScreen->GetLayer(0) : nullptr;
    if (!background) return false;

    background->Fill(0, nullptr);
    HFONT font = CreateFontA(16, 8, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, nullptr);
    HDC dc = nullptr;
    if (background->GetDC(&dc) == DD_OK && dc) {
        // The device context's own colours: black text on white cells.
        HGDIOBJ old = SelectObject(dc, font);
        const char* lines[3] = {message1, message2, message2 ? message3 : nullptr};
        for (int i = 0; i < 3 && lines[i]; ++i)
            TextOutA(dc, 64, 64 + 32 * i, lines[i], static_cast<int>(std::strlen(lines[i])));
        SelectObject(dc, old);
        background->ReleaseDC(dc);
    }
    AddUpdateRect(GetScreenRect());
    DeleteObject(font);
    return true;
}
