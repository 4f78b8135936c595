// Kernel objects behind HANDLE: CloseHandle deletes whatever a handle stands for.
#pragma once

#include "platform/base.h"

namespace platform {
struct KernelObject {
    virtual ~KernelObject() = default;
};
} // namespace platform
