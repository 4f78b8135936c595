#include "platform/sdl_present.h"

#include <SDL.h>

namespace platform {
namespace {
Uint32 SdlFormatOf(PixelLayout layout) {
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

const std::uint8_t* PixelAt(const KeptPicture& picture, int x, int y) {
    return picture.Pixels() + static_cast<std::ptrdiff_t>(y) * picture.Pitch() +
           static_cast<std::ptrdiff_t>(x) * picture.Format()->BytesPerPixel();
}

SDL_Rect SdlRect(const RECT& r) {
    return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class RendererPresenter final : public SdlPresenter {
  public:
    explicit RendererPresenter(SDL_Renderer* renderer) : m_Renderer(renderer) {
        SDL_RenderSetLogicalSize(m_Renderer, 640, 480);
    }
    ~RendererPresenter() override {
        if (m_Texture) SDL_DestroyTexture(m_Texture);
        SDL_DestroyRenderer(m_Renderer);
    }

    void Show(const KeptPicture& picture, const RECT& changed) override {
        if (!Texture(picture)) return;
        const SDL_Rect r = SdlRect(changed);
        SDL_UpdateTexture(m_Texture, &r, PixelAt(picture, changed.left, changed.top), picture.Pitch());
        Present();
    }
    void ShowAgain(const KeptPicture& picture) override {
        if (picture.Empty()) return;
        Show(picture, RECT{0, 0, picture.Width(), picture.Height()});
    }
    POINT ToWindow(POINT picture) override {
        int x = picture.x, y = picture.y;
        SDL_RenderLogicalToWindow(m_Renderer, static_cast<float>(picture.x), static_cast<float>(picture.y),
                                  &x, &y);
        return POINT{x, y};
    }
    // The renderer's logical size maps the events itself.
    POINT ToPicture(POINT window) override { return window; }

  private:
    bool Texture(const KeptPicture& picture) {
        const Uint32 format = SdlFormatOf(picture.Format()->layout);
        if (m_Texture && format == m_Format && picture.Width() == m_Width && picture.Height() == m_Height)
            return true;
        if (m_Texture) SDL_DestroyTexture(m_Texture);
        m_Texture = SDL_CreateTexture(m_Renderer, format, SDL_TEXTUREACCESS_STREAMING, picture.Width(),
                                      picture.Height());
        m_Format = format;
        m_Width = picture.Width();
        m_Height = picture.Height();
        return m_Texture != nullptr;
    }
    void Present() {
        SDL_SetRenderDrawColor(m_Renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_Renderer);
        SDL_RenderCopy(m_Renderer, m_Texture, nullptr, nullptr);
        SDL_RenderPresent(m_Renderer);
    }

    SDL_Renderer* m_Renderer;
    SDL_Texture* m_Texture = nullptr;
    Uint32 m_Format = 0;
    int m_Width = 0, m_Height = 0;
};

class SurfacePresenter final : public SdlPresenter {
  public:
    explicit SurfacePresenter(SDL_Window* window) : m_Window(window) {}
    ~SurfacePresenter() override {
        if (m_Picture) SDL_FreeSurface(m_Picture);
    }

    void Show(const KeptPicture& picture, const RECT& changed) override {
        SDL_Surface* surface = SDL_GetWindowSurface(m_Window);
        if (!surface) return;
        // A new surface (the window changed its size) or a new picture in it holds nothing yet.
        bool fresh = false;
        if (!Picture(picture, surface, &fresh)) return;
        if (fresh || surface != m_Surface || surface->w != m_SurfaceWidth || surface->h != m_SurfaceHeight) {
            ShowAgain(picture);
            return;
        }
        Convert(picture, changed);
        const RECT shown = Draw(surface, changed);
        const SDL_Rect r = SdlRect(shown);
        if (r.w > 0 && r.h > 0) SDL_UpdateWindowSurfaceRects(m_Window, &r, 1);
    }

    void ShowAgain(const KeptPicture& picture) override {
        if (picture.Empty()) return;
        SDL_Surface* surface = SDL_GetWindowSurface(m_Window);
        bool fresh = false;
        if (!surface || !Picture(picture, surface, &fresh)) return;
        m_Surface = surface;
        m_SurfaceWidth = surface->w;
        m_SurfaceHeight = surface->h;
        m_Area = FitPicture(picture.Width(), picture.Height(), surface->w, surface->h);
        // The bars beside the picture stay black.
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        const RECT all{0, 0, picture.Width(), picture.Height()};
        Convert(picture, all);
        Draw(surface, all);
        SDL_UpdateWindowSurface(m_Window);
    }

    POINT ToWindow(POINT picture) override { return PictureToWindow(m_Area, m_Width, m_Height, picture); }
    POINT ToPicture(POINT window) override { return WindowToPicture(m_Area, m_Width, m_Height, window); }

  private:
    // The picture in the window surface's own format, made anew (`fresh`) when either changes.
    bool Picture(const KeptPicture& picture, SDL_Surface* surface, bool* fresh) {
        if (m_Picture && m_Picture->format->format == surface->format->format && m_Width == picture.Width() &&
            m_Height == picture.Height())
            return true;
        *fresh = true;
        if (m_Picture) SDL_FreeSurface(m_Picture);
        m_Picture = SDL_CreateRGBSurfaceWithFormat(0, picture.Width(), picture.Height(),
                                                   surface->format->BitsPerPixel, surface->format->format);
        if (!m_Picture) return false;
        SDL_SetSurfaceBlendMode(m_Picture, SDL_BLENDMODE_NONE);
        m_Width = picture.Width();
        m_Height = picture.Height();
        return true;
    }

    void Convert(const KeptPicture& picture, const RECT& r) {
        std::uint8_t* target = static_cast<std::uint8_t*>(m_Picture->pixels) +
                               static_cast<std::ptrdiff_t>(r.top) * m_Picture->pitch +
                               static_cast<std::ptrdiff_t>(r.left) * m_Picture->format->BytesPerPixel;
        SDL_ConvertPixels(r.right - r.left, r.bottom - r.top, SdlFormatOf(picture.Format()->layout),
                          PixelAt(picture, r.left, r.top), picture.Pitch(), m_Picture->format->format, target,
                          m_Picture->pitch);
    }

    // Copies the picture's `changed` part into the window surface; returns the window pixels written.
    RECT Draw(SDL_Surface* surface, const RECT& changed) {
        if (m_Area.width == m_Width && m_Area.height == m_Height) {
            SDL_Rect from = SdlRect(changed);
            SDL_Rect to{m_Area.left + changed.left, m_Area.top + changed.top, from.w, from.h};
            SDL_BlitSurface(m_Picture, &from, surface, &to);
            return RECT{to.x, to.y, to.x + to.w, to.y + to.h};
        }
        if (surface->format->BytesPerPixel == 4) {
            const RECT reach = ScaledRect(m_Area, m_Width, m_Height, changed);
            m_Scaler.Scale(
                PixelRows{static_cast<std::uint8_t*>(m_Picture->pixels), m_Picture->pitch, m_Width, m_Height},
                PixelRows{static_cast<std::uint8_t*>(surface->pixels), surface->pitch, surface->w,
                          surface->h},
                m_Area, reach);
            return reach;
        }
        // A display of fewer bytes a pixel: SDL's own scaling, of the whole picture.
        SDL_Rect to{m_Area.left, m_Area.top, m_Area.width, m_Area.height};
        SDL_BlitScaled(m_Picture, nullptr, surface, &to);
        return RECT{to.x, to.y, to.x + to.w, to.y + to.h};
    }

    SDL_Window* m_Window;
    SDL_Surface* m_Surface = nullptr;
    int m_SurfaceWidth = 0, m_SurfaceHeight = 0;
    SDL_Surface* m_Picture = nullptr;
    int m_Width = 0, m_Height = 0;
    PictureArea m_Area;
    PictureScaler m_Scaler;
};
} // namespace

std::unique_ptr<SdlPresenter> CreateRendererPresenter(SDL_Window* window, unsigned flags) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags);
    if (!renderer) return nullptr;
    return std::make_unique<RendererPresenter>(renderer);
}

std::unique_ptr<SdlPresenter> CreateSurfacePresenter(SDL_Window* window) {
    if (!SDL_GetWindowSurface(window)) return nullptr;
    return std::make_unique<SurfacePresenter>(window);
}

} // namespace platform
