// Mode 4: the player's family and given names, typed through the input method.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "platform/window.h"

class CNameEntryMode : public CHitArea {
  public:
    CNameEntryMode();
    ~CNameEntryMode();

    void Open();
    // 4 to stay, 3 once the names are taken.
    int Run();
    void Close();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    LRESULT OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();
};
