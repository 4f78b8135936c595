// The system bar of the game object: nine buttons across the top 36 pixels, offered in the game
// scene and in the extras' scene replay, shown by the pointer in the strip or by Alt.
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "graphics/Layer.h"
#include "graphics/Transition.h"
#include "screens/ExtraMode.h"
#include "screens/OverlaySupport.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"

const RECT g_BarStripRect = {0, 0, 640, 36};
const RECT g_BarButtonRects[kBarButtonCount] = {
    {0, 0, 126, 36},   {126, 0, 188, 36}, {188, 0, 250, 36}, {250, 0, 312, 36}, {312, 0, 374, 36},
    {374, 0, 436, 36}, {436, 0, 498, 36}, {498, 0, 560, 36}, {560, 0, 622, 36},
};
BYTE g_BarButtonEnabled[kBarButtonCount] = {};

const RECT g_BarArtRects[kBarArtCount] = {
    // Normal row, buttons 0-8
    {0, 0, 126, 36},
    {126, 0, 188, 36},
    {188, 0, 250, 36},
    {250, 0, 312, 36},
    {374, 0, 436, 36},
    {498, 0, 560, 36},
    {560, 0, 622, 36},
    {622, 0, 684, 36},
    {684, 0, 746, 36},
    // Hover row, buttons 0-8
    {0, 36, 126, 72},
    {126, 36, 188, 72},
    {188, 36, 250, 72},
    {250, 36, 312, 72},
    {374, 36, 436, 72},
    {498, 36, 560, 72},
    {560, 36, 622, 72},
    {622, 36, 684, 72},
    {684, 36, 746, 72},
    // Pressed row, buttons 0-8
    {0, 72, 126, 108},
    {126, 72, 188, 108},
    {188, 72, 250, 108},
    {250, 72, 312, 108},
    {374, 72, 436, 108},
    {498, 72, 560, 108},
    {560, 72, 622, 108},
    {622, 72, 684, 108},
    {684, 72, 746, 108},
    // Disabled row, buttons 0-8
    {0, 108, 126, 144},
    {126, 108, 188, 144},
    {188, 108, 250, 144},
    {250, 108, 312, 144},
    {374, 108, 436, 144},
    {498, 108, 560, 144},
    {560, 108, 622, 144},
    {622, 108, 684, 144},
    {684, 108, 746, 144},
    // Skip on, in the four rows
    {312, 0, 374, 36},
    {312, 36, 374, 72},
    {312, 72, 374, 108},
    {312, 108, 374, 144},
    // Auto on, in the four rows
    {436, 0, 498, 36},
    {436, 36, 498, 72},
    {436, 72, 498, 108},
    {436, 108, 498, 144},
};

namespace {
// Rows of the sheet.
enum : int { kRowNormal = 0, kRowHover = 1, kRowPressed = 2, kRowDisabled = 3 };
constexpr int kSkipOnArt = 36;
constexpr int kAutoOnArt = 40;

// Save, load, config and status leave the scene's sounds behind the overlay they open.
void QuietForOverlay() {
    if (!g_pSoundManager) return;
    g_pSoundManager->SuspendLoopSE();
    g_pSoundManager->StopVoice();
    PlayInterfaceSE("Se001");
}

void FinishSoundFade() {
    if (g_pSoundManager && g_pSoundManager->IsFading()) g_pSoundManager->FinishFade();
}

// The art entry of a button in a row: the skip and auto buttons take their on column while on.
int ArtEntry(int button, int row) {
    if (button == BarSkip && GetSkipAutoFlags(0)) return kSkipOnArt + row;
    if (button == BarAuto && IsAutoMode()) return kAutoOnArt + row;
    return row * kBarButtonCount + button;
}
} // namespace

void CGameCtrl::SetBarArt(int button, int art) {
    if (!m_pBar) return;
    m_pBar->SetPart(&g_BarArtRects[art], g_BarButtonRects[button].left, g_BarButtonRects[button].top, button);
}

bool CGameCtrl::IsSystemBarAvailable() const {
    if (m_Mode == GameModeScene) return m_pScene && !IsTransitionRunning() && m_pScene->IsMenuEnabled();
    if (m_Mode == GameModeExtra) return m_pExtra && m_pExtra->IsReplaying();
    return false;
}

void CGameCtrl::DrawSystemBar() {
    const bool running = IsTransitionRunning();
    g_BarButtonEnabled[BarLabel] = 0;
    SetBarArt(BarLabel, ArtEntry(BarLabel, kRowNormal));
    for (int i = BarSave; i < kBarButtonCount; ++i) {
        bool enabled = !running;
        if (enabled) {
            switch (i) {
            case BarSave:
            case BarStatus:
                enabled = m_pScene != nullptr;
                break;
            case BarBacklog:
                enabled = m_pScene && m_pScene->CanOpenMenu();
                break;
            case BarTitle:
                enabled = m_pExtra == nullptr;
                break;
            default:
                break;
            }
        }
        g_BarButtonEnabled[i] = enabled ? 1 : 0;
        SetBarArt(i, ArtEntry(i, enabled ? kRowNormal : kRowDisabled));
    }
    if (m_pBar) m_pBar->m_bVisible = 1;
}

bool CGameCtrl::DrawBarButtonHover(int i) {
    if (i < 0 || i >= kBarButtonCount || !g_BarButtonEnabled[i]) return false;
    SetBarArt(i, ArtEntry(i, kRowHover));
    return true;
}

