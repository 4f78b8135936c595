// The whole program on the demo game, headless, in each pixel format: quorin-replay plays
// game.timeline (the opening movie, the title, name entry, the config panel, the story with the
// backlog, the bar, the status panel, a save, skipping, the costume choice, the choice grid, the
// fireworks and the staff roll, the extras, a second start with a load and auto mode, the return to the
// title), logo.timeline (the start with the movie switched off), and save.timeline then load.timeline
// (the bar's panels over the game and a save; the program closes and starts again on the same folder and
// loads it). At each checkpoint the picture is checked by pixel samples against the pictures the demo
// drew and the sound by what the mixer plays.
#include "ReplayShots.h"
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
using e2e::Png;
using e2e::ReadPng;

struct Point {
    int x, y;
};
struct Box {
    int left, top, right, bottom;
};
// What a checkpoint shows: a picture of the demo unchanged at `same`, something drawn over it near
// `over`, and pixels of `colour` somewhere in `box` (text, or the movie's background).
struct Look {
    const char* picture = nullptr;
    std::vector<Point> same, over;
    unsigned colour = 0;
    Box box{};
};
// What the mixer plays: the music at `music` (a volume; kNone for no music), the opening movie's sound,
// sounds of the demo by name, sounds that must not play, and whether anything is heard at all.
constexpr int kNone = 1;
struct Listen {
    int music = kNone;
    bool movie = false;
    std::vector<const char*> playing, silent;
    bool audible = true;
};
// A part of a keyed sheet of the demo drawn on screen at `at`: its pixels but the key colour's.
struct Inset {
    const char* picture = nullptr;
    Box part{};
    Point at{};
};
struct Checkpoint {
    const char* shot;
    Look look;
    Listen listen;
    // An earlier shot this one repeats pixel for pixel, but for the click-wait icon's animation.
    const char* sameAs = nullptr;
    Inset inset{};
};

// The text box of the message window, the points of a backdrop clear of the window, the cursor, the
// calendar and the pictures' name tags, and the demo's music levels (3 at first, 4 after the config).
constexpr Box kTextBox = {46, 382, 590, 462};
bool InIcon(int x, int y) {
    return x >= 586 && x < 602 && y >= 450 && y < 466;
}
constexpr unsigned kWhite = 0xFFFFFF, kBacklogText = 0x34FED6, kKanaName = 0xFFAAC8, kMovieSky = 0x3A2A5A;
constexpr int kMusic3 = -650, kMusic4 = 0;
const std::vector<Point> kOpen = {{200, 150}, {600, 200}, {500, 400}, {450, 60}};
const std::vector<Point> kBeside = {{600, 200}, {40, 250}, {560, 300}};
// The calendar's band with the month, at the top left, and its time of day when it says EVE.
constexpr Inset kCalendarMonth = {"sg025", {0, 0, 124, 18}, {2, 0}};
constexpr Inset kCalendarEvening = {"sg025", {260, 82, 306, 100}, {40, 76}};

