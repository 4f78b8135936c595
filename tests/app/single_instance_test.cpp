#include "app/WinMain.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const std::string kQuorin = std::string(QUORIN_BINARY_DIR) + "/quorin";

int RunQuorin(const std::string& folder) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QUORIN_HEADLESS", "1", 1);
        ::execl(kQuorin.c_str(), kQuorin.c_str(), folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The whole start-up in a child process, with a quit already waiting for its message loop.
int StartAndQuit(const std::string& folder) {
    pid_t pid = ::fork();
    if (pid == 0) {
        platform::testing::UseHeadlessDisplay();
        std::string f = folder;
        char program[] = "quorin";
        char* argv[] = {program, f.data()};
        SetProgramArguments(2, argv);
        PostQuitMessage(0);
        ::_exit(WinMain(nullptr, nullptr, nullptr, 1));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(SingleInstance, SecondStartLeavesAtOnceAndLockFreesWhenHolderDies) {
    fixtures::TempDir lockDir, gameDir;
    ::setenv("QUORIN_LOCK_DIR", lockDir.Path().c_str(), 1);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        HANDLE m = CreateMutexA(nullptr, TRUE, "Quorin");
        char ok = m ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, 'y');

    // The lock is taken: this process cannot take it either, and a started program leaves at once.
    EXPECT_EQ(CreateMutexA(nullptr, TRUE, "Quorin"), nullptr);
    HANDLE seen = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin");
    EXPECT_NE(seen, nullptr);
    CloseHandle(seen);
    EXPECT_EQ(RunQuorin(gameDir.Path()), 0);
    EXPECT_FALSE(std::filesystem::exists(gameDir.Path() + "Quorin.ini"));

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);

    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, TRUE, "Quorin"), nullptr);
    EXPECT_EQ(StartAndQuit(gameDir.Path()), 0);
    EXPECT_TRUE(std::filesystem::exists(gameDir.Path() + "Quorin.ini"));
    ::unsetenv("QUORIN_LOCK_DIR");
}
