// The vector levels a benchmark program runs its kernels at: every level this processor has, each named
// in lower case ("sse2", "ssse3", "avx2"), and a guard that holds the routines at one level.
#pragma once

#include "platform/cpu.h"
#include "platform/testing_cpu.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace bench_levels {
// Holds the vector routines at `level` (None: their plain forms) for the life of a benchmark.
struct AtLevel {
    explicit AtLevel(platform::SimdLevel level) {
        namespace pt = platform::testing;
        static constexpr pt::SimdChoice kChoices[] = {pt::SimdChoice::Plain, pt::SimdChoice::Sse2,
                                                      pt::SimdChoice::Ssse3, pt::SimdChoice::Avx2};
        pt::ForceSimd(kChoices[static_cast<int>(level)]);
    }
    ~AtLevel() { platform::testing::ForceSimd(platform::testing::SimdChoice::Detect); }
    AtLevel(const AtLevel&) = delete;
    AtLevel& operator=(const AtLevel&) = delete;
};

inline std::string LevelName(platform::SimdLevel level) {
    std::string name = platform::SimdLevelName(level);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// SSE2 up to the processor's own level.
inline std::vector<platform::SimdLevel> VectorLevels() {
    std::vector<platform::SimdLevel> levels;
    for (int l = 1; l <= static_cast<int>(platform::ProcessorSimdLevel()); ++l)
        levels.push_back(static_cast<platform::SimdLevel>(l));
    return levels;
}

// A benchmark timed in microseconds.
template <class... Args> void Register(const std::string& name, Args&&... args) {
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)->Unit(benchmark::kMicrosecond);
}
} // namespace bench_levels
