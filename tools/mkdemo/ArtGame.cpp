// The game scene's own pictures: the message window, the click-wait icon, the choice boxes, the
// calendar, the choice grid and the costume choice.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Widgets.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace demo {
namespace {

const char* const kGridItems[24] = {"BOOK", "TEA",  "CAT",  "STAR", "KITE", "BELL",  "ROSE", "SHELL",
                                    "KEY",  "MOON", "CAKE", "HAT",  "FISH", "LEAF",  "BIRD", "GEM",
                                    "BOAT", "DRUM", "FAN",  "RING", "LAMP", "CLOUD", "SNOW", "NONE"};

void GridIcon(Canvas& c, int k, int x, int y, int size) {
    const Rgb colour = k == 23 ? 0x8D9098 : Mix(0xE48A8A, 0x6A93D0, (k * 7) % 24, 23);
    c.RoundRect(x, y, x + size, y + size, 8, Shade(colour, 70));
    c.RoundRect(x + 2, y + 2, x + size - 2, y + size - 2, 7, colour);
    const std::string initial(1, kGridItems[k][0]);
    c.CentredText(x + size / 2, y + size / 2 - 10, initial, 3, 0xFFFFFF, Shade(colour, 50));
}

// Fills the alpha plane from a test per pixel.
template <class F> void AlphaFrom(Picture& p, F alphaAt) {
    const Canvas& c = p.colour;
    p.alpha.resize(static_cast<std::size_t>(c.Width()) * c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            p.alpha[static_cast<std::size_t>(y) * c.Width() + x] = static_cast<std::uint8_t>(alphaAt(x, y));
}
} // namespace

void PaintMessageWindow(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0);
    c.RoundRect(0, 0, c.Width(), c.Height(), 14, theme::kGold);
    c.RoundRect(3, 3, c.Width() - 3, c.Height() - 3, 12, 0x18223C);
    c.VerticalGradient(10, 40, c.Width() - 10, c.Height() - 6, 0x1E2A48, 0x141C32, 10);
    // The speaker's name plate.
    c.RoundRect(26, 4, 160, 34, 8, theme::kGold);
    c.RoundRect(28, 6, 158, 32, 7, 0x3A2E5E);
    c.FillRect(24, 38, c.Width() - 24, 39, Mix(theme::kGold, 0x18223C, 1, 2));
    c.NameTag(a.name, c.Width() - 40, 8);
    const Rgb body = 0x18223C, plate = 0x3A2E5E;
    AlphaFrom(p, [&](int x, int y) {
        const Rgb v = c.At(x, y);
        if (v == 0) return 0;
        if (v == theme::kGold || v == plate) return 255;
        return v == body ? 200 : 215;
    });
}

void PaintClickIcon(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    static const int kLift[4] = {0, 2, 4, 2};
    for (int f = 0; f < 4; ++f) {
        const int x = f * 16, y = 2 + kLift[f];
        c.Polygon({{x + 2, y}, {x + 14, y}, {x + 8, y + 9}}, theme::kShadow);
        c.Polygon({{x + 3, y}, {x + 13, y}, {x + 8, y + 7}}, theme::kGold);
        c.FillRect(x + 5, y + 1, x + 8, y + 2, 0xFFF0C0);
    }
}

void PaintChoiceBoxes(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0);
    c.RoundRect(0, 0, 480, 40, 10, 0x6A7898);
    c.RoundRect(2, 2, 478, 38, 9, 0x223050);
    c.RoundRect(0, 40, 480, 80, 10, 0xFFD98A);
    c.RoundRect(2, 42, 478, 78, 9, 0x4670AC);
    c.Polygon({{462, 52}, {472, 60}, {462, 68}}, 0xFFD98A);
    c.NameTag(a.name, 474, 26);
    // The boxes are an alpha sheet: the scene shows through the body of each box, not its rim.
    AlphaFrom(p, [&](int x, int y) {
        const Rgb v = c.At(x, y);
        if (v == 0) return 0;
        return v == 0x223050 || v == 0x4670AC ? 210 : 255;
    });
}

