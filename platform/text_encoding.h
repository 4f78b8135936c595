// The one place where text leaves Shift-JIS: glyphs and the terminal want Unicode, the input method
// delivers UTF-8.
#pragma once

#include <string>
#include <vector>

namespace platform {
// Invalid bytes become U+FFFD; never fails.
std::string SjisToUtf8(const std::string& sjis);
std::u32string SjisToUtf32(const std::string& sjis);
// Characters with no Shift-JIS form are dropped.
std::string Utf8ToSjis(const std::string& utf8);
// Each character of the UTF-8 text in Shift-JIS, in order: one or two bytes, or none for a character
// with no Shift-JIS form (and for each malformed sequence).
std::vector<std::string> Utf8ToSjisChars(const std::string& utf8);
} // namespace platform

// The wide-string conversion of the program's home platform. CP_ACP is the host's own code page, in
// which paths are held here (UTF-8); 932 is Shift-JIS. `bytes` -1 converts up to and with the NUL.
// The characters written (with the NUL when it was converted), the size needed when `wideChars` is 0,
// and 0 when the result does not fit or an argument is wrong.
enum : unsigned { CP_ACP = 0, CP_SJIS = 932, CP_UTF8 = 65001 };
int MultiByteToWideChar(unsigned codePage, unsigned long flags, const char* text, int bytes, wchar_t* wide,
                        int wideChars);
