// "data00.sav" over arbitrary bytes: the record, its names and the read-text table after it, then the
// write on exit that puts the table back.
#include "files/Config.h"
#include "files/SaveData.h"
#include "fuzz/ScratchFolder.h"
#include "tools/fixtures/SaveWriter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
// The seed "at" the stored tables are checked against; the seed corpus uses the same table.
fixtures::ReadTextTableData FuzzSeedTable() {
    return {{"main", 0, {{10, 0}, {20, 1}}}, {"empty", 0, {}}, {"sub", 3, {{5, 0}}}};
}

CConfig& Setup() {
    static CConfig* config = [] {
        const fixtures::TempDir& dir = fuzzing::ScratchFolder();
        fixtures::WriteFileBytes(dir.File("at"), fixtures::SeedFileBytes(FuzzSeedTable()));
        auto* c = new CConfig;
        c->SetSaveDataPath(dir.ProgramPath().c_str());
        c->SetSystemDataPath(dir.ProgramPath().c_str());
        return c;
    }();
    return *config;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g_pConfig = &Setup();
    if (!fixtures::WriteFileBytes(fuzzing::ScratchFolder().File("data00.sav"), data, size)) return 0;
    CSaveData save;
    save.LoadSystemFile();
    if (std::strlen(save.GetFamilyName()) >= CSaveData::kNameSize) std::abort();
    if (std::strlen(save.GetGivenName()) >= CSaveData::kNameSize) std::abort();
    if (save.GetLastSavedSlot() < -1 || save.GetLastSavedSlot() > 30) std::abort();
    for (int i = -1; i <= CSaveData::kCGCount; ++i)
        save.IsCGSeen(i);
    for (int i = -1; i <= CSaveData::kSceneCount; ++i)
        save.IsSceneSeen(i);
    // Touch every entry the table claims, as the game scene would when it marks pages.
    ReadTextBlock* blocks = save.GetReadTextBlocks();
    ReadTextEntry** entries = save.GetReadTextEntries();
    for (DWORD b = 0; b < save.GetReadTextBlockCount(); ++b) {
        if (std::strlen(blocks[b].name) >= sizeof blocks[b].name) std::abort();
        for (DWORD e = 0; e < blocks[b].entryCount; ++e)
            entries[b][e].read = 1;
    }
    return 0; // the destructor writes the file back
}
