// Fades of BGM A and the loop-SE channels, and the cross-fade from BGM A to BGM B, timed by the wall
// clock so that a fade takes its time whatever the frame rate.
#include "sound/SoundManager.h"

#include "files/Config.h"
#include "platform/time.h"
#include "sound/DSoundCtrl.h"

#include <cstring>
#include <limits>

const LONG FadeVolumeTable[64] = {
    0,     -40,   -80,   -120,  -160,  -200,  -240,  -280,  -320,  -360,  -400,  -440,  -480,
    -520,  -560,  -605,  -650,  -678,  -706,  -734,  -762,  -790,  -818,  -846,  -874,  -902,
    -930,  -958,  -986,  -1014, -1042, -1071, -1100, -1143, -1186, -1229, -1272, -1315, -1358,
    -1401, -1444, -1487, -1530, -1573, -1616, -1659, -1705, -1754, -1800, -1880, -1960, -2040,
    -2120, -2200, -2280, -2360, -2440, -2520, -2600, -2680, -2760, -2840, -2920, -4000,
};

namespace {
constexpr int kQuietestStep = 63;

// A step outside the table (level 0 puts the level's step at 64) never reaches the device.
LONG StepVolume(int step) {
    if (step < 0) step = 0;
    if (step > kQuietestStep) step = kQuietestStep;
    return FadeVolumeTable[step];
}

// Durations come from scripts in units of 100 ms; a negative one ends the fade at its first step.
int DurationMs(int units) {
    if (units <= 0) return 0;
    if (units > std::numeric_limits<int>::max() / 100) return std::numeric_limits<int>::max();
    return units * 100;
}
} // namespace

int CSoundManager::BgmLevel() {
    return g_pConfig ? g_pConfig->GetBgmSwitch() : 4;
}

int CSoundManager::SELevel() {
    return g_pConfig ? g_pConfig->GetSESwitch() : 4;
}

LONG CSoundManager::ClassVolumeOf(int index) const {
    return (index == kBgmA || index == kBgmB) ? m_Volume[kClassBGM] : m_Volume[kClassSE];
}

bool CSoundManager::IsFadeOutOf(int index) const {
    return m_Fade.active && !m_Fade.crossFade && m_Fade.channelFlag[index] && !m_Fade.fadeIn;
}

void CSoundManager::RecomputeFadeActive() {
    int any = m_Fade.crossFade;
    for (int flag : m_Fade.channelFlag)
        any |= flag;
    if (!any) m_Fade.active = 0;
}

void CSoundManager::ClearFade(DWORD channel) {
    const int index = ChannelIndex(channel);
    if (index >= 0 && index <= kLoopSE2) m_Fade.channelFlag[index] = 0;
    RecomputeFadeActive();
}

void CSoundManager::StartFadeIn(DWORD channel, int duration) {
    const int index = ChannelIndex(channel);
    if (index < 0 || index > kLoopSE2) return;
    // One record serves one fade: whatever runs is completed before it is overwritten.
    if (m_Fade.active) FinishFade();
    if (!IsBusy(index)) return;
    const int level = index <= kBgmB ? BgmLevel() : SELevel();
    m_Fade.targetStep = LevelStep(level);
    m_Fade.startStep = kQuietestStep;
    m_Fade.currentStep = kQuietestStep;
    m_Fade.duration = DurationMs(duration);
    m_Fade.range = m_Fade.startStep - m_Fade.targetStep;
    m_Fade.channelFlag[index] = 1;
    const int slot = static_cast<int>(m_Slot[index]);
    m_pDevice->SetVolume(slot, FadeVolumeTable[kQuietestStep]);
    m_pDevice->Play(slot, m_Loop[index]);
    m_Fade.startTime = timeGetTime();
    m_Fade.fadeIn = 1;
    m_Fade.active = 1;
}

void CSoundManager::StartFadeOut(DWORD channel, int duration) {
    const int index = ChannelIndex(channel);
    if (index < 0 || index > kLoopSE2) return;
    if (m_Fade.active) FinishFade();
    // Completing a running fade-out of this very channel may have freed it already.
    if (!IsBusy(index)) return;
    const int level = index <= kBgmB ? BgmLevel() : SELevel();
    m_Fade.startStep = LevelStep(level);
    m_Fade.targetStep = kQuietestStep;
    m_Fade.currentStep = m_Fade.startStep;
    m_Fade.duration = DurationMs(duration);
    m_Fade.range = m_Fade.targetStep - m_Fade.startStep;
    m_Fade.channelFlag[index] = 1;
    m_Fade.startTime = timeGetTime();
    m_Fade.fadeIn = 0;
    m_Fade.active = 1;
}

