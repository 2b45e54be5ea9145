#pragma once
// One print of an editor control's text: a hidden copy of the control with the looks the
// print options ask for, the text laid out on pages, and each page painted by the
// editor's own painter onto a printer or a PDF file.
#include "core/export/print_layout.h"
#include "core/text/memo_source.h"
#include "ui/editor/memo_options.h"

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QPagedPaintDevice;
class QPainter;
class QPageLayout;

namespace marlo {

class TCustomCodeMemo;
class TCustomMemoSource;
class TCodeMemo;

class TMemoPrintJob {
public:
  // `document` lends its looks, `text` the lines printed (not owned; it outlives the job):
  // `selection` of it with poPrintSel, otherwise all of it. `title` heads the pages.
  TMemoPrintJob(TCustomCodeMemo& document, TCustomMemoSource& text, TCodePrintOptions options,
                const std::optional<TPrintRange>& selection, std::string title, int leftMargin);
  ~TMemoPrintJob();
  TMemoPrintJob(const TMemoPrintJob&) = delete;
  TMemoPrintJob& operator=(const TMemoPrintJob&) = delete;

  // Lays the text out on pages of `page`'s paper; the pages are counted once.
  void Layout(const QPageLayout& page);
  int PageCount() const { return layout_->PageCount(); }
  int RowsPerPage() const { return layout_->RowsPerPage(); }
  int PrintedLineCount() const { return lineCount_; }
  // Page size in the copy's pixels (96 per inch), the margins included.
  QSize PagePixels() const { return pagePixels_; }

  // Paints page `page` (from 1) with `p` working in the copy's pixels over the whole paper.
  void PaintPage(QPainter& p, int page);
  // Prints the pages onto `device` (Layout first). `beforePage(k)` is told before page k
  // begins and stops the print when it returns false; the pages begun stay printed and
  // the job ends normally. Returns the pages printed.
  int Print(QPagedPaintDevice& device, const std::function<bool(int page)>& beforePage);

private:
  void PrepareCopy(TCustomCodeMemo& document, int leftMargin);

  TCustomMemoSource& text_;
  TCodePrintOptions options_;
  TPrintRange range_;
  int lineCount_ = 0;
  QString title_;
  std::unique_ptr<TCodeMemo> copy_;
  std::unique_ptr<TPrintLayout> layout_;
  QSize pagePixels_;
  int margin_ = 0; // the 10 mm margins in the copy's pixels
  int printableWidth_ = 0;
  int textLeft_ = 0;     // of the text, from the left margin
  int numberDigits_ = 0; // 0 without line numbers
};

// The print's own copy of a control's text, coloured from its start as the document's is
// (so that a printed selection keeps the colours the document shows), the part of it that
// is printed and the pages' title.
class TMemoPrintCopy {
public:
  // Takes `memo`'s text and PrintOptions; `fileName` is the document's.
  TMemoPrintCopy(TCustomCodeMemo& memo, const std::string& fileName);
  ~TMemoPrintCopy();
  TMemoPrintCopy(const TMemoPrintCopy&) = delete;
  TMemoPrintCopy& operator=(const TMemoPrintCopy&) = delete;

  TCodePrintOptions Options() const { return options_; }
  const std::string& Title() const { return title_; }
  // The text printed from: the document's, or a column block's own columns.
  const TCustomMemoSource& Text() const { return text_; }
  std::unique_ptr<TMemoPrintJob> MakeJob(TCustomCodeMemo& memo);

private:
  TMemoSource text_;
  TCodePrintOptions options_;
  std::optional<TPrintRange> selection_;
  std::string title_;
};

// Prints `job` as a PDF file on `page`'s paper. The file is written through a temporary
// file beside `path`, which replaces it only when the print ended with at least one page.
// Raises Error when the file cannot be written. Returns the pages printed.
int PrintToPdf(TMemoPrintJob& job, const std::string& path, const QPageLayout& page,
               const std::function<bool(int page)>& beforePage);

} // namespace marlo
