// The game side of sound: seven channels for music, sound effects and voices, played by name from the
// sound archives, with the volumes of the settings and one fade at a time. Main thread only.
#pragma once

#include <cstdio>

#include "platform/base.h"
#include "platform/window.h"
#include "sound/SoundManagerFade.h"

class CDSoundCtrl;
class CArcFile;

// Every operation that takes a channel takes exactly one of these bits.
enum SoundChannel : DWORD {
    SOUND_CHANNEL_BGM_A = 1,    // the current background music
    SOUND_CHANNEL_BGM_B = 2,    // the incoming music of a cross-fade
    SOUND_CHANNEL_LOOPSE1 = 4,  // first looping sound effect
    SOUND_CHANNEL_LOOPSE2 = 8,  // second looping sound effect
    SOUND_CHANNEL_SE = 16,      // one-shot sound effect
    SOUND_CHANNEL_VOICE = 32,   // scenario voice
    SOUND_CHANNEL_SYSVOICE = 64 // voice lines of dialogs, the config panel and extras
};

// Volumes (hundredths of a decibel) of the settings levels 0 to 4 of BgmSwitch, SESwitch, VoiceSwitch.
extern const LONG g_VolumeLevelTable[5];

class CSoundManager {
  public:
    static constexpr DWORD kSlotNone = 0xFFFFFFFFu;
    static constexpr int kChannelCount = 7;
    // 16 characters and the terminating NUL; archive entry names are never longer.
    static constexpr int kNameSize = 17;

    CSoundManager();
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    int Create(HWND hwnd);
    int Release();
    // Once per frame: advances the fade, then frees the sounds that have ended.
    void Update();
    void StopAll();
    void ResetChannels();
    // 0: both BGM channels, 1: both loop-SE channels, 2: the voice. What switching a class off does.
    void StopChannelGroup(int group);
    // Each channel whose bit is set stops as its own stop call does (a BGM bit stops both BGM channels,
    // which a cross-fade ties together).
    void StopChannels(DWORD channels);
    // 1 when a channel of that name (in any case) holds a sound that is playing.
    int IsNamePlaying(const char* name) const;

    // Background music.
    int PlayBGM(const char* name, int loop);
    void StopBGM();
    int FadeInBGM(const char* name, int duration, int loop);
    int FadeOutBGM(int duration);
    int CrossFadeBGM(const char* name, int duration, int loop);
    void SetBGMEnable(int on);
    void SetBGMVolume(LONG volume);
    char* GetBGMName(char* buffer);

    // Looping sound effects: the second channel is used when the first has a name.
    int PlayLoopSE(const char* name, int loop);
    void StopLoopSE(const char* name);
    int FadeInLoopSE(const char* name, int duration, int loop);
    int FadeOutLoopSE(const char* name, int duration);
    void SetSEEnable(int on);
    void SetSEVolume(LONG volume);
    char* GetLoopSEName1(char* buffer);
    char* GetLoopSEName2(char* buffer);
    int IsLoopSE1Looping() const { return m_Loop[kLoopSE1]; }
    int IsLoopSE2Looping() const { return m_Loop[kLoopSE2]; }
    void SuspendLoopSE();
    void ResumeLoopSE();

    // One-shot sound effect, voice and system voice.
    int PlaySE(const char* name, int loop);
    void StopSE();
    // The one-shot channel's name, kept after its sound ended (copied when a buffer is given), or an
    // empty string and null.
    char* GetSEName(char* buffer);
    void PlayVoice(const char* name);
    void StopVoice();
    void SetVoiceEnable(int on);
    void SetVoiceVolume(LONG volume);
    char* GetVoiceName(char* buffer);
    void PlaySysVoice(const char* name);
    void StopSysVoice();
    char* GetSysVoiceName(char* buffer);

    // Fades (SoundManagerFade.cpp). Durations are in units of 100 ms.
    int IsFading() const { return m_Fade.active; }
    void FinishFade();
    void ClearFade(DWORD channel);

