// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "script/GameScene.h"

void CGameScene::MarkTextRead() {}
int CGameScene::CheckSkipAllowed() {
    return 0;
}
void CGameScene::CaptureState() {}
BYTE* CGameScene::BuildStateRecord(DWORD* size) {
    return nullptr;
}
BYTE* CGameScene::BuildScriptState(DWORD* size) {
    return nullptr;
}
void CGameScene::RestoreStateRecord(const BYTE* record, DWORD size) {}
int CGameScene::RestoreScriptState(const BYTE* blob, DWORD size) {
    return 0;
}
void CGameScene::RedisplayAfterLoad() {}
bool CGameScene::Save(int slot) {
    return false;
}
bool CGameScene::Load(int slot) {
    return false;
}
