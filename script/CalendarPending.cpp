// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "script/Calendar.h"

CCalendar::CCalendar() {}
CCalendar::~CCalendar() {}
void CCalendar::SetVisible(BYTE flag) {}
void CCalendar::SetDay(int tens, int units) {}
void CCalendar::SetWeekday(int weekday) {}
void CCalendar::SetTimeOfDay(int timeOfDay) {}
void CCalendar::FlushUpdateRect() {}
HRESULT CCalendar::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CCalendar::Restore(IDirectDraw* dd) {
    return false;
}
bool CCalendar::ReleaseSurfaces() {
    return false;
}
bool CCalendar::RestoreIfLost() {
    return false;
}
