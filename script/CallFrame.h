// One frame of the script call stack: the block that runs and the pc at which it resumes once the
// block it called returns.
#pragma once

#include "platform/base.h"

struct CallFrame {
    char blockName[20]; // NUL-terminated
    DWORD returnPc;     // filled in when this frame makes a call
};
