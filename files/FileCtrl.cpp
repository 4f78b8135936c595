#include "files/FileCtrl.h"

#include "platform/files.h"
#include "platform/runtime.h"

#include <cstdint>
#include <cstring>
#include <limits>

CFileCtrl::CFileCtrl() : m_Borrowed(0), m_File(nullptr), m_Access(0), m_Size(0), m_Start(0), m_End(0) {
    m_Path[0] = '\0';
}

CFileCtrl::~CFileCtrl() {
    Close();
}

bool CFileCtrl::Assign(std::FILE* file, LONG size) {
    if (!file || size <= 0) return false;
    // The previous window goes first: when it lay over the same FILE, closing it rewinds to its start,
    // and that is where the new window begins.
    Close();
    const long start = std::ftell(file);
    // Positions are 32-bit: a window that would end past 2 GiB cannot be described.
    if (start < 0 || static_cast<std::int64_t>(start) + size > std::numeric_limits<LONG>::max()) return false;
    m_Borrowed = 1;
    m_File = file;
    m_Access = GENERIC_READ;
    m_Size = static_cast<DWORD>(size);
    m_Start = static_cast<LONG>(start);
    m_End = m_Start + size;
    return true;
}

bool CFileCtrl::Open(const char* path, DWORD access) {
    if (!path || (access != GENERIC_READ && access != GENERIC_WRITE)) return false;
    Close();
    std::FILE* fp = crt::fopen(path, access == GENERIC_READ ? "rb" : "wb");
    if (!fp) return false;
    long length = 0;
    if (access == GENERIC_READ) {
        if (std::fseek(fp, 0, SEEK_END) != 0 || (length = std::ftell(fp)) < 0 ||
            length > std::numeric_limits<LONG>::max() || std::fseek(fp, 0, SEEK_SET) != 0) {
            std::fclose(fp);
            return false;
        }
    }
    CopyBounded(m_Path, path);
    m_Borrowed = 0;
    m_File = fp;
    m_Access = access;
    m_Size = static_cast<DWORD>(length);
    m_Start = 0;
    m_End = static_cast<LONG>(length);
    return true;
}

void CFileCtrl::Close() {
    if (m_File) {
        Seek(0, 0);
        if (!m_Borrowed) std::fclose(m_File);
    }
    m_Path[0] = '\0';
    m_Borrowed = 0;
    m_File = nullptr;
    m_Access = 0;
    m_Size = 0;
    m_Start = 0;
    m_End = 0;
}

bool CFileCtrl::Read(void* buffer, DWORD n) {
    if (!Readable() || !buffer) return false;
    const LONG pos = Tell();
    // A file moved outside the window by someone else gives nothing rather than foreign bytes.
    if (pos < 0 || static_cast<DWORD>(pos) >= m_Size) return false;
    const DWORD left = m_Size - static_cast<DWORD>(pos);
    const DWORD k = n < left ? n : left;
    if (k == 0) return false;
    return std::fread(buffer, 1, k, m_File) == k;
}

DWORD CFileCtrl::ReadTag() {
    // Read alone would accept the last one to three bytes and leave the rest of the tag undefined.
    const LONG pos = Tell();
    if (!Readable() || pos < 0 || static_cast<DWORD>(pos) > m_Size || m_Size - static_cast<DWORD>(pos) < 4)
        return 0;
    unsigned char b[4];
    if (!Read(b, 4)) return 0;
    return static_cast<DWORD>(b[0]) | static_cast<DWORD>(b[1]) << 8 | static_cast<DWORD>(b[2]) << 16 |
           static_cast<DWORD>(b[3]) << 24;
}

bool CFileCtrl::Seek(LONG offset, int origin) {
    if (!Readable()) return false;
    std::int64_t target;
    switch (origin) {
    case 0:
        target = static_cast<std::int64_t>(m_Start) + offset;
        break;
    case 1: {
        const long now = std::ftell(m_File);
        if (now < 0) return false;
        target = static_cast<std::int64_t>(now) + offset;
        break;
    }
    case 2:
        target = static_cast<std::int64_t>(m_End) - offset;
        break;
    default:
        return false;
    }
    if (target < m_Start) target = m_Start;
    if (target > m_End) target = m_End;
    return std::fseek(m_File, static_cast<long>(target), SEEK_SET) == 0;
}

LONG CFileCtrl::Tell() {
    if (!Readable()) return 0;
    const long now = std::ftell(m_File);
    if (now < 0) return -1;
    const std::int64_t rel = static_cast<std::int64_t>(now) - m_Start;
    if (rel < 0) return -1;
    return rel > std::numeric_limits<LONG>::max() ? std::numeric_limits<LONG>::max() : static_cast<LONG>(rel);
}

LONG CFileCtrl::GetSize() {
    if (!Readable()) return -1;
    return static_cast<LONG>(m_Size);
}

bool CFileCtrl::Write(const void* buffer, DWORD n) {
    if (!m_File || m_Access != GENERIC_WRITE || !buffer) return false;
    if (n == 0) return true;
    if (std::fwrite(buffer, 1, n, m_File) != n) return false;
    m_Size += n;
    m_End = static_cast<LONG>(m_Size);
    return true;
}
