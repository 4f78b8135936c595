// The input method: text input only while the window wants it, what the user composes and commits as
// the window procedure reads it from the context, and what the program writes back.
#include "platform/ime.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
namespace pt = platform::testing;
using platform::DeliverImeComposition;
using platform::DeliverImeResult;

// One WM_IME_ message as the procedure saw it, with what the context held while it was handled.
struct Heard {
    UINT msg;
    LPARAM lParam;
    std::string comp, attrs, result;
    LONG cursor;
};
std::vector<Heard> g_Heard;

std::string Read(HIMC context, DWORD index) {
    char buf[256];
    const LONG n = ImmGetCompositionStringA(context, index, buf, sizeof buf);
    return n < 0 ? "<error>" : std::string(buf, static_cast<std::size_t>(n));
}

LRESULT ImeProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_CHAR) {
        HIMC c = ImmGetContext(hwnd);
        g_Heard.push_back({msg, lParam, Read(c, GCS_COMPSTR), Read(c, GCS_COMPATTR), Read(c, GCS_RESULTSTR),
                           ImmGetCompositionStringA(c, GCS_CURSORPOS, nullptr, 0)});
        ImmReleaseContext(hwnd, c);
    }
    return 0;
}

std::string Sjis(const char* utf8) {
    return platform::Utf8ToSjis(utf8);
}

class ImeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::UseHeadlessDisplay();
        pt::ClearMessages();
        pt::SetImeAvailable(true);
        g_Heard.clear();
        hwnd = CreateHeadlessWindow(ImeProc);
        context = ImmGetContext(hwnd);
        ImmSetOpenStatus(context, TRUE);
        Pump();
        g_Heard.clear();
        pt::TakeImeCancelCount();
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        pt::ClearMessages();
    }
    static void Pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> out;
        for (const Heard& h : g_Heard)
            out.push_back(h.msg);
        return out;
    }
    HWND hwnd = nullptr;
    HIMC context = nullptr;
};

TEST_F(ImeTest, TextInputRunsOnlyWhileTheInputMethodIsEnabledAndOpen) {
    const struct {
        const char* name;
        BOOL enabled, open;
        bool active;
    } rows[] = {{"enabled_open", TRUE, TRUE, true},
                {"enabled_closed", TRUE, FALSE, false},
                {"disabled_open", FALSE, TRUE, false},
                {"disabled_closed", FALSE, FALSE, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WINNLSEnableIME(hwnd, row.enabled);
        ImmSetOpenStatus(context, row.open);
        EXPECT_EQ(pt::IsTextInputActive(), row.active);
        EXPECT_EQ(DeliverImeResult(hwnd, "x"), row.active) << "no text reaches a window that takes none";
    }
}

TEST_F(ImeTest, CompositionsArriveInShiftJisWithTheTargetClauseAndTheCursorInBytes) {
    const std::string yamada = Sjis("やまだ"), kanji = Sjis("山田太郎");
    const struct {
        const char* name;
        const char* utf8;
        int start, length;
        std::string comp, attrs;
        LONG cursor;
    } rows[] = {
        {"typing", "やまだ", 3, 0, yamada, std::string(6, ATTR_INPUT), 6},
        {"cursor_inside", "やまだ", 1, 0, yamada, std::string(6, ATTR_INPUT), 2},
        {"converting", "山田太郎", 2, 2, kanji,
         std::string(4, ATTR_CONVERTED) + std::string(4, ATTR_TARGET_CONVERTED), 4},
        {"half_width", "aか", 1, 0, "a" + Sjis("か"), std::string(3, ATTR_INPUT), 1},
        {"no_shift_jis_form", "\xF0\x9F\x98\x80あ", 1, 0, Sjis("あ"), std::string(2, ATTR_INPUT), 0},
        {"cursor_past_the_end", "あ", 9, 0, Sjis("あ"), std::string(2, ATTR_INPUT), 2},
        {"malformed_utf8", "\xE3\x81", 0, 0, "", "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        g_Heard.clear();
        ASSERT_TRUE(DeliverImeComposition(hwnd, row.utf8, row.start, row.length));
        Pump();
        ASSERT_FALSE(g_Heard.empty());
        EXPECT_EQ(g_Heard.back().comp, row.comp);
        EXPECT_EQ(g_Heard.back().attrs, row.attrs);
        EXPECT_EQ(g_Heard.back().cursor, row.cursor);
    }
}

TEST_F(ImeTest, EachQueuedEventIsReadByItsOwnMessagesInOrder) {
    DeliverImeComposition(hwnd, "やま", 2, 0);
    DeliverImeResult(hwnd, "山");
    DeliverImeResult(hwnd, "田");
    DeliverImeComposition(hwnd, "か", 1, 0);
    DeliverImeComposition(hwnd, "", 0, 0);
    EXPECT_TRUE(g_Heard.empty()) << "nothing before the loop dispatches";
    Pump();
    const std::vector<UINT> expected = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,      WM_IME_COMPOSITION,
                                        WM_IME_ENDCOMPOSITION,   WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                        WM_IME_ENDCOMPOSITION,   WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                        WM_IME_COMPOSITION,      WM_IME_ENDCOMPOSITION};
    ASSERT_EQ(Messages(), expected);
    EXPECT_EQ(g_Heard[1].comp, Sjis("やま"));
    EXPECT_EQ(g_Heard[2].lParam, static_cast<LPARAM>(GCS_RESULTSTR));
    EXPECT_EQ(g_Heard[2].result, Sjis("山"));
    EXPECT_EQ(g_Heard[2].comp, "");
    EXPECT_EQ(g_Heard[5].result, Sjis("田"));
    EXPECT_EQ(g_Heard[9].comp, "") << "the user emptied the composition";
}

TEST_F(ImeTest, ReadsCopyWholeCharactersAndReportErrorsNegative) {
    DeliverImeComposition(hwnd, "aあい", 3, 0);
    Pump();
    char buf[8] = {};
    const struct {
        const char* name;
        HIMC context;
        DWORD index;
        void* buf;
        DWORD size;
        LONG result;
    } rows[] = {{"size_asked", context, GCS_COMPSTR, nullptr, 0, 5},
                {"cut_before_a_half_character", context, GCS_COMPSTR, buf, 4, 3},
                {"attributes_cut_alike", context, GCS_COMPATTR, buf, 2, 1},
                {"no_buffer", context, GCS_COMPSTR, nullptr, 4, IMM_ERROR_GENERAL},
                {"unknown_index", context, 0x4000, buf, 8, IMM_ERROR_GENERAL},
                {"no_context", nullptr, GCS_COMPSTR, buf, 8, IMM_ERROR_GENERAL}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ImmGetCompositionStringA(row.context, row.index, row.buf, row.size), row.result);
    }
}

