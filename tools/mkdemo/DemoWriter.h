// Writes the demo game folder: the settings file, the six archives, the two compiled scenarios with the
// read-text seed, and the save folder.
#pragma once

#include "tools/mkdemo/DemoCatalogue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace demo {
// Every entry of the catalogue built, in catalogue order; the work is shared by a few threads, the
// result is the same whatever their number.
std::vector<Bytes> BuildAll(int threads);

// The settings the demo starts with for the program folder `programFolder` ('\\' separators, ending
// in '\\'): every folder the program folder, saves in its "SaveData", windowed, the opening movie on.
std::string DemoSettings(const std::string& programFolder);

// Writes the game into `folder` (made when missing). The game's files of an earlier run are replaced;
// the settings file "Quorin.ini" and the saves in "SaveData" are kept as they are. False with the reason
// in *error.
bool WriteDemoGame(const std::string& folder, std::string* error);

// A picture of the catalogue as the program's own reader decodes it; empty when there is none.
struct DecodedPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, rows top first
    std::vector<std::uint8_t> alpha; // "AM" pictures only, the same layout
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};
DecodedPicture DecodeCataloguePicture(const std::string& name);

// Every picture of the catalogue decoded by the program's own reader and written as FOLDER/NAME.png,
// for looking at the art; `only` (when not empty) keeps the names that begin with it.
bool WritePicturePreviews(const std::string& folder, const std::string& only, std::string* error);
} // namespace demo
