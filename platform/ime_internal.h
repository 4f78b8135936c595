// How the window family and the input method meet.
#pragma once

#include "platform/window.h"

namespace platform {
// The queue entry of one input-method event. DispatchMessageA hands it to DispatchImeEvent instead of
// the window procedure, which hears of the event through the WM_IME_ messages that follow from it.
inline constexpr UINT kImeEventMessage = 0x03F0;
void DispatchImeEvent(const MSG& msg);
// WINNLSEnableIME changed the window's state: text input follows, a composition is dropped.
void OnImeEnableChanged(HWND hwnd);
// The window is going: its context and its waiting events go with it.
void ForgetImeContext(HWND hwnd);
} // namespace platform
