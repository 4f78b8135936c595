// The save/load menu overlay: 30 slots on three pages with their dates, and its own yes/no question.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CSaveLoadMenu : public CHitArea {
  public:
    explicit CSaveLoadMenu(bool load);
    ~CSaveLoadMenu();

    void Open();
    // 0 still open, 1 a slot was confirmed, 2 back.
    int GetResult() const;
    // The confirmed slot, 0-29, or -1.
    int GetChosenSlot() const;
    bool IsLoadMenu() const;
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();
};
