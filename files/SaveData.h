// Everything that outlives a run: the system file "data00.sav" (player names, CG and scene flags,
// best values, last slot, checksum) with the read-text table appended, and the slot files
// "data01.sav".."data31.sav", each holding the two blobs the game scene builds and restores.
#pragma once

#include "platform/base.h"

#include <bit>
#include <cstddef>
#include <memory>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the save files are read as they lie in memory");

#pragma pack(push, 1)
// The first 399 bytes of "data00.sav".
struct SystemSaveRecord {
    char familyName[13]; // Shift-JIS, NUL-terminated
    char givenName[13];
    BYTE cgFlags[249];   // CG i is seen when byte i equals i + 1
    BYTE sceneFlags[80]; // scene i likewise
    signed char bestValues[24];
    DWORD reserved0;
    DWORD nextSlot; // the last slot written + 1, 0 when none
    DWORD tickCount;
    DWORD checksum;
    DWORD reserved1;
};

// The read-text table: an 8-byte head, the block records, then each block's entries.
struct ReadTextTableHead {
    DWORD blockCount;
    DWORD sizeCheck; // the size of the seed file "at" the table belongs to
};
struct ReadTextBlock {
    char name[17]; // script block name, compared without regard to case
    DWORD entryCount;
    DWORD spare; // kept and written back unchanged
};
struct ReadTextEntry {
    DWORD position; // code offset of a new-page command in the block
    BYTE read;      // 1 when read
};

struct SlotFileHeader {
    DWORD offsetA; // 17
    DWORD lengthA;
    DWORD offsetB; // 17 + lengthA
    DWORD lengthB;
    BYTE used; // 1
};
#pragma pack(pop)

static_assert(sizeof(SystemSaveRecord) == 399);
static_assert(sizeof(ReadTextTableHead) == 8);
static_assert(sizeof(ReadTextBlock) == 25);
static_assert(sizeof(ReadTextEntry) == 5);
static_assert(sizeof(SlotFileHeader) == 17);

class CSaveData {
  public:
    static constexpr int kCGCount = 249;
    static constexpr int kSceneCount = 80;
    static constexpr int kBestValueCount = 24;
    static constexpr int kSlotCount = 31; // slots 0-30; the menu offers 0-29
    static constexpr int kNameSize = 13;
    // The names of a fresh start, which name entry's reset and empty fields give too.
    static constexpr char kDefaultFamilyName[] = "\x8e\x52\x93\x63"; // 山田
    static constexpr char kDefaultGivenName[] = "\x91\xbe\x98\x59";  // 太郎
    // Blob A of a slot is the game scene's state record, always this long.
    static constexpr DWORD kSceneStateRecordSize = 533;
    static constexpr DWORD kSlotChunkSize = 2048;

    CSaveData();
    // SaveOnExit: writes the system file when it was loaded in this run.
    ~CSaveData();
    CSaveData(const CSaveData&) = delete;
    CSaveData& operator=(const CSaveData&) = delete;

    // The record from "data00.sav", or the defaults when it is missing, short or fails its checksum;
    // then the read-text table. True when the record came from the file.
    bool LoadSystemFile();
    // Writes the record and the table through a temporary file that replaces the old one only when
    // it was written whole, so a failed write leaves the previous file as it was. Creates the save
    // folder when it is missing. False (and traced) on failure.
    bool WriteSystemFile();
    void SaveOnExit();
    void SetDefaults();
    // Deletes every slot file and writes a fresh system file; nothing in the game calls it.
    bool DeleteAll();

    static DWORD ComputeChecksum(const SystemSaveRecord& record);
    // "data01.sav" for slot 0 .. "data31.sav" for slot 30; null out of range.
    static const char* GetSlotFileName(int slot);

    char* GetFamilyName() { return m_Record.familyName; }
    char* GetGivenName() { return m_Record.givenName; }
    // Stored only when shorter than 13 bytes.
    void SetFamilyName(const char* name);
    void SetGivenName(const char* name);

    // 1 seen, 0 not seen (also for a negative number), -1 from 249 on.
    int IsCGSeen(int i) const;
    void SetCGSeen(int i);
    // 1 seen, 0 not seen or out of range.
    int IsSceneSeen(int i) const;
    void SetSceneSeen(int i);

    SystemSaveRecord* GetRecord() { return &m_Record; }
    // The last slot written, -1 when none (or when the stored field is out of range).
    int GetLastSavedSlot() const;

    // Selects the slot when none is selected, else clears the selection.
    void SelectSlot(int slot);
    int GetSelectedSlot() const { return m_SelectedSlot; }
    // Attach the caller's blob when none is attached, else detach. The caller keeps ownership.
    void SetStateBlob(const void* blob, DWORD length);
    void SetScriptBlob(const void* blob, DWORD length);
    // Writes the selected slot from the attached blobs, through a temporary file like the system
    // file. False when nothing is selected or attached, or the write failed (traced).
    bool WriteSlot();
    // Reads the selected slot's blobs. Refused unless blob A is a state record of 533 bytes and both
    // blobs lie inside the file.
    bool ReadSlot();
    const BYTE* GetStateBlob(DWORD* length) const;
    const BYTE* GetScriptBlob(DWORD* length) const;
    const SlotFileHeader& GetSlotHeader() const { return m_Header; }
    void ResetSlot();
    // used[k] = 1 for each slot whose file holds a whole header marked used.
    void GetUsedSlots(BYTE used[kSlotCount]);

    // The read-text table, taken once: from "data00.sav" after the record, else from the seed "at".
    bool LoadReadTable();
    bool HasReadTextTable() const { return m_HasTable; }
    // The block records and, in the same order, one entry array per block (null for a block without
    // entries). The game scene marks entries in place; they are written back with the system file.
    // The pointers stay valid for the life of this object. Null and 0 when there is no table.
    DWORD GetReadTextBlockCount() const { return m_HasTable ? m_TableHead.blockCount : 0; }
    ReadTextBlock* GetReadTextBlocks();
    ReadTextEntry** GetReadTextEntries();
    DWORD GetReadTextSizeCheck() const { return m_TableHead.sizeCheck; }

  private:
    // The save folder joined with a file name; false without settings or when it does not fit.
    static bool SavePath(const char* name, char (&out)[MAX_PATH]);
    // Writes `write`'s output to a temporary file beside `path`, then renames it over `path`.
    template <class Fn> static bool WriteReplacing(const char* path, const char* tag, Fn write);
    void FreeReadTable();

    SystemSaveRecord m_Record;
    int m_SelectedSlot;
    const void* m_AttachedState;
    DWORD m_AttachedStateLength;
    const void* m_AttachedScript;
    DWORD m_AttachedScriptLength;
    SlotFileHeader m_Header;
    std::unique_ptr<BYTE[]> m_ReadState;
    DWORD m_ReadStateLength;
    std::unique_ptr<BYTE[]> m_ReadScript;
    DWORD m_ReadScriptLength;
    ReadTextTableHead m_TableHead;
    std::vector<ReadTextBlock> m_Blocks;
    std::vector<std::unique_ptr<ReadTextEntry[]>> m_Entries;
    std::vector<ReadTextEntry*> m_EntryPointers;
    bool m_HasTable;
    // Only a record that was loaded in this run is written on exit: an object that never loaded
    // must not overwrite the player's file with zeros.
    bool m_Loaded;
};

extern CSaveData* g_pSaveData;
