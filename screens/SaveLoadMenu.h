// The save/load menu overlay: 30 slots on three pages with their dates, and its own yes/no question.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

#include <string>

class CLayer;
class CMessageWindow;
class CYesNoDialog;
struct SceneStateRecord;

class CSaveLoadMenu : public CHitArea {
  public:
    static constexpr int kLineCount = 10;
    static constexpr int kPageCount = 3;
    // Regions: lines 0-9, the page buttons, back.
    enum : int { kFirstPageButton = 10, kBack = 13, kRegionCount = 14 };

    explicit CSaveLoadMenu(bool load);
    ~CSaveLoadMenu();
    CSaveLoadMenu(const CSaveLoadMenu&) = delete;
    CSaveLoadMenu& operator=(const CSaveLoadMenu&) = delete;

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

    int GetPage() const { return m_Page; }
    int GetFocus() const { return m_Focus; }
    // The confirmation while it is up, else null.
    CYesNoDialog* GetDialog() const { return m_pDialog; }
    const RECT& GetRegion(int region) const { return m_pRectTable[region]; }
    // A line's text: the slot number, the save date and time, and the calendar day when one was set;
    // Shift-JIS full-width characters.
    static std::string SlotText(int slot, const SceneStateRecord& record);

  private:
    bool IsLine(int region) const { return region >= 0 && region < kLineCount; }
    // Every line of the save menu; in the load menu only a line whose slot holds a save.
    bool IsUsableLine(int region) const;
    POINT Corner(int region) const;
    void DrawSlot();
    void DrawLineText(int line, const std::string& text);
    // The lines' rows and the art for a press held over `pressed`, else for the pointer over `hover`.
    void DrawHighlight(int hover, int pressed);
    void ShowRegionArt(int hover, int pressed);
    void RefreshPage();
    void MarkRegion(int region);
    void MarkWholeScreen();
    void OpenConfirmation(int line);
    // Reads the confirmation's answer after a release on it.
    void PollDialog();
    void SimulateAt(int region, void (CSaveLoadMenu::*handler)(int, int));
    int LineAbove(int region) const;
    int LineBelow(int region) const;
    void DeletePictures();

    CUpdateRect m_UpdateRect;
    bool m_bLoad;
    int m_Result;
    int m_ChosenSlot;
    int m_Page;
    int m_Focus;
    int m_LastHover;
    int m_LastPressed;
    BYTE m_Used[31];
    CLayer* m_pBackground;
    CLayer* m_pArt;
    CLayer* m_pList;
    CMessageWindow* m_pText;
    CYesNoDialog* m_pDialog;
    bool m_bDialogOpen;
};
