// The print dialog, the print with its progress window, and the preview, on the offscreen
// platform; pages written as PDF files and read back.
#include "core/syntax/my_parser.h"
#include "memo_test_util.h"
#include "ui/editor/memo_print.h"
#include "ui/editor/memo_print_form.h"
#include "ui/editor/memo_print_preview.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace marlo::test {

namespace {

std::vector<std::string> Numbered(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("print " + std::to_string(i));
  return lines;
}

// The pages of a PDF file as pdfinfo counts them; -1 when it is not a whole PDF.
int PdfPages(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = f.readAll();
  if (!bytes.startsWith("%PDF-") || !bytes.trimmed().endsWith("%%EOF")) return -1;
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
    qWarning("pdfinfo (poppler-utils) is missing: the page count is not read back");
    return -2;
  }
  QProcess info;
  info.start("pdfinfo", {file});
  info.waitForFinished();
  for (const QByteArray& line : info.readAllStandardOutput().split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return -1;
}

// Runs `onPage(progress, page)` as each page of a print begins.
class ProgressSpy : public QObject {
public:
  explicit ProgressSpy(std::function<void(TMemoPrintProgress&, int)> onPage)
      : onPage_(std::move(onPage)) {
    qApp->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    auto* progress = qobject_cast<TMemoPrintProgress*>(o);
    if (progress && e->type() == QEvent::Show && progress != seen_) {
      seen_ = progress;
      connect(progress, &TMemoPrintProgress::pageStarted, this,
              [this, progress](int page) { onPage_(*progress, page); });
    }
    return false;
  }

private:
  std::function<void(TMemoPrintProgress&, int)> onPage_;
  QPointer<TMemoPrintProgress> seen_;
};

} // namespace

class MemoPrintTest : public QObject {
  Q_OBJECT

private slots:
  void dialogKeepsItsBoxes() {
    QPrinter printer;
    TMemoPrintForm plain("", false, printer);
    QCOMPARE(plain.findChild<QWidget*>("lblFileName")->property("text").toString(),
             QString("<Unknown>"));
    QVERIFY(!plain.PrintSelCheck()->isEnabled());
    plain.SetOptions({poPrintSel, poShowProgress}, 12);
    QCOMPARE(plain.Options(), TCodePrintOptions({poShowProgress}));

    TMemoPrintForm form("/a/game.zba", true, printer);
    const TCodePrintOptions all{poWrapLines,   poInColor,     poPrintSel,    poPrintHeader,
                                poLineNumbers, poPrintSyntax, poShowProgress};
    form.SetOptions(all, 7);
    QCOMPARE(form.Options(), all);
    QCOMPARE(form.LeftMargin(), 7);
    QCOMPARE(form.windowTitle(), QString("Print Selection"));
    form.PrintSelCheck()->setChecked(false);
    QCOMPARE(form.windowTitle(), QString("Print"));
    for (const char* text : {"abc", "", "3.5", "12x"}) {
      form.LeftMarginEdit()->setText(text);
      QCOMPARE(form.LeftMargin(), 0);
    }
  }

