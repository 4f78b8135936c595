#include "sound/DSBCStaticWave.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"
#include "sound/WaveInfo.h"

CDSBCStaticWave::CDSBCStaticWave() : m_DataStart(0), m_DataEnd(0) {}

CDSBCStaticWave::~CDSBCStaticWave() {
    Release();
}

int CDSBCStaticWave::LoadSoundInfo(std::FILE* file, DWORD size) {
    WaveDataInfo info{};
    if (!ReadWaveInfo(m_File, file, size, "CDSBCStaticWave::LoadSoundInfo", &m_Format, &info)) return 0;
    m_DataSize = info.dataSize;
    m_DataStart = info.dataStart;
    m_DataEnd = info.dataEnd;
    m_Length = info.lengthMs;
    return 1;
}

void CDSBCStaticWave::ResetInfo() {
    m_DataStart = 0;
    m_DataEnd = 0;
}

void CDSBCStaticWave::CloseFile() {
    m_File.Close();
}

int CDSBCStaticWave::LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE*, DWORD) {
    // The read stops at the end of the entry: an aligned size may reach a little past the data.
    return _LoadWholeSound(
        mainFile, mainSize, "CDSBCStaticWave::LoadSound", kMsgWaveRead, [&](BYTE* memory, DWORD n) {
            return m_File.Seek(static_cast<LONG>(m_DataStart), 0) && m_File.Read(memory, n);
        });
}
