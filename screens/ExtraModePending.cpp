// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/ExtraMode.h"

CExtraMode::CExtraMode() {}
CExtraMode::~CExtraMode() {}
void CExtraMode::Open() {}
int CExtraMode::Run() {
    return 0;
}
void CExtraMode::Close() {}
void CExtraMode::OnMouseMove(int x, int y) {}
void CExtraMode::OnLButtonDown(int x, int y) {}
void CExtraMode::OnLButtonUp(int x, int y) {}
void CExtraMode::OnRButtonDown() {}
void CExtraMode::OnWheelUp() {}
void CExtraMode::OnWheelDown() {}
void CExtraMode::OnKeyDown(UINT vk) {}
void CExtraMode::OnKeyUp(UINT vk) {}
void CExtraMode::FlushUpdateRect() {}
HRESULT CExtraMode::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CExtraMode::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CExtraMode::ReleaseSurfaces() {
    return false;
}
bool CExtraMode::RestoreSurfaces() {
    return false;
}
int CExtraMode::GetSubScreen() const {
    return 0;
}
bool CExtraMode::IsReplaying() const {
    return false;
}
