// A PCM WAVE sound held whole in one buffer.
#pragma once

#include "files/FileCtrl.h"
#include "sound/DSoundBufferCtrlBase.h"

class CDSBCStaticWave : public CDSoundBufferCtrlBase {
  public:
    CDSBCStaticWave();
    ~CDSBCStaticWave() override;

    // The RIFF walk of the entry: format, data size and the "data" body's place in the window.
    int LoadSoundInfo(std::FILE* file, DWORD size) override;
    void ResetInfo() override;
    void CloseFile() override;
    int PrepareToPlay() override { return 1; }
    // Reads the whole "data" body into one buffer; the intro arguments are not used.
    int LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) override;

    DWORD GetDataStart() const { return m_DataStart; }
    DWORD GetDataEnd() const { return m_DataEnd; }

  protected:
    CFileCtrl m_File;
    DWORD m_DataStart;
    DWORD m_DataEnd;
};
