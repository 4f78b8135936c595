// The part of the 640x480 screen that one object changed since it last handed its changes on.
#pragma once

#include "platform/base.h"

class CUpdateRect {
  public:
    CUpdateRect() = default;

    // Null empties the rectangle; otherwise it grows to cover r as well, then is clamped to the screen.
    // Clamping never reorders edges: {650, 10, 700, 20} stays {650, 10, 640, 20}.
    void AddRect(const RECT* r);
    // Copies the rectangle to out and returns out, or null (out untouched) while empty.
    RECT* GetRect(RECT* out) const;
    // a becomes the bounding box of a and b.
    static void UnionRect(RECT* a, const RECT* b);

    BYTE valid = 0;
    RECT rect{};
};

// A coordinate worked out in 64 bits, held within the range of a LONG instead of wrapping round.
LONG ClampToLong(long long v);
// A RECT from edges worked out in 64 bits (a position from a script plus a picture's size), each held
// within the range of a LONG instead of wrapping round.
RECT ClampedRect(long long left, long long top, long long right, long long bottom);
