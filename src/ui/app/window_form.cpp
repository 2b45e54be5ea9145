#include "ui/app/window_form.h"

#include "core/platform/file_identity.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "core/shell/file_at_cursor.h"
#include "core/shell/media_files.h"
#include "ui/app/disk_watch.h"
#include "ui/app/main_form.h"
#include "ui/editor/memo_input.h"
#include "ui/qt_text.h"
#include "ui/recovery/journal.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QVBoxLayout>

namespace marlo {

TWindowForm::TWindowForm(TMainForm& main, QWidget* parent) : QWidget(parent), main_(main) {
  setObjectName("WindowForm");
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  dm_ = new TCodeMemo(this);
  dm_->setObjectName("dm");
  keys_ = std::make_unique<TDocumentKeys>(dm_->MemoSource());
  layout->addWidget(dm_, 1);
  search_ = new TMemoSearch(*dm_);
  search_->OnMessage = [this](const QString& text) { main_.Dialogs().Message(this, text); };
  // The keys of the editor's own table run the menu's commands.
  dm_->OnFind = [this] { main_.RunCommand([this] { search_->ExecuteFindDialog(); }); };
  dm_->OnReplace = [this] { main_.RunCommand([this] { search_->ExecuteReplaceDialog(); }); };
  dm_->OnFindAgain = [this] { main_.RunCommand([this] { search_->FindAgain(); }); };
  dm_->OnGotoLine = [this] { main_.RunCommand([this] { search_->GotoLine(); }); };

  errorPanel_ = new QFrame(this);
  errorPanel_->setObjectName("ErrorPanel");
  static_cast<QFrame*>(errorPanel_)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  errorPanel_->setFixedHeight(26);
  errorPanel_->setAutoFillBackground(true);
  QPalette pal = errorPanel_->palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  errorPanel_->setPalette(pal);
  errorLog_ = new QLabel(errorPanel_);
  errorLog_->setObjectName("errorLog");
  QFont errorFont("Arial");
  errorFont.setBold(true);
  errorLog_->setFont(errorFont);
  errorLog_->setStyleSheet("color: navy");
  auto* errorLayout = new QHBoxLayout(errorPanel_);
  errorLayout->setContentsMargins(6, 0, 6, 0);
  errorLayout->addWidget(errorLog_);
  errorPanel_->hide();
  layout->addWidget(errorPanel_);

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar1");
  statusBar_->setSizeGripEnabled(false);
  const int widths[3] = {100, 100, 250};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(statusBar_);
    panels_[i]->setObjectName(QString("Panel%1").arg(i));
    panels_[i]->setFixedWidth(widths[i]);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->addWidget(panels_[i]);
  }
  layout->addWidget(statusBar_);

  // The creation steps: the character set, the shared highlighter, then counted as open.
  dm_->ConfigureAsDocument();
  MemoSource().ConfigureAsDocument();
  dm_->SetCharSet(main_.CharSet());
  dm_->SetSyntaxParser(main_.Highlighter());
  main_.DocumentOpened();
  justCreated_ = true;

  CreateContextMenu();
  CreateDiskWatch();
  dm_->installEventFilter(this);
  dm_->viewport()->installEventFilter(this);
  connect(dm_, &TCustomCodeMemo::caretMoved, this, [this] { UpdateStatusPanels(); });
  connect(dm_, &TCustomCodeMemo::modifiedChanged, this, [this] {
    UpdateStatusPanels();
    if (MemoSource().Modified()) StartJournal();
  });
  connect(dm_, &TCustomCodeMemo::overwriteChanged, this, [this] { UpdateStatusPanels(); });
  setFocusProxy(dm_);
}

TWindowForm::~TWindowForm() {
  if (!closed_) main_.DocumentClosed();
}

TMemoSource& TWindowForm::MemoSource() {
  // The control's own model is the document's.
  return static_cast<TMemoSource&>(dm_->MemoSource());
}

void TWindowForm::SetCaption(const std::string& fileName) {
  caption_ = fileName;
  setWindowTitle(IsUntitled() ? main_.ToQString(fileName) : PathToQString(fileName));
}

bool TWindowForm::IsUntitled() const {
  return caption_ == main_.LanguageText("UntitledWindow");
}

