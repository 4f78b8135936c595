// Seed corpus for fuzz_script_interpreter: bytecode of small assembled blocks in the target's input
// form (settings byte, share byte, the code of "main" and of "b").
#include "script/ScriptFormat.h"
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
struct Seed {
    unsigned char settings;
    const char* main;
    const char* b;
};
const Seed kSeeds[] = {
    {0, "mov r1, #7\nadd r1, #5\nmul r1, r1\ndiv r1, #3\nmod r1, #4\nret\n", "ret\n"},
    {1, "mov r1, #0x80000004\nhost 0, 1\nmov r2, #1\nret\n", "mov r3, [0x80000014]\nret\n"},
    {0x82, "mov r1, #0x80000004\nhost 0, 1\nmov r1, #0x80000004\nhost 0, 1\nret\n",
     "add [0x80000018], #1\nmov r1, #0x8000000C\nhost 0, 1\nret\n"},
    {2, "mov r1, #10\nagain: sub r1, #1\njnz again\ncmp r1, #0\njz done\nnop\ndone: setx\nclrflags\nret\n",
     "ret\n"},
    {4, "mov r1, #3\nelem r1, #0x80000010\nmov [r1], #9\nmov [r1], [0x80000004]\nmov r2, [r1]\nret\n",
     "ret\n"},
    {0, "mov r1, #5\nmov r2, #2\nhost 0, 0\nmov r2, #9\nhost 0, 0\nret\n", "ret\n"},
    {8,
     "mov r1, #0x8000000C\nmov r2, #0x80000018\nmov r3, #0x80000018\nmov r4, #0x80000018\nhost 0, 10\n"
     "mov r1, #0x80000018\nhost 0, 11\nhost 2, 1\nret\n",
     "ret\n"},
    {0, "mov r1, r2\nmov [r1], [r2]\n.byte 0x03, 0x41, 0x42\n.byte 0x02, 0xE1, 0, 0, 0, 0x80\nret\n",
     "ret\n"},
    // Pictures: both graphics on their layers, then positions, rectangles and slides at the ends of
    // 32 bits.
    {0,
     "mov r1, #0x80000008\nhost 10, 4\nmov r1, #0x80000004\nhost 10, 4\n"
     "mov r1, #one\nmov r2, #small\nmov r3, #big\nhost 10, 8\n"
     "mov r1, #one\nmov r2, #big\nmov r3, #small\nmov r4, #small\nmov r5, #small\nmov r6, #big\n"
     "mov r7, #big\nhost 10, 9\n"
     "mov r1, #three\nmov r2, #ten\nmov r3, #ten\nhost 10, 6\n"
     "mov r1, #three\nmov r2, #big\nmov r3, #small\nmov r4, #one\nmov r5, #small\nmov r6, #small\n"
     "mov r7, #big\nmov r8, #big\nhost 10, 7\n"
     "mov r1, #one\nhost 10, 15\nmov r1, #one\nmov r2, #one\nmov r3, #big\nmov r4, #ten\nhost 10, 24\n"
     "mov r1, #0x80000004\nhost 10, 2\nmov r1, #0x80000004\nhost 10, 1\nmov r1, #one\nhost 10, 17\n"
     "ret\n"
     "one: .byte 1, 0, 0, 0\nthree: .byte 3, 0, 0, 0\nten: .byte 10, 0, 0, 0\n"
     "big: .byte 0xFF, 0xFF, 0xFF, 0x7F\nsmall: .byte 0, 0, 0, 0x80\n",
     "ret\n"},
    // Sounds: music and a looping effect by ID, fades with durations at the ends of 32 bits, a change
    // of music by name and a numbered voice.
    {0,
     "mov r1, #0x80000008\nmov r2, #one\nhost 20, 0\nmov r1, #0x80000004\nmov r2, #one\nhost 20, 2\n"
     "mov r1, #0x80000008\nmov r2, #one\nmov r3, #big\nhost 20, 9\n"
     "mov r1, #0x80000008\nmov r2, #small\nhost 20, 10\n"
     "mov r1, #0x80000004\nmov r2, #one\nmov r3, #small\nhost 20, 11\n"
     "mov r1, #0x80000004\nmov r2, #big\nhost 20, 12\n"
     "mov r1, #0x80000008\nmov r2, #small\nmov r3, #one\nhost 20, 13\n"
     "mov r1, #0x80000004\nhost 20, 4\nmov r1, #one\nmov r2, #big\nhost 20, 14\n"
     "ret\n"
     "one: .byte 1, 0, 0, 0\nbig: .byte 0xFF, 0xFF, 0xFF, 0x7F\nsmall: .byte 0, 0, 0, 0x80\n",
     "ret\n"},
};

// The code bytes of block 0 of an assembled one-block script.
bool CodeOf(const std::string& body, std::vector<unsigned char>* code) {
    fixtures::AssembledScript out;
    std::string error;
    if (!fixtures::AssembleScript(".block main\n" + body, &out, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    const unsigned char* record = out.file.data() + 32 + 8 + 8 + 8;
    const std::uint32_t offset = script_format::ReadU32(record + 19);
    const std::uint32_t size = script_format::ReadU32(record + 23);
    code->assign(out.file.begin() + offset, out.file.begin() + offset + size);
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    int n = 0;
    for (const Seed& seed : kSeeds) {
        std::vector<unsigned char> main, b;
        if (!CodeOf(seed.main, &main) || !CodeOf(seed.b, &b)) return 1;
        std::vector<unsigned char> input = {seed.settings, 0};
        const std::size_t total = main.size() + b.size();
        // The share byte that splits the rest where "b" begins.
        input[1] = static_cast<unsigned char>(total ? (main.size() * 255 + total - 1) / total : 0);
        input.insert(input.end(), main.begin(), main.end());
        input.insert(input.end(), b.begin(), b.end());
        if (!fixtures::WriteFileBytes(folder + "seed_" + std::to_string(n++), input)) return 1;
    }
    return 0;
}
