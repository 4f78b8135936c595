// SDL key codes as the program's virtual-key codes.
#pragma once

#include "platform/base.h"

#include <SDL.h>

namespace platform {
// 0 for keys the program has no code for.
UINT VirtualKeyOf(SDL_Keycode key);
} // namespace platform
