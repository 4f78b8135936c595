// The two ways the SDL backend puts the program's picture into its window. With graphics hardware:
// an SDL renderer, which scales on the hardware and waits for the display's vertical sync. Without
// (Xvfb, VNC, a remote display, where OpenGL would be a software rasteriser that costs more than the
// whole game): the window's own surface, into which only the changed part is copied (scaled by our
// own scaler while full screen) and sent to the display.
#pragma once

#include "platform/base.h"
#include "platform/window_picture.h"

#include <memory>

struct SDL_Window;

namespace platform {

class SdlPresenter {
  public:
    virtual ~SdlPresenter() = default;
    // Shows `changed` (picture pixels) of the picture.
    virtual void Show(const KeptPicture& picture, const RECT& changed) = 0;
    // Shows the whole picture again: the window was exposed, resized or switched. Nothing before the
    // first picture.
    virtual void ShowAgain(const KeptPicture& picture) = 0;
    // Where the picture pixel lies in the window, and the picture pixel under a window position
    // (events come in window pixels).
    virtual POINT ToWindow(POINT picture) = 0;
    virtual POINT ToPicture(POINT window) = 0;
};

// Through an SDL renderer of the given SDL_CreateRenderer flags; null when none can be made.
std::unique_ptr<SdlPresenter> CreateRendererPresenter(SDL_Window* window, unsigned flags);
// Through the window's surface; null when the window has none.
std::unique_ptr<SdlPresenter> CreateSurfacePresenter(SDL_Window* window);

} // namespace platform
