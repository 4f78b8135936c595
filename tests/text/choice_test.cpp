// Choices with the mouse and the keys and their sounds, the click-wait icon, the backlog, a display
// change, and the guards on what scripts and saves hand in.
#include "TextFixture.h"

#include <functional>
#include <set>
#include <vector>

namespace texttest {
namespace {
struct Event {
    enum Kind { Move, Down, Up, KeyDown, KeyUp } kind;
    int x = 0, y = 0; // or the key in x
};
struct ChoiceRow {
    const char* name;
    int choices;
    int decided;      // the choice decided, -1 none
    int se003, se004; // plays of each sound
    std::vector<Event> events;
    DWORD firstValue = 10; // choice i has the value firstValue + i
};

TEST_F(TextTest, ChoicesByMouseAndKeysWithSounds) {
    // Sound buffers seen playing at each rate: every play makes a new one.
    std::map<DWORD, std::set<int>> seen;
    const Event::Kind M = Event::Move, D = Event::Down, U = Event::Up, KD = Event::KeyDown, KU = Event::KeyUp;
    // clang-format off
    const ChoiceRow rows[] = {
        {"moving onto each choice sounds once", 3, -1, 2, 0, {{M, 100, 170}, {M, 120, 175}, {M, 100, 220}, {M, 10, 10}}},
        {"press on one, release on another", 3, -1, 1, 0, {{M, 100, 170}, {D, 100, 170}, {M, 100, 220}, {U, 100, 220}}},
        {"a click decides", 3, 2, 1, 1, {{M, 100, 270}, {D, 100, 270}, {U, 100, 270}}},
        {"Enter without a cursor does nothing", 3, -1, 0, 0, {{KD, VK_RETURN}, {KU, VK_RETURN}}},
        {"Up then Enter decides the first", 3, 0, 1, 1, {{KD, VK_UP}, {KD, VK_RETURN}, {KU, VK_RETURN}}},
        {"Down from none takes the last of two", 2, 1, 1, 1, {{KD, VK_DOWN}, {KD, VK_RETURN}, {KU, VK_RETURN}}},
        {"keys stop at the ends", 3, 0, 3, 1,
         {{KD, VK_DOWN}, {KD, VK_DOWN}, {KD, VK_UP}, {KD, VK_UP}, {KD, VK_UP}, {KD, VK_RETURN}, {KU, VK_RETURN}}},
        {"two choices have two regions", 2, -1, 0, 0, {{M, 100, 270}, {D, 100, 270}, {U, 100, 270}}},
        {"a value of -1 is decided by a click", 3, 0, 1, 1, {{M, 100, 170}, {D, 100, 170}, {U, 100, 170}},
         0xFFFFFFFF},
        {"a value of -1 is decided by Enter", 3, 0, 1, 1, {{KD, VK_UP}, {KD, VK_RETURN}, {KU, VK_RETURN}},
         0xFFFFFFFF},
    };
    // clang-format on
    for (const ChoiceRow& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        seen.clear();
        for (int i = 0; i < row.choices; ++i)
            ASSERT_TRUE(win->AddChoice(S("選ぶ").c_str(), row.firstValue + i));
        ASSERT_TRUE(win->ShowChoices());
        for (const Event& e : row.events) {
            if (e.kind == M) win->OnMouseMove(e.x, e.y);
            if (e.kind == D) win->OnLButtonDown(e.x, e.y);
            if (e.kind == U) win->OnLButtonUp(e.x, e.y);
            if (e.kind == KD) win->OnKeyDown(e.x);
            if (e.kind == KU) win->OnKeyUp(e.x);
            for (const auto& b : pt::SoundBuffers())
                if (b.playing) seen[b.format.nSamplesPerSec].insert(b.id);
        }
        const bool decided = row.decided != -1;
        EXPECT_EQ(win->IsChoiceDecided(), decided);
        if (decided) {
            EXPECT_EQ(static_cast<DWORD>(win->GetChoiceResult()), row.firstValue + row.decided);
        }
        EXPECT_EQ(seen[kSe003Rate].size(), static_cast<std::size_t>(row.se003));
        EXPECT_EQ(seen[kSe004Rate].size(), static_cast<std::size_t>(row.se004));
        // A decision closes the choices and empties the compositor's layer 4.
        EXPECT_EQ(win->GetChoiceCount() == 0, decided);
        EXPECT_EQ(g_pScreen->GetLayer(4) == nullptr, decided);
        Stop();
    }
}

TEST_F(TextTest, ClickIconTurnsEvery300ms) {
    Start();
    win->SetText(S("あ##い").c_str());
    ASSERT_EQ(RunPage(), CMessageWindow::kStateClickWait);
    // Milliseconds on, and the frame then shown.
    for (auto [ms, frame] : {std::pair{0, 0}, {299, 0}, {1, 1}, {300, 2}, {300, 3}, {300, 0}}) {
        pt::AdvanceClock(ms);
        win->AnimateClickIcon();
        Frame();
        EXPECT_EQ(At(594, 458), kIconFrames[frame]) << ms;
    }
    win->Resume();
    win->Update();
    Frame();
    EXPECT_EQ(At(594, 458), kWindowBody) << "hidden once the click came";
}

TEST_F(TextTest, BacklogPagesBackAndLeaves) {
    Start();
    EXPECT_EQ(win->BacklogBack(), -1);
    g_pConfig->SetTextSpeed(1);
    for (int page = 1; page <= 101; ++page) {
        win->ClearPage();
        win->SetFontSize(page % 2);
        win->SetVoiceName(("v" + std::to_string(page)).c_str());
        win->SetText(("p" + std::to_string(page)).c_str());
        win->Update();
    }
    win->ClearPage(); // page 101 goes to the backlog; 102 is live
    win->SetFontSize(3);
    win->SetTextColor(255, 0, 0, 0);
    win->SetText("live");
    win->Update();

    // The oldest page was replaced by the 101st: 100 pages back reach page 2, then paging stops.
    for (int depth = 1; depth <= 100; ++depth) {
        ASSERT_EQ(win->BacklogBack(), depth);
        const int page = 102 - depth;
        ASSERT_EQ(Line(0), "p" + std::to_string(page));
        EXPECT_STREQ(win->GetVoiceName(), ("v" + std::to_string(page)).c_str());
        EXPECT_EQ(win->GetFontSize(), page % 2);
    }
    EXPECT_EQ(win->BacklogBack(), 0);
    EXPECT_EQ(Line(0), "p2");
    int r, g, b;
    win->GetTextColor(&r, &g, &b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{52, 254, 214}));

