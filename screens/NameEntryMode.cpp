// Name entry: the screen, its two buttons, the focus that Tab, the pointer and clicks move between the
// two fields and the buttons, and the names handed to the save data. What the input method types is in
// NameEntryIme.cpp.
#include "screens/NameEntryMode.h"

#include "app/AppMessages.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/ime.h"
#include "platform/runtime.h"
#include "platform/time.h"
#include "screens/OverlaySupport.h"
#include "text/MessageWindow.h"

#include <cstring>

namespace {
constexpr RECT kButtons[2] = {{405, 431, 501, 471}, {520, 431, 616, 471}};
// "sg020": reset and OK hovered, then reset and OK pressed.
constexpr RECT kHoverArt[2] = {{0, 0, 96, 40}, {96, 0, 192, 40}};
constexpr RECT kPressedArt[2] = {{192, 0, 288, 40}, {288, 0, 384, 40}};
const PushButtonTable kButtonTable = {kButtons, CNameEntryMode::kReset, 2, kHoverArt, kPressedArt, 0};
// Right and bottom belong to the fields.
constexpr RECT kFamilyFieldRect = {145, 94, 469, 192};
constexpr RECT kGivenFieldRect = {145, 236, 469, 334};
constexpr int kTextFontSize = 3; // 16 pixels a byte, 32 high

bool InField(const RECT& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// A blank picture of the text font's height, keyed on its fill: only what is drawn into it shows.
CLayer* CreateTextPicture(int parts, int bytes, int fontWidth, int fontHeight) {
    CLayer* picture = CreateLayerObject(parts);
    if (!picture) return nullptr;
    picture->CreateBlank(SIZE{bytes * fontWidth, fontHeight}, 1);
    picture->m_bVisible = 1;
    return picture;
}

void ClearToKey(CLayer* picture) {
    if (!picture) return;
    picture->Fill(0, nullptr);
    picture->SetColorKeyMode(0);
}
} // namespace

int CNameEntryMode::s_SavedField = CNameEntryMode::kFamilyField;
DWORD CNameEntryMode::s_TargetColour = 0xFF;

CNameEntryMode::CNameEntryMode()
    : m_State(GameModeNameEntry), m_pFamilyPicture(nullptr), m_pGivenPicture(nullptr),
      m_pCompositionPicture(nullptr), m_pButtons(nullptr), m_pCaret(nullptr), m_pText(nullptr),
      m_Buttons(kButtonTable), m_LastHover(-1), m_LastCurrent(-1),
      m_ActiveField(kNoField), m_FamilyName{}, m_GivenName{}, m_Composition{}, m_CompositionAttrs{},
      m_CaretIndex(0), m_bImeOpen(0), m_BlinkDeadline(0), m_bShift(0) {}

CNameEntryMode::~CNameEntryMode() {
    Close();
}

void CNameEntryMode::Open() {
    if (g_pScreen) {
        if (g_pScreen->GetLayer(0))
            g_pScreen->ChangeLayer(0, "sg019", 1, 0, 0, 0, -1, -1, -1, -1);
        else
            g_pScreen->LoadLayer(0, "sg019", 1, 0, 0, 0);
    }
    m_pButtons = CreateLayerObject(1);
    if (m_pButtons) m_pButtons->Load("sg020", 1, 0, 0, 0, 0);
    m_pCaret = CreateLayerObject(0);
    if (m_pCaret && m_pCaret->Load("sg021", 1, 0, kGivenTop, 0, 0)) m_pCaret->SetColorKeyMode(2);

    m_pText = new CMessageWindow(1);
    m_pText->SetFontSize(kTextFontSize);
    const int fontWidth = m_pText->GetFontWidth(), fontHeight = m_pText->GetFontHeight();
    m_pFamilyPicture = CreateTextPicture(0, kNameBytes, fontWidth, fontHeight);
    m_pGivenPicture = CreateTextPicture(0, kNameBytes, fontWidth, fontHeight);
    m_pCompositionPicture = CreateTextPicture(kCompositionRows, kCompositionBytes, fontWidth, fontHeight);
    for (CLayer* picture : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture})
        ClearToKey(picture);
    if (m_pFamilyPicture) m_pFamilyPicture->m_nX = kFieldLeft, m_pFamilyPicture->m_nY = kFamilyTop;
    if (m_pGivenPicture) m_pGivenPicture->m_nX = kFieldLeft, m_pGivenPicture->m_nY = kGivenTop;

    // Names from the save file may lack their terminator within 13 bytes: only 12 are taken.
    if (g_pSaveData) {
        CopyBounded(m_FamilyName, sizeof m_FamilyName, g_pSaveData->GetFamilyName());
        CopyBounded(m_GivenName, sizeof m_GivenName, g_pSaveData->GetGivenName());
    }
    DrawNames();
    BuildPositionTables();

