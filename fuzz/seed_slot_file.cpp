// Seed corpus for fuzz_slot_file: slot files written by the fixture writer.
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/SaveWriter.h"
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
    fixtures::SceneStateData state;
    state.speakerName = "name";
    state.layers[0] = {0, 0, 1, 1, 1, "bg01"};
    fixtures::ScriptStateData script;
    script.resumePc = 99;
    script.savedData = le::Pattern(64, 1);
    script.frames = {{"main", le::Pattern(16, 2), 40}, {"sub", le::Pattern(8, 3), 99}};
    const auto a = fixtures::SceneStateBytes(state);
    const auto b = fixtures::ScriptStateBytes(script);
    bool ok = true;
    ok &= fixtures::WriteFileBytes(folder + "seed_used", fixtures::SlotFileBytes(a, b));
    ok &= fixtures::WriteFileBytes(folder + "seed_unused", fixtures::SlotFileBytes(a, b, 0));
    ok &= fixtures::WriteFileBytes(folder + "seed_no_frames",
                                   fixtures::SlotFileBytes(a, fixtures::ScriptStateBytes({7, {}, {}})));
    // Blob A at offset 1, overlapping the header's end, and blob B inside it: any offsets inside the file
    // are read.
    std::vector<unsigned char> overlapping(545, 0x5A);
    le::Put32(overlapping, 0, 1);
    le::Put32(overlapping, 4, 533);
    le::Put32(overlapping, 8, 294);
    le::Put32(overlapping, 12, 43);
    ok &= fixtures::WriteFileBytes(folder + "seed_overlapping", overlapping);
    return ok ? 0 : 1;
}
