#include "text/NameCodes.h"

#include "text/MessageWindow.h"

#include <cctype>
#include <cstring>

NameCode NameCodeTable[kNameCodeCount] = {{"fn", {}}, {"sn", {}}, {"nn", {}}};

namespace {
const NameCode* MatchCode(const char* at) {
    if (at[0] == '\0' || at[1] == '\0') return nullptr;
    for (const NameCode& row : NameCodeTable) {
        if (std::tolower(static_cast<unsigned char>(at[0])) == row.code[0] &&
            std::tolower(static_cast<unsigned char>(at[1])) == row.code[1])
            return &row;
    }
    return nullptr;
}

// Appends the whole characters of `text` that fit; false when one did not.
bool AppendChars(const char* text, std::size_t count, char* out, std::size_t size, std::size_t& length) {
    for (std::size_t i = 0; i < count;) {
        const int n = CharLength(text + i, count - i);
        if (n == 0) return true;
        if (length + n >= size) return false;
        std::memcpy(out + length, text + i, n);
        length += n;
        i += n;
    }
    return true;
}
} // namespace

std::size_t ExpandNameCodes(const char* text, char* out, std::size_t size) {
    if (!out || size == 0) return 0;
    std::size_t length = 0;
    bool fits = true;
    for (const char* p = text ? text : ""; fits && *p;) {
        const NameCode* code = *p == '#' ? MatchCode(p + 1) : nullptr;
        if (code) {
            fits = AppendChars(code->replacement.c_str(), code->replacement.size(), out, size, length);
            p += 3;
            continue;
        }
        const int n = CharLength(p);
        if (n == 0) break;
        fits = AppendChars(p, n, out, size, length);
        p += n;
    }
    out[length] = '\0';
    return length;
}

std::size_t CopyWholeChars(char* out, const char* text, std::size_t maxBytes) {
    std::size_t length = 0;
    AppendChars(text ? text : "", text ? std::strlen(text) : 0, out, maxBytes + 1, length);
    out[length] = '\0';
    return length;
}

void CMessageWindow::SetFamilyName(const char* text) {
    NameCodeTable[0].replacement = text ? text : "";
}

void CMessageWindow::SetGivenName(const char* text) {
    NameCodeTable[1].replacement = text ? text : "";
}

void CMessageWindow::SetNickName(const char* text) {
    NameCodeTable[2].replacement = text ? text : "";
}
