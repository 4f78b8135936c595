// What the streamed WAVE and Ogg controllers share: the entries of the intro and main parts, the
// 352,800-byte ring of 16 segments, its prefill and the refill step the worker runs every interval.
// The two classes differ only in how they read their parts.
#pragma once

#include "files/FileCtrl.h"
#include "sound/DSoundBufferCtrlBase.h"

class CDSBCStreamBase : public CDSoundBufferCtrlBase {
  public:
    // Keeps the entries; nothing is read before the first play. 0 without a main entry.
    int LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) override;
    // Opens the parts again and prefills the ring: every play starts the sound from its beginning.
    int PrepareToPlay() override;
    void ResetInfo() override;

    // Which part the next step reads from (tests).
    bool IsIntroStep() const { return m_Step == Step::Intro; }
    DWORD IsAllWritten() const { return m_bAllWritten; }

  protected:
    enum class Step { Intro, Loop };

    explicit CDSBCStreamBase(const char* className);

    // n bytes of the part into `out`: the count delivered, or -1 when a read failed.
    virtual LONG _ReadDataFromIntro(BYTE* out, DWORD n) = 0;
    virtual LONG _ReadDataFromLoop(BYTE* out, DWORD n) = 0;
    // Called once both parts are known and the intro window is made (Ogg: the decoders). 0 fails.
    virtual int _OpenParts(bool withIntro) { return 1; }
    // Places the windows at their data before the prefill (WAVE).
    virtual void _PositionParts(bool withIntro) {}
    // Whether an intro in another format than its main part refuses the stream.
    virtual bool _FormatsMustMatch() const = 0;
    // The message of a failed prefill read.
    virtual const char* _ReadFailMessage() const = 0;
    // Clears what the class adds to the stream state.
    virtual void _ResetStreamState() {}

    int _LoadSoundInfoFromIntro();
    int _LoadSoundInfoFromLoop();
    // One thread step: refills every segment the play cursor has left behind.
    int _StreamingStep();
    // The streaming step's closing lines, for OnStreaming.
    int _FinishStreaming(int result);

    // "class::method" into a buffer of the object.
    const char* _Tag(const char* method);

    const char* m_ClassName;
    CFileCtrl m_IntroFile;
    CFileCtrl m_MainFile;
    std::FILE* m_pIntroEntry;
    DWORD m_IntroSize;
    std::FILE* m_pMainEntry;
    DWORD m_MainSize;
    BYTE m_Staging[kSegmentSize];
    DWORD m_MainStart;
    DWORD m_MainEnd;
    DWORD m_IntroStart;
    DWORD m_IntroEnd;
    DWORD m_bAllWritten;
    DWORD m_bHasIntro;
    DWORD m_bLoopEnded;
    Step m_Step;

  private:
    int _PrepareRing(const char* tag);
    // Steps 4 to 8 of a refill for the segment m_WriteSegment: 1 on, 0 ends the thread.
    int _FillSegment();
    int _SegmentOf(DWORD cursor) const;
    char m_TagBuffer[96];
};
