// The runtime's own functions the program leans on: rand, case-blind compares, path splits, bounded
// copies, rects and the signed halves of a message's coordinates.
#include "platform/base.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Rand, SameSeedSameSequenceWithinRange) {
    crt::srand(1234);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i)
        first.push_back(crt::rand());
    crt::srand(1234);
    for (int v : first) {
        EXPECT_EQ(crt::rand(), v);
        EXPECT_TRUE(v >= 0 && v <= crt::kRandMax);
    }
    // The platform generator's well-known opening values for seed 1.
    crt::srand(1);
    EXPECT_EQ(std::vector<int>({crt::rand(), crt::rand(), crt::rand()}), std::vector<int>({41, 18467, 6334}));
}

TEST(Stricmp, FoldsAsciiOnly) {
    EXPECT_EQ(_stricmp("Graphic.ARC", "graphic.arc"), 0);
    EXPECT_LT(_stricmp("abc", "abd"), 0);
    EXPECT_GT(_stricmp("abcd", "ABC"), 0);
    // Shift-JIS bytes are compared as they stand.
    EXPECT_NE(_stricmp("\x82\x61", "\x82\x81"), 0);
    EXPECT_EQ(_strnicmp("SE001x", "se001y", 5), 0);
}

TEST(SplitPath, DriveFolderNameAndExtension) {
    const struct {
        const char* path;
        const char* parts; // drive|dir|name|ext
    } rows[] = {{"D:\\Game\\prog.exe", "D:|\\Game\\|prog|.exe"},
                {"\\work\\demo\\quorin", "|\\work\\demo\\|quorin|"}};
    for (const auto& row : rows) {
        char drive[4], dir[MAX_PATH], name[MAX_PATH], ext[256];
        _splitpath(row.path, drive, dir, name, ext);
        EXPECT_EQ(std::string(drive) + "|" + dir + "|" + name + "|" + ext, row.parts);
    }
}

TEST(CopyBounded, CutsAndTerminates) {
    char small[4];
    EXPECT_EQ(CopyBounded(small, "abcdef"), 6u);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(CopyBounded(small, nullptr), 0u);
    EXPECT_STREQ(small, "");
}

TEST(Rects, IntersectUnionAndPointFollowWindows) {
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, c{30, 30, 40, 40}, empty{}, out;
    auto is = [](const RECT& r, RECT want) { return EqualRect(&r, &want); };
    EXPECT_TRUE(IntersectRect(&out, &a, &b) && is(out, {5, 5, 10, 10}));
    EXPECT_FALSE(IntersectRect(&out, &a, &c));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(UnionRect(&out, &empty, &c) && is(out, c));
    EXPECT_TRUE(UnionRect(&out, &a, &c) && is(out, {0, 0, 40, 40}));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    SCOPED_TRACE("SignedHalvesSurviveNegativeCoordinates");
    for (const POINT p : {POINT{-5, 300}, POINT{12, -40}}) {
        const LPARAM lp = MAKELPARAM_XY(p.x, p.y);
        EXPECT_EQ(GET_X_LPARAM(lp), p.x);
        EXPECT_EQ(GET_Y_LPARAM(lp), p.y);
    }
}
