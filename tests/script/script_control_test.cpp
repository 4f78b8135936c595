// Script control host commands: the index check, the variable watch and its removal, and the
// argument conventions they rest on.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <cstdio>
#include <string>

namespace {
std::string BadIndexLine(int max, int index) {
    char text[256];
    std::snprintf(text, sizeof text, "配列（最大数 = %d）に対して不正なインデックス（%d）を指しました", max,
                  index);
    return "2004/03/05(09:07:03) main(5)\x81\x46" + platform::Utf8ToSjis(text) + "\r\n";
}
} // namespace

TEST_F(ScriptTest, IndexCheckTakesTheRegisterValuesThemselves) {
    struct Case {
        int count, index;
        bool fails;
    } cases[] = {{5, 0, false}, {5, 4, false}, {5, 5, true}, {5, -1, true}, {0, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + "," + std::to_string(c.index));
        ResetRunState();
        std::remove(dir.File("errmes.log").c_str());
        ASSERT_EQ(Load(".block main\n    mov r1, #" + std::to_string(c.count) + "\n    mov r2, #" +
                       std::to_string(c.index) + "\n    .line 5\n    host 0, 0\n    host 99, 0\n"),
                  1);
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
        EXPECT_EQ(scene->IsHalted(), c.fails);
        EXPECT_EQ(Log(), c.fails ? BadIndexLine(c.count, c.index) : "");
        if (!c.fails) {
            ASSERT_EQ(scene->Execute(), 1);
            EXPECT_EQ(scene->GetCode()[scene->GetPc()], 99);
        }
    }
}

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
    host 99, 0
    .var mine, local, int
    .var both, local, text
    .local
local: .int 9
    .endlocal
)"),
              1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_FALSE(scene->IsHalted());
    std::vector<BYTE>& blob = scene->GetDataBlob();

    const DebugWatchEntry* score = DebugWatchGet(3);
    ASSERT_NE(score, nullptr);
    EXPECT_STREQ(score->name, "score");
    EXPECT_EQ(score->isInteger, 1u);
    EXPECT_EQ(score->value, blob.data());
    EXPECT_EQ(score->x, 10);
    EXPECT_EQ(score->y, 20);

    // A text variable's watch points at the text its cell names, in the same area.
    const DebugWatchEntry* title = DebugWatchGet(4);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->isInteger, 0u);
    EXPECT_EQ(std::string(static_cast<const char*>(title->value)), platform::Utf8ToSjis("タイトル"));

    // The global of that name wins over the block's.
    const DebugWatchEntry* both = DebugWatchGet(5);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->isInteger, 1u);
    EXPECT_EQ(both->value, blob.data());

    const DebugWatchEntry* mine = DebugWatchGet(6);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->value, scene->GetCode() + scene->GetBlock(0)->record.localOffset);

    EXPECT_EQ(DebugWatchGet(7), nullptr) << "an unknown name sets nothing";
    EXPECT_EQ(DebugWatchGet(16), nullptr);
}

TEST_F(ScriptTest, UnwatchClearsTheSlot) {
    ASSERT_EQ(Load(R"(
.global score, score, int
.data
score: .int 1
.block main
    cmd 0, 10, "score", =2, =0, =0
    host 98, 0
    cmd 0, 11, =2
    host 99, 0
)"),
              1);
    ASSERT_TRUE(RunUntilHost(98));
    EXPECT_NE(DebugWatchGet(2), nullptr);
    scene->DispatchCommand();
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(DebugWatchGet(2), nullptr);
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
    EXPECT_NE(DebugWatchGet(1), nullptr);
    scene->DispatchCommand();
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(DebugWatchGet(1), nullptr);
}

TEST_F(ScriptTest, UnknownScriptControlSubOperationDoesNothing) {
    ASSERT_EQ(
        Load(".block main\n    mov r1, #5\n    mov r2, #9\n    host 0, 2\n    host 0, 12\n    host 99, 0\n"),
        1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_FALSE(scene->IsHalted());
    EXPECT_EQ(scene->GetRegister(1), 5u);
    EXPECT_EQ(Log(), "");
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
    EXPECT_EQ(scene->GetArgValue(0x80000000u), 77u);
    EXPECT_EQ(scene->GetArgValue(local), 66u);
    DWORD space = 0;
    EXPECT_STREQ(scene->GetArgPointer(0x80000004u, &space), "abc");
    EXPECT_EQ(space, 4u);
    EXPECT_STREQ(scene->GetArgText(local + 4), "xyz");
    EXPECT_FALSE(scene->IsHalted());
}

// A text watch shows its text later, as it stands: one that runs to the end of its block's code is refused
// the way a text argument is, before anything would read past the code.
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
    EXPECT_EQ(DebugWatchGet(1), nullptr);
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main(6)\x81\x46" +
                         platform::Utf8ToSjis("文字列が領域の外にはみ出しています") + "\r\n");
}
