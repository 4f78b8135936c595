// Loading a compiled script: header, definition tables, data blob and block bodies. Everything read
// from the file is checked against the file before it is used; a bad file is refused, never trusted.
#include "script/GameScene.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "platform/files.h"
#include "platform/runtime.h"

#include <cstring>
#include <utility>

using namespace script_format;

namespace {
const char kLoaderTag[] = "CGameScene::LoadScriptFile";
const char kBlockTag[] = "CGameScene::LoadBlock";

long long FileSize(std::FILE* fp) {
    const long here = std::ftell(fp);
    if (here < 0 || std::fseek(fp, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(fp);
    std::fseek(fp, here, SEEK_SET);
    return size;
}

long long Remaining(std::FILE* fp, long long size) {
    const long here = std::ftell(fp);
    return (here < 0 || here > size) ? 0 : size - here;
}

bool ReadExact(std::FILE* fp, void* buffer, std::size_t size) {
    return size == 0 || std::fread(buffer, 1, size, fp) == size;
}

// A table of `count` records of `recordSize` bytes that must fit in what is left of the file.
bool ReadRecords(std::FILE* fp, long long fileSize, DWORD count, DWORD recordSize, std::vector<BYTE>* out) {
    if (static_cast<long long>(count) * recordSize > Remaining(fp, fileSize)) return false;
    out->resize(static_cast<std::size_t>(count) * recordSize);
    return ReadExact(fp, out->data(), out->size());
}

void CopyName(char (&dst)[17], const BYTE* field) {
    std::memcpy(dst, field, kNameSize);
    dst[kNameSize - 1] = '\0';
}

bool ParseSounds(const std::vector<BYTE>& raw, DWORD count, std::vector<SoundDef>* out) {
    out->resize(count);
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* p = raw.data() + static_cast<std::size_t>(i) * kSoundDefSize;
        if (!NameFits(p) || !NameFits(p + 17)) return false;
        SoundDef& def = (*out)[i];
        CopyName(def.fileName, p);
        CopyName(def.id, p + 17);
        def.kind = static_cast<signed char>(p[34]);
    }
    return true;
}

bool ParseGraphics(const std::vector<BYTE>& raw, DWORD count, std::vector<GraphicDef>* out) {
    out->resize(count);
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* p = raw.data() + static_cast<std::size_t>(i) * kGraphicDefSize;
        if (!NameFits(p) || !NameFits(p + 17)) return false;
        GraphicDef& def = (*out)[i];
        CopyName(def.fileName, p);
        CopyName(def.id, p + 17);
        def.colorKey = p[38];
        def.layer = ReadI16(p + 39);
        def.x = ReadI16(p + 43);
        def.y = ReadI16(p + 45);
    }
    return true;
}

bool ParseBlocks(const std::vector<BYTE>& raw, DWORD count, std::vector<CGameScene::ScriptBlock>* out) {
    out->resize(count);
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* p = raw.data() + static_cast<std::size_t>(i) * kBlockRecordSize;
        if (!NameFits(p)) return false;
        BlockRecord& r = (*out)[i].record;
        CopyName(r.name, p);
        r.resident = p[17];
        r.tableFlags = p[18];
        r.bodyOffset = ReadU32(p + 19);
        r.codeSize = ReadU32(p + 23);
        r.localOffset = ReadU32(p + 27);
        r.localSize = ReadU32(p + 31);
    }
    return true;
}

// A 264-byte table header whose last four bytes count the entries that follow it.
bool ReadVariableTable(std::FILE* fp, long long fileSize, std::vector<VariableEntry>* out) {
    BYTE header[kVariableHeaderSize];
    if (!ReadExact(fp, header, sizeof header)) return false;
    const DWORD count = ReadU32(header + kVariableCountOffset);
    std::vector<BYTE> raw;
    if (!ReadRecords(fp, fileSize, count, kVariableEntrySize, &raw)) return false;
    out->resize(count);
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* p = raw.data() + static_cast<std::size_t>(i) * kVariableEntrySize;
        if (!NameFits(p)) return false;
        VariableEntry& v = (*out)[i];
        CopyName(v.name, p);
        v.address = ReadU32(p + 17);
        v.type = p[21];
    }
    return true;
}

