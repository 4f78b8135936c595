// Layers drawn in slot order; changes with and without transitions; the update region they leave; and
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
    const struct {
        int x, y;
        DWORD want;
    } pixels[] = {{10, 10, kBlue},     {50, 60, kRed},    {149, 139, kRed},   {150, 60, kBlue},
                  {20, 20, kBlue},     {300, 300, kBlue}, {340, 340, kWhite}, {500, 400, kYellow},
                  {519, 409, kYellow}, {520, 400, kBlue}, {510, 410, kBlue}};
    for (const auto& p : pixels)
        EXPECT_EQ(At(p.x, p.y), p.want) << p.x << "," << p.y;
    // Showing slot 1 puts it under slot 2 and dirties exactly its own RECT.
    g_pScreen->ShowLayer(1, 1);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 200, 200})) << Describe(region);
    EXPECT_EQ(At(20, 20), kGreen);
    EXPECT_EQ(At(60, 70), kRed);
    EXPECT_EQ(At(210, 20), kBlue);
}

TEST_F(ScreenTest, SlotRulesAndEffectNumbers) {
    EXPECT_FALSE(g_pScreen->ChangeLayer(4, "red", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_TRUE(g_pScreen->LoadLayer(4, "red", 1, 0, 0, 0));
    for (int slot : {4, 10, -1})
        EXPECT_FALSE(g_pScreen->LoadLayer(slot, "yellow", 1, 0, 0, 0)) << slot;
    EXPECT_FALSE(g_pScreen->ChangeLayer(10, "red", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_STREQ(g_pScreen->GetLayer(4)->GetName(), "red");
    EXPECT_TRUE(g_pScreen->SetEffect(71));
    EXPECT_FALSE(g_pScreen->SetEffect(72));
    EXPECT_FALSE(g_pScreen->SetEffect(-1));
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
    // Effects off: the picture shows in the same frame.
    g_pScreen->SetEffect(1);
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
    Advance(320);
    Frame();
    EXPECT_EQ(At(10, 10), 0xFF7F00u); // green half-way up: 128 of 256
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning());
    EXPECT_EQ(At(10, 10), kYellow);
    EXPECT_EQ(At(300, 300), kBlue);
    EXPECT_EQ(ExtraSurfaces(), 2); // the work surfaces are gone
}

TEST_F(ScreenTest, FrameThatReportsTheEndStillShowsTheTransitionImage) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(1);
    // Two steps of 128: the engine draws the half-way image at 10 ms and reports the end at 20 ms
    // without drawing.
    g_pScreen->SetEffectParams(0, 0, 10, 128);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    Advance(10);
    Frame();
    EXPECT_EQ(At(0, 0), 0x7F007Fu);
    // The layers change behind the transition: the frame that ends it is still the engine's image.
    g_pScreen->GetLayer(1)->m_bVisible = 0;
    Advance(10);
    Frame();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(At(0, 0), 0x7F007Fu);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
}

TEST_F(ScreenTest, OneShotTimingIsUsedOnceAndDroppedByAnImmediateChange) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(1);
    // While skipping the change is immediate and the one-shot row goes with it.
    g_pScreen->SetEffectParams(0, 0, 10, 256);
    SetSkipMode(1);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    SetSkipMode(0);
    // The next change uses the effect's own row: still running after 100 ms.
    g_pScreen->ChangeLayer(1, "yellow", 1, 0, 0, 0, -1, 5, 5, 5);
    Frame();
    Advance(100);
    Frame();
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    // Timing values given to the change replace the row for that change only.
    g_pScreen->ChangeLayer(1, "red", 1, 0, 0, 0, 0, 0, 10, 256);
    Frame();
    Advance(10);
    Frame();
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
}

TEST_F(ScreenTest, MaskWipeAndDitherUseTheirWorkSurfacesAndARefusedStartChangesAtOnce) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(4); // hard-edged wipe from the top
    g_pScreen->ChangeLayer(0, "bg2", 1, 0, 0, 0, -1, -1, -1, -1);
    Frame();
    Advance(100);
    Frame();
    // The level has risen by 16 five times: the top rows are done, the bottom ones not started.
    EXPECT_EQ(At(320, 10), kGreen);
    EXPECT_EQ(At(320, 470), kBlue);
    RunToEnd();
    EXPECT_EQ(At(320, 470), kGreen);
    // The dither has no draw surface: the screen shows the before surface it works in.
    g_pScreen->SetEffect(2);
    g_pScreen->ChangeLayer(0, "bg", 1, 0, 0, 0, -1, -1, -1, -1);
    EXPECT_TRUE(g_pScreen->GetWorkSurface(0) && g_pScreen->GetWorkSurface(1) &&
                !g_pScreen->GetWorkSurface(2));
    EXPECT_EQ(g_pScreen->GetWorkSurface(3), nullptr);
    Frame();
    EXPECT_EQ(At(0, 0), kGreen);
    Advance(25 * 8);
    Frame();
    int blue = 0;
    for (int i = 0; i < 16; ++i)
        blue += At(i % 4, i / 4) == kBlue;
    EXPECT_TRUE(blue > 0 && blue < 16) << blue;
    RunToEnd();
    EXPECT_EQ(At(0, 0), kBlue);
    // RefusedEngineStartMakesTheChangeAtOnce: "mask.arc" has no mask for effect 30.
    g_pScreen->SetEffect(30);
    EXPECT_TRUE(g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 2);
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
    EXPECT_EQ(At(160, 60), 0x7F7F00u);
    EXPECT_EQ(At(210, 60), 0x7F007Fu);
    // Moved wholly over the blue, it is blended again.
    g_pScreen->SetLayerPos(5, 300, 300);
    FullFrame();
    EXPECT_EQ(At(310, 310), 0x7F007Fu);
    EXPECT_EQ(At(160, 60), kGreen);
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
    const struct {
        int x, y;
        DWORD want;
    } pixels[] = {{0, 0, 0}, {0, 3, kRed}, {96, 3, kRed}, {97, 3, kBlue}, {636, 100, kBlue}, {637, 100, 0}};
    for (const auto& p : pixels)
        EXPECT_EQ(At(p.x, p.y), p.want) << p.x << "," << p.y;
    Advance(200);
    Frame();
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(639, 100), kBlue);
    // An interval of 0 from the scenario cannot divide the engine by zero.
    g_pScreen->StartQuake(100, 0);
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning());
}

