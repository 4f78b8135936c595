// The one layer compositor: ten picture slots drawn in order, every change shown through a screen
// transition when effects are allowed, the fades to black and white, MoveChar and the frozen screen.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/base.h"

struct IDirectDraw;
struct IDirectDrawSurface;
class CDDrawSurface;
class CLayer;
struct TransitionParams;

class CScreen {
  public:
    static constexpr int kLayerCount = 10;
    static constexpr int kEffectCount = 72;
    // Fade kinds.
    enum : int { kBlackOut = 1, kBlackIn = 2, kWhiteOut = 3, kWhiteIn = 4 };

    CScreen();
    ~CScreen();
    CScreen(const CScreen&) = delete;
    CScreen& operator=(const CScreen&) = delete;

    void SetEffectEnable(BYTE enable) { m_bEffectEnable = enable; }
    BYTE GetEffectEnable() const { return m_bEffectEnable; }
    // 0-71; any other number is refused and the effect stays.
    bool SetEffect(int effect);
    int GetEffect() const { return m_Effect; }
    // Timing values for the next change that runs with a transition, in place of the effect's row.
    void SetEffectParams(int value0, int value1, int value2, int value3);
    // Not skipping, effects enabled, an effect chosen, and no frozen screen unless it is ignored.
    bool CanTransition(bool ignoreSnapshot) const;

    // Fills an empty slot; false (nothing changes) when the slot is taken.
    bool LoadLayer(int slot, const char* name, BYTE visible, int x, int y, BYTE colorKey);
    // Replaces the picture of a taken slot; timing0 other than -1 gives this transition its own row.
    bool ChangeLayer(int slot, const char* name, BYTE visible, int x, int y, BYTE colorKey, int timing0,
                     int timing1, int timing2, int timing3);
    void ShowLayer(int slot, BYTE visible);
    void SetLayerPos(int slot, int x, int y);
    // Pre-blends every visible "AM" picture over what lies beneath it.
    void Compose();
    void StartQuake(int duration, int interval);

    // Once a frame, in this order.
    void Update();
    HRESULT Draw(IDirectDrawSurface* target);
    void EndTransition();

    // A display-mode change and a surface loss.
    bool Release();
    bool Restore(IDirectDraw* dd);
    bool RestoreIfLost();

    // Fades: black-out 1, black-in 2, white-out 3, white-in 4.
    void Fade(int kind);
    void ClearFade();
    // Slides the picture of `source` (1-9) to x, ending in slot `target` (0-9).
    void MoveChar(int source, int target, int x, int tenths);
    void TakeSnapshot();
    void TransitionFromSnapshot(int effect);

    // The picture of a slot; screens put their own pictures into slots and read them back.
    CLayer* GetLayer(int slot) const;
    // Puts a picture into a slot (the compositor owns it from then on) and returns what was there,
    // which the caller now owns. Out-of-range slots keep nothing and hand the picture back.
    CLayer* SetLayer(int slot, CLayer* layer);

    bool IsRunning() const { return m_bRunning != 0; }
    bool IsMoving() const { return m_Move.source != 0; }
    bool IsBlackedOut() const { return m_bBlackOut != 0; }
    bool IsWhitedOut() const { return m_bWhiteOut != 0; }
    int GetFadeKind() const { return m_FadeKind; }
    bool HasSnapshot() const { return m_pSnapshot != nullptr; }
    // The work surfaces of the running transition (null when absent): before, after, draw.
    CDDrawSurface* GetWorkSurface(int which) const;

  private:
    struct MoveCharState {
        int source = 0; // 0: no MoveChar runs
        int target = 0;
        double duration = 0;  // milliseconds
        bool started = false; // the first step takes the start tick and x
        DWORD startTick = 0;
        long long dx = 0; // the target x less the start x: beyond a LONG for far-apart ends
        int targetX = 0;
        LONG startX = 0;
    };

    bool ValidSlot(int slot) const { return slot >= 0 && slot < kLayerCount; }
    void DirtyAll();
    void DropOneShot() { m_bOneShot = 0; }

    // Work surfaces: mask bit 1 before, 2 after, 4 draw; 0 makes all three.
    bool CreateWorkSurfaces(SIZE size, int mask);
    void DeleteWorkSurfaces();
    void FillTransitionParams(TransitionParams* params);
    // A transition, fade or quake about to start first ends whatever runs, so nothing leaks.
    void FinishRunning();
    // A change with a transition: work surfaces and the engine's start (timing replaces the row when
    // given). False when the engine refused: nothing is left and the change happens at once.
    bool StartChange(const int* timing);
    // After the before image: the copy that the first step draws over.
    void CopyBeforeToDraw();
    // After the change: the after image, the step RECT, running, and the start restamped.
    void FinishChange();
    HRESULT DrawLayers(IDirectDrawSurface* target, int skipSlot = -1);
    HRESULT DrawLayersMoving(IDirectDrawSurface* target);

    void FadeCleanUp();
    void UpdateMoveChar();
    // Ends a MoveChar at its goal; compose is false while surfaces are gone.
    void FinishMoveChar(bool compose);
    void PlaceMovedLayer(bool compose);
    void RefillOverlay();
    void RedrawSnapshot();

    CUpdateRect m_UpdateRect;
    BYTE m_bEffectEnable = 0;
    BYTE m_bRunning = 0;
    int m_Effect = 0;
    CDDrawSurface* m_pBefore = nullptr;
    CDDrawSurface* m_pAfter = nullptr;
    CDDrawSurface* m_pDraw = nullptr;
    CLayer* m_pFadeLayer = nullptr;
    int m_FadeKind = 0;
    int m_bStepFinished = 0;
    RECT m_StepRect = {0, 0, 0, 0};
    MoveCharState m_Move;
    BYTE m_bBlackOut = 0;
    BYTE m_bWhiteOut = 0;
    BYTE m_bOneShot = 0;
    int m_OneShot[4] = {0, 0, 0, 0};
    CLayer* m_pLayers[kLayerCount] = {};
    CLayer* m_pSnapshot = nullptr;
    BYTE m_bSavedEffectEnable = 0;
};

extern CScreen* g_pScreen;
