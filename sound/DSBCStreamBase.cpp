#include "sound/DSBCStreamBase.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"

#include <cstring>

CDSBCStreamBase::CDSBCStreamBase(const char* className)
    : m_ClassName(className), m_pIntroEntry(nullptr), m_IntroSize(0), m_pMainEntry(nullptr),
      m_MainSize(0), m_Staging{}, m_MainStart(0), m_MainEnd(0), m_IntroStart(0), m_IntroEnd(0),
      m_bAllWritten(0), m_bHasIntro(0), m_bLoopEnded(0), m_Step(Step::Loop), m_TagBuffer{} {}

const char* CDSBCStreamBase::_Tag(const char* method) {
    std::snprintf(m_TagBuffer, sizeof m_TagBuffer, "%s::%s", m_ClassName, method);
    return m_TagBuffer;
}

void CDSBCStreamBase::ResetInfo() {
    m_pIntroEntry = nullptr;
    m_IntroSize = 0;
    m_pMainEntry = nullptr;
    m_MainSize = 0;
    std::memset(m_Staging, 0, sizeof m_Staging);
    m_MainStart = m_MainEnd = m_IntroStart = m_IntroEnd = 0;
    m_bAllWritten = 0;
    m_bHasIntro = 0;
    m_bLoopEnded = 0;
    m_Step = Step::Loop;
    _ResetStreamState();
}

int CDSBCStreamBase::LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) {
    Release();
    if (!mainFile || mainSize == 0) return 0;
    Lock();
    m_bHasIntro = introFile && introSize ? 1 : 0;
    m_pMainEntry = mainFile;
    m_MainSize = mainSize;
    m_pIntroEntry = introFile;
    m_IntroSize = introSize;
    Unlock();
    return 1;
}

int CDSBCStreamBase::PrepareToPlay() {
    Lock();
    // Closing the windows puts every entry back at its first byte, where the windows of this play
    // start; a previous play may have left them anywhere.
    CloseFile();
    const int result = m_bHasIntro == 1 ? _LoadSoundInfoFromIntro() : _LoadSoundInfoFromLoop();
    Unlock();
    return result;
}

int CDSBCStreamBase::_LoadSoundInfoFromIntro() {
    if (!LoadSoundInfo(m_pIntroEntry, m_IntroSize)) return 0;
    m_IntroStart = m_MainStart;
    m_IntroEnd = m_MainEnd;
    const WAVEFORMATEX introFormat = m_Format;
    const DWORD introLength = m_Length;
    std::memset(&m_Format, 0, sizeof m_Format);
    if (!LoadSoundInfo(m_pMainEntry, m_MainSize)) return 0;
    const WAVEFORMATEX& f = m_Format;
    if (introFormat.wFormatTag != f.wFormatTag || introFormat.nChannels != f.nChannels ||
        introFormat.nSamplesPerSec != f.nSamplesPerSec || introFormat.nAvgBytesPerSec != f.nAvgBytesPerSec ||
        introFormat.nBlockAlign != f.nBlockAlign || introFormat.wBitsPerSample != f.wBitsPerSample) {
        ErrorLog(_Tag("_LoadSoundInfoFromIntro"), "%s", kMsgIntroFormat);
        if (_FormatsMustMatch()) return 0;
    }
    m_Length += introLength;
    if (!m_IntroFile.Assign(m_pIntroEntry, static_cast<LONG>(m_IntroSize))) return 0;
    if (!_OpenParts(true)) {
        Release();
        return 0;
    }
    m_Step = Step::Intro;
    return _PrepareRing("_LoadSoundInfoFromIntro");
}

int CDSBCStreamBase::_LoadSoundInfoFromLoop() {
    if (!LoadSoundInfo(m_pMainEntry, m_MainSize)) return 0;
    if (!_OpenParts(false)) {
        Release();
        return 0;
    }
    m_Step = Step::Loop;
    return _PrepareRing("_LoadSoundInfoFromLoop");
}

