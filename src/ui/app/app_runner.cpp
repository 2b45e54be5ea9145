#include "ui/app/app_runner.h"

#include <QTimer>

namespace marlo {

namespace {
constexpr int kKillAfterMs = 3000;
constexpr int kStartWaitMs = 10000;
} // namespace

TAppRunner::TAppRunner(QObject* parent)
    : QObject(parent), process_(new QProcess(this)), killTimer_(new QTimer(this)) {
  process_->setProcessChannelMode(QProcess::ForwardedChannels);
  process_->setStandardInputFile(QProcess::nullDevice());
  killTimer_->setSingleShot(true);
  killTimer_->setInterval(kKillAfterMs);
  connect(killTimer_, &QTimer::timeout, process_, &QProcess::kill);
  connect(process_, &QProcess::finished, this, &TAppRunner::Finished);
}

TAppRunner::~TAppRunner() {
  // A child still running when Marlo goes away is not left behind holding its files.
  if (Running()) {
    OnTerminated = nullptr;
    process_->kill();
    process_->waitForFinished(kKillAfterMs);
  }
}

bool TAppRunner::Running() const {
  return process_->state() != QProcess::NotRunning;
}

bool TAppRunner::Execute() {
  if (Running()) {
    errorText_ = "a program started before is still running";
    return false;
  }
  exitCode_ = 0;
  crashed_ = cancelled_ = false;
  errorText_.clear();
  process_->setWorkingDirectory(CurrentDirectory);
  process_->start(Program, Arguments, QIODevice::ReadWrite);
  // Only the start is waited for (the program's own file is found and loaded), never its
  // work: the end comes as a signal.
  if (!process_->waitForStarted(kStartWaitMs)) {
    errorText_ = process_->errorString();
    if (process_->state() != QProcess::NotRunning) process_->kill();
    return false;
  }
  if (OnIdle) OnIdle();
  return true;
}

void TAppRunner::Cancel() {
  if (!Running()) return;
  cancelled_ = true;
  process_->terminate();
  killTimer_->start();
}

void TAppRunner::Finished(int exitCode, QProcess::ExitStatus status) {
  killTimer_->stop();
  exitCode_ = exitCode;
  crashed_ = status == QProcess::CrashExit;
  if (OnTerminated) OnTerminated();
}

bool TAppRunner::StartDetached(const QString& program, const QStringList& arguments,
                               const QString& folder, QString* error) {
  QProcess p;
  p.setProgram(program);
  p.setArguments(arguments);
  p.setWorkingDirectory(folder);
  p.setStandardInputFile(QProcess::nullDevice());
  if (p.startDetached()) return true;
  if (error) *error = p.errorString();
  return false;
}

} // namespace marlo
