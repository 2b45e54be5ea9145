// Keys reach the text model through the real control: keys as Qt delivers them, two-key
// commands, held keys, the menu's short-cuts, typing through the code page and the template
// list. What each command does to the text is the core's (tests/core/text).
#include "core/text/key_list.h"
#include "memo_test_util.h"
#include "ui/editor/code_template_list.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>

namespace marlo::test {

class MemoKeysTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { QApplication::setCursorFlashTime(0); }

  void ctrlKPairsAndQtKeysReachTheKeyTable() {
    MemoFixture f({"one two", "three", "four"});
    QVERIFY(f.Show());
    f.source.SetCaret(4, 0);
    f.Keys("Ctrl+K");
    QCOMPARE(f.memo.PendingKeyPrefix(), kPrefixCtrlK);
    f.Keys("B Down Ctrl+K Ctrl+K"); // the letter works with Ctrl held too
    QCOMPARE(f.source.BlockBegin(), (TPoint{4, 0}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{4, 1}));
    f.Keys("Ctrl+K Y Ctrl+K Z"); // a pair that means nothing swallows its second key
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"one e", "four"}));
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);

    f.source.Lines().Assign(std::vector<std::string>(6, "0123456789"));
    f.source.SetCaret(5, 0);
    f.Keys("Shift+Alt+Down Shift+Alt+Down Shift+Alt+Down");
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Column);
    QCOMPARE(f.source.BlockEnd().Y, 3);
    f.source.Lines().Assign({"a(b[c])"});
    f.source.SetCaret(1, 0);
    f.Keys("Ctrl+[");
    QCOMPARE(f.source.Caret(), (TPoint{6, 0}));
    // Shift+Ctrl+1 arrives as Shift+Ctrl+!: it sets bookmark 1, Ctrl+1 goes back to it.
    f.source.Lines().Assign(std::vector<std::string>(100, "line"));
    f.source.SetCaret(2, 40);
    f.Keys("Shift+Ctrl+! Ctrl+Home Ctrl+1");
    QCOMPARE(f.source.Caret(), (TPoint{2, 40}));

    // Page keys scroll the view by its page and the caret with it; Ctrl+Up scrolls alone.
    f.Keys("Ctrl+Home PgDown");
    const int page = f.memo.PageLines();
    QCOMPARE(f.memo.FirstVisibleLine(), page);
    f.Keys("Ctrl+Up");
    QCOMPARE(f.memo.FirstVisibleLine(), page - 1);
    QCOMPARE(f.source.CaretY(), page);
    f.Keys("Ctrl+End");
    QCOMPARE(f.memo.FirstVisibleLine(), 100 - page);
  }

  void typingGoesThroughTheCodePageAndTabStaysInTheEditor() {
    MemoFixture f({""});
    QVERIFY(f.Show());
    f.memo.SetCharSet(238); // Windows-1250
    f.Type(QString::fromUtf8("a\u0142\u0416b"));
    f.memo.SetCharSet(204); // Windows-1251
    f.Type(QString::fromUtf8("\u0416"));
    QCOMPARE(f.source.StoredLine(0), std::string_view("a\xB3"
                                                      "b\xC6"));
    f.Keys("Home Tab");
    QVERIFY(f.memo.hasFocus());
    QCOMPARE(f.source.StoredLine(0).substr(0, 3), std::string_view("   "));
  }

  // Held keys repeat moves and deletions but do not toggle the mode back and forth.
  void heldKeysRepeatWhereThatHelps() {
    MemoFixture f({"abcdef"});
    QVERIFY(f.Show());
    f.source.SetCaret(6, 0);
    auto held = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
      QKeyEvent e(QEvent::KeyPress, key, mods, QString(), true);
      QApplication::sendEvent(&f.memo, &e);
    };
    f.Keys("Backspace");
    for (int i = 0; i < 2; ++i) held(Qt::Key_Backspace);
    QCOMPARE(f.source.StoredLine(0), std::string_view("abc"));
    held(Qt::Key_Left);
    QCOMPARE(f.source.CaretX(), 2);
    // Holding Shift with a repeating move grows the selection, a stream or a column.
    f.Keys("Shift+Left");
    held(Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(f.source.BlockBegin(), (TPoint{0, 0}));
    held(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Column);
    QCOMPARE(f.source.CaretX(), 1);
    held(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier); // word moves do not repeat
    QCOMPARE(f.source.CaretX(), 1);
    f.Keys("Ins");
    held(Qt::Key_Insert);
    QVERIFY(TCustomMemoSource::Overwrite());
    f.source.SetOverwrite(false);
  }

  // The menu's short-cuts win over the editor's keys, and one that fires ends a pending
  // prefix; so does losing the focus.
  void menuShortcutsWinAndEndThePrefix() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    MemoFixture f({""}, &window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(&f.memo);
    layout->addWidget(other);
    auto* save = new QAction(&window);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    auto* open = new QAction(&window);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    window.addActions({save, open});
    QSignalSpy saved(save, &QAction::triggered), opened(open, &QAction::triggered);
    QVERIFY(f.Show());

    f.Keys("Ctrl+K Ctrl+S B");
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.source.StoredLine(0), std::string_view("b"));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);
    f.Keys("Ctrl+O"); // opens a file: the editor's Ctrl+O pairs never start
    QCOMPARE(opened.count(), 1);
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);
    // A listed short-cut is left to the window even without an action in it: Ctrl+Y
    // would otherwise delete the line.
    f.memo.SetMenuShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y)});
    f.Keys("Ctrl+Y");
    QCOMPARE(f.source.StoredLine(0), std::string_view("b"));

    f.Keys("Ctrl+Q");
    QCOMPARE(f.memo.PendingKeyPrefix(), kPrefixCtrlQ);
    other->setFocus();
    QTRY_VERIFY(!f.memo.hasFocus());
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);
    f.memo.setFocus();
    QTRY_VERIFY(f.memo.hasFocus());
    f.Keys("Home R");
    QCOMPARE(f.source.StoredLine(0), std::string_view("rb"));

    // The short-cut of a pop-up menu that is not open leaves the key to the editor.
    QMenu popup(&window);
    QAction* cut = popup.addAction("Cut");
    cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    QSignalSpy cutByMenu(cut, &QAction::triggered);
    f.source.SelectAll();
    f.Keys("Ctrl+X");
    QCOMPARE(cutByMenu.count(), 0);
    QCOMPARE(QApplication::clipboard()->text(), QString("rb"));
  }

  // Ctrl+J without a chooser shows the control's own list: Down and Enter pick the second
  // template, Esc leaves without inserting anything.
  void ctrlJOffersTheTemplateList() {
    MemoFixture f({""});
    QVERIFY(f.Show());
    for (int key : {Qt::Key_Down, Qt::Key_Escape}) {
      f.source.Lines().Assign({""});
      QTimer::singleShot(0, [key] {
        auto* popup = qobject_cast<TCodeTemplateList*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->List()->count(), 11);
        QTest::keyClick(popup->List(), static_cast<Qt::Key>(key));
        if (key == Qt::Key_Down) QTest::keyClick(popup->List(), Qt::Key_Return);
      });
      f.Keys("Ctrl+J");
      QCOMPARE(f.source.StoredLine(0), std::string_view(key == Qt::Key_Down ? "do" : ""));
      if (key == Qt::Key_Down) QTRY_VERIFY(f.memo.hasFocus());
    }
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MemoKeysTest)
#include "memo_keys_test.moc"
