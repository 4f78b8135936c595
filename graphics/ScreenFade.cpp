// Fading the whole screen to black or white and back through a solid overlay.
#include "graphics/Screen.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Transition.h"
#include "graphics/TransitionTables.h"

#include <cstring>

namespace {
// "現在ブラックアウトはできません。", "現在ブラックインはできません。", "現在ホワイトアウトはできません。",
// "現在ホワイトインはできません。"
const char* const kFadeRefusals[4] = {
    "\x8C\xBB\x8D\xDD\x83\x75\x83\x89\x83\x62\x83\x4E\x83\x41\x83\x45\x83\x67\x82\xCD\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1\x81\x42",
    "\x8C\xBB\x8D\xDD\x83\x75\x83\x89\x83\x62\x83\x4E\x83\x43\x83\x93\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42",
    "\x8C\xBB\x8D\xDD\x83\x7A\x83\x8F\x83\x43\x83\x67\x83\x41\x83\x45\x83\x67\x82\xCD\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1\x81\x42",
    "\x8C\xBB\x8D\xDD\x83\x7A\x83\x8F\x83\x43\x83\x67\x83\x43\x83\x93\x82\xCD\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42",
};
constexpr int kEffectDither = 2;
constexpr int kKeySourceNone = 5;
} // namespace

void CScreen::Fade(int kind) {
    // Only the four kinds exist; anything else would leave an unfilled overlay behind.
    if (kind < kBlackOut || kind > kWhiteIn) return;
    const bool dark = m_bBlackOut != 0, light = m_bWhiteOut != 0;
    bool refused = false;
    switch (kind) {
    case kBlackOut:
    case kWhiteOut:
        refused = dark || light;
        break;
    case kBlackIn:
        refused = !(dark && !light);
        break;
    case kWhiteIn:
        refused = !(light && !dark);
        break;
    }
    if (refused) {
        ReportError(kFadeRefusals[kind - 1]);
        FadeCleanUp();
        return;
    }

    // The overlay is about to be replaced; a transition may still be reading its surface.
    FinishRunning();
    m_pFadeLayer = DeleteLayerObject(m_pFadeLayer);
    m_pFadeLayer = CreateLayerObject(0);
    m_pFadeLayer->CreateBlank(*GetScreenSize(), 0);
    m_pFadeLayer->m_bVisible = 1;
    const bool toWhite = kind == kWhiteOut || kind == kWhiteIn;
    m_pFadeLayer->Fill(toWhite ? 0xFFFFFF : 0, nullptr);
    if (kind == kBlackOut) m_bBlackOut = 1;
    if (kind == kWhiteOut) m_bWhiteOut = 1;
    m_FadeKind = kind;
    SetRect(&m_StepRect, 0, 0, GetScreenSize()->cx, GetScreenSize()->cy);

    if (!m_bEffectEnable || IsSkipping() || m_Effect == 0) {
        ClearFade();
        m_UpdateRect.AddRect(&m_StepRect);
        return;
    }

    const bool out = kind == kBlackOut || kind == kWhiteOut;
    IDirectDrawSurface* overlay = m_pFadeLayer->GetSurface();
    TransitionParams params;
    std::memset(&params, 0, sizeof params);
    bool made;
    if (m_Effect != kEffectDither) {
        made = CreateWorkSurfaces(*GetScreenSize(), 1 | 4);
        if (made) {
            DrawLayers(m_pBefore->GetSurface());
            if (out) {
                m_pBefore->BltTo(m_pDraw->GetSurface(), 0, 0, nullptr);
                params.before = m_pBefore->GetSurface();
                params.after = overlay;
            } else {
                m_pFadeLayer->Draw(m_pDraw->GetSurface());
                params.before = overlay;
                params.after = m_pBefore->GetSurface();
            }
            params.draw = m_pDraw->GetSurface();
        }
    } else {
        // The dither works in place: the draw surface is its before picture.
        made = CreateWorkSurfaces(*GetScreenSize(), 4);
        if (made) {
            if (out) {
                DrawLayers(m_pDraw->GetSurface());
            } else {
                m_pFadeLayer->Draw(m_pDraw->GetSurface());
                DrawLayers(overlay);
            }
            params.before = m_pDraw->GetSurface();
            params.after = overlay;
            params.draw = nullptr;
        }
    }

    params.effect = m_Effect;
    params.destWidth = params.imageWidth = GetScreenSize()->cx;
    params.destHeight = params.imageHeight = GetScreenSize()->cy;
    params.keySource = kKeySourceNone;
    params.color = 0;
    for (int i = 0; i < 4; ++i)
        params.timing[i] = EffectTimingTable[m_Effect][i];
    params.timingMode = 0;
    params.destX = params.destY = 0;
    SetRect(&params.source, 0, 0, GetScreenSize()->cx, GetScreenSize()->cy);

    if (made && g_pTransition && g_pTransition->Start(&params)) {
        m_bRunning = 1;
        m_UpdateRect.AddRect(&m_StepRect);
        return;
    }
    // The transition cannot start (its rule mask is missing, say): the fade goes on as with effects
    // off, as a layer change does, so that its flags end as after it and the opposite fade is accepted.
    DeleteWorkSurfaces();
    ClearFade();
    m_UpdateRect.AddRect(&m_StepRect);
}

void CScreen::FadeCleanUp() {
    // Whatever runs still reads the surfaces and pictures that go now.
    FinishRunning();
    m_pFadeLayer = DeleteLayerObject(m_pFadeLayer);
    DeleteWorkSurfaces();
    // The background stays; the pictures above it go.
    for (int i = 1; i < kLayerCount; ++i)
        m_pLayers[i] = DeleteLayerObject(m_pLayers[i]);
    m_FadeKind = 0;
    DirtyAll();
}

void CScreen::ClearFade() {
    const bool inFade = m_FadeKind == kBlackIn || m_FadeKind == kWhiteIn;
    if (inFade && m_bRunning && m_Move.source == 0) {
        // The running in-fade reads the overlay: it ends first, and its end clears the fade.
        EndTransition();
        return;
    }
    if (inFade) {
        m_pFadeLayer = DeleteLayerObject(m_pFadeLayer);
        m_bBlackOut = 0;
        m_bWhiteOut = 0;
    }
    m_FadeKind = 0;
}
