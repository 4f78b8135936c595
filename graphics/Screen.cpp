#include "graphics/Screen.h"

#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"

CScreen* g_pScreen = nullptr;

CScreen::CScreen() = default;

CScreen::~CScreen() {
    for (CLayer*& layer : m_pLayers)
        layer = DeleteLayerObject(layer);
    m_pSnapshot = DeleteLayerObject(m_pSnapshot);
    m_pFadeLayer = DeleteLayerObject(m_pFadeLayer);
    DeleteWorkSurfaces();
}

bool CScreen::SetEffect(int effect) {
    if (effect < 0 || effect >= kEffectCount) return false;
    m_Effect = effect;
    return true;
}

void CScreen::SetEffectParams(int value0, int value1, int value2, int value3) {
    m_bOneShot = 1;
    m_OneShot[0] = value0;
    m_OneShot[1] = value1;
    m_OneShot[2] = value2;
    m_OneShot[3] = value3;
}

bool CScreen::CanTransition(bool ignoreSnapshot) const {
    return IsSkipping() != 1 && m_bEffectEnable && m_Effect != 0 && (ignoreSnapshot || !m_pSnapshot);
}

CLayer* CScreen::GetLayer(int slot) const {
    return ValidSlot(slot) ? m_pLayers[slot] : nullptr;
}

CLayer* CScreen::SetLayer(int slot, CLayer* layer) {
    if (!ValidSlot(slot)) return layer;
    CLayer* old = m_pLayers[slot];
    m_pLayers[slot] = layer;
    return old;
}

void CScreen::DirtyAll() {
    m_UpdateRect.AddRect(GetScreenRect());
}

bool CScreen::LoadLayer(int slot, const char* name, BYTE visible, int x, int y, BYTE colorKey) {
    if (!ValidSlot(slot) || m_pLayers[slot]) return false;
    const bool withTransition = visible && CanTransition(false);
    if (withTransition) {
        // The transition ends whatever runs; a slide ending in this slot would put its picture in
        // place of the one about to be loaded, so it ends before the slot is filled.
        FinishRunning();
        if (m_pLayers[slot]) return false;
    }
    m_pLayers[slot] = CreateLayerObject(0);
    m_pLayers[slot]->Load(name, visible, x, y, colorKey, 0);
    if (withTransition && StartChange(nullptr)) {
        // The new slot is left out of the before image: it appears through the transition.
        DrawLayers(m_pBefore->GetSurface(), slot);
        CopyBeforeToDraw();
        Compose();
        FinishChange();
        return true;
    }
    if (visible) Compose();
    DropOneShot();
    DirtyAll();
    return true;
}

bool CScreen::ChangeLayer(int slot, const char* name, BYTE visible, int x, int y, BYTE colorKey, int timing0,
                          int timing1, int timing2, int timing3) {
    if (!ValidSlot(slot) || !m_pLayers[slot]) return false;
    const int timing[4] = {timing0, timing1, timing2, timing3};
    if (CanTransition(false) && StartChange(timing0 != -1 ? timing : nullptr)) {
        DrawLayers(m_pBefore->GetSurface());
        CopyBeforeToDraw();
        m_pLayers[slot]->Reload(name, visible, x, y, colorKey, 0);
        Compose();
        FinishChange();
        return true;
    }
    DropOneShot();
    const bool loaded = m_pLayers[slot]->Reload(name, visible, x, y, colorKey, 0);
    Compose();
    DirtyAll();
    return loaded;
}

void CScreen::ShowLayer(int slot, BYTE visible) {
    // An empty slot has nothing to show or hide.
    CLayer* layer = GetLayer(slot);
    if (!layer || layer->m_bVisible == visible) return;
    if (CanTransition(false) && StartChange(nullptr)) {
        DrawLayers(m_pBefore->GetSurface());
        CopyBeforeToDraw();
        layer->m_bVisible = visible;
        Compose();
        FinishChange();
        return;
    }
    DropOneShot();
    layer->m_bVisible = visible;
    Compose();
    const RECT rc = ClampedRect(layer->m_nX, layer->m_nY, 1LL * layer->m_nX + layer->GetWidth(),
                                1LL * layer->m_nY + layer->GetHeight());
    m_UpdateRect.AddRect(&rc);
}

void CScreen::SetLayerPos(int slot, int x, int y) {
    CLayer* layer = GetLayer(slot);
    if (!layer) return;
    layer->m_nX = x;
    layer->m_nY = y;
    Compose();
}

