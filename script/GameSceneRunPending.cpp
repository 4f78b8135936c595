// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "script/GameScene.h"

int CGameScene::Run(CGameCtrl* gameCtrl) {
    return 0;
}
void CGameScene::OnMouseMove(int x, int y) {}
void CGameScene::OnLButtonDown(int x, int y) {}
void CGameScene::OnLButtonUp(int x, int y) {}
void CGameScene::OnRButtonDown() {}
void CGameScene::OnWheelUp() {}
void CGameScene::OnWheelDown() {}
void CGameScene::OnKeyDown(UINT vk) {}
void CGameScene::OnKeyUp(UINT vk) {}
void CGameScene::FlushUpdateRect() {}
HRESULT CGameScene::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CGameScene::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CGameScene::ReleaseSurfaces() {
    return false;
}
bool CGameScene::RestoreSurfaces() {
    return false;
}
bool CGameScene::CanOpenMenu() const {
    return false;
}
bool CGameScene::IsBacklogOpen() const {
    return false;
}
void CGameScene::CloseBacklog() {}
void CGameScene::FinishText() {}
void CGameScene::ReplayVoice() {}
void CGameScene::FreeLayers() {}
void CGameScene::SetMenuEnabled(BYTE on) {}
void CGameScene::GetStatusValues(DWORD* v0, DWORD* v1, DWORD* v2, DWORD* v3) const {}
CMessageWindow* CGameScene::GetMessageWindow() const {
    return nullptr;
}
