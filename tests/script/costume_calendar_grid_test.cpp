// The costume choice, the calendar and the choice grid as scripts open them with host commands 200 and
// 201, then clicks and keys, with the results back in the script's registers.
#include "SceneTestSupport.h"

#include "files/ArcFile.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"

#include <array>
#include <functional>

namespace scene_test {
namespace {
// Sheet pixels name their own place; the top-left one, the colour key, is magenta.
constexpr DWORD SheetAt(int x, int y) {
    return x || y ? static_cast<DWORD>(x) << 12 | static_cast<DWORD>(y) : kMagenta;
}
constexpr DWORD kRoom = 0x304050, kVeil = 0x102030;
// A sheet, with an alpha plane when `alpha` is given.
fixtures::Bytes Sheet(int w, int h, const std::function<DWORD(int, int)>& colour,
                      const std::function<BYTE(int)>& alpha = {}) {
    fixtures::PictureDesc desc{w, h, 24};
    fixtures::Bytes plane;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y)), plane.push_back(alpha ? alpha(x) : 0);
    return alpha ? fixtures::WriteAm(desc, plane) : fixtures::WriteBmp(desc);
}
// An opaque plane blends within a step of the picture.
bool Near(DWORD a, DWORD b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 2) return false;
    return true;
}
// Steps: 'o' OK, 'n' next and 'p' previous clicked, 'x' next pressed and released on OK, 'h' OK
// hovered; 'L', 'R' and 'E' the Left, Right and Enter keys.
void Act(CGameScene& scene, const std::string& steps) {
    for (char step : steps) {
        const UINT vk = step == 'L' ? VK_LEFT : step == 'R' ? VK_RIGHT : VK_RETURN;
        const POINT p = step == 'n' || step == 'x' ? POINT{130, 450}
                        : step == 'p'              ? POINT{510, 450}
                                                   : POINT{300, 450};
        if (std::isupper(step)) {
            scene.OnKeyDown(vk), scene.OnKeyUp(vk);
            continue;
        }
        scene.OnMouseMove(p.x, p.y);
        if (step == 'h') continue;
        scene.OnLButtonDown(p.x, p.y);
        scene.OnLButtonUp(step == 'x' ? 300 : p.x, p.y);
    }
}

class ChoiceSceneTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        // The window's pictures and the choices'. The costume sheet is opaque; the veil lets its cell's
        // left half through and covers the right.
        delete g_pGraphicArc;
        ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"),
                                       {{"sg022", Sheet(596, 130, SheetAt)},
                                        {"sg023", Sheet(64, 16, SheetAt)},
                                        {"sg024", Sheet(480, 80, SheetAt)},
                                        {"sg025", Sheet(306, 118, SheetAt)},
                                        {"sg030", Sheet(640, 480, SheetAt)},
                                        {"sg031", Sheet(100, 1328, SheetAt)},
                                        {"sg032", Sheet(386, 64, SheetAt)},
                                        {"sg033", Sheet(52, 604, SheetAt)},
                                        {"sg035", Sheet(640, 480, [](int, int) { return kRoom; })},
                                        {"sg036", Sheet(352, 64, SheetAt)},
                                        {"sg037", Sheet(2128, 328, SheetAt, [](int) { return 255; })},
                                        {"sg038", Sheet(
                                                      152, 328, [](int, int) { return kVeil; },
                                                      [](int x) { return x < 76 ? 0 : 255; })}}));
        g_pGraphicArc = new CArcFile(dir.File("graphic.arc").c_str());
    }
    // Plays the commands until the scene is in `mode`.
    void PlayUntilMode(const std::string& commands, int mode) {
        PlayMain(commands);
        for (int i = 0; i < 30 && scene->GetSceneMode() != mode; ++i)
            Frame();
        ASSERT_EQ(scene->GetSceneMode(), mode);
        EXPECT_FALSE(scene->CanOpenMenu());
    }
};

