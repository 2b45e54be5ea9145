// Document windows: the close question, saving with the final empty line and backups,
// exports, the status panels, the window's own keys and the pop-up menu's quoted name.
// The rules behind them (final line, NUL bytes, quoted names) are the core's.
#include "app_test_util.h"

#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

namespace marlo::test {

namespace {

// Closes the window, answering its close question (if it asks) with the given answer.
bool CloseAnswering(TAppFixture& f, TWindowForm* w, TAppDialogs::TAnswer answer) {
  f.Dialogs->Answers = {answer};
  return w->parentWidget()->close();
}

} // namespace

class WindowFormTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  void closeQuestionOfTitledAndUntitledWindows() {
    QTemporaryDir dir;
    TAppFixture f;
    const std::string file = Path(dir, "game.zba");
    TWindowForm* w = OpenWith(f, file, "print 1");
    QVERIFY(w);
    QTest::keyClicks(&w->Editor(), "x");
    QVERIFY(w->MemoSource().Modified());

    QVERIFY(!CloseAnswering(f, w, TAppDialogs::Cancel));
    QCOMPARE(f.Dialogs->Questions, QStringList{f.M().UiText("WindowModifiedQuestion")});
    QCOMPARE(f.M().OpenDocumentCount(), 1);

    QVERIFY(CloseAnswering(f, w, TAppDialogs::Yes));
    // Saved as it stands: the close question adds no empty line.
    QCOMPARE(ReadBytes(file), std::string("xprint 1"));
    QCOMPARE(f.M().OpenDocumentCount(), 0);

    w = OpenWith(f, file, "print 2");
    QTest::keyClicks(&w->Editor(), "y");
    QVERIFY(CloseAnswering(f, w, TAppDialogs::No));
    QCOMPARE(ReadBytes(file), std::string("print 2"));

    w = f.M().OpenDocumentWindow(f.M().LanguageText("UntitledWindow"));
    QVERIFY(w->IsUntitled());
    QTest::keyClicks(&w->Editor(), "print 3");
    // Yes, then the save dialog cancelled: the window stays, modified.
    QVERIFY(!CloseAnswering(f, w, TAppDialogs::Yes));
    QVERIFY(w->MemoSource().Modified());
    // Yes and an HTML name: exported, but the source is still unsaved, so it stays.
    f.Dialogs->SaveNames = {QString::fromStdString(Path(dir, "listing.HTML"))};
    QVERIFY(!CloseAnswering(f, w, TAppDialogs::Yes));
    QVERIFY(ReadBytes(Path(dir, "listing.HTML")).find("print") != std::string::npos);
    QVERIFY(w->MemoSource().Modified());
    QVERIFY(w->IsUntitled());
    // Yes and a source name: saved and closed.
    f.Dialogs->SaveNames = {QString::fromStdString(Path(dir, "new.zba"))};
    QVERIFY(CloseAnswering(f, w, TAppDialogs::Yes));
    QCOMPARE(ReadBytes(Path(dir, "new.zba")), std::string("print 3"));
    QCOMPARE(f.M().OpenDialogFolder(), dir.path().toStdString() + "/");
  }

