// The click-wait icon: four 16x16 frames of "sg023" turning every 300 ms while the window waits for a
// click.
#include "text/MessageWindow.h"

#include "graphics/Layer.h"
#include "platform/time.h"

namespace {
constexpr int kFrameCount = 4;
constexpr int kFrameSize = 16;
constexpr int kFrameMs = 300;
} // namespace

void CMessageWindow::ShowIconFrame() {
    if (!m_pIcon) return;
    const RECT source = {kFrameSize * m_IconFrame, 0, kFrameSize * (m_IconFrame + 1), kFrameSize};
    m_pIcon->SetPart(&source, kIconRect.left, kIconRect.top, 0);
}

void CMessageWindow::SetIconVisible(BYTE on) {
    if (m_pIcon) m_pIcon->m_bVisible = on;
}

void CMessageWindow::StartClickIcon() {
    m_IconFrame = 0;
    m_IconChangeTime = timeGetTime() + kFrameMs;
    ShowIconFrame();
    if (m_bVisible) SetIconVisible(1);
}

void CMessageWindow::AnimateClickIcon() {
    if (m_State != kStateClickWait) return;
    const DWORD now = timeGetTime();
    if (static_cast<LONG>(now - m_IconChangeTime) < 0) return;
    m_IconFrame = (m_IconFrame + 1) % kFrameCount;
    ShowIconFrame();
    m_IconChangeTime = now + kFrameMs;
    MarkDirty(kIconRect);
}