int CSoundManager::StartCrossFade(const char* name, int duration, int loop) {
    SetName(kBgmB, name);
    m_Loop[kBgmB] = loop;
    const int levelStep = LevelStep(BgmLevel());
    m_Fade.startStep = levelStep;
    m_Fade.targetStep = kQuietestStep;
    m_Fade.currentStep = levelStep;
    m_Fade.startStepB = kQuietestStep;
    m_Fade.targetStepB = levelStep;
    m_Fade.currentStepB = kQuietestStep;
    m_Fade.duration = DurationMs(duration);
    m_Fade.range = kQuietestStep - levelStep;
    m_Fade.crossFade = 1;
    m_Fade.active = 1;
    if (!LoadChannel(m_Name[kBgmB], SOUND_CHANNEL_BGM_B)) {
        m_Fade.crossFade = 0;
        RecomputeFadeActive();
        ClearName(kBgmB);
        m_Loop[kBgmB] = 0;
        return 0;
    }
    const int slot = static_cast<int>(m_Slot[kBgmB]);
    m_pDevice->SetVolume(slot, FadeVolumeTable[kQuietestStep]);
    m_pDevice->Play(slot, m_Loop[kBgmB]);
    m_Fade.startTime = timeGetTime();
    return 1;
}

void CSoundManager::StepFade() {
    if (!m_Fade.active) return;
    const DWORD elapsed = timeGetTime() - m_Fade.startTime;
    if (elapsed == 0) return;
    const double f = m_Fade.duration > 0 ? static_cast<double>(elapsed) / m_Fade.duration
                                         : std::numeric_limits<double>::infinity();
    const int k = f < 1.0 ? static_cast<int>(m_Fade.range * f) : 0;

    if (m_Fade.crossFade) {
        if (f >= 1.0) {
            EndCrossFade();
            return;
        }
        if (m_Fade.startStep + k != m_Fade.currentStep) {
            m_Fade.currentStep = m_Fade.startStep + k;
            if (IsBusy(kBgmA))
                m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[kBgmA]), StepVolume(m_Fade.currentStep));
            m_Fade.currentStepB = m_Fade.startStepB - k;
            if (IsBusy(kBgmB))
                m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[kBgmB]), StepVolume(m_Fade.currentStepB));
        }
        return;
    }

    for (int index = kBgmA; index <= kLoopSE2; ++index) {
        if (!m_Fade.channelFlag[index]) continue;
        if (f >= 1.0) {
            EndFade(index);
            return;
        }
        const int step = m_Fade.fadeIn ? m_Fade.startStep - k : m_Fade.startStep + k;
        if (step != m_Fade.currentStep) {
            m_Fade.currentStep = step;
            if (IsBusy(index)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[index]), StepVolume(step));
        }
        return;
    }
}

void CSoundManager::EndFade(int index) {
    if (m_Fade.fadeIn) {
        if (IsBusy(index)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[index]), ClassVolumeOf(index));
    } else {
        FreeChannel(index);
        ClearName(index);
    }
    m_Fade.channelFlag[index] = 0;
    m_Fade.active = 0;
}

void CSoundManager::EndCrossFade() {
    FreeChannel(kBgmA);
    std::memcpy(m_Name[kBgmA], m_Name[kBgmB], kNameSize);
    ClearName(kBgmB);
    m_Slot[kBgmA] = m_Slot[kBgmB];
    m_Slot[kBgmB] = kSlotNone;
    m_Entry[kEntryBgmAMain] = m_Entry[kEntryBgmBMain];
    m_Entry[kEntryBgmAIntro] = m_Entry[kEntryBgmBIntro];
    m_Entry[kEntryBgmBMain] = nullptr;
    m_Entry[kEntryBgmBIntro] = nullptr;
    m_Loop[kBgmA] = m_Loop[kBgmB];
    m_Loop[kBgmB] = 0;
    if (IsBusy(kBgmA)) m_pDevice->SetCurrentVolume(static_cast<int>(m_Slot[kBgmA]), m_Volume[kClassBGM]);
    m_Fade.crossFade = 0;
    m_Fade.active = 0;
}

void CSoundManager::FinishFade() {
    if (!m_Fade.active) return;
    if (m_Fade.crossFade) {
        EndCrossFade();
    } else {
        for (int index = kBgmA; index <= kLoopSE2; ++index) {
            if (!m_Fade.channelFlag[index]) continue;
            EndFade(index);
            break;
        }
    }
    m_Fade.active = 0;
}