const Checkpoint kGame[] = {
    {"movie", {nullptr, {}, {}, kMovieSky, {560, 260, 640, 300}}, {kNone, true}},
    {"title", {"sg017", kOpen}, {kMusic3}},
    {"names", {"sg019", {{600, 60}, {60, 430}}, {}, kWhite, {212, 144, 404, 176}}, {kMusic3}},
    {"config", {"sg010", {{600, 40}, {372, 133}}, {{431, 133}}}, {kMusic4}},
    {"hill",
     {"bg_hill", {{320, 100}, {600, 200}}, {{60, 50}}, kWhite, kTextBox},
     {kMusic4, false, {"se_wind"}}},
    {"aoi", {"bg_hill", kBeside, {{320, 150}}, kWhite, kTextBox}, {kMusic4, false, {"se_wind"}}},
    {"backlog", {"bg_hill", kBeside, {{320, 150}}, kBacklogText, kTextBox}, {kMusic4, false, {"se_wind"}}},
    {"hidden", {"bg_hill", {{80, 392}, {560, 440}, {600, 200}}}, {kMusic4, false, {"se_wind"}}},
    {"bar", {"bg_hill", {{600, 200}}, {{157, 18}, {343, 18}}}, {kMusic4, false, {"se_wind"}}},
    // An open panel holds the loop sound effects back.
    {"status", {"sg040", {{40, 200}, {600, 300}}, {{180, 300}}}, {kMusic4, false, {}, {"se_wind"}}},
    // Kana's page in the classroom, in a block the story called, and the save there.
    // The calendar shows the month whose day the save list names.
    {"before_save",
     {"bg_school", {{600, 300}}, {{320, 150}}, kKanaName, {54, 344, 174, 370}},
     {kMusic4},
     nullptr,
     kCalendarMonth},
    {"save_menu", {"sg013", {{40, 300}, {620, 300}}, {{70, 80}}}, {kMusic4}},
    // After school the choice is offered in the classroom in the evening light, the calendar at EVE.
    {"choice",
     {"bg_school_ev", {{600, 300}}, {{540, 175}, {540, 225}}},
     {kNone, false, {"se_chime"}},
     nullptr,
     kCalendarEvening},
    {"costume", {"sg035", {{620, 300}}, {{320, 200}}}, {kMusic4}},
    {"grid", {"sg030", {{30, 200}, {620, 300}}, {{359, 261}}}, {kMusic4, false, {"se_festival", "se_wind"}}},
    {"picks",
     {"sg030", {{30, 200}}, {{213, 70}, {312, 70}, {411, 70}}},
     {kMusic4, false, {"se_festival", "se_wind", "Se001"}}},
    {"fireworks", {"bg_fireworks", {{30, 250}, {620, 250}}, {{150, 176}}}, {kMusic4, false, {"se_firework"}}},
    {"ending", {"ed000", kOpen}, {kMusic4}},
    {"title_again", {"sg017", kOpen}, {kMusic4}},
    {"extras", {"sg050", {{100, 100}, {600, 420}}}, {kMusic4}},
    {"gallery", {"sg052", {{100, 300}}, {{282, 45}, {282, 435}}}, {kMusic4}},
    {"cg", {"at003a", kOpen}, {kMusic4}},
    {"scenes", {"sg054", {{100, 300}, {345, 400}}, {{345, 48}, {345, 180}}}, {kMusic4}},
    {"replay", {"bg_street_n", {{600, 300}}, {{320, 150}}, kWhite, kTextBox}, {kMusic4}},
    {"sound_room", {"sg060", {{100, 300}}, {{355, 398}}}, {kMusic4}},
    {"to_title", {"bg_street", {{600, 200}}, {{258, 305}, {382, 305}}}, {kMusic4, false, {"svo0002"}}},
    // The page saved, loaded on a second start; auto mode runs over the read pages to the choice and
    // waits at the first page never read.
    {"load_menu", {"sg015", {{40, 300}, {620, 300}}, {{70, 80}, {300, 50}}}, {kMusic4}},
    {"after_load", {}, {kMusic4}, "before_save"},
    {"auto_choice",
     {"bg_school_ev", {{600, 300}}, {{540, 175}, {540, 225}}},
     {kNone, false, {}, {}, false},
     nullptr,
     kCalendarEvening},
    {"auto_unread", {"bg_street", {{600, 200}}, {}, kWhite, kTextBox}, {kMusic4}},
    {"quit", {"sg017", {{600, 400}}, {{258, 305}}}, {kMusic4}},
};
// The start with the movie switched off: the studio logo in silence, then the title.
const Checkpoint kLogo[] = {
    {"logo", {"sg002", kOpen}, {kNone, false, {}, {}, false}},
    {"logo_title", {"sg017", kOpen}, {kMusic3}},
};
// Aoi's second page on the hill; the bar, its config panel and status panel over it, and the save menu.
// The loop sound effect waits behind each panel.
const Checkpoint kSave[] = {
    {"before_save", {"bg_hill", kBeside, {{320, 150}}, kWhite, kTextBox}, {kMusic3, false, {"se_wind"}}},
    {"bar", {"bg_hill", {{600, 200}}, {{157, 18}, {343, 18}}}, {kMusic3, false, {"se_wind"}}},
    {"config", {"sg010", {{600, 40}, {431, 133}}, {{381, 133}}}, {kMusic3, false, {}, {"se_wind"}}},
    {"status", {"sg040", {{40, 200}, {600, 300}}, {{180, 300}}}, {kMusic3, false, {}, {"se_wind"}}},
    {"save_menu", {"sg013", {{40, 300}, {620, 300}}, {{70, 80}}}, {kMusic3, false, {}, {"se_wind"}}},
};
// The program started again: the load menu holds the save, and the page comes back as it was saved.
const Checkpoint kLoad[] = {
    {"load_menu",
     {"sg015", {{40, 300}, {620, 300}}, {{70, 80}, {300, 50}}},
     {kMusic3, false, {}, {"se_wind"}}},
    {"after_load", {}, {kMusic3, false, {"se_wind"}}, "before_save"},
};

