// Layers drawn in slot order; changes with and without transitions and the update region they leave;
// display-mode changes and surface losses while a transition runs.
#include "tests/graphics/compositor/ScreenFixture.h"

using namespace screen_test;

TEST_F(ScreenTest, LayersDrawInSlotOrderWithKeysPositionsVisibilityAndParts) {
    EXPECT_TRUE(g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0));
    EXPECT_TRUE(g_pScreen->LoadLayer(2, "red", 1, 50, 60, 0));
    EXPECT_TRUE(g_pScreen->LoadLayer(1, "green", 0, 0, 0, 0));
    EXPECT_TRUE(g_pScreen->LoadLayer(3, "keyed", 1, 300, 300, 1));
    // A sprite sheet drawn as one part: only its source RECT lands, at the part's point.
    CLayer* sheet = CreateLayerObject(2);
    ASSERT_TRUE(sheet->Load("yellow", 1, 0, 0, 0, 0));
    const RECT part = {10, 10, 30, 20};
    sheet->SetPart(&part, 500, 400, 1);
    EXPECT_EQ(g_pScreen->SetLayer(9, sheet), nullptr);
    Frame();
    // Slot 1 is hidden; the keyed picture shows its white square, its magenta frame is transparent.
    ExpectAt({{10, 10, kBlue}, {50, 60, kRed}, {149, 139, kRed}, {150, 60, kBlue}, {20, 20, kBlue}});
    ExpectAt({{300, 300, kBlue}, {340, 340, kWhite}, {500, 400, kYellow}, {519, 409, kYellow}});
    ExpectAt({{520, 400, kBlue}, {510, 410, kBlue}});
    // Showing slot 1 puts it under slot 2 and dirties exactly its own RECT.
    g_pScreen->ShowLayer(1, 1);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 200, 200})) << Describe(region);
    ExpectAt({{20, 20, kGreen}, {60, 70, kRed}, {210, 20, kBlue}});
}

