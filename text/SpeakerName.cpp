// The speaker-name plate, the two shadow markers and whole strings drawn for other screens.
#include "text/MessageWindow.h"

#include "graphics/Layer.h"
#include "text/NameCodes.h"

#include <cstring>

namespace {
constexpr RECT kNamePlateRect = {54, 344, 174, 370};
// The plate's point on the window picture behind it.
constexpr int kPlateBackgroundX = 32;
constexpr int kPlateBackgroundY = 6;
} // namespace

void CMessageWindow::CreateMarker(CLayer** marker, int w, int h, int x, int y) {
    if (*marker) return;
    *marker = CreateLayerObject(0);
    (*marker)->CreateBlank(SIZE{w, h}, 0);
    (*marker)->m_nX = x;
    (*marker)->m_nY = y;
}

void CMessageWindow::SetTextShadow(BYTE on) {
    if (!on) {
        m_pTextShadow = DeleteLayerObject(m_pTextShadow);
        return;
    }
    CreateMarker(&m_pTextShadow, 544, 80, 48, 384);
    SetShadowColor(8, 8, 8);
}

void CMessageWindow::SetNameShadow(BYTE on) {
    if (!on) {
        m_pNameShadow = DeleteLayerObject(m_pNameShadow);
        return;
    }
    CreateMarker(&m_pNameShadow, 120, 26, 56, 346);
    SetShadowColor(8, 8, 8);
}

void CMessageWindow::SetSpeakerName(const char* name) {
    if (name) {
        ExpandNameCodes(name, m_Expansion, sizeof m_Expansion);
        // Cut on a character boundary, so that no half character reaches the plate or a save.
        CopyWholeChars(m_SpeakerName, m_Expansion, kSpeakerNameBytes);
    }
    if (!m_SpeakerName[0] || !m_pNamePlate) return;
    SetFontSize(kDefaultFontSize);
    m_CurrentColor = kNameColor;
    SetBlendPictures(WindowPicture(), m_pNamePlate);
    const int length = static_cast<int>(std::strlen(m_SpeakerName));
    int x = (6 - length / 2) * 10;
    int bx = kPlateBackgroundX;
    for (const char* p = m_SpeakerName; int n = CharLength(p); p += n) {
        RenderGlyph(p, n);
        if (m_pNameShadow) BlendGlyphShadow(bx, kPlateBackgroundY, x, 0, 0);
        BlendGlyph(bx, kPlateBackgroundY, x, 0);
        x += Advance(n);
        bx += Advance(n);
    }
    m_CurrentColor = kTextColor;
    MarkDirty(kNamePlateRect);
}

void CMessageWindow::ClearSpeakerName() {
    m_SpeakerName[0] = '\0';
    if (m_pNamePlate) m_pNamePlate->Fill(0, nullptr);
    MarkDirty(WindowRect());
}

void CMessageWindow::RedrawSpeakerName() {
    if (m_pNamePlate) m_pNamePlate->Fill(0, nullptr);
    SetSpeakerName(nullptr);
}

const char* CMessageWindow::GetSpeakerName() const {
    return m_SpeakerName;
}

void CMessageWindow::DrawString(const char* text, CLayer* background, int bx, int by, CLayer* target, int tx,
                                int ty) {
    if (!text) return;
    SetBlendPictures(background, target);
    m_CurrentColor = kTextColor;
    for (const char* p = text; int n = CharLength(p); p += n) {
        RenderGlyph(p, n);
        BlendGlyph(bx, by, tx, ty);
        tx += Advance(n);
        bx += Advance(n);
    }
}
