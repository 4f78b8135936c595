// SSE2 form of the cross-fade blend. Every lane computes before + floor(alpha x (after - before) / 256)
// exactly as the scalar blend does, so the two paths give the same bytes.
#include "graphics/TransitionFadePixels.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace transition {
namespace {
// 16 bytes: each byte blended by itself. The product's low 16 bits shifted right by 8 hold the
// (wrapped) change; adding it byte-wise with wrap-around lands on the exact result.
inline __m128i BlendBytes(__m128i a, __m128i b, __m128i alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i dlo = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero));
    const __m128i dhi = _mm_sub_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(a, zero));
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(dlo, alpha), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(dhi, alpha), 8);
    return _mm_add_epi8(a, _mm_packus_epi16(lo, hi));
}

// One channel of eight 16-bit pixels, already shifted down to bit 0. The product fits a signed lane
// (at most 63 x 256), so the arithmetic shift is the floor.
inline __m128i BlendLanes(__m128i a, __m128i b, __m128i alpha) {
    return _mm_add_epi16(a, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(b, a), alpha), 8));
}

inline __m128i Blend16(__m128i a, __m128i b, __m128i alpha, bool is565) {
    const __m128i five = _mm_set1_epi16(31);
    const __m128i green = _mm_set1_epi16(is565 ? 63 : 31);
    const __m128i blue = BlendLanes(_mm_and_si128(a, five), _mm_and_si128(b, five), alpha);
    const __m128i g = BlendLanes(_mm_and_si128(_mm_srli_epi16(a, 5), green),
                                 _mm_and_si128(_mm_srli_epi16(b, 5), green), alpha);
    __m128i red;
    if (is565) {
        red = BlendLanes(_mm_srli_epi16(a, 11), _mm_srli_epi16(b, 11), alpha);
        return _mm_or_si128(_mm_or_si128(blue, _mm_slli_epi16(g, 5)), _mm_slli_epi16(red, 11));
    }
    red = BlendLanes(_mm_and_si128(_mm_srli_epi16(a, 10), five), _mm_and_si128(_mm_srli_epi16(b, 10), five),
                     alpha);
    return _mm_or_si128(_mm_or_si128(blue, _mm_slli_epi16(g, 5)), _mm_slli_epi16(red, 10));
}

inline __m128i Load(const BYTE* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(BYTE* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
} // namespace

void BlendSimd(int format, const PixelArea& area, int alpha) {
    const __m128i alphas = _mm_set1_epi16(static_cast<short>(alpha));
    const int bpp = BytesPerPixel(format);
    const int rowBytes = area.width * bpp;
    if (area.width <= 0) return;
    for (int y = 0; y < area.height; ++y) {
        const BYTE* a = area.before + std::ptrdiff_t{y} * area.beforePitch;
        const BYTE* b = area.after + std::ptrdiff_t{y} * area.afterPitch;
        BYTE* d = area.draw + std::ptrdiff_t{y} * area.drawPitch;
        int done = 0;
        if (format == kFormat24 || format == kFormat32) {
            for (; done + 16 <= rowBytes; done += 16)
                Store(d + done, BlendBytes(Load(a + done), Load(b + done), alphas));
        } else {
            const bool is565 = format == kFormat16;
            for (; done + 16 <= rowBytes; done += 16)
                Store(d + done, Blend16(Load(a + done), Load(b + done), alphas, is565));
        }
        // The rest of the row, shorter than one vector: byte by byte for 24- and 32-bit pixels (a 24-bit
        // rest need not hold whole pixels), pixel by pixel for 16-bit ones.
        if (format == kFormat24 || format == kFormat32) {
            for (; done < rowBytes; ++done)
                d[done] = static_cast<BYTE>(BlendChannel(a[done], b[done], alpha));
        } else if (done < rowBytes) {
            const PixelArea rest{a + done, 0, b + done, 0, d + done, 0, (rowBytes - done) / bpp, 1};
            BlendSimdTwin(format, rest, alpha);
        }
    }
}
} // namespace transition

#else

namespace transition {
void BlendSimd(int format, const PixelArea& area, int alpha) {
    BlendSimdTwin(format, area, alpha);
}
} // namespace transition

#endif
