// Glyphs: each character drawn in white at three times its size, its lit pixels counted in 3x3 blocks,
// and the count blending a colour over a background picture straight into the target's pixels. Also
// the font sizes and the three colour sets.
#include "text/MessageWindow.h"

#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/gdi_font.h"
#include "text/TextMessages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
struct FontSizeRow {
    int halfWidth;
    int height;
    int advance;
    int lineHeight;
};
constexpr FontSizeRow FontSizeTable[CMessageWindow::kFontSizeCount] = {
    {6, 12, 12, 18}, {8, 16, 16, 22}, {10, 20, 20, 26}, {16, 32, 32, 38}, {28, 56, 56, 0},
};
constexpr int kScale = 3;
constexpr int kFullCover = kScale * kScale;

// A surface locked for the length of one blend.
class LockedPixels {
  public:
    explicit LockedPixels(IDirectDrawSurface* surface) : m_Surface(surface), m_Desc{} {
        m_Desc.dwSize = sizeof m_Desc;
        m_Locked = surface && surface->Lock(nullptr, &m_Desc, DDLOCK_WAIT, nullptr) == DD_OK;
    }
    ~LockedPixels() {
        if (m_Locked) m_Surface->Unlock(nullptr);
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;

    bool Locked() const { return m_Locked; }
    int BytesPerPixel() const { return static_cast<int>(m_Desc.ddpfPixelFormat.dwRGBBitCount) / 8; }
    int Width() const { return static_cast<int>(m_Desc.dwWidth); }
    int Height() const { return static_cast<int>(m_Desc.dwHeight); }
    BYTE* Pixel(int x, int y) const {
        return static_cast<BYTE*>(m_Desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * m_Desc.lPitch +
               static_cast<std::ptrdiff_t>(x) * BytesPerPixel();
    }

  private:
    IDirectDrawSurface* m_Surface;
    DDSURFACEDESC m_Desc;
    bool m_Locked;
};

// The display's layout for colour conversion: the background layer's surface, or the display itself
// when there is no background yet (a text-only window before its screen has one).
bool DisplayPixelFormat(DDPIXELFORMAT* format) {
    CLayer* background = g_pScreen ? g_pScreen->GetLayer(0) : nullptr;
    IDirectDrawSurface* surface = background ? background->GetSurface() : nullptr;
    if (surface && surface->GetPixelFormat(format) == DD_OK) return true;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    IDirectDraw* dd = GetDirectDraw();
    if (!dd || dd->GetDisplayMode(&desc) != DD_OK) return false;
    *format = desc.ddpfPixelFormat;
    return true;
}

struct Channel {
    DWORD mask;
    BYTE shift;
};

// The widest work picture is 168 pixels.
constexpr int kMaxWorkWidth = 2 * kScale * 28;

// Adds 1 to counts[x] for each lit pixel x of one row of the work picture (its first byte is not 0).
template <int Bytes> void AddLitPixels(const BYTE* p, int width, BYTE* counts) {
    int x = 0;
#if defined(__SSE2__)
    // Sixteen pixels at a time: each pixel's first byte tested, the -1 or 0 of the test packed to a
    // byte and subtracted from its count.
    const __m128i zero = _mm_setzero_si128();
    const auto load = [p](int at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
    if constexpr (Bytes == 4) {
        const __m128i low = _mm_set1_epi32(0xFF);
        const auto lit = [&](int at) { return _mm_cmpgt_epi32(_mm_and_si128(load(at), low), zero); };
        for (; x + 16 <= width; x += 16) {
            const __m128i flags = _mm_packs_epi16(_mm_packs_epi32(lit(4 * x), lit(4 * x + 16)),
                                                  _mm_packs_epi32(lit(4 * x + 32), lit(4 * x + 48)));
            auto* at = reinterpret_cast<__m128i*>(counts + x);
            _mm_storeu_si128(at, _mm_sub_epi8(_mm_loadu_si128(at), flags));
        }
    } else if constexpr (Bytes == 2) {
        const __m128i low = _mm_set1_epi16(0xFF);
        const auto lit = [&](int at) { return _mm_cmpgt_epi16(_mm_and_si128(load(at), low), zero); };
        for (; x + 16 <= width; x += 16) {
            const __m128i flags = _mm_packs_epi16(lit(2 * x), lit(2 * x + 16));
            auto* at = reinterpret_cast<__m128i*>(counts + x);
            _mm_storeu_si128(at, _mm_sub_epi8(_mm_loadu_si128(at), flags));
        }
    }
#endif
    for (; x < width; ++x)
        counts[x] += p[x * Bytes] != 0;
}

struct CoverageBounds {
    RECT cells;   // the cells with coverage above 0
    int firstRow; // the work picture's rows that may hold lit pixels, [firstRow, endRow)
    int endRow;
};

// Counts the lit pixels of each 3x3 block of the work picture.
template <int Bytes>
CoverageBounds CountCoverage(const LockedPixels& work, int rows, int cells, int columns, DWORD* coverage) {
    CoverageBounds bounds{{columns, rows, 0, 0}, kScale * rows, 0};
    const int width = std::min({work.Width(), kMaxWorkWidth, kScale * cells});
    for (int i = 0; i < rows; ++i) {
        BYTE counts[kMaxWorkWidth] = {};
        for (int r = 0; r < kScale; ++r)
            AddLitPixels<Bytes>(work.Pixel(0, kScale * i + r), width, counts);
        DWORD* out = coverage + static_cast<std::size_t>(i) * columns;
        for (int j = 0; j < width / kScale; ++j) {
            out[j] = counts[kScale * j] + counts[kScale * j + 1] + counts[kScale * j + 2];
            if (!out[j]) continue;
            bounds.cells.left = std::min<LONG>(bounds.cells.left, j);
            bounds.cells.right = std::max<LONG>(bounds.cells.right, j + 1);
            bounds.cells.top = std::min<LONG>(bounds.cells.top, i);
            bounds.cells.bottom = i + 1;
        }
    }
    if (bounds.cells.bottom > bounds.cells.top) {
        bounds.firstRow = kScale * bounds.cells.top;
        bounds.endRow = kScale * bounds.cells.bottom;
    }
    return bounds;
}

// The colour of a blend in the target's layout, and its channels taken apart once.
struct Ink {
    Ink(DWORD p, const BYTE* b24, const Channel (&c)[3]) : pixel(p), bytes24(b24), channels(c) {
        for (int k = 0; k < 3; ++k)
            parts[k] = (pixel & c[k].mask) >> c[k].shift;
    }
    DWORD pixel; // 16 or 32 bits
    const BYTE* bytes24;
    const Channel (&channels)[3];
    DWORD parts[3];
};

// Each channel (under x (9 - n) + colour x n) / 9, truncated.
inline DWORD BlendChannels(DWORD under, const Ink& ink, DWORD n) {
    DWORD out = 0;
    for (int k = 0; k < 3; ++k) {
        const Channel& c = ink.channels[k];
        const DWORD a = (under & c.mask) >> c.shift;
        out |= (((a * (kFullCover - n) + ink.parts[k] * n) / kFullCover) << c.shift) & c.mask;
    }
    return out;
}

// Cells [i0, i1) x [j0, j1) of the coverage onto the target at (tx, ty), over the background at (bx, by).
struct BlendSpan {
    int bx, by, tx, ty;
    int i0, i1, j0, j1;
    int columns;
};

template <int Bytes>
void BlendCells(const LockedPixels& back, const LockedPixels& target, const BlendSpan& span,
                const DWORD* coverage, const Ink& ink) {
    for (int i = span.i0; i < span.i1; ++i) {
        const DWORD* row = coverage + static_cast<std::size_t>(i) * span.columns;
        BYTE* out = target.Pixel(span.tx + span.j0, span.ty + i);
        const BYTE* under = back.Pixel(span.bx + span.j0, span.by + i);
        for (int j = span.j0; j < span.j1; ++j, out += Bytes, under += Bytes) {
            const DWORD n = row[j];
            if (n == 0) continue;
            if constexpr (Bytes == 3) {
                for (int k = 0; k < 3; ++k)
                    out[k] = n >= kFullCover
                                 ? ink.bytes24[k]
                                 : static_cast<BYTE>((under[k] * (kFullCover - n) + ink.bytes24[k] * n) /
                                                     kFullCover);
            } else {
                using Word = std::conditional_t<Bytes == 2, WORD, DWORD>;
                Word u;
                std::memcpy(&u, under, Bytes);
                const Word v = static_cast<Word>(n >= kFullCover ? ink.pixel : BlendChannels(u, ink, n));
                std::memcpy(out, &v, Bytes);
            }
        }
    }
}
} // namespace

void CMessageWindow::SetFontSize(int index) {
    // Sizes come from scripts, saves and the backlog: only the table's rows are fonts.
    if (index < 0 || index >= kFontSizeCount || index == m_FontSize) return;
    const FontSizeRow& row = FontSizeTable[index];
    if (m_hFont) DeleteObject(m_hFont);
    m_hFont =
        CreateFontA(kScale * row.height, kScale * row.halfWidth, 0, 0, FW_DONTCARE, 0, 0, 0, SHIFTJIS_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, kGothicFace);
    m_pWork = DeleteLayerObject(m_pWork);
    m_pWork = CreateLayerObject(0);
    m_pWork->CreateBlank(SIZE{2 * kScale * row.halfWidth, kScale * row.height}, 0);
    m_WorkDirty = RECT{0, 0, 2 * kScale * row.halfWidth, kScale * row.height};
    m_Coverage.assign(static_cast<std::size_t>(2 * row.halfWidth) * row.height, 0);
    m_FontSize = index;
    m_HalfWidth = row.halfWidth;
    m_Height = row.height;
    m_Advance = row.advance;
    m_LineHeight = row.lineHeight;
}

int CMessageWindow::GetFontSize() const {
    return m_FontSize;
}

int CMessageWindow::GetFontWidth() const {
    return m_HalfWidth;
}

int CMessageWindow::GetFontHeight() const {
    return m_Height;
}

void CMessageWindow::SetCharPitch(int advance) {
    m_Advance = advance;
}

void CMessageWindow::RenderGlyph(const char* ch, int width) {
    std::fill(m_Coverage.begin(), m_Coverage.end(), 0);
    m_Lit = RECT{0, 0, 0, 0};
    if (!m_pWork || !m_pWork->GetSurface()) return;
    // Only rows the last glyph lit can hold anything: clearing them clears the picture.
    if (m_WorkDirty.bottom > m_WorkDirty.top) m_pWork->Fill(0, &m_WorkDirty);
    HDC dc = nullptr;
    if (m_pWork->GetDC(&dc) == DD_OK && dc) {
        const HGDIOBJ oldFont = SelectObject(dc, m_hFont);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColor = ::SetTextColor(dc, 0xFFFFFF);
        TextOutA(dc, 0, 0, ch, width);
        ::SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
        m_pWork->ReleaseDC(dc);
    }
    const LockedPixels work(m_pWork->GetSurface());
    if (!work.Locked()) return;
    const int rows = std::min(m_Height, work.Height() / kScale);
    const int cells = std::min(2 * m_HalfWidth, work.Width() / kScale);
    const int columns = 2 * m_HalfWidth;
    CoverageBounds bounds;
    switch (work.BytesPerPixel()) {
    case 4:
        bounds = CountCoverage<4>(work, rows, cells, columns, m_Coverage.data());
        break;
    case 3:
        bounds = CountCoverage<3>(work, rows, cells, columns, m_Coverage.data());
        break;
    default:
        bounds = CountCoverage<2>(work, rows, cells, columns, m_Coverage.data());
    }
    m_Lit = bounds.cells;
    m_WorkDirty = bounds.endRow > bounds.firstRow ? RECT{0, bounds.firstRow, work.Width(), bounds.endRow}
                                                  : RECT{0, 0, 0, 0};
}

void CMessageWindow::SetBlendPictures(CLayer* background, CLayer* target) {
    m_pBlendBackground = background;
    m_pBlendTarget = target;
}

void CMessageWindow::BlendGlyph(int bx, int by, int tx, int ty) {
    IDirectDrawSurface* backSurface = m_pBlendBackground ? m_pBlendBackground->GetSurface() : nullptr;
    IDirectDrawSurface* targetSurface = m_pBlendTarget ? m_pBlendTarget->GetSurface() : nullptr;
    if (!backSurface || !targetSurface) return;
    const LockedPixels back(backSurface);
    // A picture may be its own background; it is locked once.
    const LockedPixels other(targetSurface == backSurface ? nullptr : targetSurface);
    const LockedPixels& target = targetSurface == backSurface ? back : other;
    if (!back.Locked() || !target.Locked()) return;
    const int bpp = back.BytesPerPixel();
    if (target.BytesPerPixel() != bpp || (bpp != 2 && bpp != 3 && bpp != 4)) return;
    Channel channels[3] = {};
    if (bpp != 3) {
        RgbChannelMasks masks{};
        if (!GetSurfaceRgbMasks(backSurface, &masks)) return;
        channels[0] = {masks.redMask, masks.redShift};
        channels[1] = {masks.greenMask, masks.greenShift};
        channels[2] = {masks.blueMask, masks.blueShift};
    }
    // Only lit cells that lie on both pictures are touched.
    const int j0 = std::max<int>({m_Lit.left, -tx, -bx});
    const int j1 = std::min<int>({m_Lit.right, target.Width() - tx, back.Width() - bx});
    const int i0 = std::max<int>({m_Lit.top, -ty, -by});
    const int i1 = std::min<int>({m_Lit.bottom, target.Height() - ty, back.Height() - by});
    if (j0 >= j1 || i0 >= i1) return;
    const GlyphColor& color = m_Colors[m_CurrentColor];
    const Ink ink{bpp == 2 ? color.pixel16 : color.pixel32, color.bytes24, channels};
    const BlendSpan span{bx, by, tx, ty, i0, i1, j0, j1, 2 * m_HalfWidth};
    if (bpp == 3)
        BlendCells<3>(back, target, span, m_Coverage.data(), ink);
    else if (bpp == 2)
        BlendCells<2>(back, target, span, m_Coverage.data(), ink);
    else
        BlendCells<4>(back, target, span, m_Coverage.data(), ink);
}

void CMessageWindow::BlendGlyphShadow(int bx, int by, int tx, int ty, BYTE backToText) {
    m_CurrentColor = kShadowColor;
    BlendGlyph(bx, by, tx + 2, ty + 2);
    m_CurrentColor = backToText == 1 ? kTextColor : kNameColor;
}

void CMessageWindow::SetColorSet(int r, int g, int b, BYTE force, int set) {
    r &= 0xFF;
    g &= 0xFF;
    b &= 0xFF;
    GlyphColor& color = m_Colors[set];
    if (set != kShadowColor && !force && color.r == r && color.g == g && color.b == b) return;
    color.r = r;
    color.g = g;
    color.b = b;
    DDPIXELFORMAT format{};
    const bool is555 =
        DisplayPixelFormat(&format) && format.dwRGBBitCount == 16 && format.dwRBitMask == 0x7C00;
    color.pixel16 = static_cast<WORD>(is555 ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                            : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    color.bytes24[0] = static_cast<BYTE>(b);
    color.bytes24[1] = static_cast<BYTE>(g);
    color.bytes24[2] = static_cast<BYTE>(r);
    color.pixel32 = static_cast<DWORD>(r) * 65536 + static_cast<DWORD>(g) * 256 + static_cast<DWORD>(b);
}

void CMessageWindow::SetTextColor(int r, int g, int b, BYTE force) {
    SetColorSet(r, g, b, force, kTextColor);
}

void CMessageWindow::SetNameColor(int r, int g, int b, BYTE force) {
    SetColorSet(r, g, b, force, kNameColor);
}

void CMessageWindow::SetShadowColor(int r, int g, int b) {
    SetColorSet(r, g, b, 1, kShadowColor);
}

void CMessageWindow::GetTextColor(int* r, int* g, int* b) const {
    if (r) *r = m_Colors[kTextColor].r;
    if (g) *g = m_Colors[kTextColor].g;
    if (b) *b = m_Colors[kTextColor].b;
}

void CMessageWindow::GetNameColor(int* r, int* g, int* b) const {
    if (r) *r = m_Colors[kNameColor].r;
    if (g) *g = m_Colors[kNameColor].g;
    if (b) *b = m_Colors[kNameColor].b;
}
