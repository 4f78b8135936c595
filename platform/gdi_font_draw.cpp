#include "platform/gdi_font_draw.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
struct Box {
    int left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
};

Box Intersect(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// COLORREF (0x00BBGGRR) as the views take colours (0xRRGGBB).
DWORD ColorToRgb(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// One colour made into the view's pixel once, so that every pixel of a glyph is a plain store.
// Palette layouts go through the view's own colour matching.
class Ink {
  public:
    Ink(const platform::PixelView& view, DWORD rgb) : m_View(view), m_Rgb(rgb) {
        if (view.format && view.format->layout != platform::PixelLayout::Pal8) {
            m_Bytes = view.format->BytesPerPixel();
            m_Pixel = platform::RgbToPixel(*view.format, rgb);
        } else if (!view.format && view.bitCount == 24) {
            m_Bytes = 3;
            m_Pixel = rgb;
        } else if (!view.format && (view.bitCount == 16 || view.bitCount == 32) &&
                   (view.masks[0] | view.masks[1] | view.masks[2])) {
            const platform::PixelFormat masked{platform::PixelLayout::Xrgb32, view.bitCount, view.masks[0],
                                               view.masks[1], view.masks[2]};
            m_Bytes = view.bitCount / 8;
            m_Pixel = platform::RgbToPixel(masked, rgb);
        }
    }
    void Put(int x, int y) const {
        if (m_Bytes)
            platform::StorePixel(m_View.Row(y) + static_cast<std::ptrdiff_t>(x) * m_Bytes, m_Bytes, m_Pixel);
        else
            m_View.WriteRgb(x, y, m_Rgb);
    }
    // The pixels x0 <= x < x1 of row y whose flag in `lit` (lit[0] for x0) is set.
    void PutLit(int y, int x0, int x1, const std::uint8_t* lit) const {
        switch (m_Bytes) {
        case 4:
            return StoreLit<4>(y, x0, x1, lit);
        case 3:
            return StoreLit<3>(y, x0, x1, lit);
        case 2:
            return StoreLit<2>(y, x0, x1, lit);
        default:
            for (int x = x0; x < x1; ++x)
                if (lit[x - x0]) Put(x, y);
        }
    }

  private:
    // Glyph rows are drawn one a character per call: the store is a plain copy of the made pixel.
    // Whole-word pixels choose without a branch: glyph edges are no pattern a predictor learns.
    template <int Bytes> void StoreLit(int y, int x0, int x1, const std::uint8_t* lit) const {
        std::uint8_t* p = m_View.Row(y) + static_cast<std::ptrdiff_t>(x0) * Bytes;
        if constexpr (Bytes == 3) {
            const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(m_Pixel),
                                           static_cast<std::uint8_t>(m_Pixel >> 8),
                                           static_cast<std::uint8_t>(m_Pixel >> 16)};
            for (int i = 0; i < x1 - x0; ++i, p += 3)
                if (lit[i]) std::memcpy(p, bytes, 3);
        } else {
            using Word = std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>;
            const Word ink = static_cast<Word>(m_Pixel);
            int i = 0;
#if defined(__SSE2__)
            // Sixteen pixels at a time: each lit flag widened to a mask of its pixel's bytes.
            const __m128i zero = _mm_setzero_si128();
            const __m128i inkWords =
                Bytes == 2 ? _mm_set1_epi16(static_cast<short>(ink)) : _mm_set1_epi32(static_cast<int>(ink));
            const auto put = [&](std::uint8_t* at, __m128i mask) {
                const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(at),
                                 _mm_or_si128(_mm_and_si128(mask, inkWords), _mm_andnot_si128(mask, old)));
            };
            for (; i + 16 <= x1 - x0; i += 16) {
                const __m128i flags =
                    _mm_cmpgt_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lit + i)), zero);
                const __m128i low = _mm_unpacklo_epi8(flags, flags), high = _mm_unpackhi_epi8(flags, flags);
                std::uint8_t* at = p + i * Bytes;
                if constexpr (Bytes == 2) {
                    put(at, low);
                    put(at + 16, high);
                } else {
                    put(at, _mm_unpacklo_epi16(low, low));
                    put(at + 16, _mm_unpackhi_epi16(low, low));
                    put(at + 32, _mm_unpacklo_epi16(high, high));
                    put(at + 48, _mm_unpackhi_epi16(high, high));
                }
            }
