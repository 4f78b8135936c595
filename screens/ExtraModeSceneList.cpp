// The scene list: three pages of buttons for the scenes the player has seen, with tabs to the other two
// pages and back; and the replay of a chosen scene by "scene.sct" in a second game scene.
#include "screens/ExtraMode.h"

#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/runtime.h"
#include "screens/OverlaySupport.h"
#include "screens/ScreenSlots.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"

#include <array>
#include <cstring>

namespace {
constexpr int kMaxScenes = CExtraMode::kMaxPageScenes;
constexpr int kMaxItems = kMaxScenes + 3;
enum : int { kNone = 0, kScene = 1, kTab = 2, kBackItem = 3 };

struct ScenePage {
    int first;
    int count;
    const char* background;
    const char* sheet;
    const char* mask;
    std::array<RECT, kMaxItems> items;        // scenes, the two tabs (no art: the background has them), back
    std::array<RECT, kMaxScenes> art;         // each scene's normal art in the sheet
    std::array<RECT, 2 * kMaxItems> hoverArt; // each item's hover art, then each item's pressed art
};

constexpr RECT SceneRect(int page, int i) {
    switch (page) {
    case 0:
        return i < 19 ? RECT{270, 38 + 22 * i, 422, 58 + 22 * i}
                      : RECT{444, 38 + 22 * (i - 19), 616, 58 + 22 * (i - 19)};
    case 1:
        return i < 13 ? RECT{270, 82 + 22 * i, 422, 102 + 22 * i}
                      : RECT{444, 82 + 22 * (i - 13), 616, 102 + 22 * (i - 13)};
    default:
        if (i < 3) return {502, 160 + 22 * i, 630, 180 + 22 * i};
        if (i < 7) return {426, 342 + 22 * (i - 3), 602, 362 + 22 * (i - 3)};
        if (i < 10) return {188, 232 + 22 * (i - 7), 328, 252 + 22 * (i - 7)};
        return {332, 42 + 22 * (i - 10), 488, 62 + 22 * (i - 10)};
    }
}

constexpr LONG SheetRow(int page, int i) {
    if (page < 2 || i < 3) return 20 * i;
    if (i < 7) return 260 + 20 * (i - 3);
    if (i < 10) return 60 + 20 * (i - 7);
    return 120 + 20 * (i - 10);
}

constexpr ScenePage MakePage(int page, int first, int count, const char* background, const char* sheet,
                             const char* mask) {
    ScenePage p{first, count, background, sheet, mask, {}, {}, {}};
    const LONG column = page == 2 ? 176 : 172;
    const LONG backY = page == 0 ? 760 : page == 1 ? 500 : 340;
    const int items = count + 3;
    for (int i = 0; i < count; ++i) {
        const RECT r = SceneRect(page, i);
        const LONG width = r.right - r.left, y = SheetRow(page, i);
        p.items[i] = r;
        p.art[i] = {0, y, width, y + 20};
        p.hoverArt[i] = {column, y, column + width, y + 20};
        p.hoverArt[items + i] = {2 * column, y, 2 * column + width, y + 20};
    }
    p.items[count + 2] = {14, 430, 126, 468};
    p.hoverArt[count + 2] = {0, backY, 112, backY + 38};
    p.hoverArt[items + count + 2] = {112, backY, 224, backY + 38};
    return p;
}

constexpr ScenePage kPages[CExtraMode::kScenePages] = {
    MakePage(0, 0, 38, "sg054", "sg055", "scemirelmask"),
    MakePage(1, 38, 25, "sg056", "sg057", "scesovanemask"),
    MakePage(2, 63, 17, "sg058", "sg059", "sceothersmask"),
};

// The page behind tab 0 or 1 of `page`: the other two pages in ascending order.
int TabPage(int page, int tab) {
    const int lower = page == 0 ? 1 : 0;
    const int higher = page == 2 ? 1 : 2;
    return tab == 0 ? lower : higher;
}

CLayer* Sheet() {
    return g_pScreen ? g_pScreen->GetLayer(1) : nullptr;
}
bool EffectsOn() {
    return g_pConfig && g_pConfig->GetEffectSwitch() == 1;
}
} // namespace

