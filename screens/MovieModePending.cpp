// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "screens/MovieMode.h"

CMovieMode::CMovieMode() {}
CMovieMode::~CMovieMode() {}
void CMovieMode::Play() {}
int CMovieMode::Run() {
    return 0;
}
void CMovieMode::Close() {}
void CMovieMode::OnLButtonDown(int x, int y) {}
void CMovieMode::OnLButtonUp(int x, int y) {}
void CMovieMode::OnKeyDown(UINT vk) {}
void CMovieMode::OnKeyUp(UINT vk) {}
void CMovieMode::FlushUpdateRect() {}
HRESULT CMovieMode::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CMovieMode::RecreateSurfaces(IDirectDraw* dd) {
    return false;
}
bool CMovieMode::ReleaseSurfaces() {
    return false;
}
bool CMovieMode::RestoreSurfaces() {
    return false;
}
