// Block calls and returns on the call stack, and the source line of pc for the error log.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "platform/runtime.h"
#include "script/ScriptMessages.h"

#include <cstdint>
#include <cstdio>

bool CGameScene::IsBlockOnStack(int block) const {
    bool found = false;
    m_CallStack.ForEach([&](const CallFrame* frame) {
        if (FindBlock(frame->blockName) == block) found = true;
    });
    return found;
}

void CGameScene::MakeBlockCurrent(int block) {
    ScriptBlock& b = m_Blocks[static_cast<std::size_t>(block)];
    m_CurrentBlock = block;
    m_pCode = b.code.data();
    m_CodeSize = static_cast<DWORD>(b.code.size());
    m_pLines = &b.lines;
    SetScriptName(b.record.name);
}

void CGameScene::ForgetWatchesInto(const BYTE* begin, std::size_t size) {
    if (!begin || size == 0) return;
    const auto lo = reinterpret_cast<std::uintptr_t>(begin);
    for (int n = 0; n < kDebugWatchSlots; ++n) {
        const DebugWatchEntry* entry = DebugWatchGet(n);
        if (!entry) continue;
        const auto at = reinterpret_cast<std::uintptr_t>(entry->value);
        if (at >= lo && at - lo < size) DebugWatchRemove(n);
    }
}

void CGameScene::ReleaseBlock(int block, bool keepCode) {
    ScriptBlock& b = m_Blocks[static_cast<std::size_t>(block)];
    if (!keepCode) {
        // A watch must not keep pointing at code that is gone.
        ForgetWatchesInto(b.code.data(), b.code.size());
        std::vector<BYTE>().swap(b.code);
        b.loaded = false;
    }
    b.variables.clear();
    b.lines.clear();
}

bool CGameScene::CallBlock(const char* name) {
    const int block = FindBlock(name);
    if (block < 0) {
        ReportUnknownID(name);
        return false;
    }
    // The return of a block that is not resident frees the code that the frame below still runs on; a
    // resident block keeps its code and may call itself.
    if (!m_Blocks[static_cast<std::size_t>(block)].record.resident && IsBlockOnStack(block)) {
        char line[256];
        std::snprintf(line, sizeof line, script_messages::kIdLine, name);
        ScriptFault(script_messages::kBlockOnStack, line);
        return false;
    }
    if (LoadBlock(block, nullptr) == kLoadFailed) return false;

    if (CallFrame* top = m_CallStack.GetTail(0)) top->returnPc = m_Pc + 5;
    CallFrame* frame = new CallFrame{};
    CopyBounded(frame->blockName, m_Blocks[static_cast<std::size_t>(block)].record.name);
    m_CallStack.AddTail(frame);
    MakeBlockCurrent(block);
    m_Pc = 0;
    return true;
}

void CGameScene::ReturnFromBlock() {
    CallFrame* top = m_CallStack.GetTail(0);
    if (!top) return;
    CallFrame* below = m_CallStack.GetPrev(0);

    const int block = FindBlock(top->blockName);
    m_CallStack.Remove(top);
    // A resident block that called itself keeps its tables for the call below, which goes on with them.
    if (block >= 0) {
        const bool resident = m_Blocks[static_cast<std::size_t>(block)].record.resident != 0;
        if (!resident || !IsBlockOnStack(block)) ReleaseBlock(block, resident);
    }

    if (!below) {
        // The bottom block returned: the script is over.
        m_pCode = nullptr;
        m_CodeSize = 0;
        m_pLines = nullptr;
        m_RunState = kRunTitle;
        m_bFinished = true;
        return;
    }
    const int caller = FindBlock(below->blockName);
    if (caller < 0 || !m_Blocks[static_cast<std::size_t>(caller)].loaded) {
        ReportUnknownID(below->blockName);
        return;
    }
    MakeBlockCurrent(caller);
    m_Pc = below->returnPc;
    SelectReadTable(m_Blocks[static_cast<std::size_t>(caller)].record.name);
    m_CodeSnapshot.assign(m_CodeSize, 0);
}

void CGameScene::UpdateScriptLine() {
    if (!m_pLines) return;
    for (const LineRecord& r : *m_pLines) {
        if (r.firstPc <= m_Pc && m_Pc <= r.lastPc) {
            SetScriptLine(r.line);
            return;
        }
    }
}
