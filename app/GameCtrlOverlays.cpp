// The game object's cursor sprite, and the opening and closing of its overlays: the yes/no dialog,
// the save/load menu, the config panel and the status panel.
#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "screens/ConfigPanel.h"
#include "screens/ExtraMode.h"
#include "screens/SaveLoadMenu.h"
#include "screens/StatusPanel.h"
#include "screens/TitleMode.h"
#include "screens/YesNoDialog.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"

namespace {
// The extras keep the cursor hidden in their picture viewer.
constexpr int kExtraViewerSubScreen = 2;
constexpr int kSlotCount = 30;

bool EffectsOn() {
    return g_pConfig && g_pConfig->GetEffectSwitch() == 1;
}
} // namespace

void CGameCtrl::ShowCursorSprite() {
    if (!m_pCursor) return;
    m_pCursor->m_bVisible = 1;
    m_UpdateRect.AddRect(&g_CursorRect);
}

void CGameCtrl::HideCursorSprite() {
    if (!m_pCursor) return;
    m_pCursor->m_bVisible = 0;
    m_UpdateRect.AddRect(&g_CursorRect);
}

CLayer* CGameCtrl::TakeSnapshot() {
    CLayer* snapshot = CreateLayerObject(0);
    if (!snapshot) return nullptr;
    if (!snapshot->CreateBlank(*GetScreenSize(), 0)) return DeleteLayerObject(snapshot);
    DrawFrameBody(snapshot->GetSurface(), false);
    return snapshot;
}

void CGameCtrl::OpenDialog(int kind) {
    CLayer* snapshot = TakeSnapshot();
    m_pDialog = new CYesNoDialog;
    m_DialogKind = kind;
    m_pDialog->Open(kind, snapshot);
    DeleteLayerObject(snapshot);
    m_bDialogOpen = 1;
    SetDialogResult(0);
    MarkWholeScreen();
}

void CGameCtrl::OpenQuitDialog() {
    if (m_pDialog) return;
    OpenDialog(CYesNoDialog::kQuit);
    ShowCursorSprite();
}

void CGameCtrl::OpenReturnToTitleDialog() {
    if (!m_pScene || m_pDialog) return;
    OpenDialog(CYesNoDialog::kReturnToTitle);
}

void CGameCtrl::OpenSaveMenu() {
    if (m_pSaveLoadMenu) return;
    m_pSaveLoadMenu = new CSaveLoadMenu(false);
    m_pSaveLoadMenu->Open();
    MarkWholeScreen();
}

void CGameCtrl::OpenLoadMenu() {
    if (m_pSaveLoadMenu) return;
    m_pSaveLoadMenu = new CSaveLoadMenu(true);
    m_pSaveLoadMenu->Open();
    MarkWholeScreen();
}

void CGameCtrl::OpenConfigPanel() {
    if (m_pConfigPanel) return;
    m_pConfigPanel = new CConfigPanel;
    MarkWholeScreen();
}

void CGameCtrl::OpenStatusPanel() {
    if (!m_pScene || m_pStatusPanel) return;
    DWORD values[4] = {0, 0, 0, 0};
    m_pScene->GetStatusValues(&values[0], &values[1], &values[2], &values[3]);
    m_pStatusPanel = new CStatusPanel;
    m_pStatusPanel->Open(values[0], values[1], values[2], values[3]);
    MarkWholeScreen();
}

void CGameCtrl::CloseStatusPanel() {
    if (!m_pStatusPanel) return;
    m_pStatusPanel->Close();
    delete m_pStatusPanel;
    m_pStatusPanel = nullptr;
    if (g_pSoundManager) g_pSoundManager->ResumeLoopSE();
    MarkWholeScreen();
    AfterOverlayClosed();
}

void CGameCtrl::StopSoundsForSceneChange() {
    if (!g_pSoundManager) return;
    g_pSoundManager->StopLoopSE(nullptr);
    // With no loop sound left, this forgets the names an overlay suspended, so that closing a later
    // panel does not bring the old scene's loop sounds back.
    g_pSoundManager->SuspendLoopSE();
    char name[CSoundManager::kNameSize];
    if (EffectsOn()) {
        if (g_pSoundManager->GetBGMName(name)) g_pSoundManager->FadeOutBGM(7);
    } else {
        g_pSoundManager->StopBGM();
    }
}

