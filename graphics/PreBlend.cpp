#include "graphics/PreBlend.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// One lane of the alpha blend: the difference times alpha in 16 bits, the low half of the product
// shifted right logically by 8, added to t and cut to the field. This is t + floor((o - t) x a / 256)
// for negative differences too, since 65536 is a multiple of 256 x 256.
inline unsigned BlendLane(unsigned t, unsigned o, unsigned a, unsigned fieldMask) {
    const unsigned product = static_cast<WORD>((o - t) * a);
    return (t + (product >> 8)) & fieldMask;
}

inline WORD Blend16(WORD t, WORD o, WORD a, bool is555) {
    const unsigned redShift = is555 ? 10 : 11;
    const unsigned greenMask = is555 ? 0x1F : 0x3F;
    const unsigned r = BlendLane((t >> redShift) & 0x1F, (o >> redShift) & 0x1F, a, 0x1F);
    const unsigned g = BlendLane((t >> 5) & greenMask, (o >> 5) & greenMask, a, greenMask);
    const unsigned b = BlendLane(t & 0x1F, o & 0x1F, a, 0x1F);
    return static_cast<WORD>((r << redShift) | (g << 5) | b);
}

inline BYTE* PixelAt(const PixelView& v, int column, int row, int bytesPerPixel) {
    return v.bits + static_cast<long>(row) * v.pitch + static_cast<long>(column) * bytesPerPixel;
}

// Rows and columns of a picture at (x, y) that fall on the target, clipped to the picture's own size.
struct Span {
    int firstRow, endRow, firstColumn, endColumn;
    bool Empty() const { return firstRow >= endRow || firstColumn >= endColumn; }
};
// The picture may stand anywhere in 32 bits: every bound is held within the picture before it
// becomes an int again, so a far-off picture gives an empty span rather than an overflow.
Span OnTarget(const PixelView& target, int x, int y, int width, int height) {
    const auto within = [](long long v, int size) {
        return static_cast<int>(std::clamp<long long>(v, 0, size));
    };
    Span s;
    s.firstRow = within(-static_cast<long long>(y), height);
    s.endRow = within(static_cast<long long>(target.height) - y, height);
    s.firstColumn = within(-static_cast<long long>(x), width);
    s.endColumn = within(static_cast<long long>(target.width) - x, width);
    return s;
}
} // namespace

void AlphaBlendRow16Plain(WORD* s, const WORD* t, const WORD* o, const WORD* alpha, int n, bool is555) {
    for (int i = 0; i < n; ++i)
        s[i] = Blend16(t[i], o[i], alpha[i], is555);
}

void AlphaBlendRow24Plain(BYTE* s, const BYTE* t, const BYTE* o, const BYTE* alpha, int n) {
    for (int i = 0; i < n; ++i)
        s[i] = static_cast<BYTE>(BlendLane(t[i], o[i], alpha[i], 0xFF));
}

void AlphaBlendRow32Plain(BYTE* s, const BYTE* t, const BYTE* o, const WORD* alpha, int n) {
    for (int i = 0; i < n; ++i) {
        const unsigned a = alpha[i];
        for (int c = 0; c < 4; ++c)
            s[4 * i + c] = static_cast<BYTE>(BlendLane(t[4 * i + c], o[4 * i + c], a, 0xFF));
    }
}

#if defined(__SSE2__)
namespace {
inline __m128i BlendLanes(__m128i t, __m128i o, __m128i a, __m128i fieldMask) {
    const __m128i product = _mm_mullo_epi16(_mm_sub_epi16(o, t), a);
    return _mm_and_si128(_mm_add_epi16(t, _mm_srli_epi16(product, 8)), fieldMask);
}
} // namespace

