// The real window: SDL2 shows the primary surface (what changed of it), scales it onto the desktop
// while full screen, turns SDL events into window messages, and waits for them between frames.
#include "platform/debug.h"
#include "platform/display_backend.h"
#include "platform/frame_pacer.h"
#include "platform/ime.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_present.h"
#include "platform/sdl_x11.h"
#include "platform/text_encoding.h"
#include "platform/window_internal.h"
#include "platform/window_picture.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace {

PixelLayout DepthFromEnvironment() {
    const char* v = std::getenv("QUORIN_DEPTH");
    if (!v) return PixelLayout::Xrgb32;
    if (std::strcmp(v, "16") == 0 || std::strcmp(v, "565") == 0) return PixelLayout::Rgb565;
    if (std::strcmp(v, "555") == 0 || std::strcmp(v, "15") == 0) return PixelLayout::Rgb555;
    if (std::strcmp(v, "24") == 0) return PixelLayout::Rgb24;
    return PixelLayout::Xrgb32;
}

// The renderer SDL_RENDER_DRIVER names, when it names one.
const char* ChosenRenderDriver() {
    const char* v = std::getenv("SDL_RENDER_DRIVER");
    return v && *v ? v : nullptr;
}

long long NowMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

class SdlBackend final : public DisplayBackend {
  public:
    SdlBackend() : m_Desktop(DepthFromEnvironment()) {}
    ~SdlBackend() override { DestroyWindowObjects(); }

    bool IsHeadless() const override { return false; }
    SIZE DesktopSize() const override {
        SDL_DisplayMode mode;
        const int display = m_Window ? SDL_GetWindowDisplayIndex(m_Window) : 0;
        if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return SIZE{640, 480};
        return SIZE{mode.w, mode.h};
    }
    PixelLayout DesktopLayout() const override { return m_Desktop; }
    // The full-screen picture keeps the chosen depth, so whatever depth is on view is what the
    // program really draws in.
    bool FullScreenDepth(int bitsPerPixel, PixelLayout* layout) const override {
        if (bitsPerPixel != FormatOf(m_Desktop).bitsPerPixel) return false;
        if (layout) *layout = m_Desktop;
        return true;
    }
    int FullScreenWidth() const override { return 640; }

    bool OpenWindow(HWND hwnd, const char* title, const RECT& outer) override;
    void CloseWindow(HWND hwnd) override;
    void ShowWindow(HWND hwnd, bool show) override;
    void MoveWindow(HWND hwnd, int x, int y) override;
    bool SetFullScreen(HWND hwnd, bool on) override;
    void Present(HWND hwnd, const PixelFormat& format, const std::uint8_t* pixels, int pitch, int width,
                 int height, const RECT* changed) override;
    void SetSystemCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
    void WarpCursor(HWND hwnd, POINT client) override;
    void SetTextInput(HWND hwnd, bool on) override {
        if (hwnd != m_Hwnd) return;
        if (on)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }
    void CancelComposition(HWND hwnd) override {
        if (hwnd == m_Hwnd) SDL_ClearComposition();
    }

    void Pump(bool wait);
    void WaitForNextFrame();
    SDL_Window* Window() const { return m_Window; }

  private:
    std::unique_ptr<SdlPresenter> CreatePresenter();
    void DestroyWindowObjects();
    void Redraw();
    void SetFrameInterval();
    bool ResizeForFullScreen(bool on);
    void Translate(const SDL_Event& e);
    POINT ToPicture(int x, int y) const {
        return m_Presenter ? m_Presenter->ToPicture(POINT{x, y}) : POINT{x, y};
    }
    static void Release(SDL_Event& e);

    PixelLayout m_Desktop;
    SDL_Window* m_Window = nullptr;
    std::unique_ptr<SdlPresenter> m_Presenter;
    KeptPicture m_Shown;
    HWND m_Hwnd = nullptr;
    bool m_FullScreen = false;
    // No window manager to take the window full screen: it is sized to the display itself.
    bool m_SelfSizedFullScreen = false;
    std::vector<std::uint8_t> m_Converted;
    FramePacer m_Pacer;
    long long m_FrameInterval = 16667; // microseconds
};

SdlBackend* g_Sdl = nullptr;

void PumpSdl(bool wait) {
    if (g_Sdl) g_Sdl->Pump(wait);
}

void WaitForSdlFrame() {
    if (g_Sdl) g_Sdl->WaitForNextFrame();
}

int ShowSdlMessageBox(const char* text, const char* caption, UINT type) {
    const std::string utf8Text = SjisToUtf8(text);
    const std::string utf8Caption = SjisToUtf8(caption);
    SDL_MessageBoxButtonData buttons[2];
    int count = 1;
    if ((type & 0xF) == MB_YESNO) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        count = 2;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
                      "OK"};
    }
    SDL_MessageBoxData data{};
    data.flags = (type & MB_ICONERROR) == MB_ICONERROR ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    data.window = g_Sdl ? g_Sdl->Window() : nullptr;
    data.title = utf8Caption.c_str();
    data.message = utf8Text.c_str();
    data.numbuttons = count;
    data.buttons = buttons;
    int pressed = buttons[0].buttonid;
    if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0) pressed = buttons[count - 1].buttonid;
    return pressed;
}

