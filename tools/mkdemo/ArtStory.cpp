// The story's pictures: backgrounds, character sprites on their colour key, the gallery's CGs and the
// ending roll; and the storing of any painted picture in its format.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Widgets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace demo {
Bytes EncodePicture(const Picture& p, Format format) {
    fixtures::PictureDesc desc = p.colour.Desc8();
    switch (format) {
    case Format::Bmp8:
        desc.palette.resize(256, 0); // a BMP's colour table is as long as its depth needs
        return fixtures::WriteBmp(desc);
    case Format::Am8: {
        fixtures::AmOptions options;
        options.planeKind = 2;
        options.colourRunLength = true;
        options.planeRunLength = true;
        return fixtures::WriteAm(desc, p.alpha, options);
    }
    case Format::Cm8:
    default: {
        fixtures::CmOptions options;
        options.runLength = true;
        return fixtures::WriteCm(desc, options);
    }
    }
}

void PaintBackground(Picture& p, const Asset& a) {
    const int scene = a.param % kWithFireworks;
    PaintScene(p.colour, static_cast<Place>(scene / 4), static_cast<TimeOfDay>(scene % 4),
               static_cast<std::uint32_t>(scene * 31 + 7));
    if (a.param >= kWithFireworks) PaintFireworks(p.colour, static_cast<std::uint32_t>(a.param));
    p.colour.NameTag(a.name, 636, 4);
}

void PaintCharacter(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    const int figure = a.param % kOutfitStep;
    PaintFigure(c, HeroineAt(figure / 16), static_cast<Expression>(figure % 16), c.Width() / 2, 0,
                100 * c.Height() / 440, {static_cast<Outfit>(a.param / kOutfitStep)});
    c.NameTag(a.name, c.Width() - 2, c.Height() - 13);
}

