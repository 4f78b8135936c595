// The lane operations the vector pixel routines are written in, at two widths: 16 bytes with SSE2 (every
// x86-64 processor) and 32 bytes with AVX2. The routines are written once over these (see
// TransitionPixelsLevel.h) and compiled once per processor level; an operation carries the target of its
// width, so it can only be used by a routine compiled for that level or a higher one.
#pragma once

#include "platform/base.h"

#if defined(__SSE2__)
#include <immintrin.h>

#define QUORIN_LANES_SSE2 __attribute__((always_inline))
#define QUORIN_LANES_AVX2 __attribute__((always_inline, target("avx2,popcnt")))

namespace transition::lanes {
struct Sse2 {
    using V = __m128i;
    static constexpr int kBytes = 16;

    QUORIN_LANES_SSE2 static V Load(const void* p) { return _mm_loadu_si128(static_cast<const V*>(p)); }
    QUORIN_LANES_SSE2 static void Store(void* p, V v) { _mm_storeu_si128(static_cast<V*>(p), v); }
    QUORIN_LANES_SSE2 static V Set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
    QUORIN_LANES_SSE2 static V Zero() { return _mm_setzero_si128(); }
    QUORIN_LANES_SSE2 static V And(V a, V b) { return _mm_and_si128(a, b); }
    QUORIN_LANES_SSE2 static V Or(V a, V b) { return _mm_or_si128(a, b); }
    // b without the bits of a.
    QUORIN_LANES_SSE2 static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    QUORIN_LANES_SSE2 static V Add8(V a, V b) { return _mm_add_epi8(a, b); }
    QUORIN_LANES_SSE2 static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    QUORIN_LANES_SSE2 static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    QUORIN_LANES_SSE2 static V SubsU16(V a, V b) { return _mm_subs_epu16(a, b); }
    QUORIN_LANES_SSE2 static V MulLo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    QUORIN_LANES_SSE2 static V MulHi16(V a, V b) { return _mm_mulhi_epi16(a, b); }
    QUORIN_LANES_SSE2 static V MinU8(V a, V b) { return _mm_min_epu8(a, b); }
    QUORIN_LANES_SSE2 static V CmpEq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
    QUORIN_LANES_SSE2 static V CmpGt16(V a, V b) { return _mm_cmpgt_epi16(a, b); }
    QUORIN_LANES_SSE2 static V Min16(V a, V b) { return _mm_min_epi16(a, b); }
    template <int N> QUORIN_LANES_SSE2 static V Srli16(V a) { return _mm_srli_epi16(a, N); }
    template <int N> QUORIN_LANES_SSE2 static V Srai16(V a) { return _mm_srai_epi16(a, N); }
    template <int N> QUORIN_LANES_SSE2 static V Slli16(V a) { return _mm_slli_epi16(a, N); }
    QUORIN_LANES_SSE2 static unsigned MoveMask8(V a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }

    // The 16-bit alphas of eight 32-bit pixels spread over the 16-bit lanes of their two vectors of
    // pixels: each pixel's alpha in both lanes of the pixel.
    QUORIN_LANES_SSE2 static void PixelAlphas32(V alpha, V& first, V& second) {
        first = _mm_unpacklo_epi16(alpha, alpha);
        second = _mm_unpackhi_epi16(alpha, alpha);
    }
    // Writes the 8-byte parts of v whose bit is set in `parts` (bit 0: the lowest), keeps the others.
    QUORIN_LANES_SSE2 static void StoreParts(BYTE* d, V v, unsigned parts) {
        if ((parts & 3u) == 3u) {
            Store(d, v);
            return;
        }
        if (parts & 1u) _mm_storel_epi64(reinterpret_cast<V*>(d), v);
        if (parts & 2u) _mm_storel_epi64(reinterpret_cast<V*>(d + 8), _mm_unpackhi_epi64(v, v));
    }

    // 24-bit pixels, whose bytes do not line up with 16-bit lanes, are blended in 8-byte parts: the
    // part's bytes widened to 16-bit lanes, each lane with its own alpha (at most 255).
    QUORIN_LANES_SSE2 static V Load8(const BYTE* p) { return _mm_loadl_epi64(reinterpret_cast<const V*>(p)); }
    QUORIN_LANES_SSE2 static void Store8(BYTE* p, V v) { _mm_storel_epi64(reinterpret_cast<V*>(p), v); }
    QUORIN_LANES_SSE2 static V BlendPart8(V a, V b, V alpha) {
        const V zero = Zero();
        const V d = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero));
        const V change = _mm_srli_epi16(_mm_mullo_epi16(d, alpha), 8);
        return _mm_add_epi8(a, _mm_packus_epi16(change, zero));
    }
    // The alphas of the 24 bytes of eight 24-bit pixels, eight to a vector: byte j has pixel j / 3's.
    QUORIN_LANES_SSE2 static void ByteAlphas24(V pixelAlpha, V parts[3]) {
        alignas(16) WORD pixel[8];
        alignas(16) WORD byte[24];
        _mm_store_si128(reinterpret_cast<V*>(pixel), pixelAlpha);
        for (int j = 0; j < 24; ++j)
            byte[j] = pixel[j / 3];
        for (int k = 0; k < 3; ++k)
            parts[k] = _mm_load_si128(reinterpret_cast<const V*>(byte + 8 * k));
    }
};

