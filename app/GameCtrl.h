// The top-level game object. At this stage it holds what the display object and the message loop
// call on it; the modes, overlays, sprites and the compositor join it with their own subsystems.
#pragma once

#include "platform/ddraw.h"
#include "platform/window.h"

enum GameMode : int {
    GameModeLogo = 1,
    GameModeMovie = 2,
    GameModeTitle = 3,
    GameModeNameEntry = 4,
    GameModeScene = 5,
    GameModeEnding = 6,
    GameModeExtra = 7,
};

class CGameCtrl {
  public:
    CGameCtrl();
    ~CGameCtrl();
    CGameCtrl(const CGameCtrl&) = delete;
    CGameCtrl& operator=(const CGameCtrl&) = delete;

    // After the display exists. Until then nothing is drawn, released, re-created or restored through
    // this object: the start-up order and a message box's repaint may call those earlier.
    void Initialize();
    void Finalize();
    bool IsInitialized() const { return m_bInitialized; }

    // One idle pass of the message loop.
    void Run();
    // The present step: flush every dirty rectangle into the update region, then draw into `surface`.
    void Update();
    // The DirectDraw result of the frame's last blit (0 when nothing was drawn).
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

    void ShowCursorSprite();
    void HideCursorSprite();
    void OpenQuitDialog();
    void OpenSaveMenu();
    void OpenLoadMenu();
    void OpenConfigPanel();

    int GetMode() const { return m_Mode; }

  private:
    int m_Mode;
    bool m_bInitialized;
};

extern CGameCtrl* g_pGameCtrl;
