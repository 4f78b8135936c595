// The overlays and panels: the yes/no dialog, the config panel, the save and load menus, the status
// panel and name entry, each background with its buttons painted in their normal state where the
// program's regions are, and an art sheet with the other states.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Widgets.h"

#include <string>

namespace demo {
namespace {

Rect Offset(const Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

void Screen(Canvas& c, const char* heading, Rgb top, Rgb bottom) {
    MenuBackdrop(c, top, bottom);
    Heading(c, 24, 14, heading, 3);
}

const char* const kDialogQuestions[4][2] = {
    {"RETURN TO THE TITLE?", "Progress since your last save is lost."},
    {"QUIT THE GAME?", "See you again soon."},
    {"SAVE TO THIS SLOT?", "The slot keeps the page you are on."},
    {"LOAD THIS SLOT?", "The story goes on from there."},
};

const char* ConfigLabel(int region) {
    static const char* const kLevels[5] = {"OFF", "1", "2", "3", "MAX"};
    static const char* const kPairs[6] = {"ON", "OFF", "FULL", "WINDOW", "TYPE", "FAST"};
    if (region < 15) return kLevels[region % 5];
    if (region < 21) return kPairs[region - 15];
    return region == 21 ? "OK" : "CANCEL";
}
} // namespace

void PaintDialog(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0);
    p.alpha.assign(static_cast<std::size_t>(c.Width()) * c.Height(), 0);
    for (int k = 0; k < 4; ++k) {
        const int y = k * 128;
        const Rect panel = {8, y + 8, 376, y + 122};
        Panel(c, panel, 12);
        c.CentredText(192, y + 26, kDialogQuestions[k][0], 2, theme::kCream, theme::kShadow);
        c.CentredText(192, y + 54, kDialogQuestions[k][1], 1, 0xC8D0E8, theme::kShadow);
        for (int b = 0; b < 2; ++b)
            Button(
                c,
                Offset(kDialogButtons[static_cast<std::size_t>(b)], -kDialogRect.left, y - kDialogRect.top),
                b == 0 ? "YES" : "NO", State::Normal);
        // Opaque panel, a soft shadow below right, the frozen screen everywhere else.
        for (int py = y; py < y + 128; ++py)
            for (int px = 0; px < c.Width(); ++px) {
                const Rgb v = c.At(px, py);
                std::uint8_t alpha = 0;
                if (v != 0) alpha = (px < panel.right && py < panel.bottom) ? 255 : 110;
                p.alpha[static_cast<std::size_t>(py) * c.Width() + px] = alpha;
            }
    }
    c.NameTag(a.name, 372, 110);
}

void PaintDialogButtons(Picture& p, const Asset&) {
    ButtonSheet(p.colour, kKey,
                {{{0, 0, 88, 32}, "YES", State::Hover},
                 {{0, 32, 88, 64}, "NO", State::Hover},
                 {{0, 64, 88, 96}, "YES", State::Pressed},
                 {{0, 96, 88, 128}, "NO", State::Pressed}});
}

void PaintConfig(Picture& p, const Asset& a) {
    static const char* const kRowNames[6] = {"VOICE", "MUSIC", "SOUND FX", "EFFECTS", "SCREEN", "TEXT"};
    Canvas& c = p.colour;
    Screen(c, "CONFIG", 0x24365E, 0x131B30);
    for (int row = 0; row < 6; ++row) {
        const Rect& r = kConfigRows[static_cast<std::size_t>(row)];
        Plate(c, {r.left - 4, r.top - 3, r.right + 6, r.bottom + 3});
        c.ShadowText(r.left + 28, r.top + 6, kRowNames[row], 2, theme::kCream, theme::kShadow);
    }
    for (int k = 0; k < 21; ++k)
        Chip(c, kConfigRegions[static_cast<std::size_t>(k)], ConfigLabel(k), State::Normal);
    Plate(c, {520, 368, 640, 466});
    Button(c, kConfigRegions[21], "OK", State::Normal);
    Button(c, kConfigRegions[22], "CANCEL", State::Normal);
    c.ShadowText(60, 420, "Right click or Esc in the story hides the window.", 1, 0xC8D0E8, theme::kShadow);
    c.ShadowText(60, 434, "Ctrl skips, the wheel or Page Up opens the backlog.", 1, 0xC8D0E8, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}

void PaintConfigArt(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), theme::kPlate);
    for (int k = 0; k < 21; ++k)
        Chip(c, kConfigArt[static_cast<std::size_t>(k)], ConfigLabel(k), State::On);
    for (int k = 0; k < 2; ++k) {
        Button(c, kConfigHover[static_cast<std::size_t>(k)], ConfigLabel(21 + k), State::Hover);
        Button(c, kConfigArt[static_cast<std::size_t>(21 + k)], ConfigLabel(21 + k), State::Pressed);
    }
    c.NameTag(a.name, 226, 4);
}

void PaintRowCursor(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    c.Polygon({{3, 2}, {20, 11}, {3, 20}}, theme::kShadow);
    c.Polygon({{4, 4}, {17, 11}, {4, 18}}, theme::kGold);
    c.Polygon({{6, 7}, {12, 11}, {6, 14}}, 0xFFF0C0);
}

