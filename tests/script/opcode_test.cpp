// Every arithmetic, logic and compare instruction in every operand form, with the flags it leaves,
// and the byte sequences, jumps and flag instructions the interpreter must read exactly.
#include "ScriptTestSupport.h"

#include <cstdint>
#include <string>

namespace {
struct OpCase {
    const char* mnemonic;
    bool compare;
    std::uint32_t (*apply)(std::uint32_t d, std::uint32_t s);
};

std::int32_t S(std::uint32_t v) {
    return static_cast<std::int32_t>(v);
}

const OpCase kOps[] = {
    {"mov", false, [](std::uint32_t, std::uint32_t s) { return s; }},
    {"add", false, [](std::uint32_t d, std::uint32_t s) { return d + s; }},
    {"sub", false, [](std::uint32_t d, std::uint32_t s) { return d - s; }},
    {"mul", false, [](std::uint32_t d, std::uint32_t s) { return d * s; }},
    {"div", false, [](std::uint32_t d, std::uint32_t s) { return static_cast<std::uint32_t>(S(d) / S(s)); }},
    {"mod", false, [](std::uint32_t d, std::uint32_t s) { return static_cast<std::uint32_t>(S(d) % S(s)); }},
    {"cmp", true, nullptr},
    {"xor", false, [](std::uint32_t d, std::uint32_t s) { return d ^ s; }},
    {"elem", false,
     [](std::uint32_t d, std::uint32_t s) {
         return (s & 0x80000000u) ? ((d * 4 + (s & 0x7FFFFFFFu)) | 0x80000000u) : d * 4 + s;
     }},
    {"eq", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{d == s}; }},
    {"ne", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{d != s}; }},
    {"ge", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{S(d) >= S(s)}; }},
    {"le", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{S(d) <= S(s)}; }},
    {"gt", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{S(d) > S(s)}; }},
    {"lt", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{S(d) < S(s)}; }},
    {"and", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{d != 0 && s != 0}; }},
    {"or", false, [](std::uint32_t d, std::uint32_t s) { return std::uint32_t{d != 0 || s != 0}; }},
    {"cmp2", true, nullptr},
};

// Where the destination lives after the instruction.
enum class Dest { R1, CellA };
struct FormCase {
    const char* name;
    const char* code; // OP stands for the mnemonic; A and B are in cellA and cellB (and loaded as needed)
    Dest dest;
};
const FormCase kForms[] = {
    {"reg,reg", "mov r1, [cellA]\n mov r2, [cellB]\n setx\n OP r1, r2", Dest::R1},
    {"reg,[reg]", "mov r1, [cellA]\n mov r4, #cellB\n setx\n OP r1, [r4]", Dest::R1},
    {"[reg],reg", "mov r3, #cellA\n mov r2, [cellB]\n setx\n OP [r3], r2", Dest::CellA},
    {"[reg],[reg]", "mov r3, #cellA\n mov r4, #cellB\n setx\n OP [r3], [r4]", Dest::CellA},
    {"reg,#imm", "mov r1, [cellA]\n setx\n OP r1, #IMM", Dest::R1},
    {"reg,[addr]", "mov r1, [cellA]\n setx\n OP r1, [cellB]", Dest::R1},
    {"[reg],#imm", "mov r3, #cellA\n setx\n OP [r3], #IMM", Dest::CellA},
    {"[reg],[addr]", "mov r3, #cellA\n setx\n OP [r3], [cellB]", Dest::CellA},
    {"[addr],reg", "mov r2, [cellB]\n setx\n OP [cellA], r2", Dest::CellA},
    {"[addr],[reg]", "mov r4, #cellB\n setx\n OP [cellA], [r4]", Dest::CellA},
    {"[addr],#imm", "setx\n OP [cellA], #IMM", Dest::CellA},
    {"[addr],[addr]", "setx\n OP [cellA], [cellB]", Dest::CellA},
};

const std::uint32_t kPairs[][2] = {{7, 3},
                                   {static_cast<std::uint32_t>(-7), 2},
                                   {2, static_cast<std::uint32_t>(-7)},
                                   {5, 5},
                                   {0, 9},
                                   {0x7FFFFFFF, 1},
                                   {3, 0x80000010}};

std::uint32_t FlagsOf(std::uint32_t v) {
    return v == 0 ? 2u : (S(v) > 0 ? 1u : 0u);
}

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
} // namespace

