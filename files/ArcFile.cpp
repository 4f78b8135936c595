#include "files/ArcFile.h"

#include "files/Config.h"
#include "platform/files.h"
#include "platform/runtime.h"

#include <cstdint>
#include <cstring>

CArcFile* g_pGraphicArc = nullptr;
CArcFile* g_pDataArc = nullptr;

const char* const CArcFile::kLooseExtensions[5] = {".cmp", ".ami", ".bmp", ".wav", ".ogg"};

namespace {
DWORD ReadU32(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

// Names are at most 15 characters: a name of 16 or more never matches, and a stored name that fills
// all 16 bytes (no NUL) matches nothing. Otherwise the lengths must agree, so a longer name never
// matches a prefix of a stored one.
bool NameMatches(const char (&stored)[CArcFile::kNameSize], const char* name) {
    const std::size_t length = strnlen(name, CArcFile::kNameSize);
    if (length >= CArcFile::kNameSize || strnlen(stored, CArcFile::kNameSize) != length) return false;
    return _strnicmp(stored, name, length) == 0;
}

long SizeOf(std::FILE* fp) {
    if (std::fseek(fp, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(fp);
    if (std::fseek(fp, 0, SEEK_SET) != 0) return -1;
    return size;
}
} // namespace

CArcFile::CArcFile(const char* path) : m_EntryCount(0), m_Opened(0), m_OpenFiles(0), m_ArchiveMode(0) {
    m_Path[0] = '\0';
    if (path) Open(path);
}

CArcFile::~CArcFile() {
    Clear();
}

void CArcFile::Clear() {
    m_Path[0] = '\0';
    m_Directory.clear();
    m_EntryCount = 0;
    // The count of handed-out files survives a reopen: those files are still the callers' and must
    // still be accepted back.
    m_ArchiveMode = 0;
}

bool CArcFile::Open(const char* path) {
    if (m_Opened) return false;
    m_Opened = 1;
    Clear();
    if (!path || std::strlen(path) >= sizeof m_Path) return false;

    if (_access(path, 0) != 0) {
        // Loose files lie beside where the archive would be.
        char drive[4], dir[MAX_PATH];
        _splitpath(path, drive, dir, nullptr, nullptr);
        const int n = std::snprintf(m_Path, sizeof m_Path, "%s%s", drive, dir);
        const std::size_t len = std::strlen(m_Path);
        // An empty folder stays empty: it means the current folder, not the root.
        if (n > 0 && len + 1 < sizeof m_Path && m_Path[len - 1] != '\\' && m_Path[len - 1] != '/') {
            m_Path[len] = '\\';
            m_Path[len + 1] = '\0';
        }
        m_ArchiveMode = 0;
        return true;
    }

    CopyBounded(m_Path, path);
    m_ArchiveMode = 1;
    std::FILE* fp = crt::fopen(path, "rb");
    if (!fp) return false;
    const long fileSize = SizeOf(fp);
    unsigned char header[kHeaderSize];
    if (fileSize < static_cast<long>(kHeaderSize) ||
        std::fread(header, 1, sizeof header, fp) != sizeof header || std::memcmp(header, "MAI\n", 4) != 0) {
        std::fclose(fp);
        return false;
    }
    // The count is only believed as far as the file can hold a directory of that size.
    const std::uint64_t count = ReadU32(header + 8);
    if (count > (static_cast<std::uint64_t>(fileSize) - kHeaderSize) / kEntrySize) {
        std::fclose(fp);
        return false;
    }
    std::vector<unsigned char> raw(static_cast<std::size_t>(count) * kEntrySize);
    const bool whole = raw.empty() || std::fread(raw.data(), 1, raw.size(), fp) == raw.size();
    std::fclose(fp);
    if (!whole) return false;

    m_Directory.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < m_Directory.size(); ++i) {
        const unsigned char* p = raw.data() + i * kEntrySize;
        ArcEntry& e = m_Directory[i];
        std::memcpy(e.name, p, kNameSize);
        e.offset = ReadU32(p + 16);
        e.size = ReadU32(p + 20);
        e.readPos = 0;
        e.keep = 0;
        e.inside = static_cast<std::uint64_t>(e.offset) + e.size <= static_cast<std::uint64_t>(fileSize);
    }
    m_EntryCount = static_cast<int>(count);
    return true;
}

void CArcFile::Close() {
    Clear();
    m_Opened = 0;
}

int CArcFile::FindEntry(const char* name) const {
    for (int i = 0; i < m_EntryCount; ++i) {
        const ArcEntry& e = m_Directory[static_cast<std::size_t>(i)];
        if (e.inside && NameMatches(e.name, name)) return i;
    }
    return -1;
}

std::FILE* CArcFile::OpenFile(const char* name, DWORD* size) {
    if (!m_Opened || !name) return nullptr;
    std::FILE* fp = nullptr;
    if (!m_ArchiveMode) {
        for (const char* ext : kLooseExtensions) {
            char candidate[MAX_PATH];
            const int n = std::snprintf(candidate, sizeof candidate, "%s%s%s", m_Path, name, ext);
            if (n < 0 || static_cast<std::size_t>(n) >= sizeof candidate) continue;
            if (_access(candidate, 0) != 0) continue;
            fp = crt::fopen(candidate, "rb");
            if (!fp) return nullptr;
            _stat_t st;
            if (size && _stat(candidate, &st) == 0) *size = static_cast<DWORD>(st.st_size);
            break;
        }
        if (!fp) return nullptr;
    } else {
        const int index = FindEntry(name);
        if (index < 0) return nullptr;
        fp = crt::fopen(m_Path, "rb");
        if (!fp) return nullptr;
        const ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
        if (std::fseek(fp, static_cast<long>(e.offset), SEEK_SET) != 0) {
            std::fclose(fp);
            return nullptr;
        }
        if (size) *size = e.size;
    }
    ++m_OpenFiles;
    return fp;
}

int CArcFile::CloseFile(std::FILE* file) {
    if (!file) return -1;
    int open = m_OpenFiles.load();
    do {
        if (open <= 0) return -1;
    } while (!m_OpenFiles.compare_exchange_weak(open, open - 1));
    std::fclose(file);
    return open - 1;
}

DWORD CArcFile::LoadEntry(const char* name, BOOL keep, int* index) {
    if (index) *index = -1;
    if (!m_Opened || !m_ArchiveMode || !name) return 0;
    const int found = FindEntry(name);
    if (found < 0) return 0;
    ArcEntry& e = m_Directory[static_cast<std::size_t>(found)];
    if (!e.data) {
        std::unique_ptr<BYTE[]> data(new BYTE[e.size ? e.size : 1]);
        std::FILE* fp = crt::fopen(m_Path, "rb");
        if (!fp) return 0;
        const bool ok = std::fseek(fp, static_cast<long>(e.offset), SEEK_SET) == 0 &&
                        std::fread(data.get(), 1, e.size, fp) == e.size;
        std::fclose(fp);
        if (!ok) return 0;
        e.data = std::move(data);
    }
    e.keep = keep ? 1 : 0;
    e.readPos = 0;
    if (index) *index = found;
    return e.size;
}

void* CArcFile::ReadEntry(void* buffer, DWORD n, int index) {
    if (!buffer || !ValidIndex(index)) return nullptr;
    ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
    if (!e.data || e.readPos >= e.size) return nullptr;
    const DWORD count = n < e.size - e.readPos ? n : e.size - e.readPos;
    std::memcpy(buffer, e.data.get() + e.readPos, count);
    e.readPos += count;
    return buffer;
}

void CArcFile::FreeEntry(int index) {
    if (!ValidIndex(index)) return;
    ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
    if (e.keep) return;
    e.data.reset();
    e.readPos = 0;
}

const BYTE* CArcFile::GetEntryPointer(int index) const {
    if (!ValidIndex(index)) return nullptr;
    const ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
    return e.data ? e.data.get() + e.readPos : nullptr;
}

bool CArcFile::SeekEntry(int index, DWORD pos) {
    if (!ValidIndex(index)) return false;
    ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
    if (!e.data || pos > e.size) return false;
    e.readPos = pos;
    return true;
}

void CArcFile::UnloadEntry(int index) {
    if (!ValidIndex(index)) return;
    ArcEntry& e = m_Directory[static_cast<std::size_t>(index)];
    e.data.reset();
    e.readPos = 0;
    e.keep = 0;
}

void CArcFile::UnloadAllEntries() {
    for (int i = 0; i < m_EntryCount; ++i)
        UnloadEntry(i);
}

namespace {
// The folder getters share one buffer: the joined path is copied out at once.
CArcFile* OpenGlobalArchive(const char* joined) {
    char path[MAX_PATH];
    if (CopyBounded(path, joined) >= sizeof path) return nullptr;
    auto* arc = new CArcFile;
    if (!arc->Open(path)) {
        delete arc;
        return nullptr;
    }
    return arc;
}

void CloseGlobalArchive(CArcFile*& arc) {
    if (!arc) return;
    arc->Close();
    delete arc;
    arc = nullptr;
}
} // namespace

void OpenArchives() {
    if (!g_pConfig) return;
    if (!g_pGraphicArc) g_pGraphicArc = OpenGlobalArchive(g_pConfig->GetSystemGraphicPath("graphic.arc"));
    if (!g_pDataArc) g_pDataArc = OpenGlobalArchive(g_pConfig->GetSystemDataPath("data.arc"));
}

void CloseArchives() {
    CloseGlobalArchive(g_pGraphicArc);
    CloseGlobalArchive(g_pDataArc);
}

std::FILE* OpenGraphicFile(const char* name) {
    return g_pGraphicArc && name ? g_pGraphicArc->OpenFile(name, nullptr) : nullptr;
}

std::FILE* OpenDataFile(const char* name) {
    return g_pDataArc && name ? g_pDataArc->OpenFile(name, nullptr) : nullptr;
}

void CloseGraphicFile(std::FILE* file) {
    if (g_pGraphicArc && file) g_pGraphicArc->CloseFile(file);
}

void CloseDataFile(std::FILE* file) {
    if (g_pDataArc && file) g_pDataArc->CloseFile(file);
}
