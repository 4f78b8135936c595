// The page model: texts joined into the page, the "#" codes, the 52-column line breaking and the
// reveal of one character at a time.
#include "text/MessageWindow.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "platform/time.h"
#include "text/Kinsoku.h"
#include "text/NameCodes.h"
#include "text/TextMessages.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr int kStepMs = 50;
constexpr int kWaitUnitMs = 100;
constexpr RECT kTextRect = {46, 382, 590, 462};
// The text layer's point on the window picture behind it.
constexpr int kBackgroundDx = 24;
constexpr int kBackgroundDy = 44;

bool Reached(DWORD now, DWORD time) {
    return static_cast<LONG>(now - time) >= 0;
}

bool IsIdeographicSpace(const char* ch, int width) {
    return width == 2 && static_cast<BYTE>(ch[0]) == 0x81 && static_cast<BYTE>(ch[1]) == 0x40;
}
} // namespace

void CMessageWindow::ReportTextError(const char* message, const char* text) {
    char cut[17];
    CopyWholeChars(cut, text, 16);
    ReportError(message, cut);
}

void CMessageWindow::SetText(const char* text) {
    if (!text) text = "";
    // The length is judged on the text as the scenario wrote it, before any name goes in.
    const bool tooLong = std::strlen(text) > static_cast<std::size_t>(kMaxTextLength);
    const std::size_t added = ExpandNameCodes(text, m_Expansion, sizeof m_Expansion);
    const std::size_t pageLength = std::strlen(m_PageText);
    if (tooLong || pageLength + added >= sizeof m_PageText) {
        ReportTextError(kTextTooLong, m_Expansion);
        return;
    }
    if (pageLength > 0) {
        const bool joined =
            pageLength >= 2 && m_PageText[pageLength - 2] == '#' && m_PageText[pageLength - 1] == '+';
        if (!joined && (m_Column != 0 || m_Line == 0)) LineBreak();
        if (m_Line >= kLines) {
            ReportTextError(kTextTooManyLines, m_Expansion);
            return;
        }
    }
    std::memcpy(m_PageText + pageLength, m_Expansion, added + 1);
    m_State = kStateRevealing;
    m_NextStepTime = 0;
    m_IconFrame = 0;
}

int CMessageWindow::FetchChar(char* ch) {
    ch[0] = '\0';
    if (m_bWaitArmed) {
        if (!IsSkipping() && !Reached(timeGetTime(), m_WaitDeadline)) return kFetchTimedWait;
        m_bWaitArmed = 0;
        m_ReadPos += m_WaitCodeLength;
    }
    for (;;) {
        const char* p = m_PageText + m_ReadPos;
        const BYTE c = static_cast<BYTE>(p[0]);
        if (c == '\0') return kFetchEnd;
        if (IsLeadByte(c)) {
            // A lead byte without its trail byte is no character: the walk ends at the NUL after it.
            if (p[1] == '\0') {
                ++m_ReadPos;
                continue;
            }
            ch[0] = p[0];
            ch[1] = p[1];
            ch[2] = '\0';
            return kFetchTwoByte;
        }
        if (c == '#') {
            const char next = p[1];
            if (next == '#') return kFetchClickWait;
            if (next == '+') {
                m_ReadPos += 2;
                continue;
            }
            if (next >= '0' && next <= '9') {
                const char digits[3] = {p[1], p[2], '\0'};
                m_WaitDeadline = timeGetTime() + kWaitUnitMs * std::atoi(digits);
                // The code is three bytes unless the text ends inside it.
                m_WaitCodeLength = p[2] ? 3 : 2;
                m_bWaitArmed = 1;
                return kFetchTimedWait;
            }
            if (next == 'P' || next == 'p') return kFetchPageStop;
            if (next == 'M' || next == 'm') return kFetchMapStop;
        }
        ch[0] = p[0];
        ch[1] = '\0';
        return kFetchOneByte;
    }
}

void CMessageWindow::LineBreak() {
    m_Column = 0;
    m_X = 0;
    ++m_Line;
    m_Y += m_LineHeight;
}

void CMessageWindow::StopLayout() {
    ReportTextError(kTextTooManyLines, m_PageText + m_ReadPos);
    m_ReadPos = static_cast<int>(std::strlen(m_PageText));
    m_State = kStateIdle;
}

