#include "platform/gdi.h"

#include "platform/ddraw_internal.h"
#include "platform/gdi_internal.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace platform {
namespace {
constexpr int kMaxDibSide = 16384;
constexpr std::size_t kMaxDibBytes = 256u * 1024u * 1024u;

DWORD LoadMasked(const std::uint8_t* p, int bytes) {
    return LoadPixel(p, bytes);
}

DWORD PaletteRgb(const PixelView& v, unsigned index) {
    if (!v.palette || static_cast<int>(index) >= v.paletteSize) return 0;
    const RGBQUAD& q = v.palette[index];
    return (static_cast<DWORD>(q.rgbRed) << 16) | (static_cast<DWORD>(q.rgbGreen) << 8) | q.rgbBlue;
}

unsigned NearestPaletteIndex(const PixelView& v, DWORD rgb) {
    unsigned best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    const long r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    for (int i = 0; i < v.paletteSize; ++i) {
        const RGBQUAD& q = v.palette[i];
        const long d = (q.rgbRed - r) * (q.rgbRed - r) + (q.rgbGreen - g) * (q.rgbGreen - g) +
                       (q.rgbBlue - b) * (q.rgbBlue - b);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<unsigned>(i);
        }
    }
    return best;
}

PixelFormat MaskFormat(int bits, const DWORD masks[3]) {
    return PixelFormat{PixelLayout::Xrgb32, bits, masks[0], masks[1], masks[2]};
}

HBITMAP__* StockMonoBitmap() {
    static HBITMAP__* bitmap = [] {
        auto* b = new HBITMAP__;
        b->stock = true;
        b->header.biSize = sizeof(BITMAPINFOHEADER);
        b->header.biWidth = 1;
        b->header.biHeight = 1;
        b->header.biPlanes = 1;
        b->header.biBitCount = 1;
        b->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        b->stride = 4;
        b->bits.assign(4, 0);
        return b;
    }();
    return bitmap;
}

HBRUSH__* StockBrush(int which) {
    static HBRUSH__* brushes[3] = {nullptr, nullptr, nullptr};
    const int slot = which == WHITE_BRUSH ? 0 : which == BLACK_BRUSH ? 1 : 2;
    if (!brushes[slot]) {
        brushes[slot] = new HBRUSH__(which == WHITE_BRUSH ? RGB(255, 255, 255) : RGB(0, 0, 0));
        brushes[slot]->stock = true;
    }
    return brushes[slot];
}

void Deselect(HGDIOBJ object) {
    if (object && object->selections > 0) --object->selections;
}

// A run of a row as 0xRRGGBB values, with the layout chosen once per row rather than per pixel.
void ReadRowRgb(const PixelView& v, int y, int x0, int count, DWORD* out) {
    const std::uint8_t* row = v.Row(y);
    if (!v.format && v.bitCount == 8) {
        DWORD table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = PaletteRgb(v, static_cast<unsigned>(i));
        for (int i = 0; i < count; ++i)
            out[i] = table[row[x0 + i]];
        return;
    }
    if (!v.format && v.bitCount == 24) {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x0) * 3;
        for (int i = 0; i < count; ++i, p += 3)
            out[i] = (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
        return;
    }
    if (!v.format && v.bitCount == 32 && v.masks[0] == 0xFF0000 && v.masks[1] == 0xFF00 &&
        v.masks[2] == 0xFF) {
        for (int i = 0; i < count; ++i)
            out[i] = LoadPixel(row + static_cast<std::ptrdiff_t>(x0 + i) * 4, 4) & 0xFFFFFF;
        return;
    }
    for (int i = 0; i < count; ++i)
        out[i] = v.ReadRgb(x0 + i, y);
}