    // Read-only views for the owner and for tests.
    CDSoundCtrl* GetDevice() const { return m_pDevice; }
    DWORD GetChannelSlot(DWORD channel) const;
    int IsBGMEnabled() const { return m_Enabled[kClassBGM]; }
    int IsSEEnabled() const { return m_Enabled[kClassSE]; }
    int IsVoiceEnabled() const { return m_Enabled[kClassVoice]; }
    LONG GetBGMVolume() const { return m_Volume[kClassBGM]; }
    LONG GetSEVolume() const { return m_Volume[kClassSE]; }
    LONG GetVoiceVolume() const { return m_Volume[kClassVoice]; }

  private:
    // Channel indices, in bit order.
    enum { kBgmA, kBgmB, kLoopSE1, kLoopSE2, kSE, kVoice, kSysVoice };
    // Entry fields: BGM A main and intro, BGM B main and intro, then one per other channel.
    enum {
        kEntryBgmAMain,
        kEntryBgmAIntro,
        kEntryBgmBMain,
        kEntryBgmBIntro,
        kEntryLoopSE1,
        kEntryLoopSE2,
        kEntrySE,
        kEntryVoice,
        kEntrySysVoice,
        kEntryCount
    };
    enum { kClassBGM, kClassSE, kClassVoice };
    // The two suspended loop-SE names follow the seven channel names.
    enum { kSuspended1 = kChannelCount, kSuspended2, kNameCount };

    static int ChannelIndex(DWORD channel);
    static DWORD ChannelBit(int index) { return DWORD{1} << index; }
    // A name the channel fields can hold: present and at most 16 characters.
    static bool IsUsableName(const char* name);

    int LoadChannel(const char* name, DWORD channel);
    void CloseChannelFiles(DWORD channel);
    CArcFile* ArchiveOf(int index) const;
    bool IsBusy(int index) const { return m_Slot[index] != kSlotNone; }
    bool IsChannelPlaying(int index) const;
    // Stops and releases the channel's sound when it holds one, closes its entries, frees the slot
    // and drops any fade it had. The name is left to the caller.
    void FreeChannel(int index);
    void SetName(int index, const char* name);
    void ClearName(int index) { m_Name[index][0] = '\0'; }
    bool HasName(int index) const { return m_Name[index][0] != '\0'; }
    bool NameIs(int index, const char* name) const;
    // Copies the name into the buffer (empty when unset) and returns it, or null when unset.
    char* ReportName(int index, bool present, char* buffer);
    int StartLoopSE(const char* name, int loop, bool fadeIn, int duration);
    // Names the voice or system-voice channel and plays it once at the voice volume when voices are on.
    void StartVoice(int index, const char* name);

    // Fades.
    void StartFadeIn(DWORD channel, int duration);
    void StartFadeOut(DWORD channel, int duration);
    int StartCrossFade(const char* name, int duration, int loop);
    void StepFade();
    void EndFade(int index);
    void EndCrossFade();
    void RecomputeFadeActive();
    bool IsFadeOutOf(int index) const;
    static int LevelStep(int level) { return (4 - level) * 16; }
    static int BgmLevel();
    static int SELevel();
    LONG ClassVolumeOf(int index) const;

    CDSoundCtrl* m_pDevice;
    CArcFile* m_pSoundArc;
    CArcFile* m_pSEArc;
    CArcFile* m_pVoiceArc;
    DWORD m_Slot[kChannelCount];
    char m_Name[kNameCount][kNameSize];
    int m_Loop[4];
    int m_Enabled[3];
    LONG m_Volume[3];
    std::FILE* m_Entry[kEntryCount];
    SoundFadeRecord m_Fade;
};

extern CSoundManager* g_pSoundManager;

// False when a manager exists already, or when the device could not be made (the manager then stays,
// silent, so every call on it succeeds and plays nothing).
bool CreateSoundManager(HWND hwnd);
void DestroySoundManager();
