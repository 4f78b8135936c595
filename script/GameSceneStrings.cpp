// Host command group 1: Shift-JIS strings in the script's cells. Every write is cut to the area of
// its buffer; a text that does not end inside its area is a script error.
#include "script/GameScene.h"

#include <cstdio>
#include <cstring>

using script_format::IsSjisLead;

namespace {
enum : DWORD {
    kSubCopy = 0,
    kSubAppend = 1,
    kSubCompare = 2,
    kSubLength = 3,
    kSubSubString = 4,
    kSubToNumber = 5,
    kSubToText = 6,
    kSubToFullWidth = 7,
};

// "０" is 82 4F, "９" 82 58; the full-width minus "－" is 81 7C.
constexpr BYTE kFullWidthLead = 0x82;
constexpr BYTE kFullWidthZero = 0x4F;
constexpr char kFullWidthMinus[] = "\x81\x7C";

// Decimal digits with wrap-around arithmetic: a script's overlong number gives some number, never
// undefined behaviour.
DWORD ReadAsciiNumber(const char* text) {
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    DWORD value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + static_cast<DWORD>(*p - '0');
    return negative ? 0u - value : value;
}

DWORD ReadFullWidthNumber(const char* text) {
    const auto* p = reinterpret_cast<const BYTE*>(text);
    DWORD value = 0;
    for (; p[0] == kFullWidthLead && p[1] >= kFullWidthZero && p[1] <= kFullWidthZero + 9; p += 2)
        value = value * 10 + static_cast<DWORD>(p[1] - kFullWidthZero);
    return value;
}
} // namespace

void CGameScene::DispatchStrings(DWORD sub) {
    switch (sub) {
    case kSubCopy: {
        const char* source = ArgText(2);
        if (source && ArgBuffer(1, nullptr)) StoreText(1, source);
        break;
    }
    case kSubAppend: {
        const char* source = ArgText(2);
        const char* target = source ? ArgText(1) : nullptr;
        // Joined first: the two texts may be one and the same.
        if (target) StoreText(1, std::string(target) + source);
        break;
    }
    case kSubCompare: {
        const char* a = ArgText(1);
        const char* b = a ? ArgText(2) : nullptr;
        if (b) {
            const int order = std::strcmp(a, b);
            m_Registers[0] = static_cast<DWORD>(order < 0 ? -1 : (order > 0 ? 1 : 0));
        }
        break;
    }
    case kSubLength:
        if (const char* text = ArgText(1)) m_Registers[0] = static_cast<DWORD>(std::strlen(text));
        break;
    case kSubSubString:
        CmdSubString();
        break;
    case kSubToNumber:
        CmdStringToNumber();
        break;
    case kSubToText: {
        const DWORD value = Arg(2);
        if (m_bHalted) break;
        char text[16];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        StoreText(1, text);
        break;
    }
    case kSubToFullWidth:
        CmdNumberToString();
        break;
    default:
        break;
    }
}

void CGameScene::CmdSubString() {
    const char* source = ArgText(2);
    const LONG first = static_cast<LONG>(Arg(3));
    const LONG last = static_cast<LONG>(Arg(4));
    if (!source || m_bHalted || !ArgBuffer(1, nullptr)) return;
    // Both ends must lie inside the source text; an end before the start gives an empty text.
    const LONG length = static_cast<LONG>(std::strlen(source));
    if (first < 0 || first > length)
        return ReportBadIndex(static_cast<DWORD>(length), static_cast<DWORD>(first));
    if (last >= length) return ReportBadIndex(static_cast<DWORD>(length), static_cast<DWORD>(last));
    const LONG count = last >= first ? last - first + 1 : 0;
    StoreText(1, std::string(source + first, static_cast<std::size_t>(count)));
}

void CGameScene::CmdStringToNumber() {
    const char* text = ArgText(1);
    if (!text) return;
    m_Registers[0] =
        IsSjisLead(static_cast<BYTE>(text[0])) ? ReadFullWidthNumber(text) : ReadAsciiNumber(text);
}

void CGameScene::CmdNumberToString() {
    const DWORD value = Arg(2);
    if (m_bHalted) return;
    const bool negative = static_cast<LONG>(value) < 0;
    DWORD magnitude = negative ? 0u - value : value;
    std::string digits;
    do {
        digits.insert(0, 1, static_cast<char>(kFullWidthZero + magnitude % 10));
        digits.insert(0, 1, static_cast<char>(kFullWidthLead));
        magnitude /= 10;
    } while (magnitude);
    StoreText(1, (negative ? kFullWidthMinus : "") + digits);
}
