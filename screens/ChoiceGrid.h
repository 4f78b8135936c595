// The choice grid of the game scene: 24 cells with their levels, up to three picks, decide and back.
// Its pictures live in compositor layers 0-3: the grid only changes their parts.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CLayer;

class CChoiceGrid : public CHitArea {
  public:
    static constexpr int kCellCount = 24;
    // Choosing it stands for choosing none of the items.
    static constexpr int kSpecialCell = 23;
    static constexpr int kDecide = 24;
    static constexpr int kBack = 25;
    static constexpr int kRegionCount = 26;
    static constexpr int kPickCount = 3;
    static constexpr int kLevelCount = 5;
    static constexpr BYTE kLocked = 255;

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
    // The value of pick n (0-2): a cell, 23 for the special cell, or -1.
    int GetResult(int n) const;
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

    // The level cell k shows (0-4), or kLocked.
    BYTE GetLevel(int cell) const { return cell >= 0 && cell < kCellCount ? m_Levels[cell] : kLocked; }
    int GetPickCount() const { return m_PickCount; }
    int GetFocus() const { return m_Focus; }
    int GetMode() const { return m_Mode; }
    // The level a progress byte gives cell k.
    static BYTE LevelOf(int cell, BYTE progress);

  private:
    bool IsAvailable(int region) const;
    bool IsSpecialChosen() const { return m_Picks[0] == kSpecialCell; }
    void DrawCells(bool all);
    void DrawPicks();
    void DrawInfo(int region);
    // The hover or press frame of a region; none for -1 and locked cells.
    void DrawFrame(int region, bool pressed);
    // The region and, for a cell, its label.
    void MarkRegion(int region);
    int ApplyClick(int region);
    void SimulateAt(int region, void (CChoiceGrid::*handler)(int, int));
    int ReleaseAt(int region);

    CUpdateRect m_UpdateRect;
    int m_Mode;
    // The pictures of the second mode, which is never opened with a sub-menu of its own.
    CLayer* m_pSubMenu;
    CLayer* m_pVariants;
    int m_LastHover;
    int m_LastPressed;
    int m_Focus;
    BYTE m_Levels[kCellCount];
    int m_PickCount;
    int m_Picks[kPickCount];
};
