// The colour filters a picture object applies to the palette of an 8-bit picture: grey, and sepia
// through a table indexed by the grey level.
#pragma once

#include "platform/gdi.h"

enum : int { kColorFilterNone = 0, kColorFilterGrey = 1, kColorFilterSepia = 2 };

struct SepiaRow {
    BYTE blue;
    BYTE green;
    BYTE red;
};
// Green equals the grey level; blue runs below it and red above it, meeting at 0 and 255.
const SepiaRow& SepiaTone(BYTE grey);

// (red x 77 + green x 150 + blue x 29) >> 8
inline BYTE GreyLevel(const RGBQUAD& c) {
    return static_cast<BYTE>((c.rgbRed * 77 + c.rgbGreen * 150 + c.rgbBlue * 29) >> 8);
}

// Filter 2 is sepia, any other non-zero filter grey; 0 leaves the palette alone.
void ApplyColorFilter(RGBQUAD* palette, int count, int filter);
