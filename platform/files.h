// Files as the program names them: '\\' separators, names matched without regard to case.
#pragma once

#include <cstdio>
#include <cstdint>
#include <ctime>
#include <string>

// The host path of a program path: '\\' becomes '/', a drive prefix is dropped, and each existing
// component is matched without regard to ASCII case. Components that do not exist are kept as given,
// so the result also names a file about to be created.
std::string ResolvePath(const char* path);

// mode 0: exists, 2: writable, 4: readable, 6: both. 0 on success, -1 otherwise.
int _access(const char* path, int mode);

struct _stat_t {
    std::int64_t st_size;
    std::time_t modified;
    bool isDirectory;
};
int _stat(const char* path, _stat_t* out);

// Creates one folder (its parent must exist); a trailing separator is allowed. 0 on success, -1
// otherwise (also when it exists already).
int _mkdir(const char* path);

namespace crt {
// stdio opens through the same lookup. Tests can make an open fail or a write stop short.
std::FILE* fopen(const char* path, const char* mode);
int remove(const char* path);
// Replaces an existing target, as POSIX rename does.
int rename(const char* from, const char* to);
// Flushes stdio and the operating system's buffers; 0 on success.
int fflush_sync(std::FILE* fp);
} // namespace crt
