// The sound room: fifteen tracks over "sg060", previous, play, next and back, hit-tested through
// "soundmask"; the band of "sg061" marks the selected track.
#include "screens/ExtraMode.h"

#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "screens/OverlaySupport.h"
#include "screens/ScreenSlots.h"
#include "sound/SoundManager.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kTracks = CExtraMode::kTrackCount;
enum : int { kPrevious = kTracks, kPlay, kNext, kBack, kRegionCount };
enum : int { kPartBand, kPartButton, kSheetParts };

constexpr std::array<RECT, kRegionCount> MakeRegions() {
    std::array<RECT, kRegionCount> r{};
    for (int t = 0; t < kTracks; ++t)
        r[t] = {338 - 20 * t, 26 + 30 * t, 612 - 20 * t, 52 + 30 * t};
    r[kPrevious] = {6, 134, 100, 154};
    r[kPlay] = {84, 122, 180, 146};
    r[kNext] = {144, 134, 238, 154};
    r[kBack] = {504, 426, 612, 464};
    return r;
}
constexpr std::array<RECT, kRegionCount> kRegions = MakeRegions();
// Art of the four buttons in "sg061"; the tracks have none.
constexpr RECT kHoverArt[4] = {
    {0, 390, 94, 410}, {188, 390, 284, 414}, {380, 390, 474, 410}, {0, 414, 108, 452}};
constexpr RECT kPressedArt[4] = {
    {94, 390, 188, 410}, {284, 390, 380, 414}, {216, 414, 310, 434}, {108, 414, 216, 452}};
// What a click may change: the band, the buttons and the music name.
constexpr RECT kTrackArea = {84, 94, 543, 474};

CLayer* Sheet() {
    return g_pScreen ? g_pScreen->GetLayer(1) : nullptr;
}
void ShowButtonArt(const RECT* art, int region) {
    const RECT empty = {0, 0, 0, 0};
    const RECT& source = region < kTracks ? empty : art[region - kTracks];
    if (CLayer* sheet = Sheet())
        sheet->SetPart(&source, kRegions[region].left, kRegions[region].top, kPartButton);
}
} // namespace

void CExtraMode::ShowSoundRoom() {
    ShowFullScreenPicture(0, "sg060");
    if (CLayer* sheet = ReplaceScreenLayer(1, NewScreenPicture("sg061", kSheetParts, 1, 0, 0, 0)))
        sheet->SetColorKeyMode(3);
    SelectTrack(m_Track);
    LoadMask("soundmask", kRegionCount, kRegions.data());
}

void CExtraMode::SelectTrack(int track) {
    if (track < 0) track = kTracks - 1;
    if (track >= kTracks) track = 0;
    m_Track = track;
    const RECT band = {0, 26 * track, 274, 26 * track + 26};
    if (CLayer* sheet = Sheet()) sheet->SetPart(&band, kRegions[track].left, kRegions[track].top, kPartBand);
}

void CExtraMode::OnSoundRoomMouseMove(int x, int y) {
    CHitArea::OnMouseMove(x, y);
    if (m_nCurrent == -1) {
        if (m_nHover != -1) {
            ShowButtonArt(kHoverArt, m_nHover);
            Mark(kRegions.data(), m_LastHover);
            Mark(kRegions.data(), m_nHover);
        } else if (m_LastHover != -1 || m_LastCurrent != -1) {
            if (CLayer* sheet = Sheet()) sheet->ClearPart(kPartButton);
            Mark(kRegions.data(), m_LastHover);
            Mark(kRegions.data(), m_LastCurrent);
        }
    } else if (m_nCurrent >= kTracks) {
        ShowButtonArt(kPressedArt, m_nCurrent);
        Mark(kRegions.data(), m_LastCurrent);
        Mark(kRegions.data(), m_nCurrent);
    }
    UpdateLast();
}

void CExtraMode::OnSoundRoomLButtonDown(int x, int y) {
    CHitArea::OnLButtonDown(x, y);
    if (m_nCurrent >= kTracks) ShowButtonArt(kPressedArt, m_nCurrent);
    Mark(kRegions.data(), m_LastCurrent);
    Mark(kRegions.data(), m_nCurrent);
    m_LastCurrent = m_nCurrent;
}

void CExtraMode::OnSoundRoomLButtonUp(int x, int y) {
    // A release with no press before it would repeat the last click.
    if (!IsButtonHeld()) return;
    CHitArea::OnLButtonUp(x, y);
    if (m_nHover >= kTracks) ShowButtonArt(kHoverArt, m_nHover);
    Mark(kRegions.data(), m_LastHover);
    Mark(kRegions.data(), m_nHover);
    UpdateLast();
    MarkAll();
    const int region = m_nCurrent;
    if (region == -1) return;
    if (region < kTracks) {
        SelectTrack(region);
    } else if (region == kPrevious || region == kNext) {
        SelectTrack(m_Track + (region == kNext ? 1 : -1));
    } else if (region == kPlay) {
        char name[CSoundManager::kNameSize];
        std::snprintf(name, sizeof name, "bgm%02d", m_Track);
        if (g_pSoundManager) {
            g_pSoundManager->StopAll();
            g_pSoundManager->PlayBGM(name, 1);
        }
        std::snprintf(m_ResumeBGM, sizeof m_ResumeBGM, "%s", name);
    } else {
        PlayInterfaceSE("Se002");
        FreeMask();
        SetSubScreen(kMenu, 0);
    }
    m_UpdateRect.AddRect(&kTrackArea);
}
