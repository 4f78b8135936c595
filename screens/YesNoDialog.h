// The yes/no question over a snapshot of the screen: return to title, quit, and the save/load menu's
// own questions.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "screens/OverlaySupport.h"

class CLayer;

class CYesNoDialog : public CHitArea {
  public:
    // Question kinds: 0 return to title, 1 quit; the save/load menu asks 2 and 3.
    enum : int { kReturnToTitle = 0, kQuit = 1, kSaveHere = 2, kLoadThis = 3, kKindCount = 4 };
    // Regions, and the keyboard focus.
    enum : int { kYes = 0, kNo = 1 };

    CYesNoDialog();
    ~CYesNoDialog();

    // (Re)creates the pictures over `snapshot` (the frame as it stood), plays the kind's voice. An
    // unknown kind changes nothing.
    void Open(int kind, CLayer* snapshot);
    // 0 still open, 1 yes, 2 no.
    int GetResult() const;
    int GetKind() const;
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

    int GetFocus() const { return m_Focus; }
    static const RECT& GetDialogRect();

  private:
    void SimulateAtFocus(void (CYesNoDialog::*handler)(int, int));
    void DeletePictures();

    CUpdateRect m_UpdateRect;
    CPushButtonArt m_Buttons;
    CLayer* m_pMessage;
    CLayer* m_pButtonArt;
    int m_Result;
    int m_Kind;
    int m_Focus;
};
