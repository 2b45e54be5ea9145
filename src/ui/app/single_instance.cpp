#include "ui/app/single_instance.h"

#include <QDataStream>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace marlo {

namespace {

constexpr const char* kGreeting = "marlo-open-1";
constexpr char kAcknowledged = 'A';
// A request is a few names; anything longer is no start of ours.
constexpr qint64 kMaxRequest = 1 << 20;

// How every request opens: the greeting as the data stream writes it.
QByteArray RequestOpening() {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_6_0);
  out << QByteArray(kGreeting);
  return bytes;
}

bool OwnPrivateFolder(const QByteArray& path) {
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

// Letters, digits, '.', '-' and '_' stand; anything else (":" of a display) becomes '_'.
QString SafePart(QString text) {
  for (QChar& c : text)
    if (!c.isLetterOrNumber() && c != '.' && c != '-' && c != '_') c = '_';
  return text;
}

QString UserName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
    return SafePart(QString::fromLocal8Bit(pw->pw_name));
  return QString::number(::getuid());
}

} // namespace

TStartArguments ParseStartArguments(const std::vector<std::string>& args) {
  TStartArguments start;
  size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    if (args[i] == "--") {
      ++i;
      break;
    }
    if (args[i] == "--help")
      start.Help = true;
    else if (args[i] == "--new-instance")
      start.NewInstance = true;
    else if (start.Error.empty())
      start.Error = "unknown option " + args[i];
  }
  start.Files.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return start;
}

const char* StartUsage() {
  return "Usage: marlo [--new-instance] [--] [FILE...]\n"
         "Edit Zorbic sources.\n"
         "\n"
         "When Marlo already runs for this user and display, the files open in that\n"
         "program, which comes to the front, and this start ends; without files the\n"
         "running program only comes to the front. Started alone without files, Marlo\n"
         "opens again the windows open when it last closed (Restore Session in the\n"
         "options).\n"
         "\n"
         "  --new-instance  start a program of its own, even when one runs already\n"
         "  --help          show this text\n"
         "  --              every argument after it names a file\n";
}

QString TSingleInstance::DefaultServerName() {
  QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
  const QString name = "marlo-" + UserName() + "-" + SafePart(display) + ".socket";
  QStringList folders;
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.startsWith('/') && OwnPrivateFolder(runtime)) folders << QFile::decodeName(runtime);
  // Without a runtime folder: one of the user's own, which nobody else may enter.
  const QString own = QDir::tempPath() + "/marlo-" + QString::number(::getuid());
  ::mkdir(QFile::encodeName(own).constData(), 0700);
  if (OwnPrivateFolder(QFile::encodeName(own))) folders << own;
  for (const QString& folder : folders) {
    const QString path = folder + "/" + name;
    if (QFile::encodeName(path).size() < qsizetype(sizeof(sockaddr_un::sun_path))) return path;
  }
  return {};
}

TSingleInstance::TSingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::HandOver(const std::vector<std::string>& files, int timeoutMs) {
  if (serverName_.isEmpty()) return false;
  QByteArray request;
  {
    QDataStream out(&request, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    QList<QByteArray> names;
    for (const std::string& f : files) names << QByteArray::fromStdString(f);
    out << QByteArray(kGreeting) << names;
  }
  QLocalSocket socket;
  QEventLoop loop;
  bool acknowledged = false, over = false;
  auto finish = [&] {
    over = true;
    loop.quit();
  };
  connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(request); });
  connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
    acknowledged = socket.read(1) == QByteArray(1, kAcknowledged);
    finish();
  });
  connect(&socket, &QLocalSocket::errorOccurred, &loop, finish);
  connect(&socket, &QLocalSocket::disconnected, &loop, finish);
  QTimer::singleShot(timeoutMs, &loop, finish);
  socket.connectToServer(serverName_);
  // The socket works in this event loop, so that a listener in this very program (a test)
  // answers too.
  if (!over) loop.exec();
  return acknowledged;
}

bool TSingleInstance::HandOverOrListen(bool newInstance, const std::vector<std::string>* files) {
  if (newInstance) return false;
  if (files && HandOver(*files)) return true;
  Listen();
  return false;
}

bool TSingleInstance::Listen() {
  if (serverName_.isEmpty()) return false;
  if (Listening()) return true;
  if (!server_) {
    // The folder is the user's alone (see DefaultServerName): the socket needs no mode of
    // its own, whose setting would have the server replace a socket in use.
    server_ = new QLocalServer(this);
    connect(server_, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
        ReadRequest(socket);
      }
    });
  }
  if (server_->listen(serverName_)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  // Somebody's socket: a program that takes connections keeps it; one left by a program
  // that died takes none and is replaced.
  QLocalSocket probe;
  probe.connectToServer(serverName_);
  if (probe.waitForConnected(1000)) return false;
  QLocalServer::removeServer(serverName_);
  return server_->listen(serverName_);
}

bool TSingleInstance::Listening() const {
  return server_ && server_->isListening();
}

void TSingleInstance::ReadRequest(QLocalSocket* socket) {
  if (socket->property("marloDone").toBool()) return;
  // Something that is no start of ours is sent away at its first bytes.
  static const QByteArray opening = RequestOpening();
  if (!opening.startsWith(socket->peek(opening.size()))) {
    socket->abort();
    return;
  }
  QDataStream in(socket);
  in.setVersion(QDataStream::Qt_6_0);
  in.startTransaction();
  QByteArray greeting;
  QList<QByteArray> names;
  in >> greeting >> names;
  if (!in.commitTransaction()) {
    // Not all there yet, unless it never will be.
    if (in.status() != QDataStream::ReadPastEnd || socket->bytesAvailable() > kMaxRequest)
      socket->abort();
    return;
  }
  if (greeting != kGreeting) {
    socket->abort();
    return;
  }
  socket->setProperty("marloDone", true);
  socket->write(QByteArray(1, kAcknowledged));
  socket->flush();
  socket->disconnectFromServer();
  std::vector<std::string> files;
  for (const QByteArray& n : names) files.push_back(n.toStdString());
  // Opening may ask questions; the other start has its answer already and may end.
  QTimer::singleShot(0, this, [this, files = std::move(files)] {
    if (OnFilesHanded) OnFilesHanded(files);
  });
}

} // namespace marlo
