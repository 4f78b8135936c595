// Fades to black and white and back, their refusals, and fades whose transition cannot start.
#include "tests/graphics/compositor/ScreenFixture.h"

using namespace screen_test;

namespace {
using Pixels = std::initializer_list<std::array<DWORD, 3>>;

class FadeTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
        g_pScreen->LoadLayer(3, "yellow", 1, 400, 300, 0);
        FullFrame();
    }
    // Runs the fade with pixels `first` in its first frame, `mid` `ms` later and `end` at its end.
    void FadeThrough(int kind, DWORD ms, Pixels first, Pixels mid, Pixels end) {
        g_pScreen->Fade(kind);
        EXPECT_TRUE(g_pScreen->IsRunning());
        Frame();
        ExpectAt(first);
        Frame(ms);
        ExpectAt(mid);
        RunToEnd();
        ExpectAt(end);
        EXPECT_TRUE(!g_pScreen->IsRunning() && g_pScreen->GetFadeKind() == 0);
        EXPECT_EQ(g_pScreen->IsBlackedOut(), kind == CScreen::kBlackOut);
        EXPECT_EQ(g_pScreen->IsWhitedOut(), kind == CScreen::kWhiteOut);
        EXPECT_EQ(ExtraSurfaces(),
                  3 + (kind == CScreen::kBlackOut || kind == CScreen::kWhiteOut)); // the overlay
    }
};
} // namespace

TEST_F(FadeTest, BlackOutAndBackInThroughCrossFades) {
    Effects(1);
    // The first frame is the before image; 320 ms in, 128 of 256 on the way.
    FadeThrough(CScreen::kBlackOut, 320, {{0, 0, kRed}}, {{0, 0, 0x7F0000}}, {{0, 0, 0}, {420, 320, 0}});
    // A change made while black does not show.
    g_pScreen->SetEffectEnable(0);
    g_pScreen->ShowLayer(1, 0);
    FullFrame();
    EXPECT_EQ(At(0, 0), 0u);
    g_pScreen->SetEffectEnable(1);
    FadeThrough(CScreen::kBlackIn, 320, {{0, 0, 0}}, {{0, 0, 0x00007F}},
                {{0, 0, kBlue}, {420, 320, kYellow}});
}

TEST_F(FadeTest, WhiteOutAndInThroughAWipe) {
    Effects(4);
    FadeThrough(CScreen::kWhiteOut, 100, {{320, 5, kBlue}}, {{320, 5, kWhite}, {320, 475, kBlue}},
                {{320, 475, kWhite}, {0, 0, kWhite}});
    FadeThrough(CScreen::kWhiteIn, 100, {{0, 5, kWhite}}, {{0, 5, kRed}, {320, 475, kWhite}},
                {{320, 475, kBlue}});
}

TEST_F(FadeTest, DitherToBlackRunsInTheDrawSurface) {
    Effects(2);
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_TRUE(g_pScreen->GetWorkSurface(0) == nullptr && g_pScreen->GetWorkSurface(2) != nullptr);
    Run(25 * 8);
    int black = 0;
    for (int i = 0; i < 16; ++i)
        black += At(i % 4, i / 4) == 0;
    EXPECT_TRUE(black > 0 && black < 16) << black;
    RunToEnd();
    ExpectAt({{0, 0, 0}, {639, 479, 0}});
    g_pScreen->Fade(CScreen::kBlackIn);
    RunToEnd();
    EXPECT_TRUE(At(0, 0) == kRed && ExtraSurfaces() == 3);
}

// Effects disabled, effect 0, or a transition that cannot start (no mask for effect 30 in "mask.arc"):
// the out-fade shows its overlay from the next frame, the in-fade removes it, nothing is reported and
// each fade leaves the flags so that the opposite one is accepted.
TEST_F(FadeTest, WithoutATransitionTheScreenTurnsAtOnce) {
    const struct {
        const char* name;
        int enable, effect;
    } rows[] = {{"WithoutTransitionsTheScreenTurnsAtOnce", 0, 1},
                {"effect 0", 1, 0},
                {"AFadeWhoseStartFailsGoesOnAsWithEffectsOff", 1, 30}};
    for (const auto& row : rows)
        for (int out : {CScreen::kBlackOut, CScreen::kWhiteOut}) {
            SCOPED_TRACE(std::string(row.name) + (out == CScreen::kBlackOut ? " black" : " white"));
            g_pScreen->SetEffectEnable(static_cast<BYTE>(row.enable));
            g_pScreen->SetEffect(row.effect);
            g_pScreen->Fade(out);
            EXPECT_FALSE(g_pScreen->IsRunning());
            EXPECT_TRUE(out == CScreen::kBlackOut ? g_pScreen->IsBlackedOut() : g_pScreen->IsWhitedOut());
            Frame();
            EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
            EXPECT_EQ(At(0, 0), out == CScreen::kBlackOut ? 0u : kWhite);
            g_pScreen->Fade(out + 1);
            EXPECT_FALSE(g_pScreen->IsBlackedOut() || g_pScreen->IsWhitedOut());
            Frame();
            ExpectAt({{0, 0, kRed}, {420, 320, kYellow}});
            EXPECT_TRUE(ExtraSurfaces() == 3 && !IsErrorStop());
            EXPECT_EQ(Log(), "");
        }
}

