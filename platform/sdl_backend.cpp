// The real window: SDL2 shows the primary surface through a texture in the surface's own pixel
// format, scales it onto the desktop while full screen, and turns SDL events into window messages.
#include "platform/debug.h"
#include "platform/display_backend.h"
#include "platform/ime.h"
#include "platform/sdl_keys.h"
#include "platform/text_encoding.h"
#include "platform/window_internal.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

Uint32 TextureFormatOf(PixelLayout layout) {
    switch (layout) {
    case PixelLayout::Rgb565:
        return SDL_PIXELFORMAT_RGB565;
    case PixelLayout::Rgb555:
        return SDL_PIXELFORMAT_RGB555;
    case PixelLayout::Rgb24:
        return SDL_PIXELFORMAT_BGR24; // bytes blue, green, red as the surfaces hold them
    default:
        return SDL_PIXELFORMAT_RGB888; // 0x00RRGGBB words
    }
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
                 int height) override;
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
    SDL_Window* Window() const { return m_Window; }

  private:
    void DestroyWindowObjects();
    void Redraw();
    void Translate(const SDL_Event& e);
    static void Release(SDL_Event& e);

    PixelLayout m_Desktop;
    SDL_Window* m_Window = nullptr;
    SDL_Renderer* m_Renderer = nullptr;
    SDL_Texture* m_Texture = nullptr;
    Uint32 m_TextureFormat = 0;
    HWND m_Hwnd = nullptr;
    bool m_FullScreen = false;
    std::vector<std::uint8_t> m_Converted;
};

SdlBackend* g_Sdl = nullptr;

void PumpSdl(bool wait) {
    if (g_Sdl) g_Sdl->Pump(wait);
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
    m_Renderer = SDL_CreateRenderer(m_Window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!m_Renderer) m_Renderer = SDL_CreateRenderer(m_Window, -1, SDL_RENDERER_SOFTWARE);
    if (!m_Renderer) {
        std::fprintf(stderr, "quorin: cannot draw into the window: %s\n", SDL_GetError());
        DestroyWindowObjects();
        return false;
    }
    SDL_RenderSetLogicalSize(m_Renderer, 640, 480);
    m_Hwnd = hwnd;
    m_FullScreen = false;
    // SDL starts with text input on; the window takes text only while its input method wants it.
    SDL_StopTextInput();
    SetClientOrigin(hwnd, POINT{outer.left, outer.top});
    SetEventPump(PumpSdl);
    SetMessageBoxPresenter(ShowSdlMessageBox);
    Redraw();
    return true;
}

void SdlBackend::DestroyWindowObjects() {
    if (m_Texture) SDL_DestroyTexture(m_Texture);
    if (m_Renderer) SDL_DestroyRenderer(m_Renderer);
    if (m_Window) SDL_DestroyWindow(m_Window);
    m_Texture = nullptr;
    m_Renderer = nullptr;
    m_Window = nullptr;
    m_TextureFormat = 0;
}

void SdlBackend::CloseWindow(HWND hwnd) {
    if (hwnd != m_Hwnd) return;
    DestroyWindowObjects();
    m_Hwnd = nullptr;
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
    if (SDL_SetWindowFullscreen(m_Window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    m_FullScreen = on;
    if (on) {
        SetClientOrigin(hwnd, POINT{0, 0});
    } else {
        RECT r{0, 0, 0, 0};
        GetWindowRect(hwnd, &r);
        SDL_SetWindowPosition(m_Window, r.left, r.top);
        SetClientOrigin(hwnd, POINT{r.left, r.top});
    }
    Redraw();
    return true;
}

void SdlBackend::Present(HWND hwnd, const PixelFormat& format, const std::uint8_t* pixels, int pitch,
                         int width, int height) {
    if (hwnd != m_Hwnd || !m_Renderer) return;
    const Uint32 textureFormat = TextureFormatOf(format.layout);
    if (!m_Texture || textureFormat != m_TextureFormat) {
        if (m_Texture) SDL_DestroyTexture(m_Texture);
        m_Texture = SDL_CreateTexture(m_Renderer, textureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
        m_TextureFormat = m_Texture ? textureFormat : 0;
        if (!m_Texture) return;
    }
    if (format.layout == PixelLayout::Pal8) {
        // An 8-bit desktop never gets this far in the game; show it as grey all the same.
        m_Converted.resize(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const DWORD rgb = PixelToRgb(format, pixels[static_cast<std::size_t>(y) * pitch + x]);
                std::memcpy(&m_Converted[(static_cast<std::size_t>(y) * width + x) * 4], &rgb, 4);
            }
        SDL_UpdateTexture(m_Texture, nullptr, m_Converted.data(), width * 4);
    } else {
        SDL_UpdateTexture(m_Texture, nullptr, pixels, pitch);
    }
    Redraw();
}

void SdlBackend::Redraw() {
    if (!m_Renderer) return;
    SDL_SetRenderDrawColor(m_Renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_Renderer);
    if (m_Texture) SDL_RenderCopy(m_Renderer, m_Texture, nullptr, nullptr);
    SDL_RenderPresent(m_Renderer);
}

void SdlBackend::WarpCursor(HWND hwnd, POINT client) {
    if (hwnd != m_Hwnd || !m_Window || !m_Renderer) return;
    // Client pixels are the 640x480 picture's: map them through the scale and letter-box.
    int wx = client.x, wy = client.y;
    SDL_RenderLogicalToWindow(m_Renderer, static_cast<float>(client.x), static_cast<float>(client.y), &wx,
                              &wy);
    SDL_WarpMouseInWindow(m_Window, wx, wy);
}

void SdlBackend::Pump(bool wait) {
    SDL_Event e;
    bool any = false;
    while (SDL_PollEvent(&e)) {
        Translate(e);
        Release(e);
        any = true;
    }
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
        DeliverMouseMove(m_Hwnd, POINT{e.motion.x, e.motion.y});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        UINT msg = 0;
        if (e.button.button == SDL_BUTTON_LEFT)
            msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        if (msg) DeliverMouseButton(m_Hwnd, msg, POINT{e.button.x, e.button.y});
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
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quorin: SDL video: %s\n", SDL_GetError());
        return nullptr;
    }
    g_Sdl = new SdlBackend;
    return g_Sdl;
}

} // namespace platform
