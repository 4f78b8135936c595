// Pictures that the modes put straight into the compositor's slots.
#pragma once

#include "platform/base.h"

class CLayer;

// Full-screen picture of `slot` (visible, at 0,0, no colour key): the slot's picture is changed through
// the selected transition, or loaded when the slot is empty.
void ShowFullScreenPicture(int slot, const char* name);
// A new picture object of `parts` parts loaded with `name`; colorKey 1 keys it from its top-left pixel.
CLayer* NewScreenPicture(const char* name, int parts, BYTE visible, int x, int y, BYTE colorKey);
// Puts `layer` into `slot`, deletes what was there and returns `layer` (null clears the slot).
CLayer* ReplaceScreenLayer(int slot, CLayer* layer);
