// Up to three choices: the boxes in compositor layer 4, their texts in three states, and the choice
// made with the mouse or the keys.
#include "text/MessageWindow.h"

#include "app/AppMessages.h"
#include "app/RunState.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "sound/SoundManager.h"
#include "text/NameCodes.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kBoxSlot = 4;
constexpr RECT kChoiceBoxes[CMessageWindow::kMaxChoices] = {
    {84, 156, 564, 196}, {84, 206, 564, 246}, {84, 256, 564, 296}};
constexpr int kTextX = 100;
constexpr int kTextY = 166;
constexpr int kChoiceStep = 50;
constexpr int kRowHeight = 26;
constexpr int kRowsPerChoice = 3;
enum Row { kNormalRow = 0, kHoverRow = 1, kPressedRow = 2 };

// One cell set per choice: cell 0 the normal box (top half of "sg024"), cell 1 the highlighted box.
constexpr CellSetDescriptor kBoxSets[CMessageWindow::kMaxChoices] = {
    {1, 2, 480, 80}, {2, 4, 480, 80}, {3, 6, 480, 80}};
constexpr DWORD kCellsPerSet[CMessageWindow::kMaxChoices] = {2, 2, 2};
constexpr CellTableEntry kBoxCells[2 * CMessageWindow::kMaxChoices] = {
    {0, 0, {0, 0, 480, 40}, {0, 0, 480, 40}, 84, 156}, {0, 1, {0, 40, 480, 80}, {0, 40, 480, 80}, 84, 156},
    {1, 0, {0, 0, 480, 40}, {0, 0, 480, 40}, 84, 206}, {1, 1, {0, 40, 480, 80}, {0, 40, 480, 80}, 84, 206},
    {2, 0, {0, 0, 480, 40}, {0, 0, 480, 40}, 84, 256}, {2, 1, {0, 40, 480, 80}, {0, 40, 480, 80}, 84, 256},
};

void PlayChoiceSound(const char* name) {
    if (g_pSoundManager) g_pSoundManager->PlaySE(name, 0);
}
} // namespace

CLayer* CMessageWindow::ChoiceBoxPicture() const {
    return (m_bChoiceBoxes && g_pScreen) ? g_pScreen->GetLayer(kBoxSlot) : nullptr;
}

RECT CMessageWindow::ChoiceArea() const {
    const int last = std::max(m_ChoiceCount, 1) - 1;
    return RECT{kChoiceBoxes[0].left, kChoiceBoxes[0].top, kChoiceBoxes[0].right, kChoiceBoxes[last].bottom};
}

bool CMessageWindow::AddChoice(const char* text, DWORD value) {
    if (m_ChoiceCount >= kMaxChoices || !text || std::strlen(text) > kChoiceTextBytes) return false;
    std::memcpy(m_ChoiceTexts[m_ChoiceCount], text, std::strlen(text) + 1);
    m_ChoiceValues[m_ChoiceCount] = value;
    ++m_ChoiceCount;
    return true;
}

void CMessageWindow::CreateChoiceBoxes() {
    if (!g_pScreen) return;
    CLayer* boxes = CreateLayerObject(0);
    boxes->CreateCellSets(&kBoxSets[m_ChoiceCount - 1], kCellsPerSet, kBoxCells, 0);
    if (!boxes->Load("sg024", 0, 0, 0, 0, 0)) {
        DeleteLayerObject(boxes);
        return;
    }
    DeleteLayerObject(g_pScreen->SetLayer(kBoxSlot, boxes));
    m_bChoiceBoxes = 1;
    ShowSlotAtOnce(kBoxSlot, 1);
}

