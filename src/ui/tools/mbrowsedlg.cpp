#include "ui/tools/mbrowsedlg.h"

#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "core/shell/media_files.h"
#include "core/text/memo_source.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"

#include <QCheckBox>
#include <QCompleter>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace marlo {

namespace {

// A small picture per kind: a coloured card with the extension written on it.
QIcon MediaIcon(TMediaKind kind) {
  static const struct {
    const char* Label;
    QColor Color;
  } kLooks[] = {{"BMP", QColor(0, 128, 0)},  {"AVI", QColor(128, 0, 128)},
                {"MID", QColor(0, 0, 160)},  {"WAV", QColor(0, 128, 160)},
                {"3DS", QColor(160, 80, 0)}, {"X", QColor(128, 128, 0)}};
  const auto& look = kLooks[static_cast<int>(kind)];
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(look.Color);
  p.setPen(look.Color.darker());
  p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 4, 4);
  QFont font = p.font();
  font.setPixelSize(10);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, look.Label);
  return QIcon(pixmap);
}

} // namespace

TmBrowseDlg::TmBrowseDlg(TMainForm& main)
    : QDialog(&main), main_(main), document_(main.ActiveDocument()) {
  setObjectName("mBrowseDlg");
  setWindowTitle(main_.UiText("MediaBrowserCaption"));
  setSizeGripEnabled(true);

  diredit_ = new QLineEdit(this);
  diredit_->setObjectName("diredit");
  // The folders below what is typed drop down as it is typed.
  auto* folders = new QFileSystemModel(this);
  folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  folders->setRootPath(QString());
  auto* completer = new QCompleter(folders, this);
  diredit_->setCompleter(completer);

  folderMessage_ = new QLabel(main_.UiText("MediaFolderNotFound"), this);
  folderMessage_->setObjectName("FolderMessage");
  folderMessage_->hide();

  filetree_ = new QListWidget(this);
  filetree_->setObjectName("filetree");
  filetree_->setViewMode(QListView::IconMode);
  filetree_->setResizeMode(QListView::Adjust);
  filetree_->setMovement(QListView::Static);
  filetree_->setIconSize(QSize(32, 32));
  filetree_->setGridSize(QSize(110, 64));
  filetree_->setWordWrap(true);
  filetree_->setSelectionMode(QAbstractItemView::SingleSelection);

  cmPreview_ = new QPushButton(main_.UiText("MediaBrowserPreviewButton"), this);
  cmPreview_->setObjectName("cmPreview");
  cmInsert_ = new QPushButton(main_.UiText("MediaBrowserInsertButton"), this);
  cmInsert_->setObjectName("cmInsert");
  cmInsert_->setDefault(true);
  cbAbsolute_ = new QCheckBox(main_.UiText("MediaBrowserAbsolute"), this);
  cbAbsolute_->setObjectName("cbAbsolute");
  cmOK_ = new QPushButton(main_.UiText("OKbutton"), this);
  cmOK_->setObjectName("cmOK");
  cmOK_->setAutoDefault(false);
  cmPreview_->setAutoDefault(false);
  cmPreview_->setEnabled(false);
  cmInsert_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmPreview_);
  buttons->addWidget(cmInsert_);
  buttons->addWidget(cbAbsolute_);
  buttons->addStretch(1);
  buttons->addWidget(cmOK_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(diredit_);
  layout->addWidget(folderMessage_);
  layout->addWidget(filetree_, 1);
  layout->addLayout(buttons);

  connect(diredit_, &QLineEdit::textChanged, this, [this] { FillList(); });
  connect(filetree_, &QListWidget::itemSelectionChanged, this, [this] { filetreeClick(); });
  connect(filetree_, &QListWidget::itemClicked, this, [this] { filetreeClick(); });
  connect(filetree_, &QListWidget::itemDoubleClicked, this, [this] {
    if (cmPreview_->isEnabled()) cmPreviewClick();
  });
  connect(cmPreview_, &QPushButton::clicked, this, [this] { cmPreviewClick(); });
  connect(cmInsert_, &QPushButton::clicked, this, [this] { cmInsertClick(); });
  connect(cmOK_, &QPushButton::clicked, this, [this] { done(kCloseResult); });

  resize(520, 380);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  const QSignalBlocker quiet(diredit_);
  if (HasTitledDocument())
    diredit_->setText(PathToQString(platform::ExtractFilePath(document_->Caption())));
  else
    diredit_->setText(PathToQString(main_.Settings().SourcePath));
}

bool TmBrowseDlg::HasTitledDocument() const {
  return document_ && !document_->IsUntitled();
}

std::string TmBrowseDlg::Folder() const {
  // A folder typed without its full path is taken from the current folder, as the list
  // shows it, so that an absolute insertion is absolute.
  const std::string folder = QStringToPath(diredit_->text());
  if (folder.empty() || folder.front() == '/') return folder;
  return AbsoluteFileName(folder, CurrentFolder());
}

void TmBrowseDlg::SetFolder(const std::string& folder) {
  diredit_->setText(PathToQString(folder));
}

void TmBrowseDlg::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  const bool titled = HasTitledDocument();
  if (!titled) cbAbsolute_->setChecked(true);
  cbAbsolute_->setEnabled(titled);
  FillList();
}

void TmBrowseDlg::FillList() {
  filetree_->clear();
  cmPreview_->setEnabled(false);
  cmInsert_->setEnabled(false);
  const TMediaListing listing = ListMediaFiles(Folder());
  folderMessage_->setVisible(!listing.FolderFound);
  // The names come sorted regardless of case; the list keeps that order.
  for (const std::string& name : listing.Names) {
    auto* item = new QListWidgetItem(MediaIcon(MediaKindOf(name)), PathToQString(name), filetree_);
    item->setToolTip(PathToQString(JoinMediaPath(Folder(), name)));
  }
}

std::string TmBrowseDlg::SelectedPath() const {
  const QList<QListWidgetItem*> selected = filetree_->selectedItems();
  if (selected.isEmpty()) return {};
  return JoinMediaPath(Folder(), QStringToPath(selected.front()->text()));
}

void TmBrowseDlg::filetreeClick() {
  const std::string path = SelectedPath();
  cmPreview_->setEnabled(!path.empty());
  cmInsert_->setEnabled(cmPreview_->isEnabled() && document_);
  if (!path.empty() && !BrowserCanPreview(path)) cmPreview_->setEnabled(false);
}

void TmBrowseDlg::cmPreviewClick() {
  const std::string path = SelectedPath();
  if (path.empty()) return;
  cmPreview_->setEnabled(false);
  cmInsert_->setEnabled(false);
  main_.RunCommand([&] { main_.PreviewMediaFile(path); });
}

void TmBrowseDlg::cmInsertClick() {
  if (!SelectedPath().empty() && document_) done(kInsertResult);
}

std::string TmBrowseDlg::InsertedName() const {
  const std::string documentFile = HasTitledDocument() ? document_->Caption() : std::string();
  return InsertedMediaName(SelectedPath(), documentFile, cbAbsolute_->isChecked());
}

void TmBrowseDlg::InsertIntoDocument() {
  if (!document_ || SelectedPath().empty()) return;
  TCustomMemoSource& source = document_->MemoSource();
  UndoGroup group(source);
  source.InsertText("\"" + InsertedName() + "\"");
}

} // namespace marlo