void CMessageWindow::LayOutOne() {
    char ch[3];
    int width;
    bool hang;
    for (;;) {
        const int item = FetchChar(ch);
        if (item == kFetchEnd) {
            m_State = kStateIdle;
            return;
        }
        if (item == kFetchClickWait) {
            m_State = kStateClickWait;
            return;
        }
        if (item != kFetchOneByte && item != kFetchTwoByte) {
            m_State = kStateStopped;
            return;
        }
        width = item;
        hang = false;
        if (m_Column < kColumns && m_Column >= kColumns - width && IsLineOpener(ch, width)) {
            LineBreak();
        } else if (m_Column >= kColumns) {
            if (IsLineCloser(ch, width))
                hang = true;
            else
                LineBreak();
        }
        if (m_Line > 0 && m_Column == 0 && IsIdeographicSpace(ch, width)) {
            m_ReadPos += 2;
            continue;
        }
        break;
    }
    // Nothing is laid out below the third line.
    if (m_Line >= kLines) {
        StopLayout();
        return;
    }
    if (m_Column + width <= kGridLineSize) std::memcpy(&m_Grid[m_Line][m_Column], ch, width);
    DrawTextGlyph(ch, width, m_X, m_Y);
    if (hang) {
        LineBreak();
    } else {
        m_X += Advance(width);
        m_Column += width;
    }
    m_ReadPos += width;
    m_State = kStateRevealing;
}

void CMessageWindow::DrawTextGlyph(const char* ch, int width, int x, int y) {
    if (!m_pTextLayer) return;
    RenderGlyph(ch, width);
    SetBlendPictures(WindowPicture(), m_pTextLayer);
    m_CurrentColor = kTextColor;
    if (m_pTextShadow) BlendGlyphShadow(x + kBackgroundDx, y + kBackgroundDy, x, y, 1);
    BlendGlyph(x + kBackgroundDx, y + kBackgroundDy, x, y);
}

int CMessageWindow::StepText(BYTE all) {
    do {
        LayOutOne();
    } while (all && m_State == kStateRevealing);
    MarkDirty(kTextRect);
    return m_State;
}

int CMessageWindow::Update() {
    if (m_State == kStateIdle) return kStateIdle;
    if (m_State == kStateClickWait) {
        if (!IsSkipping()) return kStateClickWait;
        Resume();
    }
    if (IsSkipping() || (g_pConfig && g_pConfig->GetTextSpeed() == 1)) {
        StepText(1);
    } else {
        const DWORD now = timeGetTime();
        // 0 stands for "at once": the first step of a text.
        if (m_NextStepTime == 0 || Reached(now, m_NextStepTime)) {
            m_NextStepTime = now + kStepMs;
            StepText(0);
        }
    }
    AfterStateChange();
    return m_State;
}

void CMessageWindow::AfterStateChange() {
    if (m_State == m_PrevState) return;
    if (m_State == kStateClickWait)
        StartClickIcon();
    else if (m_PrevState == kStateClickWait)
        SetIconVisible(0);
    MarkDirty(kIconRect);
    m_PrevState = m_State;
}

void CMessageWindow::Resume() {
    if (m_State != kStateClickWait) return;
    m_State = kStateRevealing;
    m_ReadPos += 2;
}

void CMessageWindow::ClearPage() {
    if (m_Grid[0][0] != '\0') PushBacklogPage();
    std::memset(m_PageText, 0, sizeof m_PageText);
    std::memset(m_Grid, 0, sizeof m_Grid);
    m_VoiceName[0] = '\0';
    m_Line = m_Column = m_X = m_Y = m_ReadPos = 0;
    // A wait of the old page would otherwise step over the first bytes of the new one.
    m_bWaitArmed = 0;
    if (m_pTextLayer) m_pTextLayer->Fill(0, nullptr);
    MarkDirty(WindowRect());
    if (m_FontSize != kDefaultFontSize) SetFontSize(kDefaultFontSize);
}

void CMessageWindow::RedrawText() {
    if (!m_pTextLayer) return;
    m_pTextLayer->Fill(0, nullptr);
    for (int line = 0, y = 0; line < kLines; ++line, y += m_LineHeight) {
        const char* bytes = m_Grid[line];
        for (int column = 0, x = 0, n; (n = CharLength(bytes + column, kGridLineSize - column)) > 0;
             column += n, x += Advance(n))
            DrawTextGlyph(bytes + column, n, x, y);
    }
    MarkDirty(WindowRect());
}
