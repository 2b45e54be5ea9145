#pragma once
// The window offered at start-up when journals of documents that were never saved or
// closed are found: one row each, with its name, folder, time of the last change and number
// of lines, and for each a choice of Recover, Discard or Keep for later.
#include <QDialog>
#include <QString>

#include <functional>
#include <string_view>
#include <vector>

class QComboBox;
class QTableWidget;

namespace marlo {

enum class TRecoveryChoice { Recover, Discard, Keep };

struct TRecoveryRow {
  QString Name;       // the file's name, or the untitled name
  QString Folder;     // empty for an untitled document
  QString LastChange; // local time, as the desktop shows times
  int Lines = 0;
  bool Readable = true; // an unreadable journal can only be discarded or kept
};

class TRecoveryDlg : public QDialog {
  Q_OBJECT

public:
  using TTexts = std::function<QString(std::string_view key)>;
  TRecoveryDlg(const std::vector<TRecoveryRow>& rows, const TTexts& text,
               QWidget* parent = nullptr);

  std::vector<TRecoveryChoice> Choices() const;
  QTableWidget* Table() const { return table_; }
  QComboBox* ChoiceBox(int row) const { return boxes_[static_cast<size_t>(row)]; }

private:
  QTableWidget* table_;
  std::vector<QComboBox*> boxes_;
};

} // namespace marlo
