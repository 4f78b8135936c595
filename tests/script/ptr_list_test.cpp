// The owning circular list of the call stack and its numbered cursors.
#include "script/PtrList.h"

#include <gtest/gtest.h>

namespace {
// Counts live items so that the list's deletes can be seen.
struct Item {
    explicit Item(int v) : value(v) { ++live; }
    ~Item() { --live; }
    int value;
    static int live;
};
int Item::live = 0;

std::vector<int> Forward(CPtrList<Item>& list, int cursor) {
    std::vector<int> out;
    for (Item* p = list.GetHead(cursor); p; p = list.GetNext(cursor))
        out.push_back(p->value);
    return out;
}
std::vector<int> Backward(CPtrList<Item>& list, int cursor) {
    std::vector<int> out;
    for (Item* p = list.GetTail(cursor); p; p = list.GetPrev(cursor))
        out.push_back(p->value);
    return out;
}
} // namespace

TEST(PtrList, WalksBothWaysWithIndependentCursors) {
    CPtrList<Item> list;
    EXPECT_EQ(list.GetHead(0), nullptr);
    EXPECT_EQ(list.GetTail(0), nullptr);
    for (int v = 1; v <= 3; ++v)
        list.AddTail(new Item(v));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Forward(list, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Backward(list, 4), (std::vector<int>{3, 2, 1}));

    // Two walks at once do not disturb each other.
    EXPECT_EQ(list.GetHead(1)->value, 1);
    EXPECT_EQ(list.GetHead(2)->value, 1);
    EXPECT_EQ(list.GetNext(1)->value, 2);
    EXPECT_EQ(list.GetNext(2)->value, 2);
    EXPECT_EQ(list.GetNext(1)->value, 3);
    EXPECT_EQ(list.GetNext(1), nullptr);
    EXPECT_EQ(list.GetNext(2)->value, 3);

    // Cursor numbers 5 and up name nothing.
    EXPECT_EQ(list.GetHead(5), nullptr);
    EXPECT_EQ(list.GetTail(5), nullptr);
    EXPECT_EQ(list.GetNext(-1), nullptr);
}

TEST(PtrList, TailThenPrevGiveTheTopTwoFrames) {
    CPtrList<Item> list;
    list.AddTail(new Item(1));
    EXPECT_EQ(list.GetTail(0)->value, 1);
    EXPECT_EQ(list.GetPrev(0), nullptr) << "one element: nothing below it";
    list.AddTail(new Item(2));
    EXPECT_EQ(list.GetTail(0)->value, 2);
    EXPECT_EQ(list.GetPrev(0)->value, 1);
    EXPECT_EQ(list.GetPrev(0), nullptr);
}

TEST(PtrList, RemoveDeletesAndMovesTheHead) {
    Item::live = 0;
    {
        CPtrList<Item> list;
        Item* a = new Item(1);
        Item* b = new Item(2);
        Item* c = new Item(3);
        list.AddTail(a);
        list.AddTail(b);
        list.AddTail(c);
        Item stranger(9);
        EXPECT_FALSE(list.Remove(&stranger));
        EXPECT_EQ(Item::live, 4);

        // A cursor resting on a removed node ends its walk instead of dangling.
        list.GetHead(3);
        EXPECT_TRUE(list.Remove(b));
        EXPECT_EQ(list.GetNext(3), nullptr);
        EXPECT_EQ(Item::live, 3);

        EXPECT_TRUE(list.Remove(a));
        EXPECT_EQ(Forward(list, 0), (std::vector<int>{3}));
        EXPECT_TRUE(list.Remove(c));
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetHead(0), nullptr);
        EXPECT_EQ(Item::live, 1);

        list.AddTail(new Item(4));
        list.AddTail(new Item(5));
        list.RemoveAll();
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(Item::live, 1);
        list.AddTail(new Item(6));
    }
    EXPECT_EQ(Item::live, 0) << "the destructor deletes what is left";
}
