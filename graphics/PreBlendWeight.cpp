// The row kernels of the weight blend: the plain form for any fields, and vector forms for the 5-6-5
// and 5-5-5 layouts (SSE2) and for 32-bit pixels whose fields are whole bytes (SSE2, SSSE3 and AVX2,
// chosen by the processor's level at each row). Every form gives the plain form's bytes.
#include "graphics/PreBlend.h"
#include "platform/cpu.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {
inline DWORD LoadPixel(const BYTE* p, int bytesPerPixel) {
    if (bytesPerPixel == 2) {
        WORD w;
        std::memcpy(&w, p, 2);
        return w;
    }
    DWORD d;
    std::memcpy(&d, p, 4);
    return d;
}

inline void StorePixel(BYTE* p, DWORD value, int bytesPerPixel) {
    if (bytesPerPixel == 2) {
        const WORD w = static_cast<WORD>(value);
        std::memcpy(p, &w, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

inline DWORD WeightField(DWORD t, DWORD o, unsigned w, const BlendField& f) {
    const DWORD tf = (t & f.mask) >> f.shift;
    const DWORD of = (o & f.mask) >> f.shift;
    return (((tf * (16 - w) + of * w) >> 4) << f.shift) & f.mask;
}
} // namespace

void WeightBlendRowPlain(int bytesPerPixel, const BlendFields& fields, BYTE* s, const BYTE* t, const BYTE* o,
                         const BYTE* weights, int n) {
    for (int k = 0; k < n; ++k) {
        // Weights above 16 do not occur in good pictures; they count as 16.
        const unsigned weight = std::min<unsigned>(weights[k], 16);
        if (weight == 0) continue;
        const long at = static_cast<long>(k) * bytesPerPixel;
        if (bytesPerPixel == 3) {
            for (int c = 0; c < 3; ++c)
                s[at + c] = static_cast<BYTE>((t[at + c] * (16 - weight) + o[at + c] * weight) >> 4);
            continue;
        }
        const DWORD tp = LoadPixel(t + at, bytesPerPixel);
        const DWORD op = LoadPixel(o + at, bytesPerPixel);
        const DWORD result = WeightField(tp, op, weight, fields.red) |
                             WeightField(tp, op, weight, fields.green) |
                             WeightField(tp, op, weight, fields.blue);
        StorePixel(s + at, result, bytesPerPixel);
    }
}

namespace {
bool Same(const BlendField& f, DWORD mask, int shift) {
    return f.mask == mask && f.shift == shift;
}
// At 32 bits with each field one whole byte, the fields are bytes; the mask marks them.
bool ByteFields(const BlendFields& f, DWORD* fieldBytes) {
    DWORD all = 0;
    for (const BlendField& c : {f.red, f.green, f.blue}) {
        if (c.shift < 0 || c.shift > 24 || c.shift % 8 != 0 || c.mask != (0xFFu << c.shift) || (all & c.mask))
            return false;
        all |= c.mask;
    }
    *fieldBytes = all;
    return true;
}
} // namespace

#if defined(__SSE2__)
namespace {
#define QUORIN_SSSE3 __attribute__((target("ssse3")))
#define QUORIN_AVX2 __attribute__((target("avx2")))

inline __m128i Load(const BYTE* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(BYTE* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// (t x (16 - w) + o x w) >> 4 = t + floor((o - t) x w / 16), exact in 16-bit lanes.
inline __m128i WeightLanes(__m128i t, __m128i o, __m128i w) {
    return _mm_add_epi16(t, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(o, t), w), 4));
}

// Keeps the shown pixel where `keep` is set.
inline __m128i Select(__m128i keep, __m128i shown, __m128i blended) {
    return _mm_or_si128(_mm_and_si128(keep, shown), _mm_andnot_si128(keep, blended));
}

// 32-bit pixels go sixteen at a time: sixteen weights in one vector, four vectors of four pixels. A run
// whose weights are all 0 is skipped; one without a 0 is written without reading the shown pixels; the
// others keep the shown pixel where the weight is 0.
struct Run16 {
    __m128i zeroWeights; // 0xFF where the weight is 0
    unsigned zeroBits;   // one bit a pixel
    unsigned fullBits;   // one bit a pixel of weight 16 or more
    __m128i weights;     // at most 16
    bool Skipped() const { return zeroBits == 0xFFFF; }
    // The opaque inside of a picture: the shown pixels are the picture's.
    bool Opaque() const { return fullBits == 0xFFFF; }
};

inline Run16 ReadRun(const BYTE* weights) {
    Run16 run;
    const __m128i w = Load(weights);
    const __m128i sixteen = _mm_set1_epi8(16);
    run.zeroWeights = _mm_cmpeq_epi8(w, _mm_setzero_si128());
    run.zeroBits = static_cast<unsigned>(_mm_movemask_epi8(run.zeroWeights));
    run.weights = _mm_min_epu8(w, sixteen);
    run.fullBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(run.weights, sixteen)));
    return run;
}

// Writes the picture's pixels of an opaque run of 16 pixels (Bpp vectors), less the bits outside the
// fields.
template <int Bpp> inline void CopyRun(BYTE* s, const BYTE* o, __m128i fields) {
#pragma GCC unroll 4
    for (int q = 0; q < Bpp; ++q)
        Store(s + 16 * q, _mm_and_si128(Load(o + 16 * q), fields));
}

// The runs that need no blending: all transparent (nothing written) or all opaque (the picture copied).
// True when the run is done.
template <int Bpp> inline bool PlainRun(const Run16& run, BYTE* s, const BYTE* o, __m128i fields) {
    if (run.Skipped()) return true;
    if (!run.Opaque()) return false;
    CopyRun<Bpp>(s, o, fields);
    return true;
}

// Writes the blended vectors of a run, keeping the shown pixels of weight 0.
template <int Bpp> inline void StoreRun(const Run16& run, BYTE* out, const __m128i blended[Bpp]) {
    if (run.zeroBits == 0) {
#pragma GCC unroll 4
        for (int q = 0; q < Bpp; ++q)
            Store(out + 16 * q, blended[q]);
        return;
    }
    // The zero flags widened to the pixels: 16 bits each, then (for 32-bit pixels) 32 bits each.
    const __m128i flags[2] = {_mm_unpacklo_epi8(run.zeroWeights, run.zeroWeights),
                              _mm_unpackhi_epi8(run.zeroWeights, run.zeroWeights)};
#pragma GCC unroll 4
    for (int q = 0; q < Bpp; ++q) {
        __m128i keep = flags[q * 2 / Bpp];
        if (Bpp == 4) keep = q % 2 ? _mm_unpackhi_epi16(keep, keep) : _mm_unpacklo_epi16(keep, keep);
        Store(out + 16 * q, Select(keep, Load(out + 16 * q), blended[q]));
    }
}

// t + floor((o - t) x 16w / 256) byte by byte, the weight of each pixel in both 16-bit lanes of the
// pixel. Even and odd bytes are taken apart with masks and shifts; the low 16 bits of difference x 16w
// hold the change of an even byte in bits 8-15 and that of an odd byte in place.
inline __m128i WeightBytesSse2(__m128i t, __m128i o, __m128i w16) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i even = _mm_sub_epi16(_mm_and_si128(o, low), _mm_and_si128(t, low));
    const __m128i odd = _mm_sub_epi16(_mm_srli_epi16(o, 8), _mm_srli_epi16(t, 8));
    const __m128i evenChange = _mm_srli_epi16(_mm_mullo_epi16(even, w16), 8);
    const __m128i oddChange = _mm_andnot_si128(low, _mm_mullo_epi16(odd, w16));
    return _mm_add_epi8(t, _mm_or_si128(evenChange, oddChange));
}