void PaintSaveLoad(Picture& p, const Asset& a) {
    const bool load = a.param == 1;
    const auto& lines = load ? kLoadLines : kSaveLines;
    Canvas& c = p.colour;
    Screen(c, load ? "LOAD" : "SAVE", load ? 0x2E2450 : 0x1E3E4E, 0x111626);
    for (const Rect& r : lines) {
        c.RoundRect(r.left - 2, r.top - 2, r.right + 2, r.bottom + 2, 6, theme::kGold);
        c.RoundRect(r.left, r.top, r.right, r.bottom, 5, theme::kPlate);
        c.FillRect(r.left + 4, r.top + 4, r.left + 10, r.bottom - 4, load ? 0x9C8AD8 : 0x7FC8C0);
    }
    for (int i = 0; i < 3; ++i)
        Button(c, kSavePageButtons[static_cast<std::size_t>(i)], std::to_string(i + 1), State::Normal);
    Button(c, kSaveBack, "BACK", State::Normal);
    static const char* const kHints[2][4] = {
        {"Saving keeps this", "page of the story", "in the slot: load", "it to play on."},
        {"Choose a save", "to continue from.", "", ""}};
    for (int i = 0; i < 4; ++i)
        c.ShadowText(24, 290 + 14 * i, kHints[load][i], 1, 0xC8D0E8, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}

void PaintSaveLoadArt(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int row = 0; row < 2; ++row) {
        const Rect r = {2, row * 24, 402, row * 24 + 24};
        c.RoundRect(r.left, r.top, r.right, r.bottom, 5, row == 0 ? 0x4670AC : 0x1A2946);
        c.FillRect(r.left + 4, r.top + 4, r.left + 10, r.bottom - 4,
                   row == 0 ? theme::kGold : theme::kAccent);
        c.Frame(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, 1, 0xFFD98A);
    }
    for (int i = 0; i < 3; ++i)
        Button(c, {96 * i, 48, 96 * i + 96, 88}, std::to_string(i + 1), State::On);
    Button(c, {288, 48, 372, 88}, "BACK", State::Hover);
    Button(c, {372, 48, 456, 88}, "BACK", State::Pressed);
    c.NameTag(a.name, 452, 2);
}

void PaintStatus(Picture& p, const Asset& a) {
    static const char* const kNames[4] = {"KIND", "BRAVE", "WIT", "CHARM"};
    Canvas& c = p.colour;
    MenuBackdrop(c, 0x2A2446, 0x121624);
    Heading(c, 24, 14, "STATUS", 3);
    for (int g = 0; g < 4; ++g) {
        const int x = kGaugeX[static_cast<std::size_t>(g)];
        c.RoundRect(x - 8, 14, x + 38, 430, 8, theme::kGold);
        c.RoundRect(x - 5, 17, x + 35, 427, 6, 0x141A2C);
        for (int tick = 0; tick <= 10; ++tick)
            c.FillRect(x + 30, 22 + tick * 40, x + 34, 23 + tick * 40, 0x5A6480);
        c.CentredText(x + 15, 440, kNames[g], 1, theme::kCream, theme::kShadow);
    }
    Plate(c, {536, 430, 634, 480});
    Button(c, kStatusClose, "CLOSE", State::Normal);
    c.ShadowText(24, 60, "How the heroines", 1, 0xC8D0E8, theme::kShadow);
    c.ShadowText(24, 72, "see you so far.", 1, 0xC8D0E8, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}

void PaintStatusClose(Picture& p, const Asset&) {
    ButtonSheet(p.colour, theme::kPlate,
                {{{0, 0, 84, 40}, "CLOSE", State::Hover}, {{0, 40, 84, 80}, "CLOSE", State::Pressed}});
}

void PaintGauge(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.VerticalGradient(0, 0, 30, 400, theme::kAccent, theme::kGold, 40);
    c.FillRect(0, 0, 4, 400, Mix(theme::kAccent, 0xFFFFFF, 1, 2));
    for (int y = 20; y < 400; y += 20)
        c.FillRect(4, y, 30, y + 1, Mix(theme::kGold, 0x000000, 1, 5));
}

void PaintNameEntry(Picture& p, const Asset& a) {
    static const char* const kFields[2] = {"FAMILY NAME", "GIVEN NAME"};
    Canvas& c = p.colour;
    PaintScene(c, Place::Room, TimeOfDay::Morning, 5);
    c.Recolour(0, 0, 640, 480, [](Rgb v) { return Mix(v, 0x1B2236, 11, 20); });
    Heading(c, 24, 14, "YOUR NAME", 3);
    for (int f = 0; f < 2; ++f) {
        const Rect& r = kNameFields[static_cast<std::size_t>(f)];
        Panel(c, r, 10);
        c.ShadowText(r.left + 16, r.top + 14, kFields[f], 2, theme::kGold, theme::kShadow);
        const int y = f == 0 ? 144 : 286;
        c.RoundRect(204, y - 4, 412, y + 36, 6, theme::kInk);
        c.FillRect(212, y + 33, 404, y + 34, 0x5A6480);
    }
    c.ShadowText(150, 360, "Type with the input method; Tab moves between fields.", 1, theme::kCream,
                 theme::kShadow);
    c.ShadowText(150, 374, "Names are full-width, six characters at most.", 1, theme::kCream, theme::kShadow);
    Plate(c, {398, 424, 624, 478});
    Button(c, kNameButtons[0], "RESET", State::Normal);
    Button(c, kNameButtons[1], "OK", State::Normal);
    c.NameTag(a.name, 636, 4);
}

void PaintNameButtons(Picture& p, const Asset&) {
    ButtonSheet(p.colour, theme::kPlate,
                {{{0, 0, 96, 40}, "RESET", State::Hover},
                 {{96, 0, 192, 40}, "OK", State::Hover},
                 {{192, 0, 288, 40}, "RESET", State::Pressed},
                 {{288, 0, 384, 40}, "OK", State::Pressed}});
}

void PaintCaret(Picture& p, const Asset&) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    c.FillRect(0, 0, 4, 32, theme::kGold);
    c.FillRect(1, 1, 3, 31, 0xFFF0C0);
}
} // namespace demo
