// Clickable regions: rectangle tables, region masks and the press, hover and click
// they follow.
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
    explicit Panel(int count = 4) {
        m_pRectTable = kTable;
        m_nRectCount = count;
    }
};

// Pressed, hover and current region, in that order.
std::vector<int> State(const CHitArea& h) {
    return {h.GetPressedRegion(), h.GetHoverRegion(), h.GetCurrentRegion()};
}

// A 4x3 mask: values 0..11 with 255 in the middle.
const fixtures::Bytes kValues = {0, 1, 2, 3, 4, 255, 255, 7, 8, 9, 10, 11};
} // namespace

TEST(HitArea, RectanglesHitTestWithExclusiveEdgesAndLowerIndexFirst) {
    const struct {
        int x, y, want;
    } rows[] = {{0, 0, 0},     {99, 99, 0},  {75, 75, 0}, {100, 75, 1}, {150, 75, -1},
                {250, 50, -1}, {300, 10, 3}, {-1, 0, -1}, {399, 49, 3}, {400, 10, -1}};
    Panel p;
    for (const auto& row : rows)
        EXPECT_EQ(p.HitTest(row.x, row.y), row.want) << row.x << "," << row.y;
    EXPECT_EQ(Panel(3).HitTest(300, 10), -1); // only the table's count
    CHitArea none;
    EXPECT_EQ(none.HitTest(0, 0), -1);
}