void CExtraMode::ShowSceneList(int effect) {
    const ScenePage& page = kPages[m_ScenePage];
    if (CLayer* background = g_pScreen ? g_pScreen->GetLayer(0) : nullptr)
        background->Reload(page.background, 1, 0, 0, 0, 0);
    else
        ReplaceScreenLayer(0, NewScreenPicture(page.background, 0, 1, 0, 0, 0));
    CLayer* sheet = Sheet();
    const char* held = sheet ? sheet->GetName() : nullptr;
    if (held && _stricmp(held, page.sheet) == 0)
        sheet->ClearPart(page.count);
    else
        ReplaceScreenLayer(1, NewScreenPicture(page.sheet, page.count + 1, 1, 0, 0, 0));
    m_SceneCount = page.count;
    m_SceneItemCount = page.count + 3;
    m_pSceneItems = page.items.data();
    m_pSceneArt = page.art.data();
    m_pSceneHoverArt = page.hoverArt.data();
    LoadMask(page.mask, page.count + 3, m_pSceneItems);
    LoadScenePageFlags();
    ShowSceneButtons();
    if (effect != 0 && g_pScreen) {
        // The list appears out of black through the selected transition.
        ReplaceScreenLayer(2, NewScreenPicture("sg000", 0, 1, 0, 0, 0));
        g_pScreen->ShowLayer(2, 0);
        ReplaceScreenLayer(2, nullptr);
    }
}

void CExtraMode::LoadScenePageFlags() {
    std::memset(m_SceneFlags, 0, sizeof m_SceneFlags);
    const int first = kPages[m_ScenePage].first;
    for (int i = 0; i < m_SceneCount; ++i)
        m_SceneFlags[i] = g_pSaveData && g_pSaveData->IsSceneSeen(first + i) ? 1 : 0;
}

void CExtraMode::ShowSceneButtons() {
    CLayer* sheet = Sheet();
    if (!sheet) return;
    for (int i = 0; i < m_SceneCount; ++i) {
        if (m_SceneFlags[i])
            sheet->SetPart(&m_pSceneArt[i], m_pSceneItems[i].left, m_pSceneItems[i].top, i);
        else
            sheet->ClearPart(i);
    }
}

int CExtraMode::ClassifySceneItem(int item) const {
    if (item < 0 || item >= m_SceneItemCount) return kNone;
    if (item < m_SceneCount) return kScene;
    return item < m_SceneCount + 2 ? kTab : kBackItem;
}

int CExtraMode::GetFirstSceneOfPage() const {
    return kPages[m_ScenePage].first + m_nCurrent;
}

bool CExtraMode::IsLitSceneItem(int item) const {
    const int kind = ClassifySceneItem(item);
    return kind == kBackItem || (kind == kScene && m_SceneFlags[item]);
}

void CExtraMode::ShowSceneArt(int item, bool pressed) {
    CLayer* sheet = Sheet();
    if (!sheet || item == -1) return;
    if (ClassifySceneItem(item) == kScene && !m_SceneFlags[item]) {
        sheet->ClearPart(m_SceneCount);
        return;
    }
    const RECT& art = m_pSceneHoverArt[pressed ? m_SceneItemCount + item : item];
    sheet->SetPart(&art, m_pSceneItems[item].left, m_pSceneItems[item].top, m_SceneCount);
}

void CExtraMode::OnSceneListMouseMove(int x, int y) {
    const RECT empty = {0, 0, 0, 0};
    if (CLayer* sheet = Sheet()) sheet->SetPart(&empty, 0, 0, m_SceneCount);
    CHitArea::OnMouseMove(x, y);
    if (m_nCurrent != -1) {
        ShowSceneArt(m_nCurrent, true);
        Mark(m_pSceneItems, m_LastCurrent);
        Mark(m_pSceneItems, m_nCurrent);
    } else if (m_nHover != -1) {
        ShowSceneArt(m_nHover, false);
        Mark(m_pSceneItems, m_LastHover);
        Mark(m_pSceneItems, m_nHover);
    } else {
        Mark(m_pSceneItems, m_LastHover);
        Mark(m_pSceneItems, m_LastCurrent);
    }
    if ((ChangedTo(m_nHover, m_LastHover) && IsLitSceneItem(m_nHover)) ||
        (ChangedTo(m_nCurrent, m_LastCurrent) && IsLitSceneItem(m_nCurrent)))
        PlayInterfaceSE("Se000");
    UpdateLast();
}

