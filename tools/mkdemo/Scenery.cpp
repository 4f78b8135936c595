#include "tools/mkdemo/Scenery.h"

#include "tools/mkdemo/Outfits.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace demo {
namespace {
struct Sky {
    Rgb top, horizon, light, ground, far, near, glow;
};
Sky SkyOf(TimeOfDay t) {
    switch (t) {
    case TimeOfDay::Morning:
        return {0x86BDEB, 0xFBE4CC, 0xFFF4D6, 0x7FB069, 0xA7C7D9, 0x5E9A56, 0xFFE9B0};
    case TimeOfDay::Noon:
        return {0x3E8BDB, 0xC4E6F8, 0xFFFFF0, 0x6FAE4F, 0x93B8D8, 0x4E8E3E, 0xFFFFFF};
    case TimeOfDay::Evening:
        return {0x3D3571, 0xF7A15E, 0xFFD27A, 0x6A5A5A, 0x8A6C8C, 0x4D3E4F, 0xFFC070};
    case TimeOfDay::Night:
    default:
        return {0x0B1230, 0x2E3E72, 0xF3F0D8, 0x1E2A3A, 0x2A3556, 0x151E2C, 0xFFE39A};
    }
}

std::vector<int> RidgeLine(int width, int base, int amplitude, Random& r) {
    const double p1 = r.Range(0, 628) / 100.0, p2 = r.Range(0, 628) / 100.0;
    const double f1 = 1.5 + r.Range(0, 100) / 100.0, f2 = 4.0 + r.Range(0, 300) / 100.0;
    std::vector<int> top(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double u = static_cast<double>(x) / width * 6.2831853;
        top[static_cast<std::size_t>(x)] =
            base - static_cast<int>(amplitude *
                                    (0.65 * std::sin(u * f1 / 2 + p1) + 0.35 * std::sin(u * f2 / 2 + p2)));
    }
    return top;
}

void Clouds(Canvas& c, Rgb colour, Random& r, int count, int maxY) {
    for (int i = 0; i < count; ++i) {
        const int cx = r.Range(-40, c.Width() + 40), cy = r.Range(30, maxY), w = r.Range(50, 110);
        c.Ellipse(cx, cy + 8, w, 16, Shade(colour, 92));
        c.Ellipse(cx - w / 3, cy, w / 2, 20, colour);
        c.Ellipse(cx + w / 4, cy - 6, w / 2, 24, colour);
    }
}

void SkyAndLight(Canvas& c, const Sky& s, TimeOfDay t, int horizon, Random& r) {
    c.VerticalGradient(0, 0, c.Width(), horizon, s.top, s.horizon, 48);
    if (t == TimeOfDay::Night) {
        for (int i = 0; i < 90; ++i)
            c.Set(r.Range(0, c.Width()), r.Range(0, horizon - 40), i % 7 == 0 ? 0xFFFFFF : 0xBFC8E8);
        const int mx = c.Width() * 13 / 16, my = std::min(80, horizon / 3);
        c.Disc(mx, my, 38, Mix(Mix(s.top, s.horizon, my, horizon), s.light, 1, 8));
        c.Disc(mx, my, 30, s.light);
        c.Disc(mx - 14, my - 10, 27,
               Mix(Mix(s.top, s.horizon, my - 10, horizon), s.light, 1, 8)); // a crescent
        return;
    }
    const int sx = c.Width() * (t == TimeOfDay::Evening ? 23 : (t == TimeOfDay::Morning ? 6 : 25)) / 32;
    const int sy = t == TimeOfDay::Evening ? horizon - 30 : 70;
    c.Disc(sx, sy, 56, Mix(s.horizon, s.light, 1, 3));
    c.Disc(sx, sy, 40, Mix(s.horizon, s.light, 2, 3));
    c.Disc(sx, sy, 28, s.light);
    Clouds(c, t == TimeOfDay::Evening ? 0xF6B58A : 0xFFFFFF, r, 5, horizon - 120);
}

void House(Canvas& c, int x, int base, int w, int h, Rgb wall, Rgb roof, bool lit) {
    c.FillRect(x, base - h, x + w, base, wall);
    c.Polygon({{x - 6, base - h}, {x + w / 2, base - h - w / 3}, {x + w + 6, base - h}}, roof);
    const Rgb window = lit ? 0xFFD98A : Mix(wall, 0x2A3550, 1, 2);
    for (int wx = x + 8; wx + 10 < x + w - 4; wx += 18)
        c.FillRect(wx, base - h + 10, wx + 10, base - h + 22, window);
    c.FillRect(x + w / 2 - 6, base - 22, x + w / 2 + 6, base, Shade(wall, 60));
}

void Tree(Canvas& c, int x, int base, int size, Rgb leaves) {
    c.FillRect(x - size / 10, base - size, x + size / 10, base, 0x6B4A32);
    c.Disc(x, base - size - size / 4, size / 2, Shade(leaves, 80));
    c.Disc(x - size / 3, base - size, size / 3, leaves);
    c.Disc(x + size / 3, base - size - size / 8, size / 3, leaves);
    c.Disc(x, base - size - size / 2, size / 3, Shade(leaves, 112));
}

// A sunflower on its stalk, its head `size` across; `dusk` takes the colours towards the hour's.
void Sunflower(Canvas& c, int x, int base, int height, int size, Rgb dusk, int dusky) {
    constexpr double kPi = 3.14159265358979;
    const int top = base - height;
    c.Line(x, base, x, top, std::max(size / 8, 2), Mix(0x3E7A34, dusk, dusky, 4));
    c.Ellipse(x - size / 3, top + height / 2, size / 3, size / 7, Mix(0x4E8E3E, dusk, dusky, 4));
    c.Ellipse(x + size / 3, top + height * 2 / 3, size / 3, size / 7, Mix(0x4E8E3E, dusk, dusky, 4));
    for (int k = 0; k < 10; ++k)
        c.Disc(x + static_cast<int>(size * 0.42 * std::cos(2 * kPi * k / 10)),
               top + static_cast<int>(size * 0.42 * std::sin(2 * kPi * k / 10)), std::max(size / 6, 2),
               Mix(0xF6C531, dusk, dusky, 4));
    c.Disc(x, top, std::max(size * 3 / 10, 2), Mix(0x6B4A2A, dusk, dusky, 4));
}

// Someone in the background, a classmate or a shopper: a small figure with no more face than two dots,
// facing the viewer or walking away, feet at (x, feet), `height` pixels from the top of the hair down.
struct Passerby {
    int x, feet, height;
    Rgb hair, top, bottom;
    enum Hair { Short, Long, Ponytail } hairStyle;
    enum Wear { Trousers, Skirt, Robe } wear; // Robe: a yukata to the ankles, an obi at the waist
    bool away;
    Rgb bag; // carried in the hand on the viewer's right; 0: none
};

void PaintPasserby(Canvas& c, const Passerby& p, Rgb tint = 0, int tinted = 0) {
    const auto shade = [&](Rgb v) { return Mix(v, tint, tinted, 8); };
    const int top = p.feet - p.height;
    const auto X = [&](int u) { return p.x + u * p.height / 100; };
    const auto Y = [&](int u) { return top + u * p.height / 100; };
    const auto R = [&](int u) { return std::max(u * p.height / 100, 1); };
    const Rgb skin = shade(kSkin), hair = shade(p.hair), cloth = shade(p.top), below = shade(p.bottom);
    // Legs and shoes, then what covers them.
    for (int side = -1; side <= 1; side += 2) {
        c.FillRect(X(side * 5) - R(3), Y(54), X(side * 5) + R(3) + 1, Y(95),
                   p.wear == Passerby::Trousers ? below : skin);
        c.FillRect(X(side * 5) - R(4), Y(95), X(side * 5) + R(4) + 1, Y(100), shade(0x3A3440));
    }
    if (p.wear == Passerby::Skirt)
        c.Polygon({{X(-11), Y(48)}, {X(11), Y(48)}, {X(16), Y(70)}, {X(-16), Y(70)}}, below);
    if (p.wear == Passerby::Robe)
        c.Polygon({{X(-12), Y(40)}, {X(12), Y(40)}, {X(12), Y(95)}, {X(-12), Y(95)}}, cloth);
    if (p.hairStyle == Passerby::Long) c.FillRect(X(-10), Y(8), X(10) + 1, Y(32), hair);
    c.FillRect(X(-3), Y(16), X(3) + 1, Y(23), skin);
    c.Polygon({{X(-12), Y(21)}, {X(12), Y(21)}, {X(11), Y(54)}, {X(-11), Y(54)}}, cloth);
    if (p.wear == Passerby::Robe) c.FillRect(X(-12), Y(40), X(12) + 1, Y(46), below);
    for (int side = -1; side <= 1; side += 2) {
        c.Polygon(
            {{X(side * 11), Y(22)}, {X(side * 15), Y(24)}, {X(side * 17), Y(50)}, {X(side * 13), Y(50)}},
            Shade(cloth, 92));
        c.Disc(X(side * 15), Y(52), R(3), skin);
    }
    if (p.bag != 0) {
        const int side = p.away ? -1 : 1;
        c.FillRect(X(side * 15) - R(5), Y(52), X(side * 15) + R(5) + 1, Y(66), shade(p.bag));
        c.Line(X(side * 15) + R(2), Y(54), X(side * 15) + R(6), Y(40), R(2), shade(0x6FAE4F)); // a leek
    }
    // The head: from behind all hair; from the front a face under the fringe.
    if (p.away) {
        c.Ellipse(X(0), Y(10), R(10), R(10), hair);
        if (p.hairStyle == Passerby::Long) c.FillRect(X(-10), Y(10), X(10) + 1, Y(32), hair);
    } else {
        c.Ellipse(X(0), Y(11), R(9), R(9), skin);
        c.Ellipse(X(0), Y(7), R(10), R(6), hair);
        c.FillRect(X(-10), Y(7), X(-7), Y(14), hair);
        c.FillRect(X(7) + 1, Y(7), X(10) + 1, Y(14), hair);
        for (int side = -1; side <= 1; side += 2)
            c.Disc(X(side * 4), Y(13), std::max(R(3) / 2, 1), shade(0x3A2A2A));
        c.FillRect(X(-1), Y(17), X(2), Y(17) + std::max(R(1), 1), shade(0xB0505A));
    }
    if (p.hairStyle == Passerby::Ponytail) c.Ellipse(X(p.away ? 0 : 10), Y(16), R(3), R(8), hair);
}

void HillTown(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    SkyAndLight(c, s, t, 300, r);
    c.Ridge(0, c.Width(), c.Height(), RidgeLine(c.Width(), 250, 30, r), s.far);
    const bool lit = t == TimeOfDay::Evening || t == TimeOfDay::Night;
    for (int x = -10; x < c.Width(); x += r.Range(56, 80))
        House(c, x, 300 + r.Range(0, 12), r.Range(40, 60), r.Range(30, 50), Mix(0xE8DCCB, s.far, 1, 3),
              Mix(0xB2574B, s.far, 1, 4), lit && r.Range(0, 3) != 0);
    c.Ridge(0, c.Width(), c.Height(), RidgeLine(c.Width(), 340, 18, r), s.ground);
    c.Ridge(0, c.Width(), c.Height(), RidgeLine(c.Width(), 420, 26, r), s.near);
    // A road climbing the hill between summer trees, sunflowers in full bloom along it.
    c.Polygon({{250, 480}, {390, 480}, {330, 330}, {312, 330}}, Mix(0xD8C8A8, s.ground, 1, 3));
    const int dusky = lit ? 2 : 0;
    for (int i = 0; i < 4; ++i) {
        Tree(c, 150 - i * 40, 440 - i * 36, 100 - i * 20, Mix(0x4E8E3E, s.near, 1, 2));
        Tree(c, 490 + i * 40, 440 - i * 36, 100 - i * 20, Mix(0x4E8E3E, s.near, 1, 2));
    }
    for (int i = 5; i >= 0; --i) {
        const int size = 14 + i * 6, base = 350 + i * 24, height = 36 + i * 34;
        Sunflower(c, 300 - i * 14 - size, base, height, size, s.near, dusky);
        Sunflower(c, 340 + i * 14 + size, base, height, size, s.near, dusky);
    }
}

void Park(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    SkyAndLight(c, s, t, 280, r);
    c.Ridge(0, c.Width(), c.Height(), RidgeLine(c.Width(), 260, 20, r), s.far);
    c.FillRect(0, 300, c.Width(), c.Height(), s.ground);
    c.Ridge(0, c.Width(), c.Height(), RidgeLine(c.Width(), 300, 8, r), s.ground);
    c.Polygon({{0, 420}, {640, 360}, {640, 400}, {0, 480}}, Mix(0xD8C8A8, s.ground, 1, 3));
    for (int i = 0; i < 7; ++i)
        Tree(c, 40 + i * 95 + r.Range(-10, 10), 330 + (i % 2) * 10, 90 + r.Range(0, 30),
             Mix(0x5E9A56, s.near, 1, 2));
    // A bench and a lamp.
    c.FillRect(380, 380, 520, 392, 0x8A5A3A);
    c.FillRect(380, 360, 520, 368, 0x8A5A3A);
    c.FillRect(390, 392, 398, 420, 0x3A3A44);
    c.FillRect(502, 392, 510, 420, 0x3A3A44);
    c.FillRect(580, 250, 586, 430, 0x3A3A44);
    c.Disc(583, 248, 12, t == TimeOfDay::Evening || t == TimeOfDay::Night ? s.glow : 0xE8E8E8);
}

void Street(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    SkyAndLight(c, s, t, 260, r);
    const bool lit = t == TimeOfDay::Evening || t == TimeOfDay::Night;
    // Shops on both sides in perspective, the road between them.
    c.Polygon({{0, 480}, {640, 480}, {360, 260}, {280, 260}}, Mix(0x6E6A72, s.ground, 1, 4));
    c.Polygon({{312, 480}, {328, 480}, {322, 260}, {318, 260}}, 0xE8E0C8);
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 5; ++i) {
            const int top = 120 + i * 26, bottom = 480 - i * 44;
            const Rgb wall = Mix(i % 2 ? 0xC98F6B : 0xA9B8C9, s.far, i, 8);
            std::vector<Point> face;
            if (side == 0)
                face = {{i * 56, top - 20}, {i * 56 + 56, top}, {i * 56 + 56, bottom - 10}, {i * 56, bottom}};
            else
                face = {{640 - i * 56, top - 20},
                        {640 - i * 56 - 56, top},
                        {640 - i * 56 - 56, bottom - 10},
                        {640 - i * 56, bottom}};
            c.Polygon(face, wall);
            const int wx = side == 0 ? i * 56 + 14 : 640 - i * 56 - 42;
            c.FillRect(wx, top + 20, wx + 28, top + 44, lit ? 0xFFD98A : 0x5A6E8A);
            c.FillRect(wx - 4, bottom - 60, wx + 32, bottom - 54, i % 2 ? 0xD8434F : 0x3E8A7A);
        }
    for (int i = 0; i < 3; ++i) {
        const int x = 150 + i * 40, top = 250 + i * 20;
        c.FillRect(x, top, x + 4, 480 - i * 60, 0x2A2A34);
        if (lit) c.Disc(x + 2, top, 10 - i * 2, s.glow);
    }
    // People up and down the street, farthest first, each as tall as where it stands is near (the
    // street's horizon at 260), clear of the lamp posts: shoppers with their bags by day and in the
    // evening, at night people in yukata on their way to the festival.
    using P = Passerby;
    static const Passerby kShoppers[] = {
        {318, 292, 37, 0x3A2A22, 0x8A9AB8, 0x3A3A48, P::Short, P::Trousers, true, 0},
        {374, 302, 48, 0x2A2420, 0xE8C8A0, 0x6A5A8A, P::Long, P::Skirt, true, 0xF4F4F0},
        {262, 318, 66, 0x5A3A2A, 0xD88A7A, 0x4A4A5A, P::Short, P::Skirt, false, 0xF4F4F0},
        {438, 342, 94, 0x9A9AA0, 0x7A8A6A, 0x4A4A52, P::Short, P::Trousers, false, 0},
        {112, 388, 148, 0x2A2420, 0xF2F2EC, 0x3E5A8A, P::Ponytail, P::Skirt, false, 0xF6E6C8},
        {536, 404, 166, 0x3A2A22, 0xB8D0E8, 0x2E3444, P::Short, P::Trousers, true, 0xF4F4F0},
        {582, 414, 96, 0x3A2A22, 0xF6C8D8, 0x3E5A8A, P::Ponytail, P::Skirt, true, 0},
    };
    static const Passerby kFestivalGoers[] = {
        {318, 292, 37, 0x2A2420, 0x3E5A8A, 0xE8A33A, P::Long, P::Robe, true, 0},
        {374, 302, 48, 0x2A2420, 0xF4B8C8, 0xD8434F, P::Ponytail, P::Robe, true, 0},
        {262, 318, 66, 0x3A2A22, 0x4A6A5A, 0x2A2A34, P::Short, P::Robe, false, 0},
        {112, 388, 148, 0x2A2420, 0xE8E0F4, 0x9A6ACD, P::Long, P::Robe, false, 0},
        {536, 404, 166, 0x3A2A22, 0x2A3658, 0xE2B86A, P::Short, P::Robe, true, 0},
        {582, 414, 96, 0x5A3A2A, 0xF49AC1, 0xF2C14E, P::Ponytail, P::Robe, true, 0},
    };
    const bool night = t == TimeOfDay::Night;
    for (const Passerby& p :
         night ? std::span<const Passerby>(kFestivalGoers) : std::span<const Passerby>(kShoppers))
        PaintPasserby(c, p, night ? 0x1A2244 : s.far, (night ? 3 : 1) + (p.feet < 330 ? 2 : 0));
    if (!night) return;
    // At night the festival hangs rows of paper lanterns across the street.
    for (int row = 1; row <= 3; ++row) {
        const int y = 120 + row * 26, left = row * 56 + 56, right = 640 - left;
        c.Line(left, y, right, y, 2, 0x2A2A34);
        const int size = 16 - row * 3;
        for (int x = left + size * 2; x < right - size; x += size * 3) {
            c.Ellipse(x, y + size + 2, size, size + size / 3, 0xD8434F);
            c.FillRect(x - size + 2, y + size, x + size - 2, y + size + 4, 0xFFD98A);
        }
    }
}

