// A read window [start, end) over a stdio file: the sound readers see an archive entry as a file of
// its own, with positions relative to its first byte and reads that stop at its last.
#pragma once

#include "platform/base.h"

#include <cstdio>

class CFileCtrl {
  public:
    static constexpr DWORD GENERIC_READ = 0x80000000u;
    static constexpr DWORD GENERIC_WRITE = 0x40000000u;

    CFileCtrl();
    virtual ~CFileCtrl();
    CFileCtrl(const CFileCtrl&) = delete;
    CFileCtrl& operator=(const CFileCtrl&) = delete;

    // A window of `size` bytes from the file's current position. The file stays the caller's: it is
    // never closed here. False for a null file or a size that is not above 0.
    bool Assign(std::FILE* file, LONG size);
    // Opens a file of its own: for GENERIC_READ the whole file is the window, for GENERIC_WRITE it is
    // created empty and only Write works on it.
    bool Open(const char* path, DWORD access);
    // Rewinds to the window's first byte, closes an owned file and clears the window.
    void Close();

    // Reads min(n, bytes left); false when nothing is left or the read falls short.
    bool Read(void* buffer, DWORD n);
    // The next four bytes as a little-endian number, 0 when fewer than four are left.
    DWORD ReadTag();
    // origin 0: from the start, 1: from the current position, 2: backwards from the end. The target
    // is kept within [start, end] in every direction, so no read ever leaves the window.
    bool Seek(LONG offset, int origin);
    // Position relative to the window's start; 0 on an empty window.
    LONG Tell();
    // The window's size; -1 on an empty window.
    LONG GetSize();

    // Only for a window opened with GENERIC_WRITE.
    bool Write(const void* buffer, DWORD n);
    // Empty for a window over a given file.
    const char* GetFileName() const { return m_Path; }

  private:
    bool Readable() const { return m_File && m_Access != GENERIC_WRITE; }

    char m_Path[MAX_PATH];
    DWORD m_Borrowed;
    std::FILE* m_File;
    DWORD m_Access;
    DWORD m_Size;
    LONG m_Start;
    LONG m_End;
};
