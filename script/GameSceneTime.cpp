// Host command group 5: waits, timers and the end of the scenario. Durations are in units of 100 ms
// of the system tick count.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "platform/time.h"
#include "sound/SoundManager.h"

namespace {
enum : DWORD {
    kSubWait = 0,
    kSubSetTimer = 1,
    kSubWaitTimer = 2,
    kSubEnd = 3,
    kSubNothing = 4,
    kSubWaitOrClick = 5,
};
constexpr DWORD kTick = 100;
// The music fades out over 700 ms when the scenario ends.
constexpr int kEndFade = 7;

// Compared by signed difference, so a deadline past the wrap of the tick counter still comes.
bool Reached(DWORD now, DWORD due) {
    return static_cast<LONG>(now - due) >= 0;
}
} // namespace

void CGameScene::DispatchTime(DWORD sub) {
    switch (sub) {
    case kSubWait:
        CmdWait();
        break;
    case kSubSetTimer:
        CmdSetTimer();
        break;
    case kSubWaitTimer:
        CmdWaitTimer();
        break;
    case kSubEnd:
        CmdEndScenario();
        break;
    case kSubWaitOrClick:
        CmdWaitOrClick();
        break;
    case kSubNothing:
    default:
        break;
    }
}

void CGameScene::CmdWait() {
    const DWORD tenths = Arg(1);
    if (m_bHalted) return;
    m_WaitKind = kWaitTimed;
    m_WaitDue = GetTickCount() + tenths * kTick;
}

void CGameScene::CmdSetTimer() {
    const DWORD timer = Arg(1), tenths = Arg(2);
    if (m_bHalted || timer >= kTimerCount) return;
    m_Timers[timer] = GetTickCount() + tenths * kTick;
    m_TimerSet[timer] = true;
}

void CGameScene::CmdWaitTimer() {
    const DWORD timer = Arg(1);
    if (m_bHalted || timer >= kTimerCount) return;
    m_WaitKind = kWaitTimer;
    // A timer never set has long been due. Its zero is no due time: compared with a clock past 2^31 ms
    // it would lie ahead, and the wait would last until the clock wrapped.
    m_WaitDue = m_TimerSet[timer] ? m_Timers[timer] : GetTickCount();
}

void CGameScene::CmdWaitOrClick() {
    const DWORD tenths = Arg(1);
    if (m_bHalted) return;
    m_WaitKind = kWaitTimedOrClick;
    m_WaitDue = GetTickCount() + tenths * kTick;
}

void CGameScene::CmdEndScenario() {
    // Every block on the stack, top first, lets go of its code, resident or not.
    for (CallFrame* frame = m_CallStack.GetTail(0); frame; frame = m_CallStack.GetPrev(0)) {
        const int block = FindBlock(frame->blockName);
        if (block >= 0) ReleaseBlock(block, false);
    }
    m_CallStack.RemoveAll();
    m_pCode = nullptr;
    m_CodeSize = 0;
    m_pLines = nullptr;
    m_bFinished = true;
    m_RunState = kRunEnding;
    char name[CSoundManager::kNameSize];
    if (g_pSoundManager && g_pSoundManager->GetBGMName(name)) g_pSoundManager->FadeOutBGM(kEndFade);
}

void CGameScene::EndWait() {
    m_WaitKind = kWaitNone;
    m_SceneMode = kModeRun;
}

bool CGameScene::PollWait() {
    if (m_WaitKind == kWaitNone) return true;
    if (!IsSkipping() && !Reached(GetTickCount(), m_WaitDue)) return false;
    EndWait();
    return true;
}
