// marlo: the desktop program. Opens the main window and, once it is on the screen, the
// file the command line names.
#include "core/platform/atomic_file_writer.h"
#include "ui/app/main_form.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#ifdef MARLO_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

// An end of the program that nobody planned says why on stderr before it aborts, so that
// a death during start-up leaves more than a signal behind.
void ReportTermination() {
  if (std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "marlo: ended by an uncaught exception: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "marlo: ended by an uncaught exception of an unknown type\n");
    }
  } else {
    std::fprintf(stderr, "marlo: ended by std::terminate\n");
  }
  std::fflush(stderr);
  std::abort();
}

void ReportQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QByteArray bytes = qFormatLogMessage(type, context, text).toLocal8Bit();
  std::fprintf(stderr, "%s%s\n", type == QtFatalMsg ? "marlo: fatal: " : "", bytes.constData());
  std::fflush(stderr);
  if (type == QtFatalMsg) std::abort();
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
  qInstallMessageHandler(ReportQtMessage);
  marlo::platform::IgnoreFileSizeSignal();
  TDisplayWait display;
  QApplication app(argc, argv);
  display.Close();
  QApplication::setApplicationName("Marlo");
  // Qt has taken its own options out of argv; the rest name the file.
  std::vector<std::string> args(argv + 1, argv + argc);
  marlo::TMainForm form;
  form.SetCommandLine(std::move(args));
  form.show();
  return app.exec();
}
