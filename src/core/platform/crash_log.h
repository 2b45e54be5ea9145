#pragma once
// The last words of a program that dies: an uncaught exception or a fatal signal
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) is reported on stderr with a backtrace, and the
// same report is appended to the crash log, so that a death seen by nobody still leaves a
// trace. The program then dies as it would have: by the same signal, at its default action.
#include <string>

namespace marlo::platform {

// $XDG_STATE_HOME/marlo/crash.log; ~/.local/state/marlo/crash.log when that is unset or
// not absolute.
std::string DefaultCrashLogPath();

// Installs the signal handlers; `program` starts each report. The handler only makes the
// log's folders, opens, writes and closes: everything else is prepared here.
void InstallCrashHandlers(const std::string& program, const std::string& logPath);

// Reports `what` (one line, "ended by an uncaught exception: ...") with a backtrace, then
// aborts without a second report from the SIGABRT handler. Before InstallCrashHandlers
// the report goes to stderr only.
[[noreturn]] void DieWithReport(const std::string& what);

} // namespace marlo::platform
