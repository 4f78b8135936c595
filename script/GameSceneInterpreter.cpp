// The register machine: sixteen 32-bit registers (r15 the flags), pc into the current block's code,
// three operand forms. Every operand and address is checked against its area before it is touched; a
// bad one stops the script with a fatal script error.
#include "script/GameScene.h"

#include "script/ScriptMessages.h"

#include <climits>
#include <cstdio>
#include <cstring>

using namespace script_format;

namespace {
// Instruction numbers: the rows of the opcode table.
enum Op : int {
    kOpMove,
    kOpAdd,
    kOpSubtract,
    kOpMultiply,
    kOpDivide,
    kOpRemainder,
    kOpCompare,
    kOpXor,
    kOpElementAddress,
    kOpEqual,
    kOpNotEqual,
    kOpGreaterEqual,
    kOpLessEqual,
    kOpGreater,
    kOpLess,
    kOpLogicalAnd,
    kOpLogicalOr,
    kOpCompare2,
    kOpHostCommand,
    kOpJump,
    kOpJumpZero,
    kOpJumpNotZero,
    kOpReturn,
    kOpReturn2,
    kOpNop,
    kOpClearFlags,
    kOpSetFlagX,
    kOpSetZero,
    kOpSetPositive,
    kOpClearFlagX,
    kOpClearZero,
    kOpClearPositive,
};

// Searched in this order; bit 0 of a code byte picks the operand form and is ignored here.
constexpr BYTE kOpcodeTable[] = {0x02, 0x04, 0x06, 0x08, 0x0A, 0x0C, 0x0E, 0x10, 0x12, 0x20, 0x22,
                                 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x30, 0xA0, 0x40, 0x42, 0x44,
                                 0x46, 0x48, 0x00, 0x50, 0x52, 0x54, 0x56, 0x58, 0x5A, 0x5C};

DWORD LoadCell(const BYTE* cell) {
    DWORD v;
    std::memcpy(&v, cell, sizeof v);
    return v;
}
void StoreCell(BYTE* cell, DWORD v) {
    std::memcpy(cell, &v, sizeof v);
}
bool Fits(DWORD at, DWORD length, DWORD size) {
    return static_cast<unsigned long long>(at) + length <= size;
}
} // namespace

int CGameScene::DecodeOpcode(BYTE code) {
    const BYTE key = code & 0xFE;
    for (int i = 0; i < static_cast<int>(sizeof kOpcodeTable); ++i) {
        if (kOpcodeTable[i] == key) return i;
    }
    return -1;
}

BYTE* CGameScene::ResolveAddress(DWORD value, DWORD size) {
    BYTE* base;
    DWORD areaSize;
    DWORD offset;
    if (value & kBlobAddress) {
        base = m_DataBlob.data();
        areaSize = static_cast<DWORD>(m_DataBlob.size());
        offset = value & ~kBlobAddress;
    } else {
        base = m_pCode;
        areaSize = m_CodeSize;
        offset = value;
    }
    if (!base || !Fits(offset, size, areaSize)) return nullptr;
    return base + offset;
}

void CGameScene::SetFlags(DWORD value) {
    DWORD flags = 0;
    if (value == 0)
        flags = kFlagZero;
    else if (static_cast<LONG>(value) > 0)
        flags = kFlagPositive;
    m_Registers[15] = (m_Registers[15] & ~(kFlagPositive | kFlagZero | kFlagX)) | flags;
}

void CGameScene::ScriptFaultAddress(DWORD address) {
    char line[64];
    std::snprintf(line, sizeof line, script_messages::kAddressLine, static_cast<unsigned>(address));
    ScriptFault(script_messages::kBadAddress, line);
}

BYTE* CGameScene::CellOrFault(DWORD address, DWORD size) {
    BYTE* cell = ResolveAddress(address, size);
    if (!cell) ScriptFaultAddress(address);
    return cell;
}

BYTE* CGameScene::RegisterCell(BYTE operand, bool indirect) {
    const int reg = operand & 15;
    if (!indirect) return reinterpret_cast<BYTE*>(&m_Registers[reg]);
    return CellOrFault(m_Registers[reg]);
}

int CGameScene::DecodeOperands(BYTE code, BYTE** dest, BYTE** src) {
    const DWORD at = m_Pc + 1;
    if (!Fits(at, 1, m_CodeSize)) {
        ScriptFault(script_messages::kPastCodeEnd);
        return 0;
    }
    const BYTE m = m_pCode[at];
    const int length = (code & 1) ? 2 : (m >= 0x80 ? 5 : 9);
    if (!Fits(at, static_cast<DWORD>(length), m_CodeSize)) {
        ScriptFault(script_messages::kPastCodeEnd);
        return 0;
    }
    if (code & 1) {
        // Register form: one byte for each side.
        const BYTE s = m_pCode[at + 1];
        if (!(*dest = RegisterCell(m, (m & 0x40) != 0))) return 0;
        if (!(*src = RegisterCell(s, (s & 0x40) != 0))) return 0;
        return length;
    }
    BYTE* x = m_pCode + at + 1;
    const DWORD xv = LoadCell(x);
    if (m >= 0x80) {
        if (m & 0x40) {
            // Memory cell at x from a register; without bit 5 the form names no destination.
            if (!(m & 0x20)) {
                ScriptFault(script_messages::kBadOperand);
                return 0;
            }
            if (!(*src = RegisterCell(m, (m & 0x10) != 0))) return 0;
            if (!(*dest = CellOrFault(xv))) return 0;
            return length;
        }
        if (!(*dest = RegisterCell(m, (m & 0x10) != 0))) return 0;
        if (m & 0x20) {
            if (!(*src = CellOrFault(xv))) return 0;
        } else {
            *src = x; // the immediate lives in the code
        }
        return length;
    }
    BYTE* y = x + 4;
    const DWORD yv = LoadCell(y);
    if (!(*dest = CellOrFault(xv))) return 0;
    if (m & 0x04) {
        if (!(*src = CellOrFault(yv))) return 0;
    } else {
        *src = y;
    }
    return length;
}