void WriteRowRgb(const PixelView& v, int y, int x0, int count, const DWORD* rgb) {
    if (!v.format) {
        for (int i = 0; i < count; ++i)
            v.WriteRgb(x0 + i, y, rgb[i]);
        return;
    }
    const PixelFormat& f = *v.format;
    std::uint8_t* p = v.Row(y) + static_cast<std::ptrdiff_t>(x0) * f.BytesPerPixel();
    switch (f.layout) {
    case PixelLayout::Xrgb32:
        for (int i = 0; i < count; ++i, p += 4)
            StorePixel(p, 4, rgb[i]);
        return;
    case PixelLayout::Rgb24:
        for (int i = 0; i < count; ++i, p += 3)
            StorePixel(p, 3, rgb[i]);
        return;
    case PixelLayout::Rgb565:
        for (int i = 0; i < count; ++i, p += 2)
            StorePixel(p, 2, ((rgb[i] >> 8) & 0xF800) | ((rgb[i] >> 5) & 0x07E0) | ((rgb[i] >> 3) & 0x001F));
        return;
    case PixelLayout::Rgb555:
        for (int i = 0; i < count; ++i, p += 2)
            StorePixel(p, 2, ((rgb[i] >> 9) & 0x7C00) | ((rgb[i] >> 6) & 0x03E0) | ((rgb[i] >> 3) & 0x001F));
        return;
    case PixelLayout::Pal8:
        for (int i = 0; i < count; ++i, ++p)
            *p = static_cast<std::uint8_t>(RgbToPixel(f, rgb[i]));
        return;
    }
}
} // namespace

DWORD PixelView::ReadRgb(int x, int y) const {
    const std::uint8_t* row = Row(y);
    if (format) {
        const int bytes = format->BytesPerPixel();
        return PixelToRgb(*format, LoadPixel(row + static_cast<std::ptrdiff_t>(x) * bytes, bytes));
    }
    switch (bitCount) {
    case 1:
        return PaletteRgb(*this, (row[x >> 3] >> (7 - (x & 7))) & 1u);
    case 4:
        return PaletteRgb(*this, (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4));
    case 8:
        return PaletteRgb(*this, row[x]);
    case 24: {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 3;
        return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
    }
    case 16:
    case 32: {
        const int bytes = bitCount / 8;
        const DWORD v = LoadMasked(row + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
        return (static_cast<DWORD>(ExpandChannel(v, masks[0])) << 16) |
               (static_cast<DWORD>(ExpandChannel(v, masks[1])) << 8) | ExpandChannel(v, masks[2]);
    }
    default:
        return 0;
    }
}

void PixelView::WriteRgb(int x, int y, DWORD rgb) const {
    std::uint8_t* row = Row(y);
    if (format) {
        const int bytes = format->BytesPerPixel();
        StorePixel(row + static_cast<std::ptrdiff_t>(x) * bytes, bytes, RgbToPixel(*format, rgb));
        return;
    }
    switch (bitCount) {
    case 1: {
        const unsigned bit = 7 - (x & 7);
        const unsigned i = NearestPaletteIndex(*this, rgb) & 1u;
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1u << bit)) | (i << bit));
        return;
    }
    case 4: {
        const unsigned i = NearestPaletteIndex(*this, rgb) & 0x0Fu;
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | i)
                    : static_cast<std::uint8_t>((b & 0x0F) | (i << 4));
        return;
    }
    case 8:
        row[x] = static_cast<std::uint8_t>(NearestPaletteIndex(*this, rgb));
        return;
    case 24: {
        std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 3;
        p[0] = static_cast<std::uint8_t>(rgb);
        p[1] = static_cast<std::uint8_t>(rgb >> 8);
        p[2] = static_cast<std::uint8_t>(rgb >> 16);
        return;
    }
    case 16:
    case 32: {
        const int bytes = bitCount / 8;
        StorePixel(row + static_cast<std::ptrdiff_t>(x) * bytes, bytes,
                   RgbToPixel(MaskFormat(bitCount, masks), rgb));
        return;
    }
    default:
        return;
    }
}

PixelView ViewOf(HDC dc) {
    if (!dc) return {};
    if (dc->kind == HDC__::Kind::Surface) return dc->surfaceView;
    if (dc->kind == HDC__::Kind::Memory && dc->bitmap) return BitmapView(dc->bitmap);
    return {};
}

HDC CreateSurfaceDC(IDirectDrawSurface* surface, const PixelView& view) {
    auto* dc = new HDC__;
    dc->kind = HDC__::Kind::Surface;
    dc->surface = surface;
    dc->surfaceView = view;
    return dc;
}

void DestroySurfaceDC(HDC dc) {
    if (!dc) return;
    Deselect(dc->font);
    Deselect(dc->brush);
    Deselect(dc->pen);
    delete dc;
}

} // namespace platform

using platform::PixelView;

