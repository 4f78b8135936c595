// Host command groups 1 and 3: string cells and their areas, and random numbers.
#include "SceneTestSupport.h"

#include "platform/text_encoding.h"

#include <algorithm>

namespace {
struct StringRow {
    const char* name;
    const char* command;
    const char* result; // "r0=N", or the UTF-8 text left in the buffer
};

const StringRow kStringRows[] = {
    {"copy", R"(cmd 1, 0, bufcell, "xyz")", "xyz"},
    {"append", R"(cmd 1, 1, bufcell, "cd")", "abcd"},
    {"append to itself", "cmd 1, 1, bufcell, bufcell", "abab"},
    {"compare less", R"(cmd 1, 2, "abc", "abd")", "r0=-1"},
    {"compare equal", R"(cmd 1, 2, "abc", "abc")", "r0=0"},
    {"compare greater", R"(cmd 1, 2, "abd", "abc")", "r0=1"},
    {"length counts bytes", R"(cmd 1, 3, "日本")", "r0=4"},
    {"substring", R"(cmd 1, 4, bufcell, "abcdef", =2, =4)", "cde"},
    {"substring ending before its start", R"(cmd 1, 4, bufcell, "abcdef", =3, =1)", ""},
    {"ascii number stops at letters", R"(cmd 1, 5, "12ab")", "r0=12"},
    {"ascii number with sign", R"(cmd 1, 5, "-34")", "r0=-34"},
    {"full-width number", R"(cmd 1, 5, "１２あ")", "r0=12"},
    {"decimal text", "cmd 1, 6, bufcell, =-45", "-45"},
    {"full-width text", "cmd 1, 7, bufcell, =-45", "－４５"},
    {"full-width zero", "cmd 1, 7, bufcell, =0", "０"},
};

class StringCommandTest : public ScriptTest, public ::testing::WithParamInterface<StringRow> {};

TEST_P(StringCommandTest, StoresItsResult) {
    const std::string command = GetParam().command, result = GetParam().result;
    ASSERT_EQ(Load(".data\nbuf: .str \"ab\"\n.zero 14\nbufcell: .ptr buf\n.block main\n " + command +
                   "\n host 99, 0\n"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_FALSE(scene->IsHalted());
    const bool inR0 = result.rfind("r0=", 0) == 0;
    const std::string text = reinterpret_cast<char*>(scene->GetDataBlob().data());
    EXPECT_EQ(inR0 ? std::to_string(static_cast<int>(scene->GetRegister(0))) : text,
              inR0 ? result.substr(3) : platform::Utf8ToSjis(result));
}

INSTANTIATE_TEST_SUITE_P(Rows, StringCommandTest, ::testing::ValuesIn(kStringRows), scene_test::RowNamer());
} // namespace

// A text longer than its buffer's area is cut before the character that would not fit whole.
TEST_F(ScriptTest, StringWritesAreCutAtTheEndOfTheirArea) {
    ASSERT_EQ(Load(".block main\n cmd 1, 0, tailcell, \"長いテキスト\"\n host 99, 0\n"
                   "tailcell: .ptr tail\ntail: .byte 1, 2, 3, 4, 5\n"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    const BYTE* tail = scene->GetCode() + scene->GetCodeSize() - 5;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tail)), platform::Utf8ToSjis("長い"));
    EXPECT_EQ(tail[4], 0);
}

// 3/0 of 0, and 3/2 past the end, without a sequence or after a sequence of 0, give 0; a sequence holds each
// number once.
TEST_F(ScriptTest, RandomNumbersAndTheShuffledSequence) {
    ASSERT_EQ(
        Load(".data\nout: .zero 24\n.block main\n mov r0, #9\n cmd 3, 0, =0\n mov r8, r0\n cmd 3, 1, =5\n"
             " mov r6, #0x80000000\nloop:\n cmd 3, 2\n mov [r6], r0\n add r6, #4\n cmp r6, #0x80000018\n"
             " jnz loop\n cmd 3, 3\n mov r0, #9\n cmd 3, 2\n mov r9, r0\n cmd 3, 1, =0\n mov r0, #9\n"
             " cmd 3, 2\n host 99, 0\n"),
        1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(scene->GetRegister(8), 0u);
    EXPECT_EQ(scene->GetRegister(9), 0u) << "no sequence after it was freed";
    EXPECT_EQ(scene->GetRegister(0), 0u) << "a sequence of no numbers";
    const auto* out = reinterpret_cast<const DWORD*>(scene->GetDataBlob().data());
    std::vector<DWORD> drawn(out, out + 5);
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<DWORD>{0, 1, 2, 3, 4}));
    EXPECT_EQ(out[5], 0u) << "past the end";
}
