// An in-memory picture opened as a stdio stream, as the archives hand pictures out.
#pragma once

#include "tools/fixtures/PictureWriter.h"

#include <cstdio>

class PictureStream {
  public:
    // A leading offset puts the picture inside a larger file, as in an archive.
    explicit PictureStream(const fixtures::Bytes& bytes, std::size_t leading = 0) : m_Bytes(leading, 0xCC) {
        m_Bytes.insert(m_Bytes.end(), bytes.begin(), bytes.end());
        // fmemopen wants at least one byte; an empty picture is read from the end of one.
        const bool empty = m_Bytes.empty();
        if (empty) m_Bytes.push_back(0);
        m_File = fmemopen(m_Bytes.data(), m_Bytes.size(), "rb");
        if (m_File) std::fseek(m_File, empty ? 1 : static_cast<long>(leading), SEEK_SET);
    }
    ~PictureStream() {
        if (m_File) std::fclose(m_File);
    }
    PictureStream(const PictureStream&) = delete;
    PictureStream& operator=(const PictureStream&) = delete;
    std::FILE* get() const { return m_File; }

  private:
    fixtures::Bytes m_Bytes;
    std::FILE* m_File;
};