void CMessageWindow::DrawChoiceTexts() {
    m_pChoiceText = DeleteLayerObject(m_pChoiceText);
    m_pChoiceText = CreateLayerObject(m_ChoiceCount);
    m_pChoiceText->CreateBlank(SIZE{544, kRowHeight * kRowsPerChoice * kMaxChoices}, 1);
    m_pChoiceText->m_bVisible = 1;
    m_pChoiceText->Fill(0, nullptr);
    m_pChoiceText->SetColorKeyMode(0);

    const GlyphColor savedText = m_Colors[kTextColor], savedName = m_Colors[kNameColor];
    SetTextColor(255, 255, 255, 0);
    SetNameColor(255, 255, 0, 0);
    SetBlendPictures(ChoiceBoxPicture(), m_pChoiceText);
    // The box offset is the text position minus the box corner: the blend takes what lies under it.
    const int boxDx = kTextX - kChoiceBoxes[0].left, boxDy = kTextY - kChoiceBoxes[0].top;
    for (int i = 0; i < m_ChoiceCount; ++i) {
        const int top = kRowHeight * kRowsPerChoice * i;
        int o = 0;
        for (const char* p = m_ChoiceTexts[i]; int n = CharLength(p); p += n, o += Advance(n)) {
            RenderGlyph(p, n);
            m_CurrentColor = kTextColor;
            BlendGlyph(boxDx + o, boxDy, o, top);
            BlendGlyph(boxDx + o, boxDy + 40, o, top + kRowHeight);
            m_CurrentColor = kNameColor;
            BlendGlyph(boxDx + o, boxDy + 40, o, top + 2 * kRowHeight);
        }
    }
    SetTextColor(savedText.r, savedText.g, savedText.b, 0);
    SetNameColor(savedName.r, savedName.g, savedName.b, 0);
    m_CurrentColor = kTextColor;
}

void CMessageWindow::ShowChoiceRows(int choice, int row, int cell) {
    if (CLayer* boxes = ChoiceBoxPicture()) {
        boxes->SetCellVisible(choice, 0, cell == 0);
        boxes->SetCellVisible(choice, 1, cell == 1);
    }
    if (m_pChoiceText) {
        const LONG top = kRowHeight * (kRowsPerChoice * choice + row);
        const RECT source = {0, top, 544, top + kRowHeight};
        m_pChoiceText->SetPart(&source, kTextX, kTextY + kChoiceStep * choice, choice);
    }
}

void CMessageWindow::ShowNormalChoices() {
    for (int i = 0; i < m_ChoiceCount; ++i)
        ShowChoiceRows(i, kNormalRow, 0);
}

bool CMessageWindow::ShowChoices() {
    if (m_ChoiceCount == 0) return false;
    if (!ChoiceBoxPicture()) CreateChoiceBoxes();
    DrawChoiceTexts();
    ShowNormalChoices();
    m_pRectTable = kChoiceBoxes;
    m_nRectCount = m_ChoiceCount;
    m_ChoiceResult = -1;
    m_ChoiceMode = 1;
    m_Cursor = -1;
    RefreshCursor();
    return true;
}

void CMessageWindow::CloseChoices() {
    if (m_bChoiceBoxes && g_pScreen) DeleteLayerObject(g_pScreen->SetLayer(kBoxSlot, nullptr));
    m_bChoiceBoxes = 0;
    m_pChoiceText = DeleteLayerObject(m_pChoiceText);
    std::memset(m_ChoiceTexts, 0, sizeof m_ChoiceTexts);
    std::memset(m_ChoiceValues, 0, sizeof m_ChoiceValues);
    m_ChoiceCount = 0;
    m_nRectCount = 0;
    MarkDirty(*GetScreenRect());
}

int CMessageWindow::GetChoiceResult() const {
    return m_ChoiceResult;
}

bool CMessageWindow::IsChoiceDecided() const {
    return m_ChoiceMode == 2;
}

bool CMessageWindow::AreChoicesVisible() const {
    return m_pChoiceText && m_pChoiceText->m_bVisible;
}

void CMessageWindow::SetChoicesVisible(BYTE on) {
    if (CLayer* boxes = ChoiceBoxPicture()) boxes->m_bVisible = on;
    if (m_pChoiceText) m_pChoiceText->m_bVisible = on;
    // Hidden choices hold no press: one left behind would swallow the next click once they are back.
    if (!on) DropChoicePress();
    MarkDirty(ChoiceArea());
}

int CMessageWindow::GetChoiceCount() const {
    return m_ChoiceCount;
}

