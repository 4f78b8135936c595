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

int LowestBit(DWORD mask) {
    int shift = 0;
    while (shift < 32 && !(mask & (1u << shift)))
        ++shift;
    return shift;
}

int BitCount(DWORD mask) {
    int n = 0;
    for (; mask; mask &= mask - 1)
        ++n;
    return n;
}

DWORD ChannelToField(BYTE value, DWORD mask) {
    if (!mask) return 0;
    const int bits = BitCount(mask);
    const DWORD field =
        bits >= 8 ? static_cast<DWORD>(value) << (bits - 8) : static_cast<DWORD>(value) >> (8 - bits);
    return (field << LowestBit(mask)) & mask;
}

void PutPixel(const platform::PixelView& view, int x, int y, DWORD pixel) {
    BYTE* p = view.bits + static_cast<std::ptrdiff_t>(y) * view.pitch;
    switch (view.bitsPerPixel) {
    case 16:
        p += x * 2;
        p[0] = static_cast<BYTE>(pixel);
        p[1] = static_cast<BYTE>(pixel >> 8);
        break;
    case 24:
        p += x * 3;
        p[0] = static_cast<BYTE>(pixel);
        p[1] = static_cast<BYTE>(pixel >> 8);
        p[2] = static_cast<BYTE>(pixel >> 16);
        break;
    case 32:
        p += x * 4;
        p[0] = static_cast<BYTE>(pixel);
        p[1] = static_cast<BYTE>(pixel >> 8);
        p[2] = static_cast<BYTE>(pixel >> 16);
        p[3] = static_cast<BYTE>(pixel >> 24);
        break;
    default:
        break;
    }
}

void FillBox(const platform::PixelView& view, const Box& box, DWORD pixel) {
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            PutPixel(view, x, y, pixel);
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
DWORD ColorToPixel(const PixelView& view, COLORREF color) {
    const BYTE r = static_cast<BYTE>(color);
    const BYTE g = static_cast<BYTE>(color >> 8);
    const BYTE b = static_cast<BYTE>(color >> 16);
    DWORD redMask = view.redMask, greenMask = view.greenMask, blueMask = view.blueMask;
    if (!redMask && !greenMask && !blueMask) {
        if (view.bitsPerPixel == 16) {
            redMask = 0xF800, greenMask = 0x07E0, blueMask = 0x001F;
        } else {
            redMask = 0xFF0000, greenMask = 0x00FF00, blueMask = 0x0000FF;
        }
    }
    return ChannelToField(r, redMask) | ChannelToField(g, greenMask) | ChannelToField(b, blueMask);
}

int DrawSjisText(const ScaledFont& font, const PixelView& view, int x, int y, const char* text, int count,
                 const TextStyle& style, const RECT* clip) {
    if (!text || count <= 0) return 0;
    const int half = font.HalfWidth();
    const int cellHeight = font.CellHeight();
    const int totalWidth = count * half;
    if (!view.bits || (view.bitsPerPixel != 16 && view.bitsPerPixel != 24 && view.bitsPerPixel != 32))
        return totalWidth;

    Box bounds{0, 0, view.width, view.height};
    if (clip) bounds = Intersect(bounds, {clip->left, clip->top, clip->right, clip->bottom});
    if (bounds.Empty()) return totalWidth;

    if (style.backMode == OPAQUE) {
        const Box cells = Intersect(bounds, {x, y, x + totalWidth, y + cellHeight});
        if (!cells.Empty()) FillBox(view, cells, ColorToPixel(view, style.backColor));
    }

    const DWORD ink = ColorToPixel(view, style.textColor);
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
                    if (row[px - originX]) PutPixel(view, px, py, ink);
            }
        }
        penX += width;
    }
    return totalWidth;
}
} // namespace platform
