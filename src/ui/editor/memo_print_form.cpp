#include "ui/editor/memo_print_form.h"

#include "core/error.h"
#include "core/export/print_layout.h"
#include "core/text/memo_source.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/editor/memo_print.h"
#include "ui/editor/memo_print_preview.h"
#include "ui/restore_activation.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <optional>
#include <vector>

namespace marlo {

namespace {

QCheckBox* MakeCheck(const char* name, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

// Sees a close of any window that holds the printed control.
class TCloseWatcher : public QObject {
public:
  TCloseWatcher(QWidget* widget, bool& closing) : closing_(closing) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
      w->installEventFilter(this);
      watched_.push_back(w);
    }
  }
  // The close asked for while printing goes on now that the print has stopped, with its
  // usual questions.
  ~TCloseWatcher() override {
    for (const QPointer<QWidget>& w : watched_)
      if (w) w->removeEventFilter(this);
    if (closed_) QMetaObject::invokeMethod(closed_, "close", Qt::QueuedConnection);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Close) return false;
    // Stopped as Cancel stops it; the window stays until the print has ended, since the
    // printer and the painter are the control's.
    closing_ = true;
    if (!closed_) closed_ = qobject_cast<QWidget*>(watched);
    e->ignore();
    return true;
  }

private:
  bool& closing_;
  std::vector<QPointer<QWidget>> watched_;
  QPointer<QWidget> closed_;
};

} // namespace

