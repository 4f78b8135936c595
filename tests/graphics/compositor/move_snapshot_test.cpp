// MoveChar at chosen clock times and its refusals, and the frozen screen revealed by one transition.
#include "tests/graphics/compositor/ScreenFixture.h"

using namespace screen_test;

namespace {
class MoveTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(3, "red", 1, 300, 200, 0);
        FullFrame();
    }
    int X(int slot) const { return g_pScreen->GetLayer(slot) ? g_pScreen->GetLayer(slot)->m_nX : -9999; }
    // Starts a slide and runs `ms` past its first step.
    void SlideFor(int from, int to, int x, int tenths, DWORD ms) {
        g_pScreen->MoveChar(from, to, x, tenths);
        Frame(); // the first step takes the start
        Frame(ms);
    }
};
} // namespace

TEST_F(MoveTest, SlidesAlongXAtTheClocksPace) {
    Effects(1);
    // 20 tenths over dx = -100: after 1000 ms of its 2000 the picture stands 50 pixels left.
    g_pScreen->MoveChar(3, 5, 200, 20);
    EXPECT_TRUE(g_pScreen->IsRunning() && g_pScreen->IsMoving());
    EXPECT_TRUE(g_pTransition->IsRunning()); // input waits as for a transition
    EXPECT_EQ(X(3), 300);
    Run(1000);
    EXPECT_EQ(X(3), 250);
    // Only the band the picture swept is redrawn: rows 200-279, new x to old x + width.
    EXPECT_TRUE(SameRect(region, RECT{250, 200, 400, 280})) << Describe(region);
    ExpectAt({{250, 200, kRed}, {349, 279, kRed}, {350, 200, kBlue}});
    Frame(500);
    EXPECT_EQ(X(3), 225);
    // At the end it changes slot and the whole screen is redrawn.
    Frame(500);
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    EXPECT_TRUE(X(5) == 200 && g_pScreen->GetLayer(5)->m_nY == 200);
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    ExpectAt({{200, 200, kRed}, {300, 200, kBlue}});
}

TEST_F(MoveTest, RightwardSlideMarksFromTheOldXAndATickZeroStartStillSlides) {
    Effects(1);
    SlideFor(3, 3, 400, 10, 250);
    EXPECT_EQ(X(3), 325);
    EXPECT_TRUE(SameRect(region, RECT{300, 200, 425, 280})) << Describe(region);
    // FirstStepAtTickZeroStillStartsTheSlide
    g_pScreen->MoveChar(3, 3, 300, 0);
    pt::SetClock(0);
    g_pScreen->MoveChar(3, 3, 200, 10);
    Frame();
    pt::SetClock(500);
    Frame();
    EXPECT_EQ(X(3), 250);
}

TEST_F(MoveTest, LoadWithATransitionIntoTheSlideTargetEndsTheSlideFirst) {
    Effects(1);
    g_pScreen->MoveChar(3, 5, 200, 20);
    // The slide reaches slot 5 before the load looks at it: the slot is taken and nothing is lost.
    EXPECT_FALSE(g_pScreen->LoadLayer(5, "yellow", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->IsMoving() || g_pScreen->IsRunning());
    EXPECT_STREQ(g_pScreen->GetLayer(5)->GetName(), "red");
    EXPECT_TRUE(X(5) == 200 && ExtraSurfaces() == 2);
    // Another slot loads with its transition as usual.
    EXPECT_TRUE(g_pScreen->LoadLayer(6, "yellow", 1, 0, 0, 0));
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    EXPECT_EQ(At(10, 10), kYellow);
}

TEST_F(MoveTest, MovesAtOnceWithoutAnimation) {
    // Effects on but no duration: immediate, also for a negative one; effect 0 whatever the duration;
    // onto a taken slot the picture there is replaced.
    g_pScreen->LoadLayer(7, "yellow", 1, 0, 300, 0);
    Effects(1);
    const struct {
        const char* name;
        int effect, from, to, x, tenths;
    } rows[] = {{"no duration", 1, 3, 6, 100, 0},
                {"negative duration", 1, 6, 6, 150, -5},
                {"effect 0", 0, 6, 6, 50, 30},
                {"onto a taken slot", 0, 6, 7, 10, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        g_pScreen->SetEffect(row.effect);
        g_pScreen->MoveChar(row.from, row.to, row.x, row.tenths);
        EXPECT_TRUE(!g_pScreen->IsRunning() && X(row.to) == row.x);
        EXPECT_TRUE(row.from == row.to || g_pScreen->GetLayer(row.from) == nullptr);
        Frame();
        EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}) && At(row.x, 200) == kRed);
    }
    EXPECT_STREQ(g_pScreen->GetLayer(7)->GetName(), "red");
    EXPECT_EQ(ExtraSurfaces(), 2);
}