void TWindowForm::LoadFile(const std::string& fileName) {
  // Taken before the bytes are read: a change while they are read is seen later.
  const platform::TFileIdentity identity = platform::ReadFileIdentity(fileName);
  MemoSource().LoadFromFile(fileName);
  loadedFileName_ = caption_;
  loadedUpToNul_ = FileHasNulByte(fileName);
  disk_->Watch(fileName, identity);
}

void TWindowForm::SavedAs(const std::string& fileName) {
  if (fileName == loadedFileName_) loadedUpToNul_ = false;
  RemoveJournal();
  WatchFile(fileName);
}

void TWindowForm::CloseAnswered() {
  answered_ = true;
  if (!parentWidget()->close()) answered_ = false;
}

void TWindowForm::Discard() {
  closed_ = true;
  main_.DocumentClosed();
}

// ---- Status ---------------------------------------------------------------------------

void TWindowForm::UpdateStatusPanels() {
  const TCustomMemoSource& s = MemoSource();
  panels_[0]->setText(QString("%1:%2").arg(s.CaretX() + 1).arg(s.CaretY() + 1));
  panels_[1]->setText(s.Modified() && !justCreated_ ? main_.UiText("WindowModified") : QString());
  panels_[2]->setText(
      main_.UiText(TCustomMemoSource::Overwrite() ? "WindowOverwrite" : "WindowInsert"));
  justCreated_ = false;
}

QString TWindowForm::PanelText(int i) const {
  return panels_[i]->text();
}

void TWindowForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  UpdateStatusPanels();
}

// ---- Closing --------------------------------------------------------------------------

void TWindowForm::closeEvent(QCloseEvent* e) {
  if (closed_ || answered_ || FormCloseQuery()) {
    if (!closed_) {
      closed_ = true;
      main_.DocumentClosed();
    }
    disk_->Stop();
    // Saved, unchanged, or the user said not to keep the changes.
    RemoveJournal();
    e->accept();
  } else {
    e->ignore();
  }
}

bool TWindowForm::FormCloseQuery() {
  if (!MemoSource().Modified()) return true;
  // The user sees which document the question is about, also when the program closes.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (sub->isMinimized()) sub->showNormal();
    main_.MdiArea()->setActiveSubWindow(sub);
  }
  switch (main_.Dialogs().Question(this, main_.UiText("WindowModifiedQuestion"))) {
  case TAppDialogs::Cancel:
    return false;
  case TAppDialogs::No:
    return true;
  case TAppDialogs::Yes:
    break;
  }
  bool saved = false;
  main_.RunCommand([&] {
    if (!IsUntitled()) {
      saved = main_.SaveDocumentTo(*this, caption_, false);
      return;
    }
    const std::string name = main_.RunSaveDialog(main_.SaveDialogFolder(), {});
    if (name.empty()) return;
    // An export is not a save of the source: the window stays, still modified.
    if (main_.ExportDocumentTo(*this, name)) return;
    saved = main_.SaveDocumentTo(*this, name, false);
    if (saved) main_.SetOpenDialogFolder(main_.SaveDialogFolder());
  });
  return saved;
}

// ---- Keys and mouse -------------------------------------------------------------------

bool TWindowForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == dm_) {
    if (e->type() == QEvent::KeyPress) return dmKeyDown(static_cast<QKeyEvent*>(e));
    if (e->type() == QEvent::KeyRelease) dmKeyUp(static_cast<QKeyEvent*>(e));
  } else if (watched == dm_->viewport()) {
    if (e->type() == QEvent::MouseButtonPress) {
      // Alt held while clicking places the caret past the end of a line too.
      SyncKeySettings();
      keys_->MousePress(static_cast<QMouseEvent*>(e)->modifiers() & Qt::AltModifier);
      UpdateStatusPanels();
    } else if (e->type() == QEvent::MouseButtonRelease) {
      UpdateStatusPanels();
    }
  }
  return QWidget::eventFilter(watched, e);
}

void TWindowForm::SyncKeySettings() {
  keys_->PastEOL = main_.Settings().PastEOL;
  keys_->LeftArrowUp = main_.Settings().LeftArrowUp;
}

