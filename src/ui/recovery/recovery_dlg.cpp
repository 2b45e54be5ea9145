#include "ui/recovery/recovery_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace marlo {

TRecoveryDlg::TRecoveryDlg(const std::vector<TRecoveryRow>& rows, const TTexts& text,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName("RecoveryDlg");
  setWindowTitle(text("RecoveryCaption"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(text("RecoveryIntro"), this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  table_ = new QTableWidget(static_cast<int>(rows.size()), 5, this);
  table_->setHorizontalHeaderLabels({text("RecoveryName"), text("RecoveryFolder"),
                                     text("RecoveryLastChange"), text("RecoveryLines"),
                                     text("RecoveryAction")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const TRecoveryRow& row = rows[static_cast<size_t>(r)];
    const QString lines = row.Readable ? QString::number(row.Lines) : text("RecoveryUnreadable");
    const QString cells[] = {row.Name, row.Folder, row.LastChange, lines};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(cells[c]);
      table_->setItem(r, c, item);
    }
    auto* box = new QComboBox(table_);
    box->addItem(text("RecoveryRecover"), int(TRecoveryChoice::Recover));
    box->addItem(text("RecoveryDiscard"), int(TRecoveryChoice::Discard));
    box->addItem(text("RecoveryKeep"), int(TRecoveryChoice::Keep));
    if (!row.Readable) {
      // Nothing can be recovered from it; it stays until the user discards it.
      box->removeItem(0);
      box->setCurrentIndex(1);
    }
    table_->setCellWidget(r, 4, box);
    boxes_.push_back(box);
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(text("OKbutton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(640, 160 + 30 * std::min<int>(static_cast<int>(rows.size()), 10));
}

std::vector<TRecoveryChoice> TRecoveryDlg::Choices() const {
  std::vector<TRecoveryChoice> choices;
  for (QComboBox* box : boxes_)
    choices.push_back(static_cast<TRecoveryChoice>(box->currentData().toInt()));
  return choices;
}

} // namespace marlo
