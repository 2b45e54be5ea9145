// One running program: two instances in this process over a scratch socket stand for two
// starts. Files are handed over and acknowledged, a socket left by a program that died is
// replaced, a separate program never touches the socket; the start's own options.
#include "ui/app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace marlo::test {

namespace {

using TFiles = std::vector<std::string>;

// A socket file whose program is gone: bound, then closed without removing it.
void LeaveStaleSocket(const QString& name) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(name);
  std::memcpy(address.sun_path, path.constData(), size_t(path.size()) + 1);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    qWarning("bind failed");
  ::close(fd);
}

} // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString Name(const char* n) const { return dir_.filePath(n); }

private slots:
  void filesAreHandedToTheRunningProgram() {
    TSingleInstance running(Name("a.socket"));
    QVERIFY(!running.HandOver({"/x.zba"}, 200)); // nobody listens yet
    QVERIFY(running.Listen());
    std::vector<TFiles> told;
    running.OnFilesHanded = [&](const TFiles& files) { told.push_back(files); };

    const TFiles cases[] = {
        {"/home/u/a.zba", "/home/u/my games/b \xe9.zba"}, // bytes as they are
        {},                                               // only to the front
    };
    for (const TFiles& files : cases) {
      TSingleInstance later(running.ServerName());
      QVERIFY(later.HandOver(files));
      QVERIFY(!later.Listening());
      QTRY_COMPARE(told.size(), size_t(&files - cases + 1));
      QVERIFY(told.back() == files);
    }
    // A second listener on the same socket is refused; the running one keeps it.
    TSingleInstance second(running.ServerName());
    QVERIFY(!second.Listen());
    QVERIFY(second.HandOver({"/c.zba"}));
    QTRY_COMPARE(told.size(), size_t(3));
  }

  void aSocketLeftByADeadProgramIsReplaced() {
    const QString name = Name("stale.socket");
    LeaveStaleSocket(name);
    QVERIFY(QFile::exists(name));
    TSingleInstance later(name);
    QVERIFY(!later.HandOver({"/a.zba"}, 1000));
    QVERIFY(later.Listen());
    TFiles told;
    later.OnFilesHanded = [&](const TFiles& files) { told = files; };
    QVERIFY(TSingleInstance(name).HandOver({"/b.zba"}));
    QTRY_VERIFY(told == TFiles{"/b.zba"});
  }

  void aSeparateProgramLeavesTheRunningOneAlone() {
    TSingleInstance running(Name("n.socket"));
    const TFiles files{"/a.zba"};
    QVERIFY(!running.HandOverOrListen(false, &files)); // the first start runs and listens
    QVERIFY(running.Listening());
    bool told = false;
    running.OnFilesHanded = [&](const TFiles&) { told = true; };
    TSingleInstance separate(running.ServerName());
    QVERIFY(!separate.HandOverOrListen(true, &files));
    QVERIFY(!separate.Listening());
    // Names that mean nothing to the running program stay with this start.
    TSingleInstance lost(running.ServerName());
    QVERIFY(!lost.HandOverOrListen(false, nullptr));
    QVERIFY(!lost.Listening());
    QCoreApplication::processEvents();
    QVERIFY(!told);
    TSingleInstance later(running.ServerName());
    QVERIFY(later.HandOverOrListen(false, &files));
    QTRY_VERIFY(told);
  }

  void aRequestThatIsNoneOfOursIsRefused() {
    TSingleInstance running(Name("b.socket"));
    QVERIFY(running.Listen());
    bool told = false;
    running.OnFilesHanded = [&](const TFiles&) { told = true; };
    QLocalSocket stranger;
    stranger.connectToServer(running.ServerName());
    QVERIFY(stranger.waitForConnected(1000));
    stranger.write("GET / HTTP/1.0\r\n\r\n");
    stranger.flush();
    QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
    QVERIFY(!told);
  }

  void theStartReadsItsOptionsBeforeTheFiles() {
    struct TCase {
      TFiles Args;
      bool Help, NewInstance;
      const char* Error;
      TFiles Files;
    };
    const TCase cases[] = {
        {{}, false, false, "", {}},
        {{"a.zba", "b.zba"}, false, false, "", {"a.zba", "b.zba"}},
        {{"--new-instance", "a.zba"}, false, true, "", {"a.zba"}},
        {{"a.zba", "--new-instance"}, false, false, "", {"a.zba", "--new-instance"}},
        {{"--help"}, true, false, "", {}},
        {{"--", "--help"}, false, false, "", {"--help"}},
        {{"--bogus", "a"}, false, false, "unknown option --bogus", {"a"}},
        {{"-x.zba"}, false, false, "", {"-x.zba"}},
    };
    for (const TCase& c : cases) {
      const TStartArguments got = ParseStartArguments(c.Args);
      const QByteArray what = QByteArray::number(qsizetype(&c - cases));
      QVERIFY2(got.Help == c.Help && got.NewInstance == c.NewInstance, what);
      QVERIFY2(got.Error == c.Error, what);
      QVERIFY2(got.Files == c.Files, what);
    }
    QVERIFY(QByteArray(StartUsage()).contains("--new-instance"));
  }

  void theDefaultSocketIsTheUsersAndTheDisplays() {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("WAYLAND_DISPLAY", "");
    qputenv("DISPLAY", ":7.0");
    const QString name = TSingleInstance::DefaultServerName();
    QVERIFY2(name.startsWith(dir_.path() + "/marlo-") && name.endsWith("-_7.0.socket"),
             qPrintable(name));
    qputenv("DISPLAY", ":8");
    QVERIFY(TSingleInstance::DefaultServerName() != name);
    // A runtime folder others may enter is not used.
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFile::ExeOther);
    QVERIFY(!TSingleInstance::DefaultServerName().startsWith(dir_.path()));
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::SingleInstanceTest)
#include "single_instance_test.moc"
