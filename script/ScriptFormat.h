// The compiled script file "MSC\n": header, chunk list of sound, graphic and block records, the data
// blob, and the block bodies with their variable and line tables. All numbers are little-endian; all
// names are NUL-terminated Shift-JIS in 17-byte fields.
#pragma once

#include "platform/base.h"

#include <cstring>

namespace script_format {
inline constexpr char kMagic[4] = {'M', 'S', 'C', '\n'};
inline constexpr DWORD kHeaderSize = 32;
inline constexpr DWORD kHeaderFormat1 = 8;     // must be 1
inline constexpr DWORD kHeaderFormat2 = 9;     // must be 0
inline constexpr DWORD kHeaderBlobSize = 10;   // u32 size of the data blob
inline constexpr DWORD kHeaderSavedStart = 14; // u32 offset of the saved area inside the blob
inline constexpr DWORD kHeaderSavedSize = 18;  // u32 length of the saved area

inline constexpr DWORD kChunkHeaderSize = 8; // u32 type, u32 record count
inline constexpr DWORD kChunkSound = 0;
inline constexpr DWORD kChunkGraphic = 1;
inline constexpr DWORD kChunkBlock = 3;

inline constexpr DWORD kNameSize = 17;
inline constexpr DWORD kSoundDefSize = 37;
inline constexpr DWORD kGraphicDefSize = 48;
inline constexpr DWORD kBlockRecordSize = 35;

// Block record table flags.
inline constexpr BYTE kHasVariables = 1;
inline constexpr BYTE kHasLines = 2;

// A variable table header: only its last four bytes (the entry count) mean anything.
inline constexpr DWORD kVariableHeaderSize = 264;
inline constexpr DWORD kVariableCountOffset = 260;
inline constexpr DWORD kVariableEntrySize = 22;
inline constexpr DWORD kLineRecordSize = 12;

// Addresses with this bit lie in the data blob; the other 31 bits are the offset.
inline constexpr DWORD kBlobAddress = 0x80000000u;

inline DWORD ReadU32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}
inline short ReadI16(const BYTE* p) {
    return static_cast<short>(static_cast<WORD>(p[0] | (p[1] << 8)));
}
inline void WriteU32(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v >> 16);
    p[3] = static_cast<BYTE>(v >> 24);
}
// True when the 17-byte field holds its terminator.
inline bool NameFits(const BYTE* field) {
    return std::memchr(field, 0, kNameSize) != nullptr;
}

inline bool IsSjisLead(BYTE c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// Block names, sound and graphic IDs match without regard to ASCII case. The second byte of a
// Shift-JIS character is compared as it is: it may lie among the capitals (ア is 83 41, ヂ 83 61),
// and folding it would make two different names one.
inline bool NamesMatch(const char* a, const char* b) {
    const auto* pa = reinterpret_cast<const BYTE*>(a);
    const auto* pb = reinterpret_cast<const BYTE*>(b);
    for (;;) {
        const BYTE ca = *pa++, cb = *pb++;
        if (ca == cb && IsSjisLead(ca)) {
            if (*pa != *pb) return false;
            if (*pa == 0) return true;
            ++pa;
            ++pb;
            continue;
        }
        const BYTE fa = (ca >= 'A' && ca <= 'Z') ? static_cast<BYTE>(ca + ('a' - 'A')) : ca;
        const BYTE fb = (cb >= 'A' && cb <= 'Z') ? static_cast<BYTE>(cb + ('a' - 'A')) : cb;
        if (fa != fb) return false;
        if (fa == 0) return true;
    }
}
} // namespace script_format

// A sound of the script's sound table; its ID is also the name handed to the sound manager.
struct SoundDef {
    char fileName[17];
    char id[17];
    signed char kind; // 0 sound effect (loop-SE channel), 1 background music, 2 voice
};

// A picture of the script's graphic table and where it goes on the screen.
struct GraphicDef {
    char fileName[17];
    char id[17];
    BYTE colorKey; // 1: drawn with its colour key
    short layer;
    short x;
    short y;
};

// A named cell of a block's (or the global) variable table, for the variable watch.
struct VariableEntry {
    char name[17];
    DWORD address; // bit 31: data blob offset, else offset into the block's code
    BYTE type;     // bits 0-1 non-zero: an integer
};

// The code offsets [firstPc, lastPc] compiled from one source line.
struct LineRecord {
    DWORD line;
    DWORD firstPc;
    DWORD lastPc;
};

// A block record as stored in the file.
struct BlockRecord {
    char name[17];
    BYTE resident;
    BYTE tableFlags;
    DWORD bodyOffset;
    DWORD codeSize;
    DWORD localOffset;
    DWORD localSize;
};