void Room(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    const bool night = t == TimeOfDay::Night;
    // At night the room takes the blue of the hour; the window and the lamp keep their own light.
    auto tint = [night](Rgb v) { return night ? Mix(v, 0x1A2244, 9, 20) : v; };
    c.VerticalGradient(0, 0, c.Width(), 360, tint(0xF1E3CF), tint(0xE2CDB2), 16);
    c.FillRect(0, 360, c.Width(), c.Height(), tint(0xB98D62));
    for (int x = 0; x < c.Width(); x += 64)
        c.FillRect(x, 360, x + 2, c.Height(), tint(0xA07650));
    // The window with the sky of the hour.
    Canvas sky(200, 150, s.top);
    Random rs(r.Next());
    SkyAndLight(sky, s, t, 150, rs);
    c.FillRect(396, 66, 612, 232, tint(0xFFFFFF));
    c.Blit(sky, 0, 0, 200, 150, 404, 74);
    c.FillRect(501, 74, 507, 224, tint(0xFFFFFF));
    c.FillRect(380, 60, 400, 250, tint(0x9DB5D8)); // curtains
    c.FillRect(608, 60, 628, 250, tint(0x9DB5D8));
    // Bed, desk with a lamp, and a shelf of books.
    c.FillRect(40, 300, 300, 400, tint(0xF6F2EA));
    c.FillRect(40, 290, 120, 320, tint(0xFFFFFF));
    c.FillRect(40, 330, 300, 400, tint(0x8FA9D0));
    c.FillRect(40, 400, 300, 420, tint(0x8A5A3A));
    c.FillRect(420, 300, 620, 316, tint(0x8A5A3A));
    c.FillRect(430, 316, 440, 420, tint(0x7A4A2A));
    c.FillRect(600, 316, 610, 420, tint(0x7A4A2A));
    if (night) c.Polygon({{536, 250}, {562, 244}, {604, 300}, {492, 300}}, 0x8A8070);
    c.FillRect(556, 290, 580, 300, 0x3A3A44);
    c.Line(568, 292, 552, 248, 4, 0x3A3A44);
    c.Polygon({{528, 254}, {568, 244}, {560, 226}, {538, 230}}, night ? 0xFFD98A : 0xE2B86A);
    c.FillRect(60, 120, 260, 128, tint(0x8A5A3A));
    static const Rgb kBooks[4] = {0xD8434F, 0x3E6FB6, 0xE2B86A, 0x5E9A56};
    for (int i = 0; i < 12; ++i)
        c.FillRect(66 + i * 16, 80 + (i % 3) * 6, 78 + i * 16, 120, tint(kBooks[i % 4]));
}

