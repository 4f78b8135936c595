#include "tools/mkdemo/Outfits.h"

#include <algorithm>
#include <iterator>
#include <initializer_list>
#include <vector>

namespace demo {
namespace {
constexpr Rgb kWhite = 0xFFFFFF;
constexpr int kShoulder = 176, kHem = 440; // the figure's shoulder line and the bottom of the picture

// A point in figure units (440 from the top of the hair to the bottom), across from the centre line
// and down from the top of the hair.
struct Unit {
    int x, y;
};
Unit Lerp(Unit a, Unit b, int percent) {
    return {a.x + (b.x - a.x) * percent / 100, a.y + (b.y - a.y) * percent / 100};
}

// Draws in figure units on the figure's frame.
class Tailor {
  public:
    Tailor(Canvas& c, const FigureFrame& f) : m_C(c), m_F(f) {}
    int U(int v) const { return v * m_F.scale / 100; }
    Point At(Unit u) const { return {m_F.cx + U(u.x), m_F.top + U(u.y)}; }
    void Shape(std::initializer_list<Unit> units, Rgb colour) const {
        Shape(std::vector<Unit>(units), colour);
    }
    void Shape(const std::vector<Unit>& units, Rgb colour) const {
        std::vector<Point> points;
        for (Unit u : units)
            points.push_back(At(u));
        m_C.Polygon(points, colour);
    }
    // The shape and its mirror image across the centre line.
    void Pair(std::initializer_list<Unit> units, Rgb colour) const {
        std::vector<Unit> mirrored;
        for (Unit u : units)
            mirrored.push_back({-u.x, u.y});
        Shape(units, colour);
        Shape(mirrored, colour);
    }
    void Oval(Unit centre, int rx, int ry, Rgb colour) const {
        const Point p = At(centre);
        m_C.Ellipse(p.x, p.y, std::max(U(rx), 1), std::max(U(ry), 1), colour);
    }
    void Disc(Unit centre, int r, Rgb colour) const { Oval(centre, r, r, colour); }
    void Stroke(Unit a, Unit b, int thickness, Rgb colour) const {
        const Point p = At(a), q = At(b);
        m_C.Line(p.x, p.y, q.x, q.y, std::max(U(thickness), 1), colour);
    }

