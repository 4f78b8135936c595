// The extras and the ending over the screens' headless game: their pictures, the region masks in
// "data.arc" and the save data's seen flags. Full-screen pictures have one colour each; the sheets show
// SheetAt, or one colour a cell (thumbnails: page, cell, column; scene sheets: page, row, quarter column).
#pragma once

#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "screens/ExtraMode.h"

#include <cstdio>
#include <utility>

namespace screens_test {
constexpr DWORD PictureColour(int number) {
    return 0x400000 | static_cast<DWORD>(number);
}
constexpr DWORD CgColour(int cg) {
    return 0x200000 | static_cast<DWORD>(cg);
}
constexpr DWORD ThumbColour(int page, int cell, int column) {
    return static_cast<DWORD>(0x10 + page) << 16 | cell << 8 | (column + 1);
}
constexpr DWORD SceneArtColour(int page, int row, int quarter) {
    return static_cast<DWORD>(0x20 + page) << 16 | row << 8 | quarter;
}
// The CGs the tests may open: 0-2 and 30 (page 1), 47 (page 1's last cell) and 240-248 (page 10).
inline const std::vector<int> kCgsOnDisk = {0, 1, 2, 30, 47, 240, 248};
// A stray mask value that no sub-screen has a region for, under this rectangle.
constexpr RECT kStrayRegion = {140, 400, 200, 420};

inline std::string Name(const char* format, int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
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
         std::vector<SheetSize>{{"sg051", 1258, 104}, {"sg053", 346, 152}, {"sg061", 474, 452}})
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

// A packed 640 x 480 region mask with `regions` painted in order over "no region".
inline fixtures::Bytes RegionMask(const std::vector<std::pair<int, RECT>>& regions) {
    fixtures::Bytes values(640 * 480, 255);
    for (const auto& [value, r] : regions)
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                values[static_cast<std::size_t>(y) * 640 + x] = static_cast<std::uint8_t>(value);
    return fixtures::WriteMaskImage(640, 480, values, true);
}
// The masks with the regions the tests click: every cell and track, some page buttons and scenes.
inline std::vector<fixtures::ArcEntryData> ExtrasMasks() {
    std::vector<std::pair<int, RECT>> gallery = {{24, {12, 174, 68, 232}},   {25, {62, 174, 118, 232}},
                                                 {34, {112, 290, 168, 348}}, {35, {106, 356, 224, 392}},
                                                 {36, {16, 432, 136, 472}},  {200, kStrayRegion}};
    for (LONG i = 0; i < 24; ++i)
        gallery.push_back(
            {i, {234 + 100 * (i % 4), 8 + 78 * (i / 4), 332 + 100 * (i % 4), 84 + 78 * (i / 4)}});
    std::vector<fixtures::ArcEntryData> masks = {{"cgmask", RegionMask(gallery)}};
    const char* names[] = {"scemirelmask", "scesovanemask", "sceothersmask"};
    const int counts[] = {38, 25, 17};
    const RECT firstScene[] = {{270, 38, 422, 58}, {270, 82, 422, 102}, {502, 160, 630, 180}};
    for (int page = 0; page < 3; ++page) {
        const int n = counts[page];
        masks.push_back({names[page], RegionMask({{0, firstScene[page]},
                                                  {n, {14, 150, 126, 190}},
                                                  {n + 1, {14, 200, 126, 240}},
                                                  {n + 2, {14, 430, 126, 468}},
                                                  {200, kStrayRegion}})});
    }
    std::vector<std::pair<int, RECT>> sound = {{15, {6, 134, 100, 154}},
                                               {17, {144, 134, 238, 154}},
                                               {16, {84, 122, 180, 146}},
                                               {18, {504, 426, 612, 464}}};
    for (LONG t = 0; t < 15; ++t)
        sound.push_back({t, {338 - 20 * t, 26 + 30 * t, 612 - 20 * t, 52 + 30 * t}});
    masks.push_back({"soundmask", RegionMask(sound)});
    return masks;
}

inline void Click(CExtraMode& x, POINT p) {
    x.OnLButtonDown(p.x, p.y);
    x.OnLButtonUp(p.x, p.y);
}
// The interface sound that plays, or "".
inline std::string Sound() {
    for (const char* name : {"Se000", "Se001", "Se002"})
        if (Playing(name)) return name;
    return "";
}

class ExtrasFixture : public ScreenFixture {
  protected:
    // The game as the extras find it: the given CGs and scenes seen, the title music playing.
    void StartGame(const std::vector<int>& cgs = {}, const std::vector<int>& scenes = {},
                   StartOptions options = {}) {
        ASSERT_TRUE(fixtures::WriteArc(dir.File("data.arc"), ExtrasMasks()));
        options.pictures = ExtrasPictures();
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
