// The main window: which commands are enabled, the window limit, recent files, closing with
// modified windows, start-up with missing files and the window arrangement. The rules
// behind them (recent-file order, command-line names, language texts) are the core's.
#include "app_test_util.h"

#include "core/error.h"
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
    // A menu's hint leaves the status bar when the menu closes.
    QMenu* menu = m.menuBar()->actions().first()->menu();
    menu->popup(m.mapToGlobal(QPoint(0, 0)));
    m.statusBar()->showMessage(menu->actions().first()->statusTip());
    menu->hide();
    QCOMPARE(m.statusBar()->currentMessage(), QString());
    QString title;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        title = box->windowTitle();
        box->accept();
      }
    });
    TAppDialogs().Error(&m, "text");
    QCOMPARE(title, QApplication::applicationName());
  }

  void documentCommandsFollowTheOpenWindows() {
    TAppFixture f;
    TMainForm& m = f.M();
    const QStringList perDocument =
        QString("FileSave FileSaveAs FileClose FilePrint EditUndo EditRedo EditCut "
                "EditCopy EditPaste EditDelete EditSelectAll "
                "SearchFind SearchReplace SearchFindAgain SearchSetBookmark SearchClearBookmark "
                "SearchGotoLineNumber SearchGotoBookMark SearchGotoFunction SearchGotoLabel "
                "WindowCascade WindowTileH WindowTileV CompileCheckSyntax CompileExecute "
                "CompileStepThrough CompileMakeEXE CompileMakeFinal")
            .split(' ');
    auto all = [&](const QStringList& names, bool on) {
      for (const QString& a : names) QVERIFY2(Enabled(m, a) == on, qPrintable(a));
    };
    all(perDocument, false);
    all({"FileNew", "FileOpen", "FileExit", "EditOptions", "HelpAbout", "HelpZBHelp",
         "HelpMediaBrowser"},
        true);
    QVERIFY(!m.findChild<QToolButton*>("sbCheck")->isEnabled());
    TWindowForm* one = m.OpenDocumentWindow(m.LanguageText("UntitledWindow"));
    TWindowForm* two = m.OpenDocumentWindow(m.LanguageText("UntitledWindow"));
    all(perDocument, true);
    QVERIFY(m.findChild<QWidget*>("sbcut")->isEnabled());
    QVERIFY(m.findChild<QToolButton*>("sbfunctions")->isEnabled());
    QVERIFY(m.findChild<QToolButton*>("sbCheck")->isEnabled());
    QVERIFY(two->parentWidget()->close());
    QVERIFY(Enabled(m, "FileSave"));
    QVERIFY(one->parentWidget()->close());
    QCOMPARE(m.OpenDocumentCount(), 0);
    all(perDocument, false);
    QVERIFY(f.Dialogs->Questions.isEmpty()); // unmodified windows close without asking
  }

  // New and dropped files stop at 25 windows, each refusal told once.
  void atMostTwentyFiveWindows() {
    QTemporaryDir dir;
    const std::string a = Path(dir, "a b.zba"), b = Path(dir, "b.zba");
    WriteBytes(a, "rem a\r\n");
    WriteBytes(b, "rem b\r\n");
    TAppFixture f;
    TMainForm& m = f.M();
    m.show();
    for (int i = 0; i < TMainForm::kMaxDocuments - 1; ++i) m.FileNewExecute();
    m.OpenDroppedFiles({QString::fromStdString(a), QString::fromStdString(b)});
    QCOMPARE(m.OpenDocumentCount(), 25);
    QCOMPARE(m.Documents().back()->Caption(), a);
    QCOMPARE(f.Dialogs->Errors, QStringList{m.UiText("TooManyWindows")});
    m.Action("FileNew")->trigger();
    QCOMPARE(m.MdiArea()->subWindowList().size(), 25);
    QCOMPARE(f.Dialogs->Errors.size(), 2);
    m.Documents().front()->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m.Action("FileNew")->trigger();
    QCOMPARE(m.OpenDocumentCount(), 25);
    QCOMPARE(f.Dialogs->Errors.size(), 2);
  }

  // Opened files join the File menu after Exit; an entry opens its file; the list is
  // stored and the next main window reads it back.
  void recentFilesInTheMenuAndTheStore() {
    QTemporaryDir dir;
    TAppFixture f;
    TMainForm& m = f.M();
    m.MRUList().Clear();
    for (const char* n : {"1.zba", "3 & 4.zba"}) {
      WriteBytes(Path(dir, n), "print 1\r\n");
      f.Dialogs->OpenNames.push_back(QString::fromStdString(Path(dir, n)));
      m.Action("FileOpen")->trigger();
    }
    QMenu* file = m.findChild<QMenu*>("FileMenu");
    QAction* first = m.findChild<QAction*>("MRUItem0");
    QVERIFY(first && file->actions().contains(first));
    QVERIFY(first->text().startsWith("&1 "));
    QVERIFY(first->text().contains("3 && 4.zba"));
    QVERIFY(file->actions().indexOf(first) > file->actions().indexOf(m.Action("FileExit")));
    QVERIFY(QFontMetrics(file->font()).horizontalAdvance(first->text().mid(3).replace("&&", "&")) <=
                200 ||
            first->text().contains(QChar(0x2026)));
    first->trigger();
    QCOMPARE(m.OpenDocumentCount(), 3);
    QCOMPARE(m.MRUList().Items().front(), Path(dir, "3 & 4.zba"));
    m.SaveSettingsNow();
    TAppFixture again;
    QVERIFY(again.M().MRUList().Items() == m.MRUList().Items());
  }

  // Menu short-cuts reach the main window through the editor; closing the main window asks
  // about each modified window, bringing it to the front, and a Cancel keeps them all, also
  // one answered with No.
  void shortcutsAndTheCloseQuestion() {
    TAppFixture f;
    TMainForm& m = f.M();
    m.resize(800, 600);
    m.show();
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    m.Action("FileNew")->trigger();
    TWindowForm* w = m.ActiveDocument();
    w->Editor().setFocus();
    QTest::keyClicks(&w->Editor(), "print 1");
    QTest::keyClick(&w->Editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.Dialogs->SaveSpecs.size(), 1); // untitled: Ctrl+S asks for a name
    QTest::keyClick(&w->Editor(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m.OpenDocumentCount(), 2);
    TWindowForm* second = m.ActiveDocument();
    QVERIFY(second != w);
    QTest::keyClicks(&second->Editor(), "x");
    f.Dialogs->Answers = {TAppDialogs::Cancel};
    QVERIFY(!m.close());
    QCOMPARE(m.MdiArea()->activeSubWindow(), w->parentWidget());
    f.Dialogs->Answers = {TAppDialogs::No, TAppDialogs::Cancel};
    QVERIFY(!m.close());
    QCOMPARE(m.OpenDocumentCount(), 2);
    QVERIFY(w->MemoSource().Modified());
    f.Dialogs->Answers = {TAppDialogs::No, TAppDialogs::No};
    QVERIFY(m.close());
    QCOMPARE(f.Dialogs->Questions.size(), 5);
    QCOMPARE(m.OpenDocumentCount(), 0);
  }

  void startupGoesOnPastMissingFiles() {
    QTemporaryDir empty;
    TAppFixture f(empty.path().toStdString() + "/");
    const QStringList& errors = f.M().StartupErrors();
    // keywords.txt, Language.txt and the six bitmaps, each told, shown in one box.
    QCOMPARE(errors.size(), 8);
    QVERIFY(errors[0].contains("keywords.txt"));
    QVERIFY(errors[1].contains("Language.txt"));
    QVERIFY(errors[7].contains("labels.bmp"));
    // Captions keep their design values; a button without its picture says what it does.
    QCOMPARE(f.M().findChild<QMenu*>("FileMenu")->title(), QString("&File"));
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

    // With every file present nothing is told and the texts come from the table; the
    // pictures beside the program show on the buttons and in the about box.
    TAppFixture full;
    TMainForm& m = full.M();
    QVERIFY2(m.StartupErrors().isEmpty(), qPrintable(m.StartupErrors().join("|")));
    QCOMPARE(m.Action("FileSave")->text(), m.UiText("FileSave"));
    QCOMPARE(m.findChild<QToolButton*>("sblabels")->toolTip(), m.UiText("LABELS"));
    auto* check = m.findChild<QToolButton*>("sbCheck");
    m.show();
    QVERIFY(!check->icon().isNull());
    QCOMPARE(check->iconSize(), QSize(88, 20));
    QCOMPARE(check->size(), QSize(92, 24));
    auto* box = m.findChild<QDialog*>("AboutBox");
    QCOMPARE(box->findChild<QLabel*>("Banner")->pixmap().size(), QSize(400, 120));
    QCOMPARE(box->windowTitle(), m.UiText("AboutCaption"));
    WriteBytes(Path(empty, "bad.jpg"), "not a picture");
    QVERIFY_THROWS_EXCEPTION(Error, LoadJpegPicture(Path(empty, "bad.jpg")));
  }

  void windowsTileAndCascade() {
    TAppFixture f;
    TMainForm& m = f.M();
    m.resize(900, 700);
    m.show();
    for (int i = 0; i < 3; ++i) m.FileNewExecute();
    auto subs = m.MdiArea()->subWindowList(QMdiArea::CreationOrder);
    const QRect area = m.MdiArea()->viewport()->rect();
    m.WindowTileHClick();
    for (int i = 0; i < 3; ++i)
      QVERIFY(subs[i]->width() == area.width() && (i == 0 || subs[i]->y() > subs[i - 1]->y()));
    m.WindowTileVClick();
    for (int i = 0; i < 3; ++i)
      QVERIFY(subs[i]->height() == area.height() && (i == 0 || subs[i]->x() > subs[i - 1]->x()));
    // Cascade: large windows stepping down from the top left, each whole in view.
    m.Action("WindowCascade")->trigger();
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

  // F1 starts the browser on the help page, each path read as the user wrote it.
  void helpStartsTheBrowserOnThePage() {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/with blank/";
    QDir().mkpath(QString::fromStdString(folder));
    const std::string page = folder + "menu.htm", browser = folder + "my browser";
    WriteBytes(page, "<html></html>");
    WriteBytes(browser, "");
    struct TCase {
      std::string Browser, Help;
      QStringList Started; // program, then arguments; empty: nothing started
      bool Refuse = false; // the starter fails
      const char* Message = nullptr;
    };
    const TCase cases[] = {
        {browser, page, {QString::fromStdString(browser), QString::fromStdString(page)}},
        {"firefox --new-window \"x y\"",
         page,
         {"firefox", "--new-window", "x y", QString::fromStdString(page)}},
        {"xdg-open",
         "https://example.org/zb help.htm",
         {"xdg-open", "https://example.org/zb help.htm"}},
        {"xdg-open",
         "help/menu.htm",
         {"xdg-open", QString::fromStdString(DataFolder() + "help/menu.htm")}},
        {"", page, {}},
        {browser, "", {}},
        {browser,
         folder + "missing.htm",
         {},
         false,
         "The Zorbic help page cannot be found or read:"},
        {browser, folder, {}, false, "The Zorbic help page cannot be found or read:"},
        {browser,
         page,
         {QString::fromStdString(browser), QString::fromStdString(page)},
         true,
         "The web browser could not be started"},
    };
    for (const TCase& c : cases) {
      TAppFixture f;
      QStringList started;
      f.M().SetDetachedStarter([&](const QString& program, const QStringList& args, QString*) {
        started = QStringList{program} + args;
        return !c.Refuse;
      });
      f.M().Settings().BrowserPath = c.Browser;
      f.M().Settings().HelpPath = c.Help;
      f.M().Action("HelpZBHelp")->trigger();
      QCOMPARE(started, c.Started);
      QCOMPARE(f.Dialogs->Messages.size(), c.Message ? 1 : 0);
      if (c.Message) QVERIFY(f.Dialogs->Messages[0].startsWith(c.Message));
    }
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MainFormTest)
#include "main_form_test.moc"
