// MoveChar: a character picture slides along x from one slot to another, stepped by the compositor.
#include "graphics/Screen.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Transition.h"
#include "platform/time.h"

#include <cstdio>

namespace {
// "レイヤー０に対してMoveChar関数は使用できません"
const char kMoveCharOnBackground[] =
    "\x83\x8C\x83\x43\x83\x84\x81\x5B\x82\x4F\x82\xC9\x91\xCE\x82\xB5\x82\xC4\x4D\x6F\x76\x65\x43\x68\x61\x72"
    "\x8A\xD6\x90\x94\x82\xCD\x8E\x67\x97\x70\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// "対象レイヤー(%d)が未使用です。MoveChar関数"
const char kMoveCharEmptyLayer[] =
    "\x91\xCE\x8F\xDB\x83\x8C\x83\x43\x83\x84\x81\x5B\x28%d\x29\x82\xAA\x96\xA2\x8E"
    "\x67\x97\x70\x82\xC5\x82\xB7\x81\x42\x4D\x6F\x76\x65\x43\x68\x61\x72\x8A\xD6"
    "\x90\x94";
// "MoveChar関数のレイヤー番号が範囲外です。"
const char kMoveCharBadLayer[] =
    "\x4D\x6F\x76\x65\x43\x68\x61\x72\x8A\xD6\x90\x94\x82\xCC\x83\x8C\x83\x43\x83\x84"
    "\x81\x5B\x94\xD4\x8D\x86\x82\xAA\x94\xCD\x88\xCD\x8A\x4F\x82\xC5\x82\xB7\x81\x42";
} // namespace

void CScreen::MoveChar(int source, int target, int x, int tenths) {
    if (source == 0) {
        ReportError(kMoveCharOnBackground);
        return;
    }
    // Both slot numbers come from the scenario.
    if (!ValidSlot(source) || !ValidSlot(target)) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "(%d, %d)", source, target);
        ReportError(kMoveCharBadLayer, numbers);
        return;
    }
    // A slide still in progress reaches its goal before another move starts.
    FinishMoveChar(true);
    if (!m_pLayers[source]) {
        char message[128];
        std::snprintf(message, sizeof message, kMoveCharEmptyLayer, source);
        ReportError(message);
        return;
    }

    CLayer* layer = m_pLayers[source];
    m_Move = MoveCharState{};
    m_Move.source = source;
    m_Move.target = target;
    m_Move.targetX = x;
    if (CanTransition(false) && tenths > 0) {
        // A running transition would never be stepped again while the slide runs.
        if (m_bRunning) EndTransition();
        m_bRunning = 1;
        m_Move.duration = tenths * 100.0;
        m_Move.dx = 1LL * x - layer->m_nX;
        if (g_pTransition) g_pTransition->SetRunning(1);
        return;
    }
    PlaceMovedLayer(true);
    m_Move = MoveCharState{};
    DirtyAll();
}

void CScreen::UpdateMoveChar() {
    CLayer* layer = m_pLayers[m_Move.source];
    if (!layer) {
        // The picture was taken out of its slot while it slid: nothing is left to move.
        FinishMoveChar(false);
        return;
    }
    const DWORD now = GetTickCount();
    if (!m_Move.started) {
        m_Move.started = true;
        m_Move.startTick = now;
        m_Move.startX = layer->m_nX;
        return;
    }
    const DWORD elapsed = now - m_Move.startTick;
    if (elapsed == 0) return;
    const double t = elapsed / m_Move.duration;
    if (t >= 1.0) {
        FinishMoveChar(true);
        return;
    }
    const LONG oldX = layer->m_nX;
    // The distance may exceed a LONG when the ends lie far apart; the x it gives is held to one.
    const long long x = m_Move.startX + static_cast<long long>(m_Move.dx * t);
    const LONG newX = ClampToLong(x);
    layer->m_nX = newX;
    const long long bottom = 1LL * layer->m_nY + layer->GetHeight();
    const RECT rc = m_Move.dx < 1 ? ClampedRect(newX, layer->m_nY, 1LL * oldX + layer->GetWidth(), bottom)
                                  : ClampedRect(oldX, layer->m_nY, 1LL * newX + layer->GetWidth(), bottom);
    m_UpdateRect.AddRect(&rc);
}

void CScreen::PlaceMovedLayer(bool compose) {
    const int source = m_Move.source, target = m_Move.target;
    CLayer* layer = m_pLayers[source];
    if (!layer) return;
    if (target != source) {
        DeleteLayerObject(m_pLayers[target]);
        m_pLayers[target] = layer;
        m_pLayers[source] = nullptr;
    }
    if (compose) {
        SetLayerPos(target, m_Move.targetX, layer->m_nY);
    } else {
        layer->m_nX = m_Move.targetX;
    }
}

void CScreen::FinishMoveChar(bool compose) {
    if (m_Move.source == 0) return;
    PlaceMovedLayer(compose);
    m_Move = MoveCharState{};
    m_bRunning = 0;
    if (g_pTransition) g_pTransition->SetRunning(0);
    DirtyAll();
}

HRESULT CScreen::DrawLayersMoving(IDirectDrawSurface* target) {
    HRESULT result = 0;
    for (int i = 0; i < kLayerCount; ++i) {
        CLayer* layer = m_pLayers[i];
        if (!layer) continue;
        CDDrawSurface* kept = layer->GetKeptCopy();
        // The kept copy holds the unblended pixels; pictures without one draw as usual.
        if (i == m_Move.source && kept && layer->m_bVisible)
            result = kept->BltTo(target, layer->m_nX, layer->m_nY, nullptr);
        else
            result = layer->Draw(target);
    }
    return result;
}
