#include "platform/display_backend.h"

#include "platform/headless_backend.h"
#include "platform/window_internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {
DisplayBackend* g_Backend = nullptr;
bool g_ForceHeadless = false;

bool HeadlessRequested() {
    const char* v = std::getenv("QUORIN_HEADLESS");
    return g_ForceHeadless || (v && std::strcmp(v, "1") == 0);
}
} // namespace

DisplayBackend& Backend() {
    if (g_Backend) return *g_Backend;
    if (HeadlessRequested()) {
        g_Backend = &TheHeadlessBackend();
        return *g_Backend;
    }
    g_Backend = CreateSdlBackend();
    if (!g_Backend) {
        // No display to open: the program cannot show its window and start-up stops there.
        std::fprintf(stderr, "quorin: no display could be opened; QUORIN_HEADLESS=1 runs without a window\n");
        TheHeadlessBackend().SetUnavailable(true);
        g_Backend = &TheHeadlessBackend();
    }
    return *g_Backend;
}

void UseHeadlessBackend() {
    g_ForceHeadless = true;
    g_Backend = &TheHeadlessBackend();
}

void ForgetBackendChoice() {
    g_ForceHeadless = false;
    g_Backend = nullptr;
}

DisplayBackend* ChosenBackend() {
    return g_Backend;
}

} // namespace platform
