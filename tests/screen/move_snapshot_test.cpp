// MoveChar at chosen clock times, its refusals, and the frozen screen revealed by one transition.
#include "tests/screen/ScreenFixture.h"

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
    void Effects(int effect) {
        g_pScreen->SetEffectEnable(1);
        g_pScreen->SetEffect(effect);
    }
    bool Logged(const std::string& sjis) const { return Log().find(sjis) != std::string::npos; }
};
} // namespace

TEST_F(MoveTest, SlidesAlongXAtTheClocksPace) {
    Effects(1);
    // 20 tenths over dx = -100: after 1000 ms of its 2000 the picture stands 50 pixels left.
    g_pScreen->MoveChar(3, 5, 200, 20);
    EXPECT_TRUE(g_pScreen->IsRunning());
    EXPECT_TRUE(g_pScreen->IsMoving());
    EXPECT_TRUE(g_pTransition->IsRunning()); // input waits as for a transition
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 300);
    Frame(); // the first step takes the start
    Advance(1000);
    Frame();
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 250);
    // Only the band the picture swept is redrawn: rows 200-279, new x to old x + width.
    EXPECT_TRUE(SameRect(region, RECT{250, 200, 400, 280})) << Describe(region);
    EXPECT_EQ(At(250, 200), kRed);
    EXPECT_EQ(At(349, 279), kRed);
    EXPECT_EQ(At(350, 200), kBlue);
    Advance(500);
    Frame();
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 225);
    // At the end it changes slot and the whole screen is redrawn.
    Advance(500);
    Frame();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    ASSERT_NE(g_pScreen->GetLayer(5), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(5)->m_nX, 200);
    EXPECT_EQ(g_pScreen->GetLayer(5)->m_nY, 200);
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    EXPECT_EQ(At(200, 200), kRed);
    EXPECT_EQ(At(300, 200), kBlue);
}

TEST_F(MoveTest, LoadWithATransitionIntoTheSlideTargetEndsTheSlideFirst) {
    Effects(1);
    g_pScreen->MoveChar(3, 5, 200, 20);
    // The slide reaches slot 5 before the load looks at it: the slot is taken and nothing is lost.
    EXPECT_FALSE(g_pScreen->LoadLayer(5, "yellow", 1, 0, 0, 0));
    EXPECT_FALSE(g_pScreen->IsMoving());
    EXPECT_FALSE(g_pScreen->IsRunning());
    ASSERT_NE(g_pScreen->GetLayer(5), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(5)->GetName(), std::string("red"));
    EXPECT_EQ(g_pScreen->GetLayer(5)->m_nX, 200);
    EXPECT_EQ(ExtraSurfaces(), 2);
    // Another slot loads with its transition as usual.
    EXPECT_TRUE(g_pScreen->LoadLayer(6, "yellow", 1, 0, 0, 0));
    EXPECT_TRUE(g_pScreen->IsRunning());
    RunToEnd();
    EXPECT_EQ(At(10, 10), kYellow);
}

TEST_F(MoveTest, RightwardSlideMarksFromTheOldX) {
    Effects(1);
    g_pScreen->MoveChar(3, 3, 400, 10);
    Frame();
    Advance(250);
    Frame();
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 325);
    EXPECT_TRUE(SameRect(region, RECT{300, 200, 425, 280})) << Describe(region);
}

TEST_F(MoveTest, FirstStepAtTickZeroStillStartsTheSlide) {
    pt::SetClock(0);
    Effects(1);
    g_pScreen->MoveChar(3, 3, 200, 10);
    Frame();
    pt::SetClock(500);
    Frame();
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 250);
}

TEST_F(MoveTest, MovesAtOnceWithoutAnimation) {
    // Effects on but no duration: immediate, also for a negative one.
    Effects(1);
    g_pScreen->MoveChar(3, 6, 100, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(6)->m_nX, 100);
    g_pScreen->MoveChar(6, 6, 150, -5);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(6)->m_nX, 150);
    // Effect 0: immediate whatever the duration.
    g_pScreen->SetEffect(0);
    g_pScreen->MoveChar(6, 6, 50, 30);
    EXPECT_FALSE(g_pScreen->IsRunning());
    Frame();
    EXPECT_TRUE(SameRect(region, RECT{0, 0, 640, 480}));
    EXPECT_EQ(At(50, 200), kRed);
    // Onto a taken slot: the picture there is replaced.
    g_pScreen->LoadLayer(7, "yellow", 1, 0, 0, 0);
    g_pScreen->MoveChar(6, 7, 10, 0);
    EXPECT_EQ(g_pScreen->GetLayer(6), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(7)->GetName(), std::string("red"));
    EXPECT_EQ(ExtraSurfaces(), 2);
}

TEST_F(MoveTest, BadSlotsAreReportedAsScriptErrors) {
    g_pScreen->MoveChar(0, 3, 0, 0);
    EXPECT_TRUE(Logged(platform::Utf8ToSjis("レイヤー０に対してMoveChar関数は使用できません")));
    g_pScreen->MoveChar(4, 3, 0, 0);
    EXPECT_TRUE(Logged(platform::Utf8ToSjis("対象レイヤー(4)が未使用です。MoveChar関数")));
    const std::string badSlot = platform::Utf8ToSjis("MoveChar関数のレイヤー番号が範囲外です。");
    g_pScreen->MoveChar(10, 3, 0, 0);
    EXPECT_TRUE(Logged(badSlot + "  (10, 3)")) << Log();
    g_pScreen->MoveChar(3, -1, 0, 0);
    EXPECT_TRUE(Logged(badSlot + "  (3, -1)"));
    g_pScreen->MoveChar(3, 10, 0, 0);
    EXPECT_TRUE(Logged(badSlot + "  (3, 10)"));
    // Nothing moved.
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 300);
    EXPECT_TRUE(IsErrorStop());
}

