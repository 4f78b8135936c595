// The extras' frame: opening, the per-frame step, the handlers passed on by sub-screen and the switch
// between sub-screens.
#include "screens/ExtraMode.h"

#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Screen.h"
#include "platform/time.h"
#include "screens/OverlaySupport.h"
#include "script/GameScene.h"

#include <cstring>

CExtraMode::CExtraMode()
    : m_SubScreen(kMenu), m_State(GameModeExtra), m_pReplayScene(nullptr), m_LastHover(-1), m_LastCurrent(-1),
      m_GalleryPage(0), m_PrevGalleryPage(-1), m_bSlideShow(0),
      m_SlideDeadline(0), m_CgFlags{}, m_PageCgFlags{}, m_PageCgIndices{}, m_CurrentCg(0),
      m_pMaskBuffer(nullptr), m_MaskSize(0), m_ScenePage(0), m_SceneCount(0), m_SceneFlags{},
      m_pSceneArt(nullptr), m_pSceneHoverArt(nullptr), m_pSceneItems(nullptr), m_SceneItemCount(0),
      m_bReplayLoaded(false), m_Track(8), m_ResumeBGM{} {}

CExtraMode::~CExtraMode() {
    Close();
}

void CExtraMode::Open() {
    m_bSlideShow = 0;
    FreeMask();
    m_State = GameModeExtra;
    SetSubScreen(kMenu, 2);
    for (int n = 0; n < kCgCount; ++n)
        m_CgFlags[n] = g_pSaveData ? g_pSaveData->IsCGSeen(n) : 0;
    delete m_pReplayScene;
    m_pReplayScene = nullptr;
    m_Track = 8;
    std::strcpy(m_ResumeBGM, "bgm08");
}

void CExtraMode::Close() {
    FreeMask();
    // Closed in the middle of a replay (the game left the extras), the scene goes too.
    delete m_pReplayScene;
    m_pReplayScene = nullptr;
}

int CExtraMode::Run() {
    if (m_SubScreen == kViewer && m_bSlideShow) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(now - m_SlideDeadline) >= 0) {
            m_SlideDeadline = now + kSlideInterval;
            m_bSlideShow = 0;
            AdvanceCgViewer(1);
            m_bSlideShow = 1;
        }
    } else if (m_SubScreen == kReplay) {
        RunReplay();
    }
    return m_State;
}

int CExtraMode::GetSubScreen() const {
    return m_SubScreen;
}

bool CExtraMode::IsReplaying() const {
    return m_SubScreen == kReplay;
}

void CExtraMode::SetSubScreen(int subScreen, int effect) {
    m_LastHover = -1;
    m_LastCurrent = -1;
    if (g_pScreen) g_pScreen->SetEffect(effect);
    m_SubScreen = subScreen;
    switch (subScreen) {
    case kMenu:
        ShowMenu();
        break;
    case kGallery:
        ShowGallery();
        break;
    case kViewer:
        ShowViewer();
        break;
    case kSceneList:
        ShowSceneList(effect);
        break;
    case kSoundRoom:
        ShowSoundRoom();
        break;
    default:
        break;
    }
    // The hover of the new sub-screen is worked out at once from where the pointer is.
    MarkAll();
    RefreshCursor();
}

void CExtraMode::Mark(const RECT* table, int region) {
    // The scene list's tabs have no rectangle of their own: nothing of them changes.
    if (region != -1 && !IsRectEmpty(&table[region])) m_UpdateRect.AddRect(&table[region]);
}

void CExtraMode::MarkAll() {
    m_UpdateRect.AddRect(GetScreenRect());
}

void CExtraMode::UpdateLast() {
    m_LastHover = m_nHover;
    m_LastCurrent = m_nCurrent;
}

void CExtraMode::OnMouseMove(int x, int y) {
    if (m_State != GameModeExtra) return;
    switch (m_SubScreen) {
    case kMenu:
        OnMenuMouseMove(x, y);
        break;
    case kGallery:
        OnGalleryMouseMove(x, y);
        break;
    case kSceneList:
        OnSceneListMouseMove(x, y);
        break;
    case kReplay:
        if (m_pReplayScene) m_pReplayScene->OnMouseMove(x, y);
        break;
    case kSoundRoom:
        OnSoundRoomMouseMove(x, y);
        break;
    default:
        break;
    }
}

