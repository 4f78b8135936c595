// SSE2 form of the mask-wipe scan. Eight mask entries are tested at once; only groups that hold an
// active pixel are loaded and written, so waiting and finished parts of the screen cost a compare.
#include "graphics/TransitionMaskPixels.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace transition {
namespace {
inline __m128i Load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
inline void Store(void* p, __m128i v) {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// Byte-wise blend of 16 bytes, the low 8 with alphaLo and the high 8 with alphaHi (16-bit lanes).
inline __m128i BlendBytes(__m128i a, __m128i b, __m128i alphaLo, __m128i alphaHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i dlo = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero));
    const __m128i dhi = _mm_sub_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(a, zero));
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(dlo, alphaLo), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(dhi, alphaHi), 8);
    return _mm_add_epi8(a, _mm_packus_epi16(lo, hi));
}

// Byte-wise blend of the low 8 bytes.
inline __m128i BlendBytes8(__m128i a, __m128i b, __m128i alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i d = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero));
    const __m128i r = _mm_srli_epi16(_mm_mullo_epi16(d, alpha), 8);
    return _mm_add_epi8(a, _mm_packus_epi16(r, zero));
}

inline __m128i BlendLanes(__m128i a, __m128i b, __m128i alpha) {
    return _mm_add_epi16(a, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(b, a), alpha), 8));
}

inline __m128i Blend16(__m128i a, __m128i b, __m128i alpha, bool is565) {
    const __m128i five = _mm_set1_epi16(31);
    const __m128i green = _mm_set1_epi16(is565 ? 63 : 31);
    const int redShift = is565 ? 11 : 10;
    const __m128i blue = BlendLanes(_mm_and_si128(a, five), _mm_and_si128(b, five), alpha);
    const __m128i g = BlendLanes(_mm_and_si128(_mm_srli_epi16(a, 5), green),
                                 _mm_and_si128(_mm_srli_epi16(b, 5), green), alpha);
    const __m128i red = BlendLanes(_mm_and_si128(_mm_srl_epi16(a, _mm_cvtsi32_si128(redShift)), five),
                                   _mm_and_si128(_mm_srl_epi16(b, _mm_cvtsi32_si128(redShift)), five), alpha);
    return _mm_or_si128(_mm_or_si128(blue, _mm_slli_epi16(g, 5)),
                        _mm_sll_epi16(red, _mm_cvtsi32_si128(redShift)));
}

// Writes v where the 8-byte halves are chosen, keeps the old bytes elsewhere.
inline void StoreHalves(BYTE* d, __m128i v, bool low, bool high) {
    if (low && high) {
        Store(d, v);
    } else if (low) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
    } else if (high) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 8), _mm_unpackhi_epi64(v, v));
    }
}
} // namespace

int ScanMaskSimd(int format, const PixelArea& area, MaskScan& s) {
    const int bpp = BytesPerPixel(format);
    const int group = MaskGroupSize(format);
    const __m128i level = _mm_set1_epi16(static_cast<short>(s.level));
    const __m128i delta = _mm_set1_epi16(static_cast<short>(s.delta));
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i finishedAlpha = _mm_set1_epi16(256);
    const bool is565 = format == kFormat16;

    for (int y = 0; y < area.height; ++y) {
        WORD* mask = s.mask + std::ptrdiff_t{y} * s.stride;
        WORD* alpha = s.alpha + std::ptrdiff_t{y} * s.stride;
        const BYTE* rowA = area.before + std::ptrdiff_t{y} * area.beforePitch;
        const BYTE* rowB = area.after + std::ptrdiff_t{y} * area.afterPitch;
        BYTE* rowD = area.draw + std::ptrdiff_t{y} * area.drawPitch;
        int x = 0;
        for (; x + 8 <= area.width; x += 8) {
            const __m128i m = Load(mask + x);
            const __m128i active = _mm_cmpeq_epi16(_mm_subs_epu16(m, level), zero);
            const int bits = _mm_movemask_epi8(active);
            if (!bits) continue;
            const __m128i sum = _mm_add_epi16(Load(alpha + x), _mm_and_si128(active, delta));
            const __m128i finished = _mm_and_si128(active, _mm_cmpgt_epi16(sum, full));
            // When these pixels end the wipe, every later pixel has finished already: the groups after
            // the one that ends it hold no active pixel and are not written.
            s.remaining -= __builtin_popcount(_mm_movemask_epi8(finished)) / 2;
            Store(mask + x, _mm_or_si128(m, finished));
            const __m128i newAlpha =
                _mm_or_si128(_mm_and_si128(finished, finishedAlpha), _mm_andnot_si128(finished, sum));
            Store(alpha + x, newAlpha);

            const BYTE* a = rowA + x * bpp;
            const BYTE* b = rowB + x * bpp;
            BYTE* d = rowD + x * bpp;
            if (format == kFormat24) {
                // Parts of 8 bytes: pixels 0-2, 2-5 and 5-7 own bytes of them.
                alignas(16) WORD pixelAlpha[8];
                _mm_store_si128(reinterpret_cast<__m128i*>(pixelAlpha), _mm_min_epi16(newAlpha, full));
                alignas(16) WORD byteAlpha[24];
                for (int j = 0; j < 24; ++j)
                    byteAlpha[j] = pixelAlpha[j / 3];
                const int partBits[3] = {0x003F, 0x0FF0, 0xFC00};
                for (int part = 0; part < 3; ++part) {
                    if (!(bits & partBits[part])) continue;
                    const __m128i pa = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + part * 8));
                    const __m128i pb = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + part * 8));
                    const __m128i al = _mm_load_si128(reinterpret_cast<const __m128i*>(byteAlpha + part * 8));
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + part * 8), BlendBytes8(pa, pb, al));
                }
            } else if (format == kFormat32) {
                // Four groups of two pixels, two in each 16 bytes.
                const __m128i lo = _mm_unpacklo_epi16(newAlpha, newAlpha); // a0 a0 a1 a1 a2 a2 a3 a3
                const __m128i hi = _mm_unpackhi_epi16(newAlpha, newAlpha); // a4 a4 .. a7 a7
                const bool g0 = bits & 0x000F, g1 = bits & 0x00F0, g2 = bits & 0x0F00, g3 = bits & 0xF000;
                if (g0 || g1)
                    StoreHalves(
                        d,
                        BlendBytes(Load(a), Load(b), _mm_unpacklo_epi32(lo, lo), _mm_unpackhi_epi32(lo, lo)),
                        g0, g1);
                if (g2 || g3)
                    StoreHalves(d + 16,
                                BlendBytes(Load(a + 16), Load(b + 16), _mm_unpacklo_epi32(hi, hi),
                                           _mm_unpackhi_epi32(hi, hi)),
                                g2, g3);
            } else {
                // Two groups of four pixels.
                StoreHalves(d, Blend16(Load(a), Load(b), newAlpha, is565), bits & 0x00FF, bits & 0xFF00);
            }
            if (s.remaining <= 0) return 1;
        }
        for (; x < area.width; x += group) {
            const int n = area.width - x < group ? area.width - x : group;
            if (ScanMaskGroupTwin(format, area, s, y, x, n)) return 1;
        }
    }
    return 0;
}
} // namespace transition

#else

namespace transition {
int ScanMaskSimd(int format, const PixelArea& area, MaskScan& scan) {
    return ScanMaskSimdTwin(format, area, scan);
}
} // namespace transition

#endif
