// The top-level game object: it owns the mode objects (logo, movie, title, name entry, game scene,
// ending, extras), the overlays (yes/no dialog, save/load menu, config panel, status panel), the
// cursor sprite and the system bar; it creates the transition engine, the archives, the compositor
// and the save data. Each idle pass runs the current mode; the present step flushes and draws; every
// window event is routed to the first open overlay, the bar or the current mode.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "platform/window.h"

class CLayer;
class CLogoMode;
class CMovieMode;
class CTitleMode;
class CNameEntryMode;
class CGameScene;
class CEndingMode;
class CExtraMode;
class CYesNoDialog;
class CSaveLoadMenu;
class CConfigPanel;
class CStatusPanel;

enum GameMode : int {
    GameModeLogo = 1,
    GameModeMovie = 2,
    GameModeTitle = 3,
    GameModeNameEntry = 4,
    GameModeScene = 5,
    GameModeEnding = 6,
    GameModeExtra = 7,
};

// The system bar: nine buttons across the top of the screen.
inline constexpr int kBarButtonCount = 9;
inline constexpr int kBarArtCount = 44;
// Buttons of the bar; 0 is its label and never enabled.
enum BarButton : int {
    BarLabel = 0,
    BarSave = 1,
    BarLoad = 2,
    BarConfig = 3,
    BarSkip = 4,
    BarAuto = 5,
    BarBacklog = 6,
    BarStatus = 7,
    BarTitle = 8,
};
extern const RECT g_BarStripRect;
extern const RECT g_BarButtonRects[kBarButtonCount];
// Source rectangles in "sg005": 0-8 normal, 9-17 hover, 18-26 pressed, 27-35 disabled, 36-39 the
// skip-on column in those four rows, 40-43 the auto-on column.
extern const RECT g_BarArtRects[kBarArtCount];
// Rewritten by every CGameCtrl::DrawSystemBar.
extern BYTE g_BarButtonEnabled[kBarButtonCount];
// The cursor sprite's screen rectangle, 32x32 at the mouse.
extern RECT g_CursorRect;
// Whether the transition engine ran at the previous pass.
extern BOOL g_bTransitionWasRunning;

class CGameCtrl : public CHitArea {
  public:
    CGameCtrl();
    ~CGameCtrl();
    CGameCtrl(const CGameCtrl&) = delete;
    CGameCtrl& operator=(const CGameCtrl&) = delete;

    // After the display exists: the cursor and bar sprites, the compositor and the save data. Until
    // then nothing is drawn, released, re-created or restored through this object: the start-up order
    // and a message box's repaint may call those earlier.
    void Initialize();
    void Finalize();
    bool IsInitialized() const { return m_bInitialized; }

    // One idle pass of the message loop.
    void Run();
    // The present step: flush every dirty rectangle into the update region, then draw into `surface`.
    void Update();
    // The DirectDraw result of the frame's last blit, the cursor sprite's (0 without one).
    HRESULT Draw(IDirectDrawSurface* surface);

    void RecreateSurfaces(IDirectDraw* dd);
    void ReleaseSurfaces();
    void RestoreSurfaces();

    // Input in client pixels of the 640x480 screen.
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnRButtonDown();
    void OnWheelUp();
    void OnWheelDown();
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    LRESULT OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnHelpKey();

    // Cursor sprite and overlays. Each open does nothing while its overlay is up.
    void ShowCursorSprite();
    void HideCursorSprite();
    void OpenQuitDialog();
    void OpenSaveMenu();
    void OpenLoadMenu();
    void OpenConfigPanel();
    void OpenReturnToTitleDialog();
    void OpenStatusPanel();
    void CloseStatusPanel();
    // Close checks, after each button or key release on the overlay: they act once it has answered.
    void OnSaveLoadMenuClosed();
    void OnConfigPanelClosed();
    void OnConfirmDialogClosed();
    // What the close checks do with an answer (1 yes or confirmed, 2 no or back).
    void AnswerConfirmDialog(int result, int kind);
    void AnswerSaveLoadMenu(int result, bool load, int slot);
    void AnswerConfigPanel(int result);

    // The system bar.
    void DrawSystemBar();
    bool DrawBarButtonHover(int i);
    bool DrawBarButtonPressed(int i);
    void RedrawBarSelection();
    void MoveBarSelection(int step);
    void ExecuteBarCommand();
    bool IsSystemBarAvailable() const;
    void OnBarMouseMove(int x, int y);
    void OnBarLButtonDown(int x, int y);
    void OnBarLButtonUp(int x, int y);

    int GetMode() const { return m_Mode; }
    CLayer* GetCursorSprite() const { return m_pCursor; }
    CLayer* GetBarSprite() const { return m_pBar; }
    CLogoMode* GetLogo() const { return m_pLogo; }
    CMovieMode* GetMovie() const { return m_pMovie; }
    CTitleMode* GetTitle() const { return m_pTitle; }
    CNameEntryMode* GetNameEntry() const { return m_pNameEntry; }
    CGameScene* GetScene() const { return m_pScene; }
    CEndingMode* GetEnding() const { return m_pEnding; }
    CExtraMode* GetExtra() const { return m_pExtra; }
    CYesNoDialog* GetDialog() const { return m_pDialog; }
    // The kind the dialog was opened with (-1 while none is open).
    int GetDialogKind() const { return m_pDialog ? m_DialogKind : -1; }
    CSaveLoadMenu* GetSaveLoadMenu() const { return m_pSaveLoadMenu; }
    CConfigPanel* GetConfigPanel() const { return m_pConfigPanel; }
    CStatusPanel* GetStatusPanel() const { return m_pStatusPanel; }
    bool IsBarShown() const { return m_bBarShown != 0; }
    bool IsBarSuppressed() const { return m_bBarSuppressed != 0; }
    bool IsDialogOpen() const { return m_bDialogOpen != 0; }
    int GetBarSelection() const { return m_BarSelection; }
    int GetPendingLoadSlot() const { return m_PendingLoadSlot; }

