#include "graphics/UpdateRect.h"

#include <gtest/gtest.h>

namespace {
void ExpectRect(const CUpdateRect& u, LONG l, LONG t, LONG r, LONG b) {
    RECT out{};
    ASSERT_NE(u.GetRect(&out), nullptr);
    EXPECT_EQ(out.left, l);
    EXPECT_EQ(out.top, t);
    EXPECT_EQ(out.right, r);
    EXPECT_EQ(out.bottom, b);
}
} // namespace

TEST(UpdateRect, EmptyUntilARectIsAddedAndAfterNull) {
    CUpdateRect u;
    RECT out{1, 2, 3, 4};
    EXPECT_EQ(u.GetRect(&out), nullptr);
    EXPECT_EQ(out.left, 1); // untouched
    RECT r{10, 10, 20, 20};
    u.AddRect(&r);
    EXPECT_EQ(u.GetRect(&out), &out);
    u.AddRect(nullptr);
    EXPECT_EQ(u.GetRect(&out), nullptr);
    // After emptying, the next rectangle replaces rather than widens.
    RECT s{300, 300, 310, 310};
    u.AddRect(&s);
    ExpectRect(u, 300, 300, 310, 310);
}

TEST(UpdateRect, ClampsToTheScreenAndWidensToTheBoundingBox) {
    CUpdateRect u;
    RECT big{-10, -5, 700, 500};
    u.AddRect(&big);
    ExpectRect(u, 0, 0, 640, 480);
    RECT small{100, 100, 120, 120};
    u.AddRect(&small);
    ExpectRect(u, 0, 0, 640, 480);

    CUpdateRect v;
    RECT a{0, 0, 10, 10}, b{600, 400, 620, 430};
    v.AddRect(&a);
    v.AddRect(&b);
    ExpectRect(v, 0, 0, 620, 430);
}

TEST(UpdateRect, ClampingDoesNotReorderEdges) {
    CUpdateRect u;
    RECT r{650, 10, 700, 20};
    u.AddRect(&r);
    ExpectRect(u, 650, 10, 640, 20);
}
