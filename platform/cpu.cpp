#include "platform/cpu.h"

#include "platform/testing_cpu.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {
std::atomic<platform::testing::SimdChoice> g_Choice{platform::testing::SimdChoice::Detect};

platform::SimdLevel DetectLevel() {
    using platform::SimdLevel;
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks the highest leaf first, so a processor without leaf 1 reports no vector unit.
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(edx & (1u << 26))) return SimdLevel::None;
    if (!(ecx & (1u << 9))) return SimdLevel::Sse2; // SSSE3
    // AVX2 needs AVX, popcnt and a system that saves the wide registers (OSXSAVE, then XCR0 bits 1-2).
    const bool avx = (ecx & (1u << 28)) && (ecx & (1u << 27)) && (ecx & (1u << 23));
    if (!avx) return SimdLevel::Ssse3;
    unsigned int xcr0 = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
    if ((xcr0 & 6u) != 6u) return SimdLevel::Ssse3;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) || !(ebx & (1u << 5))) return SimdLevel::Ssse3;
    return SimdLevel::Avx2;
#else
    return SimdLevel::None;
#endif
}

platform::SimdLevel Forced(platform::testing::SimdChoice choice) {
    using platform::SimdLevel;
    using platform::testing::SimdChoice;
    switch (choice) {
    case SimdChoice::Sse2:
        return SimdLevel::Sse2;
    case SimdChoice::Ssse3:
        return SimdLevel::Ssse3;
    case SimdChoice::Avx2:
        return SimdLevel::Avx2;
    default:
        return SimdLevel::None;
    }
}
} // namespace

namespace platform {
SimdLevel ProcessorSimdLevel() {
    static const SimdLevel detected = DetectLevel();
    return detected;
}

SimdLevel GetSimdLevel() {
    const SimdLevel own = ProcessorSimdLevel();
    switch (const testing::SimdChoice choice = g_Choice.load(std::memory_order_relaxed)) {
    case testing::SimdChoice::Detect:
        return own;
    case testing::SimdChoice::Plain:
        return SimdLevel::None;
    case testing::SimdChoice::Simd:
        return own == SimdLevel::None ? SimdLevel::Sse2 : own;
    default: {
        // Never above what the processor can run.
        const SimdLevel forced = Forced(choice);
        return forced <= own ? forced : own;
    }
    }
}

const char* SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::None:
        return "plain";
    case SimdLevel::Sse2:
        return "SSE2";
    case SimdLevel::Ssse3:
        return "SSSE3";
    case SimdLevel::Avx2:
        return "AVX2";
    }
    return "?";
}

bool IsSimdAvailable() {
    return GetSimdLevel() != SimdLevel::None;
}

bool HasSimdIntrinsics() {
#if defined(__SSE2__)
    return true;
#else
    return false;
#endif
}
} // namespace platform

namespace platform::testing {
bool ForceSimd(SimdChoice choice) {
    g_Choice = choice;
    const SimdLevel forced = Forced(choice);
    return forced == SimdLevel::None || forced <= ProcessorSimdLevel();
}
} // namespace platform::testing
