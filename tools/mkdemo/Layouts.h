// Where the screens put their buttons, cells and art: the demo's pictures and hit maps are drawn to
// these rectangles, so that what a player sees is where the program takes the clicks.
#pragma once

#include <array>

namespace demo {
struct Rect {
    int left, top, right, bottom; // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Title: the three items on "sg017", their hover and pressed art in "sg018".
inline constexpr std::array<Rect, 3> kTitleItems = {
    {{26, 89, 154, 129}, {73, 207, 201, 247}, {22, 384, 150, 424}}};
inline constexpr std::array<int, 3> kTitleArtRows = {0, 80, 200};

// System bar: the nine buttons on screen and their columns in "sg005" (skip and auto have an "on"
// column of their own).
inline constexpr std::array<Rect, 9> kBarButtons = {{{0, 0, 126, 36},
                                                     {126, 0, 188, 36},
                                                     {188, 0, 250, 36},
                                                     {250, 0, 312, 36},
                                                     {312, 0, 374, 36},
                                                     {374, 0, 436, 36},
                                                     {436, 0, 498, 36},
                                                     {498, 0, 560, 36},
                                                     {560, 0, 622, 36}}};
inline constexpr std::array<int, 9> kBarSheetX = {0, 126, 188, 250, 374, 498, 560, 622, 684};
inline constexpr int kBarSkipOnX = 312;
inline constexpr int kBarAutoOnX = 436;

// Yes/no dialog: the panel and its two buttons on screen.
inline constexpr Rect kDialogRect = {146, 202, 530, 330};
inline constexpr std::array<Rect, 2> kDialogButtons = {{{214, 289, 302, 321}, {368, 289, 456, 321}}};

// Config panel: the 23 regions.
inline constexpr std::array<Rect, 23> kConfigRegions = {{
    {180, 64, 226, 88},   {230, 64, 276, 88},   {280, 64, 326, 88},   {330, 64, 376, 88},
    {380, 64, 426, 88},   {208, 122, 254, 146}, {258, 122, 304, 146}, {308, 122, 354, 146},
    {358, 122, 404, 146}, {408, 122, 454, 146}, {242, 182, 288, 206}, {292, 182, 338, 206},
    {342, 182, 388, 206}, {392, 182, 438, 206}, {442, 182, 488, 206}, {252, 240, 334, 264},
    {362, 240, 444, 264}, {232, 300, 314, 324}, {342, 300, 424, 324}, {241, 358, 305, 382},
    {340, 358, 404, 382}, {526, 374, 634, 414}, {526, 421, 634, 461},
}};
// The selected art of region k is at kConfigArt[k]; OK and Cancel hovered at kConfigHover.
inline constexpr std::array<Rect, 23> kConfigArt = {{
    {0, 72, 46, 96},      {46, 72, 92, 96},     {92, 72, 138, 96},    {138, 72, 184, 96},
    {184, 72, 230, 96},   {0, 96, 46, 120},     {46, 96, 92, 120},    {92, 96, 138, 120},
    {138, 96, 184, 120},  {184, 96, 230, 120},  {0, 120, 46, 144},    {46, 120, 92, 144},
    {92, 120, 138, 144},  {138, 120, 184, 144}, {184, 120, 230, 144}, {0, 192, 82, 216},
    {82, 192, 164, 216},  {0, 216, 82, 240},    {82, 216, 164, 240},  {164, 192, 228, 216},
    {164, 216, 228, 240}, {0, 280, 108, 320},   {108, 280, 216, 320},
}};
inline constexpr std::array<Rect, 2> kConfigHover = {{{0, 240, 108, 280}, {108, 240, 216, 280}}};
// The row cursor's corners: voice, music, effects, transitions, window, text speed.
inline constexpr std::array<Rect, 6> kConfigRows = {{{52, 62, 426, 88},
                                                     {86, 120, 454, 146},
                                                     {100, 180, 488, 206},
                                                     {98, 239, 444, 264},
                                                     {84, 298, 424, 324},
                                                     {50, 357, 404, 382}}};

// Save/load menu: the ten slanted lines of each kind, the page buttons and back.
inline constexpr std::array<Rect, 10> kSaveLines = {{{181, 46, 581, 70},
                                                     {175, 87, 575, 111},
                                                     {169, 128, 569, 152},
                                                     {163, 169, 563, 193},
                                                     {157, 210, 557, 234},
                                                     {151, 251, 551, 275},
                                                     {145, 292, 545, 316},
                                                     {139, 333, 539, 357},
                                                     {133, 374, 533, 398},
                                                     {127, 415, 527, 439}}};
inline constexpr std::array<Rect, 10> kLoadLines = {{{144, 39, 544, 63},
                                                     {152, 80, 552, 104},
                                                     {160, 121, 560, 145},
                                                     {168, 162, 568, 186},
                                                     {176, 203, 576, 227},
                                                     {184, 244, 584, 268},
                                                     {192, 285, 592, 309},
                                                     {200, 326, 600, 350},
                                                     {206, 367, 606, 391},
                                                     {215, 408, 615, 432}}};
inline constexpr std::array<Rect, 3> kSavePageButtons = {
    {{23, 61, 119, 101}, {23, 141, 119, 181}, {23, 221, 119, 261}}};
inline constexpr Rect kSaveBack = {555, 440, 639, 480};

// Status panel.
inline constexpr Rect kStatusClose = {543, 437, 627, 477};
inline constexpr std::array<int, 4> kGaugeX = {167, 257, 344, 432};

// Name entry.
inline constexpr std::array<Rect, 2> kNameButtons = {{{405, 431, 501, 471}, {520, 431, 616, 471}}};
inline constexpr std::array<Rect, 2> kNameFields = {{{145, 94, 470, 193}, {145, 236, 470, 335}}};

// Message window and choices.
inline constexpr int kWindowX = 22, kWindowY = 338;
inline constexpr std::array<Rect, 3> kChoiceBoxes = {
    {{84, 156, 564, 196}, {84, 206, 564, 246}, {84, 256, 564, 296}}};

// Costume choice buttons: OK, next, previous.
inline constexpr std::array<Rect, 3> kCostumeButtons = {
    {{240, 434, 400, 466}, {108, 430, 156, 476}, {486, 430, 534, 476}}};

// Choice grid.
inline constexpr std::array<int, 6> kGridColumns = {73, 160, 247, 334, 421, 508};
inline constexpr std::array<int, 4> kGridRows = {155, 236, 317, 398};
inline Rect GridCell(int k) {
    const int row = k / 6, col = k % 6;
    return {kGridColumns[col], kGridRows[row], kGridColumns[col] + 50, kGridRows[row] + (row == 2 ? 51 : 50)};
}
inline constexpr Rect kGridDecide = {522, 40, 602, 72};
inline constexpr Rect kGridBack = {523, 85, 602, 118};
inline constexpr std::array<int, 6> kGridLevelColumns = {66, 153, 240, 327, 414, 501};
inline constexpr std::array<int, 4> kGridLevelRows = {150, 231, 312, 393};
inline constexpr std::array<int, 6> kGridLevelArtX = {2, 66, 130, 194, 258, 322}; // levels 0-4, locked

// Extras menu items and their art columns in "sg051".
inline constexpr std::array<Rect, 4> kExtrasItems = {
    {{304, 144, 602, 192}, {176, 224, 598, 270}, {68, 304, 484, 356}, {256, 422, 378, 464}}};
inline constexpr std::array<Rect, 4> kExtrasHoverArt = {
    {{0, 0, 298, 48}, {298, 0, 720, 46}, {720, 0, 1136, 52}, {1136, 0, 1258, 42}}};
inline constexpr std::array<Rect, 4> kExtrasPressedArt = {
    {{0, 52, 298, 100}, {298, 52, 720, 98}, {720, 52, 1136, 104}, {1136, 52, 1258, 94}}};

// CG gallery.
inline Rect GalleryCell(int i) {
    const int col = i % 4, row = i / 4;
    return {234 + 100 * col, 8 + 78 * row, 234 + 100 * col + 98, 8 + 78 * row + 76};
}
inline constexpr std::array<Rect, 11> kGalleryPageButtons = {{{12, 174, 68, 232},
                                                              {62, 174, 118, 232},
                                                              {112, 174, 168, 232},
                                                              {162, 174, 218, 232},
                                                              {22, 232, 78, 290},
                                                              {72, 232, 128, 290},
                                                              {122, 232, 178, 290},
                                                              {172, 232, 228, 290},
                                                              {12, 290, 68, 348},
                                                              {62, 290, 118, 348},
                                                              {112, 290, 168, 348}}};
inline constexpr Rect kGallerySlideShow = {106, 356, 224, 392};
inline constexpr Rect kGalleryBack = {16, 432, 136, 472};
inline constexpr int kGalleryEndX = 236, kGalleryEndY = 166;

// Scene list: per page the first scene, the count, the sheet's column width and back art row.
struct ScenePage {
    int first, count, columnWidth, backArtY;
};
inline constexpr std::array<ScenePage, 3> kScenePages = {
    {{0, 38, 172, 760}, {38, 25, 172, 500}, {63, 17, 176, 340}}};
Rect SceneItem(int page, int i); // a scene button on screen
int SceneArtY(int page, int i);  // its row in the page's sheet
// The two page tabs, drawn in each background, and back.
inline constexpr std::array<Rect, 2> kSceneTabs = {{{14, 150, 126, 190}, {14, 200, 126, 240}}};
inline constexpr Rect kSceneBack = {14, 430, 126, 468};

// Sound room.
inline Rect SoundTrack(int t) {
    return {338 - 20 * t, 26 + 30 * t, 612 - 20 * t, 52 + 30 * t};
}
inline constexpr std::array<Rect, 4> kSoundButtons = {
    {{6, 134, 100, 154}, {84, 122, 180, 146}, {144, 134, 238, 154}, {504, 426, 612, 464}}};
inline constexpr std::array<Rect, 4> kSoundHoverArt = {
    {{0, 390, 94, 410}, {188, 390, 284, 414}, {380, 390, 474, 410}, {0, 414, 108, 452}}};
inline constexpr std::array<Rect, 4> kSoundPressedArt = {
    {{94, 390, 188, 410}, {284, 390, 380, 414}, {216, 414, 310, 434}, {108, 414, 216, 452}}};
} // namespace demo
