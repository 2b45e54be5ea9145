// The session through the main window: what a shut-down keeps of the open windows, how a
// start without files opens them again (carets, first lines, bookmarks, files gone), the
// Restore Session switch, and files another start hands over. The stored value's format
// is tests/core/shell/session_list_test.cpp.
#include "app_test_util.h"

#include "core/platform/registry_store.h"
#include "core/shell/session_list.h"

#include <QMdiArea>
#include <QStatusBar>

namespace marlo::test {

namespace {

std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

std::vector<std::string> Captions(TMainForm& m) {
  std::vector<std::string> out;
  for (TWindowForm* w : m.Documents()) out.push_back(w->Caption());
  return out;
}

// A started program as main.cpp makes it: shown, with the session restored.
std::unique_ptr<TAppFixture> Start(std::vector<std::string> args = {}) {
  auto f = std::make_unique<TAppFixture>();
  f->M().SetCommandLine(std::move(args));
  f->M().SetRestoreSessionAtStart(true);
  f->M().show();
  if (!QTest::qWaitForWindowExposed(&f->M())) qWarning("main window not shown");
  QTest::qWait(0); // the first activation
  return f;
}

} // namespace

class SessionTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QByteArray store_;

  std::string File(const char* name) { return Path(dir_, name); }

private slots:
  void init() {
    store_ = QFile::encodeName(dir_.filePath("registry.reg"));
    QFile::remove(QString::fromLocal8Bit(store_));
    qputenv("MARLO_REGISTRY", store_);
  }

  void aShutDownKeepsTheWindowsAndAStartOpensThemAgain() {
    const std::string a = File("a.zba"), b = File("b b.zba"), gone = File("gone.zba");
    {
      auto f = Start();
      QVERIFY(f->M().Documents().isEmpty());
      TWindowForm* wa = OpenWith(*f, a, Lines(200));
      f->M().FileNewExecute(); // untitled: not kept
      TWindowForm* wb = OpenWith(*f, b, Lines(10));
      OpenWith(*f, gone, Lines(3));
      TCustomMemoSource& sa = wa->MemoSource();
      sa.SetCaret(2, 150);
      sa.SetBookmark(3);
      sa.SetCaret(0, 20);
      sa.SetBookmark(1);
      sa.SetCaret(4, 120);
      wa->Editor().SetFirstVisibleLine(110);
      wb->MemoSource().SetCaret(1, 5);
      const int top = wa->Editor().FirstVisibleLine();
      QVERIFY(top > 0);
      f->M().close();
      platform::TRegistry reg(platform::DefaultRegistryPath(), platform::raReadOnly);
      TSessionList kept;
      kept.LoadFromRegistry(reg);
      QCOMPARE(kept.Windows().size(), size_t(3));
      QCOMPARE(TSessionList::FormatWindow(kept.Windows()[0]),
               "Caret=4,120 Top=" + std::to_string(top) +
                   " Bookmark=1:0,20 Bookmark=3:2,150 File=" + a);
    }
    QFile::remove(QString::fromStdString(gone));
    {
      auto f = Start();
      TMainForm& m = f->M();
      QVERIFY(Captions(m) == (std::vector<std::string>{a, b}));
      TWindowForm* wa = m.Documents()[0];
      TCustomMemoSource& sa = wa->MemoSource();
      QCOMPARE(sa.Caret(), (TPoint{4, 120}));
      QVERIFY(wa->Editor().FirstVisibleLine() > 0);
      QCOMPARE(sa.BookmarkAtLine(20), 1);
      QCOMPARE(sa.BookmarkAtLine(150), 3);
      // Put back, not edited: nothing to undo or save.
      QVERIFY(!sa.Modified() && !sa.CanUndo());
      QCOMPARE(m.Documents()[1]->MemoSource().Caret(), (TPoint{1, 5}));
      QCOMPARE(m.statusBar()->currentMessage(),
               "Not opened again, no longer there: " + QString::fromStdString(gone));
      QVERIFY(f->Dialogs->Errors.isEmpty());
      m.close();
    }
  }

  void filesOnTheCommandLineOrTheSwitchOffLeaveTheSessionClosed() {
    const std::string a = File("a.zba"), c = File("c.zba");
    WriteBytes(a, Lines(3));
    WriteBytes(c, Lines(3));
    {
      auto f = Start();
      f->M().OpenDocumentWindow(a);
      f->M().close();
    }
    {
      auto f = Start({c});
      QVERIFY(Captions(f->M()) == std::vector<std::string>{c});
      // Closing keeps what is open now.
      f->M().Settings().RestoreSession = false;
      f->M().close();
    }
    {
      // Switched off at the last shut-down: nothing was kept.
      auto f = Start();
      QVERIFY(f->M().Documents().isEmpty());
      f->M().OpenDocumentWindow(a);
      f->M().Settings().RestoreSession = true;
      f->M().close();
    }
    {
      auto f = std::make_unique<TAppFixture>();
      f->M().show();
      QVERIFY(QTest::qWaitForWindowExposed(&f->M()));
      QTest::qWait(0);
      // Without SetRestoreSessionAtStart (a separate program) the first showing opens none.
      QVERIFY(f->M().Documents().isEmpty());
      f->M().Settings().RestoreSession = false;
      f->M().RestoreSession();
      QVERIFY(f->M().Documents().isEmpty());
      f->M().Settings().RestoreSession = true;
      f->M().RestoreSession();
      QVERIFY(Captions(f->M()) == std::vector<std::string>{a});
      f->M().RestoreSession(); // a window open already is not opened twice
      QCOMPARE(f->M().Documents().size(), 1);
    }
  }

  void handedFilesOpenAsDroppedOnes() {
    auto f = Start();
    const std::string a = File("a.zba"), n = File("new.zba");
    WriteBytes(a, Lines(2));
    QFile::remove(QString::fromStdString(n));
    f->M().showMinimized();
    f->M().OpenHandedFiles({a, n});
    QVERIFY(!f->M().isMinimized());
    QVERIFY(Captions(f->M()) == (std::vector<std::string>{a, n}));
    f->M().OpenHandedFiles({}); // only to the front
    QCOMPARE(f->M().Documents().size(), 2);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::SessionTest)
#include "session_test.moc"
