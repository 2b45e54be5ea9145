#pragma once
// One running Marlo per user and display. A later start hands its files to the running
// program through a local socket and ends once that program has acknowledged them; the
// running program opens them as dropped files and comes to the front. `--new-instance`
// starts a program of its own, which neither hands over nor takes the socket.
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace marlo {

// What `marlo` was started with: options first, then the names of files.
struct TStartArguments {
  bool Help = false;
  bool NewInstance = false;
  std::string Error; // an unknown option
  std::vector<std::string> Files;
};

// "--help", "--new-instance" and "--" (after which every argument names a file) are read
// up to the first argument that is none of them.
TStartArguments ParseStartArguments(const std::vector<std::string>& args);

// The text of `marlo --help`.
const char* StartUsage();

class TSingleInstance : public QObject {
  Q_OBJECT

public:
  // The socket of this user and display, in $XDG_RUNTIME_DIR, else in a folder of the
  // user's own (mode 0700) in the temporary folder; empty when neither can be had.
  static QString DefaultServerName();

  explicit TSingleInstance(QString serverName, QObject* parent = nullptr);
  ~TSingleInstance() override;

  const QString& ServerName() const { return serverName_; }

  // Hands `files` (absolute names; none only brings the running program to the front) to
  // the program listening on the socket. True once it acknowledged them within
  // `timeoutMs`; false when nobody listens or nobody answers, and the caller runs alone.
  bool HandOver(const std::vector<std::string>& files, int timeoutMs = 5000);

  // What a start does: true when the running program took `files` and this start ends;
  // otherwise it takes the socket, so that later starts come here. A separate program
  // (`newInstance`) does neither; null `files` (names that mean something in this process
  // only) are not handed over.
  bool HandOverOrListen(bool newInstance, const std::vector<std::string>* files);

  // Takes the socket for later starts. A socket that takes no connection (its program
  // died) is replaced; one that does is left to its program and false returned.
  bool Listen();
  bool Listening() const;

  // Told, from the event loop after the acknowledgement, of the files a later start handed
  // over.
  std::function<void(const std::vector<std::string>& files)> OnFilesHanded;

private:
  void ReadRequest(QLocalSocket* socket);

  QString serverName_;
  QLocalServer* server_ = nullptr;
};

} // namespace marlo
