// The fatal error report with its log "errmes.log", and the two debugger-output traces.
#pragma once

#include "platform/ddraw.h"

#include <cstddef>

// Keeps up to three lines for the screen, appends one line to "errmes.log" and sets the error stop:
// from then on no game frame runs and every frame shows the report alone. message3 counts only with
// a message2.
void ReportError(const char* message1, const char* message2 = nullptr, const char* message3 = nullptr);

// "Y/MM/DD(hh:mm:ss) script(line)：m1  m2  m3" without the line end, from the local time, the current
// script and the messages; bounded to `size`.
void FormatErrorLogLine(char* out, std::size_t size, const char* message1, const char* message2,
                        const char* message3);

// Line i (0-2) of the last report as it shows, null for a line it does not have (and before any report).
const char* GetErrorReportLine(int i);
// The frame after a fatal error, whatever the game was showing: the pending part of the update region
// of `target` black, and the report's lines over it from (64, 64), 32 pixels apart, in the device
// context's own colours. Marks the frame for presenting; the result of the fill (DD_OK when the region
// is empty).
HRESULT DrawErrorReport(IDirectDrawSurface* target);

// A formatted line to the debugger output, cut at 1023 characters.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "tag -> message" to the debugger output; tag reads "Class::Method".
void ErrorLog(const char* tag, const char* format, ...) __attribute__((format(printf, 2, 3)));