  private:
    // --- Frame (GameCtrl.cpp) ---
    void RunMovieAndEnding();
    void RunModeLoop();
    // One step of the mode loop for mode 5; true when the loop runs again at once.
    bool RunSceneStep(bool* sceneRecreated);
    // Closes (where the class has it) and deletes the object of `mode`, marking the whole screen.
    void DeleteModeObject(int mode);
    // Calls `fn` with the current mode's object (modes 2-7) when it exists.
    template <class Fn> void ForModeObject(Fn&& fn) {
        switch (m_Mode) {
        case GameModeMovie:
            if (m_pMovie) fn(m_pMovie);
            break;
        case GameModeTitle:
            if (m_pTitle) fn(m_pTitle);
            break;
        case GameModeNameEntry:
            if (m_pNameEntry) fn(m_pNameEntry);
            break;
        case GameModeScene:
            if (m_pScene) fn(m_pScene);
            break;
        case GameModeEnding:
            if (m_pEnding) fn(m_pEnding);
            break;
        case GameModeExtra:
            if (m_pExtra) fn(m_pExtra);
            break;
        default:
            break;
        }
    }
    // Calls `fn` with the first open panel of save/load menu, config panel, status panel; false when
    // none is open.
    template <class Fn> bool ForFirstPanel(Fn&& fn) {
        if (m_pSaveLoadMenu)
            fn(m_pSaveLoadMenu);
        else if (m_pConfigPanel)
            fn(m_pConfigPanel);
        else if (m_pStatusPanel)
            fn(m_pStatusPanel);
        else
            return false;
        return true;
    }
    // The frame without the cursor sprite; the dialog only with `withDialog`.
    void DrawFrameBody(IDirectDrawSurface* surface, bool withDialog);
    void MarkWholeScreen();

    // --- Overlays (GameCtrlOverlays.cpp) ---
    bool IsPanelOpen() const { return m_pSaveLoadMenu || m_pConfigPanel || m_pStatusPanel; }
    // The frame as it stands, with no cursor, in a new blank layer (null when none could be made).
    CLayer* TakeSnapshot();
    // A new dialog of that kind over a snapshot of the frame.
    void OpenDialog(int kind);
    // Leaving the scene for the title or a loaded slot: loop sounds stopped, music out.
    void StopSoundsForSceneChange();

    // --- Input (GameCtrlInput.cpp) ---
    // The event goes to the first open overlay of dialog, save/load menu, config panel, status panel;
    // false when none is open.
    template <class Fn> bool ToOverlay(Fn&& fn) {
        if (m_pDialog) {
            fn(m_pDialog);
            return true;
        }
        return ForFirstPanel(fn);
    }
    void CloseCheck();
    bool BarTakesPointer(int y) const;
    bool IsTransitionRunning() const;
    void ModeKeyDown(UINT vk);
    void ModeKeyUp(UINT vk);
    // The mode took a press whose release something else takes: its widget hears of a release
    // outside it, or it would wait for that release and swallow the next click.
    void EndModePress();
    void OnCtrlDown();
    void OnCtrlUp();
    // Called as an overlay goes: once none is left, a Ctrl released under them reaches the game.
    void AfterOverlayClosed();

    // --- System bar (SystemBar.cpp) ---
    void HideSystemBar();
    void MarkBarStrip();
    // The button held down over the one it went down on, or -1.
    int BarPressedIndex() const;
    void SetBarArt(int button, int art);

    CUpdateRect m_UpdateRect;
    CLayer* m_pCursor;
    CLayer* m_pBar;
    CTitleMode* m_pTitle;
    CGameScene* m_pScene;
    CSaveLoadMenu* m_pSaveLoadMenu;
    CConfigPanel* m_pConfigPanel;
    CNameEntryMode* m_pNameEntry;
    CExtraMode* m_pExtra;
    CEndingMode* m_pEnding;
    CLogoMode* m_pLogo;
    CMovieMode* m_pMovie;
    CStatusPanel* m_pStatusPanel;
    CYesNoDialog* m_pDialog;
    int m_Mode;
    int m_LastBarHover;
    int m_LastBarPressed;
    int m_BarSelection;
    int m_PendingLoadSlot;
    BYTE m_bBarShown;
    BYTE m_bBarPressing;
    BYTE m_bBarSuppressed;
    BYTE m_bDialogOpen;
    int m_DialogKind;
    bool m_bInitialized;
    // The current mode took the left button's press and has not had its release.
    bool m_bModePressed = false;
    // Ctrl, held for the game, was released while an overlay took the keys.
    bool m_bCtrlUpPending = false;
};

extern CGameCtrl* g_pGameCtrl;
