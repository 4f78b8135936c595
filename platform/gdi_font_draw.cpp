#include "platform/gdi_font_draw.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <mutex>

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

void FillBox(const platform::PixelView& view, const Box& box, DWORD rgb) {
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            view.WriteRgb(x, y, rgb);
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
        if (!cells.Empty()) FillBox(view, cells, ColorToRgb(style.backColor));
    }

    const DWORD ink = ColorToRgb(style.textColor);
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
                for (int px = lit.left; px < lit.right; ++px)
                    if (row[px - originX]) view.WriteRgb(px, py, ink);
            }
        }
        penX += width;
    }
    return totalWidth;
}
} // namespace platform
