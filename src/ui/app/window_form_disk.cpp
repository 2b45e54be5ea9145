// A document window and its file on disk: what it does when another program changed or
// removed the file, and the question before a save would overwrite someone else's work.
#include "core/platform/file_identity.h"
#include "core/shell/document_files.h"
#include "ui/app/disk_bar.h"
#include "ui/app/disk_watch.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace marlo {

void TWindowForm::CreateDiskWatch() {
  disk_ = new TDiskWatch(this);
  diskBar_ = new TDiskBar(this);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, diskBar_);
  diskNote_ = new QLabel(statusBar_);
  diskNote_->setObjectName("DiskNote");
  statusBar_->addWidget(diskNote_, 1);
  connect(disk_, &TDiskWatch::changed, this, [this] { FileChangedOnDisk(); });
  connect(disk_, &TDiskWatch::removed, this, [this] { FileRemovedFromDisk(); });
  connect(diskBar_, &TDiskBar::answered, this,
          [this](TDiskBar::TKind kind, int button) { DiskBarAnswered(kind, button); });
  // The note is about the text as reloaded: the first edit, or its undo, makes it old.
  connect(dm_, &TCustomCodeMemo::modifiedChanged, diskNote_, &QLabel::clear);
}

QString TWindowForm::DiskNote() const {
  return diskNote_->text();
}

void TWindowForm::WatchFile(const std::string& fileName) {
  // Taken right after our own write, so that it never counts as someone else's.
  disk_->Watch(fileName, platform::ReadFileIdentity(fileName));
  diskBar_->hide();
}

void TWindowForm::FileChangedOnDisk() {
  if (closed_) return;
  // Nothing of the user's would be lost: the window simply follows the file.
  if (!MemoSource().Modified()) {
    main_.RunCommand([this] { ReloadFromDisk(); });
    return;
  }
  diskBar_->ShowKind(TDiskBar::Changed, main_.UiText("DiskFileChanged"),
                     main_.UiText("DiskReloadButton"), main_.UiText("DiskKeepMineButton"));
}

void TWindowForm::FileRemovedFromDisk() {
  if (closed_) return;
  // The text is now the only copy: closing must ask.
  MemoSource().SetModified(true);
  UpdateStatusPanels();
  diskBar_->ShowKind(TDiskBar::Removed, main_.UiText("DiskFileRemoved"),
                     main_.UiText("DiskSaveButton"), main_.UiText("DiskCloseButton"));
}

void TWindowForm::ReloadFromDisk() {
  const std::string fileName = disk_->FileName();
  // Taken before the bytes are read, as when the file was opened.
  const platform::TFileIdentity identity = platform::ReadFileIdentity(fileName);
  TCustomMemoSource& source = MemoSource();
  source.ReloadFromFile(fileName);
  source.SetModified(false);
  loadedFileName_ = fileName;
  loadedUpToNul_ = FileHasNulByte(fileName);
  disk_->Remember(identity);
  diskBar_->hide();
  UpdateStatusPanels();
  diskNote_->setText(main_.UiText("DiskReloaded"));
}

void TWindowForm::DiskBarAnswered(int kind, int button) {
  if (kind == TDiskBar::Changed) {
    if (button == 0)
      main_.RunCommand([this] { ReloadFromDisk(); });
    else
      diskBar_->hide(); // the file as it is now counts as seen; the next save asks
    return;
  }
  if (button == 1) {
    parentWidget()->close();
    return;
  }
  main_.RunCommand([this] {
    if (main_.SaveDocumentTo(*this, caption_, true)) UpdateStatusPanels();
  });
}

TWindowForm::TSaveOver TWindowForm::AskBeforeSaving(const std::string& fileName) {
  if (!disk_->Watching() || fileName != disk_->FileName() || !disk_->ChangedSinceBase())
    return SaveOver;
  const QString text = PathToQString("\"" + fileName + "\" ") + main_.UiText("SaveOverChangedFile");
  const QStringList buttons = {main_.UiText("DiskOverwriteButton"),
                               main_.UiText("DiskSaveAsButton"), main_.UiText("CancelButton")};
  switch (main_.Dialogs().Choose(this, text, buttons)) {
  case 0:
    return SaveOver;
  case 1:
    return SaveElsewhere;
  default:
    return SaveCancelled;
  }
}

} // namespace marlo
