// Seed corpus for fuzz_system_save: system files written by the fixture writer, with and without a
// read-text table that matches the fuzz target's seed "at".
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
    // Must agree with the table of fuzz_system_save.cpp.
    const fixtures::ReadTextTableData table = {
        {"main", 0, {{10, 0}, {20, 1}}}, {"empty", 0, {}}, {"sub", 3, {{5, 0}}}};
    const auto seedSize = static_cast<std::uint32_t>(fixtures::ReadTextTableSize(table));

    fixtures::SystemRecordData plain;
    fixtures::SystemRecordData full;
    full.familyName = "\x8d\xb2\x93\xa1"; // 佐藤
    full.givenName = std::string(13, 'g');
    full.cgSeen = {0, 1, 100, 248};
    full.scenesSeen = {0, 79};
    full.nextSlot = 12;
    bool ok = true;
    ok &= fixtures::WriteFileBytes(folder + "seed_record", fixtures::SystemFileBytes(plain, nullptr, 0));
    ok &= fixtures::WriteFileBytes(folder + "seed_table", fixtures::SystemFileBytes(full, &table, seedSize));
    ok &= fixtures::WriteFileBytes(folder + "seed_stale_table",
                                   fixtures::SystemFileBytes(full, &table, seedSize + 1));
    return ok ? 0 : 1;
}