struct Refusal {
    const char* name;
    int first, second; // an accepted fade before (0 for none), the refused one
    const char* message;
};
const Refusal kRefusals[] = {
    {"BlackOutTwice", CScreen::kBlackOut, CScreen::kBlackOut, "現在ブラックアウトはできません。"},
    {"BlackInFirst", 0, CScreen::kBlackIn, "現在ブラックインはできません。"},
    {"WhiteOutTwice", CScreen::kWhiteOut, CScreen::kWhiteOut, "現在ホワイトアウトはできません。"},
    {"WhiteOutAfterBlackOut", CScreen::kBlackOut, CScreen::kWhiteOut, "現在ホワイトアウトはできません。"},
    {"WhiteInAfterBlackOut", CScreen::kBlackOut, CScreen::kWhiteIn, "現在ホワイトインはできません。"},
    {"WhiteInFirst", 0, CScreen::kWhiteIn, "現在ホワイトインはできません。"},
};

class FadeRefusal : public FadeTest, public ::testing::WithParamInterface<int> {};

TEST_P(FadeRefusal, ReportsStopsAndLeavesOnlyTheBackground) {
    const Refusal& r = kRefusals[GetParam()];
    if (r.first) g_pScreen->Fade(r.first);
    EXPECT_FALSE(IsErrorStop());
    g_pScreen->Fade(r.second);
    EXPECT_TRUE(IsErrorStop() && Logged(r.message)) << Log();
    for (int slot = 0; slot < CScreen::kLayerCount; ++slot)
        EXPECT_EQ(g_pScreen->GetLayer(slot) != nullptr, slot == 0) << slot;
    EXPECT_EQ(ExtraSurfaces(), 1);
    // The compositor shows the background as it was; the report's frame is the display's business.
    FullFrame();
    ExpectAt({{0, 0, kBlue}, {64, 64, kBlue}, {600, 400, kBlue}});
}

INSTANTIATE_TEST_SUITE_P(Messages, FadeRefusal, ::testing::Range<int>(0, std::size(kRefusals)),
                         [](const auto& info) { return std::string(kRefusals[info.param].name); });

TEST_F(FadeTest, RefusalDuringARunningFadeEndsItFirst) {
    Effects(1);
    g_pScreen->Fade(CScreen::kBlackOut);
    Run(100);
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_TRUE(IsErrorStop() && !(g_pScreen->IsRunning() || g_pTransition->IsRunning()));
    EXPECT_TRUE(g_pScreen->GetWorkSurface(0) == nullptr && g_pScreen->GetWorkSurface(2) == nullptr);
    FullFrame();
    EXPECT_EQ(At(64, 64), kBlue) << "the background, not the deleted overlay";
}

TEST_F(FadeTest, AFadeAfterAFadeEndsTheFirstAndClearFadeEndsARunningInFade) {
    Effects(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    Run(100);
    g_pScreen->Fade(CScreen::kWhiteIn);
    EXPECT_TRUE(g_pScreen->IsRunning() && ExtraSurfaces() == (3 + 1 + 2));
    RunToEnd();
    EXPECT_TRUE(!g_pScreen->IsWhitedOut() && At(0, 0) == kRed);
    EXPECT_EQ(ExtraSurfaces(), 3);
    // ClearFadeLeavesAFinishedOutFadeAndEndsARunningInFade: what the game object does before the
    // white-in after a load leaves the white screen; cleared half-way, an in-fade ends at once.
    g_pScreen->Fade(CScreen::kWhiteOut);
    RunToEnd();
    g_pScreen->ClearFade();
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    FullFrame();
    EXPECT_EQ(At(0, 0), kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    Run(100);
    g_pScreen->ClearFade();
    EXPECT_TRUE(!(g_pScreen->IsRunning() || g_pScreen->IsWhitedOut()) && ExtraSurfaces() == 3);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
    // KindsOutsideOneToFourDoNothing
    g_pScreen->Fade(5);
    g_pScreen->Fade(0);
    EXPECT_TRUE(!(g_pScreen->IsRunning() || IsErrorStop()) && ExtraSurfaces() == 3);
}