namespace {
struct CgTheme {
    const char* prefix;
    int heroine; // -1: two heroines
    Place place;
};
constexpr CgTheme kCgThemes[] = {
    {"at", 2, Place::HillTown},  {"ah", 2, Place::Room},      {"ae", 2, Place::Seaside},
    {"ct", 0, Place::Street},    {"ch", 0, Place::Classroom}, {"ce", 0, Place::Seaside},
    {"ka", 0, Place::Park},      {"mi", 1, Place::Park},      {"na", 3, Place::Classroom},
    {"ma", -1, Place::HillTown},
};

// The first star of the evening: a glow in the colour of the sky around it, and four rays.
void EveningStar(Canvas& c, int x, int y) {
    c.Disc(x, y, 18, Mix(c.At(x, y), 0xFFF6D0, 1, 5));
    c.Disc(x, y, 10, Mix(c.At(x, y), 0xFFF6D0, 2, 5));
    c.Line(x - 22, y, x + 22, y, 2, 0xFFF6D0);
    c.Line(x, y - 22, x, y + 22, 2, 0xFFF6D0);
    c.Line(x - 8, y - 8, x + 8, y + 8, 1, 0xFFF6D0);
    c.Line(x - 8, y + 8, x + 8, y - 8, 1, 0xFFF6D0);
    c.Disc(x, y, 4, 0xFFFFFF);
}

// A night sky filled with fireworks: wide chrysanthemums, rings and falling willows, each lighting
// the sky around it, and sparks between them.
void FireworkSky(Canvas& c, std::uint32_t seed) {
    static const Rgb kColours[] = {0xFF8A5C, 0xFFE36A, 0x8AD8FF, 0xFF9AD5, 0xA6FF8A, 0xFFFFFF};
    constexpr double kPi = 3.14159265358979;
    struct Burst {
        int x, y, radius, style;
    };
    static const Burst kBursts[] = {{90, 90, 70, 0},   {250, 60, 56, 1},  {398, 104, 76, 0},
                                    {600, 196, 44, 2}, {170, 214, 60, 2}, {330, 214, 50, 0},
                                    {500, 236, 56, 1}, {40, 250, 40, 1},  {330, 36, 28, 1}};
    Random r(seed);
    int n = 0;
    for (const Burst& b : kBursts) {
        const Rgb colour = kColours[n++ % 6], light = Mix(colour, 0xFFFFFF, 1, 2);
        const int rays = b.style == 1 ? 20 : 28;
        for (int k = 0; k < rays; ++k) {
            const double dx = std::cos(2 * kPi * k / rays), dy = std::sin(2 * kPi * k / rays);
            const int x = b.x + static_cast<int>(b.radius * dx), y = b.y + static_cast<int>(b.radius * dy);
            if (b.style == 0) // a chrysanthemum: rays from near the middle
                c.Line(b.x + static_cast<int>(b.radius * dx / 4), b.y + static_cast<int>(b.radius * dy / 4),
                       x, y, 2, light);
            if (b.style == 2) // a willow: the rays fall as they go
                c.Line(b.x, b.y, x, y + b.radius / 3, 1, Mix(colour, 0xFFE36A, 1, 2));
            c.Disc(x, b.style == 2 ? y + b.radius / 3 : y, b.style == 1 ? 4 : 3, colour);
        }
        c.Disc(b.x, b.y, 4, 0xFFFFFF);
    }
    for (int i = 0; i < 160; ++i)
        c.Set(r.Range(0, c.Width()), r.Range(0, 280), kColours[i % 6]);
}

// Takes every pixel inside the ellipse `percent` of the way to `light`.
void Glow(Canvas& c, int cx, int cy, int rx, int ry, Rgb light, int percent) {
    for (int y = std::max(cy - ry, 0); y < std::min(cy + ry, c.Height()); ++y)
        for (int x = std::max(cx - rx, 0); x < std::min(cx + rx, c.Width()); ++x) {
            const double dx = static_cast<double>(x - cx) / rx, dy = static_cast<double>(y - cy) / ry;
            if (dx * dx + dy * dy < 1) c.Set(x, y, Mix(c.At(x, y), light, percent, 100));
        }
}

// Every pixel of `figure` that is not the key, in one colour, moved by (dx, dy).
void Silhouette(Canvas& c, const Canvas& figure, int dx, int dy, Rgb colour) {
    for (int y = 0; y < figure.Height(); ++y)
        for (int x = 0; x < figure.Width(); ++x)
            if (figure.At(x, y) != kKey) c.Set(x + dx, y + dy, colour);
}

// The three CGs the story shows, drawn for their scenes; false for every other name.
bool PaintStoryCg(Canvas& c, const std::string& name) {
    if (name == "at000a") {
        // The park at dusk: Aoi points at the first star over the trees.
        PaintScene(c, Place::Park, TimeOfDay::Evening, 40);
        EveningStar(c, 480, 96);
        PaintFigure(c, HeroineAt(2), Expression::Smile, 240, 70, 150, {Outfit::Uniform, true});
        return true;
    }
    if (name == "ka000a") {
        // The shopping street in the evening: Kana waves goodbye.
        PaintScene(c, Place::Street, TimeOfDay::Evening, 41);
        PaintFigure(c, HeroineAt(0), Expression::Wink, 290, 60, 150, {Outfit::Uniform, true});
        return true;
    }
    if (name == "at003a") {
        // The sky over the hill full of fireworks, and the two watching them from behind: dark shapes
        // against the light, their edges lit by it. Whatever the player chose for Aoi to wear, the
        // shapes fit it: the long hair tells her, nothing tells her clothes.
        PaintScene(c, Place::HillTown, TimeOfDay::Night, 42);
        // The smoke of the fireworks lit up over the town.
        for (int band = 1; band <= 5; ++band)
            Glow(c, 320, 200, 370 - band * 50, 170 - band * 26, 0xF0A8B8, band * 9);
        FireworkSky(c, 43);
        Canvas aoi(c.Width(), c.Height(), kKey), player(c.Width(), c.Height(), kKey);
        PaintFigureFromBehind(aoi, 0x202020, 0x404040, 0, 250, 226, 88);
        PaintFigureFromBehind(player, 0x202020, 0x404040, 2, 396, 204, 96);
        for (const Canvas* figure : {&aoi, &player}) {
            for (const Point rim : {Point{0, -2}, Point{-1, -2}, Point{1, -2}})
                Silhouette(c, *figure, rim.x, rim.y, 0xD8A8C0);
            Silhouette(c, *figure, 0, 0, 0x0C0E1C);
        }
        return true;
    }
    return false;
}
} // namespace