int WeightRow32Sse2(DWORD fieldBytes, BYTE* s, const BYTE* t, const BYTE* o, const BYTE* weights, int n) {
    const __m128i fields = _mm_set1_epi32(static_cast<int>(fieldBytes));
    const __m128i zero = _mm_setzero_si128();
    int k = 0;
    for (; k + 16 <= n; k += 16) {
        const Run16 run = ReadRun(weights + k);
        if (PlainRun<4>(run, s + 4L * k, o + 4L * k, fields)) continue;
        const __m128i w16[2] = {_mm_slli_epi16(_mm_unpacklo_epi8(run.weights, zero), 4),
                                _mm_slli_epi16(_mm_unpackhi_epi8(run.weights, zero), 4)};
        __m128i blended[4];
#pragma GCC unroll 4
        for (int q = 0; q < 4; ++q) {
            const __m128i& w = w16[q / 2];
            const __m128i pairs = q % 2 ? _mm_unpackhi_epi16(w, w) : _mm_unpacklo_epi16(w, w);
            const long at = 4L * k + 16 * q;
            blended[q] = _mm_and_si128(WeightBytesSse2(Load(t + at), Load(o + at), pairs), fields);
        }
        StoreRun<4>(run, s + 4L * k, blended);
    }
    return k;
}

