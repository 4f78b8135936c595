// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/YesNoDialog.h"

CYesNoDialog::CYesNoDialog() {}
CYesNoDialog::~CYesNoDialog() {}
void CYesNoDialog::Open(int kind, CLayer* snapshot) {}
int CYesNoDialog::GetResult() const {
    return 0;
}
int CYesNoDialog::GetKind() const {
    return 0;
}
void CYesNoDialog::OnMouseMove(int x, int y) {}
void CYesNoDialog::OnLButtonDown(int x, int y) {}
void CYesNoDialog::OnLButtonUp(int x, int y) {}
void CYesNoDialog::OnKeyDown(UINT vk) {}
void CYesNoDialog::OnKeyUp(UINT vk) {}
void CYesNoDialog::FlushUpdateRect() {}
HRESULT CYesNoDialog::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CYesNoDialog::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CYesNoDialog::ReleaseSurfaces() {
    return false;
}
bool CYesNoDialog::RestoreSurfaces() {
    return false;
}
