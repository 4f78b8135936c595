// Seed corpus for fuzz_arc_directory: archives written by the fixture writer.
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    namespace le = fixtures::le;
    const std::string folder = std::string(argv[1]) + "/";
    std::vector<std::vector<fixtures::ArcEntryData>> archives = {
        {},
        {{"sg004", le::Pattern(1100, 1)}},
        {{"Sg004", le::Pattern(40, 2)},
         {"sg004", le::Pattern(30, 3)},
         {"abcdefghijklmnop", le::Pattern(20, 4)}},
        {{"se000", {}}, {"bgm01", le::Pattern(2000, 5)}, {"mask01", le::Pattern(1040, 6)}},
    };
    int n = 0;
    for (const auto& entries : archives)
        if (!fixtures::WriteFileBytes(folder + "seed_" + std::to_string(n++), fixtures::ArcImage(entries)))
            return 1;
    // One damaged on purpose: the count claims more than the file holds.
    auto damaged = fixtures::ArcImage(archives[2]);
    le::Put32(damaged, fixtures::kArcCountOffset, 1000);
    return fixtures::WriteFileBytes(folder + "seed_damaged", damaged) ? 0 : 1;
}
