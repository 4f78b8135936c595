#include "sound/WaveInfo.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
constexpr DWORD Tag(const char (&s)[5]) {
    return static_cast<DWORD>(static_cast<BYTE>(s[0])) | static_cast<DWORD>(static_cast<BYTE>(s[1])) << 8 |
           static_cast<DWORD>(static_cast<BYTE>(s[2])) << 16 |
           static_cast<DWORD>(static_cast<BYTE>(s[3])) << 24;
}

DWORD Left(CFileCtrl& window) {
    const LONG size = window.GetSize();
    const LONG pos = window.Tell();
    return size < 0 || pos < 0 || pos > size ? 0 : static_cast<DWORD>(size - pos);
}

// Exactly n bytes, or nothing at all.
bool ReadExact(CFileCtrl& window, void* out, DWORD n) {
    return n == 0 || (Left(window) >= n && window.Read(out, n));
}

bool ReadSize(CFileCtrl& window, DWORD* size) {
    BYTE b[4];
    if (!ReadExact(window, b, 4)) return false;
    *size = static_cast<DWORD>(b[0]) | static_cast<DWORD>(b[1]) << 8 | static_cast<DWORD>(b[2]) << 16 |
            static_cast<DWORD>(b[3]) << 24;
    return true;
}

bool Playable(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels >= 1 &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 && f.nAvgBytesPerSec != 0;
}

int Refuse(CFileCtrl& window, const char* tag, const char* message) {
    ErrorLog(tag, "%s", message);
    window.Close();
    return 0;
}

int RefuseFormat(CFileCtrl& window, const char* tag, const WAVEFORMATEX& f) {
    ErrorLog(tag, kMsgFormatTag, static_cast<long>(f.wFormatTag));
    window.Close();
    return 0;
}
} // namespace

int ReadWaveInfo(CFileCtrl& window, std::FILE* file, DWORD size, const char* tag, WAVEFORMATEX* format,
                 WaveDataInfo* info) {
    if (!window.Assign(file, static_cast<LONG>(size))) {
        ErrorLog(tag, "%s", kMsgFileOpen);
        return 0;
    }
    window.Seek(0, 0);
    DWORD riffSize = 0;
    if (window.ReadTag() != Tag("RIFF") || !ReadSize(window, &riffSize))
        return Refuse(window, tag, kMsgNotSound);
    if (window.ReadTag() != Tag("WAVE")) return Refuse(window, tag, kMsgNoWave);
    for (;;) {
        // Read as a number of its own: an id of four NUL bytes is a chunk like any other, and only a
        // window with fewer than four bytes left ends the walk.
        DWORD id = 0;
        DWORD chunkSize = 0;
        if (!ReadSize(window, &id) || !ReadSize(window, &chunkSize)) return Refuse(window, tag, kMsgChunkTag);
        if (id == Tag("fmt ")) {
            if (chunkSize > sizeof(WAVEFORMATEX)) {
                ReadExact(window, format, sizeof(WAVEFORMATEX));
                return RefuseFormat(window, tag, *format);
            }
            if (!ReadExact(window, format, chunkSize)) return Refuse(window, tag, kMsgChunkTag);
            if (format->wFormatTag != WAVE_FORMAT_PCM) return RefuseFormat(window, tag, *format);
        } else if (id == Tag("data")) {
            // Without a usable "fmt " before it there is nothing to play the data with, and the
            // byte rate divides below.
            if (!Playable(*format)) return RefuseFormat(window, tag, *format);
            info->dataStart = static_cast<DWORD>(window.Tell());
            // A size that claims more than the entry holds is held to the entry.
            info->dataSize = std::min(chunkSize, Left(window));
            info->dataEnd = info->dataStart + info->dataSize;
            break;
        } else {
            // No pad byte after an odd body. A size past the end ends the walk at the next tag.
            if (chunkSize > Left(window))
                window.Seek(0, 2);
            else
                window.Seek(static_cast<LONG>(chunkSize), 1);
        }
    }
    const std::uint64_t bps = format->nAvgBytesPerSec;
    info->lengthMs = static_cast<DWORD>((static_cast<std::uint64_t>(info->dataSize) * 1000 + bps - 1) / bps);
    return 1;
}
