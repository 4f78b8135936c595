// The story's pictures: backgrounds, character sprites on their colour key, the gallery's CGs and the
// ending roll; and the storing of any painted picture in its format.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Widgets.h"

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
    PaintScene(p.colour, static_cast<Place>(a.param / 4), static_cast<TimeOfDay>(a.param % 4),
               static_cast<std::uint32_t>(a.param * 31 + 7));
    p.colour.NameTag(a.name, 636, 4);
}

void PaintCharacter(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    PaintFigure(c, HeroineAt(a.param / 16), static_cast<Expression>(a.param % 16), c.Width() / 2, 0,
                100 * c.Height() / 440);
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
} // namespace

void PaintCg(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    const std::string& name = a.name;
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
