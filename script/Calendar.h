// The calendar in the top-left corner of the game scene: day, weekday and time of day, drawn as parts
// of one sheet.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CLayer;

class CCalendar {
  public:
    CCalendar();
    ~CCalendar();
    CCalendar(const CCalendar&) = delete;
    CCalendar& operator=(const CCalendar&) = delete;

    void SetVisible(BYTE flag);
    void SetDay(int tens, int units);
    void SetWeekday(int weekday);
    void SetTimeOfDay(int timeOfDay);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool Restore(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreIfLost();
};
