#include "platform/time.h"

#include "platform/testing.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {
std::atomic<bool> g_manual{false};
std::atomic<DWORD> g_manualNow{0};
std::mutex g_listenerLock;
struct Listener {
    int id;
    std::function<void(DWORD)> fn;
};
std::vector<Listener> g_listeners;
int g_nextListener = 1;

bool g_pinnedTime = false;
std::tm g_pinnedLocal{};

DWORD RealNow() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    // Start away from zero so that code which subtracts a few seconds never sees a negative tick.
    const auto ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
    return static_cast<DWORD>(100000u + static_cast<std::uint64_t>(ms));
}

void Notify(DWORD elapsed) {
    std::vector<Listener> copy;
    {
        std::lock_guard<std::mutex> lock(g_listenerLock);
        copy = g_listeners;
    }
    for (auto& l : copy)
        l.fn(elapsed);
}
} // namespace

DWORD GetTickCount() {
    return g_manual ? g_manualNow.load() : RealNow();
}
DWORD timeGetTime() {
    return GetTickCount();
}

void Sleep(DWORD ms) {
    if (g_manual) {
        platform::testing::AdvanceClock(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace crt {
std::time_t time(std::time_t* out) {
    std::time_t t = g_pinnedTime ? std::mktime(&g_pinnedLocal) : std::time(nullptr);
    if (out) *out = t;
    return t;
}

const std::tm* localtime(const std::time_t* t) {
    thread_local std::tm result{};
    if (g_pinnedTime) {
        result = g_pinnedLocal;
        return &result;
    }
    std::time_t now = t ? *t : std::time(nullptr);
    if (!localtime_r(&now, &result)) result = std::tm{};
    return &result;
}
} // namespace crt

namespace platform {
int AddClockListener(std::function<void(DWORD)> listener) {
    std::lock_guard<std::mutex> lock(g_listenerLock);
    g_listeners.push_back({g_nextListener, std::move(listener)});
    return g_nextListener++;
}

void RemoveClockListener(int id) {
    std::lock_guard<std::mutex> lock(g_listenerLock);
    std::erase_if(g_listeners, [id](const Listener& l) { return l.id == id; });
}

bool IsManualClock() {
    return g_manual;
}

namespace testing {
void UseManualClock(DWORD start) {
    g_manualNow = start;
    g_manual = true;
}
void UseRealClock() {
    g_manual = false;
}
void SetClock(DWORD now) {
    g_manualNow = now;
}
void AdvanceClock(DWORD ms) {
    g_manualNow.fetch_add(ms);
    Notify(ms);
}
void PinLocalTime(int year, int month, int day, int hour, int minute, int second) {
    g_pinnedLocal = std::tm{};
    g_pinnedLocal.tm_year = year - 1900;
    g_pinnedLocal.tm_mon = month - 1;
    g_pinnedLocal.tm_mday = day;
    g_pinnedLocal.tm_hour = hour;
    g_pinnedLocal.tm_min = minute;
    g_pinnedLocal.tm_sec = second;
    g_pinnedLocal.tm_isdst = -1;
    g_pinnedTime = true;
}
void UnpinLocalTime() {
    g_pinnedTime = false;
}
} // namespace testing
} // namespace platform
