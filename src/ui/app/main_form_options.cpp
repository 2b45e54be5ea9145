// Edit Options: the dialog edits a copy; OK stores it and every document window follows.
#include "ui/app/main_form.h"
#include "ui/app/total_options_dlg.h"
#include "ui/app/window_form.h"

namespace marlo {

void TMainForm::EditOptionsClick() {
  TTotalOptionsDlg dialog(*this);
  const bool confirmed = dialog.exec() == QDialog::Accepted;
  RestoreActivation(this);
  if (!confirmed) return;
  settings_ = dialog.Edited(settings_);
  // A store that cannot be written says so once; the settings still hold for this run.
  SaveSettingsNow();
  SetOpenDialogFolder(settings_.SourcePath);
  SetSaveDialogFolder(settings_.SourcePath);
  for (TWindowForm* window : Documents()) ApplyEditorSettings(*window);
}

} // namespace marlo
