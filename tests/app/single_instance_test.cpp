// One copy of the program at a time: a second start leaves at once, and the lock goes with its holder.
#include "app/WinMain.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// The exit code of `run` in a child process.
int InChild(const std::function<int()>& run) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(run());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, SecondStartLeavesAtOnceAndLockFreesWhenHolderDies) {
    fixtures::TempDir lockDir, gameDir;
    ::setenv("QUORIN_LOCK_DIR", lockDir.Path().c_str(), 1);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const char ok = CreateMutexA(nullptr, TRUE, "Quorin") ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(ok, 'y');
    // The lock is taken: this process cannot take it either, and a started program leaves at once.
    EXPECT_EQ(CreateMutexA(nullptr, TRUE, "Quorin"), nullptr);
    HANDLE seen = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin");
    EXPECT_NE(seen, nullptr);
    CloseHandle(seen);
    const std::string quorin = std::string(QUORIN_BINARY_DIR) + "/quorin";
    EXPECT_EQ(InChild([&] {
                  ::setenv("QUORIN_HEADLESS", "1", 1);
                  return ::execl(quorin.c_str(), quorin.c_str(), gameDir.Path().c_str(), nullptr), 127;
              }),
              0);
    EXPECT_FALSE(std::filesystem::exists(gameDir.Path() + "Quorin.ini"));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    // The whole start-up in a child, with a quit already waiting for its message loop.
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin"), nullptr);
    EXPECT_EQ(InChild([&] {
                  platform::testing::UseHeadlessDisplay();
                  std::string folder = gameDir.Path();
                  char* argv[] = {const_cast<char*>("quorin"), folder.data()};
                  SetProgramArguments(2, argv);
                  PostQuitMessage(0);
                  return WinMain(nullptr, nullptr, nullptr, 1);
              }),
              0);
    EXPECT_TRUE(std::filesystem::exists(gameDir.Path() + "Quorin.ini"));
    ::unsetenv("QUORIN_LOCK_DIR");
}
} // namespace
