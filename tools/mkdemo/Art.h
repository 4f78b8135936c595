// The painters of the demo's pictures, one per picture name (or family of names), and the step that
// stores a painted picture in the format its entry needs.
#pragma once

#include "tools/mkdemo/Canvas.h"
#include "tools/mkdemo/DemoCatalogue.h"

#include <vector>

namespace demo {
struct Picture {
    explicit Picture(const Asset& a, Rgb background = 0) : colour(a.width, a.height, background) {}
    Canvas colour;
    std::vector<std::uint8_t> alpha; // width x height, top row first; only for "AM" pictures
};
using Painter = void (*)(Picture&, const Asset&);

Bytes EncodePicture(const Picture& p, Format format);

template <Painter P> Bytes BuildPicture(const Asset& a) {
    Picture p(a);
    P(p, a);
    return EncodePicture(p, a.format);
}

// Start-up, title and system sprites.
void PaintBlank(Picture&, const Asset&);   // "sg000"
void PaintCurtain(Picture&, const Asset&); // "sg001"
void PaintLogo(Picture&, const Asset&);    // "sg002"
void PaintCursor(Picture&, const Asset&);  // "sg004"
void PaintBar(Picture&, const Asset&);     // "sg005"
void PaintTitle(Picture&, const Asset&);   // "sg017"
void PaintTitleArt(Picture&, const Asset&);

// Overlays and panels.
void PaintDialog(Picture&, const Asset&);        // "sg006", alpha
void PaintDialogButtons(Picture&, const Asset&); // "sg007"
void PaintConfig(Picture&, const Asset&);        // "sg010"
void PaintConfigArt(Picture&, const Asset&);
void PaintRowCursor(Picture&, const Asset&);
void PaintSaveLoad(Picture&, const Asset&); // param 0 save, 1 load
void PaintSaveLoadArt(Picture&, const Asset&);
void PaintStatus(Picture&, const Asset&);
void PaintStatusClose(Picture&, const Asset&);
void PaintGauge(Picture&, const Asset&);
void PaintNameEntry(Picture&, const Asset&);
void PaintNameButtons(Picture&, const Asset&);
void PaintCaret(Picture&, const Asset&);

// The game scene's own pictures.
void PaintMessageWindow(Picture&, const Asset&); // alpha
void PaintClickIcon(Picture&, const Asset&);
void PaintChoiceBoxes(Picture&, const Asset&);
void PaintCalendar(Picture&, const Asset&);
void PaintGrid(Picture&, const Asset&);
void PaintGridFrames(Picture&, const Asset&);
void PaintGridLevels(Picture&, const Asset&);
void PaintGridLabels(Picture&, const Asset&);
void PaintGridSpare(Picture&, const Asset&); // the grid's unused second mode
void PaintCostumeRoom(Picture&, const Asset&);
void PaintCostumeButtons(Picture&, const Asset&);
void PaintCostumes(Picture&, const Asset&);
void PaintCostumeVeil(Picture&, const Asset&); // alpha

// Extras.
void PaintExtrasMenu(Picture&, const Asset&);
void PaintExtrasMenuArt(Picture&, const Asset&);
void PaintGallery(Picture&, const Asset&);
void PaintGalleryArt(Picture&, const Asset&);
void PaintGalleryEnd(Picture&, const Asset&);
void PaintThumbnails(Picture&, const Asset&); // param: gallery page
void PaintSceneList(Picture&, const Asset&);  // param: page
void PaintSceneButtons(Picture&, const Asset&);
void PaintSoundRoom(Picture&, const Asset&);
void PaintSoundRoomArt(Picture&, const Asset&);

// Story pictures: backgrounds, characters, CGs and the ending roll.
// param: Place x 4 + TimeOfDay, plus kWithFireworks for a sky full of them.
inline constexpr int kWithFireworks = 100;
void PaintBackground(Picture&, const Asset&);
// param: heroine x 16 + expression, plus the Outfit x kOutfitStep.
inline constexpr int kOutfitStep = 256;
void PaintCharacter(Picture&, const Asset&);
void PaintCg(Picture&, const Asset&);     // param: CG number
void PaintPhoto(Picture&, const Asset&);  // Kana's photo of the hill
void PaintEnding(Picture&, const Asset&); // param: roll row
} // namespace demo
