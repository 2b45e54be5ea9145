// The Compile menu as a user drives it, with a fake core: a script that writes the log a
// test chooses, crashes, or waits.
#include "app_test_util.h"
#include "core/platform/file_identity.h"
#include "core/platform/file_system.h"
#include "ui/app/app_runner.h"
#include "ui/app/preprocdlg.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace marlo::test {

namespace {

using preproc::TPreprocResult;

QByteArray Text(TWindowForm* w) {
  QByteArray s;
  for (int i = 0; i < w->MemoSource().LineCount(); ++i)
    s += QByteArray::fromStdString(std::string(w->MemoSource().StoredLine(i))) + "|";
  return s;
}

QByteArray Bytes(const std::string& path) {
  return QByteArray::fromStdString(ReadBytes(path));
}

// Runs `act` on the preprocessor dialog once it has run its passes.
void WhenPreprocessed(std::function<void(Tpreprocdlg*)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<Tpreprocdlg*>(QApplication::activeModalWidget());
    if (!d || !d->HasRun()) return WhenPreprocessed(act);
    act(d);
  });
}

} // namespace

class BuildCommandsTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

  // A fresh folder with a fake core whose script body is `body` ($1 the switch, the last
  // argument the temporary file's name), and a source in it.
  struct TScene {
    QTemporaryDir dir;
    TAppFixture f;
    TWindowForm* w = nullptr;
    std::string Folder() const { return dir.path().toStdString() + "/"; }
  };
  std::unique_ptr<TScene> Scene(const std::string& body,
                                const std::string& source = "PRINT 1\r\nPRINT 2\r\nPRINT 3\r\n") {
    auto s = std::make_unique<TScene>();
    const std::string core = s->Folder() + "core with blanks.sh";
    WriteBytes(core, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(QString::fromStdString(core),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    s->f.M().Settings().CorePath = core;
    s->f.M().Settings().AutoSave = false;
    s->w = OpenWith(s->f, s->Folder() + "demo.zba", source);
    return s;
  }
  static void WaitForCore(TMainForm& m) { QTRY_VERIFY_WITH_TIMEOUT(!m.CoreRunning(), 10000); }

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  // What each kind of ending shows in the built window, and where the caret goes.
  void theReportOfEachEnding() {
    struct TCase {
      const char* Core;
      const char* Panel; // null: hidden
      TPoint Caret;
    };
    const TCase cases[] = {
        {"printf 'Syntax error at line 2: ENDIF without IF\\r\\nmore\\r\\n' > ZBCOMPILE.LOG",
         "Syntax error at line 2: ENDIF without IF",
         {0, 1}},
        {"printf 'error at LINE 999999999999 here' > zbcompile.log",
         "error at LINE 999999999999 here",
         {0, 2}}, // clamped, any letter case of the name
        {"printf 'at line12' > ZBCOMPILE.LOG", "at line12", {3, 0}},
        {"printf '   \\r\\nline 2' > ZBCOMPILE.LOG", nullptr, {3, 0}},
        {"exit 0", nullptr, {3, 0}},
        {"exit 3", "The Zorbic core ended with exit status 3 without writing a report.", {3, 0}},
        {"kill -9 $$", "The Zorbic core was stopped before it wrote a report", {3, 0}},
    };
    for (const TCase& c : cases) {
      auto s = Scene(c.Core);
      s->w->MemoSource().SetCaret(3, 0);
      s->w->ErrorPanel()->show(); // an earlier report goes away when the core starts
      s->f.M().Action("CompileCheckSyntax")->trigger();
      WaitForCore(s->f.M());
      QCOMPARE(s->w->ErrorPanel()->isVisibleTo(s->w), c.Panel != nullptr);
      if (c.Panel) QVERIFY2(s->w->ErrorLog()->text().startsWith(c.Panel), c.Core);
      QCOMPARE(s->w->MemoSource().Caret(), c.Caret);
      if (c.Caret.X == 0) { // the named line is selected whole
        QCOMPARE(s->w->MemoSource().BlockBegin(), c.Caret);
        const TPoint end = c.Caret.Y < 2 ? TPoint{0, c.Caret.Y + 1} : TPoint{7, 2};
        QCOMPARE(s->w->MemoSource().BlockEnd(), end);
      }
      QVERIFY(!platform::FileExists(s->Folder() + "ZBCOMPILE.LOG"));
      QVERIFY(s->f.Dialogs->Errors.isEmpty());
    }
  }

  void theCoreGetsTheTemporaryFileAndItsArguments() {
    auto s = Scene("printf '%s|' \"$@\" > args; pwd > folder");
    s->f.M().Action("CompileExecute")->trigger();
    WaitForCore(s->f.M());
    QCOMPARE(Bytes(s->Folder() + "args"), QByteArray("-x|demo.TMP|"));
    QCOMPARE(Bytes(s->Folder() + "demo.TMP"), QByteArray("PRINT 1\r\nPRINT 2\r\nPRINT 3\r\n"));
    QCOMPARE(ReadBytes(s->Folder() + "folder"), s->dir.path().toStdString() + "\n");

    // Make EXE asks where; cancelled, it starts nothing.
    std::remove((s->Folder() + "args").c_str());
    s->f.M().Action("CompileMakeEXE")->trigger();
    QVERIFY(!s->f.M().CoreRunning());
    QCOMPARE(s->f.Dialogs->SaveSpecs.back().FileName, QString("demo.EXE"));
    QCOMPARE(s->f.Dialogs->SaveSpecs.back().Filters,
             QStringList({"EXE File (*.exe)", "Any File (*)"}));
    QVERIFY(!platform::FileExists(s->Folder() + "args"));
    s->f.Dialogs->SaveNames.push_back(QString::fromStdString(s->Folder() + "out.exe"));
    s->f.M().Action("CompileMakeFinal")->trigger();
    WaitForCore(s->f.M());
    QCOMPARE(ReadBytes(s->Folder() + "args"), "-f|" + s->Folder() + "out.exe|demo.TMP|");
  }

  // Step-through: the log counts the temporary file's lines, the caret goes to the
  // document's.
  void theStepThroughReportGoesThroughTheLineMap() {
    auto s = Scene("printf 'Error at line 6' > ZBCOMPILE.LOG", "a\r\nb\r\nc\r\n");
    s->f.M().Action("CompileStepThrough")->trigger();
    WaitForCore(s->f.M());
    // a, BREAK 1, b, BREAK 2, c, BREAK 3: line 6 is the break after c.
    QCOMPARE(s->w->MemoSource().Caret(), (TPoint{0, 2}));
  }

  void aSecondBuildIsRefusedAndStopEndsTheCore() {
    auto s = Scene("while [ ! -f go ]; do sleep 0.02; done; echo 'line 1 ok' > ZBCOMPILE.LOG");
    TMainForm& m = s->f.M();
    m.Action("CompileCheckSyntax")->trigger();
    QVERIFY(m.CoreRunning());
    QVERIFY(!Enabled(m, "CompileCheckSyntax") && !Enabled(m, "CompileMakeFinal"));
    // The editor keeps working while the core waits.
    QTest::keyClicks(&s->w->Editor(), "xy");
    QCOMPARE(s->w->MemoSource().StoredLine(0), std::string_view("xyPRINT 1"));
    WriteBytes(s->Folder() + "go", "");
    WaitForCore(m);
    QCOMPARE(s->w->ErrorLog()->text(), QString("line 1 ok"));
    QVERIFY(Enabled(m, "CompileCheckSyntax"));

    std::remove((s->Folder() + "go").c_str());
    m.Action("CompileCheckSyntax")->trigger();
    auto* stop = m.findChild<QPushButton*>("cmStopCore");
    QVERIFY(stop && stop->isVisibleTo(&m));
    stop->click();
    WaitForCore(m);
    QVERIFY(s->w->ErrorLog()->text().startsWith("The Zorbic core was stopped"));
  }

  // The report belongs to the built window: shown there while another is active, dropped
  // when it was closed.
  void theReportGoesToTheBuiltWindow() {
    auto s = Scene("while [ ! -f go ]; do sleep 0.02; done; echo 'line 2' > ZBCOMPILE.LOG");
    TMainForm& m = s->f.M();
    m.Action("CompileCheckSyntax")->trigger();
    TWindowForm* other = OpenWith(s->f, s->Folder() + "other.zba", "x\r\n");
    QCOMPARE(m.ActiveDocument(), other);
    WriteBytes(s->Folder() + "go", "");
    WaitForCore(m);
    QVERIFY(s->w->ErrorPanel()->isVisibleTo(s->w));
    QVERIFY(!other->ErrorPanel()->isVisibleTo(other));
    QCOMPARE(s->w->MemoSource().Caret(), (TPoint{0, 1}));

    std::remove((s->Folder() + "go").c_str());
    m.Action("CompileCheckSyntax")->trigger(); // builds `other`, now active
    other->parentWidget()->close();
    WriteBytes(s->Folder() + "go", "");
    WaitForCore(m);
    QVERIFY(s->f.Dialogs->Errors.isEmpty());
  }

  void closingMarloWhileTheCoreRuns() {
    auto s = Scene("while [ ! -f go ]; do sleep 0.02; done");
    TMainForm& m = s->f.M();
    m.Action("CompileCheckSyntax")->trigger();
    s->f.Dialogs->ConfirmAnswers = {false};
    QVERIFY(!m.close());
    QVERIFY(m.CoreRunning());
    s->f.Dialogs->ConfirmAnswers = {true};
    QVERIFY(m.close());
    QTRY_VERIFY(!m.CoreRunning());
  }

  void autoSaveOnlyWhenModifiedAndACoreThatCannotStart() {
    auto s = Scene("exit 0");
    TMainForm& m = s->f.M();
    m.Settings().AutoSave = true;
    const std::string file = s->Folder() + "demo.zba";
    const platform::TFileIdentity before = platform::StatFileIdentity(file);
    m.Action("CompileCheckSyntax")->trigger(); // not modified: not saved
    WaitForCore(m);
    QVERIFY(platform::StatFileIdentity(file).SameStat(before)); // a save replaces the file
    s->w->MemoSource().SetCaret(0, 0);
    s->w->MemoSource().InsertText("' ");
    m.Settings().CorePath = s->Folder() + "missing core";
    m.Action("CompileCheckSyntax")->trigger();
    QCOMPARE(Bytes(file).left(9), QByteArray("' PRINT 1"));
    QCOMPARE(s->f.Dialogs->Errors,
             QStringList{QString::fromStdString(m.LanguageText("ErrorRunningCore"))});
    QVERIFY(!m.CoreRunning() && Enabled(m, "CompileCheckSyntax"));
  }

  // Each button of the preprocessor's dialog, pressed as a user would.
  void thePreprocessorDialogsResults() {
    const std::string source = "DEFINE two, 2\r\nPRINT two\r\n";
    struct TCase {
      TPreprocResult Button;
      const char* Window; // the built window's text after
      bool CoreRan;
      int Windows;
    };
    const TCase cases[] = {
        {TPreprocResult::Continue, "DEFINE two, 2|PRINT two|", true, 1},
        {TPreprocResult::Cancel, "DEFINE two, 2|PRINT two|", false, 1},
        {TPreprocResult::ReplaceSource,
         "REM : Marlo comment - DEFINE:two, 2 (0) parameters.|PRINT 2|", false, 1},
        {TPreprocResult::EditModified, "DEFINE two, 2|PRINT two|", false, 2},
    };
    for (const TCase& c : cases) {
      auto s = Scene("cp \"$2\" built", source);
      TMainForm& m = s->f.M();
      m.Settings().DefineEnabled = true;
      WhenPreprocessed([&](Tpreprocdlg* d) { d->Button(c.Button)->click(); });
      m.Action("CompileCheckSyntax")->trigger();
      WaitForCore(m);
      QCOMPARE(Text(s->w), QByteArray(c.Window));
      QCOMPARE(platform::FileExists(s->Folder() + "built"), c.CoreRan);
      QCOMPARE(m.Documents().size(), c.Windows);
      if (c.Button == TPreprocResult::Continue)
        QVERIFY(Bytes(s->Folder() + "built").endsWith("\r\nPRINT 2\r\n"));
      if (c.Button == TPreprocResult::ReplaceSource) QVERIFY(s->w->MemoSource().Modified());
      if (c.Button == TPreprocResult::EditModified) {
        TWindowForm* edited = m.ActiveDocument();
        QVERIFY(edited != s->w && edited->IsUntitled() && edited->MemoSource().Modified());
        QCOMPARE(Text(edited),
                 QByteArray("REM : Marlo comment - DEFINE:two, 2 (0) parameters.|PRINT 2|"));
      }
    }
  }

  void thePreprocessorsErrorAndTheWindowLimit() {
    auto s = Scene("exit 0", "PRINT 1\r\nDEFINE\r\n");
    TMainForm& m = s->f.M();
    m.Settings().DefineEnabled = true;
    WhenPreprocessed([](Tpreprocdlg* d) {
      QVERIFY(d->ebError()->text().startsWith(" #: 2. "));
      QVERIFY(!d->Button(TPreprocResult::Continue)->isEnabled());
      d->Button(TPreprocResult::GotoError)->click();
    });
    m.Action("CompileCheckSyntax")->trigger();
    QCOMPARE(s->w->MemoSource().Caret(), (TPoint{0, 1}));

    // Edit Modified with every window slot taken drops the output.
    s->w->MemoSource().Lines().Assign({"DEFINE one, 1", "PRINT one"});
    while (m.OpenDocumentCount() < TMainForm::kMaxDocuments) m.FileNewExecute();
    m.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(s->w->parentWidget()));
    WhenPreprocessed([](Tpreprocdlg* d) { d->Button(TPreprocResult::EditModified)->click(); });
    m.Action("CompileCheckSyntax")->trigger();
    QCOMPARE(m.OpenDocumentCount(), TMainForm::kMaxDocuments);
    QCOMPARE(Text(s->w), QByteArray("DEFINE one, 1|PRINT one|"));
    QCOMPARE(s->f.Dialogs->Errors, QStringList{m.UiText("TooManyWindows")});
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::BuildCommandsTest)
#include "build_commands_test.moc"
