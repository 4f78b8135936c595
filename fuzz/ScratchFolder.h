// One folder per fuzz process for the files a reader must open by path; memory-backed when the
// machine has /dev/shm, so that thousands of runs do not wear a disk or wait on fsync.
#pragma once

#include "tools/fixtures/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzing {
inline const fixtures::TempDir& ScratchFolder() {
    static const fixtures::TempDir* dir = [] {
        if (std::FILE* probe = std::fopen("/dev/shm/.quorin-fuzz-probe", "wb")) {
            std::fclose(probe);
            std::remove("/dev/shm/.quorin-fuzz-probe");
            setenv("TMPDIR", "/dev/shm", 1);
        }
        return new fixtures::TempDir; // kept to the end of the process
    }();
    return *dir;
}
} // namespace fuzzing
