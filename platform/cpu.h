// What the processor offers the pixel routines. The transition engine asks once, when it is made.
#pragma once

namespace platform {
// True when the vector pixel routines can run on this machine: an x86-64 build whose processor reports
// SSE2 (CPUID leaf 1, EDX bit 26). A test may force either answer (platform/testing_cpu.h).
bool IsSimdAvailable();
// True when the vector routines are compiled as SSE2 intrinsics; otherwise they run as their scalar
// twins, which give the same bytes.
bool HasSimdIntrinsics();
} // namespace platform
