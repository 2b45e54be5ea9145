#include "ui/editor/custom_code_memo.h"

#include "core/error.h"
#include "core/text/key_list.h"
#include "ui/editor/memo_commands.h"
#include "ui/editor/memo_gutter.h"
#include "ui/editor/memo_input.h"
#include "ui/editor/memo_painter.h"
#include "ui/editor/qt_clipboard.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace marlo {

namespace {
// The horizontal scroll bar reaches at least this many columns.
constexpr int kMinScrollColumns = 256;
} // namespace

TCustomCodeMemo::TCustomCodeMemo(QWidget* parent)
    : QAbstractScrollArea(parent), codePage_(&platform::TCodePage::ForCharSet(kDefaultCharSet)) {
  TQtClipboard::Installed();
  ownSource_ = std::make_unique<TMemoSource>();
  painter_ = std::make_unique<TMemoPainter>(*this);
  gutterPainter_ = std::make_unique<TMemoGutter>(*this);
  commands_ = std::make_unique<TMemoCommands>(*this);
  input_ = std::make_unique<TMemoInput>(*this);
  input_->SetKeyList(TKeyList::Default());

  options_ = {moDrawGutter,     moThumbTracking, moColorSyntax,        moLineNumbers,
              moOverwriteCaret, moLeftIndent,    moLineNumbersOnGutter};
  colors_.MatchColor = 0x00FF00; // lime
  const QColor face = palette().color(QPalette::Button);
  gutter_.Brush = static_cast<TColor>(face.red() | (face.green() << 8) | (face.blue() << 16));
  styles_.LoadBuiltIn();
  stylesHandler_ = styles_.AddChangeHandler([this](bool dropLineColors) {
    if (dropLineColors && source_) source_->ResetColors();
    AppearanceChanged();
  });

  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);

  connect(&caretTimer_, &QTimer::timeout, this, [this] {
    caretOn_ = !caretOn_;
    RepaintCaret();
  });

  Attach(ownSource_.get());
  AppearanceChanged();
}

QPrinter& TCustomCodeMemo::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

TCustomCodeMemo::~TCustomCodeMemo() {
  styles_.RemoveChangeHandler(stylesHandler_);
  Detach();
}

// ---- Text model ---------------------------------------------------------------------------