void AlphaBlendRow16(WORD* s, const WORD* t, const WORD* o, const WORD* alpha, int n, bool is555) {
    const __m128i five = _mm_set1_epi16(0x1F);
    const __m128i greenMask = _mm_set1_epi16(is555 ? 0x1F : 0x3F);
    const __m128i redShift = _mm_cvtsi32_si128(is555 ? 10 : 11);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i ov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o + i));
        const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha + i));
        const __m128i r = BlendLanes(_mm_and_si128(_mm_srl_epi16(tv, redShift), five),
                                     _mm_and_si128(_mm_srl_epi16(ov, redShift), five), av, five);
        const __m128i g = BlendLanes(_mm_and_si128(_mm_srli_epi16(tv, 5), greenMask),
                                     _mm_and_si128(_mm_srli_epi16(ov, 5), greenMask), av, greenMask);
        const __m128i b = BlendLanes(_mm_and_si128(tv, five), _mm_and_si128(ov, five), av, five);
        const __m128i result =
            _mm_or_si128(_mm_or_si128(_mm_sll_epi16(r, redShift), _mm_slli_epi16(g, 5)), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + i), result);
    }
    AlphaBlendRow16Plain(s + i, t + i, o + i, alpha + i, n - i, is555);
}

void AlphaBlendRow24(BYTE* s, const BYTE* t, const BYTE* o, const BYTE* alpha, int n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i byteMask = _mm_set1_epi16(0xFF);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i ov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o + i));
        const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha + i));
        const __m128i low = BlendLanes(_mm_unpacklo_epi8(tv, zero), _mm_unpacklo_epi8(ov, zero),
                                       _mm_unpacklo_epi8(av, zero), byteMask);
        const __m128i high = BlendLanes(_mm_unpackhi_epi8(tv, zero), _mm_unpackhi_epi8(ov, zero),
                                        _mm_unpackhi_epi8(av, zero), byteMask);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + i), _mm_packus_epi16(low, high));
    }
    AlphaBlendRow24Plain(s + i, t + i, o + i, alpha + i, n - i);
}

void AlphaBlendRow32(BYTE* s, const BYTE* t, const BYTE* o, const WORD* alpha, int n) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i byteMask = _mm_set1_epi16(0xFF);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 4 * i));
        const __m128i ov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o + 4 * i));
        const __m128i a4 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + i));
        const __m128i pairs = _mm_unpacklo_epi16(a4, a4);
        const __m128i a01 = _mm_unpacklo_epi32(pairs, pairs);
        const __m128i a23 = _mm_unpackhi_epi32(pairs, pairs);
        const __m128i low =
            BlendLanes(_mm_unpacklo_epi8(tv, zero), _mm_unpacklo_epi8(ov, zero), a01, byteMask);
        const __m128i high =
            BlendLanes(_mm_unpackhi_epi8(tv, zero), _mm_unpackhi_epi8(ov, zero), a23, byteMask);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + 4 * i), _mm_packus_epi16(low, high));
    }
    AlphaBlendRow32Plain(s + 4 * i, t + 4 * i, o + 4 * i, alpha + i, n - i);
}
#else
void AlphaBlendRow16(WORD* s, const WORD* t, const WORD* o, const WORD* alpha, int n, bool is555) {
    AlphaBlendRow16Plain(s, t, o, alpha, n, is555);
}
void AlphaBlendRow24(BYTE* s, const BYTE* t, const BYTE* o, const BYTE* alpha, int n) {
    AlphaBlendRow24Plain(s, t, o, alpha, n);
}
void AlphaBlendRow32(BYTE* s, const BYTE* t, const BYTE* o, const WORD* alpha, int n) {
    AlphaBlendRow32Plain(s, t, o, alpha, n);
}
#endif

void WeightBlend(int bytesPerPixel, const BlendFields& fields, const PixelView& shown,
                 const PixelView& picture, const PixelView& target, int x, int y, const BYTE* weights,
                 int width, int height) {
    if (!weights || (bytesPerPixel != 2 && bytesPerPixel != 3 && bytesPerPixel != 4)) return;
    const int planeWidth = width;
    width = std::min({width, shown.width, picture.width});
    height = std::min({height, shown.height, picture.height});
    const Span span = OnTarget(target, x, y, width, height);
    if (span.Empty()) return;
    for (int r = span.firstRow; r < span.endRow; ++r) {
        WeightBlendRow(bytesPerPixel, fields, PixelAt(shown, span.firstColumn, r, bytesPerPixel),
                       PixelAt(target, x + span.firstColumn, y + r, bytesPerPixel),
                       PixelAt(picture, span.firstColumn, r, bytesPerPixel),
                       weights + static_cast<long>(r) * planeWidth + span.firstColumn,
                       span.endColumn - span.firstColumn);
    }
}

