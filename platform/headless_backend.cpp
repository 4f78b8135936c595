#include "platform/headless_backend.h"

#include "platform/ime.h"
#include "platform/window_internal.h"

#include <algorithm>

namespace platform {

bool HeadlessBackend::FullScreenDepth(int bitsPerPixel, PixelLayout* layout) const {
    if (std::find(m_FullScreenDepths.begin(), m_FullScreenDepths.end(), bitsPerPixel) ==
        m_FullScreenDepths.end())
        return false;
    if (layout) *layout = LayoutForDepth(bitsPerPixel, m_Desktop);
    return true;
}

void HeadlessBackend::CancelComposition(HWND hwnd) {
    ++m_Cancels;
    DeliverImeComposition(hwnd, "", 0, 0);
}

bool HeadlessBackend::OpenWindow(HWND hwnd, const char*, const RECT& outer) {
    if (m_Unavailable) return false;
    SetClientOrigin(hwnd, POINT{outer.left, outer.top});
    return true;
}

void HeadlessBackend::MoveWindow(HWND hwnd, int x, int y) {
    SetClientOrigin(hwnd, POINT{x, y});
}

bool HeadlessBackend::SetFullScreen(HWND hwnd, bool on) {
    if (on) {
        SetClientOrigin(hwnd, POINT{0, 0});
    } else {
        RECT r{0, 0, 0, 0};
        GetWindowRect(hwnd, &r);
        SetClientOrigin(hwnd, POINT{r.left, r.top});
    }
    return true;
}

void HeadlessBackend::Reset(PixelLayout desktop) {
    m_Desktop = desktop;
    m_DesktopSize = SIZE{1024, 768};
    m_FullScreenDepths = {FormatOf(desktop).bitsPerPixel};
    m_FullScreenWidth = 640;
    m_Unavailable = false;
    m_TextInput = false;
    m_Cancels = 0;
}

HeadlessBackend& TheHeadlessBackend() {
    static HeadlessBackend backend;
    return backend;
}

} // namespace platform
