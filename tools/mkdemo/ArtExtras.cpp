// The extras: the menu, the CG gallery with its thumbnail sheets, the scene list and the sound room.
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/SceneTitles.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Sounds.h"
#include "tools/mkdemo/Widgets.h"

#include <cstdio>
#include <string>
#include <utility>

namespace demo {
namespace {
const char* const kExtrasLabels[4] = {"CG GALLERY", "SCENE REPLAY", "SOUND ROOM", "BACK"};
const char* const kPageNames[3] = {"ROUTE A", "ROUTE B", "OTHERS"};
const char* const kTrackNames[kTrackCount] = {
    "MORNING WALK", "KEEPSAKES", "THE HILL",   "EVERYDAY", "CLASSROOM", "EVENING", "STREETLIGHT", "NIGHT",
    "MUSIC BOX",    "HEARTBEAT", "SEA BREEZE", "MEMORIES", "FESTIVAL",  "RAIN",    "PROMISE"};

std::string Two(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

void ExtrasBackdrop(Canvas& c, const char* heading) {
    PaintScene(c, Place::Seaside, TimeOfDay::Night, 3);
    c.Recolour(0, 0, 640, 480, [](Rgb v) { return Mix(v, 0x1B2236, 1, 2); });
    Heading(c, 24, 14, heading, 3);
}

// The list's background: every scene number has an entry that looks unseen; the list's sheet covers the
// entries of the scenes seen with their buttons.
void SceneListBackground(Canvas& c, int page) {
    ExtrasBackdrop(c, "SCENES");
    c.ShadowText(24, 52, kPageNames[page], 2, theme::kGold, theme::kShadow);
    const ScenePage& sp = kScenePages[static_cast<std::size_t>(page)];
    for (int i = 0; i < sp.count; ++i) {
        const Rect r = SceneItem(page, i);
        c.RoundRect(r.left, r.top + 1, r.right, r.bottom - 1, 4, 0x2A3048);
        c.Text(r.left + 6, r.top + 7, Two(sp.first + i + 1) + " ---", 1, 0x5A6480);
    }
    // The tabs of the two other pages, lower page first.
    int tab = 0;
    for (int other = 0; other < 3; ++other)
        if (other != page)
            Button(c, kSceneTabs[static_cast<std::size_t>(tab++)], kPageNames[other], State::Normal, 1);
    Plate(c, {kSceneBack.left - 4, kSceneBack.top - 4, kSceneBack.right + 4, kSceneBack.bottom + 4});
    Button(c, kSceneBack, "BACK", State::Normal);
}

// One scene button of the list: its label on a plate in the look of its state.
void SceneButton(Canvas& c, const Rect& r, const std::string& label, State s) {
    const Rgb fill = s == State::Hover ? 0x4670AC : (s == State::Pressed ? 0x1A2946 : 0x2C4572);
    c.FillRect(r.left, r.top, r.right, r.bottom, theme::kPlate);
    c.RoundRect(r.left, r.top + 1, r.right, r.bottom - 1, 4, s == State::Normal ? 0x9DB5D8 : 0xFFD98A);
    c.RoundRect(r.left + 1, r.top + 2, r.right - 1, r.bottom - 2, 3, fill);
    c.ShadowText(r.left + 6 + (s == State::Pressed), r.top + 7, label, 1, theme::kCream, theme::kShadow);
}

// The sound room's buttons. PLAY lies in front of the inner ends of PREV and NEXT, as the hit map has
// it, so their labels keep to the parts PLAY leaves free, and their art is see-through where PLAY
// lies: drawn over the room, hovered or pressed, it leaves PLAY and its label whole.
enum SoundButton { kPrev, kPlay, kNext, kBack };
const char* const kSoundLabels[4] = {"< PREV", "PLAY", "NEXT >", "BACK"};

Rgb LabelColour(State s) { // as Button draws its labels
    return s == State::Hover ? 0xFFFFFF : (s == State::Pressed ? 0xFFE7B0 : theme::kCream);
}

// PREV, PLAY or NEXT in a state, on a canvas of its rectangle's size, the key colour around it.
Canvas TransportButton(int b, State s) {
    const Rect& r = kSoundButtons[static_cast<std::size_t>(b)];
    const Rect& play = kSoundButtons[kPlay];
    Canvas c(r.Width(), r.Height(), kKey);
    Button(c, {0, 0, r.Width(), r.Height()}, "", s, 1);
    int left = 0, right = r.Width();
    if (b == kPrev) right = play.left - r.left;
    if (b == kNext) left = play.right - r.left;
    const int shift = s == State::Pressed ? 1 : 0;
    c.CentredText((left + right) / 2 + shift, (r.Height() - Canvas::TextHeight(1)) / 2 + shift,
                  kSoundLabels[b], 1, LabelColour(s), theme::kShadow);
    if (b != kPlay) {
        // Where PLAY's button lies over this one, nothing of this one is drawn.
        const Canvas front = TransportButton(kPlay, State::Normal);
        for (int y = 0; y < play.Height(); ++y)
            for (int x = 0; x < play.Width(); ++x)
                if (front.At(x, y) != kKey) c.Set(play.left - r.left + x, play.top - r.top + y, kKey);
    }
    return c;
}

void TrackBand(Canvas& c, const Rect& r, int t, bool selected) {
    c.RoundRect(r.left, r.top, r.right, r.bottom, 6, selected ? theme::kGold : 0x5A6480);
    c.RoundRect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, 5, selected ? 0x3A2E5E : theme::kPlate);
    c.ShadowText(r.left + 10, r.top + 9, Two(t + 1) + "  " + kTrackNames[t], 1,
                 selected ? 0xFFF0C0 : theme::kCream, theme::kShadow);
    if (selected)
        c.Polygon({{r.right - 20, r.top + 7}, {r.right - 10, r.top + 13}, {r.right - 20, r.top + 19}},
                  theme::kGold);
}
} // namespace

void PaintExtrasMenu(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    ExtrasBackdrop(c, "EXTRAS");
    for (int i = 0; i < 4; ++i) {
        const Rect& r = kExtrasItems[static_cast<std::size_t>(i)];
        Plate(c, {r.left - 4, r.top - 4, r.right + 4, r.bottom + 4});
        Button(c, r, kExtrasLabels[i], State::Normal, 3);
    }
    c.ShadowText(24, 60, "Pictures you have seen, scenes to play again,", 1, theme::kCream, theme::kShadow);
    c.ShadowText(24, 72, "and every piece of music.", 1, theme::kCream, theme::kShadow);
    c.NameTag(a.name, 636, 4);
}

void PaintExtrasMenuArt(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), theme::kPlate);
    for (int i = 0; i < 4; ++i) {
        Button(c, kExtrasHoverArt[static_cast<std::size_t>(i)], kExtrasLabels[i], State::Hover, 3);
        Button(c, kExtrasPressedArt[static_cast<std::size_t>(i)], kExtrasLabels[i], State::Pressed, 3);
    }
    c.NameTag(a.name, 1254, 90);
}

