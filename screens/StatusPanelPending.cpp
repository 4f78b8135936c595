// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/StatusPanel.h"

CStatusPanel::CStatusPanel() {}
CStatusPanel::~CStatusPanel() {}
bool CStatusPanel::Open(DWORD value0, DWORD value1, DWORD value2, DWORD value3) {
    return false;
}
void CStatusPanel::Close() {}
bool CStatusPanel::IsCloseRequested() const {
    return false;
}
void CStatusPanel::OnMouseMove(int x, int y) {}
void CStatusPanel::OnLButtonDown(int x, int y) {}
void CStatusPanel::OnLButtonUp(int x, int y) {}
void CStatusPanel::OnKeyDown(UINT vk) {}
void CStatusPanel::OnKeyUp(UINT vk) {}
void CStatusPanel::FlushUpdateRect() {}
bool CStatusPanel::Draw(IDirectDrawSurface* target) {
    return false;
}
bool CStatusPanel::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CStatusPanel::ReleaseSurfaces() {
    return false;
}
bool CStatusPanel::RestoreSurfaces() {
    return false;
}
