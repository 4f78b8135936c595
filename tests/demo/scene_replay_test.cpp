// The scene replay of the demo's extras: each scene the story marks as seen has a title in the scene
// list and replays from "scene.sct" as the extras run it (the scene's number stored, a new game scene
// on the script, a click at each click wait until it ends), in the place its title names, with its
// music and its people, saying the story's own lines with the story's voices. A number the story never
// marks plays nothing.
#include "DemoSceneFixture.h"
#include "platform/text_encoding.h"
#include "tools/mkdemo/SceneTitles.h"
#include "tools/mkdemo/Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {
using demo_test::kKanaName;
using demo_test::kOtherNames;

struct ReplayRow {
    const char* name;
    int scene;
    const char* titleWord; // the list's title names the scene with it
    const char* background;
    const char* music;
    std::set<std::string> speakers; // "#sn" for the player
};

// Scenes by the story's own mark of each, in scenario/main.txt.
std::set<int> ScenesTheStoryMarks() {
    std::set<int> scenes;
    const std::string story = demo::kMainScenario;
    const std::regex mark(R"(cmd 204, 1, =(\d+))");
    for (std::sregex_iterator m(story.begin(), story.end(), mark), end; m != end; ++m)
        scenes.insert(std::stoi((*m)[1]));
    return scenes;
}

const std::vector<ReplayRow> kSeenScenes = {
    {"Prologue", 0, "HILL", "bg_hill", "bgm03", {"葵"}},
    {"Park", 1, "PARK", "bg_park", "bgm05", {"葵"}},
    {"Festival", 6, "FESTIVAL", "bg_street_n", "bgm12", {"陽菜"}},
    {"ShoppingStreet", 38, "STREET", "bg_street", "bgm06", {"香奈", "#sn"}},
    {"Night", 63, "NIGHT", "bg_room", "bgm07", {}},
};

class SceneReplay : public demo_test::DemoSceneFixture {
  protected:
    struct Wait {
        std::string speaker, background, music;
        std::tuple<int, int, int> nameColour;
    };
    // Plays scene `number` from the replay script to its end, clicking at each click wait, and
    // returns what each click wait showed; `finished` tells whether it ended within a minute.
    std::vector<Wait> Replay(int number, bool* finished) {
        SetReplaySceneNo(static_cast<DWORD>(number));
        NewScene("scene.sct");
        std::vector<Wait> waits;
        for (int frame = 0; frame < 60 * 25 && !scene->IsFinished() && !IsErrorStop(); ++frame) {
            Frame(40);
            if (!AtClickWait()) continue;
            const CMessageWindow& window = *scene->GetMessageWindow();
            Wait w;
            w.speaker = platform::SjisToUtf8(window.GetSpeakerName());
            window.GetNameColor(&std::get<0>(w.nameColour), &std::get<1>(w.nameColour),
                                &std::get<2>(w.nameColour));
            w.background = Background();
            char music[64] = {};
            w.music = g_pSoundManager->GetBGMName(music) ? music : "";
            waits.push_back(w);
            Click({320, 400});
        }
        *finished = scene->IsFinished();
        EXPECT_FALSE(IsErrorStop());
        EXPECT_FALSE(std::filesystem::exists(game->File("errmes.log")))
            << fixtures::ReadFileText(game->File("errmes.log"));
        return waits;
    }
};

class SeenSceneReplay : public SceneReplay, public ::testing::WithParamInterface<ReplayRow> {};

