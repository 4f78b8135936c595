// The three-line message window of the game scene: the page text with its "#" codes, the line
// breaking, the one-character-at-a-time reveal, glyphs drawn by 3x3 coverage with colours and shadows,
// the speaker name plate, up to three choices, the click-wait icon and the 100-page backlog. Name entry
// and the save/load menu make a text-only window that just draws strings with its font and colours.
//
// This header is the contract the game scene, name entry and the save/load menu build on; the private
// part belongs to the window's implementation.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/base.h"
#include "platform/ddraw.h"
#include "platform/gdi.h"

#include <memory>
#include <vector>

class CLayer;

class CMessageWindow : public CHitArea {
  public:
    // Window states, read by the game scene after each Update.
    enum : int { kStateIdle = 0, kStateClickWait = 1, kStateRevealing = 2, kStateStopped = 3 };

    explicit CMessageWindow(BYTE textOnly);
    ~CMessageWindow();
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;

    // --- Page model ---
    void SetFamilyName(const char* text);
    void SetGivenName(const char* text);
    void SetNickName(const char* text);
    void SetText(const char* text);
    int Update();
    void Resume();
    void ClearPage();
    void RedrawText();
    void SetVisible(BYTE on);
    BYTE IsVisible() const;
    void SetVoiceName(const char* name);
    const char* GetVoiceName() const;
    int GetState() const;
    // Stopped at "#P" or "#M" rather than in a timed wait: nothing more of this page will show.
    bool IsPageStopped() const;
    // Line 0-2 of the text grid: 55 bytes, NUL-padded (a full line has no NUL); null for other lines.
    const char* GetGridLine(int line) const;

    // --- Glyphs and styles ---
    void SetFontSize(int index);
    int GetFontSize() const;
    int GetFontWidth() const;
    int GetFontHeight() const;
    void SetCharPitch(int advance);
    void SetTextColor(int r, int g, int b, BYTE force);
    void SetNameColor(int r, int g, int b, BYTE force);
    void GetTextColor(int* r, int* g, int* b) const;
    void GetNameColor(int* r, int* g, int* b) const;
    void SetShadowColor(int r, int g, int b);
    void SetTextShadow(BYTE on);
    void SetNameShadow(BYTE on);
    void SetSpeakerName(const char* name);
    void ClearSpeakerName();
    void RedrawSpeakerName();
    const char* GetSpeakerName() const;
    void DrawString(const char* text, CLayer* background, int bx, int by, CLayer* target, int tx, int ty);

    // --- Choices ---
    bool AddChoice(const char* text, DWORD value);
    bool ShowChoices();
    void CloseChoices();
    // The value of the decided choice; any 32-bit value, -1 included, so ask IsChoiceDecided first.
    int GetChoiceResult() const;
    // A choice was decided since the choices were last shown.
    bool IsChoiceDecided() const;
    bool AreChoicesVisible() const;
    void SetChoicesVisible(BYTE on);
    int GetChoiceCount() const;
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    // A press on the choices whose release something else took ends as a release outside them.
    void CancelPress();

    // --- Click-wait icon and backlog ---
    void AnimateClickIcon();
    void PushBacklogPage();
    // -1 when there is no page to show; otherwise the page shown.
    int BacklogBack();
    // 0 when the step leaves the backlog.
    int BacklogForward();
    void LeaveBacklog();
    bool IsBacklogShown() const;

