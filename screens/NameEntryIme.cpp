// Name entry's typing: the input method's composition drawn in place at the caret with its target
// clause coloured, its result put into the active name, and the caret that follows both.
//
// What the input method hands over is outside data: every read leaves room for its terminator, an
// error reads as nothing, the cursor stays within the string, and a name takes whole two-byte
// characters only.
#include "app/AppMessages.h"
#include "app/RunState.h"
#include "graphics/Layer.h"
#include "platform/ime.h"
#include "platform/time.h"
#include "screens/NameEntryMode.h"
#include "text/MessageWindow.h"
#include "text/NameCodes.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kCell = 16;      // pixels a byte at the name font's size
constexpr int kRowBytes = 14;  // 7 characters a composition row
constexpr int kCaretStep = 32; // pixels a character
constexpr int kRepaintChars = 16;

bool IsTargetClause(char attr) {
    return attr == ATTR_TARGET_CONVERTED || attr == ATTR_TARGET_NOTCONVERTED;
}

// Bytes read from the context into `buf` (room for `size` - 1 and the NUL); errors read as nothing.
int ReadString(HIMC context, DWORD index, char* buf, int size) {
    const LONG n = ImmGetCompositionStringA(context, index, buf, static_cast<DWORD>(size - 1));
    const int length = n < 0 ? 0 : std::min<int>(n, size - 1);
    buf[length] = '\0';
    return length;
}
} // namespace

int CNameEntryMode::s_CaretX[2][kCaretStops];
int CNameEntryMode::s_RowY[2][kCompositionRows];
RECT CNameEntryMode::s_CaretArea;

bool IsDbcsLeadByte(const char* text, int index) {
    return IsLeadByte(static_cast<BYTE>(text[index]));
}

char* CNameEntryMode::GetActiveName() {
    if (m_ActiveField == kFamilyField) return m_FamilyName;
    if (m_ActiveField == kGivenField) return m_GivenName;
    return nullptr;
}

void CNameEntryMode::GetPositionTables(int field, const int** xs, const int** ys) {
    const int table = field == kFamilyField ? 0 : 1;
    *xs = s_CaretX[table];
    *ys = s_RowY[table];
}

void CNameEntryMode::BuildPositionTables() {
    const int rowPitch = (m_pText ? m_pText->GetFontHeight() : 0) + 2;
    const int tops[2] = {kFamilyTop, kGivenTop};
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < kCaretStops; ++i)
            s_CaretX[t][i] = kFieldLeft + kCaretStep * i;
        for (int k = 0; k < kCompositionRows; ++k)
            s_RowY[t][k] = tops[t] + rowPitch * k;
    }
}

bool CNameEntryMode::IsCaretShown() const {
    return m_pCaret && m_pCaret->m_bVisible;
}

POINT CNameEntryMode::GetCaretPos() const {
    return m_pCaret ? POINT{m_pCaret->m_nX, m_pCaret->m_nY} : POINT{0, 0};
}

// The caret's old place and its new one are redrawn, in whichever field it stands.
void CNameEntryMode::MarkCaret() {
    if (!m_pCaret) return;
    const RECT now = {m_pCaret->m_nX, m_pCaret->m_nY, m_pCaret->m_nX + m_pCaret->GetWidth(),
                      m_pCaret->m_nY + m_pCaret->GetHeight()};
    if (!IsRectEmpty(&s_CaretArea)) m_UpdateRect.AddRect(&s_CaretArea);
    m_UpdateRect.AddRect(&now);
    s_CaretArea = now;
}

void CNameEntryMode::PlaceCaret(int position) {
    const int* xs;
    const int* ys;
    GetPositionTables(m_ActiveField, &xs, &ys);
    const int caret = std::clamp(m_CaretIndex, 0, kCaretStops - 1);
    int x = xs[caret], row = 0;
    if (position != -1) {
        const int p = position + 2 * caret;
        if (p == 0) {
            x = xs[0];
        } else if (p % kRowBytes == 0) {
            x = xs[0] + kCell * kRowBytes;
            row = p / kRowBytes - 1;
        } else {
            x = xs[0] + kCell * (p % kRowBytes);
            row = p / kRowBytes;
        }
    }
    m_BlinkDeadline = timeGetTime() + kCaretBlinkMs;
    if (!m_pCaret) return;
    MarkCaret();
    m_pCaret->m_nX = x;
    m_pCaret->m_nY = ys[std::min(row, kCompositionRows - 1)];
    m_pCaret->m_bVisible = 1;
    MarkCaret();
}

LRESULT CNameEntryMode::OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_IME_ENDCOMPOSITION:
        // The string goes with its picture, so that a redraw of the surfaces cannot bring it back.
        std::memset(m_Composition, 0, sizeof m_Composition);
        if (m_pCompositionPicture) m_pCompositionPicture->Fill(0, nullptr);
        PlaceCaret(-1);
        break;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR)
            OnImeResult();
        else
            OnImeComposition();
        break;
    case WM_IME_NOTIFY:
        if (wParam == IMN_SETOPENSTATUS) SetImeOpen(1);
        break;
    default:
        break;
    }
    return 0;
}

