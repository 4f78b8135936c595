// The run state shared across subsystems: skip and auto mode, the read-skip and Ctrl flags, the movie
// and error-stop flags, the dialog answer, the replay scene, the current script position for the
// error log, the display's DirectDraw object and the screen rectangle.
#pragma once

#include "platform/base.h"

struct IDirectDraw;

void SetSkipMode(DWORD on);
void SetAutoMode(DWORD on);
BOOL IsAutoMode();
// Skip mode or the already-read flag: text shows at once and transitions are skipped.
BOOL IsSkipping();
// which 1: skip or auto; any other value: skip alone.
BOOL GetSkipAutoFlags(int which);
void ClearSkipAuto();

void SetCtrlKeyDown(BYTE down);
BOOL IsCtrlKeyDown();
void SetReadSkip(BYTE on);
BOOL IsReadSkip();
void SetMoviePlaying(BYTE on);
BOOL IsMoviePlaying();
// Set by ReportError; never cleared while the program runs.
BOOL IsErrorStop();
void SetErrorStop();

void SetDialogResult(DWORD result);
DWORD GetDialogResult();
void SetReplaySceneNo(DWORD no);
DWORD GetReplaySceneNo();

// Copies at most 31 characters.
void SetScriptName(const char* name);
const char* GetScriptName();
void SetScriptLine(DWORD line);
DWORD GetScriptLine();

void SetDirectDraw(IDirectDraw* dd);
IDirectDraw* GetDirectDraw();

const RECT* GetScreenRect();
const SIZE* GetScreenSize();

// Host commands fill and clear these slots; nothing in the program draws them.
struct DebugWatchEntry {
    char name[16];
    DWORD isInteger;
    void* value;
    LONG x;
    LONG y;
};
inline constexpr int kDebugWatchSlots = 16;
void DebugWatchSet(int n, const DebugWatchEntry* entry);
void DebugWatchRemove(int n);
void DebugWatchClear();
// The entry in slot n when it is used, else null.
const DebugWatchEntry* DebugWatchGet(int n);

// Puts every flag back to its start value (a test runs several starts in one process).
void ResetRunState();
