// The scene's frame: the mode decides whether the interpreter runs, and at most one host command is
// carried out a frame. Also the passes of the display calls to what the scene owns.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/UpdateRegion.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

namespace {
// TextSpeed 1 lays out the whole page at once.
constexpr int kTextSpeedInstant = 1;

// The hidden key sequence, as lower-case letters.
constexpr char kSecretSequence[3] = {'q', 'r', 'n'};
constexpr char kSecretVoice[] = "svo0010";
} // namespace

int CGameScene::Run(CGameCtrl* /*gameCtrl*/) {
    if (m_SceneMode == kModeRedisplay) {
        RedisplayAfterLoad();
        return kRunStay;
    }
    if (m_RunState == kRunTitle) return kRunTitle;
    if (!m_bBacklogOpen && m_pMessageWindow) m_pMessageWindow->AnimateClickIcon();
    // The player hid the window: the game pauses until it is shown again.
    if (IsWindowHiddenByPlayer()) return m_RunState;
    // Nothing runs behind the backlog, and no wait ends while it is open.
    if (m_bBacklogOpen) return m_RunState;
    if (!PollWait()) return m_RunState;

    bool run = false;
    if (m_SceneMode == kModeText)
        run = PollText();
    else if (m_SceneMode == kModeRun)
        run = true;
    if (run && !m_bFinished && !m_bHalted && Execute() == 1) DispatchCommand();
    return m_RunState;
}

bool CGameScene::PollText() {
    if (!m_bWindowShown || !m_pMessageWindow) return true;
    CMessageWindow& window = *m_pMessageWindow;
    m_WindowState = window.Update();
    switch (m_WindowState) {
    case CMessageWindow::kStateIdle:
        m_SceneMode = kModeRun;
        return true;
    case CMessageWindow::kStateClickWait:
        // Auto mode goes on by itself over text the player has read.
        if (IsAutoMode() && CheckSkipAllowed()) window.Resume();
        m_bFinishText = false;
        return false;
    case CMessageWindow::kStateRevealing:
        if (m_bFinishText) UpdateWholePage();
        if (IsAutoMode()) CheckSkipAllowed();
        return false;
    default:
        return false;
    }
}

void CGameScene::UpdateWholePage() {
    if (!m_pMessageWindow) return;
    if (!g_pConfig || g_pConfig->GetTextSpeed() == kTextSpeedInstant) {
        m_WindowState = m_pMessageWindow->Update();
        return;
    }
    const int speed = g_pConfig->GetTextSpeed();
    g_pConfig->SetTextSpeed(kTextSpeedInstant);
    m_WindowState = m_pMessageWindow->Update();
    g_pConfig->SetTextSpeed(speed);
}

void CGameScene::FinishText() {
    if (m_WindowState != CMessageWindow::kStateRevealing) return;
    m_bFinishText = true;
    UpdateWholePage();
}

void CGameScene::CheckSecretKey(UINT vk) {
    if (m_bSecretDone || vk < 'A' || vk > 'Z') return;
    const char letter = static_cast<char>(vk - 'A' + 'a');
    if (m_bSecretProgress && m_SecretKeys[1] == 0 && letter == kSecretSequence[1]) {
        m_SecretKeys[1] = letter;
        return;
    }
    if (m_bSecretProgress && m_SecretKeys[1] != 0 && letter == kSecretSequence[2]) {
        m_bSecretDone = true;
        m_bSecretProgress = false;
        if (g_pSoundManager) g_pSoundManager->PlayVoice(kSecretVoice);
        return;
    }
    // The first letter starts the sequence at any time; any other letter breaks it off.
    m_bSecretProgress = letter == kSecretSequence[0];
    m_SecretKeys[0] = m_bSecretProgress ? letter : 0;
    m_SecretKeys[1] = 0;
}

bool CGameScene::CanOpenMenu() const {
    return !m_bBacklogOpen && m_SceneMode != kModeCostume && m_SceneMode != kModeGrid;
}

bool CGameScene::IsBacklogOpen() const {
    return m_bBacklogOpen;
}

CMessageWindow* CGameScene::GetMessageWindow() const {
    return m_pMessageWindow;
}

void CGameScene::FlushUpdateRect() {
    if (m_SceneMode == kModeGrid && m_pChoiceGrid) {
        m_pChoiceGrid->FlushUpdateRect();
    } else {
        if (m_pMessageWindow) m_pMessageWindow->FlushUpdate();
        if (m_pCalendar) m_pCalendar->FlushUpdateRect();
    }
    RECT rc;
    if (m_UpdateRect.GetRect(&rc)) AddUpdateRect(&rc);
    m_UpdateRect.AddRect(nullptr);
}

HRESULT CGameScene::Draw(IDirectDrawSurface* target) {
    if (m_SceneMode == kModeGrid && m_pChoiceGrid) return m_pChoiceGrid->Draw(target);
    HRESULT result = 0;
    if (m_pMessageWindow) result = m_pMessageWindow->Draw(target);
    if (m_pCalendar) result = m_pCalendar->Draw(target);
    return result;
}

bool CGameScene::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    if (m_pMessageWindow) ok = m_pMessageWindow->Restore(dd) && ok;
    if (m_pCalendar) ok = m_pCalendar->Restore(dd) && ok;
    if (m_pCostumePreview) ok = m_pCostumePreview->Restore(dd) && ok;
    if (m_pChoiceGrid) ok = m_pChoiceGrid->RecreateSurfaces(dd) && ok;
    return ok;
}

bool CGameScene::ReleaseSurfaces() {
    bool ok = true;
    if (m_pMessageWindow) ok = m_pMessageWindow->ReleaseSurfaces() && ok;
    if (m_pCalendar) ok = m_pCalendar->ReleaseSurfaces() && ok;
    if (m_pCostumePreview) ok = m_pCostumePreview->ReleaseSurfaces() && ok;
    if (m_pChoiceGrid) ok = m_pChoiceGrid->ReleaseSurfaces() && ok;
    return ok;
}

bool CGameScene::RestoreSurfaces() {
    bool ok = true;
    if (m_pMessageWindow) ok = m_pMessageWindow->RestoreIfLost() && ok;
    if (m_pCalendar) ok = m_pCalendar->RestoreIfLost() && ok;
    if (m_pCostumePreview) ok = m_pCostumePreview->RestoreIfLost() && ok;
    if (m_pChoiceGrid) ok = m_pChoiceGrid->RestoreSurfaces() && ok;
    return ok;
}
