#include "ui/editor/code_template_list.h"

#include "ui/qt_text.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace marlo {

TCodeTemplateList::TCodeTemplateList(QWidget* parent,
                                     const std::vector<const TMemoCodeTemplate*>& candidates,
                                     const platform::TCodePage& page)
    : QFrame(parent, Qt::Popup) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  list_ = new QListWidget(this);
  layout->addWidget(list_);
  for (const TMemoCodeTemplate* t : candidates) {
    QString text = BytesToQString(t->Name, page);
    if (!t->Description.empty())
      text += QStringLiteral("  \u2013  ") + BytesToQString(t->Description, page);
    list_->addItem(text);
  }
  list_->setCurrentRow(0);
  list_->installEventFilter(this);
  connect(list_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { Finish(list_->row(item)); });
  const int rows = std::min(12, std::max(1, list_->count()));
  resize(std::max(260, list_->sizeHintForColumn(0) + 24),
         rows * std::max(1, list_->sizeHintForRow(0)) + 8);
}

bool TCodeTemplateList::eventFilter(QObject* watched, QEvent* e) {
  if (watched == list_ && e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Finish(list_->currentRow());
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      Finish(-1);
      return true;
    }
  }
  return QFrame::eventFilter(watched, e);
}

void TCodeTemplateList::Finish(int chosen) {
  chosen_ = chosen;
  hide();
}

void TCodeTemplateList::hideEvent(QHideEvent* e) {
  QFrame::hideEvent(e);
  if (loop_) loop_->quit();
}

int TCodeTemplateList::Choose(QWidget* parent, QPoint globalPos,
                              const std::vector<const TMemoCodeTemplate*>& candidates,
                              const platform::TCodePage& page) {
  if (candidates.empty()) return -1;
  QPointer<TCodeTemplateList> popup = new TCodeTemplateList(parent, candidates, page);
  if (QScreen* screen = parent ? parent->screen() : nullptr) {
    const QRect area = screen->availableGeometry();
    globalPos.setX(std::min(globalPos.x(), area.right() - popup->width()));
    globalPos.setY(std::min(globalPos.y(), area.bottom() - popup->height()));
  }
  popup->move(globalPos);
  QEventLoop loop;
  popup->loop_ = &loop;
  popup->show();
  popup->list_->setFocus();
  loop.exec();
  int chosen = -1;
  if (popup) {
    chosen = popup->chosen_;
    popup->loop_ = nullptr;
    popup->deleteLater();
  }
  // The caret's control takes the keys again.
  if (parent) {
    parent->activateWindow();
    parent->setFocus(Qt::PopupFocusReason);
  }
  return chosen;
}

} // namespace marlo
