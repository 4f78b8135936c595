// The clothes of a figure: each outfit's body, arms and hands, drawn between the neck and the face, and
// what an outfit puts on over the hair.
#pragma once

#include "tools/mkdemo/Scenery.h"

namespace demo {
// Where a figure stands: its centre line, the top of its hair, and its scale in percent of the
// 440-pixel full height.
struct FigureFrame {
    int cx, top, scale;
};

void PaintOutfit(Canvas& c, const Heroine& h, Pose pose, const FigureFrame& f);
void PaintHeadwear(Canvas& c, Outfit outfit, const FigureFrame& f);
} // namespace demo
