// Scenario voice and system voice: one-shot, from "voice.arc", at the voice volume.
#include "sound/SoundManager.h"

#include "sound/DSoundCtrl.h"

void CSoundManager::PlayVoice(const char* name) {
    if (!m_pDevice || !m_pVoiceArc || !IsUsableName(name)) return;
    StopVoice();
    SetName(kVoice, name);
    if (!m_Enabled[kClassVoice] || !LoadChannel(m_Name[kVoice], SOUND_CHANNEL_VOICE)) return;
    const int slot = static_cast<int>(m_Slot[kVoice]);
    m_pDevice->SetVolume(slot, m_Volume[kClassVoice]);
    m_pDevice->Play(slot, 0);
}

void CSoundManager::StopVoice() {
    if (!m_pDevice || !m_pVoiceArc) return;
    FreeChannel(kVoice);
    ClearName(kVoice);
}

void CSoundManager::SetVoiceEnable(int on) {
    if (m_Enabled[kClassVoice] == on) return;
    m_Enabled[kClassVoice] = on;
    // A voice is never replayed: switching on again starts nothing.
    if (!on) StopChannelGroup(2);
}

void CSoundManager::SetVoiceVolume(LONG volume) {
    if (!m_pDevice) return;
    m_Volume[kClassVoice] = volume;
    if (IsChannelPlaying(kVoice)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[kVoice]), volume);
    if (volume == -10000) SetVoiceEnable(0);
}

char* CSoundManager::GetVoiceName(char* buffer) {
    return ReportName(kVoice, HasName(kVoice), buffer);
}

void CSoundManager::PlaySysVoice(const char* name) {
    if (!m_pDevice || !m_pVoiceArc || !IsUsableName(name)) return;
    StopSysVoice();
    SetName(kSysVoice, name);
    if (!m_Enabled[kClassVoice] || !LoadChannel(m_Name[kSysVoice], SOUND_CHANNEL_SYSVOICE)) return;
    const int slot = static_cast<int>(m_Slot[kSysVoice]);
    m_pDevice->SetVolume(slot, m_Volume[kClassVoice]);
    m_pDevice->Play(slot, 0);
}

void CSoundManager::StopSysVoice() {
    if (!m_pDevice || !m_pVoiceArc || !IsBusy(kSysVoice)) return;
    FreeChannel(kSysVoice);
    ClearName(kSysVoice);
}
