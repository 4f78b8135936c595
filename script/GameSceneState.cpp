// The scene state record of the save-state snapshot: what the page began with (registers, sounds,
// window, layers 0-3), taken at each new page, built into a slot's record, and put back on a load.
#include "script/GameScene.h"

#include "files/ArcFile.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/runtime.h"
#include "platform/time.h"
#include "script/Calendar.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

#include <cstring>

namespace {
// Layers 0-3 are what a save keeps and a load puts back; the others are the window's and the script's.
constexpr int kSavedLayers = 4;
constexpr BYTE kNoPicture = 255;
constexpr BYTE kNoDay = 255;
constexpr int kLastDayValue = 31;
constexpr BYTE kWeekdayCount = 10;
constexpr BYTE kTimeOfDayCount = 4;
constexpr DWORD kFontSizeCount = CMessageWindow::kFontSizeCount;
constexpr DWORD kEffectCount = 72;
constexpr DWORD kColorFilterCount = 3;

template <std::size_t N> void CopyName(char (&field)[N], const char* name) {
    std::memset(field, 0, N);
    CopyBounded(field, name ? name : "");
}
template <std::size_t N> bool Terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}
bool IsFlag(BYTE value) {
    return value == 0 || value == 1;
}
} // namespace

void CGameScene::CaptureState() {
    SceneStateRecord& s = m_SnapState;
    std::memcpy(s.registers, m_Registers, sizeof s.registers);
    CSoundManager* sound = g_pSoundManager;
    CopyName(s.bgmName, sound ? sound->GetBGMName(nullptr) : nullptr);
    CopyName(s.loopSEName1, sound ? sound->GetLoopSEName1(nullptr) : nullptr);
    CopyName(s.loopSEName2, sound ? sound->GetLoopSEName2(nullptr) : nullptr);
    CopyName(s.voiceName, sound ? sound->GetVoiceName(nullptr) : nullptr);
    if (m_pMessageWindow) {
        int rgb[2][3];
        m_pMessageWindow->GetTextColor(&rgb[0][0], &rgb[0][1], &rgb[0][2]);
        m_pMessageWindow->GetNameColor(&rgb[1][0], &rgb[1][1], &rgb[1][2]);
        for (int c = 0; c < 3; ++c) {
            s.textColor[c] = static_cast<BYTE>(rgb[0][c]);
            s.nameColor[c] = static_cast<BYTE>(rgb[1][c]);
        }
        CopyName(s.speakerName, m_pMessageWindow->GetSpeakerName());
    }
    s.effect = g_pScreen ? static_cast<DWORD>(g_pScreen->GetEffect()) : 0;
    CaptureLayers();
    s.windowShown = m_bWindowShown ? 1 : 0;
    s.calendarShown = m_bCalendarShown ? 1 : 0;
    m_DataSnapshot = m_DataBlob;
    if (m_pCode) m_CodeSnapshot.assign(m_pCode, m_pCode + m_CodeSize);
    CaptureFrames();
}

void CGameScene::CaptureLayers() {
    SceneStateRecord& s = m_SnapState;
    for (int i = 0; i < kLayerCount; ++i) {
        const CLayer* layer = g_pScreen ? g_pScreen->GetLayer(i) : nullptr;
        s.layerX[i] = layer ? layer->m_nX : -1;
        s.layerY[i] = layer ? layer->m_nY : -1;
        s.colorFilter[i] = layer ? static_cast<DWORD>(layer->GetColorFilter()) : 0;
        s.layerVisible[i] = layer ? (layer->m_bVisible ? 1 : 0) : kNoPicture;
        s.layerColorKey[i] = layer ? (layer->GetColorKey() == 1 ? 1 : 0) : kNoPicture;
        CopyName(s.layerName[i], layer ? layer->GetName() : nullptr);
    }
}

void CGameScene::CaptureFrames() {
    m_SnapFrames.clear();
    m_CallStack.ForEach([&](const CallFrame* frame) {
        SnapFrame snap{};
        CopyBounded(snap.blockName, frame->blockName);
        snap.returnPc = frame->returnPc;
        const int block = FindBlock(frame->blockName);
        if (block >= 0) {
            const ScriptBlock& b = m_Blocks[static_cast<std::size_t>(block)];
            // The loader keeps every local area inside its block's code.
            if (b.loaded)
                snap.localArea.assign(b.code.begin() + b.record.localOffset,
                                      b.code.begin() + b.record.localOffset + b.record.localSize);
            else
                snap.localArea.assign(b.record.localSize, 0);
        }
        m_SnapFrames.push_back(std::move(snap));
    });
}

