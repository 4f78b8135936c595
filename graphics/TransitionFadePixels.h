// The pixel work of the cross-fade and the dither: the whole area blended at one alpha, plain, keyed
// and vector, and one cell of every 4 x 4 block copied.
#pragma once

#include "graphics/TransitionPixels.h"

namespace transition {
// Every pixel of the area becomes blend(before, after, alpha) in draw; byte 3 of 32-bit pixels is 0.
void BlendPlain(int format, const PixelArea& area, int alpha);
// As BlendPlain, but a pixel whose after value is the key is left as draw holds it.
void BlendKeyed(int format, const PixelArea& area, int alpha, ColorKey key);
// The vector path: the bytes of BlendPlain, except that byte 3 of 32-bit pixels is blended like a
// colour byte. SSE2 where the build has it, else BlendSimdTwin.
void BlendSimd(int format, const PixelArea& area, int alpha);
// The scalar twin of BlendSimd: the same bytes on every machine.
void BlendSimdTwin(int format, const PixelArea& area, int alpha);

// Copies the after pixels at (cx + 4i, cy + 4j) of the area onto draw; with a key, pixels of the key
// colour are not copied.
void CopyDitherCells(int format, const PixelArea& area, int cx, int cy, const ColorKey* key);
} // namespace transition
