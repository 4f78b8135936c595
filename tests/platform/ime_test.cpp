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

// One WM_IME_ message, with what the context held while the procedure handled it.
struct Heard {
    UINT msg;
    std::string comp, attrs, result;
    LONG cursor;
};
std::vector<Heard> g_Heard;

std::string Read(HIMC context, DWORD index) {
    char buf[256];
    const LONG n = ImmGetCompositionStringA(context, index, buf, sizeof buf);
    return n < 0 ? "<error>" : std::string(buf, static_cast<std::size_t>(n));
}

LRESULT ImeProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_CHAR) {
        HIMC c = ImmGetContext(hwnd);
        g_Heard.push_back({msg, Read(c, GCS_COMPSTR), Read(c, GCS_COMPATTR), Read(c, GCS_RESULTSTR),
                           ImmGetCompositionStringA(c, GCS_CURSORPOS, nullptr, 0)});
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
        hwnd = CreateHeadlessWindow(ImeProc);
        context = ImmGetContext(hwnd);
        ImmSetOpenStatus(context, TRUE);
        Pump();
        g_Heard.clear();
        pt::TakeImeCancelCount();
    }
    void TearDown() override { DestroyWindow(hwnd); }
    static void Pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    static std::vector<UINT> Messages() {
        std::vector<UINT> out;
        for (const Heard& h : g_Heard)
            out.push_back(h.msg);
        g_Heard.clear();
        return out;
    }
    HWND hwnd = nullptr;
    HIMC context = nullptr;
};

TEST_F(ImeTest, TextInputRunsOnlyWhileTheInputMethodIsEnabledAndOpen) {
    for (BOOL enabled : {TRUE, FALSE})
        for (BOOL open : {TRUE, FALSE}) {
            SCOPED_TRACE(testing::Message() << "enabled " << enabled << " open " << open);
            WINNLSEnableIME(hwnd, enabled);
            ImmSetOpenStatus(context, open);
            EXPECT_EQ(pt::IsTextInputActive(), enabled && open);
            EXPECT_EQ(DeliverImeResult(hwnd, "x"), enabled && open);
        }
}

TEST_F(ImeTest, CompositionsArriveInShiftJisWithTheTargetClauseAndTheCursorInBytes) {
    const std::string in(6, ATTR_INPUT);
    const struct {
        const char* name;
        const char* utf8;
        int start, length;
        std::string comp, attrs;
        LONG cursor;
    } rows[] = {
        {"typing", "やまだ", 3, 0, Sjis("やまだ"), in, 6},
        {"cursor_inside", "やまだ", 1, 0, Sjis("やまだ"), in, 2},
        {"converting", "山田太郎", 2, 2, Sjis("山田太郎"), "\2\2\2\2\1\1\1\1", 4},
        {"half_width", "aか", 1, 0, Sjis("aか"), in.substr(3), 1},
        {"no_shift_jis_form", "\xF0\x9F\x98\x80あ", 1, 0, Sjis("あ"), in.substr(4), 0},
        {"cursor_past_the_end", "あ", 9, 0, Sjis("あ"), in.substr(4), 2},
        {"malformed_ends_it", "\xE3\x81", 0, 0, "", "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
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
    DeliverImeComposition(hwnd, "", 0, 0);
    EXPECT_TRUE(g_Heard.empty()) << "nothing before the loop dispatches";
    Pump();
    ASSERT_EQ(g_Heard.size(), 7u);
    EXPECT_EQ(g_Heard[1].comp, Sjis("やま"));
    EXPECT_EQ(g_Heard[2].result + g_Heard[2].comp, Sjis("山"));
    EXPECT_EQ(g_Heard[5].result, Sjis("田"));
    const std::vector<UINT> expected = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,      WM_IME_COMPOSITION,
                                        WM_IME_ENDCOMPOSITION,   WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                        WM_IME_ENDCOMPOSITION};
    EXPECT_EQ(Messages(), expected) << "an empty composition after a commit says nothing";
}

TEST_F(ImeTest, ReadsCopyWholeCharactersAndReportErrorsNegative) {
    DeliverImeComposition(hwnd, "aあい", 3, 0);
    Pump();
    char buf[8];
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0), 5) << "the size asked";
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, buf, 4), 3) << "not half of い";
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPATTR, buf, 2), 1);
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 4), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringA(context, 0x4000, buf, 8), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringA(nullptr, GCS_COMPSTR, buf, 8), IMM_ERROR_GENERAL);
}

TEST_F(ImeTest, TheProgramCancelsAndSetsTheCompositionSilently) {
    DeliverImeComposition(hwnd, "あいう", 1, 1);
    Pump();
    Messages();
    EXPECT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_EQ(pt::TakeImeCancelCount(), 1) << "the input method hears of the cancel";
    EXPECT_EQ(Read(context, GCS_COMPSTR), "");
    EXPECT_TRUE(ImmSetCompositionStringA(context, SCS_SETSTR, Sjis("あい").data(), 4, nullptr, 0));
    EXPECT_FALSE(ImmSetCompositionStringA(context, SCS_CHANGEATTR, "\1\1", 2, nullptr, 0)) << "wrong length";
    EXPECT_TRUE(ImmSetCompositionStringA(context, SCS_CHANGEATTR, "\0\0\1\1", 4, nullptr, 0));
    EXPECT_EQ(Read(context, GCS_COMPSTR) + Read(context, GCS_COMPATTR),
              Sjis("あい") + std::string("\0\0\1\1", 4));
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0), 4);
    Pump();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImeTest, ClosingEndsTheCompositionAndEveryChangeOfStatusIsNotified) {
    DeliverImeComposition(hwnd, "あ", 1, 0);
    Pump();
    Messages();
    ImmSetOpenStatus(context, FALSE);
    EXPECT_FALSE(pt::IsTextInputActive());
    Pump();
    const std::vector<UINT> closed = {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_NOTIFY};
    EXPECT_EQ(Messages(), closed);
    // The user switches it on; the context follows when the loop gets there.
    ASSERT_TRUE(platform::DeliverImeOpenStatus(hwnd, true));
    EXPECT_FALSE(ImmGetOpenStatus(context));
    Pump();
    EXPECT_TRUE(ImmGetOpenStatus(context) && pt::IsTextInputActive());
    EXPECT_EQ(Messages(), std::vector<UINT>{WM_IME_NOTIFY});
}

TEST_F(ImeTest, DisablingDropsTheCompositionAndWhatStillWaits) {
    DeliverImeComposition(hwnd, "あ", 1, 0);
    Pump();
    DeliverImeResult(hwnd, "亜");
    WINNLSEnableIME(hwnd, FALSE);
    Messages();
    Pump();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Read(context, GCS_COMPSTR), "");
    EXPECT_FALSE(platform::DeliverImeOpenStatus(hwnd, false));
    pt::SetImeAvailable(false);
    EXPECT_EQ(ImmGetContext(hwnd), nullptr);
    pt::SetImeAvailable(true);
}
} // namespace
