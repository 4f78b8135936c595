// The status panel overlay: four gauges of the scene's status values and a close button.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "screens/OverlaySupport.h"

class CLayer;

class CStatusPanel : public CHitArea {
  public:
    static constexpr int kGaugeCount = 4;
    static constexpr int kStepCount = 21;
    static constexpr LONG kFullValue = 10000;

    CStatusPanel();
    ~CStatusPanel();

    // The four values on a scale of 0 to 10000, as signed numbers: larger values show full, values below
    // 0 show nothing.
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

    LONG GetValue(int gauge) const { return gauge >= 0 && gauge < kGaugeCount ? m_Values[gauge] : 0; }
    // The step gauge g shows: 0 full to 20 empty, -1 none.
    int GetGaugeStep(int gauge) const { return gauge >= 0 && gauge < kGaugeCount ? m_Steps[gauge] : -1; }
    int GetFocus() const { return m_Focus; }

  private:
    void DrawGauges();
    void SimulateAtButton(void (CStatusPanel::*handler)(int, int));

    CUpdateRect m_UpdateRect;
    CPushButtonArt m_Button;
    CLayer* m_pBackground;
    CLayer* m_pButtonArt;
    CLayer* m_pGauges;
    LONG m_Values[kGaugeCount];
    int m_Steps[kGaugeCount];
    BYTE m_bCloseRequested;
    int m_Focus;
};
