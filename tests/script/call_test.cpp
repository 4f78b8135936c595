// Block calls and returns across resident and non-resident blocks, the run state at the end of the
// script, where host commands leave pc, and what a call that cannot be made leaves alone.
#include "ScriptTestSupport.h"

#include "files/SaveData.h"
#include "platform/text_encoding.h"

#include <string>

namespace {
const char kCallScript[] = R"(
.block main
    mov r5, #1
    cmd 0, 1, "Sub"
    host 98, 0
    cmd 0, 1, "sub"
    host 99, 0
    ret
.block sub%s
    add [count], #1
    mov r7, [count]
    ret
    .local
count: .int 0
    .endlocal
)";

std::string CallScript(bool resident) {
    char text[1024];
    std::snprintf(text, sizeof text, kCallScript, resident ? ", resident" : "");
    return text;
}
} // namespace

TEST_F(ScriptTest, HostCommandStopsExecuteWithPcAtItsGroupByte) {
    ASSERT_EQ(Load(R"(
.block main
    nop
    host 4, 7
    mov r1, #1
    host 99, 0
)"),
              1);
    EXPECT_EQ(scene->GetPc(), 0u);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetPc(), 2u);
    EXPECT_EQ(scene->GetCode()[2], 4);
    // An unknown group moves pc past the command and changes nothing else.
    scene->DispatchCommand();
    EXPECT_EQ(scene->GetPc(), 7u);
    EXPECT_EQ(scene->GetRegister(1), 0u);
    EXPECT_FALSE(scene->IsHalted());
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetRegister(1), 1u);
}

TEST_F(ScriptTest, CallRunsTheBlockAndReturnResumesAfterTheCall) {
    ASSERT_EQ(Load(CallScript(false)), 1);
    ASSERT_EQ(scene->Execute(), 1);
    const DWORD callPc = scene->GetPc();
    scene->DispatchCommand();
    EXPECT_EQ(scene->GetCurrentBlock(), 1);
    EXPECT_EQ(scene->GetPc(), 0u);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 2);
    EXPECT_STREQ(GetScriptName(), "sub");
    CallFrame* bottom = scene->GetCallStack().GetHead(0);
    ASSERT_NE(bottom, nullptr);
    EXPECT_STREQ(bottom->blockName, "main");
    EXPECT_EQ(bottom->returnPc, callPc + 5);
    EXPECT_EQ(scene->GetCodeSnapshot().size(), scene->GetCodeSize());

    // The return ends this pass; the caller goes on at the next one.
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(7), 1u);
    EXPECT_EQ(scene->GetCurrentBlock(), 0);
    EXPECT_EQ(scene->GetPc(), callPc + 5);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 1);
    EXPECT_STREQ(GetScriptName(), "main");
    EXPECT_FALSE(scene->GetBlock(1)->loaded) << "a block that is not resident is dropped on return";
    EXPECT_EQ(scene->GetCodeSnapshot().size(), scene->GetCodeSize());

    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetCode()[scene->GetPc()], 98);
}

TEST_F(ScriptTest, ResidentBlockKeepsItsLocalsBetweenCalls) {
    for (bool resident : {false, true}) {
        SCOPED_TRACE(resident ? "resident" : "not resident");
        ASSERT_EQ(Load(CallScript(resident)), 1);
        ASSERT_TRUE(RunUntilHost(98));
        EXPECT_EQ(scene->GetRegister(7), 1u);
        scene->DispatchCommand();
        ASSERT_TRUE(RunUntilHost(99));
        // Read again from the file, the counter starts over; kept in memory, it goes on counting.
        EXPECT_EQ(scene->GetRegister(7), resident ? 2u : 1u);
        EXPECT_EQ(scene->GetBlock(1)->loaded, resident);
    }
}

TEST_F(ScriptTest, ReturnFromTheBottomBlockFinishesTheScript) {
    ASSERT_EQ(Load(".block main\n    mov r1, #1\n    ret\n    mov r1, #2\n"), 1);
    EXPECT_EQ(scene->GetRunState(), CGameScene::kRunStay);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRunState(), CGameScene::kRunTitle);
    EXPECT_TRUE(scene->IsFinished());
    EXPECT_EQ(scene->GetCallStack().GetCount(), 0);
    // A finished script is not run again.
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(1), 1u);
}

TEST_F(ScriptTest, RunningOffTheEndOfTheCodeMakesNoProgress) {
    ASSERT_EQ(Load(".block main\n    mov r1, #1\n"), 1);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(1), 1u);
    EXPECT_FALSE(scene->IsFinished());
    EXPECT_FALSE(scene->IsHalted());
}

