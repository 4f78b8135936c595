// The yes/no dialog, the status panel, and the three overlays drawn at 32 and 16 bits per pixel.
#include "ScreenTestFixture.h"

#include "graphics/Layer.h"
#include "screens/ConfigPanel.h"
#include "screens/StatusPanel.h"
#include "screens/YesNoDialog.h"

namespace screens_test {
namespace {
// As the game object opens it: over a snapshot of the frame, deleted right after.
void OpenDialog(CYesNoDialog& dialog, int kind) {
    CLayer* snapshot = CreateLayerObject(0);
    snapshot->Load("snapshot", 1, 0, 0, 0, 0);
    dialog.Open(kind, snapshot);
    DeleteLayerObject(snapshot);
}

// The interface sound that plays, or "".
std::string Sound() {
    for (const char* name : {"Se000", "Se001", "Se002", "svo0003"})
        if (Playing(name)) return name;
    return "";
}

template <typename T> struct InputRow {
    const char* name;
    std::function<void(T&)> act;
    int answer; // the dialog's result; 1 when the status panel asks to close
    const char* sound;
};

class OverlayTest : public ScreenFixture {
  protected:
    template <typename T>
    void Answers(const std::vector<InputRow<T>>& rows, void (*open)(T&), int (*answer)(const T&)) {
        for (const InputRow<T>& row : rows) {
            SCOPED_TRACE(row.name);
            Start();
            T overlay;
            open(overlay);
            row.act(overlay);
            EXPECT_EQ(answer(overlay), row.answer);
            EXPECT_EQ(Sound(), row.sound);
        }
    }
};

TEST_F(OverlayTest, EachDialogKindShowsItsMessageOverTheSnapshotAsksAndAnswers) {
    const char* const voices[] = {"svo0002", "", "svo0000", "svo0001"};
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        Start();
        CYesNoDialog dialog;
        OpenDialog(dialog, kind);
        for (const char* voice : {"svo0000", "svo0001", "svo0002"})
            EXPECT_EQ(Playing(voice), voice == std::string(voices[kind])) << voice;
        dialog.OnMouseMove(220, 295);
        Frame(dialog);
        const DWORD message = MessageColour(kind);
        EXPECT_EQ(At(166, 222), kSnapshotColour) << "the clear third";
        EXPECT_TRUE(Near(At(346, 222), (message >> 1 & 0x7F7F7F) + (kSnapshotColour >> 1 & 0x7F7F7F), 2));
        EXPECT_TRUE(Near(At(466, 222), message, 1)) << "the opaque third";
        EXPECT_EQ(At(145, 222), 0u) << "beside the dialog";
        EXPECT_EQ(At(258, 305), SheetAt(44, 16)) << "yes hovered";
        EXPECT_EQ(At(214, 289), kSnapshotColour) << "the art is keyed";
        Silence();
        Click(dialog, 220, 295);
        EXPECT_EQ(dialog.GetResult() * 10 + dialog.GetKind(), 10 + kind);
        EXPECT_EQ(Sound(), kind == 0 ? "svo0003" : "Se001");
    }
}

TEST_F(OverlayTest, DialogMouseAndKeysGiveTheAnswer) {
    using D = CYesNoDialog&;
    Answers<CYesNoDialog>(
        {
            {"click_no", [](D d) { Click(d, 455, 320); }, 2, "Se002"},
            {"yes_released_on_no", [](D d) { d.OnLButtonDown(220, 295), d.OnLButtonUp(380, 295); }, 0, ""},
            {"right_then_enter", [](D d) { Key(d, VK_RIGHT), Key(d, VK_RETURN); }, 1, "Se001"},
            {"left_from_nothing_is_no", [](D d) { Key(d, VK_LEFT), Key(d, VK_SPACE); }, 2, "Se002"},
            {"left_twice_is_yes", [](D d) { Key(d, VK_LEFT), Key(d, VK_LEFT), Key(d, VK_RETURN); }, 1,
             "Se001"},
            {"enter_alone", [](D d) { Key(d, VK_RETURN); }, 0, ""},
            {"stray_release_repeats_nothing",
             [](D d) { Click(d, 455, 320), Silence(), d.OnLButtonUp(455, 320); }, 2, ""},
            {"hover_sounds_once", [](D d) { d.OnMouseMove(400, 300), Silence(), d.OnMouseMove(410, 310); }, 0,
             ""},
            {"hover_then_enter", [](D d) { d.OnMouseMove(400, 300), d.OnMouseMove(9, 9), Key(d, VK_RETURN); },
             0, "Se000"},
        },
        [](D d) { OpenDialog(d, CYesNoDialog::kQuit); }, [](const CYesNoDialog& d) { return d.GetResult(); });
}

TEST_F(OverlayTest, StatusButtonRequestsTheClose) {
    using P = CStatusPanel&;
    Answers<CStatusPanel>(
        {
            {"click", [](P p) { Click(p, 550, 445); }, 1, "Se001"},
            {"arrow_then_enter", [](P p) { Key(p, VK_UP), Key(p, VK_RETURN); }, 1, "Se001"},
            {"enter_alone", [](P p) { Key(p, VK_RETURN); }, 0, ""},
            {"stray_release_repeats_nothing",
             [](P p) { Click(p, 550, 445), Silence(), p.OnLButtonUp(550, 445); }, 1, ""},
            {"released_outside",
             [](P p) { p.OnMouseMove(626, 476), p.OnLButtonDown(626, 476), p.OnLButtonUp(9, 9); }, 0,
             "Se000"},
        },
        [](P p) { p.Open(1, 2, 3, 4); }, [](const CStatusPanel& p) { return int{p.IsCloseRequested()}; });
}

TEST_F(OverlayTest, StatusGaugesGrowUpFromTheBottomWithTheValues) {
    // The first screen row of the bars for each value, -1 none.
    const std::pair<DWORD, int> rows[] = {{25000, 22}, {10000, 22}, {9999, 40},      {5000, 222},
                                          {500, 404},  {499, -1},   {0xFFFFFFFF, -1}};
    for (auto [value, first] : rows) {
        const int top = first < 0 ? 421 : first;
        SCOPED_TRACE(value);
        Start();
        CStatusPanel panel;
        ASSERT_TRUE(panel.Open(value, value, value, value));
        Frame(panel);
        for (int x : {167, 257, 344, 432}) {
            // Every bar of the sheet ends at its row 400 and is drawn to end at screen row 422.
            EXPECT_EQ(At(x + 29, 421), first < 0 ? kBackground : SheetAt(29, 399)) << x;
            EXPECT_EQ(At(x, top), first < 0 ? kBackground : SheetAt(0, top - 22)) << x;
            EXPECT_EQ(At(x - 1, top - 1), kBackground) << x;
        }
    }
}

TEST_F(OverlayTest, OverlaysLookTheSameAtBothDepths) {
    for (const std::string overlay : {"config_panel", "status_panel", "yes_no_dialog"}) {
        SCOPED_TRACE(overlay);
        std::vector<DWORD> frames[2];
        for (int i : {0, 1}) {
            Start({i == 0 ? pt::DisplayFormat::Xrgb32 : pt::DisplayFormat::Rgb565});
            CConfigPanel config;
            CStatusPanel status;
            CYesNoDialog dialog;
            if (overlay == "config_panel") {
                config.OnMouseMove(60, 70);
                Frame(config);
                EXPECT_TRUE(i || (At(57, 67) == SheetAt(5, 5) && At(52, 62) == kBackground))
                    << "row cursor, keyed";
            } else if (overlay == "status_panel") {
                status.Open(10000, 7500, 2500, 0), status.OnMouseMove(560, 450),
                    status.OnLButtonDown(560, 450);
                Frame(status);
                EXPECT_TRUE(i || At(543, 437) == SheetAt(0, 40)) << "close pressed";
            } else {
                OpenDialog(dialog, CYesNoDialog::kQuit), dialog.OnLButtonDown(400, 300);
                Frame(dialog);
                EXPECT_TRUE(i || At(368, 289 + 16) == SheetAt(0, 96 + 16)) << "no pressed";
            }
            SavePng(overlay + (i == 0 ? "_32" : "_16"));
            frames[i] = pt::ReadSurfaceRgb(Back());
        }
        int far = 0; // the 16-bit frame is the 32-bit one within what 16 bits drop
        for (std::size_t p = 0; p < frames[0].size(); ++p)
            far += !Near(frames[0][p], frames[1][p], 10);
        EXPECT_EQ(far, 0);
    }
}
} // namespace
} // namespace screens_test
