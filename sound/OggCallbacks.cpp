#include "sound/OggCallbacks.h"

#include <cstdint>
#include <cstring>

std::size_t OggReadCallback(void* buffer, std::size_t size, std::size_t count, void* window) {
    auto* w = static_cast<CFileCtrl*>(window);
    if (!w || !buffer || size == 0 || count == 0) return 0;
    const LONG total = w->GetSize();
    const LONG pos = w->Tell();
    if (total < 0 || pos < 0 || pos >= total) return 0;
    const std::size_t left = static_cast<std::size_t>(total - pos);
    std::size_t want = left / size < count ? left / size * size : size * count;
    if (want == 0) {
        // Less than one item is left: vorbisfile asks for single bytes, so this is the end.
        return 0;
    }
    if (!w->Read(buffer, static_cast<DWORD>(want))) return 0;
    return want / size;
}

int OggSeekCallback(void* window, ogg_int64_t offset, int origin) {
    auto* w = static_cast<CFileCtrl*>(window);
    if (!w) return -1;
    return w->Seek(static_cast<LONG>(static_cast<std::uint32_t>(offset & 0xFFFFFFFF)), origin) ? 0 : -1;
}

int OggCloseCallback(void* window) {
    auto* w = static_cast<CFileCtrl*>(window);
    if (w) w->Seek(0, 0);
    return 0;
}

long OggTellCallback(void* window) {
    auto* w = static_cast<CFileCtrl*>(window);
    return w ? w->Tell() : -1;
}

ov_callbacks MakeOggCallbacks() {
    ov_callbacks callbacks;
    callbacks.read_func = OggReadCallback;
    callbacks.seek_func = OggSeekCallback;
    callbacks.close_func = OggCloseCallback;
    callbacks.tell_func = OggTellCallback;
    return callbacks;
}

int ReadOggInfo(CFileCtrl* window, const ov_callbacks& callbacks, WAVEFORMATEX* format, DWORD* bytes,
                DWORD* milliseconds) {
    OggVorbis_File decoder;
    if (ov_open_callbacks(window, &decoder, nullptr, 0, callbacks) < 0) return 0;
    const vorbis_info* vi = ov_info(&decoder, -1);
    const ogg_int64_t samples = ov_pcm_total(&decoder, -1);
    if (!vi || vi->channels < 1 || vi->rate < 1 || samples < 0) {
        // A stream that cannot say how long it is cannot be sized.
        ov_clear(&decoder);
        return 0;
    }
    std::memset(format, 0, sizeof *format);
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = static_cast<WORD>(vi->channels);
    format->nSamplesPerSec = static_cast<DWORD>(vi->rate);
    format->wBitsPerSample = 16;
    format->nBlockAlign = static_cast<WORD>(vi->channels * 2);
    format->nAvgBytesPerSec = static_cast<DWORD>(vi->channels * 2) * static_cast<DWORD>(vi->rate);
    format->cbSize = 0;
    *bytes = static_cast<DWORD>(samples) * static_cast<DWORD>(vi->channels) * 2;
    // The length is a property only; a stream that claims more than 49 days is held there.
    const double ms = (ov_time_total(&decoder, -1) + 0.00055) * 1000.0;
    *milliseconds = ms >= 4294967295.0 ? 0xFFFFFFFFu : ms > 0 ? static_cast<DWORD>(ms) : 0;
    ov_clear(&decoder);
    return 1;
}