  // Saves add the final empty line and keep backups; Save As renames; files with a NUL
  // byte ask before they are saved over.
  void savesAndSaveAs() {
    QTemporaryDir dir;
    TAppFixture f;
    const std::string file = Path(dir, "game.zba");
    TWindowForm* w = OpenWith(f, file, "print 1\r\nend");
    QTest::keyClicks(&w->Editor(), "z");
    f.M().Action("FileSave")->trigger();
    QVERIFY(f.Dialogs->Errors.isEmpty());
    QCOMPARE(ReadBytes(file), std::string("zprint 1\r\nend\r\n"));
    QCOMPARE(ReadBytes(Path(dir, "game.~zb")), std::string("print 1\r\nend"));
    QVERIFY(!w->MemoSource().Modified());
    QCOMPARE(f.M().MRUList().Items().front(), file);
    // Without Auto Save no backup is kept.
    f.M().Settings().AutoSave = false;
    const std::string other = Path(dir, "plain.txt");
    TWindowForm* p = OpenWith(f, other, "a");
    f.M().ApplyEditorSettings(*p);
    QTest::keyClicks(&p->Editor(), "b");
    f.M().FileSaveClick();
    QCOMPARE(ReadBytes(other), std::string("ba\r\n"));
    QVERIFY(!QFile::exists(QString::fromStdString(Path(dir, "plain.~tx"))));

    // Save As writes under the new name, leaves the old file and takes the new name.
    const std::string hi = Path(dir, "hi.zba");
    w = OpenWith(f, hi, "print \"hi\"\r\n");
    QTest::keyClicks(&w->Editor(), "x");
    f.Dialogs->SaveNames = {QString::fromStdString(Path(dir, "copy.bas"))};
    f.M().FileSaveAsClick();
    QCOMPARE(f.Dialogs->SaveSpecs.last().Folder.toStdString(), dir.path().toStdString() + "/");
    QCOMPARE(f.Dialogs->SaveSpecs.last().FileName, QString("hi"));
    QCOMPARE(w->Caption(), Path(dir, "copy.bas"));
    QCOMPARE(ReadBytes(Path(dir, "copy.bas")), std::string("xprint \"hi\"\r\n"));
    QCOMPARE(ReadBytes(hi), std::string("print \"hi\"\r\n"));
    QVERIFY(!w->MemoSource().Modified());
    QCOMPARE(f.M().MRUList().Items().front(), Path(dir, "copy.bas"));

    // A NUL byte: the user is told, and saving over the file asks first.
    const std::string nul = Path(dir, "nul.zba");
    w = OpenWith(f, nul, std::string("print 1\r\n\0hidden", 16));
    QCOMPARE(f.Dialogs->Messages.size(), 1);
    QTest::keyClicks(&w->Editor(), "x");
    f.Dialogs->ConfirmAnswers = {false};
    f.M().FileSaveClick();
    QCOMPARE(f.Dialogs->Confirms.size(), 1);
    QCOMPARE(ReadBytes(nul).size(), size_t(16));
    QVERIFY(w->MemoSource().Modified());
    f.Dialogs->ConfirmAnswers = {true};
    f.M().FileSaveClick();
    QCOMPARE(ReadBytes(nul), std::string("xprint 1\r\n"));
    f.M().FileSaveClick(); // no question once the file holds what the window shows
    QCOMPARE(f.Dialogs->Confirms.size(), 2);
  }

