#include "screens/EndingMode.h"

#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Screen.h"
#include "platform/time.h"
#include "screens/OverlaySupport.h"
#include "screens/ScreenSlots.h"
#include "sound/SoundManager.h"

const CEndingMode::RollRow CEndingMode::kRollTable[kRowCount] = {
    {1, 5800, "ed000"},  {1, 11600, "ed001"}, {1, 17400, "ed002"}, {1, 23200, "ed003"}, {1, 29000, "ed004"},
    {1, 34800, "ed005"}, {1, 40600, "ed006"}, {1, 46400, "ed007"}, {1, 52200, "ed008"}, {1, 58000, "ed009"},
    {1, 63800, "ed010"}, {1, 69600, "ed011"}, {0, kHold, ""},
};

namespace {
constexpr char kEndingMusic[] = "bgm14";
constexpr int kLastPictureRow = 11;
} // namespace

CEndingMode::CEndingMode()
    : m_bFinishing(0), m_Row(-1), m_StartTime(0), m_NextDeadline(0), m_bSkipRequested(0) {
    ClearSkipAuto();
    if (g_pScreen) g_pScreen->SetEffectEnable(1);
    if (g_pSoundManager) g_pSoundManager->PlayBGM(kEndingMusic, 0);
    Sleep(1);
    m_StartTime = m_NextDeadline = timeGetTime();
}

CEndingMode::~CEndingMode() {
    if (g_pScreen) g_pScreen->SetEffectEnable(g_pConfig && g_pConfig->GetEffectSwitch() == 1);
    if (g_pSoundManager) g_pSoundManager->StopBGM();
}

bool CEndingMode::Run() {
    // The held row has no deadline; compared as elapsed time the others survive the clock's wrap.
    if (IsHolding() && !m_bFinishing) return true;
    if (static_cast<LONG>(timeGetTime() - m_NextDeadline) < 0) return true;
    return NextPage();
}

bool CEndingMode::NextPage() {
    ++m_Row;
    if (m_Row >= kRowCount) return false;
    const RollRow& row = kRollTable[m_Row];
    if (row.time == kHold) {
        m_NextDeadline = kHold;
        return true;
    }
    if (g_pScreen) {
        g_pScreen->SetEffect(row.effect);
        // Effect 1 fades the picture in, alpha steps of 4 every 20 ms.
        g_pScreen->SetEffectParams(0, 0, 20, 4);
    }
    ShowFullScreenPicture(0, row.picture);
    m_NextDeadline = m_StartTime + row.time;
    return true;
}

void CEndingMode::Skip() {
    const DWORD wait = IsHolding() ? kSkipWaitHolding : kSkipWait;
    // Row 12 next: the picture on the screen stays.
    m_Row = kLastPictureRow;
    NextPage();
    if (g_pSoundManager) g_pSoundManager->FadeOutBGM(7);
    m_NextDeadline = timeGetTime() + wait;
    m_bFinishing = 1;
}

void CEndingMode::OnLButtonDown(int x, int y) {
    if (!m_bFinishing) m_bSkipRequested = 1;
}

void CEndingMode::OnLButtonUp(int x, int y) {
    if (m_bSkipRequested && !m_bFinishing) Skip();
}

void CEndingMode::OnKeyDown(UINT vk) {
    if (vk == VK_RETURN && !m_bFinishing) m_bSkipRequested = 1;
}

void CEndingMode::OnKeyUp(UINT vk) {
    if (m_bSkipRequested && !m_bFinishing) Skip();
}

void CEndingMode::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CEndingMode::Draw(IDirectDrawSurface* target) {
    return DD_OK;
}

bool CEndingMode::RecreateSurfaces(IDirectDraw* dd) {
    return true;
}

bool CEndingMode::ReleaseSurfaces() {
    return true;
}

bool CEndingMode::RestoreSurfaces() {
    return true;
}
