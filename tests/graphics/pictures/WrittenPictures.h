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

// The colours a table of `stored` entries gives the depth: those entries, then black to a full table.
inline std::vector<std::uint32_t> Padded(const PictureDesc& s, std::size_t stored) {
    std::vector<std::uint32_t> p(std::size_t{1} << s.bitCount, 0);
    for (std::size_t i = 0; i < stored && i < p.size(); ++i)
        p[i] = s.palette[i];
    return p;
}

inline std::vector<Written> AllWrittenPictures() {
    std::vector<Written> all;
    using Table = std::vector<std::uint32_t>;
    const auto add = [&](std::string name, const PictureDesc& s, Bytes file, DWORD kind, Table table,
                         Bytes plane = {}) {
        all.push_back({std::move(name), s, std::move(file), kind, std::move(table), std::move(plane)});
    };
    const auto tag = [](const char* test, int depth, int a, int b = -1) {
        return std::string(test) + " " + std::to_string(depth) + " " + std::to_string(a) + " " +
               std::to_string(b);
    };
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        const bool masked = depth == 16 || depth == 32, indexed = depth <= 8;
        for (int width : {1, 2, 3, 5, 7, 8, 13}) {
            const PictureDesc s = fixtures::MakeTestPicture(width, 3, depth, depth * 100 + width);
            const Table colours = masked    ? Table{s.redMask, s.greenMask, s.blueMask}
                                  : indexed ? s.palette
                                            : Table{};
            add(tag("BmpOfEveryDepthAndOddWidthsReadsBack", depth, width), s, fixtures::WriteBmp(s),
                kPictureKindBmp, colours);
            for (int v = 0; v < 4 && depth > 1; ++v) {
                const bool runLength = v & 1, padded = v & 2;
                // 3-byte units cannot code padded rows that are not a whole number of units.
                if (runLength && padded && depth == 24 && fixtures::DibRows(s, true).size() % 3) continue;
                add(tag("CmRawAndRunLengthPaddedAndPackedReadBack", depth, width, v), s,
                    fixtures::WriteCm(s, {runLength, padded, 1}), kPictureKindCm, colours);
                if (depth < 8 || width > 9) continue;
                fixtures::AmOptions o;
                o.planeKind = (v & 1) ? kPlaneKindWeights : kPlaneKindAlpha;
                o.colourRunLength = o.planePaddedRows = runLength;
                o.planeRunLength = o.paddedRows = padded;
                Bytes plane(static_cast<std::size_t>(width) * 3);
                for (std::size_t i = 0; i < plane.size(); ++i)
                    plane[i] = static_cast<std::uint8_t>((i * 29 + width) % (v & 1 ? 17 : 256));
                add(tag("AmColourAndBothPlaneKindsReadBack", depth, width, v), s,
                    fixtures::WriteAm(s, plane, o), kPictureKindAm, colours, plane);
            }
        }
        // The headers and tables that image tools write: 40, 108 and 124 bytes, 2, 20 and 256 entries
        // (at 16, 24 and 32 bits a table no pixel uses); the fixed layouts without bit fields.
        for (std::uint32_t header : {40u, 108u, 124u})
            for (int entries : {2, 20, 256}) {
                const PictureDesc s = fixtures::MakeTestPicture(5, 3, depth, depth + entries + header, true);
                const Table colours = indexed  ? Padded(s, static_cast<std::size_t>(entries))
                                      : masked ? Table{s.redMask, s.greenMask, s.blueMask}
                                               : Table{};
                add(tag("BmpWithToolHeadersAndShortTables", depth, header, entries), s,
                    fixtures::WriteBmp(s, {header, entries, true, entries == 20}), kPictureKindBmp, colours);
                if (masked && entries == 2)
                    add(tag("BmpWithoutBitFields", depth, header), s,
                        fixtures::WriteBmp(s, {header, 0, false}), kPictureKindBmp, colours);
            }
    }
    // "CM" and "AM" pictures that store fewer colours than the depth has.
    PictureDesc shortCm = fixtures::MakeTestPicture(7, 3, 8, 41),
                tinyAm = fixtures::MakeTestPicture(7, 3, 8, 42);
    shortCm.palette.resize(16);
    tinyAm.palette.resize(3);
    add("ShortStoredPalettesStillGiveAFullColourTable cm", shortCm, fixtures::WriteCm(shortCm, {true}),
        kPictureKindCm, Padded(shortCm, 16));
    add("ShortStoredPalettesStillGiveAFullColourTable am", tinyAm, fixtures::WriteAm(tinyAm, Bytes(21, 255)),
        kPictureKindAm, Padded(tinyAm, 3), Bytes(21, 255));
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
