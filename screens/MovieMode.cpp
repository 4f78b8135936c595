#include "screens/MovieMode.h"

#include "files/Config.h"
#include "graphics/UpdateRegion.h"
#include "platform/time.h"
#include "screens/MoviePlayer.h"
#include "sound/SoundManager.h"

#include <algorithm>

namespace {
constexpr int kPlaying = 2;
constexpr int kEnded = 3;
} // namespace

CMovieMode::CMovieMode() : m_State(kPlaying), m_UpdateRect(), m_pPlayer(nullptr) {}

CMovieMode::~CMovieMode() {
    Close();
}

void CMovieMode::Play() {
    Close();
    m_pPlayer = new CMoviePlayer;
    if (!g_pConfig || !m_pPlayer->Create(640, 480) ||
        !m_pPlayer->Open(g_pConfig->GetMovieDataPath("op.mpg")) ||
        !m_pPlayer->SetVolume(g_VolumeLevelTable[std::clamp(g_pConfig->GetBgmSwitch(), 0, 4)])) {
        m_State = kEnded;
        return;
    }
    Sleep(100);
    if (!m_pPlayer->Play()) {
        m_State = kEnded;
        return;
    }
    Sleep(100);
}

int CMovieMode::Run() {
    if (m_State == kPlaying && m_pPlayer && m_pPlayer->IsFinished()) m_State = kEnded;
    return m_State;
}

void CMovieMode::Close() {
    if (!m_pPlayer) return;
    m_pPlayer->Release();
    delete m_pPlayer;
    m_pPlayer = nullptr;
}

// The skip waits for the release, so a press alone does nothing.
void CMovieMode::OnLButtonDown(int, int) {}

void CMovieMode::OnLButtonUp(int, int) {
    if (m_pPlayer) m_pPlayer->Stop();
    m_State = kEnded;
}

void CMovieMode::OnKeyDown(UINT vk) {
    if (vk == VK_RETURN) OnLButtonDown(0, 0);
}

void CMovieMode::OnKeyUp(UINT vk) {
    if (vk == VK_RETURN) OnLButtonUp(0, 0);
}

void CMovieMode::FlushUpdateRect() {
    RECT rect;
    if (!m_UpdateRect.GetRect(&rect)) return;
    AddUpdateRect(&rect);
    m_UpdateRect.AddRect(nullptr);
}

HRESULT CMovieMode::Draw(IDirectDrawSurface*) {
    return 0;
}

bool CMovieMode::RecreateSurfaces(IDirectDraw*) {
    return true;
}

bool CMovieMode::ReleaseSurfaces() {
    return true;
}

bool CMovieMode::RestoreSurfaces() {
    return true;
}
