// The extras' art as the demo draws it, read back through the program's own picture reader: the scene
// list's titles fit their buttons in every state; in the sound room PREV, PLAY and NEXT, whose
// rectangles overlap, each keep their label whole whichever of them is hovered or pressed.
#include "tools/mkdemo/DemoWriter.h"
#include "tools/mkdemo/Layouts.h"
#include "tools/mkdemo/SceneTitles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {
using demo::Rect;

// The ink of a label: the lightest pixels of a button (its plates, borders and glow are darker).
bool Ink(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) >= 0xD0 && (rgb >> 8 & 0xFF) >= 0xD0 && (rgb & 0xFF) >= 0xD0;
}
int InkIn(const demo::DecodedPicture& p, const Rect& r) {
    int ink = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ink += Ink(p.At(x, y));
    return ink;
}

// Each titled scene's button in the list's sheet, normal, hovered and pressed: its title is there and
// stays clear of the button's right edge, where a longer one would run into the border or be cut.
TEST(SceneListArt, TitlesFitTheirButtonsInEveryState) {
    static const char* const kStates[3] = {"normal", "hovered", "pressed"};
    for (const demo::SceneTitle& t : demo::kSceneTitles) {
        std::size_t page = 0;
        while (page + 1 < demo::kScenePages.size() && t.scene >= demo::kScenePages[page + 1].first)
            ++page;
        const demo::ScenePage& sp = demo::kScenePages[page];
        char sheet[8];
        std::snprintf(sheet, sizeof sheet, "sg%03d", 55 + 2 * static_cast<int>(page));
        const demo::DecodedPicture p = demo::DecodeCataloguePicture(sheet);
        ASSERT_FALSE(p.rgb.empty()) << sheet;
        const int item = t.scene - sp.first, y = demo::SceneArtY(static_cast<int>(page), item);
        const int width = demo::SceneItem(static_cast<int>(page), item).Width();
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(std::string(t.title) + ", " + kStates[column]);
            const int x = column * sp.columnWidth;
            EXPECT_GT(InkIn(p, {x, y, x + width, y + 20}), 0) << "no title";
            EXPECT_EQ(InkIn(p, {x + width - 3, y, x + width, y + 20}), 0) << "the title reaches the edge";
        }
    }
}

// PREV, PLAY and NEXT in the sound room: the background with, in turn, nothing and each button's hover
// and pressed art over it, as the room keys its sheet. In every picture each other button's label reads
// as on its own art, pixel for pixel wherever that art is drawn.
TEST(SoundRoomArt, TransportLabelsReadWholeInEveryState) {
    enum { kPrev, kPlay, kNext };
    static const char* const kNames[3] = {"PREV", "PLAY", "NEXT"};
    const struct Row {
        const char* name;
        int button;      // -1: none hovered or pressed
        const Rect* art; // its art in the sheet
    } rows[] = {
        {"nothing hovered", -1, nullptr},
        {"PREV hovered", kPrev, &demo::kSoundHoverArt[kPrev]},
        {"PREV pressed", kPrev, &demo::kSoundPressedArt[kPrev]},
        {"PLAY hovered", kPlay, &demo::kSoundHoverArt[kPlay]},
        {"PLAY pressed", kPlay, &demo::kSoundPressedArt[kPlay]},
        {"NEXT hovered", kNext, &demo::kSoundHoverArt[kNext]},
        {"NEXT pressed", kNext, &demo::kSoundPressedArt[kNext]},
    };
    const demo::DecodedPicture room = demo::DecodeCataloguePicture("sg060");
    const demo::DecodedPicture sheet = demo::DecodeCataloguePicture("sg061");
    ASSERT_FALSE(room.rgb.empty());
    ASSERT_FALSE(sheet.rgb.empty());
    const std::uint32_t key = sheet.At(sheet.width - 1, sheet.height - 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        demo::DecodedPicture screen = room;
        if (row.art) {
            const Rect& at = demo::kSoundButtons[static_cast<std::size_t>(row.button)];
            for (int y = 0; y < row.art->Height(); ++y)
                for (int x = 0; x < row.art->Width(); ++x)
                    if (const std::uint32_t c = sheet.At(row.art->left + x, row.art->top + y); c != key)
                        screen.rgb[static_cast<std::size_t>(at.top + y) * screen.width + at.left + x] = c;
        }
        for (int b : {kPrev, kPlay, kNext}) {
            if (b == row.button) continue;
            const Rect& r = demo::kSoundButtons[static_cast<std::size_t>(b)];
            const Rect& own = demo::kSoundHoverArt[static_cast<std::size_t>(b)];
            int ink = 0, differing = 0;
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) {
                    const std::uint32_t a = sheet.At(own.left + x, own.top + y);
                    if (a == key) continue;
                    ink += Ink(a);
                    differing += Ink(a) != Ink(screen.At(r.left + x, r.top + y));
                }
            EXPECT_GT(ink, 0) << kNames[b] << " has no label";
            EXPECT_EQ(differing, 0) << kNames[b] << "'s label";
        }
    }
}
} // namespace