namespace {
void BlendRow(int bytesPerPixel, bool is555, BYTE* s, const BYTE* t, const BYTE* o, const WORD* alphaWords,
              const BYTE* alphaBytes, int n) {
    switch (bytesPerPixel) {
    case 2:
        AlphaBlendRow16(reinterpret_cast<WORD*>(s), reinterpret_cast<const WORD*>(t),
                        reinterpret_cast<const WORD*>(o), alphaWords, n, is555);
        break;
    case 3:
        AlphaBlendRow24(s, t, o, alphaBytes, 3 * n);
        break;
    case 4:
        AlphaBlendRow32(s, t, o, alphaWords, n);
        break;
    default:
        break;
    }
}

bool AlphaReady(int bytesPerPixel, const WORD* alphaWords, const BYTE* alphaBytes) {
    if (bytesPerPixel == 3) return alphaBytes != nullptr;
    return (bytesPerPixel == 2 || bytesPerPixel == 4) && alphaWords != nullptr;
}
} // namespace

void AlphaBlend(int bytesPerPixel, bool is555, const PixelView& shown, const PixelView& picture,
                const PixelView& target, int x, int y, const WORD* alphaWords, const BYTE* alphaBytes,
                int width, int height) {
    if (!AlphaReady(bytesPerPixel, alphaWords, alphaBytes)) return;
    const int planeWidth = width;
    width = std::min({width, shown.width, picture.width});
    height = std::min({height, shown.height, picture.height});
    const Span span = OnTarget(target, x, y, width, height);
    if (span.Empty()) return;
    const int n = span.endColumn - span.firstColumn;
    for (int r = span.firstRow; r < span.endRow; ++r) {
        const long plane = static_cast<long>(r) * planeWidth + span.firstColumn;
        BlendRow(bytesPerPixel, is555, PixelAt(shown, span.firstColumn, r, bytesPerPixel),
                 PixelAt(target, x + span.firstColumn, y + r, bytesPerPixel),
                 PixelAt(picture, span.firstColumn, r, bytesPerPixel),
                 alphaWords ? alphaWords + plane : nullptr, alphaBytes ? alphaBytes + 3 * plane : nullptr, n);
    }
}

namespace {
bool Inside(long long left, long long top, long long right, long long bottom, int width, int height) {
    return left >= 0 && top >= 0 && right <= width && bottom <= height && left < right && top < bottom;
}
} // namespace

bool AlphaBlendCell(int bytesPerPixel, bool is555, const PixelView& shown, const PixelView& picture,
                    const PixelView& target, const RECT& source, int destX, int destY, int planeLeft,
                    int planeTop, const WORD* alphaWords, const BYTE* alphaBytes, int planeWidth,
                    int planeHeight) {
    if (!AlphaReady(bytesPerPixel, alphaWords, alphaBytes)) return false;
    const long long w = static_cast<long long>(source.right) - source.left;
    const long long h = static_cast<long long>(source.bottom) - source.top;
    if (!Inside(source.left, source.top, source.right, source.bottom, picture.width, picture.height) ||
        !Inside(source.left, source.top, source.right, source.bottom, shown.width, shown.height) ||
        !Inside(destX, destY, destX + w, destY + h, target.width, target.height) ||
        !Inside(planeLeft, planeTop, planeLeft + w, planeTop + h, planeWidth, planeHeight))
        return false;
    for (int r = 0; r < h; ++r) {
        const long plane = static_cast<long>(planeTop + r) * planeWidth + planeLeft;
        BlendRow(bytesPerPixel, is555, PixelAt(shown, source.left, source.top + r, bytesPerPixel),
                 PixelAt(target, destX, destY + r, bytesPerPixel),
                 PixelAt(picture, source.left, source.top + r, bytesPerPixel),
                 alphaWords ? alphaWords + plane : nullptr, alphaBytes ? alphaBytes + 3 * plane : nullptr,
                 static_cast<int>(w));
    }
    return true;
}
