// marlo: the desktop program. Hands the command line's files to a Marlo that runs already,
// or opens the main window and, once it is on the screen, the files the command line names
// (without any, the last session's).
#include "core/platform/atomic_file_writer.h"
#include "core/platform/crash_log.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "ui/app/main_form.h"
#include "ui/app/single_instance.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#ifdef MARLO_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

// An end of the program that nobody planned says why, with a backtrace, on stderr and in the
// crash log before it aborts, so that a death during start-up leaves more than a signal.
void ReportTermination() {
  std::string what = "ended by std::terminate";
  if (std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      what = std::string("ended by an uncaught exception: ") + e.what();
    } catch (...) {
      what = "ended by an uncaught exception of an unknown type";
    }
  }
  std::fflush(stderr);
  marlo::platform::DieWithReport(what);
}

void ReportQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QByteArray bytes = qFormatLogMessage(type, context, text).toLocal8Bit();
  if (type == QtFatalMsg) {
    std::fflush(stderr);
    marlo::platform::DieWithReport("fatal: " + bytes.toStdString());
  }
  std::fprintf(stderr, "%s\n", bytes.constData());
  std::fflush(stderr);
}

// The command line's files as the running program must see them: absolute, since its
// current folder is not this one's.
std::vector<std::string> AbsoluteFiles(const std::vector<std::string>& args) {
  std::vector<std::string> files = marlo::CommandLineFiles(args, marlo::platform::FileExists);
  if (!files.empty()) {
    const std::string folder = marlo::CurrentFolder();
    for (std::string& f : files) f = marlo::AbsoluteFileName(f, folder);
  }
  return files;
}

// An X server resets itself when its last client leaves, and for that moment it takes no
// connections; the toolkit gives up at once on a display it cannot reach. A start that
// falls into that moment (a session's first program, or one started right after the
// previous one ended) waits up to three seconds for the display instead. The connection that
// found it stays open until the toolkit has its own, or closing it would reset the server
// once more.
class TDisplayWait {
public:
  TDisplayWait() {
#ifdef MARLO_HAVE_XCB
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if ((platform && *platform && std::strncmp(platform, "xcb", 3) != 0) || !display || !*display)
      return;
    for (int attempt = 0; attempt < 30; ++attempt) {
      connection_ = xcb_connect(nullptr, nullptr);
      if (xcb_connection_has_error(connection_) == 0) return;
      Close();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
#endif
  }
  ~TDisplayWait() {
    Close();
  }
  TDisplayWait(const TDisplayWait&) = delete;
  TDisplayWait& operator=(const TDisplayWait&) = delete;

  void Close() {
#ifdef MARLO_HAVE_XCB
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
#endif
  }

private:
#ifdef MARLO_HAVE_XCB
  xcb_connection_t* connection_ = nullptr;
#endif
};

} // namespace

int main(int argc, char** argv) {
  std::set_terminate(ReportTermination);
  marlo::platform::InstallCrashHandlers("marlo", marlo::platform::DefaultCrashLogPath());
  qInstallMessageHandler(ReportQtMessage);
  marlo::platform::IgnoreFileSizeSignal();
  // --help needs no display; Qt's own options ("--platform x") are still there.
  if (marlo::ParseStartArguments(std::vector<std::string>(argv + 1, argv + argc)).Help) {
    std::fputs(marlo::StartUsage(), stdout);
    return 0;
  }
  TDisplayWait display;
  QApplication app(argc, argv);
  display.Close();
  QApplication::setApplicationName("Marlo");
  // Qt has taken its own options out of argv; the rest are ours and the files.
  const marlo::TStartArguments start =
      marlo::ParseStartArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!start.Error.empty()) {
    std::fprintf(stderr, "marlo: %s\n%s", start.Error.c_str(), marlo::StartUsage());
    return 2;
  }
  marlo::TSingleInstance instance(marlo::TSingleInstance::DefaultServerName());
  std::optional<std::vector<std::string>> files;
  if (!start.NewInstance) {
    try {
      files = AbsoluteFiles(start.Files);
    } catch (const std::exception& e) {
      // Without a current folder the names mean something here only.
      std::fprintf(stderr, "marlo: %s\n", e.what());
    }
  }
  if (instance.HandOverOrListen(start.NewInstance, files ? &*files : nullptr)) return 0;
  marlo::TMainForm form;
  form.SetCommandLine(start.Files);
  // A separate program leaves the session to the one that runs already.
  form.SetRestoreSessionAtStart(!start.NewInstance);
  instance.OnFilesHanded = [&form](const std::vector<std::string>& handed) {
    form.OpenHandedFiles(handed);
  };
  form.show();
  return app.exec();
}
