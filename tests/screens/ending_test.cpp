// The staff roll: its pictures on time, the hold on the last one, and the skips.
#include "ExtrasFixture.h"

#include "screens/EndingMode.h"

namespace screens_test {
namespace {
class EndingTest : public ExtrasFixture {
  protected:
    // The ending constructed at `start` on the clock, with transitions off in the settings.
    std::unique_ptr<CEndingMode> Begin(DWORD start) {
        StartOptions options;
        options.values.EffectSwitch = 0;
        StartGame({}, {}, options);
        pt::SetClock(start);
        SetSkipMode(1);
        SetAutoMode(1);
        return std::make_unique<CEndingMode>();
    }
    // Runs the roll at `ms` after its start and shows the frame; Run's result.
    bool RunAt(CEndingMode& e, DWORD start, DWORD ms) {
        pt::SetClock(start + 1 + ms); // construction sleeps 1 ms
        const bool running = e.Run();
        Show(e);
        return running;
    }
    DWORD Picture() const { return At(320, 240) & 0xFF; }
};

TEST_F(EndingTest, EachPictureFollowsOnItsTimeAndTheLastHoldsWithoutEnd) {
    // The second start lies just before the clock wraps.
    for (const DWORD start : {100000u, 0xFFFFF000u}) {
        SCOPED_TRACE(start);
        auto ending = Begin(start);
        EXPECT_FALSE(GetSkipAutoFlags(1));
        EXPECT_EQ(g_pScreen->GetEffectEnable(), 1) << "transitions run whatever the settings say";
        EXPECT_TRUE(Playing("bgm14"));
        // Picture n is due 5800 n ms after the start; a millisecond before, n - 1 still shows.
        for (int n = 0; n < 12; ++n) {
            EXPECT_TRUE(RunAt(*ending, start, n ? 5800 * n - 1 : 0));
            EXPECT_TRUE(RunAt(*ending, start, 5800 * n));
            EXPECT_EQ(Picture(), 100u + n) << n;
        }
        for (const DWORD later : {69600u, 70000u, 4000000000u})
            EXPECT_TRUE(RunAt(*ending, start, later));
        EXPECT_EQ(Picture(), 111u);
        ending.reset();
        EXPECT_EQ(g_pScreen->GetEffectEnable(), 0);
        EXPECT_FALSE(Playing("bgm14"));
    }
}

TEST_F(EndingTest, AClickOrKeyCutsTheRollShortOnce) {
    // Steps: 'd' left press, 'u' left release, 'R' Enter down, 'A' key A down, 'a' key A up, '.' one second.
    struct Row {
        const char* name;
        DWORD at; // ms after the start
        const char* steps;
        DWORD endsAfter; // 0: the roll goes on
    };
    const Row rows[] = {
        {"click_while_rolling", 5800, "du", 1500},
        {"click_while_holding", 69600, "du", 500},
        {"enter_then_any_key_up", 0, "Ra", 1500},
        {"press_without_release", 0, "d", 0},
        {"other_key", 0, "Aa", 0},
        {"second_skip_ignored", 0, "du.du", 1500},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DWORD start = 100000;
        auto ending = Begin(start);
        for (DWORD t = 0; t <= row.at; t += 5800)
            RunAt(*ending, start, t);
        const DWORD shown = Picture();
        for (const char* c = row.steps; *c; ++c) {
            if (*c == 'd') ending->OnLButtonDown(1, 1);
            if (*c == 'u') ending->OnLButtonUp(1, 1);
            if (*c == 'R' || *c == 'A') ending->OnKeyDown(*c == 'R' ? UINT{VK_RETURN} : UINT{'A'});
            if (*c == 'a') ending->OnKeyUp('A');
            if (*c == '.') pt::AdvanceClock(1000);
        }
        EXPECT_EQ(g_pSoundManager->IsFading() != 0, row.endsAfter != 0) << "the music fades out";
        const DWORD wait = row.endsAfter ? row.endsAfter : 1500;
        EXPECT_TRUE(RunAt(*ending, start, row.at + wait - 1));
        EXPECT_EQ(RunAt(*ending, start, row.at + wait), row.endsAfter == 0);
        EXPECT_EQ(Picture(), shown) << "a skip keeps the picture";
    }
}
} // namespace
} // namespace screens_test
