// The SDL backend on a real X server (Xvfb): the window opens, and what it shows is the 640x480
// picture the program presented, windowed, full screen and in each pixel format.
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/GameCtrl.h"
#include "graphics/DDrawSurface.h"
#include "app/RunState.h"
#include "graphics/UpdateRegion.h"
#include "platform/ime.h"
#include "platform/testing.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros (None, Status, Bool) would clash with the headers above.
#include "tools/fixtures/Xvfb.h"

namespace {
// Draws a picture of one raw pixel value into the back buffer and presents it, after the program's
// messages.
void Present(DWORD raw) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    CDDrawSurface picture;
    if (!picture.CreateEmpty(GetDirectDraw(), SIZE{640, 480})) return;
    FillSurface(picture.GetSurface(), raw, nullptr);
    AddUpdateRect(GetScreenRect());
    picture.BltTo(GetRenderTarget(), 0, 0, nullptr);
    g_DDrawCtrl.PresentFrame();
}

// Presents `raw` until the window "Lunavel" is mapped at 640x480 (windowed) or over the whole screen
// (full screen, also on an X server without a window manager), and shows `color` at its centre and its
// corners, each channel to `mask` (SDL widens 16-bit channels its own way), for at most 10 s. Whether
// it was shown.
bool Shows(::Display* d, DWORD raw, DWORD color, DWORD mask, bool windowed) {
    const int screenWidth = DisplayWidth(d, DefaultScreen(d)),
              screenHeight = DisplayHeight(d, DefaultScreen(d));
    return fixtures::WaitForWindow(
        d, "Lunavel", 200,
        [&](const XWindowAttributes& a, XImage* image) {
            const bool sized = windowed ? a.width == 640 && a.height == 480
                                        : a.width == screenWidth && a.height == screenHeight;
            const auto shows = [&](int x, int y) {
                return (XGetPixel(image, x, y) & mask) == (color & mask);
            };
            return sized && shows(a.width / 2, a.height / 2) && shows(0, 0) &&
                   shows(a.width - 1, a.height - 1);
        },
        [raw] { Present(raw); });
}

// A picture to show: the raw pixel value, the colour it shows as, and the display mode it shows in.
struct Show {
    DWORD raw, color;
    bool windowed;
};

// Exit codes of the child for the steps of its start-up, so that a failure names its step; the
// picture that was not shown exits with its number (1 and up).
enum StartStep {
    kOpenDisplay = 100,
    kTextInput,
    kCreateWindow,
    kCreateDisplay,
    kReadPixelFormat,
    kWrongPixelFormat,
    kSwitchMode,
    kFullScreenWidth,
};

// Leaves the child with `step`, after a line on stderr saying which step failed, what SDL says and the
// system's last error (Xlib reports a refused connection only there).
[[noreturn]] void Fail(StartStep step, const char* what) {
    const int error = errno;
    std::fprintf(stderr, "window test child: %s failed (exit %d): SDL: '%s', errno: %s\n", what, step,
                 SDL_GetError(), std::strerror(error));
    std::fflush(stderr);
    ::_exit(step);
}

// In a child process of its own, so that SDL meets a fresh process: starts the display on the SDL backend
// of `display` in `depth` (null: the default), windowed, with a back buffer of `bits` per pixel, and shows
// each picture in turn, switching the screen mode where the display mode changes. The exit code is 0, the
// number of the picture that was not shown, or the StartStep that failed.
int ShowInTurn(const std::string& display, const char* depth, DWORD bits, std::vector<Show> shows) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("SDL_RENDER_DRIVER", "software", 1);
        ::unsetenv("QUORIN_HEADLESS");
        depth ? ::setenv("QUORIN_DEPTH", depth, 1) : ::unsetenv("QUORIN_DEPTH");
        // Whatever the tests before chose in this process, the program's own choice applies here.
        platform::testing::UseEnvironmentDisplay();
        platform::testing::ResetWindowClasses();
        platform::SetEventPump(nullptr);
        ResetDisplayGlobals();
        ResetUpdateRegion();
        g_pGameCtrl = new CGameCtrl;
        ::Display* d = XOpenDisplay(display.c_str());
        if (!d) Fail(kOpenDisplay, "opening the X display");
        if (!g_DDrawCtrl.CreateMainWindow(nullptr, SW_SHOWNORMAL)) Fail(kCreateWindow, "creating the window");
        if (!g_DDrawCtrl.InitDirectDraw(1)) Fail(kCreateDisplay, "creating the display object");
        DDPIXELFORMAT pf{};
        if (g_DDrawCtrl.GetBackBuffer()->GetPixelFormat(&pf) != DD_OK)
            Fail(kReadPixelFormat, "reading the back buffer's pixel format");
        if (pf.dwRGBBitCount != bits) Fail(kWrongPixelFormat, "the back buffer's depth");
        // SDL's text input runs only while the window's input method is enabled and open.
        HIMC ime = ImmGetContext(g_hWnd);
        const bool before = SDL_IsTextInputActive();
        WINNLSEnableIME(g_hWnd, TRUE), ImmSetOpenStatus(ime, TRUE);
        const bool during = SDL_IsTextInputActive();
        ImmSetOpenStatus(ime, FALSE), WINNLSEnableIME(g_hWnd, FALSE);
        if (before || !during || SDL_IsTextInputActive()) Fail(kTextInput, "gating text input on the IME");
        g_pGameCtrl->Initialize();
        // The folder holds no pictures, so the start ends in the error report; the pictures shown here
        // are the test's own.
        IDirectDraw* dd = GetDirectDraw();
        ResetRunState();
        SetDirectDraw(dd);
        for (std::size_t i = 0; i < shows.size(); ++i) {
            // Full screen is the desktop's full screen, the picture scaled onto it.
            if (shows[i].windowed != (g_DDrawCtrl.IsWindowed() != 0)) {
                if (!SwitchScreenMode(false)) Fail(kSwitchMode, "switching the screen mode");
                if (!shows[i].windowed && GetSystemMetrics(SM_CXSCREEN) != 640)
                    Fail(kFullScreenWidth, "the full-screen width");
            }
            if (!Shows(d, shows[i].raw, shows[i].color, bits == 32 ? 0xFFFFFF : 0xF8F8F8,
                       shows[i].windowed)) {
                std::fprintf(stderr, "window test child: picture %zu was not shown\n", i + 1);
                ::_exit(static_cast<int>(i + 1));
            }
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SdlWindow, OpensAndShowsThePresentedPictureUnderXvfb) {
    fixtures::XvfbServer server;
    QUORIN_REQUIRE_XVFB(server);
    EXPECT_EQ(
        ShowInTurn(server.Display(), nullptr, 32,
                   {{0x3060C0, 0x3060C0, true}, {0xC08020, 0xC08020, false}, {0x102030, 0x102030, true}}),
        0);
    // Other pixel formats: a pure colour of its own for each, filled as the raw pixel value of the format.
    EXPECT_EQ(ShowInTurn(server.Display(), "16", 16, {{0xF800, 0xFF0000, true}}), 0);
    EXPECT_EQ(ShowInTurn(server.Display(), "555", 16, {{0x03E0, 0x00FF00, true}}), 0);
    EXPECT_EQ(ShowInTurn(server.Display(), "24", 24, {{0x0000FF, 0x0000FF, true}}), 0);
}
} // namespace
