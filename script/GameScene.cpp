#include "script/GameScene.h"

#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "screens/ChoiceGrid.h"
#include "script/Calendar.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

char g_ScriptPath[MAX_PATH] = "";

CGameScene::CGameScene() {
    // The window and the calendar show their pictures through the compositor; without one the
    // script runs with nothing to show (script checks and fuzzing run it so).
    if (g_pScreen) {
        m_pMessageWindow = new CMessageWindow(0);
        if (g_pSaveData) {
            // The name codes of the page text stand for the player's names.
            m_pMessageWindow->SetFamilyName(g_pSaveData->GetFamilyName());
            m_pMessageWindow->SetGivenName(g_pSaveData->GetGivenName());
        }
        m_pCalendar = new CCalendar;
    }
    MarkWholeScreen();
}

CGameScene::~CGameScene() {
    delete m_pMessageWindow;
    delete m_pCalendar;
    m_pCostumePreview = DeleteLayerObject(m_pCostumePreview);
    if (m_pChoiceGrid) {
        m_pChoiceGrid->Close();
        delete m_pChoiceGrid;
    }
    FreeScript();
    m_CallStack.RemoveAll();
    FreeLayers();
    if (g_pSoundManager) {
        g_pSoundManager->StopLoopSE(nullptr);
        g_pSoundManager->StopVoice();
    }
    ClearSkipAuto();
    DebugWatchClear();
}

void CGameScene::FreeLayers() {
    if (!g_pScreen) return;
    for (int layer = 1; layer < kLayerCount; ++layer)
        DeleteLayerObject(g_pScreen->SetLayer(layer, nullptr));
}

void CGameScene::MarkWholeScreen() {
    m_UpdateRect.AddRect(GetScreenRect());
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
