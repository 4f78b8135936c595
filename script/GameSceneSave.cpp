// The script state of the save-state snapshot (the call stack as the page began, the kept part of the
// data blob and the frames' local areas), and the save and load of a slot.
#include "script/GameScene.h"

#include "app/ErrorReport.h"
#include "files/SaveData.h"
#include "platform/runtime.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {
// ロードに失敗しました
constexpr char kLoadFailedMessage[] =
    "\x83\x8D\x81\x5B\x83\x68\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

constexpr DWORD kHeadSize = sizeof(ScriptStateBlob);
constexpr DWORD kEntrySize = sizeof(ScriptFrameEntry);
// The frame count is one byte.
constexpr std::size_t kMaxFrames = 255;

ScriptFrameEntry EntryAt(const BYTE* blob, DWORD index) {
    ScriptFrameEntry entry;
    std::memcpy(&entry, blob + kHeadSize + kEntrySize * index, sizeof entry);
    return entry;
}

// Drops the slot a caller left selected: selecting toggles.
void SelectOnly(int slot) {
    if (g_pSaveData->GetSelectedSlot() != -1) g_pSaveData->ResetSlot();
    g_pSaveData->SelectSlot(slot);
}
} // namespace

BYTE* CGameScene::BuildScriptState(DWORD* size) {
    if (size) *size = 0;
    const std::size_t n = m_SnapFrames.size();
    if (n == 0 || n > kMaxFrames || m_DataSnapshot.size() < std::size_t{m_SavedStart} + m_SavedSize)
        return nullptr;
    ScriptStateBlob head{};
    head.frameCount = static_cast<BYTE>(n);
    head.resumePc = m_ResumePc;
    head.savedOffset = static_cast<DWORD>(kHeadSize + kEntrySize * n);
    head.savedLength = m_SavedSize;
    DWORD total = head.savedOffset + head.savedLength;
    for (const SnapFrame& frame : m_SnapFrames)
        total += static_cast<DWORD>(frame.localArea.size());
    head.totalSize = total;

    BYTE* out = new BYTE[total];
    std::memcpy(out, &head, sizeof head);
    DWORD local = head.savedOffset + head.savedLength;
    for (std::size_t i = 0; i < n; ++i) {
        const SnapFrame& frame = m_SnapFrames[i];
        ScriptFrameEntry entry{};
        std::memcpy(entry.blockName, frame.blockName, sizeof entry.blockName - 1);
        entry.localOffset = local;
        entry.localSize = static_cast<DWORD>(frame.localArea.size());
        entry.returnPc = i + 1 == n ? m_ResumePc : frame.returnPc;
        std::memcpy(out + kHeadSize + kEntrySize * i, &entry, sizeof entry);
        if (!frame.localArea.empty())
            std::memcpy(out + local, frame.localArea.data(), frame.localArea.size());
        local += entry.localSize;
    }
    if (m_SavedSize) std::memcpy(out + head.savedOffset, m_DataSnapshot.data() + m_SavedStart, m_SavedSize);
    if (size) *size = total;
    return out;
}

bool CGameScene::IsValidScriptState(const BYTE* blob, DWORD size) const {
    // Only a scene whose script stands in its first block can take a call stack.
    if (!blob || size < kHeadSize || m_Blocks.empty() || m_CallStack.GetCount() == 0 || !m_Blocks[0].loaded)
        return false;
    ScriptStateBlob head;
    std::memcpy(&head, blob, sizeof head);
    const DWORD n = head.frameCount;
    if (n == 0 || head.totalSize != size || head.savedOffset != kHeadSize + kEntrySize * n ||
        head.savedLength != m_SavedSize)
        return false;
    // Every part lies in the blob, one after the other, and together they fill it.
    std::uint64_t end = std::uint64_t{head.savedOffset} + head.savedLength;
    if (end > size) return false;
    std::vector<int> blocks;
    for (DWORD i = 0; i < n; ++i) {
        const ScriptFrameEntry entry = EntryAt(blob, i);
        if (!std::memchr(entry.blockName, '\0', sizeof entry.blockName)) return false;
        const int block = FindBlock(entry.blockName);
        // The bottom frame is the script's first block; a block that is not resident must not be called
        // while it runs.
        if (block < 0 || (i == 0 && block != 0)) return false;
        const BlockRecord& r = m_Blocks[static_cast<std::size_t>(block)].record;
        for (int below : blocks)
            if (below == block && !r.resident) return false;
        blocks.push_back(block);
        if (entry.localOffset != end || entry.localSize != r.localSize || entry.returnPc > r.codeSize)
            return false;
        end += entry.localSize;
        if (i + 1 == n && entry.returnPc != head.resumePc) return false;
    }
    return end == size;
}

