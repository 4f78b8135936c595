// The same start as game.timeline's, by the real program on the SDL backend under Xvfb: the window
// "Lunavel" shows the opening movie, then the title, and sound goes to the device (SDL's disk driver
// writes it to a file). Each wait is bounded and wakes on the X server's events.
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <csignal>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros clash with the headers above.
#include "tools/fixtures/Xvfb.h"

namespace {
const std::string kProgram = std::string(QUORIN_BINARY_DIR) + "/quorin";

// Waits until the window "Lunavel" is mapped at 640x480 and `shows` holds for its picture, for at
// most 60 s, while the program `pid` runs. Empty when it was shown, else what went wrong.
std::string WaitFor(::Display* d, pid_t pid, const std::function<bool(XImage*)>& shows) {
    // Looked at without reaping, so that the end of the test still kills and reaps this very process.
    siginfo_t ended{};
    const auto exited = [&] {
        return ::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               ended.si_pid == pid;
    };
    const bool shown = fixtures::WaitForWindow(
        d, "Lunavel", 1200,
        [&](const XWindowAttributes& a, XImage* image) {
            return a.width == 640 && a.height == 480 && shows(image);
        },
        [] {}, exited);
    if (shown) return "";
    if (!exited()) return "not shown within 60 s";
    return ended.si_code == CLD_EXITED
               ? "the program exited with " + std::to_string(ended.si_status)
               : "the program was killed by signal " + std::to_string(ended.si_status);
}

// Waits at most `ms` for the program `pid` to end, woken by its end, and reaps it: its wait status, or
// -1 when it was still running (it is then killed).
int WaitForExit(pid_t pid, int ms) {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        pollfd ended{fd, POLLIN, 0};
        ::poll(&ended, 1, ms);
        ::close(fd);
    }
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(SdlStart, ShowsTheMovieThenTheTitleWithSoundAndEndsOnSigterm) {
    fixtures::XvfbServer server;
    QUORIN_REQUIRE_XVFB(server);
    fixtures::TempDir dir;
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(dir.File("game"), &error)) << error;
    std::filesystem::create_directory(dir.File("lock"));
    const std::string sound = dir.File("sound.raw");
    // The program now ends by itself, so a sanitizer build checks its leaks at exit; the system's message
    // bus library, which SDL loads, keeps one allocation to the end that is none of the program's.
    const std::string suppressions = dir.File("leaks.supp");
    ASSERT_TRUE(fixtures::WriteFileText(suppressions, "leak:libdbus\n"));

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("DISPLAY", server.Display().c_str(), 1);
        ::setenv("SDL_RENDER_DRIVER", "software", 1);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", sound.c_str(), 1);
        ::setenv("QUORIN_LOCK_DIR", dir.File("lock").c_str(), 1);
        ::setenv("LSAN_OPTIONS", ("suppressions=" + suppressions).c_str(), 1);
        ::unsetenv("QUORIN_HEADLESS");
        ::unsetenv("QUORIN_DEPTH");
        ::execl(kProgram.c_str(), kProgram.c_str(), dir.File("game").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    ::Display* d = XOpenDisplay(server.Display().c_str());
    ASSERT_NE(d, nullptr) << "opening the X display: " << std::strerror(errno);
    // The movie's evening sky, clear of its title, square and bar; then the title picture itself.
    EXPECT_EQ(WaitFor(d, pid,
                      [](XImage* i) {
                          return fixtures::ChannelsNear(XGetPixel(i, 600, 280), 0x3A2A5A, 24) &&
                                 fixtures::ChannelsNear(XGetPixel(i, 40, 280), 0x3A2A5A, 24);
                      }),
              "")
        << "the opening movie";
    const demo::DecodedPicture title = demo::DecodeCataloguePicture("sg017");
    EXPECT_EQ(WaitFor(d, pid,
                      [&](XImage* i) {
                          for (auto [x, y] : {std::pair{200, 150}, {600, 200}, {500, 400}, {450, 60}})
                              if (!fixtures::ChannelsNear(XGetPixel(i, x, y), title.At(x, y), 0))
                                  return false;
                          return true;
                      }),
              "")
        << "the title";
    XCloseDisplay(d);
    // As a logout ends it: no question, a clean exit, and the system data written.
    ::kill(pid, SIGTERM);
    const int status = WaitForExit(pid, 30000);
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(std::filesystem::exists(dir.File("game") + "/SaveData/data00.sav"));

    // The movie's tone and the title music reached the device.
    const std::string samples = fixtures::ReadFileText(sound);
    EXPECT_GT(samples.size(), 44100u);
    EXPECT_NE(samples.find_first_not_of('\0'), std::string::npos);
}
} // namespace
