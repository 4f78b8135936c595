#include "platform/debug.h"

#include "platform/testing.h"
#include "platform/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {
std::mutex g_debugLock;
bool g_capture = false;
std::string g_captured;
std::vector<platform::testing::MessageBoxRecord> g_boxes;
std::function<int(const char*, const char*, UINT)> g_presenter;

bool DebugToStderr() {
    static const bool on = [] {
        const char* v = std::getenv("QUORIN_DEBUG");
        return v && std::strcmp(v, "1") == 0;
    }();
    return on;
}
} // namespace

void OutputDebugStringA(const char* text) {
    if (!text) return;
    std::lock_guard<std::mutex> lock(g_debugLock);
    if (g_capture) g_captured += text;
    if (DebugToStderr()) std::fputs(platform::SjisToUtf8(text).c_str(), stderr);
}

int MessageBoxA(HANDLE, const char* text, const char* caption, UINT type) {
    std::function<int(const char*, const char*, UINT)> presenter;
    {
        std::lock_guard<std::mutex> lock(g_debugLock);
        g_boxes.push_back({text ? text : "", caption ? caption : "", type});
        presenter = g_presenter;
    }
    if (presenter) return presenter(text ? text : "", caption ? caption : "", type);
    std::fprintf(stderr, "%s: %s\n", platform::SjisToUtf8(caption ? caption : "").c_str(),
                 platform::SjisToUtf8(text ? text : "").c_str());
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

namespace platform {
void SetMessageBoxPresenter(std::function<int(const char*, const char*, UINT)> presenter) {
    std::lock_guard<std::mutex> lock(g_debugLock);
    g_presenter = std::move(presenter);
}

namespace testing {
void CaptureDebugOutput(bool on) {
    std::lock_guard<std::mutex> lock(g_debugLock);
    g_capture = on;
    g_captured.clear();
}
std::string TakeDebugOutput() {
    std::lock_guard<std::mutex> lock(g_debugLock);
    std::string out;
    out.swap(g_captured);
    return out;
}
std::vector<MessageBoxRecord> TakeMessageBoxes() {
    std::lock_guard<std::mutex> lock(g_debugLock);
    std::vector<MessageBoxRecord> out;
    out.swap(g_boxes);
    return out;
}
} // namespace testing
} // namespace platform
