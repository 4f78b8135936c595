// The extras' region masks: the run-length packing and the entries read from the data archive.
#include "ExtrasFixture.h"

namespace screens_test {
namespace {
TEST(DecodeRunLength, ReadsAndWritesOnlyWithinItsBuffers) {
    struct Row {
        const char* name;
        fixtures::Bytes packed;
        int bits;
        std::size_t outputSize;
        fixtures::Bytes expected;
    };
    const Row rows[] = {
        {"repeat", {0x83, 7}, 8, 8, {7, 7, 7}},
        {"literal", {2, 5, 6, 0x81, 1}, 8, 8, {5, 6, 1}},
        {"count_128_takes_its_unit", {0x80, 9, 1, 4}, 8, 8, {4}},
        {"count_0_takes_only_itself", {0, 1, 4}, 8, 8, {4}},
        {"repeat_without_its_unit", {1, 3, 0x83}, 8, 8, {3}},
        {"literal_cut_short", {1, 3, 3, 1, 2}, 8, 8, {3}},
        {"output_full", {1, 9, 0x83, 7}, 8, 2, {9}},
        {"two_byte_units", {0x82, 1, 2, 1, 3, 4}, 16, 8, {1, 2, 1, 2, 3, 4}},
        {"no_unit_size", {0x83, 7}, 4, 8, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The input ends where the row does; the output has a guard past its size.
        const auto packed = std::make_unique<BYTE[]>(row.packed.size());
        std::copy(row.packed.begin(), row.packed.end(), packed.get());
        fixtures::Bytes output(row.outputSize + 4, 0xEE);
        const std::size_t n =
            DecodeRunLength(packed.get(), row.packed.size(), row.bits, output.data(), row.outputSize);
        ASSERT_EQ(n, row.expected.size());
        EXPECT_TRUE(std::equal(row.expected.begin(), row.expected.end(), output.begin()));
        EXPECT_TRUE(std::all_of(output.begin() + n, output.end(), [](BYTE b) { return b == 0xEE; }));
    }
}

class RegionMaskTest : public ExtrasFixture {};

TEST_F(RegionMaskTest, EntriesAreBoundedByTheirBytesAndDamagedOnesRefused) {
    // Eight by four, each row holding its row number; packed, the header's total counts the packed bytes.
    fixtures::Bytes values(32);
    for (int i = 0; i < 32; ++i)
        values[i] = static_cast<BYTE>(i / 8);
    const fixtures::Bytes whole = fixtures::WriteMaskImage(8, 4, values, true);
    auto patched = [&](std::size_t at, DWORD v) {
        fixtures::Bytes b = whole;
        fixtures::PutU32(b, at, v);
        return b;
    };
    struct Row {
        const char* name;
        fixtures::Bytes entry;
        bool loads;
        int row1, row3; // the regions hit in rows 1 and 3
        int regionCount = 255;
    };
    const Row rows[] = {
        {"whole", whole, true, 1, 3},
        {"values_past_the_regions", whole, true, 1, -1, 3},
        {"cut_short", fixtures::Bytes(whole.begin(), whole.end() - 4), true, 1, -1},
        {"total_beyond_the_entry", patched(0, 1u << 30), true, 1, 3},
        {"shorter_than_its_header", fixtures::Bytes(whole.begin(), whole.begin() + 1000), false, -1, -1},
        {"missing", {}, false, -1, -1},
        {"total_below_the_header", patched(0, 1000), false, -1, -1},
        {"no_height", patched(8, 0), false, -1, -1},
        {"wider_than_the_screen", patched(4, 641), false, -1, -1},
    };
    // Entry names hold 16 characters: each row's entry is named by its index.
    std::vector<fixtures::ArcEntryData> entries;
    for (const Row& row : rows)
        if (!row.entry.empty()) entries.push_back({std::to_string(&row - rows), row.entry});
    ASSERT_TRUE(fixtures::WriteArc(dir.File("data.arc"), entries));
    Start();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CExtraMode x;
        EXPECT_EQ(x.LoadMask(std::to_string(&row - rows).c_str(), row.regionCount), row.loads);
        EXPECT_EQ(x.HitTest(7, 1), row.row1);
        EXPECT_EQ(x.HitTest(0, 3), row.row3);
        EXPECT_EQ(x.HitTest(8, 1), -1) << "beside the mask";
    }
}

// A sub-screen whose mask is missing or damaged says so on the debugger output and keeps none of the
// menu's regions: a click where a menu item was opens nothing hidden there, and back, Esc and a right
// click lead to the menu.
TEST_F(RegionMaskTest, AMaskThatFailsIsReportedAndLeavesAWayBack) {
    enum Way { kBackButton, kEsc, kRightClick };
    struct Row {
        const char* name;
        POINT item;
        const char* mask;
        bool damaged; // else missing
        Way way;
        POINT back;
    };
    const Row rows[] = {
        {"gallery_missing_back", kGalleryItem, "cgmask", false, kBackButton, {30, 450}},
        {"gallery_damaged_right_click", kGalleryItem, "cgmask", true, kRightClick, {}},
        {"scene_list_missing_esc", kSceneItem, "scemirelmask", false, kEsc, {}},
        {"scene_list_damaged_back", kSceneItem, "scemirelmask", true, kBackButton, {20, 440}},
        {"sound_room_missing_right_click", kSoundItem, "soundmask", false, kRightClick, {}},
        {"sound_room_damaged_back", kSoundItem, "soundmask", true, kBackButton, {550, 440}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartGame({0}, {0});
        std::vector<fixtures::ArcEntryData> masks;
        for (const fixtures::ArcEntryData& m : ExtrasMasks()) {
            if (m.name != row.mask)
                masks.push_back(m);
            else if (row.damaged)
                masks.push_back({m.name, fixtures::Bytes(m.data.begin(), m.data.begin() + 100)});
        }
        ASSERT_TRUE(fixtures::WriteArc(dir.File("data.arc"), masks));
        CloseArchives();
        OpenArchives();
        pt::CaptureDebugOutput(true);
        pt::TakeDebugOutput();
        CExtraMode x;
        Enter(x, row.item);
        const int subScreen = x.GetSubScreen();
        EXPECT_NE(pt::TakeDebugOutput().find(row.mask), std::string::npos) << "the failure is reported";
        pt::CaptureDebugOutput(false);
        for (POINT p : {kGalleryItem, kSceneItem, kSoundItem})
            Click(x, p);
        EXPECT_EQ(x.GetSubScreen(), subScreen) << "no menu region is left over";
        Silence();
        if (row.way == kBackButton) Click(x, row.back);
        if (row.way == kEsc) Key(x, VK_ESCAPE);
        if (row.way == kRightClick) x.OnRButtonDown();
        EXPECT_EQ(x.GetSubScreen(), CExtraMode::kMenu);
        EXPECT_EQ(Sound(), "Se002");
    }
}
} // namespace
} // namespace screens_test
