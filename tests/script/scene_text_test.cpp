// The scene with its message window: a page that appears a character a frame, clicks that finish it
// or go on from its click wait, skipping, the backlog over an appearing page and over choices.
#include "SceneTestSupport.h"

#include <functional>

#include "platform/text_encoding.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

#include <vector>

namespace scene_test {
namespace {
class SceneTextTest : public SceneTest {
  protected:
    std::string Line(int n) { return scene->GetMessageWindow()->GetGridLine(n); }
    static std::string Sjis(const char* utf8) { return platform::Utf8ToSjis(utf8); }
};

TEST_F(SceneTextTest, PageAppearsAndClicksFinishItAndGoOn) {
    PlayMain(" cmd 10, 4, \"bg\"\n cmd 2, 7\n cmd 2, 4, \"名前\"\n cmd 2, 0, \"こんにちは、#fnさん。##\"\n"
             " cmd 2, 0, \"次\"\n cmd 20, 4, \"v0001\"");
    Frames(4);
    Frames(3, 50);
    EXPECT_EQ(Line(0), Sjis("こんに"));
    scene->OnLButtonUp(300, 300);
    EXPECT_EQ(Line(0), Sjis("こんにちは、山田さん。")) << "a click shows the rest up to the click wait";
    EXPECT_EQ(RunUntilR13(), 60) << "the click wait holds the script";
    SavePng("scene_text_page.png");
    int white = 0;
    for (int y = 382; y < 462; ++y)
        for (int x = 46; x < 590; ++x)
            white += At(x, y) == kWhite;
    EXPECT_GT(white, 50) << "glyphs in the text colour";
    scene->OnKeyUp(VK_RETURN);
    EXPECT_LT(RunUntilR13(), 5);
    g_pSoundManager->StopVoice();
    scene->OnKeyUp(VK_BACK);
    EXPECT_TRUE(Playing(kVoice1)) << "Backspace plays the line's voice again";
}

TEST_F(SceneTextTest, SkippingRunsThroughPagesAndClickWaits) {
    SetSkipMode(1);
    PlayMain(" cmd 2, 7\n cmd 2, 0, \"一二三四五##六\"");
    EXPECT_LT(RunUntilR13(), 5);
    EXPECT_EQ(Line(0), Sjis("一二三四五六"));
}

// The wheel and the page keys page through the backlog, Up and Down too once it is open, and a right
// click or Esc leaves it from any page. The first step back finishes the page that is appearing.
TEST_F(SceneTextTest, WheelAndPageKeysPageThroughTheBacklog) {
    enum Input { WheelUp, WheelDown, KeyDown, KeyUp, RightClick };
    struct Step {
        Input input;
        UINT key;
        const char* shown; // line 0 afterwards; the live page means the backlog is closed
    };
    const char* const live = "一二三四五";
    const struct {
        const char* name;
        std::vector<Step> steps;
    } rows[] = {
        {"wheel",
         {{WheelUp, 0, "中"},
          {WheelUp, 0, "前"},
          {WheelUp, 0, "前"},
          {WheelDown, 0, "中"},
          {WheelDown, 0, live}}},
        {"page keys",
         {{KeyDown, VK_PRIOR, "中"},
          {KeyDown, VK_PRIOR, "前"},
          {KeyDown, VK_NEXT, "中"},
          {KeyDown, VK_NEXT, live}}},
        {"Up and Down in the backlog",
         {{WheelUp, 0, "中"}, {KeyDown, VK_UP, "前"}, {KeyDown, VK_DOWN, "中"}, {KeyDown, VK_DOWN, live}}},
        {"right click leaves from any page",
         {{KeyDown, VK_PRIOR, "中"}, {WheelUp, 0, "前"}, {RightClick, 0, live}}},
        {"Esc leaves", {{WheelUp, 0, "中"}, {KeyUp, VK_ESCAPE, live}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PlayMain(" cmd 2, 7\n cmd 2, 0, \"前\"\n cmd 2, 1\n cmd 2, 0, \"中\"\n cmd 2, 1\n"
                 " cmd 2, 0, \"一二三四五\"");
        for (int frame = 0; frame < 40 && Line(0) != Sjis("一"); ++frame)
            Frame(50);
        ASSERT_EQ(Line(0), Sjis("一"));
        for (const Step& step : row.steps) {
            if (step.input == WheelUp) scene->OnWheelUp();
            if (step.input == WheelDown) scene->OnWheelDown();
            if (step.input == KeyDown) scene->OnKeyDown(step.key);
            if (step.input == KeyUp) scene->OnKeyUp(step.key);
            if (step.input == RightClick) scene->OnRButtonDown();
            EXPECT_EQ(Line(0), Sjis(step.shown));
            EXPECT_EQ(scene->IsBacklogOpen(), step.shown != live);
        }
    }
}

// "#P" and "#M" end what the page shows and the script goes on to its next command; a timed wait
// holds the script until its time is up.
TEST_F(SceneTextTest, PageStopsLetTheScriptGoOn) {
    const struct Row {
        const char* name;
        const char* text;
        int framesHeld; // 50 ms frames before the script goes on
    } rows[] = {
        {"page stop", "あ#Pい", 0},
        {"map stop, lower case", "あ#mい", 0},
        {"timed wait", "あ#10い", 20},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PlayMain(std::string(" cmd 2, 7\n cmd 2, 0, \"") + row.text + "\"");
        EXPECT_NEAR(RunUntilR13(), row.framesHeld + 4, 2);
        EXPECT_EQ(Line(0).substr(0, 2), Sjis("あ"));
    }
}

// A click on the second box, or the keys, decide; the value goes to r0, whatever it is (-1 too), and
// the script goes on.
TEST_F(SceneTextTest, DecidedChoiceGoesToR0) {
    const struct Row {
        const char* name;
        UINT key; // 0: a click on the second box
        const char* values;
        DWORD r0;
    } rows[] = {
        {"click", 0, "=10, =20", 20},
        {"Up then Enter", VK_UP, "=10, =20", 10},
        {"Down then Enter", VK_DOWN, "=10, =20", 20},
        {"minus one by a click", 0, "=10, =-1", 0xFFFFFFFF},
        {"minus one by Enter", VK_UP, "=-1, =20", 0xFFFFFFFF},
        {"lowest value by a click", 0, "=0, =0x80000000", 0x80000000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string values = row.values, first = values.substr(0, values.find(',')),
                          second = values.substr(values.find(',') + 1);
        PlayMain(" cmd 2, 2, \"はい\", " + first + "\n cmd 2, 2, \"いいえ\"," + second + "\n cmd 2, 3");
        EXPECT_EQ(RunUntilR13(6), 6) << "the script waits for the choice";
        scene->OnMouseMove(100, 220);
        scene->OnLButtonDown(100, row.key ? 10 : 220);
        scene->OnLButtonUp(100, row.key ? 10 : 220);
        for (UINT k : {row.key, UINT{VK_RETURN}}) {
            scene->OnKeyDown(k);
            scene->OnKeyUp(k);
        }
        EXPECT_EQ(scene->GetRegister(0), row.r0);
        EXPECT_EQ(RunUntilR13(), 1);
    }
}

// Opened over the choices, the backlog shows the window; closing it gives back the choices and the
// window as it was before.
TEST_F(SceneTextTest, BacklogOverChoicesGivesTheWindowBack) {
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "window shown" : "window hidden");
        PlayMain(std::string(" cmd 2, 7\n cmd 2, 0, \"前\"\n cmd 2, 1\n") + (shown ? "" : " cmd 2, 8\n") +
                 " cmd 2, 2, \"はい\", =10\n cmd 2, 3");
        RunUntilR13(20);
        scene->OnWheelUp();
        ASSERT_TRUE(scene->IsBacklogOpen());
        EXPECT_FALSE(scene->GetMessageWindow()->AreChoicesVisible());
        EXPECT_TRUE(scene->IsWindowVisible());
        scene->OnWheelDown();
        EXPECT_TRUE(scene->GetMessageWindow()->AreChoicesVisible());
        EXPECT_EQ(scene->IsWindowShown(), shown);
    }
}

// The backlog opened over the choices takes both halves of whatever leaves it, so that the choices,
// hidden meanwhile, are never pressed: the next click on a choice decides it.
TEST_F(SceneTextTest, LeavingTheBacklogOverChoicesKeepsTheNextClick) {
    const struct Row {
        const char* name;
        std::function<void(CGameScene&)> leave;
    } rows[] = {
        {"Enter", [](CGameScene& s) { s.OnKeyDown(VK_RETURN), s.OnKeyUp(VK_RETURN); }},
        {"left click where the first box was",
         [](CGameScene& s) { s.OnLButtonDown(100, 170), s.OnLButtonUp(100, 170); }},
        {"Page Down", [](CGameScene& s) { s.OnKeyDown(VK_NEXT), s.OnKeyUp(VK_NEXT); }},
        {"wheel down", [](CGameScene& s) { s.OnWheelDown(); }},
        {"right click", [](CGameScene& s) { s.OnRButtonDown(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PlayMain(
            " cmd 2, 7\n cmd 2, 0, \"前\"\n cmd 2, 1\n cmd 2, 2, \"はい\", =10\n cmd 2, 2, \"いいえ\", =20\n"
            " cmd 2, 3");
        RunUntilR13(20);
        scene->OnMouseMove(100, 170); // the first choice is under the pointer and has the key cursor
        scene->OnWheelUp();
        ASSERT_TRUE(scene->IsBacklogOpen());
        row.leave(*scene);
        ASSERT_FALSE(scene->IsBacklogOpen());
        ASSERT_TRUE(scene->GetMessageWindow()->AreChoicesVisible());
        scene->OnMouseMove(100, 220);
        scene->OnLButtonDown(100, 220);
        scene->OnLButtonUp(100, 220);
        EXPECT_EQ(scene->GetSceneMode(), CGameScene::kModeRun);
        EXPECT_EQ(scene->GetRegister(0), 20u);
    }
}
} // namespace
} // namespace scene_test
