// What the SDL backend asks the X server behind a window, where SDL has no call for it. Kept apart:
// Xlib's macros clash with the rest of the layer.
#pragma once

struct SDL_Window;

namespace platform::x11 {
// Whether the window is on an X server.
bool IsX11(SDL_Window* window);
// Whether the X server can hand the graphics hardware to its clients (it offers DRI3 or DRI2). Xvfb,
// VNC servers and displays reached over the network cannot: OpenGL there is a software rasteriser.
bool HasDirectRendering(SDL_Window* window);
// Whether a window manager runs that takes windows full screen when asked (an EWMH one: the root
// window names its check window). Without one, a window asked to go full screen keeps its size.
bool HasWindowManager(SDL_Window* window);
} // namespace platform::x11
