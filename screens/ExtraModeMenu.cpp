// The extras' menu: CG gallery, scene list, sound room and back, over "sg050" with the art of "sg051".
#include "screens/ExtraMode.h"

#include "app/GameCtrl.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/runtime.h"
#include "screens/OverlaySupport.h"
#include "screens/ScreenSlots.h"
#include "sound/SoundManager.h"

namespace {
enum : int { kItemGallery, kItemSceneList, kItemSoundRoom, kItemBack, kItemCount };
const RECT kMenuItems[kItemCount] = {
    {304, 144, 602, 192}, {176, 224, 598, 270}, {68, 304, 484, 356}, {256, 422, 378, 464}};
const RECT kMenuHoverArt[kItemCount] = {
    {0, 0, 298, 48}, {298, 0, 720, 46}, {720, 0, 1136, 52}, {1136, 0, 1258, 42}};
const RECT kMenuPressedArt[kItemCount] = {
    {0, 52, 298, 100}, {298, 52, 720, 98}, {720, 52, 1136, 104}, {1136, 52, 1258, 94}};
// The menu leaves the title's music playing; anything else stops on the way back.
const char kTitleMusic[] = "bgm01";

CLayer* MenuArt() {
    return g_pScreen ? g_pScreen->GetLayer(1) : nullptr;
}

void ShowItemArt(const RECT* art, int item) {
    if (CLayer* layer = MenuArt()) layer->SetPart(&art[item], kMenuItems[item].left, kMenuItems[item].top, 0);
}
} // namespace

void CExtraMode::ShowMenu() {
    ShowFullScreenPicture(0, "sg050");
    ReplaceScreenLayer(1, NewScreenPicture("sg051", 1, 1, 0, 0, 0));
    FreeMask();
    m_pRectTable = kMenuItems;
    m_nRectCount = kItemCount;
}

void CExtraMode::OnMenuMouseMove(int x, int y) {
    CHitArea::OnMouseMove(x, y);
    if (m_nCurrent != -1) {
        ShowItemArt(kMenuPressedArt, m_nCurrent);
        Mark(kMenuItems, m_LastCurrent);
        Mark(kMenuItems, m_nCurrent);
    } else if (m_nHover != -1) {
        ShowItemArt(kMenuHoverArt, m_nHover);
        Mark(kMenuItems, m_LastHover);
        Mark(kMenuItems, m_nHover);
    } else if (m_LastHover != -1 || m_LastCurrent != -1) {
        if (CLayer* layer = MenuArt()) layer->ClearPart(0);
        Mark(kMenuItems, m_LastHover);
        Mark(kMenuItems, m_LastCurrent);
    }
    if (ChangedTo(m_nHover, m_LastHover) || ChangedTo(m_nCurrent, m_LastCurrent)) PlayInterfaceSE("Se000");
    UpdateLast();
}

void CExtraMode::OnMenuLButtonDown(int x, int y) {
    CHitArea::OnLButtonDown(x, y);
    if (m_nCurrent != -1) {
        ShowItemArt(kMenuPressedArt, m_nCurrent);
        Mark(kMenuItems, m_nCurrent);
    }
    m_LastCurrent = m_nCurrent;
}

void CExtraMode::OnMenuLButtonUp(int x, int y) {
    // A release with no press before it would repeat the last click.
    if (!IsButtonHeld()) return;
    CHitArea::OnLButtonUp(x, y);
    if (m_nHover != -1) {
        ShowItemArt(kMenuHoverArt, m_nHover);
        Mark(kMenuItems, m_nHover);
    }
    UpdateLast();
    switch (m_nCurrent) {
    case kItemGallery:
        m_PrevGalleryPage = -1;
        m_GalleryPage = 0;
        PlayInterfaceSE("Se001");
        SetSubScreen(kGallery, 0);
        PlayInterfaceVoice("svo0004");
        break;
    case kItemSceneList:
        m_ScenePage = 0;
        PlayInterfaceSE("Se001");
        SetSubScreen(kSceneList, 0);
        PlayInterfaceVoice("svo0005");
        break;
    case kItemSoundRoom:
        PlayInterfaceSE("Se001");
        SetSubScreen(kSoundRoom, 0);
        PlayInterfaceVoice("svo0006");
        break;
    case kItemBack: {
        if (g_pSoundManager) {
            char current[CSoundManager::kNameSize];
            if (!g_pSoundManager->GetBGMName(current) || _stricmp(current, kTitleMusic) != 0)
                g_pSoundManager->StopAll();
        }
        ReplaceScreenLayer(1, nullptr);
        m_State = GameModeTitle;
        PlayInterfaceSE("Se002");
        m_SubScreen = kLeaving;
        break;
    }
    default:
        break;
    }
}