// Aoi's room: pink wallpaper, her wardrobe open on its clothes, a dresser with a round mirror, her bed
// under the window and, by the window, the Tanabata bamboo hung with paper wishes.
void AoiRoom(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    const bool night = t == TimeOfDay::Night;
    auto tint = [night](Rgb v) { return night ? Mix(v, 0x1A2244, 9, 20) : v; };
    c.VerticalGradient(0, 0, c.Width(), 364, tint(0xFBEFF2), tint(0xF1DCE3), 16);
    for (int y = 24, row = 0; y < 356; y += 32, ++row)
        for (int x = 8 + row % 2 * 16; x < c.Width(); x += 32)
            c.Disc(x, y, 3, tint(0xF4CFDA));
    c.FillRect(0, 362, c.Width(), 372, tint(0xFFFFFF));
    c.FillRect(0, 372, c.Width(), c.Height(), tint(0xDDB88E));
    for (int y = 394; y < c.Height(); y += 26)
        c.FillRect(0, y, c.Width(), y + 2, tint(0xC9A27A));
    c.Ellipse(300, 436, 210, 34, tint(0xA9D8C8));
    c.Ellipse(300, 436, 194, 26, tint(0xD6EFE6));

    // The window with the sky of the hour, lace curtains at its sides.
    Canvas sky(170, 160, s.top);
    Random rs(r.Next());
    SkyAndLight(sky, s, t, 160, rs);
    c.FillRect(446, 62, 630, 238, tint(0xFFFFFF));
    c.Blit(sky, 0, 0, 170, 160, 453, 69);
    c.FillRect(535, 69, 541, 229, tint(0xFFFFFF));
    for (int side = 0; side < 2; ++side) {
        const int x0 = side ? 616 : 432, x1 = side ? 640 : 458, edge = side ? 616 : 458;
        c.FillRect(x0, 54, x1, 252, tint(0xFFF9FB));
        for (int y = 60; y < 252; y += 12)
            c.Disc(edge, y, 5, tint(0xFFF9FB));
    }
    c.FillRect(426, 48, 640, 56, tint(0xC99A6B)); // the curtain rail

    // Her bed under the window, a bear on the pillow.
    c.FillRect(456, 274, 640, 300, tint(0xC99A6B)); // the headboard
    c.FillRect(456, 300, 640, 326, tint(0xFFF6F8));
    c.FillRect(456, 322, 640, 392, tint(0xF4A9C0));
    for (int x = 470; x < 640; x += 28)
        c.Disc(x, 356, 5, tint(0xFBD3E0));
    c.FillRect(456, 392, 640, 408, tint(0xB08058));
    c.RoundRect(570, 290, 640, 316, 8, tint(0xFFFFFF));
    c.Disc(520, 306, 16, tint(0xB07A4A));
    c.Disc(520, 282, 12, tint(0xB07A4A));
    c.Disc(510, 272, 5, tint(0xB07A4A));
    c.Disc(530, 272, 5, tint(0xB07A4A));
    c.Disc(520, 286, 5, tint(0xE2B88A));

    // The wardrobe, both doors open on her clothes.
    constexpr Rgb wood = 0xD9B48A;
    c.FillRect(24, 118, 200, 382, tint(wood));
    c.FillRect(18, 110, 206, 122, tint(Shade(wood, 88)));
    c.FillRect(38, 136, 186, 324, tint(0x7A5A44));
    c.FillRect(38, 150, 186, 154, tint(0xD8D8E0)); // the rail
    static const Rgb kClothes[5] = {0x2B3A6E, 0xF49AC1, 0x9CCFC0, 0xB8323C, 0xFAFBFD};
    for (int i = 0; i < 5; ++i) {
        const int x = 54 + i * 29, bottom = 262 + (i % 2) * 40;
        c.Line(x, 152, x - 10, 166, 2, tint(0xD8D8E0));
        c.Line(x, 152, x + 10, 166, 2, tint(0xD8D8E0));
        c.Polygon({{x - 12, 164}, {x + 12, 164}, {x + 15, bottom}, {x - 15, bottom}}, tint(kClothes[i]));
    }
    for (int y = 176; y < 258; y += 18) // the flowers of the yukata
        c.Disc(54 + (y % 36 ? 4 : -4), y, 3, tint(0xF4F6FA));
    c.FillRect(38, 330, 186, 374, tint(Shade(wood, 94)));
    c.FillRect(38, 351, 186, 353, tint(Shade(wood, 80)));
    c.Disc(112, 341, 3, tint(0x8A6A3A));
    c.Disc(112, 363, 3, tint(0x8A6A3A));
    for (int side = 0; side < 2; ++side) {
        const int x = side ? 200 : 4;
        c.Polygon({{x, 124}, {x + 20, 118}, {x + 20, 382}, {x, 376}}, tint(Shade(wood, 90)));
        c.Disc(side ? x + 6 : x + 14, 250, 3, tint(0x8A6A3A));
    }

    // The dresser with its round mirror, a flower pot on it.
    c.Ellipse(316, 202, 46, 60, tint(0xE8D2A6));
    c.Ellipse(316, 202, 38, 52, tint(0xCFE4F0));
    c.Line(296, 176, 318, 150, 4, tint(0xF4FAFF));
    c.FillRect(246, 270, 386, 280, tint(0xE8D2A6));
    c.FillRect(252, 280, 380, 366, tint(0xF6EAD6));
    c.FillRect(252, 322, 380, 324, tint(0xD8C4A2));
    c.Disc(316, 302, 4, tint(0xC9A36A));
    c.Disc(316, 344, 4, tint(0xC9A36A));
    c.FillRect(358, 254, 374, 270, tint(0xD8734F));
    c.Disc(362, 246, 6, tint(0x5E9A56));
    c.Disc(370, 242, 6, tint(0xF6C531));

    // The bamboo of Tanabata in a tall vase, its leaves hung with paper wishes of every colour.
    c.FillRect(398, 322, 426, 372, tint(0x3E6FB6));
    c.FillRect(396, 318, 428, 326, tint(0x2E5A96));
    c.Line(412, 322, 406, 44, 5, tint(0x5E9A56));
    for (int y = 300; y > 60; y -= 38)
        c.Line(402, y, 414, y, 2, tint(0x3E7A34));
    static const Rgb kWishes[5] = {0xD8434F, 0xF2C14E, 0x3E6FB6, 0xE0607E, 0x9A6ACD};
    Random leaves(r.Next());
    for (int i = 0; i < 5; ++i) // the leaves at the top
        c.Ellipse(406 + (i - 2) * 7, 44 + std::abs(i - 2) * 5, 4, 11, tint(i % 2 ? 0x4E8E3E : 0x6FAE4F));
    for (int k = 0; k < 6; ++k) {
        const int y = 80 + k * 40, side = k % 2 ? 1 : -1, length = 40 - k * 2;
        const int x0 = 408 - k / 2, x1 = x0 + side * length;
        c.Line(x0, y + 10, x1, y - 6, 2, tint(0x4E8E3E));
        for (int i = 0; i < 4; ++i) {
            const int lx = x0 + side * (8 + i * 10), ly = y + 6 - i * 4 + leaves.Range(-2, 3);
            c.Ellipse(lx, ly - 5, 11, 4, tint(i % 2 ? 0x4E8E3E : 0x6FAE4F));
            c.Ellipse(lx + side * 3, ly + 4, 10, 3, tint(i % 2 ? 0x6FAE4F : 0x4E8E3E));
        }
        const int wx = x0 + side * (length - 6);
        c.Line(wx, y - 4, wx, y + 6, 1, tint(0xE8E8E8));
        c.FillRect(wx - 4, y + 6, wx + 5, y + 30, tint(kWishes[k % 5]));
    }
}

