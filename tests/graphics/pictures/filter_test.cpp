// The grey and sepia filters of 8-bit palettes.
#include "graphics/LayerFilter.h"

#include <gtest/gtest.h>

TEST(ColorFilter, SepiaTableHasItsShape) {
    const int anchors[][4] = {{0, 0, 0, 0},         {17, 13, 17, 21},     {119, 90, 119, 149},
                              {136, 107, 136, 166}, {221, 213, 221, 229}, {255, 255, 255, 255}};
    for (const auto& a : anchors) {
        const SepiaRow& row = SepiaTone(static_cast<BYTE>(a[0]));
        EXPECT_TRUE(row.blue == a[1] && row.green == a[2] && row.red == a[3]) << a[0];
    }
    for (int g = 1; g < 256; ++g) {
        const SepiaRow &row = SepiaTone(static_cast<BYTE>(g)), &below = SepiaTone(static_cast<BYTE>(g - 1));
        EXPECT_EQ(row.green, g);
        // Between the ends blue stays below the grey level and red above it: no row is plain grey.
        if (g < 255) EXPECT_TRUE(row.blue < g && row.red > g) << g;
        EXPECT_TRUE(row.blue >= below.blue && row.red >= below.red) << g;
    }
}

TEST(ColorFilter, GreyAndSepiaRewriteThePalette) {
    const RGBQUAD palette[3] = {{10, 200, 30, 7}, {255, 255, 255, 0}, {0, 0, 255, 0}};
    RGBQUAD grey[3], sepia[3], none[3];
    std::copy(palette, palette + 3, grey);
    std::copy(palette, palette + 3, sepia);
    std::copy(palette, palette + 3, none);
    ApplyColorFilter(grey, 3, kColorFilterGrey);
    // Red 30, green 200, blue 10 is grey 127; pure red 76; the fourth byte stays.
    EXPECT_TRUE(grey[0].rgbRed == 127 && grey[0].rgbGreen == 127 && grey[0].rgbBlue == 127);
    EXPECT_EQ(grey[0].rgbReserved, 7);
    EXPECT_EQ(grey[1].rgbRed, 255);
    EXPECT_EQ(grey[2].rgbGreen, 76);
    ApplyColorFilter(sepia, 3, kColorFilterSepia);
    EXPECT_TRUE(sepia[0].rgbRed == 157 && sepia[0].rgbGreen == 127 && sepia[0].rgbBlue == 98);
    ApplyColorFilter(none, 3, kColorFilterNone);
    EXPECT_EQ(none[0].rgbGreen, 200);
}
