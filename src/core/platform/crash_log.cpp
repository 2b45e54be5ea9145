#include "core/platform/crash_log.h"

#include "core/platform/environment.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#if __has_include(<execinfo.h>)
#include <execinfo.h>
#define MARLO_HAVE_BACKTRACE 1
#endif

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace marlo::platform {

namespace {

// Filled at installation: a signal handler may not allocate.
char gLogPath[4096];
char gProgram[64] = "marlo";
bool gInstalled = false;

constexpr std::array<int, 5> kSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

const char* SignalName(int sig) {
  switch (sig) {
  case SIGSEGV:
    return "SIGSEGV";
  case SIGBUS:
    return "SIGBUS";
  case SIGFPE:
    return "SIGFPE";
  case SIGILL:
    return "SIGILL";
  case SIGABRT:
    return "SIGABRT";
  default:
    return "a signal";
  }
}

// Text gathered without the allocator, for the handler as much as for the terminate path.
class TLine {
public:
  TLine& operator<<(const char* s) {
    while (*s && used_ + 1 < sizeof text_) text_[used_++] = *s++;
    text_[used_] = '\0';
    return *this;
  }
  TLine& operator<<(long long n) {
    char digits[24];
    size_t count = 0;
    const bool negative = n < 0;
    unsigned long long u =
        negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    do {
      digits[count++] = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u);
    if (negative) *this << "-";
    char out[2] = {};
    while (count) {
      out[0] = digits[--count];
      *this << out;
    }
    return *this;
  }
  // n with at least `width` digits.
  TLine& Padded(long long n, int width) {
    for (long long limit = 10; width > 1; --width, limit *= 10)
      if (n < limit) *this << "0";
    return *this << n;
  }
  const char* Text() const { return text_; }
  size_t Size() const { return used_; }

private:
  char text_[1024] = {};
  size_t used_ = 0;
};

// The time as "2026-12-07 02:46:40 UTC", without the locale or the time zone files.
void AppendTime(TLine& line) {
  const long long seconds = static_cast<long long>(std::time(nullptr));
  long long days = seconds / 86400, rest = seconds % 86400;
  // Days to a civil date (Howard Hinnant's algorithm).
  days += 719468;
  const long long era = days / 146097, doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153, day = doy - (153 * mp + 2) / 5 + 1;
  const long long month = mp < 10 ? mp + 3 : mp - 9, year = yoe + era * 400 + (month <= 2);
  line.Padded(year, 4) << "-";
  line.Padded(month, 2) << "-";
  line.Padded(day, 2) << " ";
  line.Padded(rest / 3600, 2) << ":";
  line.Padded(rest / 60 % 60, 2) << ":";
  line.Padded(rest % 60, 2) << " UTC";
}

void WriteAll(int fd, const char* text, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, text, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    size -= static_cast<size_t>(n);
  }
}

// The log's folders, made only when there is something to log, so that a program that never
// dies leaves no trace in the user's home.
void MakeLogFolders() {
  char path[sizeof gLogPath];
  std::memcpy(path, gLogPath, sizeof path);
  for (char* p = path + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    ::mkdir(path, 0700);
    *p = '/';
  }
}

// The report on stderr and, once installed, at the end of the log.
void Report(const char* what) {
  TLine head;
  head << gProgram << ": " << what << "\n";
#ifdef MARLO_HAVE_BACKTRACE
  void* frames[64];
  const int count = ::backtrace(frames, 64);
#endif
  const int saved = errno;
  WriteAll(STDERR_FILENO, head.Text(), head.Size());
#ifdef MARLO_HAVE_BACKTRACE
  ::backtrace_symbols_fd(frames, count, STDERR_FILENO);
#endif
  if (gInstalled) {
    MakeLogFolders();
    const int fd = ::open(gLogPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
      TLine stamp;
      stamp << "---- ";
      AppendTime(stamp);
      stamp << " pid " << static_cast<long long>(::getpid()) << "\n";
      WriteAll(fd, stamp.Text(), stamp.Size());
      WriteAll(fd, head.Text(), head.Size());
#ifdef MARLO_HAVE_BACKTRACE
      ::backtrace_symbols_fd(frames, count, fd);
#endif
      ::close(fd);
    }
  }
  errno = saved;
}

void OnFatalSignal(int sig) {
  TLine what;
  what << "ended by signal " << static_cast<long long>(sig) << " (" << SignalName(sig) << ")";
  Report(what.Text());
  // SA_RESETHAND has put the default action back: the signal, pending until this handler
  // returns, ends the program as if nothing had caught it.
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// A stack of its own, so that a death by stack overflow is reported too.
alignas(16) char gAltStack[64 * 1024];

} // namespace

std::string DefaultCrashLogPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::string folder =
      state && state[0] == '/' ? std::string(state) : HomeFolder() + "/.local/state";
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder + "/marlo/crash.log";
}

void InstallCrashHandlers(const std::string& program, const std::string& logPath) {
  std::snprintf(gProgram, sizeof gProgram, "%s", program.c_str());
  if (logPath.size() < sizeof gLogPath) {
    std::memcpy(gLogPath, logPath.c_str(), logPath.size() + 1);
    gInstalled = true;
  }
#ifdef MARLO_HAVE_BACKTRACE
  // The first call loads the unwinder, which allocates: better now than in the handler.
  void* frame[1];
  ::backtrace(frame, 1);
#endif
  stack_t stack{};
  stack.ss_sp = gAltStack;
  stack.ss_size = sizeof gAltStack;
  ::sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_handler = OnFatalSignal;
  action.sa_flags = SA_RESETHAND | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
}

void DieWithReport(const std::string& what) {
  Report(what.c_str());
  ::signal(SIGABRT, SIG_DFL);
  std::abort();
}

} // namespace marlo::platform