    m_ActiveField = kFamilyField;
    SetImeFlag(0);
    SetImeFlag(1);
    WINNLSEnableIME(g_hWnd, TRUE);
    SetImeOpen(1);
    PlaceCaret(-1);

    s_TargetColour = m_pButtons && m_pButtons->GetDepth() == 16 ? 0x1F : 0xFF;
    m_pRectTable = kButtons;
    m_nRectCount = 2;
    m_UpdateRect.AddRect(GetScreenRect());
}

int CNameEntryMode::Run() {
    const DWORD now = timeGetTime();
    // Signed, so that the blink goes on across the clock's wrap.
    while (m_bImeOpen && m_pCaret && static_cast<LONG>(now - m_BlinkDeadline) > 0) {
        m_pCaret->m_bVisible = !m_pCaret->m_bVisible;
        m_BlinkDeadline = now + kCaretBlinkMs;
        MarkCaret();
    }
    return m_State;
}

void CNameEntryMode::Close() {
    delete m_pText;
    m_pText = nullptr;
    m_pFamilyPicture = DeleteLayerObject(m_pFamilyPicture);
    m_pGivenPicture = DeleteLayerObject(m_pGivenPicture);
    m_pCompositionPicture = DeleteLayerObject(m_pCompositionPicture);
    m_pButtons = DeleteLayerObject(m_pButtons);
    m_pCaret = DeleteLayerObject(m_pCaret);
    WINNLSEnableIME(g_hWnd, FALSE);
    SetImeOpen(0);
}

void CNameEntryMode::SetImeFlag(BYTE on) {
    m_bImeOpen = on;
    if (m_pCaret) m_pCaret->m_bVisible = on;
    MarkCaret();
    if (!on && m_ActiveField != kNoField) s_SavedField = m_ActiveField;
    if (on) m_ActiveField = s_SavedField;
}

void CNameEntryMode::SetImeOpen(BYTE open) {
    HIMC context = ImmGetContext(g_hWnd);
    if (!context) return;
    const BOOL isOpen = ImmGetOpenStatus(context);
    if (m_bImeOpen && open == 1 && !isOpen)
        ImmSetOpenStatus(context, TRUE);
    else if (!m_bImeOpen && open == 0 && isOpen)
        ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(g_hWnd, context);
}

void CNameEntryMode::DrawNames() {
    if (m_pText) {
        m_pText->SetTextColor(255, 255, 255, 0);
        CLayer* backdrop = g_pScreen ? g_pScreen->GetLayer(0) : nullptr;
        const struct {
            CLayer* picture;
            const char* name;
            int top;
        } fields[] = {{m_pFamilyPicture, m_FamilyName, kFamilyTop},
                      {m_pGivenPicture, m_GivenName, kGivenTop}};
        for (const auto& field : fields) {
            if (!field.picture) continue;
            field.picture->Fill(0, nullptr);
            if (field.name[0])
                m_pText->DrawString(field.name, backdrop, kFieldLeft, field.top, field.picture, 0, 0);
        }
    }
    m_UpdateRect.AddRect(GetScreenRect());
}

void CNameEntryMode::OnMouseMove(int x, int y) {
    const bool wasOnButton = m_LastHover != -1 || m_LastCurrent != -1;
    m_Buttons.OnMouseMove(*this, x, y, m_pButtons, &m_UpdateRect);
    if (m_nCurrent != -1 || m_nHover != -1) {
        // A button has the focus: nothing is typed meanwhile.
        SetImeFlag(0);
        SetImeOpen(0);
    } else if (wasOnButton) {
        SetImeFlag(1);
        SetImeOpen(1);
    }
    m_LastHover = m_nHover;
    m_LastCurrent = m_nCurrent;
}

void CNameEntryMode::OnLButtonDown(int x, int y) {
    m_Buttons.OnLButtonDown(*this, x, y, m_pButtons, &m_UpdateRect);
    m_LastCurrent = m_nCurrent;
    OnFieldClick(x, y);
}

void CNameEntryMode::OnFieldClick(int x, int y) {
    const bool given = InField(kGivenFieldRect, x, y);
    if (!given && !InField(kFamilyFieldRect, x, y)) return;
    m_bImeOpen = 0;
    SetImeOpen(0);
    m_bImeOpen = 1;
    SetImeOpen(1);
    OnMouseMove(x, y);
    // One forward Tab from just before the clicked field lands on it, caret at its start.
    const BYTE shift = m_bShift;
    m_bShift = 0;
    if (given) {
        m_nHover = -1;
        m_ActiveField = kFamilyField;
    } else {
        m_nHover = kOk;
    }
    OnKey(VK_TAB);
    m_bShift = shift;
}

