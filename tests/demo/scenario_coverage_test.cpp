// The demo scenarios use every host command and every text code of the message window at least once,
// so that an edit of the story cannot quietly drop one: both scripts are assembled as mkdemo assembles
// them and read back through the disassembler.
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/ScriptDisassembler.h"
#include "tools/mkdemo/DemoCatalogue.h"
#include "tools/mkdemo/Scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <utility>

namespace {
struct HostCommand {
    int group, sub;
    const char* name;
};
// Every host command the game scene carries out.
constexpr HostCommand kHostCommands[] = {
    {0, 0, "index check"},
    {0, 1, "call block"},
    {0, 10, "watch a variable"},
    {0, 11, "stop watching"},
    {1, 0, "copy text"},
    {1, 1, "append text"},
    {1, 2, "compare texts"},
    {1, 3, "text length"},
    {1, 4, "part of a text"},
    {1, 5, "text to number"},
    {1, 6, "number to text"},
    {1, 7, "number to full-width text"},
    {2, 0, "text"},
    {2, 1, "new page"},
    {2, 2, "add a choice"},
    {2, 3, "show the choices"},
    {2, 4, "speaker name"},
    {2, 5, "clear the speaker name"},
    {2, 6, "new page without name"},
    {2, 7, "show the window"},
    {2, 8, "hide the window"},
    {2, 9, "font size"},
    {2, 10, "text colour"},
    {2, 11, "name colour"},
    {2, 12, "player's name"},
    {3, 0, "random number"},
    {3, 1, "shuffle"},
    {3, 2, "next shuffled number"},
    {3, 3, "free the shuffle"},
    {5, 0, "wait"},
    {5, 1, "set a timer"},
    {5, 2, "wait for a timer"},
    {5, 3, "end the scenario"},
    {5, 4, "nothing"},
    {5, 5, "wait or click"},
    {10, 0, "load hidden"},
    {10, 1, "show"},
    {10, 2, "hide"},
    {10, 3, "remove"},
    {10, 4, "load shown"},
    {10, 5, "hide and remove"},
    {10, 6, "CreatLayer"},
    {10, 7, "DrawLayer"},
    {10, 8, "SetDrawPoint"},
    {10, 9, "SetDrawRect"},
    {10, 10, "DeleteLayer"},
    {10, 11, "change"},
    {10, 12, "load shown with an effect"},
    {10, 13, "remove with an effect"},
    {10, 14, "change with an effect"},
    {10, 15, "select an effect"},
    {10, 16, "show with an effect"},
    {10, 17, "black-out"},
    {10, 18, "black-in"},
    {10, 19, "white-out"},
    {10, 20, "white-in"},
    {10, 21, "show a CG"},
    {10, 22, "freeze the screen"},
    {10, 23, "transition from the frozen screen"},
    {10, 24, "MoveChar"},
    {10, 25, "one-shot effect timing"},
    {10, 26, "change in place"},
    {10, 27, "background reloaded grey"},
    {10, 28, "grey filter"},
    {10, 29, "background reloaded sepia"},
    {10, 30, "sepia filter"},
    {20, 0, "play music"},
    {20, 1, "stop music"},
    {20, 2, "play a sound effect"},
    {20, 3, "stop a sound effect"},
    {20, 4, "voice by name"},
    {20, 5, "stop the voice"},
    {20, 6, "music on or off"},
    {20, 7, "sound effects on or off"},
    {20, 8, "voices on or off"},
    {20, 9, "fade music in"},
    {20, 10, "fade music out"},
    {20, 11, "fade a sound effect in"},
    {20, 12, "fade a sound effect out"},
    {20, 13, "cross-fade music"},
    {20, 14, "voice by number"},
    {200, 0, "weekday"},
    {200, 1, "time of day"},
    {200, 2, "day"},
    {200, 3, "show the calendar"},
    {200, 4, "hide the calendar"},
    {201, 0, "system menu allowed"},
    {201, 1, "effects skipped?"},
    {201, 2, "costume choice"},
    {201, 3, "grid levels"},
    {201, 4, "open the choice grid"},
    {201, 5, "first pick"},
    {201, 6, "second pick"},
    {201, 7, "third pick"},
    {201, 8, "raise a best value"},
    {201, 9, "status values"},
    {203, 0, "quake"},
    {204, 0, "replay scene number"},
    {204, 1, "scene seen"},
};

struct TextCode {
    const char* name;
    const char* pattern; // in the disassembler's quoted texts
};
constexpr TextCode kTextCodes[] = {
    {"family name", "#fn"}, {"given name", "#sn"},
    {"nickname", "#nn"},    {"click wait", "##"},
    {"same line", "#\\+"},  {"timed wait", "#[0-9]"},
    {"page stop", "#[Pp]"}, {"the other page stop", "#[Mm]"},
};

// Both scenarios as the disassembler prints them.
std::string DemoScriptsText() {
    std::string all;
    for (const char* source : {demo::kMainScenario, demo::kSceneScenario}) {
        fixtures::AssembledScript script;
        std::string error, text;
        EXPECT_TRUE(fixtures::AssembleScript(source, &script, &error)) << error;
        EXPECT_TRUE(fixtures::DisassembleScript(script.file, &text, &error)) << error;
        all += text;
    }
    return all;
}

TEST(DemoScenario, UsesEveryHostCommandAndTextCode) {
    const std::string text = DemoScriptsText();
    std::set<std::pair<int, int>> used;
    std::string texts;
    const std::regex command(R"(^\s*(?:cmd|host) (\d+), (\d+))"), quoted(R"(\.str "(.*)\"$)");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, command)) used.emplace(std::stoi(m[1]), std::stoi(m[2]));
        if (std::regex_search(line, m, quoted)) texts += m[1].str() + "\n";
    }
    for (const HostCommand& c : kHostCommands)
        EXPECT_TRUE(used.count({c.group, c.sub})) << c.group << "/" << c.sub << " (" << c.name << ")";
    for (const TextCode& code : kTextCodes)
        EXPECT_TRUE(std::regex_search(texts, std::regex(code.pattern))) << code.name;
}

// A voice that is not in the archive plays nothing and says nothing: every voice the scenarios name,
// by name or by speaker and number, is in the demo's voice archive.
TEST(DemoScenario, NamesOnlyVoicesTheArchiveHolds) {
    static const char* const kSpeakers[] = {"ka", "hi", "ao", "mo", "jo"};
    std::set<std::string> voices;
    for (const demo::Asset& a : demo::Catalogue())
        if (a.archive == demo::Archive::Voice) voices.insert(a.name);
    const std::regex byNumber(R"(cmd 20, 14, =(\d), =(\d+))"), byName(R"re(cmd 20, 4, "(\w+)")re");
    int named = 0;
    for (const char* source : {demo::kMainScenario, demo::kSceneScenario}) {
        const std::string text = source;
        for (std::sregex_iterator m(text.begin(), text.end(), byNumber), end; m != end; ++m, ++named) {
            char name[16];
            std::snprintf(name, sizeof name, "%s%04d", kSpeakers[std::stoi((*m)[1])], std::stoi((*m)[2]));
            EXPECT_TRUE(voices.count(name)) << name;
        }
        for (std::sregex_iterator m(text.begin(), text.end(), byName), end; m != end; ++m, ++named)
            EXPECT_TRUE(voices.count((*m)[1])) << (*m)[1];
    }
    EXPECT_GT(named, 20);
}
} // namespace