  private:
    Canvas& m_C;
    FigureFrame m_F;
};

// Half the width of the body at height y.
int HalfWidth(int y) {
    return 70 + (y - kShoulder) * 42 / (kHem - kShoulder);
}

void Torso(const Tailor& t, Rgb colour, Rgb shade, int widen = 0) {
    t.Shape({{-70 - widen, kShoulder}, {70 + widen, kShoulder}, {112 + widen, kHem}, {-112 - widen, kHem}},
            colour);
    t.Shape({{70 + widen, kShoulder}, {112 + widen, kHem}, {80 + widen, kHem}, {50 + widen, 196}}, shade);
}

void Skirt(const Tailor& t, int waist, Rgb colour, int flare, bool pleats) {
    const int w = HalfWidth(waist) + 2, hem = 112 + flare;
    t.Shape({{-w, waist}, {w, waist}, {hem, kHem}, {-hem, kHem}}, colour);
    if (pleats)
        for (int k = -3; k <= 3; ++k)
            t.Stroke({k * w / 4, waist + 6}, {k * hem / 4, kHem}, 2, Shade(colour, 75));
}

// A band across the body from y0 to y1.
void Band(const Tailor& t, int y0, int y1, Rgb colour, int widen = 0) {
    t.Shape({{-HalfWidth(y0) - widen, y0},
             {HalfWidth(y0) + widen, y0},
             {HalfWidth(y1) + widen, y1},
             {-HalfWidth(y1) - widen, y1}},
            colour);
}

void NeckOpening(const Tailor& t, int depth) {
    t.Shape({{-34, kShoulder}, {34, kShoulder}, {0, kShoulder + depth}}, kSkin);
}

void Bow(const Tailor& t, Unit at, int size, Rgb colour) {
    t.Shape({at, {at.x - size, at.y - size * 16 / 26}, {at.x - size * 22 / 26, at.y + size * 20 / 26}},
            colour);
    t.Shape({at, {at.x + size, at.y - size * 16 / 26}, {at.x + size * 22 / 26, at.y + size * 20 / 26}},
            colour);
    t.Disc(at, std::max(size * 7 / 26, 2), Shade(colour, 80));
}

// Flowers of five petals, scattered over the body between y0 and y1 (and over wide sleeves).
void Flowers(const Tailor& t, int y0, int y1, int spacing, Rgb petal, Rgb middle, bool sleeves) {
    for (int y = y0, row = 0; y < y1; y += spacing, ++row)
        for (int x = -140 + (row % 2) * spacing / 2; x <= 140; x += spacing) {
            const bool onBody = std::abs(x) < HalfWidth(y) - 10;
            const bool onSleeve =
                sleeves && std::abs(x) > 80 && std::abs(x) < 100 + (y - 190) / 10 && y < 360;
            if (!onBody && !onSleeve) continue;
            for (const Unit d : {Unit{0, -6}, Unit{6, -2}, Unit{4, 5}, Unit{-4, 5}, Unit{-6, -2}})
                t.Disc({x + d.x, y + d.y}, 4, petal);
            t.Disc({x, y}, 2, middle);
        }
}

enum class Sleeve { Bare, Short, Long, Wide };
struct Arms {
    Sleeve sleeve;
    Rgb colour;
    Rgb cuff; // 0: none
};

// A segment of an arm, from its start edge (a, b) to its end edge (c, d).
struct Segment {
    Unit a, b, c, d;
};
void Fill(const Tailor& t, const Segment& s, Rgb colour) {
    t.Shape({s.a, s.b, s.c, s.d}, colour);
}
// The last sixth of a sleeve, towards its end edge.
void Cuff(const Tailor& t, const Segment& s, Rgb colour) {
    t.Shape({Lerp(s.a, s.d, 84), Lerp(s.b, s.c, 84), s.c, s.d}, colour);
}

void PaintArm(const Tailor& t, const Arms& arms, int side, bool raised) {
    const int s = side;
    if (arms.sleeve == Sleeve::Wide && !raised) {
        t.Disc({s * 84, 392}, 13, kSkin);
        t.Shape({{s * 62, 182}, {s * 98, 198}, {s * 126, 376}, {s * 82, 388}}, arms.colour);
        t.Stroke({s * 84, 386}, {s * 124, 376}, 3, Shade(arms.colour, 70));
        return;
    }
    const Segment upper = raised ? Segment{{64, 184}, {92, 206}, {134, 282}, {112, 296}}
                                 : Segment{{s * 66, 182}, {s * 92, 206}, {s * 96, 272}, {s * 72, 276}};
    const Segment lower = raised ? Segment{{110, 292}, {134, 284}, {152, 128}, {128, 124}}
                                 : Segment{{s * 72, 276}, {s * 96, 272}, {s * 100, 380}, {s * 76, 384}};
    const Unit hand = raised ? Unit{140, 114} : Unit{s * 88, 390};
    const Rgb sleeve = Shade(arms.colour, 94);
    Fill(t, upper, arms.sleeve == Sleeve::Bare ? kSkin : sleeve);
    Fill(t, lower, arms.sleeve == Sleeve::Long || arms.sleeve == Sleeve::Wide ? sleeve : kSkin);
    if (arms.cuff != 0 && arms.sleeve == Sleeve::Short) Cuff(t, upper, arms.cuff);
    if (arms.cuff != 0 && arms.sleeve != Sleeve::Short && arms.sleeve != Sleeve::Bare)
        Cuff(t, lower, arms.cuff);
    t.Disc(hand, 13, kSkin);
}

void PaintArms(const Tailor& t, const Arms& arms, bool waving) {
    PaintArm(t, arms, -1, false);
    PaintArm(t, arms, 1, waving);
}

// The heroine's own school uniform: a jacket with a collar in her trim colour and a ribbon.
void Uniform(const Tailor& t, const Heroine& h) {
    Torso(t, h.outfit, h.outfitShade);
    t.Shape({{-60, kShoulder}, {60, kShoulder}, {0, 246}}, h.trim);
    NeckOpening(t, 40);
    Bow(t, {0, 232}, 26, h.ribbon);
}

// The summer uniform: a white short-sleeved blouse with a light blue collar, a navy skirt.
void Summer(const Tailor& t) {
    Torso(t, 0xFAFBFD, 0xDCE2EC);
    Skirt(t, 330, 0x2A3B6A, 4, true);
    t.Shape({{-60, kShoulder}, {60, kShoulder}, {0, 246}}, 0x7FA8D8);
    t.Stroke({-50, 180}, {0, 234}, 3, kWhite);
    t.Stroke({50, 180}, {0, 234}, 3, kWhite);
    NeckOpening(t, 40);
    Bow(t, {0, 232}, 22, 0x2A3B6A);
}

// A knitted cardigan, open over a blouse and a ribbon, its buttons down one edge.
void Cardigan(const Tailor& t) {
    constexpr Rgb knit = 0xEFCF7E;
    Torso(t, knit, 0xCDAE60);
    Skirt(t, 372, 0x3A4A78, 2, true);
    t.Shape({{-36, kShoulder}, {36, kShoulder}, {20, 372}, {-20, 372}}, kWhite);
    t.Stroke({-36, kShoulder}, {-20, 372}, 3, Shade(knit, 78));
    t.Stroke({36, kShoulder}, {20, 372}, 3, Shade(knit, 78));
    for (int y = 250; y < 372; y += 34)
        t.Disc({-30 + (y - 250) / 12, y}, 5, 0x8A6A3A);
    Band(t, 360, 372, Shade(knit, 88));
    NeckOpening(t, 36);
    Bow(t, {0, 226}, 18, 0xD8434F);
}

// The gym clothes: a white shirt with a blue neck and cuffs and a name patch, navy shorts.
void Sports(const Tailor& t) {
    constexpr Rgb trim = 0x2E6FD0, shorts = 0x26306A;
    Torso(t, kWhite, 0xDDE3EC);
    // Bare legs below the shorts, the shorts cut up between them.
    Band(t, 412, kHem, kSkin);
    t.Stroke({0, 420}, {0, kHem}, 4, 0xF0C8B2);
    Band(t, 356, 414, shorts, 2);
    t.Shape({{0, 396}, {-12, 416}, {12, 416}}, kSkin);
    t.Stroke({-HalfWidth(356), 356}, {HalfWidth(356), 356}, 4, Shade(shorts, 70));
    for (int side = -1; side <= 1; side += 2)
        t.Stroke({side * (HalfWidth(356) - 6), 360}, {side * (HalfWidth(412) - 4), 412}, 5, kWhite);
    t.Oval({0, kShoulder + 6}, 40, 18, trim);
    t.Oval({0, kShoulder + 1}, 32, 13, kSkin);
    t.Shape({{-44, 240}, {44, 240}, {44, 292}, {-44, 292}}, trim);
    t.Shape({{-40, 244}, {40, 244}, {40, 288}, {-40, 288}}, kWhite);
    t.Stroke({-28, 258}, {28, 258}, 4, trim);
    t.Stroke({-28, 274}, {14, 274}, 4, trim);
}

// A cotton yukata: the collar crossed left over right, an obi at the waist, wide sleeves, flowers.
void Yukata(const Tailor& t, Rgb fabric, Rgb shade, Rgb petal, Rgb obi, Rgb cord, bool innerCollar) {
    Torso(t, fabric, shade);
    Flowers(t, 200, 430, 44, petal, 0xF2C14E, false);
    t.Shape({{-34, kShoulder}, {34, kShoulder}, {10, 232}}, kSkin);
    if (innerCollar) {
        t.Stroke({-34, kShoulder}, {8, 236}, 9, kWhite);
        t.Stroke({36, kShoulder}, {-30, 292}, 9, kWhite);
    }
    t.Stroke({-44, kShoulder + 4}, {6, 246}, 8, Shade(fabric, 60));
    t.Stroke({46, kShoulder + 4}, {-34, 300}, 8, Shade(fabric, 60));
    Band(t, 290, 338, obi);
    Band(t, 290, 294, Shade(obi, 80));
    Band(t, 334, 338, Shade(obi, 80));
    t.Stroke({-HalfWidth(314), 314}, {HalfWidth(314), 314}, 4, cord);
    t.Disc({18, 314}, 7, cord);
}

// An apron with a bib, frills and a pocket, over a blue dress with a round white collar.
void Apron(const Tailor& t) {
    constexpr Rgb dress = 0x7FA6D6, apron = 0xFFF6F8, frill = 0xF4C4D2;
    Torso(t, dress, 0x5F86B6);
    t.Stroke({-40, 232}, {-56, kShoulder + 2}, 8, apron);
    t.Stroke({40, 232}, {56, kShoulder + 2}, 8, apron);
    t.Shape({{-42, 228}, {42, 228}, {46, 322}, {-46, 322}}, apron);
    for (int y = 440; y > 318; y -= 12)
        for (int side = -1; side <= 1; side += 2)
            t.Disc({side * (64 + (318 - y) * -26 / 122), y}, 6, frill);
    t.Shape({{-62, 318}, {62, 318}, {88, kHem}, {-88, kHem}}, apron);
    Band(t, 312, 326, apron);
    t.Shape({{-30, 356}, {30, 356}, {28, 400}, {-28, 400}}, frill);
    t.Disc({-6, 372}, 6, 0xE0607E);
    t.Disc({6, 372}, 6, 0xE0607E);
    t.Shape({{-12, 374}, {12, 374}, {0, 388}}, 0xE0607E);
    t.Oval({-20, 184}, 24, 12, kWhite);
    t.Oval({20, 184}, 24, 12, kWhite);
    NeckOpening(t, 20);
    Bow(t, {0, 198}, 12, 0xD8434F);
}

// A camel coat: lapels, two rows of buttons, a belt, and a striped scarf at the neck.
void Coat(const Tailor& t) {
    constexpr Rgb coat = 0xB8875A, scarf = 0xC8323C;
    Torso(t, coat, 0x946A44, 6);
    t.Pair({{-10, 196}, {-62, 190}, {-40, 236}, {-6, 306}}, 0x9A6C44);
    for (int y = 312; y <= 392; y += 40)
        for (int side = -1; side <= 1; side += 2)
            t.Disc({side * 24, y}, 6, 0x4A3020);
    Band(t, 330, 346, 0x7A5030, 6);
    t.Shape({{-16, 328}, {16, 328}, {16, 348}, {-16, 348}}, 0xD8B060);
    t.Shape({{-10, 333}, {10, 333}, {10, 343}, {-10, 343}}, 0x7A5030);
    t.Oval({0, kShoulder + 8}, 46, 18, scarf);
    t.Shape({{12, 190}, {40, 190}, {46, 296}, {20, 298}}, scarf);
    for (int y = 214; y < 290; y += 22)
        t.Stroke({13 + (y - 190) / 20, y}, {41 + (y - 190) / 20, y}, 4, 0xF2E2C8);
    for (int x = 22; x <= 44; x += 6)
        t.Stroke({x, 298}, {x + 1, 312}, 2, scarf);
}

// A sleeveless party dress: a bodice, a sash with a bow and a wide skirt with a lace hem.
void Dress(const Tailor& t) {
    constexpr Rgb dress = 0xF49AC1, sash = 0xC84C84;
    t.Shape({{-70, kShoulder}, {70, kShoulder}, {74, 212}, {-74, 212}}, kSkin);
    t.Shape({{-66, 212}, {66, 212}, {60, 304}, {-60, 304}}, dress);
    t.Shape({{40, 212}, {66, 212}, {60, 304}, {44, 304}}, Shade(dress, 88));
    t.Oval({-22, 214}, 28, 12, dress);
    t.Oval({22, 214}, 28, 12, dress);
    t.Stroke({-34, 208}, {-44, kShoulder}, 4, dress);
    t.Stroke({34, 208}, {44, kShoulder}, 4, dress);
    t.Shape({{-62, 310}, {62, 310}, {146, kHem}, {-146, kHem}}, dress);
    t.Shape({{40, 310}, {62, 310}, {146, kHem}, {104, kHem}}, Shade(dress, 88));
    for (int k = -2; k <= 2; ++k)
        t.Stroke({k * 24, 316}, {k * 58, kHem}, 2, Shade(dress, 82));
    for (int x = -140; x <= 140; x += 14)
        t.Disc({x, kHem - 4}, 6, kWhite);
    t.Shape({{-62, 298}, {62, 298}, {62, 316}, {-62, 316}}, sash);
    Bow(t, {-40, 306}, 18, sash);
    for (int x = -24; x <= 24; x += 8)
        t.Disc({x, 188 + (24 * 24 - x * x) / 48}, 3, 0xF6EEDC);
}

// A winter sailor suit: navy, its wide collar edged with white lines, a red neckerchief.
void Sailor(const Tailor& t) {
    constexpr Rgb navy = 0x27315A;
    Torso(t, navy, 0x1B2342);
    Skirt(t, 344, 0x222B50, 4, true);
    t.Shape({{-68, kShoulder}, {68, kShoulder}, {0, 268}}, 0x1F2848);
    for (int inset : {8, 16}) {
        t.Stroke({-68 + inset, kShoulder + 2}, {0, 268 - inset * 2}, 2, kWhite);
        t.Stroke({68 - inset, kShoulder + 2}, {0, 268 - inset * 2}, 2, kWhite);
    }
    t.Shape({{-30, kShoulder}, {30, kShoulder}, {0, 226}}, kSkin);
    t.Shape({{-24, 232}, {24, 232}, {0, 300}}, 0xD8434F);
    t.Disc({0, 236}, 9, 0xB8323C);
}

// A hoodie: the hood round the neck, drawstrings, a front pocket and ribbed cuffs and hem.
void Hoodie(const Tailor& t) {
    constexpr Rgb hoodie = 0x9CCFC0;
    Torso(t, hoodie, 0x78AE9E);
    t.Oval({0, kShoulder + 4}, 72, 24, Shade(hoodie, 82));
    t.Oval({0, kShoulder}, 40, 12, kSkin);
    t.Shape({{-58, 330}, {58, 330}, {70, 404}, {-70, 404}}, Shade(hoodie, 90));
    t.Stroke({-58, 330}, {-70, 404}, 3, Shade(hoodie, 72));
    t.Stroke({58, 330}, {70, 404}, 3, Shade(hoodie, 72));
    Band(t, 420, kHem, Shade(hoodie, 86));
    for (int side = -1; side <= 1; side += 2) {
        t.Stroke({side * 14, 196}, {side * 18, 262}, 3, kWhite);
        t.Disc({side * 18, 264}, 4, 0xE2B86A);
    }
}

// A maid's dress: black with puffed sleeves, a frilled white apron and collar, a red ribbon.
void Maid(const Tailor& t) {
    constexpr Rgb black = 0x2A2A34, frill = 0xE4E4EE;
    Torso(t, black, 0x1A1A22);
    for (int side = -1; side <= 1; side += 2)
        t.Disc({side * 76, 198}, 24, Shade(black, 120));
    for (int y = 224; y <= 316; y += 12)
        for (int side = -1; side <= 1; side += 2)
            t.Disc({side * (42 + (y - 224) / 24), y}, 6, frill);
    t.Shape({{-38, 222}, {38, 222}, {42, 318}, {-42, 318}}, kWhite);
    for (int y = 318; y <= kHem; y += 12)
        for (int side = -1; side <= 1; side += 2)
            t.Disc({side * (62 + (y - 318) * 26 / 122), y}, 6, frill);
    t.Shape({{-60, 316}, {60, 316}, {86, kHem}, {-86, kHem}}, kWhite);
    Band(t, 310, 322, kWhite);
    t.Pair({{-2, kShoulder + 2}, {-38, kShoulder + 2}, {-26, 204}}, kWhite);
    NeckOpening(t, 18);
    Bow(t, {0, 200}, 14, 0xD8434F);
}

// A navy school blazer with lapels, a striped tie and an emblem, over a grey checked skirt.
void Blazer(const Tailor& t) {
    constexpr Rgb blazer = 0x2A3658, skirt = 0x707A90;
    Torso(t, skirt, Shade(skirt, 85));
    for (int x = -100; x <= 100; x += 20)
        t.Stroke({x, 392}, {x * 112 / 100, kHem}, 2, 0xB84050);
    t.Stroke({-110, 420}, {110, 420}, 2, 0xB84050);
    t.Shape({{-70, kShoulder}, {70, kShoulder}, {106, 396}, {-106, 396}}, blazer);
    t.Shape({{70, kShoulder}, {106, 396}, {78, 396}, {50, 196}}, 0x1C2540);
    t.Shape({{-32, kShoulder}, {32, kShoulder}, {0, 310}}, kWhite);
    t.Pair({{-32, kShoulder}, {-50, 196}, {-40, 220}, {-2, 312}}, 0x38466E);
    t.Shape({{-8, 204}, {8, 204}, {11, 288}, {0, 302}, {-11, 288}}, 0xB8323C);
    for (int y = 222; y < 292; y += 18)
        t.Stroke({-9, y}, {9, y + 8}, 3, 0x2A3B6A);
    t.Shape({{-10, 190}, {10, 190}, {7, 206}, {-7, 206}}, 0x8E2430);
    NeckOpening(t, 14);
    t.Disc({-48, 248}, 9, 0xE2B86A);
    t.Disc({-48, 248}, 5, blazer);
    t.Disc({-6, 334}, 5, 0xE2B86A);
    t.Disc({-6, 366}, 5, 0xE2B86A);
}

// Striped pyjamas with a piped round collar and white buttons.
void Pajama(const Tailor& t) {
    constexpr Rgb fabric = 0xBFD8F2, piping = 0x4A78B8;
    Torso(t, fabric, 0x9DBCE0);
    for (int x = -104; x <= 104; x += 18) {
        const int from = std::abs(x) <= 70 ? kShoulder + 4 : kShoulder + (std::abs(x) - 70) * 264 / 42 + 4;
        if (from < kHem) t.Stroke({x, from}, {x + x / 10, kHem}, 3, 0xF4F8FF);
    }
    t.Oval({-22, kShoulder + 10}, 26, 14, piping);
    t.Oval({22, kShoulder + 10}, 26, 14, piping);
    t.Oval({-22, kShoulder + 9}, 22, 11, kWhite);
    t.Oval({22, kShoulder + 9}, 22, 11, kWhite);
    NeckOpening(t, 22);
    t.Stroke({0, 206}, {0, kHem}, 3, piping);
    for (int y = 226; y < kHem; y += 40)
        t.Disc({-8, y}, 6, kWhite);
}
// The yukata of the wardrobe, navy with white flowers, and the kimono, red with pink ones.
void NavyYukata(const Tailor& t) {
    Yukata(t, 0x2B3A6E, 0x1F2A52, 0xF4F6FA, 0xE8A33A, 0xD8434F, false);
}
void Kimono(const Tailor& t) {
    Yukata(t, 0xB8323C, 0x8E2430, 0xF8C8D4, 0xE2B86A, 0x3E6FB6, true);
}

// Each costume of the wardrobe: its body, its sleeves, and the flowers on wide sleeves that hang down
// (petal 0: none).
struct Garment {
    void (*body)(const Tailor&);
    Arms arms;
    Rgb petal, middle;
};
constexpr Garment kGarments[] = {
    {Summer, {Sleeve::Short, 0xFAFBFD, 0x7FA8D8}, 0, 0},
    {Cardigan, {Sleeve::Long, 0xEFCF7E, 0xCDAE60}, 0, 0},
    {Sports, {Sleeve::Short, kWhite, 0x2E6FD0}, 0, 0},
    {NavyYukata, {Sleeve::Wide, 0x2B3A6E, 0}, 0xF4F6FA, 0xF2C14E},
    {Apron, {Sleeve::Long, 0x7FA6D6, kWhite}, 0, 0},
    {Coat, {Sleeve::Long, 0xB8875A, 0x7A5030}, 0, 0},
    {Dress, {Sleeve::Bare, kSkin, 0}, 0, 0},
    {Sailor, {Sleeve::Long, 0x27315A, kWhite}, 0, 0},
    {Hoodie, {Sleeve::Long, 0x9CCFC0, 0x78AE9E}, 0, 0},
    {Maid, {Sleeve::Long, 0x2A2A34, kWhite}, 0, 0},
    {Kimono, {Sleeve::Wide, 0xB8323C, 0}, 0xF8C8D4, 0xE2B86A},
    {Blazer, {Sleeve::Long, 0x2A3658, 0xE2B86A}, 0, 0},
    {Pajama, {Sleeve::Long, 0xBFD8F2, 0x4A78B8}, 0, 0},
};
static_assert(std::size(kGarments) + 1 == static_cast<std::size_t>(Outfit::Count),
              "a garment for each costume");
} // namespace

void PaintOutfit(Canvas& c, const Heroine& h, Pose pose, const FigureFrame& f) {
    const Tailor t(c, f);
    const int costume = static_cast<int>(pose.outfit);
    if (costume <= 0 || costume >= static_cast<int>(Outfit::Count)) {
        // Her own school uniform, in her colours.
        Uniform(t, h);
        PaintArms(t, {Sleeve::Long, h.outfit, 0}, pose.waving);
        return;
    }
    const Garment& g = kGarments[costume - 1];
    g.body(t);
    PaintArms(t, g.arms, pose.waving);
    if (g.petal != 0 && !pose.waving) Flowers(t, 210, 370, 44, g.petal, g.middle, true);
}

void PaintHeadwear(Canvas& c, Outfit outfit, const FigureFrame& f) {
    const Tailor t(c, f);
    if (outfit == Outfit::Maid) {
        // A frilled headdress across the top of the hair.
        for (int x = -54; x <= 54; x += 12)
            t.Disc({x, 30 + x * x / 200}, 9, 0xE4E4EE);
        t.Shape({{-50, 22}, {50, 22}, {54, 40}, {-54, 40}}, kWhite);
    } else if (outfit == Outfit::Pajama) {
        // A nightcap that flops to one side, with a pompom.
        t.Shape({{-62, 34}, {-24, -2}, {22, -6}, {64, 12}, {96, 48}, {80, 58}, {60, 34}}, 0x9DBCE0);
        t.Shape({{-64, 24}, {62, 24}, {64, 40}, {-66, 40}}, kWhite);
        t.Disc({90, 58}, 12, kWhite);
    }
}
} // namespace demo
