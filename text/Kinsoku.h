// The line-breaking tables: characters that may not end a line (openers) and characters that may
// not begin one (closers), each as whole Shift-JIS characters.
#pragma once

struct KinsokuTableSet {
    const char* twoByteOpeners;
    const char* twoByteClosers;
    const char* oneByteOpeners;
    const char* oneByteClosers;
};
extern const KinsokuTableSet KinsokuTables;

// `ch` holds one character of `width` bytes (1 or 2).
bool IsLineOpener(const char* ch, int width);
bool IsLineCloser(const char* ch, int width);
