// marlo: the desktop program. Opens the main window and, once it is on the screen, the
// file the command line names.
#include "core/platform/atomic_file_writer.h"
#include "ui/app/main_form.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

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

} // namespace

int main(int argc, char** argv) {
  std::set_terminate(ReportTermination);
  qInstallMessageHandler(ReportQtMessage);
  marlo::platform::IgnoreFileSizeSignal();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Marlo");
  // Qt has taken its own options out of argv; the rest name the file.
  std::vector<std::string> args(argv + 1, argv + argc);
  marlo::TMainForm form;
  form.SetCommandLine(std::move(args));
  form.show();
  return app.exec();
}
