#include "graphics/LayerFilter.h"

#include <array>

namespace {
// Every 17th grey level; the rows between are interpolated.
constexpr SepiaRow kAnchors[16] = {
    {0, 0, 0},       {13, 17, 21},    {26, 34, 42},    {39, 51, 64},    {52, 68, 85},    {64, 85, 106},
    {77, 102, 127},  {90, 119, 149},  {107, 136, 166}, {128, 153, 178}, {149, 170, 191}, {171, 187, 204},
    {192, 204, 217}, {213, 221, 229}, {234, 238, 242}, {255, 255, 255},
};

// Blue rounds down and red up between two rows, so that every row but the first and the last keeps
// blue below the grey level and red above it; rounding to nearest made rows 1, 2, 253 and 254 grey.
constexpr BYTE Below(BYTE a, BYTE b, int step) {
    return static_cast<BYTE>(a + (b - a) * step / 17);
}
constexpr BYTE Above(BYTE a, BYTE b, int step) {
    return static_cast<BYTE>(a + ((b - a) * step + 16) / 17);
}

constexpr std::array<SepiaRow, 256> MakeSepiaTable() {
    std::array<SepiaRow, 256> table{};
    for (int g = 0; g < 256; ++g) {
        const int i = g / 17, step = g % 17;
        const SepiaRow& lo = kAnchors[i];
        const SepiaRow& hi = kAnchors[i < 15 ? i + 1 : 15];
        table[g] = SepiaRow{Below(lo.blue, hi.blue, step), static_cast<BYTE>(g), Above(lo.red, hi.red, step)};
    }
    return table;
}

constexpr std::array<SepiaRow, 256> kSepia = MakeSepiaTable();
} // namespace

const SepiaRow& SepiaTone(BYTE grey) {
    return kSepia[grey];
}

void ApplyColorFilter(RGBQUAD* palette, int count, int filter) {
    if (!palette || filter == kColorFilterNone) return;
    for (int i = 0; i < count; ++i) {
        RGBQUAD& c = palette[i];
        const BYTE g = GreyLevel(c);
        if (filter == kColorFilterSepia) {
            const SepiaRow& s = kSepia[g];
            c.rgbBlue = s.blue;
            c.rgbGreen = s.green;
            c.rgbRed = s.red;
        } else {
            c.rgbBlue = c.rgbGreen = c.rgbRed = g;
        }
    }
}
