// The config panel: its tables, pictures, mouse and the OK and Cancel answers. The keys are in
// ConfigPanelKeys.cpp.
#include "screens/ConfigPanel.h"

#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/RunState.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "sound/SoundManager.h"

#include <array>

namespace {
constexpr RECT kRegions[CConfigPanel::kRegionCount] = {
    {180, 64, 226, 88},   {230, 64, 276, 88},   {280, 64, 326, 88},   {330, 64, 376, 88},
    {380, 64, 426, 88},   {208, 122, 254, 146}, {258, 122, 304, 146}, {308, 122, 354, 146},
    {358, 122, 404, 146}, {408, 122, 454, 146}, {242, 182, 288, 206}, {292, 182, 338, 206},
    {342, 182, 388, 206}, {392, 182, 438, 206}, {442, 182, 488, 206}, {252, 240, 334, 264},
    {362, 240, 444, 264}, {232, 300, 314, 324}, {342, 300, 424, 324}, {241, 358, 305, 382},
    {340, 358, 404, 382}, {526, 374, 634, 414}, {526, 421, 634, 461}};

// Art in "sg011": entry k + 23 is region k selected (OK and Cancel: pressed); 21 and 22 are OK and
// Cancel hovered; 0 to 20 are unused.
constexpr int kSelectedArt = 23;
constexpr RECT kArt[] = {
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},         {0, 0, 0, 0},
    {0, 0, 0, 0},         {0, 240, 108, 280},   {108, 240, 216, 280}, {0, 72, 46, 96},
    {46, 72, 92, 96},     {92, 72, 138, 96},    {138, 72, 184, 96},   {184, 72, 230, 96},
    {0, 96, 46, 120},     {46, 96, 92, 120},    {92, 96, 138, 120},   {138, 96, 184, 120},
    {184, 96, 230, 120},  {0, 120, 46, 144},    {46, 120, 92, 144},   {92, 120, 138, 144},
    {138, 120, 184, 144}, {184, 120, 230, 144}, {0, 192, 82, 216},    {82, 192, 164, 216},
    {0, 216, 82, 240},    {82, 216, 164, 240},  {164, 192, 228, 216}, {164, 216, 228, 240},
    {0, 280, 108, 320},   {108, 280, 216, 320}};

static_assert(sizeof kArt / sizeof kArt[0] == 46);

const PushButtonTable kButtonTable = {kRegions,
                                      CConfigPanel::kOK,
                                      2,
                                      &kArt[CConfigPanel::kOK],
                                      &kArt[CConfigPanel::kOK + kSelectedArt],
                                      CConfigPanel::kButtonPart};

// The row cursor's corner in each row, and the row's last option: the row runs from the one to the
// bottom-right of the other.
constexpr POINT kRowCorners[CConfigPanel::kRowCount] = {{52, 62},  {86, 120}, {100, 180},
                                                        {98, 239}, {84, 298}, {50, 357}};
constexpr int kRowLastRegion[CConfigPanel::kRowCount] = {4, 9, 14, 16, 18, 20};

constexpr std::array<RECT, CConfigPanel::kRowCount> BuildRowRects() {
    std::array<RECT, CConfigPanel::kRowCount> rows{};
    for (int i = 0; i < CConfigPanel::kRowCount; ++i) {
        const RECT& last = kRegions[kRowLastRegion[i]];
        rows[i] = RECT{kRowCorners[i].x, kRowCorners[i].y, last.right, last.bottom};
    }
    return rows;
}
constexpr std::array<RECT, CConfigPanel::kRowCount> kRowRects = BuildRowRects();

// A level as an offset in its row: anything but 0 to 3 counts as 4, as the settings file stores it.
int LevelOffset(int level) {
    return (level >= 0 && level <= 3) ? level : 4;
}

// Music and voices go back to their opening level only when it changed; switching on again is needed
// only where the panel switched the channel off.
void RestoreChannel(CSoundManager* sm, void (CSoundManager::*enable)(int),
                    void (CSoundManager::*volume)(LONG), int openingLevel, int editedLevel) {
    const int opening = LevelOffset(openingLevel), edited = LevelOffset(editedLevel);
    if (edited == opening) return;
    if (opening != 0 && edited == 0)
        (sm->*enable)(1);
    else if (opening == 0)
        (sm->*enable)(0);
    (sm->*volume)(g_VolumeLevelTable[opening]);
}

int& LevelOf(ConfigValues& values, int row) {
    return row == CConfigPanel::kRowVoice ? values.VoiceSwitch
           : row == CConfigPanel::kRowBgm ? values.BgmSwitch
                                          : values.SESwitch;
}