bool CGameScene::RunTwoOperand(int op, BYTE code) {
    BYTE* destCell = nullptr;
    BYTE* srcCell = nullptr;
    const int length = DecodeOperands(code, &destCell, &srcCell);
    if (length == 0) return false;
    const DWORD d = LoadCell(destCell);
    const DWORD s = LoadCell(srcCell);
    const LONG sd = static_cast<LONG>(d);
    const LONG ss = static_cast<LONG>(s);
    DWORD result = 0;
    switch (op) {
    case kOpMove:
        result = s;
        break;
    case kOpAdd:
        result = d + s;
        break;
    case kOpSubtract:
        result = d - s;
        break;
    case kOpMultiply:
        result = d * s;
        break;
    case kOpDivide:
    case kOpRemainder:
        if (s == 0) {
            ScriptFault(script_messages::kDivideByZero);
            return false;
        }
        // The one quotient that does not fit wraps to itself, with no remainder.
        if (sd == INT_MIN && ss == -1)
            result = op == kOpDivide ? d : 0;
        else
            result = static_cast<DWORD>(op == kOpDivide ? sd / ss : sd % ss);
        break;
    case kOpCompare:
    case kOpCompare2:
        SetFlags(d - s);
        m_Pc += 1 + static_cast<DWORD>(length);
        return true;
    case kOpXor:
        result = d ^ s;
        break;
    case kOpElementAddress:
        result = (s & kBlobAddress) ? ((d * 4 + (s & ~kBlobAddress)) | kBlobAddress) : d * 4 + s;
        break;
    case kOpEqual:
        result = d == s;
        break;
    case kOpNotEqual:
        result = d != s;
        break;
    case kOpGreaterEqual:
        result = sd >= ss;
        break;
    case kOpLessEqual:
        result = sd <= ss;
        break;
    case kOpGreater:
        result = sd > ss;
        break;
    case kOpLess:
        result = sd < ss;
        break;
    case kOpLogicalAnd:
        result = d != 0 && s != 0;
        break;
    case kOpLogicalOr:
        result = d != 0 || s != 0;
        break;
    default:
        return false;
    }
    StoreCell(destCell, result);
    SetFlags(result);
    m_Pc += 1 + static_cast<DWORD>(length);
    return true;
}

int CGameScene::Execute() {
    if (m_bHalted || m_bFinished || m_CallStack.GetCount() == 0 || !m_pCode) return 0;
    DWORD steps = 0;
    while (m_Pc < m_CodeSize) {
        if (m_StepLimit && steps++ >= m_StepLimit) return 0;
        const BYTE code = m_pCode[m_Pc];
        const int op = DecodeOpcode(code);
        if (op < 0) {
            char line[32];
            std::snprintf(line, sizeof line, script_messages::kCodeLine, static_cast<unsigned>(code));
            ScriptFault(script_messages::kUnknownOpcode, line);
            return 0;
        }
        if (op <= kOpCompare2) {
            if (!RunTwoOperand(op, code)) return 0;
            continue;
        }
        switch (op) {
        case kOpHostCommand:
            // Group byte and sub-operation must follow in the code.
            if (!Fits(m_Pc, 6, m_CodeSize)) {
                ScriptFault(script_messages::kPastCodeEnd);
                return 0;
            }
            m_Pc += 1;
            return 1;
        case kOpJump:
        case kOpJumpZero:
        case kOpJumpNotZero: {
            if (!Fits(m_Pc, 5, m_CodeSize)) {
                ScriptFault(script_messages::kPastCodeEnd);
                return 0;
            }
            const bool zero = (m_Registers[15] & kFlagZero) != 0;
            const bool taken = op == kOpJump || (op == kOpJumpZero ? zero : !zero);
            m_Pc = taken ? LoadCell(m_pCode + m_Pc + 1) : m_Pc + 5;
            break;
        }
        case kOpReturn:
        case kOpReturn2:
            ReturnFromBlock();
            return 0;
        case kOpNop:
            m_Pc += 1;
            break;
        case kOpClearFlags:
            m_Registers[15] &= ~(kFlagPositive | kFlagZero | kFlagX);
            m_Pc += 1;
            break;
        case kOpSetFlagX:
            m_Registers[15] |= kFlagX;
            m_Pc += 1;
            break;
        case kOpSetZero:
            m_Registers[15] |= kFlagZero;
            m_Pc += 1;
            break;
        case kOpSetPositive:
            m_Registers[15] |= kFlagPositive;
            m_Pc += 1;
            break;
        case kOpClearFlagX:
            m_Registers[15] &= ~kFlagX;
            m_Pc += 1;
            break;
        case kOpClearZero:
            m_Registers[15] &= ~kFlagZero;
            m_Pc += 1;
            break;
        case kOpClearPositive:
            m_Registers[15] &= ~kFlagPositive;
            m_Pc += 1;
            break;
        default:
            return 0;
        }
    }
    return 0;
}