TEST_F(ScriptTest, NestedCallsUnwindInOrderWithTheirLineTables) {
    ASSERT_EQ(Load(R"(
.block main
    .line 1
    cmd 0, 1, "a"
    .line 2
    host 99, 0
.block a
    .line 10
    cmd 0, 1, "b"
    .line 11
    host 97, 0
    ret
.block b
    .line 20
    host 96, 0
    ret
)"),
              1);
    ASSERT_TRUE(RunUntilHost(96));
    EXPECT_EQ(scene->GetCallStack().GetCount(), 3);
    scene->DispatchCommand();
    EXPECT_EQ(GetScriptLine(), 20u);
    ASSERT_TRUE(RunUntilHost(97));
    EXPECT_EQ(scene->GetCallStack().GetCount(), 2);
    scene->DispatchCommand();
    EXPECT_STREQ(GetScriptName(), "a");
    EXPECT_EQ(GetScriptLine(), 11u);
    ASSERT_TRUE(RunUntilHost(99));
    scene->DispatchCommand();
    EXPECT_STREQ(GetScriptName(), "main");
    EXPECT_EQ(GetScriptLine(), 2u);
}

TEST_F(ScriptTest, UnknownBlockNameIsAFatalScriptError) {
    ASSERT_EQ(Load(".block main\n    .line 3\n    cmd 0, 1, \"nosuch\"\n    mov r6, #1\n"), 1);
    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    EXPECT_TRUE(scene->IsHalted());
    EXPECT_TRUE(IsErrorStop());
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main(3)\x81\x46" +
                         platform::Utf8ToSjis("登録されていないＩＤです") + "  ID = nosuch\r\n");
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(6), 0u);
}

TEST_F(ScriptTest, CallingABlockAlreadyOnTheStackIsRefused) {
    const char* const scripts[] = {
        // The block calls itself.
        ".block main\n    cmd 0, 1, \"sub\"\n.block sub, resident\n    .line 7\n    cmd 0, 1, \"SUB\"\n    "
        "ret\n",
        // The callee calls its caller.
        ".block main\n    cmd 0, 1, \"sub\"\n.block sub\n    .line 7\n    cmd 0, 1, \"main\"\n    ret\n",
    };
    const std::string message = platform::Utf8ToSjis("実行中のブロックは呼び出せません");
    for (const char* source : scripts) {
        ResetRunState();
        std::remove(dir.File("errmes.log").c_str());
        ASSERT_EQ(Load(source), 1);
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
        EXPECT_TRUE(scene->IsHalted());
        EXPECT_EQ(scene->GetCallStack().GetCount(), 2);
        EXPECT_EQ(scene->GetCurrentBlock(), 1);
        EXPECT_TRUE(scene->GetBlock(1)->loaded) << "the running block keeps its code";
        const std::string log = Log();
        EXPECT_NE(log.find("sub(7)\x81\x46" + message + "  ID = "), std::string::npos) << log;
    }
}

// A call whose block cannot be read leaves the caller's code snapshot and read-text table alone and
// goes on after the call.
TEST_F(ScriptTest, FailedBlockLoadKeepsTheCallersState) {
    const fixtures::AssembledScript script = Assemble(R"(
.block main
    cmd 2, 1
    cmd 0, 1, "sub"
    host 99, 0
.block sub
    cmd 2, 1
    cmd 2, 6
    ret
)");
    g_pConfig->SetSystemDataPath(dir.ProgramPath().c_str());
    g_pConfig->SetSaveDataPath(dir.ProgramPath().c_str());
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("at"), script.readTextSeed));
    g_pSaveData = new CSaveData;
    g_pSaveData->LoadSystemFile();
    ASSERT_TRUE(g_pSaveData->HasReadTextTable());

    ASSERT_EQ(LoadBytes(script.file), 1);
    DWORD entries = 0;
    EXPECT_NE(scene->GetReadEntries(&entries), nullptr);
    EXPECT_EQ(entries, 1u);
    const std::size_t mainCode = scene->GetCodeSize();

    // The file loses its last byte: block "sub", whose body ends the file, no longer loads.
    std::vector<unsigned char> cut = script.file;
    cut.pop_back();
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("main.sct"), cut));

    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    EXPECT_FALSE(scene->IsHalted());
    EXPECT_EQ(scene->GetCurrentBlock(), 0);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 1);
    EXPECT_FALSE(scene->GetBlock(1)->loaded);
    EXPECT_EQ(scene->GetCodeSnapshot().size(), mainCode);
    scene->GetReadEntries(&entries);
    EXPECT_EQ(entries, 1u);
    ASSERT_EQ(scene->Execute(), 1);
    EXPECT_EQ(scene->GetCode()[scene->GetPc()], 99);

    // With the whole file back, the call selects the callee's table.
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("main.sct"), script.file));
    scene->SetPc(scene->GetPc() - 7); // back to the call's 0xA0 byte; r1 still names "sub"
    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    EXPECT_EQ(scene->GetCurrentBlock(), 1);
    const ReadTextEntry* subEntries = scene->GetReadEntries(&entries);
    ASSERT_EQ(entries, 2u);
    // Packed records: copied out before comparing.
    const DWORD first = subEntries[0].position, second = subEntries[1].position;
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 7u);

    scene.reset();
    delete g_pSaveData;
    g_pSaveData = nullptr;
}
