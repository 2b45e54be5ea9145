// What the editor control paints, read back from pictures of it: the selection colours,
// the current-line band, the gutter width and the caret.
#include "core/syntax/my_parser.h"
#include "memo_test_util.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include <functional>

namespace marlo::test {

namespace {

bool IsGrey(QRgb c, int level) {
  return qRed(c) == level && qGreen(c) == level && qBlue(c) == level;
}

} // namespace

class MemoPaintTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QApplication::setCursorFlashTime(0); }

  // Selected text of every style is white on navy, whatever its colours unselected.
  void selectionIsWhiteOnNavy() {
    TMyParser parser({"print"});
    MemoFixture f({"print a, 12", "rem a remark", "a$ = \"text\"", "last"});
    f.memo.SetSyntaxParser(&parser);
    QVERIFY(f.Show());
    f.source.SelectMove(TSelectionType::Stream, [&] { f.source.SetCaret(2, 3); });
    const QImage img = f.Picture();
    const TMemoGeometry& g = f.G();
    int white = 0, navy = 0;
    for (int line = 0; line < 3; ++line) {
      const int len = f.source.LineLength(line);
      for (int y = g.LineTop(line); y < g.LineTop(line) + g.LineHeight; ++y)
        for (int x = g.TextLeft; x < g.ColumnX(len) + 4 * g.CharWidth; ++x) {
          const QRgb c = img.pixel(x, y);
          // White glyphs on navy, and the blends of the two at glyph edges.
          QVERIFY2(
              qRed(c) == qGreen(c) && qBlue(c) >= qRed(c) && qBlue(c) >= 128,
              qPrintable(QString("line %1 at %2,%3: %4").arg(line).arg(x).arg(y).arg(c, 0, 16)));
          white += c == qRgb(255, 255, 255);
          navy += c == qRgb(0, 0, 128);
        }
    }
    QVERIFY(white > 50 && navy > 500);
    // The selection of a line that goes on reaches the right edge; where it ends, it stops.
    QCOMPARE(img.pixel(g.Width - 2, g.LineTop(0) + 3), qRgb(0, 0, 128));
    QCOMPARE(img.pixel(f.Cell(2, 3).x() + g.CharWidth, f.Cell(2, 3).y()), qRgb(240, 240, 240));

    // Found text is lime on black, over the selection too.
    f.source.SetFoundText({1, 0}, {3, 0});
    const QImage found = f.Picture();
    QCOMPARE(found.pixel(g.ColumnX(1), g.LineTop(0)), qRgb(0, 0, 0));
    QCOMPARE(found.pixel(g.ColumnX(3), g.LineTop(0)), qRgb(0, 0, 128));
    bool lime = false;
    for (int y = g.LineTop(0); y < g.LineTop(1); ++y)
      for (int x = g.ColumnX(1); x < g.ColumnX(3); ++x)
        lime |= found.pixel(x, y) == qRgb(0, 255, 0);
    QVERIFY(lime);
    f.memo.SetSyntaxParser(nullptr);
  }

  // The light band of the caret's line shows only while the control has the focus; runs
  // with a background of their own keep it, and the band goes on after the text.
  void currentLineBandOnlyWhileFocused() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    TMyParser parser;
    MemoFixture f({"first", "rem note", "third"}, &window);
    layout->addWidget(&f.memo);
    layout->addWidget(other);
    window.resize(480, 320);
    f.memo.SetSyntaxParser(&parser);
    f.memo.TextStyles()[tkComment].SetColor(0x00FFFF); // yellow behind remarks
    QVERIFY(f.Show());
    f.source.SetCaret(0, 1);
    const TMemoGeometry& g = f.G();
    const int top = g.LineTop(1), mid = top + g.LineHeight / 2;
    const int after = g.ColumnX(12);

    QImage img = f.Picture();
    QCOMPARE(img.pixel(after, mid), qRgb(240, 240, 240));
    QCOMPARE(img.pixel(after, top), qRgb(192, 192, 192));
    QCOMPARE(img.pixel(after, top + g.LineHeight - 1), qRgb(192, 192, 192));
    // The remark keeps its yellow and carries no band lines.
    QCOMPARE(img.pixel(g.ColumnX(3) + 1, top), qRgb(255, 255, 0));
    // Other lines are plain.
    QCOMPARE(img.pixel(after, g.LineTop(0) + g.LineHeight / 2), qRgb(255, 255, 255));

    other->setFocus();
    QTRY_VERIFY(!f.memo.hasFocus());
    img = f.Picture();
    QCOMPARE(img.pixel(after, mid), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(after, top), qRgb(255, 255, 255));

    f.memo.setFocus();
    QTRY_VERIFY(f.memo.hasFocus());
    QCOMPARE(f.Picture().pixel(after, mid), qRgb(240, 240, 240));
    f.memo.SetSyntaxParser(nullptr);
  }

  // The gutter is 64 pixels wide until the line numbers need more; it ends in two grey
  // lines. Without the gutter the numbers stand after the left indent.
  void gutterWidthFollowsTheLineNumbers() {
    MemoFixture f(std::vector<std::string>(100, "x"));
    QVERIFY(f.Show());
    const int w = f.G().CharWidth;
    auto expectGutter = [&](int width) {
      QCOMPARE(f.G().Gutter, width);
      QCOMPARE(f.G().TextLeft, width + 8);
      const QImage img = f.Picture();
      const int y = f.G().LineTop(1) + 1;
      QVERIFY(IsGrey(img.pixel(width - 1, y), 128));
      QVERIFY(IsGrey(img.pixel(width - 2, y), 128));
      QVERIFY(!IsGrey(img.pixel(width - 3, y), 128));
      // The gradient runs from white to silver.
      QVERIFY(qRed(img.pixel(0, y)) >= 250);
      QVERIFY(qRed(img.pixel(width - 3, y)) < 200);
      QCOMPARE(img.pixel(width, y), qRgb(255, 255, 255)); // the left-indent strip
    };
    expectGutter(std::max(64, w * 4 + 2));

    f.memo.Gutter().Width = 20;
    f.memo.AppearanceChanged();
    expectGutter(w * 4 + 2); // three digits and one more column, and the two lines

    f.source.LoadFromBytes("a\r\nb\r\n");
    f.memo.SetOption(moDrawGutter, false);
    QCOMPARE(f.G().Gutter, 0);
    // Two digits: the view's rows are counted as well as the text's two lines.
    QCOMPARE(f.G().NumberLeft, 8);
    QCOMPARE(f.G().TextLeft, 8 + w * 3);
  }

  // Edits repaint the lines they change: one for a typed character, down to the last line
  // shown when a remark block opens above them; a selection grown by a line, two.
  void editsRepaintWhatTheyChange() {
    TMyParser parser;
    MemoFixture f(std::vector<std::string>(500, "a = 1"));
    f.memo.SetSyntaxParser(&parser);
    QVERIFY(f.Show());
    auto painted = [&](const std::function<void()>& action) {
      QApplication::processEvents();
      f.memo.ResetPaintedLines();
      action();
      QApplication::processEvents();
      return f.memo.PaintedLines();
    };
    f.source.SetCaret(5, 10);
    QCOMPARE(painted([&] { f.Type("x"); }), 1);
    QCOMPARE(painted([&] { f.Key(Qt::Key_Backspace); }), 1);
    const int shown = f.G().LastVisibleLine();
    f.source.SetCaret(0, 10);
    QCOMPARE(painted([&] { f.source.InsertText("remstart "); }), shown - 10 + 1);
    QCOMPARE(f.source.LineColors(shown)[0], char(tkComment));
    QCOMPARE(painted([&] { f.Key(Qt::Key_Z, Qt::ControlModifier); }), shown - 10 + 1);
    QCOMPARE(f.source.LineColors(shown)[0], char(tkIdentifier));
    f.source.SetCaret(0, 3);
    QCOMPARE(painted([&] { f.Key(Qt::Key_Down, Qt::ShiftModifier); }), 2);
    QCOMPARE(painted([&] { f.Key(Qt::Key_Down, Qt::ShiftModifier); }), 2);
    f.memo.SetSyntaxParser(nullptr);
  }

  // The caret is a thin bar when inserting and a block a column wide when overwriting,
  // also on an empty line; it inverts what it stands on.
  void overwriteCaretIsAColumnWide() {
    MemoFixture f({"abc", ""});
    QVERIFY(f.Show());
    f.source.SetCaret(0, 1);
    const TMemoGeometry& g = f.G();
    const int x0 = g.TextLeft, mid = g.LineTop(1) + g.LineHeight / 2;
    const QRgb inverted = qRgb(15, 15, 15), band = qRgb(240, 240, 240);

    QImage img = f.Picture();
    QCOMPARE(img.pixel(x0, mid), inverted);
    QCOMPARE(img.pixel(x0 + 1, mid), inverted);
    QCOMPARE(img.pixel(x0 + 2, mid), band);

    f.Key(Qt::Key_Insert);
    QVERIFY(TCustomMemoSource::Overwrite());
    img = f.Picture();
    QCOMPARE(img.pixel(x0, mid), inverted);
    QCOMPARE(img.pixel(x0 + g.CharWidth - 1, mid), inverted);
    QCOMPARE(img.pixel(x0 + g.CharWidth, mid), band);

    // Without the focus there is no caret.
    f.memo.clearFocus();
    QTRY_VERIFY(!f.memo.hasFocus());
    QCOMPARE(f.Picture().pixel(x0, mid), qRgb(255, 255, 255));
    f.source.SetOverwrite(false);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MemoPaintTest)
#include "memo_paint_test.moc"
