// Seed corpus for fuzz_at_table: read-text seed files written by the fixture writer.
#include "tools/fixtures/SaveWriter.h"
#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const fixtures::ReadTextTableData tables[] = {
        {},
        {{"main", 0, {{1, 0}}}},
        {{"main", 0, {{10, 0}, {20, 1}, {30, 0}}}, {"empty", 0, {}}, {std::string(17, 'x'), 9, {{5, 1}}}},
    };
    int n = 0;
    for (const auto& table : tables)
        if (!fixtures::WriteFileBytes(folder + "seed_" + std::to_string(n++), fixtures::SeedFileBytes(table)))
            return 1;
    return 0;
}
