#include "screens/ChoiceGrid.h"

#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/window.h"
#include "screens/OverlaySupport.h"

#include <array>
#include <utility>

namespace {
constexpr int kColumns = 6;
constexpr int kRows = 4;
constexpr int kColumnPitch = 87;
constexpr int kRowPitch = 81;
constexpr int kCellSize = 50;
constexpr int kLevelArtSize = 64;

// Compositor layers and their parts.
enum : int { kBackgroundSlot, kFrameSlot, kLevelSlot, kLabelSlot };
constexpr int kFirstPickPart = 1;                            // background: parts 1-3 the picked cells
constexpr int kFirstPickLevelPart = CChoiceGrid::kCellCount; // levels: parts 24-26 the picks' levels
enum : int { kLabelPart, kUnderlinePart };

constexpr RECT CellRect(int k) {
    const int column = k % kColumns, row = k / kColumns;
    const int left = 73 + kColumnPitch * column, top = 155 + kRowPitch * row;
    // The third row is a pixel taller.
    return RECT{left, top, left + kCellSize, top + kCellSize + (row == 2 ? 1 : 0)};
}
constexpr RECT RegionRect(int region) {
    if (region == CChoiceGrid::kDecide) return RECT{522, 40, 602, 72};
    if (region == CChoiceGrid::kBack) return RECT{523, 85, 602, 118};
    return CellRect(region);
}
template <std::size_t... I> constexpr auto MakeRegions(std::index_sequence<I...>) {
    return std::array<RECT, sizeof...(I)>{RegionRect(static_cast<int>(I))...};
}
constexpr auto kRegions = MakeRegions(std::make_index_sequence<CChoiceGrid::kRegionCount>());

// Progress byte (0-4) to level, for runs of cells that share a row; -1 locked.
struct LevelRow {
    int lastCell;
    signed char levels[CChoiceGrid::kLevelCount];
};
constexpr LevelRow kLevelRows[] = {
    {2, {1, 2, 3, 4, -1}},   {8, {0, 1, 2, 3, 4}},     {17, {0, 2, 3, 4, -1}},
    {20, {0, 3, 4, -1, -1}}, {22, {0, 4, -1, -1, -1}}, {23, {0, 0, 0, 0, 0}},
};

// Level art in "sg032": levels 0-4 side by side, then the locked art.
constexpr int kLevelArtX[CChoiceGrid::kLevelCount + 1] = {2, 66, 130, 194, 258, 322};
constexpr RECT LevelArt(BYTE level) {
    const int left = kLevelArtX[level == CChoiceGrid::kLocked ? CChoiceGrid::kLevelCount : level];
    return RECT{left, 0, left + kLevelArtSize, kLevelArtSize};
}
constexpr POINT LevelAt(int k) {
    return POINT{66 + kColumnPitch * (k % kColumns), 150 + kRowPitch * (k / kColumns)};
}
constexpr POINT kPickSlotAt[CChoiceGrid::kPickCount] = {{188, 46}, {287, 46}, {386, 46}};
constexpr POINT kPickLevelAt[CChoiceGrid::kPickCount] = {{181, 41}, {280, 41}, {379, 41}};
constexpr RECT kPickArea = {181, 41, 443, 105};

// Labels in "sg033", 24 pixels a cell, with the underline below all of them.
constexpr int kLabelWidth = 52;
constexpr int kLabelHeight = 24;
constexpr RECT kUnderlineArt = {0, 600, 52, 604};
constexpr POINT LabelAt(int k) {
    return POINT{98 + kColumnPitch * (k % kColumns), 135 + kRowPitch * (k / kColumns)};
}

// Frames in "sg031": cells down the sheet, hovered on the left and pressed on the right; the two
// buttons below them.
RECT FrameArt(int region, bool pressed) {
    if (region == CChoiceGrid::kDecide) return pressed ? RECT{0, 1264, 80, 1296} : RECT{0, 1200, 80, 1232};
    if (region == CChoiceGrid::kBack) return pressed ? RECT{0, 1296, 80, 1328} : RECT{0, 1232, 80, 1264};
    const int left = pressed ? kCellSize : 0;
    return RECT{left, kCellSize * region, left + kCellSize, kCellSize * (region + 1)};
}

// Where an arrow key takes the focus; -1 for other keys. Rows wrap sideways; up from the top row
// reaches back, down from the bottom row decide, and the special cell sits above decide.
int NextFocus(int focus, UINT vk) {
    const bool cell = focus >= 0 && focus < CChoiceGrid::kCellCount;
    const int column = focus % kColumns;
    switch (vk) {
    case VK_UP:
        if (focus == -1 || focus == CChoiceGrid::kDecide) return CChoiceGrid::kSpecialCell;
        if (focus == CChoiceGrid::kBack) return CChoiceGrid::kDecide;
        return focus >= kColumns ? focus - kColumns : CChoiceGrid::kBack;
    case VK_DOWN:
        if (focus == -1) return CChoiceGrid::kDecide;
        if (focus == CChoiceGrid::kDecide) return CChoiceGrid::kBack;
        if (focus == CChoiceGrid::kBack) return kColumns - 1;
        return focus >= kColumns * (kRows - 1) ? CChoiceGrid::kDecide : focus + kColumns;
    case VK_LEFT:
        if (focus == -1) return kColumns - 1;
        if (!cell) return focus;
        return column == 0 ? focus + kColumns - 1 : focus - 1;
    case VK_RIGHT:
        if (focus == -1) return 0;
        if (!cell) return focus;
        return column == kColumns - 1 ? focus - (kColumns - 1) : focus + 1;
    default:
        return -1;
    }
}

CLayer* Slot(int slot) {
    return g_pScreen ? g_pScreen->GetLayer(slot) : nullptr;
}
void ShowPart(int slot, const RECT& source, POINT at, int part) {
    if (CLayer* layer = Slot(slot)) layer->SetPart(&source, at.x, at.y, part);
}
void HidePart(int slot, int part) {
    if (CLayer* layer = Slot(slot)) layer->ClearPart(part);
}
CLayer* LoadPicture(const char* name, int parts, BYTE visible, BYTE colorKey) {
    CLayer* layer = CreateLayerObject(parts);
    layer->Load(name, visible, 0, 0, colorKey, 0);
    return layer;
}
} // namespace