TEST_F(ScreenTest, SlotRulesAndEffectNumbers) {
    EXPECT_FALSE(g_pScreen->ChangeLayer(4, "red", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_TRUE(g_pScreen->LoadLayer(4, "red", 1, 0, 0, 0));
    for (int slot : {4, 10, -1})
        EXPECT_FALSE(g_pScreen->LoadLayer(slot, "yellow", 1, 0, 0, 0)) << slot;
    EXPECT_FALSE(g_pScreen->ChangeLayer(10, "red", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_STREQ(g_pScreen->GetLayer(4)->GetName(), "red");
    EXPECT_TRUE(g_pScreen->SetEffect(71));
    EXPECT_FALSE(g_pScreen->SetEffect(72) || g_pScreen->SetEffect(-1));
    EXPECT_EQ(g_pScreen->GetEffect(), 71);
    // Showing, hiding or moving an empty slot does nothing; slots outside 0-9 hold nothing.
    g_pScreen->ShowLayer(5, 1);
    g_pScreen->ShowLayer(12, 1);
    g_pScreen->SetLayerPos(7, 1, 1);
    EXPECT_EQ(g_pScreen->GetLayer(5), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(10), nullptr);
    CLayer* stray = CreateLayerObject(0);
    EXPECT_EQ(g_pScreen->SetLayer(10, stray), stray);
    DeleteLayerObject(stray);
}

TEST_F(ScreenTest, UpdateRegionCoversExactlyWhatChanged) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    // A hidden picture composes nothing but still marks the whole screen; a move marks nothing by
    // itself; showing what already shows does nothing at all; hiding marks the picture's RECT.
    const struct {
        const char* name;
        std::function<void()> change;
        RECT region;
        DWORD at200x150;
    } steps[] = {
        {"load", [] {}, {0, 0, 640, 480}, kBlue},
        {"hidden load", [] { g_pScreen->LoadLayer(3, "red", 0, 100, 100, 0); }, {0, 0, 640, 480}, kBlue},
        {"move", [] { g_pScreen->SetLayerPos(3, 200, 150); }, {}, kBlue},
        {"show", [] { g_pScreen->ShowLayer(3, 1); }, {200, 150, 300, 230}, kRed},
        {"show again", [] { g_pScreen->ShowLayer(3, 1); }, {}, kRed},
        {"hide", [] { g_pScreen->ShowLayer(3, 0); }, {200, 150, 300, 230}, kBlue},
    };
    for (const auto& step : steps) {
        step.change();
        Frame();
        EXPECT_TRUE(SameRect(region, step.region)) << step.name << " " << Describe(region);
        EXPECT_EQ(At(200, 150), step.at200x150) << step.name;
    }
}

TEST_F(ScreenTest, ChangeWithTransitionsRunsACrossFadeWithoutThemItIsImmediate) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    FullFrame();
    g_pScreen->SetEffect(1); // effects off: the picture shows in the same frame
    g_pScreen->LoadLayer(2, "red", 1, 0, 0, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(10, 10), kRed);
    // Effects on: the cross-fade from red to yellow takes 640 ms in 20-ms steps of 8.
    g_pScreen->SetEffectEnable(1);
    EXPECT_TRUE(g_pScreen->ChangeLayer(2, "yellow", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_TRUE(g_pScreen->IsRunning() && g_pTransition->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 2 + 3); // two pictures and three work surfaces
    Frame();
    EXPECT_EQ(At(10, 10), kRed); // the before image
    Frame(320);
    EXPECT_EQ(At(10, 10), 0xFF7F00u); // green half-way up: 128 of 256
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning());
    ExpectAt({{10, 10, kYellow}, {300, 300, kBlue}});
    EXPECT_EQ(ExtraSurfaces(), 2); // the work surfaces are gone
}

TEST_F(ScreenTest, FrameThatReportsTheEndStillShowsTheTransitionImageAndOneShotTiming) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(1);
    // Two steps of 128: the engine draws the half-way image at 10 ms and reports the end at 20 ms
    // without drawing.
    g_pScreen->SetEffectParams(0, 0, 10, 128);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    Run(10);
    EXPECT_EQ(At(0, 0), 0x7F007Fu);
    // The layers change behind the transition: the frame that ends it is still the engine's image.
    g_pScreen->GetLayer(1)->m_bVisible = 0;
    Frame(10);
    EXPECT_TRUE(!g_pScreen->IsRunning() && At(0, 0) == 0x7F007F);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    // OneShotTimingIsUsedOnceAndDroppedByAnImmediateChange
    // While skipping the change is immediate and the one-shot row goes with it.
    g_pScreen->SetEffectParams(0, 0, 10, 256);
    SetSkipMode(1);
    g_pScreen->LoadLayer(2, "red", 1, 0, 0, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    SetSkipMode(0);
    // The next change uses the effect's own row: still running after 100 ms.
    g_pScreen->ChangeLayer(2, "yellow", 1, 0, 0, 0, -1, 5, 5, 5);
    Run(100);
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    // Timing values given to the change replace the row for that change only.
    g_pScreen->ChangeLayer(2, "red", 1, 0, 0, 0, 0, 0, 10, 256);
    Run(10);
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
}

// Effects 4 and 11 are hard-edged sweeps (a level step of 16 and a whole alpha step every 20 ms): 100 ms
// in, the rows up to level 80 are done and no pixel is blended; both end by 320 ms.
TEST_F(ScreenTest, MaskWipeAndDitherUseTheirWorkSurfacesAndARefusedStartChangesAtOnce) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    FullFrame();
    for (int effect : {4, 11}) {
        Effects(effect);
        const DWORD from = At(320, 0), to = from == kBlue ? kGreen : kBlue;
        g_pScreen->ChangeLayer(0, to == kGreen ? "bg2" : "bg", 1, 0, 0, 0, -1, -1, -1, -1);
        Run(100);
        for (int y = 0; y < 480; ++y)
            ASSERT_EQ(At(320, y), (effect == 4 ? y : 479 - y) * 255 / 479 <= 80 ? to : from)
                << effect << " row " << y;
        Frame(220);
        EXPECT_FALSE(g_pScreen->IsRunning());
        Frame();
        EXPECT_TRUE(At(320, 0) == to && At(320, 479) == to);
    }
    // The dither has no draw surface: the screen shows the before surface it works in.
    g_pScreen->SetEffect(2);
    g_pScreen->ChangeLayer(0, "bg2", 1, 0, 0, 0, -1, -1, -1, -1);
    EXPECT_TRUE(g_pScreen->GetWorkSurface(0) && g_pScreen->GetWorkSurface(1) &&
                !g_pScreen->GetWorkSurface(2));
    EXPECT_EQ(g_pScreen->GetWorkSurface(3), nullptr);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    Frame(25 * 8);
    int green = 0;
    for (int i = 0; i < 16; ++i)
        green += At(i % 4, i / 4) == kGreen;
    EXPECT_TRUE(green > 0 && green < 16) << green;
    RunToEnd();
    EXPECT_EQ(At(0, 0), kGreen);
    // RefusedEngineStartMakesTheChangeAtOnce: "mask.arc" has no mask for effect 30.
    g_pScreen->SetEffect(30);
    EXPECT_TRUE(g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0));
    EXPECT_TRUE(!g_pScreen->IsRunning() && ExtraSurfaces() == 2);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
}

TEST_F(ScreenTest, ComposePreBlendsAlphaPicturesOverWhatLiesBelow) {
    g_pScreen->LoadLayer(5, "glass", 1, 0, 0, 0); // red at alpha 128
    FullFrame();
    EXPECT_EQ(At(10, 10), 0x7F0000u); // ComposeWithoutABackgroundBlendsOverBlack
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->LoadLayer(1, "green", 1, 0, 0, 0);
    g_pScreen->SetLayerPos(5, 150, 50);
    FullFrame();
    // Over the green square: red 0 + (255 x 128 / 256), green 255 - 128; over the blue beside it.
    ExpectAt({{160, 60, 0x7F7F00}, {210, 60, 0x7F007F}});
    // Moved wholly over the blue, it is blended again.
    g_pScreen->SetLayerPos(5, 300, 300);
    FullFrame();
    ExpectAt({{310, 310, 0x7F007F}, {160, 60, kGreen}});
}

TEST_F(ScreenTest, QuakeIgnoresTheEffectNumberButNotSkipOrDisabledEffects) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    g_pScreen->StartQuake(200, 20);
    EXPECT_FALSE(g_pScreen->IsRunning());
    g_pScreen->SetEffectEnable(1);
    SetSkipMode(1);
    g_pScreen->StartQuake(200, 20);
    EXPECT_FALSE(g_pScreen->IsRunning());
    SetSkipMode(0);
    g_pScreen->StartQuake(200, 20); // effect 0
    EXPECT_TRUE(g_pScreen->IsRunning());
    Frame();
    // First offset (-3, 3): the picture moved left and down; the uncovered strip is black.
    ExpectAt({{0, 0, 0}, {0, 3, kRed}, {96, 3, kRed}, {97, 3, kBlue}, {636, 100, kBlue}, {637, 100, 0}});
    Frame(200);
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    ExpectAt({{0, 0, kRed}, {639, 100, kBlue}});
    // An interval of 0 from the scenario cannot divide the engine by zero.
    g_pScreen->StartQuake(100, 0);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning());
}

