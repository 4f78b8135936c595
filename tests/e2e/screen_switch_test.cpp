// Switching between windowed and full screen (Alt+Enter) keeps every screen as it looked and as it
// answers. Each journey of the whole program visits screens of the demo game and, on each, switches to
// full screen and back (the timeline's `switch`), then goes on playing; the same journey is replayed
// without the switches, and every shot of the two runs must be the same picture, pixel for pixel.
//
// A switch stops a running transition or slide at once, so the page after it starts sooner: the shot
// NAME_during, taken just before such a switch, must differ from NAME_settled, taken once the page has
// settled in both runs, which is compared but for the turn of the click-wait icon.
#include "ReplayShots.h"
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {
struct Journey {
    const char* name; // the timeline tests/e2e/NAME.timeline
    bool movie;       // the opening movie on (else the studio logo)
    bool scenario;    // false: "main.sct" is missing, and START ends in the error report
};
const Journey kJourneys[] = {
    {"switch_story", true, true},
    {"switch_logo", false, true},
    {"switch_error", true, false},
};

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The click-wait icon of the message window.
bool InIcon(int x, int y) {
    return x >= 586 && x < 602 && y >= 450 && y < 466;
}

int DifferingPixels(const e2e::Png& a, const e2e::Png& b, bool besideIcon) {
    if (a.width != b.width || a.height != b.height || a.width == 0) return -1;
    int differing = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            differing += !(besideIcon && InIcon(x, y)) && a.At(x, y) != b.At(x, y);
    return differing;
}

// The shots a replay printed, in order, with the display each was taken on.
std::vector<std::pair<std::string, std::string>> ShotsTaken(const std::string& log) {
    std::vector<std::pair<std::string, std::string>> shots;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        // "shot NAME PATH at TIME ms DISPLAY"
        std::string shot, name, path, at, time, ms, display;
        if (words >> shot >> name >> path >> at >> time >> ms >> display && shot == "shot")
            shots.emplace_back(name, display);
    }
    return shots;
}

class ScreenSwitch : public e2e::DemoReplayTest<std::tuple<Journey, const char*>> {
  protected:
    // Plays `timeline` on a fresh copy of the game set up for the journey; the shots go under the build
    // folder, what the replay printed to the returned log.
    std::string Play(const std::string& run, const std::string& timeline) {
        const auto& [journey, depth] = GetParam();
        const std::string game = s_Dir->File(run);
        EXPECT_TRUE(e2e::CopyGame(s_Dir->File("game"), game));
        if (!journey.movie) {
            std::string ini = fixtures::ReadFileText(game + "/Quorin.ini");
            ini.replace(ini.find("MovieSwitch=1"), 13, "MovieSwitch=0");
            EXPECT_TRUE(fixtures::WriteFileText(game + "/Quorin.ini", ini));
        }
        if (!journey.scenario) {
            EXPECT_TRUE(std::filesystem::remove(game + "/main.sct"));
        }
        const std::string log = s_Dir->File(run + ".log");
        EXPECT_TRUE(e2e::RunReplay(depth, game, timeline, Out(run), log)) << run;
        // Only the journey without its scenario stops on an error.
        EXPECT_EQ(std::filesystem::exists(game + "/errmes.log"), !journey.scenario)
            << fixtures::ReadFileText(game + "/errmes.log");
        return log;
    }
    std::string Out(const std::string& run) const {
        const auto& [journey, depth] = GetParam();
        return std::string(QUORIN_BINARY_DIR) + "/e2e/" + journey.name + "-" + depth + "-" + run;
    }
};

TEST_P(ScreenSwitch, EveryScreenLooksAndAnswersAsWithoutTheSwitch) {
    const Journey& journey = std::get<0>(GetParam());
    const std::string timeline = std::string(QUORIN_SOURCE_DIR) + "/tests/e2e/" + journey.name + ".timeline";
    // The same journey without its switches.
    std::ifstream in(timeline);
    std::string plainText;
    int switches = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string time, event;
        words >> time >> event;
        if (event == "switch")
            ++switches;
        else
            plainText += line + "\n";
    }
    ASSERT_GT(switches, 0);
    const std::string plainTimeline = s_Dir->File("plain.timeline");
    ASSERT_TRUE(fixtures::WriteFileText(plainTimeline, plainText));

    const auto switched = ShotsTaken(Play("switched", timeline));
    const auto plain = ShotsTaken(Play("plain", plainTimeline));
    ASSERT_EQ(switched.size(), plain.size());
    ASSERT_FALSE(switched.empty());
    // The shots around each stopped transition, kept for the check below.
    std::map<std::string, e2e::Png> transitionShots;
    for (std::size_t i = 0; i < switched.size(); ++i) {
        const auto& [name, display] = switched[i];
        SCOPED_TRACE(name);
        ASSERT_EQ(name, plain[i].first);
        // NAME_full is taken after the first switch of a pair, on the full screen; every other shot windowed.
        EXPECT_EQ(display, EndsWith(name, "_full") ? "full-screen" : "windowed");
        EXPECT_EQ(plain[i].second, "windowed");
        const e2e::Png shot = e2e::ReadPng(Out("switched") + "/" + name + ".png");
        const e2e::Png before = e2e::ReadPng(Out("plain") + "/" + name + ".png");
        if (EndsWith(name, "_during") || EndsWith(name, "_settled")) transitionShots[name] = before;
        EXPECT_EQ(DifferingPixels(shot, before, EndsWith(name, "_settled")), 0)
            << "pixels unlike the plain run";
    }
    // Each stopped transition was really under way when the switch came.
    for (const auto& [name, shot] : transitionShots) {
        if (!EndsWith(name, "_during")) continue;
        const std::string settled = name.substr(0, name.size() - 7) + "_settled";
        ASSERT_TRUE(transitionShots.count(settled)) << settled;
        EXPECT_GT(DifferingPixels(shot, transitionShots[settled], true), 0) << name << " shows no transition";
    }
}

INSTANTIATE_TEST_SUITE_P(Journeys, ScreenSwitch,
                         ::testing::Combine(::testing::ValuesIn(kJourneys), ::testing::Values("32", "16")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_Bits" +
                                    std::get<1>(info.param);
                         });
} // namespace