bool Near(unsigned a, unsigned b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

// A line "buffer SIZE CHANNELS RATE playing|stopped looping|once VOLUME" of a .sound file.
struct Buffer {
    unsigned size = 0, channels = 0, rate = 0;
    bool playing = false;
    int volume = 0;
};
struct Heard {
    int level = -1;
    std::vector<Buffer> buffers;
};
Heard ReadSound(const std::string& path) {
    Heard heard;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string kind, state, loop;
        words >> kind;
        Buffer b;
        if (kind == "level") words >> heard.level;
        if (kind == "buffer" && words >> b.size >> b.channels >> b.rate >> state >> loop >> b.volume) {
            b.playing = state == "playing";
            heard.buffers.push_back(b);
        }
    }
    return heard;
}

// The bytes of sound a WAVE entry of the demo holds: the size of the buffer that plays it whole.
unsigned WaveDataSize(const std::string& name) {
    for (const demo::Asset& a : demo::Catalogue()) {
        if (a.name != name || a.kind != demo::Kind::Sound) continue;
        const demo::Bytes wave = a.build(a);
        for (std::size_t at = 12; at + 8 <= wave.size();) {
            const unsigned size = wave[at + 4] | wave[at + 5] << 8 | wave[at + 6] << 16 | wave[at + 7] << 24u;
            if (std::memcmp(&wave[at], "data", 4) == 0) return size;
            at += 8 + size + (size & 1);
        }
    }
    return 0;
}

// The demo's streamed music and the movie's sound play through buffers of two seconds.
bool IsMusic(const Buffer& b) {
    return b.playing && b.size == 352800 && b.channels == 1 && b.rate == 22050;
}
bool IsMovieSound(const Buffer& b) {
    return b.playing && b.size == 352800 && b.channels == 2 && b.rate == 44100;
}
bool IsPlaying(const Heard& heard, const std::string& name) {
    const unsigned size = WaveDataSize(name);
    for (const Buffer& b : heard.buffers)
        if (b.playing && b.channels == 1 && b.size == size) return true;
    return false;
}

class GameReplay : public e2e::DemoReplayTest<const char*> {
  protected:
    // Plays the timeline on a fresh copy of the demo game (with the movie or not), or on the copy an
    // earlier replay of `onGameOf` left as it was; the shots go under the build folder.
    std::string Replay(const std::string& timeline, bool movie, const std::string& onGameOf = "") {
        const std::string depth = GetParam(), name = timeline + "-" + depth;
        const bool fresh = onGameOf.empty();
        const std::string game = s_Dir->File(fresh ? name : onGameOf + "-" + depth);
        if (fresh) std::filesystem::copy(s_Dir->File("game"), game, std::filesystem::copy_options::recursive);
        if (fresh && !movie) {
            std::string ini = fixtures::ReadFileText(game + "/Quorin.ini");
            ini.replace(ini.find("MovieSwitch=1"), 13, "MovieSwitch=0");
            EXPECT_TRUE(fixtures::WriteFileText(game + "/Quorin.ini", ini));
        }
        const std::string out = std::string(QUORIN_BINARY_DIR) + "/e2e/" + name;
        EXPECT_TRUE(e2e::RunReplay(
            depth, game, std::string(QUORIN_SOURCE_DIR) + "/tests/e2e/" + timeline + ".timeline", out))
            << timeline;
        EXPECT_FALSE(std::filesystem::exists(game + "/errmes.log"))
            << fixtures::ReadFileText(game + "/errmes.log");
        return out;
    }

