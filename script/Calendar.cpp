#include "script/Calendar.h"

#include "graphics/Layer.h"
#include "screens/OverlaySupport.h"

namespace {
// The sheet "sg025": the panel on the left, the digits, weekdays and times of day beside it.
enum : int { kPanelPart, kTensPart, kUnitsPart, kWeekdayPart, kTimePart, kPartCount };
constexpr RECT kPanelSource = {0, 0, 124, 112};
constexpr RECT kPanelRect = {2, 0, 126, 112};
constexpr POINT kTensAt = {56, 21};
constexpr POINT kUnitsAt = {72, 21};
constexpr POINT kWeekdayAt = {30, 46};
constexpr POINT kTimeAt = {40, 76};

void ShowPart(CLayer* sprite, const RECT& source, POINT at, int part) {
    sprite->SetPart(&source, at.x, at.y, part);
}
} // namespace

CCalendar::CCalendar() : m_pSprite(CreateLayerObject(kPartCount)) {
    m_pSprite->Load("sg025", 0, kPanelRect.left, kPanelRect.top, 1, 0);
    ShowPart(m_pSprite, kPanelSource, POINT{kPanelRect.left, kPanelRect.top}, kPanelPart);
}

CCalendar::~CCalendar() {
    m_pSprite = DeleteLayerObject(m_pSprite);
}

void CCalendar::MarkDirty() {
    m_UpdateRect.AddRect(&kPanelRect);
}

bool CCalendar::IsVisible() const {
    return m_pSprite->m_bVisible != 0;
}

void CCalendar::SetVisible(BYTE flag) {
    m_pSprite->m_bVisible = flag;
    MarkDirty();
}

void CCalendar::SetDay(int tens, int units) {
    if (tens < 0 || tens > 3 || units < 0 || units > 9) return;
    if (tens == 0) {
        m_pSprite->ClearPart(kTensPart);
    } else {
        const int left = 124 + 16 * (tens - 1);
        ShowPart(m_pSprite, RECT{left, 14, left + 16, 28}, kTensAt, kTensPart);
    }
    const int left = 124 + 14 * units;
    ShowPart(m_pSprite, RECT{left, 0, left + 14, 14}, kUnitsAt, kUnitsPart);
    MarkDirty();
}

void CCalendar::SetWeekday(int weekday) {
    if (weekday < 0 || weekday >= kWeekdayCount) return;
    // Two columns of five on the sheet.
    const int left = weekday < 5 ? 124 : 192;
    const int top = 28 + 18 * (weekday % 5);
    ShowPart(m_pSprite, RECT{left, top, left + 68, top + 18}, kWeekdayAt, kWeekdayPart);
    MarkDirty();
}

void CCalendar::SetTimeOfDay(int timeOfDay) {
    if (timeOfDay < 0 || timeOfDay >= kTimeOfDayCount) return;
    const int top = 46 + 18 * timeOfDay;
    ShowPart(m_pSprite, RECT{260, top, 306, top + 18}, kTimeAt, kTimePart);
    MarkDirty();
}

void CCalendar::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CCalendar::Draw(IDirectDrawSurface* target) {
    return m_pSprite->Draw(target);
}

bool CCalendar::Restore(IDirectDraw* dd) {
    return m_pSprite->Restore(dd);
}

bool CCalendar::ReleaseSurfaces() {
    return m_pSprite->ReleaseSurfaces();
}

bool CCalendar::RestoreIfLost() {
    return m_pSprite->RestoreIfLost();
}