void TCustomCodeMemo::Attach(TCustomMemoSource* source) {
  source_ = source;
  source_->AddView(this, false);
  lastCaret_ = source_->Caret();
  lastSelection_ = SelectionNow();
  widestLine_ = 0;
  geometry_.FirstLine = geometry_.FirstColumn = 0;
  UpdateGeometry();
  UpdateScrollRanges();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

void TCustomCodeMemo::Detach() {
  if (source_) source_->RemoveView(this);
  source_ = nullptr;
}

void TCustomCodeMemo::SetMemoSource(TCustomMemoSource* source) {
  TCustomMemoSource* next = source ? source : ownSource_.get();
  if (next == source_) return;
  input_->EndMouseAction();
  Detach();
  Attach(next);
}

void TCustomCodeMemo::SetSyntaxParser(TLineParser* parser) {
  source_->SetSyntaxParser(parser);
  viewport()->update();
}

// ---- Appearance -----------------------------------------------------------------------------

void TCustomCodeMemo::SetOptions(TMemoOptions options) {
  if (options == options_) return;
  options_ = options;
  AppearanceChanged();
}

void TCustomCodeMemo::SetColor(TColor color) {
  colors_.Color = color;
  AppearanceChanged();
}

void TCustomCodeMemo::SetLeftIndent(int pixels) {
  leftIndent_ = std::max(0, pixels);
  AppearanceChanged();
}

void TCustomCodeMemo::SetReadOnlyColor(TColor color) {
  readOnlyColor_ = color;
  viewport()->update();
}

void TCustomCodeMemo::SetCharSet(int charSet) {
  colors_.Font.CharSet = charSet;
  codePage_ = &platform::TCodePage::ForCharSet(charSet);
  TQtClipboard::Installed().SetCharSet(charSet);
  viewport()->update();
}

void TCustomCodeMemo::SetKeyMapping(const std::string& name) {
  input_->SetKeyList(TKeyList::ForMapping(name));
  keyMapping_ = name;
}

int TCustomCodeMemo::PendingKeyPrefix() const {
  return input_->Keys().PendingPrefix();
}

void TCustomCodeMemo::AppearanceChanged() {
  // The window may have given the font another character set.
  codePage_ = &platform::TCodePage::ForCharSet(colors_.Font.CharSet);
  // Every line is as high as the tallest font and every column as wide as the widest.
  controlFont_ = fonts_.FontId(colors_.Font);
  geometry_.CharWidth = std::max({1, fonts_.CharWidth(colors_.Font), styles_.MaxCharWidth(fonts_)});
  geometry_.LineHeight =
      std::max({1, fonts_.CharHeight(colors_.Font), styles_.MaxCharHeight(fonts_)});
  RefreshLooks();
  gutterPainter_->Invalidate();
  horizontalScrollBar()->setTracking(Has(moThumbTracking));
  verticalScrollBar()->setTracking(Has(moThumbTracking));
  if (source_) {
    UpdateGeometry();
    UpdateScrollRanges();
  }
  viewport()->update();
}

void TCustomCodeMemo::RefreshLooks() {
  std::array<TRunLook, TPaintRuns::kNoStyle + 1> looks;
  const TRunLook control{controlFont_, colors_.Font.Color, colors_.Color, false};
  for (int b = 0; b < TPaintRuns::kNoStyle; ++b) {
    const TTextStyle* s = styles_.Find(b);
    looks[static_cast<size_t>(b)] =
        s ? TRunLook{fonts_.FontId(s->Font()), s->Font().Color, s->Color(), s->UpperCase()}
          : control;
  }
  looks[TPaintRuns::kNoStyle] = control;
  runs_.SetLooks(looks);
}

// ---- Geometry and scrolling --------------------------------------------------------------------

bool TCustomCodeMemo::UpdateGeometry() {
  TMemoGeometry& g = geometry_;
  const TMemoGeometry before = g;
  g.Width = viewport()->width();
  g.Height = viewport()->height();
  const bool numbers = Has(moLineNumbers);
  const bool gutter = Has(moDrawGutter);
  g.NumbersOnGutter = numbers && gutter && Has(moLineNumbersOnGutter);
  const int lastNumber = g.FirstLine + g.VisibleRows();
  g.NumberWidth =
      numbers ? g.CharWidth * (DigitCount(std::max(source_->LineCount(), lastNumber)) + 1) : 0;
  g.Gutter = 0;
  if (gutter) {
    g.Gutter = gutter_.Width;
    if (g.NumbersOnGutter)
      g.Gutter = std::max(gutter_.Width, g.NumberWidth + gutter_.LineIndent + 2);
  }
  g.IndentLeft = g.Gutter;
  g.Indent = Has(moLeftIndent) && leftIndent_ >= 1 ? leftIndent_ : 0;
  g.NumberLeft = g.NumbersOnGutter ? 0 : g.Gutter + g.Indent;
  g.TextLeft = g.Gutter + g.Indent + (numbers && !g.NumbersOnGutter ? g.NumberWidth : 0);
  return g.TextLeft != before.TextLeft || g.Gutter != before.Gutter ||
         g.NumberWidth != before.NumberWidth;
}

void TCustomCodeMemo::UpdateScrollRanges() {
  const TMemoGeometry& g = geometry_;
  QScrollBar* v = verticalScrollBar();
  const int page = g.PageLines();
  v->setPageStep(page);
  v->setSingleStep(1);
  v->setRange(0, std::max({0, source_->LineCount() - page, g.FirstLine}));
  QScrollBar* h = horizontalScrollBar();
  const int columns = std::max({kMinScrollColumns, widestLine_ + 1, source_->CaretX() + 1});
  h->setPageStep(g.VisibleColumns());
  h->setSingleStep(1);
  h->setRange(0, std::max({0, columns - g.VisibleColumns(), g.FirstColumn}));
}

void TCustomCodeMemo::SetTopLeft(int line, int column) {
  line = std::max(0, line);
  column = std::max(0, column);
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  if (v->maximum() < line) v->setMaximum(line);
  if (h->maximum() < column) h->setMaximum(column);
  // The bars tell scrollContentsBy, which moves the picture.
  v->setValue(line);
  h->setValue(column);
}

void TCustomCodeMemo::SetFirstVisibleLine(int line) {
  const int maxFirst = std::max(0, source_->LineCount() - PageLines());
  // A view the caret pushed below the text is not pulled back by scrolling.
  SetTopLeft(std::clamp(line, 0, std::max(maxFirst, geometry_.FirstLine)), geometry_.FirstColumn);
}

void TCustomCodeMemo::SetFirstVisibleColumn(int column) {
  SetTopLeft(geometry_.FirstLine, column);
}

void TCustomCodeMemo::scrollContentsBy(int, int) {
  TMemoGeometry& g = geometry_;
  const int line = verticalScrollBar()->value(), column = horizontalScrollBar()->value();
  const int dLines = line - g.FirstLine, dColumns = column - g.FirstColumn;
  if (dLines == 0 && dColumns == 0) return;
  g.FirstLine = line;
  g.FirstColumn = column;
  const bool moved = UpdateGeometry();
  if (moved || dColumns != 0 || std::abs(dLines) >= g.VisibleRows())
    viewport()->update();
  else
    viewport()->scroll(0, -dLines * g.LineHeight);
}

void TCustomCodeMemo::ScrollToCaret() {
  const TMemoGeometry& g = geometry_;
  const TPoint c = source_->Caret();
  int line = g.FirstLine, column = g.FirstColumn;
  const int page = g.PageLines(), columns = g.VisibleColumns();
  if (c.Y < line)
    line = c.Y;
  else if (c.Y >= line + page)
    line = c.Y - page + 1;
  if (c.X < column)
    column = c.X;
  else if (c.X >= column + columns)
    column = c.X - columns + 1;
  if (line != g.FirstLine || column != g.FirstColumn) SetTopLeft(line, column);
}

TPoint TCustomCodeMemo::PositionAt(QPoint p) const {
  return {geometry_.ColumnAt(p.x()), std::max(0, geometry_.LineAt(p.y()))};
}

QPoint TCustomCodeMemo::PointOf(TPoint position) const {
  return {geometry_.ColumnX(position.X), geometry_.LineTop(position.Y)};
}

QRect TCustomCodeMemo::CaretRect() const {
  const bool dragging = input_->Dragging();
  if (!hasFocus() && !dragging) return {};
  const TMemoGeometry& g = geometry_;
  const TPoint c = dragging ? input_->DropPosition() : source_->Caret();
  if (c.Y < g.FirstLine || c.Y > g.LastVisibleLine() || c.X < g.FirstColumn) return {};
  // A block as wide as a column in overwrite mode, else twice the border width.
  const bool block = !dragging && Has(moOverwriteCaret) && TCustomMemoSource::Overwrite();
  const int width = block ? g.CharWidth : 2;
  const int x = g.ColumnX(c.X);
  if (x >= g.Width) return {};
  return QRect(x, g.LineTop(c.Y), width, g.LineHeight);
}

// ---- Repainting -----------------------------------------------------------------------------

void TCustomCodeMemo::RepaintLines(int first, int last) {
  const TMemoGeometry& g = geometry_;
  first = std::max(first, g.FirstLine);
  last = std::min(last, g.LastVisibleLine());
  if (first > last) return;
  viewport()->update(QRect(0, g.LineTop(first), g.Width, (last - first + 1) * g.LineHeight));
}

void TCustomCodeMemo::RepaintCaret() {
  const QRect r = CaretRect();
  if (!r.isEmpty()) viewport()->update(r);
}

TCustomCodeMemo::TSelectionShot TCustomCodeMemo::SelectionNow() const {
  return {source_->SelectionKind(), source_->BlockBegin(), source_->BlockEnd()};
}

void TCustomCodeMemo::RepaintSelectionChange(const TSelectionShot& before) {
  const TSelectionShot now = SelectionNow();
  if (before.Kind == TSelectionType::None && now.Kind == TSelectionType::None) return;
  // A stream selection that grows or shrinks at one end changes only the lines between
  // its old and its new end.
  if (before.Kind == TSelectionType::Stream && now.Kind == TSelectionType::Stream) {
    if (before.Begin == now.Begin) {
      RepaintLines(std::min(before.End.Y, now.End.Y), std::max(before.End.Y, now.End.Y));
      return;
    }
    if (before.End == now.End) {
      RepaintLines(std::min(before.Begin.Y, now.Begin.Y), std::max(before.Begin.Y, now.Begin.Y));
      return;
    }
  }
  if (before.Kind != TSelectionType::None) RepaintLines(before.Begin.Y, before.End.Y);
  if (now.Kind != TSelectionType::None) RepaintLines(now.Begin.Y, now.End.Y);
}

bool TCustomCodeMemo::HasFocusBand() const {
  return highlight_.Visible && hasFocus();
}

void TCustomCodeMemo::RestartCaretBlink() {
  caretOn_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (flash > 0 && hasFocus())
    caretTimer_.start(flash / 2);
  else
    caretTimer_.stop();
}

void TCustomCodeMemo::SourceChanged(TCustomMemoSource& source, const TChangeInfo& change) {
  if (&source != source_) return;
  const TChangeFlags f = change.Flags;
  const TMemoGeometry& g = geometry_;
  bool all = UpdateGeometry() || f.Has(chParser);
  if (f.Has(chLineCount) || f.Has(chCaret) || all) UpdateScrollRanges();
  if (f.Has(chCaret) || f.Has(chText) || f.Has(chLineCount)) {
    const int firstLine = g.FirstLine;
    ScrollToCaret();
    // Scrolling may have widened the line numbers.
    if (g.FirstLine != firstLine) all = UpdateGeometry() || all;
  }
  if (all) {
    viewport()->update();
  } else {
    if (change.FirstLine <= change.LastLine) {
      int first = change.FirstLine, last = change.LastLine;
      // Lines below an inserted or removed one move.
      if (f.Has(chLineCount)) last = std::max(last, g.LastVisibleLine());
      if (last >= g.FirstLine && first <= g.LastVisibleLine()) {
        if (Has(moColorSyntax) && source.SyntaxParser()) {
          // Lines whose start state the edit moved are scanned again and shown anew.
          const int recolorFrom =
              source.EnsureLineColored(std::min(last, g.LastVisibleLine()), false);
          last = std::max(last, recolorFrom);
        }
        RepaintLines(first, last);
      }
    }
    if (f.Has(chCaret) || f.Has(chOverwrite)) {
      RepaintLines(lastCaret_.Y, lastCaret_.Y);
      RepaintLines(source.CaretY(), source.CaretY());
    }
    if (f.Has(chSelection)) RepaintSelectionChange(lastSelection_);
  }
  lastCaret_ = source.Caret();
  lastSelection_ = SelectionNow();
  if (f.Has(chCaret)) RestartCaretBlink();

  if (f.Has(chCaret)) emit caretMoved();
  if (f.Has(chSelection)) emit selectionChanged();
  if (f.Has(chText)) emit textChanged();
  if (f.Has(chModified)) emit modifiedChanged(source.Modified());
  if (f.Has(chOverwrite)) emit overwriteChanged(TCustomMemoSource::Overwrite());
}

// ---- Events -----------------------------------------------------------------------------------

void TCustomCodeMemo::paintEvent(QPaintEvent* e) {
  QPainter p(viewport());
  const TMemoGeometry& g = geometry_;
  const int widest = widestLine_;
  // The region's rectangles come in bands from the top: a line two of them touch counts once.
  int counted = g.FirstLine - 1;
  for (const QRect& r : e->region()) {
    gutterPainter_->Paint(p, r);
    if (painter_->PaintText(p, r) == 0) continue;
    const int first = std::max(g.LineAt(r.top()), counted + 1), last = g.LineAt(r.bottom());
    if (last >= first) paintedLines_ += last - first + 1;
    counted = std::max(counted, last);
  }
  if (caretOn_ || input_->Dragging()) painter_->PaintCaret(p);
  if (widestLine_ > widest) UpdateScrollRanges();
}

void TCustomCodeMemo::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateGeometry();
  UpdateScrollRanges();
  viewport()->update();
}

