// Every arithmetic, logic and compare instruction with the flags it leaves, in every operand form, and
// the byte sequences, jumps and flag instructions the interpreter must read exactly.
#include "ScriptTestSupport.h"

#include <cstdint>
#include <functional>
#include <string>

namespace {
std::int32_t S(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}

// The operands a, b of each column and, per instruction, what it leaves in its destination.
const std::uint32_t kPairs[5][2] = {{7, 3}, {0xFFFFFFF9, 2}, {5, 5}, {0, 9}, {3, 0x80000010}};
const struct {
    const char* mnemonic;
    std::uint32_t result[5];
} kOps[] = {
    {"mov", {3, 2, 5, 9, 0x80000010}},
    {"add", {10, 0xFFFFFFFB, 10, 9, 0x80000013}},
    {"sub", {4, 0xFFFFFFF7, 0, 0xFFFFFFF7, 0x7FFFFFF3}},
    {"mul", {21, 0xFFFFFFF2, 25, 0, 0x80000030}},
    {"div", {2, 0xFFFFFFFD, 1, 0, 0}},
    {"mod", {1, 0xFFFFFFFF, 0, 0, 3}},
    {"cmp", {7, 0xFFFFFFF9, 5, 0, 3}}, // the destination stays; the flags are those of sub
    {"xor", {4, 0xFFFFFFFB, 0, 9, 0x80000013}},
    {"elem", {31, 0xFFFFFFE6, 25, 9, 0x8000001C}}, // a blob address stays one
    {"eq", {0, 0, 1, 0, 0}},
    {"ne", {1, 1, 0, 1, 1}},
    {"ge", {1, 0, 1, 0, 1}},
    {"le", {0, 1, 1, 1, 0}},
    {"gt", {1, 0, 0, 0, 1}},
    {"lt", {0, 1, 0, 1, 0}},
    {"and", {1, 1, 1, 0, 1}},
    {"or", {1, 1, 1, 1, 1}},
    {"cmp2", {7, 0xFFFFFFF9, 5, 0, 3}},
};

// OP stands for the mnemonic; a and b are in cellA and cellB (and loaded as needed). The destination
// is r1 for forms beginning with "r", else cellA.
const struct {
    const char* name;
    const char* code;
} kForms[] = {
    {"r,r", "mov r1, [cellA]\n mov r2, [cellB]\n setx\n OP r1, r2"},
    {"[addr],#imm", "setx\n OP [cellA], #IMM"},
    {"r,[reg]", "mov r1, [cellA]\n mov r4, #cellB\n setx\n OP r1, [r4]"},
    {"[reg],reg", "mov r3, #cellA\n mov r2, [cellB]\n setx\n OP [r3], r2"},
    {"[reg],[reg]", "mov r3, #cellA\n mov r4, #cellB\n setx\n OP [r3], [r4]"},
    {"r,#imm", "mov r1, [cellA]\n setx\n OP r1, #IMM"},
    {"r,[addr]", "mov r1, [cellA]\n setx\n OP r1, [cellB]"},
    {"[reg],#imm", "mov r3, #cellA\n setx\n OP [r3], #IMM"},
    {"[reg],[addr]", "mov r3, #cellA\n setx\n OP [r3], [cellB]"},
    {"[addr],reg", "mov r2, [cellB]\n setx\n OP [cellA], r2"},
    {"[addr],[reg]", "mov r4, #cellB\n setx\n OP [cellA], [r4]"},
    {"[addr],[addr]", "setx\n OP [cellA], [cellB]"},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::uint32_t Cell(CGameScene& scene, std::size_t offset) {
    const std::vector<BYTE>& blob = scene.GetDataBlob();
    return blob[offset] | (blob[offset + 1] << 8) | (blob[offset + 2] << 16) |
           (static_cast<std::uint32_t>(blob[offset + 3]) << 24);
}

// Every instruction in two forms (a register and a memory destination), and one instruction in every
// form: the forms are read by one decoder for all instructions.
TEST_F(ScriptTest, EveryOpcodeInEveryOperandFormStoresAndSetsFlags) {
    for (const auto& op : kOps) {
        for (const auto& form : kForms) {
            if (&form - kForms >= 2 && std::string(op.mnemonic) != "sub") continue;
            for (int i = 0; i < 5; ++i) {
                const std::uint32_t a = kPairs[i][0], b = kPairs[i][1];
                const std::string body = Replace(Replace(form.code, "OP", op.mnemonic), "IMM",
                                                 std::to_string(static_cast<std::int64_t>(b)));
                SCOPED_TRACE(std::string(op.mnemonic) + " " + form.name + " " + std::to_string(S(a)) + "," +
                             std::to_string(S(b)));
                ASSERT_EQ(Load(".data\ncellA: .int " + std::to_string(S(a)) + "\ncellB: .int " +
                               std::to_string(S(b)) + "\n.block main\n mov r15, #0x100\n " + body +
                               "\n host 99, 0\n"),
                          1);
                ASSERT_EQ(scene->Execute(), 1);
                // pc lands on the group byte of the host command: the instruction's length was right.
                ASSERT_EQ(scene->GetCode()[scene->GetPc()], 99);
                EXPECT_EQ(form.name[0] == 'r' ? scene->GetRegister(1) : Cell(*scene, 0), op.result[i]);
                EXPECT_EQ(Cell(*scene, 4), b) << "the source is never written";
                // Flag 4 cleared, the other bits kept; 2 for zero, 1 for positive.
                const bool compare = std::string(op.mnemonic).rfind("cmp", 0) == 0;
                const std::uint32_t v = compare ? kOps[2].result[i] : op.result[i];
                EXPECT_EQ(scene->GetRegister(15), 0x100u | (v == 0 ? 2u : S(v) > 0 ? 1u : 0u));
            }
        }
    }
}

TEST_F(ScriptTest, SignedDivisionRemainderAndElementAddresses) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #7
    div r1, #-2
    mov r2, #7
    mod r2, #-2
    mov r5, #0x80000000
    div r5, #-1
    mov r6, #0x80000000
    mod r6, #-1
    mov r3, #3
    elem r3, #16
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(S(scene->GetRegister(1)) * 10 + S(scene->GetRegister(2)), -29);
    // The one quotient that does not fit wraps to itself with no remainder.
    EXPECT_EQ(scene->GetRegister(5), 0x80000000u);
    EXPECT_EQ(scene->GetRegister(6), 0u);
    EXPECT_EQ(scene->GetRegister(3), 28u);
    EXPECT_FALSE(scene->IsHalted());
}

// 05 01 42: add to r1 the cell whose address r2 holds (3 bytes). 02 80 05000000: move the immediate 5
// into r0 (6 bytes). 02 04 00000080 04000080: copy the blob cell at 4 into the cell at 0 (10 bytes).
TEST_F(ScriptTest, ExactByteSequencesOfTheThreeOperandForms) {
    ASSERT_EQ(Load(R"(
.data
    .int 0, 1234
.block main
    mov r1, #10
    mov r2, #0x80000004
    .byte 0x05, 0x01, 0x42
    host 98, 0
    .byte 0x02, 0x80, 5, 0, 0, 0
    host 98, 1
    .byte 0x02, 0x04, 0, 0, 0, 0x80, 4, 0, 0, 0x80
    host 99, 0
)"),
              1);
    const struct {
        DWORD pc;
        std::function<bool()> done;
    } stops[] = {{16, [&] { return scene->GetRegister(1) == 1244; }},
                 {28, [&] { return scene->GetRegister(0) == 5; }},
                 {44, [&] { return Cell(*scene, 0) == 1234; }}};
    for (const auto& stop : stops) {
        ASSERT_EQ(scene->Execute(), 1);
        EXPECT_EQ(scene->GetPc(), stop.pc);
        EXPECT_TRUE(stop.done());
        scene->DispatchCommand();
    }
}

TEST_F(ScriptTest, JumpsFollowTheZeroFlagAndFlagInstructionsSetAndClearEachFlag) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #0
    cmp r1, #0
    jz zero_taken
    mov r2, #1
zero_taken:
    jnz wrong
    cmp r1, #1
    jz wrong
    jnz nonzero_taken
wrong:
    mov r3, #1
nonzero_taken:
    jmp over
    mov r4, #1
over:
    mov r15, #0x100
    setp
    setz
    setx
    host 98, 0
    clrp
    host 98, 1
    clrz
    host 98, 2
    clrx
    host 98, 3
    setp
    setz
    setx
    clrflags
    nop
    host 99, 0
)"),
              1);
    for (DWORD value : {0x107, 0x106, 0x104, 0x100, 0x100}) {
        ASSERT_EQ(scene->Execute(), 1);
        EXPECT_EQ(scene->GetRegister(15), value);
        scene->DispatchCommand();
    }
    EXPECT_EQ(scene->GetRegister(2) + scene->GetRegister(3) + scene->GetRegister(4), 0u);
}