void CGameScene::CaptureSceneStart() {
    SetResumePoint(m_Pc);
    m_RecordedFontSize =
        m_pMessageWindow ? m_pMessageWindow->GetFontSize() : CMessageWindow::kDefaultFontSize;
    CaptureState();
}

BYTE* CGameScene::BuildStateRecord(DWORD* size) {
    const std::time_t now = crt::time(nullptr);
    const std::tm* t = crt::localtime(&now);
    m_LiveState.year = static_cast<WORD>(t->tm_year + 1900);
    m_LiveState.month = static_cast<BYTE>(t->tm_mon + 1);
    m_LiveState.day = static_cast<BYTE>(t->tm_mday);
    m_LiveState.hour = static_cast<BYTE>(t->tm_hour);
    m_LiveState.minute = static_cast<BYTE>(t->tm_min);

    SceneStateRecord r = m_LiveState;
    const SceneStateRecord& snap = m_SnapState;
    std::memcpy(r.registers, snap.registers, sizeof r.registers);
    std::memcpy(r.bgmName, snap.bgmName, sizeof r.bgmName);
    std::memcpy(r.loopSEName1, snap.loopSEName1, sizeof r.loopSEName1);
    std::memcpy(r.loopSEName2, snap.loopSEName2, sizeof r.loopSEName2);
    std::memcpy(r.voiceName, snap.voiceName, sizeof r.voiceName);
    std::memcpy(r.textColor, snap.textColor, sizeof r.textColor);
    std::memcpy(r.nameColor, snap.nameColor, sizeof r.nameColor);
    std::memcpy(r.speakerName, snap.speakerName, sizeof r.speakerName);
    r.effect = snap.effect;
    r.fontSize = static_cast<DWORD>(m_RecordedFontSize);
    r.sceneMode = static_cast<DWORD>(m_SceneMode);
    for (int i = 0; i < kLayerCount; ++i) {
        const bool kept = i < kSavedLayers;
        r.layerX[i] = kept ? snap.layerX[i] : 0;
        r.layerY[i] = kept ? snap.layerY[i] : 0;
        r.colorFilter[i] = kept ? snap.colorFilter[i] : 0;
        r.layerVisible[i] = kept ? snap.layerVisible[i] : 0;
        r.layerColorKey[i] = kept ? snap.layerColorKey[i] : 0;
        std::memcpy(r.layerName[i], kept ? snap.layerName[i] : SceneStateRecord{}.layerName[i],
                    sizeof r.layerName[i]);
    }
    // The choices are not saved: a load shows the page again, and the script offers them again. The
    // window is kept as the player sees it over the choices: a window recorded hidden would let every
    // page after the choice run by unseen until the script shows the window again. A backlog opened
    // over the choices only lends the window.
    const bool shownOverChoices = m_bBacklogFromChoices ? m_bShownBeforeBacklog : m_bWindowShown;
    r.windowShown = m_SceneMode == kModeChoices ? (shownOverChoices ? 1 : 0) : snap.windowShown;
    r.calendarShown = snap.calendarShown;

    BYTE* out = new BYTE[sizeof r];
    std::memcpy(out, &r, sizeof r);
    if (size) *size = sizeof r;
    return out;
}

bool CGameScene::IsValidStateRecord(const BYTE* record, DWORD size) const {
    if (!record || size != sizeof(SceneStateRecord)) return false;
    SceneStateRecord r;
    std::memcpy(&r, record, sizeof r);
    if (!Terminated(r.speakerName) || !Terminated(r.voiceName) || !Terminated(r.bgmName) ||
        !Terminated(r.loopSEName1) || !Terminated(r.loopSEName2))
        return false;
    // The day's digits, the window's font sizes and the effects are tables the values index. A weekday
    // or time of day the calendar has no picture for is only ignored (see RestoreStateRecord).
    if ((r.dayValue > kLastDayValue && r.dayValue != kNoDay) || r.fontSize >= kFontSizeCount ||
        r.effect >= kEffectCount || !IsFlag(r.windowShown) || !IsFlag(r.calendarShown))
        return false;
    for (int i = 0; i < kLayerCount; ++i) {
        if (!Terminated(r.layerName[i])) return false;
        if (i >= kSavedLayers || !r.layerName[i][0]) continue;
        if (!IsFlag(r.layerVisible[i]) || !IsFlag(r.layerColorKey[i]) ||
            r.colorFilter[i] >= kColorFilterCount)
            return false;
        // A picture the game does not have would stop the game half restored.
        if (g_pScreen && g_pGraphicArc) {
            DWORD entrySize = 0;
            std::FILE* fp = g_pGraphicArc->OpenFile(r.layerName[i], &entrySize);
            if (!fp) return false;
            g_pGraphicArc->CloseFile(fp);
        }
    }
    return true;
}

