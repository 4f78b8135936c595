// What the processor offers the pixel routines. The transition engine asks once, when it is made; the
// vector routines ask at each call which of their forms to run.
#pragma once

namespace platform {
// The vector forms of the pixel routines, each level holding the instructions of the ones below it:
// SSE2 (every x86-64 processor), SSSE3 (byte shuffles and byte multiply-adds) and AVX2 (256-bit lanes,
// with popcnt). A routine without a form of some level runs the form of the next level down.
enum class SimdLevel : int { None = 0, Sse2 = 1, Ssse3 = 2, Avx2 = 3 };

// The highest level this processor and system support (AVX2 also needs the system to save the wide
// registers), whatever a test forces.
SimdLevel ProcessorSimdLevel();
// The level the vector routines run at: the processor's, unless a test forced one
// (platform/testing_cpu.h).
SimdLevel GetSimdLevel();
const char* SimdLevelName(SimdLevel level);

// True when the vector pixel routines run: an x86-64 build whose processor reports SSE2, or a test
// forced them on.
bool IsSimdAvailable();
// True when the vector routines are compiled as intrinsics; otherwise they run as their scalar twins,
// which give the same bytes.
bool HasSimdIntrinsics();
} // namespace platform