bool SameValues(const ConfigValues& a, const ConfigValues& b) {
    return a.BgmSwitch == b.BgmSwitch && a.SESwitch == b.SESwitch && a.VoiceSwitch == b.VoiceSwitch &&
           a.EffectSwitch == b.EffectSwitch && a.WindowMode == b.WindowMode && a.TextSpeed == b.TextSpeed &&
           a.MovieSwitch == b.MovieSwitch;
}

CLayer* LoadPicture(const char* name, int parts, BYTE visible, BYTE colorKey) {
    CLayer* layer = CreateLayerObject(parts);
    layer->Load(name, visible, 0, 0, colorKey, 0);
    return layer;
}
} // namespace

const RECT* CConfigPanel::RegionRect(int region) {
    return region >= 0 && region < kRegionCount ? &kRegions[region] : nullptr;
}

const RECT* CConfigPanel::RowRect(int row) {
    return row >= 0 && row < kRowCount ? &kRowRects[row] : nullptr;
}

CConfigPanel::CConfigPanel()
    : m_Buttons(kButtonTable), m_pBackground(nullptr), m_pArt(nullptr), m_pRowCursor(nullptr), m_Result(0),
      m_Focus(-1), m_Row(-1) {
    m_pRectTable = kRegions;
    m_nRectCount = kRegionCount;
    m_pBackground = LoadPicture("sg010", 0, 1, 0);
    m_pArt = LoadPicture("sg011", 7, 1, 0);
    m_pRowCursor = LoadPicture("sg012", 0, 0, 1);
    m_Opening = g_pConfig ? *g_pConfig->GetValues() : CConfig::DefaultValues();
    // Alt+Enter switches the display without touching the setting: the window row opens on the mode the
    // display is really in.
    if (g_DDrawCtrl.GetDirectDrawObject()) m_Opening.WindowMode = g_DDrawCtrl.IsWindowed() ? 0 : 1;
    m_Edited = m_Opening;
    DrawState();
    DirtyAll();
}

CConfigPanel::~CConfigPanel() {
    m_pBackground = DeleteLayerObject(m_pBackground);
    m_pArt = DeleteLayerObject(m_pArt);
    m_pRowCursor = DeleteLayerObject(m_pRowCursor);
}

int CConfigPanel::GetResult() const {
    return m_Result;
}

int CConfigPanel::VoiceRegion() const {
    return kVoiceLevel0 + LevelOffset(m_Edited.VoiceSwitch);
}
int CConfigPanel::BgmRegion() const {
    return kBgmLevel0 + LevelOffset(m_Edited.BgmSwitch);
}
int CConfigPanel::SERegion() const {
    return kSELevel0 + LevelOffset(m_Edited.SESwitch);
}
int CConfigPanel::EffectRegion() const {
    return m_Edited.EffectSwitch == 1 ? kEffectOn : kEffectOff;
}
int CConfigPanel::WindowRegion() const {
    return m_Edited.WindowMode == 1 ? kFullScreen : kWindowed;
}
int CConfigPanel::TextRegion() const {
    return m_Edited.TextSpeed != 0 ? kTextFast : kTextSlow;
}

void CConfigPanel::DrawState() {
    const int selected[kRowCount] = {VoiceRegion(),  BgmRegion(),    SERegion(),
                                     EffectRegion(), WindowRegion(), TextRegion()};
    for (int row = 0; row < kRowCount; ++row) {
        const int region = selected[row];
        m_pArt->SetPart(&kArt[region + kSelectedArt], kRegions[region].left, kRegions[region].top, row);
    }
}

void CConfigPanel::DirtyAll() {
    m_UpdateRect.AddRect(GetScreenRect());
}

int CConfigPanel::RowAtPoint(int x, int y) {
    for (int row = 0; row < kRowCount; ++row) {
        const RECT& r = kRowRects[row];
        if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom) return row;
    }
    return -1;
}

int CConfigPanel::RowOfRegion(int region) {
    if (region < 0 || region >= kOK) return -1;
    if (region < kEffectOn) return region / 5;
    return kRowEffect + (region - kEffectOn) / 2;
}

void CConfigPanel::SetCursorRow(int row) {
    if (row == m_Row) return;
    m_Row = row;
    if (row >= 0) {
        m_pRowCursor->m_nX = kRowCorners[row].x;
        m_pRowCursor->m_nY = kRowCorners[row].y;
    }
    m_pRowCursor->m_bVisible = row >= 0;
    DirtyAll();
}

void CConfigPanel::OnMouseMove(int x, int y) {
    m_Buttons.OnMouseMove(*this, x, y, m_pArt, &m_UpdateRect);
    SetCursorRow(RowAtPoint(x, y));
}