BYTE CChoiceGrid::LevelOf(int cell, BYTE progress) {
    // The special cell never changes; progress the table has no column for locks a cell.
    if (cell == kSpecialCell) return 0;
    if (cell < 0 || cell >= kCellCount || progress >= kLevelCount) return kLocked;
    for (const LevelRow& row : kLevelRows)
        if (cell <= row.lastCell)
            return row.levels[progress] < 0 ? kLocked : static_cast<BYTE>(row.levels[progress]);
    return kLocked;
}

CChoiceGrid::CChoiceGrid()
    : m_Mode(0), m_pSubMenu(nullptr), m_pVariants(nullptr), m_LastHover(-1), m_LastPressed(-1),
      m_Focus(-1), m_Levels{}, m_PickCount(0), m_Picks{-1, -1, -1} {
    m_pRectTable = kRegions.data();
    m_nRectCount = kRegionCount;
}

CChoiceGrid::~CChoiceGrid() {
    m_pSubMenu = DeleteLayerObject(m_pSubMenu);
    m_pVariants = DeleteLayerObject(m_pVariants);
}

bool CChoiceGrid::Open(int mode, const BYTE* progress) {
    m_Mode = mode;
    const signed char* best = g_pSaveData ? g_pSaveData->GetRecord()->bestValues : nullptr;
    for (int k = 0; k < kCellCount; ++k) {
        const BYTE value = progress ? progress[k] : best ? static_cast<BYTE>(best[k]) : 0;
        m_Levels[k] = LevelOf(k, value);
    }
    if (g_pScreen) {
        CLayer* const pictures[] = {LoadPicture("sg030", 1 + kPickCount, 1, 0), LoadPicture("sg031", 1, 1, 0),
                                    LoadPicture("sg032", kCellCount + kPickCount, 1, 1),
                                    LoadPicture("sg033", 2, 1, 1)};
        // The compositor owns its pictures: what the grid replaces would otherwise be lost.
        for (int slot = 0; slot < 4; ++slot)
            DeleteLayerObject(g_pScreen->SetLayer(slot, pictures[slot]));
        CLayer* background = pictures[kBackgroundSlot];
        const RECT whole = {0, 0, background->GetWidth(), background->GetHeight()};
        background->SetPart(&whole, 0, 0, 0);
    }
    if (mode == 1 && !m_pSubMenu) {
        m_pSubMenu = LoadPicture("sg043", 1, 0, 0);
        m_pVariants = LoadPicture("sg044", 5, 0, 0);
    }
    DrawCells(true);
    DrawPicks();
    m_UpdateRect.AddRect(GetScreenRect());
    if (g_pScreen) g_pScreen->TransitionFromSnapshot(1);
    return true;
}

