// Test switch of the cpu family: forces the answer of platform::IsSimdAvailable.
#pragma once

namespace platform::testing {
enum class SimdChoice { Detect, Plain, Simd };
// Plain: the processor is reported without a vector unit; Simd: with one (the vector routines run their
// scalar twins where the build has no SSE2). Detect: the processor's own answer.
void ForceSimd(SimdChoice choice);
} // namespace platform::testing
