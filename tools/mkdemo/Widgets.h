// The demo's look: panels, buttons in their four states, option chips and labels, all in one palette
// of night blue, cream and gold.
#pragma once

#include "tools/mkdemo/Canvas.h"
#include "tools/mkdemo/Layouts.h"

#include <initializer_list>
#include <string>

namespace demo {
namespace theme {
inline constexpr Rgb kInk = 0x1B2236;
inline constexpr Rgb kPanelTop = 0x34466A;
inline constexpr Rgb kPanelBottom = 0x202C46;
inline constexpr Rgb kGold = 0xE2B86A;
inline constexpr Rgb kCream = 0xF6EEDC;
inline constexpr Rgb kShadow = 0x0C1020;
inline constexpr Rgb kAccent = 0xF08A8A; // a warm pink for highlights
inline constexpr Rgb kPlate = 0x263352;  // behind every option and button that has art of its own
} // namespace theme

enum class State { Normal, Hover, Pressed, Disabled, On };

// A framed panel with a soft gradient.
void Panel(Canvas& c, const Rect& r, int radius = 10);
// A background with a gentle diagonal pattern, for the menu screens.
void MenuBackdrop(Canvas& c, Rgb top, Rgb bottom);
// A button: label centred, the look of its state. Scale 1 or 2 for the label.
void Button(Canvas& c, const Rect& r, const std::string& label, State state, int scale = 2);
// A small option chip (a level or a choice of a settings row).
void Chip(Canvas& c, const Rect& r, const std::string& label, State state);
// A heading with a gold underline.
void Heading(Canvas& c, int x, int y, const std::string& text, int scale = 3);
// An art sheet of buttons: the free space filled with `background` (kPlate or the colour key), each
// button drawn at its rectangle in its state.
struct SheetButton {
    Rect rect;
    const char* label;
    State state;
};
void ButtonSheet(Canvas& c, Rgb background, std::initializer_list<SheetButton> buttons);
// A flat plate of kPlate: art sheets whose buttons sit on it fill their free space with the same colour.
void Plate(Canvas& c, const Rect& r);
// Fills the rectangle with the colour key (transparent once keyed).
void KeyOut(Canvas& c, const Rect& r);
} // namespace demo