void Seaside(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    SkyAndLight(c, s, t, 250, r);
    const Rgb sea = Mix(0x2F7FB8, s.top, 1, 3);
    c.VerticalGradient(0, 250, c.Width(), 360, Mix(sea, s.horizon, 1, 3), sea, 12);
    for (int y = 270; y < 350; y += 14)
        for (int x = (y * 7) % 50; x < c.Width(); x += 90)
            c.FillRect(x, y, x + 30, y + 2, Mix(sea, 0xFFFFFF, 1, 3));
    c.VerticalGradient(0, 360, c.Width(), c.Height(), 0xF1DDB0, 0xD9BE8A, 8);
    c.Polygon({{0, 360}, {640, 345}, {640, 372}, {0, 384}}, 0xFFFFFF);
}

// A clock on the wall, its hands at the hour and minute.
void Clock(Canvas& c, int x, int y, int hour, int minute) {
    constexpr double kPi = 3.14159265358979;
    c.Disc(x, y, 24, 0x5A5A64);
    c.Disc(x, y, 20, 0xFBF8F0);
    const double m = minute * 2 * kPi / 60, h = (hour % 12 + minute / 60.0) * 2 * kPi / 12;
    c.Line(x, y, x + static_cast<int>(10 * std::sin(h)), y - static_cast<int>(10 * std::cos(h)), 3, 0x2A2A34);
    c.Line(x, y, x + static_cast<int>(16 * std::sin(m)), y - static_cast<int>(16 * std::cos(m)), 2, 0x2A2A34);
}

