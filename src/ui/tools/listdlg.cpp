#include "ui/tools/listdlg.h"

#include "ui/editor/custom_code_memo.h"
#include "ui/qt_text.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace marlo {

Tlistdlg::Tlistdlg(TCustomCodeMemo& memo, std::vector<TListEntry> entries, const QString& caption,
                   const QString& fontFamily, QWidget* parent)
    : QDialog(parent), memo_(memo), entries_(std::move(entries)) {
  setObjectName("listdlg");
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
  itemlist_ = new QListWidget(this);
  itemlist_->setObjectName("itemlist");
  QPalette palette = itemlist_->palette();
  palette.setColor(QPalette::Base, QColor(kBackground & 0xFF, (kBackground >> 8) & 0xFF,
                                          (kBackground >> 16) & 0xFF));
  itemlist_->setPalette(palette);
  QFont font(fontFamily.isEmpty() ? QString("Arial") : fontFamily);
  font.setPointSize(8);
  itemlist_->setFont(font);
  for (const TListEntry& e : entries_)
    itemlist_->addItem(BytesToQString(e.Text(), memo.CodePage()));
  // Nothing is chosen until the user chooses: the list's focus would otherwise make its
  // first entry current, and jump there, as soon as it shows.
  itemlist_->setCurrentIndex(QModelIndex());
  connect(itemlist_, &QListWidget::currentRowChanged, this, [this] { itemlistClick(); });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(itemlist_);
  resize(250, 200);
}

void Tlistdlg::PlaceAt(QPoint at) {
  QScreen* screen = QGuiApplication::screenAt(at);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(at, size());
  QRect frame = frameGeometry();
  int x = at.x(), y = at.y();
  if (x + frame.width() > area.right() + 1) x = area.right() + 1 - frame.width() - 1;
  if (y + frame.height() > area.bottom() + 1) y = area.bottom() + 1 - frame.height();
  move(std::max(x, area.left()), std::max(y, area.top()));
}

void Tlistdlg::itemlistClick() {
  int row = itemlist_->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  int line = entries_[static_cast<size_t>(row)].Line;
  TCustomMemoSource& source = memo_.MemoSource();
  source.SetCaret(0, line);
  memo_.SetFirstVisibleLine(line);
  source.SetCaret(0, line);
}

void Tlistdlg::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
    accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

} // namespace marlo
