// The media browser and the previews: names inserted at the caret as one undo step, the
// list of a folder, which files may be previewed, the picture viewer, the messages for
// pictures and music that cannot be shown, external viewers, and Preview Media File at
// Cursor. The rules behind them are the core's (tests/core/shell/media_files_test.cpp).
#include "app_test_util.h"
#include "ui/tools/bitmapdlg.h"
#include "ui/tools/mbrowsedlg.h"
#include "ui/tools/mediadlg.h"

#ifdef MARLO_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace marlo::test {

namespace {

void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  WriteBytes(path.toStdString(), "x");
}

bool Select(TmBrowseDlg& d, const QString& name) {
  const QList<QListWidgetItem*> items = d.filetree()->findItems(name, Qt::MatchExactly);
  if (items.isEmpty()) return false;
  items.front()->setSelected(true);
  d.filetreeClick();
  return true;
}

QStringList ListNames(const TmBrowseDlg& d) {
  QStringList names;
  for (int i = 0; i < d.filetree()->count(); ++i) names << d.filetree()->item(i)->text();
  return names;
}

QList<Tbitmapdlg*> PictureViewers() {
  QList<Tbitmapdlg*> viewers;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* v = qobject_cast<Tbitmapdlg*>(w); v && v->isVisible()) viewers << v;
  return viewers;
}

} // namespace

class MediaBrowserTest : public QObject {
  Q_OBJECT

  QTemporaryDir registryDir_;

private slots:
  void initTestCase() {
    qputenv("MARLO_REGISTRY", QFile::encodeName(registryDir_.filePath("registry.reg")));
  }

  // The name as the document's folder sees it, in quotes at the caret, one undo step.
  void insertsRelativeToTheDocumentsFolder() {
    QTemporaryDir dir;
    const QString game = dir.filePath("game");
    QString deep = game;
    for (int i = 0; i < 9; ++i) deep += "/" + QString(222, QChar('d' + i));
    const QString longRelative = deep.mid(game.size() + 1) + "/long.bmp";
    for (const QString& f : {game + "/ship.bmp", game + "/pics/tree.BMP", dir.filePath("x.wav"),
                             dir.filePath("Game/case.bmp"), deep + "/long.bmp"})
      Touch(f);
    QVERIFY(longRelative.size() >= 1950);
    const struct {
      const char* What;
      QString Folder, Name;
      bool Absolute;
      QString Inserted;
    } cases[] = {
        {"same folder", game, "ship.bmp", false, "ship.bmp"},
        {"same folder, absolute", game + "/", "ship.bmp", true, game + "/ship.bmp"},
        {"subfolder", game + "//pics", "tree.BMP", false, "pics/tree.BMP"},
        {"elsewhere", dir.path(), "x.wav", false, dir.filePath("x.wav")},
        {"case-only difference", dir.filePath("Game"), "case.bmp", false,
         dir.filePath("Game/case.bmp")},
        {"a long name whole", deep, "long.bmp", false, longRelative},
    };
    TAppFixture f;
    TWindowForm* w = OpenWith(f, (game + "/main.zba").toStdString(), "load , 1\r\n");
    TCustomMemoSource& s = w->MemoSource();
    for (const auto& c : cases) {
      qInfo("%s", c.What);
      s.SetCaret(5, 0);
      TmBrowseDlg d(f.M());
      QCOMPARE(d.diredit()->text(), game + "/");
      d.show();
      QVERIFY(d.cbAbsolute()->isEnabled());
      QVERIFY(!d.cbAbsolute()->isChecked());
      d.diredit()->setText(c.Folder);
      QVERIFY(Select(d, c.Name));
      d.cbAbsolute()->setChecked(c.Absolute);
      QVERIFY(d.cmInsert()->isEnabled());
      d.cmInsertClick();
      QCOMPARE(d.result(), TmBrowseDlg::kInsertResult);
      d.InsertIntoDocument();
      QCOMPARE(QString::fromStdString(s.LineText(0)), "load \"" + c.Inserted + "\", 1");
      s.Undo();
      QCOMPARE(QString::fromStdString(s.LineText(0)), QString("load , 1"));
    }
    s.SetModified(false);
  }

  // Untitled: the folder starts at Source Path and the path is always absolute. Ctrl+B
  // runs the whole round.
  void untitledDocumentInsertsAbsolutePaths() {
    QTemporaryDir dir;
    Touch(dir.filePath("boom.wav"));
    TAppFixture f;
    f.M().Settings().SourcePath = dir.path().toStdString();
    TWindowForm* w = f.M().OpenDocumentWindow(f.M().LanguageText("UntitledWindow"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<TmBrowseDlg*>(QApplication::activeModalWidget());
      QVERIFY(d);
      seen = true;
      QCOMPARE(d->diredit()->text(), dir.path());
      QVERIFY(d->cbAbsolute()->isChecked());
      QVERIFY(!d->cbAbsolute()->isEnabled());
      QVERIFY(Select(*d, "boom.wav"));
      d->cmInsert()->click();
    });
    f.M().Action("HelpMediaBrowser")->trigger();
    QVERIFY(seen);
    QCOMPARE(QString::fromStdString(w->MemoSource().LineText(0)),
             "\"" + dir.filePath("boom.wav") + "\"");
    w->MemoSource().SetModified(false);
  }

