// Every picture our writers produce, in every depth, coding and layout the readers take: what a reader
// must give back for each, shared by the reader and the picture-object tests.
#pragma once

#include "graphics/PictureFile.h"
#include "tools/fixtures/PictureWriter.h"

#include <string>
#include <vector>

namespace graphics_test {
using fixtures::Bytes;
using fixtures::PictureDesc;

struct Written {
    std::string name;
    PictureDesc desc;
    Bytes file;
    DWORD kind;
    std::vector<std::uint32_t> palette; // what a loaded table holds: colours padded black, or masks
    Bytes plane;
};

inline Bytes PlaneFor(const PictureDesc& s, int limit) {
    Bytes plane(static_cast<std::size_t>(s.width) * s.height);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = static_cast<std::uint8_t>((i * 29 + s.width) % (limit + 1));
    return plane;
}

// The colours a table of `stored` entries gives the depth: those entries, then black to a full table.
inline std::vector<std::uint32_t> Padded(const PictureDesc& s, std::size_t stored) {
    std::vector<std::uint32_t> p(std::size_t{1} << s.bitCount, 0);
    for (std::size_t i = 0; i < stored && i < p.size(); ++i)
        p[i] = s.palette[i];
    return p;
}

inline std::vector<Written> AllWrittenPictures() {
    std::vector<Written> all;
    auto tag = [](const char* test, int depth, int width) {
        return std::string(test) + " d" + std::to_string(depth) + " w" + std::to_string(width);
    };
    const std::vector<std::uint32_t> fixed555 = {0x7C00, 0x03E0, 0x001F};
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        const bool masked = depth == 16 || depth == 32, indexed = depth <= 8;
        for (int width : {1, 2, 3, 5, 7, 8, 13}) {
            const PictureDesc s = fixtures::MakeTestPicture(width, 3, depth, depth * 100 + width);
            const auto colours = masked    ? std::vector<std::uint32_t>{s.redMask, s.greenMask, s.blueMask}
                                 : indexed ? s.palette
                                           : std::vector<std::uint32_t>{};
            all.push_back({tag("BmpOfEveryDepthAndOddWidthsReadsBack", depth, width),
                           s,
                           fixtures::WriteBmp(s),
                           kPictureKindBmp,
                           colours,
                           {}});
            for (int v = 0; v < 4 && depth > 1; ++v) {
                const bool runLength = v & 1, padded = v & 2;
                // 3-byte units cannot code padded rows that are not a whole number of units.
                if (runLength && padded && depth == 24 && fixtures::DibRows(s, true).size() % 3) continue;
                all.push_back(
                    {tag("CmRawAndRunLengthPaddedAndPackedReadBack", depth, width) + " v" + std::to_string(v),
                     s,
                     fixtures::WriteCm(s, {runLength, padded, 1}),
                     kPictureKindCm,
                     colours,
                     {}});
                if (depth < 8 || width > 9) continue;
                fixtures::AmOptions o;
                o.planeKind = (v & 1) ? kPlaneKindWeights : kPlaneKindAlpha;
                o.colourRunLength = runLength;
                o.planeRunLength = !runLength;
                o.paddedRows = padded;
                o.planePaddedRows = !padded;
                const Bytes plane = PlaneFor(s, o.planeKind == kPlaneKindWeights ? 16 : 255);
                all.push_back(
                    {tag("AmColourAndBothPlaneKindsReadBack", depth, width) + " v" + std::to_string(v), s,
                     fixtures::WriteAm(s, plane, o), kPictureKindAm, colours, plane});
            }
        }
        // The headers and tables that image tools write: 40, 108 and 124 bytes, 2, 20 and 256 entries
        // (at 16, 24 and 32 bits a table no pixel uses).
        for (std::uint32_t header : {40u, 108u, 124u})
            for (int entries : {2, 20, 256}) {
                const PictureDesc s = fixtures::MakeTestPicture(5, 3, depth, depth + entries + header, true);
                std::vector<std::uint32_t> colours =
                    indexed ? Padded(s, static_cast<std::size_t>(entries)) : fixed555;
                if (depth == 32) colours = {s.redMask, s.greenMask, s.blueMask};
                if (depth == 24) colours.clear();
                all.push_back({"BmpWithToolHeadersAndShortTables d" + std::to_string(depth) + " h" +
                                   std::to_string(header) + " t" + std::to_string(entries),
                               s,
                               fixtures::WriteBmp(s, {header, entries, true, entries == 20}),
                               kPictureKindBmp,
                               colours,
                               {}});
            }
        if (masked) { // no bit fields: the fixed 5-5-5 and 8-8-8 layouts
            const PictureDesc s = fixtures::MakeTestPicture(6, 2, depth, depth, true);
            all.push_back({"BmpWithoutBitFields d" + std::to_string(depth),
                           s,
                           fixtures::WriteBmp(s, {124, 0, false}),
                           kPictureKindBmp,
                           {s.redMask, s.greenMask, s.blueMask},
                           {}});
        }
    }
    // "CM" and "AM" pictures that store fewer colours than the depth has.
    PictureDesc shortCm = fixtures::MakeTestPicture(7, 3, 8, 41);
    shortCm.palette.resize(16);
    all.push_back({"ShortStoredPalettesStillGiveAFullColourTable cm",
                   shortCm,
                   fixtures::WriteCm(shortCm, {true}),
                   kPictureKindCm,
                   Padded(shortCm, 16),
                   {}});
    PictureDesc tinyAm = fixtures::MakeTestPicture(7, 3, 8, 42);
    tinyAm.palette.resize(3);
    all.push_back({"ShortStoredPalettesStillGiveAFullColourTable am", tinyAm,
                   fixtures::WriteAm(tinyAm, Bytes(21, 255)), kPictureKindAm, Padded(tinyAm, 3),
                   Bytes(21, 255)});
    return all;
}

// The colour pixel (x, y) shows once loaded: through the table the reader gives (short tables padded
// black), or through the masks.
inline std::uint32_t LoadedColour(const Written& w, int x, int y) {
    PictureDesc d = w.desc;
    if (d.bitCount <= 8) d.palette = w.palette;
    return fixtures::PictureColour(d, x, y);
}
} // namespace graphics_test
