// marlo: the desktop program. Opens the main window and, once it is on the screen, the
// file the command line names.
#include "ui/app/main_form.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Marlo");
  // Qt has taken its own options out of argv; the rest name the file.
  std::vector<std::string> args(argv + 1, argv + argc);
  marlo::TMainForm form;
  form.SetCommandLine(std::move(args));
  form.show();
  return app.exec();
}
