// A picture being drawn for the demo: one palette index a pixel, up to 256 colours, so that what we draw
// goes straight into the 8-bit pictures the game reads (and its grey and sepia filters work on them).
#pragma once

#include "tools/fixtures/PictureWriter.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace demo {
using Rgb = std::uint32_t; // 0xRRGGBB

inline constexpr Rgb kKey = 0xFF00FF; // the colour key of every keyed picture: never drawn as a colour

Rgb Mix(Rgb a, Rgb b, int num, int den); // a + (b - a) * num / den, per channel
Rgb Shade(Rgb c, int percent);           // darker below 100, lighter above

struct Point {
    int x, y;
};

class Canvas {
  public:
    // An adaptive palette takes colours as they are drawn; a fixed one (for sheets that gather many
    // pictures) is a colour cube every colour is matched to.
    Canvas(int width, int height, Rgb background, bool fixedPalette = false);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    std::uint8_t Index(Rgb colour);
    Rgb At(int x, int y) const { return m_Palette[m_Pixels[static_cast<std::size_t>(y) * m_Width + x]]; }
    void Set(int x, int y, Rgb colour) {
        if (x >= 0 && y >= 0 && x < m_Width && y < m_Height)
            m_Pixels[static_cast<std::size_t>(y) * m_Width + x] = Index(colour);
    }

    // Rectangles are {left, top, right, bottom}, right and bottom exclusive, clipped to the canvas.
    void FillRect(int x0, int y0, int x1, int y1, Rgb colour);
    void Frame(int x0, int y0, int x1, int y1, int thickness, Rgb colour);
    // Rows from `top` to `bottom` colour in `steps` bands (steps 0: one band per row).
    void VerticalGradient(int x0, int y0, int x1, int y1, Rgb top, Rgb bottom, int steps = 0);
    void HorizontalGradient(int x0, int y0, int x1, int y1, Rgb left, Rgb right, int steps = 0);
    void RoundRect(int x0, int y0, int x1, int y1, int radius, Rgb colour);
    void Ellipse(int cx, int cy, int rx, int ry, Rgb colour);
    void Disc(int cx, int cy, int r, Rgb colour) { Ellipse(cx, cy, r, r, colour); }
    void Ring(int cx, int cy, int r, int thickness, Rgb colour);
    void Polygon(const std::vector<Point>& points, Rgb colour); // even-odd scanline fill
    void Line(int x0, int y0, int x1, int y1, int thickness, Rgb colour);
    // Fills each column x0 + i from topPerColumn[i] down to y1.
    void Ridge(int x0, int x1, int y1, const std::vector<int>& topPerColumn, Rgb colour);
    // Copies a block; pixels of `key` in the source are skipped when skipKey is set.
    void Blit(const Canvas& src, int sx, int sy, int w, int h, int dx, int dy, bool skipKey = false);
    // Point-sampled scaling of the whole source into the rectangle.
    void BlitScaled(const Canvas& src, int dx, int dy, int dw, int dh);
    // Every pixel through f(colour) -> colour.
    template <class F> void Recolour(int x0, int y0, int x1, int y1, F f) {
        Clip(x0, y0, x1, y1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                Set(x, y, f(At(x, y)));
    }

    // Text in the built-in font: each font pixel becomes a scale x scale block.
    void Text(int x, int y, const std::string& text, int scale, Rgb colour);
    // Text with a one-block shadow below right.
    void ShadowText(int x, int y, const std::string& text, int scale, Rgb colour, Rgb shadow);
    void CentredText(int cx, int y, const std::string& text, int scale, Rgb colour, Rgb shadow);
    static int TextWidth(const std::string& text, int scale);
    static int TextHeight(int scale) { return 7 * scale; }
    // The picture's own name, small, on a dark plate at the top-right corner of the rectangle.
    void NameTag(const std::string& name, int right, int top);

    const std::vector<std::uint8_t>& Pixels() const { return m_Pixels; }
    const std::vector<Rgb>& Palette() const { return m_Palette; }
    // The picture at 8 bits with its palette, or at 24 bits.
    fixtures::PictureDesc Desc8() const;
    fixtures::PictureDesc Desc24() const;

  private:
    void Clip(int& x0, int& y0, int& x1, int& y1) const;
    void Span(int y, int x0, int x1, std::uint8_t index);

    int m_Width, m_Height;
    bool m_Fixed;
    std::vector<Rgb> m_Palette;
    std::vector<std::uint8_t> m_Pixels;
    std::unordered_map<Rgb, std::uint8_t> m_Lookup;
};
} // namespace demo
