#pragma once
// The editor control: it shows one text model through a window of its own, with a gutter
// of line numbers and bookmark glyphs, the text painted in the styles the highlighter
// gives each character, the caret, the scroll bars and the current-line band. Keys and
// mouse actions become commands of the text model; the model tells the control which
// lines changed and the control repaints just those.
//
// The control is made of parts: the geometry (memo_geometry), the text painter
// (memo_painter), the gutter (memo_gutter), the input (memo_input) and the commands the
// key table asks of a view (memo_commands).
#include "core/platform/code_page.h"
#include "core/syntax/paint_runs.h"
#include "core/syntax/text_styles.h"
#include "core/text/memo_source.h"
#include "core/text/memo_view.h"
#include "ui/editor/memo_geometry.h"
#include "ui/editor/memo_options.h"
#include "ui/editor/qt_font_metrics.h"

#include <QAbstractScrollArea>
#include <QKeySequence>
#include <QList>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;

namespace marlo {

class TMemoPainter;
class TMemoGutter;
class TMemoInput;
class TMemoCommands;

// The light band behind the caret's line while the control has the focus.
struct TLineHighlight {
  bool Visible = true;
  TColor Pen = clSilver;
  int PenWidth = 1;
  TColor Brush = 0xF0F0F0;
  bool ClearBrush = false; // only the two pen lines are drawn
};

struct TGutterLook {
  int Width = 64;
  TColor Brush = 0xF0F0F0;     // fills the gutter without a background picture
  TColor BackColor = 0x808080; // the first of the two closing lines
  TColor LineColor = 0x808080; // the last one
  bool Gradient = true;        // a horizontal gradient instead of the brush
  TColor GradientFrom = clWhite;
  TColor GradientTo = clSilver;
  TColor LineNumColor = clBlack;
  TLineNumAlign LineNumAlign = laRight;
  TColor LineNumBackColor = clWindow; // behind numbers that stand outside the gutter
  int LineIndent = 0;                 // GutterLineIndent
};

inline QColor ToQColor(TColor c) {
  return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

class TCustomCodeMemo : public QAbstractScrollArea, public TMemoView {
  Q_OBJECT

public:
  explicit TCustomCodeMemo(QWidget* parent = nullptr);
  ~TCustomCodeMemo() override;

  // ---- Text model --------------------------------------------------------------------
  TCustomMemoSource& MemoSource() { return *source_; }
  const TCustomMemoSource& MemoSource() const { return *source_; }
  // Shows `source` (not owned); nullptr goes back to the control's own model.
  void SetMemoSource(TCustomMemoSource* source);
  TLineParser* SyntaxParser() const { return source_->SyntaxParser(); }
  void SetSyntaxParser(TLineParser* parser);

  // ---- Appearance --------------------------------------------------------------------
  TMemoOptions Options() const { return options_; }
  void SetOptions(TMemoOptions options);
  bool Has(TMemoOption o) const { return options_.Has(o); }
  void SetOption(TMemoOption o, bool on) { SetOptions(TMemoOptions(options_).Set(o, on)); }
  TTextStyles& TextStyles() { return styles_; }
  // The control's own font, background, selection and match colours. After changing them
  // in place, call AppearanceChanged.
  TMemoColors& MemoColors() { return colors_; }
  TColor Color() const { return colors_.Color; }
  void SetColor(TColor color);
  TGutterLook& Gutter() { return gutter_; }
  TLineHighlight& LineHighlight() { return highlight_; }
  int LeftIndent() const { return leftIndent_; }
  void SetLeftIndent(int pixels);
  TColor ReadOnlyColor() const { return readOnlyColor_; }
  void SetReadOnlyColor(TColor color);
  // Measures, colours and repaints everything again.
  void AppearanceChanged();
  // The print dialog's boxes and left margin, kept while the control lives.
  TCodePrintOptions PrintOptions() const { return printOptions_; }
  void SetPrintOptions(TCodePrintOptions options) { printOptions_ = options; }
  int PrintLeftMargin() const { return printLeftMargin_; }
  void SetPrintLeftMargin(int pixels) { printLeftMargin_ = pixels; }
  // The printer the print dialog's Setup chose, kept for the next print.
  QPrinter& Printer();

  // The character set of the control's font selects the code page through which the
  // document's bytes are shown and typed.
  int CharSet() const { return colors_.Font.CharSet; }
  void SetCharSet(int charSet);
  const platform::TCodePage& CodePage() const { return *codePage_; }

  // Raises marlo::Error for an unknown mapping.
  void SetKeyMapping(const std::string& name);
  const std::string& KeyMapping() const { return keyMapping_; }
  // Short-cuts of the window's menu: the control leaves them to the menu. Enabled actions
  // of the control's window are found without being listed.
  void SetMenuShortcuts(const QList<QKeySequence>& keys) { menuShortcuts_ = keys; }
  const QList<QKeySequence>& MenuShortcuts() const { return menuShortcuts_; }
  int PendingKeyPrefix() const;

  // ---- View ----------------------------------------------------------------------------
  const TMemoGeometry& Geometry() const { return geometry_; }
  int FirstVisibleLine() const { return geometry_.FirstLine; }
  int FirstVisibleColumn() const { return geometry_.FirstColumn; }
  int PageLines() const { return geometry_.PageLines(); }
  void SetFirstVisibleLine(int line);
  void SetFirstVisibleColumn(int column);
  void ScrollLines(int delta) { SetFirstVisibleLine(geometry_.FirstLine + delta); }
  // Scrolls the least that shows the caret.
  void ScrollToCaret();
  // The text position under a point of the viewport, and the top left of a position.
  TPoint PositionAt(QPoint p) const;
  QPoint PointOf(TPoint position) const;
  QRect CaretRect() const;
  // Lines painted since the count was last reset; what a repaint cost.
  long long PaintedLines() const { return paintedLines_; }
  // The text painter, which also paints printed pages.
  TMemoPainter& Painter() { return *painter_; }
  void ResetPaintedLines() { paintedLines_ = 0; }

  // ---- Hooks of the window ---------------------------------------------------------------
  std::function<void()> OnFind;
  std::function<void()> OnReplace;
  std::function<void()> OnFindAgain;
  std::function<void()> OnGotoLine;
  // Picks one of the code templates for Ctrl+J: the position in the list, or -1. Without
  // it the control shows its own list at the caret.
  std::function<int(const std::vector<const TMemoCodeTemplate*>&)> OnChooseCodeTemplate;
  // Shows an error a command raised; without it the control shows a message box.
  std::function<void(const std::string&)> OnError;

  void SourceChanged(TCustomMemoSource& source, const TChangeInfo& change) override;

signals:
  // A press in the gutter or the line numbers; the caret stays where it is.
  void gutterClicked(int line, Qt::MouseButton button);
  void caretMoved();
  void selectionChanged();
  void textChanged();
  void modifiedChanged(bool modified);
  void overwriteChanged(bool overwrite);
  // The right button or the menu key: the window shows its pop-up menu there.
  void contextMenuRequested(const QPoint& globalPos);

protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  // Tab is a key of the editor, not a move to the next control.
  bool focusNextPrevChild(bool) override { return false; }

private:
  friend class TMemoPainter;
  friend class TMemoGutter;
  friend class TMemoInput;
  friend class TMemoCommands;

  struct TSelectionShot {
    TSelectionType Kind = TSelectionType::None;
    TPoint Begin, End;
  };

  void Attach(TCustomMemoSource* source);
  void Detach();
  void RefreshLooks();
  // Works the geometry out again; true when the text moved sideways (gutter or numbers).
  bool UpdateGeometry();
  void UpdateScrollRanges();
  void SetTopLeft(int line, int column);
  void RepaintLines(int first, int last);
  void RepaintCaret();
  void RepaintSelectionChange(const TSelectionShot& before);
  TSelectionShot SelectionNow() const;
  void RestartCaretBlink();
  bool HasFocusBand() const;
  // Whether a key is a listed short-cut, or with `windowActions` one of an enabled action of
  // the window.
  bool IsMenuShortcut(const QKeyEvent& key, bool windowActions) const;
  // Runs a command of the user and shows the error it raises.
  void RunCommand(const std::function<void()>& command);
  void ShowError(const std::string& text);

  std::unique_ptr<TMemoSource> ownSource_;
  TCustomMemoSource* source_ = nullptr;

  TMemoOptions options_;
  TMemoColors colors_;
  TTextStyles styles_{&colors_};
  int stylesHandler_ = 0;
  TGutterLook gutter_;
  TLineHighlight highlight_;
  int leftIndent_ = 8;
  TColor readOnlyColor_ = clSilver;
  TCodePrintOptions printOptions_{poShowProgress};
  int printLeftMargin_ = 0;
  std::unique_ptr<QPrinter> printer_;
  const platform::TCodePage* codePage_;
  std::string keyMapping_ = "Default";
  QList<QKeySequence> menuShortcuts_;

  TQtFontMetrics fonts_;
  int controlFont_ = 0;
  TPaintRuns runs_;
  TMemoGeometry geometry_;
  int widestLine_ = 0; // the longest line painted so far, for the horizontal scroll range

  TPoint lastCaret_;
  TSelectionShot lastSelection_;
  bool lastOverwrite_ = false;
  QTimer caretTimer_;
  bool caretOn_ = true;
  long long paintedLines_ = 0;

  std::unique_ptr<TMemoPainter> painter_;
  std::unique_ptr<TMemoGutter> gutterPainter_;
  std::unique_ptr<TMemoCommands> commands_;
  std::unique_ptr<TMemoInput> input_;
};

} // namespace marlo
