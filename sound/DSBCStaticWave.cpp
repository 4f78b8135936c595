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
    static const char* const kTag = "CDSBCStaticWave::LoadSound";
    Release();
    Lock();
    if (!LoadSoundInfo(mainFile, mainSize)) {
        Unlock();
        Release();
        return 0;
    }
    DWORD n = _AlignToBlock(m_DataSize, kTag);
    if (!_CreateBuffer(n, &m_Format)) {
        ErrorLog(kTag, "%s", kMsgBufferCreate);
        Unlock();
        Release();
        return 0;
    }
    m_BufferSize = n;
    void* memory = nullptr;
    DWORD locked = 0;
    if (FAILED(m_pBuffer->Lock(0, 0, &memory, &locked, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        ErrorLog(kTag, "%s", kMsgBufferLock);
        Unlock();
        Release();
        return 0;
    }
    if (locked != n) {
        ErrorLog(kTag, "%s", kMsgLockSize);
        n = locked;
    }
    // The read stops at the end of the entry: an aligned size may reach a little past the data.
    if (!m_File.Seek(static_cast<LONG>(m_DataStart), 0) || !m_File.Read(memory, n)) {
        ErrorLog(kTag, "%s", kMsgWaveRead);
        m_pBuffer->Unlock(memory, locked, nullptr, 0);
        Unlock();
        Release();
        return 0;
    }
    if (FAILED(m_pBuffer->Unlock(memory, locked, nullptr, 0))) {
        ErrorLog(kTag, "%s", kMsgBufferUnlock);
        Unlock();
        Release();
        return 0;
    }
    Unlock();
    return 1;
}