// With SSSE3 a byte multiply-add gives t x (16 - w) + o x w for each byte pair at once: the bytes of t
// and o interleaved, against the weight pairs (16 - w, w) of their pixels, shuffled into place.
QUORIN_SSSE3 inline __m128i WeightBytes(__m128i tv, __m128i ov, __m128i pairsLow, __m128i pairsHigh) {
    const __m128i low = _mm_srli_epi16(_mm_maddubs_epi16(_mm_unpacklo_epi8(tv, ov), pairsLow), 4);
    const __m128i high = _mm_srli_epi16(_mm_maddubs_epi16(_mm_unpackhi_epi8(tv, ov), pairsHigh), 4);
    return _mm_packus_epi16(low, high);
}

// Shuffle controls: the weight pairs of pixels `first` and `first` + 1, each pair four times (pixel i's
// pair in bytes 2i and 2i + 1 of the source); and the zero flags of pixels `first` to `first` + 3, each
// four times.
QUORIN_SSSE3 inline __m128i PairControl(int first) {
    const char a = static_cast<char>(2 * first), b = static_cast<char>(2 * first + 2);
    return _mm_setr_epi8(a, a + 1, a, a + 1, a, a + 1, a, a + 1, b, b + 1, b, b + 1, b, b + 1, b, b + 1);
}

QUORIN_SSSE3 int WeightRow32Ssse3(DWORD fieldBytes, BYTE* s, const BYTE* t, const BYTE* o,
                                  const BYTE* weights, int n) {
    const __m128i fields = _mm_set1_epi32(static_cast<int>(fieldBytes));
    const __m128i sixteen = _mm_set1_epi8(16);
    const __m128i control[4] = {PairControl(0), PairControl(2), PairControl(4), PairControl(6)};
    int k = 0;
    for (; k + 16 <= n; k += 16) {
        const Run16 run = ReadRun(weights + k);
        if (PlainRun<4>(run, s + 4L * k, o + 4L * k, fields)) continue;
        const __m128i rest = _mm_sub_epi8(sixteen, run.weights);
        const __m128i pairs[2] = {_mm_unpacklo_epi8(rest, run.weights), _mm_unpackhi_epi8(rest, run.weights)};
        __m128i blended[4];
#pragma GCC unroll 4
        for (int q = 0; q < 4; ++q) {
            const int c = 2 * (q % 2);
            const long at = 4L * k + 16 * q;
            blended[q] = _mm_and_si128(WeightBytes(Load(t + at), Load(o + at),
                                                   _mm_shuffle_epi8(pairs[q / 2], control[c]),
                                                   _mm_shuffle_epi8(pairs[q / 2], control[c + 1])),
                                       fields);
        }
        StoreRun<4>(run, s + 4L * k, blended);
    }
    return k;
}

QUORIN_SSSE3 inline __m128i FlagControl(int first) {
    const char a = static_cast<char>(first);
    return _mm_setr_epi8(a, a, a, a, a + 1, a + 1, a + 1, a + 1, a + 2, a + 2, a + 2, a + 2, a + 3, a + 3,
                         a + 3, a + 3);
}

// AVX2: eight pixels to a vector, four in each 16-byte half. The byte unpacks work within each half, so
// the shuffles that spread the weight pairs and zero flags pick, for the upper half, the pixels four on.
QUORIN_AVX2 inline __m256i BothHalves(__m128i low, __m128i high) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

QUORIN_AVX2 int WeightRow32Avx2(DWORD fieldBytes, BYTE* s, const BYTE* t, const BYTE* o, const BYTE* weights,
                                int n) {
    const __m256i fields = _mm256_set1_epi32(static_cast<int>(fieldBytes));
    const __m256i pairsLow = BothHalves(PairControl(0), PairControl(4));
    const __m256i pairsHigh = BothHalves(PairControl(2), PairControl(6));
    const __m256i flags = BothHalves(FlagControl(0), FlagControl(4));
    int k = 0;
    for (; k + 16 <= n; k += 16) {
        const Run16 run = ReadRun(weights + k);
        if (PlainRun<4>(run, s + 4L * k, o + 4L * k, _mm256_castsi256_si128(fields))) continue;
        const __m128i rest = _mm_sub_epi8(_mm_set1_epi8(16), run.weights);
        const __m128i pairs[2] = {_mm_unpacklo_epi8(rest, run.weights), _mm_unpackhi_epi8(rest, run.weights)};
#pragma GCC unroll 4
        for (int v = 0; v < 2; ++v) {
            const unsigned zeros = (run.zeroBits >> (8 * v)) & 0xFF;
            if (zeros == 0xFF) continue;
            const long at = 4L * (k + 8 * v);
            const __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + at));
            const __m256i ov = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o + at));
            const __m256i both = _mm256_broadcastsi128_si256(pairs[v]);
            const __m256i low = _mm256_srli_epi16(
                _mm256_maddubs_epi16(_mm256_unpacklo_epi8(tv, ov), _mm256_shuffle_epi8(both, pairsLow)), 4);
            const __m256i high = _mm256_srli_epi16(
                _mm256_maddubs_epi16(_mm256_unpackhi_epi8(tv, ov), _mm256_shuffle_epi8(both, pairsHigh)), 4);
            __m256i blended = _mm256_and_si256(_mm256_packus_epi16(low, high), fields);
            auto* out = reinterpret_cast<__m256i*>(s + at);
            if (zeros) {
                const __m256i keep = _mm256_shuffle_epi8(
                    _mm256_broadcastsi128_si256(v ? _mm_srli_si128(run.zeroWeights, 8) : run.zeroWeights),
                    flags);
                blended = _mm256_blendv_epi8(blended, _mm256_loadu_si256(out), keep);
            }
            _mm256_storeu_si256(out, blended);
        }
    }
    return k;
}