void CChoiceGrid::Close() {}

bool CChoiceGrid::IsAvailable(int region) const {
    if (region == kDecide || region == kBack) return true;
    return region >= 0 && region < kCellCount && m_Levels[region] != kLocked;
}

void CChoiceGrid::DrawCells(bool all) {
    if (all)
        for (int k = 0; k < kCellCount; ++k)
            ShowPart(kLevelSlot, LevelArt(m_Levels[k]), LevelAt(k), k);
    for (int i = 0; i < kPickCount; ++i) {
        if (m_Picks[i] == -1)
            HidePart(kLevelSlot, kFirstPickLevelPart + i);
        else
            ShowPart(kLevelSlot, LevelArt(m_Levels[m_Picks[i]]), kPickLevelAt[i], kFirstPickLevelPart + i);
    }
}

void CChoiceGrid::DrawPicks() {
    for (int i = 0; i < kPickCount; ++i) {
        if (m_Picks[i] == -1)
            HidePart(kBackgroundSlot, kFirstPickPart + i);
        else
            ShowPart(kBackgroundSlot, kRegions[m_Picks[i]], kPickSlotAt[i], kFirstPickPart + i);
    }
}

void CChoiceGrid::DrawInfo(int region) {
    if (region < 0 || region >= kCellCount || !IsAvailable(region)) {
        HidePart(kLabelSlot, kLabelPart);
        HidePart(kLabelSlot, kUnderlinePart);
        return;
    }
    const POINT at = LabelAt(region);
    ShowPart(kLabelSlot, RECT{0, kLabelHeight * region, kLabelWidth, kLabelHeight * (region + 1)}, at,
             kLabelPart);
    ShowPart(kLabelSlot, kUnderlineArt, POINT{at.x, at.y + kLabelHeight}, kUnderlinePart);
}

void CChoiceGrid::DrawFrame(int region, bool pressed) {
    if (!IsAvailable(region)) {
        HidePart(kFrameSlot, 0);
        return;
    }
    const RECT& r = kRegions[region];
    ShowPart(kFrameSlot, FrameArt(region, pressed), POINT{r.left, r.top}, 0);
}

void CChoiceGrid::MarkRegion(int region) {
    if (region < 0 || region >= kRegionCount) return;
    m_UpdateRect.AddRect(&kRegions[region]);
    if (region >= kCellCount) return;
    const POINT at = LabelAt(region);
    const RECT label = {at.x, at.y, at.x + kLabelWidth, at.y + kLabelHeight + 4};
    m_UpdateRect.AddRect(&label);
}

void CChoiceGrid::OnMouseMove(int x, int y) {
    if (m_Mode != 0) return;
    CHitArea::OnMouseMove(x, y);
    const int hover = m_nHover, pressed = m_nCurrent;
    if (pressed != -1) {
        DrawFrame(pressed, true);
        DrawInfo(pressed);
    } else if (hover != -1) {
        DrawFrame(hover, false);
        DrawInfo(hover);
        m_Focus = hover;
    } else if (m_LastHover != -1 || m_LastPressed != -1) {
        DrawFrame(-1, false);
        DrawInfo(-1);
        m_Focus = -1;
    }
    for (int region : {m_LastHover, m_LastPressed, hover, pressed})
        MarkRegion(region);
    if ((hover != m_LastHover && IsAvailable(hover)) || (pressed != m_LastPressed && IsAvailable(pressed)))
        PlayInterfaceSE("Se000");
    m_LastHover = hover;
    m_LastPressed = pressed;
}