void CNameEntryMode::OnLButtonUp(int x, int y) {
    if (!m_Buttons.OnLButtonUp(*this, x, y, m_pButtons, &m_UpdateRect)) return;
    m_LastHover = m_nHover;
    m_LastCurrent = m_nCurrent;
    if (m_nCurrent == kReset) {
        CopyBounded(m_FamilyName, sizeof m_FamilyName, CSaveData::kDefaultFamilyName);
        CopyBounded(m_GivenName, sizeof m_GivenName, CSaveData::kDefaultGivenName);
        m_CaretIndex = 0;
        PlaceCaret(-1);
        SetImeFlag(0);
        DrawNames();
        PlayInterfaceSE("Se001");
    } else if (m_nCurrent == kOk) {
        Commit();
        PlayInterfaceSE("Se001");
    }
}

void CNameEntryMode::Commit() {
    if (g_pSaveData) {
        g_pSaveData->SetFamilyName(m_FamilyName[0] ? m_FamilyName : CSaveData::kDefaultFamilyName);
        g_pSaveData->SetGivenName(m_GivenName[0] ? m_GivenName : CSaveData::kDefaultGivenName);
    }
    m_State = GameModeTitle;
}

void CNameEntryMode::OnKeyDown(UINT vk) {
    switch (vk) {
    case VK_BACK:
        DeleteChar(0);
        break;
    case VK_DELETE:
        DeleteChar(1);
        break;
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
        OnKey(vk);
        break;
    case VK_RETURN:
        if (m_nHover != -1) OnLButtonDown(kButtons[m_nHover].left, kButtons[m_nHover].top);
        break;
    case VK_SHIFT:
        m_bShift = 1;
        break;
    default:
        break;
    }
}

void CNameEntryMode::OnKeyUp(UINT vk) {
    if (vk == VK_RETURN && m_nCurrent != -1)
        OnLButtonUp(kButtons[m_nCurrent].left, kButtons[m_nCurrent].top);
    else if (vk == VK_SHIFT)
        m_bShift = 0;
}

void CNameEntryMode::OnKey(UINT vk) {
    const char* name = GetActiveName();
    if (vk == VK_LEFT) {
        if (name && m_CaretIndex > 0) {
            --m_CaretIndex;
            PlaceCaret(-1);
        }
        return;
    }
    if (vk == VK_RIGHT) {
        if (name && static_cast<int>(std::strlen(name)) > 2 * m_CaretIndex) {
            ++m_CaretIndex;
            PlaceCaret(-1);
        }
        return;
    }
    if (vk != VK_TAB) return;
    // The focus goes round family, given, reset, OK; a field has it while no button is hovered.
    enum { kFamily, kGiven, kResetButton, kOkButton, kStops };
    const int focus = m_nHover != -1                  ? kResetButton + m_nHover
                      : m_ActiveField == kFamilyField ? kFamily
                                                      : kGiven;
    const int next = (focus + (m_bShift ? kStops - 1 : 1)) % kStops;
    if (next >= kResetButton) {
        if (focus == kGiven) {
            SetImeFlag(0);
            m_ActiveField = kNoField;
        } else if (focus == kFamily) {
            m_ActiveField = kNoField;
            SetImeFlag(0);
        }
        MoveTo(POINT{kButtons[next - kResetButton].left, kButtons[next - kResetButton].top});
        return;
    }
    if (focus >= kResetButton) {
        MoveTo(POINT{0, 0});
        SetImeFlag(1);
    }
    m_ActiveField = next == kFamily ? kFamilyField : kGivenField;
    m_CaretIndex = 0;
    PlaceCaret(-1);
}

void CNameEntryMode::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CNameEntryMode::Draw(IDirectDrawSurface* target) {
    for (CLayer* layer : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture, m_pButtons, m_pCaret}) {
        if (!layer) continue;
        const HRESULT hr = layer->Draw(target);
        if (hr != DD_OK) return hr;
    }
    return DD_OK;
}

bool CNameEntryMode::RecreateSurfaces(IDirectDraw* dd) {
    if (m_pText) m_pText->Restore(dd);
    for (CLayer* layer : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture, m_pButtons})
        if (layer) layer->Restore(dd);
    for (CLayer* picture : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture})
        ClearToKey(picture);
    if (m_pCaret && m_pCaret->Restore(dd)) m_pCaret->SetColorKeyMode(2);
    DrawComposition();
    DrawNames();
    return true;
}

bool CNameEntryMode::ReleaseSurfaces() {
    if (m_pText) m_pText->ReleaseSurfaces();
    for (CLayer* layer : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture, m_pButtons, m_pCaret})
        if (layer) layer->ReleaseSurfaces();
    return true;
}

bool CNameEntryMode::RestoreSurfaces() {
    if (m_pText) m_pText->RestoreIfLost();
    for (CLayer* layer : {m_pFamilyPicture, m_pGivenPicture, m_pCompositionPicture, m_pButtons, m_pCaret})
        if (layer) layer->RestoreIfLost();
    return true;
}
