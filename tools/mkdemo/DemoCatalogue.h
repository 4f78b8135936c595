// Every entry of the demo game's archives: the pictures, masks and sounds the program loads by name,
// and those the demo scenario names. mkdemo writes exactly these; the demo tests read each of them back
// through the program's own readers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {
using Bytes = std::vector<std::uint8_t>;

enum class Archive { Graphic, Data, Mask, Sound, Se, Voice };
inline constexpr Archive kArchives[] = {Archive::Graphic, Archive::Data, Archive::Mask,
                                        Archive::Sound,   Archive::Se,   Archive::Voice};
const char* ArchiveFileName(Archive archive); // "graphic.arc", ...

enum class Kind {
    Picture,      // BMP or "CM"
    AlphaPicture, // "AM" with an alpha plane
    RuleMask,     // an 8-bit mask image of a screen transition
    RegionMask,   // a run-length packed hit map of the extras
    Music,        // Ogg Vorbis, streamed
    Sound,        // WAVE, held whole
};

// How a picture is stored.
enum class Format { Cm8, Bmp8, Am8 };

struct Asset;
using Builder = Bytes (*)(const Asset&);

struct Asset {
    Archive archive;
    std::string name;
    Kind kind;
    int width = 0; // pictures and masks
    int height = 0;
    Format format = Format::Cm8;
    int param = 0; // what the builder needs besides the name: a CG number, a track, a seed
    Builder build = nullptr;
};

// In the order mkdemo writes them, archive by archive.
const std::vector<Asset>& Catalogue();

inline constexpr int kCgCount = 249;
extern const std::array<const char*, kCgCount> kCgNames;
inline constexpr int kCgPerPage = 24;
inline constexpr int kGalleryPages = 11;
} // namespace demo
