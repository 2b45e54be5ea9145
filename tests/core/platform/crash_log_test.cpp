// The crash report: a child process installs the handlers over a scratch state folder,
// dies by a signal or an uncaught exception, and the parent reads what it left on stderr
// and in the log.
#include "../scoped_env.h"
#include "../temp_dir.h"
#include "core/platform/crash_log.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace marlo::test {
namespace {

using platform::DefaultCrashLogPath;

[[noreturn]] void ThrowUncaught() {
  std::set_terminate([] {
    try {
      std::rethrow_exception(std::current_exception());
    } catch (const std::exception& e) {
      platform::DieWithReport(std::string("ended by an uncaught exception: ") + e.what());
    }
  });
  // Thrown where nothing catches it; the test body around would otherwise.
  try {
    throw std::runtime_error("the model lost line 7");
  } catch (...) {
    std::terminate();
  }
}

// Runs `die` in a child whose stderr goes to `errFile`; the signal that ended it, or -1.
int DieInChild(const std::string& stateHome, const std::string& errFile,
               const std::function<void()>& die) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const int fd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDERR_FILENO);
    ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
    platform::InstallCrashHandlers("marlo", DefaultCrashLogPath());
    die();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(CrashLog, AFatalSignalOrUncaughtExceptionIsReportedAndEndsTheProgramAsBefore) {
  struct TCase {
    const char* Name;
    std::function<void()> Die;
    int Signal;
    const char* Line;
  };
  const TCase cases[] = {
      {"segfault", [] { ::raise(SIGSEGV); }, SIGSEGV, "marlo: ended by signal 11 (SIGSEGV)\n"},
      {"bus error", [] { ::raise(SIGBUS); }, SIGBUS, "marlo: ended by signal 7 (SIGBUS)\n"},
      {"abort", [] { std::abort(); }, SIGABRT, "marlo: ended by signal 6 (SIGABRT)\n"},
      {"exception", ThrowUncaught, SIGABRT,
       "marlo: ended by an uncaught exception: the model lost line 7\n"},
  };
  TempDir d;
  // The log's folder does not exist yet: the handlers make it.
  const std::string state = d / "state";
  const std::string log = state + "/marlo/crash.log";
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    SCOPED_TRACE(c.Name);
    const std::string err = d / "err";
    EXPECT_EQ(DieInChild(state, err, c.Die), c.Signal);
    const std::string stderrText = ReadFile(err), logText = ReadFile(log);
    // Said once, on stderr and at the end of the log, each time with a backtrace.
    EXPECT_EQ(Count(stderrText, "marlo: "), 1) << stderrText;
    EXPECT_EQ(stderrText.find(c.Line), 0u) << stderrText;
    EXPECT_NE(stderrText.find("[0x"), std::string::npos) << stderrText;
    EXPECT_EQ(Count(logText, "---- "), static_cast<int>(i + 1)) << logText;
    const std::string last = logText.substr(logText.rfind("---- "));
    EXPECT_NE(last.find(" UTC pid "), std::string::npos) << last;
    EXPECT_NE(last.find(c.Line), std::string::npos) << last;
    EXPECT_NE(last.find("[0x"), std::string::npos) << last;
  }
  EXPECT_EQ(Mode(log), 0600u);
}

TEST(CrashLog, TheLogLivesInTheStateFolder) {
  struct TCase {
    const char* StateHome; // nullptr: unset
    const char* Expect;
  };
  const TCase cases[] = {
      {"/s/state", "/s/state/marlo/crash.log"},        {"/s/state/", "/s/state/marlo/crash.log"},
      {nullptr, "/h/.local/state/marlo/crash.log"},    {"", "/h/.local/state/marlo/crash.log"},
      {"relative", "/h/.local/state/marlo/crash.log"}, // not absolute: ignored
  };
  ScopedEnv home("HOME", "/h");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.StateHome ? c.StateHome : "(unset)");
    ScopedEnv state("XDG_STATE_HOME",
                    c.StateHome ? std::optional<std::string>(c.StateHome) : std::nullopt);
    EXPECT_EQ(DefaultCrashLogPath(), c.Expect);
  }
}

} // namespace
} // namespace marlo::test
