// Placeholder bodies: the class's interface is declared and its callers are written, its behaviour is
// not built yet. This file goes away when the class is built.
#include "script/GameScene.h"

void CGameScene::EnterCostumeChoice(int costume) {}
void CGameScene::OnCostumeClick(int x, int y) {}
void CGameScene::SetDay(int day) {}
void CGameScene::SetWeekday(int weekday) {}
void CGameScene::SetTimeOfDay(int timeOfDay) {}
void CGameScene::OpenChoiceGrid() {}
void CGameScene::OnCostumeMouseMove(int x, int y) {}
void CGameScene::OnCostumeButtonDown(int x, int y) {}
void CGameScene::OnCostumeKeyDown(UINT vk) {}
void CGameScene::OnCostumeKeyUp(UINT vk) {}
