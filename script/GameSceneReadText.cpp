// Read-text tracking: the save data's table of new-page positions, per block.
#include "script/GameScene.h"

#include "files/SaveData.h"

#include <cstring>

void CGameScene::TakeReadTextTables() {
    m_pReadTextBlocks = nullptr;
    m_ppReadTextEntries = nullptr;
    m_ReadTextBlockCount = 0;
    if (!g_pSaveData || !g_pSaveData->HasReadTextTable()) return;
    m_pReadTextBlocks = g_pSaveData->GetReadTextBlocks();
    m_ppReadTextEntries = g_pSaveData->GetReadTextEntries();
    m_ReadTextBlockCount = g_pSaveData->GetReadTextBlockCount();
}

void CGameScene::SelectReadTable(const char* blockName) {
    m_LastReadIndex = -1;
    m_LastReadPc = -1;
    m_pReadEntries = nullptr;
    m_ReadEntryCount = 0;
    if (!m_pReadTextBlocks || !m_ppReadTextEntries || !blockName) return;
    for (DWORD i = 0; i < m_ReadTextBlockCount; ++i) {
        // The stored name fills its field and need not end in it.
        char name[sizeof m_pReadTextBlocks[i].name + 1] = {};
        std::memcpy(name, m_pReadTextBlocks[i].name, sizeof m_pReadTextBlocks[i].name);
        if (!script_format::NamesMatch(name, blockName)) continue;
        m_pReadEntries = m_ppReadTextEntries[i];
        m_ReadEntryCount = m_pReadEntries ? m_pReadTextBlocks[i].entryCount : 0;
        return;
    }
}
