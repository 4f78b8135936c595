// Fades to black and white and back, their refusals, and the clean-up of refused and failed fades.
#include "tests/screen/ScreenFixture.h"

using namespace screen_test;

namespace {
class FadeTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
        g_pScreen->LoadLayer(3, "yellow", 1, 400, 300, 0);
        FullFrame();
    }
    void Effects(int effect) {
        g_pScreen->SetEffectEnable(1);
        g_pScreen->SetEffect(effect);
    }
    bool Logged(const char* utf8) const {
        return Log().find(platform::Utf8ToSjis(utf8)) != std::string::npos;
    }
    int LayerCount() const {
        int n = 0;
        for (int i = 0; i < CScreen::kLayerCount; ++i)
            n += g_pScreen->GetLayer(i) != nullptr;
        return n;
    }
};
} // namespace

TEST_F(FadeTest, BlackOutAndBackInThroughCrossFades) {
    Effects(1);
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_TRUE(g_pScreen->IsRunning());
    EXPECT_TRUE(g_pScreen->IsBlackedOut());
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
    Advance(320);
    Frame();
    const DWORD mid = At(0, 0);
    EXPECT_GT(mid >> 16, 0x60u);
    EXPECT_LT(mid >> 16, 0xA0u);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_TRUE(g_pScreen->IsBlackedOut());
    EXPECT_EQ(g_pScreen->GetFadeKind(), 0);
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(At(420, 320), 0u);
    EXPECT_EQ(ExtraSurfaces(), 3 + 1); // the pictures and the overlay

    // A change made while black does not show.
    g_pScreen->SetEffectEnable(0);
    g_pScreen->ShowLayer(1, 0);
    FullFrame();
    EXPECT_EQ(At(0, 0), 0u);

    g_pScreen->SetEffectEnable(1);
    g_pScreen->Fade(CScreen::kBlackIn);
    EXPECT_TRUE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(0, 0), 0u);
    Advance(320);
    Frame();
    EXPECT_GT(At(0, 0) & 0xFF, 0x60u);
    EXPECT_LT(At(0, 0) & 0xFF, 0xA0u);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsBlackedOut());
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(420, 320), kYellow);
    EXPECT_EQ(ExtraSurfaces(), 3);
}

TEST_F(FadeTest, WhiteOutAndInThroughAWipe) {
    Effects(4);
    g_pScreen->Fade(CScreen::kWhiteOut);
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    Frame();
    Advance(100);
    Frame();
    EXPECT_EQ(At(320, 5), kWhite);
    EXPECT_EQ(At(320, 475), kBlue);
    RunToEnd();
    EXPECT_EQ(At(320, 475), kWhite);
    EXPECT_EQ(At(0, 0), kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    Frame();
    Advance(100);
    Frame();
    EXPECT_EQ(At(0, 5), kRed);
    EXPECT_EQ(At(320, 475), kWhite);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsWhitedOut());
    EXPECT_EQ(At(320, 475), kBlue);
    EXPECT_EQ(ExtraSurfaces(), 3);
}

TEST_F(FadeTest, WithoutTransitionsTheScreenTurnsAtOnce) {
    g_pScreen->Fade(CScreen::kBlackOut); // effects disabled
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    EXPECT_EQ(At(0, 0), 0u);
    g_pScreen->Fade(CScreen::kBlackIn);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
    // Effect 0 with effects enabled is the same.
    Effects(0);
    g_pScreen->Fade(CScreen::kWhiteOut);
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(0, 0), kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(ExtraSurfaces(), 3);
    EXPECT_FALSE(IsErrorStop());
}

TEST_F(FadeTest, DitherToBlackRunsInTheDrawSurface) {
    Effects(2);
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_NE(g_pScreen->GetWorkSurface(2), nullptr);
    Frame();
    Advance(25 * 8);
    Frame();
    int black = 0;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            black += At(x, y) == 0;
    EXPECT_GT(black, 0);
    EXPECT_LT(black, 16);
    RunToEnd();
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(At(639, 479), 0u);
    g_pScreen->Fade(CScreen::kBlackIn);
    RunToEnd();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(ExtraSurfaces(), 3);
}

