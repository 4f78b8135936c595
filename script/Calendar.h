// The calendar in the top-left corner of the game scene: day, weekday and time of day, drawn as parts
// of one sheet.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CLayer;

class CCalendar {
  public:
    static constexpr int kWeekdayCount = 10;
    static constexpr int kTimeOfDayCount = 4;

    CCalendar();
    ~CCalendar();
    CCalendar(const CCalendar&) = delete;
    CCalendar& operator=(const CCalendar&) = delete;

    void SetVisible(BYTE flag);
    // Tens 0 (a blank place) to 3 and units 0 to 9; a digit outside those leaves both places as they
    // are.
    void SetDay(int tens, int units);
    // Weekdays 0-9 and times of day 0-3; other values leave the calendar as it is.
    void SetWeekday(int weekday);
    void SetTimeOfDay(int timeOfDay);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool Restore(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreIfLost();

    bool IsVisible() const;

  private:
    void MarkDirty();

    CUpdateRect m_UpdateRect;
    CLayer* m_pSprite;
};
