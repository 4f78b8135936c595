#include "graphics/HitArea.h"
#include "graphics/MaskImage.h"
#include "tools/fixtures/PictureWriter.h"

#include <gtest/gtest.h>

namespace {
const RECT kTable[] = {
    {0, 0, 100, 100},   // 0
    {50, 50, 150, 150}, // 1 overlaps 0
    {200, 0, 300, 50},  // 2
    {300, 0, 400, 50},  // 3 touches 2
};

class Panel : public CHitArea {
  public:
    Panel() {
        m_pRectTable = kTable;
        m_nRectCount = 4;
    }
};

void ExpectState(const CHitArea& h, int pressed, int hover, int current) {
    EXPECT_EQ(h.GetPressedRegion(), pressed);
    EXPECT_EQ(h.GetHoverRegion(), hover);
    EXPECT_EQ(h.GetCurrentRegion(), current);
}

// A 4x3 mask: values 0..11 with 255 in the middle.
fixtures::Bytes SmallMask(bool runLength) {
    fixtures::Bytes values = {0, 1, 2, 3, 4, 255, 255, 7, 8, 9, 10, 11};
    return fixtures::WriteMaskImage(4, 3, values, runLength);
}
} // namespace

TEST(HitArea, RectanglesHitTestWithExclusiveEdgesAndLowerIndexFirst) {
    Panel p;
    EXPECT_EQ(p.HitTest(0, 0), 0);
    EXPECT_EQ(p.HitTest(99, 99), 0);
    EXPECT_EQ(p.HitTest(75, 75), 0); // overlap: the lower index wins
    EXPECT_EQ(p.HitTest(100, 75), 1);
    EXPECT_EQ(p.HitTest(150, 75), -1); // right edge is outside
    EXPECT_EQ(p.HitTest(250, 50), -1); // bottom edge is outside
    EXPECT_EQ(p.HitTest(300, 10), 3);
    EXPECT_EQ(p.HitTest(-1, 0), -1);
}

TEST(HitArea, PressMoveOffAndBackThenReleaseClicks) {
    Panel p;
    ExpectState(p, -1, -1, -1);
    p.OnMouseMove(250, 10);
    ExpectState(p, -1, 2, -1);
    p.OnLButtonDown(250, 10);
    EXPECT_TRUE(p.IsButtonHeld());
    ExpectState(p, 2, -1, 2);
    p.OnMouseMove(500, 400);
    ExpectState(p, 2, -1, -1);
    p.OnMouseMove(350, 10); // over another region while held
    ExpectState(p, 2, -1, -1);
    p.OnMouseMove(260, 20);
    ExpectState(p, 2, -1, 2);
    p.OnLButtonUp(260, 20);
    EXPECT_FALSE(p.IsButtonHeld());
    ExpectState(p, 2, 2, 2);
    // Pressed stays after the release until the next press.
    p.OnMouseMove(10, 10);
    ExpectState(p, 2, 0, -1);
}

TEST(HitArea, ReleaseElsewhereIsNoClick) {
    Panel p;
    p.OnLButtonDown(250, 10);
    p.OnLButtonUp(350, 10);
    ExpectState(p, 2, 3, -1);

    Panel q;
    q.OnLButtonDown(500, 400); // over no region
    ExpectState(q, -1, -1, -1);
    q.OnLButtonUp(350, 10);
    ExpectState(q, -1, 3, -1);

    Panel r;
    r.OnLButtonDown(250, 10);
    r.OnLButtonUp(500, 400); // released over nothing
    ExpectState(r, 2, -1, -1);
}

TEST(HitArea, SecondPressAndStrayReleaseChangeNothing) {
    Panel p;
    p.OnLButtonUp(250, 10); // no press before it
    ExpectState(p, -1, -1, -1);
    EXPECT_FALSE(p.IsButtonHeld());
    p.OnLButtonDown(250, 10);
    p.OnLButtonDown(10, 10);
    ExpectState(p, 2, -1, 2);
    p.ResetInput();
    ExpectState(p, -1, -1, -1);
    EXPECT_FALSE(p.IsButtonHeld());
}

