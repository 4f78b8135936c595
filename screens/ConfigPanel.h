// The config panel overlay: sound switches and volumes with live previews, text speed, effects, the
// movie switch and the window mode; OK writes the settings file, Cancel puts everything back.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CConfigPanel : public CHitArea {
  public:
    CConfigPanel();
    ~CConfigPanel();

    // 0 still open, 1 OK, 2 cancel.
    int GetResult() const;
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