bool SdlBackend::OpenWindow(HWND hwnd, const char* title, const RECT& outer) {
    if (m_Window) return false; // the program has one window
    m_Window = SDL_CreateWindow(title, outer.left, outer.top, outer.right - outer.left,
                                outer.bottom - outer.top, SDL_WINDOW_HIDDEN);
    if (!m_Window) {
        std::fprintf(stderr, "quorin: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    m_Presenter = CreatePresenter();
    if (!m_Presenter) {
        std::fprintf(stderr, "quorin: cannot draw into the window: %s\n", SDL_GetError());
        DestroyWindowObjects();
        return false;
    }
    m_Shown.Forget();
    m_Hwnd = hwnd;
    m_FullScreen = false;
    m_SelfSizedFullScreen = x11::IsX11(m_Window) && !x11::HasWindowManager(m_Window);
    SetFrameInterval();
    // SDL starts with text input on; the window takes text only while its input method wants it.
    SDL_StopTextInput();
    SetClientOrigin(hwnd, POINT{outer.left, outer.top});
    SetEventPump(PumpSdl);
    SetFrameWaiter(WaitForSdlFrame);
    SetMessageBoxPresenter(ShowSdlMessageBox);
    return true;
}

// SDL_RENDER_DRIVER chooses, "software" being the window's surface. Otherwise a display with graphics
// hardware gets the accelerated renderer, and an X server without (Xvfb, VNC, a remote display) the
// window's surface: OpenGL there is a software rasteriser that costs more than the game and takes
// longer to start than the whole program.
std::unique_ptr<SdlPresenter> SdlBackend::CreatePresenter() {
    const char* driver = ChosenRenderDriver();
    const bool software = driver ? SDL_strcasecmp(driver, "software") == 0
                                 : x11::IsX11(m_Window) && !x11::HasDirectRendering(m_Window);
    if (!software) {
        if (auto presenter =
                CreateRendererPresenter(m_Window, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC))
            return presenter;
    }
    return CreateSurfacePresenter(m_Window);
}

void SdlBackend::SetFrameInterval() {
    SDL_DisplayMode mode;
    const bool known = m_Window && SDL_GetWindowDisplayMode(m_Window, &mode) == 0 && mode.refresh_rate > 0;
    m_FrameInterval = 1000000 / (known ? mode.refresh_rate : 60);
}

void SdlBackend::DestroyWindowObjects() {
    m_Presenter.reset();
    if (m_Window) SDL_DestroyWindow(m_Window);
    m_Window = nullptr;
}

void SdlBackend::CloseWindow(HWND hwnd) {
    if (hwnd != m_Hwnd) return;
    DestroyWindowObjects();
    m_Hwnd = nullptr;
    SetFrameWaiter(nullptr);
    SetMessageBoxPresenter(nullptr);
}

void SdlBackend::ShowWindow(HWND hwnd, bool show) {
    if (hwnd != m_Hwnd || !m_Window) return;
    if (show) {
        SDL_ShowWindow(m_Window);
        SDL_RaiseWindow(m_Window);
        Redraw();
    } else {
        SDL_HideWindow(m_Window);
    }
}

void SdlBackend::MoveWindow(HWND hwnd, int x, int y) {
    if (hwnd != m_Hwnd || !m_Window || m_FullScreen) return;
    SDL_SetWindowPosition(m_Window, x, y);
    SetClientOrigin(hwnd, POINT{x, y});
}

bool SdlBackend::SetFullScreen(HWND hwnd, bool on) {
    if (hwnd != m_Hwnd || !m_Window) return false;
    if (m_SelfSizedFullScreen) {
        if (!ResizeForFullScreen(on)) return false;
    } else if (SDL_SetWindowFullscreen(m_Window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return false;
    }
    m_FullScreen = on;
    if (on) {
        SetClientOrigin(hwnd, POINT{0, 0});
    } else {
        RECT r{0, 0, 0, 0};
        GetWindowRect(hwnd, &r);
        SDL_SetWindowPosition(m_Window, r.left, r.top);
        SetClientOrigin(hwnd, POINT{r.left, r.top});
    }
    SetFrameInterval();
    Redraw();
    return true;
}

// Without a window manager nobody answers a request for full screen (SDL waits a tenth of a second
// for an answer and the window keeps its size): the window covers the display itself, and goes back
// to the picture's size.
bool SdlBackend::ResizeForFullScreen(bool on) {
    if (on) {
        const int display = SDL_GetWindowDisplayIndex(m_Window);
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0) return false;
        SDL_SetWindowPosition(m_Window, bounds.x, bounds.y);
        SDL_SetWindowSize(m_Window, bounds.w, bounds.h);
    } else {
        RECT r{0, 0, 0, 0};
        GetWindowRect(m_Hwnd, &r);
        SDL_SetWindowSize(m_Window, r.right - r.left, r.bottom - r.top);
    }
    return true;
}

void SdlBackend::Present(HWND hwnd, const PixelFormat& format, const std::uint8_t* pixels, int pitch,
                         int width, int height, const RECT* changed) {
    if (hwnd != m_Hwnd || !m_Presenter) return;
    const PixelFormat* shown = &format;
    if (format.layout == PixelLayout::Pal8) {
        // An 8-bit desktop never gets this far in the game; show it as grey all the same.
        m_Converted.resize(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const DWORD rgb = PixelToRgb(format, pixels[static_cast<std::size_t>(y) * pitch + x]);
                std::memcpy(&m_Converted[(static_cast<std::size_t>(y) * width + x) * 4], &rgb, 4);
            }
        shown = &FormatOf(PixelLayout::Xrgb32);
        pixels = m_Converted.data();
        pitch = width * 4;
    }
    // Only what really differs from the picture on view is copied and sent: a frame that drew the same
    // pixels again costs a comparison, not a present.
    const RECT differs = m_Shown.Take(*shown, pixels, pitch, width, height, changed);
    if (differs.right <= differs.left || differs.bottom <= differs.top) return;
    m_Presenter->Show(m_Shown, differs);
    m_Pacer.Moved(NowMicroseconds(), m_FrameInterval);
}

void SdlBackend::Redraw() {
    if (m_Presenter) m_Presenter->ShowAgain(m_Shown);
}

void SdlBackend::WarpCursor(HWND hwnd, POINT client) {
    if (hwnd != m_Hwnd || !m_Window || !m_Presenter) return;
    // Client pixels are the 640x480 picture's: map them through the scale and letter-box.
    const POINT w = m_Presenter->ToWindow(client);
    SDL_WarpMouseInWindow(m_Window, w.x, w.y);
}

void SdlBackend::WaitForNextFrame() {
    for (;;) {
        const long long wait = m_Pacer.WaitBefore(NowMicroseconds(), m_FrameInterval);
        if (wait <= 0) return;
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, static_cast<int>((wait + 999) / 1000))) {
            Translate(e);
            Release(e);
            m_Pacer.Moved(NowMicroseconds(), m_FrameInterval);
            return;
        }
    }
}

