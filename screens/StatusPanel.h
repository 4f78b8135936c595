// The status panel overlay: four gauges of the scene's status values and a close button.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CStatusPanel : public CHitArea {
  public:
    CStatusPanel();
    ~CStatusPanel();

    // The four values on a scale of 0 to 10000 (larger values show full).
    bool Open(DWORD value0, DWORD value1, DWORD value2, DWORD value3);
    void Close();
    bool IsCloseRequested() const;
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    bool Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();
};
