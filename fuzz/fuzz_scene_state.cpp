// A slot's two blobs restored into a loaded scene: the state record, then the script state. A script
// state that is taken builds one of the same size and resume point, which is taken again and built
// again unchanged (names and a block's repeated local areas may differ from the input's only once).
#include "fuzz/SceneStateFuzzInput.h"
#include "fuzz/ScratchFolder.h"
#include "script/GameScene.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const std::string p = fuzzing::ScratchFolder().File("state.sct");
        fixtures::WriteFileBytes(p, fuzzing::SceneStateScript().file);
        return p;
    }();
    CGameScene scene;
    if (!scene.LoadScript(path.c_str())) std::abort();
    const std::size_t recordSize = size < fuzzing::kStateRecordSize ? size : fuzzing::kStateRecordSize;
    scene.RestoreStateRecord(data, static_cast<DWORD>(recordSize));
    const BYTE* blob = data + recordSize;
    const DWORD blobSize = static_cast<DWORD>(size - recordSize);
    if (scene.RestoreScriptState(blob, blobSize) != 1) return 0;
    DWORD size1 = 0, size2 = 0;
    const std::unique_ptr<BYTE[]> built1(scene.BuildScriptState(&size1));
    if (!built1 || size1 != blobSize || std::memcmp(built1.get(), blob, 5) != 0 ||
        scene.GetPc() != scene.GetResumePc() || scene.RestoreScriptState(built1.get(), size1) != 1)
        std::abort();
    const std::unique_ptr<BYTE[]> built2(scene.BuildScriptState(&size2));
    if (!built2 || size2 != size1 || std::memcmp(built1.get(), built2.get(), size1) != 0) std::abort();
    return 0;
}
