// The fatal error report with its log "errmes.log", and the two debugger-output traces.
#pragma once

#include <cstddef>

// Draws up to three lines on the background layer, appends one line to "errmes.log" and sets the
// error stop: from then on no game frame runs. message3 counts only with a message2.
void ReportError(const char* message1, const char* message2 = nullptr, const char* message3 = nullptr);

// "Y/MM/DD(hh:mm:ss) script(line)：m1  m2  m3" without the line end, from the local time, the current
// script and the messages; bounded to `size`.
void FormatErrorLogLine(char* out, std::size_t size, const char* message1, const char* message2,
                        const char* message3);

// Draws the report's lines on the background layer; false when there is no layer to draw on.
bool DrawErrorReport(const char* message1, const char* message2, const char* message3);

// A formatted line to the debugger output, cut at 1023 characters.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "tag -> message" to the debugger output; tag reads "Class::Method".
void ErrorLog(const char* tag, const char* format, ...) __attribute__((format(printf, 2, 3)));
