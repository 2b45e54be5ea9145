#pragma once
// An editable drop-down whose items are the texts entered before, most recent first. The
// history lives in the settings store under the history name, or the owner form's name
// followed by the control's name when that is empty.
#include "core/platform/code_page.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace marlo {

class TCodeHistoryEditor : public QComboBox {
  Q_OBJECT

public:
  TCodeHistoryEditor(const platform::TCodePage& codePage, QWidget* parent = nullptr);
  ~TCodeHistoryEditor() override;

  QString HistoryName() const { return historyName_; }
  void SetHistoryName(const QString& name) { historyName_ = name; }
  // The store's name for this history.
  std::string StoreName() const;

  // The current text at the top of the history (an empty text only removes its twin).
  void AddToHistory();
  void LoadHistory();
  void SaveHistory();
  // The current text in the document's bytes.
  std::string TextBytes() const;
  void SetTextBytes(const std::string& bytes);
  std::vector<std::string> Items() const { return items_; }

protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void showEvent(QShowEvent* e) override;

private:
  void FillItems();

  const platform::TCodePage& codePage_;
  QString historyName_;
  std::vector<std::string> items_;
  bool loaded_ = false;
};

} // namespace marlo
