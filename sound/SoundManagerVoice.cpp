// Scenario voice and system voice: one-shot, from "voice.arc", at the voice volume.
#include "sound/SoundManager.h"

#include "sound/DSoundCtrl.h"

void CSoundManager::PlayVoice(const char* name) {
    if (!m_pDevice || !m_pVoiceArc || !IsUsableName(name)) return;
    StopVoice();
    StartVoice(kVoice, name);
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

char* CSoundManager::GetSysVoiceName(char* buffer) {
    return ReportName(kSysVoice, HasName(kSysVoice), buffer);
}

void CSoundManager::PlaySysVoice(const char* name) {
    if (!m_pDevice || !m_pVoiceArc || !IsUsableName(name)) return;
    StopSysVoice();
    StartVoice(kSysVoice, name);
}

void CSoundManager::StartVoice(int index, const char* name) {
    SetName(index, name);
    if (!m_Enabled[kClassVoice] || !LoadChannel(m_Name[index], ChannelBit(index))) return;
    const int slot = static_cast<int>(m_Slot[index]);
    m_pDevice->SetVolume(slot, m_Volume[kClassVoice]);
    m_pDevice->Play(slot, 0);
}

void CSoundManager::StopSysVoice() {
    if (!m_pDevice || !m_pVoiceArc || !IsBusy(kSysVoice)) return;
    FreeChannel(kSysVoice);
    ClearName(kSysVoice);
}