TEST(HitArea, MaskRegionsWithNoneValueAndPlacement) {
    for (bool copy : {false, true}) {
        Panel p;
        fixtures::Bytes image = SmallMask(false);
        ASSERT_TRUE(p.SetMask(image.data(), 10, 20, 255, copy ? 1 : 0, image.size()));
        EXPECT_TRUE(p.IsMaskMode());
        if (copy) std::fill(image.begin(), image.end(), 0xEE); // the copy does not see this
        EXPECT_EQ(p.HitTest(10, 20), 0);                       // a value 0 is region 0
        EXPECT_EQ(p.HitTest(13, 20), 3);
        EXPECT_EQ(p.HitTest(11, 21), -1); // the none value
        EXPECT_EQ(p.HitTest(13, 22), 11);
        EXPECT_EQ(p.HitTest(14, 20), -1); // right of the mask
        EXPECT_EQ(p.HitTest(10, 23), -1); // below it
        EXPECT_EQ(p.HitTest(9, 20), -1);
        EXPECT_EQ(p.HitTest(50, 50), -1); // the rectangle table is not used in mask mode
        p.OnLButtonDown(13, 22);
        p.OnLButtonUp(13, 22);
        ExpectState(p, 11, 11, 11);
        p.ReleaseMask();
        EXPECT_FALSE(p.IsMaskMode());
        ExpectState(p, 11, 11, 11); // regions stay
        EXPECT_EQ(p.HitTest(50, 50), 0);
    }
}

TEST(HitArea, MaskImagesThatDoNotHoldTheirPixelsAreRefused) {
    Panel p;
    fixtures::Bytes image = SmallMask(false);
    // Fewer bytes at hand than the header's total.
    EXPECT_FALSE(p.SetMask(image.data(), 0, 0, 255, 0, image.size() - 1));
    EXPECT_FALSE(p.SetMask(image.data(), 0, 0, 255, 1, 1039));
    EXPECT_FALSE(p.SetMask(nullptr, 0, 0, 255, 0, 0));
    // A total below 1040 + width x height.
    fixtures::Bytes shortTotal = image;
    fixtures::PutU32(shortTotal, 0, 1040 + 11);
    EXPECT_FALSE(p.SetMask(shortTotal.data(), 0, 0, 255, 1, shortTotal.size()));
    // A width and height whose product wraps 32 bits.
    fixtures::Bytes huge = image;
    fixtures::PutU32(huge, 4, 0x10000);
    fixtures::PutU32(huge, 8, 0x10000);
    EXPECT_FALSE(p.SetMask(huge.data(), 0, 0, 255, 1, huge.size()));
    EXPECT_FALSE(p.IsMaskMode());
    EXPECT_EQ(p.HitTest(10, 10), 0);
}

TEST(HitArea, MaskWriterCountsValuesAndPacksRuns) {
    const fixtures::Bytes raw = SmallMask(false);
    MaskImageHeader h;
    ASSERT_TRUE(ReadMaskImageHeader(raw.data(), raw.size(), &h));
    EXPECT_EQ(h.totalSize, 1040u + 12);
    EXPECT_EQ(h.width, 4u);
    EXPECT_EQ(h.height, 3u);
    EXPECT_EQ(h.valueCounts[255], 2u);
    EXPECT_EQ(h.valueCounts[0], 1u);
    EXPECT_EQ(h.valueCounts[6], 0u);
    EXPECT_TRUE(IsMaskImageWhole(raw.data(), raw.size()));

    fixtures::Bytes flat(64 * 8, 7);
    const fixtures::Bytes packed = fixtures::WriteMaskImage(64, 8, flat, true);
    ASSERT_TRUE(ReadMaskImageHeader(packed.data(), packed.size(), &h));
    EXPECT_EQ(h.totalSize, packed.size());
    EXPECT_LT(packed.size(), 1040u + 64 * 8);
    EXPECT_EQ(h.valueCounts[7], 64u * 8);
    // A packed image is not whole as a hit map: its pixels are still to be unpacked.
    EXPECT_FALSE(IsMaskImageWhole(packed.data(), packed.size()));
    EXPECT_FALSE(ReadMaskImageHeader(packed.data(), 1039, &h));
}
