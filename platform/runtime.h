// The C runtime of the program's home platform: its random generator, case-folding compares and
// path splitting, plus the bounded string copy every fixed-size field is filled with.
#pragma once

#include <cstddef>
#include <string>

namespace crt {
inline constexpr int kRandMax = 32767;
// Linear congruential generator: the same seed always gives the same sequence, on every machine.
int rand();
void srand(unsigned int seed);
} // namespace crt

// Byte-wise compare folding ASCII letters only (Shift-JIS trail bytes are left alone).
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, std::size_t n);

// Splits "drive:dir\\name.ext" into its parts; each out pointer may be null. Separators are '\\' and
// '/'. Each part is copied with a bound of MAX_PATH (drive 3, ext 256) and always NUL-terminated.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);

// Copies at most size-1 bytes and always terminates (when size > 0). Returns the length of src, so a
// caller can tell that it was cut (result >= size).
std::size_t CopyBounded(char* dst, std::size_t size, const char* src);
template <std::size_t N> std::size_t CopyBounded(char (&dst)[N], const char* src) {
    return CopyBounded(dst, N, src);
}
