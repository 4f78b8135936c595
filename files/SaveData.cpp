#include "files/SaveData.h"

#include "app/ErrorReport.h"
#include "files/Config.h"
#include "platform/files.h"
#include "platform/runtime.h"
#include "platform/time.h"
#include "text/NameCodes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

CSaveData* g_pSaveData = nullptr;

namespace {
const char kSystemFileName[] = "data00.sav";
const char kSeedFileName[] = "at";
const char* const kSlotFileNames[CSaveData::kSlotCount] = {
    "data01.sav", "data02.sav", "data03.sav", "data04.sav", "data05.sav", "data06.sav", "data07.sav",
    "data08.sav", "data09.sav", "data10.sav", "data11.sav", "data12.sav", "data13.sav", "data14.sav",
    "data15.sav", "data16.sav", "data17.sav", "data18.sav", "data19.sav", "data20.sav", "data21.sav",
    "data22.sav", "data23.sav", "data24.sav", "data25.sav", "data26.sav", "data27.sav", "data28.sav",
    "data29.sav", "data30.sav", "data31.sav"};

// The temporary file a save is written to before it replaces the real one.
bool TempPathOf(const char* path, char (&out)[MAX_PATH]) {
    const int n = std::snprintf(out, sizeof out, "%s.tmp", path);
    return n > 0 && static_cast<std::size_t>(n) < sizeof out;
}

// The save folder is not created by anyone else: without it every save would be lost silently.
void EnsureSaveFolder() {
    if (!g_pConfig) return;
    const char* folder = g_pConfig->GetSaveDataPath();
    if (folder[0] && _access(folder, 0) != 0) _mkdir(folder);
}

bool WriteAll(std::FILE* fp, const void* data, std::size_t size) {
    return size == 0 || std::fwrite(data, 1, size, fp) == size;
}

std::int64_t FileSize(const char* path) {
    _stat_t st;
    if (_stat(path, &st) != 0 || st.isDirectory) return -1;
    return st.st_size;
}

// Attaches the blob when none is attached, else detaches the one that is.
void ToggleAttached(const void*& attached, DWORD& attachedLength, const void* blob, DWORD length) {
    if (attached) {
        attached = nullptr;
        attachedLength = 0;
    } else if (blob) {
        attached = blob;
        attachedLength = length;
    }
}

// Name entry takes whole two-byte characters only: a name from the file keeps what could have been
// typed, up to the first byte that is no lead byte or the first lead byte without its trail byte.
// Editing the rest would split it into broken characters.
void CutToTypableName(char (&field)[CSaveData::kNameSize]) {
    field[CSaveData::kNameSize - 1] = '\0';
    for (std::size_t i = 0; i + 1 < sizeof field && field[i]; i += 2)
        if (!IsLeadByte(static_cast<BYTE>(field[i])) || !field[i + 1]) {
            std::memset(field + i, 0, sizeof field - i);
            return;
        }
}

void SetName(char (&field)[CSaveData::kNameSize], const char* name) {
    if (!name || std::strlen(name) >= sizeof field) return;
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name, std::strlen(name));
}
} // namespace

CSaveData::CSaveData()
    : m_SelectedSlot(-1), m_AttachedState(nullptr), m_AttachedStateLength(0), m_AttachedScript(nullptr),
      m_AttachedScriptLength(0), m_ReadStateLength(0), m_ReadScriptLength(0), m_HasTable(false),
      m_Loaded(false) {
    std::memset(&m_Record, 0, sizeof m_Record);
    std::memset(&m_Header, 0, sizeof m_Header);
    std::memset(&m_TableHead, 0, sizeof m_TableHead);
}

CSaveData::~CSaveData() {
    SaveOnExit();
}

void CSaveData::SaveOnExit() {
    if (m_Loaded) WriteSystemFile();
    FreeReadTable();
}

bool CSaveData::SavePath(const char* name, char (&out)[MAX_PATH]) {
    if (!g_pConfig || !name) return false;
    const int n = std::snprintf(out, sizeof out, "%s%s", g_pConfig->GetSaveDataPath(), name);
    return n > 0 && static_cast<std::size_t>(n) < sizeof out;
}

DWORD CSaveData::ComputeChecksum(const SystemSaveRecord& record) {
    DWORD sum = 0;
    for (int i = 0; i < kCGCount; ++i)
        sum += static_cast<DWORD>(record.cgFlags[i]) * static_cast<DWORD>(i + 1);
    for (int j = 0; j < kSceneCount; ++j)
        sum += static_cast<DWORD>(record.sceneFlags[j]) * static_cast<DWORD>(j + 1);
    return sum + record.tickCount;
}

const char* CSaveData::GetSlotFileName(int slot) {
    return slot >= 0 && slot < kSlotCount ? kSlotFileNames[slot] : nullptr;
}