TEST_F(ImeTest, TheProgramCancelsAndSetsTheCompositionSilently) {
    DeliverImeComposition(hwnd, "あいう", 1, 1);
    Pump();
    g_Heard.clear();
    EXPECT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_EQ(pt::TakeImeCancelCount(), 1) << "the input method hears of the cancel";
    EXPECT_EQ(Read(context, GCS_COMPSTR), "");
    const std::string cut = Sjis("あい");
    EXPECT_TRUE(ImmSetCompositionStringA(context, SCS_SETSTR, cut.data(), 4, nullptr, 0));
    EXPECT_FALSE(ImmSetCompositionStringA(context, SCS_CHANGEATTR, "\1\1", 2, nullptr, 0)) << "wrong length";
    EXPECT_TRUE(ImmSetCompositionStringA(context, SCS_CHANGEATTR, "\0\0\1\1", 4, nullptr, 0));
    EXPECT_EQ(Read(context, GCS_COMPSTR), cut);
    EXPECT_EQ(Read(context, GCS_COMPATTR), std::string("\0\0\1\1", 4));
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0), 4);
    Pump();
    EXPECT_TRUE(g_Heard.empty());
}

TEST_F(ImeTest, ClosingEndsTheCompositionAndEveryChangeOfStatusIsNotified) {
    DeliverImeComposition(hwnd, "あ", 1, 0);
    Pump();
    g_Heard.clear();
    ImmSetOpenStatus(context, FALSE);
    EXPECT_FALSE(pt::IsTextInputActive());
    Pump();
    const std::vector<UINT> closed = {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_NOTIFY};
    EXPECT_EQ(Messages(), closed);

    // The user switches it on and off again; the context follows when the loop gets there.
    g_Heard.clear();
    ASSERT_TRUE(platform::DeliverImeOpenStatus(hwnd, true));
    EXPECT_FALSE(ImmGetOpenStatus(context));
    Pump();
    EXPECT_TRUE(ImmGetOpenStatus(context));
    EXPECT_TRUE(pt::IsTextInputActive());
    EXPECT_EQ(Messages(), std::vector<UINT>{WM_IME_NOTIFY});
}

TEST_F(ImeTest, DisablingDropsTheCompositionAndWhatStillWaits) {
    DeliverImeComposition(hwnd, "あ", 1, 0);
    Pump();
    DeliverImeResult(hwnd, "亜");
    WINNLSEnableIME(hwnd, FALSE);
    g_Heard.clear();
    Pump();
    EXPECT_TRUE(g_Heard.empty());
    EXPECT_EQ(Read(context, GCS_COMPSTR), "");
    EXPECT_FALSE(platform::DeliverImeOpenStatus(hwnd, false));
    pt::SetImeAvailable(false);
    EXPECT_EQ(ImmGetContext(hwnd), nullptr);
    pt::SetImeAvailable(true);
}
} // namespace
