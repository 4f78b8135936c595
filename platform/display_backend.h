// What the window and display families need from a backend: the SDL window on a desktop, or the
// headless stand-in the tests configure. Main thread only.
#pragma once

#include "platform/base.h"
#include "platform/pixel_format.h"
#include "platform/window.h"

#include <cstdint>

namespace platform {

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;

    virtual bool IsHeadless() const = 0;
    virtual SIZE DesktopSize() const = 0;
    virtual PixelLayout DesktopLayout() const = 0;
    // Whether the 640x480 full-screen picture can have that depth, and in which layout.
    virtual bool FullScreenDepth(int bitsPerPixel, PixelLayout* layout) const = 0;
    // What SM_CXSCREEN reads while full screen.
    virtual int FullScreenWidth() const = 0;

    // The outer RECT in screen coordinates; our windows have no frame of their own, so it is also
    // the client area.
    virtual bool OpenWindow(HWND hwnd, const char* title, const RECT& outer) = 0;
    virtual void CloseWindow(HWND hwnd) = 0;
    virtual void ShowWindow(HWND hwnd, bool show) = 0;
    virtual void MoveWindow(HWND hwnd, int x, int y) = 0;
    virtual bool SetFullScreen(HWND hwnd, bool on) = 0;
    // Shows a 640x480 picture in the window (scaled and letter-boxed while full screen). `changed`
    // bounds what may differ from the picture presented before (null: any of it).
    virtual void Present(HWND hwnd, const PixelFormat& format, const std::uint8_t* pixels, int pitch,
                         int width, int height, const RECT* changed) = 0;
    virtual void SetSystemCursorVisible(bool visible) = 0;
    virtual void WarpCursor(HWND hwnd, POINT client) = 0;
    // The input method takes the keyboard's text for the window (on) or leaves the keys alone (off).
    virtual void SetTextInput(HWND hwnd, bool on) = 0;
    // Drops what the input method is composing.
    virtual void CancelComposition(HWND hwnd) = 0;
};

// Chosen at first use: headless when QUORIN_HEADLESS=1 or a test asked for it, else SDL.
DisplayBackend& Backend();
// From now on the headless backend, whatever the environment says (the test interface calls it).
void UseHeadlessBackend();
// Back to choosing by the environment at the next use.
void ForgetBackendChoice();
// The SDL backend, made on first use (null when SDL cannot start video).
DisplayBackend* CreateSdlBackend();

} // namespace platform