void CSaveData::SetDefaults() {
    std::memset(&m_Record, 0, sizeof m_Record);
    CopyBounded(m_Record.familyName, kDefaultFamilyName);
    CopyBounded(m_Record.givenName, kDefaultGivenName);
    for (int i = 0; i < kBestValueCount - 1; ++i)
        m_Record.bestValues[i] = -1;
    m_Record.bestValues[kBestValueCount - 1] = 0;
    m_Record.tickCount = GetTickCount();
    m_Record.checksum = ComputeChecksum(m_Record);
}

bool CSaveData::LoadSystemFile() {
    bool fromFile = false;
    char path[MAX_PATH];
    if (SavePath(kSystemFileName, path)) {
        if (std::FILE* fp = crt::fopen(path, "rb")) {
            SystemSaveRecord record;
            if (std::fread(&record, 1, sizeof record, fp) == sizeof record &&
                record.checksum == ComputeChecksum(record)) {
                m_Record = record;
                fromFile = true;
            }
            std::fclose(fp);
        }
    }
    if (!fromFile) SetDefaults();
    // The names are not covered by the checksum: a name without its NUL would run into the flags.
    CutToTypableName(m_Record.familyName);
    CutToTypableName(m_Record.givenName);
    m_Loaded = true;
    LoadReadTable();
    return fromFile;
}

bool CSaveData::LoadReadTable() {
    if (m_HasTable) return true;

    char seedPath[MAX_PATH];
    std::int64_t seedSize = -1;
    if (g_pConfig && CopyBounded(seedPath, g_pConfig->GetSystemDataPath(kSeedFileName)) < sizeof seedPath)
        seedSize = FileSize(seedPath);
    else
        seedPath[0] = '\0';

    std::FILE* fp = nullptr;
    std::int64_t remaining = 0;
    char systemPath[MAX_PATH];
    if (SavePath(kSystemFileName, systemPath)) {
        const std::int64_t size = FileSize(systemPath);
        if (size > static_cast<std::int64_t>(sizeof(SystemSaveRecord))) {
            fp = crt::fopen(systemPath, "rb");
            if (fp && std::fseek(fp, sizeof(SystemSaveRecord), SEEK_SET) != 0) {
                std::fclose(fp);
                fp = nullptr;
            }
            remaining = size - static_cast<std::int64_t>(sizeof(SystemSaveRecord));
        }
    }
    if (!fp && seedSize >= 0) {
        fp = crt::fopen(seedPath, "rb");
        remaining = seedSize;
    }
    if (!fp) return false;

    // Every count is held against the bytes that are really left, so a damaged count can neither
    // make a huge allocation nor a read past the end.
    bool ok = false;
    ReadTextTableHead head;
    do {
        if (remaining < static_cast<std::int64_t>(sizeof head) ||
            std::fread(&head, 1, sizeof head, fp) != sizeof head)
            break;
        remaining -= sizeof head;
        if (head.sizeCheck != static_cast<DWORD>(seedSize)) break;
        if (head.blockCount > remaining / static_cast<std::int64_t>(sizeof(ReadTextBlock))) break;
        m_Blocks.resize(head.blockCount);
        const std::size_t blockBytes = m_Blocks.size() * sizeof(ReadTextBlock);
        if (blockBytes && std::fread(m_Blocks.data(), 1, blockBytes, fp) != blockBytes) break;
        remaining -= static_cast<std::int64_t>(blockBytes);
        m_Entries.resize(head.blockCount);
        bool entriesOk = true;
        for (std::size_t b = 0; b < m_Blocks.size() && entriesOk; ++b) {
            ReadTextBlock& block = m_Blocks[b];
            // Block names are compared as strings: keep them within their field.
            block.name[sizeof block.name - 1] = '\0';
            const DWORD n = block.entryCount;
            if (n == 0) continue;
            if (n > remaining / static_cast<std::int64_t>(sizeof(ReadTextEntry))) {
                entriesOk = false;
                break;
            }
            m_Entries[b].reset(new ReadTextEntry[n]);
            const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(ReadTextEntry);
            entriesOk = std::fread(m_Entries[b].get(), 1, bytes, fp) == bytes;
            remaining -= static_cast<std::int64_t>(bytes);
        }
        ok = entriesOk;
    } while (false);
    std::fclose(fp);

    if (!ok) {
        FreeReadTable();
        return false;
    }
    m_TableHead = head;
    m_EntryPointers.resize(m_Entries.size());
    for (std::size_t b = 0; b < m_Entries.size(); ++b)
        m_EntryPointers[b] = m_Entries[b].get();
    m_HasTable = true;
    return true;
}