#endif
            for (; i < x1 - x0; ++i) {
                Word d;
                std::memcpy(&d, p + i * Bytes, Bytes);
                d = lit[i] ? ink : d;
                std::memcpy(p + i * Bytes, &d, Bytes);
            }
        }
    }

    const platform::PixelView& m_View;
    DWORD m_Rgb;
    int m_Bytes = 0;
    DWORD m_Pixel = 0;
};

void FillBox(const Ink& ink, const Box& box) {
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            ink.Put(x, y);
}

// Two-byte Shift-JIS codes converted once each: the message window draws one character a call.
char32_t TwoByteToUnicode(BYTE lead, BYTE trail) {
    static std::mutex lock;
    static std::array<char32_t, 65536> table = [] {
        std::array<char32_t, 65536> t;
        t.fill(0xFFFFFFFFu);
        return t;
    }();
    const unsigned code = (static_cast<unsigned>(lead) << 8) | trail;
    std::lock_guard<std::mutex> guard(lock);
    if (table[code] == 0xFFFFFFFFu) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::u32string u = platform::SjisToUtf32(std::string(bytes, 2));
        table[code] = u.size() == 1 ? u[0] : 0xFFFD;
    }
    return table[code];
}

char32_t OneByteToUnicode(BYTE b) {
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return 0xFF61 + (b - 0xA1); // half-width katakana
    return 0xFFFD;
}
} // namespace

namespace platform {
int DrawSjisText(const ScaledFont& font, const PixelView& view, int x, int y, const char* text, int count,
                 const TextStyle& style, const RECT* clip) {
    if (!text || count <= 0) return 0;
    const int half = font.HalfWidth();
    const int cellHeight = font.CellHeight();
    const int totalWidth = count * half;
    if (!view.Valid()) return totalWidth;

    Box bounds{0, 0, view.width, view.height};
    if (clip) bounds = Intersect(bounds, {clip->left, clip->top, clip->right, clip->bottom});
    if (bounds.Empty()) return totalWidth;

    if (style.backMode == OPAQUE) {
        const Box cells = Intersect(bounds, {x, y, x + totalWidth, y + cellHeight});
        if (!cells.Empty()) FillBox(Ink(view, ColorToRgb(style.backColor)), cells);
    }

    const Ink ink(view, ColorToRgb(style.textColor));
    const auto* bytes = reinterpret_cast<const BYTE*>(text);
    int penX = x;
    for (int i = 0; i < count;) {
        const bool twoBytes = IsSjisLeadByte(bytes[i]) && i + 1 < count;
        const int width = twoBytes ? 2 * half : half;
        char32_t ch = 0;
        if (twoBytes)
            ch = TwoByteToUnicode(bytes[i], bytes[i + 1]);
        else if (!IsSjisLeadByte(bytes[i]))
            ch = OneByteToUnicode(bytes[i]);
        i += twoBytes ? 2 : 1;

        const Box cell = Intersect(bounds, {penX, y, penX + width, y + cellHeight});
        if (ch > 0x20 && ch != 0xFFFD && !cell.Empty()) {
            const auto glyph = font.Glyph(ch);
            const int originX = penX + glyph->left;
            const int originY = y + font.Ascent() - glyph->top;
            const Box lit =
                Intersect(cell, {originX, originY, originX + glyph->width, originY + glyph->rows});
            for (int py = lit.top; py < lit.bottom; ++py) {
                const std::uint8_t* row =
                    glyph->bits.data() + static_cast<std::size_t>(py - originY) * glyph->width;
                ink.PutLit(py, lit.left, lit.right, row + (lit.left - originX));
            }
        }
        penX += width;
    }
    return totalWidth;
}
} // namespace platform
