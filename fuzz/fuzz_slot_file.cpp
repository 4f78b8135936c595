// A slot file over arbitrary bytes: the header, both blobs, and the scan the save/load menu makes.
#include "files/Config.h"
#include "files/SaveData.h"
#include "fuzz/ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    // The reader promises a state record of 533 bytes and a script blob of at least one, each the bytes
    // of the file at the offset its header names, wherever in the file that is.
    if (save.ReadSlot()) {
        DWORD lengthA = 0, lengthB = 0;
        const BYTE* a = save.GetStateBlob(&lengthA);
        const BYTE* b = save.GetScriptBlob(&lengthB);
        const SlotFileHeader header = save.GetSlotHeader();
        if (!a || !b || lengthA != CSaveData::kSceneStateRecordSize || lengthB == 0 ||
            lengthA != header.lengthA || lengthB != header.lengthB ||
            header.offsetA + std::uint64_t{lengthA} > size ||
            header.offsetB + std::uint64_t{lengthB} > size ||
            std::memcmp(a, data + header.offsetA, lengthA) != 0 ||
            std::memcmp(b, data + header.offsetB, lengthB) != 0)
            std::abort();
    }
    save.ResetSlot();
    return 0;
}
