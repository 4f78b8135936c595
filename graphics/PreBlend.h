// Plane blending of "AM" pictures over what lies beneath them, on locked pixels. A layer's shown
// picture is recomputed from its untouched copy and the target, so that a plain blit of it lands as a
// blend. Weights (0 to 16) blend channel fields pixel by pixel; alpha (0 to 256) gives, per channel
// field or byte, exactly t + floor((o - t) x a / 256), the arithmetic of 16-bit lanes.
#pragma once

#include "platform/base.h"

// Locked pixels: rows `pitch` bytes apart (even at 16 bits), width x height pixels.
struct PixelView {
    BYTE* bits;
    long pitch;
    int width;
    int height;
};

// A channel field of a 16- or 32-bit pixel: (pixel AND mask) >> shift.
struct BlendField {
    DWORD mask;
    int shift;
};
struct BlendFields {
    BlendField red;
    BlendField green;
    BlendField blue;
};

// Weight blend (plane kind 1). For each picture pixel (k, r) whose target pixel (x + k, y + r) lies on
// the target and whose weight w = weights[r x width + k] is not 0, the shown pixel gets, per field (or
// per byte at 24 bits), (t x (16 - w) + o x w) >> 4; at 32 bits the byte outside the fields is 0.
void WeightBlend(int bytesPerPixel, const BlendFields& fields, const PixelView& shown,
                 const PixelView& picture, const PixelView& target, int x, int y, const BYTE* weights,
                 int width, int height);

// Alpha blend (plane kind 2). Every picture pixel on the target gets t + floor((o - t) x a / 256) per
// field: at 16 bits the 565 layout, or 555 when is555 (bit 15 of the result 0), with alpha words of 0
// to 256; at 24 bits per byte with alpha bytes (three per pixel); at 32 bits on all four bytes with
// alpha words. Rows never run past `width`, whatever the pitches.
void AlphaBlend(int bytesPerPixel, bool is555, const PixelView& shown, const PixelView& picture,
                const PixelView& target, int x, int y, const WORD* alphaWords, const BYTE* alphaBytes,
                int width, int height);

// The cell form: the rectangle `source` of `picture` is blended over `target` at (destX, destY) into the
// same rectangle of `shown`, with alpha taken from the plane at (planeLeft, planeTop) onwards, `planeWidth`
// pixels to a plane row. Cells not wholly inside the target, the picture or the shown surface, or
// whose plane rectangle leaves the plane, are skipped (false).
bool AlphaBlendCell(int bytesPerPixel, bool is555, const PixelView& shown, const PixelView& picture,
                    const PixelView& target, const RECT& source, int destX, int destY, int planeLeft,
                    int planeTop, const WORD* alphaWords, const BYTE* alphaBytes, int planeWidth,
                    int planeHeight);

// Weight row kernels over n pixels: the vector form for the 565, 555 and byte-wide 32-bit layouts,
// the plain form for any fields; byte for byte the same results.
void WeightBlendRow(int bytesPerPixel, const BlendFields& fields, BYTE* s, const BYTE* t, const BYTE* o,
                    const BYTE* weights, int n);
void WeightBlendRowPlain(int bytesPerPixel, const BlendFields& fields, BYTE* s, const BYTE* t, const BYTE* o,
                         const BYTE* weights, int n);

// Alpha row kernels; n counts pixels, except at 24 bits where it counts bytes. s may not overlap t or o.
void AlphaBlendRow16(WORD* s, const WORD* t, const WORD* o, const WORD* alpha, int n, bool is555);
void AlphaBlendRow24(BYTE* s, const BYTE* t, const BYTE* o, const BYTE* alpha, int n);
void AlphaBlendRow32(BYTE* s, const BYTE* t, const BYTE* o, const WORD* alpha, int n);
// Their one-lane twins, byte for byte the same results; the vector kernels finish rows with them.
void AlphaBlendRow16Plain(WORD* s, const WORD* t, const WORD* o, const WORD* alpha, int n, bool is555);
void AlphaBlendRow24Plain(BYTE* s, const BYTE* t, const BYTE* o, const BYTE* alpha, int n);
void AlphaBlendRow32Plain(BYTE* s, const BYTE* t, const BYTE* o, const WORD* alpha, int n);
