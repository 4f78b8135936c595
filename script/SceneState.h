// The two blobs of a slot file. The scene state record: the calendar, status and grid values the host
// commands keep up to date, and what a save takes from the page's snapshot. The script state: the
// call stack from the bottom to the frame the page began in, the part of the data blob a save keeps,
// and each frame's local area. Both are stored as they lie in memory.
#pragma once

#include "platform/base.h"

#include <bit>
#include <cstddef>

static_assert(std::endian::native == std::endian::little, "the state record is stored as it lies in memory");

#pragma pack(push, 1)
struct SceneStateRecord {
    WORD year; // of the save, local time
    BYTE month;
    BYTE day;
    BYTE hour;
    BYTE minute;
    BYTE calendarSet; // 7 once a calendar day has been set
    BYTE dayTens;     // 0 blank, 1-3
    BYTE dayUnits;    // 0-9
    BYTE dayValue;    // 0-30 for the 1st to the 31st, 255 none
    BYTE weekday;     // 0-9
    BYTE timeOfDay;   // 0-3
    DWORD status[4];
    BYTE gridLevels[23]; // 12 set by one command, 11 by the one that opens the grid
    BYTE unused;
    char speakerName[18];
    char voiceName[18];
    char bgmName[17];
    char loopSEName1[17]; // only while that channel loops
    char loopSEName2[17];
    DWORD sceneMode;
    BYTE windowShown;
    BYTE calendarShown;
    DWORD effect;
    DWORD registers[16];
    LONG layerX[10];
    LONG layerY[10];
    DWORD colorFilter[10];
    BYTE layerVisible[10];  // 255: no picture
    BYTE layerColorKey[10]; // 255: no picture
    char layerName[10][17];
    DWORD fontSize;
    BYTE textColor[3];
    BYTE nameColor[3];
};

// The fixed head of the script state; frameCount ScriptFrameEntry records follow, then the saved part
// of the data blob, then the frames' local areas in frame order.
struct ScriptStateBlob {
    BYTE frameCount;
    DWORD resumePc;
    DWORD totalSize;   // of the whole blob
    DWORD savedOffset; // 17 + 29 x frameCount
    DWORD savedLength; // the script header's saved-area length
};
struct ScriptFrameEntry {
    char blockName[17];
    DWORD localOffset; // in the blob
    DWORD localSize;   // the block record's local-area size
    DWORD returnPc;    // the last frame's is the resume pc
};
#pragma pack(pop)

static_assert(sizeof(SceneStateRecord) == 533);
static_assert(offsetof(SceneStateRecord, calendarSet) == 6);
static_assert(offsetof(SceneStateRecord, status) == 12);
static_assert(offsetof(SceneStateRecord, gridLevels) == 28);
static_assert(offsetof(SceneStateRecord, unused) == 51);
static_assert(offsetof(SceneStateRecord, speakerName) == 52);
static_assert(offsetof(SceneStateRecord, voiceName) == 70);
static_assert(offsetof(SceneStateRecord, bgmName) == 88);
static_assert(offsetof(SceneStateRecord, loopSEName1) == 105);
static_assert(offsetof(SceneStateRecord, loopSEName2) == 122);
static_assert(offsetof(SceneStateRecord, sceneMode) == 139);
static_assert(offsetof(SceneStateRecord, windowShown) == 143);
static_assert(offsetof(SceneStateRecord, effect) == 145);
static_assert(offsetof(SceneStateRecord, registers) == 149);
static_assert(offsetof(SceneStateRecord, layerX) == 213);
static_assert(offsetof(SceneStateRecord, layerY) == 253);
static_assert(offsetof(SceneStateRecord, colorFilter) == 293);
static_assert(offsetof(SceneStateRecord, layerVisible) == 333);
static_assert(offsetof(SceneStateRecord, layerColorKey) == 343);
static_assert(offsetof(SceneStateRecord, layerName) == 353);
static_assert(offsetof(SceneStateRecord, fontSize) == 523);
static_assert(offsetof(SceneStateRecord, nameColor) == 530);
static_assert(sizeof(ScriptStateBlob) == 17);
static_assert(sizeof(ScriptFrameEntry) == 29);
static_assert(offsetof(ScriptFrameEntry, returnPc) == 25);