// The lunch break: classmates at their desks along the back wall, talking over their lunch boxes,
// clear of the writing on the blackboard.
void Lunchtime(Canvas& c) {
    using P = Passerby;
    constexpr int kDeskTop = 318;
    struct Classmate {
        Passerby look;
        Rgb lunch; // the lunch box's lid; 0: none
    };
    static const Classmate kClassmates[] = {
        {{176, 422, 190, 0x2A2420, 0xF4F6FA, 0x2E3444, P::Short, P::Trousers, false, 0}, 0xD8434F},
        {{246, 422, 190, 0x5A3A2A, 0xE9D6B0, 0x3E5A8A, P::Long, P::Skirt, true, 0}, 0},
        {{400, 422, 190, 0x3A2A22, 0xF4F6FA, 0x3E5A8A, P::Ponytail, P::Skirt, false, 0}, 0x3E6FB6},
        {{532, 422, 190, 0x2A2420, 0xDCE4F0, 0x2E3444, P::Short, P::Trousers, false, 0}, 0x5E9A56},
        {{598, 422, 190, 0x9A5A33, 0xE9D6B0, 0x3E5A8A, P::Long, P::Skirt, true, 0}, 0},
    };
    for (const Classmate& m : kClassmates) {
        // Seated: what the desk hides is not drawn.
        Canvas figure(c.Width(), kDeskTop, kKey);
        PaintPasserby(figure, m.look);
        c.Blit(figure, 0, 0, c.Width(), kDeskTop, 0, 0, true);
        const int x = m.look.x;
        c.FillRect(x - 28, kDeskTop - 2, x + 29, kDeskTop + 6, 0xC99A66);
        c.FillRect(x - 24, kDeskTop + 6, x - 20, 342, 0x5A5A64);
        c.FillRect(x + 21, kDeskTop + 6, x + 25, 342, 0x5A5A64);
        if (m.lunch != 0) {
            c.FillRect(x - 10, kDeskTop - 12, x + 11, kDeskTop - 2, m.lunch);
            c.FillRect(x - 10, kDeskTop - 8, x + 11, kDeskTop - 6, 0xF4F4F0);
        }
    }
    // And one up from her seat, come over to talk.
    PaintPasserby(c, {466, 344, 190, 0x5A3A2A, 0xF4F6FA, 0x3E5A8A, P::Short, P::Skirt, false, 0});
}

