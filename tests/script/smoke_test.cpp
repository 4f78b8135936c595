#include "ScriptTestSupport.h"

TEST_F(ScriptTest, Smoke) {
    ASSERT_EQ(Load(R"(
.data
a: .int 5
.block main
    mov r1, #7
    add r1, [a]
    host 99, 0
    ret
)"),
              1);
    ASSERT_TRUE(RunUntilHost());
    EXPECT_EQ(scene->GetRegister(1), 12u);
}