platform::PixelView platform::BitmapView(HBITMAP bitmap) {
    PixelView v;
    if (!bitmap) return v;
    const BITMAPINFOHEADER& header = bitmap->header;
    const auto& masks = bitmap->masks;
    const auto& colors = bitmap->colors;
    auto& bits = bitmap->bits;
    const int stride = bitmap->stride;
    v.width = header.biWidth;
    v.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    v.bitCount = header.biBitCount;
    std::copy(masks, masks + 3, v.masks);
    v.palette = colors.empty() ? nullptr : colors.data();
    v.paletteSize = static_cast<int>(colors.size());
    if (bits.empty() || v.height == 0) return v;
    if (header.biHeight < 0) {
        v.base = bits.data();
        v.stride = stride;
    } else {
        v.base = bits.data() + static_cast<std::size_t>(v.height - 1) * stride;
        v.stride = -static_cast<std::ptrdiff_t>(stride);
    }
    return v;
}

HDC CreateCompatibleDC(HDC) {
    auto* dc = new HDC__;
    dc->kind = HDC__::Kind::Memory;
    dc->bitmap = platform::StockMonoBitmap();
    return dc;
}

BOOL DeleteDC(HDC dc) {
    if (!dc || dc->kind != HDC__::Kind::Memory) return FALSE;
    platform::Deselect(dc->bitmap);
    platform::Deselect(dc->font);
    platform::Deselect(dc->brush);
    platform::Deselect(dc->pen);
    delete dc;
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < 40 || h.biSize > 124) return nullptr;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return nullptr;
    const long long width = h.biWidth;
    const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (width < 1 || height < 1 || width > platform::kMaxDibSide || height > platform::kMaxDibSide)
        return nullptr;
    const long long stride = (width * bpp + 31) / 32 * 4;
    if (static_cast<unsigned long long>(stride * height) > platform::kMaxDibBytes) return nullptr;

    auto* bitmap = new HBITMAP__;
    bitmap->header = h;
    bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->stride = static_cast<int>(stride);
    bitmap->bits.assign(static_cast<std::size_t>(stride * height), 0);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(info);
    if (bpp <= 8) {
        const DWORD full = 1u << bpp;
        const DWORD count = (h.biClrUsed == 0 || h.biClrUsed > full) ? full : h.biClrUsed;
        bitmap->colors.resize(count);
        std::memcpy(bitmap->colors.data(), raw + h.biSize, count * sizeof(RGBQUAD));
    } else if (h.biCompression == BI_BITFIELDS) {
        // The masks follow a 40-byte header and sit inside the larger header versions at the same place.
        std::memcpy(bitmap->masks, raw + 40, sizeof bitmap->masks);
    } else if (bpp == 16) {
        bitmap->masks[0] = 0x7C00;
        bitmap->masks[1] = 0x03E0;
        bitmap->masks[2] = 0x001F;
    } else if (bpp == 32) {
        bitmap->masks[0] = 0xFF0000;
        bitmap->masks[1] = 0x00FF00;
        bitmap->masks[2] = 0x0000FF;
    }
    if (bits) *bits = bitmap->bits.data();
    return bitmap;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object) return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (object->kind) {
    case platform::GdiObject::Kind::Bitmap:
        // A bitmap lives in one memory DC at a time.
        if (dc->kind != HDC__::Kind::Memory) return nullptr;
        if (object->selections > 0 && object != dc->bitmap && !object->stock) return nullptr;
        {
            HGDIOBJ old = dc->bitmap;
            platform::Deselect(old);
            dc->bitmap = static_cast<HBITMAP>(object);
            ++object->selections;
            return old;
        }
    case platform::GdiObject::Kind::Brush:
        slot = &dc->brush;
        break;
    case platform::GdiObject::Kind::Pen:
        slot = &dc->pen;
        break;
    case platform::GdiObject::Kind::Font:
        slot = &dc->font;
        break;
    }
    HGDIOBJ old = *slot;
    platform::Deselect(old);
    *slot = object;
    ++object->selections;
    return old;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object || object->stock || object->selections > 0) return FALSE;
    delete object;
    return TRUE;
}

