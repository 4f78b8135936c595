// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/ChoiceGrid.h"

CChoiceGrid::CChoiceGrid() {}
CChoiceGrid::~CChoiceGrid() {}
bool CChoiceGrid::Open(int mode, const BYTE* progress) {
    return false;
}
void CChoiceGrid::Close() {}
void CChoiceGrid::OnMouseMove(int x, int y) {}
void CChoiceGrid::OnLButtonDown(int x, int y) {}
int CChoiceGrid::OnLButtonUp(int x, int y) {
    return 0;
}
void CChoiceGrid::OnKeyDown(UINT vk) {}
int CChoiceGrid::OnKeyUp(UINT vk) {
    return 0;
}
int CChoiceGrid::GetResult(int n) const {
    return 0;
}
void CChoiceGrid::FlushUpdateRect() {}
HRESULT CChoiceGrid::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CChoiceGrid::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CChoiceGrid::ReleaseSurfaces() {
    return false;
}
bool CChoiceGrid::RestoreSurfaces() {
    return false;
}
