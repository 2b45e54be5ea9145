// A document window and its file changed by another program: an unmodified document
// follows the file as one undoable change, a modified one gets a bar to answer, a deleted
// file a bar to save or close, and a save over a file changed since it was read asks.
// Touches and our own saves show nothing. Identities themselves are the core's
// (tests/core/platform/file_identity_test.cpp).
#include "app_test_util.h"
#include "ui/app/disk_bar.h"
#include "ui/app/disk_watch.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/time.h>

#include <cstdio>
#include <functional>

namespace marlo::test {

namespace {

// Another editor's save: a new file renamed over the old one.
void ReplaceByRename(const std::string& file, const std::string& bytes) {
  WriteBytes(file + ".tmp", bytes);
  QVERIFY(std::rename((file + ".tmp").c_str(), file.c_str()) == 0);
}

void Touch(const std::string& file, long seconds) {
  struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
  QVERIFY(::utimes(file.c_str(), times) == 0);
}

// A write into the same file, its time set apart from the last one.
void WriteInPlace(const std::string& file, const std::string& bytes) {
  WriteBytes(file, bytes);
  Touch(file, 5000);
}

QByteArray Text(TWindowForm* w) {
  return QByteArray::fromStdString(w->MemoSource().SaveToBytes());
}

bool BarShown(TWindowForm* w, TDiskBar::TKind kind) {
  return !w->DiskBar()->isHidden() && w->DiskBar()->Kind() == kind;
}

// Waits until the watcher has looked at the file after its events.
bool Settled(TWindowForm* w, const std::function<void()>& act) {
  QSignalSpy spy(&w->DiskWatch(), &TDiskWatch::settled);
  act();
  return spy.wait(5000);
}

} // namespace

class DiskWatchTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  void unmodifiedDocumentFollowsTheFileAsOneUndoableChange() {
    const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
        {"written in place", [](const std::string& f) { WriteInPlace(f, "one\r\ntwo\r\n"); }},
        {"renamed over", [](const std::string& f) { ReplaceByRename(f, "one\r\ntwo\r\n"); }},
        {"deleted and written again at once",
         [](const std::string& f) {
           std::remove(f.c_str());
           WriteBytes(f, "one\r\ntwo\r\n");
         }},
    };
    for (const auto& [name, change] : cases) {
      qInfo("%s", name);
      QTemporaryDir dir;
      const std::string file = Path(dir, "game.zba");
      TAppFixture f;
      TWindowForm* w = OpenWith(f, file, "a\r\nb\r\nc\r\nlong line d\r\n");
      TCustomMemoSource& s = w->MemoSource();
      s.SetCaret(5, 3);
      s.SetBookmark(4);
      s.SetCaret(9, 3);
      QSignalSpy removed(&w->DiskWatch(), &TDiskWatch::removed);

      change(file);
      QTRY_COMPARE(Text(w), QByteArray("one\r\ntwo"));
      // Kept on their lines, clamped to the text: line 3 is now past the end.
      QCOMPARE(s.Caret(), (TPoint{3, 1}));
      TPoint mark;
      QVERIFY(s.GetBookmark(4, mark));
      QCOMPARE(mark, (TPoint{3, 1}));
      QVERIFY(!s.Modified());
      QVERIFY(w->DiskBar()->isHidden());
      QCOMPARE(w->DiskNote(), f.M().UiText("DiskReloaded"));
      QCOMPARE(removed.count(), 0);

      s.Undo();
      QCOMPARE(Text(w), QByteArray("a\r\nb\r\nc\r\nlong line d"));
      QVERIFY(s.Modified());
      QVERIFY(w->DiskNote().isEmpty());
    }
  }

  void touchesAndOwnSavesShowNothing() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "game.zba");
    TAppFixture f;
    TWindowForm* w = OpenWith(f, file, "print 1\r\n");
    QVERIFY(Settled(w, [&] { Touch(file, 1000); }));
    QVERIFY(Settled(w, [&] { ReplaceByRename(file, "print 1\r\n"); }));
    QVERIFY(!w->MemoSource().CanUndo());

    QTest::keyClicks(&w->Editor(), "x");
    QVERIFY(Settled(w, [&] { f.M().Action("FileSave")->trigger(); }));
    QCOMPARE(ReadBytes(file), std::string("xprint 1\r\n"));
    QVERIFY(f.Dialogs->Choices.isEmpty());
    QVERIFY(w->DiskBar()->isHidden());
    QVERIFY(w->DiskNote().isEmpty());
    QVERIFY(!w->MemoSource().Modified());
    // The next save finds the file as the last one left it.
    QTest::keyClicks(&w->Editor(), "y");
    f.M().Action("FileSave")->trigger();
    QVERIFY(f.Dialogs->Choices.isEmpty());
  }

  void modifiedDocumentGetsABarAndReloadIsUndoable() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "game.zba");
    TAppFixture f;
    TWindowForm* w = OpenWith(f, file, "print 1\r\n");
    QTest::keyClicks(&w->Editor(), "mine ");
    ReplaceByRename(file, "theirs\r\n");
    QTRY_VERIFY(BarShown(w, TDiskBar::Changed));
    QCOMPARE(w->DiskBar()->Text(), QString("The file has changed on disk."));
    QCOMPARE(w->DiskBar()->Button(0)->text(), QString("Reload"));
    QCOMPARE(w->DiskBar()->Button(1)->text(), QString("Keep Mine"));
    QCOMPARE(Text(w), QByteArray("mine print 1"));

    w->DiskBar()->Button(0)->click();
    QCOMPARE(Text(w), QByteArray("theirs"));
    QVERIFY(w->DiskBar()->isHidden());
    QVERIFY(!w->MemoSource().Modified());
    w->MemoSource().Undo();
    QCOMPARE(Text(w), QByteArray("mine print 1"));
    QVERIFY(w->MemoSource().Modified());
  }

  void keepMineThenSaveAsks() {
    // {answer: Overwrite, Save As, Cancel} -> what the file holds, whether still modified
    const std::tuple<int, const char*, bool> cases[] = {
        {0, "mine print 1\r\n", false},
        {1, "theirs\r\n", false},
        {2, "theirs\r\n", true},
    };
    for (const auto& [answer, onDisk, modified] : cases) {
      qInfo("answer %d", answer);
      QTemporaryDir dir;
      const std::string file = Path(dir, "game.zba"), other = Path(dir, "mine.zba");
      TAppFixture f;
      TWindowForm* w = OpenWith(f, file, "print 1\r\n");
      QTest::keyClicks(&w->Editor(), "mine ");
      ReplaceByRename(file, "theirs\r\n");
      QTRY_VERIFY(BarShown(w, TDiskBar::Changed));
      w->DiskBar()->Button(1)->click();
      QVERIFY(w->DiskBar()->isHidden());
      // Seen: the same change is not told again.
      QVERIFY(Settled(w, [&] { Touch(file, 2000); }));
      QVERIFY(w->DiskBar()->isHidden());

      f.Dialogs->ChoiceAnswers = {answer};
      f.Dialogs->SaveNames = {QString::fromStdString(other)};
      f.M().Action("FileSave")->trigger();
      QCOMPARE(f.Dialogs->Choices.size(), 1);
      QVERIFY(f.Dialogs->Choices[0].endsWith(f.M().UiText("SaveOverChangedFile")));
      QCOMPARE(f.Dialogs->ChoiceButtons[0],
               (QStringList{"Overwrite", "Save As...", f.M().UiText("CancelButton")}));
      QCOMPARE(ReadBytes(file), std::string(onDisk));
      QCOMPARE(w->MemoSource().Modified(), modified);
      if (answer == 1) {
        QCOMPARE(ReadBytes(other), std::string("mine print 1\r\n"));
        QCOMPARE(w->Caption(), other);
        QCOMPARE(w->DiskWatch().FileName(), other);
      }
    }
  }

  void changeNoWatcherToldStillAsks() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "game.zba");
    TAppFixture f;
    TWindowForm* w = OpenWith(f, file, "print 1\r\n");
    QTest::keyClicks(&w->Editor(), "x");
    // Saved before the watcher's events are even delivered.
    WriteInPlace(file, "theirs\r\n");
    f.Dialogs->ChoiceAnswers = {2};
    f.M().Action("FileSave")->trigger();
    QCOMPARE(f.Dialogs->Choices.size(), 1);
    QCOMPARE(ReadBytes(file), std::string("theirs\r\n"));

    // Coming back to the program looks too, without waiting for the watcher.
    w->MemoSource().Undo();
    QVERIFY(!w->MemoSource().Modified());
    WriteInPlace(file, "again\r\n");
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    QCOMPARE(Text(w), QByteArray("again"));
  }

  void deletedFileGetsABarToSaveOrClose() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "game.zba");
    TAppFixture f;
    TWindowForm* w = OpenWith(f, file, "print 1\r\n");
    std::remove(file.c_str());
    QTRY_VERIFY(BarShown(w, TDiskBar::Removed));
    QCOMPARE(w->DiskBar()->Text(), QString("The file has been deleted or moved."));
    QCOMPARE(w->DiskBar()->Button(0)->text(), QString("Save"));
    QCOMPARE(w->DiskBar()->Button(1)->text(), QString("Close"));
    QVERIFY(w->MemoSource().Modified());

    w->DiskBar()->Button(0)->click();
    QCOMPARE(ReadBytes(file), std::string("print 1\r\n"));
    QVERIFY(w->DiskBar()->isHidden());
    QVERIFY(!w->MemoSource().Modified());
    QVERIFY(f.Dialogs->Choices.isEmpty());

    QVERIFY(std::rename(file.c_str(), Path(dir, "moved.zba").c_str()) == 0);
    QTRY_VERIFY(BarShown(w, TDiskBar::Removed));
    f.Dialogs->Answers = {TAppDialogs::No};
    w->DiskBar()->Button(1)->click();
    QCOMPARE(f.Dialogs->Questions, QStringList{f.M().UiText("WindowModifiedQuestion")});
    QCOMPARE(f.M().OpenDocumentCount(), 0);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::DiskWatchTest)
#include "disk_watch_test.moc"
