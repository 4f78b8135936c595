// Host command groups 1 and 3: string cells and their areas, and random numbers.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <algorithm>

namespace {
constexpr DWORD kAny = 0xDEADBEEF;

struct StringRow {
    const char* name;
    const char* command;
    DWORD r0;           // kAny: not checked
    const char* buffer; // UTF-8; null: not checked
};

const StringRow kStringRows[] = {
    {"copy", R"(cmd 1, 0, bufcell, "xyz")", kAny, "xyz"},
    {"append", R"(cmd 1, 1, bufcell, "cd")", kAny, "abcd"},
    {"append to itself", "cmd 1, 1, bufcell, bufcell", kAny, "abab"},
    {"compare less", R"(cmd 1, 2, "abc", "abd")", 0xFFFFFFFF, nullptr},
    {"compare equal", R"(cmd 1, 2, "abc", "abc")", 0, nullptr},
    {"compare greater", R"(cmd 1, 2, "abd", "abc")", 1, nullptr},
    {"length counts bytes", R"(cmd 1, 3, "日本")", 4, nullptr},
    {"substring", R"(cmd 1, 4, bufcell, "abcdef", =2, =4)", kAny, "cde"},
    {"substring ending before its start", R"(cmd 1, 4, bufcell, "abcdef", =3, =1)", kAny, ""},
    {"ascii number stops at letters", R"(cmd 1, 5, "12ab")", 12, nullptr},
    {"ascii number with sign", R"(cmd 1, 5, "-34")", static_cast<DWORD>(-34), nullptr},
    {"full-width number", R"(cmd 1, 5, "１２あ")", 12, nullptr},
    {"decimal text", "cmd 1, 6, bufcell, =-45", kAny, "-45"},
    {"full-width text", "cmd 1, 7, bufcell, =-45", kAny, "－４５"},
    {"full-width zero", "cmd 1, 7, bufcell, =0", kAny, "０"},
};

class StringCommandTest : public ScriptTest, public ::testing::WithParamInterface<StringRow> {};

TEST_P(StringCommandTest, StoresItsResult) {
    const StringRow& row = GetParam();
    ASSERT_EQ(Load(std::string(".data\nbuf: .str \"ab\"\n.zero 14\nbufcell: .ptr buf\n.block main\n    ") +
                   row.command + "\n    host 99, 0\n"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_FALSE(scene->IsHalted());
    if (row.r0 != kAny) {
        EXPECT_EQ(scene->GetRegister(0), row.r0);
    }
    if (row.buffer) {
        EXPECT_EQ(std::string(reinterpret_cast<char*>(scene->GetDataBlob().data())),
                  platform::Utf8ToSjis(row.buffer));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StringCommandTest, ::testing::ValuesIn(kStringRows), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});
} // namespace

// A text longer than its buffer's area is cut before the character that would not fit whole.
TEST_F(ScriptTest, StringWritesAreCutAtTheEndOfTheirArea) {
    ASSERT_EQ(Load(R"(
.block main
    cmd 1, 0, tailcell, "長いテキスト"
    host 99, 0
tailcell: .ptr tail
tail: .byte 1, 2, 3, 4, 5
)"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_FALSE(scene->IsHalted());
    const BYTE* tail = scene->GetCode() + scene->GetCodeSize() - 5;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tail)), platform::Utf8ToSjis("長い"));
    EXPECT_EQ(tail[4], 0);
}

// 3/0 of 0 and 3/2 past the end or without a sequence give 0; a sequence holds each number once.
TEST_F(ScriptTest, RandomNumbersAndTheShuffledSequence) {
    ASSERT_EQ(Load(R"(
.data
out: .zero 24
.block main
    cmd 3, 0, =0
    mov r8, r0
    cmd 3, 1, =5
    mov r6, #0x80000000
loop:
    cmd 3, 2
    mov [r6], r0
    add r6, #4
    cmp r6, #0x80000018
    jnz loop
    cmd 3, 3
    mov r0, #9
    cmd 3, 2
    host 99, 0
)"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(scene->GetRegister(8), 0u);
    EXPECT_EQ(scene->GetRegister(0), 0u) << "no sequence after it was freed";
    const auto* out = reinterpret_cast<const DWORD*>(scene->GetDataBlob().data());
    std::vector<DWORD> drawn(out, out + 5);
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<DWORD>{0, 1, 2, 3, 4}));
    EXPECT_EQ(out[5], 0u) << "past the end";
}
