// Host command groups 200 and 201: the calendar, the system menu, the costume choice, the choice
// grid, best values and the status values.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "script/Calendar.h"

namespace {
enum : DWORD { kSubWeekday = 0, kSubTimeOfDay = 1, kSubDay = 2, kSubShowCalendar = 3, kSubHideCalendar = 4 };
enum : DWORD {
    kSubMenuEnabled = 0,
    kSubEffectSkipped = 1,
    kSubCostume = 2,
    kSubGridLevels = 3,
    kSubOpenGrid = 4,
    kSubGridResult0 = 5,
    kSubGridResult2 = 7,
    kSubBestValue = 8,
    kSubStatusValues = 9,
};
constexpr int kFirstGridLevels = 12;
constexpr int kOpenGridLevels = 11;
} // namespace

void CGameScene::DispatchCalendar(DWORD sub) {
    switch (sub) {
    case kSubWeekday:
    case kSubTimeOfDay:
    case kSubDay: {
        const int value = static_cast<int>(Arg(1));
        if (m_bHalted) break;
        if (sub == kSubWeekday)
            SetWeekday(value);
        else if (sub == kSubTimeOfDay)
            SetTimeOfDay(value);
        else
            SetDay(value);
        break;
    }
    case kSubShowCalendar:
    case kSubHideCalendar: {
        const bool show = sub == kSubShowCalendar;
        if (m_pCalendar) m_pCalendar->SetVisible(show ? 1 : 0);
        m_bCalendarShown = m_bCalendarVisible = show;
        break;
    }
    default:
        break;
    }
}

void CGameScene::DispatchGameState(DWORD sub) {
    switch (sub) {
    case kSubMenuEnabled: {
        const DWORD on = Arg(1);
        if (!m_bHalted) SetMenuEnabled(static_cast<BYTE>(on));
        break;
    }
    case kSubEffectSkipped:
        CmdIsEffectSkipped();
        break;
    case kSubCostume: {
        // Any value names a costume: the choice wraps it onto the fourteen of the sheet.
        const DWORD costume = Arg(1);
        if (!m_bHalted) EnterCostumeChoice(static_cast<int>(costume));
        break;
    }
    case kSubGridLevels:
        CmdSetGridLevels(0, kFirstGridLevels);
        break;
    case kSubOpenGrid:
        CmdSetGridLevels(kFirstGridLevels, kOpenGridLevels);
        if (!m_bHalted) OpenChoiceGrid();
        break;
    case kSubBestValue:
        CmdRaiseBestValue();
        break;
    case kSubStatusValues:
        CmdSetStatusValues();
        break;
    default:
        if (sub >= kSubGridResult0 && sub <= kSubGridResult2)
            m_Registers[0] = static_cast<DWORD>(m_GridResults[sub - kSubGridResult0]);
        break;
    }
}

void CGameScene::SetMenuEnabled(BYTE on) {
    m_bMenuEnabled = on != 0;
}

void CGameScene::CmdIsEffectSkipped() {
    const bool effectsOff = g_pConfig && g_pConfig->GetEffectSwitch() == 0;
    m_Registers[0] = (IsSkipping() || effectsOff) ? 1 : 0;
}

void CGameScene::CmdSetGridLevels(int first, int count) {
    BYTE levels[kFirstGridLevels];
    for (int i = 0; i < count; ++i)
        levels[i] = static_cast<BYTE>(Arg(i + 1));
    if (m_bHalted) return;
    for (int i = 0; i < count; ++i)
        m_LiveState.gridLevels[first + i] = levels[i];
}

void CGameScene::CmdRaiseBestValue() {
    const auto index = static_cast<signed char>(Arg(1));
    const auto value = static_cast<signed char>(Arg(2));
    if (m_bHalted) return;
    if (index < 0 || index >= CSaveData::kBestValueCount)
        return ReportBadIndex(CSaveData::kBestValueCount, static_cast<DWORD>(static_cast<LONG>(index)));
    if (!g_pSaveData) return;
    signed char& best = g_pSaveData->GetRecord()->bestValues[index];
    if (best >= value) return;
    best = value;
    g_pSaveData->WriteSystemFile();
}

void CGameScene::CmdSetStatusValues() {
    DWORD values[4];
    for (int i = 0; i < 4; ++i)
        values[i] = Arg(i + 1);
    if (m_bHalted) return;
    for (int i = 0; i < 4; ++i)
        m_LiveState.status[i] = values[i];
}

void CGameScene::GetStatusValues(DWORD* v0, DWORD* v1, DWORD* v2, DWORD* v3) const {
    DWORD* outs[4] = {v0, v1, v2, v3};
    for (int i = 0; i < 4; ++i)
        if (outs[i]) *outs[i] = m_LiveState.status[i];
}