bool TWindowForm::dmKeyDown(QKeyEvent* e) {
  errorPanel_->hide();
  TKeyCode key = vkNone;
  TShiftState shift;
  TMemoInput::MapKey(*e, key, shift);
  SyncKeySettings();
  const bool consumed = keys_->KeyDown(key, shift);
  if (consumed) dm_->ScrollToCaret();
  UpdateStatusPanels();
  return consumed;
}

void TWindowForm::dmKeyUp(QKeyEvent* e) {
  TKeyCode key = vkNone;
  TShiftState shift;
  TMemoInput::MapKey(*e, key, shift);
  SyncKeySettings();
  keys_->KeyUp(key, shift, e->isAutoRepeat());
  UpdateStatusPanels();
}

// ---- Pop-up menu ----------------------------------------------------------------------

void TWindowForm::CreateContextMenu() {
  rcmenu_ = new QMenu(this);
  rcmenu_->setObjectName("rcmenu");
  auto add = [this](const char* name, const char* caption, const std::function<void()>& run) {
    QAction* a = rcmenu_->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, run] { main_.RunCommand(run); });
    return a;
  };
  add("Cut", "Cut", [this] { MemoSource().CutToClipboard(); });
  rcmenu_->addSeparator();
  add("Copy1", "Copy", [this] { MemoSource().CopyToClipboard(); });
  add("Paste1", "Paste", [this] { MemoSource().PasteFromClipboard(); });
  rcmenu_->addSeparator();
  add("Delete1", "Delete", [this] { MemoSource().DeleteSelection(); });
  rcmenu_->addSeparator();
  add("SelectAll1", "Select All", [this] { MemoSource().SelectAll(); });
  rcmenu_->addSeparator();
  add("OpenFileatCursor1", "Preview Media File at Cursor", [this] {
    OpenFileatCursor1Click();
  })->setEnabled(false);
  add("MediaBrowser1", "Media Browser", [this] { main_.HelpMediaBrowserClick(); });
  add("PreviewInsertRGBColor1", "Preview/Insert RGB Color",
      [this] { PreviewInsertRGBColor1Click(); });
  connect(dm_, &TCustomCodeMemo::contextMenuRequested, this, [this](const QPoint& pos) {
    rcmenuPopup();
    rcmenu_->exec(pos);
  });
}

QAction* TWindowForm::ContextAction(const QString& name) const {
  for (QAction* a : rcmenu_->actions())
    if (a->objectName() == name) return a;
  return nullptr;
}

void TWindowForm::rcmenuPopup() {
  fileAtCursor_.clear();
  QAction* open = ContextAction("OpenFileatCursor1");
  open->setEnabled(false);
  TCustomMemoSource& s = MemoSource();
  if (s.CaretY() >= s.LineCount()) return;
  fileAtCursor_ = FindQuotedFileName(s.LineText(s.CaretY()), s.CaretX());
  open->setEnabled(!fileAtCursor_.empty() && CanOpenAtCursor(fileAtCursor_));
}

void TWindowForm::OpenFileatCursor1Click() {
  if (fileAtCursor_.empty()) return;
  // Resolved against the document's folder, part by part regardless of letter case when
  // the exact name is missing; the process's current folder stays as it is.
  const std::string name =
      ResolveMediaFile(fileAtCursor_, IsUntitled() ? std::string() : caption_, CurrentFolder());
  if (name.empty())
    main_.Dialogs().Error(this, PathToQString("\"" + fileAtCursor_ + "\" ") +
                                    main_.UiText("WindowNotFound"));
  else if (IsSourceFileName(fileAtCursor_))
    main_.OpenDocumentWindow(name);
  else
    main_.PreviewMediaFile(name);
}

void TWindowForm::PreviewInsertRGBColor1Click() {
  std::optional<QColor> color = main_.Dialogs().Color(this, main_.SavedCustomColors());
  if (!color) return;
  const std::string text = "RGB(" + std::to_string(color->red()) + "," +
                           std::to_string(color->green()) + "," + std::to_string(color->blue()) +
                           ")";
  TCustomMemoSource& s = MemoSource();
  s.InsertText(text);
}

} // namespace marlo
