// The compositor's side of a screen transition: work surfaces, the engine's start record, the before
// and after images, and the quake.
#include "graphics/Screen.h"

#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Transition.h"
#include "graphics/TransitionTables.h"

#include <cstring>

namespace {
constexpr int kWorkBefore = 1;
constexpr int kWorkAfter = 2;
constexpr int kWorkDraw = 4;
constexpr int kKeySourceNone = 5;
constexpr int kEffectDither = 2;
constexpr int kEffectQuake = 3;

void FillCommonParams(TransitionParams* p) {
    const SIZE* size = GetScreenSize();
    p->destWidth = size->cx;
    p->destHeight = size->cy;
    p->imageWidth = size->cx;
    p->imageHeight = size->cy;
    p->keySource = kKeySourceNone;
    p->color = 0;
    p->destX = 0;
    p->destY = 0;
}
} // namespace

CDDrawSurface* CScreen::GetWorkSurface(int which) const {
    switch (which) {
    case 0:
        return m_pBefore;
    case 1:
        return m_pAfter;
    case 2:
        return m_pDraw;
    default:
        return nullptr;
    }
}

bool CScreen::CreateWorkSurfaces(SIZE size, int mask) {
    if (mask == 0) mask = kWorkBefore | kWorkAfter | kWorkDraw;
    IDirectDraw* dd = GetDirectDraw();
    bool ok = true;
    auto make = [&](CDDrawSurface*& slot) {
        delete slot;
        slot = new CDDrawSurface;
        if (!slot->CreateEmpty(dd, size)) ok = false;
    };
    if (mask & kWorkBefore) make(m_pBefore);
    if (mask & kWorkAfter) make(m_pAfter);
    if (mask & kWorkDraw) make(m_pDraw);
    return ok;
}

void CScreen::DeleteWorkSurfaces() {
    delete m_pBefore;
    delete m_pAfter;
    delete m_pDraw;
    m_pBefore = m_pAfter = m_pDraw = nullptr;
}

void CScreen::FillTransitionParams(TransitionParams* p) {
    std::memset(p, 0, sizeof *p);
    p->effect = m_Effect;
    p->before = m_pBefore ? m_pBefore->GetSurface() : nullptr;
    p->after = m_pAfter ? m_pAfter->GetSurface() : nullptr;
    p->draw = m_pDraw ? m_pDraw->GetSurface() : nullptr;
    FillCommonParams(p);
    if (m_bOneShot) {
        for (int i = 0; i < 4; ++i)
            p->timing[i] = m_OneShot[i];
        m_bOneShot = 0;
    } else {
        for (int i = 0; i < 4; ++i)
            p->timing[i] = EffectTimingTable[m_Effect][i];
    }
    p->timingMode = m_Effect == kEffectDither ? 0 : 1;
    SetRect(&p->source, 0, 0, GetScreenSize()->cx, GetScreenSize()->cy);
}

void CScreen::FinishRunning() {
    if (m_Move.source != 0) FinishMoveChar(true);
    if (m_bRunning) EndTransition();
}

bool CScreen::StartChange(const int* timing) {
    FinishRunning();
    if (!g_pTransition) return false;
    const int mask = m_Effect == kEffectDither ? kWorkBefore | kWorkAfter : 0;
    TransitionParams params;
    if (CreateWorkSurfaces(*GetScreenSize(), mask)) {
        FillTransitionParams(&params);
        if (timing)
            for (int i = 0; i < 4; ++i)
                params.timing[i] = timing[i];
        if (g_pTransition->Start(&params)) return true;
    }
    // The engine refused (no rule mask, say): the change happens at once instead.
    DeleteWorkSurfaces();
    return false;
}

void CScreen::CopyBeforeToDraw() {
    if (m_pDraw) m_pBefore->BltTo(m_pDraw->GetSurface(), 0, 0, nullptr);
}

void CScreen::FinishChange() {
    DrawLayers(m_pAfter->GetSurface());
    SetRect(&m_StepRect, 0, 0, GetScreenSize()->cx, GetScreenSize()->cy);
    m_UpdateRect.AddRect(&m_StepRect);
    m_bRunning = 1;
    g_pTransition->RestampStart();
}

void CScreen::StartQuake(int duration, int interval) {
    if (!m_bEffectEnable || IsSkipping()) return;
    FinishRunning();
    if (!g_pTransition) return;
    if (!CreateWorkSurfaces(*GetScreenSize(), kWorkBefore | kWorkAfter)) {
        DeleteWorkSurfaces();
        return;
    }
    SetRect(&m_StepRect, 0, 0, GetScreenSize()->cx, GetScreenSize()->cy);
    DrawLayers(m_pAfter->GetSurface());

    TransitionParams params;
    std::memset(&params, 0, sizeof params);
    params.effect = kEffectQuake;
    params.before = m_pBefore->GetSurface();
    params.after = m_pAfter->GetSurface();
    params.draw = nullptr;
    FillCommonParams(&params);
    params.timing[0] = duration;
    params.timing[1] = interval;
    params.timingMode = 1;
    SetRectEmpty(&params.source);
    if (!g_pTransition->Start(&params)) {
        DeleteWorkSurfaces();
        return;
    }
    m_bRunning = 1;
}
