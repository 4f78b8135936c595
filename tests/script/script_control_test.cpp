// Script control host commands: the index check, the variable watch and its removal, and the
// argument conventions they rest on.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <cstdio>
#include <string>

namespace {
// A watch slot as "name kind x,y": kind "int" or "text"; "-" for an empty slot.
std::string Watch(int n) {
    const DebugWatchEntry* e = DebugWatchGet(n);
    return e ? std::string(e->name) + (e->isInteger ? " int " : " text ") + std::to_string(e->x) + "," +
                   std::to_string(e->y)
             : "-";
}

// The index check fails outside 0 to count - 1, with the line naming both; other sub-operations of
// the group do nothing.
TEST_F(ScriptTest, IndexCheckTakesTheRegisterValuesThemselves) {
    const struct {
        int count, index, sub;
        bool fails;
    } rows[] = {{5, 0, 0, false}, {5, 4, 0, false}, {5, 5, 0, true},  {5, -1, 0, true},
                {0, 0, 0, true},  {5, 9, 2, false}, {5, 9, 12, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.count) + "," + std::to_string(row.index) + " in " +
                     std::to_string(row.sub));
        ResetRunState();
        std::remove(dir.File("errmes.log").c_str());
        ASSERT_EQ(Load(".block main\n    mov r1, #" + std::to_string(row.count) + "\n    mov r2, #" +
                       std::to_string(row.index) + "\n    .line 5\n    host 0, " + std::to_string(row.sub) +
                       "\n    host 99, 0\n"),
                  1);
        EXPECT_EQ(RunUntilHost(99), !row.fails);
        EXPECT_EQ(scene->IsHalted(), row.fails);
        char text[256];
        std::snprintf(text, sizeof text, "配列（最大数 = %d）に対して不正なインデックス（%d）を指しました",
                      row.count, row.index);
        EXPECT_EQ(Log(), row.fails
                             ? "2004/03/05(09:07:03) main(5)\x81\x46" + platform::Utf8ToSjis(text) + "\r\n"
                             : "");
        EXPECT_EQ(scene->GetRegister(1) * 100 + scene->GetRegister(2),
                  static_cast<DWORD>(row.count * 100 + row.index));
    }
}

// Globals are looked for first, then the top block's variables; a text variable's watch points at
// the text its cell names, in the same area. UnwatchClearsTheSlot.
TEST_F(ScriptTest, WatchFindsGlobalsFirstThenTheTopBlocksVariables) {
    ASSERT_EQ(Load(R"(
.global score, score, int
.global title, titlecell, text
.global both, score, int
.data
score:     .int 42
titlecell: .ptr titletext
titletext: .str "タイトル"
.block main
    cmd 0, 10, "score", =3, =10, =20
    cmd 0, 10, "title", =4, =0, =16
    cmd 0, 10, "both", =5, =0, =0
    cmd 0, 10, "mine", =6, =1, =2
    cmd 0, 10, "nosuch", =7, =1, =2
    cmd 0, 10, "score", =16, =0, =0
    host 98, 0
    cmd 0, 11, =3
    host 99, 0
    .var mine, local, int
    .var both, local, text
    .local
local: .int 9
    .endlocal
)"),
              1);
    ASSERT_TRUE(RunUntilHost(98));
    EXPECT_FALSE(scene->IsHalted());
    std::string slots;
    for (int n = 3; n <= 7; ++n)
        slots += Watch(n) + "; ";
    EXPECT_EQ(slots, "score int 10,20; title text 0,16; both int 0,0; mine int 1,2; -; ");
    EXPECT_EQ(Watch(16), "-");
    EXPECT_EQ(DebugWatchGet(3)->value, scene->GetDataBlob().data());
    EXPECT_EQ(DebugWatchGet(5)->value, scene->GetDataBlob().data());
    EXPECT_EQ(std::string(static_cast<const char*>(DebugWatchGet(4)->value)),
              platform::Utf8ToSjis("タイトル"));
    EXPECT_EQ(DebugWatchGet(6)->value, scene->GetCode() + scene->GetBlock(0)->record.localOffset);
    scene->DispatchCommand();
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(Watch(3), "-");
}

// A watch on a block's local dies with the block's code, so nothing is left pointing at freed memory.
TEST_F(ScriptTest, WatchOnALocalIsDroppedWhenItsBlockReturns) {
    ASSERT_EQ(Load(R"(
.block main
    cmd 0, 1, "sub"
    host 99, 0
.block sub
    cmd 0, 10, "n", =1, =0, =0
    host 98, 0
    ret
    .var n, cell, int
cell: .int 5
)"),
              1);
    ASSERT_TRUE(RunUntilHost(98));
    EXPECT_EQ(Watch(1), "n int 0,0");
    scene->DispatchCommand();
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(Watch(1), "-");
}

TEST_F(ScriptTest, ArgumentsReadCellsInTheCodeAndInTheBlob) {
    ASSERT_EQ(Load(R"(
.data
blobcell: .int 77
blobtext: .ptr text
text:     .str "abc"
.block main
    host 99, 0
    .local
codecell: .int 66
codetext: .ptr ctext
ctext:    .str "xyz"
    .endlocal
)"),
              1);
    ASSERT_EQ(scene->Execute(), 1);
    const DWORD local = scene->GetBlock(0)->record.localOffset;
    EXPECT_EQ(scene->GetArgValue(0x80000000u) * 100 + scene->GetArgValue(local), 7766u);
    DWORD space = 0;
    EXPECT_STREQ(scene->GetArgPointer(0x80000004u, &space), "abc");
    EXPECT_EQ(space, 4u);
    EXPECT_STREQ(scene->GetArgText(local + 4), "xyz");
    EXPECT_FALSE(scene->IsHalted());
}

// A text watch shows its text later, as it stands: one that runs to the end of its block's code is
// refused the way a text argument is, before anything would read past the code.
TEST_F(ScriptTest, WatchOnATextWithoutItsEndIsAScriptError) {
    ASSERT_EQ(Load(R"(
.block main
    .line 6
    cmd 0, 10, "t", =1, =0, =0
    host 99, 0
    .var t, tcell, text
tcell: .ptr tail
tail:  .byte 0x41, 0x42
)"),
              1);
    EXPECT_FALSE(RunUntilHost(99));
    EXPECT_TRUE(scene->IsHalted());
    EXPECT_EQ(Watch(1), "-");
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main(6)\x81\x46" +
                         platform::Utf8ToSjis("文字列が領域の外にはみ出しています") + "\r\n");
}
} // namespace