void CGameScene::RestoreStateRecord(const BYTE* record, DWORD size) {
    if (!IsValidStateRecord(record, size)) return;
    // A weekday or time of day beyond the calendar's pictures is ignored, as from a script: the scene
    // keeps its own, and so does the record the next save writes.
    const BYTE weekday = m_LiveState.weekday, timeOfDay = m_LiveState.timeOfDay;
    std::memcpy(&m_LiveState, record, sizeof m_LiveState);
    std::memcpy(&m_SnapState, record, sizeof m_SnapState);
    if (m_LiveState.weekday >= kWeekdayCount) m_LiveState.weekday = weekday;
    if (m_LiveState.timeOfDay >= kTimeOfDayCount) m_LiveState.timeOfDay = timeOfDay;
    const SceneStateRecord& s = m_SnapState;
    std::memcpy(m_Registers, s.registers, sizeof m_Registers);
    m_RecordedFontSize = static_cast<int>(s.fontSize);
    if (CSoundManager* sound = g_pSoundManager) {
        if (s.bgmName[0]) sound->PlayBGM(s.bgmName, 1);
        for (const char* name : {s.loopSEName1, s.loopSEName2})
            if (name[0]) sound->PlayLoopSE(name, 1);
    }
    if (g_pScreen) {
        g_pScreen->SetEffect(static_cast<int>(s.effect));
        // The pictures come back at once, not through the page's transition.
        g_pScreen->SetEffectEnable(0);
        for (int i = 0; i < kSavedLayers; ++i) {
            const char* name = s.layerName[i];
            if (!name[0]) continue;
            if (g_pScreen->GetLayer(i))
                g_pScreen->ChangeLayer(i, name, s.layerVisible[i], s.layerX[i], s.layerY[i],
                                       s.layerColorKey[i], -1, -1, -1, -1);
            else
                g_pScreen->LoadLayer(i, name, s.layerVisible[i], s.layerX[i], s.layerY[i],
                                     s.layerColorKey[i]);
            CLayer* layer = g_pScreen->GetLayer(i);
            if (layer && s.colorFilter[i] != 0) layer->SetColorFilter(static_cast<int>(s.colorFilter[i]));
        }
        g_pScreen->SetEffectEnable(g_pConfig && g_pConfig->GetEffectSwitch() == 1 ? 1 : 0);
    }
    SetDay(s.dayValue == kNoDay ? -1 : s.dayValue);
    SetWeekday(s.weekday);
    SetTimeOfDay(s.timeOfDay);
    m_SceneMode = kModeRedisplay;
}

void CGameScene::RedisplayAfterLoad() {
    const SceneStateRecord& s = m_SnapState;
    m_bWindowShown = m_bWindowVisible = s.windowShown != 0;
    if (m_pMessageWindow) m_pMessageWindow->SetVisible(s.windowShown);
    m_bCalendarShown = m_bCalendarVisible = s.calendarShown != 0;
    if (m_pCalendar) m_pCalendar->SetVisible(s.calendarShown);
    m_SceneMode = kModeRun;
    if (!m_pMessageWindow) return;
    CMessageWindow& window = *m_pMessageWindow;
    if (s.voiceName[0]) {
        window.SetVoiceName(s.voiceName);
        if (g_pSoundManager) g_pSoundManager->PlayVoice(s.voiceName);
    }
    window.SetTextColor(s.textColor[0], s.textColor[1], s.textColor[2], 0);
    window.SetNameColor(s.nameColor[0], s.nameColor[1], s.nameColor[2], 0);
    if (s.speakerName[0]) window.SetSpeakerName(s.speakerName);
    window.SetFontSize(static_cast<int>(s.fontSize));
}
