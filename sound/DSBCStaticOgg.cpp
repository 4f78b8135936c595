#include "sound/DSBCStaticOgg.h"

#include "app/ErrorReport.h"
#include "sound/SoundMessages.h"

#include <cstring>

CDSBCStaticOgg::CDSBCStaticOgg() : m_Callbacks(MakeOggCallbacks()), m_DataStart(0), m_DataEnd(0) {}

CDSBCStaticOgg::~CDSBCStaticOgg() {
    Release();
}

int CDSBCStaticOgg::_GetOggInfo(WAVEFORMATEX* format, DWORD* bytes, DWORD* milliseconds) {
    return ReadOggInfo(&m_File, m_Callbacks, format, bytes, milliseconds);
}

int CDSBCStaticOgg::LoadSoundInfo(std::FILE* file, DWORD size) {
    static const char* const kTag = "CDSBCStaticOgg::LoadSoundInfo";
    if (!m_File.Assign(file, static_cast<LONG>(size))) {
        ErrorLog(kTag, "%s", kMsgFileAssign);
        return 0;
    }
    m_File.Seek(0, 0);
    if (!_GetOggInfo(&m_Format, &m_DataSize, &m_Length)) {
        ErrorLog(kTag, "%s", kMsgNotSound);
        m_File.Close();
        return 0;
    }
    m_DataStart = 0;
    m_DataEnd = static_cast<DWORD>(m_File.GetSize());
    return 1;
}

void CDSBCStaticOgg::ResetInfo() {
    m_DataStart = 0;
    m_DataEnd = 0;
}

void CDSBCStaticOgg::CloseFile() {
    m_File.Close();
}

int CDSBCStaticOgg::_DecodeAll(BYTE* out, DWORD n) {
    OggVorbis_File decoder;
    if (ov_open_callbacks(&m_File, &decoder, nullptr, 0, m_Callbacks) < 0) return 0;
    char buffer[4096];
    int result = 1;
    while (n > 0) {
        const long count = ov_read(&decoder, buffer, sizeof buffer, 0, 2, 1, nullptr);
        if (count == 0) break;
        if (count < 0) {
            result = 0;
            break;
        }
        if (n <= static_cast<DWORD>(count)) {
            std::memcpy(out, buffer, n);
            break;
        }
        std::memcpy(out, buffer, static_cast<std::size_t>(count));
        out += count;
        n -= static_cast<DWORD>(count);
    }
    ov_clear(&decoder);
    return result;
}

int CDSBCStaticOgg::LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE*, DWORD) {
    return _LoadWholeSound(mainFile, mainSize, "CDSBCStaticOgg::LoadSound", kMsgOggRead,
                           [&](BYTE* memory, DWORD n) {
                               m_File.Seek(0, 0);
                               return _DecodeAll(memory, n) != 0;
                           });
}
