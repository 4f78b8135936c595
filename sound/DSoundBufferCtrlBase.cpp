#include "sound/DSoundBufferCtrlBase.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr DWORD kBufferFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                               DSBCAPS_CTRLFREQUENCY | DSBCAPS_LOCSOFTWARE;
static_assert(kBufferFlags == 0x100E8);
} // namespace

CDSoundBufferCtrlBase::CDSoundBufferCtrlBase() : m_pDirectSound(nullptr), m_pBuffer(nullptr) {
    _ResetParam();
}

CDSoundBufferCtrlBase::~CDSoundBufferCtrlBase() {
    Release();
}

int CDSoundBufferCtrlBase::OnThread() {
    return OnStreaming();
}

void CDSoundBufferCtrlBase::_ResetParam() {
    m_pBuffer = nullptr;
    std::memset(&m_Format, 0, sizeof m_Format);
    m_bLoop = 0;
    m_bStreaming = 0;
    m_Volume = 0;
    m_CurrentVolume = 0;
    m_Pan = 0;
    m_Frequency = 0;
    m_Length = 0;
    m_BufferSize = 0;
    m_DataSize = 0;
    m_LastSegment = -1;
    m_WriteSegment = -1;
    for (int i = 0; i < kSegmentCount; ++i)
        m_SegmentStart[i] = static_cast<DWORD>(i) * kSegmentSize;
    m_RingSize = kRingSize;
}

void CDSoundBufferCtrlBase::_ReleaseBuffer() {
    Lock();
    if (m_pBuffer) {
        m_pBuffer->Release();
        m_pBuffer = nullptr;
    }
    Unlock();
}

int CDSoundBufferCtrlBase::Initialize(IDirectSound* device) {
    if (!device) return 0;
    _ReleaseBuffer();
    Lock();
    _ResetParam();
    m_pDirectSound = device;
    Unlock();
    SetInterval(25);
    return 1;
}

int CDSoundBufferCtrlBase::_CreateBuffer(DWORD size, const WAVEFORMATEX* format) {
    Lock();
    _ReleaseBuffer();
    WAVEFORMATEX wfx = *format;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = size;
    desc.lpwfxFormat = &wfx;
    if (!m_pDirectSound || FAILED(m_pDirectSound->CreateSoundBuffer(&desc, &m_pBuffer, nullptr))) {
        m_pBuffer = nullptr;
        Unlock();
        return 0;
    }
    m_pBuffer->Stop();
    _SetVolume(m_Volume);
    m_pBuffer->SetPan(m_Pan);
    m_pBuffer->SetFrequency(m_Frequency);
    m_pBuffer->SetCurrentPosition(0);
    Unlock();
    return 1;
}

DWORD CDSoundBufferCtrlBase::_AlignToBlock(DWORD n, const char* tag) const {
    const DWORD align = m_Format.nBlockAlign;
    if (align == 0 || n % align == 0) return n;
    Trace("%s -> %s", tag, kMsgAlign);
    return n + (align - n % align);
}

int CDSoundBufferCtrlBase::Play(int loop) {
    // A stream that is still prepared (playing, or ended by its own step) gives up its thread
    // before it is prepared again, so one controller never has two workers.
    if (m_hThread) ThreadRelease();
    Lock();
    m_bLoop = static_cast<DWORD>(loop);
    if (!PrepareToPlay() || !m_pBuffer) {
        Unlock();
        return 0;
    }
    const DWORD flags = (loop == 1 || m_bStreaming) ? DWORD{DSBPLAY_LOOPING} : DWORD{0};
    if (FAILED(m_pBuffer->Play(0, 0, flags))) {
        ErrorLog("CDSoundBufferCtrlBase::Play", "%s", kMsgDsbPlay);
        Unlock();
        Stop();
        return 0;
    }
    const DWORD streaming = m_bStreaming;
    Unlock();
    // The thread starts outside the lock: its first pass takes the lock itself.
    if (streaming && !ThreadCreate()) {
        ErrorLog("CDSoundBufferCtrlBase::Play", "%s", kMsgThreadStart);
        Stop();
        return 0;
    }
    return 1;
}

int CDSoundBufferCtrlBase::Stop() {
    Lock();
    if (!m_pBuffer) {
        Unlock();
        return 0;
    }
    _SetVolume(DSBVOLUME_MIN);
    if (FAILED(m_pBuffer->Stop())) {
        ErrorLog("CDSoundBufferCtrlBase::Stop", "%s", kMsgDsbStop);
        Unlock();
        return 0;
    }
    const DWORD streaming = m_bStreaming;
    Unlock();
    if (streaming) {
        // The wait for the thread happens outside the lock, so that its step can finish.
        if (ThreadRelease()) {
            Lock();
            m_bLoop = 0;
            m_bStreaming = 0;
            Unlock();
        } else {
            ErrorLog("CDSoundBufferCtrlBase::Stop", "%s", kMsgThreadStop);
        }
        // A later play prepares the stream from its beginning.
        _ReleaseBuffer();
    }
    return 1;
}

int CDSoundBufferCtrlBase::Pause() {
    Lock();
    const bool stopped = m_pBuffer && SUCCEEDED(m_pBuffer->Stop());
    if (m_pBuffer && !stopped) ErrorLog("CDSoundBufferCtrlBase::Pause", "%s", kMsgDsbStop);
    // The worker would otherwise go on filling the ring ahead of a cursor that stands still.
    if (stopped && m_bStreaming) CThreadCtrl::Pause();
    Unlock();
    return stopped ? 1 : 0;
}

