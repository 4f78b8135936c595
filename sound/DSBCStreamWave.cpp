#include "sound/DSBCStreamWave.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"
#include "sound/WaveInfo.h"

CDSBCStreamWave::CDSBCStreamWave() : CDSBCStreamBase("CDSBCStreamWave") {}

CDSBCStreamWave::~CDSBCStreamWave() {
    // The thread must be gone before this part of the object is.
    Release();
}

int CDSBCStreamWave::LoadSoundInfo(std::FILE* file, DWORD size) {
    WaveDataInfo info{};
    if (!ReadWaveInfo(m_MainFile, file, size, "CDSBCStreamWave::LoadSoundInfo", &m_Format, &info)) return 0;
    m_DataSize = info.dataSize;
    m_MainStart = info.dataStart;
    m_MainEnd = info.dataEnd;
    m_Length = info.lengthMs;
    return 1;
}

void CDSBCStreamWave::CloseFile() {
    m_IntroFile.Close();
    m_MainFile.Close();
}

int CDSBCStreamWave::OnStreaming() {
    return _FinishStreaming(_StreamingStep());
}

const char* CDSBCStreamWave::_ReadFailMessage() const {
    return kMsgWaveRead;
}

void CDSBCStreamWave::_PositionParts(bool withIntro) {
    m_MainFile.Seek(static_cast<LONG>(m_MainStart), 0);
    if (withIntro) m_IntroFile.Seek(static_cast<LONG>(m_IntroStart), 0);
}

LONG CDSBCStreamWave::_ReadDataFromIntro(BYTE* out, DWORD n) {
    const LONG left = static_cast<LONG>(m_IntroEnd) - m_IntroFile.Tell();
    if (left > static_cast<LONG>(n)) return m_IntroFile.Read(out, n) ? static_cast<LONG>(n) : -1;
    if (left >= 1) {
        if (!m_IntroFile.Read(out, static_cast<DWORD>(left))) return -1;
        Trace("CDSBCStreamWave::_ReadDataFromIntro -> %s", kMsgIntroEnd);
        return left;
    }
    return 0;
}

LONG CDSBCStreamWave::_ReadDataFromLoop(BYTE* out, DWORD n) {
    if (m_bLoopEnded) return 0;
    DWORD done = 0;
    while (done < n) {
        const DWORD wanted = n - done;
        const LONG left = static_cast<LONG>(m_MainEnd) - m_MainFile.Tell();
        if (left > static_cast<LONG>(wanted)) {
            if (!m_MainFile.Read(out + done, wanted)) return -1;
            done += wanted;
            break;
        }
        if (left > 0) {
            if (!m_MainFile.Read(out + done, static_cast<DWORD>(left))) return -1;
            done += static_cast<DWORD>(left);
        }
        // A main part without data would be sought back to its start for ever: it has ended.
        if (m_bLoop != 1 || m_MainEnd <= m_MainStart) {
            m_bLoopEnded = 1;
            break;
        }
        m_MainFile.Seek(static_cast<LONG>(m_MainStart), 0);
        ErrorLog("CDSBCStreamWave::_ReadDataFromLoop", "%s", kMsgWaveSeekTop);
    }
    return static_cast<LONG>(done);
}
