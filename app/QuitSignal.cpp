#include "app/QuitSignal.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_QuitSignalled = 0;

extern "C" void OnQuitSignal(int) {
    g_QuitSignalled = 1;
}
} // namespace

void InstallQuitSignals() {
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool TakeQuitSignal() {
    if (!g_QuitSignalled) return false;
    g_QuitSignalled = 0;
    return true;
}
