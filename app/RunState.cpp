#include "app/RunState.h"

#include "platform/runtime.h"

#include <cstring>

namespace {
DWORD g_SkipMode = 0;
DWORD g_AutoMode = 0;
BYTE g_bCtrlKeyDown = 0;
BYTE g_bReadSkip = 0;
BYTE g_bMoviePlaying = 0;
BYTE g_bErrorStop = 0;
DWORD g_DialogResult = 0;
DWORD g_ReplaySceneNo = 0;
char g_ScriptName[32] = "";
DWORD g_ScriptLine = 0;
IDirectDraw* g_pDirectDraw = nullptr;

const RECT g_ScreenRect = {0, 0, 640, 480};
const SIZE g_ScreenSize = {640, 480};

struct WatchSlot {
    bool used;
    DebugWatchEntry entry;
};
WatchSlot g_Watch[kDebugWatchSlots];

bool WatchSlotValid(int n) {
    return n >= 0 && n < kDebugWatchSlots;
}
} // namespace

void SetSkipMode(DWORD on) {
    g_SkipMode = on;
}
void SetAutoMode(DWORD on) {
    g_AutoMode = on;
}
BOOL IsAutoMode() {
    return g_AutoMode ? TRUE : FALSE;
}
BOOL IsSkipping() {
    return (g_SkipMode || g_bReadSkip) ? TRUE : FALSE;
}
BOOL GetSkipAutoFlags(int which) {
    if (which == 1) return (g_SkipMode || g_AutoMode) ? TRUE : FALSE;
    return g_SkipMode ? TRUE : FALSE;
}
void ClearSkipAuto() {
    g_bReadSkip = 0;
    g_AutoMode = 0;
    g_SkipMode = 0;
}

void SetCtrlKeyDown(BYTE down) {
    g_bCtrlKeyDown = down;
}
BOOL IsCtrlKeyDown() {
    return g_bCtrlKeyDown ? TRUE : FALSE;
}
void SetReadSkip(BYTE on) {
    g_bReadSkip = on;
}
BOOL IsReadSkip() {
    return g_bReadSkip ? TRUE : FALSE;
}
void SetMoviePlaying(BYTE on) {
    g_bMoviePlaying = on;
}
BOOL IsMoviePlaying() {
    return g_bMoviePlaying ? TRUE : FALSE;
}
BOOL IsErrorStop() {
    return g_bErrorStop ? TRUE : FALSE;
}
void SetErrorStop() {
    g_bErrorStop = 1;
}

void SetDialogResult(DWORD result) {
    g_DialogResult = result;
}
DWORD GetDialogResult() {
    return g_DialogResult;
}
void SetReplaySceneNo(DWORD no) {
    g_ReplaySceneNo = no;
}
DWORD GetReplaySceneNo() {
    return g_ReplaySceneNo;
}

void SetScriptName(const char* name) {
    CopyBounded(g_ScriptName, name ? name : "");
}
const char* GetScriptName() {
    return g_ScriptName;
}
void SetScriptLine(DWORD line) {
    g_ScriptLine = line;
}
DWORD GetScriptLine() {
    return g_ScriptLine;
}

void SetDirectDraw(IDirectDraw* dd) {
    g_pDirectDraw = dd;
}
IDirectDraw* GetDirectDraw() {
    return g_pDirectDraw;
}

const RECT* GetScreenRect() {
    return &g_ScreenRect;
}
const SIZE* GetScreenSize() {
    return &g_ScreenSize;
}

void DebugWatchSet(int n, const DebugWatchEntry* entry) {
    if (!WatchSlotValid(n) || !entry) return;
    WatchSlot& slot = g_Watch[n];
    slot.entry = *entry;
    std::memcpy(slot.entry.name, entry->name, sizeof slot.entry.name - 1);
    slot.entry.name[sizeof slot.entry.name - 1] = '\0';
    slot.used = true;
}

void DebugWatchRemove(int n) {
    if (WatchSlotValid(n)) g_Watch[n] = WatchSlot{};
}

void DebugWatchClear() {
    for (auto& slot : g_Watch)
        slot = WatchSlot{};
}

const DebugWatchEntry* DebugWatchGet(int n) {
    return WatchSlotValid(n) && g_Watch[n].used ? &g_Watch[n].entry : nullptr;
}

void ResetRunState() {
    g_SkipMode = g_AutoMode = 0;
    g_bCtrlKeyDown = g_bReadSkip = g_bMoviePlaying = g_bErrorStop = 0;
    g_DialogResult = g_ReplaySceneNo = 0;
    g_ScriptName[0] = '\0';
    g_ScriptLine = 0;
    g_pDirectDraw = nullptr;
    DebugWatchClear();
}
