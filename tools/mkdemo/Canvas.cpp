#include "tools/mkdemo/Canvas.h"

#include "tools/mkdemo/BitmapFont.h"

#include <algorithm>
#include <cstdlib>

namespace demo {
namespace {
int Channel(Rgb c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}
Rgb Pack(int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<Rgb>(std::clamp(v, 0, 255)); };
    return (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}
int Distance(Rgb a, Rgb b) {
    const int dr = Channel(a, 16) - Channel(b, 16), dg = Channel(a, 8) - Channel(b, 8),
              db = Channel(a, 0) - Channel(b, 0);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}
// The fixed palette: 6 levels of red, 7 of green, 6 of blue (252 colours) and four greys.
std::vector<Rgb> FixedPalette() {
    std::vector<Rgb> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(Pack(r * 51, g * 255 / 6, b * 51));
    for (int v : {32, 96, 160, 224})
        p.push_back(Pack(v, v, v));
    return p;
}
} // namespace

Rgb Mix(Rgb a, Rgb b, int num, int den) {
    if (den == 0) return a;
    auto mix = [&](int shift) {
        const int x = Channel(a, shift), y = Channel(b, shift);
        return x + (y - x) * num / den;
    };
    return Pack(mix(16), mix(8), mix(0));
}

Rgb Shade(Rgb c, int percent) {
    return percent <= 100 ? Mix(0, c, percent, 100) : Mix(c, 0xFFFFFF, percent - 100, 100);
}

Canvas::Canvas(int width, int height, Rgb background, bool fixedPalette)
    : m_Width(width), m_Height(height), m_Fixed(fixedPalette),
      m_Pixels(static_cast<std::size_t>(width) * height, 0) {
    if (m_Fixed) m_Palette = FixedPalette();
    const std::uint8_t bg = Index(background);
    std::fill(m_Pixels.begin(), m_Pixels.end(), bg);
}

std::uint8_t Canvas::Index(Rgb colour) {
    colour &= 0xFFFFFF;
    const auto found = m_Lookup.find(colour);
    if (found != m_Lookup.end()) return found->second;
    std::uint8_t index = 0;
    if (!m_Fixed && m_Palette.size() < 256) {
        index = static_cast<std::uint8_t>(m_Palette.size());
        m_Palette.push_back(colour);
    } else {
        // The key colour must never stand in for another colour, nor another colour for it.
        int best = -1;
        for (std::size_t i = 0; i < m_Palette.size(); ++i) {
            if ((m_Palette[i] == kKey) != (colour == kKey)) continue;
            const int d = Distance(m_Palette[i], colour);
            if (best < 0 || d < best) {
                best = d;
                index = static_cast<std::uint8_t>(i);
            }
        }
    }
    m_Lookup.emplace(colour, index);
    return index;
}

void Canvas::Clip(int& x0, int& y0, int& x1, int& y1) const {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_Width);
    y1 = std::min(y1, m_Height);
}

void Canvas::Span(int y, int x0, int x1, std::uint8_t index) {
    if (y < 0 || y >= m_Height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_Width);
    if (x0 >= x1) return;
    auto row = m_Pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_Width;
    std::fill(row + x0, row + x1, index);
}

void Canvas::FillRect(int x0, int y0, int x1, int y1, Rgb colour) {
    Clip(x0, y0, x1, y1);
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint8_t index = Index(colour);
    for (int y = y0; y < y1; ++y)
        Span(y, x0, x1, index);
}

void Canvas::Frame(int x0, int y0, int x1, int y1, int t, Rgb colour) {
    FillRect(x0, y0, x1, y0 + t, colour);
    FillRect(x0, y1 - t, x1, y1, colour);
    FillRect(x0, y0 + t, x0 + t, y1 - t, colour);
    FillRect(x1 - t, y0 + t, x1, y1 - t, colour);
}

void Canvas::VerticalGradient(int x0, int y0, int x1, int y1, Rgb top, Rgb bottom, int steps) {
    const int rows = y1 - y0;
    if (rows <= 0) return;
    if (steps <= 0 || steps > rows) steps = rows;
    for (int y = y0; y < y1; ++y) {
        const int band = (y - y0) * steps / rows;
        FillRect(x0, y, x1, y + 1, Mix(top, bottom, band, std::max(steps - 1, 1)));
    }
}

void Canvas::HorizontalGradient(int x0, int y0, int x1, int y1, Rgb left, Rgb right, int steps) {
    const int cols = x1 - x0;
    if (cols <= 0) return;
    if (steps <= 0 || steps > cols) steps = cols;
    for (int x = x0; x < x1; ++x) {
        const int band = (x - x0) * steps / cols;
        FillRect(x, y0, x + 1, y1, Mix(left, right, band, std::max(steps - 1, 1)));
    }
}

void Canvas::RoundRect(int x0, int y0, int x1, int y1, int radius, Rgb colour) {
    const std::uint8_t index = Index(colour);
    radius = std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2});
    for (int y = y0; y < y1; ++y) {
        int inset = 0;
        const int dy = y < y0 + radius ? y0 + radius - y : (y >= y1 - radius ? y - (y1 - radius - 1) : 0);
        if (dy > 0) {
            while (inset < radius) {
                const int dx = radius - inset;
                if (dx * dx + dy * dy <= radius * radius + radius) break;
                ++inset;
            }
        }
        Span(y, x0 + inset, x1 - inset, index);
    }
}

