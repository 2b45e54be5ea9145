// Saves that fail: the error is shown, the file on disk stays whole and the document stays
// modified under its name. Run as an ordinary user, since permissions do not stop root:
// when started as root the program gives up its rights before anything else.
#include "app_test_util.h"

#include <sys/stat.h>
#include <unistd.h>

namespace marlo::test {

class SaveFailureTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

private slots:
  void initTestCase() {
    QVERIFY(::geteuid() != 0);
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  void readOnlyFolderKeepsFileAndDocument() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "game.zba");
    TAppFixture f;
    TWindowForm* w = OpenWith(f, file, "print 1\r\n");
    QVERIFY(w);
    QTest::keyClicks(&w->Editor(), "x");
    f.M().MRUList().Clear();
    QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0555) == 0);

    f.M().Action("FileSave")->trigger();
    QCOMPARE(f.Dialogs->Errors.size(), 1);
    QCOMPARE(ReadBytes(file), std::string("print 1\r\n"));
    QVERIFY(w->MemoSource().Modified());
    QVERIFY(w->HasJournal()); // what a crash now would lose is still kept
    QVERIFY(f.M().MRUList().Items().empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"game.zba"});

    // Save As into the folder: the name is not taken and the caption stays.
    f.Dialogs->SaveNames = {QString::fromStdString(Path(dir, "other.zba"))};
    f.M().Action("FileSaveAs")->trigger();
    QCOMPARE(f.Dialogs->Errors.size(), 2);
    QCOMPARE(w->Caption(), file);
    QVERIFY(w->MemoSource().Modified());

    // The close question's Yes that cannot save keeps the window open.
    f.Dialogs->Answers = {TAppDialogs::Yes};
    QVERIFY(!w->parentWidget()->close());
    QCOMPARE(f.Dialogs->Errors.size(), 3);
    QCOMPARE(f.M().OpenDocumentCount(), 1);

    QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0755) == 0);
    f.M().Action("FileSave")->trigger();
    QCOMPARE(ReadBytes(file), std::string("xprint 1\r\n"));
    QVERIFY(!w->MemoSource().Modified());
    QVERIFY(!w->HasJournal());
  }

  void unreadableFileOpensNoWindow() {
    QTemporaryDir dir;
    const std::string file = Path(dir, "secret.zba");
    WriteBytes(file, "print 1\r\n");
    QVERIFY(::chmod(file.c_str(), 0) == 0);
    TAppFixture f;
    f.M().RunCommand([&] { f.M().OpenDocumentWindow(file); });
    QCOMPARE(f.M().OpenDocumentCount(), 0);
    QCOMPARE(f.Dialogs->Errors.size(), 1);
    QVERIFY(f.Dialogs->Errors[0].contains("secret.zba"));
  }
};

} // namespace marlo::test

int main(int argc, char** argv) {
  // As root, become "nobody" before Qt starts its threads; the test files live in the
  // system's temporary folder, which everybody may write.
  if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 1;
  QApplication app(argc, argv);
  marlo::test::SaveFailureTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "save_failure_test.moc"
