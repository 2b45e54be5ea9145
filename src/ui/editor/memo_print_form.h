#pragma once
// The print dialog and the progress window of the editor control, and the print command
// that runs them over a control's text.
#include "ui/editor/memo_options.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QPrinter;

namespace marlo {

class TCustomCodeMemo;

class TMemoPrintForm : public QDialog {
  Q_OBJECT

public:
  // `fileName` is shown, "<Unknown>" when empty; the selection box is enabled only
  // `withSelection`. Setup changes `printer` (not owned).
  TMemoPrintForm(const std::string& fileName, bool withSelection, QPrinter& printer,
                 QWidget* parent = nullptr);
  ~TMemoPrintForm() override;

  void SetOptions(TCodePrintOptions options, int leftMargin);
  TCodePrintOptions Options() const;
  // The margin field as an integer, 0 when it is not one.
  int LeftMargin() const;
  // Set-up's choices; the print goes to this printer.
  QPrinter& Printer() { return printer_; }

  QCheckBox* PrintSelCheck() const { return printSelCheck_; }
  QLineEdit* LeftMarginEdit() const { return leftMarginEdit_; }
  QPushButton* OkBut() const { return okBut_; }
  QPushButton* PreviewBut() const { return previewBut_; }

signals:
  void previewRequested();

private:
  QPrinter& printer_;
  QLabel* lblFileName_;
  QCheckBox *printSelCheck_, *headerCheck_, *lineNumbersCheck_, *syntaxPrintCheck_;
  QCheckBox *useColorCheck_, *showPrintProgress_, *wrapLinesCheck_;
  QLineEdit* leftMarginEdit_;
  QPushButton *setupBut_, *previewBut_, *okBut_, *cancelBut_, *helpBut_;
};

class TMemoPrintProgress : public QDialog {
  Q_OBJECT

public:
  explicit TMemoPrintProgress(QWidget* parent = nullptr);

  void SetPrinter(const QString& name);
  void SetFileName(const QString& name);
  // Shows "Printing page k from N" and tells pageStarted.
  void SetPage(int page, int pageCount);
  bool Cancelled() const { return cancelled_; }
  QPushButton* CancelButton() const { return btnCancel_; }

signals:
  void pageStarted(int page);

protected:
  void reject() override;

private:
  QLabel *lblPrinter_, *lblFileName_, *lblProgress_;
  QPushButton* btnCancel_;
  bool cancelled_ = false;
};

// The print command of a control: the dialog, then the print to the dialog's printer, or
// to a PDF file asked for when no printer is installed. `fileName` is the document's.
void PrintMemo(TCustomCodeMemo& memo, const std::string& fileName, QWidget* parent);

// The print itself, after the dialog: `memo`'s text with its PrintOptions, to `printer`,
// or to the PDF file `pdfFile` when it is not empty. Closing `memo`'s window meanwhile
// ends the print as Cancel does. Returns the pages printed; raises Error.
// Asks for the PDF file a print without a printer writes; empty when the user declines.
extern std::function<QString(QWidget* parent, const QString& suggested)> AskPdfFileName;

int PrintMemoTo(TCustomCodeMemo& memo, const std::string& fileName, QPrinter& printer,
                const std::string& pdfFile, QWidget* parent);

} // namespace marlo