struct Refusal {
    int first;  // accepted fade before, 0 for none
    int second; // refused
    const char* message;
};

class FadeRefusal : public FadeTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(FadeRefusal, ReportsStopsAndLeavesOnlyTheBackgroundWithTheErrorLines) {
    const Refusal r = GetParam();
    if (r.first) g_pScreen->Fade(r.first);
    EXPECT_FALSE(IsErrorStop());
    g_pScreen->Fade(r.second);
    EXPECT_TRUE(IsErrorStop());
    EXPECT_TRUE(Logged(r.message)) << Log();
    EXPECT_EQ(LayerCount(), 1);
    EXPECT_NE(g_pScreen->GetLayer(0), nullptr);
    EXPECT_EQ(ExtraSurfaces(), 1);
    // The background shows, blackened, with the message in white cells from (64, 64).
    FullFrame();
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(At(64, 64), kWhite);
    EXPECT_EQ(At(600, 400), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FadeRefusal,
    ::testing::Values(Refusal{CScreen::kBlackOut, CScreen::kBlackOut, "現在ブラックアウトはできません。"},
                      Refusal{0, CScreen::kBlackIn, "現在ブラックインはできません。"},
                      Refusal{CScreen::kWhiteOut, CScreen::kWhiteOut, "現在ホワイトアウトはできません。"},
                      Refusal{CScreen::kBlackOut, CScreen::kWhiteOut, "現在ホワイトアウトはできません。"},
                      Refusal{CScreen::kBlackOut, CScreen::kWhiteIn, "現在ホワイトインはできません。"},
                      Refusal{0, CScreen::kWhiteIn, "現在ホワイトインはできません。"}));

TEST_F(FadeTest, RefusalDuringARunningFadeEndsItFirst) {
    Effects(1);
    g_pScreen->Fade(CScreen::kBlackOut);
    Frame();
    Advance(100);
    Frame();
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_TRUE(IsErrorStop());
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_EQ(g_pScreen->GetWorkSurface(2), nullptr);
    FullFrame();
    EXPECT_EQ(At(64, 64), kWhite);
}

TEST_F(FadeTest, AFadeWhoseStartFailsClearsItsFlagAndReportsNothing) {
    Effects(30); // "mask.arc" has no mask for it
    g_pScreen->Fade(CScreen::kBlackOut);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pScreen->IsBlackedOut());
    EXPECT_FALSE(IsErrorStop());
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(LayerCount(), 1);
    EXPECT_EQ(ExtraSurfaces(), 1);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    // The screen is not black, so a black-in is refused as usual.
    g_pScreen->Fade(CScreen::kBlackIn);
    EXPECT_TRUE(IsErrorStop());
}

TEST_F(FadeTest, AFadeAfterAFadeEndsTheFirstAndLeaksNothing) {
    Effects(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    Frame();
    Advance(100);
    Frame();
    g_pScreen->Fade(CScreen::kWhiteIn);
    EXPECT_TRUE(g_pScreen->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 3 + 1 + 2);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsWhitedOut());
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(ExtraSurfaces(), 3);
    EXPECT_FALSE(IsErrorStop());
}

TEST_F(FadeTest, ClearFadeLeavesAFinishedOutFadeAndEndsARunningInFade) {
    Effects(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    RunToEnd();
    // What the game object does before the white-in after a load: the white screen stays.
    g_pScreen->ClearFade();
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    FullFrame();
    EXPECT_EQ(At(0, 0), kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    Frame();
    Advance(100);
    Frame();
    // Cleared half-way, the in-fade ends at once and the layers show.
    g_pScreen->ClearFade();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pScreen->IsWhitedOut());
    EXPECT_EQ(ExtraSurfaces(), 3);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
}

TEST_F(FadeTest, KindsOutsideOneToFourDoNothing) {
    Effects(1);
    g_pScreen->Fade(5);
    g_pScreen->Fade(0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 3);
    EXPECT_FALSE(IsErrorStop());
}
