#include "text/Kinsoku.h"

#include <cstring>

// Two-byte openers: ‘ “ （ 〔 ［ ｛ 〈 《 「 『 【
// Two-byte closers: ’ ” ） 〕 ］ ｝ 〉 》 」 』 】 、 。 ， ． ・ ： ； ？ ！ ー and the ideographic space.
// One-byte closers end with the half-width comma and full stop.
const KinsokuTableSet KinsokuTables = {
    "\x81\x65\x81\x67\x81\x69\x81\x6b\x81\x6d\x81\x6f\x81\x71\x81\x73\x81\x75\x81\x77\x81\x79",
    "\x81\x66\x81\x68\x81\x6a\x81\x6c\x81\x6e\x81\x70\x81\x72\x81\x74\x81\x76\x81\x78\x81\x7a"
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x46\x81\x47\x81\x48\x81\x49\x81\x5b\x81\x40",
    "([<{",
    ")]>}\xa4\xa1!?",
};

namespace {
bool InTable(const char* table, const char* ch, int width) {
    if (width == 1) return ch[0] != '\0' && std::strchr(table, ch[0]) != nullptr;
    // Whole two-byte characters only: a trail byte never matches the next lead byte.
    for (const char* p = table; p[0] && p[1]; p += 2)
        if (p[0] == ch[0] && p[1] == ch[1]) return true;
    return false;
}
} // namespace

bool IsLineOpener(const char* ch, int width) {
    return InTable(width == 2 ? KinsokuTables.twoByteOpeners : KinsokuTables.oneByteOpeners, ch, width);
}

bool IsLineCloser(const char* ch, int width) {
    return InTable(width == 2 ? KinsokuTables.twoByteClosers : KinsokuTables.oneByteClosers, ch, width);
}
