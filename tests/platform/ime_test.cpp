// The input method: what the user composes and commits as the window procedure reads it from the
// context, and what closing and disabling it do to a composition.
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

TEST_F(ImeTest, ClosingEndsTheCompositionAndDisablingDropsIt) {
    for (bool disable : {false, true}) {
        SCOPED_TRACE(disable ? "disabled" : "closed");
        WINNLSEnableIME(hwnd, TRUE);
        ImmSetOpenStatus(context, TRUE);
        DeliverImeComposition(hwnd, "あ", 1, 0);
        Pump();
        DeliverImeResult(hwnd, "亜");
        Messages();
        disable ? WINNLSEnableIME(hwnd, FALSE) : ImmSetOpenStatus(context, FALSE);
        EXPECT_FALSE(pt::IsTextInputActive());
        Pump();
        const std::vector<UINT> closed = {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_NOTIFY};
        EXPECT_EQ(Messages(), disable ? std::vector<UINT>{} : closed) << "the waiting result is dropped";
        EXPECT_EQ(Read(context, GCS_COMPSTR), "");
    }
}

// A cancel clears the context at once and reaches the system's input method when the context is
// released, which then reports its composition empty. Text set in between (a composition cut short)
// cannot reach the system's input method: it keeps what it holds instead of losing it.
TEST_F(ImeTest, ACancelReachesTheSystemOnReleaseUnlessTextWasSetMeanwhile) {
    const struct {
        const char* name;
        const char* set; // by SCS_SETSTR after the cancel, or null
        int cancels;
        std::vector<UINT> heard;
        std::string comp;
    } rows[] = {
        {"cancel alone", nullptr, 1, {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}, ""},
        {"cancel and empty text", "", 1, {WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}, ""},
        {"cancel and the text cut short", "あい", 0, {}, Sjis("あい")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(DeliverImeComposition(hwnd, "あいう", 3, 0));
        Pump();
        Messages();
        EXPECT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
        EXPECT_EQ(Read(context, GCS_COMPSTR), "");
        if (row.set) {
            const std::string text = Sjis(row.set);
            EXPECT_TRUE(ImmSetCompositionStringA(context, SCS_SETSTR, text.data(),
                                                 static_cast<DWORD>(text.size()), nullptr, 0));
        }
        EXPECT_EQ(pt::TakeImeCancelCount(), 0) << "not before the release";
        EXPECT_TRUE(ImmReleaseContext(hwnd, context));
        EXPECT_EQ(pt::TakeImeCancelCount(), row.cancels);
        Pump();
        EXPECT_EQ(Messages(), row.heard);
        EXPECT_EQ(Read(context, GCS_COMPSTR), row.comp);
        // The next change of the system's composition replaces the text set.
        DeliverImeComposition(hwnd, "", 0, 0);
        Pump();
        Messages();
    }
}

} // namespace
