// The Compile menu's commands: save, copy the lines, preprocess, add the break lines,
// write the temporary file, start the core, and when it has ended show the first line of
// its log in the built window with the caret on the line it names.
#include "core/build/build_list.h"
#include "core/build/build_names.h"
#include "core/build/build_switch.h"
#include "core/build/core_command.h"
#include "core/build/core_log.h"
#include "core/error.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "ui/app/app_runner.h"
#include "ui/app/main_form.h"
#include "ui/app/preprocdlg.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>

#include <cstdio>
#include <fstream>

namespace marlo {

namespace {

// At most this much of a log is read: its first line is all that is shown.
constexpr std::streamsize kLogReadLimit = 16 << 20;

std::string ReadLogBytes(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::string bytes;
  if (!ok) return bytes;
  bytes.resize(static_cast<size_t>(kLogReadLimit));
  in.read(bytes.data(), kLogReadLimit);
  bytes.resize(static_cast<size_t>(in.gcount()));
  ok = !in.bad();
  return bytes;
}

} // namespace

const QList<QAction*>& TMainForm::BuildActions() {
  if (buildActions_.isEmpty())
    for (const char* name : {"CompileCheckSyntax", "CompileExecute", "CompileStepThrough",
                             "CompileMakeEXE", "CompileMakeFinal"})
      if (QAction* a = Action(name)) buildActions_ << a;
  return buildActions_;
}

void TMainForm::UpdateBuildCommands() {
  const bool enabled = openDocumentCount_ > 0 && !building_;
  for (QAction* a : BuildActions()) a->setEnabled(enabled);
}

void TMainForm::SetBuilding(bool on) {
  building_ = on;
  UpdateBuildCommands();
}

void TMainForm::BuildActiveWindow(const std::string& switchText) {
  TWindowForm* w = ActiveDocument();
  if (!w || building_) return;
  SetBuilding(true);
  // Every way out of the command before the core starts gives the commands back.
  struct TEnd {
    TMainForm& main;
    bool coreStarted = false;
    ~TEnd() {
      if (!coreStarted) main.SetBuilding(false);
    }
  } end{*this};
  QPointer<TWindowForm> window(w);

  if (settings_.AutoSave && !w->IsUntitled() && w->MemoSource().Modified() && !FileSaveClick())
    return;
  if (!window) return;

  const build::TBuildNames names =
      build::MakeBuildNames(w->Caption(), w->IsUntitled(), settings_.SourcePath);
  build::TBuildList list = build::MakeBuildList(w->MemoSource());

  if (settings_.DefineEnabled || settings_.GlobalEnabled) {
    Tpreprocdlg dialog(*this,
                       {settings_.StructEnabled, settings_.DefineEnabled, settings_.GlobalEnabled});
    dialog.SetUp(std::move(list.Lines)); // the map stays for the output
    const auto result = static_cast<preproc::TPreprocResult>(dialog.exec());
    if (!window) return;
    const preproc::TPreprocessor& pre = dialog.Preprocessor();
    switch (result) {
    case preproc::TPreprocResult::Continue:
      build::TakePreprocessorOutput(list, pre);
      break;
    case preproc::TPreprocResult::Cancel:
      return;
    case preproc::TPreprocResult::ReplaceSource:
      ReplaceWindowText(*w, pre.Output());
      return;
    case preproc::TPreprocResult::EditModified:
      // With every window slot taken the output is dropped, and the user told why.
      if (TWindowForm* edited = OpenDocumentWindow(LanguageText("UntitledWindow")))
        ReplaceWindowText(*edited, pre.Output());
      return;
    case preproc::TPreprocResult::GotoError: {
      const int line = pre.ErrorOrigin();
      TCustomMemoSource& source = w->MemoSource();
      source.SetCaret(0, std::clamp(line, 0, std::max(0, source.LineCount() - 1)));
      w->Editor().SetFirstVisibleLine(source.Caret().Y);
      return;
    }
    }
  }

  const build::TBuildSwitch mode = build::ParseSwitch(switchText);
  if (mode.Step) build::InsertBreakLines(list, LanguageText("BreakLineCommand"));
  std::string error;
  if (!build::WriteBuildFile(names.TempPath, list, error)) throw Error(error);
  list.Lines.Clear();
  builtList_ = std::move(list);

  std::string exePath;
  if (!build::RunsWithoutExe(mode.Switch, settings_)) {
    const build::TExeProposal proposal =
        build::ProposeExe(w->Caption(), w->IsUntitled(), settings_.SourcePath);
    TFileDialogSetup setup;
    setup.Folder = PathToQString(proposal.Folder);
    setup.FileName = PathToQString(proposal.Name);
    setup.Filters = QStringList{"EXE File (*.exe)", "Any File (*)"};
    exePath = QStringToPath(Dialogs().SaveFile(this, setup));
    if (exePath.empty()) return; // the temporary file stays written
    exePath = AbsoluteFileName(exePath, CurrentFolder());
  }
  build::TCoreCommand command;
  if (!build::MakeCoreCommand(settings_.CorePath, mode.Switch, exePath, names.TempName, command)) {
    Dialogs().Error(this, UiText("ErrorRunningCore"));
    return;
  }
  builtWindow_ = window;
  end.coreStarted = RunCore(command, names.Folder);
}

void TMainForm::ReplaceWindowText(TWindowForm& window, const std::vector<std::string>& lines) {
  TCustomMemoSource& source = window.MemoSource();
  source.Lines().Assign(lines);
  source.SetModified(true);
  window.UpdateStatusPanels();
}

bool TMainForm::RunCore(const build::TCoreCommand& command, const std::string& folder) {
  // A log left from before must not pass for this run's, and the built window's old
  // report goes away with it.
  build::DeleteLogFiles(folder);
  if (builtWindow_) builtWindow_->ErrorPanel()->hide();
  logFolder_ = folder;

  TAppRunner& runner = AppRunner1();
  runner.Program = PathToQString(command.Program);
  runner.Arguments.clear();
  for (const std::string& a : command.Arguments) runner.Arguments << PathToQString(a);
  runner.CurrentDirectory = PathToQString(folder);
  runner.OnTerminated = [this] { AppRunner1Terminated(); };

  // Out of the way while the core works, unless the window could not bring itself back
  // (Wayland lets no program raise itself) and its report would go unseen.
  const bool minimise = QGuiApplication::platformName() != "wayland";
  if (minimise) setWindowState(windowState() | Qt::WindowMinimized);
  if (!runner.Execute()) {
    std::fprintf(stderr, "marlo: %s: %s\n", command.Program.c_str(),
                 runner.ErrorText().toLocal8Bit().constData());
    Dialogs().Error(this, UiText("ErrorRunningCore"));
    BringBack();
    builtWindow_.clear();
    return false;
  }
  runLabel_->setText(UiText("RunL1"));
  stopButton_->setText(UiText("RunStopCore"));
  runPanel_->show();
  return true;
}

void TMainForm::BringBack() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  if (!isActiveWindow()) {
    raise();
    activateWindow();
  }
}