    // --- Frame and display ---
    void FlushUpdate();
    HRESULT Draw(IDirectDrawSurface* target);
    bool Restore(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreIfLost();

    // Sizes of the text picture and the page.
    static constexpr int kColumns = 52;
    static constexpr int kLines = 3;
    static constexpr int kGridLineSize = 55;
    static constexpr int kPageTextSize = 1025;
    static constexpr int kMaxTextLength = 155;
    static constexpr int kSpeakerNameBytes = 12;
    static constexpr int kMaxChoices = 3;
    static constexpr int kChoiceTextBytes = 60;
    static constexpr int kBacklogPages = 100;
    static constexpr int kDefaultFontSize = 2;
    static constexpr int kFontSizeCount = 5;
    static constexpr RECT kIconRect = {586, 450, 602, 466};

  private:
    // A colour in every pixel layout the display can have, and the red, green, blue it was made from.
    struct GlyphColor {
        WORD pixel16 = 0;
        BYTE bytes24[3] = {0, 0, 0}; // blue, green, red
        DWORD pixel32 = 0;
        int r = -1, g = -1, b = -1;
    };
    enum : int { kTextColor = 0, kNameColor = 1, kShadowColor = 2 };
    struct BacklogPage {
        char grid[kLines * kGridLineSize];
        char speakerName[kSpeakerNameBytes + 1];
        char voiceName[34];
        DWORD fontSize;
    };
    // Result of FetchChar.
    enum : int {
        kFetchEnd = 0,
        kFetchOneByte = 1,
        kFetchTwoByte = 2,
        kFetchClickWait = 3,
        kFetchTimedWait = 4,
        kFetchPageStop = 5,
        kFetchMapStop = 6,
    };

    // Text engine.
    int FetchChar(char* ch);
    int StepText(BYTE all);
    void LayOutOne();
    void LineBreak();
    void StopLayout();
    void AfterStateChange();
    RECT WindowRect() const;
    CLayer* WindowPicture() const;
    CLayer* ChoiceBoxPicture() const;
    void MarkDirty(const RECT& rc);
    static void ShowSlotAtOnce(int slot, BYTE on);
    void ReportTextError(const char* message, const char* text);
    // The speaker name and the text again, the text at the page's own font size.
    void RedrawPage();
    // The work picture is cleared whole before the next glyph.
    void ForgetWorkContent();

    // Glyphs and styles.
    void RenderGlyph(const char* ch, int width);
    void BlendGlyph(int bx, int by, int tx, int ty);
    void BlendGlyphShadow(int bx, int by, int tx, int ty, BYTE backToText);
    void SetColorSet(int r, int g, int b, BYTE force, int set);
    void SetBlendPictures(CLayer* background, CLayer* target);
    int Advance(int width) const { return width == 2 ? m_Advance : m_Advance / 2; }
    void DrawTextGlyph(const char* ch, int width, int x, int y);
    void CreateMarker(CLayer** marker, int w, int h, int x, int y);

    // Choices.
    void CreateChoiceBoxes();
    void DrawChoiceTexts();
    void ShowChoiceRows(int choice, int row, int cell);
    void ShowNormalChoices();
    // Forgets a press and hover on the choices and shows them all plain.
    void DropChoicePress();
    // Lights the choice under the pointer, or the one held down.
    void ShowChoiceHighlight();
    // The choices drawn again after a display change, in the state they were in.
    void RestoreChoices();
    RECT ChoiceArea() const;

    // Click-wait icon.
    void StartClickIcon();
    void ShowIconFrame();
    void SetIconVisible(BYTE on);

    // Backlog.
    void SaveLivePage();
    void ShowBacklogPage(int index);
    void RestoreLivePage();

    // Every picture the window owns, for the display operations.
    std::vector<CLayer*> OwnPictures() const;

    CUpdateRect m_UpdateRect;
    CLayer* m_pTextLayer = nullptr;
    CLayer* m_pTextShadow = nullptr;
    CLayer* m_pNamePlate = nullptr;
    CLayer* m_pNameShadow = nullptr;
    CLayer* m_pWork = nullptr;
    CLayer* m_pChoiceText = nullptr;
    CLayer* m_pIcon = nullptr;
    // The choice boxes live in compositor layer 4 while this is set.
    BYTE m_bChoiceBoxes = 0;
    BYTE m_bTextOnly = 0;

    HFONT m_hFont = nullptr;
    int m_FontSize = -1;
    int m_HalfWidth = 0;
    int m_Height = 0;
    int m_LineHeight = 0;
    int m_Advance = 0;
    std::vector<DWORD> m_Coverage;
    // Bounds of the cells with coverage above 0 of the glyph last rendered.
    RECT m_Lit = {0, 0, 0, 0};
    // Rows of the work picture that may hold lit pixels; all of it when its content is unknown.
    RECT m_WorkDirty = {0, 0, 0, 0};

    BYTE m_bVisible = 0;
    DWORD m_NextStepTime = 0;
    BYTE m_bWaitArmed = 0;
    DWORD m_WaitDeadline = 0;
    int m_WaitCodeLength = 0;
    DWORD m_IconChangeTime = 0;
    int m_IconFrame = 0;
    int m_PrevState = kStateIdle;

    int m_ReadPos = 0;
    int m_Column = 0;
    int m_Line = 0;
    int m_X = 0;
    int m_Y = 0;
    GlyphColor m_Colors[3];
    int m_CurrentColor = kTextColor;
    CLayer* m_pBlendBackground = nullptr;
    CLayer* m_pBlendTarget = nullptr;
    int m_State = kStateIdle;

    char m_VoiceName[32] = {};
    char m_Expansion[kPageTextSize] = {};
    char m_PageText[kPageTextSize] = {};
    char m_Grid[kLines][kGridLineSize] = {};
    char m_SpeakerName[kSpeakerNameBytes + 1] = {};

    int m_ChoiceCount = 0;
    int m_ChoiceResult = -1;
    int m_ChoiceMode = 0;
    char m_ChoiceTexts[kMaxChoices][kChoiceTextBytes + 1] = {};
    DWORD m_ChoiceValues[kMaxChoices] = {};
    int m_LastHover = -1;
    int m_LastPressed = -1;
    int m_Cursor = -1;

    std::unique_ptr<BacklogPage> m_Backlog[kBacklogPages];
    int m_BacklogCount = 0;
    int m_BacklogNewest = -1;
    int m_BacklogDepth = 0;
    int m_BacklogView = 0;
    BacklogPage m_SavedPage = {};
    int m_SavedTextColor[3] = {255, 255, 255};
    int m_SavedNameColor[3] = {255, 255, 255};
};