    EXPECT_EQ(win->BacklogForward(), 99);
    EXPECT_EQ(Line(0), "p3");
    win->LeaveBacklog();
    EXPECT_FALSE(win->IsBacklogShown());
    EXPECT_EQ(Line(0), "live");
    EXPECT_EQ(win->GetFontSize(), 3);
    win->GetTextColor(&r, &g, &b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(win->GetVoiceName(), nullptr);

    // One page back and forward again leaves; outside the backlog neither step touches the live page.
    EXPECT_EQ(win->BacklogBack(), 1);
    EXPECT_EQ(win->BacklogForward(), 0);
    EXPECT_EQ(win->BacklogForward(), 0);
    win->LeaveBacklog();
    EXPECT_EQ(Line(0), "live");
    Frame();
    EXPECT_EQ(At(594, 458), kWindowBody) << "no click wait, no icon";
}

TEST_F(TextTest, PageSurvivesADisplayChange) {
    Start();
    UseBlockGlyph(kSquare, 20, {{0, 0, 9}});
    g_pConfig->SetTextSpeed(1);
    win->SetSpeakerName(S("■").c_str());
    win->SetFontSize(3);
    win->SetText(S("■").c_str());
    win->Update();
    g_pScreen->Release();
    win->ReleaseSurfaces();
    g_pScreen->Restore(dd);
    ASSERT_TRUE(win->Restore(dd));
    Frame();
    EXPECT_EQ(At(46, 382), 0xFFFFFFu);
    EXPECT_EQ(At(104, 344), 0xFFFFFFu);
    EXPECT_EQ(win->GetFontSize(), 3) << "the page keeps its size";
}

// A switch between windowed and full screen makes every picture anew: the choices come back as the
// player left them, and answer as before.
TEST_F(TextTest, ChoicesSurviveADisplayChangeAsTheyWere) {
    const struct {
        const char* name;
        std::function<void(CMessageWindow&)> before, after;
        int decided;
    } rows[] = {
        {"hidden choices stay hidden and a click decides nothing",
         [](CMessageWindow& w) { w.SetChoicesVisible(0); },
         [](CMessageWindow& w) {
             w.OnMouseMove(100, 220), w.OnLButtonDown(100, 220), w.OnLButtonUp(100, 220);
         },
         -1},
        {"shown again, a click decides", [](CMessageWindow& w) { w.SetChoicesVisible(0); },
         [](CMessageWindow& w) {
             w.SetChoicesVisible(1);
             w.OnMouseMove(100, 220), w.OnLButtonDown(100, 220), w.OnLButtonUp(100, 220);
         },
         1},
        {"the choice under the pointer stays lit", [](CMessageWindow& w) { w.OnMouseMove(100, 270); },
         [](CMessageWindow& w) { w.OnLButtonDown(100, 270), w.OnLButtonUp(100, 270); }, 2},
        {"the keys' choice stays theirs", [](CMessageWindow& w) { w.OnKeyDown(VK_UP); },
         [](CMessageWindow& w) { w.OnKeyDown(VK_RETURN), w.OnKeyUp(VK_RETURN); }, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(win->AddChoice(S("選ぶ").c_str(), i));
        ASSERT_TRUE(win->ShowChoices());
        row.before(*win);
        Frame();
        const std::vector<DWORD> shown = pt::ReadSurfaceRgb(back->GetSurface());
        g_pScreen->Release();
        win->ReleaseSurfaces();
        g_pScreen->Restore(dd);
        ASSERT_TRUE(win->Restore(dd));
        Frame();
        EXPECT_TRUE(pt::ReadSurfaceRgb(back->GetSurface()) == shown) << "the screen is as it was";
        row.after(*win);
        EXPECT_EQ(win->IsChoiceDecided() ? win->GetChoiceResult() : -1, row.decided);
        Stop();
    }
}

// What scripts, saves and the backlog hand in is kept inside the window's limits.
TEST_F(TextTest, GuardsOnHandedInValues) {
    Start();
    win->SetFontSize(3);
    for (int bad : {-1, 5, 100})
        win->SetFontSize(bad);
    EXPECT_EQ(win->GetFontSize(), 3);
    const struct {
        const char* name;
        std::string given, stored;
    } names[] = {
        {"twelve bytes kept", S("あいうえおか"), S("あいうえおか")},
        {"cut to twelve bytes", S("あいうえおかき"), S("あいうえおか")},
        {"cut before a split character", "a" + S("あいうえおか"), "a" + S("あいうえお")},
        {"name codes expand first", "#fn#sn", S("山田太郎")},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.name);
        win->SetSpeakerName(n.given.c_str());
        EXPECT_EQ(std::string(win->GetSpeakerName()), n.stored);
        EXPECT_EQ(win->GetFontSize(), 2) << "a name is drawn at the default size";
    }
    EXPECT_FALSE(win->ShowChoices());
    EXPECT_FALSE(win->AddChoice(Rep("a", 61).c_str(), 0));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(win->AddChoice(Rep("a", 60).c_str(), i));
    EXPECT_FALSE(win->AddChoice("a", 3));
}
} // namespace
} // namespace texttest