void CExtraMode::OnLButtonDown(int x, int y) {
    if (m_State != GameModeExtra) return;
    switch (m_SubScreen) {
    case kMenu:
        OnMenuLButtonDown(x, y);
        break;
    case kGallery:
        OnGalleryLButtonDown(x, y);
        break;
    case kSceneList:
        OnSceneListLButtonDown(x, y);
        break;
    case kReplay:
        if (m_pReplayScene) m_pReplayScene->OnLButtonDown(x, y);
        break;
    case kSoundRoom:
        OnSoundRoomLButtonDown(x, y);
        break;
    default:
        break;
    }
}

void CExtraMode::OnLButtonUp(int x, int y) {
    if (m_State != GameModeExtra) return;
    switch (m_SubScreen) {
    case kMenu:
        OnMenuLButtonUp(x, y);
        break;
    case kGallery:
        OnGalleryLButtonUp(x, y);
        break;
    case kViewer:
        AdvanceCgViewer(1);
        break;
    case kSceneList:
        OnSceneListLButtonUp(x, y);
        break;
    case kReplay:
        if (m_pReplayScene) m_pReplayScene->OnLButtonUp(x, y);
        break;
    case kSoundRoom:
        OnSoundRoomLButtonUp(x, y);
        break;
    default:
        break;
    }
}

void CExtraMode::OnRButtonDown() {
    if (m_State != GameModeExtra) return;
    if (m_SubScreen == kViewer)
        AdvanceCgViewer(0);
    else if (m_SubScreen == kReplay && m_pReplayScene)
        m_pReplayScene->OnRButtonDown();
    else
        LeaveWithoutMask();
}

void CExtraMode::OnWheelUp() {
    if (m_SubScreen == kReplay && m_pReplayScene) m_pReplayScene->OnWheelUp();
}

void CExtraMode::OnWheelDown() {
    if (m_SubScreen == kReplay && m_pReplayScene) m_pReplayScene->OnWheelDown();
}

void CExtraMode::OnKeyDown(UINT vk) {
    if (m_State != GameModeExtra) return;
    if (m_SubScreen == kReplay && m_pReplayScene) m_pReplayScene->OnKeyDown(vk);
}

void CExtraMode::OnKeyUp(UINT vk) {
    if (m_SubScreen == kViewer)
        OnViewerKeyUp(vk);
    else if (m_SubScreen == kReplay && m_pReplayScene)
        m_pReplayScene->OnKeyUp(vk);
    else if (vk == VK_ESCAPE && m_State == GameModeExtra)
        LeaveWithoutMask();
}

void CExtraMode::CancelPress() {
    if (m_SubScreen == kReplay) {
        if (m_pReplayScene) m_pReplayScene->CancelPress();
    } else if (m_SubScreen != kViewer && IsButtonHeld()) {
        OnLButtonUp(-1, -1);
    }
}

void CExtraMode::FlushUpdateRect() {
    if (m_SubScreen == kReplay && m_pReplayScene) m_pReplayScene->FlushUpdateRect();
    // What the list marked as the replay began is handed on too.
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CExtraMode::Draw(IDirectDrawSurface* target) {
    if (m_SubScreen == kReplay && m_pReplayScene) return m_pReplayScene->Draw(target);
    return DD_OK;
}

bool CExtraMode::RecreateSurfaces(IDirectDraw* dd) {
    if (m_SubScreen == kReplay && m_pReplayScene) return m_pReplayScene->RecreateSurfaces(dd);
    return true;
}

bool CExtraMode::ReleaseSurfaces() {
    if (m_SubScreen == kReplay && m_pReplayScene) return m_pReplayScene->ReleaseSurfaces();
    return true;
}

bool CExtraMode::RestoreSurfaces() {
    if (m_SubScreen == kReplay && m_pReplayScene) return m_pReplayScene->RestoreSurfaces();
    return true;
}
