// The config panel overlay: sound switches and volumes with live previews, text speed, effects and the
// window mode; OK writes the settings file, Cancel puts the sound back as it was.
#pragma once

#include "files/Config.h"
#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "screens/OverlaySupport.h"

class CLayer;

class CConfigPanel : public CHitArea {
  public:
    // Regions of the panel's hit table.
    enum : int {
        kVoiceLevel0 = 0, // to 4
        kBgmLevel0 = 5,   // to 9
        kSELevel0 = 10,   // to 14
        kEffectOn = 15,
        kEffectOff = 16,
        kFullScreen = 17,
        kWindowed = 18,
        kTextSlow = 19,
        kTextFast = 20,
        kOK = 21,
        kCancel = 22,
        kRegionCount = 23
    };
    // Rows of the row cursor.
    enum : int { kRowVoice, kRowBgm, kRowSE, kRowEffect, kRowWindow, kRowText, kRowCount };
    // Parts of the art sheet: one a row, then the OK or Cancel button.
    static constexpr int kButtonPart = 6;

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

    // The values as the panel shows them, and as they were when it opened.
    const ConfigValues& GetEditedValues() const { return m_Edited; }
    const ConfigValues& GetOpeningValues() const { return m_Opening; }
    int GetFocus() const { return m_Focus; }
    // The row the row cursor is on, -1 none.
    int GetCursorRow() const { return m_Row; }

    static const RECT* RegionRect(int region);
    static const RECT* RowRect(int row);

  private:
    void DrawState();
    void SetCursorRow(int row);
    static int RowAtPoint(int x, int y);
    static int RowOfRegion(int region);
    void DirtyAll();

    void OnClick(int region);
    void Accept();
    void Cancel();
    // The sound of a level row as the panel shows it: on or off, volume, and the row's sample sound.
    void PreviewLevel(int row);

    // Keys.
    void MoveFocusSideways(int step);
    int RegionAbove(int region) const;
    int RegionBelow(int region) const;
    // The row's edited level (rows voice, BGM, SE) or setting (the pairs) becomes that of `region`.
    void SelectRegion(int region);
    int VoiceRegion() const;
    int BgmRegion() const;
    int SERegion() const;
    int EffectRegion() const;
    int WindowRegion() const;
    int TextRegion() const;

    CUpdateRect m_UpdateRect;
    CPushButtonArt m_Buttons;
    CLayer* m_pBackground;
    CLayer* m_pArt;
    CLayer* m_pRowCursor;
    int m_Result;
    ConfigValues m_Opening;
    ConfigValues m_Edited;
    int m_Focus;
    int m_Row;
};
