// Mode 7: the extras: menu, CG gallery and viewer, scene list and replay, sound room.
// Everything it shows is a layer of the compositor: slot 0 the background, slot 1 the sub-screen's button
// sheet, slot 2 "sg081" or a curtain, slot 3 the gallery's thumbnails, slot 4 the viewer's CG. Its
// regions are the menu's rectangles or, elsewhere, a run-length packed region mask from "data.arc".
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

#include <cstddef>

class CGameScene;
class CLayer;

// Unpacks run-length packets of bitsPerUnit / 8 bytes a unit: a count of 128 or more repeats the one unit
// behind it count - 128 times, a smaller count copies that many units. Reads no byte past packedLength
// and writes none past outputSize: a packet cut short by either ends the work. Returns the bytes written.
std::size_t DecodeRunLength(const BYTE* packed, std::size_t packedLength, int bitsPerUnit, BYTE* output,
                            std::size_t outputSize);

class CExtraMode : public CHitArea {
  public:
    enum SubScreen : int {
        kMenu = 0,
        kGallery = 1,
        kViewer = 2,
        kSceneList = 3,
        kReplay = 4,
        kSoundRoom = 5,
        kLeaving = 6,
    };
    static constexpr int kCgCount = 249;
    static constexpr int kCgPerPage = 24;
    static constexpr int kGalleryPages = 11;
    static constexpr int kScenePages = 3;
    static constexpr int kMaxPageScenes = 38;
    static constexpr int kTrackCount = 15;
    static constexpr DWORD kSlideInterval = 5000;
    static constexpr int kNoneValue = 255;
    // The widest and highest region mask accepted: the screen.
    static constexpr DWORD kMaxMaskWidth = 640;
    static constexpr DWORD kMaxMaskHeight = 480;

    CExtraMode();
    ~CExtraMode();
    CExtraMode(const CExtraMode&) = delete;
    CExtraMode& operator=(const CExtraMode&) = delete;

    void Open();
    // 7 to stay, 3 back to the title.
    int Run();
    void Close();
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnRButtonDown();
    void OnWheelUp();
    void OnWheelDown();
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    // The left button went down here and something else took its release: the sub-screen, or the
    // replayed scene, sees a release outside every region.
    void CancelPress();
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

    int GetSubScreen() const;
    // A scene of "scene.sct" is being replayed (the system bar is offered then).
    bool IsReplaying() const;

    // Reads the named region mask from the data archive and hit-tests by it; values from regionCount on
    // are no region, as the sub-screen has none of that number. A missing or damaged entry is traced and
    // leaves no mask (false): the regions are then the sub-screen's own rectangles, `fallback` with
    // regionCount entries (none without it), its back button last.
    bool LoadMask(const char* name, int regionCount = kNoneValue, const RECT* fallback = nullptr);
    // The picture name of CG n, or null past the table.
    static const char* GetCgName(int n);

    int GetState() const { return m_State; }
    int GetGalleryPage() const { return m_GalleryPage; }
    int GetCurrentCg() const { return m_CurrentCg; }
    int GetCgPage() const { return m_CurrentCg / kCgPerPage; }
    bool IsSlideShowOn() const { return m_bSlideShow != 0; }
    int GetScenePage() const { return m_ScenePage; }
    int GetTrack() const { return m_Track; }
    const char* GetResumeBGM() const { return m_ResumeBGM; }
    CGameScene* GetReplayScene() const { return m_pReplayScene; }
    // The mask in use: 1040-byte header and width x height region values; null while there is none.
    const BYTE* GetMaskBuffer() const { return m_pMaskBuffer; }

  private:
    // Frame.
    void SetSubScreen(int subScreen, int effect);
    void FreeMask();
    // The entry's header and packed pixels into a new mask buffer set as the hit map; false when the
    // entry is missing or damaged.
    bool ReadMask(const char* name, int regionCount);
    // On a sub-screen whose mask failed, Esc and a right click are a click on its back button (the last
    // of its rectangles), so that a damaged game still lets the player out.
    void LeaveWithoutMask();
    // Marks the rectangle of `region` in `table`, when region is not -1.
    void Mark(const RECT* table, int region);
    void MarkAll();
    void UpdateLast();
    static bool ChangedTo(int now, int last) { return now != -1 && now != last; }

    // Menu.
    void ShowMenu();
    void OnMenuMouseMove(int x, int y);
    void OnMenuLButtonDown(int x, int y);
    void OnMenuLButtonUp(int x, int y);

    // Gallery and viewer.
    void ShowGallery();
    void ClearGalleryArt();
    void ShowGalleryArt(int region, bool pressed);
    bool IsLitGalleryRegion(int region) const;
    void OnGalleryMouseMove(int x, int y);
    void OnGalleryLButtonDown(int x, int y);
    void OnGalleryLButtonUp(int x, int y);
    void DrawCgPage();
    void ShowThumbnailFrames();
    void ShowViewer();
    void AdvanceCgViewer(int next);
    void OnViewerKeyUp(UINT vk);
    // The next CG after `from` that the save data marks as seen, wrapping past 248; -1 when none is.
    static int FindNextSeenCg(int from);

    // Scene list and replay.
    void ShowSceneList(int effect);
    void LoadScenePageFlags();
    void ShowSceneButtons();
    void ShowSceneArt(int item, bool pressed);
    bool IsLitSceneItem(int item) const;
    void OnSceneListMouseMove(int x, int y);
    void OnSceneListLButtonDown(int x, int y);
    void OnSceneListLButtonUp(int x, int y);
    // 0 none, 1 scene, 2 tab, 3 back.
    int ClassifySceneItem(int item) const;
    int GetFirstSceneOfPage() const;
    void StartReplay(int scene);
    void RunReplay();
    void EndReplay();

    // Sound room.
    void ShowSoundRoom();
    void OnSoundRoomMouseMove(int x, int y);
    void OnSoundRoomLButtonDown(int x, int y);
    void OnSoundRoomLButtonUp(int x, int y);
    void SelectTrack(int track);

    CUpdateRect m_UpdateRect;
    int m_SubScreen;
    int m_State;
    CGameScene* m_pReplayScene;
    int m_LastHover;
    int m_LastCurrent;
    int m_GalleryPage;
    int m_PrevGalleryPage;
    BYTE m_bSlideShow;
    DWORD m_SlideDeadline;
    // As they stood when the extras opened; the gallery reads the save data's live flags.
    int m_CgFlags[kCgCount];
    int m_PageCgFlags[kCgPerPage];
    int m_PageCgIndices[kCgPerPage];
    int m_CurrentCg;
    BYTE* m_pMaskBuffer;
    std::size_t m_MaskSize;
    // Scene list.
    int m_ScenePage;
    int m_SceneCount;
    BYTE m_SceneFlags[kMaxPageScenes];
    const RECT* m_pSceneArt;      // normal art of each scene in the sheet
    const RECT* m_pSceneHoverArt; // hover art of each item, then pressed art of each item
    const RECT* m_pSceneItems;    // items on screen
    int m_SceneItemCount;
    bool m_bReplayLoaded;
    // Sound room.
    int m_Track;
    char m_ResumeBGM[64];
};
