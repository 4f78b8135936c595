// Sound effects: the two looping channels, their suspension, and the one-shot channel.
#include "sound/SoundManager.h"

#include "platform/runtime.h"
#include "sound/DSoundCtrl.h"

#include <cstring>
#include <initializer_list>

int CSoundManager::PlayLoopSE(const char* name, int loop) {
    return StartLoopSE(name, loop, false, 0);
}

int CSoundManager::FadeInLoopSE(const char* name, int duration, int loop) {
    return StartLoopSE(name, loop, true, duration);
}

int CSoundManager::StartLoopSE(const char* name, int loop, bool fadeIn, int duration) {
    if (!m_pDevice || !m_pSEArc) return 1;
    if (fadeIn && HasName(kLoopSE1) && HasName(kLoopSE2)) return 1;
    // Checked before any compare: a missing name must not reach the name fields.
    if (!IsUsableName(name)) return 0;
    if (HasName(kLoopSE1) && HasName(kLoopSE2)) {
        const bool is1 = NameIs(kLoopSE1, name), is2 = NameIs(kLoopSE2, name);
        if (is1 && is2) return 1;
        int freed = -1;
        if (is1)
            freed = kLoopSE1;
        else if (is2)
            freed = kLoopSE2;
        else if (m_Loop[kLoopSE1]) {
            // A third name never pushes out two looping effects.
            if (m_Loop[kLoopSE2]) return 1;
            freed = kLoopSE2;
        } else
            freed = kLoopSE1;
        FreeChannel(freed);
        ClearName(freed);
    }
    const int target = HasName(kLoopSE1) ? kLoopSE2 : kLoopSE1;
    SetName(target, name);
    m_Loop[target] = loop;
    if (!m_Enabled[kClassSE]) return 1;
    if (!LoadChannel(m_Name[target], ChannelBit(target))) return 0;
    if (fadeIn) {
        StartFadeIn(ChannelBit(target), duration);
        return 1;
    }
    const int slot = static_cast<int>(m_Slot[target]);
    m_pDevice->SetVolume(slot, m_Volume[kClassSE]);
    m_pDevice->Play(slot, loop);
    return 1;
}

void CSoundManager::StopLoopSE(const char* name) {
    if (!m_pDevice) return;
    // Compared against a copy: the name may be one of the channel fields that the first stop clears.
    char wanted[kNameSize] = "";
    if (name) CopyBounded(wanted, kNameSize, name);
    const bool tooLong = name && std::strlen(name) >= static_cast<std::size_t>(kNameSize);
    for (int index : {kLoopSE1, kLoopSE2}) {
        if (name && (tooLong || !NameIs(index, wanted))) continue;
        FreeChannel(index);
        ClearName(index);
    }
}

int CSoundManager::FadeOutLoopSE(const char* name, int duration) {
    if (!m_pDevice || !m_pSEArc) return 1;
    if (!name) return 0;
    int index = -1;
    if (NameIs(kLoopSE1, name))
        index = kLoopSE1;
    else if (NameIs(kLoopSE2, name))
        index = kLoopSE2;
    else
        return 1;
    if (!IsBusy(index)) {
        ClearName(index);
        return 1;
    }
    StartFadeOut(ChannelBit(index), duration);
    return 1;
}

void CSoundManager::SetSEEnable(int on) {
    if (m_Enabled[kClassSE] == on) return;
    m_Enabled[kClassSE] = on;
    if (!on) {
        StopChannelGroup(1);
        return;
    }
    for (int index : {kLoopSE1, kLoopSE2}) {
        if (!HasName(index) || IsBusy(index) || m_Loop[index] != 1) continue;
        if (!LoadChannel(m_Name[index], ChannelBit(index))) continue;
        const int slot = static_cast<int>(m_Slot[index]);
        m_pDevice->SetCurrentVolume(slot, m_Volume[kClassSE]);
        m_pDevice->Play(slot, 1);
    }
}

void CSoundManager::SetSEVolume(LONG volume) {
    if (!m_pDevice) return;
    m_Volume[kClassSE] = volume;
    for (int index : {kLoopSE1, kLoopSE2})
        if (IsChannelPlaying(index)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[index]), volume);
    SetSEEnable(volume != -10000);
}

char* CSoundManager::GetLoopSEName1(char* buffer) {
    return ReportName(kLoopSE1, m_Loop[kLoopSE1] == 1 && HasName(kLoopSE1), buffer);
}

char* CSoundManager::GetLoopSEName2(char* buffer) {
    return ReportName(kLoopSE2, m_Loop[kLoopSE2] == 1 && HasName(kLoopSE2), buffer);
}

void CSoundManager::SuspendLoopSE() {
    const int suspended[2] = {kSuspended1, kSuspended2};
    for (int i = 0; i < 2; ++i) {
        const int index = kLoopSE1 + i;
        if (!HasName(index)) {
            m_Name[suspended[i]][0] = '\0';
            continue;
        }
        if (m_Loop[index] == 1)
            std::memcpy(m_Name[suspended[i]], m_Name[index], kNameSize);
        else
            m_Name[suspended[i]][0] = '\0';
        // This channel alone: the other may hold the same name and is suspended on its own turn.
        FreeChannel(index);
        ClearName(index);
    }
}

void CSoundManager::ResumeLoopSE() {
    for (int suspended : {kSuspended1, kSuspended2}) {
        if (!HasName(suspended)) continue;
        char name[kNameSize];
        std::memcpy(name, m_Name[suspended], kNameSize);
        PlayLoopSE(name, 1);
        ClearName(suspended);
    }
}

int CSoundManager::PlaySE(const char* name, int loop) {
    if (!m_pDevice || !m_pSEArc) return 1;
    if (!IsUsableName(name)) return 0;
    StopSE();
    SetName(kSE, name);
    if (!m_Enabled[kClassSE]) return 1;
    if (!LoadChannel(m_Name[kSE], SOUND_CHANNEL_SE)) return 0;
    const int slot = static_cast<int>(m_Slot[kSE]);
    m_pDevice->SetVolume(slot, m_Volume[kClassSE]);
    m_pDevice->Play(slot, loop);
    return 1;
}

void CSoundManager::StopSE() {
    if (!m_pDevice) return;
    FreeChannel(kSE);
    ClearName(kSE);
}

char* CSoundManager::GetSEName(char* buffer) {
    return ReportName(kSE, HasName(kSE), buffer);
}
