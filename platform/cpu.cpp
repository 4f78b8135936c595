#include "platform/cpu.h"

#include "platform/testing_cpu.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {
std::atomic<platform::testing::SimdChoice> g_choice{platform::testing::SimdChoice::Detect};

bool DetectSse2() {
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks the highest leaf first, so a processor without leaf 1 reports no vector unit.
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    return (edx & (1u << 26)) != 0;
#else
    return false;
#endif
}
} // namespace

namespace platform {
bool IsSimdAvailable() {
    switch (g_choice.load()) {
    case testing::SimdChoice::Plain:
        return false;
    case testing::SimdChoice::Simd:
        return true;
    case testing::SimdChoice::Detect:
        break;
    }
    static const bool detected = DetectSse2();
    return detected;
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
void ForceSimd(SimdChoice choice) {
    g_choice = choice;
}
} // namespace platform::testing