// 5-6-5 and 5-5-5 pixels, sixteen at a time (two vectors of eight).
int WeightRow16(bool is555, BYTE* s, const BYTE* t, const BYTE* o, const BYTE* weights, int n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i five = _mm_set1_epi16(0x1F);
    const __m128i greenMask = _mm_set1_epi16(is555 ? 0x1F : 0x3F);
    const __m128i redShift = _mm_cvtsi32_si128(is555 ? 10 : 11);
    const __m128i fields = _mm_set1_epi16(static_cast<short>(is555 ? 0x7FFF : 0xFFFF));
    int k = 0;
    for (; k + 16 <= n; k += 16) {
        const Run16 run = ReadRun(weights + k);
        if (PlainRun<2>(run, s + 2L * k, o + 2L * k, fields)) continue;
        __m128i blended[2];
#pragma GCC unroll 4
        for (int q = 0; q < 2; ++q) {
            const __m128i w = q ? _mm_unpackhi_epi8(run.weights, zero) : _mm_unpacklo_epi8(run.weights, zero);
            const __m128i tv = Load(t + 2L * k + 16 * q);
            const __m128i ov = Load(o + 2L * k + 16 * q);
            const __m128i r = WeightLanes(_mm_and_si128(_mm_srl_epi16(tv, redShift), five),
                                          _mm_and_si128(_mm_srl_epi16(ov, redShift), five), w);
            const __m128i g = WeightLanes(_mm_and_si128(_mm_srli_epi16(tv, 5), greenMask),
                                          _mm_and_si128(_mm_srli_epi16(ov, 5), greenMask), w);
            const __m128i b = WeightLanes(_mm_and_si128(tv, five), _mm_and_si128(ov, five), w);
            blended[q] = _mm_or_si128(_mm_or_si128(_mm_sll_epi16(r, redShift), _mm_slli_epi16(g, 5)), b);
        }
        StoreRun<2>(run, s + 2L * k, blended);
    }
    return k;
}

int WeightRow32(DWORD fieldBytes, BYTE* s, const BYTE* t, const BYTE* o, const BYTE* weights, int n) {
    switch (platform::GetSimdLevel()) {
    case platform::SimdLevel::Avx2:
        return WeightRow32Avx2(fieldBytes, s, t, o, weights, n);
    case platform::SimdLevel::Ssse3:
        return WeightRow32Ssse3(fieldBytes, s, t, o, weights, n);
    default:
        return WeightRow32Sse2(fieldBytes, s, t, o, weights, n);
    }
}
} // namespace
#endif

void WeightBlendRow(int bytesPerPixel, const BlendFields& fields, BYTE* s, const BYTE* t, const BYTE* o,
                    const BYTE* weights, int n) {
    int done = 0;
#if defined(__SSE2__)
    DWORD fieldBytes = 0;
    if (bytesPerPixel == 4 && ByteFields(fields, &fieldBytes)) {
        done = WeightRow32(fieldBytes, s, t, o, weights, n);
    } else if (bytesPerPixel == 2 && Same(fields.blue, 0x001F, 0) &&
               ((Same(fields.red, 0xF800, 11) && Same(fields.green, 0x07E0, 5)) ||
                (Same(fields.red, 0x7C00, 10) && Same(fields.green, 0x03E0, 5)))) {
        done = WeightRow16(fields.red.shift == 10, s, t, o, weights, n);
    }
#else
    (void)Same;
    (void)ByteFields;
#endif
    const long at = static_cast<long>(done) * bytesPerPixel;
    WeightBlendRowPlain(bytesPerPixel, fields, s + at, t + at, o + at, weights + done, n - done);
}
