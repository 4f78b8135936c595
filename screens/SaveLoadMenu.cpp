// The save/load menu's pictures and lines: the slot texts drawn three times each (plain, hovered,
// pressed) into one list picture whose ten parts show the row each line needs.
#include "screens/SaveLoadMenu.h"

#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "screens/OverlaySupport.h"
#include "screens/YesNoDialog.h"
#include "script/SceneState.h"
#include "text/MessageWindow.h"

#include <algorithm>
#include <cstring>

static_assert(CSaveData::kSlotCount == 31, "the menu keeps one used byte a slot");

namespace {
constexpr RECT kSaveRegions[CSaveLoadMenu::kRegionCount] = {
    {181, 46, 581, 70},   {175, 87, 575, 111},  {169, 128, 569, 152}, {163, 169, 563, 193},
    {157, 210, 557, 234}, {151, 251, 551, 275}, {145, 292, 545, 316}, {139, 333, 539, 357},
    {133, 374, 533, 398}, {127, 415, 527, 439}, {23, 61, 119, 101},   {23, 141, 119, 181},
    {23, 221, 119, 261},  {555, 440, 639, 480}};
constexpr RECT kLoadRegions[CSaveLoadMenu::kRegionCount] = {
    {144, 39, 544, 63},   {152, 80, 552, 104},  {160, 121, 560, 145}, {168, 162, 568, 186},
    {176, 203, 576, 227}, {184, 244, 584, 268}, {192, 285, 592, 309}, {200, 326, 600, 350},
    {206, 367, 606, 391}, {215, 408, 615, 432}, {23, 61, 119, 101},   {23, 141, 119, 181},
    {23, 221, 119, 261},  {555, 440, 639, 480}};

// The list picture: 30 rows of 360x16, the plain rows of the ten lines, then the hovered, then the
// pressed ones. A line's text sits 16 right and 4 down from its region's corner.
constexpr int kRowWidth = 360;
constexpr int kRowHeight = 16;
constexpr int kTextDx = 16;
constexpr int kTextDy = 4;
constexpr int kCharAdvance = 14;
constexpr int kMenuFontSize = 1;
enum : int { kPlainRows = 0, kHoverRows = 10, kPressedRows = 20 };

// The art sheet: one part for the line or back art, one for the current page's marker.
enum : int { kArtPart = 0, kPageMarkerPart = 1 };
constexpr RECT kLineHoverArt = {2, 0, 402, 24};
constexpr RECT kLinePressedArt = {2, 24, 402, 48};
constexpr RECT kBackHoverArt = {288, 48, 372, 88};
constexpr RECT kBackPressedArt = {372, 48, 456, 88};
constexpr int kPageMarkerWidth = 96;
// Where the line's text lies in the hovered and the pressed line art.
constexpr POINT kHoverTextAt = {18, 4};
constexpr POINT kPressedTextAt = {18, 28};

// Shift-JIS: the full-width digits, then the separators of a line.
constexpr char kDigits[] = "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58";
constexpr char kSpace[] = "\x81\x40";   // "　"
constexpr char kSlash[] = "\x81\x5E";   // "／"
constexpr char kColon[] = "\x81\x46";   // "："
constexpr char kMonth[] = "\x8C\x8E";   // "月"
constexpr char kDayMark[] = "\x93\xFA"; // "日"

// A slot file is outside data: a digit beyond the table shows as nine instead of reading past it.
void AppendDigit(std::string& text, unsigned digit) {
    text.append(kDigits + 2 * std::min(digit, 9u), 2);
}
void AppendNumber(std::string& text, unsigned value, int width) {
    unsigned scale = 1;
    for (int i = 1; i < width; ++i)
        scale *= 10;
    AppendDigit(text, value / scale);
    for (scale /= 10; scale; scale /= 10)
        AppendDigit(text, value / scale % 10);
}

CLayer* LoadPicture(const char* name, int parts, BYTE colorKey) {
    CLayer* layer = CreateLayerObject(parts);
    layer->Load(name, 1, 0, 0, colorKey, 0);
    return layer;
}
} // namespace

std::string CSaveLoadMenu::SlotText(int slot, const SceneStateRecord& r) {
    std::string text;
    AppendNumber(text, static_cast<unsigned>(slot + 1), slot + 1 >= 10 ? 2 : 1);
    text += kSpace;
    AppendNumber(text, r.year, 4);
    text += kSlash;
    AppendNumber(text, r.month, 2);
    text += kSlash;
    AppendNumber(text, r.day, 2);
    text += kSpace;
    AppendNumber(text, r.hour, 2);
    text += kColon;
    AppendNumber(text, r.minute, 2);
    text += kSpace;
    if (r.dayValue != 255) {
        AppendDigit(text, r.calendarSet);
        text += kMonth;
        AppendDigit(text, r.dayTens);
        AppendDigit(text, r.dayUnits);
        text += kDayMark;
    }
    return text;
}

