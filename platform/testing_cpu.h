// Test switch of the cpu family: forces the answer of platform::IsSimdAvailable and the level the vector
// routines run at.
#pragma once

namespace platform::testing {
// Plain: the processor is reported without a vector unit. Simd: with one, at the processor's own level
// (the vector routines run their scalar twins where the build has no SSE2). Sse2, Ssse3, Avx2: the vector
// routines run at that level. Detect: the processor's own answer.
enum class SimdChoice { Detect, Plain, Simd, Sse2, Ssse3, Avx2 };
// Returns false when the processor lacks the forced level; the routines then run at its own level.
bool ForceSimd(SimdChoice choice);
} // namespace platform::testing