void CGameCtrl::OnSaveLoadMenuClosed() {
    if (!m_pSaveLoadMenu) return;
    const int result = m_pSaveLoadMenu->GetResult();
    if (result == 0) return;
    AnswerSaveLoadMenu(result, m_pSaveLoadMenu->IsLoadMenu(), m_pSaveLoadMenu->GetChosenSlot());
}

void CGameCtrl::AnswerSaveLoadMenu(int result, bool load, int slot) {
    if (!m_pSaveLoadMenu || result == 0) return;
    const bool confirmed = result == 1 && slot >= 0 && slot < kSlotCount;
    if (confirmed && load) {
        m_PendingLoadSlot = slot;
        // Whatever runs now makes way for the loaded scene: the scene, or the title or the extras
        // where the menu was opened without one.
        if (m_pScene) DeleteModeObject(GameModeScene);
        if (m_Mode != GameModeScene) DeleteModeObject(m_Mode);
        CLayer* background = g_pScreen ? g_pScreen->GetLayer(0) : nullptr;
        if (EffectsOn() && background) {
            // The white-out starts from the menu's picture.
            m_pSaveLoadMenu->Draw(background->GetSurface());
            background->m_bVisible = 1;
        }
        ClearSkipAuto();
        if (g_pScreen) {
            g_pScreen->SetEffect(1);
            g_pScreen->Fade(CScreen::kWhiteOut);
        }
        if (g_pSoundManager) {
            g_pSoundManager->StopVoice();
            g_pSoundManager->StopSysVoice();
        }
        StopSoundsForSceneChange();
        m_Mode = GameModeScene;
    } else {
        if (confirmed && m_pScene) m_pScene->Save(slot);
        if (g_pSoundManager) g_pSoundManager->ResumeLoopSE();
    }
    delete m_pSaveLoadMenu;
    m_pSaveLoadMenu = nullptr;
    HideSystemBar();
    MarkWholeScreen();
    AfterOverlayClosed();
}

void CGameCtrl::OnConfigPanelClosed() {
    if (m_pConfigPanel) AnswerConfigPanel(m_pConfigPanel->GetResult());
}

void CGameCtrl::AnswerConfigPanel(int result) {
    if (!m_pConfigPanel || (result != 1 && result != 2)) return;
    delete m_pConfigPanel;
    m_pConfigPanel = nullptr;
    HideSystemBar();
    MarkWholeScreen();
    if (g_pSoundManager) g_pSoundManager->ResumeLoopSE();
    AfterOverlayClosed();
}

void CGameCtrl::OnConfirmDialogClosed() {
    if (m_pDialog) AnswerConfirmDialog(m_pDialog->GetResult(), m_DialogKind);
}

void CGameCtrl::AnswerConfirmDialog(int result, int kind) {
    if (!m_pDialog || result == 0) return;
    const bool extrasHideCursor =
        m_Mode == GameModeExtra && m_pExtra && m_pExtra->GetSubScreen() == kExtraViewerSubScreen;
    if (m_Mode == GameModeLogo || m_Mode == GameModeMovie || m_Mode == GameModeEnding || extrasHideCursor)
        HideCursorSprite();
    SetDialogResult(static_cast<DWORD>(result));
    m_bDialogOpen = 0;
    if (result == 2) {
        if (kind == CYesNoDialog::kReturnToTitle && g_pSoundManager) g_pSoundManager->ResumeLoopSE();
    } else if (result == 1 && kind == CYesNoDialog::kQuit) {
        PostAppMessage(WM_CLOSE, 0, 1);
    } else if (result == 1 && kind == CYesNoDialog::kReturnToTitle) {
        if (m_pScene) DeleteModeObject(GameModeScene);
        m_LastBarHover = m_LastBarPressed = -1;
        m_Mode = GameModeTitle;
        if (g_pScreen) {
            g_pScreen->SetEffect(1);
            g_pScreen->SetEffectParams(0, 0, 20, 6);
            g_pScreen->ChangeLayer(0, "sg001", 1, 0, 0, 0, -1, -1, -1, -1);
        }
        ClearSkipAuto();
        HideSystemBar();
        StopSoundsForSceneChange();
    }
    delete m_pDialog;
    m_pDialog = nullptr;
    m_DialogKind = -1;
    RefreshCursor();
    MarkWholeScreen();
    AfterOverlayClosed();
}