    // `earlier` is where the shot that `c` repeats was kept, by default with it.
    void Check(const std::string& out, const Checkpoint& c, std::string earlier = "") {
        if (earlier.empty()) earlier = out;
        SCOPED_TRACE(c.shot);
        const Png shot = ReadPng(out + "/" + c.shot + ".png");
        ASSERT_EQ(shot.width, 640);
        const int tolerance = std::string(GetParam()) == "555" || std::string(GetParam()) == "16" ? 8 : 0;
        if (c.look.picture) {
            const demo::DecodedPicture& picture = Picture(c.look.picture);
            ASSERT_EQ(picture.width, 640) << c.look.picture;
            for (auto [x, y] : c.look.same)
                EXPECT_TRUE(Near(shot.At(x, y), picture.At(x, y), tolerance))
                    << "same at " << x << "," << y << ": " << std::hex << shot.At(x, y) << " for "
                    << picture.At(x, y);
            // Something drawn over the picture differs from it somewhere around the point.
            for (auto [x, y] : c.look.over) {
                bool drawn = false;
                for (int dy = -4; dy <= 4; ++dy)
                    for (int dx = -4; dx <= 4; ++dx)
                        drawn = drawn || !Near(shot.At(x + dx, y + dy), picture.At(x + dx, y + dy), 24);
                EXPECT_TRUE(drawn) << "over at " << x << "," << y;
            }
        }
        if (c.look.box.right > c.look.box.left) {
            bool found = false;
            for (int y = c.look.box.top; y < c.look.box.bottom && !found; ++y)
                for (int x = c.look.box.left; x < c.look.box.right && !found; ++x)
                    found = Near(shot.At(x, y), c.look.colour, c.look.picture ? tolerance : 24);
            EXPECT_TRUE(found) << "colour " << std::hex << c.look.colour;
        }

        if (c.inset.picture) {
            const demo::DecodedPicture& sheet = Picture(c.inset.picture);
            int differing = 0;
            for (int y = c.inset.part.top; y < c.inset.part.bottom; ++y)
                for (int x = c.inset.part.left; x < c.inset.part.right; ++x) {
                    const unsigned art = sheet.At(x, y);
                    const int sx = c.inset.at.x + x - c.inset.part.left,
                              sy = c.inset.at.y + y - c.inset.part.top;
                    differing += art != 0xFF00FF && !Near(shot.At(sx, sy), art, tolerance);
                }
            EXPECT_EQ(differing, 0) << "pixels unlike " << c.inset.picture;
        }

        if (c.sameAs) {
            const Png before = ReadPng(earlier + "/" + c.sameAs + ".png");
            ASSERT_EQ(before.width, 640);
            int differing = 0;
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x)
                    differing += !InIcon(x, y) && shot.At(x, y) != before.At(x, y);
            EXPECT_EQ(differing, 0) << "pixels unlike " << c.sameAs;
        }

        const Heard heard = ReadSound(out + "/" + c.shot + ".sound");
        const Listen& l = c.listen;
        EXPECT_EQ(heard.level > 500, l.audible) << "level " << heard.level;
        int music = kNone;
        bool movie = false;
        for (const Buffer& b : heard.buffers) {
            if (IsMusic(b)) music = b.volume;
            movie = movie || IsMovieSound(b);
        }
        EXPECT_EQ(music, l.music) << "the music's volume";
        EXPECT_EQ(movie, l.movie) << "the movie's sound";
        for (const char* name : l.playing)
            EXPECT_TRUE(IsPlaying(heard, name)) << name << " plays";
        for (const char* name : l.silent)
            EXPECT_FALSE(IsPlaying(heard, name)) << name << " is held back";
    }

    static const demo::DecodedPicture& Picture(const std::string& name) {
        static std::map<std::string, demo::DecodedPicture> pictures;
        if (!pictures.count(name)) pictures[name] = demo::DecodeCataloguePicture(name);
        return pictures[name];
    }
};

TEST_P(GameReplay, ThroughTheWholeGame) {
    const std::string out = Replay("game", true);
    for (const Checkpoint& c : kGame)
        Check(out, c);
}

TEST_P(GameReplay, StartsWithTheLogoWhenTheMovieIsOff) {
    const std::string out = Replay("logo", false);
    for (const Checkpoint& c : kLogo)
        Check(out, c);
}

TEST_P(GameReplay, SavesClosesStartsAgainAndLoads) {
    const std::string saved = Replay("save", true);
    for (const Checkpoint& c : kSave)
        Check(saved, c);
    const std::string loaded = Replay("load", true, "save");
    for (const Checkpoint& c : kLoad)
        Check(loaded, c, saved);
}

INSTANTIATE_TEST_SUITE_P(Depths, GameReplay, ::testing::Values("32", "24", "16", "555"),
                         [](const auto& info) { return std::string("Bits") + info.param; });
} // namespace