// Each row shows one pixel before the costume is taken (by mouse for odd starts, else by Enter).
TEST_F(ChoiceSceneTest, CostumeChoiceByMouseAndKeysShowsTheCostumesAndEndsWithOneInR0) {
    const struct {
        const char* name;
        int start;
        const char* steps;
        DWORD costume;
        POINT at;
        DWORD expected;
    } rows[] = {
        {"room", 5, "", 5, {10, 10}, kRoom},
        {"chosen", 4, "", 4, {274, 160}, SheetAt(152 * 4 + 30, 100)},
        {"next", 5, "n", 6, {274, 160}, SheetAt(152 * 6 + 30, 100)},
        {"previous", 5, "p", 4, {72, 160}, SheetAt(152 * 3 + 30, 100)},
        {"next_after_13", 13, "n", 0, {476, 160}, SheetAt(152 * 1 + 30, 100)},
        {"previous_before_0", 0, "p", 13, {142, 160}, kVeil},
        // The veil is blended again over the neighbour it now covers.
        {"left_counts_up", 5, "L", 6, {72, 160}, SheetAt(152 * 5 + 30, 100)},
        {"right_counts_down", 5, "R", 4, {476, 160}, SheetAt(152 * 5 + 30, 100)},
        {"left_after_13", 13, "L", 0, {274, 160}, SheetAt(30, 100)},
        {"released_off_the_button", 5, "x", 5, {274, 160}, SheetAt(152 * 5 + 30, 100)},
        {"ok_hovered", 5, "h", 5, {250, 440}, SheetAt(10, 6)},
        // A value beyond the sheet from a script names the costume it wraps to.
        {"start_19", 19, "", 5, {274, 160}, SheetAt(152 * 5 + 30, 100)},
        {"start_minus_1", -1, "", 13, {274, 160}, SheetAt(152 * 13 + 30, 100)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PlayUntilMode(" cmd 201, 2, =" + std::to_string(row.start), CGameScene::kModeCostume);
        Act(*scene, row.steps);
        Frames(3);
        EXPECT_TRUE(Near(At(row.at.x, row.at.y), row.expected)) << std::hex << At(row.at.x, row.at.y);
        EXPECT_EQ(scene->GetRegister(13), 0u) << "the script waits for the choice";
        Act(*scene, row.start % 2 ? "o" : "E");
        EXPECT_LT(RunUntilR13(), 60);
        EXPECT_EQ(scene->GetRegister(0), row.costume);
    }
    EXPECT_EQ(Log(), "");
}

// The sheet's parts on the screen and the live record's bytes 6-11, which a save takes.
TEST_F(ChoiceSceneTest, CalendarShowsTheDaysAScriptSets) {
    const struct {
        const char* name;
        const char* commands;
        POINT at;
        DWORD expected;
        std::array<BYTE, 6> record;
    } rows[] = {
        {"the_10th", "cmd 200, 2, =9", {59, 25}, SheetAt(127, 18), {7, 1, 0, 9, 0, 0}},
        {"the_1st_blank_tens", "cmd 200, 2, =0", {59, 25}, SheetAt(57, 25), {7, 0, 1, 0, 0, 0}},
        {"day_31", "cmd 200, 2, =31", {75, 25}, SheetAt(127, 4), {7, 0, 0, 31, 0, 0}},
        {"no_day", "cmd 200, 2, =-1", {59, 25}, SheetAt(57, 25), {7, 0, 0, 255, 0, 0}},
        {"day_40_ignored",
         "cmd 200, 2, =9\n cmd 200, 2, =40",
         {59, 25},
         SheetAt(127, 18),
         {7, 1, 0, 9, 0, 0}},
        {"weekday_8", "cmd 200, 0, =8", {35, 51}, SheetAt(197, 87), {0, 0, 0, 0, 8, 0}},
        {"weekday_10_ignored",
         "cmd 200, 0, =8\n cmd 200, 0, =10",
         {35, 51},
         SheetAt(197, 87),
         {0, 0, 0, 0, 8, 0}},
        {"time_2", "cmd 200, 1, =2", {45, 81}, SheetAt(265, 87), {0, 0, 0, 0, 0, 2}},
        {"time_4_ignored", "cmd 200, 1, =2\n cmd 200, 1, =4", {45, 81}, SheetAt(265, 87), {0, 0, 0, 0, 0, 2}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PlayMain(std::string(" cmd 200, 3\n ") + row.commands);
        RunUntilR13();
        Frame();
        EXPECT_EQ(At(row.at.x, row.at.y), row.expected);
        const SceneStateRecord& s = scene->GetLiveState();
        EXPECT_EQ((std::array{s.calendarSet, s.dayTens, s.dayUnits, s.dayValue, s.weekday, s.timeOfDay}),
                  row.record);
    }
}

// 201/3 and 201/4 set the levels and open the grid; once decided, 201/5-7 give the three picks back.
TEST_F(ChoiceSceneTest, ChoiceGridGivesItsPicksBack) {
    PlayUntilMode(" cmd 201, 0, =0\n cmd 201, 3, =4, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1\n"
                  " cmd 201, 4, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1, =1\n"
                  " cmd 201, 5\n mov r10, r0\n cmd 201, 6\n mov r11, r0\n cmd 201, 7\n mov r12, r0",
                  CGameScene::kModeGrid);
    EXPECT_TRUE(scene->IsMenuEnabled()) << "opening the grid allows the system menu";
    // Cell 0, locked by its progress 4, then cells 3 and 4, then decide.
    for (POINT p : {POINT{83, 165}, POINT{344, 165}, POINT{431, 165}, POINT{530, 50}})
        scene->OnLButtonDown(p.x, p.y), scene->OnLButtonUp(p.x, p.y);
    EXPECT_LT(RunUntilR13(), 60);
    EXPECT_EQ((std::array{scene->GetRegister(10), scene->GetRegister(11), scene->GetRegister(12)}),
              (std::array<DWORD, 3>{3, 4, 0xFFFFFFFF}));
}
} // namespace
} // namespace scene_test
