// Host command groups other than script control: strings, the message window, random numbers, time,
// pictures, sound, the calendar and the game state.
#include "script/GameScene.h"

void CGameScene::DispatchHostCommand(BYTE group, DWORD sub) {
    // None of these groups is carried out yet. Every command here does what an unknown group or
    // sub-operation does: nothing, and DispatchCommand moves pc past it.
    (void)group;
    (void)sub;
}