TEST_F(MoveTest, ReleaseAndRestoreDuringASlideCompleteIt) {
    Effects(1);
    g_pScreen->MoveChar(3, 4, 100, 20);
    Frame();
    Advance(500);
    Frame();
    EXPECT_TRUE(g_pScreen->Release());
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(4)->m_nX, 100);
    EXPECT_TRUE(g_pScreen->Restore(dd));
    FullFrame();
    EXPECT_EQ(At(100, 200), kRed);
    EXPECT_EQ(At(300, 200), kBlue);

    // A restore after a loss does the same.
    g_pScreen->MoveChar(4, 4, 500, 20);
    Frame();
    Advance(500);
    Frame();
    pt::LoseAllSurfaces();
    EXPECT_TRUE(g_pScreen->RestoreIfLost());
    EXPECT_FALSE(g_pScreen->IsMoving());
    EXPECT_EQ(g_pScreen->GetLayer(4)->m_nX, 500);
}

TEST_F(MoveTest, ASecondMoveFinishesTheFirst) {
    Effects(1);
    g_pScreen->MoveChar(3, 4, 100, 20);
    Frame();
    Advance(500);
    Frame();
    g_pScreen->MoveChar(4, 4, 0, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3), nullptr);
    EXPECT_EQ(g_pScreen->GetLayer(4)->m_nX, 0);
}

TEST_F(MoveTest, SecondSnapshotKeepsTheSavedSettingAndDropsTheFirstPicture) {
    Effects(1);
    g_pScreen->TakeSnapshot();
    EXPECT_TRUE(g_pScreen->HasSnapshot());
    EXPECT_EQ(g_pScreen->GetEffectEnable(), 0);
    // Each change is immediate and hidden behind the frozen picture.
    g_pScreen->ChangeLayer(0, "bg2", 1, 0, 0, 0, -1, -1, -1, -1);
    g_pScreen->LoadLayer(5, "yellow", 1, 0, 0, 0);
    g_pScreen->ShowLayer(3, 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    FullFrame();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(300, 200), kRed);
    // A second freeze keeps the real setting (the first one saved it) and drops the first picture.
    g_pScreen->TakeSnapshot();
    EXPECT_EQ(ExtraSurfaces(), 3 + 1);
    g_pScreen->TransitionFromSnapshot(1);
    EXPECT_EQ(g_pScreen->GetEffectEnable(), 1);
    EXPECT_FALSE(g_pScreen->HasSnapshot());
    EXPECT_TRUE(g_pScreen->IsRunning());
    Frame();
    // The second snapshot already held the changes.
    EXPECT_EQ(At(0, 0), kYellow);
    EXPECT_EQ(At(300, 200), kGreen);
    RunToEnd();
    EXPECT_EQ(At(0, 0), kYellow);
    EXPECT_EQ(At(300, 200), kGreen);
    EXPECT_EQ(ExtraSurfaces(), 3);
}

TEST_F(MoveTest, SnapshotRevealsAllChangesTogether) {
    Effects(1);
    g_pScreen->TakeSnapshot();
    g_pScreen->ChangeLayer(0, "bg2", 1, 0, 0, 0, -1, -1, -1, -1);
    g_pScreen->LoadLayer(5, "yellow", 1, 0, 0, 0);
    g_pScreen->ShowLayer(3, 0);
    g_pScreen->TransitionFromSnapshot(1);
    Frame();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(300, 200), kRed);
    Advance(320);
    Frame();
    // Half-way every change moves together.
    const DWORD corner = At(0, 0), middle = At(300, 200);
    EXPECT_GT(corner >> 16, 0x60u);         // towards yellow's red
    EXPECT_GT((middle >> 8) & 0xFF, 0x60u); // towards green
    EXPECT_LT(middle >> 16, 0xA0u);
    RunToEnd();
    EXPECT_EQ(At(0, 0), kYellow);
    EXPECT_EQ(At(300, 200), kGreen);
}

TEST_F(MoveTest, SnapshotEdges) {
    // Without a snapshot only the effect number changes.
    g_pScreen->TransitionFromSnapshot(7);
    EXPECT_EQ(g_pScreen->GetEffect(), 7);
    EXPECT_EQ(g_pScreen->GetEffectEnable(), 0);
    EXPECT_FALSE(g_pScreen->IsRunning());
    // An effect number out of range keeps the current one; effects stay off as they were.
    g_pScreen->TakeSnapshot();
    g_pScreen->TransitionFromSnapshot(99);
    EXPECT_EQ(g_pScreen->GetEffect(), 7);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pScreen->HasSnapshot());
    // While frozen, an animated MoveChar is not possible: it moves at once.
    Effects(1);
    g_pScreen->TakeSnapshot();
    g_pScreen->MoveChar(3, 3, 0, 20);
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(3)->m_nX, 0);
    g_pScreen->TransitionFromSnapshot(1);
    RunToEnd();
    EXPECT_EQ(At(0, 200), kRed);
}

TEST_F(MoveTest, PictureTakenOutOfItsSlotMidSlideEndsTheSlide) {
    Effects(1);
    g_pScreen->MoveChar(3, 5, 100, 20);
    Frame();
    DeleteLayerObject(g_pScreen->SetLayer(3, nullptr));
    Advance(100);
    Frame();
    EXPECT_FALSE(g_pScreen->IsRunning());
    EXPECT_FALSE(g_pTransition->IsRunning());
    EXPECT_EQ(g_pScreen->GetLayer(5), nullptr);
}
