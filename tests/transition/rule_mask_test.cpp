#include "graphics/MaskImage.h"
#include "graphics/TransitionRuleMask.h"
#include "platform/cpu.h"
#include "platform/testing.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/RuleMaskWriter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace transition;

namespace {
std::vector<BYTE> Levels(int width, int height) {
    std::vector<BYTE> v(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v[static_cast<std::size_t>(y) * width + x] = static_cast<BYTE>((x * 7 + y * 13) & 0xFF);
    return v;
}
BYTE LevelAt(int x, int y) {
    return static_cast<BYTE>((x * 7 + y * 13) & 0xFF);
}
} // namespace

TEST(RuleMaskTiling, A320By240MaskIsLaidOutTwiceAcrossAndTwiceDown) {
    const auto levels = Levels(320, 240);
    std::vector<BYTE> screen(kScreenPixels, 0xEE);
    TileMask(levels.data(), 320, 240, screen.data());
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(screen[static_cast<std::size_t>(y) * 640 + x], LevelAt(x % 320, y % 240))
                << x << "," << y;
}

TEST(RuleMaskTiling, A600WideMaskRepeatsItsFirst40ColumnsAtTheRightEdge) {
    const auto levels = Levels(600, 7);
    std::vector<BYTE> screen(kScreenPixels, 0xEE);
    TileMask(levels.data(), 600, 7, screen.data());
    for (int y = 0; y < 480; y += 37)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(screen[static_cast<std::size_t>(y) * 640 + x], LevelAt(x < 600 ? x : x - 600, y % 7));
}

TEST(RuleMaskTiling, ScreenSizedAndLargerMasksGiveTheirTopLeftCorner) {
    for (auto [w, h] :
         {std::pair{640, 480}, std::pair{800, 600}, std::pair{641, 480}, std::pair{640, 1000}}) {
        const auto levels = Levels(w, h);
        std::vector<BYTE> screen(kScreenPixels, 0xEE);
        TileMask(levels.data(), w, h, screen.data());
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_EQ(screen[static_cast<std::size_t>(y) * 640 + x], LevelAt(x, y)) << w << "x" << h;
    }
}

TEST(RuleMaskTiling, OnePixelMaskFillsTheScreen) {
    const BYTE one = 77;
    std::vector<BYTE> screen(kScreenPixels, 0);
    TileMask(&one, 1, 1, screen.data());
    for (BYTE b : screen)
        ASSERT_EQ(b, 77);
}

TEST(RuleMaskCounts, CountsCoverOnlyTheAreaAndSkipFinishedEntries) {
    std::vector<WORD> mask(10 * 4, 3);
    mask[0] = 0xFFFF;
    mask[1] = 200;
    mask[9] = 200; // outside the 6-wide area
    DWORD histogram[256];
    CountMaskLevels(mask.data(), 10, 6, 4, histogram);
    EXPECT_EQ(histogram[3], 22u);
    EXPECT_EQ(histogram[200], 1u);
    EXPECT_EQ(histogram[255], 0u);
}

TEST(RuleMaskWriter, HeaderCountsAndSizeMatchTheLevels) {
    const auto bytes = fixtures::RuleMaskShape(fixtures::RuleShape::Checker, 30, 20, 5);
    ASSERT_EQ(bytes.size(), 1040u + 600u);
    MaskImageHeader header;
    ASSERT_TRUE(ReadMaskImageHeader(bytes.data(), bytes.size(), &header));
    EXPECT_EQ(header.totalSize, 1640u);
    EXPECT_EQ(header.width, 30u);
    EXPECT_EQ(header.height, 20u);
    DWORD total = 0;
    for (int v = 0; v < 256; ++v) {
        DWORD n = 0;
        for (std::size_t i = 1040; i < bytes.size(); ++i)
            n += bytes[i] == v ? 1 : 0;
        ASSERT_EQ(header.valueCounts[v], n) << v;
        total += n;
    }
    EXPECT_EQ(total, 600u);
}

TEST(CpuFamily, TheTestSwitchForcesEitherAnswer) {
    platform::testing::ForceSimd(platform::testing::SimdChoice::Plain);
    EXPECT_FALSE(platform::IsSimdAvailable());
    platform::testing::ForceSimd(platform::testing::SimdChoice::Simd);
    EXPECT_TRUE(platform::IsSimdAvailable());
    platform::testing::ForceSimd(platform::testing::SimdChoice::Detect);
#if defined(__x86_64__)
    // Every x86-64 processor has SSE2.
    EXPECT_TRUE(platform::IsSimdAvailable());
    EXPECT_TRUE(platform::HasSimdIntrinsics());
#endif
}

TEST(RuleMaskCheck, AWholeMaskIsLaidOverTheScreen) {
    const auto bytes = fixtures::RuleMaskShape(fixtures::RuleShape::LeftToRight, 320, 240);
    std::vector<BYTE> screen(kScreenPixels, 0);
    ASSERT_TRUE(LoadRuleMask(bytes.data(), bytes.size(), screen.data()));
    EXPECT_EQ(screen[0], 0);
    EXPECT_EQ(screen[319], 255);
    EXPECT_EQ(screen[320], 0);
    EXPECT_EQ(screen[static_cast<std::size_t>(479) * 640 + 639], 255);
}

TEST(RuleMaskCheck, DamagedMasksAreRefusedAndLeaveTheScreenAlone) {
    const auto good = fixtures::RuleMaskShape(fixtures::RuleShape::Noise, 40, 30);
    auto damaged = [&](std::size_t offset, std::uint32_t value) {
        auto b = good;
        fixtures::PutU32(b, offset, value);
        return b;
    };
    const std::vector<std::vector<unsigned char>> refused = {
        damaged(4, 0),                                                 // no columns
        damaged(8, 0),                                                 // no rows
        damaged(0, 1040 + 1200 - 1),                                   // total one short of the pixels
        damaged(0, 1040 + 1200 + 1),                                   // total one beyond them
        damaged(4, 0x80000000u),                                       // width that wraps 1040 + w x h
        std::vector<unsigned char>(good.begin(), good.end() - 1),      // entry shorter than its total
        std::vector<unsigned char>(good.begin(), good.begin() + 1039), // not even a header
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        std::vector<BYTE> screen(kScreenPixels, 0xEE);
        EXPECT_FALSE(LoadRuleMask(refused[i].data(), refused[i].size(), screen.data())) << "case " << i;
        EXPECT_EQ(screen[0], 0xEE);
        EXPECT_EQ(screen.back(), 0xEE);
    }
    // Bytes after the mask inside the entry, and counts that do not match the levels, are no damage:
    // the counts are taken from the levels themselves.
    auto longer = good;
    longer.push_back(9);
    std::vector<BYTE> screen(kScreenPixels, 0xEE);
    EXPECT_TRUE(LoadRuleMask(longer.data(), longer.size(), screen.data()));
    const auto wrongCounts = damaged(16, 123456);
    EXPECT_TRUE(LoadRuleMask(wrongCounts.data(), wrongCounts.size(), screen.data()));
}
