#include "tools/mkdemo/Widgets.h"

#include <algorithm>

namespace demo {
namespace {
struct Look {
    Rgb top, bottom, border, text;
    int textShift;
};
Look LookOf(State s) {
    switch (s) {
    case State::Hover:
        return {0x6A93D0, 0x4670AC, 0xFFD98A, 0xFFFFFF, 0};
    case State::Pressed:
        return {0x1D2D4E, 0x2A3F68, 0xFFD98A, 0xFFE7B0, 1};
    case State::Disabled:
        return {0x55585F, 0x44474E, 0x6B6E75, 0x8D9098, 0};
    case State::On:
        return {0xE48A8A, 0xB8606A, 0xFFE0E0, 0xFFFFFF, 0};
    case State::Normal:
    default:
        return {0x40608F, 0x2C4572, 0x9DB5D8, theme::kCream, 0};
    }
}
} // namespace

void Panel(Canvas& c, const Rect& r, int radius) {
    c.RoundRect(r.left + 3, r.top + 4, r.right + 3, r.bottom + 4, radius, theme::kShadow);
    c.RoundRect(r.left, r.top, r.right, r.bottom, radius, theme::kGold);
    c.RoundRect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, std::max(radius - 2, 0),
                theme::kPanelBottom);
    const int inner = std::max(radius - 2, 0);
    // The gradient inside, kept off the rounded corners.
    c.VerticalGradient(r.left + 2 + inner / 2, r.top + 2 + inner / 2, r.right - 2 - inner / 2,
                       r.bottom - 2 - inner / 2, theme::kPanelTop, theme::kPanelBottom, 12);
}

void MenuBackdrop(Canvas& c, Rgb top, Rgb bottom) {
    c.VerticalGradient(0, 0, c.Width(), c.Height(), top, bottom, 40);
    // Soft diagonal ribbons and a scatter of small stars.
    for (int i = -4; i < 12; ++i) {
        const int x = i * 90;
        c.Polygon({{x, 0}, {x + 34, 0}, {x + 34 + 240, c.Height()}, {x + 240, c.Height()}},
                  Mix(top, 0xFFFFFF, 1, 24));
    }
    for (int i = 0; i < 60; ++i) {
        const int x = (i * 173 + 41) % c.Width(), y = (i * 97 + 13) % c.Height();
        c.Disc(x, y, 1 + i % 2, Mix(top, 0xFFFFFF, 1, 3));
    }
}

void Button(Canvas& c, const Rect& r, const std::string& label, State state, int scale) {
    const Look l = LookOf(state);
    const int radius = std::min(8, r.Height() / 3);
    c.RoundRect(r.left, r.top, r.right, r.bottom, radius, l.border);
    c.RoundRect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, std::max(radius - 2, 0), l.bottom);
    c.VerticalGradient(r.left + 4, r.top + 3, r.right - 4, r.top + r.Height() / 2, l.top,
                       Mix(l.top, l.bottom, 1, 2), 6);
    if (state == State::Hover)
        c.Frame(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, 1, Mix(l.border, 0xFFFFFF, 1, 2));
    while (scale > 1 && Canvas::TextWidth(label, scale) > r.Width() - 8)
        --scale;
    const int ty = r.top + (r.Height() - Canvas::TextHeight(scale)) / 2 + l.textShift;
    const int tx = r.left + r.Width() / 2 + l.textShift;
    c.CentredText(tx, ty, label, scale, l.text, state == State::Disabled ? l.bottom : theme::kShadow);
}

void Chip(Canvas& c, const Rect& r, const std::string& label, State state) {
    Button(c, r, label, state, 1);
}

void Heading(Canvas& c, int x, int y, const std::string& text, int scale) {
    c.ShadowText(x, y, text, scale, theme::kCream, theme::kShadow);
    c.FillRect(x, y + Canvas::TextHeight(scale) + scale * 2, x + Canvas::TextWidth(text, scale),
               y + Canvas::TextHeight(scale) + scale * 2 + 2, theme::kGold);
}

void ButtonSheet(Canvas& c, Rgb background, std::initializer_list<SheetButton> buttons) {
    c.FillRect(0, 0, c.Width(), c.Height(), background);
    for (const SheetButton& b : buttons)
        Button(c, b.rect, b.label, b.state);
}

void Plate(Canvas& c, const Rect& r) {
    c.RoundRect(r.left, r.top, r.right, r.bottom, 6, theme::kPlate);
}

void KeyOut(Canvas& c, const Rect& r) {
    c.FillRect(r.left, r.top, r.right, r.bottom, kKey);
}
} // namespace demo
