// Layers drawn in slot order; changes with and without transitions; the update region they leave.
#include "tests/screen/ScreenFixture.h"

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

    EXPECT_EQ(At(10, 10), kBlue);
    EXPECT_EQ(At(50, 60), kRed);
    EXPECT_EQ(At(149, 139), kRed);
    EXPECT_EQ(At(150, 60), kBlue);
    EXPECT_EQ(At(20, 20), kBlue); // slot 1 is hidden
    // The keyed picture shows its white square; its magenta frame is transparent.
    EXPECT_EQ(At(300, 300), kBlue);
    EXPECT_EQ(At(340, 340), kWhite);
    EXPECT_EQ(At(500, 400), kYellow);
    EXPECT_EQ(At(519, 409), kYellow);
    EXPECT_EQ(At(520, 400), kBlue);
    EXPECT_EQ(At(510, 410), kBlue);

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
    EXPECT_FALSE(g_pScreen->LoadLayer(4, "yellow", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->LoadLayer(10, "yellow", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->LoadLayer(-1, "yellow", 1, 0, 0, 0));
    EXPECT_EQ(g_pScreen->GetLayer(4)->GetName(), std::string("red"));
    EXPECT_TRUE(g_pScreen->SetEffect(71));
    EXPECT_FALSE(g_pScreen->SetEffect(72));
    EXPECT_FALSE(g_pScreen->SetEffect(-1));
    EXPECT_EQ(g_pScreen->GetEffect(), 71);
    // Showing or hiding an empty slot does nothing.
    g_pScreen->ShowLayer(5, 1);
    g_pScreen->ShowLayer(12, 1);
    g_pScreen->SetLayerPos(7, 1, 1);
    EXPECT_EQ(g_pScreen->GetLayer(5), nullptr);
}

TEST_F(ScreenTest, UpdateRegionCoversExactlyWhatChanged) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    // A hidden picture composes nothing but still marks the whole screen.
    g_pScreen->LoadLayer(3, "red", 0, 100, 100, 0);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    // A move marks nothing by itself.
    g_pScreen->SetLayerPos(3, 200, 150);
    Frame();
    EXPECT_TRUE(IsRectEmpty(&region));
    g_pScreen->ShowLayer(3, 1);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{200, 150, 300, 230})) << Describe(region);
    EXPECT_EQ(At(200, 150), kRed);
    // Showing what already shows does nothing at all.
    g_pScreen->ShowLayer(3, 1);
    Frame();
    EXPECT_TRUE(IsRectEmpty(&region));
    // Hiding marks the same RECT and the background comes back there.
    g_pScreen->ShowLayer(3, 0);
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{200, 150, 300, 230}));
    EXPECT_EQ(At(200, 150), kBlue);
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

    // Effects on: the cross-fade from blue to yellow takes 640 ms in 20-ms steps of 8.
    g_pScreen->SetEffectEnable(1);
    EXPECT_TRUE(g_pScreen->ChangeLayer(2, "yellow", 1, 0, 0, 0, -1, -1, -1, -1));
    EXPECT_TRUE(g_pScreen->IsRunning());
    EXPECT_TRUE(g_pTransition->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 2 + 3); // two pictures and three work surfaces
    Frame();
    EXPECT_EQ(At(10, 10), kRed); // the before image
    EXPECT_EQ(At(300, 300), kBlue);
    Advance(320);
    Frame();
    const DWORD mid = At(10, 10);
    EXPECT_EQ(mid >> 16, 0xFFu);         // red stays full
    EXPECT_GT((mid >> 8) & 0xFF, 0x60u); // green on its way up
    EXPECT_LT((mid >> 8) & 0xFF, 0xA0u); //
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    RunToEnd();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(At(10, 10), kYellow);
    EXPECT_EQ(At(300, 300), kBlue);
    EXPECT_EQ(ExtraSurfaces(), 2); // the work surfaces are gone
}

TEST_F(ScreenTest, FrameThatReportsTheEndStillShowsTheTransitionImage) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(1);
    // One step of 256: the engine draws the after image at 10 ms and reports the end on the next step.
    // Two steps of 128: the engine draws the half-way image at 10 ms and reports the end at 20 ms
    // without drawing.
    g_pScreen->SetEffectParams(0, 0, 10, 128);
    g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    Advance(10);
    Frame();
    EXPECT_EQ(At(0, 0), 0x7F007Fu);
    EXPECT_TRUE(g_pScreen->IsRunning());
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
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(1);
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

TEST_F(ScreenTest, MaskWipeAndDitherUseTheirWorkSurfaces) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(4); // hard-edged wipe from the top
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
    EXPECT_NE(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_NE(g_pScreen->GetWorkSurface(1), nullptr);
    EXPECT_EQ(g_pScreen->GetWorkSurface(2), nullptr);
    Frame();
    EXPECT_EQ(At(0, 0), kGreen);
    Advance(25 * 8);
    Frame();
    int blue = 0;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            blue += At(x, y) == kBlue;
    EXPECT_GT(blue, 0);
    EXPECT_LT(blue, 16);
    RunToEnd();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(ExtraSurfaces(), 1);
}

TEST_F(ScreenTest, RefusedEngineStartMakesTheChangeAtOnce) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(30); // no such mask in "mask.arc"
    EXPECT_TRUE(g_pScreen->LoadLayer(1, "red", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(ExtraSurfaces(), 2);
    Frame();
    EXPECT_EQ(At(0, 0), kRed);
}

TEST_F(ScreenTest, ComposePreBlendsAlphaPicturesOverWhatLiesBelow) {
    g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    g_pScreen->LoadLayer(1, "green", 1, 0, 0, 0);
    g_pScreen->LoadLayer(5, "glass", 1, 150, 50, 0); // red at alpha 128
    Frame();
    // Over green where the green square lies beneath it: red 0 + (255 x 128 / 256), green 255 - 128.
    EXPECT_EQ(At(160, 60), 0x7F7F00u);
    // Over blue beside the square.
    EXPECT_EQ(At(210, 60), 0x7F007Fu);
    // Moved wholly over the blue, it is blended again.
    g_pScreen->SetLayerPos(5, 300, 300);
    AddUpdateRect(GetScreenRect());
    Frame();
    EXPECT_EQ(At(310, 310), 0x7F007Fu);
    EXPECT_EQ(At(160, 60), kGreen);
}

TEST_F(ScreenTest, ComposeWithoutABackgroundBlendsOverBlack) {
    g_pScreen->LoadLayer(5, "glass", 1, 0, 0, 0);
    FullFrame();
    EXPECT_EQ(At(10, 10), 0x7F0000u);
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
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(At(0, 3), kRed);
    EXPECT_EQ(At(96, 3), kRed);
    EXPECT_EQ(At(97, 3), kBlue);
    EXPECT_EQ(At(636, 100), kBlue);
    EXPECT_EQ(At(637, 100), 0u);
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
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(4);
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
