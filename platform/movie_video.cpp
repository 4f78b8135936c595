// The video windows: each graph's picture painted into its owner's client area on the main thread,
// as the message loop waits.
#include "platform/display_backend.h"
#include "platform/movie_internal.h"
#include "platform/time.h"

#include <algorithm>
#include <cstring>

namespace platform::movie {
namespace {
std::vector<VideoWindow*> g_Windows;
int g_Presents = 0;
std::vector<DWORD> g_LastPicture;

void PaintAll() {
    // A paint never makes or frees a window, so the list holds still while it runs.
    for (VideoWindow* w : g_Windows)
        w->Paint();
}
} // namespace

VideoWindow::VideoWindow(MovieEngine* engine) : m_Engine(engine) {
    g_Windows.push_back(this);
}

VideoWindow::~VideoWindow() {
    std::erase(g_Windows, this);
}

void VideoWindow::Paint() {
    HWND owner = m_State.owner;
    if (!m_State.visible || !owner || !IsWindow(owner)) return;
    RECT client;
    GetClientRect(owner, &client);
    const int cw = client.right, ch = client.bottom;
    const int w = m_State.rect.right - m_State.rect.left;
    const int h = m_State.rect.bottom - m_State.rect.top;
    if (cw <= 0 || ch <= 0 || w <= 0 || h <= 0) return;
    VideoPicture picture;
    if (!m_Engine->TakeDuePicture(w, h, m_Repaint, &picture)) return;
    m_Repaint = false;
    // The part of the owner's client area outside the video window stays black.
    m_Canvas.assign(static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch), 0);
    const int x0 = std::max<LONG>(0, m_State.rect.left), x1 = std::min<LONG>(cw, m_State.rect.right);
    const int y0 = std::max<LONG>(0, m_State.rect.top), y1 = std::min<LONG>(ch, m_State.rect.bottom);
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        const std::size_t from = static_cast<std::size_t>(y - m_State.rect.top) * picture.width +
                                 static_cast<std::size_t>(x0 - m_State.rect.left);
        std::memcpy(&m_Canvas[static_cast<std::size_t>(y) * cw + x0], &picture.pixels[from],
                    static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
    }
    Backend().Present(owner, FormatOf(PixelLayout::Xrgb32),
                      reinterpret_cast<const std::uint8_t*>(m_Canvas.data()), cw * 4, cw, ch, nullptr);
    ++g_Presents;
    g_LastPicture.assign(m_Canvas.begin(), m_Canvas.end());
}

} // namespace platform::movie

namespace platform {
void SleepShowingVideo(DWORD ms) {
    if (IsManualClock()) {
        Sleep(ms);
        movie::PaintAll();
        return;
    }
    // Frames come every 17 to 42 ms; a few milliseconds of polling shows each within a frame's time.
    const DWORD start = GetTickCount();
    for (;;) {
        movie::PaintAll();
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) break;
        Sleep(std::min<DWORD>(ms - elapsed, 4));
    }
}

namespace testing {
int VideoPresentCount() {
    return movie::g_Presents;
}

std::vector<DWORD> LastVideoPicture() {
    return movie::g_LastPicture;
}

void HideVideoWindows() {
    for (movie::VideoWindow* w : movie::g_Windows)
        w->State().visible = false;
}
} // namespace testing
} // namespace platform