  // Ctrl+P's command without a printer: Ok asks for a PDF name (the document's, .pdf), the
  // boxes stay with the control for the next print, and Cancel prints nothing.
  void printCommandWithoutAPrinter() {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
      QSKIP("a printer is installed: the command would print on it");
    QTemporaryDir dir;
    MemoFixture f(Numbered(100));
    QString suggested;
    const QString pdf = dir.filePath("out.pdf");
    AskPdfFileName = [&](QWidget*, const QString& name) {
      suggested = name;
      return pdf;
    };
    auto answer = [](bool ok, const std::function<void(TMemoPrintForm&)>& change) {
      QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<TMemoPrintForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        change(*form);
        if (ok)
          form->OkBut()->click();
        else
          form->reject();
      });
    };
    answer(false, [](TMemoPrintForm&) {});
    PrintMemo(f.memo, dir.filePath("game.zba").toStdString(), nullptr);
    QVERIFY(!QFile::exists(pdf));
    answer(true, [](TMemoPrintForm& form) {
      form.findChild<QCheckBox*>("HeaderCheck")->setChecked(true);
      form.findChild<QCheckBox*>("ShowPrintProgress")->setChecked(false);
      form.LeftMarginEdit()->setText("20");
    });
    PrintMemo(f.memo, dir.filePath("game.zba").toStdString(), nullptr);
    QCOMPARE(suggested, dir.filePath("game.pdf"));
    QCOMPARE(f.memo.PrintOptions(), TCodePrintOptions({poPrintHeader}));
    QCOMPARE(f.memo.PrintLeftMargin(), 20);
    QVERIFY(PdfPages(pdf) == 2 || PdfPages(pdf) == -2);
  }

  // Cancel while page 3 of 10 is printing: the job ends normally after page 2 or 3.
  void cancelAtPageThreeOfTen() {
    QTemporaryDir dir;
    MemoFixture probe({"x"});
    TMemoPrintJob measure(probe.memo, probe.source, {poPrintHeader}, std::nullopt, "t", 0);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    measure.Layout(printer.pageLayout());
    const int rows = measure.RowsPerPage();

    MemoFixture f(Numbered(10 * rows));
    f.memo.SetPrintOptions({poPrintHeader, poShowProgress});
    int pagesSeen = 0;
    ProgressSpy spy([&](TMemoPrintProgress& progress, int page) {
      pagesSeen = page;
      if (page == 3) QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    });
    const QString pdf = dir.filePath("cancel.pdf");
    const int printed = PrintMemoTo(f.memo, "t.zba", printer, pdf.toStdString(), nullptr);
    QCOMPARE(pagesSeen, 3);
    QVERIFY(printed == 2 || printed == 3);
    const int pages = PdfPages(pdf);
    QVERIFY2(pages == printed || pages == -2, qPrintable(QString::number(pages)));
  }

  // Closing the printed window while it prints stops the print; nothing crashes.
  void closeWhilePrinting() {
    QTemporaryDir dir;
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* memo = new TCodeMemo(window);
    (new QVBoxLayout(window))->addWidget(memo);
    memo->ConfigureAsDocument();
    memo->MemoSource().Lines().Assign(Numbered(2000));
    memo->SetPrintOptions({poShowProgress});
    window->show();
    QPointer<QWidget> alive(window);
    ProgressSpy spy([&](TMemoPrintProgress&, int page) {
      if (page == 3 && alive) alive->close();
    });
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = dir.filePath("closed.pdf");
    const int printed = PrintMemoTo(*memo, "", printer, pdf.toStdString(), window);
    QVERIFY(printed >= 2 && printed <= 3);
    const int pages = PdfPages(pdf);
    QVERIFY(pages == printed || pages == -2);
    // The window, whose control the print painted with, went only after the print.
    QVERIFY(alive);
    QTRY_VERIFY(!alive);
  }

  // A column block prints its own columns of its lines; a selection past the ends of its
  // lines prints an empty page, never the whole text.
  void selectionsThatAreNotPlainStreams() {
    MemoFixture f({"abcdef", "ghijkl", "mnopqr", "stuvwx"});
    f.memo.SetPrintOptions({poPrintSel});
    f.source.SelectBlock(TSelectionType::Column, 1, 1, 3, 2);
    {
      TMemoPrintCopy copy(f.memo, "t.zba");
      QCOMPARE(copy.Title(), std::string("<Selected block>"));
      QVERIFY(copy.Options().Has(poPrintSel));
      QCOMPARE(copy.Text().LineCount(), 2);
      // A column block's end column is its last.
      QCOMPARE(copy.Text().LineText(0), std::string("hij"));
      QCOMPARE(copy.Text().LineText(1), std::string("nop"));
      QCOMPARE(copy.MakeJob(f.memo)->PrintedLineCount(), 2);
    }
    f.source.SetOption(soLimitEOL, false);
    f.source.SelectBlock(TSelectionType::Stream, 20, 1, 30, 1);
    TMemoPrintCopy copy(f.memo, "t.zba");
    QCOMPARE(copy.Title(), std::string("<Selected block>"));
    QCOMPARE(copy.MakeJob(f.memo)->PrintedLineCount(), 1);
  }

  // A selection starting inside a remark block prints as remark from its first line, and
  // without colour every style prints black.
  void selectionKeepsTheDocumentsColours() {
    TMyParser parser({"print"});
    MemoFixture f({"remstart", "inside", "remend", "print 1"});
    f.memo.SetSyntaxParser(&parser);
    f.source.SelectBlock(TSelectionType::Stream, 0, 1, 7, 3);
    auto picture = [&](TCodePrintOptions options) {
      f.memo.SetPrintOptions(options);
      TMemoPrintCopy copy(f.memo, "");
      auto job = copy.MakeJob(f.memo);
      QPrinter printer;
      printer.setPageSize(QPageSize(QPageSize::A4));
      job->Layout(printer.pageLayout());
      QImage img(job->PagePixels(), QImage::Format_RGB32);
      img.fill(Qt::white);
      QPainter p(&img);
      job->PaintPage(p, 1);
      return img;
    };
    auto has = [](const QImage& img, QRgb color) {
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (img.pixel(x, y) == color) return true;
      return false;
    };
    auto coloured = [](const QImage& img) {
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
          QRgb c = img.pixel(x, y);
          if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) return true;
        }
      return false;
    };
    const QImage color = picture({poPrintSel, poPrintSyntax, poInColor});
    // The remark's green on its first printed line: the tokenizer's state was kept.
    const TMemoGeometry& g = f.memo.Geometry();
    const QImage firstRow = color.copy(0, 38, color.width(), g.LineHeight);
    QVERIFY(has(firstRow, qRgb(0, 128, 0)));
    QVERIFY(!coloured(picture({poPrintSel, poPrintSyntax})));
  }

  // The preview paints the page in view, never every page.
  void previewPaintsOnlyWhatIsShown() {
    MemoFixture f(Numbered(20000));
    f.memo.SetPrintOptions({poPrintHeader, poLineNumbers});
    QPrinter printer;
    printer.setPageSize(QPageSize(QPageSize::A4));
    TMemoPrintPreview preview(f.memo, "big.zba", printer.pageLayout());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QVERIFY(preview.PageCount() > 100);
    QTRY_VERIFY(preview.PaintedPages() >= 1);
    QVERIFY(preview.PaintedPages() <= 3);
    preview.SetPage(preview.PageCount());
    QCOMPARE(preview.Page(), preview.PageCount());
    QTest::qWait(50);
    QVERIFY(preview.PaintedPages() <= 6);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MemoPrintTest)
#include "memo_print_test.moc"
