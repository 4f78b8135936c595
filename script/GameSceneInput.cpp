// The player's input in the scene: clicks and keys by mode, skipping, hiding the window, the backlog
// and the replay of the current voice.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "platform/runtime.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

namespace {
// Skip or auto mode runs: the first click or key only ends it.
bool SkipOrAuto() {
    return GetSkipAutoFlags(1) != FALSE;
}
bool IsEnter(UINT vk) {
    return vk == VK_RETURN || vk == VK_SPACE;
}
void StopVoice() {
    if (g_pSoundManager) g_pSoundManager->StopVoice();
}
} // namespace

void CGameScene::OnMouseMove(int x, int y) {
    if (IsWindowHiddenByPlayer()) return;
    switch (m_SceneMode) {
    case kModeCostume:
        OnCostumeMouseMove(x, y);
        break;
    case kModeGrid:
        if (m_pChoiceGrid) m_pChoiceGrid->OnMouseMove(x, y);
        break;
    case kModeLoadFailed:
        break;
    default:
        if (m_pMessageWindow) m_pMessageWindow->OnMouseMove(x, y);
        break;
    }
}

void CGameScene::OnLButtonDown(int x, int y) {
    // The backlog takes the release that goes with this press; the choices it hides take neither.
    if (IsWindowHiddenByPlayer() || m_bBacklogOpen) return;
    switch (m_SceneMode) {
    case kModeCostume:
        OnCostumeButtonDown(x, y);
        break;
    case kModeGrid:
        if (m_pChoiceGrid) m_pChoiceGrid->OnLButtonDown(x, y);
        break;
    case kModeRedisplay:
    case kModeLoadFailed:
        break;
    default:
        if (m_pMessageWindow) m_pMessageWindow->OnLButtonDown(x, y);
        break;
    }
}

void CGameScene::OnLButtonUp(int x, int y) {
    if (IsWindowHiddenByPlayer()) return;
    const bool offerMode =
        m_SceneMode == kModeChoices || m_SceneMode == kModeCostume || m_SceneMode == kModeGrid;
    if (!offerMode && SkipOrAuto()) {
        ClearSkipAuto();
        return;
    }
    if (m_bBacklogOpen) return OnWheelDown();
    if (m_WaitKind == kWaitTimedOrClick) return EndWait();
    switch (m_SceneMode) {
    case kModeChoices:
        if (m_pMessageWindow && m_pMessageWindow->AreChoicesVisible()) {
            m_pMessageWindow->OnLButtonUp(x, y);
            TakeChoiceResult();
        }
        break;
    case kModeCostume:
        OnCostumeClick(x, y);
        break;
    case kModeGrid:
        if (m_pChoiceGrid && m_pChoiceGrid->OnLButtonUp(x, y) == 1) TakeGridResult();
        break;
    case kModeText:
    case kModeRun:
        if (m_pMessageWindow) m_pMessageWindow->OnLButtonUp(x, y);
        StopVoice();
        FinishText();
        break;
    default:
        break;
    }
}

void CGameScene::CancelPress() {
    constexpr int kOutside = -1;
    switch (m_SceneMode) {
    case kModeCostume:
        OnCostumeClick(kOutside, kOutside);
        break;
    case kModeGrid:
        if (m_pChoiceGrid) m_pChoiceGrid->OnLButtonUp(kOutside, kOutside);
        break;
    default:
        if (m_pMessageWindow) m_pMessageWindow->CancelPress();
        break;
    }
}

void CGameScene::TakeChoiceResult() {
    // A choice may carry any value, -1 too: only the window knows whether one was decided.
    if (!m_pMessageWindow->IsChoiceDecided()) return;
    m_Registers[0] = static_cast<DWORD>(m_pMessageWindow->GetChoiceResult());
    m_pMessageWindow->SetChoicesVisible(0);
    m_SceneMode = kModeRun;
}

void CGameScene::TakeGridResult() {
    for (int n = 0; n < 3; ++n)
        m_GridResults[n] = m_pChoiceGrid->GetResult(n);
    m_pChoiceGrid->Close();
    delete m_pChoiceGrid;
    m_pChoiceGrid = nullptr;
    m_SceneMode = kModeRun;
}

void CGameScene::OnRButtonDown() {
    if (m_bBacklogOpen) {
        if (m_pMessageWindow) m_pMessageWindow->LeaveBacklog();
        CloseBacklog();
        return;
    }
    // Auto mode is no skipping: with it on, a right click still hides or shows the window.
    if (m_SceneMode != kModeChoices && IsSkipping()) {
        // Held Ctrl keeps skipping.
        if (!IsCtrlKeyDown()) ClearSkipAuto();
        return;
    }
    if (!m_pMessageWindow) return;
    CMessageWindow& window = *m_pMessageWindow;
    if (m_bWindowShown) {
        m_bWindowVisible = !m_bWindowVisible;
        window.SetVisible(m_bWindowVisible ? 1 : 0);
        if (m_SceneMode == kModeChoices) window.SetChoicesVisible(m_bWindowVisible ? 1 : 0);
    } else if (m_SceneMode == kModeChoices) {
        window.SetChoicesVisible(window.AreChoicesVisible() ? 0 : 1);
    }
    if (m_bCalendarShown) {
        m_bCalendarVisible = m_bWindowShown ? m_bWindowVisible : !m_bCalendarVisible;
        if (m_pCalendar) m_pCalendar->SetVisible(m_bCalendarVisible ? 1 : 0);
    }
    MarkWholeScreen();
}

