#include "SurfaceFixture.h"

#include "app/RunState.h"

namespace {
bool Pending(RECT* out) {
    return GetUpdateRect(out) != nullptr;
}
} // namespace

TEST(UpdateRegionRects, ClampedAndBounding) {
    ResetUpdateRegion();
    RECT r;
    EXPECT_FALSE(Pending(&r));
    const RECT big{-10, -10, 700, 500};
    AddUpdateRect(&big);
    ASSERT_TRUE(Pending(&r));
    EXPECT_TRUE(EqualRect(&r, GetScreenRect()));

    AddUpdateRect(nullptr);
    EXPECT_FALSE(Pending(&r));
    EXPECT_EQ(g_UpdateRegion.updateMode, 1);

    const RECT a{0, 0, 10, 10}, b{600, 400, 640, 480};
    AddUpdateRect(&a);
    AddUpdateRect(&b);
    ASSERT_TRUE(Pending(&r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);

    // An inverted RECT is taken as it is.
    AddUpdateRect(nullptr);
    const RECT inverted{50, 50, 20, 20};
    AddUpdateRect(&inverted);
    ASSERT_TRUE(Pending(&r));
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right, 20);
    ResetUpdateRegion();
}

class BltToTarget : public SurfaceTest {
  protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        ASSERT_TRUE(back.CreateEmpty(dd, SIZE{640, 480}));
        ASSERT_TRUE(sprite.CreateEmpty(dd, SIZE{100, 100}));
        FillSurface(sprite.GetSurface(), Pixel(0xFFFFFF), nullptr);
        SetRenderTarget(back.GetSurface());
    }
    int CountWhite(IDirectDrawSurface* s) {
        int n = 0;
        for (DWORD rgb : pt::ReadSurfaceRgb(s))
            n += rgb == 0xFFFFFF;
        return n;
    }
    CDDrawSurface back, sprite;
};

TEST_P(BltToTarget, NothingReachesTheTargetBeforeTheFirstRect) {
    CDDrawSurface other;
    ASSERT_TRUE(other.CreateEmpty(dd, SIZE{200, 200}));
    EXPECT_EQ(sprite.BltTo(back.GetSurface(), 0, 0, nullptr), 0);
    EXPECT_EQ(CountWhite(back.GetSurface()), 0);
    EXPECT_FALSE(IsPresentNeeded());
    EXPECT_EQ(sprite.BltTo(other.GetSurface(), 0, 0, nullptr), DD_OK);
    EXPECT_EQ(CountWhite(other.GetSurface()), 100 * 100);
}

TEST_P(BltToTarget, ClippedToTheRegionAndMarksThePresent) {
    const RECT region{10, 20, 50, 40};
    AddUpdateRect(&region);
    EXPECT_EQ(sprite.BltTo(back.GetSurface(), 0, 0, nullptr), DD_OK);
    EXPECT_TRUE(IsPresentNeeded());
    EXPECT_EQ(CountWhite(back.GetSurface()), 40 * 20);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(back.GetSurface(), 10, 20), 0xFFFFFFu);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(back.GetSurface(), 49, 39), 0xFFFFFFu);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(back.GetSurface(), 50, 39), 0u);

    // After the frame the region is empty: a blit draws nothing and does not mark.
    AddUpdateRect(nullptr);
    ClearPresentNeeded();
    EXPECT_EQ(sprite.BltTo(back.GetSurface(), 200, 200, nullptr), 0);
    EXPECT_FALSE(IsPresentNeeded());
    EXPECT_EQ(CountWhite(back.GetSurface()), 40 * 20);

    // Wholly outside a pending region: nothing drawn, but the frame is marked.
    AddUpdateRect(&region);
    EXPECT_EQ(sprite.BltTo(back.GetSurface(), 300, 300, nullptr), 0);
    EXPECT_TRUE(IsPresentNeeded());
    EXPECT_EQ(CountWhite(back.GetSurface()), 40 * 20);
}

