// An Ogg Vorbis sound decoded into the ring as it plays: an optional intro part once, then the main part.
#pragma once

#include "sound/DSBCStreamBase.h"
#include "sound/OggCallbacks.h"

class CDSBCStreamOgg : public CDSBCStreamBase {
  public:
    static constexpr int kDecodeSize = 4096;

    CDSBCStreamOgg();
    ~CDSBCStreamOgg() override;

    // The Ogg information of the entry, read through the main window.
    int LoadSoundInfo(std::FILE* file, DWORD size) override;
    void CloseFile() override;
    // The step runs inside a guard: a fault ends the thread instead of the program.
    int OnStreaming() override;

    int _GetOggInfo(WAVEFORMATEX* format, DWORD* bytes, DWORD* milliseconds);

  protected:
    LONG _ReadDataFromIntro(BYTE* out, DWORD n) override;
    LONG _ReadDataFromLoop(BYTE* out, DWORD n) override;
    int _OpenParts(bool withIntro) override;
    bool _FormatsMustMatch() const override { return false; }
    const char* _ReadFailMessage() const override;
    void _ResetStreamState() override;

  private:
    // Copies what the previous decode left over, at most n bytes.
    DWORD _TakeLeftover(BYTE* out, DWORD n);
    // Decodes into out + done until n bytes are there or the decoder gives nothing; the count of
    // the last call that gave nothing, or 1.
    long _Decode(OggVorbis_File* decoder, BYTE* out, DWORD n, DWORD* done);
    void _ClearDecoders();

    OggVorbis_File m_IntroDecoder;
    OggVorbis_File m_MainDecoder;
    bool m_bIntroDecoderOpen;
    bool m_bMainDecoderOpen;
    ov_callbacks m_Callbacks;
    BYTE m_DecodeBuffer[kDecodeSize];
    BYTE* m_pLeftover;
    DWORD m_LeftoverCount;
    // Whether the main decoder gave any sample since it was opened or last sought to its start.
    bool m_bMainGaveData;
};
