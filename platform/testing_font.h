// Test interface of the fonts: glyph tests pin the font file so that pictures stay the same on every
// machine.
#pragma once

#include <string>

namespace platform::testing {
// Every font request resolves to this file; an empty path goes back to the fontconfig lookup.
void UseFontFile(const std::string& path);
// The Japanese Gothic face the tests pin: IPAGothic as Debian installs it.
inline const char* const kPinnedGothicFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
} // namespace platform::testing
