// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/NameEntryMode.h"

CNameEntryMode::CNameEntryMode() {}
CNameEntryMode::~CNameEntryMode() {}
void CNameEntryMode::Open() {}
int CNameEntryMode::Run() {
    return 0;
}
void CNameEntryMode::Close() {}
void CNameEntryMode::OnMouseMove(int x, int y) {}
void CNameEntryMode::OnLButtonDown(int x, int y) {}
void CNameEntryMode::OnLButtonUp(int x, int y) {}
void CNameEntryMode::OnKeyDown(UINT vk) {}
void CNameEntryMode::OnKeyUp(UINT vk) {}
LRESULT CNameEntryMode::OnImeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return 0;
}
void CNameEntryMode::FlushUpdateRect() {}
HRESULT CNameEntryMode::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CNameEntryMode::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CNameEntryMode::ReleaseSurfaces() {
    return false;
}
bool CNameEntryMode::RestoreSurfaces() {
    return false;
}
