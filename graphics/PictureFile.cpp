#include "graphics/PictureFile.h"

#include "platform/files.h"

#include <cstring>

std::uint64_t PackedLineBytes(std::uint64_t width, DWORD bitCount) {
    switch (bitCount) {
    case 1:
        return (width + 7) / 8;
    case 4:
        return (width + 1) / 2;
    case 8:
    case 16:
    case 24:
    case 32:
        return width * (bitCount / 8);
    default:
        return 0;
    }
}

int RunLengthUnitBytes(DWORD bitCount) {
    switch (bitCount) {
    case 4:
    case 8:
        return 1;
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

DWORD NeededPaletteEntries(DWORD bitCount) {
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    case 16:
    case 32:
        return 3;
    default:
        return 0;
    }
}

bool IsPictureInfoUsable(const PictureInfo& info) {
    // One bit a pixel exists only in BMP: "CM" and "AM" data has no run-length unit for it.
    const bool knownDepth = info.kind == kPictureKindBmp ? PackedLineBytes(1, info.bitCount) != 0
                                                         : RunLengthUnitBytes(info.bitCount) != 0;
    if (!knownDepth) return false;
    if (info.width == 0 || info.height == 0 || info.width > kMaxPictureSide || info.height > kMaxPictureSide)
        return false;
    if (PaddedLineBytes(info.width, info.bitCount) * info.height > kMaxPictureBytes) return false;
    if (info.paletteEntries > kMaxPaletteEntries) return false;
    if ((info.bitCount == 16 || info.bitCount == 32) && info.paletteEntries < 3) return false;
    return true;
}

BITMAPINFOHEADER MakeInfoHeader(const PictureInfo& info) {
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = static_cast<LONG>(info.width);
    h.biHeight = static_cast<LONG>(info.height);
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(info.bitCount);
    h.biCompression = (info.bitCount == 16 || info.bitCount == 32) ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(PaddedLineBytes(info.width, info.bitCount) * info.height);
    h.biXPelsPerMeter = 72;
    h.biYPelsPerMeter = 72;
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return h;
}

namespace picture_io {
StreamMark::StreamMark(std::FILE* fp, BOOL keepPosition)
    : m_File(fp), m_Start(fp ? std::ftell(fp) : -1), m_Keep(keepPosition) {}

StreamMark::~StreamMark() {
    if (m_File && m_Start >= 0 && !m_Keep) std::fseek(m_File, m_Start, SEEK_SET);
}

bool StreamMark::SeekFromStart(std::uint64_t offset) const {
    if (!m_File || m_Start < 0) return false;
    const std::uint64_t to = static_cast<std::uint64_t>(m_Start) + offset;
    if (to > static_cast<std::uint64_t>(0x7FFFFFFFFFFFFFFFll)) return false;
    return std::fseek(m_File, static_cast<long>(to), SEEK_SET) == 0;
}

PathStream::PathStream(const char* path) : fp(path ? crt::fopen(path, "rb") : nullptr) {}

PathStream::~PathStream() {
    if (fp) std::fclose(fp);
}

bool ReadExact(std::FILE* fp, void* dst, std::size_t n) {
    if (n == 0) return true;
    return fp && std::fread(dst, 1, n, fp) == n;
}

bool PeekMagic(std::FILE* fp, char magic[2]) {
    if (!fp) return false;
    const long at = std::ftell(fp);
    if (at < 0) return false;
    const bool ok = ReadExact(fp, magic, 2);
    std::fseek(fp, at, SEEK_SET);
    return ok;
}

bool DecodeRunLengthStream(std::FILE* fp, DWORD storedSize, int unitBytes, BYTE* out, std::size_t capacity,
                           std::size_t* produced) {
    *produced = 0;
    if (!fp || unitBytes < 1 || unitBytes > 4) return false;
    std::uint64_t consumed = 0;
    std::size_t written = 0;
    do {
        const int control = std::fgetc(fp);
        if (control == EOF) return false;
        consumed += 1;
        if (control < 128) {
            const std::size_t bytes = static_cast<std::size_t>(control) * unitBytes;
            if (bytes > capacity - written) return false;
            if (!ReadExact(fp, out + written, bytes)) return false;
            written += bytes;
            consumed += bytes;
        } else {
            BYTE unit[4];
            if (!ReadExact(fp, unit, unitBytes)) return false;
            consumed += unitBytes;
            const std::size_t count = static_cast<std::size_t>(control - 128);
            if (count * unitBytes > capacity - written) return false;
            if (unitBytes == 1) {
                std::memset(out + written, unit[0], count);
                written += count;
            } else {
                for (std::size_t i = 0; i < count; ++i, written += unitBytes)
                    std::memcpy(out + written, unit, unitBytes);
            }
        }
    } while (consumed < storedSize);
    *produced = written;
    return true;
}
} // namespace picture_io