bool CGameCtrl::DrawBarButtonPressed(int i) {
    if (i < 0 || i >= kBarButtonCount || !g_BarButtonEnabled[i]) return false;
    SetBarArt(i, ArtEntry(i, kRowPressed));
    return true;
}

void CGameCtrl::RedrawBarSelection() {
    DrawSystemBar();
    DrawBarButtonHover(m_BarSelection);
}

void CGameCtrl::MoveBarSelection(int step) {
    const int before = m_BarSelection;
    int selection = before;
    bool found = false;
    // One turn round the buttons at most: with none enabled there is no selection.
    for (int n = 0; n < kBarButtonCount && !found; ++n) {
        selection += step;
        if (selection < 0) selection = kBarButtonCount - 1;
        if (selection >= kBarButtonCount) selection = 0;
        found = g_BarButtonEnabled[selection] != 0;
    }
    m_BarSelection = found ? selection : -1;
    if (m_BarSelection != before) PlayInterfaceSE("Se000");
}

void CGameCtrl::ExecuteBarCommand() {
    const int selection = m_BarSelection;
    if (selection >= 0 && selection < kBarButtonCount && g_BarButtonEnabled[selection]) {
        switch (selection) {
        case BarSave:
            QuietForOverlay();
            OpenSaveMenu();
            break;
        case BarLoad:
            QuietForOverlay();
            OpenLoadMenu();
            break;
        case BarConfig:
            QuietForOverlay();
            OpenConfigPanel();
            break;
        case BarSkip: {
            PlayInterfaceSE("Se001");
            SetAutoMode(0);
            const bool wasOn = GetSkipAutoFlags(0);
            SetSkipMode(wasOn ? 0 : 1);
            if (!wasOn) FinishSoundFade();
            break;
        }
        case BarAuto:
            PlayInterfaceSE("Se001");
            SetSkipMode(0);
            if (IsAutoMode()) {
                ClearSkipAuto();
            } else {
                SetAutoMode(1);
                FinishSoundFade();
            }
            break;
        case BarBacklog:
            // Page Up opens the backlog.
            if (m_pScene && !m_pScene->IsBacklogOpen()) m_pScene->OnKeyDown(VK_PRIOR);
            break;
        case BarStatus:
            QuietForOverlay();
            OpenStatusPanel();
            break;
        case BarTitle:
            if (g_pSoundManager) {
                g_pSoundManager->SuspendLoopSE();
                PlayInterfaceSE("Se001");
                g_pSoundManager->StopVoice();
            }
            OpenReturnToTitleDialog();
            break;
        default:
            break;
        }
    }
    m_BarSelection = -1;
    ResetInput();
    m_LastBarHover = m_LastBarPressed = -1;
}

void CGameCtrl::MarkBarStrip() {
    m_UpdateRect.AddRect(&g_BarStripRect);
}

void CGameCtrl::HideSystemBar() {
    m_bBarShown = 0;
    if (m_pBar) m_pBar->m_bVisible = 0;
    MarkBarStrip();
}

int CGameCtrl::BarPressedIndex() const {
    return IsButtonHeld() ? m_nCurrent : -1;
}

void CGameCtrl::OnBarMouseMove(int x, int y) {
    if (y >= g_BarStripRect.top && y < g_BarStripRect.bottom) {
        CHitArea::OnMouseMove(x, y);
        DrawSystemBar();
        m_bBarShown = 1;
        const int pressed = BarPressedIndex();
        if (pressed != -1)
            DrawBarButtonPressed(pressed);
        else if (m_nHover != -1 && DrawBarButtonHover(m_nHover))
            m_BarSelection = m_nHover;
        MarkBarStrip();
    } else if (!m_bBarPressing) {
        HideSystemBar();
        m_nHover = m_nCurrent = -1;
    }
    const int hover = m_nHover;
    const int pressed = BarPressedIndex();
    if (hover != m_LastBarHover && hover != -1) {
        if (g_BarButtonEnabled[hover]) PlayInterfaceSE("Se000");
    } else if (pressed != m_LastBarPressed && pressed != -1) {
        if (g_BarButtonEnabled[pressed]) PlayInterfaceSE("Se000");
    }
    m_LastBarHover = hover;
    m_LastBarPressed = pressed;
}

void CGameCtrl::OnBarLButtonDown(int x, int y) {
    if (y >= g_BarStripRect.top && y < g_BarStripRect.bottom) {
        CHitArea::OnLButtonDown(x, y);
        m_bBarPressing = 1;
        DrawSystemBar();
        m_bBarShown = 1;
        if (DrawBarButtonPressed(BarPressedIndex())) m_BarSelection = BarPressedIndex();
        MarkBarStrip();
    }
    m_LastBarPressed = BarPressedIndex();
}

void CGameCtrl::OnBarLButtonUp(int x, int y) {
    CHitArea::OnLButtonUp(x, y);
    m_bBarPressing = 0;
    if (y < g_BarStripRect.top || y >= g_BarStripRect.bottom) {
        HideSystemBar();
        return;
    }
    const int clicked = m_nCurrent;
    if (clicked != -1 && g_BarButtonEnabled[clicked]) {
        m_BarSelection = clicked;
        ExecuteBarCommand();
        m_bBarSuppressed = 1;
        HideSystemBar();
        return;
    }
    DrawSystemBar();
    if (DrawBarButtonHover(m_nHover)) m_BarSelection = m_nHover;
    MarkBarStrip();
}
