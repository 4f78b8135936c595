// vorbisfile's file access over a file window, and the Ogg Vorbis information every Ogg controller reads.
#pragma once

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "files/FileCtrl.h"
#include "platform/dsound.h"

#include <cstddef>

// The window is the data source of all four.
std::size_t OggReadCallback(void* buffer, std::size_t size, std::size_t count, void* window);
int OggSeekCallback(void* window, ogg_int64_t offset, int origin);
// Rewinds the window; the entry itself belongs to whoever opened it.
int OggCloseCallback(void* window);
long OggTellCallback(void* window);

ov_callbacks MakeOggCallbacks();

// Opens a decoder on `window` (at its start) only to learn the stream: PCM 16 bit at the stream's
// channels and rate, the decoded byte count and the length in milliseconds. 1 or 0.
int ReadOggInfo(CFileCtrl* window, const ov_callbacks& callbacks, WAVEFORMATEX* format, DWORD* bytes,
                DWORD* milliseconds);
