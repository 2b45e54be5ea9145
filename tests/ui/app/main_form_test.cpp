// The main window: which commands are enabled, the window limit, recent files, the
// command line, short-cuts through the real widgets and start-up with missing files.
#include "app_test_util.h"

#include "core/error.h"
#include "core/platform/registry_store.h"
#include "ui/app/jpeg_picture.h"

#include <QDialog>
#include <QLabel>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace marlo::test {

class MainFormTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  void hintsShowNoAmpersandsAndBoxesHaveATitle() {
    TAppFixture f;
    TMainForm& m = f.M();
    for (QAction* a : m.findChildren<QAction*>())
      QVERIFY2(!a->statusTip().contains('&'), qPrintable(a->statusTip()));
    QMenu* menu = m.menuBar()->actions().first()->menu();
    menu->popup(m.mapToGlobal(QPoint(0, 0)));
    m.statusBar()->showMessage(menu->actions().first()->statusTip());
    menu->hide();
    QCOMPARE(m.statusBar()->currentMessage(), QString());

    TAppDialogs boxes;
    QString title;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        title = box->windowTitle();
        box->accept();
      }
    });
    boxes.Error(&m, "text");
    QCOMPARE(title, QApplication::applicationName());
    QVERIFY(!title.isEmpty());
  }

  void documentCommandsFollowTheOpenWindows() {
    TAppFixture f;
    TMainForm& m = f.M();
    const char* perDocument[] = {"FileSave",
                                 "FileSaveAs",
                                 "FileClose",
                                 "EditUndo",
                                 "EditRedo",
                                 "EditCut",
                                 "EditCopy",
                                 "EditPaste",
                                 "EditDelete",
                                 "EditSelectAll",
                                 "SearchClearBookmark",
                                 "WindowCascade",
                                 "WindowTileH",
                                 "WindowTileV"};
    // Commands whose features are still to come stay disabled throughout.
    const char* pending[] = {"FilePrint",   "SearchFind", "SearchGotoLineNumber", "CompileExecute",
                             "EditOptions", "HelpZBHelp", "HelpMediaBrowser"};
    for (const char* a : perDocument) QVERIFY2(!Enabled(m, a), a);
    for (const char* a : {"FileNew", "FileOpen", "FileExit", "HelpAbout"})
      QVERIFY2(Enabled(m, a), a);
    QVERIFY(!m.findChild<QToolButton*>("sbCheck")->isEnabled());

    TWindowForm* one = m.OpenDocumentWindow(m.LanguageText("UntitledWindow"));
    QVERIFY(one);
    TWindowForm* two = m.OpenDocumentWindow(m.LanguageText("UntitledWindow"));
    for (const char* a : perDocument) QVERIFY2(Enabled(m, a), a);
    for (const char* a : pending) QVERIFY2(!Enabled(m, a), a);
    QVERIFY(m.findChild<QWidget*>("sbcut")->isEnabled());
    QVERIFY(!m.findChild<QToolButton*>("sbfunctions")->isEnabled());
    QCOMPARE(m.OpenDocumentCount(), 2);

    QVERIFY(two->parentWidget()->close());
    QCOMPARE(m.OpenDocumentCount(), 1);
    QVERIFY(Enabled(m, "FileSave"));
    QVERIFY(one->parentWidget()->close());
    QCOMPARE(m.OpenDocumentCount(), 0);
    for (const char* a : perDocument) QVERIFY2(!Enabled(m, a), a);
    QVERIFY(f.Dialogs->Questions.isEmpty()); // unmodified windows close without asking
  }

  void atMostTwentyFiveWindows() {
    TAppFixture f;
    TMainForm& m = f.M();
    for (int i = 0; i < TMainForm::kMaxDocuments; ++i) m.FileNewExecute();
    QCOMPARE(m.OpenDocumentCount(), 25);
    QVERIFY(f.Dialogs->Errors.isEmpty());
    m.Action("FileNew")->trigger();
    QCOMPARE(m.OpenDocumentCount(), 25);
    QCOMPARE(f.Dialogs->Errors, QStringList{m.UiText("TooManyWindows")});
    QCOMPARE(m.MdiArea()->subWindowList().size(), 25);
    m.Documents().front()->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m.Action("FileNew")->trigger();
    QCOMPARE(m.OpenDocumentCount(), 25);
    QCOMPARE(f.Dialogs->Errors.size(), 1);
  }

  void recentFilesOrderMenuAndStoredValues() {
    QTemporaryDir dir;
    TAppFixture f;
    TMainForm& m = f.M();
    m.MRUList().Clear();
    std::vector<std::string> names;
    for (const char* n : {"1.zba", "2.zba", "3 & 4.zba", "5.zba", "6.zba", "7.zba"}) {
      names.push_back(Path(dir, n));
      WriteBytes(names.back(), "print 1\r\n");
      f.Dialogs->OpenNames.push_back(QString::fromStdString(names.back()));
      m.Action("FileOpen")->trigger();
    }
    QCOMPARE(m.OpenDocumentCount(), 6);
    const std::vector<std::string> expected = {names[5], names[4], names[3], names[2], names[1]};
    QVERIFY(m.MRUList().Items() == expected);
    // Opening a listed file again moves it to the top.
    f.Dialogs->OpenNames.push_back(QString::fromStdString(names[2]));
    m.Action("FileOpen")->trigger();
    QCOMPARE(m.MRUList().Items().front(), names[2]);
    QCOMPARE(m.MRUList().Items().size(), size_t(5));

    QMenu* file = m.findChild<QMenu*>("FileMenu");
    QAction* first = m.findChild<QAction*>("MRUItem0");
    QVERIFY(first && file->actions().contains(first));
    QVERIFY(first->text().startsWith("&1 "));
    QVERIFY(first->text().contains("3 && 4.zba"));
    QVERIFY(file->actions().indexOf(first) > file->actions().indexOf(m.Action("FileExit")));
    QVERIFY(QFontMetrics(file->font()).horizontalAdvance(first->text().mid(3).replace("&&", "&")) <=
                200 ||
            first->text().contains(QChar(0x2026)));
    // Choosing an entry opens it and leaves the order as it is.
    first->trigger();
    QCOMPARE(m.OpenDocumentCount(), 8);
    QCOMPARE(m.MRUList().Items().front(), names[2]);

    m.SaveSettingsNow();
    platform::TRegistry reg;
    QVERIFY(reg.OpenKey(kMRUKey, false));
    QCOMPARE(reg.GetValueNames().size(), size_t(5));
    QCOMPARE(reg.ReadString("F0"), names[2]);
    QCOMPARE(reg.ReadString("F4"), names[1]);
    reg.CloseKey();
    TAppFixture again;
    QVERIFY(again.M().MRUList().Items() == m.MRUList().Items());
  }

  void commandLineOpensTheJoinedNameOrEachFile() {
    QTemporaryDir dir;
    const std::string a = Path(dir, "a.zba"), b = Path(dir, "b.zba");
    WriteBytes(a, "print \"a\"\r\n");
    WriteBytes(b, "print \"b\"\r\n");
    {
      TAppFixture f;
      // Relative names become absolute captions.
      QDir::setCurrent(dir.path());
      f.M().SetCommandLine({"a.zba", "b.zba"});
      f.M().show();
      QTRY_COMPARE(f.M().OpenDocumentCount(), 2);
      QCOMPARE(f.M().Documents()[0]->Caption(), a);
      QCOMPARE(f.M().Documents()[1]->Caption(), b);
      QCOMPARE(f.M().Documents()[1]->MemoSource().LineText(0), std::string("print \"b\""));
    }
    {
      QDir().mkpath(dir.filePath("My Games"));
      const std::string joined = Path(dir, "My Games/demo.zba");
      WriteBytes(joined, "rem demo\r\n");
      TAppFixture f;
      f.M().SetCommandLine({Path(dir, "My"), "Games/demo.zba"});
      f.M().show();
      QTRY_COMPARE(f.M().OpenDocumentCount(), 1);
      QCOMPARE(f.M().Documents()[0]->Caption(), joined);
      QCOMPARE(f.M().Documents()[0]->MemoSource().LineText(0), std::string("rem demo"));
    }
    QDir::setCurrent(QDir::tempPath());
  }

  void menuShortcutsWinOverTheEditor() {
    TAppFixture f;
    TMainForm& m = f.M();
    m.resize(800, 600);
    m.show();
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    m.Action("FileNew")->trigger();
    TWindowForm* w = m.ActiveDocument();
    QVERIFY(w);
    w->Editor().setFocus();
    QTest::keyClicks(&w->Editor(), "print 1");
    QCOMPARE(w->MemoSource().LineText(0), std::string("print 1"));
    // Ctrl+N opens a window; Ctrl+A selects all; Ctrl+S asks for a name (untitled).
    QTest::keyClick(&w->Editor(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(w->MemoSource().HasSelection());
    QTest::keyClick(&w->Editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.Dialogs->SaveSpecs.size(), 1);
    QCOMPARE(f.Dialogs->SaveSpecs[0].Filters.size(), 6);
    QCOMPARE(f.Dialogs->SaveSpecs[0].Filters[3], QString("RTF Export (*.rtf)"));
    QCOMPARE(f.Dialogs->SaveSpecs[0].SuffixOfFilter(5), QString("htm"));
    QTest::keyClick(&w->Editor(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m.OpenDocumentCount(), 2);
    // A pending Ctrl+K prefix ends when a menu short-cut fires.
    TWindowForm* second = m.ActiveDocument();
    QVERIFY(second != w);
    second->Editor().setFocus();
    QTest::keyClick(&second->Editor(), Qt::Key_K, Qt::ControlModifier);
    QVERIFY(second->Editor().PendingKeyPrefix() != 0);
    QTest::keyClick(&second->Editor(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(second->Editor().PendingKeyPrefix(), 0);
    // Closing the main window asks about each modified window; a Cancel keeps them all,
    // also the one already answered with No.
    QTest::keyClicks(&second->Editor(), "x");
    f.Dialogs->Answers = {TAppDialogs::No, TAppDialogs::Cancel};
    QVERIFY(!m.close());
    QCOMPARE(f.Dialogs->Questions.size(), 2);
    QCOMPARE(m.OpenDocumentCount(), 2);
    QVERIFY(w->MemoSource().Modified());
    f.Dialogs->Answers = {TAppDialogs::No, TAppDialogs::No};
    QVERIFY(m.close());
    QCOMPARE(f.Dialogs->Questions.size(), 4);
    QCOMPARE(m.OpenDocumentCount(), 0);
  }

  void startupGoesOnPastMissingFiles() {
    QTemporaryDir empty;
    TAppFixture f(empty.path().toStdString() + "/");
    const QStringList& errors = f.M().StartupErrors();
    // keywords.txt, Language.txt and the six bitmaps, each told.
    QCOMPARE(errors.size(), 8);
    QVERIFY(errors[0].contains("keywords.txt"));
    QVERIFY(errors[1].contains("Language.txt"));
    QVERIFY(errors[7].contains("labels.bmp"));
    // Captions keep their design values; the window still works.
    QCOMPARE(f.M().findChild<QMenu*>("FileMenu")->title(), QString("&File"));
    // A button without its picture still says what it does.
    QCOMPARE(f.M().findChild<QToolButton*>("sbExecute")->text(), QString("Execute"));
    f.M().show();
    QTRY_COMPARE(f.Dialogs->Errors.size(), 1);
    f.M().FileNewExecute();
    QCOMPARE(f.M().OpenDocumentCount(), 1);

    // A language file without CharSet: that step fails, the captions still apply.
    QTemporaryDir partial;
    QFile::copy(QString::fromStdString(DataFolder() + "keywords.txt"),
                partial.filePath("keywords.txt"));
    WriteBytes(Path(partial, "Language.txt"), "FileMenu=&Files\r\nMainCaption=Caption\r\n");
    TAppFixture g(partial.path().toStdString() + "/");
    QCOMPARE(g.M().StartupErrors().size(), 7);
    QVERIFY(g.M().StartupErrors()[0].contains("not a valid integer"));
    QCOMPARE(g.M().findChild<QMenu*>("FileMenu")->title(), QString("&Files"));
    QCOMPARE(g.M().windowTitle(), QString("Caption"));

    // With every file present nothing is told and the texts come from the table.
    TAppFixture full;
    QVERIFY2(full.M().StartupErrors().isEmpty(), qPrintable(full.M().StartupErrors().join("|")));
    QCOMPARE(full.M().Action("FileSave")->text(), full.M().UiText("FileSave"));
    QCOMPARE(full.M().findChild<QToolButton*>("sblabels")->toolTip(), full.M().UiText("LABELS"));
    auto* check = full.M().findChild<QToolButton*>("sbCheck");
    QVERIFY(!check->icon().isNull());
    full.M().show();
    QCOMPARE(check->iconSize(), QSize(88, 20));
    QCOMPARE(check->size(), QSize(92, 24));
  }

  void droppedFilesOpenInTurn() {
    QTemporaryDir dir;
    const std::string a = Path(dir, "a b.zba"), b = Path(dir, "b.zba");
    WriteBytes(a, "rem a\r\n");
    WriteBytes(b, "rem b\r\n");
    TAppFixture f;
    f.M().show();
    for (int i = 0; i < 24; ++i) f.M().FileNewExecute();
    f.M().OpenDroppedFiles({QString::fromStdString(a), QString::fromStdString(b)});
    // The first fits, the second meets the window limit and is told.
    QCOMPARE(f.M().OpenDocumentCount(), 25);
    QCOMPARE(f.M().Documents().back()->Caption(), a);
    QCOMPARE(f.Dialogs->Errors, QStringList{f.M().UiText("TooManyWindows")});
  }

  void aboutBoxShowsTheBannerAndTheTexts() {
    TAppFixture f;
    auto* box = f.M().findChild<QDialog*>("AboutBox");
    QVERIFY(box);
    auto* banner = box->findChild<QLabel*>("Banner");
    QVERIFY(!banner->pixmap().isNull());
    QCOMPARE(banner->pixmap().size(), QSize(400, 120));
    QCOMPARE(box->findChild<QLabel*>("AboutL9")->text(), f.M().UiText("AboutL9"));
    QCOMPARE(box->windowTitle(), f.M().UiText("AboutCaption"));
    QTemporaryDir dir;
    WriteBytes(Path(dir, "bad.jpg"), "not a picture");
    QVERIFY_THROWS_EXCEPTION(Error, LoadJpegPicture(Path(dir, "bad.jpg")));
    QVERIFY_THROWS_EXCEPTION(Error, LoadJpegPicture(Path(dir, "missing.jpg")));
  }

  void windowsTileAndCascade() {
    TAppFixture f;
    TMainForm& m = f.M();
    m.resize(900, 700);
    m.show();
    for (int i = 0; i < 3; ++i) m.FileNewExecute();
    m.WindowTileHClick();
    auto subs = m.MdiArea()->subWindowList(QMdiArea::CreationOrder);
    const int width = m.MdiArea()->viewport()->width();
    for (QMdiSubWindow* s : subs) QCOMPARE(s->width(), width);
    QVERIFY(subs[0]->y() < subs[1]->y() && subs[1]->y() < subs[2]->y());
    m.WindowTileVClick();
    for (QMdiSubWindow* s : subs) QCOMPARE(s->height(), m.MdiArea()->viewport()->height());
    QVERIFY(subs[0]->x() < subs[1]->x() && subs[1]->x() < subs[2]->x());
    // Cascade: large windows stepping down from the top left, each whole in view.
    m.Action("WindowCascade")->trigger();
    const QRect area = m.MdiArea()->viewport()->rect();
    for (int i = 0; i < 3; ++i) {
      QVERIFY(area.contains(subs[i]->geometry()));
      QVERIFY(subs[i]->width() >= area.width() / 2 && subs[i]->height() >= area.height() / 2);
      if (i > 0) QVERIFY(subs[i]->pos().x() > subs[i - 1]->pos().x());
    }
    // The Window menu lists the windows after its three commands.
    QMenu* menu = m.findChild<QMenu*>("WindowMenu");
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 3 + 1 + 3);
    QVERIFY(menu->actions().last()->text().startsWith("&3 "));
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MainFormTest)
#include "main_form_test.moc"
