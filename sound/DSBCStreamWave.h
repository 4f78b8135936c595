// A PCM WAVE sound streamed through the ring: an optional intro part once, then the main part.
#pragma once

#include "sound/DSBCStreamBase.h"

class CDSBCStreamWave : public CDSBCStreamBase {
  public:
    CDSBCStreamWave();
    ~CDSBCStreamWave() override;

    // The RIFF walk of the entry, into the main window.
    int LoadSoundInfo(std::FILE* file, DWORD size) override;
    void CloseFile() override;
    int OnStreaming() override;

  protected:
    LONG _ReadDataFromIntro(BYTE* out, DWORD n) override;
    LONG _ReadDataFromLoop(BYTE* out, DWORD n) override;
    void _PositionParts(bool withIntro) override;
    bool _FormatsMustMatch() const override { return true; }
    const char* _ReadFailMessage() const override;
};
