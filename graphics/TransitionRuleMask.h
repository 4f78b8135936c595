// Rule masks of the mask wipe: laying a mask of any size over the screen and counting its levels.
#pragma once

#include "platform/base.h"

namespace transition {
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr int kScreenPixels = kScreenWidth * kScreenHeight;

// Fills the 640 x 480 bytes of `screen` from a width x height mask (rows `width` bytes apart): screen
// row y is mask row y mod height, repeated across from columns 0, width, 2 x width, ...; a mask wider
// or taller than the screen gives its top-left 640 x 480.
void TileRuleMask(const BYTE* levels, int width, int height, BYTE* screen);

// Counts how many entries of the width x height area (rows `stride` entries apart) hold each level.
void CountMaskLevels(const WORD* mask, int stride, int width, int height, DWORD histogram[256]);
} // namespace transition
