// Rule masks of the mask wipe: checking an entry of "mask.arc", laying a mask of any size over the
// screen and counting its levels.
#pragma once

#include "platform/base.h"

#include <cstddef>

namespace transition {
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr int kScreenPixels = kScreenWidth * kScreenHeight;

// Fills the 640 x 480 bytes of `screen` from a width x height mask (rows `width` bytes apart): screen
// row y is mask row y mod height, repeated across from columns 0, width, 2 x width, ...; a mask wider
// or taller than the screen gives its top-left 640 x 480.
void TileMask(const BYTE* levels, int width, int height, BYTE* screen);

// A rule mask is used only when its width and height are at least 1 and its header's total size is
// exactly 1040 + width x height, within the `size` bytes of the entry. Then `screen` (640 x 480
// bytes) receives its levels laid over the screen and the result is true; otherwise false and
// `screen` is untouched.
bool LoadRuleMask(const BYTE* entry, std::size_t size, BYTE* screen);

// Counts how many entries of the width x height area (rows `stride` entries apart) hold each level.
void CountMaskLevels(const WORD* mask, int stride, int width, int height, DWORD histogram[256]);
} // namespace transition
