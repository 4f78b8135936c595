#include "platform/sdl_x11.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform::x11 {
namespace {
::Display* DisplayOf(SDL_Window* window) {
    if (!window) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return info.info.x11.display;
}
} // namespace

bool IsX11(SDL_Window* window) {
    return DisplayOf(window) != nullptr;
}

bool HasDirectRendering(SDL_Window* window) {
    ::Display* d = DisplayOf(window);
    if (!d) return false;
    int opcode = 0, event = 0, error = 0;
    return XQueryExtension(d, "DRI3", &opcode, &event, &error) ||
           XQueryExtension(d, "DRI2", &opcode, &event, &error);
}

bool HasWindowManager(SDL_Window* window) {
    ::Display* d = DisplayOf(window);
    if (!d) return false;
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &items, &after, &data);
    const bool found = status == Success && type == XA_WINDOW && items == 1 && data &&
                       *reinterpret_cast<unsigned long*>(data) != 0;
    if (data) XFree(data);
    return found;
}
} // namespace platform::x11
