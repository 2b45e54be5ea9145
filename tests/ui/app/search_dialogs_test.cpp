// The Search menu as a user drives it: the find and replace dialogs with their histories,
// the replace question, Go to Line Number, the bookmark box and the function and label
// pop-ups. The searching itself is the core's and is tested there.
#include "app_test_util.h"
#include "core/search/search_options.h"
#include "ui/editor/code_history_editor.h"
#include "ui/editor/input_line_form.h"
#include "ui/editor/memo_search.h"
#include "ui/editor/search_dialog.h"
#include "ui/tools/listdlg.h"
#include "ui/tools/setbmdlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace marlo::test {

namespace {

// Runs `act` on the next modal window once it shows.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return WhenModal(act);
    act(w);
  });
}

std::string Text(TWindowForm* w) {
  std::string s;
  for (int i = 0; i < w->MemoSource().LineCount(); ++i)
    s += std::string(w->MemoSource().StoredLine(i)) + "|";
  return s;
}

} // namespace

class SearchDialogsTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;
  QTemporaryDir dir_;

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  void findPreparesFromTheCaretAndCancelChangesNothing() {
    TAppFixture f;
    TWindowForm* w = OpenWith(f, Path(dir_, "a.zba"), "x = score + 1\r\nscore = 2\r\n");
    w->MemoSource().SetCaret(6, 0);
    SharedSearchOptions() = TSearchOptions();
    SharedSearchOptions().CaseSensitive = true;
    TSearchOptions seen;
    WhenModal([&](QWidget* d) {
      auto* dialog = qobject_cast<TSrchDialog*>(d);
      QVERIFY(dialog);
      QCOMPARE(dialog->SearText()->currentText(), QString("score"));
      QVERIFY(dialog->findChild<QRadioButton*>("ScopeGlobal")->isChecked());
      dialog->findChild<QRadioButton*>("dirBackward")->setChecked(true);
      dialog->CancelBut()->click();
    });
    f.M().Action("SearchFind")->trigger();
    QCOMPARE(SharedSearchOptions().Direction, TSearchDirection::sdForward);
    QVERIFY(SharedSearchOptions().CaseSensitive);
    QCOMPARE(w->MemoSource().Caret(), (TPoint{6, 0}));

    // A selection with the caret at its end: the selected text is the scope.
    w->MemoSource().SelectBlock(TSelectionType::Stream, 0, 0, 5, 0);
    w->MemoSource().SetCaret(5, 0);
    w->MemoSource().SelectBlock(TSelectionType::Stream, 0, 0, 5, 0);
    WhenModal([&](QWidget* d) {
      auto* dialog = qobject_cast<TReplDialog*>(d);
      QVERIFY(dialog);
      QVERIFY(dialog->findChild<QRadioButton*>("ScopeSelected")->isChecked());
      dialog->CancelBut()->click();
    });
    f.M().Action("SearchReplace")->trigger();
  }

  void findThenF3AndTheHistoryInTheStore() {
    TAppFixture f;
    TWindowForm* w = OpenWith(f, Path(dir_, "b.zba"), "score Score\r\nscore\r\n");
    SharedSearchOptions() = TSearchOptions();
    for (const char* text : {"score", "lives", "Score"}) {
      WhenModal([text](QWidget* d) {
        auto* dialog = qobject_cast<TSrchDialog*>(d);
        QVERIFY(dialog);
        dialog->SearText()->setEditText(text);
        dialog->OKBut()->click();
      });
      w->MemoSource().SetCaret(0, 0);
      f.M().Action("SearchFind")->trigger();
    }
    QCOMPARE(w->MemoSource().Caret(), (TPoint{5, 0}));
    QTest::keyClick(&w->Editor(), Qt::Key_F3);
    QCOMPARE(w->MemoSource().Caret(), (TPoint{11, 0}));
    f.M().Action("SearchFindAgain")->trigger();
    QCOMPARE(w->MemoSource().Caret(), (TPoint{5, 1}));
    f.M().Action("SearchFindAgain")->trigger();
    QCOMPARE(f.Dialogs->Messages,
             (QStringList{"Search string 'lives' not found", "Search string 'Score' not found"}));

    // A new dialog reads the history back: most recent first, one of each.
    TSrchDialog dialog(w->Editor().CodePage());
    dialog.show();
    QStringList items;
    for (int i = 0; i < dialog.SearText()->count(); ++i) items << dialog.SearText()->itemText(i);
    QCOMPARE(items, (QStringList{"Score", "lives"}));
  }

  void replaceAllIsUndoneByOneUndo() {
    TAppFixture f;
    TWindowForm* w = OpenWith(f, Path(dir_, "c.zba"), "banana\r\nana\r\n");
    SharedSearchOptions() = TSearchOptions();
    WhenModal([](QWidget* d) {
      auto* dialog = qobject_cast<TReplDialog*>(d);
      QVERIFY(dialog);
      dialog->SearText()->setEditText("a");
      dialog->ReplText()->setEditText("");
      dialog->ReplBut()->click();
    });
    QTest::keyClick(&w->Editor(), Qt::Key_R, Qt::ControlModifier); // the editor's own key
    QCOMPARE(Text(w), std::string("bnn|n|"));
    f.M().Action("EditUndo")->trigger();
    QCOMPARE(Text(w), std::string("banana|ana|"));
  }

  // A Replace All longer than a moment shows its progress box; Esc stops it, and what it
  // replaced by then is one undo step.
  void aLongReplaceAllStopsOnEscape() {
    TAppFixture f;
    std::string text;
    for (int i = 0; i < 600000; ++i) text += "aaaaaaaa\r\n";
    TWindowForm* w = OpenWith(f, Path(dir_, "long.zba"), text);
    SharedSearchOptions() = TSearchOptions();
    bool sawProgress = false;
    std::function<void()> escapeProgress = [&] {
      QWidget* m = QApplication::activeModalWidget();
      if (!m || m->objectName() != "SearchProgress") {
        QTimer::singleShot(5, escapeProgress);
        return;
      }
      sawProgress = true;
      QTest::keyClick(m, Qt::Key_Escape);
    };
    WhenModal([&](QWidget* d) {
      auto* dialog = qobject_cast<TReplDialog*>(d);
      QVERIFY(dialog);
      dialog->SearText()->setEditText("a");
      dialog->ReplText()->setEditText("b");
      QTimer::singleShot(0, escapeProgress);
      dialog->ReplBut()->click();
    });
    f.M().Action("SearchReplace")->trigger();
    QVERIFY(sawProgress);
    QVERIFY(!QApplication::activeModalWidget());
    const auto& m = w->MemoSource();
    QCOMPARE(m.StoredLine(0), std::string_view("bbbbbbbb"));
    QCOMPARE(m.StoredLine(m.LineCount() - 2), std::string_view("aaaaaaaa")); // stopped early
    f.M().Action("EditUndo")->trigger();
    QCOMPARE(m.StoredLine(0), std::string_view("aaaaaaaa"));
    QVERIFY(!m.Modified());
  }

  void thePromptsFourAnswers() {
    const std::pair<QMessageBox::StandardButton, TReplaceAnswer> cases[] = {
        {QMessageBox::Yes, TReplaceAnswer::Yes},
        {QMessageBox::No, TReplaceAnswer::No},
        {QMessageBox::Cancel, TReplaceAnswer::Cancel},
        {QMessageBox::YesToAll, TReplaceAnswer::All},
    };
    for (const auto& [button, answer] : cases) {
      WhenModal([button](QWidget* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        QVERIFY(box);
        QCOMPARE(box->text(), QString("Replace this?"));
        box->button(button)->click();
      });
      QCOMPARE(TMemoSearch::AskReplace(nullptr, "Replace this?"), answer);
    }
    WhenModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
    QCOMPARE(TMemoSearch::AskReplace(nullptr, "Replace this?"), TReplaceAnswer::Cancel);
  }

  void gotoLineClampsAndRefusesOtherText() {
    TAppFixture f;
    std::string text = "line";
    for (int i = 1; i < 50; ++i) text += "\r\nline";
    TWindowForm* w = OpenWith(f, Path(dir_, "d.zba"), text);
    w->MemoSource().SetCaret(2, 9);
    const std::pair<const char*, int> cases[] = {
        {"0", 0}, {"-5", 0},           {"100000", 49}, {"-2147483648", 0},
        {"5", 4}, {"99999999999", 49}, {"abc", 49}, // refused: the caret stays
    };
    for (const auto& [entry, line] : cases) {
      QString shown;
      WhenModal([&shown, entry](QWidget* d) {
        auto* form = qobject_cast<TInputLineForm*>(d);
        QVERIFY(form);
        shown = form->PropEdit()->text();
        form->PropEdit()->setText(entry);
        form->OkBut()->click();
      });
      f.M().Action("SearchGotoLineNumber")->trigger();
      QCOMPARE(w->MemoSource().CaretY(), line);
      QCOMPARE(w->MemoSource().CaretX(), 0);
    }
    QCOMPARE(f.Dialogs->Errors, QStringList{"'abc' is not a line number"});
  }

  void bookmarkBoxDigitsAndCaption() {
    TAppFixture f;
    TWindowForm* w = OpenWith(f, Path(dir_, "e.zba"), "a\r\nb\r\nc\r\nd\r\n");
    // {digit typed, caret line, bookmark expected}
    const std::tuple<const char*, int, int> cases[] = {{"", 1, 1}, {"7", 2, 7}, {"0", 3, 10}};
    for (const auto& [digit, line, number] : cases) {
      w->MemoSource().SetCaret(0, line);
      WhenModal([digit](QWidget* d) {
        auto* box = qobject_cast<Tsetbmdlg*>(d);
        QVERIFY(box);
        box->Me()->setText(digit);
        box->Cmok()->click();
      });
      f.M().Action("SearchSetBookmark")->trigger();
      TPoint at;
      QVERIFY(w->MemoSource().GetBookmark(number, at));
      QCOMPARE(at.Y, line);
    }
    w->MemoSource().SetCaret(0, 0);
    QString caption;
    WhenModal([&caption](QWidget* d) {
      caption = d->windowTitle();
      static_cast<Tsetbmdlg*>(d)->Me()->setText("7");
      static_cast<Tsetbmdlg*>(d)->Cmok()->click();
    });
    f.M().Action("SearchGotoBookMark")->trigger();
    QCOMPARE(caption, f.M().UiText("GotoBookMark"));
    QCOMPARE(w->MemoSource().CaretY(), 2);
    QCOMPARE(f.M().Setbmdlg().windowTitle(), f.M().UiText("SetBookmarkatCursor"));
  }

  void functionPopupJumpsAndStaysOnScreen() {
    TAppFixture f;
    std::string text = "start:\r\n";
    for (int i = 0; i < 200; ++i) text += "x = 1\r\n";
    text += "function Draw ` [docs]\r\n";
    for (int i = 0; i < 300; ++i) text += "y = 2\r\n";
    TWindowForm* w = OpenWith(f, Path(dir_, "g.zba"), text);
    f.M().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.M()));
    QRect list;
    WhenModal([&list, w](QWidget* d) {
      auto* pop = qobject_cast<Tlistdlg*>(d);
      QVERIFY(pop);
      QCOMPARE(pop->itemlist()->count(), 1);
      QCOMPARE(w->MemoSource().Caret(), (TPoint{0, 0})); // no jump before a choice
      QTest::keyClick(pop->itemlist(), Qt::Key_Down);
      list = pop->frameGeometry();
      QTest::keyClick(pop->itemlist(), Qt::Key_Return);
    });
    f.M().Action("SearchGotoFunction")->trigger();
    QCOMPARE(w->MemoSource().Caret(), (TPoint{0, 201}));
    QCOMPARE(w->Editor().FirstVisibleLine(), 201);
    QVERIFY(QApplication::primaryScreen()->geometry().contains(list));

    // Near the right edge the pop-up moves left, ending a pixel before the edge.
    const QRect screen = QApplication::primaryScreen()->geometry();
    Tlistdlg pop(w->Editor(), {{"main:", 0}}, "Labels", {});
    pop.PlaceAt(QPoint(screen.right() - 10, 0));
    QCOMPARE(pop.frameGeometry().right(), screen.right() - 1);

    // A document without labels shows nothing.
    TWindowForm* empty = OpenWith(f, Path(dir_, "h.zba"), "x = 1\r\n");
    QVERIFY(empty);
    f.M().Action("SearchGotoLabel")->trigger(); // would block if it showed
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::SearchDialogsTest)
#include "search_dialogs_test.moc"
