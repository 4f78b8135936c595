// The save/load menu: its slot lines, pages, keys and confirmation, over slot files of our own.
#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "platform/text_encoding.h"
#include "screens/SaveLoadMenu.h"
#include "screens/YesNoDialog.h"
#include "script/SceneState.h"
#include "tools/fixtures/SaveWriter.h"

#include <cstring>

namespace screens_test {
namespace {
// Saved on the 5th at 09:07; a calendar day (255 none) with its month digit and units cell.
fixtures::SceneStateData Dated(std::uint16_t year, std::uint8_t month, std::uint8_t dayValue,
                               std::uint8_t calendarMonth = 7, std::uint8_t units = 5) {
    fixtures::SceneStateData s;
    s.year = year, s.month = month, s.day = 5, s.hour = 9, s.minute = 7, s.dayValue = dayValue;
    s.calendarSet = calendarMonth, s.dayTens = 1, s.dayUnits = units;
    return s;
}

class SaveLoadMenuTest : public ScreenFixture {
  protected:
    // Slots 0, 3 and 25 hold saves; slot 1 says used but its record is short.
    void StartMenu(bool load) {
        StartOptions options;
        for (const char* name : {"sg013", "sg015"})
            options.pictures.push_back({name, Picture(640, 480, SheetAt)});
        for (const char* name : {"sg014", "sg016"})
            options.pictures.push_back({name, Picture(456, 88, SheetAt)});
        Start(options);
        std::filesystem::create_directories(dir.Path() + "SaveData");
        const auto record = fixtures::SceneStateBytes(Dated(2024, 3, 14));
        for (int slot : {0, 3, 25})
            fixtures::WriteFileBytes(Slot(slot), fixtures::SlotFileBytes(record, {1, 2, 3}));
        fixtures::WriteFileBytes(Slot(1), fixtures::SlotFileBytes({1, 2, 3}, {1, 2, 3}));
        g_pSaveData = new CSaveData;
        menu = std::make_unique<CSaveLoadMenu>(load);
        menu->Open();
        Silence();
    }
    void TearDown() override {
        menu.reset();
        delete g_pSaveData;
        g_pSaveData = nullptr;
        ScreenFixture::TearDown();
    }
    std::string Slot(int slot) const { return dir.Path() + "SaveData/" + fixtures::SlotFileName(slot); }
    // White text pixels where line l shows its text.
    int TextPixels(int line) {
        const RECT& r = menu->GetRegion(line);
        int white = 0;
        for (int y = r.top + 4; y < r.top + 20; ++y)
            for (int x = r.left + 16; x < r.left + 376; ++x)
                white += At(x, y) == 0xFFFFFF;
        return white;
    }
    std::string Sound() {
        for (const char* name : {"svo0000", "svo0001", "Se000", "Se001", "Se002"})
            if (Playing(name)) return name;
        return "";
    }
    std::unique_ptr<CSaveLoadMenu> menu;
};

TEST(SaveLoadMenuText, LineTellsSlotDateAndCalendarDay) {
    struct Row {
        const char* name;
        int slot;
        fixtures::SceneStateData state;
        const char* text;
    };
    const Row rows[] = {
        {"first_slot_one_digit", 0, Dated(2024, 3, 255), "１　２０２４／０３／０５　０９：０７　"},
        {"thirtieth_slot_two_digits", 29, Dated(1999, 12, 255), "３０　１９９９／１２／０５　０９：０７　"},
        {"calendar_day", 4, Dated(2024, 3, 14), "５　２０２４／０３／０５　０９：０７　７月１５日"},
        {"digits_past_their_table_clamped", 9, Dated(2024, 255, 14, 200, 77),
         "１０　２０２４／９５／０５　０９：０７　９月１９日"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SceneStateRecord record;
        std::memcpy(&record, fixtures::SceneStateBytes(row.state).data(), sizeof record);
        EXPECT_EQ(CSaveLoadMenu::SlotText(row.slot, record), platform::Utf8ToSjis(row.text));
    }
}

TEST_F(SaveLoadMenuTest, LinesShowSavedSlotsOnlyWithHoverArtAndPageMarker) {
    for (bool load : {true, false}) {
        SCOPED_TRACE(load ? "load" : "save");
        StartMenu(load);
        menu->OnMouseMove(menu->GetRegion(3).left, menu->GetRegion(3).top);
        Frame(*menu);
        EXPECT_EQ(Sound(), "Se000");
        for (int line = 0; line < 10; ++line)
            EXPECT_EQ(TextPixels(line) > 0, line == 0 || line == 3) << "line " << line;
        EXPECT_EQ(At(menu->GetRegion(3).left, menu->GetRegion(3).top), SheetAt(2, 0)) << "hovered line art";
        EXPECT_EQ(At(23, 61), SheetAt(0, 48)) << "page 1 marker";
    }
}

// Every step is followed by what the loop delivers of the menu's posted cursor refresh: a mouse move at
// the pointer, which a click leaves where it clicked.
TEST_F(SaveLoadMenuTest, MouseAndKeysChooseAndConfirm) {
    using M = CSaveLoadMenu&;
    auto click = [](M m, int region) {
        const POINT p = {m.GetRegion(region).left + 5, m.GetRegion(region).top + 5};
        PointerAt(p.x, p.y);
        Click(m, p.x, p.y);
        DeliverPosted(m);
    };
    auto key = [](M m, UINT vk) {
        Key(m, vk);
        DeliverPosted(m);
    };
    // The pointer rests on the question's yes.
    auto onYes = [](M m) {
        PointerAt(220, 295);
        m.OnMouseMove(220, 295);
        DeliverPosted(m);
    };
    struct Row {
        const char* name;
        bool load;
        std::function<void(M)> act;
        int result, slot, page, focus, dialogKind; // dialogKind -1: no dialog up
        const char* sound;
    };
    const Row rows[] = {
        {"back", true, [&](M m) { click(m, 13); }, 2, -1, 0, 13, -1, "Se002"},
        {"page_button", true, [&](M m) { click(m, 12); }, 0, -1, 2, 12, -1, "Se001"},
        {"left_wraps_to_last_page", true, [&](M m) { key(m, VK_LEFT); }, 0, -1, 2, -1, -1, ""},
        {"unused_line_in_load_menu", true, [&](M m) { click(m, 2); }, 0, -1, 0, 2, -1, ""},
        {"damaged_slot_cannot_be_loaded", true, [&](M m) { click(m, 1); }, 0, -1, 0, 1, -1, ""},
        {"used_line_asks_to_load", true, [&](M m) { click(m, 3); }, 0, 3, 0, 3, 3, "svo0001"},
        {"unused_line_in_save_menu", false, [&](M m) { click(m, 2); }, 0, 2, 0, 2, 2, "svo0000"},
        {"yes_confirms", true, [&](M m) { click(m, 3), Silence(), key(m, VK_RIGHT), key(m, VK_RETURN); }, 1,
         3, 0, 3, -1, "Se001"},
        {"no_returns_to_the_list", false,
         [&](M m) { key(m, VK_RIGHT), click(m, 0), Silence(), key(m, VK_LEFT), key(m, VK_SPACE); }, 0, 10, 1,
         0, -1, "Se002"},
        {"down_skips_unused", true, [&](M m) { key(m, VK_DOWN), key(m, VK_DOWN); }, 0, -1, 0, 3, -1, "Se000"},
        {"down_past_last_used_is_back", true, [&](M m) { key(m, VK_DOWN), key(m, VK_DOWN), key(m, VK_DOWN); },
         0, -1, 0, 13, -1, "Se000"},
        {"up_from_back_is_last_used", true, [&](M m) { key(m, VK_UP), key(m, VK_UP); }, 0, -1, 0, 3, -1,
         "Se000"},
        {"enter_opens_the_question", false, [&](M m) { key(m, VK_DOWN), key(m, VK_RETURN); }, 0, 0, 0, 0, 2,
         "svo0000"},
        // Left moves the question's focus off the yes under the pointer; no refresh brings it back.
        {"pointer_on_yes_left_then_enter_answers_no", false,
         [&](M m) { click(m, 3), onYes(m), Silence(), key(m, VK_LEFT), key(m, VK_RETURN); }, 0, 3, 0, 3, -1,
         "Se002"},
        {"stray_release_repeats_nothing", true, [&](M m) { click(m, 12), Silence(), m.OnLButtonUp(30, 70); },
         0, -1, 2, 12, -1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StartMenu(row.load);
        row.act(*menu);
        EXPECT_EQ(menu->GetResult(), row.result);
        EXPECT_EQ(menu->GetChosenSlot(), row.slot);
        EXPECT_EQ(menu->GetPage(), row.page);
        EXPECT_EQ(menu->GetFocus(), row.focus);
        EXPECT_EQ(menu->GetDialog() ? menu->GetDialog()->GetKind() : -1, row.dialogKind);
        EXPECT_EQ(Sound(), row.sound);
    }
}
} // namespace
} // namespace screens_test
