// The recovery journal through the windows: kept from a document's first change until it
// is saved or closed without keeping it; offered at the next start when the program ended
// without either, and recovered with its caption, caret and bookmarks; a file changed since
// told by the window's bar; a folder that cannot be written told once. The journal's own
// format is tests/recovery.
#include "app_test_util.h"

#include "ui/app/disk_bar.h"
#include "ui/recovery/journal.h"

namespace marlo::test {

namespace {

using recovery::ListJournals;
using recovery::TJournalStatus;

// A started program as main.cpp makes it: shown, the first activation run.
std::unique_ptr<TAppFixture> Start(const std::vector<std::vector<TRecoveryChoice>>& answers = {}) {
  auto f = std::make_unique<TAppFixture>();
  for (const auto& a : answers) f->Dialogs->RecoveryAnswers.push_back(a);
  f->M().show();
  if (!QTest::qWaitForWindowExposed(&f->M())) qWarning("main window not shown");
  QTest::qWait(0);
  return f;
}

void Type(TWindowForm& w, const std::string& text) {
  for (char c : text) w.MemoSource().TypeChar(c);
}

} // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString journals_;

  std::string Folder() const { return journals_.toStdString(); }
  size_t Count() const { return ListJournals(Folder()).size(); }

private slots:
  void init() {
    journals_ = dir_.filePath(QString("journals-%1").arg(QTest::currentTestFunction()));
    QDir(journals_).removeRecursively();
    qputenv("MARLO_RECOVERY_DIR", journals_.toLocal8Bit());
    qputenv("MARLO_REGISTRY", QFile::encodeName(dir_.filePath("registry.reg")));
  }

  void aJournalLastsUntilTheTextIsSavedOrLetGo() {
    auto f = Start();
    const std::string a = Path(dir_, "a.zba");
    TWindowForm* w = OpenWith(*f, a, "one\r\ntwo\r\n");
    QVERIFY(!w->HasJournal());
    Type(*w, "x");
    QVERIFY(w->HasJournal());
    QCOMPARE(Count(), size_t(1));
    QCOMPARE(int(ListJournals(Folder())[0].Status), int(TJournalStatus::Live));
    QVERIFY(f->M().FileSaveClick());
    QVERIFY(!w->HasJournal());
    QCOMPARE(Count(), size_t(0));
    // The next change starts a new one; No at the close question lets it go.
    Type(*w, "y");
    QCOMPARE(Count(), size_t(1));
    f->Dialogs->Answers.push_back(TAppDialogs::No);
    QVERIFY(w->parentWidget()->close());
    QCOMPARE(Count(), size_t(0));
  }

  void aStartOffersWhatAnEndWithoutSavingLeft() {
    const std::string a = Path(dir_, "a.zba");
    WriteBytes(a, "alpha\r\nbeta\r\ngamma\r\n");
    {
      // Ended with two changed documents and a third for later: as after a crash.
      auto f = Start();
      TWindowForm* w = f->M().OpenDocumentWindow(a);
      TCustomMemoSource& s = w->MemoSource();
      s.SetCaret(0, 2);
      s.SetBookmark(4);
      s.SetCaret(2, 1);
      Type(*w, "X");
      f->M().FileNewExecute();
      Type(*f->M().ActiveDocument(), "untitled text");
      f->M().FileNewExecute();
      Type(*f->M().ActiveDocument(), "later");
      for (TWindowForm* d : f->M().Documents()) QVERIFY(d->FlushJournal());
    }
    QCOMPARE(Count(), size_t(3));
    for (const auto& e : ListJournals(Folder())) QCOMPARE(int(e.Status), int(TJournalStatus::Ok));
    // Offered by time of the last change: the file, the untitled text, the one for later.
    auto f = Start({{TRecoveryChoice::Recover, TRecoveryChoice::Recover, TRecoveryChoice::Keep}});
    QCOMPARE(f->Dialogs->RecoveryOffers.size(), size_t(1));
    const std::vector<TRecoveryRow>& rows = f->Dialogs->RecoveryOffers[0];
    QCOMPARE(rows.size(), size_t(3));
    QCOMPARE(rows[0].Name, QString("a.zba"));
    QCOMPARE(rows[0].Lines, 3);
    QVERIFY(rows[1].Folder.isEmpty());
    const QList<TWindowForm*> docs = f->M().Documents();
    QCOMPARE(docs.size(), 2);
    TCustomMemoSource& s = docs[0]->MemoSource();
    QCOMPARE(docs[0]->Caption(), a);
    QCOMPARE(s.LineText(1), std::string("beXta"));
    QVERIFY(s.Modified());
    QCOMPARE((TPoint{s.CaretX(), s.CaretY()}), (TPoint{3, 1}));
    QCOMPARE(s.BookmarkAtLine(2), 4);
    QVERIFY(!s.CanUndo());
    QVERIFY(docs[1]->IsUntitled());
    QCOMPARE(docs[1]->MemoSource().LineText(0), std::string("untitled text"));
    QVERIFY(docs[0]->DiskBar()->isHidden());
    // The recovered windows keep journals of their own; the one kept for later waits.
    std::vector<recovery::TJournalEntry> left = ListJournals(Folder());
    QCOMPARE(left.size(), size_t(3));
    QCOMPARE(std::count_if(left.begin(), left.end(),
                           [](const auto& e) { return e.Status == TJournalStatus::Live; }),
             2);
  }

