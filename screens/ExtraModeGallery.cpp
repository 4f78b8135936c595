// The CG gallery: eleven pages of 24 thumbnail cells over "sg052", the page buttons, the slide-show
// switch and back, hit-tested through "cgmask"; and the full-screen viewer with its slide show.
#include "screens/ExtraMode.h"

#include "app/AppMessages.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/time.h"
#include "screens/OverlaySupport.h"
#include "screens/ScreenSlots.h"
#include "sound/SoundManager.h"

#include <array>
#include <cstdio>

namespace {
constexpr int kPageButton = CExtraMode::kCgPerPage; // regions 24 to 34 for pages 0 to 10
constexpr int kSlideSwitch = kPageButton + CExtraMode::kGalleryPages;
constexpr int kBack = kSlideSwitch + 1;
constexpr int kRegionCount = kBack + 1;
constexpr int kLastPage = CExtraMode::kGalleryPages - 1;
constexpr int kCellWidth = 98, kCellHeight = 76;

constexpr std::array<RECT, kRegionCount> MakeRegions() {
    std::array<RECT, kRegionCount> r{};
    for (int i = 0; i < CExtraMode::kCgPerPage; ++i) {
        const LONG left = 234 + 100 * (i % 4), top = 8 + 78 * (i / 4);
        r[i] = {left, top, left + kCellWidth, top + kCellHeight};
    }
    const RECT pages[CExtraMode::kGalleryPages] = {
        {12, 174, 68, 232}, {62, 174, 118, 232}, {112, 174, 168, 232}, {162, 174, 218, 232},
        {22, 232, 78, 290}, {72, 232, 128, 290}, {122, 232, 178, 290}, {172, 232, 228, 290},
        {12, 290, 68, 348}, {62, 290, 118, 348}, {112, 290, 168, 348}};
    for (int p = 0; p < CExtraMode::kGalleryPages; ++p)
        r[kPageButton + p] = pages[p];
    r[kSlideSwitch] = {106, 356, 224, 392};
    r[kBack] = {16, 432, 136, 472};
    return r;
}
constexpr std::array<RECT, kRegionCount> kRegions = MakeRegions();

// In "sg053": part 0 the current page's button, part 1 the slide show switched on, part 2 back.
enum : int { kPartPage, kPartSlideShow, kPartBack, kSheetParts };
constexpr RECT kSlideShowOnArt = {224, 36, 342, 72};
constexpr RECT kBackHoverArt = {224, 72, 346, 112};
constexpr RECT kBackPressedArt = {224, 112, 346, 152};
// In the thumbnail sheets: part i the cell of CG i, part 24 the cell under the pointer.
constexpr int kPartPointer = CExtraMode::kCgPerPage;
constexpr RECT kEmpty = {0, 0, 0, 0};

constexpr RECT PageArt(int page) {
    return {56 * (page % 4), 58 * (page / 4), 56 * (page % 4) + 56, 58 * (page / 4) + 58};
}
// Columns of a thumbnail sheet: 0 normal, 1 hover, 2 pressed.
constexpr RECT CellArt(int cell, int column) {
    return {kCellWidth * column, kCellHeight * cell, kCellWidth * (column + 1), kCellHeight * (cell + 1)};
}

CLayer* Slot(int slot) {
    return g_pScreen ? g_pScreen->GetLayer(slot) : nullptr;
}
void SetPart(int slot, const RECT& art, const RECT& at, int part) {
    if (CLayer* layer = Slot(slot)) layer->SetPart(&art, at.left, at.top, part);
}
void SetVisible(int slot, BYTE visible) {
    if (CLayer* layer = Slot(slot)) layer->m_bVisible = visible;
}
int CgSeen(int n) {
    if (n >= CExtraMode::kCgCount) return -1;
    return g_pSaveData ? g_pSaveData->IsCGSeen(n) : 0;
}
} // namespace

int CExtraMode::FindNextSeenCg(int from) {
    for (int n = from + 1; n < kCgCount; ++n)
        if (CgSeen(n) == 1) return n;
    for (int n = 0; n < kCgCount; ++n)
        if (CgSeen(n) == 1) return n;
    return -1;
}