  // Files only, any letter case, sorted regardless of case; an empty folder and a
  // missing one; ".x" inserts but does not preview; a preview disables both buttons.
  void listsAndButtons() {
    QTemporaryDir dir;
    for (const char* name : {"SHIP.BMP", "a.wav", "notes.txt", "tank.x", "Tank.3DS", "intro.avi",
                             "tune.Mid", "folder.bmp/inner.bmp"})
      Touch(dir.filePath(name));
    QDir().mkpath(dir.filePath("empty"));
    TAppFixture f;
    OpenWith(f, dir.filePath("main.zba").toStdString(), "");
    f.M().Settings().InternalWAV = false;
    f.M().Settings().WAVPath = "player";
    QStringList started;
    f.M().SetDetachedStarter([&](const QString& program, const QStringList& args, QString*) {
      started = QStringList{program} + args;
      return true;
    });
    TmBrowseDlg d(f.M());
    d.show();
    QCOMPARE(ListNames(d), QString("a.wav intro.avi SHIP.BMP Tank.3DS tank.x tune.Mid").split(' '));
    QVERIFY(!d.FolderMessage()->isVisibleTo(&d));
    QVERIFY(!d.cmPreview()->isEnabled() && !d.cmInsert()->isEnabled());

    const struct {
      const char* Name;
      bool Preview;
    } picks[] = {{"tank.x", false}, {"Tank.3DS", false}, {"SHIP.BMP", true}, {"a.wav", true}};
    for (const auto& p : picks) {
      QVERIFY(Select(d, p.Name));
      QCOMPARE(d.cmPreview()->isEnabled(), p.Preview);
      QVERIFY(d.cmInsert()->isEnabled());
    }
    d.cmPreview()->click();
    QCOMPARE(started, (QStringList{"player", dir.filePath("a.wav")}));
    QVERIFY(!d.cmPreview()->isEnabled() && !d.cmInsert()->isEnabled());

    d.diredit()->setText(dir.filePath("empty"));
    QVERIFY(ListNames(d).isEmpty());
    QVERIFY(!d.FolderMessage()->isVisibleTo(&d));
    QVERIFY(!d.cmPreview()->isEnabled() && !d.cmInsert()->isEnabled());
    d.diredit()->setText(dir.filePath("missing"));
    QVERIFY(ListNames(d).isEmpty());
    QVERIFY(d.FolderMessage()->isVisibleTo(&d));
    QCOMPARE(d.FolderMessage()->text(), f.M().UiText("MediaFolderNotFound"));
    QVERIFY(f.Dialogs->Errors.isEmpty() && f.Dialogs->Messages.isEmpty());
  }

  // The picture viewer, a corrupt picture and MIDI music: an error box naming the file,
  // no viewer left behind.
  void builtInViewers() {
    QTemporaryDir dir;
    const QString small = dir.filePath("small.bmp"), wide = dir.filePath("wide.bmp");
    QImage(40, 30, QImage::Format_RGB32).save(small, "BMP");
    QImage(5000, 20, QImage::Format_RGB32).save(wide, "BMP");
    const QString corrupt = dir.filePath("corrupt.bmp");
    WriteBytes(corrupt.toStdString(), "BM\x10\0\0\0garbage that is no picture");
    Touch(dir.filePath("tune.mid"));
    TAppFixture f;

    f.M().PreviewMediaFile(small.toStdString());
    f.M().PreviewMediaFile(wide.toStdString());
    QList<Tbitmapdlg*> viewers = PictureViewers();
    QCOMPARE(viewers.size(), 2); // one window per preview
    std::sort(viewers.begin(), viewers.end(),
              [](auto* a, auto* b) { return a->Picture().width() < b->Picture().width(); });
    QCOMPARE(viewers[0]->windowTitle(), small);
    QCOMPARE(viewers[0]->Picture().size(), QSize(40, 30));
    QCOMPARE(viewers[0]->XLabel()->text(), QString("X: 0"));
    QVERIFY(viewers[0]->width() >= 128);
    // Larger than the screen: the window stays on it and the picture scrolls.
    QVERIFY(viewers[1]->width() < 5000);
    QTRY_VERIFY(viewers[1]->Scroller()->horizontalScrollBar()->maximum() > 0);
    QPointer<Tbitmapdlg> closed = viewers[0];
    closed->close();
    QTRY_VERIFY(closed.isNull());
    viewers[1]->close();

    f.M().PreviewMediaFile(corrupt.toStdString());
    QCOMPARE(f.Dialogs->Errors.size(), 1);
    QVERIFY(f.Dialogs->Errors[0].startsWith("\"" + corrupt + "\": "));
    f.M().PreviewMediaFile(dir.filePath("tune.mid").toStdString());
    QCOMPARE(f.Dialogs->Errors.size(), 2);
    QCOMPARE(f.Dialogs->Errors[1],
             "\"" + dir.filePath("tune.mid") + "\" " + f.M().UiText("MediaNoMidi"));
    QTRY_COMPARE(PictureViewers().size(), 0);
  }

#ifdef MARLO_HAVE_MULTIMEDIA
  // A sound that cannot be played: an error box naming the file, and the player's window
  // gone rather than left empty.
  void unplayableSoundIsReported() {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.wav");
    WriteBytes(bad.toStdString(), "RIFF but no sound at all");
    TAppFixture f;
    f.M().PreviewMediaFile(bad.toStdString());
    QTRY_COMPARE_WITH_TIMEOUT(f.Dialogs->Errors.size(), 1, 20000);
    QVERIFY(f.Dialogs->Errors[0].startsWith("\"" + bad + "\": "));
    QTRY_VERIFY(!f.M().findChild<TMediaDlg*>());
  }

