#include "platform/files.h"

#include "platform/testing.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
bool SameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool Exists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

std::string FindComponent(const std::string& dir, const std::string& name) {
    const std::string joined = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
    if (name == "." || name == ".." || Exists(joined)) return joined;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return joined;
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (SameIgnoringCase(name, e->d_name)) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    if (found.empty()) return joined;
    return dir.empty() ? found : (dir == "/" ? "/" + found : dir + "/" + found);
}

struct Faults {
    std::mutex lock;
    std::string failOpen;
    std::string limitWrite;
    long writeLimit = -1;
};
Faults& GetFaults() {
    static Faults f;
    return f;
}

struct LimitedFile {
    FILE* inner;
    long left;
};

ssize_t LimitedWrite(void* cookie, const char* buf, size_t size) {
    auto* lf = static_cast<LimitedFile*>(cookie);
    if (lf->left <= 0) {
        errno = ENOSPC;
        return -1;
    }
    size_t n = size < static_cast<size_t>(lf->left) ? size : static_cast<size_t>(lf->left);
    size_t w = std::fwrite(buf, 1, n, lf->inner);
    lf->left -= static_cast<long>(w);
    std::fflush(lf->inner);
    if (w == 0) {
        errno = ENOSPC;
        return -1;
    }
    return static_cast<ssize_t>(w);
}
ssize_t LimitedRead(void* cookie, char* buf, size_t size) {
    return static_cast<ssize_t>(std::fread(buf, 1, size, static_cast<LimitedFile*>(cookie)->inner));
}
int LimitedSeek(void* cookie, off64_t* pos, int whence) {
    auto* lf = static_cast<LimitedFile*>(cookie);
    if (fseeko(lf->inner, *pos, whence) != 0) return -1;
    *pos = ftello(lf->inner);
    return 0;
}
int LimitedClose(void* cookie) {
    auto* lf = static_cast<LimitedFile*>(cookie);
    int rc = std::fclose(lf->inner);
    delete lf;
    return rc;
}
} // namespace

std::string ResolvePath(const char* path) {
    if (!path) return {};
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) p.erase(0, 2);
    std::string result = p.starts_with('/') ? "/" : "";
    std::size_t pos = p.starts_with('/') ? 1 : 0;
    bool first = true;
    while (pos <= p.size()) {
        std::size_t next = p.find('/', pos);
        if (next == std::string::npos) next = p.size();
        std::string comp = p.substr(pos, next - pos);
        if (!comp.empty()) {
            result = FindComponent(first && result.empty() ? std::string() : result, comp);
            first = false;
        }
        pos = next + 1;
    }
    if (p.size() > 1 && p.ends_with('/') && !result.ends_with('/')) result += '/';
    return result.empty() ? p : result;
}

int _access(const char* path, int mode) {
    if (!path) return -1;
    const std::string host = ResolvePath(path);
    int how = F_OK;
    if (mode & 2) how |= W_OK;
    if (mode & 4) how |= R_OK;
    if (::access(host.c_str(), how) != 0) return -1;
    // access() ignores permission bits for root; a test run as root must still see a read-only file.
    if ((mode & 2) && ::geteuid() == 0) {
        struct stat st;
        if (::stat(host.c_str(), &st) == 0 && !(st.st_mode & 0222)) return -1;
    }
    return 0;
}

int _stat(const char* path, _stat_t* out) {
    if (!path || !out) return -1;
    struct stat st;
    if (::stat(ResolvePath(path).c_str(), &st) != 0) return -1;
    out->st_size = st.st_size;
    out->modified = st.st_mtime;
    out->isDirectory = S_ISDIR(st.st_mode);
    return 0;
}

int _mkdir(const char* path) {
    if (!path || !path[0]) return -1;
    return ::mkdir(ResolvePath(path).c_str(), 0777) == 0 ? 0 : -1;
}

namespace crt {
std::FILE* fopen(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    const std::string host = ResolvePath(path);
    Faults& f = GetFaults();
    long limit = -1;
    {
        std::lock_guard<std::mutex> lock(f.lock);
        if (!f.failOpen.empty() && host.find(f.failOpen) != std::string::npos) {
            errno = EACCES;
            return nullptr;
        }
        if (f.writeLimit >= 0 && !f.limitWrite.empty() && host.find(f.limitWrite) != std::string::npos &&
            (std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+')))
            limit = f.writeLimit;
    }
    std::FILE* fp = std::fopen(host.c_str(), mode);
    if (!fp || limit < 0) return fp;
    auto* lf = new LimitedFile{fp, limit};
    cookie_io_functions_t io{LimitedRead, LimitedWrite, LimitedSeek, LimitedClose};
    std::FILE* wrapped = fopencookie(lf, mode, io);
    if (!wrapped) {
        std::fclose(fp);
        delete lf;
    }
    return wrapped;
}

int remove(const char* path) {
    return path ? std::remove(ResolvePath(path).c_str()) : -1;
}

int rename(const char* from, const char* to) {
    if (!from || !to) return -1;
    return std::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str());
}

int fflush_sync(std::FILE* fp) {
    if (!fp || std::fflush(fp) != 0 || std::ferror(fp)) return -1;
    const int fd = ::fileno(fp);
    if (fd >= 0 && ::fsync(fd) != 0) return -1;
    return 0;
}
} // namespace crt

namespace platform::testing {
void FailOpensOf(const char* pathPart) {
    std::lock_guard<std::mutex> lock(GetFaults().lock);
    GetFaults().failOpen = pathPart ? pathPart : "";
}
void LimitWritesOf(const char* pathPart, long bytes) {
    std::lock_guard<std::mutex> lock(GetFaults().lock);
    GetFaults().limitWrite = pathPart ? pathPart : "";
    GetFaults().writeLimit = bytes;
}
void ClearFileFaults() {
    std::lock_guard<std::mutex> lock(GetFaults().lock);
    GetFaults().failOpen.clear();
    GetFaults().limitWrite.clear();
    GetFaults().writeLimit = -1;
}
} // namespace platform::testing
