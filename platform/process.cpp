#include "platform/process.h"

#include "platform/handle.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {
std::string g_commandLine;
thread_local DWORD g_lastError = 0;

struct MutexHandle : platform::KernelObject {
    explicit MutexHandle(int f) : fd(f) {}
    ~MutexHandle() override { ::close(fd); }
    int fd;
};

std::string ToProgramPath(std::string folder) {
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved)) folder = resolved;
    for (char& c : folder)
        if (c == '/') c = '\\';
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string LockPath(const char* name) {
    const char* dir = std::getenv("QUORIN_LOCK_DIR");
    if (!dir || !*dir) dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || !*dir) dir = "/tmp";
    return std::string(dir) + "/" + name + "-" + std::to_string(::getuid()) + ".lock";
}
} // namespace

void SetProgramArguments(int argc, char** argv) {
    std::string folder;
    if (argc > 1 && argv[1] && *argv[1]) {
        folder = argv[1];
    } else {
        char exe[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0) {
            exe[n] = '\0';
            folder = exe;
            folder.erase(folder.find_last_of('/') + 1);
        } else {
            folder = ".";
        }
    }
    g_commandLine = "\"" + ToProgramPath(folder) + "quorin\"";
}

const char* GetCommandLineA() {
    return g_commandLine.c_str();
}

DWORD GetLastError() {
    return g_lastError;
}
void SetLastError(DWORD code) {
    g_lastError = code;
}

HANDLE OpenMutexA(DWORD, BOOL, const char* name) {
    if (!name) return nullptr;
    int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody holds it: the named object does not exist.
        ::flock(fd, LOCK_UN);
        ::close(fd);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<platform::KernelObject*>(new MutexHandle(fd));
}

HANDLE CreateMutexA(void*, BOOL, const char* name) {
    if (!name) return nullptr;
    int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another process won the race; reporting failure keeps this one from running.
        ::close(fd);
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<platform::KernelObject*>(new MutexHandle(fd));
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto* m = dynamic_cast<MutexHandle*>(static_cast<platform::KernelObject*>(mutex));
    return m && ::flock(m->fd, LOCK_UN) == 0 ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    if (!handle) return FALSE;
    delete static_cast<platform::KernelObject*>(handle);
    return TRUE;
}

HRESULT CoInitialize(void*) {
    return 0;
}
void CoUninitialize() {}
