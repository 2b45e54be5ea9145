// The mouse on the editor control: placing the caret, extending and dragging selections,
// the auto-scroll timer, word selection, the gutter and the right button.
#include "memo_test_util.h"

#include <QSignalSpy>

namespace marlo::test {

namespace {

std::vector<std::string> Numbered(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

} // namespace

class MemoMouseTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QApplication::setCursorFlashTime(0); }

  void clicksPlaceExtendAndDragSelect() {
    MemoFixture f({"hello world", "second line", "third"});
    QVERIFY(f.Show());
    f.Press(f.Boundary(3, 1));
    f.Release(f.Boundary(3, 1));
    QCOMPARE(f.source.Caret(), (TPoint{3, 1}));
    // The right half of a character puts the caret after it.
    f.Press(f.Cell(3, 1) + QPoint(f.G().CharWidth / 2 - 1, 0));
    f.Release(f.Cell(4, 1));
    QCOMPARE(f.source.Caret(), (TPoint{4, 1}));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    f.Press(f.Boundary(0, 2), Qt::ShiftModifier);
    f.Release(f.Cell(0, 2), Qt::ShiftModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    QCOMPARE(f.source.BlockBegin(), (TPoint{4, 1}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{0, 2}));
    // Dragging with the button held selects from the press to the pointer.
    f.Press(f.Boundary(2, 0));
    f.Move(f.Boundary(5, 0));
    f.Move(f.Boundary(7, 1));
    f.Release(f.Cell(7, 1));
    QCOMPARE(f.source.BlockBegin(), (TPoint{2, 0}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{7, 1}));
    QCOMPARE(f.source.Caret(), (TPoint{7, 1}));
  }

  // A press on the partly shown last line puts the caret on that line and brings it into
  // view; holding the button there does not run the view away.
  void pressOnAPartlyShownLineTakesThatLine() {
    MemoFixture f(Numbered(100));
    QVERIFY(f.Show());
    const int h = f.G().LineHeight;
    f.memo.resize(480, f.memo.height() + (h / 2 - f.G().Height % h));
    QTRY_COMPARE(f.G().Height % h, h / 2);
    const int partial = f.G().LastVisibleLine();
    QCOMPARE(partial, f.memo.FirstVisibleLine() + f.memo.PageLines());
    const QPoint at(f.G().ColumnX(2) + 1, f.G().Height - 2);
    f.Press(at);
    QCOMPARE(f.source.Caret(), (TPoint{2, partial}));
    QCOMPARE(f.memo.FirstVisibleLine(), 1);
    f.Move(at + QPoint(1, 0));
    f.Release(at + QPoint(1, 0));
    QCOMPARE(f.memo.FirstVisibleLine(), 1);
    QCOMPARE(f.source.CaretY(), partial);
  }

  void doubleClickSelectsAWordOutsideTheGutter() {
    MemoFixture f({"alpha beta gamma", "x"});
    QVERIFY(f.Show());
    QSignalSpy gutter(&f.memo, &TCustomCodeMemo::gutterClicked);
    f.DoubleClick(f.Cell(7, 0));
    QCOMPARE(f.source.BlockBegin(), (TPoint{6, 0}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{10, 0}));
    // In the gutter a click is told to the window and moves nothing, double or not.
    f.source.ClearSelection();
    f.source.SetCaret(1, 1);
    f.DoubleClick(QPoint(f.G().Gutter / 2, f.G().LineTop(0) + 3));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    QCOMPARE(f.source.Caret(), (TPoint{1, 1}));
    QVERIFY(gutter.count() >= 2);
    QCOMPARE(gutter.last().at(0).toInt(), 0);
  }

  // While the button is held outside the text, a timer scrolls and the selection follows;
  // back inside, the scrolling stops.
  void dragSelectionScrollsOutsideTheText() {
    MemoFixture f(Numbered(300));
    QVERIFY(f.Show());
    f.Press(f.Boundary(0, 2));
    f.Move(QPoint(f.G().TextLeft + 10, f.G().Height + 20));
    QTRY_VERIFY(f.memo.FirstVisibleLine() >= 5);
    const int first = f.memo.FirstVisibleLine();
    QCOMPARE(f.source.CaretY(), first + f.memo.PageLines() - 1); // the last whole line shown
    QCOMPARE(f.source.BlockBegin(), (TPoint{0, 2}));
    const int stopped = f.memo.FirstVisibleLine();
    f.Move(f.Cell(1, stopped + 3));
    QTest::qWait(100);
    QCOMPARE(f.memo.FirstVisibleLine(), stopped);
    f.Release(f.Cell(1, stopped + 3));
    QCOMPARE(f.source.BlockEnd().Y, stopped + 3);
  }

  // Dragging the selection moves it; with Ctrl held it copies; one undo takes it back.
  // Dropping into the selection itself changes nothing; a click there places the caret.
  void draggingTheSelectionMovesOrCopiesIt() {
    MemoFixture f({"hello world", "end"});
    QVERIFY(f.Show());
    auto drag = [&](int x0, int x1, QPoint from, QPoint to, Qt::KeyboardModifiers mods) {
      f.source.SelectBlock(TSelectionType::Stream, x0, 0, x1, 0);
      f.Press(from);
      f.Move(from + QPoint(3 * f.G().CharWidth, 0), mods);
      f.Move(to, mods);
      f.Release(to, mods);
    };
    drag(0, 5, f.Cell(2, 0), f.Boundary(3, 1), Qt::NoModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{" world", "endhello"}));
    f.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"hello world", "end"}));
    drag(6, 11, f.Cell(7, 0), f.Boundary(0, 1), Qt::ControlModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"hello world", "worldend"}));
    drag(0, 5, f.Cell(1, 0), f.Cell(4, 0), Qt::NoModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"hello world", "worldend"}));
    f.Press(f.Boundary(2, 0));
    f.Release(f.Boundary(2, 0));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    QCOMPARE(f.source.Caret(), (TPoint{2, 0}));
  }

  void rightButtonAsksForTheMenu() {
    MemoFixture f({"one two three"});
    QVERIFY(f.Show());
    QSignalSpy menu(&f.memo, &TCustomCodeMemo::contextMenuRequested);
    f.source.SelectBlock(TSelectionType::Stream, 4, 0, 7, 0);
    // Inside the selection the caret stays, so that the menu acts on the selection.
    const QPoint inside = f.Cell(5, 0);
    f.Press(inside, Qt::NoModifier, Qt::RightButton);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside,
                            f.memo.viewport()->mapToGlobal(inside));
    QApplication::sendEvent(f.memo.viewport(), &event);
    QCOMPARE(menu.count(), 1);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    // Outside it the caret goes where the button was pressed.
    f.Press(f.Boundary(10, 0), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(f.source.Caret(), (TPoint{10, 0}));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MemoMouseTest)
#include "memo_mouse_test.moc"
