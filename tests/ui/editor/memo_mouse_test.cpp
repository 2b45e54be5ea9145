// The mouse on the editor control: placing the caret, extending and dragging selections,
// the auto-scroll timer, word selection, the gutter and the right button.
#include "memo_test_util.h"

#include <QSignalSpy>

namespace marlo::test {

class MemoMouseTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QApplication::setCursorFlashTime(0); }

  void clicksPlaceAndExtend() {
    MemoFixture f({"hello world", "second line", "third"});
    QVERIFY(f.Show());
    f.Press(f.Boundary(3, 1));
    f.Release(f.Boundary(3, 1));
    QCOMPARE(f.source.Caret(), (TPoint{3, 1}));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    // The right half of a character puts the caret after it.
    f.Press(f.Cell(3, 1) + QPoint(f.G().CharWidth / 2 - 1, 0));
    f.Release(f.Cell(4, 1));
    QCOMPARE(f.source.Caret(), (TPoint{4, 1}));

    f.Press(f.Boundary(0, 2), Qt::ShiftModifier);
    f.Release(f.Cell(0, 2), Qt::ShiftModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    QCOMPARE(f.source.BlockBegin(), (TPoint{4, 1}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{0, 2}));

    // Dragging with the button held selects from the press to the pointer.
    const QPoint from = f.Boundary(2, 0);
    f.Press(from);
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
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i) lines.push_back("line " + std::to_string(i));
    MemoFixture f(lines);
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
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    QCOMPARE(f.source.BlockBegin(), (TPoint{6, 0}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{10, 0}));

    f.source.ClearSelection();
    f.source.SetCaret(1, 1);
    // In the gutter a click is told to the window and moves nothing, double or not.
    const QPoint inGutter(f.G().Gutter / 2, f.G().LineTop(0) + 3);
    f.DoubleClick(inGutter);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    QCOMPARE(f.source.Caret(), (TPoint{1, 1}));
    QVERIFY(gutter.count() >= 2);
    QCOMPARE(gutter.last().at(0).toInt(), 0);
  }

  // While the button is held outside the text, a 30 ms timer scrolls and the selection
  // follows.
  void dragSelectionScrollsOutsideTheText() {
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) lines.push_back("line " + std::to_string(i));
    MemoFixture f(lines);
    QVERIFY(f.Show());
    f.Press(f.Boundary(0, 2));
    const QPoint below(f.G().TextLeft + 10, f.G().Height + 20);
    f.Move(below);
    QTRY_VERIFY(f.memo.FirstVisibleLine() >= 5);
    const int first = f.memo.FirstVisibleLine();
    // The caret is at the last whole line shown, the selection from the press to it.
    QCOMPARE(f.source.CaretY(), first + f.memo.PageLines() - 1);
    QCOMPARE(f.source.BlockBegin(), (TPoint{0, 2}));
    // Back inside, the scrolling stops.
    const int stopped = f.memo.FirstVisibleLine();
    f.Move(f.Cell(1, stopped + 3));
    QTest::qWait(100);
    QCOMPARE(f.memo.FirstVisibleLine(), stopped);
    f.Release(f.Cell(1, stopped + 3));
    QCOMPARE(f.source.BlockEnd().Y, stopped + 3);
  }

  // Dragging the selection moves it; with Ctrl held it copies; one undo takes it back.
  void draggingTheSelectionMovesOrCopiesIt() {
    MemoFixture f({"hello world", "end"});
    QVERIFY(f.Show());
    f.source.SelectBlock(TSelectionType::Stream, 0, 0, 5, 0);
    f.Press(f.Cell(2, 0));
    f.Move(f.Cell(5, 0));
    f.Move(f.Boundary(3, 1));
    f.Release(f.Boundary(3, 1));
    QCOMPARE(Lines(f.source), (std::vector<std::string>{" world", "endhello"}));
    f.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"hello world", "end"}));

    f.source.SelectBlock(TSelectionType::Stream, 6, 0, 11, 0);
    f.Press(f.Cell(7, 0));
    f.Move(f.Cell(3, 0), Qt::ControlModifier);
    f.Move(f.Boundary(0, 1), Qt::ControlModifier);
    f.Release(f.Boundary(0, 1), Qt::ControlModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"hello world", "worldend"}));

    // Dropping into the selection itself changes nothing; a click there places the caret.
    f.source.SelectBlock(TSelectionType::Stream, 0, 0, 5, 0);
    f.Press(f.Cell(1, 0));
    f.Move(f.Cell(4, 0));
    f.Release(f.Cell(4, 0));
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
