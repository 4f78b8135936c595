// The compiled-script loader over arbitrary bytes: header, chunk list, blob, block bodies and their
// tables; every block that loads is then loaded again on its own and run for a few bounded frames.
#include "fuzz/ScratchFolder.h"
#include "script/GameScene.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzzing::ScratchFolder().File("fuzz.sct");
    if (!fixtures::WriteFileBytes(path, data, size)) return 0;
    CGameScene scene;
    if (!scene.LoadScript(path.c_str())) return 0;
    for (int block = 1; block < scene.GetBlockCount() && block < 16; ++block)
        scene.LoadBlock(block, nullptr);
    scene.SetStepLimit(1000);
    for (int frame = 0; frame < 16 && !scene.IsHalted() && !scene.IsFinished(); ++frame) {
        if (scene.Execute() == 1) scene.DispatchCommand();
    }
    return 0;
}