void CSaveData::FreeReadTable() {
    m_Blocks.clear();
    m_Entries.clear();
    m_EntryPointers.clear();
    std::memset(&m_TableHead, 0, sizeof m_TableHead);
    m_HasTable = false;
}

ReadTextBlock* CSaveData::GetReadTextBlocks() {
    return m_HasTable && !m_Blocks.empty() ? m_Blocks.data() : nullptr;
}

ReadTextEntry** CSaveData::GetReadTextEntries() {
    return m_HasTable && !m_EntryPointers.empty() ? m_EntryPointers.data() : nullptr;
}

template <class Fn> bool CSaveData::WriteReplacing(const char* path, const char* tag, Fn write) {
    char temp[MAX_PATH];
    if (!TempPathOf(path, temp)) {
        ErrorLog(tag, "save path too long: %s", path);
        return false;
    }
    EnsureSaveFolder();
    std::FILE* fp = crt::fopen(temp, "wb");
    if (!fp) {
        ErrorLog(tag, "cannot create %s", temp);
        return false;
    }
    bool ok = write(fp);
    ok = crt::fflush_sync(fp) == 0 && ok;
    ok = std::fclose(fp) == 0 && ok;
    if (!ok) {
        crt::remove(temp);
        ErrorLog(tag, "write failed, %s kept as it was", path);
        return false;
    }
    if (crt::rename(temp, path) != 0) {
        crt::remove(temp);
        ErrorLog(tag, "cannot replace %s", path);
        return false;
    }
    return true;
}

bool CSaveData::WriteSystemFile() {
    m_Record.tickCount = GetTickCount();
    m_Record.checksum = ComputeChecksum(m_Record);
    char path[MAX_PATH];
    if (!SavePath(kSystemFileName, path)) {
        ErrorLog("CSaveData::WriteSystemFile", "no save folder");
        return false;
    }
    return WriteReplacing(path, "CSaveData::WriteSystemFile", [this](std::FILE* fp) {
        if (!WriteAll(fp, &m_Record, sizeof m_Record)) return false;
        if (!m_HasTable) return true;
        if (!WriteAll(fp, &m_TableHead, sizeof m_TableHead)) return false;
        if (!WriteAll(fp, m_Blocks.data(), m_Blocks.size() * sizeof(ReadTextBlock))) return false;
        for (std::size_t b = 0; b < m_Blocks.size(); ++b) {
            const DWORD n = m_Blocks[b].entryCount;
            if (n && !WriteAll(fp, m_Entries[b].get(), static_cast<std::size_t>(n) * sizeof(ReadTextEntry)))
                return false;
        }
        return true;
    });
}

bool CSaveData::DeleteAll() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        char path[MAX_PATH];
        if (SavePath(kSlotFileNames[slot], path) && _access(path, 0) == 0) crt::remove(path);
    }
    SetDefaults();
    m_Loaded = true;
    LoadReadTable();
    return WriteSystemFile();
}

void CSaveData::SetFamilyName(const char* name) {
    SetName(m_Record.familyName, name);
}

void CSaveData::SetGivenName(const char* name) {
    SetName(m_Record.givenName, name);
}

int CSaveData::IsCGSeen(int i) const {
    if (i >= kCGCount) return -1;
    if (i < 0) return 0;
    return m_Record.cgFlags[i] == i + 1 ? 1 : 0;
}

void CSaveData::SetCGSeen(int i) {
    if (i >= 0 && i < kCGCount) m_Record.cgFlags[i] = static_cast<BYTE>(i + 1);
}

int CSaveData::IsSceneSeen(int i) const {
    if (i < 0 || i >= kSceneCount) return 0;
    return m_Record.sceneFlags[i] == i + 1 ? 1 : 0;
}

void CSaveData::SetSceneSeen(int i) {
    if (i >= 0 && i < kSceneCount) m_Record.sceneFlags[i] = static_cast<BYTE>(i + 1);
}

int CSaveData::GetLastSavedSlot() const {
    const DWORD next = m_Record.nextSlot;
    return next >= 1 && next <= static_cast<DWORD>(kSlotCount) ? static_cast<int>(next) - 1 : -1;
}

void CSaveData::SelectSlot(int slot) {
    if (m_SelectedSlot >= 0)
        m_SelectedSlot = -1;
    else if (slot >= 0 && slot < kSlotCount)
        m_SelectedSlot = slot;
}

void CSaveData::SetStateBlob(const void* blob, DWORD length) {
    ToggleAttached(m_AttachedState, m_AttachedStateLength, blob, length);
}

void CSaveData::SetScriptBlob(const void* blob, DWORD length) {
    ToggleAttached(m_AttachedScript, m_AttachedScriptLength, blob, length);
}

