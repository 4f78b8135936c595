#include "screens/OverlaySupport.h"

#include "graphics/HitArea.h"
#include "graphics/Layer.h"
#include "graphics/UpdateRect.h"
#include "graphics/UpdateRegion.h"
#include "sound/SoundManager.h"

void FlushToUpdateRegion(CUpdateRect* rect) {
    RECT rc;
    if (rect->GetRect(&rc)) AddUpdateRect(&rc);
    rect->AddRect(nullptr);
}

void PlayInterfaceSE(const char* name) {
    if (g_pSoundManager) g_pSoundManager->PlaySE(name, 0);
}

void PlayInterfaceVoice(const char* name) {
    if (g_pSoundManager) g_pSoundManager->PlaySysVoice(name);
}

void CPushButtonArt::Show(const RECT* artTable, int region, CLayer* art) {
    if (!art) return;
    const POINT corner = Corner(region);
    art->SetPart(&artTable[region - m_Table.firstButton], corner.x, corner.y, m_Table.part);
}

void CPushButtonArt::MarkButtons(CUpdateRect* dirty) const {
    for (int i = 0; i < m_Table.buttonCount; ++i)
        dirty->AddRect(&m_Table.regions[m_Table.firstButton + i]);
}

void CPushButtonArt::OnMouseMove(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty) {
    hit.OnMouseMove(x, y);
    const int hover = hit.GetHoverRegion();
    const int pressed = hit.GetCurrentRegion();
    if (IsButton(pressed))
        Show(m_Table.pressedArt, pressed, art);
    else if (IsButton(hover))
        Show(m_Table.hoverArt, hover, art);
    else if ((IsButton(m_LastHover) || IsButton(m_LastPressed)) && art)
        art->ClearPart(m_Table.part);
    MarkButtons(dirty);
    if ((hover != m_LastHover && IsButton(hover)) || (pressed != m_LastPressed && IsButton(pressed)))
        PlayInterfaceSE("Se000");
    m_LastHover = hover;
    m_LastPressed = pressed;
}

void CPushButtonArt::OnLButtonDown(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty) {
    hit.OnLButtonDown(x, y);
    const int pressed = hit.GetCurrentRegion();
    if (IsButton(pressed)) Show(m_Table.pressedArt, pressed, art);
    MarkButtons(dirty);
    // The press itself is no new arrival on the button: the next move over it stays silent.
    m_LastPressed = pressed;
}

bool CPushButtonArt::OnLButtonUp(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty) {
    if (!hit.IsButtonHeld()) return false;
    hit.OnLButtonUp(x, y);
    const int hover = hit.GetHoverRegion();
    if (IsButton(hover))
        Show(m_Table.hoverArt, hover, art);
    else if (art)
        // Released off the buttons: the pressed art must not stay behind.
        art->ClearPart(m_Table.part);
    MarkButtons(dirty);
    m_LastHover = hover;
    m_LastPressed = hit.GetCurrentRegion();
    return true;
}

void CPushButtonArt::Clear(CLayer* art, CUpdateRect* dirty) {
    if (art) art->ClearPart(m_Table.part);
    MarkButtons(dirty);
}
