#include "platform/runtime.h"

#include "platform/base.h"

#include <atomic>
#include <cstring>

namespace crt {
namespace {
std::atomic<unsigned int> g_seed{1};
}

int rand() {
    unsigned int next = g_seed.load() * 214013u + 2531011u;
    g_seed = next;
    return static_cast<int>((next >> 16) & 0x7FFF);
}

void srand(unsigned int seed) {
    g_seed = seed;
}
} // namespace crt

namespace {
inline int FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}
} // namespace

int _stricmp(const char* a, const char* b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    for (;; ++pa, ++pb) {
        const int ca = FoldAscii(*pa), cb = FoldAscii(*pb);
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int _strnicmp(const char* a, const char* b, std::size_t n) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < n; ++i, ++pa, ++pb) {
        const int ca = FoldAscii(*pa), cb = FoldAscii(*pb);
        if (ca != cb || ca == 0) return ca - cb;
    }
    return 0;
}

std::size_t CopyBounded(char* dst, std::size_t size, const char* src) {
    if (!src) src = "";
    const std::size_t len = std::strlen(src);
    if (size == 0 || !dst) return len;
    const std::size_t n = len < size - 1 ? len : size - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
    return len;
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    if (!path) path = "";
    const char* p = path;
    if (drive) drive[0] = '\0';
    if (p[0] && p[1] == ':') {
        if (drive) {
            drive[0] = p[0];
            drive[1] = ':';
            drive[2] = '\0';
        }
        p += 2;
    }
    const char* lastSep = nullptr;
    for (const char* q = p; *q; ++q)
        if (*q == '\\' || *q == '/') lastSep = q;
    const char* nameStart = lastSep ? lastSep + 1 : p;
    if (dir) {
        std::size_t n = static_cast<std::size_t>(nameStart - p);
        if (n >= MAX_PATH) n = MAX_PATH - 1;
        std::memcpy(dir, p, n);
        dir[n] = '\0';
    }
    const char* dot = std::strrchr(nameStart, '.');
    const char* nameEnd = dot ? dot : nameStart + std::strlen(nameStart);
    if (fname) {
        std::size_t n = static_cast<std::size_t>(nameEnd - nameStart);
        if (n >= MAX_PATH) n = MAX_PATH - 1;
        std::memcpy(fname, nameStart, n);
        fname[n] = '\0';
    }
    if (ext) CopyBounded(ext, 256, dot ? dot : "");
}
