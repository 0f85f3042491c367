#pragma once
// How a failure reaches a person. Three kinds, one function each: the error box (with its log
// line when the failure has one), the data error (base/data_error.h) and the harness message.
#include <string_view>

namespace qv {

struct BaseWorld;

// An error box: caption "Error", an error icon. Headless runs print "Error: <text>" and never
// wait.
void ReportError(BaseWorld& ctx, std::string_view text);
// The log line first, then the same box.
void ReportError(BaseWorld& ctx, std::string_view text, std::string_view log_line);

// At the edge, once the operation the player or the program started is done: the box for a
// log write that failed during it. The edge owns this; nothing below it reports log failures.
void ReportLogFailure(BaseWorld& ctx);

// An information box (caption, text); not a failure.
void ShowInfoBox(BaseWorld& ctx, std::string_view caption, std::string_view text);

// Lines on standard error for whoever runs the program from a terminal or a script: command
// line mistakes, harness files that cannot be written, a display that cannot start. Never shown
// in a box. A final line break is added unless the text ends with one.
void HarnessMessage(std::string_view text);

}  // namespace qv
