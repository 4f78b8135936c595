// The message window's life: its pictures, visibility, voice name and the display operations its owner
// calls in the handler scheme of the screens.
#include "text/MessageWindow.h"

#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/gdi_font.h"
#include "platform/runtime.h"

#include <cstring>

namespace {
constexpr int kWindowSlot = 5;
constexpr int kWindowX = 22;
constexpr int kWindowY = 338;

CLayer* MakeBlank(int w, int h, int x, int y) {
    CLayer* layer = CreateLayerObject(0);
    layer->CreateBlank(SIZE{w, h}, 1);
    layer->m_nX = x;
    layer->m_nY = y;
    return layer;
}
} // namespace

CMessageWindow::CMessageWindow(BYTE textOnly) : m_bTextOnly(textOnly ? 1 : 0) {
    if (!m_bTextOnly) {
        if (g_pScreen && !g_pScreen->LoadLayer(kWindowSlot, "sg022", 0, kWindowX, kWindowY, 1))
            if (CLayer* taken = g_pScreen->GetLayer(kWindowSlot))
                taken->Reload("sg022", 0, kWindowX, kWindowY, 1, 0);
        m_pTextLayer = MakeBlank(544, 80, 46, 382);
        m_pNamePlate = MakeBlank(120, 26, 54, 344);
        m_pIcon = CreateLayerObject(1);
        m_pIcon->Load("sg023", 0, 586, 450, 1, 0);
        SetVisible(0);
        SetTextShadow(1);
        SetNameShadow(1);
    }
    SetFontSize(kDefaultFontSize);
    SetTextColor(255, 255, 255, 1);
    SetNameColor(255, 255, 255, 1);
    SetShadowColor(8, 8, 8);
}

CMessageWindow::~CMessageWindow() {
    if (m_bChoiceBoxes && g_pScreen) DeleteLayerObject(g_pScreen->SetLayer(4, nullptr));
    for (CLayer* layer : OwnPictures())
        DeleteLayerObject(layer);
    if (m_hFont) DeleteObject(m_hFont);
}

std::vector<CLayer*> CMessageWindow::OwnPictures() const {
    std::vector<CLayer*> all;
    for (CLayer* layer :
         {m_pTextLayer, m_pTextShadow, m_pNamePlate, m_pNameShadow, m_pWork, m_pChoiceText, m_pIcon})
        if (layer) all.push_back(layer);
    return all;
}

CLayer* CMessageWindow::WindowPicture() const {
    return (!m_bTextOnly && g_pScreen) ? g_pScreen->GetLayer(kWindowSlot) : nullptr;
}

RECT CMessageWindow::WindowRect() const {
    const CLayer* window = WindowPicture();
    RECT rc;
    SetRect(&rc, kWindowX, kWindowY, kWindowX + (window ? window->GetWidth() : 0),
            kWindowY + (window ? window->GetHeight() : 0));
    return rc;
}

void CMessageWindow::MarkDirty(const RECT& rc) {
    m_UpdateRect.AddRect(&rc);
}

void CMessageWindow::ShowSlotAtOnce(int slot, BYTE on) {
    // The window's own pictures appear at once, whatever effect the scenario chose for its changes.
    if (!g_pScreen || !g_pScreen->GetLayer(slot)) return;
    const int effect = g_pScreen->GetEffect();
    g_pScreen->SetEffect(0);
    g_pScreen->ShowLayer(slot, on);
    g_pScreen->SetEffect(effect);
}

void CMessageWindow::SetVisible(BYTE on) {
    m_bVisible = on;
    ShowSlotAtOnce(kWindowSlot, on);
    if (m_pTextLayer) m_pTextLayer->m_bVisible = on;
    if (m_pNamePlate) m_pNamePlate->m_bVisible = on;
    SetIconVisible(on && m_State == kStateClickWait);
    MarkDirty(WindowRect());
}

BYTE CMessageWindow::IsVisible() const {
    return m_bVisible;
}

void CMessageWindow::SetVoiceName(const char* name) {
    CopyBounded(m_VoiceName, name ? name : "");
}

const char* CMessageWindow::GetVoiceName() const {
    return m_VoiceName[0] ? m_VoiceName : nullptr;
}

int CMessageWindow::GetState() const {
    return m_State;
}

bool CMessageWindow::IsPageStopped() const {
    return m_State == kStateStopped && !m_bWaitArmed;
}

const char* CMessageWindow::GetGridLine(int line) const {
    return (line >= 0 && line < kLines) ? m_Grid[line] : nullptr;
}

void CMessageWindow::FlushUpdate() {
    RECT rc;
    if (m_UpdateRect.GetRect(&rc)) AddUpdateRect(&rc);
    m_UpdateRect.AddRect(nullptr);
}

HRESULT CMessageWindow::Draw(IDirectDrawSurface* target) {
    HRESULT result = 0;
    const auto keep = [&result](HRESULT hr) {
        if (result == 0) result = hr;
    };
    const CLayer* window = WindowPicture();
    if (window && window->m_bVisible) {
        if (m_pTextLayer) keep(m_pTextLayer->Draw(target));
        if (m_pNamePlate) keep(m_pNamePlate->Draw(target));
    }
    if (m_pIcon) keep(m_pIcon->Draw(target));
    if (CLayer* boxes = ChoiceBoxPicture()) keep(boxes->Draw(target));
    if (m_pChoiceText) keep(m_pChoiceText->Draw(target));
    return result;
}

bool CMessageWindow::Restore(IDirectDraw* dd) {
    bool ok = true;
    // The compositor restores its own pictures too; the glyphs redrawn below read them first.
    for (CLayer* shared : {WindowPicture(), ChoiceBoxPicture()})
        if (shared) ok = shared->Restore(dd) && ok;
    for (CLayer* layer : OwnPictures())
        ok = layer->Restore(dd) && ok;
    ForgetWorkContent();
    SetTextColor(m_Colors[kTextColor].r, m_Colors[kTextColor].g, m_Colors[kTextColor].b, 1);
    SetNameColor(m_Colors[kNameColor].r, m_Colors[kNameColor].g, m_Colors[kNameColor].b, 1);
    SetShadowColor(8, 8, 8);
    if (ChoiceBoxPicture()) RestoreChoices();
    RedrawPage();
    return ok;
}

void CMessageWindow::ForgetWorkContent() {
    if (m_pWork) m_WorkDirty = RECT{0, 0, m_pWork->GetWidth(), m_pWork->GetHeight()};
}

void CMessageWindow::RedrawPage() {
    // The name is drawn at the default size; the page goes on at its own.
    const int fontSize = m_FontSize;
    RedrawSpeakerName();
    SetFontSize(fontSize);
    RedrawText();
}

bool CMessageWindow::ReleaseSurfaces() {
    for (CLayer* layer : OwnPictures())
        layer->ReleaseSurfaces();
    return true;
}

bool CMessageWindow::RestoreIfLost() {
    bool lost = false;
    for (CLayer* layer : OwnPictures()) {
        IDirectDrawSurface* surface = layer->GetSurface();
        if (surface && surface->IsLost() != DD_OK) lost = true;
        layer->RestoreIfLost();
    }
    // Restored memory comes back empty: what the window had drawn is drawn again.
    if (lost) {
        ForgetWorkContent();
        if (m_pChoiceText && m_ChoiceMode == 1) {
            const BYTE shown = m_pChoiceText->m_bVisible;
            DrawChoiceTexts();
            ShowNormalChoices();
            m_pChoiceText->m_bVisible = shown;
        }
        RedrawPage();
    }
    return true;
}