// Each row starts with a fresh panel and gives the state after every step: press (D), move (M) or
// release (U) at a point.
TEST(HitArea, PressMoveAndReleaseFollowTheRegions) {
    struct Step {
        char what;
        int x, y;
        std::vector<int> want;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } rows[] = {
        {"PressMoveOffAndBackThenReleaseClicks",
         {{'M', 250, 10, {-1, 2, -1}},
          {'D', 250, 10, {2, -1, 2}},
          {'M', 500, 400, {2, -1, -1}},
          {'M', 350, 10, {2, -1, -1}}, // over another region while held
          {'M', 260, 20, {2, -1, 2}},
          {'U', 260, 20, {2, 2, 2}},
          {'M', 10, 10, {2, 0, -1}}}}, // pressed stays after the release until the next press
        {"ReleaseElsewhereIsNoClick", {{'D', 250, 10, {2, -1, 2}}, {'U', 350, 10, {2, 3, -1}}}},
        {"press over no region", {{'D', 500, 400, {-1, -1, -1}}, {'U', 350, 10, {-1, 3, -1}}}},
        {"released over nothing", {{'D', 250, 10, {2, -1, 2}}, {'U', 500, 400, {2, -1, -1}}}},
        {"SecondPressAndStrayReleaseChangeNothing",
         {{'U', 250, 10, {-1, -1, -1}}, {'D', 250, 10, {2, -1, 2}}, {'D', 10, 10, {2, -1, 2}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Panel p;
        for (const Step& s : row.steps) {
            if (s.what == 'D') p.OnLButtonDown(s.x, s.y);
            if (s.what == 'M') p.OnMouseMove(s.x, s.y);
            if (s.what == 'U') p.OnLButtonUp(s.x, s.y);
            EXPECT_EQ(State(p), s.want) << s.what << " " << s.x << "," << s.y;
            EXPECT_TRUE(s.what == 'M' || p.IsButtonHeld() == (s.what == 'D'));
        }
        p.ResetInput();
        EXPECT_TRUE(State(p) == (std::vector<int>{-1, -1, -1}) && !p.IsButtonHeld());
    }
}

TEST(HitArea, MaskRegionsWithNoneValueAndPlacement) {
    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copied" : "borrowed");
        Panel p;
        fixtures::Bytes image = fixtures::WriteMaskImage(4, 3, kValues);
        ASSERT_TRUE(p.SetMask(image.data(), 10, 20, 255, copy ? 1 : 0, image.size()));
        EXPECT_TRUE(p.IsMaskMode());
        if (copy) std::fill(image.begin(), image.end(), 0xEE); // the copy does not see this
        // A value 0 is region 0; the none value, and points beside the mask, are none; the rectangle
        // table is not used in mask mode.
        const struct {
            int x, y, want;
        } rows[] = {{10, 20, 0},  {13, 20, 3}, {11, 21, -1}, {13, 22, 11}, {14, 20, -1},
                    {10, 23, -1}, {9, 20, -1}, {10, 19, -1}, {50, 50, -1}};
        for (const auto& row : rows)
            EXPECT_EQ(p.HitTest(row.x, row.y), row.want) << row.x << "," << row.y;
        p.OnLButtonDown(13, 22);
        p.OnLButtonUp(13, 22);
        EXPECT_EQ(State(p), (std::vector<int>{11, 11, 11}));
        p.ReleaseMask();
        EXPECT_FALSE(p.IsMaskMode());
        EXPECT_EQ(State(p), (std::vector<int>{11, 11, 11})); // regions stay
        EXPECT_EQ(p.HitTest(50, 50), 0);
    }
}

// SetMask checks the image against the bytes its caller gives, never against the header's total: a
// region mask of the extras keeps 1040 + its packed length there and is unpacked behind the header.
TEST(HitArea, MaskImagesAreCheckedAgainstTheBytesGiven) {
    const fixtures::Bytes raw = fixtures::WriteMaskImage(4, 3, kValues);
    const fixtures::Bytes packed = fixtures::WriteMaskImage(4, 3, kValues, true);
    fixtures::Bytes unpacked(1040 + kValues.size());
    std::copy(packed.begin(), packed.begin() + 1040, unpacked.begin());
    std::copy(kValues.begin(), kValues.end(), unpacked.begin() + 1040);
    const auto with = [](fixtures::Bytes b, std::size_t at, std::uint32_t v) {
        fixtures::PutU32(b, at, v);
        return b;
    };
    const fixtures::Bytes shortTotal = with(raw, 0, 1040 + 11),
                          huge = with(with(raw, 4, 0x10000), 8, 0x10000);
    const fixtures::Bytes wide = with(with(raw, 4, 0x80000000u), 8, 0);
    const fixtures::Bytes flat = fixtures::WriteMaskImage(64, 8, fixtures::Bytes(64 * 8, 7), true);
    fixtures::Bytes longer = raw;
    longer.resize(raw.size() + 16);
    const struct {
        const char* name;
        const fixtures::Bytes* image;
        std::size_t size;
        bool accepted;
    } rows[] = {
        {"whole", &raw, raw.size(), true},
        {"an extras mask: total of the packed length, pixels unpacked", &unpacked, unpacked.size(), true},
        {"a total below 1040 + width x height", &shortTotal, shortTotal.size(), true},
        {"more bytes than the pixels", &longer, longer.size(), true},
        {"one byte short of the pixels", &raw, raw.size() - 1, false},
        {"the header alone", &raw, 1040, false},
        {"not even a header", &raw, 1039, false},
        {"nothing", nullptr, 0, false},
        {"still packed", &flat, flat.size(), false},
        {"a width and height whose product wraps 32 bits", &huge, huge.size(), false},
        {"a width beyond the int range", &wide, wide.size(), false},
    };
    for (const auto& row : rows)
        for (BYTE copy : {0, 1}) {
            SCOPED_TRACE(std::string(row.name) + (copy ? " copied" : " borrowed"));
            Panel p;
            const BYTE* image = row.image ? row.image->data() : nullptr;
            EXPECT_EQ(p.SetMask(image, 0, 0, 255, copy, row.size), row.accepted);
            EXPECT_TRUE(p.IsMaskMode() == row.accepted && p.HitTest(3, 2) == (row.accepted ? 11 : 0));
            EXPECT_EQ(IsMaskImageWhole(image, row.size), row.accepted || row.image == &wide);
        }
    // A mask set over an owned one takes its place.
    Panel p;
    ASSERT_TRUE(p.SetMask(raw.data(), 0, 0, 255, 1, raw.size()));
    ASSERT_TRUE(p.SetMask(unpacked.data(), 1, 0, 255, 1, unpacked.size()));
    EXPECT_EQ(p.HitTest(1, 0), 0);
}

TEST(MaskImage, HeaderReadsItsFieldsAndTheWriterCountsValuesAndPacksRuns) {
    const fixtures::Bytes raw = fixtures::WriteMaskImage(4, 3, kValues);
    MaskImageHeader h;
    ASSERT_TRUE(ReadMaskImageHeader(raw.data(), raw.size(), &h));
    EXPECT_TRUE(h.totalSize == (1040u + 12) && h.width == 4 && h.height == 3);
    EXPECT_TRUE(h.valueCounts[255] == 2 && h.valueCounts[0] == 1 && h.valueCounts[6] == 0);
    const fixtures::Bytes packed = fixtures::WriteMaskImage(64, 8, fixtures::Bytes(64 * 8, 7), true);
    ASSERT_TRUE(ReadMaskImageHeader(packed.data(), packed.size(), &h));
    EXPECT_EQ(h.totalSize, packed.size());
    EXPECT_LT(packed.size(), 1040u + 64 * 8);
    EXPECT_EQ(h.valueCounts[7], 64u * 8);
    EXPECT_FALSE(ReadMaskImageHeader(packed.data(), 1039, &h));
    EXPECT_FALSE(ReadMaskImageHeader(nullptr, 2000, &h));
    EXPECT_FALSE(ReadMaskImageHeader(packed.data(), packed.size(), nullptr));
}
