// The title menu: start, config and quit over "sg017", their hover and pressed art from "sg018", the
// keyboard focus, the title music, and the keys to name entry and the extras.
#include "screens/TitleMode.h"

#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/runtime.h"
#include "screens/OverlaySupport.h"
#include "sound/SoundManager.h"

namespace {
const RECT kItemRects[CTitleMode::kItemCount] = {
    {26, 89, 154, 129},
    {73, 207, 201, 247},
    {22, 384, 150, 424},
};
const RECT kHoverArt[CTitleMode::kItemCount] = {
    {0, 0, 128, 40},
    {0, 80, 128, 120},
    {0, 200, 128, 240},
};
const RECT kPressedArt[CTitleMode::kItemCount] = {
    {128, 0, 256, 40},
    {128, 80, 256, 120},
    {128, 200, 256, 240},
};
const char kTitleMusic[] = "bgm02";
// The keys that lead from the title to name entry and to the extras.
constexpr UINT kNameEntryKey = 'N';
constexpr UINT kExtrasKey = 'E';

bool ValidItem(int item) {
    return item >= 0 && item < CTitleMode::kItemCount;
}

// The title music plays on when it is the current music already; anything else makes way for it.
void StartTitleMusic() {
    if (!g_pSoundManager) return;
    char current[CSoundManager::kNameSize];
    if (g_pSoundManager->GetBGMName(current)) {
        if (_stricmp(current, kTitleMusic) == 0) return;
        g_pSoundManager->StopBGM();
    }
    g_pSoundManager->PlayBGM(kTitleMusic, 1);
}
} // namespace

const RECT* CTitleMode::GetItemRect(int item) {
    return ValidItem(item) ? &kItemRects[item] : nullptr;
}

CTitleMode::CTitleMode()
    : m_bInputDisabled(0), m_NextMode(GameModeTitle), m_pItems(nullptr), m_LastHover(-1), m_LastCurrent(-1),
      m_Focus(-1) {
    m_pRectTable = kItemRects;
    m_nRectCount = kItemCount;
    if (g_pScreen) {
        g_pScreen->SetEffect(1);
        if (g_pScreen->GetLayer(0))
            g_pScreen->ChangeLayer(0, "sg017", 1, 0, 0, 0, -1, -1, -1, -1);
        else
            g_pScreen->LoadLayer(0, "sg017", 1, 0, 0, 0);
    }
    m_pItems = CreateLayerObject(1);
    if (m_pItems) m_pItems->Load("sg018", 1, 0, 0, 1, 0);
    m_UpdateRect.AddRect(GetScreenRect());
    StartTitleMusic();
}

CTitleMode::~CTitleMode() {
    DeleteLayerObject(m_pItems);
}

int CTitleMode::Run() {
    return m_NextMode;
}

void CTitleMode::ShowItemArt(int item, const RECT* art) {
    if (m_pItems && ValidItem(item))
        m_pItems->SetPart(&art[item], kItemRects[item].left, kItemRects[item].top, 0);
}

void CTitleMode::MarkItem(int item) {
    if (ValidItem(item)) m_UpdateRect.AddRect(&kItemRects[item]);
}

void CTitleMode::OnMouseMove(int x, int y) {
    if (m_bInputDisabled) return;
    CHitArea::OnMouseMove(x, y);
    if (m_nCurrent != -1) {
        ShowItemArt(m_nCurrent, kPressedArt);
        MarkItem(m_LastCurrent);
        MarkItem(m_nCurrent);
    } else if (m_nHover == -1) {
        if (m_LastHover != -1 || m_LastCurrent != -1) {
            m_Focus = -1;
            if (m_pItems) m_pItems->ClearPart(0);
            MarkItem(m_LastHover);
            MarkItem(m_LastCurrent);
        }
    } else {
        ShowItemArt(m_nHover, kHoverArt);
        MarkItem(m_LastHover);
        MarkItem(m_nHover);
        m_Focus = m_nHover;
    }
    if ((m_nHover != -1 && m_nHover != m_LastHover) || (m_nCurrent != -1 && m_nCurrent != m_LastCurrent))
        PlayInterfaceSE("Se000");
    m_LastHover = m_nHover;
    m_LastCurrent = m_nCurrent;
}