TEST_F(ScriptTest, EveryOpcodeInEveryOperandFormStoresAndSetsFlags) {
    for (const OpCase& op : kOps) {
        for (const FormCase& form : kForms) {
            for (const auto& pair : kPairs) {
                const std::uint32_t a = pair[0], b = pair[1];
                const std::string body = Replace(Replace(form.code, "OP", op.mnemonic), "IMM",
                                                 std::to_string(static_cast<std::int64_t>(b)));
                const std::string source = ".data\ncellA: .int " + std::to_string(S(a)) + "\ncellB: .int " +
                                           std::to_string(S(b)) + "\n.block main\n mov r15, #0x100\n " +
                                           body + "\n host 99, 0\n";
                SCOPED_TRACE(std::string(op.mnemonic) + " " + form.name + " " + std::to_string(S(a)) + "," +
                             std::to_string(S(b)));
                ASSERT_EQ(Load(source), 1);
                ASSERT_EQ(scene->Execute(), 1);
                // pc lands on the group byte of the host command: the instruction's length was right.
                ASSERT_EQ(scene->GetCode()[scene->GetPc()], 99);
                const std::uint32_t stored = form.dest == Dest::R1 ? scene->GetRegister(1) : Cell(*scene, 0);
                const std::uint32_t expected = op.compare ? a : op.apply(a, b);
                EXPECT_EQ(stored, expected);
                EXPECT_EQ(Cell(*scene, 4), b) << "the source is never written";
                const std::uint32_t flags = op.compare ? FlagsOf(a - b) : FlagsOf(expected);
                EXPECT_EQ(scene->GetRegister(15), 0x100u | flags) << "flag 4 cleared, other bits kept";
            }
        }
    }
}

TEST_F(ScriptTest, SignedDivisionAndRemainderTruncateTowardZero) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #-7
    div r1, #2
    mov r2, #-7
    mod r2, #2
    mov r3, #7
    div r3, #-2
    mov r4, #7
    mod r4, #-2
    mov r5, #0x80000000
    div r5, #-1
    mov r6, #0x80000000
    mod r6, #-1
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(S(scene->GetRegister(1)), -3);
    EXPECT_EQ(S(scene->GetRegister(2)), -1);
    EXPECT_EQ(S(scene->GetRegister(3)), -3);
    EXPECT_EQ(S(scene->GetRegister(4)), 1);
    // The one quotient that does not fit wraps to itself with no remainder.
    EXPECT_EQ(scene->GetRegister(5), 0x80000000u);
    EXPECT_EQ(scene->GetRegister(6), 0u);
    EXPECT_EQ(scene->GetRegister(15) & 7, 2u);
    EXPECT_FALSE(scene->IsHalted());
}

TEST_F(ScriptTest, ElementAddressIndexesCodeAndBlobTables) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #3
    elem r1, #0x80000010
    mov r2, #3
    elem r2, #16
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(1), 0x8000001Cu);
    EXPECT_EQ(scene->GetRegister(2), 28u);
    EXPECT_EQ(scene->GetRegister(15) & 7, 1u);
}

TEST_F(ScriptTest, ExactByteSequencesOfTheThreeOperandForms) {
    // 05 01 42: add to r1 the cell whose address r2 holds (3 bytes).
    // 02 80 05000000: move the immediate 5 into r0 (6 bytes).
    // 02 04 00000080 04000080: copy the blob cell at 4 into the cell at 0 (10 bytes).
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
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetPc(), 12u + 3u + 1u);
    EXPECT_EQ(scene->GetRegister(1), 1244u);
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetPc(), 12u + 3u + 6u + 6u + 1u);
    EXPECT_EQ(scene->GetRegister(0), 5u);
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetPc(), 12u + 3u + 6u + 6u + 6u + 10u + 1u);
    EXPECT_EQ(Cell(*scene, 0), 1234u);
}

TEST_F(ScriptTest, CompareLeavesOperandsAndMoveOfZeroSetsZeroFlag) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #4
    mov r2, #9
    cmp r1, r2
    host 98, 0
    mov r3, #0
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(1), 4u);
    EXPECT_EQ(scene->GetRegister(2), 9u);
    EXPECT_EQ(scene->GetRegister(15) & 7, 0u) << "4 - 9 is negative: neither flag";
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(15) & 7, 2u);
}

TEST_F(ScriptTest, WritingR15IsOverwrittenInItsFlagBits) {
    ASSERT_EQ(Load(R"(
.block main
    mov r15, #0x0F
    host 98, 0
    xor r15, r15
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(15), 0x09u) << "15 is positive: bits 0-2 become 1";
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(15), 0x02u);
}

TEST_F(ScriptTest, JumpsFollowTheZeroFlag) {
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
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(2), 0u);
    EXPECT_EQ(scene->GetRegister(3), 0u);
    EXPECT_EQ(scene->GetRegister(4), 0u);
}

TEST_F(ScriptTest, FlagInstructionsSetAndClearEachFlag) {
    ASSERT_EQ(Load(R"(
.block main
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
    const DWORD expected[] = {0x107, 0x106, 0x104, 0x100, 0x100};
    for (DWORD value : expected) {
        ASSERT_EQ(scene->Execute(), 1);
        EXPECT_EQ(scene->GetRegister(15), value);
        scene->DispatchCommand();
    }
}

TEST_F(ScriptTest, LoopsRunWithinOnePassAndTheStepLimitYields) {
    ASSERT_EQ(Load(R"(
.block main
    mov r1, #1000
again:
    sub r1, #1
    jnz again
    host 99, 0
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(1), 0u);

    ASSERT_EQ(Load(R"(
.block main
forever:
    jmp forever
)"),
              1);
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