void CGameScene::OpenBacklog(bool fromChoices) {
    m_bBacklogOpen = true;
    m_bBacklogFromChoices = fromChoices;
}

void CGameScene::OnWheelUp() {
    if (!m_pMessageWindow) return;
    CMessageWindow& window = *m_pMessageWindow;
    if (m_bBacklogOpen) {
        window.BacklogBack();
        return;
    }
    if (m_SceneMode != kModeChoices) {
        if (!m_bWindowVisible) return;
        FinishText();
        if (window.BacklogBack() != -1) OpenBacklog(false);
        return;
    }
    if (!window.AreChoicesVisible() || window.BacklogBack() == -1) return;
    OpenBacklog(true);
    // The window comes back as it was once the backlog closes.
    m_bShownBeforeBacklog = m_bWindowShown;
    m_bVisibleBeforeBacklog = m_bWindowVisible;
    window.SetChoicesVisible(0);
    window.SetVisible(1);
    m_bWindowShown = m_bWindowVisible = true;
}

void CGameScene::OnWheelDown() {
    if (m_bBacklogOpen && m_pMessageWindow && m_pMessageWindow->BacklogForward() == 0) CloseBacklog();
}

void CGameScene::CloseBacklog() {
    m_bBacklogOpen = false;
    if (!m_bBacklogFromChoices) return;
    m_bBacklogFromChoices = false;
    if (m_SceneMode != kModeChoices || !m_pMessageWindow) return;
    m_pMessageWindow->SetChoicesVisible(1);
    m_bWindowShown = m_bShownBeforeBacklog;
    m_bWindowVisible = m_bVisibleBeforeBacklog;
    m_pMessageWindow->SetVisible(m_bWindowShown && m_bWindowVisible ? 1 : 0);
}

void CGameScene::OnKeyDown(UINT vk) {
    CheckSecretKey(vk);
    if (m_SceneMode == kModeCostume) return OnCostumeKeyDown(vk);
    if (m_SceneMode == kModeGrid) {
        if (m_pChoiceGrid) m_pChoiceGrid->OnKeyDown(vk);
        return;
    }
    if (IsWindowHiddenByPlayer() || !m_pMessageWindow) return;
    const bool choices = m_SceneMode == kModeChoices;
    switch (vk) {
    case VK_RETURN:
        // With the backlog open its release leaves the backlog: the hidden choices never see the key.
        if (choices && !m_bBacklogOpen) m_pMessageWindow->OnKeyDown(vk);
        break;
    case VK_PRIOR:
        OnWheelUp();
        break;
    case VK_NEXT:
        OnWheelDown();
        break;
    case VK_UP:
    case VK_DOWN:
        if (m_bBacklogOpen && vk == VK_UP)
            OnWheelUp();
        else if (m_bBacklogOpen)
            OnWheelDown();
        else if (choices)
            m_pMessageWindow->OnKeyDown(vk);
        break;
    default:
        break;
    }
}

void CGameScene::OnKeyUp(UINT vk) {
    if (m_SceneMode == kModeCostume) return OnCostumeKeyUp(vk);
    if (m_SceneMode == kModeGrid) {
        if (m_pChoiceGrid && m_pChoiceGrid->OnKeyUp(vk) == 1) TakeGridResult();
        return;
    }
    if (IsWindowHiddenByPlayer()) {
        if (vk == VK_ESCAPE) OnRButtonDown();
        return;
    }
    // Esc is a right click, for which only skipping counts; Enter ends auto mode as a left click does.
    if (m_SceneMode != kModeChoices && (vk == VK_ESCAPE ? IsSkipping() : IsEnter(vk) && SkipOrAuto())) {
        ClearSkipAuto();
        return;
    }
    if (vk == VK_BACK) return ReplayVoice();
    if (vk == VK_ESCAPE) return OnRButtonDown();
    if (!IsEnter(vk)) return;
    if (m_bBacklogOpen) return OnWheelDown();
    if (m_WaitKind == kWaitTimedOrClick) return EndWait();
    if (!m_pMessageWindow) return;
    if (m_SceneMode == kModeText) {
        m_pMessageWindow->Resume();
        StopVoice();
        FinishText();
    } else if (m_SceneMode == kModeChoices && m_pMessageWindow->AreChoicesVisible()) {
        m_pMessageWindow->OnKeyUp(VK_RETURN);
        TakeChoiceResult();
    }
}

void CGameScene::ReplayVoice() {
    const char* name = m_pMessageWindow ? m_pMessageWindow->GetVoiceName() : nullptr;
    if (!name || !*name || !g_pSoundManager) return;
    // Stopping may clear names the window hands out: play from a copy.
    char copy[32];
    CopyBounded(copy, name);
    g_pSoundManager->StopVoice();
    g_pSoundManager->PlayVoice(copy);
}