TEST_P(BltToTarget, SourceRectClampedAndOffscreenClippedToTheClipRect) {
    CDDrawSurface small, other;
    ASSERT_TRUE(small.CreateEmpty(dd, SIZE{40, 40}));
    ASSERT_TRUE(other.CreateEmpty(dd, SIZE{640, 480}));
    FillSurface(small.GetSurface(), Pixel(0xFFFFFF), nullptr);
    const RECT wide{-5, 0, 50, 50};
    EXPECT_EQ(small.BltTo(other.GetSurface(), 0, 0, &wide), DD_OK);
    EXPECT_EQ(CountWhite(other.GetSurface()), 40 * 40);

    // 100x100 at (-30, 20): source columns 30-99 land on 0-69.
    CDDrawSurface striped;
    ASSERT_TRUE(striped.CreateEmpty(dd, SIZE{100, 100}));
    for (int x = 0; x < 100; ++x)
        pt::WriteSurfaceRaw(striped.GetSurface(), x, 0, Pixel(static_cast<DWORD>(x) << 16));
    FillSurface(other.GetSurface(), 0, nullptr);
    EXPECT_EQ(striped.BltTo(other.GetSurface(), -30, 20, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRaw(other.GetSurface(), 0, 20), Pixel(30u << 16));
    EXPECT_EQ(pt::ReadSurfaceRaw(other.GetSurface(), 69, 20), Pixel(99u << 16));
    EXPECT_EQ(pt::ReadSurfaceRaw(other.GetSurface(), 70, 20), 0u);
}

TEST_P(BltToTarget, NeverLeavesTheDestination) {
    // A destination smaller than the clip RECT, and a render target smaller than the screen.
    CDDrawSurface small;
    ASSERT_TRUE(small.CreateEmpty(dd, SIZE{50, 30}));
    EXPECT_EQ(sprite.BltTo(small.GetSurface(), 20, 10, nullptr), DD_OK);
    EXPECT_EQ(CountWhite(small.GetSurface()), 30 * 20);

    CDDrawSurface tinyTarget;
    ASSERT_TRUE(tinyTarget.CreateEmpty(dd, SIZE{64, 48}));
    SetRenderTarget(tinyTarget.GetSurface());
    AddUpdateRect(GetScreenRect());
    EXPECT_EQ(sprite.BltTo(tinyTarget.GetSurface(), 10, 10, nullptr), DD_OK);
    EXPECT_EQ(CountWhite(tinyTarget.GetSurface()), 54 * 38);
}

TEST_P(BltToTarget, KeyedBlitIntoTheTarget) {
    CDDrawSurface cursor;
    ASSERT_TRUE(cursor.CreateEmpty(dd, SIZE{4, 4}));
    pt::WriteSurfaceRaw(cursor.GetSurface(), 1, 1, Pixel(0xFFFFFF));
    ASSERT_TRUE(cursor.SetColorKeyFromCorner(0));
    FillSurface(back.GetSurface(), Pixel(0x0000FF), nullptr);
    const RECT corner{0, 0, 80, 64};
    AddUpdateRect(&corner);
    EXPECT_EQ(cursor.BltTo(back.GetSurface(), 5, 5, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRaw(back.GetSurface(), 6, 6), Pixel(0xFFFFFF));
    EXPECT_EQ(pt::ReadSurfaceRaw(back.GetSurface(), 5, 5), Pixel(0x0000FF));
}

TEST_P(BltToTarget, LostSurfaceResultComesBack) {
    AddUpdateRect(GetScreenRect());
    pt::LoseSurface(back.GetSurface());
    EXPECT_EQ(sprite.BltTo(back.GetSurface(), 0, 0, nullptr), DDERR_SURFACELOST);
}

INSTANTIATE_TEST_SUITE_P(Formats, BltToTarget, AllFormats(), FormatParamName);
