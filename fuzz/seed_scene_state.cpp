// Seed corpus for fuzz_scene_state: records and script states for its script, written by the fixture
// writer.
#include "fuzz/SceneStateFuzzInput.h"
#include "tools/fixtures/LittleEndianBytes.h"
#include "tools/fixtures/SaveWriter.h"
#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    namespace le = fixtures::le;
    const std::string folder = std::string(argv[1]) + "/";
    fixtures::SceneStateData state;
    state.speakerName = "name";
    state.dayValue = 14;
    state.layers[0] = {0, 0, 1, 1, 1, "bg01"};
    const fixtures::ScriptStateData scripts[] = {
        {5, le::Pattern(12, 1), {{"main", le::Pattern(8, 2), 5}}},
        {0,
         le::Pattern(12, 3),
         {{"main", le::Pattern(8, 4), 5}, {"sub", le::Pattern(4, 5), 5}, {"leaf", {}, 0}}},
        {10,
         le::Pattern(12, 6),
         {{"main", le::Pattern(8, 9), 5}, {"sub", le::Pattern(4, 7), 10}, {"SUB", le::Pattern(4, 8), 10}}},
    };
    bool ok = true;
    int n = 0;
    for (const auto& script : scripts) {
        auto input = fixtures::SceneStateBytes(state);
        le::AppendBytes(input, fixtures::ScriptStateBytes(script));
        ok &= fixtures::WriteFileBytes(folder + "seed_" + std::to_string(n++), input);
    }
    return ok ? 0 : 1;
}
