// Keys reach the text model through the real control: the key table, two-key commands,
// the menu's short-cuts, typing through the code page and the template list.
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

  void ctrlKMarksAndDeletesABlock() {
    MemoFixture f({"one two", "three", "four"});
    QVERIFY(f.Show());
    f.source.SetCaret(4, 0);
    f.Key(Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(f.memo.PendingKeyPrefix(), kPrefixCtrlK);
    f.Key(Qt::Key_B);
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_K, Qt::ControlModifier);
    f.Key(Qt::Key_K, Qt::ControlModifier); // the letter works with Ctrl held too
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    QCOMPARE(f.source.BlockBegin(), (TPoint{4, 0}));
    QCOMPARE(f.source.BlockEnd(), (TPoint{4, 1}));
    f.Key(Qt::Key_K, Qt::ControlModifier);
    f.Key(Qt::Key_Y);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"one e", "four"}));
    // A pair that means nothing swallows its second key.
    f.Key(Qt::Key_K, Qt::ControlModifier);
    f.Key(Qt::Key_Z);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{"one e", "four"}));
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);
  }

  void movesSelectionsAndBrackets() {
    MemoFixture f(std::vector<std::string>(6, "0123456789"));
    QVERIFY(f.Show());
    f.source.SetCaret(5, 0);
    for (int i = 0; i < 3; ++i) f.Key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Column);
    QCOMPARE(f.source.BlockBegin().Y, 0);
    QCOMPARE(f.source.BlockEnd().Y, 3);

    f.source.Lines().Assign({"a(b[c])"});
    f.source.SetCaret(1, 0);
    f.Key(Qt::Key_BracketLeft, Qt::ControlModifier);
    QCOMPARE(f.source.Caret(), (TPoint{6, 0}));

    // Shift+Ctrl+digit sets a bookmark, Ctrl+digit goes back to it.
    f.source.Lines().Assign(std::vector<std::string>(100, "line"));
    f.source.SetCaret(2, 40);
    f.Key(Qt::Key_Exclam, Qt::ShiftModifier | Qt::ControlModifier);
    f.Key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(f.source.CaretY(), 0);
    f.Key(Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(f.source.Caret(), (TPoint{2, 40}));

    // Page keys scroll the view by a page and the caret with it.
    f.Key(Qt::Key_Home, Qt::ControlModifier);
    const int page = f.memo.PageLines();
    f.Key(Qt::Key_PageDown);
    QCOMPARE(f.memo.FirstVisibleLine(), page);
    QCOMPARE(f.source.CaretY(), page);
    f.Key(Qt::Key_Up, Qt::ControlModifier); // scrolls, the caret stays
    QCOMPARE(f.memo.FirstVisibleLine(), page - 1);
    QCOMPARE(f.source.CaretY(), page);
    f.Key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(f.memo.FirstVisibleLine(), 100 - page);
  }

  void typingGoesThroughTheCodePage() {
    MemoFixture f({""});
    QVERIFY(f.Show());
    f.memo.SetCharSet(238); // Windows-1250
    f.Type(QString::fromUtf8("a\u0142\u0416b"));
    QCOMPARE(f.source.StoredLine(0), std::string_view("a\xB3"
                                                      "b"));
    f.memo.SetCharSet(204); // Windows-1251
    f.source.SetCaret(3, 0);
    f.Type(QString::fromUtf8("\u0416"));
    QCOMPARE(f.source.StoredLine(0), std::string_view("a\xB3"
                                                      "b\xC6"));
    // Tab is the editor's: it does not move the focus on.
    f.Key(Qt::Key_Home);
    f.Key(Qt::Key_Tab);
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
    f.Key(Qt::Key_Backspace);
    held(Qt::Key_Backspace);
    held(Qt::Key_Backspace);
    QCOMPARE(f.source.StoredLine(0), std::string_view("abc"));
    held(Qt::Key_Left);
    QCOMPARE(f.source.CaretX(), 2);
    // Holding Shift with a repeating move grows the selection, a stream or a column.
    f.Key(Qt::Key_Left, Qt::ShiftModifier);
    held(Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Stream);
    QCOMPARE(f.source.BlockBegin(), (TPoint{0, 0}));
    held(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(f.source.SelectionKind(), TSelectionType::Column);
    QCOMPARE(f.source.CaretX(), 1);
    // Word moves are single steps, with Shift too.
    held(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(f.source.CaretX(), 1);
    f.source.ClearSelection();
    f.source.SetCaret(2, 0);
    f.Key(Qt::Key_Insert);
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
    window.addAction(save);
    auto* open = new QAction(&window);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    window.addAction(open);
    QSignalSpy saved(save, &QAction::triggered), opened(open, &QAction::triggered);
    QVERIFY(f.Show());

    f.Key(Qt::Key_K, Qt::ControlModifier);
    f.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);
    QTest::keyClicks(&f.memo, "b");
    QCOMPARE(f.source.StoredLine(0), std::string_view("b"));
    QCOMPARE(f.source.SelectionKind(), TSelectionType::None);

    // Ctrl+O opens a file: the editor's Ctrl+O pairs never start.
    f.Key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);

    // A listed short-cut is left to the window even without an action in it: Ctrl+Y
    // would otherwise delete the line.
    f.memo.SetMenuShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y)});
    f.Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(f.source.StoredLine(0), std::string_view("b"));

    f.Key(Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(f.memo.PendingKeyPrefix(), kPrefixCtrlQ);
    other->setFocus();
    QTRY_VERIFY(!f.memo.hasFocus());
    QCOMPARE(f.memo.PendingKeyPrefix(), 0);
    f.memo.setFocus();
    QTRY_VERIFY(f.memo.hasFocus());
    f.Key(Qt::Key_Home);
    QTest::keyClicks(&f.memo, "r");
    QCOMPARE(f.source.StoredLine(0), std::string_view("rb"));

    // The short-cut of a pop-up menu that is not open leaves the key to the editor.
    QMenu popup(&window);
    QAction* cut = popup.addAction("Cut");
    cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    QSignalSpy cutByMenu(cut, &QAction::triggered);
    f.source.SelectAll();
    f.Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(cutByMenu.count(), 0);
    QCOMPARE(f.source.StoredLine(0), std::string_view(""));
    QCOMPARE(QApplication::clipboard()->text(), QString("rb"));
  }

  void ctrlJOffersTheTemplates() {
    MemoFixture f({""});
    QVERIFY(f.Show());
    std::vector<std::string> offered;
    f.memo.OnChooseCodeTemplate = [&](const std::vector<const TMemoCodeTemplate*>& list) {
      for (const auto* t : list) offered.push_back(t->Name);
      return 2;
    };
    f.Key(Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(offered.size(), f.source.CodeTemplates().size());
    QCOMPARE(f.source.StoredLine(0), std::string_view("for  = 0 to 0"));

    // The control's own list: Down and Enter pick the second template.
    f.memo.OnChooseCodeTemplate = nullptr;
    f.source.Lines().Assign({""});
    QTimer::singleShot(0, [] {
      auto* popup = qobject_cast<TCodeTemplateList*>(QApplication::activePopupWidget());
      QVERIFY(popup);
      QCOMPARE(popup->List()->count(), 11);
      QTest::keyClick(popup->List(), Qt::Key_Down);
      QTest::keyClick(popup->List(), Qt::Key_Return);
    });
    f.Key(Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(f.source.StoredLine(0), std::string_view("do"));
    QTRY_VERIFY(f.memo.hasFocus());

    // Esc leaves the list without inserting anything.
    f.source.Lines().Assign({""});
    QTimer::singleShot(0, [] {
      auto* popup = qobject_cast<TCodeTemplateList*>(QApplication::activePopupWidget());
      QVERIFY(popup);
      QTest::keyClick(popup->List(), Qt::Key_Escape);
    });
    f.Key(Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(Lines(f.source), (std::vector<std::string>{""}));
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MemoKeysTest)
#include "memo_keys_test.moc"
