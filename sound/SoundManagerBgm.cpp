// Background music: BGM A plays, BGM B holds the incoming piece of a cross-fade.
#include "sound/SoundManager.h"

#include "sound/DSoundCtrl.h"

#include <cstring>
#include <initializer_list>

int CSoundManager::PlayBGM(const char* name, int loop) {
    if (!m_pDevice || !m_pSoundArc) return 1;
    if (!IsUsableName(name)) return 0;
    if (IsBusy(kBgmA)) {
        // Only music on its way out may be replaced; callers stop or fade the BGM first.
        if (!IsFadeOutOf(kBgmA)) return 0;
        StopBGM();
    }
    SetName(kBgmA, name);
    m_Loop[kBgmA] = loop;
    if (!m_Enabled[kClassBGM]) return 1;
    if (!LoadChannel(m_Name[kBgmA], SOUND_CHANNEL_BGM_A)) return 0;
    const int slot = static_cast<int>(m_Slot[kBgmA]);
    m_pDevice->SetVolume(slot, m_Volume[kClassBGM]);
    m_pDevice->Play(slot, loop);
    return 1;
}

void CSoundManager::StopBGM() {
    if (!m_pDevice) return;
    if (!m_Enabled[kClassBGM]) {
        ClearName(kBgmA);
        ClearName(kBgmB);
        return;
    }
    for (int index : {kBgmA, kBgmB}) {
        if (!IsBusy(index)) continue;
        m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[index]), -10000);
        FreeChannel(index);
        ClearName(index);
    }
    m_Fade.channelFlag[kBgmA] = 0;
    m_Fade.channelFlag[kBgmB] = 0;
    m_Fade.crossFade = 0;
    RecomputeFadeActive();
}

int CSoundManager::FadeInBGM(const char* name, int duration, int loop) {
    if (!m_pDevice || !m_pSoundArc) return 1;
    if (!IsUsableName(name) || m_Fade.active) return 0;
    SetName(kBgmA, name);
    m_Loop[kBgmA] = loop;
    if (!m_Enabled[kClassBGM]) return 1;
    // Music still held by BGM A is let go by the load, so no sound is left without a channel.
    if (!LoadChannel(m_Name[kBgmA], SOUND_CHANNEL_BGM_A)) return 0;
    StartFadeIn(SOUND_CHANNEL_BGM_A, duration);
    return 1;
}

int CSoundManager::FadeOutBGM(int duration) {
    if (!m_pDevice || !m_pSoundArc) return 1;
    if (!m_Enabled[kClassBGM]) {
        ClearName(kBgmA);
        ClearName(kBgmB);
        return 1;
    }
    if (!IsBusy(kBgmA) || IsBusy(kBgmB)) return 0;
    StartFadeOut(SOUND_CHANNEL_BGM_A, duration);
    return 1;
}

int CSoundManager::CrossFadeBGM(const char* name, int duration, int loop) {
    if (!m_pDevice || !m_pSoundArc) return 1;
    if (!IsUsableName(name)) return 0;
    if (!m_Enabled[kClassBGM]) {
        SetName(kBgmA, name);
        m_Loop[kBgmA] = loop;
        ClearName(kBgmB);
        return 1;
    }
    FinishFade();
    if (IsBusy(kBgmA)) return StartCrossFade(name, duration, loop);
    SetName(kBgmA, name);
    m_Loop[kBgmA] = loop;
    if (!LoadChannel(m_Name[kBgmA], SOUND_CHANNEL_BGM_A)) return 0;
    StartFadeIn(SOUND_CHANNEL_BGM_A, duration);
    return 1;
}

void CSoundManager::SetBGMEnable(int on) {
    if (m_Enabled[kClassBGM] == on) return;
    m_Enabled[kClassBGM] = on;
    if (!on) {
        StopChannelGroup(0);
        return;
    }
    if (HasName(kBgmA) && !IsBusy(kBgmA) && m_Loop[kBgmA] == 1) {
        char name[kNameSize];
        std::memcpy(name, m_Name[kBgmA], kNameSize);
        PlayBGM(name, 1);
    }
}

void CSoundManager::SetBGMVolume(LONG volume) {
    if (!m_pDevice || m_Fade.active) return;
    m_Volume[kClassBGM] = volume;
    if (IsChannelPlaying(kBgmA)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[kBgmA]), volume);
    // Switching the music back on is the caller's business.
    if (volume == -10000) SetBGMEnable(0);
}

char* CSoundManager::GetBGMName(char* buffer) {
    if (HasName(kBgmB)) return ReportName(kBgmB, true, buffer);
    return ReportName(kBgmA, HasName(kBgmA), buffer);
}
