// The fixture assembler and disassembler: exact encodings, the read-text seed, errors, and the round
// trip text -> bytes -> text -> the same bytes.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"
#include "roundtrip_sample.h"
#include "tools/fixtures/ScriptDisassembler.h"

#include <string>

namespace {
std::vector<unsigned char> CodeOf(const std::string& body) {
    fixtures::AssembledScript out;
    std::string error;
    EXPECT_TRUE(fixtures::AssembleScript(".block main\n" + body + "\n", &out, &error)) << error;
    // One block, no sounds or graphics, no blob: the body follows the block record.
    const std::size_t body0 = 32 + 8 + 8 + 8 + 35;
    return std::vector<unsigned char>(out.file.begin() + static_cast<long>(body0), out.file.end());
}
std::string AssembleError(const std::string& source) {
    fixtures::AssembledScript out;
    std::string error;
    EXPECT_FALSE(fixtures::AssembleScript(source, &out, &error));
    return error;
}
using V = std::vector<unsigned char>;
} // namespace

TEST(ScriptAssembler, EncodesEachOperandForm) {
    EXPECT_EQ(CodeOf("mov r1, r2"), (V{0x03, 0x01, 0x02}));
    EXPECT_EQ(CodeOf("add r1, [r2]"), (V{0x05, 0x01, 0x42}));
    EXPECT_EQ(CodeOf("mov [r15], [r3]"), (V{0x03, 0x4F, 0x43}));
    EXPECT_EQ(CodeOf("mov r0, #5"), (V{0x02, 0x80, 5, 0, 0, 0}));
    EXPECT_EQ(CodeOf("mov [r2], [0x80000004]"), (V{0x02, 0xB2, 4, 0, 0, 0x80}));
    EXPECT_EQ(CodeOf("sub [8], r3"), (V{0x06, 0xE3, 8, 0, 0, 0}));
    EXPECT_EQ(CodeOf("sub [8], [r3]"), (V{0x06, 0xF3, 8, 0, 0, 0}));
    EXPECT_EQ(CodeOf("mov [0x80000000], [0x80000004]"), (V{0x02, 0x04, 0, 0, 0, 0x80, 4, 0, 0, 0x80}));
    EXPECT_EQ(CodeOf("cmp2 [1], #-1"), (V{0x30, 0x00, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(CodeOf("x: jnz x"), (V{0x44, 0, 0, 0, 0}));
    EXPECT_EQ(CodeOf("ret2\nclrflags\nsetx\nsetz\nsetp\nclrx\nclrz\nclrp\nnop"),
              (V{0x48, 0x50, 0x52, 0x54, 0x56, 0x58, 0x5A, 0x5C, 0x00}));
    EXPECT_EQ(CodeOf("host 201, 0x10203"), (V{0xA0, 201, 3, 2, 1, 0}));
    EXPECT_EQ(CodeOf("cmd 5, 1, 4, 8"),
              (V{0x02, 0x81, 4, 0, 0, 0, 0x02, 0x82, 8, 0, 0, 0, 0xA0, 5, 1, 0, 0, 0}));
}

TEST(ScriptAssembler, StoresTextAsShiftJis) {
    fixtures::AssembledScript out;
    std::string error;
    ASSERT_TRUE(fixtures::AssembleScript(".data\n.str \"ソ表\\x41\\n\"\n.block main\n", &out, &error))
        << error;
    const std::string expected = platform::Utf8ToSjis("ソ表") + "A\n";
    const std::string file(out.file.begin(), out.file.end());
    EXPECT_NE(file.find(expected + '\0'), std::string::npos);
}

TEST(ScriptAssembler, ReportsErrorsWithTheirLine) {
    EXPECT_EQ(AssembleError(".block main\n    frob r1\n"), "line 2: unknown instruction frob");
    EXPECT_EQ(AssembleError(".block main\n    mov #1, r1\n"), "line 2: an immediate cannot be a destination");
    EXPECT_EQ(AssembleError(".block main\n\n    jmp nowhere\n"), "line 3: unknown symbol nowhere");
    EXPECT_EQ(AssembleError(".block abcdefghijklmnopq\n"), "line 1: name longer than 16 bytes");
    EXPECT_EQ(AssembleError(".data\n.str \"\xF0\x9F\x98\x80\"\n.block main\n"),
              "line 2: text has a character with no Shift-JIS form");
    EXPECT_EQ(AssembleError(".data\n.int 1\n"), "line 3: no .block");
    EXPECT_EQ(AssembleError(".block main\n    mov r16, r1\n").substr(0, 7), "line 2:");
    EXPECT_EQ(AssembleError(".block main\n    .byte 256\n"), "line 2: value 256 out of range");
    EXPECT_EQ(AssembleError(".block main\na:\na:\n"), "line 3: label defined twice in this block: a");
}

TEST(ScriptAssembler, RoundTripsThroughTheDisassembler) {
    fixtures::AssembledScript first;
    std::string error;
    ASSERT_TRUE(fixtures::AssembleScript(kEverythingScript, &first, &error)) << error;
    std::string text;
    ASSERT_TRUE(fixtures::DisassembleScript(first.file, &text, &error)) << error;
    fixtures::AssembledScript second;
    ASSERT_TRUE(fixtures::AssembleScript(text, &second, &error)) << error << "\n" << text;
    EXPECT_EQ(second.file, first.file) << text;
    EXPECT_EQ(second.readTextSeed, first.readTextSeed);
    std::string again;
    ASSERT_TRUE(fixtures::DisassembleScript(second.file, &again, &error));
    EXPECT_EQ(again, text);

    // The printed form keeps the readable parts.
    EXPECT_NE(text.find(".str \"こんにちは、世界\""), std::string::npos) << text;
    EXPECT_NE(text.find("cmd 0, 1, d_"), std::string::npos);
    EXPECT_NE(text.find(".block \"ブロック\", 9"), std::string::npos);
    EXPECT_NE(text.find("    .line 12\n    host 2, 1\n"), std::string::npos);
    EXPECT_NE(text.find(".linerec 41, 2, 3"), std::string::npos);
    EXPECT_NE(text.find(".byte 161, 2, 1"), std::string::npos) << "a 0xA1 host command stays bytes";
}

TEST(ScriptAssembler, DisassemblerRefusesWhatIsNotAScript) {
    std::string text, error;
    EXPECT_FALSE(fixtures::DisassembleScript({'M', 'S', 'C'}, &text, &error));
    fixtures::AssembledScript out;
    ASSERT_TRUE(fixtures::AssembleScript(".block main\n    ret\n", &out, &error));
    out.file.pop_back();
    EXPECT_FALSE(fixtures::DisassembleScript(out.file, &text, &error));
    EXPECT_EQ(error, "block body outside the file");
}

// The seed names each block with the pc at which its new-page commands run.
TEST_F(ScriptTest, SeedHoldsThePcOfEveryNewPageCommand) {
    const fixtures::AssembledScript script = Assemble(R"(
.block main
    cmd 2, 0, "a"
    cmd 2, 1
    cmd 2, 6
    host 2, 1
    cmd 0, 1, "next"
.block next
    nop
    cmd 2, 1
)");
    const std::vector<unsigned char>& seed = script.readTextSeed;
    ASSERT_EQ(seed.size(), 8u + 2 * 25 + 4 * 5);
    auto u32 = [&](std::size_t at) {
        return seed[at] | (seed[at + 1] << 8) | (seed[at + 2] << 16) |
               (static_cast<unsigned>(seed[at + 3]) << 24);
    };
    EXPECT_EQ(u32(0), 2u);
    EXPECT_EQ(u32(4), seed.size()) << "the size check is the seed's own size";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&seed[8])), "main");
    EXPECT_EQ(u32(8 + 17), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&seed[33])), "next");
    EXPECT_EQ(u32(33 + 17), 1u);

    ASSERT_EQ(LoadBytes(script.file), 1);
    std::vector<unsigned> pcs;
    for (int frame = 0; frame < 10 && pcs.size() < 4; ++frame) {
        if (scene->Execute() != 1) continue;
        const BYTE* at = scene->GetCode() + scene->GetPc();
        if (at[0] == 2 && (at[1] == 1 || at[1] == 6)) pcs.push_back(scene->GetPc());
        scene->DispatchCommand();
    }
    ASSERT_EQ(pcs.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(u32(58 + 5 * i), pcs[i]);
        EXPECT_EQ(seed[58 + 5 * i + 4], 0) << "unread";
    }
}
