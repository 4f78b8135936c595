// The script that fuzz_scene_state restores slots into, shared with its seed writer: block 0 "main"
// with a local area, a resident "sub" with another, and "leaf" without one, under a kept part of the
// data blob. An input is a state record of 533 bytes followed by the script state.
#pragma once

#include "tools/fixtures/ScriptAssembler.h"

#include <cstddef>
#include <string>

namespace fuzzing {
inline constexpr std::size_t kStateRecordSize = 533;
inline constexpr char kSceneStateScript[] = R"(
.data
.saved
g: .zero 12
.endsaved
.block main
 cmd 0, 1, "sub"
 ret
 .local
m: .zero 8
 .endlocal
.block sub, resident
 cmd 0, 1, "leaf"
 cmd 0, 1, "sub"
 ret
 .local
s: .zero 4
 .endlocal
.block leaf
 ret
)";
inline fixtures::AssembledScript SceneStateScript() {
    fixtures::AssembledScript out;
    std::string error;
    fixtures::AssembleScript(kSceneStateScript, &out, &error);
    return out;
}
} // namespace fuzzing