void PaintCalendar(Picture& p, const Asset& a) {
    static const char* const kWeekdays[10] = {"MON", "TUE", "WED", "THU",  "FRI",
                                              "SAT", "SUN", "HOL", "FEST", "---"};
    static const char* const kTimes[4] = {"MORN", "NOON", "EVE", "NIGHT"};
    constexpr Rgb kPaper = 0xFBF6EA, kInkText = 0x2A3550;
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    // The page: a red band with the month, the day, the weekday and the time of day.
    c.RoundRect(0, 0, 124, 112, 8, 0x8A6A5A);
    c.RoundRect(2, 2, 122, 110, 7, kPaper);
    c.RoundRect(2, 2, 122, 18, 6, 0xD8434F);
    c.CentredText(62, 7, "JULY", 1, 0xFFFFFF, 0xA02A36);
    c.Text(14, 24, "DAY", 1, 0x8A93A8);
    c.FillRect(12, 40, 112, 41, 0xD8CCB8);
    c.FillRect(12, 70, 112, 71, 0xD8CCB8);
    for (int t = 1; t <= 3; ++t) {
        const int x = 124 + 16 * (t - 1);
        c.FillRect(x, 14, x + 16, 28, kPaper);
        c.CentredText(x + 8, 14, std::to_string(t), 2, kInkText, kPaper);
    }
    for (int u = 0; u <= 9; ++u) {
        const int x = 124 + 14 * u;
        c.FillRect(x, 0, x + 14, 14, kPaper);
        c.CentredText(x + 7, 0, std::to_string(u), 2, kInkText, kPaper);
    }
    for (int w = 0; w < 10; ++w) {
        const int x = w < 5 ? 124 : 192, y = 28 + 18 * (w % 5);
        c.FillRect(x, y, x + 68, y + 18, kPaper);
        c.CentredText(x + 34, y + 2, kWeekdays[w], 2, w >= 5 ? 0xD8434F : kInkText, kPaper);
    }
    for (int t = 0; t < 4; ++t) {
        const int y = 46 + 18 * t;
        c.FillRect(260, y, 306, y + 18, kPaper);
        c.CentredText(283, y + 5, kTimes[t], 1, 0x3E6FB6, kPaper);
    }
    c.Text(178, 18, a.name, 1, 0x8A93A8); // in the sheet's free corner, clear of every part
}

void PaintGrid(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    MenuBackdrop(c, 0x2A3E52, 0x121A26);
    Heading(c, 24, 14, "PICK UP TO THREE", 2);
    c.ShadowText(24, 48, "Your picks:", 1, theme::kCream, theme::kShadow);
    Plate(c, {172, 36, 452, 110});
    for (int i = 0; i < 3; ++i)
        c.RoundRect(188 + 99 * i - 4, 42, 188 + 99 * i + 54, 100, 6, 0x141C32);
    for (int k = 0; k < 24; ++k) {
        const Rect r = GridCell(k);
        GridIcon(c, k, r.left, r.top, 50);
    }
    Plate(c, {512, 32, 612, 126});
    Button(c, kGridDecide, "DECIDE", State::Normal);
    Button(c, kGridBack, "BACK", State::Normal);
    c.NameTag(a.name, 636, 466);
}

// The grid draws these frames without a colour key, so each one lies on the very pixels of "sg030"
// that it covers: the panel shows round the corners of its cell or button.
void PaintGridFrames(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    const Asset panel{Archive::Graphic, "sg030", Kind::Picture, 640, 480};
    Picture grid(panel);
    PaintGrid(grid, panel);
    for (int k = 0; k < 24; ++k)
        for (int col = 0; col < 2; ++col) {
            const int x = col * 50, y = k * 50;
            const Rect cell = GridCell(k);
            c.Blit(grid.colour, cell.left, cell.top, 50, 50, x, y);
            GridIcon(c, k, x, y, 50);
            c.Frame(x, y, x + 50, y + 50, 3, col == 0 ? 0xFFD98A : theme::kAccent);
            if (col == 1) c.Recolour(x + 3, y + 3, x + 47, y + 47, [](Rgb v) { return Shade(v, 75); });
        }
    const struct {
        Rect art;
        const Rect& region;
        const char* label;
        State state;
    } buttons[] = {{{0, 1200, 80, 1232}, kGridDecide, "DECIDE", State::Hover},
                   {{0, 1232, 80, 1264}, kGridBack, "BACK", State::Hover},
                   {{0, 1264, 80, 1296}, kGridDecide, "DECIDE", State::Pressed},
                   {{0, 1296, 80, 1328}, kGridBack, "BACK", State::Pressed}};
    for (const auto& b : buttons) {
        c.Blit(grid.colour, b.region.left, b.region.top, b.art.Width(), b.art.Height(), b.art.left,
               b.art.top);
        Button(c, b.art, b.label, b.state);
    }
}

void PaintGridLevels(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int level = 0; level < 6; ++level) {
        const int x = kGridLevelArtX[static_cast<std::size_t>(level)];
        if (level == 5) {
            // Locked: the cell covered, with a padlock.
            c.RoundRect(x + 5, 3, x + 59, 59, 8, 0x30343C);
            c.Ring(x + 32, 26, 10, 4, 0xB0B4BC);
            c.FillRect(x + 20, 28, x + 44, 48, 0xB0B4BC);
            c.FillRect(x + 30, 34, x + 34, 42, 0x30343C);
            continue;
        }
        c.Frame(x + 5, 3, x + 59, 59, 2, Mix(0x9DB5D8, theme::kGold, level, 4));
        for (int s = 0; s < level; ++s)
            c.Disc(x + 14 + s * 12, 58, 4, theme::kGold);
    }
}

