#include "app/GameCtrl.h"

#include "app/AppMessages.h"
#include "platform/runtime.h"
#include "platform/time.h"

CGameCtrl* g_pGameCtrl = nullptr;

CGameCtrl::CGameCtrl() : m_Mode(GameModeLogo), m_bInitialized(false) {
    crt::srand(GetTickCount());
}

CGameCtrl::~CGameCtrl() = default;

void CGameCtrl::Initialize() {
    m_bInitialized = true;
}

void CGameCtrl::Finalize() {}

// No mode runs yet: the modes come with the screens.
void CGameCtrl::Run() {}

void CGameCtrl::Update() {}

HRESULT CGameCtrl::Draw(IDirectDrawSurface*) {
    return 0;
}

void CGameCtrl::RecreateSurfaces(IDirectDraw*) {
    if (!m_bInitialized) return;
}

void CGameCtrl::ReleaseSurfaces() {
    if (!m_bInitialized) return;
}

void CGameCtrl::RestoreSurfaces() {
    if (!m_bInitialized) return;
}

void CGameCtrl::OnMouseMove(int, int) {}
void CGameCtrl::OnLButtonDown(int, int) {}
void CGameCtrl::OnLButtonUp(int, int) {}
void CGameCtrl::OnRButtonDown() {}
void CGameCtrl::OnWheelUp() {}
void CGameCtrl::OnWheelDown() {}
void CGameCtrl::OnKeyDown(UINT) {}
void CGameCtrl::OnKeyUp(UINT) {}

// Only name entry takes characters and the input method's messages; no mode here is name entry.
LRESULT CGameCtrl::OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(g_hWnd, msg, wParam, lParam);
}

void CGameCtrl::OnHelpKey() {}

void CGameCtrl::ShowCursorSprite() {}
void CGameCtrl::HideCursorSprite() {}

// Until the yes/no dialog exists the quit question is answered yes at once, so the close box and
// Alt+F4 still end the program.
void CGameCtrl::OpenQuitDialog() {
    PostAppMessage(WM_CLOSE, 0, 1);
}

void CGameCtrl::OpenSaveMenu() {}
void CGameCtrl::OpenLoadMenu() {}
void CGameCtrl::OpenConfigPanel() {}
