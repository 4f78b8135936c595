// A region mask entry of arbitrary bytes read by the extras from the data archive, then hit-tested.
#include "files/ArcFile.h"
#include "fuzz/ScratchFolder.h"
#include "screens/ExtraMode.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // No archive in the folder: the reader serves the entry as a loose file.
    static CArcFile* archive = new CArcFile(fuzzing::ScratchFolder().File("data.arc").c_str());
    if (!fixtures::WriteFileBytes(fuzzing::ScratchFolder().File("mask.bmp"), data, size)) return 0;
    g_pDataArc = archive;
    CExtraMode extras;
    if (extras.LoadMask("mask")) {
        for (int y = -1; y <= 481; y += 7)
            for (int x = -1; x <= 641; x += 11)
                (void)extras.HitTest(x, y);
    }
    g_pDataArc = nullptr;
    return 0;
}
