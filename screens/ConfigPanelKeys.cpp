// The config panel's keys. The focus walks the option grid; left and right change the row's value at
// once and the sound is previewed when the key is released; Enter works OK and Cancel through the
// same press and release as the mouse.
#include "screens/ConfigPanel.h"

#include "platform/window.h"

void CConfigPanel::MoveFocusSideways(int step) {
    if (m_Focus < 0) {
        m_Focus = step < 0 ? kCancel : kOK;
        return;
    }
    if (m_Focus < kEffectOn) {
        const int first = m_Focus / 5 * 5;
        m_Focus = first + (m_Focus - first + step + 5) % 5;
    } else {
        // The pairs start on an odd region: 15/16, 17/18, 19/20, 21/22.
        m_Focus = (m_Focus % 2 == 1) ? m_Focus + 1 : m_Focus - 1;
    }
    SelectRegion(m_Focus);
}

int CConfigPanel::RegionAbove(int region) const {
    // No focus and the voice row go up to Cancel, the way back round from the bottom.
    if (region < kBgmLevel0) return kCancel;
    if (region < kSELevel0) return VoiceRegion();
    if (region < kEffectOn) return BgmRegion();
    if (region <= kEffectOff) return SERegion();
    if (region <= kWindowed) return EffectRegion();
    if (region <= kTextFast) return WindowRegion();
    if (region == kOK) return TextRegion();
    return kOK;
}

int CConfigPanel::RegionBelow(int region) const {
    if (region < 0 || region == kCancel) return VoiceRegion();
    if (region < kBgmLevel0) return BgmRegion();
    if (region < kSELevel0) return SERegion();
    if (region < kEffectOn) return EffectRegion();
    if (region <= kEffectOff) return WindowRegion();
    if (region <= kWindowed) return TextRegion();
    if (region <= kTextFast) return kOK;
    return kCancel;
}

void CConfigPanel::OnKeyDown(UINT vk) {
    switch (vk) {
    case VK_LEFT:
        MoveFocusSideways(-1);
        break;
    case VK_RIGHT:
        MoveFocusSideways(1);
        break;
    case VK_UP:
        m_Focus = RegionAbove(m_Focus);
        break;
    case VK_DOWN:
        m_Focus = RegionBelow(m_Focus);
        break;
    case VK_RETURN:
        if (m_Buttons.IsButton(m_Focus)) {
            const POINT corner = m_Buttons.Corner(m_Focus);
            OnLButtonDown(corner.x, corner.y);
        }
        break;
    default:
        return;
    }
    if (m_Buttons.IsButton(m_Focus)) {
        const POINT corner = m_Buttons.Corner(m_Focus);
        OnMouseMove(corner.x, corner.y);
    } else {
        m_Buttons.Clear(m_pArt, &m_UpdateRect);
    }
    if (vk == VK_RETURN) return;
    DrawState();
    SetCursorRow(RowOfRegion(m_Focus));
    DirtyAll();
}

void CConfigPanel::OnKeyUp(UINT vk) {
    if ((vk == VK_LEFT || vk == VK_RIGHT) && m_Focus >= 0 && m_Focus < kEffectOn) {
        PreviewLevel(m_Focus / 5);
    } else if (vk == VK_RETURN && m_Buttons.IsButton(m_Focus)) {
        const POINT corner = m_Buttons.Corner(m_Focus);
        OnLButtonUp(corner.x, corner.y);
    }
}