TEST_F(ScreenTest, NewTransitionEndsTheRunningOneWithoutLeakingSurfaces) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(4);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    Run(100);
    // The wipe still holds its mask; a second change first ends it, so the engine accepts the next.
    g_pScreen->LoadLayer(2, "yellow", 1, 300, 300, 0);
    EXPECT_TRUE(g_pScreen->IsRunning() && ExtraSurfaces() == (3 + 3));
    g_pScreen->StartQuake(100, 20);
    EXPECT_EQ(ExtraSurfaces(), 3 + 2);
    g_pScreen->ShowLayer(2, 0);
    EXPECT_EQ(ExtraSurfaces(), 3 + 3);
    RunToEnd();
    EXPECT_EQ(ExtraSurfaces(), 3);
    ExpectAt({{0, 0, kRed}, {310, 310, kBlue}});
}

// What the game object does around a display-mode change: stop, release, a new DirectDraw object with
// a new back buffer, restore; and around a loss of every surface.
class ModeChangeTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(1, "glass", 1, 0, 0, 0);
        FullFrame();
        Effects(4);
    }
    void ChangeDisplayMode() {
        g_pTransition->RequestStop();
        EXPECT_TRUE(g_pScreen->Release());
        EXPECT_TRUE(!(g_pScreen->IsRunning() || g_pTransition->IsRunning()) && ExtraSurfaces() == 0);
        IDirectDraw* fresh = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(fresh, SIZE{640, 480}));
        SetRenderTarget(back->GetSurface());
        dd->Release();
        SetDirectDraw(dd = fresh);
        EXPECT_TRUE(g_pScreen->Restore(dd));
    }
    void LoseEverything() {
        pt::LoseAllSurfaces();
        back->Restore();
        g_pTransition->RequestStop();
        EXPECT_TRUE(g_pScreen->RestoreIfLost());
        EXPECT_FALSE(g_pScreen->IsRunning());
        EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    }
};

