// Test interface of the fonts: glyph tests pin the font file so that pictures stay the same on every
// machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::testing {
// Every font request resolves to this file; an empty path goes back to the fontconfig lookup.
void UseFontFile(const std::string& path);
// Every font draws the Unicode character `ch` as this 1-bit picture (`bits[row * width + column]`, 1 lit),
// its top-left pixel at the top-left of the character's cell, so that a test knows each lit pixel.
// Empty `bits` forgets the character.
void UseTestGlyph(char32_t ch, int width, int rows, std::vector<std::uint8_t> bits);
void ClearTestGlyphs();
// The Japanese Gothic face the tests pin: IPAGothic as Debian installs it.
inline const char* const kPinnedGothicFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
} // namespace platform::testing
