// The costume choice: fourteen costumes on one sheet, the chosen one between its two neighbours, three
// buttons, and the choice handed back to the script in r0. Also the opening of the choice grid, the
// other full-screen choice that takes over layers 0-3.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/window.h"
#include "screens/ChoiceGrid.h"
#include "screens/OverlaySupport.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
constexpr int kCostumeCount = 14;

enum : int { kOkButton, kNextButton, kPreviousButton, kButtonCount };
constexpr RECT kButtonRegions[kButtonCount] = {
    {240, 434, 400, 466}, {108, 430, 156, 476}, {486, 430, 534, 476}};
// In "sg036", drawn at the button's corner.
constexpr RECT kHoverArt[kButtonCount] = {{0, 0, 160, 32}, {160, 0, 208, 46}, {208, 0, 256, 46}};
constexpr RECT kPressedArt[kButtonCount] = {{0, 32, 160, 64}, {256, 0, 304, 46}, {304, 0, 352, 46}};

// The compositor layers of the choice.
enum : int { kRoomSlot, kButtonSlot, kSheetSlot, kVeilSlot };

// "sg037" holds the costumes side by side; three cell sets show one of them each: the chosen one in the
// middle, the previous one on the left and the next one on the right. The chosen one blends through
// the second column of the sheet's plane, its neighbours through the first.
constexpr int kCostumeWidth = 152;
constexpr int kCostumeHeight = 328;
enum : int { kChosenSet, kPreviousSet, kNextSet, kSetCount };
constexpr int kSheetCellCount = kSetCount * kCostumeCount;
constexpr int kSheetWidth = kCostumeWidth * kCostumeCount;
constexpr POINT kSetAt[kSetCount] = {{244, 60}, {42, 60}, {446, 60}};
constexpr RECT CostumeRect(int costume) {
    return RECT{kCostumeWidth * costume, 0, kCostumeWidth * (costume + 1), kCostumeHeight};
}
constexpr CellTableEntry SheetCell(int set, int costume) {
    const RECT plane = CostumeRect(set == kChosenSet ? 1 : 0);
    return CellTableEntry{set, costume, CostumeRect(costume), plane, kSetAt[set].x, kSetAt[set].y};
}
template <std::size_t... I> constexpr auto MakeSheetCells(std::index_sequence<I...>) {
    return std::array<CellTableEntry, sizeof...(I)>{SheetCell(I / kCostumeCount, I % kCostumeCount)...};
}
constexpr auto kSheetCells = MakeSheetCells(std::make_index_sequence<kSheetCellCount>());
constexpr CellSetDescriptor kSheetSets = {kSetCount, kSheetCellCount, kSheetWidth, kCostumeHeight};
constexpr DWORD kSheetCellsPerSet[kSetCount] = {kCostumeCount, kCostumeCount, kCostumeCount};

// "sg038" veils the two neighbours: one cell set of one cell over each.
constexpr CellSetDescriptor kVeilSets = {2, 2, kCostumeWidth, kCostumeHeight};
constexpr DWORD kVeilCellsPerSet[2] = {1, 1};
constexpr CellTableEntry kVeilCells[2] = {
    {0, 0, CostumeRect(0), CostumeRect(0), kSetAt[kPreviousSet].x, kSetAt[kPreviousSet].y},
    {1, 0, CostumeRect(0), CostumeRect(0), kSetAt[kNextSet].x, kSetAt[kNextSet].y},
};

CLayer* Slot(int slot) {
    return g_pScreen ? g_pScreen->GetLayer(slot) : nullptr;
}
// A shown sheet at (0, 0) with its cell sets, every cell shown.
CLayer* LoadCellSheet(const char* name, const CellSetDescriptor& sets, const DWORD* cellsPerSet,
                      const CellTableEntry* cells) {
    CLayer* layer = CreateLayerObject(0);
    layer->CreateCellSets(&sets, cellsPerSet, cells, 1);
    layer->Load(name, 1, 0, 0, 0, 0);
    return layer;
}
// The compositor owns what its slots hold: a picture replaced there is deleted.
void ReplaceSlot(int slot, CLayer* layer) {
    DeleteLayerObject(g_pScreen->SetLayer(slot, layer));
}
// Any value a script gives names one of the fourteen costumes.
int WrapCostume(int costume) {
    return (costume % kCostumeCount + kCostumeCount) % kCostumeCount;
}
} // namespace

const PushButtonTable& CGameScene::CostumeButtonTable() {
    static const PushButtonTable table = {kButtonRegions, 0, kButtonCount, kHoverArt, kPressedArt, 0};
    return table;
}

