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
        EXPECT_TRUE(g == 255 || (row.blue < g && row.red > g)) << g;
        EXPECT_TRUE(row.blue >= below.blue && row.red >= below.red) << g;
    }
}
