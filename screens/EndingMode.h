// Mode 6: the staff roll after the scenario's end.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CEndingMode {
  public:
    CEndingMode();
    ~CEndingMode();
    CEndingMode(const CEndingMode&) = delete;
    CEndingMode& operator=(const CEndingMode&) = delete;

    // True while the roll goes on, false once it has finished.
    bool Run();
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
