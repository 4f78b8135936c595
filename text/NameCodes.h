// The name codes of scenario text ("#fn" family name, "#sn" given name, "#nn" nickname) and the
// Shift-JIS rule that every walk over text in the program follows.
#pragma once

#include "platform/base.h"

#include <cstddef>
#include <string>

// The first byte of a two-byte Shift-JIS character: 0x81-0x9F and 0xE0-0xFC.
inline bool IsLeadByte(BYTE b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes of the character that starts at `text`, looking at no more than `available` bytes: 2 for a lead
// byte and its trail byte, 1 for any other byte, 0 at the NUL or the end. A lead byte whose trail byte
// is missing is no character: the walk ends there and never reads past the terminator.
inline int CharLength(const char* text, std::size_t available = 2) {
    if (available == 0 || text[0] == '\0') return 0;
    if (!IsLeadByte(static_cast<BYTE>(text[0]))) return 1;
    return (available >= 2 && text[1] != '\0') ? 2 : 0;
}

// One row of the table shared by every message window; a replacement never set counts as empty.
struct NameCode {
    const char* code; // the two letters after "#", matched without regard to case
    std::string replacement;
};
inline constexpr int kNameCodeCount = 3;
extern NameCode NameCodeTable[kNameCodeCount];

// Copies `text` into `out` (`size` bytes with the NUL) with every name code replaced; any other "#"
// passes through. The result is cut before the first character that would not fit. Its length.
std::size_t ExpandNameCodes(const char* text, char* out, std::size_t size);

// The whole characters of `text` that fit in `maxBytes`, NUL-terminated (`out` holds maxBytes + 1).
std::size_t CopyWholeChars(char* out, const char* text, std::size_t maxBytes);
