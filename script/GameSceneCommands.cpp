// Host command dispatch, the argument conventions, script control (group 0) and the script errors.
#include "script/GameScene.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "platform/runtime.h"
#include "script/ScriptMessages.h"
#include "text/MessageWindow.h"

#include <cstdio>
#include <cstring>

using namespace script_format;

namespace {
enum : DWORD { kSubIndexCheck = 0, kSubCallBlock = 1, kSubWatch = 10, kSubUnwatch = 11 };
} // namespace

void CGameScene::ScriptFault(const char* message1, const char* message2, const char* message3) {
    // A command reads all its cells before it checks: only the first fault is reported.
    if (m_bHalted) return;
    UpdateScriptLine();
    ReportError(message1, message2, message3);
    AbortScript();
}

void CGameScene::AbortScript() {
    // The window lets go of its pictures before the layers that hold them are deleted.
    if (m_pMessageWindow) {
        m_pMessageWindow->CloseChoices();
        m_pMessageWindow->SetVisible(0);
    }
    FreeLayers();
    m_bWindowShown = false;
    m_bHalted = true;
}

void CGameScene::ReportUnknownID(const char* id) {
    char line[256];
    std::snprintf(line, sizeof line, script_messages::kIdLine, id ? id : "");
    ScriptFault(script_messages::kUnknownId, line);
}

void CGameScene::DispatchCommand() {
    if (m_bHalted || !m_pCode) return;
    UpdateScriptLine();
    if (static_cast<unsigned long long>(m_Pc) + 5 > m_CodeSize) {
        ScriptFault(script_messages::kPastCodeEnd);
        return;
    }
    const BYTE group = m_pCode[m_Pc];
    const DWORD sub = ReadU32(m_pCode + m_Pc + 1);
    if (group == 0 && sub == kSubCallBlock) {
        // A call that happened set pc itself; one that did not goes on after the command.
        char* name = GetArgText(m_Registers[1]);
        if (name && CallBlock(name)) return;
    } else if (group == 0) {
        DispatchScriptControl(sub);
    } else {
        DispatchHostCommand(group, sub);
    }
    m_Pc += 5;
}

void CGameScene::DispatchScriptControl(DWORD sub) {
    switch (sub) {
    case kSubIndexCheck:
        // The one command that takes the register values themselves.
        ReportBadIndex(m_Registers[1], m_Registers[2]);
        break;
    case kSubWatch: {
        char* name = GetArgText(m_Registers[1]);
        if (!name) return;
        const DWORD slot = GetArgValue(m_Registers[2]);
        const DWORD x = GetArgValue(m_Registers[3]);
        const DWORD y = GetArgValue(m_Registers[4]);
        if (!m_bHalted) WatchVariable(name, slot, x, y);
        break;
    }
    case kSubUnwatch: {
        const DWORD slot = GetArgValue(m_Registers[1]);
        if (!m_bHalted) UnwatchVariable(slot);
        break;
    }
    default:
        break;
    }
}

DWORD CGameScene::GetArgValue(DWORD reg) {
    const BYTE* cell = CellOrFault(reg);
    return cell ? ReadU32(cell) : 0;
}

char* CGameScene::GetArgPointer(DWORD reg, DWORD* space) {
    const BYTE* cell = CellOrFault(reg);
    if (!cell) return nullptr;
    // The cell holds an offset into its own area.
    const DWORD offset = ReadU32(cell) & ~kBlobAddress;
    const DWORD target = offset | (reg & kBlobAddress);
    BYTE* p = CellOrFault(target, 1);
    if (!p) return nullptr;
    if (space) {
        const DWORD areaSize = (reg & kBlobAddress) ? static_cast<DWORD>(m_DataBlob.size()) : m_CodeSize;
        *space = areaSize - offset;
    }
    return reinterpret_cast<char*>(p);
}

void CGameScene::StoreText(int n, const std::string& text) {
    DWORD space = 0;
    char* out = ArgBuffer(n, &space);
    if (!out || space == 0) return;
    // Cut before a character that would not fit whole with the terminator.
    std::size_t length = 0;
    while (length < text.size()) {
        std::size_t width = IsSjisLead(static_cast<BYTE>(text[length])) ? 2 : 1;
        if (width > text.size() - length) width = text.size() - length;
        if (length + width >= space) break;
        length += width;
    }
    std::memmove(out, text.data(), length);
    out[length] = '\0';
}

char* CGameScene::GetArgText(DWORD reg) {
    DWORD space = 0;
    char* text = GetArgPointer(reg, &space);
    if (!text) return nullptr;
    if (!std::memchr(text, 0, space)) {
        ScriptFault(script_messages::kTextOutside);
        return nullptr;
    }
    return text;
}

void CGameScene::ReportBadIndex(DWORD count, DWORD index) {
    const LONG max = static_cast<LONG>(count);
    const LONG at = static_cast<LONG>(index);
    if (at >= 0 && at < max) return;
    char message[256];
    std::snprintf(message, sizeof message, script_messages::kBadIndex, static_cast<int>(max),
                  static_cast<int>(at));
    ScriptFault(message);
}

void CGameScene::WatchVariable(const char* name, DWORD slot, DWORD x, DWORD y) {
    const VariableEntry* found = nullptr;
    for (const VariableEntry& v : m_GlobalVariables) {
        if (std::strcmp(v.name, name) == 0) {
            found = &v;
            break;
        }
    }
    if (!found) {
        const CallFrame* top = m_CallStack.GetTail(0);
        const int block = top ? FindBlock(top->blockName) : -1;
        if (block >= 0) {
            for (const VariableEntry& v : m_Blocks[static_cast<std::size_t>(block)].variables) {
                if (std::strcmp(v.name, name) == 0) {
                    found = &v;
                    break;
                }
            }
        }
    }
    if (!found) return;

    DebugWatchEntry entry{};
    CopyBounded(entry.name, found->name);
    entry.isInteger = (found->type & 3) ? 1 : 0;
    if (entry.isInteger) {
        BYTE* cell = CellOrFault(found->address);
        if (!cell) return;
        entry.value = cell;
    } else {
        // The watch shows the text as it stands: it must end inside its area like any text argument.
        char* text = GetArgText(found->address);
        if (!text) return;
        entry.value = text;
    }
    entry.x = static_cast<LONG>(x);
    entry.y = static_cast<LONG>(y);
    DebugWatchSet(static_cast<int>(slot), &entry);
}

void CGameScene::UnwatchVariable(DWORD slot) {
    DebugWatchRemove(static_cast<int>(slot));
}
