// The masks of the demo: the rule masks of "mask.arc", each drawn as the wipe its name describes, and the
// run-length packed hit maps of the extras in "data.arc".
#pragma once

#include "tools/mkdemo/DemoCatalogue.h"

#include <functional>
#include <string>

namespace demo {
// A wipe that only runs along one axis is stored as one row or one column; the engine lays every mask
// over the screen by repeating it.
struct RuleMaskSize {
    int width, height;
};
RuleMaskSize RuleMaskSizeOf(const std::string& name);
// The level (0 first, 255 last) of each pixel of the named wipe on the whole 640 x 480 screen.
using RuleLevelFn = std::function<int(int x, int y)>;
RuleLevelFn RuleFor(const std::string& name);
Bytes BuildRuleMask(const Asset& a);

// "cgmask", "scemirelmask", "scesovanemask", "sceothersmask", "soundmask".
inline constexpr int kRegionMaskCount = 5;
const char* RegionMaskName(int index);
// How many regions the mask holds: values 0 to count - 1, 255 where there is none.
int RegionCount(int index);
Bytes BuildRegionMask(const Asset& a);
} // namespace demo
