// F1: the Zorbic help's start page in the user's browser, which lives on by itself.
#include "core/shell/help_command.h"
#include "ui/app/app_runner.h"
#include "ui/app/main_form.h"
#include "ui/qt_text.h"

#include <cstdio>

namespace marlo {

void TMainForm::HelpZBHelpClick() {
  const THelpCommand command =
      MakeHelpCommand(settings_.BrowserPath, settings_.HelpPath, programFolder_);
  switch (command.Kind) {
  case THelpCommand::Nothing:
    return;
  case THelpCommand::PageNotFound: {
    Dialogs().Message(this, UiText("HelpFileNotFound") + "\n" + PathToQString(command.Page));
    return;
  }
  case THelpCommand::Start:
    break;
  }
  QStringList arguments;
  for (const std::string& a : command.Arguments) arguments << PathToQString(a);
  const QString program = PathToQString(command.Program);
  QString error;
  const bool started = detachedStarter_ ? detachedStarter_(program, arguments, &error)
                                        : TAppRunner::StartDetached(program, arguments, {}, &error);
  if (!started) {
    std::fprintf(stderr, "marlo: %s: %s\n", command.Program.c_str(),
                 error.toLocal8Bit().constData());
    Dialogs().Message(this, UiText("ErrorRunningDefaultBrowser"));
  }
}

} // namespace marlo