void CExtraMode::ShowGallery() {
    ShowFullScreenPicture(0, "sg052");
    if (CLayer* sheet = ReplaceScreenLayer(1, NewScreenPicture("sg053", kSheetParts, 1, 0, 0, 0)))
        sheet->SetColorKeyMode(3);
    ReplaceScreenLayer(2, NewScreenPicture("sg081", 0, 0, 236, 166, 0));
    DrawCgPage();
    LoadMask("cgmask", kRegionCount, kRegions.data());
}

void CExtraMode::DrawCgPage() {
    SetPart(1, PageArt(m_GalleryPage), kRegions[kPageButton + m_GalleryPage], kPartPage);
    if (m_bSlideShow)
        SetPart(1, kSlideShowOnArt, kRegions[kSlideSwitch], kPartSlideShow);
    else if (CLayer* sheet = Slot(1))
        sheet->ClearPart(kPartSlideShow);
    for (int i = 0; i < kCgPerPage; ++i) {
        m_PageCgIndices[i] = m_GalleryPage * kCgPerPage + i;
        // Read afresh: the gallery shows what was seen since the extras opened too.
        m_PageCgFlags[i] = CgSeen(m_PageCgIndices[i]);
    }
    char sheet[16];
    std::snprintf(sheet, sizeof sheet, "sg%03d", 70 + m_GalleryPage);
    ReplaceScreenLayer(3, NewScreenPicture(sheet, kCgPerPage + 1, 1, 0, 0, 1));
    ShowThumbnailFrames();
    SetVisible(2, m_GalleryPage == kLastPage);
    MarkAll();
}

void CExtraMode::ShowThumbnailFrames() {
    CLayer* thumbnails = Slot(3);
    if (!thumbnails) return;
    for (int i = 0; i < kCgPerPage; ++i) {
        if (m_PageCgFlags[i] == 1) {
            const RECT art = CellArt(i, 0);
            thumbnails->SetPart(&art, kRegions[i].left, kRegions[i].top, i);
        } else if (m_PageCgFlags[i] == 0) {
            thumbnails->ClearPart(i);
        }
    }
}

void CExtraMode::ClearGalleryArt() {
    SetPart(1, kEmpty, kEmpty, kPartBack);
    SetPart(3, kEmpty, kEmpty, kPartPointer);
}

void CExtraMode::ShowGalleryArt(int region, bool pressed) {
    if (region < kCgPerPage) {
        if (m_PageCgFlags[region] == 1)
            SetPart(3, CellArt(region, pressed ? 2 : 1), kRegions[region], kPartPointer);
        else if (CLayer* thumbnails = Slot(3))
            thumbnails->ClearPart(kPartPointer);
    } else if (region == kBack) {
        SetPart(1, pressed ? kBackPressedArt : kBackHoverArt, kRegions[kBack], kPartBack);
    }
}

bool CExtraMode::IsLitGalleryRegion(int region) const {
    return region == kBack || (region >= 0 && region < kCgPerPage && m_PageCgFlags[region] == 1);
}

void CExtraMode::OnGalleryMouseMove(int x, int y) {
    ClearGalleryArt();
    CHitArea::OnMouseMove(x, y);
    if (m_nCurrent != -1) {
        ShowGalleryArt(m_nCurrent, true);
        Mark(kRegions.data(), m_LastCurrent);
        Mark(kRegions.data(), m_nCurrent);
    } else if (m_nHover != -1) {
        ShowGalleryArt(m_nHover, false);
        Mark(kRegions.data(), m_LastHover);
        Mark(kRegions.data(), m_nHover);
    } else {
        Mark(kRegions.data(), m_LastHover);
        Mark(kRegions.data(), m_LastCurrent);
    }
    if ((ChangedTo(m_nHover, m_LastHover) && IsLitGalleryRegion(m_nHover)) ||
        (ChangedTo(m_nCurrent, m_LastCurrent) && IsLitGalleryRegion(m_nCurrent)))
        PlayInterfaceSE("Se000");
    UpdateLast();
}