bool TCustomCodeMemo::IsMenuShortcut(const QKeyEvent& key, bool windowActions) const {
  const QKeySequence pressed(
      QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
  if (menuShortcuts_.contains(pressed)) return true;
  if (!windowActions) return false;
  // The enabled actions of the window count as menu short-cuts too.
  for (const QAction* a : window()->findChildren<QAction*>())
    if (a->isEnabled() && a->shortcuts().contains(pressed)) return true;
  return false;
}

bool TCustomCodeMemo::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (IsMenuShortcut(*key, true)) {
      // The menu's command runs instead of the key; a pending prefix ends with it.
      input_->Keys().CancelPrefix();
      e->ignore();
      return true;
    }
    const bool plainText = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                           !key->text().isEmpty() && key->text().at(0).isPrint();
    if (input_->WantsShortcutKey(key) || plainText) {
      e->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

void TCustomCodeMemo::keyPressEvent(QKeyEvent* e) {
  // A listed menu short-cut that reaches the control (its command is disabled) is not a
  // key of the editor either. An action of the window that did not take its key (it sits
  // in a hidden pop-up menu, say) leaves the key to the editor.
  if (!menuShortcuts_.isEmpty() && IsMenuShortcut(*e, false)) {
    input_->Keys().CancelPrefix();
    e->ignore();
    return;
  }
  // Shift+F10 is the keyboard's way to the pop-up menu, as the Menu key is.
  if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier &&
      input_->Keys().PendingPrefix() == 0) {
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint(), e->modifiers());
    contextMenuEvent(&menu);
    e->accept();
    return;
  }
  input_->KeyPress(e);
}

