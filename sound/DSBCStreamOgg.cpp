#include "sound/DSBCStreamOgg.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"

#include <cstring>
#include <exception>

CDSBCStreamOgg::CDSBCStreamOgg()
    : CDSBCStreamBase("CDSBCStreamOgg"), m_IntroDecoder{}, m_MainDecoder{}, m_bIntroDecoderOpen(false),
      m_bMainDecoderOpen(false), m_Callbacks(MakeOggCallbacks()), m_DecodeBuffer{}, m_pLeftover(nullptr),
      m_LeftoverCount(0), m_bMainGaveData(false) {}

CDSBCStreamOgg::~CDSBCStreamOgg() {
    // The thread must be gone, and the decoders cleared, before this part of the object is.
    Release();
    _ClearDecoders();
}

int CDSBCStreamOgg::_GetOggInfo(WAVEFORMATEX* format, DWORD* bytes, DWORD* milliseconds) {
    return ReadOggInfo(&m_MainFile, m_Callbacks, format, bytes, milliseconds);
}

int CDSBCStreamOgg::LoadSoundInfo(std::FILE* file, DWORD size) {
    static const char* const kTag = "CDSBCStreamOgg::LoadSoundInfo";
    if (!m_MainFile.Assign(file, static_cast<LONG>(size))) {
        ErrorLog(kTag, "%s", kMsgFileOpen);
        return 0;
    }
    m_MainFile.Seek(0, 0);
    if (!_GetOggInfo(&m_Format, &m_DataSize, &m_Length)) {
        ErrorLog(kTag, "%s", kMsgNotSound);
        m_MainFile.Close();
        return 0;
    }
    m_MainStart = 0;
    m_MainEnd = static_cast<DWORD>(m_MainFile.GetSize());
    return 1;
}

void CDSBCStreamOgg::_ClearDecoders() {
    if (m_bIntroDecoderOpen) ov_clear(&m_IntroDecoder);
    if (m_bMainDecoderOpen) ov_clear(&m_MainDecoder);
    m_bIntroDecoderOpen = false;
    m_bMainDecoderOpen = false;
}

void CDSBCStreamOgg::CloseFile() {
    _ClearDecoders();
    m_IntroFile.Close();
    m_MainFile.Close();
}

void CDSBCStreamOgg::_ResetStreamState() {
    m_pLeftover = nullptr;
    m_LeftoverCount = 0;
    m_bMainGaveData = false;
}

int CDSBCStreamOgg::_OpenParts(bool withIntro) {
    if (withIntro) {
        m_IntroFile.Seek(static_cast<LONG>(m_IntroStart), 0);
        if (ov_open_callbacks(&m_IntroFile, &m_IntroDecoder, nullptr, 0, m_Callbacks) < 0) return 0;
        m_bIntroDecoderOpen = true;
    }
    m_MainFile.Seek(static_cast<LONG>(m_MainStart), 0);
    if (ov_open_callbacks(&m_MainFile, &m_MainDecoder, nullptr, 0, m_Callbacks) < 0) return 0;
    m_bMainDecoderOpen = true;
    m_bMainGaveData = false;
    return 1;
}

const char* CDSBCStreamOgg::_ReadFailMessage() const {
    return kMsgOggRead;
}

DWORD CDSBCStreamOgg::_TakeLeftover(BYTE* out, DWORD n) {
    if (m_LeftoverCount == 0) return 0;
    const DWORD k = m_LeftoverCount < n ? m_LeftoverCount : n;
    std::memcpy(out, m_pLeftover, k);
    m_pLeftover += k;
    m_LeftoverCount -= k;
    if (m_LeftoverCount == 0) m_pLeftover = nullptr;
    return k;
}

long CDSBCStreamOgg::_Decode(OggVorbis_File* decoder, BYTE* out, DWORD n, DWORD* done) {
    while (*done < n) {
        const long count =
            ov_read(decoder, reinterpret_cast<char*>(m_DecodeBuffer), kDecodeSize, 0, 2, 1, nullptr);
        if (count < 1) return count;
        const DWORD wanted = n - *done;
        if (static_cast<DWORD>(count) > wanted) {
            std::memcpy(out + *done, m_DecodeBuffer, wanted);
            m_pLeftover = m_DecodeBuffer + wanted;
            m_LeftoverCount = static_cast<DWORD>(count) - wanted;
            *done = n;
        } else {
            std::memcpy(out + *done, m_DecodeBuffer, static_cast<std::size_t>(count));
            *done += static_cast<DWORD>(count);
        }
        if (decoder == &m_MainDecoder) m_bMainGaveData = true;
    }
    return 1;
}

LONG CDSBCStreamOgg::_ReadDataFromIntro(BYTE* out, DWORD n) {
    DWORD done = _TakeLeftover(out, n);
    if (done < n && m_bIntroDecoderOpen && _Decode(&m_IntroDecoder, out, n, &done) < 1)
        Trace("CDSBCStreamOgg::_ReadDataFromIntro -> %s", kMsgIntroEnd);
    return static_cast<LONG>(done);
}

LONG CDSBCStreamOgg::_ReadDataFromLoop(BYTE* out, DWORD n) {
    if (m_bLoopEnded) return 0;
    DWORD done = _TakeLeftover(out, n);
    while (done < n && m_bMainDecoderOpen) {
        if (_Decode(&m_MainDecoder, out, n, &done) >= 1) break;
        // A main part that gave nothing since its start would be sought back for ever: it has ended.
        if (m_bLoop != 1 || !m_bMainGaveData) {
            m_bLoopEnded = 1;
            break;
        }
        if (ov_pcm_seek(&m_MainDecoder, 0) != 0) {
            ErrorLog("CDSBCStreamOgg::_ReadDataFromLoop", "%s", kMsgOggSeekFail);
            break;
        }
        ErrorLog("CDSBCStreamOgg::_ReadDataFromLoop", "%s", kMsgOggSeekTop);
        m_bMainGaveData = false;
    }
    return static_cast<LONG>(done);
}

int CDSBCStreamOgg::OnStreaming() {
    int result;
    try {
        result = _StreamingStep();
    } catch (...) {
        // A fault in the decoder ends this stream's thread, not the program.
        ErrorLog("CDSBCStreamOgg::OnStreaming", "%s", kMsgFault);
        return -1;
    }
    return _FinishStreaming(result);
}
