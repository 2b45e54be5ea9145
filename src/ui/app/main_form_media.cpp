// Ctrl+B and the previews of media files: the browser, the built-in viewers, and the
// external viewers, which live on by themselves.
#include "core/shell/media_files.h"
#include "ui/app/app_runner.h"
#include "ui/app/main_form.h"
#include "ui/qt_text.h"
#include "ui/restore_activation.h"
#include "ui/tools/bitmapdlg.h"
#include "ui/tools/mbrowsedlg.h"
#include "ui/tools/mediadlg.h"

#include <QApplication>

#include <cstdio>

namespace marlo {

void TMainForm::HelpMediaBrowserClick() {
  TmBrowseDlg dialog(*this);
  const int result = dialog.exec();
  RestoreActivation(this);
  if (result == TmBrowseDlg::kInsertResult) dialog.InsertIntoDocument();
}

void TMainForm::PreviewMediaFile(const std::string& fileName) {
  const TPreviewAction action = DecidePreview(fileName, settings_);
  const QString file = PathToQString(fileName);
  // A preview from the media browser belongs to it: the browser's modality would shut out
  // any other window.
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = this;
  switch (action.Kind) {
  case TPreviewAction::Nothing:
    return;
  case TPreviewAction::External:
    RunViewer(action.Viewer, fileName);
    return;
  case TPreviewAction::Bitmap: {
    auto* viewer = new Tbitmapdlg(owner);
    QString error;
    if (!viewer->LoadFromFile(file, file, &error)) {
      delete viewer;
      Dialogs().Error(this, error);
      return;
    }
    viewer->show();
    return;
  }
  case TPreviewAction::Player:
    break;
  }
  // Qt Multimedia plays no MIDI music: say so rather than show a player that stays silent.
  if (MediaKindOf(fileName) == TMediaKind::Midi) {
    Dialogs().Error(this, "\"" + file + "\" " + UiText("MediaNoMidi"));
    return;
  }
#ifdef MARLO_HAVE_MULTIMEDIA
  auto* viewer = new TMediaDlg(owner);
  viewer->OnError = [this](const QString& text) { Dialogs().Error(this, text); };
  viewer->NoSoundText = UiText("MediaNoSound");
  viewer->Play(file, UiText("MediaViewerCaption") + " " + file);
#else
  Dialogs().Error(this, "\"" + file + "\" " + UiText("MediaNoPlayer"));
#endif
}

void TMainForm::RunViewer(const std::string& viewerPath, const std::string& fileName) {
  const TViewerCommand command = MakeViewerCommand(viewerPath, fileName);
  QString error = "no program is set";
  bool started = false;
  if (!command.Program.empty()) {
    error.clear();
    QStringList arguments;
    for (const std::string& a : command.Arguments) arguments << PathToQString(a);
    const QString program = PathToQString(command.Program);
    started = detachedStarter_ ? detachedStarter_(program, arguments, &error)
                               : TAppRunner::StartDetached(program, arguments, {}, &error);
  }
  if (!started) {
    std::fprintf(stderr, "marlo: %s: %s\n", command.Program.c_str(),
                 error.toLocal8Bit().constData());
    Dialogs().Message(this, UiText("ErrorRunningBrowser") + " \"" + PathToQString(fileName) + "\"");
  }
}

} // namespace marlo
