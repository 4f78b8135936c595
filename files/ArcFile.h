// The "MAI\n" archive reader. It reads the directory once and hands out stdio files positioned at a
// named entry; when the archive is missing it serves loose files from the archive's folder instead.
// A second interface keeps whole entries in memory.
#pragma once

#include "platform/base.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

class CArcFile {
  public:
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::size_t kEntrySize = 24;
    static constexpr std::size_t kNameSize = 16;

    struct ArcEntry {
        char name[kNameSize]; // NUL-padded; a name of all 16 bytes has no NUL and is never found
        DWORD offset;
        DWORD size;
        std::unique_ptr<BYTE[]> data; // the cached bytes, null when not loaded
        DWORD readPos;
        BYTE keep;
        // False for an entry whose bytes do not lie inside the archive: it is never found.
        bool inside;
    };

    explicit CArcFile(const char* path = nullptr);
    ~CArcFile();
    CArcFile(const CArcFile&) = delete;
    CArcFile& operator=(const CArcFile&) = delete;

    // Archive mode when the file exists, else loose files from its folder. False for an archive that
    // cannot be read whole (bad magic, short header or directory); the reader then finds nothing.
    bool Open(const char* path);
    void Close();

    // A file positioned at the entry's first byte, opened "rb", and the entry's size when asked for.
    // The file is the caller's until CloseFile.
    std::FILE* OpenFile(const char* name, DWORD* size);
    // How many handed-out files remain open, or -1 for null or when none is open.
    int CloseFile(std::FILE* file);

    // Caches the whole entry; returns its size and index, or 0 and -1 when absent or unreadable.
    DWORD LoadEntry(const char* name, BOOL keep, int* index);
    // Copies the next n bytes of a cached entry, or as many as are left when fewer are; null at its end.
    void* ReadEntry(void* buffer, DWORD n, int index);
    // Frees a cached entry unless it is kept.
    void FreeEntry(int index);
    // The cached bytes at the read position, or null.
    const BYTE* GetEntryPointer(int index) const;
    // Moves the read position of a cached entry (not beyond its size).
    bool SeekEntry(int index, DWORD pos);
    // Frees a cached entry whatever its keep flag; UnloadAllEntries does so for all of them.
    void UnloadEntry(int index);
    void UnloadAllEntries();

    bool IsOpened() const { return m_Opened != 0; }
    bool IsArchiveMode() const { return m_ArchiveMode != 0; }
    const char* GetPath() const { return m_Path; }
    int GetEntryCount() const { return m_EntryCount; }
    int GetOpenFileCount() const { return m_OpenFiles.load(); }

    // Loose files are tried with these extensions, in this order.
    static const char* const kLooseExtensions[5];

  private:
    // Index of the first usable entry of that name, or -1.
    int FindEntry(const char* name) const;
    bool ValidIndex(int index) const { return index >= 0 && index < m_EntryCount; }
    void Clear();

    char m_Path[MAX_PATH];
    std::vector<ArcEntry> m_Directory;
    int m_EntryCount;
    BYTE m_Opened;
    // Files may be handed out and given back on the streaming threads as well.
    std::atomic<int> m_OpenFiles;
    BYTE m_ArchiveMode;
};

// The graphic and data archives, opened by the game object.
extern CArcFile* g_pGraphicArc;
extern CArcFile* g_pDataArc;

void OpenArchives();
void CloseArchives();
// Null when the archive could not be opened or the name is missing.
std::FILE* OpenGraphicFile(const char* name);
std::FILE* OpenDataFile(const char* name);
void CloseGraphicFile(std::FILE* file);
void CloseDataFile(std::FILE* file);