void Classroom(Canvas& c, const Sky& s, TimeOfDay t, Random& r) {
    c.VerticalGradient(0, 0, c.Width(), 330, 0xF4EEDF, 0xE6DCC6, 12);
    c.FillRect(0, 330, c.Width(), c.Height(), 0xA8855F);
    // The blackboard low on the left, its writing clear of the calendar in the corner above it and of
    // the two choice boxes over the middle of the screen.
    c.FillRect(20, 122, 330, 298, 0x2F5A46);
    c.Frame(16, 118, 334, 302, 4, 0x8A5A3A);
    c.FillRect(16, 302, 334, 308, 0x8A5A3A);
    c.Text(36, 128, "HOMEROOM", 3, 0xF0F0E8);
    c.Text(36, 270, "7/6 MON", 2, 0xF0F0E8);
    c.FillRect(250, 300, 266, 304, 0xF0F0E8); // chalk on the tray
    Clock(c, 500, 28, t == TimeOfDay::Evening ? 4 : 12, t == TimeOfDay::Evening ? 30 : 10);
    std::vector<Canvas> skies;
    for (int i = 0; i < 2; ++i) {
        skies.emplace_back(150, 180, s.top);
        Random rs(r.Next());
        SkyAndLight(skies.back(), s, t, 180, rs);
        c.FillRect(456 + i * 90, 56, 546 + i * 90 + 4, 244, 0xFFFFFF);
    }
    for (int i = 0; i < 4; ++i) {
        c.FillRect(40 + i * 150, 360, 160 + i * 150, 376, 0xC99A66);
        c.FillRect(50 + i * 150, 376, 58 + i * 150, 470, 0x5A5A64);
        c.FillRect(142 + i * 150, 376, 150 + i * 150, 470, 0x5A5A64);
    }
    // After school the setting sun through the windows colours the room.
    if (t == TimeOfDay::Evening)
        c.Recolour(0, 0, c.Width(), c.Height(), [](Rgb v) { return Mix(v, 0xE07A3A, 1, 4); });
    for (int i = 0; i < 2; ++i)
        c.Blit(skies[static_cast<std::size_t>(i)], 0, 0, 82, 180, 460 + i * 90, 60);
    if (t == TimeOfDay::Noon) Lunchtime(c);
}

