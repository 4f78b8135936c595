// Host command groups other than script control: each group has a file of its own.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "graphics/Screen.h"
#include "files/SaveData.h"

namespace {
enum : BYTE {
    kGroupStrings = 1,
    kGroupText = 2,
    kGroupRandom = 3,
    kGroupTime = 5,
    kGroupPictures = 10,
    kGroupSound = 20,
    kGroupCalendar = 200,
    kGroupGameState = 201,
    kGroupQuake = 203,
    kGroupReplay = 204,
};
} // namespace

void CGameScene::DispatchHostCommand(BYTE group, DWORD sub) {
    switch (group) {
    case kGroupStrings:
        DispatchStrings(sub);
        break;
    case kGroupText:
        DispatchText(sub);
        break;
    case kGroupRandom:
        DispatchRandom(sub);
        break;
    case kGroupTime:
        DispatchTime(sub);
        break;
    case kGroupPictures:
        DispatchPictures(sub);
        break;
    case kGroupSound:
        DispatchSound(sub);
        break;
    case kGroupCalendar:
        DispatchCalendar(sub);
        break;
    case kGroupGameState:
        DispatchGameState(sub);
        break;
    case kGroupQuake:
        if (sub == 0) {
            const DWORD duration = Arg(1), interval = Arg(2);
            if (!m_bHalted && g_pScreen)
                g_pScreen->StartQuake(static_cast<int>(duration), static_cast<int>(interval));
        }
        break;
    case kGroupReplay:
        if (sub == 0) {
            m_Registers[0] = GetReplaySceneNo();
        } else if (sub == 1) {
            CmdSetSceneFlag();
        }
        break;
    default:
        // An unknown group only moves pc on.
        break;
    }
}

void CGameScene::CmdSetSceneFlag() {
    const DWORD scene = Arg(1);
    if (!m_bHalted && g_pSaveData) g_pSaveData->SetSceneSeen(static_cast<int>(scene));
}