void CChoiceGrid::OnLButtonDown(int x, int y) {
    if (m_Mode != 0) return;
    CHitArea::OnLButtonDown(x, y);
    DrawFrame(m_nCurrent, true);
    MarkRegion(m_LastHover);
    MarkRegion(m_nCurrent);
    // The press itself is no new arrival on the region: the next move over it stays silent.
    m_LastPressed = m_nCurrent;
}

int CChoiceGrid::OnLButtonUp(int x, int y) {
    // A release with no press before it would repeat the last click.
    if (m_Mode != 0 || !IsButtonHeld()) return 0;
    CHitArea::OnLButtonUp(x, y);
    const int hover = m_nHover, clicked = m_nCurrent;
    DrawFrame(hover, false);
    MarkRegion(m_LastPressed);
    MarkRegion(hover);
    m_LastHover = hover;
    m_LastPressed = clicked;
    if (!IsAvailable(clicked)) return 0;
    PlayInterfaceSE("Se001");
    return ApplyClick(clicked);
}

int CChoiceGrid::ApplyClick(int region) {
    if (region == kDecide) {
        if (m_PickCount > 0) return 1;
        if (!IsSpecialChosen()) return 0;
        for (int& pick : m_Picks)
            pick = -1;
        return 1;
    }
    if (region == kBack) {
        if (IsSpecialChosen()) {
            for (int& pick : m_Picks)
                pick = -1;
            m_PickCount = 0;
        } else if (m_PickCount > 0) {
            m_Picks[--m_PickCount] = -1;
        }
    } else if (region == kSpecialCell) {
        for (int& pick : m_Picks)
            pick = kSpecialCell;
        m_PickCount = 0;
    } else {
        for (int& pick : m_Picks)
            if (pick == kSpecialCell) pick = -1;
        if (m_PickCount == kPickCount)
            m_Picks[kPickCount - 1] = region;
        else
            m_Picks[m_PickCount++] = region;
    }
    DrawCells(false);
    DrawPicks();
    m_UpdateRect.AddRect(&kPickArea);
    return 0;
}

void CChoiceGrid::SimulateAt(int region, void (CChoiceGrid::*handler)(int, int)) {
    (this->*handler)(kRegions[region].left, kRegions[region].top);
}

int CChoiceGrid::ReleaseAt(int region) {
    return OnLButtonUp(kRegions[region].left, kRegions[region].top);
}

void CChoiceGrid::OnKeyDown(UINT vk) {
    if (m_Mode != 0) return;
    if (vk == VK_RETURN) {
        if (m_Focus != -1) SimulateAt(m_Focus, &CChoiceGrid::OnLButtonDown);
        return;
    }
    const int next = NextFocus(m_Focus, vk);
    if (next == -1) return;
    m_Focus = next;
    SimulateAt(next, &CChoiceGrid::OnMouseMove);
}

int CChoiceGrid::OnKeyUp(UINT vk) {
    if (m_Mode != 0 || vk != VK_RETURN || m_Focus == -1) return 0;
    return ReleaseAt(m_Focus);
}

int CChoiceGrid::GetResult(int n) const {
    return n >= 0 && n < kPickCount ? m_Picks[n] : -1;
}

void CChoiceGrid::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CChoiceGrid::Draw(IDirectDrawSurface* target) {
    for (CLayer* layer : {m_pSubMenu, m_pVariants})
        if (layer)
            if (const HRESULT hr = layer->Draw(target)) return hr;
    return DD_OK;
}

bool CChoiceGrid::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    for (CLayer* layer : {m_pSubMenu, m_pVariants})
        if (layer) ok = layer->Restore(dd) && ok;
    return ok;
}

bool CChoiceGrid::ReleaseSurfaces() {
    for (CLayer* layer : {m_pSubMenu, m_pVariants})
        if (layer) layer->ReleaseSurfaces();
    return true;
}

bool CChoiceGrid::RestoreSurfaces() {
    for (CLayer* layer : {m_pSubMenu, m_pVariants})
        if (layer) layer->RestoreIfLost();
    return true;
}
