#include "ui/editor/memo_print.h"

#include "core/error.h"
#include "core/text/memo_source.h"
#include "ui/editor/code_memo.h"
#include "ui/editor/memo_painter.h"

#include "core/platform/atomic_file_writer.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace marlo {

namespace {

void CopyStyles(const TTextStyles& from, TTextStyles& to, bool inColor) {
  to.Clear();
  for (int i = 0; i < from.Count(); ++i) {
    const TTextStyle& s = from[i];
    TTextStyle& c = to.Add(s.Name());
    c.SetUseMemoColor(s.UseMemoColor());
    c.SetUseMemoFont(s.UseMemoFont());
    TTextFont font = s.Font();
    // Without colour, text is black on the window colour; bold and italic stay.
    if (!inColor) font.Color = clBlack;
    c.SetFont(font);
    c.SetColor(inColor ? s.Color() : clWindow);
    c.SetUpperCase(s.UpperCase());
  }
}

// The PDF writer's output handed on to the stream of a file being replaced.
class TStreamDevice : public QIODevice {
public:
  explicit TStreamDevice(std::ostream& out) : out_(out) { open(QIODevice::WriteOnly); }
  bool isSequential() const override { return true; }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    out_.write(data, static_cast<std::streamsize>(size));
    return out_ ? size : -1;
  }

private:
  std::ostream& out_;
};

int MillimetresToPixels(double mm) {
  return static_cast<int>(std::lround(mm / 25.4 * kPrintPixelsPerInch));
}

} // namespace

TMemoPrintJob::TMemoPrintJob(TCustomCodeMemo& document, TCustomMemoSource& text,
                             TCodePrintOptions options, const std::optional<TPrintRange>& selection,
                             std::string title, int leftMargin)
    : text_(text), options_(options), title_(QString::fromStdString(title)) {
  const int lines = text.LineCount();
  if (options.Has(poPrintSel) && selection) {
    range_ = *selection;
  } else if (lines > 0) {
    range_ = {0, 0, lines - 1, text.LineLength(lines - 1)};
  }
  lineCount_ = lines > 0 ? range_.LastLine - range_.FirstLine + 1 : 0;
  PrepareCopy(document, leftMargin);
}

TMemoPrintJob::~TMemoPrintJob() = default;

void TMemoPrintJob::PrepareCopy(TCustomCodeMemo& document, int leftMargin) {
  copy_ = std::make_unique<TCodeMemo>();
  TCodeMemo& c = *copy_;
  const bool inColor = options_.Has(poInColor);
  CopyStyles(document.TextStyles(), c.TextStyles(), inColor);
  TMemoColors colors = document.MemoColors();
  if (!inColor) {
    colors.Font.Color = clBlack;
    colors.Color = clWindow;
  }
  c.MemoColors() = colors;
  // Numbers are painted beside the rows of the page, not by the copy's gutter.
  TMemoOptions o = document.Options();
  o.Exclude(moDrawGutter).Exclude(moLineNumbers).Exclude(moDrawMargin);
  o.Set(moColorSyntax, options_.Has(poPrintSyntax));
  // The document's own indent wins; the dialog's margin serves a control without one.
  int indent = document.LeftIndent();
  if (!document.Has(moLeftIndent)) {
    indent = leftMargin;
    o.Include(moLeftIndent);
  }
  c.SetOptions(o);
  c.SetMemoSource(&text_);
  c.SetLeftIndent(indent);
  c.AppearanceChanged();
}

void TMemoPrintJob::Layout(const QPageLayout& page) {
  const QRectF paper = page.fullRect(QPageLayout::Millimeter);
  pagePixels_ = QSize(MillimetresToPixels(paper.width()), MillimetresToPixels(paper.height()));
  margin_ = MillimetresToPixels(kPrintMarginMillimetres);
  printableWidth_ = PrintableExtent(paper.width());
  const TMemoGeometry& g = copy_->Geometry();
  const int rows = marlo::RowsPerPage(PrintableExtent(paper.height()), g.LineHeight,
                                      options_.Has(poPrintHeader));
  numberDigits_ = options_.Has(poLineNumbers) ? DigitCount(std::max(1, lineCount_)) : 0;
  textLeft_ = copy_->LeftIndent() + (numberDigits_ ? g.CharWidth * (numberDigits_ + 1) : 0);
  if (!options_.Has(poWrapLines)) {
    layout_ = std::make_unique<TPrintLayout>(rows, lineCount_);
    return;
  }
  std::vector<int> lengths(static_cast<size_t>(lineCount_));
  for (int j = 0; j < lineCount_; ++j) {
    const int line = range_.FirstLine + j;
    int end = line == range_.LastLine ? range_.EndColumn : text_.LineLength(line);
    lengths[size_t(j)] = std::max(0, end - (j == 0 ? range_.FirstColumn : 0));
  }
  layout_ = std::make_unique<TPrintLayout>(rows, true, lengths);
}