TEST_F(ModeChangeTest, ReleaseAndRestoreDuringATransition) {
    g_pScreen->LoadLayer(2, "red", 1, 300, 300, 0);
    Run(100);
    ASSERT_TRUE(g_pScreen->IsRunning());
    ChangeDisplayMode();
    // Three pictures, the "AM" one with its kept copy, composed again; transitions work as before.
    EXPECT_EQ(ExtraSurfaces(), 4);
    FullFrame();
    ExpectAt({{300, 300, kRed}, {10, 10, 0x7F007F}, {500, 100, kBlue}});
    g_pScreen->ShowLayer(2, 0);
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    EXPECT_EQ(At(300, 300), kBlue);
}

TEST_F(ModeChangeTest, OverlayComesBackInItsColourAndALossEndsAFade) {
    g_pScreen->SetEffect(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    Run(100);
    // Cut short by the mode change, the white-out has reached its end: white.
    ChangeDisplayMode();
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    FullFrame();
    ExpectAt({{0, 0, kWhite}, {639, 479, kWhite}});
    g_pScreen->Fade(CScreen::kWhiteIn);
    RunToEnd();
    EXPECT_EQ(At(500, 100), kBlue);
    // LossDuringAFadeEndsIt: the black-out ends black; after a loss a finished overlay is filled again.
    g_pScreen->Fade(CScreen::kBlackOut);
    Run(100);
    LoseEverything();
    EXPECT_TRUE(g_pScreen->IsBlackedOut());
    FullFrame();
    ExpectAt({{320, 240, 0}, {639, 479, 0}});
    LoseEverything();
    FullFrame();
    ExpectAt({{0, 0, 0}, {639, 479, 0}});
    EXPECT_FALSE(IsErrorStop());
}

TEST_F(ModeChangeTest, FrozenScreenIsMadeAgainFromTheLayers) {
    g_pScreen->TakeSnapshot();
    g_pScreen->LoadLayer(2, "red", 1, 300, 300, 0);
    ChangeDisplayMode();
    EXPECT_TRUE(g_pScreen->HasSnapshot());
    FullFrame();
    // The old frozen picture is gone with the old display; the layers as they are now show instead.
    ExpectAt({{300, 300, kRed}, {10, 10, 0x7F007F}});
    g_pScreen->TransitionFromSnapshot(1);
    RunToEnd();
    EXPECT_TRUE(At(300, 300) == kRed && ExtraSurfaces() == 4);
}
