// Seed corpus for fuzz_script_loader: scripts written by the fixture assembler.
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <string>

namespace {
const char* const kScripts[] = {
    ".block main\n    ret\n",
    R"(.sound bgm01, "bgm01.ogg", bgm
.graphic bg01, "bg01.cmp", 0, 0, 0, key
.global g, g, int
.data
g: .int 5
.saved
    .int 1, 2
.endsaved
.block main
    .line 1
    add [g], #1
    cmd 0, 1, "sub"
    .line 2
    cmd 0, 10, "g", =1, =0, =0
    cmd 2, 1
    ret
    .var v, slot, text
    .local
slot: .ptr txt
txt: .str "abc"
    .endlocal
.block sub, resident
    .line 7
    .vartable
    cmd 0, 1, "third"
    ret
.block third
    .linerec 9, 0, 0
    ret
)",
    R"(.data
.zero 32
.block main
again:
    mov r1, #0x80000004
    elem r1, #2
    mov [r1], #9
    sub [0x80000004], #1
    jnz again
    host 0, 0
)",
};
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    int n = 0;
    for (const char* source : kScripts) {
        std::string error;
        if (!fixtures::WriteAssembledScript(source, folder + "seed_" + std::to_string(n++), "", &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