TEST_F(MoveTest, BadSlotsAreReportedAsScriptErrors) {
    const struct {
        int from, to;
        std::string message;
    } rows[] = {{0, 3, "レイヤー０に対してMoveChar関数は使用できません"},
                {4, 3, "対象レイヤー(4)が未使用です。MoveChar関数"},
                {10, 3, "MoveChar関数のレイヤー番号が範囲外です。  (10, 3)"},
                {3, -1, "MoveChar関数のレイヤー番号が範囲外です。  (3, -1)"},
                {3, 10, "MoveChar関数のレイヤー番号が範囲外です。  (3, 10)"}};
    for (const auto& row : rows) {
        g_pScreen->MoveChar(row.from, row.to, 0, 0);
        EXPECT_TRUE(Logged(row.message.c_str())) << row.message;
    }
    EXPECT_EQ(X(3), 300); // nothing moved
    EXPECT_TRUE(IsErrorStop());
}

TEST_F(MoveTest, ReleaseRestoreASecondMoveOrALostPictureEndTheSlide) {
    Effects(1);
    SlideFor(3, 4, 100, 20, 500);
    EXPECT_TRUE(g_pScreen->Release());
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning() || g_pScreen->GetLayer(3));
    EXPECT_EQ(X(4), 100);
    EXPECT_TRUE(g_pScreen->Restore(dd));
    FullFrame();
    ExpectAt({{100, 200, kRed}, {300, 200, kBlue}});
    // A restore after a loss does the same.
    SlideFor(4, 4, 500, 20, 500);
    pt::LoseAllSurfaces();
    EXPECT_TRUE(g_pScreen->RestoreIfLost());
    EXPECT_TRUE(!g_pScreen->IsMoving() && X(4) == 500);
    // ASecondMoveFinishesTheFirst
    SlideFor(4, 3, 100, 20, 500);
    g_pScreen->MoveChar(3, 3, 0, 0);
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pScreen->GetLayer(4));
    EXPECT_EQ(X(3), 0);
    // PictureTakenOutOfItsSlotMidSlideEndsTheSlide
    SlideFor(3, 5, 100, 20, 0);
    DeleteLayerObject(g_pScreen->SetLayer(3, nullptr));
    Frame(100);
    EXPECT_FALSE(g_pScreen->IsRunning() || g_pTransition->IsRunning() || g_pScreen->GetLayer(5));
}

TEST_F(MoveTest, SnapshotRevealsAllChangesTogetherAndASecondKeepsTheSavedSetting) {
    Effects(1);
    g_pScreen->TakeSnapshot();
    EXPECT_TRUE(g_pScreen->HasSnapshot() && g_pScreen->GetEffectEnable() == 0);
    // Each change is immediate and hidden behind the frozen picture.
    g_pScreen->ChangeLayer(0, "bg2", 1, 0, 0, 0, -1, -1, -1, -1);
    g_pScreen->LoadLayer(5, "yellow", 1, 0, 0, 0);
    g_pScreen->ShowLayer(3, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    FullFrame();
    ExpectAt({{0, 0, kBlue}, {300, 200, kRed}});
    g_pScreen->TransitionFromSnapshot(1);
    EXPECT_TRUE(g_pScreen->GetEffectEnable() == 1 && !g_pScreen->HasSnapshot());
    Frame();
    ExpectAt({{0, 0, kBlue}, {300, 200, kRed}});
    Frame(320);
    // Half-way every change moves together: blue to yellow, red to green.
    ExpectAt({{0, 0, 0x7F7F7F}, {300, 200, 0x7F7F00}});
    RunToEnd();
    ExpectAt({{0, 0, kYellow}, {300, 200, kGreen}});
    EXPECT_EQ(ExtraSurfaces(), 3);
    // SecondSnapshotKeepsTheSavedSettingAndDropsTheFirstPicture: the first freeze saved the real
    // setting; the second picture already holds the change.
    g_pScreen->TakeSnapshot();
    g_pScreen->ShowLayer(5, 0);
    g_pScreen->TakeSnapshot();
    EXPECT_EQ(ExtraSurfaces(), 3 + 1);
    g_pScreen->TransitionFromSnapshot(1);
    EXPECT_TRUE(g_pScreen->GetEffectEnable() == 1 && g_pScreen->IsRunning());
    Frame();
    ExpectAt({{0, 0, kGreen}, {300, 200, kGreen}});
    RunToEnd();
    EXPECT_EQ(ExtraSurfaces(), 3);
}

TEST_F(MoveTest, SnapshotEdges) {
    // Without a snapshot only the effect number changes.
    g_pScreen->TransitionFromSnapshot(7);
    EXPECT_TRUE(g_pScreen->GetEffect() == 7 && g_pScreen->GetEffectEnable() == 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    // An effect number out of range keeps the current one; effects stay off as they were.
    g_pScreen->TakeSnapshot();
    g_pScreen->TransitionFromSnapshot(99);
    EXPECT_TRUE(g_pScreen->GetEffect() == 7 && !(g_pScreen->IsRunning() || g_pScreen->HasSnapshot()));
    // While frozen, an animated MoveChar is not possible: it moves at once.
    Effects(1);
    g_pScreen->TakeSnapshot();
    g_pScreen->MoveChar(3, 3, 0, 20);
    EXPECT_TRUE(!g_pScreen->IsRunning() && X(3) == 0);
    g_pScreen->TransitionFromSnapshot(1);
    RunToEnd();
    EXPECT_EQ(At(0, 200), kRed);
}