  // A sound plays, Step pauses and moves a second on; without a sound device the sound
  // is reported instead.
  void playsAWave() {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.wav");
    // Two seconds of silence: 8 kHz, 8 bits, mono.
    const std::string wav =
        std::string("RIFF\x44\x3e\0\0WAVEfmt ", 16) +
        std::string("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 20) +
        std::string("data\x80\x3e\0\0", 8) + std::string(16000, '\x80');
    WriteBytes(good.toStdString(), wav);
    TAppFixture f;
    f.M().PreviewMediaFile(good.toStdString());
    QPointer<TMediaDlg> d = f.M().findChild<TMediaDlg*>();
    QVERIFY(d);
    if (QMediaDevices::audioOutputs().isEmpty()) {
      QTRY_COMPARE_WITH_TIMEOUT(f.Dialogs->Errors.size(), 1, 20000);
      QCOMPARE(f.Dialogs->Errors[0], "\"" + good + "\": " + f.M().UiText("MediaNoSound"));
      QTRY_VERIFY(d.isNull());
      return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(d->Player()->duration() > 0, 20000);
    d->StepClick(1);
    QCOMPARE(d->Player()->playbackState(), QMediaPlayer::PausedState);
    QVERIFY(f.Dialogs->Errors.isEmpty());
    d->close();
  }
#endif

  // External viewers get the file as one argument, detached; a refusal is said once.
  void externalViewersAndPreviewAtCursor() {
    QTemporaryDir dir;
    const QString viewer = dir.filePath("my viewer");
    Touch(viewer);
    Touch(dir.filePath("Pics/Space Ship.BMP"));
    TAppFixture f;
    TSettings& s = f.M().Settings();
    s.InternalBMP = false;
    s.BMPPath = viewer.toStdString();
    s.XPath = "wine \"C:/x view.exe\"";
    QStringList started;
    bool refuse = false;
    f.M().SetDetachedStarter([&](const QString& program, const QStringList& args, QString*) {
      started = QStringList{program} + args;
      return !refuse;
    });
    const std::string line = R"(load "pics\space ship.bmp" : x "tank.x" : "gone.bmp")";
    TWindowForm* w = OpenWith(f, dir.filePath("main.zba").toStdString(), line);
    TCustomMemoSource& m = w->MemoSource();
    auto previewAt = [&](const char* text) {
      started.clear();
      m.SetCaret(static_cast<int>(line.find(text)) + 1, 0);
      w->rcmenuPopup();
      QVERIFY(w->ContextAction("OpenFileatCursor1")->isEnabled());
      w->ContextAction("OpenFileatCursor1")->trigger();
    };
    previewAt("space");
    QCOMPARE(started, (QStringList{viewer, dir.filePath("Pics/Space Ship.BMP")}));
    Touch(dir.filePath("tank.x"));
    previewAt("tank");
    QCOMPARE(started, (QStringList{"wine", "C:/x view.exe", dir.filePath("tank.x")}));
    previewAt("gone");
    QVERIFY(started.isEmpty());
    QCOMPARE(f.Dialogs->Errors, QStringList{"\"gone.bmp\" " + f.M().UiText("WindowNotFound")});

    refuse = true;
    f.M().PreviewMediaFile(dir.filePath("Pics/Space Ship.BMP").toStdString());
    QCOMPARE(f.Dialogs->Messages, QStringList{f.M().UiText("ErrorRunningBrowser") + " \"" +
                                              dir.filePath("Pics/Space Ship.BMP") + "\""});
    QVERIFY(PictureViewers().isEmpty());
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::MediaBrowserTest)
#include "media_browser_test.moc"
