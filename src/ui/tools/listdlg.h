#pragma once
// The pop-up list of a document's function headers or labels, under the toolbar button
// that asked for it. Choosing an entry (a click, or the arrow keys) jumps to its line;
// Enter, Esc or the close box end the list.
#include "core/shell/function_list.h"

#include <QDialog>

#include <vector>

class QListWidget;

namespace marlo {

class TCustomCodeMemo;

class Tlistdlg : public QDialog {
  Q_OBJECT

public:
  // The list's background, 0x00BBGGRR as the settings keep colours.
  static constexpr unsigned kBackground = 14155775;

  Tlistdlg(TCustomCodeMemo& memo, std::vector<TListEntry> entries, const QString& caption,
           const QString& fontFamily, QWidget* parent = nullptr);

  // Places the top left corner at `at`, within the screen that holds it.
  void PlaceAt(QPoint at);
  // Moves the memo's caret to the chosen entry's line, that line on top.
  void itemlistClick();
  QListWidget* itemlist() const { return itemlist_; }

protected:
  void keyPressEvent(QKeyEvent* e) override;

private:
  TCustomCodeMemo& memo_;
  std::vector<TListEntry> entries_;
  QListWidget* itemlist_;
};

} // namespace marlo
