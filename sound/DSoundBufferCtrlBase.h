// What every sound buffer controller shares: the device, its one secondary buffer, the format, the
// volume, pan and frequency, the play flags and the geometry of the streaming ring. Every buffer
// operation runs under the lock of the thread part.
#pragma once

#include "platform/dsound.h"
#include "sound/ThreadCtrl.h"

#include <cstdio>

class CDSoundBufferCtrlBase : public CThreadCtrl {
  public:
    static constexpr int kSegmentCount = 16;
    static constexpr DWORD kSegmentSize = 22050;
    static constexpr DWORD kRingSize = kSegmentSize * kSegmentCount; // 352,800 bytes: 2 s at 44.1 kHz stereo

    CDSoundBufferCtrlBase();
    // The thread step: the streaming step of the class.
    int OnThread() override;
    ~CDSoundBufferCtrlBase() override;

    // Reads the format, data size and data position of the entry; each class has its reader.
    virtual int LoadSoundInfo(std::FILE* file, DWORD size) = 0;
    // Clears the class's own file information.
    virtual void ResetInfo() {}
    // Closes the class's own file windows and decoders.
    virtual void CloseFile() {}
    // Makes the buffer ready before each play; 0 refuses the play.
    virtual int PrepareToPlay() { return 0; }
    // One streaming step; 1 goes on, anything else ends the thread.
    virtual int OnStreaming() { return 0; }
    // A whole sound is read now; a streamed one only keeps its entries.
    virtual int LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) = 0;

    int Initialize(IDirectSound* device);
    int Play(int loop);
    int Stop();
    void Release();
    // A whole sound from PCM in memory (the device's silent system sound).
    int CreateSound(const void* data, DWORD size, const WAVEFORMATEX* format);
    // Stops the buffer where it stands; a stream's worker waits with it. 1 or 0.
    int Pause();
    // Plays on from where Pause left the buffer, looping as the last play asked. 1 or 0.
    int Resume();
    // A stop that also puts the play position back to the start (a stream starts there anyway).
    int StopAndRewind();

    LONG GetVolume() const { return m_Volume; }
    // Stores the volume as the requested one and applies it.
    int SetVolume(LONG volume);
    // Applies a volume to the buffer without storing it as requested (fades and mutes).
    int _SetVolume(LONG volume);
    LONG GetCurrentVolume();
    LONG GetPan();
    int SetPan(LONG pan);
    LONG GetFrequency();
    int SetFrequency(DWORD frequency);

    int IsPlaying();
    int IsLoopPlaying();
    int IsStreamPlaying();

    // Read-outs for tests and the device.
    const WAVEFORMATEX& GetFormat() const { return m_Format; }
    DWORD GetDataSize() const { return m_DataSize; }
    DWORD GetBufferSize() const { return m_BufferSize; }
    DWORD GetLength() const { return m_Length; }
    DWORD IsStreaming() const { return m_bStreaming; }

    static constexpr LONG kNoValue = 0x0FFFFFFF;

  protected:
    void _ResetParam();
    int _CreateBuffer(DWORD size, const WAVEFORMATEX* format);
    void _ReleaseBuffer();
    // n raised to whole blocks of the format, with the alignment line of `tag` when it had to be.
    DWORD _AlignToBlock(DWORD n, const char* tag) const;
    // Creates a buffer for `dataSize` bytes in whole blocks, locks all of it and lets `fill` write it.
    // Expects the controller's lock held; on any failure it traces under `tag` (the fill's own failure
    // with `fillFailed`), releases the lock and the controller and returns 0.
    template <class Fill>
    int _FillWholeBuffer(DWORD dataSize, const char* tag, const char* fillFailed, Fill fill);
    // A whole sound: drops what was loaded, reads the file's information, then fills a buffer as
    // _FillWholeBuffer does.
    template <class Fill>
    int _LoadWholeSound(std::FILE* file, DWORD size, const char* tag, const char* fillFailed, Fill fill);
    // Byte of silence for the format: 128 for 8 bit, else 0.
    BYTE _SilenceByte() const { return m_Format.wBitsPerSample == 8 ? 128 : 0; }

    // The non-template part of _FillWholeBuffer: the buffer and its lock, or 0 after cleaning up.
    int _CreateAndLockWhole(DWORD dataSize, const char* tag, void** memory, DWORD* locked);
    // Unlocks after the fill; `filled` false traces `fillFailed`. Releases the lock in every case.
    int _FinishWholeBuffer(void* memory, DWORD locked, bool filled, const char* tag, const char* fillFailed);

    IDirectSound* m_pDirectSound;
    IDirectSoundBuffer* m_pBuffer;
    WAVEFORMATEX m_Format;
    DWORD m_bLoop;
    DWORD m_bStreaming;
    LONG m_Volume;
    LONG m_CurrentVolume;
    LONG m_Pan;
    DWORD m_Frequency;
    DWORD m_Length;
    DWORD m_BufferSize;
    DWORD m_DataSize;
    int m_LastSegment;
    int m_WriteSegment;
    DWORD m_SegmentStart[kSegmentCount];
    DWORD m_RingSize;
};

template <class Fill>
int CDSoundBufferCtrlBase::_FillWholeBuffer(DWORD dataSize, const char* tag, const char* fillFailed,
                                            Fill fill) {
    void* memory = nullptr;
    DWORD locked = 0;
    if (!_CreateAndLockWhole(dataSize, tag, &memory, &locked)) return 0;
    const bool filled = fill(static_cast<BYTE*>(memory), locked);
    return _FinishWholeBuffer(memory, locked, filled, tag, fillFailed);
}

template <class Fill>
int CDSoundBufferCtrlBase::_LoadWholeSound(std::FILE* file, DWORD size, const char* tag,
                                           const char* fillFailed, Fill fill) {
    Release();
    Lock();
    if (!LoadSoundInfo(file, size)) {
        Unlock();
        Release();
        return 0;
    }
    return _FillWholeBuffer(m_DataSize, tag, fillFailed, fill);
}