void CConfigPanel::OnLButtonDown(int x, int y) {
    m_Buttons.OnLButtonDown(*this, x, y, m_pArt, &m_UpdateRect);
}

void CConfigPanel::OnLButtonUp(int x, int y) {
    if (!m_Buttons.OnLButtonUp(*this, x, y, m_pArt, &m_UpdateRect)) return;
    SetCursorRow(RowAtPoint(x, y));
    m_Focus = m_nCurrent;
    OnClick(m_nCurrent);
}

void CConfigPanel::SelectRegion(int region) {
    if (region < 0) return;
    if (region < kEffectOn)
        LevelOf(m_Edited, region / 5) = region % 5;
    else if (region <= kEffectOff)
        m_Edited.EffectSwitch = region == kEffectOn ? 1 : 0;
    else if (region <= kWindowed)
        m_Edited.WindowMode = region == kFullScreen ? 1 : 0;
    else if (region <= kTextFast)
        m_Edited.TextSpeed = region == kTextFast ? 1 : 0;
}

void CConfigPanel::PreviewLevel(int row) {
    CSoundManager* sm = g_pSoundManager;
    if (!sm) return;
    const int level = LevelOffset(LevelOf(m_Edited, row));
    const LONG volume = g_VolumeLevelTable[level];
    switch (row) {
    case kRowVoice:
        sm->SetVoiceEnable(level != 0);
        sm->SetVoiceVolume(volume);
        sm->PlaySysVoice("svo0009");
        break;
    case kRowBgm:
        sm->SetBGMEnable(level != 0);
        sm->SetBGMVolume(volume);
        break;
    default:
        sm->SetSEEnable(level != 0);
        sm->SetSEVolume(volume);
        sm->PlaySE("Se001", 0);
        break;
    }
}

void CConfigPanel::OnClick(int region) {
    if (region < 0) return;
    if (region < kEffectOn) {
        SelectRegion(region);
        PreviewLevel(region / 5);
    } else if (region <= kOK) {
        if (g_pSoundManager) g_pSoundManager->StopLoopSE(nullptr);
        PlayInterfaceSE(region == kOK ? "Se004" : "Se001");
        if (region == kOK) {
            Accept();
            return;
        }
        SelectRegion(region);
    } else {
        Cancel();
        return;
    }
    DrawState();
    DirtyAll();
}

void CConfigPanel::Accept() {
    m_Result = 1;
    RefreshCursor();
    if (SameValues(m_Edited, m_Opening)) return;
    if (g_pConfig) {
        g_pConfig->SetValues(&m_Edited);
        g_pConfig->Save(nullptr);
    }
    if (g_pScreen) g_pScreen->SetEffectEnable(m_Edited.EffectSwitch == 1);
    // The display switches whenever it is not in the mode chosen, whatever the setting said before.
    const bool fullScreenChosen = m_Edited.WindowMode == 1;
    const bool fullScreenNow = !g_DDrawCtrl.IsWindowed();
    if (fullScreenChosen != fullScreenNow) PostAppMessage(UM_TOGGLESCREEN, 13, 0);
}

void CConfigPanel::Cancel() {
    CSoundManager* sm = g_pSoundManager;
    if (sm) {
        RestoreChannel(sm, &CSoundManager::SetBGMEnable, &CSoundManager::SetBGMVolume, m_Opening.BgmSwitch,
                       m_Edited.BgmSwitch);
        RestoreChannel(sm, &CSoundManager::SetVoiceEnable, &CSoundManager::SetVoiceVolume,
                       m_Opening.VoiceSwitch, m_Edited.VoiceSwitch);
        const int openSE = LevelOffset(m_Opening.SESwitch);
        sm->SetSEEnable(openSE != 0);
        sm->SetSEVolume(g_VolumeLevelTable[openSE]);
    }
    PlayInterfaceSE("Se002");
    m_Result = 2;
    RefreshCursor();
}

void CConfigPanel::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

bool CConfigPanel::Draw(IDirectDrawSurface* target) {
    m_pBackground->Draw(target);
    m_pArt->Draw(target);
    return m_pRowCursor->Draw(target) == DD_OK;
}

bool CConfigPanel::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    for (CLayer* layer : {m_pBackground, m_pArt, m_pRowCursor})
        ok = layer->Restore(dd) && ok;
    return ok;
}

bool CConfigPanel::ReleaseSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pArt, m_pRowCursor})
        layer->ReleaseSurfaces();
    return true;
}

bool CConfigPanel::RestoreSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pArt, m_pRowCursor})
        layer->RestoreIfLost();
    return true;
}
