// Mode 7: the extras: menu, CG gallery and viewer, scene list and replay, sound room.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CExtraMode : public CHitArea {
  public:
    CExtraMode();
    ~CExtraMode();

    void Open();
    // 7 to stay, 3 back to the title.
    int Run();
    void Close();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnRButtonDown();
    void OnWheelUp();
    void OnWheelDown();
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

    int GetSubScreen() const;
    // A scene of "scene.sct" is being replayed (the system bar is offered then).
    bool IsReplaying() const;
};
