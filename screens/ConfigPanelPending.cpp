// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/ConfigPanel.h"

CConfigPanel::CConfigPanel() {}
CConfigPanel::~CConfigPanel() {}
int CConfigPanel::GetResult() const {
    return 0;
}
void CConfigPanel::OnMouseMove(int x, int y) {}
void CConfigPanel::OnLButtonDown(int x, int y) {}
void CConfigPanel::OnLButtonUp(int x, int y) {}
void CConfigPanel::OnKeyDown(UINT vk) {}
void CConfigPanel::OnKeyUp(UINT vk) {}
void CConfigPanel::FlushUpdateRect() {}
bool CConfigPanel::Draw(IDirectDrawSurface* target) {
    return false;
}
bool CConfigPanel::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CConfigPanel::ReleaseSurfaces() {
    return false;
}
bool CConfigPanel::RestoreSurfaces() {
    return false;
}