TMemoPrintForm::TMemoPrintForm(const std::string& fileName, bool withSelection, QPrinter& printer,
                               QWidget* parent)
    : QDialog(parent), printer_(printer) {
  setObjectName("MemoPrintForm");
  setWindowTitle("Print");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  auto* fileGroup = new QGroupBox("File To Print:", this);
  lblFileName_ = new QLabel(
      fileName.empty() ? QString("<Unknown>") : QString::fromStdString(fileName), fileGroup);
  lblFileName_->setObjectName("lblFileName");
  (new QVBoxLayout(fileGroup))->addWidget(lblFileName_);

  printSelCheck_ = MakeCheck("PrintSelCheck", "&Print selected block", this);
  printSelCheck_->setEnabled(withSelection);
  headerCheck_ = MakeCheck("HeaderCheck", "Header/page &number", this);
  lineNumbersCheck_ = MakeCheck("LineNumbersCheck", "&Line numbers", this);
  syntaxPrintCheck_ = MakeCheck("SyntaxPrintCheck", "&Syntax print", this);
  useColorCheck_ = MakeCheck("UseColorCheck", "Use &color", this);
  showPrintProgress_ = MakeCheck("ShowPrintProgress", "Show print &progress", this);
  wrapLinesCheck_ = MakeCheck("WrapLinesCheck", "&Wrap lines", this);
  auto* marginLabel = new QLabel("Left &margin:", this);
  leftMarginEdit_ = new QLineEdit(this);
  leftMarginEdit_->setObjectName("LeftMarginEdit");
  marginLabel->setBuddy(leftMarginEdit_);
  connect(printSelCheck_, &QCheckBox::toggled, this,
          [this](bool on) { setWindowTitle(on ? "Print Selection" : "Print"); });

  auto* boxes = new QGridLayout;
  boxes->addWidget(printSelCheck_, 0, 0);
  boxes->addWidget(headerCheck_, 1, 0);
  boxes->addWidget(lineNumbersCheck_, 2, 0);
  boxes->addWidget(syntaxPrintCheck_, 3, 0);
  boxes->addWidget(useColorCheck_, 0, 1);
  boxes->addWidget(showPrintProgress_, 1, 1);
  boxes->addWidget(wrapLinesCheck_, 2, 1);
  auto* margin = new QHBoxLayout;
  margin->addWidget(marginLabel);
  margin->addWidget(leftMarginEdit_);
  boxes->addLayout(margin, 3, 1);

  setupBut_ = MakeButton("SetupBut", "Se&tup...", this);
  previewBut_ = MakeButton("PreviewBut", "Pre&view...", this);
  okBut_ = MakeButton("OkBut", "Ok", this);
  okBut_->setDefault(true);
  cancelBut_ = MakeButton("CancelBut", "Cancel", this);
  helpBut_ = MakeButton("HelpBut", "&Help", this);
  connect(okBut_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBut_, &QPushButton::clicked, this, &QDialog::reject);
  connect(previewBut_, &QPushButton::clicked, this, &TMemoPrintForm::previewRequested);
  connect(setupBut_, &QPushButton::clicked, this, [this] {
    QPrintDialog dialog(&printer_, this);
    dialog.exec();
  });
  connect(helpBut_, &QPushButton::clicked, this, [this] {
    QMessageBox::information(
        this, "Print",
        "Prints the document, or its selected block, on the printer chosen with Setup.\n"
        "Header/page number puts the file name and the page number atop each page; Syntax "
        "print prints the highlighting, in colour with Use color; Wrap lines breaks lines "
        "longer than 80 columns. Preview shows the pages first.");
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(setupBut_);
  buttons->addWidget(previewBut_);
  buttons->addStretch();
  buttons->addWidget(okBut_);
  buttons->addWidget(cancelBut_);
  buttons->addWidget(helpBut_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileGroup);
  layout->addLayout(boxes);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
}

TMemoPrintForm::~TMemoPrintForm() = default;

void TMemoPrintForm::SetOptions(TCodePrintOptions options, int leftMargin) {
  printSelCheck_->setChecked(options.Has(poPrintSel) && printSelCheck_->isEnabled());
  headerCheck_->setChecked(options.Has(poPrintHeader));
  lineNumbersCheck_->setChecked(options.Has(poLineNumbers));
  syntaxPrintCheck_->setChecked(options.Has(poPrintSyntax));
  useColorCheck_->setChecked(options.Has(poInColor));
  showPrintProgress_->setChecked(options.Has(poShowProgress));
  wrapLinesCheck_->setChecked(options.Has(poWrapLines));
  leftMarginEdit_->setText(QString::number(leftMargin));
}

TCodePrintOptions TMemoPrintForm::Options() const {
  TCodePrintOptions o;
  o.Set(poPrintSel, printSelCheck_->isChecked()).Set(poPrintHeader, headerCheck_->isChecked());
  o.Set(poLineNumbers, lineNumbersCheck_->isChecked());
  o.Set(poPrintSyntax, syntaxPrintCheck_->isChecked()).Set(poInColor, useColorCheck_->isChecked());
  o.Set(poShowProgress, showPrintProgress_->isChecked());
  o.Set(poWrapLines, wrapLinesCheck_->isChecked());
  return o;
}

int TMemoPrintForm::LeftMargin() const {
  bool ok = false;
  int value = leftMarginEdit_->text().toInt(&ok);
  return ok ? value : 0;
}

TMemoPrintProgress::TMemoPrintProgress(QWidget* parent) : QDialog(parent) {
  setObjectName("MemoPrintProgress");
  setWindowTitle("Printing Status");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  lblPrinter_ = new QLabel("Searching printers ...", this);
  lblPrinter_->setObjectName("lblPrinter");
  lblFileName_ = new QLabel(this);
  lblFileName_->setObjectName("lblFileName");
  lblProgress_ = new QLabel("Printing pages:    calculation ...", this);
  lblProgress_->setObjectName("lblProgress");
  btnCancel_ = MakeButton("btnCancel", "Cancel", this);
  connect(btnCancel_, &QPushButton::clicked, this, &TMemoPrintProgress::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblPrinter_);
  layout->addWidget(lblFileName_);
  layout->addWidget(lblProgress_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnCancel_);
  buttons->addStretch();
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

void TMemoPrintProgress::SetPrinter(const QString& name) {
  lblPrinter_->setText(QString("Printing on printer %1").arg(name));
}

void TMemoPrintProgress::SetFileName(const QString& name) {
  lblFileName_->setText(name);
}

void TMemoPrintProgress::SetPage(int page, int pageCount) {
  lblProgress_->setText(QString("Printing page %1 from %2").arg(page).arg(pageCount));
  emit pageStarted(page);
}

void TMemoPrintProgress::reject() {
  // The window stays up until the print stops between pages.
  cancelled_ = true;
}

int PrintMemoTo(TCustomCodeMemo& memo, const std::string& fileName, QPrinter& printer,
                const std::string& pdfFile, QWidget* parent) {
  TMemoPrintCopy copy(memo, fileName);
  const TCodePrintOptions options = copy.Options();
  const std::string& title = copy.Title();
  std::unique_ptr<TMemoPrintJob> made = copy.MakeJob(memo);
  TMemoPrintJob& job = *made;
  bool closing = false;
  TCloseWatcher watcher(&memo, closing);
  std::unique_ptr<TMemoPrintProgress> progress;
  if (options.Has(poShowProgress)) {
    // No parent: closing the windows while printing must not take it along.
    progress = std::make_unique<TMemoPrintProgress>();
    progress->setWindowModality(Qt::ApplicationModal);
    progress->SetPrinter(pdfFile.empty() ? printer.printerName() : QString::fromStdString(pdfFile));
    progress->SetFileName(QString::fromStdString(title));
    if (parent) progress->move(parent->window()->geometry().center() - progress->rect().center());
    progress->show();
  }
  auto beforePage = [&](int page) {
    if (progress) progress->SetPage(page, job.PageCount());
    QCoreApplication::processEvents(progress ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
    return !closing && !(progress && progress->Cancelled());
  };
  if (!pdfFile.empty()) return PrintToPdf(job, pdfFile, printer.pageLayout(), beforePage);
  return job.Print(printer, beforePage);
}

std::function<QString(QWidget*, const QString&)> AskPdfFileName = [](QWidget* parent,
                                                                     const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, "Print to PDF", suggested, "PDF files (*.pdf)");
};

void PrintMemo(TCustomCodeMemo& memo, const std::string& fileName, QWidget* parent) {
  // However the print ends, the window that asked for it is active again.
  struct TActivation {
    QPointer<QWidget> parent;
    ~TActivation() { RestoreActivation(parent); }
  } activation{parent};
  QPointer<TCustomCodeMemo> alive(&memo);
  TMemoPrintForm form(fileName, memo.MemoSource().HasSelection(), memo.Printer(), parent);
  form.SetOptions(memo.PrintOptions(), memo.PrintLeftMargin());
  QObject::connect(&form, &TMemoPrintForm::previewRequested, &form, [&] {
    if (!alive) return;
    TCodePrintOptions kept = memo.PrintOptions();
    memo.SetPrintOptions(form.Options());
    bool print = ShowPrintPreview(memo, fileName, form.Printer().pageLayout(), &form);
    if (alive) memo.SetPrintOptions(kept);
    if (print) form.accept();
  });
  if (form.exec() != QDialog::Accepted || !alive) return;
  memo.SetPrintOptions(form.Options());
  memo.SetPrintLeftMargin(form.LeftMargin());
  QPrinter& printer = form.Printer();
  std::string pdf;
  // With no printer installed the print becomes a PDF file.
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    QString name = printer.outputFileName();
    if (name.isEmpty()) {
      QFileInfo info(QString::fromStdString(fileName.empty() ? "Untitled" : fileName));
      name = AskPdfFileName(parent, info.path() + "/" + info.completeBaseName() + ".pdf");
      if (name.isEmpty()) return;
    }
    pdf = name.toStdString();
  }
  try {
    PrintMemoTo(memo, fileName, printer, pdf, parent);
  } catch (const Error& e) {
    QMessageBox::critical(parent, "Print", QString::fromStdString(e.what()));
  }
}

} // namespace marlo
