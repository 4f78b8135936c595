// Mode 3: the title menu with its three items over the title picture, and the title music. The keys N
// and E lead to name entry and to the extras.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CLayer;

class CTitleMode : public CHitArea {
  public:
    // The items, in the order of the rectangle table.
    enum : int { kItemStart = 0, kItemConfig = 1, kItemQuit = 2, kItemCount = 3 };

    CTitleMode();
    ~CTitleMode();

    // 3 while the menu is shown, then the mode chosen: 5 start, 4 name entry, 7 extras.
    int Run();
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

    bool IsInputEnabled() const { return m_bInputDisabled == 0; }
    int GetFocus() const { return m_Focus; }
    // The item sprite; null once the game starts.
    CLayer* GetItemSprite() const { return m_pItems; }
    static const RECT* GetItemRect(int item);

  private:
    void ShowItemArt(int item, const RECT* art);
    void MarkItem(int item);
    // Leaves the title for `mode` at the next Run, as chosen with a key.
    void ChooseMode(int mode);

    int m_bInputDisabled;
    int m_NextMode;
    CUpdateRect m_UpdateRect;
    CLayer* m_pItems;
    int m_LastHover;
    int m_LastCurrent;
    int m_Focus;
};
