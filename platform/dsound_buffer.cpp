#include "platform/dsound_mixer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace platform::dsound {
namespace {
using testing::SoundCall;

std::atomic<int> g_nextVoiceId{1};

class SecondaryBuffer final : public IDirectSoundBuffer {
  public:
    explicit SecondaryBuffer(Voice* voice) : m_Voice(voice) {}

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override {
        const ULONG left = --m_Refs;
        if (left == 0) {
            {
                std::lock_guard<std::mutex> lock(MixerLock());
                RemoveVoice(m_Voice);
            }
            delete m_Voice;
            delete this;
        }
        return left;
    }

    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (ShouldFail(SoundCall::GetPosition)) return DSERR_GENERIC;
        const Voice& v = *m_Voice;
        if (play) *play = v.PlayCursor();
        if (write) {
            // The write cursor runs about 10 ms ahead of the play cursor.
            const DWORD ahead = v.Rate() / 100 + 1;
            *write = static_cast<DWORD>((static_cast<std::uint64_t>(v.frame) + ahead) % v.frames) *
                     v.format.nBlockAlign;
        }
        return DS_OK;
    }

    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        return CopyFormat(m_Voice->format, format, size, written);
    }

    HRESULT GetVolume(LONG* volume) override {
        if (!volume) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        if (!(m_Voice->caps & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
        *volume = m_Voice->volume;
        return DS_OK;
    }

    HRESULT GetPan(LONG* pan) override {
        if (!pan) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        if (!(m_Voice->caps & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
        *pan = m_Voice->pan;
        return DS_OK;
    }

    HRESULT GetFrequency(DWORD* frequency) override {
        if (!frequency) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        if (!(m_Voice->caps & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        *frequency = m_Voice->Rate();
        return DS_OK;
    }

    HRESULT GetStatus(DWORD* status) override {
        if (!status) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (ShouldFail(SoundCall::GetStatus)) return DSERR_GENERIC;
        *status = 0;
        if (m_Voice->playing)
            *status = DSBSTATUS_PLAYING | (m_Voice->looping ? DWORD{DSBSTATUS_LOOPING} : DWORD{0});
        return DS_OK;
    }

    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags) override {
        if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        Voice& v = *m_Voice;
        const DWORD size = static_cast<DWORD>(v.data.size());
        if (flags & DSBLOCK_FROMWRITECURSOR) {
            const DWORD ahead = v.Rate() / 100 + 1;
            offset = static_cast<DWORD>((static_cast<std::uint64_t>(v.frame) + ahead) % v.frames) *
                     v.format.nBlockAlign;
        }
        if (flags & DSBLOCK_ENTIREBUFFER) {
            offset = 0;
            bytes = size;
        }
        if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
        if (ShouldFail(SoundCall::Lock)) return DSERR_GENERIC;
        const DWORD first = std::min(bytes, size - offset);
        *part1 = v.data.data() + offset;
        *bytes1 = first;
        if (part2) *part2 = nullptr;
        if (bytes2) *bytes2 = 0;
        if (first < bytes && part2 && bytes2) {
            *part2 = v.data.data();
            *bytes2 = bytes - first;
        }
        return DS_OK;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (ShouldFail(SoundCall::Play)) return DSERR_GENERIC;
        m_Voice->playing = true;
        m_Voice->looping = (flags & DSBPLAY_LOOPING) != 0;
        return DS_OK;
    }

    HRESULT SetCurrentPosition(DWORD position) override {
        if (ShouldFail(SoundCall::SetPosition)) return DSERR_GENERIC;
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        Voice& v = *m_Voice;
        if (position >= v.data.size()) return DSERR_INVALIDPARAM;
        v.frame = position / v.format.nBlockAlign;
        if (v.frame >= v.frames) v.frame = v.frames - 1;
        v.phase = 0;
        return DS_OK;
    }

    HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

    HRESULT SetVolume(LONG volume) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (!(m_Voice->caps & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        if (ShouldFail(SoundCall::SetVolume)) return DSERR_GENERIC;
        m_Voice->volume = volume;
        m_Voice->UpdateGains();
        return DS_OK;
    }

    HRESULT SetPan(LONG pan) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (!(m_Voice->caps & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
        if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
        m_Voice->pan = pan;
        m_Voice->UpdateGains();
        return DS_OK;
    }

    HRESULT SetFrequency(DWORD frequency) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (!(m_Voice->caps & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        if (frequency != DSBFREQUENCY_ORIGINAL &&
            (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
            return DSERR_INVALIDPARAM;
        m_Voice->frequency = frequency;
        return DS_OK;
    }

    HRESULT Stop() override {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        if (ShouldFail(SoundCall::Stop)) return DSERR_GENERIC;
        m_Voice->playing = false;
        return DS_OK;
    }

    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override {
        std::lock_guard<std::mutex> lock(MixerLock());
        if (ShouldFail(SoundCall::Unlock)) return DSERR_GENERIC;
        if (!Inside(part1, bytes1) || (part2 && !Inside(part2, bytes2))) return DSERR_INVALIDPARAM;
        return DS_OK;
    }

    HRESULT Restore() override { return DS_OK; }

    static HRESULT CopyFormat(const WAVEFORMATEX& from, WAVEFORMATEX* to, DWORD size, DWORD* written) {
        if (!to) {
            if (!written) return DSERR_INVALIDPARAM;
            *written = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        const DWORD n = size < sizeof(WAVEFORMATEX) ? size : static_cast<DWORD>(sizeof(WAVEFORMATEX));
        std::memcpy(to, &from, n);
        if (written) *written = n;
        return DS_OK;
    }

  private:
    ~SecondaryBuffer() override = default;

    bool Inside(const void* p, DWORD n) const {
        const BYTE* b = static_cast<const BYTE*>(p);
        const BYTE* begin = m_Voice->data.data();
        const BYTE* end = begin + m_Voice->data.size();
        return b >= begin && b <= end && n <= static_cast<std::size_t>(end - b);
    }

    std::atomic<ULONG> m_Refs{1};
    Voice* m_Voice;
};
} // namespace

bool IsPlayableFormat(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
    return f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

HRESULT CreateSecondaryBuffer(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
    if (!desc.lpwfxFormat || !IsPlayableFormat(*desc.lpwfxFormat)) return DSERR_BADFORMAT;
    if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    if ((desc.dwFlags & DSBCAPS_LOCHARDWARE) && (desc.dwFlags & DSBCAPS_LOCSOFTWARE))
        return DSERR_INVALIDPARAM;
    if (ShouldFail(SoundCall::CreateBuffer)) return DSERR_GENERIC;
    auto* voice = new (std::nothrow) Voice;
    if (!voice) return DSERR_OUTOFMEMORY;
    try {
        voice->data.assign(desc.dwBufferBytes, 0);
    } catch (const std::bad_alloc&) {
        delete voice;
        return DSERR_OUTOFMEMORY;
    }
    voice->id = g_nextVoiceId++;
    voice->format = *desc.lpwfxFormat;
    voice->format.cbSize = 0;
    voice->caps = desc.dwFlags;
    voice->frames = desc.dwBufferBytes / voice->format.nBlockAlign;
    voice->UpdateGains();
    {
        std::lock_guard<std::mutex> lock(MixerLock());
        CatchUp();
        AddVoice(voice);
    }
    *buffer = new SecondaryBuffer(voice);
    return DS_OK;
}
} // namespace platform::dsound

namespace platform::testing {
std::vector<SoundBufferState> SoundBuffers() {
    std::lock_guard<std::mutex> lock(dsound::MixerLock());
    dsound::CatchUp();
    std::vector<SoundBufferState> out;
    for (const dsound::Voice* v : dsound::VoicesLocked()) {
        out.push_back({v->id, static_cast<DWORD>(v->data.size()), v->format, v->playing, v->looping,
                       v->PlayCursor(), v->volume, v->pan, v->frequency});
    }
    return out;
}
} // namespace platform::testing
