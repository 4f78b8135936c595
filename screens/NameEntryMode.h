// Mode 4: the player's family and given names, typed through the input method.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"
#include "platform/window.h"
#include "screens/OverlaySupport.h"

class CLayer;
class CMessageWindow;

// A Shift-JIS lead byte at text[index] (0x81-0x9F, 0xE0-0xFC).
bool IsDbcsLeadByte(const char* text, int index);

class CNameEntryMode : public CHitArea {
  public:
    // Regions: the two buttons.
    enum : int { kReset = 0, kOk = 1 };
    // Active fields.
    enum : int { kNoField = 0, kFamilyField = 1, kGivenField = 2 };
    static constexpr int kNameSize = 13;          // with the NUL
    static constexpr int kNameBytes = 12;         // six full-width characters
    static constexpr int kCompositionSize = 2048; // with the NUL
    static constexpr int kMaxCompositionChars = 30;
    // Where the names stand; the composition continues the active field's row and wraps below it.
    static constexpr int kFieldLeft = 212;
    static constexpr int kFamilyTop = 144;
    static constexpr int kGivenTop = 286;
    static constexpr int kCaretStops = 7;        // before each of six characters, and after them
    static constexpr int kCompositionRows = 8;   // of 7 characters
    static constexpr int kCompositionBytes = 60; // 30 full-width characters
    static constexpr int kCaretBlinkMs = 500;

    CNameEntryMode();
    ~CNameEntryMode();

    void Open();
    // 4 to stay, 3 once the names are taken.
    int Run();
    void Close();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    // Every message it is given ends here (0): no system composition window, no WM_CHAR typing.
    LRESULT OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

    const char* GetFamilyName() const { return m_FamilyName; }
    const char* GetGivenName() const { return m_GivenName; }
    const char* GetComposition() const { return m_Composition; }
    int GetActiveField() const { return m_ActiveField; }
    int GetCaretIndex() const { return m_CaretIndex; }
    bool IsCaretShown() const;
    // Where the caret stands now (its top-left corner).
    POINT GetCaretPos() const;
    bool IsImeFlagSet() const { return m_bImeOpen != 0; }

  private:
    char* GetActiveName();
    // The caret x (7) and row y (8) positions of a field: 1 the family name, any other the given name.
    static void GetPositionTables(int field, const int** xs, const int** ys);
    void BuildPositionTables();
    void SetImeOpen(BYTE open);
    void SetImeFlag(BYTE on);
    // -1: at the caret index; else the composition's cursor, a byte offset.
    void PlaceCaret(int position);
    void MarkCaret();
    void OnImeComposition();
    void DrawComposition();
    void OnImeResult();
    void InsertText(const char* text, int length);
    // 0 Backspace, 1 Delete.
    void DeleteChar(int kind);
    void DrawNames();
    void OnKey(UINT vk);
    void OnFieldClick(int x, int y);
    void Commit();
    // The pointer somewhere on the screen, as keys simulate it.
    void MoveTo(POINT at) { OnMouseMove(at.x, at.y); }
    void ShowButtonArt(const RECT* art, int region);

    // Kept from one opening to the next.
    static int s_CaretX[2][kCaretStops];
    static int s_RowY[2][kCompositionRows];
    static RECT s_CaretArea;
    static int s_SavedField;
    static DWORD s_TargetColour;

    int m_State;
    CLayer* m_pFamilyPicture;
    CLayer* m_pGivenPicture;
    CLayer* m_pCompositionPicture;
    CLayer* m_pButtons;
    CLayer* m_pCaret;
    CMessageWindow* m_pText;
    CUpdateRect m_UpdateRect;
    CPushButtonArt m_Buttons;
    int m_LastHover;
    int m_LastCurrent;
    int m_ActiveField;
    char m_FamilyName[kNameSize];
    char m_GivenName[kNameSize];
    char m_Composition[kCompositionSize];
    char m_CompositionAttrs[kCompositionSize];
    int m_CaretIndex;
    BYTE m_bImeOpen;
    DWORD m_BlinkDeadline;
    BYTE m_bShift;
};
