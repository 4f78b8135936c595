// An Ogg Vorbis sound decoded whole into one buffer.
#pragma once

#include "files/FileCtrl.h"
#include "sound/DSoundBufferCtrlBase.h"
#include "sound/OggCallbacks.h"

class CDSBCStaticOgg : public CDSoundBufferCtrlBase {
  public:
    CDSBCStaticOgg();
    ~CDSBCStaticOgg() override;

    // The Ogg information of the entry: 16-bit PCM at the stream's rate, its decoded size.
    int LoadSoundInfo(std::FILE* file, DWORD size) override;
    void ResetInfo() override;
    void CloseFile() override;
    int PrepareToPlay() override { return 1; }
    // Decodes the whole entry into one buffer; the intro arguments are not used.
    int LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) override;

    int _GetOggInfo(WAVEFORMATEX* format, DWORD* bytes, DWORD* milliseconds);

  protected:
    // n bytes of 16-bit samples from the start of the entry; a stream that ends early leaves the
    // rest as it was, a decode error fails.
    int _DecodeAll(BYTE* out, DWORD n);

    CFileCtrl m_File;
    ov_callbacks m_Callbacks;
    DWORD m_DataStart;
    DWORD m_DataEnd;
};