void PaintGallery(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    MenuBackdrop(c, 0x2A2446, 0x111626);
    Panel(c, {6, 8, 228, 474}, 10);
    Heading(c, 22, 24, "GALLERY", 3);
    c.ShadowText(22, 70, "Pictures you have", 1, theme::kCream, theme::kShadow);
    c.ShadowText(22, 82, "seen in the story.", 1, theme::kCream, theme::kShadow);
    c.ShadowText(22, 150, "PAGES", 2, theme::kGold, theme::kShadow);
    for (int page = 0; page < kGalleryPages; ++page)
        Button(c, kGalleryPageButtons[static_cast<std::size_t>(page)], std::to_string(page + 1),
               State::Normal);
    Button(c, kGallerySlideShow, "SLIDES", State::Normal);
    Button(c, kGalleryBack, "BACK", State::Normal);
    for (int i = 0; i < kCgPerPage; ++i) {
        const Rect r = GalleryCell(i);
        c.RoundRect(r.left, r.top, r.right, r.bottom, 4, 0x3A4260);
        c.RoundRect(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, 3, 0x1E2436);
        c.CentredText(r.left + 49, r.top + 30, "?", 2, 0x5A6480, 0x141A2C);
    }
    c.NameTag(a.name, 636, 466);
}

void PaintGalleryArt(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int page = 0; page < kGalleryPages; ++page) {
        const int x = 56 * (page % 4), y = 58 * (page / 4);
        Button(c, {x, y, x + 56, y + 58}, std::to_string(page + 1), State::On);
    }
    Button(c, {224, 36, 342, 72}, "SLIDES", State::On);
    Button(c, {224, 72, 346, 112}, "BACK", State::Hover);
    Button(c, {224, 112, 346, 152}, "BACK", State::Pressed);
    c.NameTag(a.name, 342, 4);
}

void PaintThumbnails(Picture& p, const Asset& a) {
    p.colour = Canvas(a.width, a.height, kKey, true);
    Canvas& c = p.colour;
    for (int i = 0; i < kCgPerPage; ++i) {
        const int n = a.param * kCgPerPage + i;
        if (n >= kCgCount) break;
        const Asset cg{
            Archive::Graphic, kCgNames[static_cast<std::size_t>(n)], Kind::Picture, 640, 480, Format::Cm8, n,
            nullptr};
        Picture picture(cg);
        PaintCg(picture, cg);
        for (int col = 0; col < 3; ++col) {
            const int x = col * 98, y = i * 76;
            c.RoundRect(x, y, x + 98, y + 76, 4,
                        col == 0 ? 0xE8E0D0 : (col == 1 ? 0xFFD98A : theme::kAccent));
            c.BlitScaled(picture.colour, x + 3, y + 3, 92, 70);
            if (col == 1) c.Recolour(x + 3, y + 3, x + 95, y + 73, [](Rgb v) { return Shade(v, 125); });
            if (col == 2) c.Recolour(x + 3, y + 3, x + 95, y + 73, [](Rgb v) { return Shade(v, 70); });
        }
    }
}

