#include "script/GameScene.h"

#include "app/RunState.h"

char g_ScriptPath[MAX_PATH] = "";

CGameScene::CGameScene() = default;

CGameScene::~CGameScene() {
    FreeScript();
    m_CallStack.RemoveAll();
    ClearSkipAuto();
    DebugWatchClear();
}

int CGameScene::FindBlock(const char* name) const {
    if (!name) return -1;
    for (std::size_t i = 0; i < m_Blocks.size(); ++i) {
        if (script_format::NamesMatch(m_Blocks[i].record.name, name)) return static_cast<int>(i);
    }
    return -1;
}

const SoundDef* CGameScene::FindSound(const char* id) const {
    if (!id) return nullptr;
    for (const SoundDef& def : m_Sounds) {
        if (script_format::NamesMatch(def.id, id)) return &def;
    }
    return nullptr;
}

const GraphicDef* CGameScene::FindGraphic(const char* id) const {
    if (!id) return nullptr;
    for (const GraphicDef& def : m_Graphics) {
        if (script_format::NamesMatch(def.id, id)) return &def;
    }
    return nullptr;
}
