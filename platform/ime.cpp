// One input context a window. The system's input method reports in UTF-8 and counts characters; the
// context holds Shift-JIS and counts bytes, so each event is converted once, when it is delivered, and
// applied when the loop dispatches it: a handler reading the context sees exactly its own event even
// when several wait in the queue.
#include "platform/ime.h"

#include "platform/display_backend.h"
#include "platform/headless_backend.h"
#include "platform/ime_internal.h"
#include "platform/testing_ime.h"
#include "platform/text_encoding.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

struct HIMC__ {
    HWND hwnd = nullptr;
    BOOL open = FALSE;
    bool composing = false; // WM_IME_STARTCOMPOSITION sent, WM_IME_ENDCOMPOSITION not yet
    std::string comp;       // Shift-JIS
    std::string attrs;      // one a byte of comp
    LONG cursor = 0;        // byte offset in comp
    std::string result;
    bool cancelPending = false; // cancelled here; the system's input method is told on release
};

namespace {
struct ImeEvent {
    enum Kind { Composition, Result, OpenStatus } kind;
    HWND hwnd;
    std::string text; // Shift-JIS
    std::string attrs;
    LONG cursor;
    bool open;
    bool byUser; // an open status the user set; the program's is in the context already
};

std::map<HWND, std::unique_ptr<HIMC__>> g_Contexts;
std::map<HWND, bool> g_TextInputOn; // what the backend was last told
std::map<LPARAM, ImeEvent> g_Events;
LPARAM g_NextEvent = 1;
bool g_ImeAvailable = true;

HIMC ContextOf(HWND hwnd) {
    auto it = g_Contexts.find(hwnd);
    return it == g_Contexts.end() ? nullptr : it->second.get();
}

bool Wanted(HWND hwnd) {
    HIMC context = ContextOf(hwnd);
    return IsWindow(hwnd) && platform::IsImeEnabled(hwnd) && context && context->open;
}

void ClearComposition(HIMC context) {
    context->comp.clear();
    context->attrs.clear();
    context->cursor = 0;
}

// The backend takes text only while the window wants it.
void RefreshTextInput(HWND hwnd) {
    const bool want = Wanted(hwnd);
    bool& on = g_TextInputOn[hwnd];
    if (on == want) return;
    on = want;
    if (platform::DisplayBackend* backend = platform::ChosenBackend()) backend->SetTextInput(hwnd, want);
}

bool Queue(ImeEvent event) {
    const LPARAM id = g_NextEvent++;
    const HWND hwnd = event.hwnd;
    g_Events.emplace(id, std::move(event));
    if (PostMessageA(hwnd, platform::kImeEventMessage, 0, id)) return true;
    g_Events.erase(id);
    return false;
}

constexpr LPARAM kCompositionChanged = GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS;

void Send(HIMC context, UINT msg, WPARAM wParam, LPARAM lParam) {
    SendMessageA(context->hwnd, msg, wParam, lParam);
}

void EndComposition(HIMC context) {
    if (!context->composing) return;
    ClearComposition(context);
    context->composing = false;
    Send(context, WM_IME_COMPOSITION, 0, kCompositionChanged);
    Send(context, WM_IME_ENDCOMPOSITION, 0, 0);
}

void StartComposition(HIMC context) {
    if (context->composing) return;
    context->composing = true;
    Send(context, WM_IME_STARTCOMPOSITION, 0, 0);
}

void Apply(HIMC context, const ImeEvent& e) {
    if (e.kind == ImeEvent::OpenStatus) {
        if (!platform::IsImeEnabled(e.hwnd)) return;
        if (e.byUser) {
            context->open = e.open ? TRUE : FALSE;
            RefreshTextInput(e.hwnd);
        }
        // Closing ends what was being composed.
        if (!context->open) EndComposition(context);
        Send(context, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0);
        return;
    }
    if (!Wanted(e.hwnd)) return;
    // No text ends the composition: the user emptied it, or committed nothing Shift-JIS can hold.
    if (e.text.empty()) {
        EndComposition(context);
        return;
    }
    StartComposition(context);
    if (e.kind == ImeEvent::Composition) {
        context->comp = e.text;
        context->attrs = e.attrs;
        context->cursor = e.cursor;
        Send(context, WM_IME_COMPOSITION, 0, kCompositionChanged);
        return;
    }
    ClearComposition(context);
    context->result = e.text;
    Send(context, WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    context->composing = false;
    Send(context, WM_IME_ENDCOMPOSITION, 0, 0);
}

// The bytes of the whole characters of `s` that fit in `limit`.
std::size_t WholeCharBytes(const std::string& s, std::size_t limit) {
    std::size_t n = 0;
    while (n < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[n]);
        const std::size_t len = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
        if (n + len > limit) break;
        n += len;
    }
    return std::min(n, s.size());
}

LONG CopyOut(const std::string& bytes, std::size_t whole, void* buf, DWORD bufLen) {
    if (bufLen == 0) return static_cast<LONG>(bytes.size());
    if (!buf) return IMM_ERROR_GENERAL;
    const std::size_t n = std::min<std::size_t>(whole, bufLen);
    std::memcpy(buf, bytes.data(), n);
    return static_cast<LONG>(n);
}
} // namespace