void TMemoPrintJob::PaintPage(QPainter& p, int page) {
  const TMemoGeometry& g = copy_->Geometry();
  TMemoPainter& painter = copy_->Painter();
  const int height = pagePixels_.height() - 2 * margin_;
  p.save();
  p.translate(margin_, margin_);
  p.setClipRect(QRect(0, 0, printableWidth_, height));
  int y = 0;
  if (options_.Has(poPrintHeader)) {
    painter.PaintPlainText(p, title_, QPoint(0, 0), clBlack, false);
    painter.PaintPlainText(p, QString("Page %1/%2").arg(page).arg(PageCount()),
                           QPoint(printableWidth_, 0), clBlack, true);
    y = g.LineHeight;
  }
  const TColor back = copy_->Color();
  const int fit = (printableWidth_ - textLeft_ + g.CharWidth - 1) / g.CharWidth;
  for (const TPrintRow& row : layout_->PageRows(page)) {
    const int line = range_.FirstLine + row.Line;
    const int offset = row.Line == 0 ? range_.FirstColumn : 0;
    const int end = line == range_.LastLine ? range_.EndColumn : kPrintLineEnd;
    const int from = row.From + offset;
    int to = row.To == kPrintLineEnd ? end : std::min(end, row.To + offset);
    to = std::min(to, from + std::max(fit, 0));
    if (back != clWhite) p.fillRect(QRect(0, y, printableWidth_, g.LineHeight), ToQColor(back));
    if (numberDigits_ && row.First)
      painter.PaintPlainText(p, QString::number(row.Line + 1).rightJustified(numberDigits_),
                             QPoint(copy_->LeftIndent(), y), clBlack, false);
    painter.PaintRow(p, line, from, to, QPoint(textLeft_, y));
    y += g.LineHeight;
  }
  p.restore();
}

int TMemoPrintJob::Print(QPagedPaintDevice& device,
                         const std::function<bool(int page)>& beforePage) {
  Layout(device.pageLayout());
  QPainter p;
  int printed = 0;
  const int pages = PageCount();
  for (int k = 1; k <= pages; ++k) {
    if (beforePage && !beforePage(k)) break;
    if (k == 1) {
      if (!p.begin(&device)) throw Error("The printer could not start the print job.");
    } else if (!device.newPage()) {
      break;
    }
    // The copy's pixels scaled to the device, the paper's corner at the origin.
    const int dpi = device.logicalDpiY();
    const qreal scale = qreal(dpi) / kPrintPixelsPerInch;
    const QRect paint = device.pageLayout().paintRectPixels(dpi);
    p.resetTransform();
    p.scale(scale, scale);
    p.translate(-paint.left() / scale, -paint.top() / scale);
    PaintPage(p, k);
    ++printed;
  }
  if (p.isActive()) p.end();
  return printed;
}

TMemoPrintCopy::TMemoPrintCopy(TCustomCodeMemo& memo, const std::string& fileName)
    : options_(memo.PrintOptions()), title_(fileName.empty() ? "<Unknown>" : fileName) {
  const TCustomMemoSource& doc = memo.MemoSource();
  text_.ConfigureAsDocument();
  text_.SetTabStops(doc.TabStops());
  {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(doc.LineCount()));
    for (int i = 0; i < doc.LineCount(); ++i) lines.emplace_back(doc.StoredLine(i));
    text_.Lines().Assign(lines);
  }
  if (options_.Has(poPrintSyntax)) text_.SetSyntaxParser(doc.SyntaxParser());
  if (options_.Has(poPrintSel) && doc.SelectionKind() == TSelectionType::Column) {
    // A column block prints as the text it holds: its columns of each of its lines.
    TCustomMemoSource& source = memo.MemoSource();
    std::vector<std::string> pieces;
    const int count = source.Selection().Count();
    pieces.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) pieces.push_back(source.Selection().Get(k));
    if (!pieces.empty()) {
      text_.Lines().Assign(pieces);
      const int last = text_.LineCount() - 1;
      selection_ = TPrintRange{0, 0, last, text_.LineLength(last)};
      title_ = "<Selected block>";
    }
  } else if (options_.Has(poPrintSel) && doc.HasSelection()) {
    std::vector<int> lengths(static_cast<size_t>(text_.LineCount()));
    for (int i = 0; i < text_.LineCount(); ++i) lengths[size_t(i)] = text_.LineLength(i);
    TPrintRange range;
    std::string error;
    const TPoint b = doc.BlockBegin(), e = doc.BlockEnd();
    if (!ClampPrintSelection(b.X, b.Y, e.X, e.Y, lengths, range, error)) {
      // Selected columns past the ends of their lines hold no text: an empty page, never
      // the whole document that was not asked for.
      const int line = std::clamp(b.Y, 0, std::max(0, text_.LineCount() - 1));
      range = TPrintRange{line, 0, line, 0};
    }
    selection_ = range;
    title_ = "<Selected block>";
  }
  if (!selection_) options_.Exclude(poPrintSel);
}

TMemoPrintCopy::~TMemoPrintCopy() {
  text_.SetSyntaxParser(nullptr);
}

std::unique_ptr<TMemoPrintJob> TMemoPrintCopy::MakeJob(TCustomCodeMemo& memo) {
  return std::make_unique<TMemoPrintJob>(memo, text_, options_, selection_, title_,
                                         memo.PrintLeftMargin());
}

int PrintToPdf(TMemoPrintJob& job, const std::string& path, const QPageLayout& page,
               const std::function<bool(int page)>& beforePage) {
  platform::TAtomicFileWriter writer(path);
  int printed = 0;
  {
    TStreamDevice device(writer.Stream());
    QPdfWriter pdf(&device);
    pdf.setPageLayout(page);
    pdf.setCreator("Marlo");
    printed = job.Print(pdf, beforePage);
  }
  // Nothing printed leaves no file; the writer removes its temporary file.
  if (printed > 0) writer.Commit();
  return printed;
}

} // namespace marlo