int CDSoundBufferCtrlBase::Resume() {
    Lock();
    const DWORD flags = (m_bLoop == 1 || m_bStreaming) ? DWORD{DSBPLAY_LOOPING} : DWORD{0};
    const bool played = m_pBuffer && SUCCEEDED(m_pBuffer->Play(0, 0, flags));
    if (m_pBuffer && !played) ErrorLog("CDSoundBufferCtrlBase::Resume", "%s", kMsgDsbPlay);
    if (played && m_bStreaming) CThreadCtrl::Resume();
    Unlock();
    return played ? 1 : 0;
}

int CDSoundBufferCtrlBase::StopAndRewind() {
    if (!Stop()) return 0;
    Lock();
    int result = 1;
    if (m_pBuffer && FAILED(m_pBuffer->SetCurrentPosition(0))) {
        ErrorLog("CDSoundBufferCtrlBase::StopAndRewind", "%s", kMsgDsbRewind);
        result = 0;
    }
    Unlock();
    return result;
}

void CDSoundBufferCtrlBase::Release() {
    Stop();
    Lock();
    CloseFile();
    _ReleaseBuffer();
    ResetInfo();
    _ResetParam();
    Unlock();
}

int CDSoundBufferCtrlBase::CreateSound(const void* data, DWORD size, const WAVEFORMATEX* format) {
    static const char* const kTag = "CDSoundBufferCtrlBase::CreateSound";
    Release();
    if (!data || !format) return 0;
    Lock();
    m_Format = *format;
    m_DataSize = size;
    if (m_Format.nAvgBytesPerSec)
        m_Length =
            static_cast<DWORD>((static_cast<std::uint64_t>(size) * 1000 + m_Format.nAvgBytesPerSec - 1) /
                               m_Format.nAvgBytesPerSec);
    return _FillWholeBuffer(size, kTag, nullptr, [&](BYTE* memory, DWORD n) {
        std::memcpy(memory, data, std::min(n, size));
        return true;
    });
}

int CDSoundBufferCtrlBase::_CreateAndLockWhole(DWORD dataSize, const char* tag, void** memory,
                                               DWORD* locked) {
    DWORD n = _AlignToBlock(dataSize, tag);
    if (!_CreateBuffer(n, &m_Format)) {
        ErrorLog(tag, "%s", kMsgBufferCreate);
        Unlock();
        Release();
        return 0;
    }
    m_BufferSize = n;
    if (FAILED(m_pBuffer->Lock(0, 0, memory, locked, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        ErrorLog(tag, "%s", kMsgBufferLock);
        Unlock();
        Release();
        return 0;
    }
    if (*locked != n) ErrorLog(tag, "%s", kMsgLockSize);
    return 1;
}

int CDSoundBufferCtrlBase::_FinishWholeBuffer(void* memory, DWORD locked, bool filled, const char* tag,
                                              const char* fillFailed) {
    if (!filled) {
        ErrorLog(tag, "%s", fillFailed ? fillFailed : "");
        m_pBuffer->Unlock(memory, locked, nullptr, 0);
        Unlock();
        Release();
        return 0;
    }
    if (FAILED(m_pBuffer->Unlock(memory, locked, nullptr, 0))) {
        ErrorLog(tag, "%s", kMsgBufferUnlock);
        Unlock();
        Release();
        return 0;
    }
    Unlock();
    return 1;
}

int CDSoundBufferCtrlBase::SetVolume(LONG volume) {
    Lock();
    m_Volume = volume;
    const int result = _SetVolume(volume);
    Unlock();
    return result;
}

int CDSoundBufferCtrlBase::_SetVolume(LONG volume) {
    Lock();
    int result = 0;
    if (m_pBuffer && SUCCEEDED(m_pBuffer->SetVolume(volume))) {
        m_CurrentVolume = volume;
        result = 1;
    }
    Unlock();
    return result;
}

LONG CDSoundBufferCtrlBase::GetCurrentVolume() {
    Lock();
    LONG volume = kNoValue;
    if (!m_pBuffer || FAILED(m_pBuffer->GetVolume(&volume))) volume = kNoValue;
    Unlock();
    return volume;
}

LONG CDSoundBufferCtrlBase::GetPan() {
    Lock();
    LONG pan = kNoValue;
    if (!m_pBuffer || FAILED(m_pBuffer->GetPan(&pan))) pan = kNoValue;
    Unlock();
    return pan;
}

int CDSoundBufferCtrlBase::SetPan(LONG pan) {
    Lock();
    m_Pan = pan;
    const int result = m_pBuffer && SUCCEEDED(m_pBuffer->SetPan(pan)) ? 1 : 0;
    Unlock();
    return result;
}

LONG CDSoundBufferCtrlBase::GetFrequency() {
    Lock();
    LONG result = -1;
    if (m_pBuffer) {
        DWORD frequency = 0;
        result = SUCCEEDED(m_pBuffer->GetFrequency(&frequency)) ? static_cast<LONG>(frequency) : kNoValue;
    }
    Unlock();
    return result;
}

int CDSoundBufferCtrlBase::SetFrequency(DWORD frequency) {
    Lock();
    m_Frequency = frequency;
    const int result = m_pBuffer && SUCCEEDED(m_pBuffer->SetFrequency(frequency)) ? 1 : 0;
    Unlock();
    return result;
}

int CDSoundBufferCtrlBase::IsPlaying() {
    Lock();
    DWORD status = 0;
    const int playing =
        m_pBuffer && SUCCEEDED(m_pBuffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) ? 1 : 0;
    Unlock();
    return playing;
}

int CDSoundBufferCtrlBase::IsLoopPlaying() {
    return IsPlaying() && m_bLoop == 1 ? 1 : 0;
}

int CDSoundBufferCtrlBase::IsStreamPlaying() {
    return IsPlaying() && m_bStreaming == 1 ? 1 : 0;
}