void PaintCg(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    const std::string& name = a.name;
    if (PaintStoryCg(c, name)) {
        c.NameTag(name, 636, 4);
        return;
    }
    CgTheme theme = kCgThemes[0];
    for (const CgTheme& t : kCgThemes)
        if (name.compare(0, 2, t.prefix) == 0) theme = t;
    const int number = std::atoi(name.substr(2, 3).c_str());
    const int letter = name.size() > 5 ? name[5] - 'a' : 0;
    const auto time = static_cast<TimeOfDay>((number + (theme.place == Place::Room ? 3 : 0)) % 4);
    PaintScene(c, theme.place, time, static_cast<std::uint32_t>(a.param * 7919 + 13));
    const auto expression = static_cast<Expression>(letter % static_cast<int>(Expression::Count));
    const int scale = 150 + (letter % 3) * 20;
    if (theme.heroine < 0) {
        PaintFigure(c, HeroineAt(2), expression, 200, 60, scale - 20);
        PaintFigure(c, HeroineAt(0), static_cast<Expression>((letter + 1) % 6), 440, 70, scale - 20);
    } else {
        const int x = 220 + ((number * 37 + letter * 53) % 200);
        PaintFigure(c, HeroineAt(theme.heroine), expression, x, 40, scale);
    }
    c.NameTag(name, 636, 4);
}

void PaintPhoto(Picture& p, const Asset& a) {
    // The hill as on the first morning, Aoi waving on the road, cut down to a print with a white border
    // and the camera's date in the corner.
    Canvas scene(640, 480, 0);
    PaintScene(scene, Place::HillTown, TimeOfDay::Morning, 7);
    PaintFigure(scene, HeroineAt(2), Expression::Smile, 320, 150, 56, {Outfit::Uniform, true});
    Canvas view(320, 236, 0);
    view.Blit(scene, 160, 112, 320, 236, 0, 0);
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0xFBF8F0);
    c.BlitScaled(view, 8, 8, c.Width() - 16, c.Height() - 16);
    c.Text(c.Width() - 52, c.Height() - 22, "7 6", 1, 0xFF8A3A);
    c.NameTag(a.name, c.Width() - 2, c.Height() - 11);
}

void PaintEnding(Picture& p, const Asset& a) {
    static const char* const kRoll[12][3] = {
        {"QUORIN DEMO", "a small story", "on the hill"},
        {"STORY", "the demo builder", "tools/mkdemo"},
        {"CHARACTERS", "Aoi  Kana  Hina", "Moe  Jo"},
        {"PICTURES", "drawn by code", "one shape at a time"},
        {"MUSIC", "fifteen little loops", "synthesised"},
        {"SOUND", "chimes, wind", "and voices"},
        {"PROGRAM", "the Quorin engine", ""},
        {"SCRIPT", "assembled from text", "main.sct  scene.sct"},
        {"TESTING", "every picture read back", "every sound heard"},
        {"SPECIAL THANKS", "you, for playing", ""},
        {"SEE YOU", "on the hill", "tomorrow"},
        {"THE END", "", ""},
    };
    Canvas& c = p.colour;
    const int row = a.param;
    PaintScene(c, row % 2 ? Place::Seaside : Place::HillTown, static_cast<TimeOfDay>(2 + row % 2),
               static_cast<std::uint32_t>(row + 500));
    c.Recolour(0, 0, c.Width(), c.Height(), [](Rgb v) { return Mix(v, 0x101830, 11, 20); });
    c.CentredText(320, 170, kRoll[row][0], 5, theme::kGold, theme::kShadow);
    c.CentredText(320, 250, kRoll[row][1], 3, theme::kCream, theme::kShadow);
    c.CentredText(320, 290, kRoll[row][2], 3, theme::kCream, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}
} // namespace demo