// SSSE3 adds byte shuffles: the byte alphas of 24-bit pixels are picked out of the pixel alphas.
struct Ssse3 : Sse2 {
    __attribute__((always_inline, target("ssse3"))) static void ByteAlphas24(V pixelAlpha, V parts[3]) {
        // Lane j of part k takes the low byte of pixel (8k + j) / 3's alpha; 0x80 gives a zero high byte.
        const V bytes = _mm_packus_epi16(pixelAlpha, pixelAlpha);
        const char z = static_cast<char>(0x80);
        parts[0] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(0, z, 0, z, 0, z, 1, z, 1, z, 1, z, 2, z, 2, z));
        parts[1] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(2, z, 3, z, 3, z, 3, z, 4, z, 4, z, 4, z, 5, z));
        parts[2] = _mm_shuffle_epi8(bytes, _mm_setr_epi8(5, z, 5, z, 6, z, 6, z, 6, z, 7, z, 7, z, 7, z));
    }
};

struct Avx2 {
    using V = __m256i;
    static constexpr int kBytes = 32;

    QUORIN_LANES_AVX2 static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const V*>(p)); }
    QUORIN_LANES_AVX2 static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<V*>(p), v); }
    QUORIN_LANES_AVX2 static V Set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    QUORIN_LANES_AVX2 static V Zero() { return _mm256_setzero_si256(); }
    QUORIN_LANES_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
    QUORIN_LANES_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    QUORIN_LANES_AVX2 static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    QUORIN_LANES_AVX2 static V Add8(V a, V b) { return _mm256_add_epi8(a, b); }
    QUORIN_LANES_AVX2 static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    QUORIN_LANES_AVX2 static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    QUORIN_LANES_AVX2 static V SubsU16(V a, V b) { return _mm256_subs_epu16(a, b); }
    QUORIN_LANES_AVX2 static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    QUORIN_LANES_AVX2 static V MulHi16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
    QUORIN_LANES_AVX2 static V MinU8(V a, V b) { return _mm256_min_epu8(a, b); }
    QUORIN_LANES_AVX2 static V CmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
    QUORIN_LANES_AVX2 static V CmpGt16(V a, V b) { return _mm256_cmpgt_epi16(a, b); }
    QUORIN_LANES_AVX2 static V Min16(V a, V b) { return _mm256_min_epi16(a, b); }
    template <int N> QUORIN_LANES_AVX2 static V Srli16(V a) { return _mm256_srli_epi16(a, N); }
    template <int N> QUORIN_LANES_AVX2 static V Srai16(V a) { return _mm256_srai_epi16(a, N); }
    template <int N> QUORIN_LANES_AVX2 static V Slli16(V a) { return _mm256_slli_epi16(a, N); }
    QUORIN_LANES_AVX2 static unsigned MoveMask8(V a) {
        return static_cast<unsigned>(_mm256_movemask_epi8(a));
    }

    // Sixteen alphas for sixteen 32-bit pixels (two vectors of eight). The unpacks work within each
    // 16-byte half, so the quarters of the alphas are first put in the order the halves need.
    QUORIN_LANES_AVX2 static void PixelAlphas32(V alpha, V& first, V& second) {
        const V ordered = _mm256_permute4x64_epi64(alpha, 0xD8); // quarters 0, 2, 1, 3
        first = _mm256_unpacklo_epi16(ordered, ordered);
        second = _mm256_unpackhi_epi16(ordered, ordered);
    }
    QUORIN_LANES_AVX2 static void StoreParts(BYTE* d, V v, unsigned parts) {
        if ((parts & 15u) == 15u) {
            Store(d, v);
            return;
        }
        Sse2::StoreParts(d, _mm256_castsi256_si128(v), parts & 3u);
        Sse2::StoreParts(d + 16, _mm256_extracti128_si256(v, 1), parts >> 2);
    }
};
} // namespace transition::lanes

#endif
