// Block calls and returns across resident and non-resident blocks, the run state at the end of the
// script, where host commands leave pc, and what a call that cannot be made leaves alone.
#include "ScriptTestSupport.h"

#include "files/SaveData.h"
#include "platform/text_encoding.h"

#include <string>

namespace {
std::string CallScript(bool resident) {
    return std::string(R"(
.block main
    mov r5, #1
    cmd 0, 1, "Sub"
    host 98, 0
    cmd 0, 1, "sub"
    host 99, 0
    ret
.block sub)") +
           (resident ? ", resident" : "") + R"(
    add [count], #1
    mov r7, [count]
    ret
    .local
count: .int 0
    .endlocal
)";
}

TEST_F(ScriptTest, HostCommandStopsExecuteWithPcAtItsGroupByte) {
    ASSERT_EQ(Load(".block main\n    nop\n    host 4, 7\n    mov r1, #1\n    host 99, 0\n"), 1);
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
    SCOPED_TRACE("ResidentBlockKeepsItsLocalsBetweenCalls");
    for (bool resident : {false, true}) {
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

TEST_F(ScriptTest, TheEndOfTheScriptAndOfTheCode) {
    // ReturnFromTheBottomBlockFinishesTheScript, and a finished script is not run again.
    ASSERT_EQ(Load(".block main\n    mov r1, #1\n    ret\n    mov r1, #2\n"), 1);
    EXPECT_EQ(scene->GetRunState(), CGameScene::kRunStay);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRunState(), CGameScene::kRunTitle);
    EXPECT_TRUE(scene->IsFinished());
    EXPECT_EQ(scene->GetCallStack().GetCount(), 0);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(1), 1u);
    // RunningOffTheEndOfTheCodeMakesNoProgress
    ASSERT_EQ(Load(".block main\n    mov r1, #1\n"), 1);
    EXPECT_EQ(scene->Execute() + scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(1), 1u);
    EXPECT_FALSE(scene->IsFinished() || scene->IsHalted());
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
    const struct {
        int group, depth;
        const char* block;
        DWORD line;
    } stops[] = {{96, 3, "b", 20}, {97, 2, "a", 11}, {99, 1, "main", 2}};
    for (const auto& stop : stops) {
        ASSERT_TRUE(RunUntilHost(stop.group));
        EXPECT_EQ(scene->GetCallStack().GetCount(), stop.depth);
        scene->DispatchCommand();
        EXPECT_STREQ(GetScriptName(), stop.block);
        EXPECT_EQ(GetScriptLine(), stop.line);
    }
}

TEST_F(ScriptTest, UnknownBlockNameIsAFatalScriptError) {
    ASSERT_EQ(Load(".block main\n    .line 3\n    cmd 0, 1, \"nosuch\"\n    mov r6, #1\n"), 1);
    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    EXPECT_TRUE(scene->IsHalted() && IsErrorStop());
    EXPECT_EQ(Log(), "2004/03/05(09:07:03) main(3)\x81\x46" +
                         platform::Utf8ToSjis("登録されていないＩＤです") + "  ID = nosuch\r\n");
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(scene->GetRegister(6), 0u);
}

// A block that is not resident would free the code that the outer call still runs: it is refused. A
// resident one keeps its code, and calls itself; each return goes on in the call below with the line
// table of the block.
TEST_F(ScriptTest, CallingABlockAlreadyOnTheStackIsRefused) {
    const char* const kResidentRecursion = R"(
.block main
    cmd 0, 1, "sub"
    host 99, 0
.block sub, resident
    .line 7
    add [depth], #1
    mov r7, [depth]
    cmp r7, #3
    jz done
    cmd 0, 1, "SUB"
    .line 8
    host 98, 0
done:
    ret
    .local
depth: .int 0
    .endlocal
)";
    const struct {
        const char* name;
        const char* source;
        bool refused;
    } rows[] = {
        {"the callee calls its caller",
         ".block main\n    cmd 0, 1, \"sub\"\n.block sub\n    .line 7\n    cmd 0, 1, \"main\"\n    ret\n",
         true},
        {"a block calls itself",
         ".block main\n    cmd 0, 1, \"sub\"\n.block sub\n    .line 7\n    cmd 0, 1, \"SUB\"\n    ret\n",
         true},
        {"a resident block calls itself", kResidentRecursion, false},
    };
    const std::string message = platform::Utf8ToSjis("実行中のブロックは呼び出せません");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ResetRunState();
        std::remove(dir.File("errmes.log").c_str());
        ASSERT_EQ(Load(row.source), 1);
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
        EXPECT_EQ(scene->IsHalted(), row.refused);
        EXPECT_TRUE(scene->GetBlock(1)->loaded) << "the running block keeps its code";
        if (row.refused) {
            EXPECT_EQ(scene->GetCallStack().GetCount(), 2);
            EXPECT_EQ(scene->GetCurrentBlock(), 1);
            EXPECT_NE(Log().find("sub(7)\x81\x46" + message + "  ID = "), std::string::npos) << Log();
            continue;
        }
        for (int depth = 3; depth >= 2; --depth) {
            ASSERT_TRUE(RunUntilHost(98));
            EXPECT_EQ(scene->GetCallStack().GetCount(), depth);
            scene->DispatchCommand();
            EXPECT_EQ(GetScriptLine(), 8u);
        }
        ASSERT_TRUE(RunUntilHost(99));
        EXPECT_EQ(scene->GetRegister(7), 3u);
        EXPECT_EQ(scene->GetCallStack().GetCount(), 1);
        EXPECT_EQ(Log(), "");
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
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("main.sct"), script.file.data(), script.file.size() - 1));
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(scene->Execute(), 1);
        scene->DispatchCommand();
    }
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
    const DWORD first = subEntries[0].position, second = subEntries[1].position; // packed: copied out
    EXPECT_EQ(first * 100 + second, 107u);
    scene.reset();
    delete g_pSaveData;
    g_pSaveData = nullptr;
}
} // namespace
