// Start-up, title and the system sprites: the black screen and the studio logo, the curtain between
// modes, the title with its items, the mouse cursor and the system bar.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Widgets.h"

namespace demo {
namespace {
void Stars(Canvas& c, int count, int maxY, Rgb colour, std::uint32_t seed) {
    Random r(seed);
    for (int i = 0; i < count; ++i) {
        const int x = r.Range(0, c.Width()), y = r.Range(0, maxY);
        if (i % 9 == 0) {
            c.FillRect(x - 2, y, x + 3, y + 1, colour);
            c.FillRect(x, y - 2, x + 1, y + 3, colour);
        } else {
            c.Set(x, y, colour);
        }
    }
}

void Moon(Canvas& c, int cx, int cy, int r, Rgb sky) {
    c.Disc(cx, cy, r + 10, Mix(sky, 0xFFF3C8, 1, 6));
    c.Disc(cx, cy, r, 0xFFF3C8);
    c.Disc(cx - r / 3, cy - r / 4, r * 4 / 5, sky);
}

const char* const kTitleLabels[3] = {"START", "CONFIG", "QUIT"};
} // namespace

void PaintBlank(Picture& p, const Asset& a) {
    p.colour.FillRect(0, 0, 640, 480, 0x06080F);
    p.colour.NameTag(a.name, 636, 466);
}

void PaintCurtain(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.VerticalGradient(0, 0, 640, 480, 0x0B1230, 0x3A2E5E, 40);
    Stars(c, 140, 480, 0xC8D0F0, 11);
    Moon(c, 320, 200, 36, Mix(0x0B1230, 0x3A2E5E, 200, 480));
    c.CentredText(320, 270, "QUORIN", 4, theme::kCream, theme::kShadow);
    c.CentredText(320, 310, "a promise on the hill", 2, theme::kGold, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}

void PaintLogo(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, 640, 480, 0x06080F);
    // A lantern emblem over the studio's name.
    c.Disc(320, 190, 70, 0x141C30);
    c.Disc(320, 190, 62, 0x1E2A46);
    c.RoundRect(292, 150, 348, 232, 14, theme::kGold);
    c.RoundRect(298, 158, 342, 224, 10, 0xFFD98A);
    c.RoundRect(306, 168, 334, 214, 8, 0xFFF3C8);
    c.FillRect(304, 140, 336, 150, 0x8A6A3A);
    c.FillRect(316, 126, 324, 140, 0x8A6A3A);
    c.FillRect(304, 232, 336, 240, 0x8A6A3A);
    c.CentredText(320, 290, "LANTERN HILL", 5, theme::kCream, 0x1E2A46);
    c.CentredText(320, 338, "S O F T W O R K S", 2, theme::kGold, 0x06080F);
    c.CentredText(320, 380, "presents", 2, 0x8A93A8, 0x06080F);
    c.NameTag(a.name, 636, 466);
}

void PaintCursor(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    c.Polygon({{0, 0}, {0, 24}, {6, 19}, {11, 29}, {16, 27}, {11, 17}, {19, 17}}, theme::kInk);
    c.Polygon({{2, 4}, {2, 19}, {7, 15}, {12, 25}, {14, 24}, {9, 14}, {15, 14}}, theme::kCream);
    c.Polygon({{2, 4}, {2, 10}, {8, 10}}, theme::kAccent);
}

void PaintBar(Picture& p, const Asset& a) {
    static const char* const kLabels[9] = {"QUORIN", "SAVE", "LOAD",   "CONFIG", "SKIP",
                                           "AUTO",   "LOG",  "STATUS", "TITLE"};
    static const State kRows[4] = {State::Normal, State::Hover, State::Pressed, State::Disabled};
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), theme::kInk);
    for (int row = 0; row < 4; ++row) {
        const int y = row * 36;
        for (int b = 0; b < 9; ++b) {
            const int x = kBarSheetX[static_cast<std::size_t>(b)],
                      w = kBarButtons[static_cast<std::size_t>(b)].Width();
            if (b == 0) {
                // The label plate: the game's name, never a button.
                c.VerticalGradient(x, y, x + w, y + 36, theme::kPanelTop, theme::kInk, 6);
                c.ShadowText(x + 10, y + 11, "QUORIN", 2, theme::kGold, theme::kShadow);
                continue;
            }
            Button(c, {x + 2, y + 3, x + w - 2, y + 33}, kLabels[b], kRows[row]);
        }
        // The "on" columns of skip and auto.
        const State on = row == 0 ? State::On : kRows[row];
        Button(c, {kBarSkipOnX + 2, y + 3, kBarSkipOnX + 60, y + 33}, "SKIP", on);
        Button(c, {kBarAutoOnX + 2, y + 3, kBarAutoOnX + 60, y + 33}, "AUTO", on);
        if (row == 1) {
            c.FillRect(kBarSkipOnX + 8, y + 28, kBarSkipOnX + 54, y + 30, theme::kAccent);
            c.FillRect(kBarAutoOnX + 8, y + 28, kBarAutoOnX + 54, y + 30, theme::kAccent);
        }
    }
    // Sprites of the bar take their colour key from the bottom-left pixel: a corner no button shows.
    c.Set(0, c.Height() - 1, kKey);
    c.NameTag(a.name, 124, 112);
}

void PaintTitle(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    PaintScene(c, Place::HillTown, TimeOfDay::Evening, 77);
    // A veil on the left for the menu, and the game's title on the right.
    c.Recolour(0, 0, 250, 480, [](Rgb v) { return Mix(v, 0x1B2236, 9, 20); });
    c.FillRect(249, 0, 251, 480, theme::kGold);
    c.CentredText(450, 60, "QUORIN", 7, theme::kCream, 0x3A2E5E);
    c.CentredText(450, 124, "a promise on the hill", 2, theme::kGold, 0x3A2E5E);
    for (int i = 0; i < 3; ++i)
        Button(c, kTitleItems[static_cast<std::size_t>(i)], kTitleLabels[i], State::Normal);
    // The two keys the title takes besides its items.
    Panel(c, {22, 290, 232, 358}, 8);
    c.ShadowText(36, 302, "N  NAME ENTRY", 2, theme::kCream, theme::kShadow);
    c.ShadowText(36, 330, "E  EXTRAS", 2, theme::kCream, theme::kShadow);
    c.FillRect(36, 318, 48, 320, theme::kGold);
    c.FillRect(36, 346, 48, 348, theme::kGold);
    c.Text(400, 460, "(C) LANTERN HILL SOFTWORKS - DEMO", 1, 0xE8E0D0);
    c.NameTag(a.name, 636, 4);
}

void PaintTitleArt(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int i = 0; i < 3; ++i) {
        const int y = kTitleArtRows[static_cast<std::size_t>(i)];
        Button(c, {0, y, 128, y + 40}, kTitleLabels[i], State::Hover);
        Button(c, {128, y, 256, y + 40}, kTitleLabels[i], State::Pressed);
    }
}
} // namespace demo