// Eyes, brows and mouth of a face centred at (cx, cy) with unit u (per mille of the full figure).
void Face(Canvas& c, const Heroine& h, Expression e, int cx, int cy, int u) {
    auto U = [u](int v) { return v * u / 100; };
    const Rgb ink = 0x3A2A2A;
    for (int side = -1; side <= 1; side += 2) {
        const int ex = cx + side * U(25), ey = cy + U(6);
        if ((e == Expression::Wink && side == 1) || e == Expression::Calm) {
            c.Line(ex - U(10), ey + U(2), ex + U(10), ey + U(2), std::max(U(3), 1), ink);
        } else if (e == Expression::Grin) {
            // Shut in a laugh: an arch over each eye.
            c.Line(ex - U(11), ey + U(5), ex, ey - U(5), std::max(U(3), 1), ink);
            c.Line(ex, ey - U(5), ex + U(11), ey + U(5), std::max(U(3), 1), ink);
        } else {
            const int ry = e == Expression::Surprised ? U(17) : U(14);
            c.Ellipse(ex, ey, U(11), ry, ink);
            c.Ellipse(ex, ey + U(2), U(9), ry - U(3), h.eyes);
            c.Ellipse(ex, ey + U(5), U(5), ry - U(8) > 0 ? ry - U(8) : 1, Shade(h.eyes, 60));
            c.Disc(ex - U(4), ey - U(5), std::max(U(3), 1), 0xFFFFFF);
            if (e == Expression::Pout) {
                // The lids half down over the eyes, their edge a heavy line.
                c.FillRect(ex - U(12), ey - ry - U(1), ex + U(12) + 1, ey - U(1), kSkin);
                c.Line(ex - U(11), ey - U(1), ex + U(11), ey - U(1), std::max(U(3), 1), ink);
            }
        }
        const bool worried = e == Expression::Sad || e == Expression::Pout;
        const int by = cy - U(16) + (worried ? U(2) : 0) - (e == Expression::Grin ? U(3) : 0);
        const int tilt = worried ? side * U(4) : (e == Expression::Surprised ? -U(3) : 0);
        c.Line(ex - U(10), by - tilt, ex + U(10), by + tilt, std::max(U(2), 1), Shade(h.hair, 80));
    }
    const int my = cy + U(34);
    switch (e) {
    case Expression::Surprised:
        c.Ellipse(cx, my, U(6), U(8), 0xB0505A);
        break;
    case Expression::Sad:
        c.Line(cx - U(8), my + U(2), cx + U(8), my + U(2), std::max(U(2), 1), 0xB0505A);
        break;
    case Expression::Smile:
    case Expression::Wink:
        c.Ellipse(cx, my, U(10), U(6), 0xB0505A);
        c.FillRect(cx - U(11), my - U(7), cx + U(11), my, kSkin);
        break;
    case Expression::Grin:
        // Wide open, the tongue showing.
        c.Ellipse(cx, my - U(2), U(15), U(12), 0xB0505A);
        c.FillRect(cx - U(16), my - U(15), cx + U(16), my - U(3), kSkin);
        c.Ellipse(cx, my + U(5), U(8), U(4), 0xE88A94);
        break;
    case Expression::Pout:
        // The corners of the mouth down, the lips pushed out a little.
        c.Line(cx - U(9), my + U(4), cx, my - U(1), std::max(U(3), 1), 0xB0505A);
        c.Line(cx, my - U(1), cx + U(9), my + U(4), std::max(U(3), 1), 0xB0505A);
        break;
    default:
        c.Ellipse(cx, my, U(7), U(3), 0xB0505A);
        break;
    }
    if (e == Expression::Shy || e == Expression::Smile || e == Expression::Grin || e == Expression::Pout)
        for (int side = -1; side <= 1; side += 2)
            c.Ellipse(cx + side * U(36), cy + U(24), U(10), U(5), 0xF6B0B4);
}
} // namespace

void PaintFireworks(Canvas& c, std::uint32_t seed) {
    static const Rgb kColours[] = {0xFF8A5C, 0xFFE36A, 0x8AD8FF, 0xFF9AD5, 0xA6FF8A};
    constexpr double kPi = 3.14159265358979;
    Random r(seed);
    for (int b = 0; b < 5; ++b) {
        const int cx = 70 + b * 125 + r.Range(-20, 20), cy = 70 + r.Range(0, 100), radius = r.Range(40, 70);
        const Rgb colour = kColours[b];
        for (int k = 0; k < 24; ++k) {
            const double dx = std::cos(2 * kPi * k / 24), dy = std::sin(2 * kPi * k / 24);
            const int x = cx + static_cast<int>(radius * dx), y = cy + static_cast<int>(radius * dy);
            c.Line(cx + static_cast<int>(radius * dx / 3), cy + static_cast<int>(radius * dy / 3), x, y, 2,
                   Mix(colour, 0xFFFFFF, 1, 3));
            c.Disc(x, y, 3, colour);
        }
    }
}

