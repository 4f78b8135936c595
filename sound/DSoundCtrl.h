// The program's sound device: the device itself, the primary buffer's format, a silent sound that
// keeps the output running, and 8 slots of buffer controllers addressed by index.
#pragma once

#include "platform/dsound.h"
#include "platform/window.h"
#include "sound/DSoundBufferCtrlBase.h"

#include <cstdio>

struct DSoundSlot {
    std::FILE* pFile;             // owned; closed with the slot
    CDSoundBufferCtrlBase* pCtrl; // null: the slot is free
};

class CDSoundCtrl {
  public:
    static constexpr int kSlotCount = 8;

    CDSoundCtrl();
    virtual ~CDSoundCtrl();
    CDSoundCtrl(const CDSoundCtrl&) = delete;
    CDSoundCtrl& operator=(const CDSoundCtrl&) = delete;

    // The device on the window (the window is not needed here), the primary format at 44,100 Hz
    // stereo 16 bit where the level allows, and the silent system sound. 1 or 0.
    int Create(HWND hwnd);
    // Everything back; takes half a second for the system sound to fade out of the hardware.
    void Release();

    // A whole sound: the slot, or -1.
    int LoadSound(std::FILE* file, DWORD size);
    // A streamed sound with an optional intro part (null file, size 0 without): the slot, or -1.
    int LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize);
    // A whole WAVE sound from PCM in memory: the slot, or -1.
    int CreateSound(const void* data, DWORD size, const WAVEFORMATEX* format);
    // A whole sound from a file of its own, which the slot keeps open: the slot, or -1.
    int LoadSoundFromFile(const char* path);
    int ReleaseSound(int slot);

    int Play(int slot, int loop);
    int Stop(int slot);
    void SetVolume(int slot, LONG volume);
    int SetCurrentVolume(int slot, LONG volume);
    int IsPlaying(int slot);

    // Read-outs for the sound manager's tests.
    CDSoundBufferCtrlBase* GetController(int slot) const { return m_Slots[slot].pCtrl; }
    DWORD GetLevel() const { return m_Level; }
    const WAVEFORMATEX& GetPrimaryFormat() const { return m_PrimaryFormat; }
    CDSoundBufferCtrlBase* GetSystemSound() const { return m_pSystemSound; }

  protected:
    void _Init();
    int _FindFreeSlot() const;
    int _DSBCSystemSoundPlay();
    int _DSBCSystemSoundStop();
    // Creates the controller for the entry's first four bytes and loads it into a free slot.
    int _LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize, bool stream,
                   const char* tag);

    HWND m_hWnd;
    DWORD m_Level;
    WAVEFORMATEX m_PrimaryFormat;
    IDirectSound* m_pDirectSound;
    IDirectSoundBuffer* m_pPrimaryBuffer;
    CDSoundBufferCtrlBase* m_pSystemSound;
    DSoundSlot m_Slots[kSlotCount];
};