void CMessageWindow::RestoreChoices() {
    // Drawn anew, they come back as the player left them: hidden or shown, the one under the pointer
    // or the keys lit, a press still held.
    const BYTE shown = AreChoicesVisible() ? 1 : 0;
    const int cursor = m_Cursor, lastHover = m_LastHover, lastPressed = m_LastPressed;
    ShowChoices();
    SetChoicesVisible(shown);
    if (!shown) return;
    ShowChoiceHighlight();
    m_Cursor = cursor;
    m_LastHover = lastHover;
    m_LastPressed = lastPressed;
}

void CMessageWindow::ShowChoiceHighlight() {
    ShowNormalChoices();
    const int hover = GetHoverRegion();
    const int pressed = IsButtonHeld() ? GetCurrentRegion() : -1;
    if (pressed != -1)
        ShowChoiceRows(pressed, kPressedRow, 1);
    else if (hover != -1)
        ShowChoiceRows(hover, kHoverRow, 1);
}

void CMessageWindow::OnMouseMove(int x, int y) {
    const CLayer* boxes = ChoiceBoxPicture();
    if (m_ChoiceMode != 1 || !boxes || !boxes->m_bVisible) return;
    CHitArea::OnMouseMove(x, y);
    ShowChoiceHighlight();
    const int hover = GetHoverRegion();
    const int pressed = IsButtonHeld() ? GetCurrentRegion() : -1;
    if (pressed == -1 && hover != -1)
        m_Cursor = hover;
    else if (pressed == -1 && (m_LastHover != -1 || m_LastPressed != -1))
        m_Cursor = -1;
    MarkDirty(ChoiceArea());
    if ((hover != m_LastHover && hover != -1) || (pressed != m_LastPressed && pressed != -1))
        PlayChoiceSound("Se003");
    m_LastHover = hover;
    m_LastPressed = pressed;
}

void CMessageWindow::OnLButtonDown(int x, int y) {
    if (m_ChoiceMode != 1 || !AreChoicesVisible()) return;
    CHitArea::OnLButtonDown(x, y);
    ShowNormalChoices();
    if (GetPressedRegion() != -1) ShowChoiceRows(GetPressedRegion(), kPressedRow, 1);
    MarkDirty(ChoiceArea());
}

void CMessageWindow::OnLButtonUp(int x, int y) {
    if (m_ChoiceMode != 1) {
        // A click in the text resumes a click wait.
        if (m_State == kStateClickWait) Resume();
        return;
    }
    if (!AreChoicesVisible()) return;
    CHitArea::OnLButtonUp(x, y);
    ShowChoiceHighlight();
    MarkDirty(ChoiceArea());
    const int decided = GetCurrentRegion();
    if (decided == -1) return;
    PlayChoiceSound("Se004");
    m_ChoiceMode = 2;
    m_ChoiceResult = static_cast<int>(m_ChoiceValues[decided]);
    CloseChoices();
}

void CMessageWindow::CancelPress() {
    if (m_ChoiceMode != 1 || !IsButtonHeld()) return;
    DropChoicePress();
    MarkDirty(ChoiceArea());
}

void CMessageWindow::DropChoicePress() {
    ResetInput();
    ShowNormalChoices();
    m_LastHover = m_LastPressed = -1;
}

void CMessageWindow::OnKeyDown(UINT vk) {
    if (m_ChoiceMode != 1 || m_ChoiceCount == 0 || !AreChoicesVisible()) return;
    if (vk == VK_UP || vk == VK_DOWN) {
        if (m_Cursor == -1)
            m_Cursor = vk == VK_UP ? 0 : m_ChoiceCount - 1;
        else
            m_Cursor = std::clamp(m_Cursor + (vk == VK_DOWN ? 1 : -1), 0, m_ChoiceCount - 1);
        const int cursor = m_Cursor;
        OnMouseMove(kChoiceBoxes[cursor].left, kChoiceBoxes[cursor].top);
    } else if (vk == VK_RETURN && m_Cursor != -1) {
        OnLButtonDown(kChoiceBoxes[m_Cursor].left, kChoiceBoxes[m_Cursor].top);
    }
}

void CMessageWindow::OnKeyUp(UINT vk) {
    if (m_ChoiceMode == 1 && vk == VK_RETURN && m_Cursor != -1 && AreChoicesVisible())
        OnLButtonUp(kChoiceBoxes[m_Cursor].left, kChoiceBoxes[m_Cursor].top);
}
