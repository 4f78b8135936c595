// The interpreter over arbitrary bytecode in two blocks, run frame by frame with a bounded number of
// instructions per pass, host commands carried out as the scene does.
#include "fuzz/ScratchFolder.h"
#include "fuzz/ScriptFuzzInput.h"
#include "script/GameScene.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzzing::ScratchFolder().File("interp.sct");
    if (!fixtures::WriteFileBytes(path, fuzzing::ScriptFromFuzzInput(data, size))) return 0;
    CGameScene scene;
    if (!scene.LoadScript(path.c_str())) return 0;
    scene.SetStepLimit(2000);
    for (int frame = 0; frame < 64 && !scene.IsHalted() && !scene.IsFinished(); ++frame) {
        if (scene.Execute() == 1) scene.DispatchCommand();
    }
    return 0;
}
