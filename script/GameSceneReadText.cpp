// Read-text tracking: the save data's table of new-page positions, per block.
#include "script/GameScene.h"

#include "app/RunState.h"
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

void CGameScene::MarkTextRead() {
    for (DWORD i = 0; i < m_ReadEntryCount; ++i) {
        if (m_pReadEntries[i].position != m_Pc) continue;
        m_pReadEntries[i].read = 1;
        m_LastReadIndex = static_cast<int>(i);
        return;
    }
}

int CGameScene::CheckSkipAllowed() {
    SetReadSkip(1);
    for (DWORD i = static_cast<DWORD>(m_LastReadIndex + 1); i < m_ReadEntryCount; ++i) {
        const ReadTextEntry& entry = m_pReadEntries[i];
        if (entry.position < m_Pc) continue;
        // Looking again from the same place keeps the entry found the first time.
        if (static_cast<long long>(m_Pc) != m_LastReadPc) {
            m_LastReadIndex = static_cast<int>(i) - 1;
            m_LastReadPc = m_Pc;
        }
        if (entry.read == 0) SetReadSkip(0);
        break;
    }
    return IsReadSkip() ? 1 : 0;
}