void PaintScene(Canvas& c, Place place, TimeOfDay time, std::uint32_t seed) {
    Random r(seed);
    const Sky s = SkyOf(time);
    switch (place) {
    case Place::HillTown:
        HillTown(c, s, time, r);
        break;
    case Place::Park:
        Park(c, s, time, r);
        break;
    case Place::Street:
        Street(c, s, time, r);
        break;
    case Place::Room:
        Room(c, s, time, r);
        break;
    case Place::Seaside:
        Seaside(c, s, time, r);
        break;
    case Place::AoiRoom:
        AoiRoom(c, s, time, r);
        break;
    default:
        Classroom(c, s, time, r);
        break;
    }
}

const Heroine& HeroineAt(int index) {
    static const Heroine kHeroines[kHeroineCount] = {
        {"Kana", 0x9A5A33, 0x6E3E22, 0x3F8A5A, 0xE9D6B0, 0xC9B088, 0xFFFFFF, 0xF2C14E, 1},
        {"Hina", 0xE79BB4, 0xC27390, 0xD08A2E, 0xFBE3EC, 0xE7B9C9, 0xFFFFFF, 0xE0607E, 2},
        {"Aoi", 0x2C3550, 0x1A2036, 0x3B6FB6, 0xF4F6FA, 0xD2D8E4, 0x2A3B6A, 0xD8434F, 0},
        {"Moe", 0xB7AED8, 0x8C82B4, 0x7A4FB0, 0x4A5578, 0x363F5C, 0xFFFFFF, 0x6FC3C9, 3},
        {"Jo", 0x3A2A22, 0x24180F, 0x6A4A2A, 0x3E4A5E, 0x2A3444, 0xE8E8E8, 0x3A3A44, 2},
    };
    return kHeroines[std::clamp(index, 0, kHeroineCount - 1)];
}

namespace {
// The hair that falls behind the head and the shoulders.
void BackHair(Canvas& c, const Heroine& h, int cx, int top, int scale) {
    auto U = [scale](int v) { return v * scale / 100; };
    const int headY = top + U(96);
    if (h.hairStyle == 0)
        c.Polygon({{cx - U(74), headY - U(20)},
                   {cx + U(74), headY - U(20)},
                   {cx + U(92), top + U(300)},
                   {cx - U(92), top + U(300)}},
                  h.hairShade);
    if (h.hairStyle == 1)
        c.Polygon({{cx + U(40), headY - U(60)},
                   {cx + U(110), headY - U(40)},
                   {cx + U(96), top + U(260)},
                   {cx + U(60), headY}},
                  h.hairShade);
    if (h.hairStyle == 3)
        for (int side = -1; side <= 1; side += 2)
            c.Ellipse(cx + side * U(92), headY + U(60), U(28), U(90), h.hairShade);
}
} // namespace

void PaintFigureFromBehind(Canvas& c, Rgb hair, Rgb clothes, int hairStyle, int cx, int top, int scale) {
    auto U = [scale](int v) { return v * scale / 100; };
    const int headY = top + U(96), shoulder = top + U(176);
    c.FillRect(cx - U(16), headY + U(40), cx + U(16), shoulder + U(10), Shade(0xF0C8B2, 70));
    c.Polygon({{cx - U(70), shoulder},
               {cx + U(70), shoulder},
               {cx + U(112), top + U(440)},
               {cx - U(112), top + U(440)}},
              clothes);
    for (int side = -1; side <= 1; side += 2)
        c.Polygon({{cx + side * U(66), shoulder + U(6)},
                   {cx + side * U(92), shoulder + U(30)},
                   {cx + side * U(100), top + U(380)},
                   {cx + side * U(76), top + U(384)}},
                  Shade(clothes, 90));
    // The back of the head is all hair; long hair falls over the shoulders.
    c.Ellipse(cx, headY - U(6), U(70), U(76), hair);
    if (hairStyle == 0)
        c.Polygon({{cx - U(70), headY - U(10)},
                   {cx + U(70), headY - U(10)},
                   {cx + U(80), top + U(300)},
                   {cx - U(80), top + U(300)}},
                  hair);
    else
        c.Ellipse(cx, headY + U(40), U(56), U(30), hair);
}

void PaintFigure(Canvas& c, const Heroine& h, Expression e, int cx, int top, int scale, Pose pose) {
    auto U = [scale](int v) { return v * scale / 100; };
    const Rgb skin = kSkin, skinShade = 0xF0C8B2;
    const int headY = top + U(96);
    BackHair(c, h, cx, top, scale);
    c.Ellipse(cx, headY - U(6), U(76), U(80), h.hair);
    // The neck, then the clothes with the arms.
    const int shoulder = top + U(176);
    c.FillRect(cx - U(16), headY + U(50), cx + U(16), shoulder + U(10), skinShade);
    PaintOutfit(c, h, pose, {cx, top, scale});
    // The face and the hair in front of it.
    c.Ellipse(cx, headY, U(60), U(66), skin);
    Face(c, h, e, cx, headY, scale);
    c.Polygon({{cx - U(66), headY - U(10)},
               {cx - U(60), headY - U(66)},
               {cx, headY - U(86)},
               {cx + U(60), headY - U(66)},
               {cx + U(66), headY - U(10)},
               {cx + U(40), headY - U(34)},
               {cx + U(20), headY - U(24)},
               {cx, headY - U(40)},
               {cx - U(22), headY - U(24)},
               {cx - U(44), headY - U(36)}},
              h.hair);
    if (h.hairStyle == 2)
        for (int side = -1; side <= 1; side += 2)
            c.Polygon({{cx + side * U(60), headY - U(40)},
                       {cx + side * U(72), headY + U(50)},
                       {cx + side * U(50), headY + U(40)}},
                      h.hair);
    c.Disc(cx + U(46), headY - U(56), U(9), h.ribbon);
    PaintHeadwear(c, pose.outfit, {cx, top, scale});
}
} // namespace demo
