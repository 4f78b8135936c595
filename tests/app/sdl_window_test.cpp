// The SDL backend on a real X server (Xvfb): the window opens, and what it shows is the 640x480
// picture the program presented.
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/GameCtrl.h"
#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "app/RunState.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
class XServer {
  public:
    // An Xvfb on a display number it picks itself; display() is empty when none could start.
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
        char c = 0;
        bool complete = false;
        while (::read(fds[0], &c, 1) == 1) {
            if (c == '\n') {
                complete = true;
                break;
            }
            number += c;
        }
        ::close(fds[0]);
        if (complete && !number.empty()) m_Display = ":" + number;
    }
    ~XServer() {
        if (m_Pid > 0) {
            ::kill(m_Pid, SIGTERM);
            ::waitpid(m_Pid, nullptr, 0);
        }
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

void Pump() {
    MSG m;
    for (int i = 0; i < 20; ++i)
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
}

void Present(DWORD color) {
    CDDrawSurface picture;
    if (!picture.CreateEmpty(GetDirectDraw(), SIZE{640, 480})) return;
    FillSurface(picture.GetSurface(), color, nullptr);
    AddUpdateRect(GetScreenRect());
    picture.BltTo(GetRenderTarget(), 0, 0, nullptr);
    g_DDrawCtrl.PresentFrame();
}

struct Shot {
    int width = 0;
    int height = 0;
    unsigned long centre = 0;
    unsigned long corner = 0;
    bool viewable = false;
};

Shot Screenshot(::Display* d, Window w) {
    Shot shot;
    XSync(d, False);
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return shot;
    shot.viewable = a.map_state == IsViewable;
    if (!shot.viewable) return shot;
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (!image) return shot;
    shot.width = image->width;
    shot.height = image->height;
    shot.centre = XGetPixel(image, image->width / 2, image->height / 2) & 0xFFFFFF;
    shot.corner = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return shot;
}

// The exit code names the first check that failed.
// Starts the program's display on the SDL backend of `display`, in `depth` (null: the default).
void StartOnX(const std::string& display, const char* depth) {
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    ::unsetenv("QUORIN_HEADLESS");
    if (depth)
        ::setenv("QUORIN_DEPTH", depth, 1);
    else
        ::unsetenv("QUORIN_DEPTH");
    // Whatever the tests before chose in this process, the program's own choice applies here.
    platform::testing::UseEnvironmentDisplay();
    platform::testing::ResetWindowClasses();
    platform::testing::ClearMessages();
    platform::SetEventPump(nullptr);
    ResetDisplayGlobals();
    ResetUpdateRegion();
    g_pGameCtrl = new CGameCtrl;
}

int RunWindowChecks(const std::string& display) {
    StartOnX(display, nullptr);
    if (!g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL)) return 10;
    if (!g_DDrawCtrl.InitDirectDraw(1)) return 11;
    g_pGameCtrl->Initialize();
    Pump();
    Present(0x3060C0);
    Pump();
    Present(0x3060C0);

    ::Display* d = XOpenDisplay(display.c_str());
    if (!d) return 12;
    const Window w = FindWindowNamed(d, DefaultRootWindow(d), "Lunavel");
    if (!w) return 13;
    Shot shot = Screenshot(d, w);
    if (!shot.viewable) return 14;
    std::fprintf(stderr, "windowed: %dx%d centre %06lx corner %06lx\n", shot.width, shot.height, shot.centre,
                 shot.corner);
    if (shot.width != 640 || shot.height != 480) return 15;
    if (shot.centre != 0x3060C0 || shot.corner != 0x3060C0) return 16;

    // Full screen: the desktop's full screen, the picture scaled onto it.
    if (!SwitchScreenMode(true)) return 17;
    if (GetSystemMetrics(SM_CXSCREEN) != 640) return 18;
    Pump();
    Present(0xC08020);
    Pump();
    Present(0xC08020);
    shot = Screenshot(d, w);
    std::fprintf(stderr, "full screen: %dx%d centre %06lx\n", shot.width, shot.height, shot.centre);
    if (shot.centre != 0xC08020) return 19;

    if (!SwitchScreenMode(true)) return 20;
    Pump();
    Present(0x102030);
    Pump();
    shot = Screenshot(d, w);
    if (shot.width != 640 || shot.height != 480 || shot.centre != 0x102030) return 21;

    XCloseDisplay(d);
    DestroyWindow(g_hWnd);
    return 0;
}

// The window in another pixel format: white is 0xFFFFFF raw at every depth and shows as white.
int RunDepthCheck(const std::string& display, const char* depth) {
    StartOnX(display, depth);
    if (!g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL)) return 30;
    if (!g_DDrawCtrl.InitDirectDraw(1)) return 31;
    DDPIXELFORMAT pf{};
    g_DDrawCtrl.GetBackBuffer()->GetPixelFormat(&pf);
    if (pf.dwRGBBitCount != static_cast<DWORD>(std::strcmp(depth, "24") == 0 ? 24 : 16)) return 32;
    g_pGameCtrl->Initialize();
    Pump();
    Present(0xFFFFFF);
    Pump();
    Present(0xFFFFFF);
    ::Display* d = XOpenDisplay(display.c_str());
    if (!d) return 33;
    const Window w = FindWindowNamed(d, DefaultRootWindow(d), "Lunavel");
    const Shot shot = w ? Screenshot(d, w) : Shot{};
    XCloseDisplay(d);
    if (shot.width != 640 || shot.height != 480) return 34;
    // SDL widens 16-bit channels its own way: white may come out a shade off.
    for (int shift : {0, 8, 16})
        if (((shot.centre >> shift) & 0xFF) < 0xF8) return 35;
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
} // namespace

TEST(SdlWindow, OpensAndShowsThePresentedPictureUnderXvfb) {
    XServer server;
    if (server.Display().empty()) GTEST_SKIP() << "no X server could be started (Xvfb missing or failing)";
    // Each run in a child process of its own, so that SDL meets a fresh process.
    EXPECT_EQ(InChild([&] { return RunWindowChecks(server.Display()); }), 0) << "window check failed";
    for (const char* depth : {"16", "555", "24"})
        EXPECT_EQ(InChild([&] { return RunDepthCheck(server.Display(), depth); }), 0) << "depth " << depth;
}