TEST_P(SeenSceneReplay, ShowsThePlaceItsTitleNamesWithItsMusicAndPeople) {
    const ReplayRow& row = GetParam();
    const char* title = demo::SceneTitleOf(row.scene);
    ASSERT_NE(title, nullptr);
    EXPECT_NE(std::string(title).find(row.titleWord), std::string::npos) << title;

    bool finished = false;
    const std::vector<Wait> waits = Replay(row.scene, &finished);
    EXPECT_TRUE(finished);
    ASSERT_FALSE(waits.empty()) << "nothing to read";
    const std::string player = platform::SjisToUtf8(g_pSaveData->GetGivenName());
    std::set<std::string> speakers;
    for (const Wait& w : waits) {
        SCOPED_TRACE(w.speaker);
        EXPECT_EQ(w.background, row.background);
        EXPECT_EQ(w.music, row.music);
        if (w.speaker.empty()) continue;
        speakers.insert(w.speaker == player ? "#sn" : w.speaker);
        EXPECT_EQ(w.nameColour, w.speaker == "香奈" ? kKanaName : kOtherNames) << "the name plate";
    }
    EXPECT_EQ(speakers, row.speakers);
}

INSTANTIATE_TEST_SUITE_P(Scenes, SeenSceneReplay, ::testing::ValuesIn(kSeenScenes),
                         [](const auto& info) { return std::string(info.param.name); });

// The rows above are the story's scenes, no more and no fewer, and the list titles exactly those.
TEST(SceneTitles, NameEveryMarkedSceneOnceAndNoOther) {
    std::set<int> titled, rows;
    std::set<std::string> titles;
    for (const demo::SceneTitle& t : demo::kSceneTitles) {
        titled.insert(t.scene);
        EXPECT_TRUE(titles.insert(t.title).second) << "two scenes called " << t.title;
    }
    for (const ReplayRow& row : kSeenScenes)
        rows.insert(row.scene);
    EXPECT_EQ(titled, ScenesTheStoryMarks());
    EXPECT_EQ(rows, ScenesTheStoryMarks());
}

// A number the story never marks: the replay ends at once, the curtain still up, with nothing said.
TEST_F(SceneReplay, PlaysNothingForASceneTheStoryNeverMarks) {
    for (int number : {2, 37, 62, 79}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(ScenesTheStoryMarks().count(number), 0u);
        bool finished = false;
        EXPECT_TRUE(Replay(number, &finished).empty());
        EXPECT_TRUE(finished);
        EXPECT_EQ(Background(), "sg001");
    }
}

// What a script says, line by line: each literal text with the speaker and the voice of its page.
struct Said {
    std::string speaker, voice, text;
};
std::vector<Said> Lines(const std::string& source) {
    const std::regex page(R"(^\s*cmd 2, 6\b)"), keepName(R"(^\s*cmd 2, 1\b)"), noName(R"(^\s*cmd 2, 5\b)"),
        name(R"(^\s*cmd 2, 4, "([^"]*)\")"), voice(R"(^\s*(cmd 20, (?:4|14), [^;]*?)\s*(;.*)?$)"),
        text(R"(^\s*cmd 2, 0, "([^"]*)\")");
    std::vector<Said> said;
    std::string speaker, spoken;
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, page)) speaker.clear(), spoken.clear();
        if (std::regex_search(line, keepName)) spoken.clear();
        if (std::regex_search(line, noName)) speaker.clear();
        if (std::regex_search(line, m, name)) speaker = m[1];
        if (std::regex_search(line, m, voice)) spoken = m[1];
        if (std::regex_search(line, m, text)) {
            said.push_back({speaker, spoken, m[1]});
            spoken.clear();
        }
    }
    return said;
}

// Every line of the replay is a line of the story, said by the same speaker with the same voice.
TEST(SceneReplayScript, QuotesTheStorysOwnLines) {
    const std::vector<Said> story = Lines(demo::kMainScenario), replay = Lines(demo::kSceneScenario);
    EXPECT_GT(replay.size(), 5u);
    for (const Said& line : replay) {
        SCOPED_TRACE(line.text);
        bool found = false;
        for (const Said& s : story)
            found |= s.speaker == line.speaker && s.voice == line.voice &&
                     s.text.find(line.text) != std::string::npos;
        EXPECT_TRUE(found) << "not in the story as " << (line.speaker.empty() ? "narration" : line.speaker)
                           << (line.voice.empty() ? "" : " with " + line.voice);
    }
}
} // namespace
