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
// A sheet, with an alpha plane by column when `alpha` is given.
fixtures::Bytes Sheet(int w, int h, std::function<DWORD(int, int)> colour = SheetAt,
                      BYTE (*alpha)(int) = nullptr) {
    fixtures::PictureDesc desc{w, h, 24};
    fixtures::Bytes plane;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y)), plane.push_back(alpha ? alpha(x) : 0);
    return alpha ? fixtures::WriteAm(desc, plane) : fixtures::WriteBmp(desc);
}
// Steps: 'n' next and 'p' previous clicked, 'x' next pressed and released on OK, 'h' OK hovered, 'o'
// OK clicked; 'L', 'R' and 'E' the Left, Right and Enter keys.
void Act(CGameScene& scene, const std::string& steps) {
    for (char step : steps) {
        const int x = step == 'n' || step == 'x' ? 130 : step == 'p' ? 510 : 300;
        const UINT vk = step == 'L' ? VK_LEFT : step == 'R' ? VK_RIGHT : VK_RETURN;
        if (std::isupper(step)) scene.OnKeyDown(vk), scene.OnKeyUp(vk);
        if (std::isupper(step) || (scene.OnMouseMove(x, 450), step == 'h')) continue;
        scene.OnLButtonDown(x, 450);
        scene.OnLButtonUp(step == 'x' ? 300 : x, 450);
    }
}

class ChoiceSceneTest : public SceneTest {
  protected:
    // The window's pictures and the choices'. The costume sheet is opaque; the veil lets the left half
    // of its cell through and covers the right.
    void SetUp() override {
        SceneTest::SetUp();
        delete g_pGraphicArc;
        std::vector<fixtures::ArcEntryData> pictures = {
            {"sg022", Sheet(596, 130)},
            {"sg023", Sheet(64, 16)},
            {"sg024", Sheet(480, 80)},
            {"sg025", Sheet(306, 118)},
            {"sg030", Sheet(640, 480)},
            {"sg031", Sheet(100, 1328)},
            {"sg032", Sheet(386, 64)},
            {"sg033", Sheet(52, 604)},
            {"sg036", Sheet(352, 64)},
            {"sg035", Sheet(640, 480, [](int, int) { return kRoom; })},
            {"sg037", Sheet(2128, 328, SheetAt, [](int) -> BYTE { return 255; })},
            {"sg038",
             Sheet(
                 152, 328, [](int, int) { return kVeil; }, [](int x) -> BYTE { return x < 76 ? 0 : 255; })}};
        ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"), pictures));
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

// Each row reads one pixel (within a step: the sheet blends through an opaque plane) before the
// costume is taken, by mouse for odd starts, else by Enter.
TEST_F(ChoiceSceneTest, CostumeChoiceByMouseAndKeysShowsTheCostumesAndEndsWithOneInR0) {
    // The start, the steps, the costume taken; a point and its colour before it is taken.
    const std::tuple<int, const char*, DWORD, POINT, DWORD> rows[] = {
        {4, "", 4, {10, 10}, kRoom},
        {5, "n", 6, {274, 160}, SheetAt(152 * 6 + 30, 100)},
        {0, "p", 13, {142, 160}, kVeil}, // the right half of the left neighbour veiled
        // The veil is blended again over the neighbour it now covers.
        {5, "L", 6, {72, 160}, SheetAt(152 * 5 + 30, 100)},
        {5, "R", 4, {476, 160}, SheetAt(152 * 5 + 30, 100)},
        {13, "L", 0, {274, 160}, SheetAt(30, 100)},
        {5, "x", 5, {274, 160}, SheetAt(152 * 5 + 30, 100)}, // released off the button
        // A value beyond the sheet from a script names the costume it wraps to.
        {19, "", 5, {274, 160}, SheetAt(152 * 5 + 30, 100)},
        {-1, "", 13, {476, 160}, SheetAt(30, 100)},
    };
    for (const auto& [start, steps, costume, at, expected] : rows) {
        SCOPED_TRACE(testing::Message() << start << " " << steps);
        PlayUntilMode(" cmd 201, 2, =" + std::to_string(start), CGameScene::kModeCostume);
        Act(*scene, steps);
        Frames(3);
        const DWORD pixel = At(at.x, at.y);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(pixel >> shift & 0xFF), int(expected >> shift & 0xFF), 2) << std::hex << pixel;
        EXPECT_EQ(scene->GetRegister(13), 0u) << "the script waits for the choice";
        Act(*scene, start % 2 ? "o" : "E");
        EXPECT_LT(RunUntilR13(), 60);
        EXPECT_EQ(scene->GetRegister(0), costume);
    }
    EXPECT_EQ(Log(), "");
}

// The sheet's parts on the screen and the live record's bytes 6-11, which a save takes.
TEST_F(ChoiceSceneTest, CalendarShowsTheDaysAScriptSets) {
    const std::tuple<const char*, POINT, DWORD, std::array<BYTE, 6>> rows[] = {
        {"cmd 200, 2, =9", {59, 25}, SheetAt(127, 18), {7, 1, 0, 9, 0, 0}},   // the 10th
        {"cmd 200, 2, =0", {59, 25}, SheetAt(57, 25), {7, 0, 1, 0, 0, 0}},    // the 1st
        {"cmd 200, 2, =-1", {75, 25}, SheetAt(127, 4), {7, 0, 0, 255, 0, 0}}, // no day
        {"cmd 200, 2, =9\n cmd 200, 2, =40", {59, 25}, SheetAt(127, 18), {7, 1, 0, 9, 0, 0}},
        {"cmd 200, 0, =8\n cmd 200, 0, =10", {35, 51}, SheetAt(197, 87), {0, 0, 0, 0, 8, 0}},
        {"cmd 200, 1, =2\n cmd 200, 1, =4", {45, 81}, SheetAt(265, 87), {0, 0, 0, 0, 0, 2}},
    };
    for (const auto& [commands, at, expected, record] : rows) {
        SCOPED_TRACE(commands);
        PlayMain(std::string(" cmd 200, 3\n ") + commands);
        RunUntilR13();
        Frame();
        EXPECT_EQ(At(at.x, at.y), expected);
        const SceneStateRecord& s = scene->GetLiveState();
        EXPECT_EQ((std::array{s.calendarSet, s.dayTens, s.dayUnits, s.dayValue, s.weekday, s.timeOfDay}),
                  record);
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
