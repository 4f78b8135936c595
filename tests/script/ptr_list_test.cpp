// The owning circular list of the call stack and its numbered cursors.
#include "script/PtrList.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Counts live items so that the list's deletes can be seen.
struct Item {
    explicit Item(int v) : value(v) { ++live; }
    ~Item() { --live; }
    int value;
    static int live;
};
int Item::live = 0;

// The values met walking with `cursor` from the head (or the tail, backwards).
std::string Walk(CPtrList<Item>& list, int cursor, bool backwards = false) {
    std::string out;
    for (Item* p = backwards ? list.GetTail(cursor) : list.GetHead(cursor); p;
         p = backwards ? list.GetPrev(cursor) : list.GetNext(cursor))
        out += std::to_string(p->value);
    return out;
}

TEST(PtrList, WalksBothWaysWithIndependentCursors) {
    CPtrList<Item> list;
    EXPECT_EQ(Walk(list, 0), "");
    list.AddTail(new Item(1));
    EXPECT_EQ(Walk(list, 0, true), "1") << "TailThenPrevGiveTheTopTwoFrames: one element, nothing below it";
    for (int v = 2; v <= 3; ++v)
        list.AddTail(new Item(v));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Walk(list, 0) + Walk(list, 4, true), "123321");
    // Two walks at once do not disturb each other.
    std::string two;
    for (Item* p : {list.GetHead(1), list.GetHead(2), list.GetNext(1), list.GetNext(2), list.GetNext(1),
                    list.GetNext(1), list.GetNext(2)})
        two += p ? std::to_string(p->value) : "-";
    EXPECT_EQ(two, "11223-3");
    // Cursor numbers 5 and up name nothing.
    EXPECT_TRUE(!list.GetHead(5) && !list.GetTail(5) && !list.GetNext(-1));
}

TEST(PtrList, RemoveDeletesAndMovesTheHead) {
    Item::live = 0;
    {
        CPtrList<Item> list;
        Item* items[3] = {new Item(1), new Item(2), new Item(3)};
        for (Item* item : items)
            list.AddTail(item);
        Item stranger(9);
        EXPECT_FALSE(list.Remove(&stranger));
        EXPECT_EQ(Item::live, 4);
        // A cursor resting on a removed node ends its walk instead of dangling.
        list.GetHead(3);
        EXPECT_TRUE(list.Remove(items[1]));
        EXPECT_EQ(list.GetNext(3), nullptr);
        EXPECT_EQ(Item::live, 3);
        EXPECT_TRUE(list.Remove(items[0]));
        EXPECT_EQ(Walk(list, 0), "3");
        EXPECT_TRUE(list.Remove(items[2]));
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
} // namespace