void SdlBackend::Pump(bool wait) {
    SDL_Event e;
    bool any = false;
    while (SDL_PollEvent(&e)) {
        Translate(e);
        Release(e);
        any = true;
    }
    if (any) m_Pacer.Moved(NowMicroseconds(), m_FrameInterval);
    if (wait && !any && SDL_WaitEventTimeout(&e, 10)) {
        Translate(e);
        Release(e);
    }
}

// The one event that owns memory: a long composition's text.
void SdlBackend::Release(SDL_Event& e) {
    if (e.type == SDL_TEXTEDITING_EXT) SDL_free(e.editExt.text);
}

void SdlBackend::Translate(const SDL_Event& e) {
    if (!m_Hwnd) return;
    switch (e.type) {
    case SDL_QUIT:
        DeliverClose(m_Hwnd);
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            DeliverClose(m_Hwnd);
            break;
        case SDL_WINDOWEVENT_MOVED:
            if (!m_FullScreen) DeliverMoved(m_Hwnd, POINT{e.window.data1, e.window.data2});
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Redraw();
            DeliverExposed(m_Hwnd);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A window surface of the new size holds nothing yet.
            Redraw();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            DeliverActivate(m_Hwnd, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            DeliverActivate(m_Hwnd, false);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            DeliverLeave(m_Hwnd);
            break;
        default:
            break;
        }
        break;
    case SDL_MOUSEMOTION:
        DeliverMouseMove(m_Hwnd, ToPicture(e.motion.x, e.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        UINT msg = 0;
        if (e.button.button == SDL_BUTTON_LEFT)
            msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        if (msg) DeliverMouseButton(m_Hwnd, msg, ToPicture(e.button.x, e.button.y));
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches) DeliverWheel(m_Hwnd, notches * WHEEL_DELTA);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const UINT vk = VirtualKeyOf(e.key.keysym.sym))
            DeliverKey(m_Hwnd, vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
        break;
    case SDL_TEXTEDITING:
        DeliverImeComposition(m_Hwnd, e.edit.text, e.edit.start, e.edit.length);
        break;
    case SDL_TEXTEDITING_EXT:
        DeliverImeComposition(m_Hwnd, e.editExt.text ? e.editExt.text : "", e.editExt.start,
                              e.editExt.length);
        break;
    case SDL_TEXTINPUT:
        DeliverImeResult(m_Hwnd, e.text.text);
        break;
    default:
        break;
    }
}

} // namespace

DisplayBackend* CreateSdlBackend() {
    if (g_Sdl) return g_Sdl;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Compositions longer than one short event arrive whole.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    // A window's surface is its own memory sent to the display, never a texture of a renderer: the
    // renderer SDL would try first is OpenGL, which a display without graphics hardware only emulates.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quorin: SDL video: %s\n", SDL_GetError());
        return nullptr;
    }
    g_Sdl = new SdlBackend;
    return g_Sdl;
}

} // namespace platform