void TMainForm::AppRunner1Terminated() {
  runPanel_->hide();
  SetBuilding(false);
  BringBack();
  const TAppRunner& runner = AppRunner1();
  const std::string log = build::FindLogFile(logFolder_);
  if (!log.empty()) {
    ReportCoreLog(log);
  } else if (builtWindow_ && (runner.Crashed() || runner.Cancelled() || runner.ExitCode() != 0)) {
    const char* key = runner.Crashed() || runner.Cancelled() ? "CoreStopped" : "CoreNoReport";
    builtWindow_->ErrorLog()->setText(UiText(key).arg(runner.ExitCode()));
    builtWindow_->ErrorPanel()->show();
  }
  builtWindow_.clear();
}

void TMainForm::ReportCoreLog(const std::string& logPath) {
  // The report belongs to the window that was built; closed since, it is dropped.
  TWindowForm* w = builtWindow_;
  if (!w || w->IsClosed() || !platform::FileExists(logPath)) return;
  bool ok = false;
  const std::string bytes = ReadLogBytes(logPath, ok);
  if (!ok) {
    Dialogs().Error(this, MessageToQString("Cannot read the core's report " + logPath));
    return;
  }
  std::remove(logPath.c_str());
  const build::TCoreReport report = build::ReadCoreLog(bytes);
  if (!report.Show) return;
  w->ErrorLog()->setText(ToQString(report.Text));
  w->ErrorPanel()->show();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) mdi_->setActiveSubWindow(sub);
  if (!report.Line) return;
  TCustomMemoSource& source = w->MemoSource();
  const int last = std::max(0, source.LineCount() - 1);
  const int line = std::clamp(build::DocumentLine(builtList_, *report.Line), 0, last);
  source.SetCaret(0, line);
  if (line < last)
    source.SelectBlock(TSelectionType::Stream, 0, line, 0, line + 1);
  else
    source.SelectBlock(TSelectionType::Stream, 0, line, source.LineLength(line), line);
  w->Editor().ScrollToCaret();
}

TAppRunner& TMainForm::AppRunner1() {
  if (!appRunner1_) appRunner1_ = new TAppRunner(this);
  return *appRunner1_;
}

bool TMainForm::CoreRunning() const {
  return appRunner1_ && appRunner1_->Running();
}

void TMainForm::CreateRunPanel() {
  runPanel_ = new QWidget(statusBar());
  runPanel_->setObjectName("RunPanel");
  auto* layout = new QHBoxLayout(runPanel_);
  layout->setContentsMargins(0, 0, 0, 0);
  runLabel_ = new QLabel(runPanel_);
  runLabel_->setObjectName("RunL1");
  stopButton_ = new QPushButton(runPanel_);
  stopButton_->setObjectName("cmStopCore");
  connect(stopButton_, &QPushButton::clicked, this, [this] { AppRunner1().Cancel(); });
  layout->addWidget(runLabel_);
  layout->addWidget(stopButton_);
  statusBar()->addPermanentWidget(runPanel_);
  runPanel_->hide();
}

} // namespace marlo