void CScreen::Compose() {
    bool anyAlpha = false;
    for (int i = 1; i < kLayerCount; ++i)
        if (m_pLayers[i] && m_pLayers[i]->GetKind() == kPictureKindAm) anyAlpha = true;
    if (!anyAlpha) return;

    CDDrawSurface work;
    if (!work.CreateEmpty(GetDirectDraw(), *GetScreenSize())) return;
    IDirectDrawSurface* surface = work.GetSurface();
    // Without a background the pictures blend over black.
    if (m_pLayers[0])
        m_pLayers[0]->Draw(surface);
    else
        FillSurface(surface, 0, nullptr);
    for (int i = 1; i < kLayerCount; ++i) {
        CLayer* layer = m_pLayers[i];
        if (!layer || !layer->m_bVisible) continue;
        if (layer->GetKind() == kPictureKindAm) layer->PreBlend(surface);
        layer->Draw(surface);
    }
}

void CScreen::Update() {
    if (m_bRunning) {
        if (m_Move.source != 0) {
            UpdateMoveChar();
        } else if (!m_bStepFinished && g_pTransition) {
            int changed = 0;
            if (g_pTransition->Step(&changed)) {
                m_bStepFinished = 1;
                DirtyAll();
            } else if (changed) {
                m_UpdateRect.AddRect(&m_StepRect);
            }
        }
    }
    RECT rc;
    if (m_UpdateRect.GetRect(&rc)) AddUpdateRect(&rc);
    m_UpdateRect.AddRect(nullptr);
}

HRESULT CScreen::Draw(IDirectDrawSurface* target) {
    HRESULT result = 0;
    CDDrawSurface* frame = m_pDraw ? m_pDraw : m_pBefore;
    if ((m_bBlackOut || m_bWhiteOut) && ((m_bRunning && frame) || m_pFadeLayer)) {
        // A refused fade can leave a flag without its overlay; the layers show then.
        if (m_bRunning && frame)
            result = frame->BltTo(target, 0, 0, nullptr);
        else
            result = m_pFadeLayer->Draw(target);
    } else if (m_Move.source != 0) {
        result = DrawLayersMoving(target);
    } else if (m_bRunning && frame) {
        result = frame->BltTo(target, 0, 0, nullptr);
    } else if (m_pSnapshot) {
        result = m_pSnapshot->Draw(target);
    } else {
        result = DrawLayers(target);
    }
    // The frame that reports the end still shows the transition's last image.
    if (m_bStepFinished) EndTransition();
    return result;
}

void CScreen::EndTransition() {
    if (g_pTransition) g_pTransition->End();
    DeleteWorkSurfaces();
    m_bRunning = 0;
    m_bStepFinished = 0;
    if (m_bBlackOut || m_bWhiteOut) ClearFade();
    DirtyAll();
}

bool CScreen::Release() {
    // A slide in progress ends at its goal while the pictures can still be composed.
    if (m_Move.source != 0) FinishMoveChar(true);
    for (CLayer* layer : m_pLayers)
        if (layer) layer->ReleaseSurfaces();
    if (m_bRunning) EndTransition();
    if (m_pFadeLayer) m_pFadeLayer->ReleaseSurfaces();
    if (m_pSnapshot) m_pSnapshot->ReleaseSurfaces();
    return true;
}

bool CScreen::Restore(IDirectDraw* dd) {
    if (m_Move.source != 0) FinishMoveChar(false);
    for (CLayer* layer : m_pLayers)
        if (layer) layer->Restore(dd);
    if (m_bRunning) EndTransition();
    Compose();
    if (m_pFadeLayer) {
        m_pFadeLayer->Restore(dd);
        RefillOverlay();
    }
    if (m_pSnapshot) {
        // The frozen picture cannot be made again; it shows the layers as they are now.
        m_pSnapshot->Restore(dd);
        RedrawSnapshot();
    }
    return true;
}

bool CScreen::RestoreIfLost() {
    for (CLayer* layer : m_pLayers)
        if (layer) layer->RestoreIfLost();
    if (m_Move.source != 0) FinishMoveChar(true);
    if (m_bRunning) EndTransition();
    if (m_pFadeLayer) {
        m_pFadeLayer->RestoreIfLost();
        RefillOverlay();
    }
    if (m_pSnapshot) {
        IDirectDrawSurface* surface = m_pSnapshot->GetSurface();
        const bool lost = surface && surface->IsLost() != DD_OK;
        m_pSnapshot->RestoreIfLost();
        if (lost) RedrawSnapshot();
    }
    return true;
}

void CScreen::RefillOverlay() {
    if (m_pFadeLayer) m_pFadeLayer->Fill(m_bWhiteOut ? 0xFFFFFF : 0, nullptr);
}

void CScreen::RedrawSnapshot() {
    if (!m_pSnapshot || !m_pSnapshot->GetSurface()) return;
    m_pSnapshot->Fill(0, nullptr);
    DrawLayers(m_pSnapshot->GetSurface());
}

HRESULT CScreen::DrawLayers(IDirectDrawSurface* target, int skipSlot) {
    HRESULT result = 0;
    for (int i = 0; i < kLayerCount; ++i)
        if (m_pLayers[i] && i != skipSlot) result = m_pLayers[i]->Draw(target);
    return result;
}
