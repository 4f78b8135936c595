// Routing of window events: to the first open overlay (dialog, save/load menu, config panel, status
// panel) and to no other; else to the system bar or the current mode, never to a mode while a
// transition runs.
#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "graphics/Layer.h"
#include "screens/ConfigPanel.h"
#include "screens/EndingMode.h"
#include "screens/ExtraMode.h"
#include "screens/MovieMode.h"
#include "screens/NameEntryMode.h"
#include "screens/SaveLoadMenu.h"
#include "screens/StatusPanel.h"
#include "screens/TitleMode.h"
#include "screens/YesNoDialog.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"

#include <utility>

namespace {
bool InStrip(int y) {
    return y >= g_BarStripRect.top && y < g_BarStripRect.bottom;
}
} // namespace

void CGameCtrl::CloseCheck() {
    if (m_pDialog) {
        OnConfirmDialogClosed();
    } else if (m_pSaveLoadMenu) {
        OnSaveLoadMenuClosed();
    } else if (m_pConfigPanel) {
        OnConfigPanelClosed();
    } else if (m_pStatusPanel && m_pStatusPanel->IsCloseRequested()) {
        CloseStatusPanel();
    }
}

bool CGameCtrl::BarTakesPointer(int y) const {
    return (m_bBarShown || InStrip(y)) && !m_bBarSuppressed && IsSystemBarAvailable();
}

void CGameCtrl::OnMouseMove(int x, int y) {
    // A move that leaves the pointer where it was (the one a screen switch sends) is no move away from
    // a bar that Alt showed.
    const bool moved = x != g_CursorRect.left || y != g_CursorRect.top;
    m_UpdateRect.AddRect(&g_CursorRect);
    g_CursorRect = RECT{x, y, x + 32, y + 32};
    m_UpdateRect.AddRect(&g_CursorRect);
    if (m_pCursor) {
        m_pCursor->m_nX = x;
        m_pCursor->m_nY = y;
    }
    if (m_bBarSuppressed && y >= g_BarStripRect.bottom) m_bBarSuppressed = 0;

    if (ToOverlay([x, y](auto* overlay) { overlay->OnMouseMove(x, y); })) return;
    if (BarTakesPointer(y)) {
        if (moved || InStrip(y)) OnBarMouseMove(x, y);
        return;
    }
    if (IsTransitionRunning()) return;
    switch (m_Mode) {
    case GameModeTitle:
        if (m_pTitle) m_pTitle->OnMouseMove(x, y);
        break;
    case GameModeNameEntry:
        if (m_pNameEntry) m_pNameEntry->OnMouseMove(x, y);
        break;
    case GameModeScene:
        if (m_pScene) m_pScene->OnMouseMove(x, y);
        break;
    case GameModeExtra:
        if (m_pExtra) m_pExtra->OnMouseMove(x, y);
        break;
    default:
        break;
    }
}

void CGameCtrl::OnLButtonDown(int x, int y) {
    if (ToOverlay([x, y](auto* overlay) { overlay->OnLButtonDown(x, y); })) return;
    if (BarTakesPointer(y)) {
        OnBarLButtonDown(x, y);
        return;
    }
    if (IsTransitionRunning()) return;
    ForModeObject([x, y](auto* mode) { mode->OnLButtonDown(x, y); });
    m_bModePressed = true;
}

void CGameCtrl::OnLButtonUp(int x, int y) {
    // Whatever takes the release, a press the mode took ends for the mode first.
    const auto elsewhere = [this] {
        if (std::exchange(m_bModePressed, false)) EndModePress();
    };
    if (ToOverlay([&](auto* overlay) {
            elsewhere();
            overlay->OnLButtonUp(x, y);
        })) {
        CloseCheck();
        return;
    }
    if (m_bBarShown && !m_bBarSuppressed) {
        elsewhere();
        OnBarLButtonUp(x, y);
        return;
    }
    if (IsTransitionRunning()) {
        elsewhere();
        return;
    }
    m_bModePressed = false;
    ForModeObject([x, y](auto* mode) { mode->OnLButtonUp(x, y); });
}

void CGameCtrl::EndModePress() {
    // Left of and above the screen: inside no region of any mode.
    constexpr int kOutside = -1;
    switch (m_Mode) {
    case GameModeTitle:
        if (m_pTitle && m_pTitle->IsButtonHeld()) m_pTitle->OnLButtonUp(kOutside, kOutside);
        break;
    case GameModeNameEntry:
        if (m_pNameEntry && m_pNameEntry->IsButtonHeld()) m_pNameEntry->OnLButtonUp(kOutside, kOutside);
        break;
    case GameModeScene:
        if (m_pScene) m_pScene->CancelPress();
        break;
    case GameModeExtra:
        if (m_pExtra) m_pExtra->CancelPress();
        break;
    default:
        break;
    }
}