void CNameEntryMode::OnImeComposition() {
    HIMC context = ImmGetContext(g_hWnd);
    const int length = ReadString(context, GCS_COMPSTR, m_Composition, kCompositionSize);
    // Bytes past the attributes read would be those of an earlier, longer composition.
    std::memset(m_CompositionAttrs, 0, sizeof m_CompositionAttrs);
    ReadString(context, GCS_COMPATTR, m_CompositionAttrs, kCompositionSize);
    LONG cursor = ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0);

    // Characters, up to one past the limit; a lead byte without its trail byte counts once and ends.
    int chars = 0, keptBytes = 0;
    for (int i = 0; i < length && chars <= kMaxCompositionChars;) {
        i += IsDbcsLeadByte(m_Composition, i) && m_Composition[i + 1] ? 2 : 1;
        if (++chars == kMaxCompositionChars) keptBytes = i;
    }
    if (chars > kMaxCompositionChars) {
        m_Composition[keptBytes] = '\0';
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        ImmSetCompositionStringA(context, SCS_SETSTR, m_Composition, static_cast<DWORD>(keptBytes), nullptr,
                                 0);
        const char inputOnly[kCompositionBytes] = {};
        ImmSetCompositionStringA(context, SCS_CHANGEATTR, inputOnly, static_cast<DWORD>(keptBytes), nullptr,
                                 0);
        cursor = ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0);
    }
    cursor = std::clamp<LONG>(cursor, 0, static_cast<LONG>(std::strlen(m_Composition)));
    if (context) ImmReleaseContext(g_hWnd, context);

    DrawComposition();
    PlaceCaret(static_cast<int>(cursor));
    if (chars >= kRepaintChars) PostAppMessage(UM_REPAINT, 0, 0);
}

void CNameEntryMode::DrawComposition() {
    m_UpdateRect.AddRect(GetScreenRect());
    const int length = static_cast<int>(std::strlen(m_Composition));
    if (length == 0 || !m_pCompositionPicture) return;
    m_pCompositionPicture->Fill(0, nullptr);
    // Each byte's cell: the clause being converted in blue, the rest white. Two strings of the same
    // length split the bytes between them, blanks standing in for the other's.
    char target[kCompositionSize] = {};
    char other[kCompositionSize] = {};
    const int height = m_pText ? m_pText->GetFontHeight() : 0;
    for (int i = 0; i < length; ++i) {
        const bool inTarget = IsTargetClause(m_CompositionAttrs[i]);
        const RECT cell = {kCell * i, 0, kCell * (i + 1), height};
        m_pCompositionPicture->Fill(inTarget ? s_TargetColour : 0xFFFFFF, &cell);
        target[i] = inTarget ? m_Composition[i] : ' ';
        other[i] = inTarget ? ' ' : m_Composition[i];
    }
    if (m_pText) {
        // The glyphs blend over the cells just filled, which are what lies under them on the screen.
        // The background picture is narrower than the composition's 60 cells and would leave the last
        // ten characters with nothing to blend over.
        CLayer* cells = m_pCompositionPicture;
        m_pText->SetTextColor(8, 8, 8, 0);
        m_pText->DrawString(other, cells, 0, 0, cells, 0, 0);
        m_pText->SetTextColor(255, 255, 255, 0);
        m_pText->DrawString(target, cells, 0, 0, cells, 0, 0);
    }
    // Row 0 continues the field from the caret; the rows below hold 7 characters each.
    const int* xs;
    const int* ys;
    GetPositionTables(m_ActiveField, &xs, &ys);
    const int caret = std::clamp(m_CaretIndex, 0, kCaretStops - 1);
    int start = 0, end = std::min((kCaretStops - caret) * 2, length);
    for (int k = 0; k < kCompositionRows; ++k) {
        if (k > 0 && start >= length) {
            m_pCompositionPicture->ClearPart(k);
            continue;
        }
        const RECT source = {kCell * start, 0, kCell * end, height};
        m_pCompositionPicture->SetPart(&source, k == 0 ? xs[caret] : xs[0], ys[k], k);
        start = end;
        end = std::min(start + kRowBytes, length);
    }
}

void CNameEntryMode::OnImeResult() {
    char result[kCompositionSize];
    HIMC context = ImmGetContext(g_hWnd);
    const int length = ReadString(context, GCS_RESULTSTR, result, kCompositionSize);
    if (context) ImmReleaseContext(g_hWnd, context);
    // Whatever could land in a name must be whole two-byte characters.
    for (int i = 0; i < kNameBytes && result[i]; i += 2)
        if (!IsDbcsLeadByte(result, i) || !result[i + 1]) {
            m_UpdateRect.AddRect(GetScreenRect());
            return;
        }
    InsertText(result, length);
    DrawNames();
    std::memset(m_Composition, 0, sizeof m_Composition);
}

void CNameEntryMode::InsertText(const char* text, int length) {
    char* name = GetActiveName();
    if (!name || m_CaretIndex >= kCaretStops - 1) return;
    char joined[kNameSize] = {};
    const int head = std::min(2 * m_CaretIndex, static_cast<int>(std::strlen(name)));
    std::memcpy(joined, name, static_cast<std::size_t>(head));
    int n = head, taken = 0;
    while (taken < length && text[taken] && n < kNameBytes)
        joined[n++] = text[taken++];
    m_CaretIndex += taken / 2;
    PlaceCaret(-1);
    for (int i = head; name[i] && n < kNameBytes; ++i)
        joined[n++] = name[i];
    std::memcpy(name, joined, kNameSize);
}

void CNameEntryMode::DeleteChar(int kind) {
    char* name = GetActiveName();
    if (!name) return;
    const int length = static_cast<int>(std::strlen(name));
    int from;
    if (kind == 1) {
        if (2 * m_CaretIndex >= length) return;
        from = 2 * m_CaretIndex;
    } else {
        if (m_CaretIndex == 0) return;
        from = 2 * m_CaretIndex - 2;
    }
    // The rest moves down two bytes; the freed ones become NUL.
    for (int i = from; i < kNameSize - 1; ++i)
        name[i] = i + 2 < kNameSize ? name[i + 2] : '\0';
    name[kNameSize - 1] = '\0';
    DrawNames();
    if (kind == 0) {
        --m_CaretIndex;
        PlaceCaret(-1);
    }
}
