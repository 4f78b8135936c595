// Mode 6: the staff roll after the scenario's end: twelve pictures faded in on layer 0 to "bgm14", the
// last held until the player skips; a click or a key cuts the roll short.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CEndingMode {
  public:
    struct RollRow {
        int effect;
        DWORD time; // from the start, in ms; kHold for the held last row
        char picture[16];
    };
    static constexpr int kRowCount = 13;
    static constexpr DWORD kHold = 0xFFFFFFFFu;
    // How long the music fades after a skip before the roll ends, from the roll or from the hold.
    static constexpr DWORD kSkipWait = 1500;
    static constexpr DWORD kSkipWaitHolding = 500;
    static const RollRow kRollTable[kRowCount];

    CEndingMode();
    ~CEndingMode();
    CEndingMode(const CEndingMode&) = delete;
    CEndingMode& operator=(const CEndingMode&) = delete;

    // True while the roll goes on, false once it has finished.
    bool Run();
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

    int GetRow() const { return m_Row; }
    bool IsFinishing() const { return m_bFinishing != 0; }
    bool IsSkipRequested() const { return m_bSkipRequested != 0; }
    DWORD GetNextDeadline() const { return m_NextDeadline; }

  private:
    bool NextPage();
    bool IsHolding() const { return m_Row >= 0 && m_Row < kRowCount && kRollTable[m_Row].time == kHold; }
    void Skip();

    CUpdateRect m_UpdateRect;
    int m_bFinishing;
    int m_Row;
    DWORD m_StartTime;
    DWORD m_NextDeadline;
    BYTE m_bSkipRequested;
};