void TCustomCodeMemo::inputMethodEvent(QInputMethodEvent* e) {
  if (!e->commitString().isEmpty()) input_->TypeText(e->commitString());
  e->accept();
}

void TCustomCodeMemo::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  RestartCaretBlink();
  RepaintLines(source_->CaretY(), source_->CaretY());
}

void TCustomCodeMemo::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  input_->FocusLost();
  caretTimer_.stop();
  RepaintLines(source_->CaretY(), source_->CaretY());
}

void TCustomCodeMemo::mousePressEvent(QMouseEvent* e) {
  input_->MousePress(e);
}

void TCustomCodeMemo::mouseMoveEvent(QMouseEvent* e) {
  input_->MouseMove(e);
}

void TCustomCodeMemo::mouseReleaseEvent(QMouseEvent* e) {
  input_->MouseRelease(e);
}

void TCustomCodeMemo::mouseDoubleClickEvent(QMouseEvent* e) {
  input_->MouseDoubleClick(e);
}

void TCustomCodeMemo::contextMenuEvent(QContextMenuEvent* e) {
  QPoint at = e->globalPos();
  if (e->reason() != QContextMenuEvent::Mouse) {
    const QRect caret = CaretRect();
    at = viewport()->mapToGlobal(caret.isEmpty() ? QPoint(geometry_.TextLeft, 0)
                                                 : caret.bottomLeft());
  }
  emit contextMenuRequested(at);
  e->accept();
}

// ---- Errors -------------------------------------------------------------------------------------

void TCustomCodeMemo::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

void TCustomCodeMemo::ShowError(const std::string& text) {
  if (OnError) {
    OnError(text);
    return;
  }
  QMessageBox::critical(this, QApplication::applicationName(), BytesToQString(text, *codePage_));
}

} // namespace marlo
