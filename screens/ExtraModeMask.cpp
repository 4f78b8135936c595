// The extras' region masks: run-length packed hit maps in "data.arc", unpacked behind their header.
#include "screens/ExtraMode.h"

#include "app/ErrorReport.h"
#include "files/ArcFile.h"
#include "graphics/MaskImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

std::size_t DecodeRunLength(const BYTE* packed, std::size_t packedLength, int bitsPerUnit, BYTE* output,
                            std::size_t outputSize) {
    const std::size_t unit = bitsPerUnit > 0 ? static_cast<std::size_t>(bitsPerUnit) / 8 : 0;
    if (!packed || !output || unit == 0) return 0;
    std::size_t in = 0, out = 0;
    while (in < packedLength) {
        const BYTE count = packed[in++];
        if (count >= 128) {
            // The unit is taken even when it is written no time at all (a count of 128).
            if (packedLength - in < unit) break;
            const BYTE* value = packed + in;
            in += unit;
            const std::size_t times = count - 128u;
            if (times > (outputSize - out) / unit) break;
            for (std::size_t i = 0; i < times; ++i, out += unit)
                std::memcpy(output + out, value, unit);
        } else {
            const std::size_t bytes = count * unit;
            if (bytes > packedLength - in || bytes > outputSize - out) break;
            std::memcpy(output + out, packed + in, bytes);
            in += bytes;
            out += bytes;
        }
    }
    return out;
}

namespace {
// "領域マスクの読み込みに失敗しました"
const char kMaskLoadFailed[] = "\x97\xcc\x88\xe6\x83\x7d\x83\x58\x83\x4e\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82"
                               "\xdd\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
} // namespace

void CExtraMode::LeaveWithoutMask() {
    const bool masked = m_SubScreen == kGallery || m_SubScreen == kSceneList || m_SubScreen == kSoundRoom;
    if (!masked || m_pMaskBuffer || !m_pRectTable || m_nRectCount <= 0) return;
    const RECT back = m_pRectTable[m_nRectCount - 1];
    OnLButtonDown(back.left, back.top);
    OnLButtonUp(back.left, back.top);
}

void CExtraMode::FreeMask() {
    if (!m_pMaskBuffer) return;
    ReleaseMask();
    ResetInput();
    delete[] m_pMaskBuffer;
    m_pMaskBuffer = nullptr;
    m_MaskSize = 0;
}

bool CExtraMode::LoadMask(const char* name, int regionCount, const RECT* fallback) {
    FreeMask();
    // Until a mask is in place the regions are the sub-screen's own: none of an earlier screen's stay.
    ResetInput();
    m_pRectTable = fallback;
    m_nRectCount = fallback ? regionCount : 0;
    if (!ReadMask(name, regionCount)) {
        ErrorLog("CExtraMode::LoadMask", "%s %s", kMaskLoadFailed, name ? name : "");
        return false;
    }
    return true;
}

bool CExtraMode::ReadMask(const char* name, int regionCount) {
    DWORD entrySize = 0;
    std::FILE* file = g_pDataArc ? g_pDataArc->OpenFile(name, &entrySize) : nullptr;
    if (!file) return false;
    BYTE header[kMaskImageHeaderSize];
    MaskImageHeader h{};
    bool ok = entrySize >= sizeof header && std::fread(header, 1, sizeof header, file) == sizeof header &&
              ReadMaskImageHeader(header, sizeof header, &h);
    // The mask lies at 0,0 of the screen: one larger than it, or empty, is not a region mask.
    ok = ok && h.totalSize >= sizeof header && h.width >= 1 && h.width <= kMaxMaskWidth && h.height >= 1 &&
         h.height <= kMaxMaskHeight;
    std::vector<BYTE> packed;
    if (ok) {
        // The packed bytes end where the header says or where the entry does, whichever comes first.
        packed.resize(std::min(h.totalSize, entrySize) - sizeof header);
        packed.resize(std::fread(packed.data(), 1, packed.size(), file));
    }
    CloseDataFile(file);
    if (!ok) return false;

    const std::size_t pixels = std::size_t{h.width} * h.height;
    m_MaskSize = sizeof header + pixels;
    m_pMaskBuffer = new BYTE[m_MaskSize];
    std::memcpy(m_pMaskBuffer, header, sizeof header);
    // Pixels the packets leave unwritten belong to no region.
    std::memset(m_pMaskBuffer + sizeof header, kNoneValue, pixels);
    BYTE* values = m_pMaskBuffer + sizeof header;
    DecodeRunLength(packed.data(), packed.size(), 8, values, pixels);
    for (std::size_t i = 0; i < pixels; ++i)
        if (values[i] >= regionCount) values[i] = kNoneValue;
    if (!SetMask(m_pMaskBuffer, 0, 0, kNoneValue, 0, m_MaskSize)) {
        delete[] m_pMaskBuffer;
        m_pMaskBuffer = nullptr;
        m_MaskSize = 0;
        return false;
    }
    return true;
}
