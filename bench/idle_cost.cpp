// What the real program costs at rest: it starts build/quorin on the demo game (no opening movie)
// under an X server of its own, and measures the time from the start to its first frame on the
// screen, the processor time it takes while the title stands still, and its peak memory; windowed and
// full screen, the median of several runs each, printed beside the goals.
//
//   bench_idle_cost [--runs N] [--seconds S] [--only windowed|fullscreen] [--program PATH]
//
// Not a Google Benchmark: the program is measured from outside, as a user's machine would see it.
#include "platform/profile.h"
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// Last: Xlib's macros clash with the headers above.
#include "tools/fixtures/Xvfb.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 5;
    double seconds = 20;
    bool windowed = true, fullScreen = true;
    std::string program = std::string(QUORIN_BINARY_DIR) + "/quorin";
};

// One run's figures; negative where the run could not measure it.
struct Figures {
    double firstFrameMs = -1;
    double cpuPercent = -1;    // of one core, the program's every thread
    double serverPercent = -1; // the X server meanwhile, drawing what the program sent
    double pagePercent = -1;   // the program on the first page of the story, waiting for a click
    double peakMiB = -1;       // VmHWM at the end of the run
};

// Time process `pid` has run on a processor, in seconds, its threads summed (the scheduler's own
// nanosecond count, finer than the clock ticks of /proc/PID/stat); negative when it is gone.
double ProcessSeconds(pid_t pid) {
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    double seconds = 0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns) {
            seconds += static_cast<double>(ns) / 1e9;
            any = true;
        }
    }
    return any ? seconds : -1;
}

// The process's peak resident memory in MiB (VmHWM); negative when it cannot be read.
double PeakMiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return -1;
}

bool Exited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

int IgnoreXErrors(::Display*, XErrorEvent*) {
    return 0;
}

// The pixel at (x, y) of window `w` as 0xRRGGBB (the server's 24-bit visual); false when it cannot be read.
bool PixelAt(::Display* d, Window w, int x, int y, unsigned long* out) {
    XImage* image = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    *out = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return true;
}

// Whether the window shows `picture` at the given points of the 640x480 picture, scaled to the
// window or, full screen, to the whole screen. On an X server without a window manager a window
// asked to go full screen may keep its size and show a part of the screen-sized picture: the top
// rows (a window surface) or the bottom ones (OpenGL); either counts. `tolerance` per channel allows
// for the scaling's filter; points that fall outside the window are not looked at.
bool Shows(::Display* d, Window w, bool fullScreen, const demo::DecodedPicture& picture,
           std::initializer_list<std::pair<int, int>> points, int tolerance) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return false;
    const int width = fullScreen ? DisplayWidth(d, DefaultScreen(d)) : a.width;
    const int height = fullScreen ? DisplayHeight(d, DefaultScreen(d)) : a.height;
    // The picture keeps its 4:3 shape in the middle.
    const double scale = std::min(width / 640.0, height / 480.0);
    const double left = (width - 640 * scale) / 2, top = (height - 480 * scale) / 2;
    for (const int shift : {0, a.height - height}) {
        int seen = 0, matched = 0;
        for (auto [x, y] : points) {
            const int wx = static_cast<int>(left + (x + 0.5) * scale);
            const int wy = static_cast<int>(top + (y + 0.5) * scale) + shift;
            if (wx >= a.width || wy < 0 || wy >= a.height) continue;
            unsigned long pixel = 0;
            ++seen;
            if (PixelAt(d, w, wx, wy, &pixel) && fixtures::ChannelsNear(pixel, picture.At(x, y), tolerance))
                ++matched;
        }
        if (seen > 0 && matched == seen) return true;
        if (shift == 0 && a.height == height) break;
    }
    return false;
}

// Waits on the X connection for at most `ms`.
void WaitForServer(::Display* d, int ms) {
    if (XPending(d)) return;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(d), &fds);
    timeval wait{0, ms * 1000};
    ::select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &wait);
}

class Bench {
  public:
    Bench(Options options, std::string game) : m_Options(std::move(options)), m_Game(std::move(game)) {
        m_Logo = demo::DecodeCataloguePicture("sg000");
        m_Title = demo::DecodeCataloguePicture("sg017");
    }

