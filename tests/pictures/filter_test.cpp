#include "graphics/LayerFilter.h"

#include <gtest/gtest.h>

TEST(ColorFilter, SepiaTableHasItsShape) {
    const int anchors[][4] = {{0, 0, 0, 0},         {17, 13, 17, 21},     {119, 90, 119, 149},
                              {136, 107, 136, 166}, {221, 213, 221, 229}, {255, 255, 255, 255}};
    for (const auto& a : anchors) {
        const SepiaRow& row = SepiaTone(static_cast<BYTE>(a[0]));
        EXPECT_EQ(row.blue, a[1]) << a[0];
        EXPECT_EQ(row.green, a[2]) << a[0];
        EXPECT_EQ(row.red, a[3]) << a[0];
    }
    for (int g = 0; g < 256; ++g) {
        const SepiaRow& row = SepiaTone(static_cast<BYTE>(g));
        EXPECT_EQ(row.green, g);
        // Between the ends blue stays below the grey level and red above it: no row is plain grey.
        if (g > 0 && g < 255) {
            EXPECT_LT(row.blue, g) << g;
            EXPECT_GT(row.red, g) << g;
        }
        if (g > 0) {
            EXPECT_GE(row.blue, SepiaTone(static_cast<BYTE>(g - 1)).blue);
            EXPECT_GE(row.red, SepiaTone(static_cast<BYTE>(g - 1)).red);
        }
    }
}

TEST(ColorFilter, GreyAndSepiaRewriteThePalette) {
    RGBQUAD palette[3] = {{10, 200, 30, 7}, {255, 255, 255, 0}, {0, 0, 255, 0}};
    RGBQUAD grey[3], sepia[3], none[3];
    std::copy(palette, palette + 3, grey);
    std::copy(palette, palette + 3, sepia);
    std::copy(palette, palette + 3, none);
    ApplyColorFilter(grey, 3, kColorFilterGrey);
    const int g0 = (30 * 77 + 200 * 150 + 10 * 29) >> 8;
    EXPECT_EQ(grey[0].rgbRed, g0);
    EXPECT_EQ(grey[0].rgbGreen, g0);
    EXPECT_EQ(grey[0].rgbBlue, g0);
    EXPECT_EQ(grey[0].rgbReserved, 7);
    EXPECT_EQ(grey[1].rgbRed, 255);
    EXPECT_EQ(grey[2].rgbGreen, (255 * 77) >> 8);
    ApplyColorFilter(sepia, 3, kColorFilterSepia);
    EXPECT_EQ(sepia[0].rgbGreen, g0);
    EXPECT_EQ(sepia[0].rgbBlue, SepiaTone(static_cast<BYTE>(g0)).blue);
    EXPECT_EQ(sepia[0].rgbRed, SepiaTone(static_cast<BYTE>(g0)).red);
    ApplyColorFilter(none, 3, kColorFilterNone);
    EXPECT_EQ(none[0].rgbGreen, 200);
}
