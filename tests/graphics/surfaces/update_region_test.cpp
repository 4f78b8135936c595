// Dirty rectangles: an object's and the frame's, and the blits into the render target that the frame's
// clips.
#include "graphics/UpdateRect.h"
#include "tests/graphics/DisplayFixture.h"

using namespace graphics_test;

// An object's dirty rectangle and the frame's update region take RECTs alike: the first after an empty
// one is taken as it is, later ones widen it to the bounding box, the result is clamped to the screen
// without reordering edges, and null empties it.
TEST(UpdateRegion, ObjectRectAndFrameRegionAreClampedBoundingAndEmptiedByNull) {
    const struct {
        const char* name;
        std::vector<RECT> added; // after an empty rectangle; an all-zero RECT stands for null
        RECT want;
    } rows[] = {
        {"ClampsToTheScreenAndWidensToTheBoundingBox",
         {{-10, -5, 700, 500}, {100, 100, 120, 120}},
         {0, 0, 640, 480}},
        {"bounding box", {{5, 6, 10, 10}, {600, 400, 620, 430}}, {5, 6, 620, 430}},
        {"ClampingDoesNotReorderEdges", {{650, 10, 700, 20}}, {650, 10, 640, 20}},
        {"inverted taken as it is", {{50, 50, 20, 20}}, {50, 50, 20, 20}},
        {"EmptyUntilARectIsAddedAndAfterNull",
         {{10, 10, 20, 20}, {}, {300, 300, 310, 310}},
         {300, 300, 310, 310}},
    };
    ResetUpdateRegion();
    CUpdateRect u;
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(u.GetRect(&r) || GetUpdateRect(nullptr) || u.GetRect(nullptr));
    EXPECT_EQ(r.left, 1); // untouched
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        u.AddRect(nullptr);
        AddUpdateRect(nullptr);
        EXPECT_FALSE(u.GetRect(&r) || GetUpdateRect(&r));
        for (const RECT& a : row.added) {
            u.AddRect(a.right ? &a : nullptr);
            AddUpdateRect(a.right ? &a : nullptr);
        }
        ASSERT_TRUE(u.GetRect(&r) == &r && EqualRect(&r, &row.want))
            << r.left << "," << r.top << "," << r.right;
        ASSERT_TRUE(GetUpdateRect(&r) == &r && EqualRect(&r, &row.want))
            << r.left << "," << r.top << "," << r.right;
        EXPECT_EQ(g_UpdateRegion.updateMode, 1);
    }
    RECT into{5, 5, 6, 6};
    const RECT wider{0, 6, 9, 9}, both{0, 5, 9, 9};
    UnionUpdateRect(&into, &wider);
    UnionUpdateRect(nullptr, &wider);
    EXPECT_TRUE(EqualRect(&into, &both));
    ResetUpdateRegion();
}

class BltToTarget : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        back = MakeSurface(640, 480);
        ASSERT_TRUE(sprite.CreateEmpty(dd, SIZE{100, 100}));
        FillSurface(sprite.GetSurface(), Pixel(0xFFFFFF), nullptr);
        SetRenderTarget(back);
    }
    int CountWhite(IDirectDrawSurface* s) {
        const auto all = pt::ReadSurfaceRgb(s);
        return static_cast<int>(std::count(all.begin(), all.end(), 0xFFFFFFu));
    }
    IDirectDrawSurface* back = nullptr;
    CDDrawSurface sprite;
};

TEST_P(BltToTarget, NothingReachesTheTargetBeforeTheFirstRect) {
    IDirectDrawSurface* other = MakeSurface(200, 200);
    EXPECT_EQ(sprite.BltTo(back, 0, 0, nullptr), 0);
    EXPECT_EQ(CountWhite(back), 0);
    EXPECT_FALSE(IsPresentNeeded());
    EXPECT_EQ(sprite.BltTo(other, 0, 0, nullptr), DD_OK);
    EXPECT_EQ(CountWhite(other), 100 * 100);
}

TEST_P(BltToTarget, ClippedToTheRegionAndMarksThePresent) {
    const RECT region{10, 20, 50, 40};
    AddUpdateRect(&region);
    EXPECT_EQ(sprite.BltTo(back, 0, 0, nullptr), DD_OK);
    EXPECT_TRUE(IsPresentNeeded());
    ExpectRect(back, region, Pixel(0xFFFFFF), 0);
    // After the frame the region is empty: a blit draws nothing and does not mark.
    AddUpdateRect(nullptr);
    ClearPresentNeeded();
    EXPECT_EQ(sprite.BltTo(back, 200, 200, nullptr), 0);
    EXPECT_FALSE(IsPresentNeeded());
    // Wholly outside a pending region: nothing drawn, but the frame is marked.
    AddUpdateRect(&region);
    EXPECT_EQ(sprite.BltTo(back, 300, 300, nullptr), 0);
    EXPECT_TRUE(IsPresentNeeded());
    EXPECT_EQ(CountWhite(back), 40 * 20);
}

