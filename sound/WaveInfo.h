// The RIFF WAVE chunk walk shared by the whole and the streamed WAVE controllers.
#pragma once

#include "files/FileCtrl.h"
#include "platform/dsound.h"

#include <cstdio>

struct WaveDataInfo {
    DWORD dataSize;
    DWORD dataStart; // positions in the window
    DWORD dataEnd;
    DWORD lengthMs;
};

// Makes `window` over (file, size) and walks its chunks up to "data": the "fmt " body goes into
// *format (fields the body does not reach keep their value). A format that cannot be played as PCM
// (tag 1, 1 or more channels, 8 or 16 bits, block align = channels x bits / 8, a byte rate) is
// refused, and the data size is held to what the window holds. On success the window stays open;
// every failure is logged with `tag` and closes it.
int ReadWaveInfo(CFileCtrl& window, std::FILE* file, DWORD size, const char* tag, WAVEFORMATEX* format,
                 WaveDataInfo* info);