  void aFileChangedSinceTheJournalBeganIsTold() {
    const std::string a = Path(dir_, "a.zba");
    WriteBytes(a, "old\r\n");
    {
      auto f = Start();
      TWindowForm* w = f->M().OpenDocumentWindow(a);
      Type(*w, "mine ");
      QVERIFY(w->FlushJournal());
    }
    WriteBytes(a, "someone else's\r\n");
    auto f = Start({{TRecoveryChoice::Recover}});
    TWindowForm* w = f->M().ActiveDocument();
    QVERIFY(w);
    QCOMPARE(w->MemoSource().LineText(0), std::string("mine old"));
    QTRY_VERIFY(!w->DiskBar()->isHidden());
    QCOMPARE(int(w->DiskBar()->Kind()), int(TDiskBar::Changed));
  }

  void discardedAndUnreadableJournals() {
    {
      auto f = Start();
      f->M().FileNewExecute();
      Type(*f->M().ActiveDocument(), "gone soon");
      QVERIFY(f->M().ActiveDocument()->FlushJournal());
    }
    QDir(journals_).mkpath(".");
    const std::string foreign = (journals_ + "/foreign.journal").toStdString();
    WriteBytes(foreign, "not a journal at all");
    std::vector<recovery::TJournalEntry> before = ListJournals(Folder());
    QCOMPARE(before.size(), size_t(2));
    // Whatever the order, the readable one is discarded and the unreadable one kept.
    std::vector<TRecoveryChoice> answers;
    for (const auto& e : before)
      answers.push_back(e.Status == TJournalStatus::Ok ? TRecoveryChoice::Discard
                                                       : TRecoveryChoice::Keep);
    auto f = Start({answers});
    QVERIFY(f->M().Documents().isEmpty());
    const auto& rows = f->Dialogs->RecoveryOffers.at(0);
    QCOMPARE(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return !r.Readable; }), 1);
    std::vector<recovery::TJournalEntry> after = ListJournals(Folder());
    QCOMPARE(after.size(), size_t(1));
    QCOMPARE(int(after[0].Status), int(TJournalStatus::Unreadable));
  }

  void aFolderThatCannotBeWrittenIsToldOnce() {
    WriteBytes(journals_.toStdString(), "a file where the folder should be");
    auto f = Start();
    f->M().FileNewExecute();
    Type(*f->M().ActiveDocument(), "a");
    f->M().FileNewExecute();
    Type(*f->M().ActiveDocument(), "b");
    QCOMPARE(f->Dialogs->Errors.size(), 1);
    QVERIFY(!f->M().ActiveDocument()->HasJournal());
    QCOMPARE(f->M().ActiveDocument()->MemoSource().LineText(0), std::string("b"));
    QFile::remove(journals_);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::RecoveryTest)
#include "recovery_test.moc"