void CGameCtrl::OnRButtonDown() {
    if (m_pDialog || IsPanelOpen()) return;
    if (m_bBarShown) {
        HideSystemBar();
        return;
    }
    switch (m_Mode) {
    case GameModeScene:
        if (m_pScene) m_pScene->OnRButtonDown();
        break;
    case GameModeEnding:
        // A right click skips the roll as a left click does.
        if (m_pEnding) {
            m_pEnding->OnLButtonDown(g_CursorRect.left, g_CursorRect.top);
            m_pEnding->OnLButtonUp(g_CursorRect.left, g_CursorRect.top);
        }
        break;
    case GameModeExtra:
        if (m_pExtra) m_pExtra->OnRButtonDown();
        break;
    default:
        break;
    }
}

void CGameCtrl::OnWheelUp() {
    if (m_pDialog || IsPanelOpen() || IsTransitionRunning()) return;
    if (m_Mode == GameModeScene && m_pScene) m_pScene->OnWheelUp();
    if (m_Mode == GameModeExtra && m_pExtra) m_pExtra->OnWheelUp();
}

void CGameCtrl::OnWheelDown() {
    if (m_pDialog || IsPanelOpen() || IsTransitionRunning()) return;
    if (m_Mode == GameModeScene && m_pScene) m_pScene->OnWheelDown();
    if (m_Mode == GameModeExtra && m_pExtra) m_pExtra->OnWheelDown();
}

void CGameCtrl::OnCtrlDown() {
    SetCtrlKeyDown(1);
    SetAutoMode(0);
    SetReadSkip(0);
    if (m_Mode == GameModeLogo || m_Mode == GameModeMovie || m_Mode == GameModeEnding) return;
    if (GetSkipAutoFlags(0)) return;
    SetSkipMode(1);
    if (m_bBarShown) {
        RedrawBarSelection();
        MarkBarStrip();
    }
    if (g_pSoundManager && g_pSoundManager->IsFading()) g_pSoundManager->FinishFade();
}

void CGameCtrl::OnCtrlUp() {
    SetCtrlKeyDown(0);
    ClearSkipAuto();
    if (m_bBarShown) {
        RedrawBarSelection();
        MarkBarStrip();
    }
}

void CGameCtrl::AfterOverlayClosed() {
    if (!m_bCtrlUpPending || m_pDialog || IsPanelOpen()) return;
    m_bCtrlUpPending = false;
    OnCtrlUp();
}

void CGameCtrl::ModeKeyDown(UINT vk) {
    if (IsTransitionRunning()) return;
    ForModeObject([vk](auto* mode) { mode->OnKeyDown(vk); });
}

void CGameCtrl::ModeKeyUp(UINT vk) {
    if (IsTransitionRunning()) return;
    ForModeObject([vk](auto* mode) { mode->OnKeyUp(vk); });
}

void CGameCtrl::OnKeyDown(UINT vk) {
    if (ToOverlay([vk](auto* overlay) { overlay->OnKeyDown(vk); })) {
        // Pressed again under the overlay, Ctrl is held once more when it goes.
        if (vk == VK_CONTROL) m_bCtrlUpPending = false;
        return;
    }
    if (vk == VK_CONTROL) {
        OnCtrlDown();
        return;
    }
    if (!m_bBarShown) {
        ModeKeyDown(vk);
        return;
    }
    if (vk == VK_RETURN) {
        DrawBarButtonPressed(m_BarSelection);
        MarkBarStrip();
    } else if (vk == VK_LEFT || vk == VK_RIGHT) {
        MoveBarSelection(vk == VK_LEFT ? -1 : 1);
        RedrawBarSelection();
        MarkBarStrip();
    }
}

void CGameCtrl::OnKeyUp(UINT vk) {
    if (ToOverlay([vk](auto* overlay) { overlay->OnKeyUp(vk); })) {
        // The overlay has the keys, but no overlay may leave the game believing Ctrl held.
        if (vk == VK_CONTROL && IsCtrlKeyDown()) m_bCtrlUpPending = true;
        CloseCheck();
        return;
    }
    if (vk == VK_CONTROL) {
        OnCtrlUp();
        return;
    }
    if (vk == VK_MENU && IsSystemBarAvailable()) {
        if (m_bBarShown) {
            HideSystemBar();
        } else if (m_Mode != GameModeTitle) {
            m_BarSelection = -1;
            RedrawBarSelection();
            m_bBarShown = 1;
            MarkBarStrip();
        }
        return;
    }
    if (!m_bBarShown) {
        ModeKeyUp(vk);
        return;
    }
    if (vk == VK_RETURN) {
        ExecuteBarCommand();
        HideSystemBar();
    } else if (vk == VK_ESCAPE) {
        HideSystemBar();
    }
}

LRESULT CGameCtrl::OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_Mode == GameModeNameEntry && m_pNameEntry) return m_pNameEntry->OnImeMessage(msg, wParam, lParam);
    return DefWindowProcA(g_hWnd, msg, wParam, lParam);
}

void CGameCtrl::OnHelpKey() {}