bool CSaveData::WriteSlot() {
    if (m_SelectedSlot < 0 || !m_AttachedState || m_AttachedStateLength == 0 || !m_AttachedScript ||
        m_AttachedScriptLength == 0)
        return false;
    const std::uint64_t offsetB = sizeof(SlotFileHeader) + static_cast<std::uint64_t>(m_AttachedStateLength);
    if (offsetB + m_AttachedScriptLength > 0xFFFFFFFFu) return false;
    char path[MAX_PATH];
    if (!SavePath(kSlotFileNames[m_SelectedSlot], path)) {
        ErrorLog("CSaveData::WriteSlot", "no save folder");
        return false;
    }
    const SlotFileHeader header{sizeof(SlotFileHeader), m_AttachedStateLength, static_cast<DWORD>(offsetB),
                                m_AttachedScriptLength, 1};
    const bool ok = WriteReplacing(path, "CSaveData::WriteSlot", [&](std::FILE* fp) {
        if (!WriteAll(fp, &header, sizeof header)) return false;
        for (const auto& [blob, length] : {std::pair{m_AttachedState, m_AttachedStateLength},
                                           std::pair{m_AttachedScript, m_AttachedScriptLength}}) {
            const auto* bytes = static_cast<const BYTE*>(blob);
            for (DWORD done = 0; done < length;) {
                const DWORD chunk = length - done < kSlotChunkSize ? length - done : kSlotChunkSize;
                if (!WriteAll(fp, bytes + done, chunk)) return false;
                done += chunk;
            }
        }
        return true;
    });
    if (!ok) return false;
    // Slot 30 is a slot no menu offers; it is never remembered as the last one.
    if (m_SelectedSlot != kSlotCount - 1) m_Record.nextSlot = static_cast<DWORD>(m_SelectedSlot + 1);
    return true;
}

bool CSaveData::ReadSlot() {
    if (m_SelectedSlot < 0 || m_ReadState || m_ReadScript) return false;
    char path[MAX_PATH];
    if (!SavePath(kSlotFileNames[m_SelectedSlot], path)) return false;
    const std::int64_t size = FileSize(path);
    std::FILE* fp = size >= 0 ? crt::fopen(path, "rb") : nullptr;
    if (!fp) return false;

    bool ok = false;
    do {
        SlotFileHeader header;
        if (std::fread(&header, 1, sizeof header, fp) != sizeof header) break;
        m_Header = header;
        // Both lengths come from the file: believe them only as far as the file reaches.
        if (header.lengthA != kSceneStateRecordSize || header.lengthB == 0) break;
        if (static_cast<std::int64_t>(header.offsetA) + header.lengthA > size ||
            static_cast<std::int64_t>(header.offsetB) + header.lengthB > size)
            break;
        std::unique_ptr<BYTE[]> a(new BYTE[header.lengthA]);
        std::unique_ptr<BYTE[]> b(new BYTE[header.lengthB]);
        if (std::fseek(fp, static_cast<long>(header.offsetA), SEEK_SET) != 0 ||
            std::fread(a.get(), 1, header.lengthA, fp) != header.lengthA)
            break;
        if (std::fseek(fp, static_cast<long>(header.offsetB), SEEK_SET) != 0 ||
            std::fread(b.get(), 1, header.lengthB, fp) != header.lengthB)
            break;
        m_ReadState = std::move(a);
        m_ReadStateLength = header.lengthA;
        m_ReadScript = std::move(b);
        m_ReadScriptLength = header.lengthB;
        ok = true;
    } while (false);
    std::fclose(fp);
    return ok;
}

const BYTE* CSaveData::GetStateBlob(DWORD* length) const {
    if (length) *length = m_ReadState ? m_ReadStateLength : 0;
    return m_ReadState.get();
}

const BYTE* CSaveData::GetScriptBlob(DWORD* length) const {
    if (length) *length = m_ReadScript ? m_ReadScriptLength : 0;
    return m_ReadScript.get();
}

void CSaveData::ResetSlot() {
    m_SelectedSlot = -1;
    m_AttachedState = nullptr;
    m_AttachedStateLength = 0;
    m_AttachedScript = nullptr;
    m_AttachedScriptLength = 0;
    std::memset(&m_Header, 0, sizeof m_Header);
    m_ReadState.reset();
    m_ReadStateLength = 0;
    m_ReadScript.reset();
    m_ReadScriptLength = 0;
}

void CSaveData::GetUsedSlots(BYTE used[kSlotCount]) {
    if (!used) return;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        used[slot] = 0;
        char path[MAX_PATH];
        if (!SavePath(kSlotFileNames[slot], path) || _access(path, 0) != 0) continue;
        std::FILE* fp = crt::fopen(path, "rb");
        if (!fp) continue;
        SlotFileHeader header;
        if (std::fread(&header, 1, sizeof header, fp) == sizeof header && header.used == 1) used[slot] = 1;
        std::fclose(fp);
    }
}
