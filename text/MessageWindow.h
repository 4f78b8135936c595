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
    int GetChoiceResult() const;
    bool AreChoicesVisible() const;
    void SetChoicesVisible(BYTE on);
    int GetChoiceCount() const;
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);

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
};
