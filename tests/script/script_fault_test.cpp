// Bytecode that would read or write outside its areas, divide by zero or use an undefined
// instruction stops the script with a fatal script error whose log line names the block and the
// source line; nothing outside the code or the blob is ever touched.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <cstdio>
#include <string>

namespace {
struct FaultCase {
    const char* name;
    const char* source;  // the faulting instruction comes from source line 40 of block "main"
    const char* message; // UTF-8
    const char* detail;  // second log message, or null
};

const FaultCase kFaults[] = {
    {"operand bytes past the end", ".data\n.int 0\n.block main\n.line 40\n.byte 0x02, 0x80, 1, 0\n",
     "命令がコードの終わりを越えています", nullptr},
    {"mode byte past the end", ".block main\n.line 40\n.byte 0x02\n", "命令がコードの終わりを越えています",
     nullptr},
    {"register form past the end", ".block main\n.line 40\n.byte 0x03, 0x01\n",
     "命令がコードの終わりを越えています", nullptr},
    {"jump target past the end", ".block main\n.line 40\n.byte 0x40, 0, 0\n",
     "命令がコードの終わりを越えています", nullptr},
    {"host command cut short", ".block main\n.line 40\n.byte 0xA0, 2, 1, 0\n",
     "命令がコードの終わりを越えています", nullptr},
    {"code address outside the code", ".block main\n.line 40\nmov r1, [0x1000]\n",
     "不正なアドレスを指しました", "アドレス = 00001000"},
    {"cell straddling the end of the code", ".block main\n.line 40\nmov r1, [7]\nret\n",
     "不正なアドレスを指しました", "アドレス = 00000007"},
    {"blob address outside the blob", ".data\n.int 1\n.block main\n.line 40\nmov [0x80000001], #2\n",
     "不正なアドレスを指しました", "アドレス = 80000001"},
    {"blob address without a blob", ".block main\n.line 40\nmov r1, [0x80000000]\n",
     "不正なアドレスを指しました", "アドレス = 80000000"},
    {"indirect register outside", ".block main\nmov r2, #0x7FFFFFFF\n.line 40\nadd r1, [r2]\n",
     "不正なアドレスを指しました", "アドレス = 7FFFFFFF"},
    {"indirect destination outside", ".block main\nmov r3, #0x90000000\n.line 40\nmov [r3], #1\n",
     "不正なアドレスを指しました", "アドレス = 90000000"},
    {"division by zero", ".block main\nmov r1, #5\n.line 40\ndiv r1, #0\n", "０で割りました", nullptr},
    {"remainder by zero", ".data\nz: .int 0\n.block main\nmov r1, #5\n.line 40\nmod r1, [z]\n",
     "０で割りました", nullptr},
    {"undefined opcode", ".block main\n.line 40\n.byte 0x60\n", "未定義の命令です", "コード = 60"},
    {"operand form without destination", ".block main\n.line 40\n.byte 0x02, 0xC1, 0, 0, 0, 0\n",
     "不正なオペランドです", nullptr},
    {"text argument outside its area", ".data\ncell: .int 100\n.block main\n.line 40\ncmd 0, 1, cell\n",
     "不正なアドレスを指しました", "アドレス = 80000064"},
    {"text argument without its end",
     ".data\ncell: .int 4\n.byte 0x41, 0x42\n.block main\n.line 40\ncmd 0, 1, cell\n",
     "文字列が領域の外にはみ出しています", nullptr},
    {"argument register outside", ".block main\nmov r1, #0x80000000\n.line 40\nhost 0, 11\n",
     "不正なアドレスを指しました", "アドレス = 80000000"},
};
} // namespace

TEST_F(ScriptTest, ScriptFaultsStopTheScriptWithTheirSourceLine) {
    for (const FaultCase& c : kFaults) {
        SCOPED_TRACE(c.name);
        ResetRunState();
        std::remove(dir.File("errmes.log").c_str());
        ASSERT_EQ(Load(c.source), 1);
        SetScriptLine(1);
        for (int frame = 0; frame < 4 && !scene->IsHalted(); ++frame) {
            if (scene->Execute() == 1) scene->DispatchCommand();
        }
        EXPECT_TRUE(scene->IsHalted());
        EXPECT_TRUE(IsErrorStop());
        std::string expected = "2004/03/05(09:07:03) main(40)\x81\x46" + platform::Utf8ToSjis(c.message);
        if (c.detail) expected += "  " + platform::Utf8ToSjis(c.detail);
        EXPECT_EQ(Log(), expected + "\r\n");
        // Nothing more runs.
        EXPECT_EQ(scene->Execute(), 0);
    }
}

TEST_F(ScriptTest, ScriptErrorKeepsTheLastLineWhenTheBlockHasNoLineTable) {
    ASSERT_EQ(Load(".block main\n    div r1, #0\n"), 1);
    SetScriptLine(77);
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_EQ(Log(),
              "2004/03/05(09:07:03) main(77)\x81\x46" + platform::Utf8ToSjis("０で割りました") + "\r\n");
}