HGDIOBJ GetStockObject(int which) {
    if (which == WHITE_BRUSH || which == BLACK_BRUSH || which == NULL_BRUSH)
        return platform::StockBrush(which);
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_BITMAP:
        return dc->bitmap;
    case OBJ_FONT:
        return dc->font;
    case OBJ_BRUSH:
        return dc->brush;
    case OBJ_PEN:
        return dc->pen;
    default:
        return nullptr;
    }
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                int sourceHeight, DWORD rop) {
    if (rop != SRCCOPY || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return FALSE;
    const PixelView d = platform::ViewOf(dest);
    const PixelView s = platform::ViewOf(source);
    if (!d.Valid() || !s.Valid()) return FALSE;

    const int x0 = std::max(x, 0);
    const int x1 = static_cast<int>(std::min<long long>(static_cast<long long>(x) + width, d.width));
    const int y0 = std::max(y, 0);
    const int y1 = static_cast<int>(std::min<long long>(static_cast<long long>(y) + height, d.height));
    const bool same = d.format && s.format && d.format == s.format;
    if (width == sourceWidth && height == sourceHeight && !same) {
        // 1:1, the way every picture is loaded: whole runs of a row at a time.
        const int first = static_cast<int>(std::max<long long>(x0, static_cast<long long>(x) - sx));
        const int last = static_cast<int>(std::min<long long>(x1, static_cast<long long>(x) - sx + s.width));
        if (first >= last) return TRUE;
        std::vector<DWORD> rgb(static_cast<std::size_t>(last - first));
        for (int dy = y0; dy < y1; ++dy) {
            const long long syy = sy + static_cast<long long>(dy - y);
            if (syy < 0 || syy >= s.height) continue;
            platform::ReadRowRgb(s, static_cast<int>(syy), sx + (first - x), last - first, rgb.data());
            platform::WriteRowRgb(d, dy, first, last - first, rgb.data());
        }
        return TRUE;
    }
    for (int dy = y0; dy < y1; ++dy) {
        const long long syy = sy + (static_cast<long long>(dy - y) * sourceHeight) / height;
        if (syy < 0 || syy >= s.height) continue;
        for (int dx = x0; dx < x1; ++dx) {
            const long long sxx = sx + (static_cast<long long>(dx - x) * sourceWidth) / width;
            if (sxx < 0 || sxx >= s.width) continue;
            if (same) {
                const int bytes = d.format->BytesPerPixel();
                std::memcpy(d.Row(dy) + static_cast<std::ptrdiff_t>(dx) * bytes,
                            s.Row(static_cast<int>(syy)) + static_cast<std::ptrdiff_t>(sxx) * bytes,
                            static_cast<std::size_t>(bytes));
            } else {
                d.WriteRgb(dx, dy, s.ReadRgb(static_cast<int>(sxx), static_cast<int>(syy)));
            }
        }
    }
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

int GetDeviceCaps(HDC dc, int index) {
    if (!dc) return 0;
    const PixelView view = platform::ViewOf(dc);
    int bits = platform::CurrentDisplayFormat().bitsPerPixel;
    if (dc->kind == HDC__::Kind::Surface) bits = view.format ? view.format->bitsPerPixel : bits;
    switch (index) {
    case BITSPIXEL:
        return bits;
    case PLANES:
        return 1;
    case HORZRES:
        return dc->kind == HDC__::Kind::Window ? 640 : view.width;
    case VERTRES:
        return dc->kind == HDC__::Kind::Window ? 480 : view.height;
    default:
        return 0;
    }
}

HDC GetDC(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) return nullptr;
    auto* dc = new HDC__;
    dc->kind = HDC__::Kind::Window;
    dc->window = hwnd;
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc || dc->kind != HDC__::Kind::Window) return 0;
    platform::Deselect(dc->font);
    platform::Deselect(dc->brush);
    platform::Deselect(dc->pen);
    delete dc;
    return 1;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (!dc) return 0xFFFFFFFFu;
    const COLORREF old = dc->textColor;
    dc->textColor = color;
    return old;
}
COLORREF GetTextColor(HDC dc) {
    return dc ? dc->textColor : 0;
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (!dc) return 0xFFFFFFFFu;
    const COLORREF old = dc->bkColor;
    dc->bkColor = color;
    return old;
}
COLORREF GetBkColor(HDC dc) {
    return dc ? dc->bkColor : 0;
}
int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}
int GetBkMode(HDC dc) {
    return dc ? dc->bkMode : 0;
}
