// A slot file over arbitrary bytes: the header, both blobs, and the scan the save/load menu makes.
#include "files/Config.h"
#include "files/SaveData.h"
#include "fuzz/ScratchFolder.h"

#include <cstdint>
#include <cstdlib>

namespace {
CConfig& Setup() {
    static CConfig* config = [] {
        auto* c = new CConfig;
        c->SetSaveDataPath(fuzzing::ScratchFolder().ProgramPath().c_str());
        c->SetSystemDataPath(fuzzing::ScratchFolder().ProgramPath().c_str());
        return c;
    }();
    return *config;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g_pConfig = &Setup();
    if (!fixtures::WriteFileBytes(fuzzing::ScratchFolder().File("data01.sav"), data, size)) return 0;
    CSaveData save; // never loaded: it writes nothing on exit
    // The scan looks up 31 files by name; once in a while is enough to keep it honest.
    static unsigned runs = 0;
    if (runs++ % 32 == 0) {
        BYTE used[CSaveData::kSlotCount];
        save.GetUsedSlots(used);
    }
    save.SelectSlot(0);
    if (save.ReadSlot()) {
        DWORD lengthA = 0, lengthB = 0;
        const BYTE* a = save.GetStateBlob(&lengthA);
        const BYTE* b = save.GetScriptBlob(&lengthB);
        if (!a || !b || lengthA != CSaveData::kSceneStateRecordSize || lengthA + 17ull > size ||
            lengthB > size)
            std::abort();
        unsigned sum = 0;
        for (DWORD i = 0; i < lengthA; ++i)
            sum += a[i];
        for (DWORD i = 0; i < lengthB; ++i)
            sum += b[i];
        (void)sum;
    }
    save.ResetSlot();
    return 0;
}