TEST_F(ScreenTest, NewTransitionEndsTheRunningOneWithoutLeakingSurfaces) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Effects(4);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    Frame();
    Advance(100);
    Frame();
    // The wipe still holds its mask; a second change first ends it, so the engine accepts the next.
    g_pScreen->LoadLayer(2, "yellow", 1, 300, 300, 0);
    EXPECT_TRUE(g_pScreen->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 3 + 3);
    g_pScreen->StartQuake(100, 20);
    EXPECT_EQ(ExtraSurfaces(), 3 + 2);
    g_pScreen->ShowLayer(2, 0);
    EXPECT_EQ(ExtraSurfaces(), 3 + 3);
    RunToEnd();
    EXPECT_EQ(ExtraSurfaces(), 3);
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(310, 310), kBlue);
}

// What the game object does around a display-mode change: stop, release, a new DirectDraw object with
// a new back buffer, restore.
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
        EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning());
        EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
        EXPECT_EQ(ExtraSurfaces(), 0);
        IDirectDraw* fresh = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(fresh, SIZE{640, 480}));
        SetRenderTarget(back->GetSurface());
        baseSurfaces = pt::LiveSurfaceCount();
        dd->Release();
        dd = fresh;
        SetDirectDraw(dd);
        EXPECT_TRUE(g_pScreen->Restore(dd));
    }
    // A loss of every surface, the back buffer restored by the display object, then the compositor.
    void LoseEverything() {
        pt::LoseAllSurfaces();
        back->Restore();
        g_pTransition->RequestStop();
        EXPECT_TRUE(g_pScreen->RestoreIfLost());
        EXPECT_FALSE(g_pScreen->IsRunning());
    }
};

TEST_F(ModeChangeTest, ReleaseAndRestoreDuringATransition) {
    g_pScreen->LoadLayer(2, "red", 1, 300, 300, 0);
    Frame();
    Advance(100);
    Frame();
    ASSERT_TRUE(g_pScreen->IsRunning());
    ChangeDisplayMode();
    // Three pictures, the "AM" one with its kept copy, composed again; transitions work as before.
    EXPECT_EQ(ExtraSurfaces(), 4);
    FullFrame();
    EXPECT_EQ(At(300, 300), kRed);
    EXPECT_EQ(At(10, 10), 0x7F007Fu);
    EXPECT_EQ(At(500, 100), kBlue);
    g_pScreen->ShowLayer(2, 0);
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    EXPECT_EQ(At(300, 300), kBlue);
}

TEST_F(ModeChangeTest, OverlayComesBackInItsColourAndALossEndsAFade) {
    g_pScreen->SetEffect(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    Frame();
    Advance(100);
    Frame();
    // Cut short by the mode change, the white-out has reached its end: white.
    ChangeDisplayMode();
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    FullFrame();
    EXPECT_TRUE(At(0, 0) == kWhite && At(639, 479) == kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    RunToEnd();
    EXPECT_EQ(At(500, 100), kBlue);
    // LossDuringAFadeEndsIt: the black-out ends black.
    g_pScreen->Fade(CScreen::kBlackOut);
    Frame();
    Advance(100);
    Frame();
    LoseEverything();
    EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_TRUE(g_pScreen->IsBlackedOut());
    FullFrame();
    EXPECT_TRUE(At(320, 240) == 0 && At(639, 479) == 0);
    // After a loss the black overlay of a finished fade is filled again too.
    g_pScreen->SetEffectEnable(0);
    g_pScreen->Fade(CScreen::kBlackIn);
    g_pScreen->Fade(CScreen::kBlackOut);
    LoseEverything();
    FullFrame();
    EXPECT_TRUE(At(0, 0) == 0 && At(639, 479) == 0);
    EXPECT_FALSE(IsErrorStop());
}

TEST_F(ModeChangeTest, FrozenScreenIsMadeAgainFromTheLayers) {
    g_pScreen->TakeSnapshot();
    g_pScreen->LoadLayer(2, "red", 1, 300, 300, 0);
    ChangeDisplayMode();
    EXPECT_TRUE(g_pScreen->HasSnapshot());
    FullFrame();
    // The old frozen picture is gone with the old display; the layers as they are now show instead.
    EXPECT_EQ(At(300, 300), kRed);
    EXPECT_EQ(At(10, 10), 0x7F007Fu);
    g_pScreen->TransitionFromSnapshot(1);
    RunToEnd();
    EXPECT_EQ(At(300, 300), kRed);
    EXPECT_EQ(ExtraSurfaces(), 4);
}