HIMC ImmGetContext(HWND hwnd) {
    if (!g_ImeAvailable || !IsWindow(hwnd)) return nullptr;
    std::unique_ptr<HIMC__>& context = g_Contexts[hwnd];
    if (!context) {
        context = std::make_unique<HIMC__>();
        context->hwnd = hwnd;
    }
    return context.get();
}

BOOL ImmReleaseContext(HWND hwnd, HIMC context) {
    if (!context || ContextOf(hwnd) != context) return FALSE;
    if (std::exchange(context->cancelPending, false))
        if (platform::DisplayBackend* backend = platform::ChosenBackend()) backend->CancelComposition(hwnd);
    return TRUE;
}

BOOL ImmGetOpenStatus(HIMC context) {
    return context ? context->open : FALSE;
}

BOOL ImmSetOpenStatus(HIMC context, BOOL open) {
    if (!context) return FALSE;
    open = open ? TRUE : FALSE;
    if (context->open == open) return TRUE;
    context->open = open;
    RefreshTextInput(context->hwnd);
    Queue(ImeEvent{ImeEvent::OpenStatus, context->hwnd, {}, {}, 0, open != FALSE, false});
    return TRUE;
}

LONG ImmGetCompositionStringA(HIMC context, DWORD index, void* buf, DWORD bufLen) {
    if (!context) return IMM_ERROR_GENERAL;
    switch (index) {
    case GCS_COMPSTR:
        return CopyOut(context->comp, WholeCharBytes(context->comp, bufLen), buf, bufLen);
    case GCS_COMPATTR:
        return CopyOut(context->attrs, WholeCharBytes(context->comp, bufLen), buf, bufLen);
    case GCS_CURSORPOS:
        return context->cursor;
    case GCS_RESULTSTR:
        return CopyOut(context->result, WholeCharBytes(context->result, bufLen), buf, bufLen);
    default:
        return IMM_ERROR_GENERAL;
    }
}

BOOL ImmSetCompositionStringA(HIMC context, DWORD index, const void* comp, DWORD compLen, const void*,
                              DWORD) {
    if (!context || (!comp && compLen)) return FALSE;
    const char* bytes = static_cast<const char*>(comp);
    if (index == SCS_SETSTR) {
        context->comp.assign(bytes, compLen);
        context->attrs.assign(compLen, static_cast<char>(ATTR_INPUT));
        context->cursor = static_cast<LONG>(compLen);
        context->composing = context->composing || compLen > 0;
        // Text set after a cancel (a composition cut short) cannot be handed to the system's input
        // method. Were its composition cleared, the user would lose it all: it keeps what it holds
        // instead, and its next change replaces the text set here.
        if (compLen > 0) context->cancelPending = false;
        return TRUE;
    }
    if (index == SCS_CHANGEATTR) {
        if (compLen != context->comp.size()) return FALSE;
        context->attrs.assign(bytes, compLen);
        return TRUE;
    }
    return FALSE;
}

BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD) {
    if (!context || action != NI_COMPOSITIONSTR || index != CPS_CANCEL) return FALSE;
    ClearComposition(context);
    context->cancelPending = true;
    return TRUE;
}

namespace platform {

bool DeliverImeComposition(HWND hwnd, const std::string& utf8, int start, int length) {
    if (!IsTextInputOn(hwnd)) return false;
    ImeEvent e{ImeEvent::Composition, hwnd, {}, {}, 0, false, false};
    // The clause from start to start + length is the one being converted; while there is one, the
    // rest is converted too, else all of it is still input.
    const std::vector<std::string> chars = Utf8ToSjisChars(utf8);
    const long long clauseEnd = static_cast<long long>(start) + std::max(length, 0);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const long long at = static_cast<long long>(i);
        if (at == start) e.cursor = static_cast<LONG>(e.text.size());
        BYTE attr = length > 0 ? ATTR_CONVERTED : ATTR_INPUT;
        if (at >= start && at < clauseEnd) attr = ATTR_TARGET_CONVERTED;
        e.text += chars[i];
        e.attrs.append(chars[i].size(), static_cast<char>(attr));
    }
    if (start >= static_cast<long long>(chars.size())) e.cursor = static_cast<LONG>(e.text.size());
    return Queue(std::move(e));
}

bool DeliverImeResult(HWND hwnd, const std::string& utf8) {
    if (!IsTextInputOn(hwnd)) return false;
    return Queue(ImeEvent{ImeEvent::Result, hwnd, Utf8ToSjis(utf8), {}, 0, false, false});
}

bool DeliverImeOpenStatus(HWND hwnd, bool open) {
    if (!IsWindow(hwnd) || !IsImeEnabled(hwnd) || !ImmGetContext(hwnd)) return false;
    return Queue(ImeEvent{ImeEvent::OpenStatus, hwnd, {}, {}, 0, open, true});
}

bool IsTextInputOn(HWND hwnd) {
    auto it = g_TextInputOn.find(hwnd);
    return it != g_TextInputOn.end() && it->second;
}

void DispatchImeEvent(const MSG& msg) {
    auto it = g_Events.find(msg.lParam);
    if (it == g_Events.end()) return;
    const ImeEvent e = std::move(it->second);
    g_Events.erase(it);
    if (HIMC context = ContextOf(e.hwnd)) Apply(context, e);
}

void OnImeEnableChanged(HWND hwnd) {
    // A window that no longer wants the input method drops what was composed, unheard.
    if (!IsImeEnabled(hwnd))
        if (HIMC context = ContextOf(hwnd)) {
            ClearComposition(context);
            context->composing = false;
        }
    RefreshTextInput(hwnd);
}

void ForgetImeContext(HWND hwnd) {
    g_Contexts.erase(hwnd);
    g_TextInputOn.erase(hwnd);
    std::erase_if(g_Events, [hwnd](const auto& entry) { return entry.second.hwnd == hwnd; });
}

namespace testing {
bool DeliverImeCompositionBytes(HWND hwnd, const std::string& sjis, const std::string& attrs, LONG cursor) {
    return IsTextInputOn(hwnd) &&
           Queue(ImeEvent{ImeEvent::Composition, hwnd, sjis, attrs, cursor, false, false});
}
bool DeliverImeResultBytes(HWND hwnd, const std::string& sjis) {
    return IsTextInputOn(hwnd) && Queue(ImeEvent{ImeEvent::Result, hwnd, sjis, {}, 0, false, false});
}
bool IsTextInputActive() {
    return TheHeadlessBackend().TextInput();
}
int TakeImeCancelCount() {
    return TheHeadlessBackend().TakeCancels();
}
void SetImeAvailable(bool available) {
    g_ImeAvailable = available;
}
} // namespace testing
} // namespace platform
