// The vector levels the pixel kernels are compared at: a test of this fixture runs once per level, with
// the vector routines held there, and is skipped where the processor lacks the level.
#pragma once

#include "platform/testing_cpu.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace graphics_test {
struct SimdLevel {
    platform::testing::SimdChoice choice;
    const char* name;
};

inline const SimdLevel kSimdLevels[] = {{platform::testing::SimdChoice::Sse2, "Sse2"},
                                        {platform::testing::SimdChoice::Ssse3, "Ssse3"},
                                        {platform::testing::SimdChoice::Avx2, "Avx2"}};

inline void PrintTo(const SimdLevel& level, std::ostream* os) {
    *os << level.name;
}

class AtSimdLevel : public ::testing::TestWithParam<SimdLevel> {
  protected:
    void SetUp() override {
        if (!platform::testing::ForceSimd(GetParam().choice))
            GTEST_SKIP() << "this processor has no " << GetParam().name;
    }
    void TearDown() override { platform::testing::ForceSimd(platform::testing::SimdChoice::Detect); }
};

inline std::string SimdLevelName(const ::testing::TestParamInfo<SimdLevel>& info) {
    return info.param.name;
}
} // namespace graphics_test

// One run of every test of `suite` (a class derived from AtSimdLevel) at each level.
#define QUORIN_AT_EVERY_SIMD_LEVEL(suite)                                                                    \
    INSTANTIATE_TEST_SUITE_P(Levels, suite, ::testing::ValuesIn(graphics_test::kSimdLevels),                 \
                             graphics_test::SimdLevelName)