bool ReadLineTable(std::FILE* fp, long long fileSize, std::vector<LineRecord>* out) {
    BYTE head[4];
    if (!ReadExact(fp, head, sizeof head)) return false;
    const DWORD count = ReadU32(head);
    std::vector<BYTE> raw;
    if (!ReadRecords(fp, fileSize, count, kLineRecordSize, &raw)) return false;
    out->resize(count);
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* p = raw.data() + static_cast<std::size_t>(i) * kLineRecordSize;
        (*out)[i] = LineRecord{ReadU32(p), ReadU32(p + 4), ReadU32(p + 8)};
    }
    return true;
}
} // namespace

int CGameScene::LoadScript(const char* path) {
    TakeReadTextTables();
    if (!path || std::strlen(path) >= sizeof g_ScriptPath) {
        // A cut path would name another file.
        ErrorLog(kLoaderTag, "script path too long");
        return 0;
    }
    CopyBounded(g_ScriptPath, path);
    if (!LoadScriptFile(path)) return 0;
    CaptureSceneStart();
    return 1;
}

bool CGameScene::LoadScriptFile(const char* path) {
    FreeScript();
    m_CallStack.RemoveAll();

    std::FILE* fp = crt::fopen(path, "rb");
    if (!fp) {
        ErrorLog(kLoaderTag, "cannot open %s", path ? path : "");
        return false;
    }
    const char* failure = ReadScriptFile(fp);
    std::fclose(fp);
    if (failure) {
        ErrorLog(kLoaderTag, "%s: %s", path, failure);
        FreeScript();
        m_CallStack.RemoveAll();
        return false;
    }
    return true;
}

const char* CGameScene::ReadScriptFile(std::FILE* fp) {
    const long long fileSize = FileSize(fp);
    BYTE header[kHeaderSize];
    if (fileSize < 0 || !ReadExact(fp, header, sizeof header)) return "header too short";
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return "not an MSC file";
    if (header[kHeaderFormat1] != 1 || header[kHeaderFormat2] != 0) return "unknown format bytes";
    const DWORD blobSize = ReadU32(header + kHeaderBlobSize);
    m_SavedStart = ReadU32(header + kHeaderSavedStart);
    m_SavedSize = ReadU32(header + kHeaderSavedSize);

    std::vector<BYTE> raw;
    bool seen[4] = {};
    for (;;) {
        BYTE chunk[kChunkHeaderSize];
        if (!ReadExact(fp, chunk, sizeof chunk)) return "chunk list ends before the block table";
        const DWORD type = ReadU32(chunk);
        const DWORD count = ReadU32(chunk + 4);
        if (type != kChunkSound && type != kChunkGraphic && type != kChunkBlock) return "unknown chunk type";
        if (seen[type]) return "chunk type repeated";
        seen[type] = true;
        const DWORD recordSize = type == kChunkSound     ? kSoundDefSize
                                 : type == kChunkGraphic ? kGraphicDefSize
                                                         : kBlockRecordSize;
        if (!ReadRecords(fp, fileSize, count, recordSize, &raw))
            return "chunk records run past the end of the file";
        bool namesFit = true;
        if (type == kChunkSound) namesFit = ParseSounds(raw, count, &m_Sounds);
        if (type == kChunkGraphic) namesFit = ParseGraphics(raw, count, &m_Graphics);
        if (type == kChunkBlock) namesFit = ParseBlocks(raw, count, &m_Blocks);
        if (!namesFit) return "name without its terminator";
        if (type == kChunkBlock) break;
    }
    if (m_Blocks.empty()) return "no block records";

    if (blobSize > Remaining(fp, fileSize)) return "data blob runs past the end of the file";
    m_DataBlob.resize(blobSize);
    if (!ReadExact(fp, m_DataBlob.data(), blobSize)) return "data blob short";
    if (m_SavedStart > blobSize || m_SavedSize > blobSize - m_SavedStart)
        return "saved area outside the data blob";
    for (const ScriptBlock& block : m_Blocks) {
        const BlockRecord& r = block.record;
        if (static_cast<long long>(r.bodyOffset) + r.codeSize > fileSize)
            return "block body outside the file";
        if (r.localOffset > r.codeSize || r.localSize > r.codeSize - r.localOffset)
            return "local area outside the block's code";
    }
    m_DataSnapshot.assign(blobSize, 0);

    if (LoadBlock(0, fp) == kLoadFailed) return "block 0 failed to load";
    CallFrame* frame = new CallFrame{};
    CopyBounded(frame->blockName, m_Blocks[0].record.name);
    m_CallStack.AddTail(frame);
    MakeBlockCurrent(0);
    return nullptr;
}

