// The SDL backend on a real X server (Xvfb): the window opens, and what it shows is the 640x480
// picture the program presented, windowed, full screen and in each pixel format.
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/GameCtrl.h"
#include "graphics/DDrawSurface.h"
#include "app/RunState.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
class XServer {
  public:
    // An Xvfb on a display number it picks itself; Display() is empty when none could start.
    XServer() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        m_Pid = ::fork();
        if (m_Pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                     "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // Xvfb writes the display number and a newline once it accepts connections.
        std::string number;
        for (char c = 0; ::read(fds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(fds[0]);
        if (!number.empty()) m_Display = ":" + number;
    }
    ~XServer() {
        if (m_Pid <= 0) return;
        ::kill(m_Pid, SIGTERM);
        ::waitpid(m_Pid, nullptr, 0);
    }
    const std::string& Display() const { return m_Display; }

  private:
    pid_t m_Pid = -1;
    std::string m_Display;
};

Window FindWindowNamed(::Display* d, Window w, const char* name) {
    char* title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        const bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = FindWindowNamed(d, children[i], name);
    if (children) XFree(children);
    return found;
}

struct Shot {
    int width = 0, height = 0;
    unsigned long centre = 0, corner = 0;
};

// Draws a picture of one raw pixel value into the back buffer and presents it, after the program's
// messages.
void Present(DWORD color) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    CDDrawSurface picture;
    if (!picture.CreateEmpty(GetDirectDraw(), SIZE{640, 480})) return;
    FillSurface(picture.GetSurface(), color, nullptr);
    AddUpdateRect(GetScreenRect());
    picture.BltTo(GetRenderTarget(), 0, 0, nullptr);
    g_DDrawCtrl.PresentFrame();
}

// Presents `color` until the window "Lunavel" is mapped at width x height (any size for 0) and shows
// the colour at its centre: each round waits for the X server to report a change (map, resize,
// exposure) for at most 50 ms, and all rounds together for at most 10 s. The window is looked up
// anew each round: the window of an earlier check may still be on its way out. The last screenshot.
Shot AwaitPicture(::Display* d, DWORD color, int width, int height, bool (*match)(unsigned long, DWORD),
                  DWORD raw) {
    Shot shot;
    for (int round = 0; round < 200; ++round) {
        Present(raw);
        XSync(d, False);
        const Window w = FindWindowNamed(d, DefaultRootWindow(d), "Lunavel");
        XWindowAttributes a;
        if (w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) {
            XSelectInput(d, w, StructureNotifyMask | ExposureMask);
            if (XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                                          static_cast<unsigned>(a.height), AllPlanes, ZPixmap)) {
                shot = {image->width, image->height,
                        XGetPixel(image, image->width / 2, image->height / 2) & 0xFFFFFF,
                        XGetPixel(image, 0, 0) & 0xFFFFFF};
                XDestroyImage(image);
                if ((!width || (shot.width == width && shot.height == height)) && match(shot.centre, color))
                    break;
            }
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        timeval wait{0, 50000};
        if (!XPending(d)) ::select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &wait);
        for (XEvent e; XPending(d);)
            XNextEvent(d, &e);
    }
    std::fprintf(stderr, "shot: %dx%d centre %06lx corner %06lx\n", shot.width, shot.height, shot.centre,
                 shot.corner);
    return shot;
}

bool Exactly(unsigned long shown, DWORD color) {
    return shown == color;
}
// SDL widens 16-bit channels its own way: a full channel may come out a shade off.
bool Near(unsigned long shown, DWORD color) {
    for (int shift : {0, 8, 16})
        if ((((color >> shift) & 0xFF) ? 0xF8 : 0) != (((shown >> shift) & 0xFF) & 0xF8)) return false;
    return true;
}

// Starts the program's display on the SDL backend of `display` in `depth` (null: the default), windowed.
bool StartOnX(const std::string& display, const char* depth) {
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    ::unsetenv("QUORIN_HEADLESS");
    depth ? ::setenv("QUORIN_DEPTH", depth, 1) : ::unsetenv("QUORIN_DEPTH");
    // Whatever the tests before chose in this process, the program's own choice applies here.
    platform::testing::UseEnvironmentDisplay();
    platform::testing::ResetWindowClasses();
    platform::testing::ClearMessages();
    platform::SetEventPump(nullptr);
    ResetDisplayGlobals();
    ResetUpdateRegion();
    g_pGameCtrl = new CGameCtrl;
    if (!g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL) || !g_DDrawCtrl.InitDirectDraw(1)) return false;
    g_pGameCtrl->Initialize();
    return true;
}

// The exit code names the first check that failed.
int RunWindowChecks(const std::string& display) {
    if (!StartOnX(display, nullptr)) return 10;
    ::Display* d = XOpenDisplay(display.c_str());
    if (!d) return 12;
    Shot shot = AwaitPicture(d, 0x3060C0, 640, 480, Exactly, 0x3060C0);
    if (shot.width != 640 || shot.height != 480) return 15;
    if (shot.centre != 0x3060C0 || shot.corner != 0x3060C0) return 16;
    // Full screen: the desktop's full screen, the picture scaled onto it.
    if (!SwitchScreenMode(false) || GetSystemMetrics(SM_CXSCREEN) != 640) return 17;
    if (AwaitPicture(d, 0xC08020, 0, 0, Exactly, 0xC08020).centre != 0xC08020) return 19;
    if (!SwitchScreenMode(false)) return 20;
    shot = AwaitPicture(d, 0x102030, 640, 480, Exactly, 0x102030);
    if (shot.width != 640 || shot.height != 480 || shot.centre != 0x102030) return 21;
    XCloseDisplay(d);
    DestroyWindow(g_hWnd);
    return 0;
}

// The window in another pixel format: a pure colour of its own for each, filled as the raw pixel value
// of the format, shown as that colour.
int RunDepthCheck(const std::string& display, const char* depth, DWORD color, DWORD raw) {
    if (!StartOnX(display, depth)) return 30;
    DDPIXELFORMAT pf{};
    g_DDrawCtrl.GetBackBuffer()->GetPixelFormat(&pf);
    if (pf.dwRGBBitCount != static_cast<DWORD>(std::strcmp(depth, "24") == 0 ? 24 : 16)) return 32;
    ::Display* d = XOpenDisplay(display.c_str());
    if (!d) return 33;
    const Shot shot = AwaitPicture(d, color, 640, 480, Near, raw);
    XCloseDisplay(d);
    if (shot.width != 640 || shot.height != 480) return 34;
    if (!Near(shot.centre, color)) return 35;
    DestroyWindow(g_hWnd);
    return 0;
}

int InChild(const std::function<int()>& check) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(check());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SdlWindow, OpensAndShowsThePresentedPictureUnderXvfb) {
    XServer server;
    if (server.Display().empty()) GTEST_SKIP() << "no X server could be started (Xvfb missing or failing)";
    // Each run in a child process of its own, so that SDL meets a fresh process.
    EXPECT_EQ(InChild([&] { return RunWindowChecks(server.Display()); }), 0) << "window check failed";
    const struct {
        const char* depth;
        DWORD color, raw;
    } depths[] = {{"16", 0xFF0000, 0xF800}, {"555", 0x00FF00, 0x03E0}, {"24", 0x0000FF, 0x0000FF}};
    for (const auto& d : depths)
        EXPECT_EQ(InChild([&] { return RunDepthCheck(server.Display(), d.depth, d.color, d.raw); }), 0)
            << d.depth;
}
} // namespace
