// The backlog: a ring of the last 100 pages, paged back through and forward again in place of the live
// page, which is kept aside and put back on leaving.
#include "text/MessageWindow.h"

#include "platform/runtime.h"

#include <cstring>

namespace {
constexpr int kBacklogColor[3] = {52, 254, 214};
} // namespace

void CMessageWindow::PushBacklogPage() {
    int index;
    if (m_BacklogCount < kBacklogPages) {
        index = m_BacklogCount++;
        m_Backlog[index] = std::make_unique<BacklogPage>();
    } else {
        // The ring is full: the oldest page, just past the newest, makes room.
        index = (m_BacklogNewest + 1) % kBacklogPages;
    }
    m_BacklogNewest = index;
    BacklogPage& page = *m_Backlog[index];
    page = BacklogPage{};
    std::memcpy(page.grid, m_Grid, sizeof page.grid);
    CopyBounded(page.speakerName, m_SpeakerName);
    CopyBounded(page.voiceName, m_VoiceName);
    page.fontSize = static_cast<DWORD>(m_FontSize);
}

void CMessageWindow::SaveLivePage() {
    std::memcpy(m_SavedPage.grid, m_Grid, sizeof m_SavedPage.grid);
    CopyBounded(m_SavedPage.speakerName, m_SpeakerName);
    CopyBounded(m_SavedPage.voiceName, m_VoiceName);
    m_SavedPage.fontSize = static_cast<DWORD>(m_FontSize);
    GetTextColor(&m_SavedTextColor[0], &m_SavedTextColor[1], &m_SavedTextColor[2]);
    GetNameColor(&m_SavedNameColor[0], &m_SavedNameColor[1], &m_SavedNameColor[2]);
}

void CMessageWindow::ShowBacklogPage(int index) {
    const BacklogPage& page = *m_Backlog[index];
    std::memcpy(m_Grid, page.grid, sizeof m_Grid);
    CopyBounded(m_SpeakerName, page.speakerName);
    CopyBounded(m_VoiceName, page.voiceName);
    SetFontSize(static_cast<int>(page.fontSize));
    RedrawText();
    RedrawSpeakerName();
    MarkDirty(WindowRect());
    SetIconVisible(0);
}

int CMessageWindow::BacklogBack() {
    if (m_BacklogCount == 0) return -1;
    int view;
    if (m_BacklogDepth == 0) {
        SaveLivePage();
        SetTextColor(kBacklogColor[0], kBacklogColor[1], kBacklogColor[2], 0);
        SetNameColor(kBacklogColor[0], kBacklogColor[1], kBacklogColor[2], 0);
        view = m_BacklogNewest;
    } else {
        view = (m_BacklogView + kBacklogPages - 1) % kBacklogPages;
        // An empty slot, or the newest page again: the oldest page is already shown.
        if (!m_Backlog[view] || view == m_BacklogNewest) return 0;
    }
    m_BacklogView = view;
    ++m_BacklogDepth;
    ShowBacklogPage(view);
    return m_BacklogDepth;
}

int CMessageWindow::BacklogForward() {
    // Outside the backlog there is nothing to step forward to, and no saved page to put back.
    if (m_BacklogDepth == 0) return 0;
    if (--m_BacklogDepth > 0) {
        m_BacklogView = (m_BacklogView + 1) % kBacklogPages;
        ShowBacklogPage(m_BacklogView);
    } else {
        RestoreLivePage();
    }
    return m_BacklogDepth;
}

void CMessageWindow::LeaveBacklog() {
    // The live page is shown already; the saved copy would only be stale.
    if (m_BacklogDepth == 0) return;
    RestoreLivePage();
}

void CMessageWindow::RestoreLivePage() {
    m_BacklogDepth = 0;
    m_BacklogView = 0;
    std::memcpy(m_Grid, m_SavedPage.grid, sizeof m_Grid);
    CopyBounded(m_SpeakerName, m_SavedPage.speakerName);
    CopyBounded(m_VoiceName, m_SavedPage.voiceName);
    SetNameColor(m_SavedNameColor[0], m_SavedNameColor[1], m_SavedNameColor[2], 0);
    RedrawSpeakerName();
    SetFontSize(static_cast<int>(m_SavedPage.fontSize));
    SetTextColor(m_SavedTextColor[0], m_SavedTextColor[1], m_SavedTextColor[2], 0);
    RedrawText();
    // The icon comes back only where it was: at a click wait of a shown window.
    SetIconVisible(m_bVisible && m_State == kStateClickWait);
    MarkDirty(WindowRect());
}

bool CMessageWindow::IsBacklogShown() const {
    return m_BacklogDepth > 0;
}