bool CGameScene::ReadBlockTables(int block, std::FILE* fp, long long fileSize,
                                 std::vector<VariableEntry>* globals, std::vector<VariableEntry>* variables,
                                 std::vector<LineRecord>* lines, bool* hasGlobals) {
    const BYTE flags = m_Blocks[static_cast<std::size_t>(block)].record.tableFlags;
    *hasGlobals = block == 0;
    if (flags & kHasVariables) {
        if (block == 0 && !ReadVariableTable(fp, fileSize, globals)) return false;
        if (!ReadVariableTable(fp, fileSize, variables)) return false;
    }
    if ((flags & kHasLines) && !ReadLineTable(fp, fileSize, lines)) return false;
    return true;
}

DWORD CGameScene::LoadBlock(int block, std::FILE* file) {
    if (block < 0 || block >= GetBlockCount()) return kLoadFailed;
    ScriptBlock& target = m_Blocks[static_cast<std::size_t>(block)];
    const BlockRecord& r = target.record;

    std::FILE* fp = file;
    if (!fp) {
        fp = crt::fopen(g_ScriptPath, "rb");
        if (!fp) {
            ErrorLog(kBlockTag, "cannot open %s", g_ScriptPath);
            return kLoadFailed;
        }
    }
    const long long fileSize = FileSize(fp);
    std::vector<BYTE> code;
    std::vector<VariableEntry> globals, variables;
    std::vector<LineRecord> lines;
    bool hasGlobals = false;
    const bool newCode = !target.loaded;

    const char* failure = nullptr;
    // The file may have changed since the script was opened: check the body against it again.
    if (fileSize < 0 || static_cast<long long>(r.bodyOffset) + r.codeSize > fileSize) {
        failure = "body outside the file";
    } else if (newCode) {
        code.resize(r.codeSize);
        if (std::fseek(fp, static_cast<long>(r.bodyOffset), SEEK_SET) != 0 ||
            !ReadExact(fp, code.data(), code.size()))
            failure = "code short";
    } else if (std::fseek(fp, static_cast<long>(r.bodyOffset) + static_cast<long>(r.codeSize), SEEK_SET) !=
               0) {
        failure = "cannot seek past the code";
    }
    if (!failure && !ReadBlockTables(block, fp, fileSize, &globals, &variables, &lines, &hasGlobals))
        failure = "variable or line table short";

    DWORD result = kLoadFailed;
    if (failure) {
        ErrorLog(kBlockTag, "%s: %s", r.name, failure);
    } else {
        // Only a block that loaded whole replaces what the scene holds: a failed call leaves the
        // caller's snapshot buffer and read-text selection alone, and a resident block keeps its code.
        if (newCode) {
            target.code = std::move(code);
            target.loaded = true;
        }
        if (hasGlobals) m_GlobalVariables = std::move(globals);
        target.variables = std::move(variables);
        target.lines = std::move(lines);
        m_CodeSnapshot.assign(r.codeSize, 0);
        SelectReadTable(r.name);
        m_pLines = &target.lines;
        result = r.codeSize;
    }
    if (!file) std::fclose(fp);
    return result;
}

void CGameScene::FreeScript() {
    ForgetWatchesInto(m_DataBlob.data(), m_DataBlob.size());
    for (ScriptBlock& block : m_Blocks)
        ForgetWatchesInto(block.code.data(), block.code.size());
    m_Sounds.clear();
    m_Graphics.clear();
    m_Blocks.clear();
    m_GlobalVariables.clear();
    m_DataBlob.clear();
    m_DataSnapshot.clear();
    m_CodeSnapshot.clear();
    m_SavedStart = 0;
    m_SavedSize = 0;
    m_pCode = nullptr;
    m_CodeSize = 0;
    m_pLines = nullptr;
    m_CurrentBlock = 0;
    m_pReadEntries = nullptr;
    m_ReadEntryCount = 0;
}
