// The scene state record: the calendar, status and grid values the host commands keep up to date,
// and what a save takes from the page's snapshot. A slot file stores it as it lies in memory.
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
#pragma pack(pop)

static_assert(sizeof(SceneStateRecord) == 533);
static_assert(offsetof(SceneStateRecord, status) == 12);
static_assert(offsetof(SceneStateRecord, gridLevels) == 28);
static_assert(offsetof(SceneStateRecord, speakerName) == 52);
static_assert(offsetof(SceneStateRecord, sceneMode) == 139);
static_assert(offsetof(SceneStateRecord, registers) == 149);
static_assert(offsetof(SceneStateRecord, layerName) == 353);
static_assert(offsetof(SceneStateRecord, fontSize) == 523);
