// SSE2 form of the cross-fade blend. Every lane computes before + floor(alpha x (after - before) / 256)
// exactly as the scalar blend does, so the two paths give the same bytes.
#include "graphics/TransitionFadePixels.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace transition {
namespace {
// 16 bytes: each byte blended by itself. Even and odd bytes are taken apart with masks and shifts (no
// shuffles): the low 16 bits of difference x alpha, shifted right by 8, hold the (wrapped) change of an
// even byte; for an odd byte the same bits are already in place in the lane's high byte. Adding the
// changes byte-wise with wrap-around lands on the exact result.
inline __m128i BlendBytes(__m128i a, __m128i b, __m128i alpha) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i even = _mm_sub_epi16(_mm_and_si128(b, low), _mm_and_si128(a, low));
    const __m128i odd = _mm_sub_epi16(_mm_srli_epi16(b, 8), _mm_srli_epi16(a, 8));
    const __m128i evenChange = _mm_srli_epi16(_mm_mullo_epi16(even, alpha), 8);
    const __m128i oddChange = _mm_and_si128(_mm_mullo_epi16(odd, alpha), high);
    return _mm_add_epi8(a, _mm_or_si128(evenChange, oddChange));
}

// Eight 16-bit pixels. Each channel's change floor(alpha x (b - a) / 256) is found with one signed
// high multiply of the channel difference, placed so that the product's high half is that floor: a
// channel difference d at bit s (the field difference d x 2^s) times alpha x 2^(8 - s) has the high
// half floor(d x alpha / 256). The changes are added to the before pixel at their places; each channel
// stays within its field, so nothing carries into a neighbour.
// For blue at bit 0 the factor alpha x 256 does not fit a signed lane from alpha 128 on; it is taken
// as alpha x 256 - 65536 there (alpha256 wraps), which lowers the high half by exactly d, added back.
template <bool Is565, bool HighAlpha>
inline __m128i Blend16(__m128i a, __m128i b, __m128i alpha, __m128i alpha256) {
    const __m128i blueMask = _mm_set1_epi16(31);
    const __m128i dBlue = _mm_sub_epi16(_mm_and_si128(b, blueMask), _mm_and_si128(a, blueMask));
    __m128i blue = _mm_mulhi_epi16(dBlue, alpha256);
    if (HighAlpha) blue = _mm_add_epi16(blue, dBlue);
    // Green at bits 5-10 (5-9): the field difference at bit 5, times alpha x 8.
    const __m128i greenMask = _mm_set1_epi16(Is565 ? 0x07E0 : 0x03E0);
    const __m128i dGreen = _mm_sub_epi16(_mm_and_si128(b, greenMask), _mm_and_si128(a, greenMask));
    const __m128i green = _mm_mulhi_epi16(dGreen, _mm_slli_epi16(alpha, 3));
    // Red at bits 11-15 (10-14): brought down to bit 3, times alpha x 32.
    const __m128i redMask = _mm_set1_epi16(0xF8);
    constexpr int kRedDown = Is565 ? 8 : 7;
    const __m128i dRed = _mm_sub_epi16(_mm_and_si128(_mm_srli_epi16(b, kRedDown), redMask),
                                       _mm_and_si128(_mm_srli_epi16(a, kRedDown), redMask));
    const __m128i red = _mm_mulhi_epi16(dRed, _mm_slli_epi16(alpha, 5));
    const __m128i change =
        _mm_add_epi16(_mm_add_epi16(blue, _mm_slli_epi16(green, 5)), _mm_slli_epi16(red, Is565 ? 11 : 10));
    const __m128i result = _mm_add_epi16(a, change);
    // A 5-5-5 pixel's bit 15 is written as 0.
    return Is565 ? result : _mm_and_si128(result, _mm_set1_epi16(0x7FFF));
}

inline __m128i Load(const BYTE* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(BYTE* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
template <bool Is565, bool HighAlpha>
int Blend16Row(const BYTE* a, const BYTE* b, BYTE* d, int rowBytes, __m128i alpha, __m128i alpha256) {
    int done = 0;
    for (; done + 16 <= rowBytes; done += 16)
        Store(d + done, Blend16<Is565, HighAlpha>(Load(a + done), Load(b + done), alpha, alpha256));
    return done;
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
            // Two vectors at a time, both read before either is written (draw may be before itself).
            for (; done + 32 <= rowBytes; done += 32) {
                const __m128i a0 = Load(a + done), a1 = Load(a + done + 16);
                const __m128i b0 = Load(b + done), b1 = Load(b + done + 16);
                Store(d + done, BlendBytes(a0, b0, alphas));
                Store(d + done + 16, BlendBytes(a1, b1, alphas));
            }
            for (; done + 16 <= rowBytes; done += 16)
                Store(d + done, BlendBytes(Load(a + done), Load(b + done), alphas));
        } else {
            const __m128i alpha256 = _mm_set1_epi16(static_cast<short>(alpha << 8));
            const bool high = alpha >= 128;
            if (format == kFormat16 && high)
                done = Blend16Row<true, true>(a, b, d, rowBytes, alphas, alpha256);
            else if (format == kFormat16)
                done = Blend16Row<true, false>(a, b, d, rowBytes, alphas, alpha256);
            else if (high)
                done = Blend16Row<false, true>(a, b, d, rowBytes, alphas, alpha256);
            else
                done = Blend16Row<false, false>(a, b, d, rowBytes, alphas, alpha256);
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