void PaintGridLabels(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int k = 0; k < 24; ++k) {
        c.RoundRect(0, 24 * k + 2, 52, 24 * k + 22, 5, theme::kInk);
        c.CentredText(26, 24 * k + 9, kGridItems[k], 1, theme::kCream, theme::kInk);
    }
    c.FillRect(0, 600, 52, 604, theme::kGold);
}

void PaintGridSpare(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    Panel(c, {0, 0, c.Width(), c.Height()}, 12);
    c.CentredText(c.Width() / 2, 30, a.param == 0 ? "VARIANTS" : "VARIANT LIST", 2, theme::kCream,
                  theme::kShadow);
    for (int i = 0; i < 5; ++i)
        Button(c, {40, 70 + i * 32, c.Width() - 40, 96 + i * 32}, "VARIANT " + std::to_string(i + 1),
               State::Normal, 1);
    c.NameTag(a.name, c.Width() - 6, c.Height() - 16);
}

void PaintCostumeRoom(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    PaintScene(c, Place::Room, TimeOfDay::Noon, 9);
    c.Recolour(0, 0, 640, 480, [](Rgb v) { return Mix(v, 0x2A2446, 1, 2); });
    Heading(c, 24, 14, "WHAT TO WEAR?", 2);
    static const int kSlots[3] = {42, 244, 446};
    for (int i = 0; i < 3; ++i) {
        const int x = kSlots[i];
        c.RoundRect(x - 6, 54, x + 158, 394, 10, i == 1 ? theme::kGold : 0x5A6480);
        c.RoundRect(x - 3, 57, x + 155, 391, 8, 0x1B2236);
        c.Ellipse(x + 76, 400, 90, 14, 0x3A2E5E);
    }
    Plate(c, {100, 424, 540, 480});
    Button(c, kCostumeButtons[0], "OK", State::Normal);
    Button(c, kCostumeButtons[1], "<", State::Normal);
    Button(c, kCostumeButtons[2], ">", State::Normal);
    c.NameTag(a.name, 636, 4);
}

void PaintCostumeButtons(Picture& p, const Asset&) {
    ButtonSheet(p.colour, theme::kPlate,
                {{{0, 0, 160, 32}, "OK", State::Hover},
                 {{0, 32, 160, 64}, "OK", State::Pressed},
                 {{160, 0, 208, 46}, "<", State::Hover},
                 {{208, 0, 256, 46}, ">", State::Hover},
                 {{256, 0, 304, 46}, "<", State::Pressed},
                 {{304, 0, 352, 46}, ">", State::Pressed}});
}

void PaintCostumes(Picture& p, const Asset& a) {
    static const char* const kNames[14] = {"UNIFORM", "SUMMER", "CARDIGAN", "SPORTS", "YUKATA",
                                           "APRON",   "COAT",   "DRESS",    "SAILOR", "HOODIE",
                                           "MAID",    "KIMONO", "BLAZER",   "PAJAMA"};
    static_assert(std::size(kNames) == static_cast<std::size_t>(Outfit::Count));
    Canvas& c = p.colour;
    for (int k = 0; k < 14; ++k) {
        const int x = 152 * k;
        // Two card colours in turn, so that the many colours of the clothes fit the sheet's palette.
        c.VerticalGradient(x, 0, x + 152, 328, k % 2 ? 0xDDE8F8 : 0xFBE3EC, 0xF4EEDF, 8);
        PaintFigure(c, HeroineAt(2), Expression::Smile, x + 76, 16, 66, {static_cast<Outfit>(k)});
        c.CentredText(x + 76, 310, kNames[k], 1, 0x2A3550, 0xFFFFFF);
    }
    c.NameTag(a.name, 150, 2);
    // The scene blends the selected costume through the plane of the sheet's second column and the
    // ones beside it through the first: one card with rounded corners in every column serves both.
    AlphaFrom(p, [](int x, int y) {
        const int dx = std::max({12 - x % 152, x % 152 - 139, 0}), dy = std::max({12 - y, y - 315, 0});
        return dx * dx + dy * dy <= 144 ? 255 : 0;
    });
}

void PaintCostumeVeil(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0x141A2C);
    AlphaFrom(p, [&](int x, int y) {
        const int edge = std::min({x, y, c.Width() - 1 - x, c.Height() - 1 - y});
        return edge < 12 ? 170 + edge * 2 : 150;
    });
}
} // namespace demo
