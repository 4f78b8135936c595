// The page model: how texts become lines, the "#" codes, the guards on length and lines, and the reveal
// over time.
#include "TextFixture.h"

#include <vector>

namespace texttest {
namespace {
const std::string kTooLong = "テキストが長すぎます";
const std::string kTooManyLines = "テキストが最大行（３行）を超えました";

struct LayoutRow {
    const char* name;
    std::vector<std::string> texts; // UTF-8, handed over one after another
    std::vector<std::string> lines; // the three lines of the grid
    std::string error;              // the first message in the log, or empty
    std::string nickName = "";
};

TEST_F(TextTest, TextsBecomeLines) {
    const std::string a26 = Rep("あ", 26), i26 = Rep("い", 26), u26 = Rep("う", 26);
    // clang-format off
    const LayoutRow rows[] = {
        {"opener at column 50 moves down", {Rep("あ", 25) + "「い」"}, {Rep("あ", 25), "「い」", ""}, ""},
        {"opener at column 49 stays", {"a" + Rep("あ", 24) + "「い"}, {"a" + Rep("あ", 24) + "「い", "", ""}, ""},
        {"closer at column 52 hangs", {a26 + "。い"}, {a26 + "。", "い", ""}, ""},
        {"one-byte closer hangs", {Rep("a", 52) + "!b"}, {Rep("a", 52) + "!", "b", ""}, ""},
        {"two-byte character never split", {"a" + a26 + "い"}, {"a" + a26, "い", ""}, ""},
        {"widest line fills the grid", {"a" + a26 + "」い"}, {"a" + a26 + "」", "い", ""}, ""},
        {"space dropped at the start of line 1", {"あ", "　い"}, {"あ", "い", ""}, ""},
        {"space kept at the start of line 0", {"　あ"}, {"　あ", "", ""}, ""},
        {"#+ joins the next text", {"あ#+", "い"}, {"あい", "", ""}, ""},
        {"a new text begins a new line", {"あ", "い", "う"}, {"あ", "い", "う"}, ""},
        {"a fourth line is refused", {"あ", "い", "う", "え"}, {"あ", "い", "う"}, kTooManyLines},
        {"layout stops at the third line", {a26 + "#+", i26 + "#+", u26 + "#+", "え"}, {a26, i26, u26}, kTooManyLines},
        {"name codes in any case", {"#FN#sN#nn!#xy"}, {"山田太郎!#xy", "", ""}, ""},
        {"155 bytes are accepted", {Rep("a", 155)}, {Rep("a", 52), Rep("a", 52), Rep("a", 51)}, ""},
        {"156 bytes are refused", {Rep("a", 156)}, {"", "", ""}, kTooLong},
        {"length is judged before names go in", {Rep("#nn", 51)}, {Rep("ab", 26), Rep("ab", 25), ""}, "", "ab"},
        {"a page that would overflow is refused", {Rep("#nn", 30) + "#+", Rep("#nn", 30)},
         {Rep("n", 52), Rep("n", 52), Rep("n", 52)}, kTooLong, Rep("n", 20)},
        {"lead byte at the end of a text", {"あ\x82", "い"}, {"あ", "い", ""}, ""},
        {"wait code at the end of a text", {"い#5", "う"}, {"い", "う", ""}, ""},
        {"unknown codes are text", {"#q#"}, {"#q#", "", ""}, ""},
    };
    // clang-format on
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        g_pConfig->SetTextSpeed(1);
        win->SetNickName(S(row.nickName).c_str());
        for (const std::string& text : row.texts) {
            // Lead bytes in a row's text are bytes, not UTF-8.
            win->SetText((text == "あ\x82" ? S("あ") + "\x82" : S(text)).c_str());
            RunPage();
        }
        for (int line = 0; line < 3; ++line)
            EXPECT_EQ(Line(line), row.lines[line]) << "line " << line;
        const std::string log = Log();
        EXPECT_TRUE(row.error.empty() ? log.empty() : log.find(row.error) != std::string::npos) << log;
        Stop();
    }
}

// What the page shows over time: a row is a text and steps, each after `advance` ms of the manual
// clock, with the state and the bytes shown after that frame's Update.
struct Step {
    DWORD advance;
    int state;
    std::size_t shown;
    bool resume = false; // a click before the Update
};
struct RevealRow {
    const char* name;
    std::string text;
    std::vector<Step> steps;
    bool skipping = false;
    int textSpeed = 0;
    DWORD clock = kClockStart;
};

TEST_F(TextTest, RevealOverTime) {
    // clang-format off
    const RevealRow rows[] = {
        {"one character per 50 ms, then a click wait", "あいう##えお",
         {{0, 2, 2}, {49, 2, 2}, {1, 2, 4}, {50, 2, 6}, {50, 1, 6}, {5000, 1, 6}, {0, 2, 8, true}, {50, 2, 10}, {50, 0, 10}}},
        {"a timed wait of one second", "あ#10い", {{0, 2, 2}, {50, 3, 2}, {950, 3, 2}, {49, 3, 2}, {1, 2, 4}, {50, 0, 4}}},
        {"text speed 1 shows the page up to the click wait", "あい##う", {{0, 1, 4}, {0, 0, 6, true}}, false, 1},
        {"skipping stops one frame at a timed wait", "あ#99い", {{0, 3, 2}, {0, 0, 4}}, true},
        {"skipping goes through click waits", "あ##い##う", {{0, 1, 2}, {0, 1, 4}, {0, 0, 6}}, true},
        {"page stop holds", "あ#Pい", {{0, 2, 2}, {50, 3, 2}, {5000, 3, 2}}},
        {"the clock wraps", "あいう", {{0, 2, 2}, {50, 2, 4}, {50, 2, 6}, {50, 0, 6}}, false, 0, 0xFFFFFFC0u},
    };
    // clang-format on
    for (const RevealRow& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        pt::SetClock(row.clock);
        g_pConfig->SetTextSpeed(row.textSpeed);
        SetSkipMode(row.skipping);
        win->SetText(S(row.text).c_str());
        for (const Step& f : row.steps) {
            pt::AdvanceClock(f.advance);
            if (f.resume) win->OnLButtonUp(10, 10);
            EXPECT_EQ(win->Update(), f.state) << "after " << f.advance << " ms";
            EXPECT_EQ(ShownBytes(), f.shown) << "after " << f.advance << " ms";
        }
        Stop();
    }
}
} // namespace
} // namespace texttest
