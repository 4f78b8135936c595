// The save/load menu's mouse and keys. While the confirmation is up every event goes to it, and the
// menu reads its answer after each release. Keys walk the usable lines and back and act through the
// same move, press and release as the mouse, at the focused region's corner.
#include "screens/SaveLoadMenu.h"

#include "app/AppMessages.h"
#include "screens/OverlaySupport.h"
#include "screens/YesNoDialog.h"

void CSaveLoadMenu::OnMouseMove(int x, int y) {
    if (m_bDialogOpen) {
        m_pDialog->OnMouseMove(x, y);
        return;
    }
    CHitArea::OnMouseMove(x, y);
    const int hover = m_nHover;
    const int pressed = IsButtonHeld() ? m_nCurrent : -1;
    ShowRegionArt(hover, pressed);
    // A held press keeps the focus where it was; otherwise the focus follows the pointer.
    if (pressed == -1) m_Focus = hover;
    const bool hoverSounds = hover != m_LastHover && (IsUsableLine(hover) || hover == kBack);
    const bool pressSounds = pressed != m_LastPressed && (IsUsableLine(pressed) || pressed == kBack);
    if (hoverSounds || pressSounds) PlayInterfaceSE("Se000");
    for (int region : {m_LastHover, m_LastPressed, hover, pressed})
        MarkRegion(region);
    m_LastHover = hover;
    m_LastPressed = pressed;
}

void CSaveLoadMenu::OnLButtonDown(int x, int y) {
    if (m_bDialogOpen) {
        m_pDialog->OnLButtonDown(x, y);
        return;
    }
    CHitArea::OnLButtonDown(x, y);
    ShowRegionArt(-1, m_nCurrent);
    for (int region : {m_LastHover, m_LastPressed, m_nCurrent})
        MarkRegion(region);
    // The press itself is no arrival on the line: the next move over it stays silent.
    m_LastHover = -1;
    m_LastPressed = m_nCurrent;
}

void CSaveLoadMenu::OnLButtonUp(int x, int y) {
    if (m_bDialogOpen) {
        m_pDialog->OnLButtonUp(x, y);
        PollDialog();
        RefreshCursor();
        return;
    }
    // A release without a press here would repeat the last click.
    if (!IsButtonHeld()) return;
    CHitArea::OnLButtonUp(x, y);
    ShowRegionArt(m_nHover, -1);
    m_Focus = m_nHover;
    for (int region : {m_LastHover, m_LastPressed, m_nHover})
        MarkRegion(region);
    m_LastHover = m_nHover;
    m_LastPressed = -1;
    const int click = m_nCurrent;
    if (click == kBack) {
        PlayInterfaceSE("Se002");
        m_Result = 2;
    } else if (click >= kFirstPageButton && click < kFirstPageButton + kPageCount) {
        PlayInterfaceSE("Se001");
        m_Page = click - kFirstPageButton;
        RefreshPage();
        MarkWholeScreen();
    } else if (IsUsableLine(click)) {
        PlayInterfaceSE("Se001");
        OpenConfirmation(click);
    }
    RefreshCursor();
}

void CSaveLoadMenu::SimulateAt(int region, void (CSaveLoadMenu::*handler)(int, int)) {
    const POINT corner = Corner(region);
    (this->*handler)(corner.x, corner.y);
}

int CSaveLoadMenu::LineAbove(int region) const {
    if (region == kBack) {
        for (int line = kLineCount - 1; line >= 0; --line)
            if (IsUsableLine(line)) return line;
        return kBack;
    }
    // No focus (or a page button, which keys do not reach) goes round to back.
    if (!IsLine(region)) return kBack;
    for (int line = region - 1; line >= 0; --line)
        if (IsUsableLine(line)) return line;
    return kBack;
}

int CSaveLoadMenu::LineBelow(int region) const {
    const int from = IsLine(region) ? region + 1 : 0;
    for (int line = from; line < kLineCount; ++line)
        if (IsUsableLine(line)) return line;
    return kBack;
}

void CSaveLoadMenu::OnKeyDown(UINT vk) {
    if (m_bDialogOpen) {
        m_pDialog->OnKeyDown(vk);
        return;
    }
    switch (vk) {
    case VK_RETURN:
    case VK_SPACE:
        if (m_Focus != -1) SimulateAt(m_Focus, &CSaveLoadMenu::OnLButtonDown);
        return;
    case VK_LEFT:
    case VK_RIGHT:
        m_Page = (m_Page + (vk == VK_LEFT ? kPageCount - 1 : 1)) % kPageCount;
        RefreshPage();
        MarkWholeScreen();
        ResetInput();
        m_Focus = -1;
        m_LastHover = -1;
        m_LastPressed = -1;
        return;
    case VK_UP:
        m_Focus = LineAbove(m_Focus);
        break;
    case VK_DOWN:
        m_Focus = LineBelow(m_Focus);
        break;
    default:
        return;
    }
    SimulateAt(m_Focus, &CSaveLoadMenu::OnMouseMove);
}

void CSaveLoadMenu::OnKeyUp(UINT vk) {
    if (m_bDialogOpen) {
        // No cursor refresh after a key: it would move the question's focus back under the pointer.
        m_pDialog->OnKeyUp(vk);
        PollDialog();
        return;
    }
    if ((vk == VK_RETURN || vk == VK_SPACE) && m_Focus != -1)
        SimulateAt(m_Focus, &CSaveLoadMenu::OnLButtonUp);
}
