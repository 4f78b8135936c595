// The read-text seed "at" over arbitrary bytes. The size check is set to the input's own size, so
// that every run reaches the counts and entries behind it.
#include "files/Config.h"
#include "files/SaveData.h"
#include "fuzz/ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
CConfig& Setup() {
    static CConfig* config = [] {
        const fixtures::TempDir& dir = fuzzing::ScratchFolder();
        auto* c = new CConfig;
        // No "data00.sav" in this folder, so the table always comes from the seed.
        c->SetSaveDataPath((dir.ProgramPath() + "none").c_str());
        c->SetSystemDataPath(dir.ProgramPath().c_str());
        return c;
    }();
    return *config;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g_pConfig = &Setup();
    std::vector<unsigned char> bytes(data, data + size);
    if (bytes.size() >= 8) {
        const auto n = static_cast<std::uint32_t>(bytes.size());
        std::memcpy(bytes.data() + 4, &n, 4);
    }
    if (!fixtures::WriteFileBytes(fuzzing::ScratchFolder().File("at"), bytes)) return 0;
    CSaveData save;
    if (!save.LoadReadTable()) return 0;
    ReadTextBlock* blocks = save.GetReadTextBlocks();
    ReadTextEntry** entries = save.GetReadTextEntries();
    // An accepted table never claims more bytes than the file has.
    std::uint64_t claimed = 8 + 25ull * save.GetReadTextBlockCount();
    for (DWORD b = 0; b < save.GetReadTextBlockCount(); ++b) {
        if (std::strlen(blocks[b].name) >= sizeof blocks[b].name) std::abort();
        for (DWORD e = 0; e < blocks[b].entryCount; ++e)
            entries[b][e].read ^= 1;
        claimed += 5ull * blocks[b].entryCount;
    }
    if (claimed > size) std::abort();
    return 0;
}
