// The floor every pixel kernel is measured against: vector loads and stores of exactly the bytes the
// kernel reads and writes, with nothing but an OR to keep each load alive. A library memcpy is no floor:
// its large-copy path can be several times slower than a plain vector loop, which flatters the kernel.
// The widest vectors the processor has are used (AVX2 where present, else SSE2), chosen at run time.
// Lengths are in bytes; a rest shorter than a vector is done byte by byte.
#pragma once

#include "platform/base.h"
#include "platform/cpu.h"

#include <cstddef>
#include <cstdint>
#include <immintrin.h>

namespace vector_copy {
namespace detail {
#define QUORIN_COPY_AVX2 __attribute__((target("avx2")))

// dst = a | b over n bytes.
inline void Or2Sse2(BYTE* dst, const BYTE* a, const BYTE* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i + 16));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(a0, b0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 16), _mm_or_si128(a1, b1));
    }
    for (; i < n; ++i)
        dst[i] = a[i] | b[i];
}
QUORIN_COPY_AVX2 inline void Or2Avx2(BYTE* dst, const BYTE* a, const BYTE* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i + 32));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_or_si256(a0, b0));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 32), _mm256_or_si256(a1, b1));
    }
    Or2Sse2(dst + i, a + i, b + i, n - i);
}

// x = x | y and y = x & y over n bytes: both read once and written once.
inline void MixSse2(BYTE* x, BYTE* y, std::size_t n) {
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(x + i), _mm_or_si128(a, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(y + i), _mm_and_si128(a, b));
    }
    for (; i < n; ++i) {
        const BYTE a = x[i], b = y[i];
        x[i] = a | b;
        y[i] = a & b;
    }
}
QUORIN_COPY_AVX2 inline void MixAvx2(BYTE* x, BYTE* y, std::size_t n) {
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(x + i), _mm256_or_si256(a, b));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(y + i), _mm256_and_si256(a, b));
    }
    MixSse2(x + i, y + i, n - i);
}

// The OR of n bytes, folded to one value.
inline std::uint64_t ReadSse2(const BYTE* src, std::size_t n) {
    __m128i acc0 = _mm_setzero_si128(), acc1 = acc0;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        acc0 = _mm_or_si128(acc0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
        acc1 = _mm_or_si128(acc1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16)));
    }
    std::uint64_t rest = 0;
    for (; i < n; ++i)
        rest |= src[i];
    const __m128i acc = _mm_or_si128(acc0, acc1);
    return rest |
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_or_si128(acc, _mm_unpackhi_epi64(acc, acc))));
}
QUORIN_COPY_AVX2 inline std::uint64_t ReadAvx2(const BYTE* src, std::size_t n) {
    __m256i acc0 = _mm256_setzero_si256(), acc1 = acc0;
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        acc0 = _mm256_or_si256(acc0, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
        acc1 = _mm256_or_si256(acc1, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32)));
    }
    const __m256i acc = _mm256_or_si256(acc0, acc1);
    const __m128i half = _mm_or_si128(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
    return ReadSse2(src + i, n - i) |
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_or_si128(half, _mm_unpackhi_epi64(half, half))));
}

// Vector stores of n bytes of v.
inline void WriteSse2(BYTE* dst, std::uint64_t v, std::size_t n) {
    const __m128i value = _mm_set1_epi64x(static_cast<long long>(v));
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), value);
    for (; i < n; ++i)
        dst[i] = static_cast<BYTE>(v);
}
QUORIN_COPY_AVX2 inline void WriteAvx2(BYTE* dst, std::uint64_t v, std::size_t n) {
    const __m256i value = _mm256_set1_epi64x(static_cast<long long>(v));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), value);
    WriteSse2(dst + i, v, n - i);
}
#undef QUORIN_COPY_AVX2

inline bool Wide() {
    static const bool wide = platform::ProcessorSimdLevel() >= platform::SimdLevel::Avx2;
    return wide;
}
} // namespace detail

// Reads n bytes from a and from b and writes n bytes to dst (which may be a or b).
inline void Or2(BYTE* dst, const BYTE* a, const BYTE* b, std::size_t n) {
    if (detail::Wide())
        detail::Or2Avx2(dst, a, b, n);
    else
        detail::Or2Sse2(dst, a, b, n);
}

// Reads n bytes from src and writes them to dst (the second load of each vector hits the same line).
inline void Copy(BYTE* dst, const BYTE* src, std::size_t n) {
    Or2(dst, src, src, n);
}

// Reads and writes n bytes of x and of y.
inline void Mix(BYTE* x, BYTE* y, std::size_t n) {
    if (detail::Wide())
        detail::MixAvx2(x, y, n);
    else
        detail::MixSse2(x, y, n);
}

// Reads n bytes; the result only keeps the loads from being dropped.
inline std::uint64_t Read(const BYTE* src, std::size_t n) {
    return detail::Wide() ? detail::ReadAvx2(src, n) : detail::ReadSse2(src, n);
}

// Writes n bytes of `v` (for a kernel whose reads and writes differ in size, beside a Read).
inline void Write(BYTE* dst, std::uint64_t v, std::size_t n) {
    if (detail::Wide())
        detail::WriteAvx2(dst, v, n);
    else
        detail::WriteSse2(dst, v, n);
}

inline const char* Width() {
    return detail::Wide() ? "AVX2" : "SSE2";
}
} // namespace vector_copy
