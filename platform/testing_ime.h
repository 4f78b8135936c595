// The input method in the test interface. The fake input method is the layer's own delivery path
// (platform::DeliverImeComposition, DeliverImeResult, DeliverImeOpenStatus in platform/ime.h): the
// test says what the user composes and commits, as SDL's text events would, and the events wait in the
// queue like any other input. Here: what the headless backend was told.
#pragma once

#include "platform/window.h"

#include <string>

namespace platform::testing {
// An input method that hands over Shift-JIS bytes as they are, right or wrong: a composition with its
// attributes and cursor, or a result. False while the window takes no text.
bool DeliverImeCompositionBytes(HWND hwnd, const std::string& sjis, const std::string& attrs, LONG cursor);
bool DeliverImeResultBytes(HWND hwnd, const std::string& sjis);
// Whether the backend was last told to take text (SDL's text input started).
bool IsTextInputActive();
// Compositions cancelled in the input method since the last call.
int TakeImeCancelCount();
// Without an input method every ImmGetContext returns null.
void SetImeAvailable(bool available);
} // namespace platform::testing