void PaintGalleryEnd(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), 0x151A2A);
    c.RoundRect(100, 2, c.Width() - 2, c.Height() - 2, 12, theme::kGold);
    c.RoundRect(102, 4, c.Width() - 4, c.Height() - 4, 11, 0x1E2A46);
    c.CentredText(248, 100, "THE LAST PAGE", 2, theme::kGold, theme::kShadow);
    c.CentredText(248, 140, "More memories are", 1, theme::kCream, theme::kShadow);
    c.CentredText(248, 156, "waiting on the hill.", 1, theme::kCream, theme::kShadow);
    c.NameTag(a.name, c.Width() - 8, c.Height() - 18);
}

void PaintSceneList(Picture& p, const Asset& a) {
    SceneListBackground(p.colour, a.param);
    p.colour.NameTag(a.name, 636, 4);
}

void PaintSceneButtons(Picture& p, const Asset& a) {
    const int page = a.param;
    const ScenePage& sp = kScenePages[static_cast<std::size_t>(page)];
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), theme::kPlate);
    // A number the story never marks has no scene to name: its rows repeat the background's entry, so
    // that it looks unseen whatever the save data says.
    Canvas list(640, 480, 0);
    SceneListBackground(list, page);
    static const State kStates[3] = {State::Normal, State::Hover, State::Pressed};
    for (int i = 0; i < sp.count; ++i) {
        const Rect r = SceneItem(page, i);
        const int y = SceneArtY(page, i), scene = sp.first + i;
        const char* title = SceneTitleOf(scene);
        for (int col = 0; col < 3; ++col) {
            const int x = col * sp.columnWidth;
            if (title)
                SceneButton(c, {x, y, x + r.Width(), y + r.Height()}, Two(scene + 1) + " " + title,
                            kStates[col]);
            else
                c.Blit(list, r.left, r.top, r.Width(), r.Height(), x, y);
        }
    }
    Button(c, {0, sp.backArtY, 112, sp.backArtY + 38}, "BACK", State::Hover);
    Button(c, {112, sp.backArtY, 224, sp.backArtY + 38}, "BACK", State::Pressed);
    c.NameTag(a.name, c.Width() - 4, c.Height() - 14);
}

void PaintSoundRoom(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    MenuBackdrop(c, 0x1E3E4E, 0x101822);
    Heading(c, 24, 14, "SOUND ROOM", 3);
    for (int t = 0; t < kTrackCount; ++t)
        TrackBand(c, SoundTrack(t), t, false);
    Plate(c, {2, 118, 242, 158});
    for (int b : {kPrev, kNext, kPlay}) {
        const Rect& r = kSoundButtons[static_cast<std::size_t>(b)];
        c.Blit(TransportButton(b, State::Normal), 0, 0, r.Width(), r.Height(), r.left, r.top, true);
    }
    Button(c, kSoundButtons[kBack], kSoundLabels[kBack], State::Normal, 2);
    c.ShadowText(24, 200, "Choose a track,", 1, theme::kCream, theme::kShadow);
    c.ShadowText(24, 212, "then press PLAY.", 1, theme::kCream, theme::kShadow);
    c.NameTag(a.name, 636, 466);
}

void PaintSoundRoomArt(Picture& p, const Asset& a) {
    Canvas& c = p.colour;
    c.FillRect(0, 0, c.Width(), c.Height(), kKey);
    for (int t = 0; t < kTrackCount; ++t)
        TrackBand(c, {0, 26 * t, 274, 26 * t + 26}, t, true);
    for (int b : {kPrev, kPlay, kNext}) {
        const std::size_t i = static_cast<std::size_t>(b);
        for (const auto& [state, at] :
             {std::pair{State::Hover, kSoundHoverArt[i]}, std::pair{State::Pressed, kSoundPressedArt[i]}})
            c.Blit(TransportButton(b, state), 0, 0, at.Width(), at.Height(), at.left, at.top);
    }
    Button(c, kSoundHoverArt[kBack], kSoundLabels[kBack], State::Hover, 2);
    Button(c, kSoundPressedArt[kBack], kSoundLabels[kBack], State::Pressed, 2);
    c.NameTag(a.name, 470, 4);
}
} // namespace demo
