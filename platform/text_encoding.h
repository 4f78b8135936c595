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
