#pragma once
// Starts another program and tells when it has ended: the Zorbic core for a build, a
// browser or a viewer for help and previews. One process at a time; the program and its
// arguments go to the system apart (no shell reads them), the child's output goes where
// Marlo's own goes, and it reads nothing.
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace marlo {

class TAppRunner : public QObject {
  Q_OBJECT

public:
  explicit TAppRunner(QObject* parent = nullptr);
  ~TAppRunner() override;

  QString Program;
  QStringList Arguments;
  // The child's working folder; empty means Marlo's own. Marlo's own never changes.
  QString CurrentDirectory;

  // Once, when the child has started.
  std::function<void()> OnIdle;
  // Once, when the child has ended after a successful Execute.
  std::function<void()> OnTerminated;

  // Starts the child; false when it could not be started (ErrorText says why). Refused
  // while a child still runs.
  bool Execute();
  bool Running() const;
  // Asks the child to end, and kills it when it has not ended 3 seconds later.
  void Cancel();

  int ExitCode() const { return exitCode_; }
  // The child crashed or was stopped by Cancel rather than ending by itself.
  bool Crashed() const { return crashed_; }
  bool Cancelled() const { return cancelled_; }
  QString ErrorText() const { return errorText_; }

  // Starts a program that lives on by itself (a browser, a viewer): Marlo neither waits for
  // it nor ends it. False when it could not be started.
  static bool StartDetached(const QString& program, const QStringList& arguments,
                            const QString& folder = {}, QString* error = nullptr);

private:
  void Finished(int exitCode, QProcess::ExitStatus status);

  QProcess* process_;
  QTimer* killTimer_;
  int exitCode_ = 0;
  bool crashed_ = false;
  bool cancelled_ = false;
  QString errorText_;
};

} // namespace marlo
