// The error report of the handlers and the frame: an error is shown once (message box and
// log line); the same text again while it keeps coming is only counted, and the count goes
// to the log at most once a second ("Range check error (repeated 812 times)").
#pragma once
#include <string>

// Reports a failure that abandoned a handler or a frame. A text counts as coming again when
// it was last seen less than a second ago, or while its own box is still open.
void ReportHandlerError(const std::string& text);
// Logs the repeats not yet told (shut-down).
void FlushErrorReports();
// Forgets every text (tests).
void ResetErrorReports();
