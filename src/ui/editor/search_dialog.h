#pragma once
// The find and replace dialogs. Each works on its own copy of the shared search options,
// filled from them when it is made and written back only by OK (and Replace All), so that
// Cancel leaves find-again as it was.
#include "core/platform/code_page.h"
#include "core/search/search_options.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace marlo {

class TCodeHistoryEditor;

class TSearchDialog : public QDialog {
  Q_OBJECT

public:
  // The modal result of Replace All.
  static constexpr int kResultAll = 2;

  const TSearchOptions& DialogOptions() const { return options_; }
  TCodeHistoryEditor* SearText() const { return searText_; }
  TCodeHistoryEditor* ReplText() const { return replText_; }
  QPushButton* OKBut() const { return okBut_; }
  QPushButton* CancelBut() const { return cancelBut_; }
  QPushButton* ReplBut() const { return replBut_; }

  void OKButClick();
  void ReplButClick();

protected:
  TSearchDialog(bool replace, const platform::TCodePage& codePage, QWidget* parent);

private:
  void FormCreate();
  void ReadControls();

  bool replace_;
  TSearchOptions options_;
  QTabWidget* pageControl_ = nullptr;
  TCodeHistoryEditor* searText_ = nullptr;
  TCodeHistoryEditor* replText_ = nullptr;
  QCheckBox *caseSens_ = nullptr, *wholeWord_ = nullptr, *regExpr_ = nullptr,
            *promptRepl_ = nullptr;
  QRadioButton *dirForward_ = nullptr, *dirBackward_ = nullptr;
  QRadioButton *scopeGlobal_ = nullptr, *scopeSelected_ = nullptr;
  QRadioButton *originCursor_ = nullptr, *originEntire_ = nullptr;
  QPushButton *okBut_ = nullptr, *replBut_ = nullptr, *cancelBut_ = nullptr, *helpBut_ = nullptr;
};

class TSrchDialog : public TSearchDialog {
  Q_OBJECT
public:
  explicit TSrchDialog(const platform::TCodePage& codePage, QWidget* parent = nullptr)
      : TSearchDialog(false, codePage, parent) {}
};

class TReplDialog : public TSearchDialog {
  Q_OBJECT
public:
  explicit TReplDialog(const platform::TCodePage& codePage, QWidget* parent = nullptr)
      : TSearchDialog(true, codePage, parent) {}
};

} // namespace marlo
