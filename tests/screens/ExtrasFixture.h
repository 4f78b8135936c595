// The extras and the ending over the screens' headless game: their pictures, the demo game's region
// masks in "data.arc" and the save data's seen flags. Full-screen pictures have one colour each; the sheets
// show SheetAt, or one colour a cell (thumbnails: page, cell, column; scene sheets: page, row, quarter
// column).
#pragma once

#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "screens/ExtraMode.h"
#include "tools/mkdemo/DemoCatalogue.h"

#include <cstdio>
#include <utility>

namespace screens_test {
constexpr auto PictureColour = [](int number) { return 0x400000u | number; };
constexpr auto CgColour = [](int cg) { return 0x200000u | cg; };
constexpr auto ThumbColour = [](int page, int cell, int column) {
    return static_cast<DWORD>(0x10 + page) << 16 | cell << 8 | (column + 1);
};
constexpr auto SceneArtColour = [](int page, int row, int quarter) {
    return static_cast<DWORD>(0x20 + page) << 16 | row << 8 | quarter;
};
// The CGs the tests may open: 0-2 and 30 (page 1), 47 (page 1's last cell) and 240-248 (page 10).
inline const std::vector<int> kCgsOnDisk = {0, 1, 2, 30, 47, 240, 248};

inline std::string Name(const char* format, int n) {
    char buffer[16];
    return std::string(buffer, std::snprintf(buffer, sizeof buffer, format, n));
}
// A run-length coded "CM" picture: small whatever its size when it has few colours.
inline fixtures::Bytes Flat(int w, int h, const std::function<DWORD(int, int)>& colour) {
    fixtures::PictureDesc desc{w, h, 24};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y));
    return fixtures::WriteCm(desc, {true});
}
inline std::vector<fixtures::ArcEntryData> ExtrasPictures() {
    std::vector<fixtures::ArcEntryData> p;
    for (int n : {0, 1, 50, 52, 54, 56, 58, 60})
        p.push_back({Name("sg%03d", n), Flat(640, 480, [n](int, int) { return PictureColour(n); })});
    p.push_back({"sg081", Flat(396, 306, [](int, int) { return PictureColour(81); })});
    for (const auto& [name, w, h] :
         std::vector<SheetSize>{{"sg051", 1258, 104}, {"sg053", 346, 174}, {"sg061", 474, 452}})
        p.push_back({name, Picture(w, h, SheetAt)});
    for (int page = 0; page < CExtraMode::kGalleryPages; ++page)
        p.push_back({Name("sg%03d", 70 + page), Flat(294, 1824, [page](int x, int y) {
                         return x || y ? ThumbColour(page, y / 76, x / 98) : 0xFF00FF;
                     })});
    const int sceneSheetWidth[] = {516, 516, 528}, sceneSheetHeight[] = {798, 538, 378};
    for (int page = 0; page < 3; ++page)
        p.push_back({Name("sg%03d", 55 + 2 * page),
                     Flat(sceneSheetWidth[page], sceneSheetHeight[page], [page](int x, int y) {
                         return SceneArtColour(page, y / 20, x / (page == 2 ? 44 : 43));
                     })});
    for (int cg : kCgsOnDisk)
        p.push_back({CExtraMode::GetCgName(cg), Flat(640, 480, [cg](int, int) { return CgColour(cg); })});
    for (int row = 0; row < 12; ++row)
        p.push_back(
            {Name("ed%03d", row), Flat(640, 480, [row](int, int) { return PictureColour(100 + row); })});
    return p;
}

// The demo game's region masks.
inline std::vector<fixtures::ArcEntryData> ExtrasMasks() {
    std::vector<fixtures::ArcEntryData> masks;
    for (const demo::Asset& a : demo::Catalogue())
        if (a.kind == demo::Kind::RegionMask) masks.push_back({a.name, a.build(a)});
    return masks;
}

// Steps of a table row: move, press, release, click (press and release), right press, Enter pressed and
// released; a wait of at.x ms and a frame; CG at.x marked seen; every seen flag forgotten.
enum Act { kMove, kDown, kUp, kClick, kRight, kEnter, kWait, kSeen, kForget };
struct Step {
    Act act;
    POINT at;
};
inline void Do(CExtraMode& x, const std::vector<Step>& steps) {
    for (const auto& [act, at] : steps) {
        if (act == kMove) x.OnMouseMove(at.x, at.y);
        if (act == kDown || act == kClick) x.OnLButtonDown(at.x, at.y);
        if (act == kUp || act == kClick) x.OnLButtonUp(at.x, at.y);
        if (act == kRight) x.OnRButtonDown();
        if (act == kEnter) Key(x, VK_RETURN);
        if (act == kWait) pt::AdvanceClock(at.x), x.Run();
        if (act == kSeen) g_pSaveData->SetCGSeen(at.x);
        if (act == kForget) g_pSaveData->SetDefaults();
    }
}
inline void Click(CExtraMode& x, POINT p) {
    Do(x, {{kClick, p}});
}
// The interface sound that plays, or "".
inline std::string Sound() {
    for (const char* name : {"Se000", "Se001", "Se002"})
        if (Playing(name)) return name;
    return "";
}
// Inside gallery cell i and sound-room track t; the menu's items.
constexpr auto Cell = [](int i) { return POINT{284 + 100 * (i % 4), 48 + 78 * (i / 4)}; };
constexpr auto Track = [](int t) { return POINT{348 - 20 * t, 31 + 30 * t}; };
constexpr POINT kGalleryItem = {320, 160}, kSceneItem = {200, 240}, kSoundItem = {100, 320};

class ExtrasFixture : public ScreenFixture {
  protected:
    // The game as the extras find it: the given CGs and scenes seen; the test's pictures unless others are
    // given.
    void StartGame(const std::vector<int>& cgs = {}, const std::vector<int>& scenes = {},
                   StartOptions options = {}) {
        // Made once: every row of a table starts afresh.
        static const std::vector<fixtures::ArcEntryData> masks = ExtrasMasks(), pictures = ExtrasPictures();
        ASSERT_TRUE(fixtures::WriteArc(dir.File("data.arc"), masks));
        if (options.pictures.empty()) options.pictures = pictures;
        Start(options);
        g_pSaveData = new CSaveData;
        for (int cg : cgs)
            g_pSaveData->SetCGSeen(cg);
        for (int scene : scenes)
            g_pSaveData->SetSceneSeen(scene);
    }
    void TearDown() override {
        delete g_pSaveData;
        g_pSaveData = nullptr;
        ScreenFixture::TearDown();
    }
    // Opens the extras and clicks a menu item.
    void Enter(CExtraMode& x, POINT item) {
        x.Open();
        Click(x, item);
        Silence();
    }
    // One frame of the compositor and the mode, as the game object runs it.
    template <typename T> void Show(T& mode) {
        mode.FlushUpdateRect();
        g_pScreen->Update();
        g_pScreen->Draw(Back());
        mode.Draw(Back());
        AddUpdateRect(nullptr);
    }
};
} // namespace screens_test
