#include "ui/editor/code_history_editor.h"

#include "core/shell/edit_history.h"
#include "ui/qt_text.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

namespace marlo {

TCodeHistoryEditor::TCodeHistoryEditor(const platform::TCodePage& codePage, QWidget* parent)
    : QComboBox(parent), codePage_(codePage) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(false);
  // Completion would pick an item of another case for what was typed.
  setCompleter(nullptr);
}

TCodeHistoryEditor::~TCodeHistoryEditor() {
  if (loaded_) SaveHistory();
}

std::string TCodeHistoryEditor::StoreName() const {
  QString name = historyName_;
  if (name.isEmpty()) {
    QWidget* form = window();
    name = (form && form != this ? form->objectName() : QString()) + objectName();
  }
  if (name.isEmpty()) name = "Default";
  return QStringToPath(name);
}

std::string TCodeHistoryEditor::TextBytes() const {
  return QStringToBytes(currentText(), codePage_);
}

void TCodeHistoryEditor::SetTextBytes(const std::string& bytes) {
  setEditText(BytesToQString(bytes, codePage_));
}

void TCodeHistoryEditor::FillItems() {
  const QString text = currentText();
  clear();
  for (const std::string& item : items_) addItem(BytesToQString(item, codePage_));
  setEditText(text);
}

void TCodeHistoryEditor::AddToHistory() {
  marlo::AddToHistory(items_, TextBytes());
  FillItems();
}

void TCodeHistoryEditor::LoadHistory() {
  items_ = marlo::LoadHistory(StoreName());
  loaded_ = true;
  FillItems();
}

void TCodeHistoryEditor::SaveHistory() {
  marlo::SaveHistory(StoreName(), items_);
}

void TCodeHistoryEditor::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !view()->isVisible())
    AddToHistory();
  QComboBox::keyPressEvent(e);
}

void TCodeHistoryEditor::focusOutEvent(QFocusEvent* e) {
  AddToHistory();
  QComboBox::focusOutEvent(e);
}

void TCodeHistoryEditor::showEvent(QShowEvent* e) {
  if (!loaded_) LoadHistory();
  QComboBox::showEvent(e);
}

} // namespace marlo