void CExtraMode::OnSceneListLButtonDown(int x, int y) {
    const RECT empty = {0, 0, 0, 0};
    if (CLayer* sheet = Sheet()) sheet->SetPart(&empty, 0, 0, m_SceneCount);
    CHitArea::OnLButtonDown(x, y);
    ShowSceneArt(m_nCurrent, true);
    Mark(m_pSceneItems, m_LastCurrent);
    Mark(m_pSceneItems, m_nCurrent);
    m_LastCurrent = m_nCurrent;
}

void CExtraMode::OnSceneListLButtonUp(int x, int y) {
    // A release with no press before it would repeat the last click.
    if (!IsButtonHeld()) return;
    const RECT empty = {0, 0, 0, 0};
    if (CLayer* sheet = Sheet()) sheet->SetPart(&empty, 0, 0, m_SceneCount);
    CHitArea::OnLButtonUp(x, y);
    ShowSceneArt(m_nHover, false);
    Mark(m_pSceneItems, m_LastHover);
    Mark(m_pSceneItems, m_LastCurrent);
    Mark(m_pSceneItems, m_nHover);
    UpdateLast();
    const int item = m_nCurrent;
    switch (ClassifySceneItem(item)) {
    case kScene:
        if (m_SceneFlags[item]) StartReplay(GetFirstSceneOfPage());
        break;
    case kTab:
        m_ScenePage = TabPage(m_ScenePage, item - m_SceneCount);
        PlayInterfaceSE("Se001");
        SetSubScreen(kSceneList, 0);
        break;
    case kBackItem:
        PlayInterfaceSE("Se002");
        SetSubScreen(kMenu, 0);
        if (g_pSoundManager) g_pSoundManager->StopSysVoice();
        break;
    default:
        break;
    }
}

void CExtraMode::StartReplay(int scene) {
    m_SubScreen = kReplay;
    SetReplaySceneNo(static_cast<DWORD>(scene));
    PlayInterfaceSE("Se001");
    delete m_pReplayScene;
    m_pReplayScene = new CGameScene;
    m_bReplayLoaded = g_pConfig && m_pReplayScene->LoadScript(g_pConfig->GetScenarioPath("scene.sct")) != 0;
    ReplaceScreenLayer(1, nullptr);
    if (g_pScreen) {
        g_pScreen->SetEffect(1);
        ShowFullScreenPicture(0, "sg001");
    }
    if (!g_pSoundManager) return;
    if (EffectsOn())
        g_pSoundManager->FadeOutBGM(7);
    else
        g_pSoundManager->StopBGM();
}

void CExtraMode::RunReplay() {
    if (!m_pReplayScene) return;
    int step = CGameScene::kRunStay;
    // A script that could not be loaded ends the replay at once.
    if (!m_bReplayLoaded)
        step = CGameScene::kRunTitle;
    else if (!m_pReplayScene->IsFinished())
        step = m_pReplayScene->Run(g_pGameCtrl);
    if (m_pReplayScene->IsFinished() || step != CGameScene::kRunStay) EndReplay();
}

void CExtraMode::EndReplay() {
    AddUpdateRect(GetScreenRect());
    delete m_pReplayScene;
    m_pReplayScene = nullptr;
    SetSubScreen(kSceneList, EffectsOn() ? 2 : 0);
    if (m_ResumeBGM[0] && g_pSoundManager) {
        // The replay's own music would keep the channel and refuse the list's.
        g_pSoundManager->StopBGM();
        if (EffectsOn())
            g_pSoundManager->FadeInBGM(m_ResumeBGM, 7, 1);
        else
            g_pSoundManager->PlayBGM(m_ResumeBGM, 1);
    }
    ResetInput();
}