CSaveLoadMenu::CSaveLoadMenu(bool load)
    : m_bLoad(load), m_Result(0), m_ChosenSlot(-1), m_Page(0), m_Focus(-1), m_LastHover(-1),
      m_LastPressed(-1), m_Used{}, m_pBackground(nullptr), m_pArt(nullptr), m_pList(nullptr),
      m_pText(nullptr), m_pDialog(nullptr), m_bDialogOpen(false) {
    m_pRectTable = load ? kLoadRegions : kSaveRegions;
    m_nRectCount = kRegionCount;
}

CSaveLoadMenu::~CSaveLoadMenu() {
    DeletePictures();
}

void CSaveLoadMenu::DeletePictures() {
    delete m_pDialog;
    m_pDialog = nullptr;
    m_bDialogOpen = false;
    m_pBackground = DeleteLayerObject(m_pBackground);
    m_pArt = DeleteLayerObject(m_pArt);
    m_pList = DeleteLayerObject(m_pList);
    delete m_pText;
    m_pText = nullptr;
}

void CSaveLoadMenu::Open() {
    // Opened again, the menu starts over instead of losing its pictures.
    DeletePictures();
    m_pBackground = LoadPicture(m_bLoad ? "sg015" : "sg013", 0, 0);
    m_pArt = LoadPicture(m_bLoad ? "sg016" : "sg014", 2, 1);
    m_pRectTable = m_bLoad ? kLoadRegions : kSaveRegions;
    m_nRectCount = kRegionCount;
    std::fill(std::begin(m_Used), std::end(m_Used), BYTE{0});
    if (g_pSaveData) g_pSaveData->GetUsedSlots(m_Used);
    m_pText = new CMessageWindow(1);
    m_pText->SetFontSize(kMenuFontSize);
    m_pList = CreateLayerObject(kLineCount);
    m_pList->CreateBlank(SIZE{kRowWidth, kRowHeight * 30}, 1);
    m_pList->m_bVisible = 1;
    m_Page = 0;
    RefreshPage();
    MarkWholeScreen();
}

int CSaveLoadMenu::GetResult() const {
    return m_Result;
}

int CSaveLoadMenu::GetChosenSlot() const {
    return m_ChosenSlot;
}

bool CSaveLoadMenu::IsLoadMenu() const {
    return m_bLoad;
}

bool CSaveLoadMenu::IsUsableLine(int region) const {
    return IsLine(region) && (!m_bLoad || m_Used[m_Page * kLineCount + region]);
}

POINT CSaveLoadMenu::Corner(int region) const {
    return POINT{m_pRectTable[region].left, m_pRectTable[region].top};
}

void CSaveLoadMenu::MarkRegion(int region) {
    if (region >= 0 && region < kRegionCount) m_UpdateRect.AddRect(&m_pRectTable[region]);
}

void CSaveLoadMenu::MarkWholeScreen() {
    m_UpdateRect.AddRect(GetScreenRect());
}

void CSaveLoadMenu::DrawLineText(int line, const std::string& text) {
    const POINT at = Corner(line);
    m_pText->SetCharPitch(kCharAdvance);
    m_pText->SetTextColor(255, 255, 255, 0);
    m_pText->DrawString(text.c_str(), m_pBackground, at.x + kTextDx, at.y + kTextDy, m_pList, 0,
                        kRowHeight * (kPlainRows + line));
    m_pText->DrawString(text.c_str(), m_pArt, kHoverTextAt.x, kHoverTextAt.y, m_pList, 0,
                        kRowHeight * (kHoverRows + line));
    m_pText->DrawString(text.c_str(), m_pArt, kPressedTextAt.x, kPressedTextAt.y, m_pList, 0,
                        kRowHeight * (kPressedRows + line));
}

void CSaveLoadMenu::DrawSlot() {
    if (!m_pList || !m_pText) return;
    m_pList->Fill(0, nullptr);
    for (int line = 0; line < kLineCount; ++line) {
        const int slot = m_Page * kLineCount + line;
        if (!m_Used[slot] || !g_pSaveData) continue;
        if (g_pSaveData->GetSelectedSlot() != -1) g_pSaveData->ResetSlot();
        g_pSaveData->SelectSlot(slot);
        DWORD length = 0;
        const BYTE* blob = g_pSaveData->ReadSlot() ? g_pSaveData->GetStateBlob(&length) : nullptr;
        if (blob && length == sizeof(SceneStateRecord)) {
            SceneStateRecord record;
            std::memcpy(&record, blob, sizeof record);
            DrawLineText(line, SlotText(slot, record));
        } else {
            // A slot whose header says used but whose record cannot be read is shown, and offered, as
            // empty: loading it could only fail.
            m_Used[slot] = 0;
        }
        g_pSaveData->ResetSlot();
    }
}

