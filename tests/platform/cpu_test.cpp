// The processor check the pixel routines choose their form by: a forced level never runs above what the
// processor has, so a test or a setting cannot make the program run instructions the processor lacks.
#include "platform/cpu.h"
#include "platform/testing_cpu.h"

#include <gtest/gtest.h>

namespace pt = platform::testing;
using platform::SimdLevel;

TEST(SimdLevel, ForcedLevelsNeverPassTheProcessorsOwn) {
    const SimdLevel own = platform::ProcessorSimdLevel();
    const struct {
        const char* name;
        pt::SimdChoice choice;
        SimdLevel level;
    } rows[] = {{"SSE2", pt::SimdChoice::Sse2, SimdLevel::Sse2},
                {"SSSE3", pt::SimdChoice::Ssse3, SimdLevel::Ssse3},
                {"AVX2", pt::SimdChoice::Avx2, SimdLevel::Avx2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool runs = row.level <= own;
        EXPECT_EQ(pt::ForceSimd(row.choice), runs);
        EXPECT_EQ(platform::GetSimdLevel(), runs ? row.level : own);
        EXPECT_EQ(platform::IsSimdAvailable(), platform::GetSimdLevel() != SimdLevel::None);
    }
    // Without a vector unit nothing vector runs; with one forced on, the processor's own level or SSE2.
    EXPECT_TRUE(pt::ForceSimd(pt::SimdChoice::Plain));
    EXPECT_EQ(platform::GetSimdLevel(), SimdLevel::None);
    EXPECT_FALSE(platform::IsSimdAvailable());
    pt::ForceSimd(pt::SimdChoice::Simd);
    EXPECT_EQ(platform::GetSimdLevel(), own == SimdLevel::None ? SimdLevel::Sse2 : own);
    pt::ForceSimd(pt::SimdChoice::Detect);
    EXPECT_EQ(platform::GetSimdLevel(), own);
#if defined(__x86_64__)
    EXPECT_GE(own, SimdLevel::Sse2) << "every x86-64 processor has SSE2";
#endif
}