int CDSBCStreamBase::_PrepareRing(const char* method) {
    const bool withIntro = m_Step == Step::Intro;
    DWORD n = kRingSize;
    m_bStreaming = 1;
    m_LastSegment = kSegmentCount - 1;
    m_WriteSegment = 0;
    // The stream state starts afresh with every play, or a stream that once ended would stay ended.
    m_bAllWritten = 0;
    m_bLoopEnded = 0;
    _ResetStreamState();
    n = _AlignToBlock(n, _Tag(method));
    if (!_CreateBuffer(n, &m_Format)) {
        ErrorLog(_Tag(method), "%s", kMsgBufferCreate);
        Release();
        return 0;
    }
    m_BufferSize = n;
    void* memory = nullptr;
    DWORD locked = 0;
    if (FAILED(m_pBuffer->Lock(0, 0, &memory, &locked, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        ErrorLog(_Tag(method), "%s", kMsgBufferLock);
        Release();
        return 0;
    }
    if (locked != n) {
        ErrorLog(_Tag(method), "%s", kMsgLockSize);
        n = locked;
    }
    auto* ring = static_cast<BYTE*>(memory);
    std::memset(ring, _SilenceByte(), n);
    _PositionParts(withIntro);
    LONG r = 0;
    if (withIntro) r = _ReadDataFromIntro(ring, n);
    if (r >= 0 && static_cast<DWORD>(r) < n) {
        const LONG rest = _ReadDataFromLoop(ring + r, n - static_cast<DWORD>(r));
        if (rest < 0) r = -1;
        m_Step = Step::Loop;
    }
    if (r < 0) {
        ErrorLog(_Tag(method), "%s", _ReadFailMessage());
        m_pBuffer->Unlock(memory, locked, nullptr, 0);
        Release();
        return 0;
    }
    if (FAILED(m_pBuffer->Unlock(memory, locked, nullptr, 0))) {
        ErrorLog(_Tag(method), "%s", kMsgBufferUnlock);
        Release();
        return 0;
    }
    return 1;
}

int CDSBCStreamBase::_SegmentOf(DWORD cursor) const {
    for (int i = kSegmentCount - 1; i > 0; --i)
        if (cursor >= m_SegmentStart[i]) return i;
    return 0;
}

int CDSBCStreamBase::_StreamingStep() {
    const char* method = m_Step == Step::Intro ? "_StreamingReadDataFromIntro" : "_StreamingReadDataFromLoop";
    if (m_bStreaming != 1) {
        ErrorLog(_Tag(method), "%s", kMsgNotStreaming);
        return 0;
    }
    if (!m_pBuffer) {
        ErrorLog(_Tag(method), "%s", kMsgNoBuffer);
        return 0;
    }
    DWORD cursor = 0;
    if (FAILED(m_pBuffer->GetCurrentPosition(&cursor, nullptr))) {
        ErrorLog(_Tag(method), "%s", kMsgPosition);
        return 0;
    }
    // Every segment between the write segment and the one under the cursor has been played: a
    // step that comes late refills them all, or the ring would play them again a turn later.
    const int playing = _SegmentOf(cursor);
    while (m_WriteSegment != playing) {
        if (!_FillSegment()) return 0;
    }
    return 1;
}

int CDSBCStreamBase::_FillSegment() {
    const int next = (m_WriteSegment + 1) & (kSegmentCount - 1);
    std::memset(m_Staging, _SilenceByte(), kSegmentSize);
    const char* method;
    if (m_Step == Step::Intro) {
        method = "_StreamingReadDataFromIntro";
        const LONG r = _ReadDataFromIntro(m_Staging, kSegmentSize);
        if (r < 0) return 0;
        if (static_cast<DWORD>(r) < kSegmentSize) {
            if (_ReadDataFromLoop(m_Staging + r, kSegmentSize - static_cast<DWORD>(r)) < 0) return 0;
            m_Step = Step::Loop;
        }
        m_LastSegment = m_WriteSegment;
    } else {
        method = "_StreamingReadDataFromLoop";
        const LONG r = _ReadDataFromLoop(m_Staging, kSegmentSize);
        if (r < 0) return 0;
        if (r >= 1) {
            m_LastSegment = m_WriteSegment;
        } else if (next == m_LastSegment) {
            if (!m_bAllWritten) {
                Trace("%s -> %s", _Tag(method), kMsgAllWritten);
                m_LastSegment = (m_LastSegment - 1) & (kSegmentCount - 1);
                m_bAllWritten = 1;
            } else {
                Trace("%s -> %s", _Tag(method), kMsgWriteDone);
                m_pBuffer->Stop();
                return 0;
            }
        }
    }
    void* memory = nullptr;
    DWORD locked = 0;
    if (FAILED(m_pBuffer->Lock(m_SegmentStart[m_WriteSegment], kSegmentSize, &memory, &locked, nullptr,
                               nullptr, 0))) {
        ErrorLog(_Tag(method), "%s", kMsgDsbLock);
        return 0;
    }
    if (locked < kSegmentSize) ErrorLog(_Tag(method), "%s", kMsgDsbLockSize);
    std::memcpy(memory, m_Staging, locked < kSegmentSize ? locked : kSegmentSize);
    if (FAILED(m_pBuffer->Unlock(memory, locked, nullptr, 0))) {
        ErrorLog(_Tag(method), "%s", kMsgDsbUnlock);
        return 0;
    }
    m_WriteSegment = (m_WriteSegment + 1) & (kSegmentCount - 1);
    return 1;
}

int CDSBCStreamBase::_FinishStreaming(int result) {
    if (result != 0) return result;
    if (!m_bAllWritten)
        ErrorLog(_Tag("OnStreaming"), "%s", kMsgStreamRead);
    else
        Trace("%s -> %s", _Tag("OnStreaming"), kMsgStreamEnd);
    return 0;
}