void Canvas::Ellipse(int cx, int cy, int rx, int ry, Rgb colour) {
    if (rx <= 0 || ry <= 0) return;
    const std::uint8_t index = Index(colour);
    for (int dy = -ry; dy <= ry; ++dy) {
        // Half width of the row: rx * sqrt(1 - (dy/ry)^2), in integers.
        const long long num = static_cast<long long>(ry) * ry - static_cast<long long>(dy) * dy;
        long long half = 0;
        while ((half + 1) * (half + 1) * ry * ry <= num * rx * rx)
            ++half;
        Span(cy + dy, cx - static_cast<int>(half), cx + static_cast<int>(half) + 1, index);
    }
}

void Canvas::Ring(int cx, int cy, int r, int thickness, Rgb colour) {
    const std::uint8_t index = Index(colour);
    const int inner = std::max(r - thickness, 0);
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x) {
            const int d = x * x + y * y;
            if (d <= r * r && d > inner * inner) Span(cy + y, cx + x, cx + x + 1, index);
        }
}

void Canvas::Polygon(const std::vector<Point>& points, Rgb colour) {
    if (points.size() < 3) return;
    const std::uint8_t index = Index(colour);
    int top = points[0].y, bottom = points[0].y;
    for (const Point& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<int> xs;
    for (int y = std::max(top, 0); y < std::min(bottom, m_Height); ++y) {
        xs.clear();
        const double sy = y + 0.5;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point a = points[i], b = points[(i + 1) % points.size()];
            if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy)) {
                const double x = a.x + (sy - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
                xs.push_back(static_cast<int>(x + 0.5));
            }
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            Span(y, xs[i], xs[i + 1], index);
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, int thickness, Rgb colour) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    const int half = thickness / 2;
    for (int i = 0; i <= steps; ++i) {
        const int x = steps ? x0 + (x1 - x0) * i / steps : x0;
        const int y = steps ? y0 + (y1 - y0) * i / steps : y0;
        FillRect(x - half, y - half, x - half + thickness, y - half + thickness, colour);
    }
}

void Canvas::Ridge(int x0, int x1, int y1, const std::vector<int>& topPerColumn, Rgb colour) {
    const std::uint8_t index = Index(colour);
    for (int x = std::max(x0, 0); x < std::min(x1, m_Width); ++x) {
        const std::size_t i = static_cast<std::size_t>(x - x0);
        if (i >= topPerColumn.size()) break;
        for (int y = std::max(topPerColumn[i], 0); y < std::min(y1, m_Height); ++y)
            m_Pixels[static_cast<std::size_t>(y) * m_Width + x] = index;
    }
}

void Canvas::Blit(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy, bool skipKey) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int px = sx + x, py = sy + y;
            if (px < 0 || py < 0 || px >= src.m_Width || py >= src.m_Height) continue;
            const Rgb c = src.At(px, py);
            if (skipKey && c == kKey) continue;
            Set(dx + x, dy + y, c);
        }
}

void Canvas::BlitScaled(const Canvas& src, int dx, int dy, int dw, int dh) {
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            Set(dx + x, dy + y, src.At(x * src.m_Width / dw, y * src.m_Height / dh));
}

void Canvas::Text(int x, int y, const std::string& text, int scale, Rgb colour) {
    const std::uint8_t index = Index(colour);
    for (char c : text) {
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (GlyphCell(c, col, row))
                    for (int k = 0; k < scale; ++k)
                        Span(y + row * scale + k, x + col * scale, x + (col + 1) * scale, index);
        x += kGlyphAdvance * scale;
    }
}

void Canvas::ShadowText(int x, int y, const std::string& text, int scale, Rgb colour, Rgb shadow) {
    Text(x + scale, y + scale, text, scale, shadow);
    Text(x, y, text, scale, colour);
}

void Canvas::CentredText(int cx, int y, const std::string& text, int scale, Rgb colour, Rgb shadow) {
    ShadowText(cx - TextWidth(text, scale) / 2, y, text, scale, colour, shadow);
}

int Canvas::TextWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * kGlyphAdvance - 1) * scale;
}

void Canvas::NameTag(const std::string& name, int right, int top) {
    const int w = TextWidth(name, 1) + 6;
    RoundRect(right - w, top, right, top + 11, 3, 0x20202A);
    Text(right - w + 3, top + 2, name, 1, 0xE8E4D8);
}

fixtures::PictureDesc Canvas::Desc8() const {
    fixtures::PictureDesc d;
    d.width = m_Width;
    d.height = m_Height;
    d.bitCount = 8;
    d.palette = m_Palette;
    d.pixels.assign(m_Pixels.begin(), m_Pixels.end());
    return d;
}

fixtures::PictureDesc Canvas::Desc24() const {
    fixtures::PictureDesc d;
    d.width = m_Width;
    d.height = m_Height;
    d.bitCount = 24;
    d.pixels.resize(m_Pixels.size());
    for (std::size_t i = 0; i < m_Pixels.size(); ++i)
        d.pixels[i] = m_Palette[m_Pixels[i]];
    return d;
}
} // namespace demo
