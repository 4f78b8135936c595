// The frozen screen: several layer changes gathered behind one picture and revealed by one transition.
#include "graphics/Screen.h"

#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"

void CScreen::TakeSnapshot() {
    if (m_pSnapshot) {
        // A second freeze keeps the flag saved by the first: the saved one is the real setting.
        m_pSnapshot = DeleteLayerObject(m_pSnapshot);
    } else {
        m_bSavedEffectEnable = m_bEffectEnable;
    }
    m_pSnapshot = CreateLayerObject(0);
    m_pSnapshot->CreateBlank(*GetScreenSize(), 0);
    m_pSnapshot->m_bVisible = 1;
    DrawLayers(m_pSnapshot->GetSurface());
    m_bEffectEnable = 0;
}

void CScreen::TransitionFromSnapshot(int effect) {
    SetEffect(effect);
    if (!m_pSnapshot) return;
    m_bEffectEnable = m_bSavedEffectEnable;
    if (CanTransition(true) && StartChange(nullptr)) {
        m_pSnapshot->Draw(m_pBefore->GetSurface());
        CopyBeforeToDraw();
        FinishChange();
    } else {
        DropOneShot();
    }
    m_pSnapshot = DeleteLayerObject(m_pSnapshot);
    DirtyAll();
}
