// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/SaveLoadMenu.h"

CSaveLoadMenu::CSaveLoadMenu(bool load) {}
CSaveLoadMenu::~CSaveLoadMenu() {}
void CSaveLoadMenu::Open() {}
int CSaveLoadMenu::GetResult() const {
    return 0;
}
int CSaveLoadMenu::GetChosenSlot() const {
    return 0;
}
bool CSaveLoadMenu::IsLoadMenu() const {
    return false;
}
void CSaveLoadMenu::OnMouseMove(int x, int y) {}
void CSaveLoadMenu::OnLButtonDown(int x, int y) {}
void CSaveLoadMenu::OnLButtonUp(int x, int y) {}
void CSaveLoadMenu::OnKeyDown(UINT vk) {}
void CSaveLoadMenu::OnKeyUp(UINT vk) {}
void CSaveLoadMenu::FlushUpdateRect() {}
HRESULT CSaveLoadMenu::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CSaveLoadMenu::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CSaveLoadMenu::ReleaseSurfaces() {
    return false;
}
bool CSaveLoadMenu::RestoreSurfaces() {
    return false;
}