void CTitleMode::OnLButtonDown(int x, int y) {
    if (m_bInputDisabled) return;
    CHitArea::OnLButtonDown(x, y);
    if (m_nCurrent != -1) {
        ShowItemArt(m_nCurrent, kPressedArt);
        MarkItem(m_nCurrent);
    }
    m_LastCurrent = m_nCurrent;
}

void CTitleMode::OnLButtonUp(int x, int y) {
    if (m_bInputDisabled) return;
    CHitArea::OnLButtonUp(x, y);
    if (m_nHover != -1) {
        ShowItemArt(m_nHover, kHoverArt);
        MarkItem(m_nHover);
    }
    m_LastHover = m_nHover;
    m_LastCurrent = m_nCurrent;
    if (m_nCurrent != -1) PlayInterfaceSE("Se001");
    switch (m_nCurrent) {
    case kItemStart: {
        if (g_pScreen) {
            g_pScreen->SetEffect(2);
            g_pScreen->ChangeLayer(0, "sg001", 1, 0, 0, 0, -1, -1, -1, -1);
        }
        m_pItems = DeleteLayerObject(m_pItems);
        m_NextMode = GameModeScene;
        if (g_pSoundManager) {
            if (g_pConfig && g_pConfig->GetEffectSwitch() == 1)
                g_pSoundManager->FadeOutBGM(7);
            else
                g_pSoundManager->StopAll();
        }
        m_bInputDisabled = 1;
        break;
    }
    case kItemConfig:
        SendAppMessage(UM_CONFIG, 0, 0);
        break;
    case kItemQuit:
        SendAppMessage(UM_QUIT, 0, 0);
        break;
    default:
        break;
    }
}

void CTitleMode::OnKeyDown(UINT vk) {
    if (m_bInputDisabled) return;
    if (vk == VK_UP || vk == VK_DOWN) {
        if (vk == VK_UP)
            m_Focus = m_Focus <= 0 ? kItemCount - 1 : m_Focus - 1;
        else
            m_Focus = (m_Focus < 0 || m_Focus >= kItemCount - 1) ? 0 : m_Focus + 1;
        OnMouseMove(kItemRects[m_Focus].left, kItemRects[m_Focus].top);
    } else if (vk == VK_RETURN && ValidItem(m_Focus)) {
        OnLButtonDown(kItemRects[m_Focus].left, kItemRects[m_Focus].top);
    }
}

void CTitleMode::OnKeyUp(UINT vk) {
    if (m_bInputDisabled) return;
    if (vk == VK_RETURN && ValidItem(m_Focus)) {
        OnLButtonUp(kItemRects[m_Focus].left, kItemRects[m_Focus].top);
    } else if (vk == kNameEntryKey) {
        ChooseMode(GameModeNameEntry);
    } else if (vk == kExtrasKey) {
        ChooseMode(GameModeExtra);
    }
}

void CTitleMode::ChooseMode(int mode) {
    PlayInterfaceSE("Se001");
    m_NextMode = mode;
    m_bInputDisabled = 1;
}

void CTitleMode::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CTitleMode::Draw(IDirectDrawSurface* target) {
    return m_pItems ? m_pItems->Draw(target) : 0;
}

// The item sprite is gone once the game starts; the surfaces of what remains are the compositor's.
bool CTitleMode::RecreateSurfaces(IDirectDraw* dd) {
    if (m_pItems) m_pItems->Restore(dd);
    return true;
}

bool CTitleMode::ReleaseSurfaces() {
    if (m_pItems) m_pItems->ReleaseSurfaces();
    return true;
}

bool CTitleMode::RestoreSurfaces() {
    if (m_pItems) m_pItems->RestoreIfLost();
    return true;
}