  // The status panels, the document rules of the keys and Alt's way past the end of a line.
  void statusPanelsAndTheWindowsKeys() {
    TAppFixture f;
    TMainForm& m = f.M();
    m.show();
    TWindowForm* w = m.OpenDocumentWindow(m.LanguageText("UntitledWindow"));
    QCOMPARE(w->PanelText(0), QString("1:1"));
    QCOMPARE(w->PanelText(2), m.UiText("WindowInsert"));
    // The window's keys follow the document rules (tests/cli): Down keeps its column
    // through a short line, and Left Arrow Up is read from the settings as it stands.
    TCustomMemoSource& s = w->MemoSource();
    s.LoadFromBytes(std::string(40, 'a') + "\r\nshort\r\n" + std::string(40, 'b') + "\r\n\r\n");
    s.SetCaret(30, 0);
    QTest::keyClick(&w->Editor(), Qt::Key_Down);
    QTest::keyClick(&w->Editor(), Qt::Key_Down);
    QCOMPARE(s.Caret(), (TPoint{30, 2}));
    QCOMPARE(w->PanelText(0), QString("31:3"));
    m.Settings().LeftArrowUp = true;
    s.SetCaret(0, 2);
    QTest::keyClick(&w->Editor(), Qt::Key_Left);
    QCOMPARE(s.Caret(), (TPoint{5, 1}));
    QTest::keyClicks(&w->Editor(), "x");
    QCOMPARE(w->PanelText(1), m.UiText("WindowModified"));
    QTest::keyClick(&w->Editor(), Qt::Key_Insert);
    QCOMPARE(w->PanelText(2), m.UiText("WindowOverwrite"));
    QTest::keyClick(&w->Editor(), Qt::Key_Insert);
    QCOMPARE(w->PanelText(2), m.UiText("WindowInsert"));
    // A key hides the error panel.
    w->ErrorPanel()->show();
    QTest::keyClick(&w->Editor(), Qt::Key_Right);
    QVERIFY(w->ErrorPanel()->isHidden());

    // Alt lets the caret past the end of a line.
    s.LoadFromBytes("ab\r\nabcdefghijklmnopqrstuvwxyz\r\n");
    TCodeMemo& dm = w->Editor();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    const QPoint farRight(dm.viewport()->width() - 20, 2);

    QTest::mouseClick(dm.viewport(), Qt::LeftButton, Qt::NoModifier, farRight);
    QCOMPARE(s.Caret(), (TPoint{2, 0}));
    // X reports the press of Alt without Alt among its modifiers, the release with it.
    QTest::sendKeyEvent(QTest::Press, &dm, Qt::Key_Alt, QString(), Qt::NoModifier);
    QVERIFY(!s.Options().Has(soLimitEOL));
    QTest::sendKeyEvent(QTest::Release, &dm, Qt::Key_Alt, QString(), Qt::AltModifier);
    QVERIFY(s.Options().Has(soLimitEOL));
    // A click with Alt held goes past the end, whatever the keys said before.
    QTest::mouseClick(dm.viewport(), Qt::LeftButton, Qt::AltModifier, farRight);
    const int clicked = s.CaretX();
    QVERIFY2(clicked > 2, qPrintable(QString::number(clicked)));
    QCOMPARE(s.CaretY(), 0);
    // Letting Alt go leaves the caret where it was put: typing goes there.
    QTest::sendKeyEvent(QTest::Release, &dm, Qt::Key_Alt, QString(), Qt::AltModifier);
    QCOMPARE(s.CaretX(), clicked);
    QTest::keyClicks(&dm, "z");
    QCOMPARE(s.LineText(0), "ab" + std::string(static_cast<size_t>(clicked - 2), ' ') + "z");
    QVERIFY(s.Options().Has(soLimitEOL));
    s.Undo();

    // A Shift+Down run through a short line keeps its column and its selection.
    s.SetCaret(20, 1);
    QTest::keyClick(&dm, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.Caret(), (TPoint{20, 0}));
    QVERIFY(s.HasSelection());
    QCOMPARE(s.BlockBegin(), (TPoint{20, 0}));
    QCOMPARE(s.BlockEnd(), (TPoint{20, 1}));
    // Once the caret is back within its line, the limit holds again.
    QTest::keyClick(&dm, Qt::Key_End);
    QVERIFY(s.Options().Has(soLimitEOL));

    // Keys the window leaves unused do not scroll the frame behind it.
    QScrollBar* bar = f.M().MdiArea()->horizontalScrollBar();
    w->parentWidget()->move(f.M().MdiArea()->viewport()->width() - 100, 0);
    QVERIFY(bar->maximum() > 0);
    bar->setValue(0);
    QTest::keyClick(&dm, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(bar->value(), 0);
    w->MemoSource().SetModified(false);
  }

  void popupMenuFindsTheQuotedName() {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("inc"));
    WriteBytes(Path(dir, "inc/other.zba"), "rem other\r\n");
    TAppFixture f;
    const std::string file = Path(dir, "main.zba");
    const std::string line = "include \"inc/other.zba\" : load bitmap \"pics/ship.bmp\", 1";
    TWindowForm* w = OpenWith(f, file, line + "\r\nprint \"missing.zba\"\r\n");
    TCustomMemoSource& s = w->MemoSource();
    QAction* open = w->ContextAction("OpenFileatCursor1");
    s.SetCaret(static_cast<int>(line.find("ship")), 0);
    w->rcmenuPopup();
    QVERIFY(open->isEnabled());
    // Relative names resolve against the document's folder, not the current one.
    const QString cwd = QDir::currentPath();
    s.SetCaret(12, 0);
    w->rcmenuPopup();
    QVERIFY(open->isEnabled());
    open->trigger();
    QCOMPARE(f.M().OpenDocumentCount(), 2);
    QCOMPARE(f.M().Documents()[1]->Caption(), Path(dir, "inc/other.zba"));
    QCOMPARE(QDir::currentPath(), cwd);
    s.SetCaret(9, 1);
    w->rcmenuPopup();
    w->OpenFileatCursor1Click();
    QCOMPARE(f.Dialogs->Errors, QStringList{"\"missing.zba\" " + f.M().UiText("WindowNotFound")});

    // The colour command inserts an RGB call at the caret.
    f.Dialogs->ColorAnswer = QColor(255, 128, 0);
    s.SetCaret(0, 1);
    w->ContextAction("PreviewInsertRGBColor1")->trigger();
    QVERIFY(s.LineText(1).rfind("RGB(255,128,0)print", 0) == 0);
    s.SetModified(false);

    // Shift+F10 opens the pop-up menu from the keyboard.
    bool shown = false;
    QTimer::singleShot(0, [&] {
      shown = w->ContextMenu()->isVisible();
      w->ContextMenu()->close();
    });
    QTest::keyClick(&w->Editor(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(shown);
  }

  void userTemplatesJoinTheBuiltInOnes() {
    QTemporaryDir folder;
    for (const char* n : {"keywords.txt", "Language.txt"})
      QFile::copy(QString::fromStdString(DataFolder() + n), folder.filePath(n));
    QDir().mkpath(folder.filePath("Templates"));
    WriteBytes(Path(folder, "Templates/loop.zba"), "do\r\n   |\r\nloop\r\n");
    TAppFixture f(folder.path().toStdString() + "/");
    f.M().FileNewExecute();
    const auto& templates = f.M().ActiveDocument()->MemoSource().CodeTemplates();
    QCOMPARE(templates.size(), size_t(12));
    QCOMPARE(templates.back().Name, std::string("loop"));
    QCOMPARE(templates.back().Code, std::string("do\r\n   |\r\nloop\r\n"));
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::WindowFormTest)
#include "window_form_test.moc"
