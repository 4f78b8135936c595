// Name entry with the fake input method: typing, converting and committing into the two names, the
// composition in place, the focus that Tab and the pointer move, reset and OK.
#include "ScreenTestFixture.h"

#include "files/SaveData.h"
#include "platform/ime.h"
#include "platform/text_encoding.h"
#include "screens/NameEntryMode.h"
#include "text/MessageWindow.h"

#include <cstring>

namespace screens_test {
namespace {
using platform::DeliverImeComposition;
using platform::DeliverImeResult;
constexpr DWORD kNameBackground = 0x306090;
constexpr int kFamilyY = 144, kGivenY = 286, kRowPitch = 34;
CNameEntryMode* g_Mode = nullptr;
int g_Repaints = 0;

// The game object's part in mode 4: the input method's messages go to name entry.
LRESULT RouteToNameEntry(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == UM_REPAINT) ++g_Repaints;
    if ((msg == WM_CHAR || (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_CHAR)) && g_Mode)
        return g_Mode->OnImeMessage(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

std::string Sjis(const char* utf8) {
    return platform::Utf8ToSjis(utf8);
}

class NameEntryTest : public ScreenFixture {
  protected:
    void Open(const char* family = "山田", const char* given = "太郎", StartOptions options = {}) {
        options.pictures.push_back({"sg019", Solid(kNameBackground)});
        options.pictures.push_back({"sg020", Picture(384, 40, SheetAt)});
        options.pictures.push_back({"sg021", Picture(4, 32, SheetAt)});
        Start(options);
        pt::UseFontFile(pt::kPinnedGothicFont);
        g_pSaveData = new CSaveData;
        g_pSaveData->SetFamilyName(Sjis(family).c_str());
        g_pSaveData->SetGivenName(Sjis(given).c_str());
        m_Main = g_hWnd;
        g_hWnd = CreateHeadlessWindow(RouteToNameEntry);
        g_Mode = new CNameEntryMode;
        g_Mode->Open();
        Pump();
        g_Repaints = 0;
        pt::TakeImeCancelCount();
        Silence();
    }
    void TearDown() override {
        delete g_Mode;
        g_Mode = nullptr;
        if (m_Main) DestroyWindow(std::exchange(g_hWnd, std::exchange(m_Main, nullptr)));
        delete g_pSaveData;
        g_pSaveData = nullptr;
        pt::SetImeAvailable(true);
        pt::UseFontFile("");
        ScreenFixture::TearDown();
    }
    static void Pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    static void Compose(const char* utf8, int start = 999, int length = 0) {
        ASSERT_TRUE(DeliverImeComposition(g_hWnd, utf8, start, length));
        Pump();
    }
    static void Commit(const char* utf8) {
        ASSERT_TRUE(DeliverImeResult(g_hWnd, utf8));
        Pump();
    }
    // Steps: R Right, B Backspace, D Delete, T Tab, E Enter, S Shift held; X a click on reset, G one far in
    // the given field, F one at the family field's corner; C the user closes the input method; L a result
    // ending in a lone lead byte, N a result read with no input method.
    static void Steps(const char* steps) {
        for (const char* p = steps; *p; ++p) {
            const UINT keys[] = {VK_RIGHT, VK_BACK, VK_DELETE, VK_TAB, VK_RETURN};
            if (const char* k = std::strchr("RBDTE", *p)) Key(*g_Mode, keys[k - "RBDTE"]);
            if (*p == 'S') g_Mode->OnKeyDown(VK_SHIFT);
            if (*p == 'X') Click(*g_Mode, 410, 440);
            if (*p == 'G' || *p == 'F') Click(*g_Mode, *p == 'G' ? 469 : 145, *p == 'G' ? 334 : 94);
            if (*p == 'C') platform::DeliverImeOpenStatus(g_hWnd, false);
            if (*p == 'L') pt::DeliverImeResultBytes(g_hWnd, Sjis("あ") + "\x82");
            if (*p == 'N')
                pt::SetImeAvailable(false), g_Mode->OnImeMessage(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
            Pump();
        }
    }
    void DrawFrame() {
        AddUpdateRect(GetScreenRect());
        g_pScreen->Draw(Back());
        g_Mode->Draw(Back());
        AddUpdateRect(nullptr);
    }
    // Pixels of `rect` on the back buffer near `colour`.
    int Count(RECT rect, DWORD colour) const {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += Near(At(x, y), colour, 8);
        return n;
    }
    HWND m_Main = nullptr;
};

TEST_F(NameEntryTest, TypingAndKeysEditTheActiveNameInWholeCharacters) {
    const struct {
        const char *name, *family, *steps, *commit, *expectFamily, *expectGiven;
        int caret;
    } rows[] = {
        {"commit_at_the_caret", "田中", "", "山", "山田中", "太郎", 1},
        {"commit_pushes_the_tail_out", "一二三四五六", "RR", "あい", "一二あい三四", "太郎", 4},
        {"full_name_at_its_end_takes_nothing", "一二三四五六", "RRRRRR", "あ", "一二三四五六", "太郎", 6},
        {"commit_cut_to_fit", "一二三四", "RRRR", "あいうえ", "一二三四あい", "太郎", 6},
        {"half_width_refused", "田中", "", "ab", "田中", "太郎", 0},
        {"half_width_inside_refused", "田中", "", "あbい", "田中", "太郎", 0},
        {"lone_lead_byte_refused", "田中", "L", "", "田中", "太郎", 0},
        {"no_input_method_reads_nothing", "田中", "N", "", "田中", "太郎", 0},
        {"backspace_at_the_start", "田中", "B", "", "田中", "太郎", 0},
        {"backspace_inside", "田中", "RB", "", "中", "太郎", 0},
        {"delete_at_the_caret", "田中", "D", "", "中", "太郎", 0},
        {"delete_at_the_end", "田中", "RRRD", "", "田中", "太郎", 2},
        {"tab_to_the_given_name", "田中", "TD", "健", "田中", "健郎", 1},
        {"no_field_on_a_button", "田中", "TTBD", "", "田中", "太郎", 0},
        {"reset", "田中", "X", "", "山田", "太郎", 0},
        {"click_anywhere_in_a_field_starts_it", "田中", "RGRFRG", "健", "田中", "健太郎", 1},
        {"the_user_cannot_close_it", "田中", "C", "山", "山田中", "太郎", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Open(row.family);
        Steps(row.steps);
        if (*row.commit) Commit(row.commit);
        EXPECT_EQ(g_Mode->GetFamilyName(), Sjis(row.expectFamily));
        EXPECT_EQ(g_Mode->GetGivenName(), Sjis(row.expectGiven));
        EXPECT_EQ(g_Mode->GetCaretIndex(), row.caret);
    }
}

TEST_F(NameEntryTest, TheFocusGoesRoundTheFieldsAndButtonsAndTheInputMethodFollows) {
    // Field 1 family, 2 given, 0 none; hover 0 reset, 1 OK.
    const struct {
        const char* steps;
        int field, hover;
    } rows[] = {{"T", 2, -1}, {"TT", 0, 0},  {"TTT", 0, 1},   {"TTTT", 1, -1},
                {"ST", 0, 1}, {"STT", 0, 0}, {"STTT", 2, -1}, {"STTTT", 1, -1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.steps);
        Open();
        Steps(row.steps);
        EXPECT_EQ(g_Mode->GetActiveField() * 10 + g_Mode->GetHoverRegion(), row.field * 10 + row.hover);
        const bool typing = row.hover == -1;
        EXPECT_EQ(pt::IsTextInputActive(), typing);
        EXPECT_EQ(g_Mode->IsCaretShown(), typing);
        if (typing) {
            EXPECT_EQ(g_Mode->GetCaretPos().y, row.field == 1 ? kFamilyY : kGivenY);
        } else {
            EXPECT_TRUE(Playing("Se000"));
        }
    }
}

// Every character of a composition shows in its cell: row 0 from the caret, rows of seven below. One
// cut to thirty characters stays in the system's input method as the user typed it (its cancel
// would lose it all, since the cut text cannot be handed back) and commits what fits the name.
TEST_F(NameEntryTest, LongCompositionsWrapRepaintAndAreCutToThirtyCharacters) {
    const auto kana = [](int n) {
        const std::string all = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ";
        std::string s;
        for (int i = 0; i < n; ++i)
            s += all.substr(3 * (i % 30), 3);
        return s;
    };
    const struct {
        const char* name;
        int chars;   // typed, the cursor at the end
        LONG cursor; // or handed over as raw bytes with this cursor
        int kept, cells, row, repaints, cancels;
    } rows[] = {
        {"typing", 3, -1, 3, 6, 0, 0, 0},
        {"second_row", 10, -1, 10, 6, 1, 0, 0},
        {"row_end", 7, -1, 7, 14, 0, 0, 0},
        {"fifteen", 15, -1, 15, 2, 2, 0, 0},
        {"sixteen_repaints", 16, -1, 16, 4, 2, 1, 0},
        {"twenty_one", 21, -1, 21, 14, 2, 1, 0},
        {"thirty_one_cut", 31, -1, 30, 4, 4, 1, 0},
        {"longer_than_the_read", 1100, 2200, 30, 4, 4, 1, 0},
        {"cursor_past_the_end", 2, 5000, 2, 4, 0, 0, 0},
        {"negative_cursor", 2, -7, 2, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        const std::string typed = kana(row.chars), sjis = Sjis(typed.c_str());
        if (row.cursor == -1)
            Compose(typed.c_str());
        else
            pt::DeliverImeCompositionBytes(g_hWnd, sjis, std::string(sjis.size(), 0), row.cursor), Pump();
        EXPECT_EQ(g_Mode->GetComposition(), Sjis(kana(row.kept).c_str()));
        EXPECT_EQ(g_Mode->GetCaretPos().x, 212 + 16 * row.cells);
        EXPECT_EQ(g_Mode->GetCaretPos().y, kFamilyY + kRowPitch * row.row);
        EXPECT_EQ(g_Repaints, row.repaints);
        EXPECT_EQ(pt::TakeImeCancelCount(), row.cancels);
        DrawFrame();
        int inked = 0;
        for (int c = 0; c < row.kept; ++c) {
            const LONG x = 212 + 32 * (c % 7), y = kFamilyY + kRowPitch * (c / 7);
            inked += Count({x, y, x + 32, y + 32}, 0x080808) > 0;
        }
        EXPECT_EQ(inked, row.kept) << "characters drawn";
        if (row.kept < 30) continue;
        Commit(typed.c_str());
        EXPECT_EQ(g_Mode->GetFamilyName(), Sjis(kana(6).c_str()));
    }
}

TEST_F(NameEntryTest, OkStoresTheNamesOrTheDefaultsAndReturnsToTheTitle) {
    const char* rows[][4] = {
        {"鈴木", "一郎", "鈴木", "一郎"}, {"", "一郎", "山田", "一郎"}, {"鈴木", "", "鈴木", "太郎"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row[0]) + "," + row[1]);
        Open(row[0], row[1]);
        EXPECT_EQ(g_Mode->Run(), 4);
        Steps("TTTE");
        EXPECT_EQ(g_Mode->Run(), 3);
        EXPECT_TRUE(Playing("Se001"));
        EXPECT_EQ(g_pSaveData->GetFamilyName() + std::string("/") + g_pSaveData->GetGivenName(),
                  Sjis(row[2]) + "/" + Sjis(row[3]));
        // The scenario's name codes read them from there.
        CMessageWindow window(1);
        window.SetFamilyName(g_pSaveData->GetFamilyName());
        window.SetGivenName(g_pSaveData->GetGivenName());
        window.SetSpeakerName("#fn#sn");
        EXPECT_EQ(std::string(window.GetSpeakerName()), Sjis(row[2]) + Sjis(row[3]));
    }
}

TEST_F(NameEntryTest, TheCaretBlinksWhileAFieldTakesTyping) {
    Open();
    for (auto [ms, shown] : {std::pair{0, true}, {499, true}, {2, false}, {501, true}}) {
        pt::AdvanceClock(ms);
        g_Mode->Run();
        EXPECT_EQ(g_Mode->IsCaretShown(), shown) << ms;
    }
}

class NameEntryPicture : public NameEntryTest, public ::testing::WithParamInterface<pt::DisplayFormat> {};

TEST_P(NameEntryPicture, TheCompositionShowsInPlaceWithItsTargetClauseInBlueUntilItEnds) {
    StartOptions options;
    options.format = GetParam();
    Open("山田", "太郎", options);
    Steps("TR");
    Compose("健たろう", 0, 1);
    DrawFrame();
    SavePng(GetParam() == pt::DisplayFormat::Rgb565 ? "name_entry_16" : "name_entry_32");
    // 太 stays before the caret; 健 in its blue cell, white ink; たろう dark on white after it.
    const int x = 212 + 32;
    const RECT target = {x, kGivenY, x + 32, kGivenY + 32}, rest = {x + 32, kGivenY, x + 128, kGivenY + 32};
    EXPECT_GT(Count(target, 0x0000FF), 200);
    EXPECT_GT(Count(target, 0xFFFFFF), 30);
    EXPECT_GT(Count(rest, 0xFFFFFF), 600);
    EXPECT_GT(Count(rest, 0x080808), 60);
    EXPECT_GT(Count({212, kGivenY, 244, kGivenY + 32}, 0xFFFFFF), 30) << "the name's glyph";
    EXPECT_EQ(At(x + 1, kGivenY), SheetAt(1, 0)) << "the caret at the clause";
    // An input method may end it without emptying it first: a redraw must not bring it back.
    g_Mode->OnImeMessage(WM_IME_ENDCOMPOSITION, 0, 0);
    g_Mode->ReleaseSurfaces();
    g_Mode->RecreateSurfaces(g_DDrawCtrl.GetDirectDrawObject());
    DrawFrame();
    EXPECT_EQ(Count(target, 0x0000FF), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, NameEntryPicture,
                         ::testing::Values(pt::DisplayFormat::Xrgb32, pt::DisplayFormat::Rgb565),
                         [](const auto& info) {
                             return info.param == pt::DisplayFormat::Rgb565 ? "565" : "32";
                         });
} // namespace
} // namespace screens_test