    // One run in display mode `windowed` on the X server `server`; false with a line on stderr when
    // the program did not get as far as its title.
    bool Run(const fixtures::XvfbServer& server, bool windowed, Figures* out) {
        WritePrivateProfileStringA("Config", "WindowMode", windowed ? "0" : "1",
                                   (m_Game + "Quorin.ini").c_str());
        ::Display* d = XOpenDisplay(server.Display().c_str());
        if (!d) {
            std::fprintf(stderr, "idle_cost: cannot open the X display %s\n", server.Display().c_str());
            return false;
        }
        XSetErrorHandler(IgnoreXErrors);
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        XSync(d, False);

        const Clock::time_point start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("DISPLAY", server.Display().c_str(), 1);
            ::setenv("QUORIN_LOCK_DIR", m_Game.c_str(), 1);
            ::unsetenv("QUORIN_HEADLESS");
            ::unsetenv("QUORIN_DEPTH");
            ::execl(m_Options.program.c_str(), m_Options.program.c_str(), m_Game.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const bool ok = pid > 0 && Measure(d, pid, server.Pid(), start, windowed, out);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        XCloseDisplay(d);
        return ok;
    }

  private:
    bool Measure(::Display* d, pid_t pid, pid_t serverPid, Clock::time_point start, bool windowed,
                 Figures* out) {
        // The first frame: the logo's first picture on the mapped window. The window is looked up
        // when the server maps one; its pixels are read every millisecond from then on.
        Window w = 0;
        const auto deadline = start + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            if (Exited(pid)) return Fail("the program ended before its first frame");
            for (XEvent e; XPending(d);) {
                XNextEvent(d, &e);
                if (e.type == MapNotify && !w)
                    w = fixtures::FindWindowNamed(d, DefaultRootWindow(d), "Lunavel");
            }
            if (w && Shows(d, w, !windowed, m_Logo, {{200, 150}, {40, 40}}, 0)) {
                out->firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
            WaitForServer(d, 1);
        }
        if (out->firstFrameMs < 0) return Fail("no first frame within 20 s");

        // The title: the logo takes about six seconds.
        const int tolerance = windowed ? 0 : 24;
        bool title = false;
        while (!title && Clock::now() < deadline + std::chrono::seconds(10)) {
            if (Exited(pid)) return Fail("the program ended before its title");
            title = Shows(d, w, !windowed, m_Title,
                          {{600, 200},
                           {500, 400},
                           {450, 60},
                           {330, 190},
                           {60, 300},
                           {200, 450},
                           {300, 440},
                           {350, 250},
                           {20, 250}},
                          tolerance);
            if (!title) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!title) return Fail("the title did not show within 30 s");
        // Let the title settle (its music starts, the cursor sprite is drawn), then leave it alone.
        std::this_thread::sleep_for(std::chrono::seconds(2));

        if (!AtRest(pid, serverPid, &out->cpuPercent, &out->serverPercent)) return false;

        // START: the first page of the story, which waits for a click with its icon turning. It is
        // looked at once the title has gone and the page has had time to show its text.
        Click(d, w, !windowed, 90, 110);
        bool gone = false;
        for (int i = 0; i < 100 && !gone; ++i) {
            gone =
                !Shows(d, w, !windowed, m_Title, {{600, 200}, {500, 400}, {450, 60}, {330, 190}}, tolerance);
            if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!gone) return Fail("START did not leave the title");
        std::this_thread::sleep_for(std::chrono::seconds(8));
        if (!AtRest(pid, serverPid, &out->pagePercent, nullptr)) return false;
        out->peakMiB = PeakMiB(pid);
        return true;
    }

    // The processor time the program (and the X server) take over the measured seconds, in percent of
    // one core.
    bool AtRest(pid_t pid, pid_t serverPid, double* cpu, double* server) {
        const double cpu0 = ProcessSeconds(pid), server0 = ProcessSeconds(serverPid);
        const Clock::time_point t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(m_Options.seconds));
        const double cpu1 = ProcessSeconds(pid), server1 = ProcessSeconds(serverPid);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        if (Exited(pid) || cpu0 < 0 || cpu1 < 0) return Fail("the program ended while it was measured");
        *cpu = 100.0 * (cpu1 - cpu0) / wall;
        if (server && server0 >= 0 && server1 >= 0) *server = 100.0 * (server1 - server0) / wall;
        return true;
    }

