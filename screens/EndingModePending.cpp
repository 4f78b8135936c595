// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/EndingMode.h"

CEndingMode::CEndingMode() {}
CEndingMode::~CEndingMode() {}
bool CEndingMode::Run() {
    return false;
}
void CEndingMode::OnLButtonDown(int x, int y) {}
void CEndingMode::OnLButtonUp(int x, int y) {}
void CEndingMode::OnKeyDown(UINT vk) {}
void CEndingMode::OnKeyUp(UINT vk) {}
void CEndingMode::FlushUpdateRect() {}
HRESULT CEndingMode::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CEndingMode::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CEndingMode::ReleaseSurfaces() {
    return false;
}
bool CEndingMode::RestoreSurfaces() {
    return false;
}
