// Read-text tracking: the save data's table of new-page positions, per block.
#include "script/GameScene.h"

void CGameScene::TakeReadTextTables() {
    m_pReadTextBlocks = nullptr;
    m_ppReadTextEntries = nullptr;
    m_ReadTextBlockCount = 0;
}

void CGameScene::SelectReadTable(const char* blockName) {
    (void)blockName;
    m_LastReadIndex = -1;
    m_LastReadPc = -1;
    m_pReadEntries = nullptr;
    m_ReadEntryCount = 0;
}