// The present copies only the part of the render target that blits may have changed since the last
// present: the regions of the frames emptied since, and the one still pending, while a blit reached it.
TEST_P(BltToTarget, ThePresentTakesThePartTheFramesDrew) {
    const RECT a{10, 20, 50, 40}, b{300, 300, 320, 310};
    const struct {
        const char* name;
        const char*
            steps; // a, b: add that RECT; d: a blit at (0, 0); o: a blit far outside; n: null; p: present
        RECT want; // all zero: nothing to present
    } rows[] = {
        {"a frame that drew", "adn", a},
        {"before the region is emptied", "ad", a},
        {"a blit wholly outside the region still marks it", "aon", a},
        {"two frames before a present", "adnbdn", {10, 20, 320, 310}},
        {"a later region joins while the present is due", "adnbn", {10, 20, 320, 310}},
        {"a frame that drew nothing", "an", {}},
        {"the present forgets it", "adnp", {}},
        {"only what came after the present", "adnpbdn", b},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AddUpdateRect(nullptr);
        ClearPresentNeeded();
        for (const char* c = row.steps; *c; ++c) {
            if (*c == 'a') AddUpdateRect(&a);
            if (*c == 'b') AddUpdateRect(&b);
            if (*c == 'd') sprite.BltTo(back, 0, 0, nullptr);
            if (*c == 'o') sprite.BltTo(back, 500, 400, nullptr);
            if (*c == 'n') AddUpdateRect(nullptr);
            if (*c == 'p') ClearPresentNeeded();
        }
        RECT got{-1, -1, -1, -1};
        if (row.want.right == 0) {
            EXPECT_EQ(GetDrawnRect(&got), nullptr);
        } else {
            ASSERT_EQ(GetDrawnRect(&got), &got);
            EXPECT_TRUE(EqualRect(&got, &row.want))
                << got.left << "," << got.top << "," << got.right << "," << got.bottom;
        }
    }
}

TEST_P(BltToTarget, SourceRectClampedAndOffscreenClippedToTheClipRect) {
    CDDrawSurface small, striped;
    ASSERT_TRUE(small.CreateEmpty(dd, SIZE{40, 40}));
    IDirectDrawSurface* other = MakeSurface(640, 480);
    FillSurface(small.GetSurface(), Pixel(0xFFFFFF), nullptr);
    const RECT wide{-5, -2, 50, 50}, none{30, 0, 30, 10};
    EXPECT_EQ(small.BltTo(other, 0, 0, &wide), DD_OK);
    ExpectRect(other, RECT{0, 0, 40, 40}, Pixel(0xFFFFFF), 0);
    EXPECT_EQ(small.BltTo(other, 0, 0, &none), 0);
    // 100x100 at (-30, 20): source columns 30-99 land on 0-69.
    ASSERT_TRUE(striped.CreateEmpty(dd, SIZE{100, 100}));
    for (int x = 0; x < 100; ++x)
        pt::WriteSurfaceRaw(striped.GetSurface(), x, 0, Pixel(static_cast<DWORD>(x) << 16));
    FillSurface(other, 0, nullptr);
    EXPECT_EQ(striped.BltTo(other, -30, 20, nullptr), DD_OK);
    ExpectRaw(other, {{0, 20, Pixel(30u << 16)}, {69, 20, Pixel(99u << 16)}, {70, 20, 0}});
    // Wholly off any side, nothing is blitted.
    for (POINT at : {POINT{-100, 0}, POINT{640, 0}, POINT{0, -100}, POINT{0, 480}})
        EXPECT_EQ(striped.BltTo(other, at.x, at.y, nullptr), 0) << at.x << "," << at.y;
}

TEST_P(BltToTarget, NeverLeavesTheDestination) {
    // A destination smaller than the clip RECT, and a render target smaller than the screen.
    IDirectDrawSurface* small = MakeSurface(50, 30);
    EXPECT_EQ(sprite.BltTo(small, 20, 10, nullptr), DD_OK);
    ExpectRect(small, RECT{20, 10, 50, 30}, Pixel(0xFFFFFF), 0);
    IDirectDrawSurface* tinyTarget = MakeSurface(64, 48);
    SetRenderTarget(tinyTarget);
    AddUpdateRect(GetScreenRect());
    EXPECT_EQ(sprite.BltTo(tinyTarget, 10, 10, nullptr), DD_OK);
    EXPECT_EQ(CountWhite(tinyTarget), 54 * 38);
}

TEST_P(BltToTarget, KeyedBlitIntoTheTargetAndALostTarget) {
    CDDrawSurface cursor;
    ASSERT_TRUE(cursor.CreateEmpty(dd, SIZE{4, 4}));
    pt::WriteSurfaceRaw(cursor.GetSurface(), 1, 1, Pixel(0xFFFFFF));
    ASSERT_TRUE(cursor.SetColorKeyFromCorner(0));
    FillSurface(back, Pixel(0x0000FF), nullptr);
    const RECT corner{0, 0, 80, 64};
    AddUpdateRect(&corner);
    EXPECT_EQ(cursor.BltTo(back, 5, 5, nullptr), DD_OK);
    ExpectRaw(back, {{6, 6, Pixel(0xFFFFFF)}, {5, 5, Pixel(0x0000FF)}});
    pt::LoseSurface(back);
    EXPECT_EQ(sprite.BltTo(back, 0, 0, nullptr), DDERR_SURFACELOST);
}

GRAPHICS_IN_EVERY_FORMAT(BltToTarget);