    // A left click at picture pixel (x, y): the pointer moves there for real, the press and release are
    // sent to the window (an X server without the XTest extension cannot make them otherwise).
    static void Click(::Display* d, Window w, bool fullScreen, int x, int y) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, w, &a)) return;
        const int width = fullScreen ? DisplayWidth(d, DefaultScreen(d)) : a.width;
        const int height = fullScreen ? DisplayHeight(d, DefaultScreen(d)) : a.height;
        const double scale = std::min(width / 640.0, height / 480.0);
        const int wx = static_cast<int>((width - 640 * scale) / 2 + (x + 0.5) * scale);
        const int wy = static_cast<int>((height - 480 * scale) / 2 + (y + 0.5) * scale);
        XWarpPointer(d, None, w, 0, 0, 0, 0, wx, wy);
        XSync(d, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const int type : {ButtonPress, ButtonRelease}) {
            XEvent e{};
            e.xbutton.type = type;
            e.xbutton.display = d;
            e.xbutton.window = w;
            e.xbutton.root = DefaultRootWindow(d);
            e.xbutton.x = wx;
            e.xbutton.y = wy;
            e.xbutton.x_root = a.x + wx;
            e.xbutton.y_root = a.y + wy;
            e.xbutton.button = Button1;
            e.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
            e.xbutton.same_screen = True;
            XSendEvent(d, w, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
            XSync(d, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    static bool Fail(const char* why) {
        std::fprintf(stderr, "idle_cost: %s\n", why);
        return false;
    }

    Options m_Options;
    std::string m_Game; // the program folder, host form with a trailing '/'
    demo::DecodedPicture m_Logo, m_Title;
};

double Median(std::vector<double> values) {
    std::erase_if(values, [](double v) { return v < 0; });
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Cell(double value, const char* unit, int decimals) {
    if (value < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit);
    return text;
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--runs" && value) {
            o->runs = std::max(1, std::atoi(value));
        } else if (arg == "--seconds" && value) {
            o->seconds = std::max(1.0, std::atof(value));
        } else if (arg == "--only" && value &&
                   (std::strcmp(value, "windowed") == 0 || std::strcmp(value, "fullscreen") == 0)) {
            o->windowed = std::strcmp(value, "windowed") == 0;
            o->fullScreen = !o->windowed;
        } else if (arg == "--program" && value) {
            o->program = value;
        } else {
            return false;
        }
        ++i;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: bench_idle_cost [--runs N] [--seconds S] [--only windowed|fullscreen] "
                             "[--program PATH]\n");
        return 2;
    }
    if (::access(options.program.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "idle_cost: no program at %s (build it first)\n", options.program.c_str());
        return 2;
    }
    fixtures::TempDir dir;
    const std::string game = dir.File("game/");
    std::string error;
    if (!demo::WriteDemoGame(game, &error)) {
        std::fprintf(stderr, "idle_cost: %s\n", error.c_str());
        return 1;
    }
    // The logo goes straight on to the title.
    WritePrivateProfileStringA("Config", "MovieSwitch", "0", (game + "Quorin.ini").c_str());

    Bench bench(options, game);
    struct Column {
        const char* name;
        bool windowed;
        std::vector<Figures> runs;
    };
    std::vector<Column> columns;
    if (options.windowed) columns.push_back({"windowed", true, {}});
    if (options.fullScreen) columns.push_back({"full screen", false, {}});
    for (Column& column : columns) {
        fixtures::XvfbServer server;
        if (server.Display().empty()) {
            std::fprintf(stderr, "idle_cost: no X server could be started (Xvfb missing or failing)\n");
            return 1;
        }
        for (int run = 0; run < options.runs; ++run) {
            Figures f;
            if (!bench.Run(server, column.windowed, &f))
                std::fprintf(stderr, "idle_cost: %s run %d failed\n", column.name, run + 1);
            std::printf("%-11s run %d: first frame %s, title %s (X server %s), page %s, peak %s\n",
                        column.name, run + 1, Cell(f.firstFrameMs, " ms", 0).c_str(),
                        Cell(f.cpuPercent, "%", 2).c_str(), Cell(f.serverPercent, "%", 2).c_str(),
                        Cell(f.pagePercent, "%", 2).c_str(), Cell(f.peakMiB, " MiB", 1).c_str());
            std::fflush(stdout);
            column.runs.push_back(f);
        }
    }

    struct Row {
        const char* what;
        double Figures::*field;
        const char* unit;
        int decimals;
        const char* goal;
    };
    const Row rows[] = {
        {"start to the first frame", &Figures::firstFrameMs, " ms", 0, "at most 100 ms"},
        {"CPU, the title at rest", &Figures::cpuPercent, "%", 2, "at most 1% of one core"},
        {"  X server meanwhile", &Figures::serverPercent, "%", 2, "(for information)"},
        {"CPU, a page waiting", &Figures::pagePercent, "%", 2, "at most 1% of one core"},
        {"peak memory (VmHWM)", &Figures::peakMiB, " MiB", 1, "at most 64 MiB"},
    };
    std::printf("\nmedian of %d runs, %.0f s at rest each, under Xvfb 1024x768x24\n", options.runs,
                options.seconds);
    std::printf("%-26s", "");
    for (const Column& c : columns)
        std::printf("%14s", c.name);
    std::printf("   goal\n");
    for (const Row& row : rows) {
        std::printf("%-26s", row.what);
        for (const Column& c : columns) {
            std::vector<double> values;
            for (const Figures& f : c.runs)
                values.push_back(f.*row.field);
            std::printf("%14s", Cell(Median(values), row.unit, row.decimals).c_str());
        }
        std::printf("   %s\n", row.goal);
    }
    return 0;
}