void CGameScene::UnwindToBottom() {
    if (m_CallStack.GetCount() <= 1) return;
    while (m_CallStack.GetCount() > 1) {
        CallFrame* top = m_CallStack.GetTail(0);
        const int block = FindBlock(top->blockName);
        m_CallStack.Remove(top);
        if (block > 0 && !IsBlockOnStack(block))
            ReleaseBlock(block, m_Blocks[static_cast<std::size_t>(block)].record.resident != 0);
    }
    MakeBlockCurrent(0);
    SelectReadTable(m_Blocks[0].record.name);
}

int CGameScene::RestoreScriptState(const BYTE* blob, DWORD size) {
    if (!IsValidScriptState(blob, size)) return 0;
    ScriptStateBlob head;
    std::memcpy(&head, blob, sizeof head);
    UnwindToBottom();
    if (head.savedLength) {
        std::memcpy(m_DataBlob.data() + m_SavedStart, blob + head.savedOffset, head.savedLength);
        std::memcpy(m_DataSnapshot.data() + m_SavedStart, blob + head.savedOffset, head.savedLength);
    }
    std::vector<ScriptFrameEntry> entries;
    for (DWORD i = 0; i < head.frameCount; ++i) {
        entries.push_back(EntryAt(blob, i));
        const ScriptFrameEntry& entry = entries.back();
        if (i > 0 && !CallBlock(entry.blockName)) return 0;
        ScriptBlock& b = m_Blocks[static_cast<std::size_t>(FindBlock(entry.blockName))];
        if (entry.localSize)
            std::memcpy(b.code.data() + b.record.localOffset, blob + entry.localOffset, entry.localSize);
    }
    // By position: a resident block may stand on the stack more than once.
    std::size_t i = 0;
    m_CallStack.ForEach([&](CallFrame* frame) { frame->returnPc = entries[i++].returnPc; });
    m_Pc = head.resumePc;
    m_ResumePc = head.resumePc;
    CopyBounded(m_ResumeBlock, entries.back().blockName);
    m_TextState = kTextNone;
    // What was just restored is the snapshot a save before the next page writes again.
    m_CodeSnapshot.assign(m_pCode, m_pCode + m_CodeSize);
    CaptureFrames();
    return 1;
}

bool CGameScene::Save(int slot) {
    if (!g_pSaveData) return false;
    SelectOnly(slot);
    DWORD recordSize = 0, blobSize = 0;
    const std::unique_ptr<BYTE[]> record(BuildStateRecord(&recordSize));
    const std::unique_ptr<BYTE[]> blob(BuildScriptState(&blobSize));
    g_pSaveData->SetStateBlob(record.get(), recordSize);
    g_pSaveData->SetScriptBlob(blob.get(), blobSize);
    const bool written = g_pSaveData->WriteSlot();
    g_pSaveData->ResetSlot();
    return written;
}

bool CGameScene::Load(int slot) {
    bool loaded = false;
    if (g_pSaveData) {
        SelectOnly(slot);
        DWORD recordSize = 0, blobSize = 0;
        const BYTE* record = g_pSaveData->ReadSlot() ? g_pSaveData->GetStateBlob(&recordSize) : nullptr;
        const BYTE* blob = record ? g_pSaveData->GetScriptBlob(&blobSize) : nullptr;
        // Both blobs are checked before either is used, so that a refused slot changes nothing.
        if (IsValidStateRecord(record, recordSize) && IsValidScriptState(blob, blobSize)) {
            RestoreStateRecord(record, recordSize);
            loaded = RestoreScriptState(blob, blobSize) == 1;
        }
        g_pSaveData->ResetSlot();
    }
    if (!loaded) {
        m_SceneMode = kModeLoadFailed;
        ReportError(kLoadFailedMessage);
    }
    return loaded;
}
