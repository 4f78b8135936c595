// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "text/MessageWindow.h"

CMessageWindow::CMessageWindow(BYTE textOnly) {}
CMessageWindow::~CMessageWindow() {}
void CMessageWindow::SetFamilyName(const char* text) {}
void CMessageWindow::SetGivenName(const char* text) {}
void CMessageWindow::SetNickName(const char* text) {}
void CMessageWindow::SetText(const char* text) {}
int CMessageWindow::Update() {
    return 0;
}
void CMessageWindow::Resume() {}
void CMessageWindow::ClearPage() {}
void CMessageWindow::RedrawText() {}
void CMessageWindow::SetVisible(BYTE on) {}
BYTE CMessageWindow::IsVisible() const {
    return 0;
}
void CMessageWindow::SetVoiceName(const char* name) {}
const char* CMessageWindow::GetVoiceName() const {
    return nullptr;
}
int CMessageWindow::GetState() const {
    return 0;
}
void CMessageWindow::SetFontSize(int index) {}
int CMessageWindow::GetFontSize() const {
    return 0;
}
int CMessageWindow::GetFontWidth() const {
    return 0;
}
int CMessageWindow::GetFontHeight() const {
    return 0;
}
void CMessageWindow::SetCharPitch(int advance) {}
void CMessageWindow::SetTextColor(int r, int g, int b, BYTE force) {}
void CMessageWindow::SetNameColor(int r, int g, int b, BYTE force) {}
void CMessageWindow::GetTextColor(int* r, int* g, int* b) const {}
void CMessageWindow::GetNameColor(int* r, int* g, int* b) const {}
void CMessageWindow::SetShadowColor(int r, int g, int b) {}
void CMessageWindow::SetTextShadow(BYTE on) {}
void CMessageWindow::SetNameShadow(BYTE on) {}
void CMessageWindow::SetSpeakerName(const char* name) {}
void CMessageWindow::ClearSpeakerName() {}
void CMessageWindow::RedrawSpeakerName() {}
const char* CMessageWindow::GetSpeakerName() const {
    return nullptr;
}
void CMessageWindow::DrawString(const char* text, CLayer* background, int bx, int by, CLayer* target, int tx,
                                int ty) {}
bool CMessageWindow::AddChoice(const char* text, DWORD value) {
    return false;
}
bool CMessageWindow::ShowChoices() {
    return false;
}
void CMessageWindow::CloseChoices() {}
int CMessageWindow::GetChoiceResult() const {
    return 0;
}
bool CMessageWindow::AreChoicesVisible() const {
    return false;
}
void CMessageWindow::SetChoicesVisible(BYTE on) {}
int CMessageWindow::GetChoiceCount() const {
    return 0;
}
void CMessageWindow::OnMouseMove(int x, int y) {}
void CMessageWindow::OnLButtonDown(int x, int y) {}
void CMessageWindow::OnLButtonUp(int x, int y) {}
void CMessageWindow::OnKeyDown(UINT vk) {}
void CMessageWindow::OnKeyUp(UINT vk) {}
void CMessageWindow::AnimateClickIcon() {}
void CMessageWindow::PushBacklogPage() {}
int CMessageWindow::BacklogBack() {
    return 0;
}
int CMessageWindow::BacklogForward() {
    return 0;
}
void CMessageWindow::LeaveBacklog() {}
bool CMessageWindow::IsBacklogShown() const {
    return false;
}
void CMessageWindow::FlushUpdate() {}
HRESULT CMessageWindow::Draw(IDirectDrawSurface* target) {
    return 0;
}
bool CMessageWindow::Restore(IDirectDraw* dd) {
    return false;
}
bool CMessageWindow::ReleaseSurfaces() {
    return false;
}
bool CMessageWindow::RestoreIfLost() {
    return false;
}