void CExtraMode::OnGalleryLButtonDown(int x, int y) {
    ClearGalleryArt();
    CHitArea::OnLButtonDown(x, y);
    if (m_nCurrent != -1) ShowGalleryArt(m_nCurrent, true);
    Mark(kRegions.data(), m_LastCurrent);
    Mark(kRegions.data(), m_nCurrent);
    m_LastCurrent = m_nCurrent;
}

void CExtraMode::OnGalleryLButtonUp(int x, int y) {
    // A release with no press before it would repeat the last click.
    if (!IsButtonHeld()) return;
    ClearGalleryArt();
    CHitArea::OnLButtonUp(x, y);
    if (m_nHover != -1) ShowGalleryArt(m_nHover, false);
    Mark(kRegions.data(), m_LastHover);
    Mark(kRegions.data(), m_LastCurrent);
    Mark(kRegions.data(), m_nHover);
    UpdateLast();
    const int region = m_nCurrent;
    if (region == -1) return;
    PlayInterfaceSE(region == kBack ? "Se002" : "Se001");
    if (region < kCgPerPage) {
        if (m_PageCgFlags[region] == 1) {
            m_PrevGalleryPage = m_GalleryPage;
            m_CurrentCg = m_PageCgIndices[region];
            SetSubScreen(kViewer, 0);
            if (m_bSlideShow) m_SlideDeadline = GetTickCount() + kSlideInterval;
            PostAppMessage(UM_HIDECURSOR, 0, 0);
        } else if (g_pSoundManager) {
            g_pSoundManager->StopLoopSE(nullptr);
        }
    } else if (region < kSlideSwitch) {
        m_PrevGalleryPage = m_GalleryPage;
        const int page = region - kPageButton;
        if (page != m_GalleryPage) {
            m_GalleryPage = page;
            DrawCgPage();
        }
    } else if (region == kSlideSwitch) {
        m_bSlideShow = !m_bSlideShow;
        if (m_bSlideShow)
            SetPart(1, kSlideShowOnArt, kRegions[kSlideSwitch], kPartSlideShow);
        else if (CLayer* sheet = Slot(1))
            sheet->ClearPart(kPartSlideShow);
        Mark(kRegions.data(), kSlideSwitch);
    } else {
        ReplaceScreenLayer(2, nullptr);
        ReplaceScreenLayer(3, nullptr);
        FreeMask();
        SetSubScreen(kMenu, 0);
    }
}

void CExtraMode::ShowViewer() {
    for (int slot : {0, 1, 3})
        SetVisible(slot, 0);
    ReplaceScreenLayer(4, nullptr);
    if (g_pScreen) g_pScreen->LoadLayer(4, GetCgName(m_CurrentCg), 1, 0, 0, 0);
}

void CExtraMode::AdvanceCgViewer(int next) {
    if (next == 0 || m_bSlideShow) {
        ReplaceScreenLayer(4, nullptr);
        m_GalleryPage = GetCgPage();
        m_SubScreen = kGallery;
        SetVisible(0, 1);
        SetVisible(1, 1);
        if (m_GalleryPage == m_PrevGalleryPage)
            SetVisible(3, 1);
        else
            DrawCgPage();
        SetPart(3, kEmpty, kEmpty, kPartPointer);
        MarkAll();
        RefreshCursor();
        PostAppMessage(UM_SHOWCURSOR, 0, 0);
        return;
    }
    const int cg = FindNextSeenCg(m_CurrentCg);
    // With no seen CG left to show (the flags were cleared meanwhile), the picture stays.
    if (cg == -1) return;
    m_CurrentCg = cg;
    if (g_pScreen) g_pScreen->ChangeLayer(4, GetCgName(cg), 1, 0, 0, 0, -1, -1, -1, -1);
    MarkAll();
}

void CExtraMode::OnViewerKeyUp(UINT vk) {
    if (vk == VK_RETURN)
        AdvanceCgViewer(1);
    else if (vk == VK_ESCAPE)
        AdvanceCgViewer(0);
}