void CGameScene::EnterCostumeChoice(int costume) {
    m_Costume = WrapCostume(costume);
    m_pCostumePreview = DeleteLayerObject(m_pCostumePreview);
    m_pCostumePreview = CreateLayerObject(0);
    m_pCostumePreview->CreateBlank(*GetScreenSize(), 0);
    if (g_pScreen) {
        g_pScreen->TakeSnapshot();
        if (g_pScreen->GetLayer(kRoomSlot))
            g_pScreen->ChangeLayer(kRoomSlot, "sg035", 1, 0, 0, 0, -1, -1, -1, -1);
        else
            g_pScreen->LoadLayer(kRoomSlot, "sg035", 1, 0, 0, 0);
        CLayer* buttons = CreateLayerObject(1);
        buttons->Load("sg036", 1, 0, 0, 1, 0);
        ReplaceSlot(kButtonSlot, buttons);
        ReplaceSlot(kSheetSlot, LoadCellSheet("sg037", kSheetSets, kSheetCellsPerSet, kSheetCells.data()));
        ReplaceSlot(kVeilSlot, LoadCellSheet("sg038", kVeilSets, kVeilCellsPerSet, kVeilCells));
        // Placing the sheet composes the screen: its cells blend over the room once, here.
        g_pScreen->SetLayerPos(kSheetSlot, 0, 0);
        RedrawCostumePreview();
        g_pScreen->TransitionFromSnapshot(1);
    }
    m_SceneMode = kModeCostume;
    m_CostumeButtons.ResetInput();
    m_CostumeButtons.SetRegions(kButtonRegions, kButtonCount);
    m_CostumeArt = CPushButtonArt(CostumeButtonTable());
    MarkWholeScreen();
}

void CGameScene::RedrawCostumePreview() {
    CLayer* sheet = Slot(kSheetSlot);
    if (!sheet) return;
    for (int set = 0; set < kSetCount; ++set)
        for (int cell = 0; cell < kCostumeCount; ++cell)
            sheet->SetCellVisible(set, cell, 0);
    sheet->SetCellVisible(kChosenSet, m_Costume, 1);
    sheet->SetCellVisible(kPreviousSet, WrapCostume(m_Costume - 1), 1);
    sheet->SetCellVisible(kNextSet, WrapCostume(m_Costume + 1), 1);
    // The veil blends over the neighbours as they now are.
    CLayer* veil = Slot(kVeilSlot);
    if (!m_pCostumePreview || !veil) return;
    IDirectDrawSurface* preview = m_pCostumePreview->GetSurface();
    for (int slot : {kRoomSlot, kButtonSlot, kSheetSlot})
        if (CLayer* layer = Slot(slot)) layer->Draw(preview);
    veil->PreBlend(preview);
}

void CGameScene::ChangeCostume(int step) {
    PlayInterfaceSE("Se001");
    m_Costume = WrapCostume(m_Costume + step);
    RedrawCostumePreview();
    MarkWholeScreen();
}

void CGameScene::OnCostumeMouseMove(int x, int y) {
    m_CostumeArt.OnMouseMove(m_CostumeButtons, x, y, Slot(kButtonSlot), &m_UpdateRect);
}

void CGameScene::OnCostumeButtonDown(int x, int y) {
    m_CostumeArt.OnLButtonDown(m_CostumeButtons, x, y, Slot(kButtonSlot), &m_UpdateRect);
}

void CGameScene::OnCostumeClick(int x, int y) {
    if (!m_CostumeArt.OnLButtonUp(m_CostumeButtons, x, y, Slot(kButtonSlot), &m_UpdateRect)) return;
    MarkWholeScreen();
    switch (m_CostumeButtons.GetCurrentRegion()) {
    case kOkButton:
        PlayInterfaceSE("Se001");
        m_Registers[0] = static_cast<DWORD>(m_Costume);
        m_SceneMode = kModeRun;
        break;
    case kNextButton:
        ChangeCostume(1);
        break;
    case kPreviousButton:
        ChangeCostume(-1);
        break;
    default:
        break;
    }
}

void CGameScene::OnCostumeKeyDown(UINT vk) {
    const RECT& ok = kButtonRegions[kOkButton];
    if (vk == VK_LEFT)
        ChangeCostume(1);
    else if (vk == VK_RIGHT)
        ChangeCostume(-1);
    else if (vk == VK_RETURN || vk == VK_SPACE)
        OnCostumeButtonDown(ok.left, ok.top);
}

void CGameScene::OnCostumeKeyUp(UINT vk) {
    const RECT& ok = kButtonRegions[kOkButton];
    if (vk == VK_RETURN || vk == VK_SPACE) OnCostumeClick(ok.left, ok.top);
}

void CGameScene::OpenChoiceGrid() {
    if (m_pChoiceGrid) {
        m_pChoiceGrid->Close();
        delete m_pChoiceGrid;
    }
    // The 23 levels of the record; the special cell's level never depends on its byte.
    BYTE progress[CChoiceGrid::kCellCount] = {};
    std::copy(std::begin(m_LiveState.gridLevels), std::end(m_LiveState.gridLevels), progress);
    m_pChoiceGrid = new CChoiceGrid;
    m_pChoiceGrid->Open(0, progress);
    SetMenuEnabled(1);
    m_SceneMode = kModeGrid;
}
