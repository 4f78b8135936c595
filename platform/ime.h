// The input method: the open status, composition string, clause attributes, cursor and result of a
// window's input context, in Shift-JIS. The system's input method (SDL's text input) or the tests'
// fake fills the context; the window hears of it through WM_IME_ messages sent to its procedure.
// Main thread only.
#pragma once

#include "platform/window.h"

#include <string>

struct HIMC__;
using HIMC = HIMC__*;

// What ImmGetCompositionStringA reads; WM_IME_COMPOSITION's lParam says which of them changed.
enum : DWORD {
    GCS_COMPSTR = 0x0008,
    GCS_COMPATTR = 0x0010,
    GCS_CURSORPOS = 0x0080,
    GCS_RESULTSTR = 0x0800,
};
// What ImmSetCompositionStringA writes.
enum : DWORD { SCS_SETSTR = 0x0009, SCS_CHANGEATTR = 0x0012 };
enum : DWORD { NI_COMPOSITIONSTR = 0x0015 };
enum : DWORD { CPS_CANCEL = 0x0004 };
// WM_IME_NOTIFY's wParam when the open status changed.
enum : WPARAM { IMN_SETOPENSTATUS = 0x0008 };
// One clause attribute a byte of the composition string.
enum : BYTE {
    ATTR_INPUT = 0,
    ATTR_TARGET_CONVERTED = 1,
    ATTR_CONVERTED = 2,
    ATTR_TARGET_NOTCONVERTED = 3,
};
enum : LONG { IMM_ERROR_NODATA = -1, IMM_ERROR_GENERAL = -2 };

// The window's context; null for no window (or when the tests took the input method away).
HIMC ImmGetContext(HWND hwnd);
BOOL ImmReleaseContext(HWND hwnd, HIMC context);
BOOL ImmGetOpenStatus(HIMC context);
// Text reaches the context only while it is open and the window's input method is enabled. A change
// of status is told to the window with WM_IME_NOTIFY (IMN_SETOPENSTATUS).
BOOL ImmSetOpenStatus(HIMC context, BOOL open);
// Copies the string or attributes (at most bufLen bytes, whole characters only) and returns the bytes
// copied, or the bytes there are when bufLen is 0. GCS_CURSORPOS returns the cursor's byte offset and
// copies nothing. IMM_ERROR_GENERAL for a null context, an unknown index or a missing buffer.
LONG ImmGetCompositionStringA(HIMC context, DWORD index, void* buf, DWORD bufLen);
// SCS_SETSTR replaces the composition (attributes ATTR_INPUT, cursor at the end); SCS_CHANGEATTR takes
// one attribute a byte of the composition and fails for any other length. The window hears nothing of
// either. The system's input method is not told (SDL takes no text back): its next change replaces
// what was set.
BOOL ImmSetCompositionStringA(HIMC context, DWORD index, const void* comp, DWORD compLen, const void* read,
                              DWORD readLen);
// NI_COMPOSITIONSTR with CPS_CANCEL drops the composition here at once, and in the system's input
// method when the context is released, unless SCS_SETSTR gave it text meanwhile: that text could not
// reach the system's input method, so it keeps the composition it holds rather than lose it.
BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);

namespace platform {
// What the input method does, as the backend reports it: the same path for SDL's text events and the
// tests' fake. Each waits in the queue behind the input before it; when the loop dispatches it, the
// context changes and the window procedure gets its WM_IME_ messages. Nothing is delivered while the
// window's text input is off (false).
//
// The composition as the user sees it, in UTF-8; start and length count characters and mark the clause
// being converted (length 0: no clause, start is the cursor). Empty text ends the composition.
bool DeliverImeComposition(HWND hwnd, const std::string& utf8, int start, int length);
// Text the user committed (or typed straight through).
bool DeliverImeResult(HWND hwnd, const std::string& utf8);
// The user switched the input method on or off (while the window's input method is enabled).
bool DeliverImeOpenStatus(HWND hwnd, bool open);
// Whether the window takes text now: its input method enabled and its context open.
bool IsTextInputOn(HWND hwnd);
} // namespace platform
