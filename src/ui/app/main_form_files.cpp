// The File menu's commands: New, Open, Save, Save As and Close, with the export that a
// save under an ".RTF", ".HTM" or ".HTML" name makes instead.
#include "core/export/export_text.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"

#include <QFile>
#include <QMdiSubWindow>

namespace marlo {

void TMainForm::FileNewExecute() {
  OpenDocumentWindow(LanguageText("UntitledWindow"));
}

void TMainForm::FileOpen1Execute() {
  TFileDialogSetup setup;
  setup.Title = "Select Zorbic File to Open";
  setup.Folder = PathToQString(openFolder_);
  setup.Filters = QStringList{"Zorbic source (*.zba)", "Basic source (*.bas)", "Text File (*.txt)",
                              "All files (*)"};
  setup.DefaultSuffix = "zba";
  const std::string chosen = QStringToPath(Dialogs().OpenFile(this, setup));
  if (chosen.empty()) return;
  const std::string name = AbsoluteFileName(chosen, CurrentFolder());
  mru_.Add(name);
  RebuildMRUMenu();
  OpenDocumentWindow(name);
  openFolder_ = saveFolder_ = platform::ExtractFilePath(name);
}

std::string TMainForm::RunSaveDialog(const std::string& folder, const std::string& fileName) {
  TFileDialogSetup setup;
  setup.Title = "Save Zorbic Source As...";
  setup.Folder = PathToQString(folder);
  setup.FileName = PathToQString(fileName);
  setup.Filters = QStringList{"Zorbic Source (*.zba)", "Basic Source (*.bas)", "Text File (*.txt)",
                              "RTF Export (*.rtf)",    "HTML Export (*.htm)",  "Any File (*)"};
  setup.DefaultSuffix = "zba";
  setup.SuffixOfFilter = [](int index) {
    return QString::fromStdString(SaveDialogDefaultExt(index));
  };
  const std::string chosen = QStringToPath(Dialogs().SaveFile(this, setup));
  if (chosen.empty()) return {};
  std::string name = AbsoluteFileName(chosen, CurrentFolder());
  saveFolder_ = platform::ExtractFilePath(name);
  return name;
}

bool TMainForm::ExportDocumentTo(TWindowForm& window, const std::string& fileName) {
  TCodeMemo& dm = window.Editor();
  switch (ExportFormatOfName(fileName)) {
  case TExportFormat::RTF:
    SaveToRTF(fileName, window.MemoSource(), dm.TextStyles(), dm.MemoColors(),
              dm.Has(moColorSyntax));
    return true;
  case TExportFormat::HTML:
    SaveToHTML(fileName, window.MemoSource(), dm.TextStyles(), dm.MemoColors(),
               dm.Has(moColorSyntax));
    return true;
  case TExportFormat::None:
    break;
  }
  return false;
}

bool TMainForm::SaveDocumentTo(TWindowForm& window, const std::string& fileName,
                               bool finalEmptyLine) {
  // The text of a file read only up to a NUL byte would replace all of that file.
  if (window.LoadedUpToNul() && window.LoadedFileName() == fileName &&
      !Dialogs().Confirm(this, PathToQString("\"" + fileName + "\" ") + UiText("SaveOverNulFile")))
    return false;
  // Someone else changed the file since the window read or wrote it.
  switch (window.AskBeforeSaving(fileName)) {
  case TWindowForm::SaveOver:
    break;
  case TWindowForm::SaveElsewhere:
    return SaveDocumentAs(window);
  case TWindowForm::SaveCancelled:
    return false;
  }
  TCustomMemoSource& source = window.MemoSource();
  if (finalEmptyLine) EnsureFinalEmptyLine(source);
  source.SaveToFile(fileName);
  source.SetModified(false);
  window.SavedAs(fileName);
  return true;
}

bool TMainForm::FileSaveClick() {
  TWindowForm& w = *ActiveDocument();
  if (!w.IsUntitled()) {
    if (!SaveDocumentTo(w, w.Caption(), true)) return false;
    mru_.Add(w.Caption());
    RebuildMRUMenu();
    return true;
  }
  const std::string name = RunSaveDialog(saveFolder_, {});
  if (name.empty()) return false;
  // An export leaves the window as it was: its source is still not saved.
  if (ExportDocumentTo(w, name)) return false;
  if (!SaveDocumentTo(w, name, true)) return false;
  openFolder_ = saveFolder_;
  w.SetCaption(name);
  mru_.Add(name);
  RebuildMRUMenu();
  return true;
}

void TMainForm::FileSaveAsClick() {
  SaveDocumentAs(*ActiveDocument());
}

bool TMainForm::SaveDocumentAs(TWindowForm& w) {
  std::string folder = saveFolder_, proposed;
  if (!w.IsUntitled()) {
    folder = platform::ExtractFilePath(w.Caption());
    proposed = platform::ChangeFileExt(platform::ExtractFileName(w.Caption()), "");
  }
  const std::string name = RunSaveDialog(folder, proposed);
  if (name.empty()) return false;
  if (ExportDocumentTo(w, name)) return false;
  mru_.Add(name);
  RebuildMRUMenu();
  if (!SaveDocumentTo(w, name, true)) return false;
  openFolder_ = saveFolder_;
  w.SetCaption(name);
  return true;
}

void TMainForm::FileCloseClick() {
  if (TWindowForm* w = ActiveDocument()) w->parentWidget()->close();
}

} // namespace marlo