TEST_F(ScriptTest, WritingR15IsOverwrittenInItsFlagBits) {
    ASSERT_EQ(Load(".block main\n    mov r15, #0x0F\n    host 98, 0\n    xor r15, r15\n    host 99, 0\n"), 1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(15), 0x09u) << "15 is positive: bits 0-2 become 1";
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(15), 0x02u);
}

TEST_F(ScriptTest, LoopsRunWithinOnePassAndTheStepLimitYields) {
    ASSERT_EQ(Load(".block main\n    mov r1, #1000\nagain:\n    sub r1, #1\n    jnz again\n    host 99, 0\n"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(1), 0u);
    ASSERT_EQ(Load(".block main\nforever:\n    jmp forever\n"), 1);
    scene->SetStepLimit(500);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetPc(), 0u);
    EXPECT_FALSE(scene->IsHalted());
}

// Bit 0 of a code byte only picks the operand form: the one-byte and jump instructions, the second
// return and the 0xA1 host command run as their even twins.
TEST_F(ScriptTest, OddCodeBytesRunAsTheirEvenTwins) {
    ASSERT_EQ(Load(R"(
.block main
    mov r15, #0x100
    .byte 0x55, 0x53, 0x57
    .byte 0x01
    .byte 0xA1, 98, 0, 0, 0, 0
    .byte 0x5B, 0x5D, 0x59
    .byte 0x41
    .int over
    mov r5, #1
over:
    cmd 0, 1, "sub"
    host 99, 0
.block sub
    mov r2, #2
    .byte 0x49
    mov r2, #3
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetCode()[scene->GetPc()], 98);
    EXPECT_EQ(scene->GetRegister(15), 0x107u);
    scene->DispatchCommand();
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(scene->GetRegister(5), 0u) << "the jump was taken";
    EXPECT_EQ(scene->GetRegister(2), 2u) << "0x49 returned from the block";
    EXPECT_EQ(scene->GetCurrentBlock(), 0);
    EXPECT_FALSE(scene->IsHalted());
}
} // namespace