void CSaveLoadMenu::DrawHighlight(int hover, int pressed) {
    if (!m_pList) return;
    for (int line = 0; line < kLineCount; ++line) {
        int rows = kPlainRows;
        if (IsUsableLine(pressed)) {
            if (line == pressed) rows = kPressedRows;
        } else if (line == hover) {
            rows = kHoverRows;
        }
        const RECT source = {0, kRowHeight * (rows + line), kRowWidth, kRowHeight * (rows + line + 1)};
        const POINT at = Corner(line);
        m_pList->SetPart(&source, at.x + kTextDx, at.y + kTextDy, line);
    }
}

void CSaveLoadMenu::ShowRegionArt(int hover, int pressed) {
    DrawHighlight(IsUsableLine(hover) ? hover : -1, pressed);
    if (!m_pArt) return;
    const int region = pressed != -1 ? pressed : hover;
    const POINT at = region >= 0 ? Corner(region) : POINT{0, 0};
    if (IsUsableLine(region))
        m_pArt->SetPart(pressed != -1 ? &kLinePressedArt : &kLineHoverArt, at.x, at.y, kArtPart);
    else if (region == kBack)
        m_pArt->SetPart(pressed != -1 ? &kBackPressedArt : &kBackHoverArt, at.x, at.y, kArtPart);
    else if (region != -1 || m_LastHover != -1 || m_LastPressed != -1)
        m_pArt->ClearPart(kArtPart);
}

void CSaveLoadMenu::RefreshPage() {
    DrawSlot();
    DrawHighlight(-1, -1);
    if (!m_pArt) return;
    m_pArt->ClearPart(kArtPart);
    const RECT marker = {kPageMarkerWidth * m_Page, 48, kPageMarkerWidth * (m_Page + 1), 88};
    const POINT at = Corner(kFirstPageButton + m_Page);
    m_pArt->SetPart(&marker, at.x, at.y, kPageMarkerPart);
}

void CSaveLoadMenu::OpenConfirmation(int line) {
    CLayer* snapshot = CreateLayerObject(0);
    if (snapshot->CreateBlank(SIZE{640, 480}, 0)) {
        snapshot->m_bVisible = 1;
        for (CLayer* layer : {m_pBackground, m_pArt, m_pList})
            if (layer) layer->Draw(snapshot->GetSurface());
    }
    m_pDialog = new CYesNoDialog;
    m_pDialog->Open(m_bLoad ? CYesNoDialog::kLoadThis : CYesNoDialog::kSaveHere, snapshot);
    DeleteLayerObject(snapshot);
    m_bDialogOpen = true;
    m_ChosenSlot = m_Page * kLineCount + line;
}

void CSaveLoadMenu::PollDialog() {
    if (!m_pDialog) return;
    const int answer = m_pDialog->GetResult();
    if (answer == 1) m_Result = 1;
    if (answer != 1 && answer != 2) return;
    delete m_pDialog;
    m_pDialog = nullptr;
    m_bDialogOpen = false;
    MarkWholeScreen();
}

void CSaveLoadMenu::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
    if (m_bDialogOpen && m_pDialog) m_pDialog->FlushUpdateRect();
}

HRESULT CSaveLoadMenu::Draw(IDirectDrawSurface* target) {
    for (CLayer* layer : {m_pBackground, m_pArt, m_pList}) {
        if (!layer) continue;
        const HRESULT hr = layer->Draw(target);
        if (hr != DD_OK) return hr;
    }
    return (m_bDialogOpen && m_pDialog) ? m_pDialog->Draw(target) : DD_OK;
}

bool CSaveLoadMenu::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    for (CLayer* layer : {m_pBackground, m_pArt, m_pList})
        if (layer) ok = layer->Restore(dd) && ok;
    if (m_pText) ok = m_pText->Restore(dd) && ok;
    if (m_bDialogOpen && m_pDialog) ok = m_pDialog->RecreateSurfaces(dd) && ok;
    DrawSlot();
    return ok;
}

bool CSaveLoadMenu::ReleaseSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pArt, m_pList})
        if (layer) layer->ReleaseSurfaces();
    if (m_pText) m_pText->ReleaseSurfaces();
    if (m_bDialogOpen && m_pDialog) m_pDialog->ReleaseSurfaces();
    return true;
}

bool CSaveLoadMenu::RestoreSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pArt, m_pList})
        if (layer) layer->RestoreIfLost();
    if (m_pText) m_pText->RestoreIfLost();
    if (m_bDialogOpen && m_pDialog) m_pDialog->RestoreSurfaces();
    // A lost list picture comes back blank.
    DrawSlot();
    MarkWholeScreen();
    return true;
}
