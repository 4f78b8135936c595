#include "app/ErrorReport.h"

#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/UpdateRegion.h"
#include "platform/debug.h"
#include "platform/files.h"
#include "platform/runtime.h"
#include "platform/time.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
// "：" (full-width colon) in Shift-JIS.
const char kFullWidthColon[] = "\x81\x46";

// A trace message holds at most 1023 characters and always ends with NUL.
constexpr std::size_t kTraceSize = 1024;
__attribute__((format(printf, 2, 0))) void FormatTrace(char (&out)[kTraceSize], const char* format,
                                                       va_list args) {
    out[0] = '\0';
    if (format) std::vsnprintf(out, sizeof out, format, args);
}

// The report's lines, kept for every frame that follows it.
struct ReportLines {
    char text[3][256];
    int count; // 1 to 3; 0 before any report
};
ReportLines g_ReportLines = {};

void AppendBounded(char* out, std::size_t size, const char* text) {
    const std::size_t len = std::strlen(out);
    if (len + 1 < size) CopyBounded(out + len, size - len, text);
}
} // namespace

void FormatErrorLogLine(char* out, std::size_t size, const char* message1, const char* message2,
                        const char* message3) {
    if (!out || size == 0) return;
    std::time_t now = crt::time(nullptr);
    const std::tm* t = crt::localtime(&now);
    std::snprintf(out, size, "%d/%02d/%02d(%02d:%02d:%02d) %s(%u)%s", t->tm_year + 1900, t->tm_mon + 1,
                  t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec, GetScriptName(),
                  static_cast<unsigned>(GetScriptLine()), kFullWidthColon);
    AppendBounded(out, size, message1 ? message1 : "");
    if (message2) {
        AppendBounded(out, size, "  ");
        AppendBounded(out, size, message2);
        if (message3) {
            AppendBounded(out, size, "  ");
            AppendBounded(out, size, message3);
        }
    }
}

const char* GetErrorReportLine(int i) {
    return i >= 0 && i < g_ReportLines.count ? g_ReportLines.text[i] : nullptr;
}

void ReportError(const char* message1, const char* message2, const char* message3) {
    // Data files can hand in long picture names: every message is cut to its buffer.
    ReportLines& lines = g_ReportLines;
    char(&m1)[256] = lines.text[0];
    char(&m2)[256] = lines.text[1];
    char(&m3)[256] = lines.text[2];
    CopyBounded(m1, message1 ? message1 : "");
    CopyBounded(m2, message2 ? message2 : "");
    CopyBounded(m3, message3 ? message3 : "");
    const char* p2 = message2 ? m2 : nullptr;
    const char* p3 = (message2 && message3) ? m3 : nullptr;
    lines.count = p3 ? 3 : p2 ? 2 : 1;

    // Nothing here needs a screen: a report before the compositor or the display exists still ends
    // the game, leaves its reason behind and shows once there is a frame to show it in.
    AddUpdateRect(GetScreenRect());
    if (g_pConfig) {
        std::FILE* fp = crt::fopen(g_pConfig->GetSystemProgramPath("errmes.log"), "a+b");
        if (fp) {
            char line[512];
            FormatErrorLogLine(line, sizeof line, m1, p2, p3);
            std::fwrite(line, 1, std::strlen(line), fp);
            std::fwrite("\r\n", 1, 2, fp);
            std::fclose(fp);
        }
    }
    SetErrorStop();
}

void Trace(const char* format, ...) {
    char buffer[kTraceSize];
    va_list args;
    va_start(args, format);
    FormatTrace(buffer, format, args);
    va_end(args);
    OutputDebugStringA(buffer);
    OutputDebugStringA("\n");
}

void ErrorLog(const char* tag, const char* format, ...) {
    char message[kTraceSize];
    va_list args;
    va_start(args, format);
    FormatTrace(message, format, args);
    va_end(args);
    char line[kTraceSize + 256];
    std::snprintf(line, sizeof line, "%s -> %s\n", tag ? tag : "", message);
    OutputDebugStringA(line);
}
