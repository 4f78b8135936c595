// Display-mode changes and surface losses while the compositor runs a transition or holds a fade.
#include "tests/screen/ScreenFixture.h"

using namespace screen_test;

namespace {
class SurfacesTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(1, "glass", 1, 0, 0, 0);
        FullFrame();
        g_pScreen->SetEffectEnable(1);
        g_pScreen->SetEffect(4);
    }
    // What the game object does around a display-mode change: stop, release, new object, restore.
    void ChangeDisplayMode() {
        g_pTransition->RequestStop();
        EXPECT_TRUE(g_pScreen->Release());
        NewDisplay();
        EXPECT_TRUE(g_pScreen->Restore(dd));
    }
    // A new DirectDraw object with a new back buffer, as the display object makes them.
    void NewDisplay() {
        IDirectDraw* fresh = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(fresh, SIZE{640, 480}));
        SetRenderTarget(back->GetSurface());
        dd->Release();
        dd = fresh;
        SetDirectDraw(dd);
    }
};
} // namespace

TEST_F(SurfacesTest, ReleaseAndRestoreDuringATransition) {
    g_pScreen->LoadLayer(2, "red", 1, 300, 300, 0);
    Frame();
    Advance(100);
    Frame();
    ASSERT_TRUE(g_pScreen->IsRunning());
    g_pTransition->RequestStop();
    EXPECT_TRUE(g_pScreen->Release());
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_EQ(ExtraSurfaces(), 0);
    NewDisplay();
    EXPECT_TRUE(g_pScreen->Restore(dd));
    // Three pictures, the "AM" one with its kept copy, composed again.
    EXPECT_EQ(ExtraSurfaces(), 4);
    FullFrame();
    EXPECT_EQ(At(300, 300), kRed);
    EXPECT_EQ(At(10, 10), 0x7F007Fu);
    EXPECT_EQ(At(500, 100), kBlue);
    // Transitions work as before.
    g_pScreen->ShowLayer(2, 0);
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    EXPECT_EQ(At(300, 300), kBlue);
}

TEST_F(SurfacesTest, OverlayComesBackInItsColour) {
    g_pScreen->SetEffect(1);
    g_pScreen->Fade(CScreen::kWhiteOut);
    Frame();
    Advance(100);
    Frame();
    // Cut short by the mode change, the white-out has reached its end: white.
    ChangeDisplayMode();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_TRUE(g_pScreen->IsWhitedOut());
    FullFrame();
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(639, 479), kWhite);
    g_pScreen->Fade(CScreen::kWhiteIn);
    RunToEnd();
    EXPECT_EQ(At(500, 100), kBlue);
    EXPECT_FALSE(IsErrorStop());

    // After a loss the black overlay is filled again too.
    g_pScreen->SetEffectEnable(0);
    g_pScreen->Fade(CScreen::kBlackOut);
    pt::LoseAllSurfaces();
    back->Restore();
    EXPECT_TRUE(g_pScreen->RestoreIfLost());
    FullFrame();
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(At(639, 479), 0u);
}

TEST_F(SurfacesTest, LossDuringAFadeEndsIt) {
    g_pScreen->SetEffect(1);
    g_pScreen->Fade(CScreen::kBlackOut);
    Frame();
    Advance(100);
    Frame();
    pt::LoseAllSurfaces();
    back->Restore();
    g_pTransition->RequestStop();
    EXPECT_TRUE(g_pScreen->RestoreIfLost());
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(g_pScreen->GetWorkSurface(0), nullptr);
    EXPECT_TRUE(g_pScreen->IsBlackedOut());
    FullFrame();
    EXPECT_EQ(At(320, 240), 0u);
}

TEST_F(SurfacesTest, FrozenScreenIsMadeAgainFromTheLayers) {
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
