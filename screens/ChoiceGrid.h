// The choice grid of the game scene: 24 cells with their levels, up to three picks, decide and back.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CChoiceGrid : public CHitArea {
  public:
    CChoiceGrid();
    ~CChoiceGrid();

    // `progress`: the 24 progress bytes, or null for those of the save data's record.
    bool Open(int mode, const BYTE* progress);
    void Close();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    // 1 once the player decided.
    int OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    int OnKeyUp(UINT vk);
    // The value of pick n (0-2).
    int GetResult(int n) const;
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();
};
