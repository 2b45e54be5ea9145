// Edit Options as a user drives it: every control reaches its setting, the store and the
// open windows on OK; Cancel and the close box change nothing; the font caption; the
// media rows' Internal/External rule; a store that cannot be written.
#include "app_test_util.h"
#include "core/platform/registry_store.h"
#include "core/shell/settings.h"
#include "ui/app/total_options_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <map>
#include <vector>

namespace marlo::test {

namespace {

using TValues = std::map<std::string, std::string>;
using TAct = std::function<void(TTotalOptionsDlg&, TFakeDialogs&)>;

void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return WhenModal(act);
    act(w);
  });
}

// Opens Edit Options, runs `act` on it and leaves it by `exit`: a button's name, or
// "close" for the close box.
void RunOptions(TAppFixture& f, const TAct& act, const QString& exit = "cmOK") {
  TFakeDialogs* fake = f.Dialogs;
  WhenModal([=](QWidget* w) {
    auto* d = qobject_cast<TTotalOptionsDlg*>(w);
    if (!d) {
      w->close();
      return;
    }
    act(*d, *fake);
    if (exit == "close")
      d->close();
    else
      d->findChild<QPushButton*>(exit)->click();
  });
  f.M().Action("EditOptions")->trigger();
}

std::string ValueText(const TSettingInfo& info, const TSettingValue& v) {
  return info.Type == platform::rdString ? v.Text : std::to_string(v.Number);
}

TValues SettingValues(const TSettings& s) {
  TValues out;
  for (const TSettingInfo& info : SettingsTable()) out[info.Name] = ValueText(info, info.Get(s));
  return out;
}

TValues StoreValues() {
  TValues out;
  platform::TRegistry reg(platform::DefaultRegistryPath(), platform::raReadOnly);
  if (!reg.OpenKey(kSettingsKey, false)) return out;
  for (const TSettingInfo& info : SettingsTable()) {
    TSettingValue v{info.Type, {}, 0};
    if (info.Type == platform::rdString)
      v.Text = reg.ReadString(info.Name);
    else
      v.Number = reg.ReadInteger(info.Name);
    out[info.Name] = ValueText(info, v);
  }
  return out;
}

// What a window's editor shows of the settings.
std::string Look(TWindowForm* w) {
  TCodeMemo& dm = w->Editor();
  std::string s;
  for (TMemoOption o : {moColorSyntax, moDrawGutter, moLineNumbers}) s += dm.Has(o) ? '1' : '0';
  s += dm.LineHighlight().Visible ? '1' : '0';
  s += " " + std::to_string(w->MemoSource().Options().Bits());
  const TTextStyles& styles = dm.TextStyles();
  for (int i = 0; i < styles.Count(); ++i) {
    const TTextFont& f = styles[i].Font();
    s += "|" + f.Name + "," + std::to_string(f.Height) + "," + std::to_string(f.Color) + "," +
         std::to_string(f.Style.Bits()) + "," + std::to_string(styles[i].Color());
  }
  return s + "|" + std::to_string(dm.MemoColors().Color);
}

std::vector<std::string> Looks(TAppFixture& f) {
  std::vector<std::string> out;
  for (TWindowForm* w : f.M().Documents()) out.push_back(Look(w));
  return out;
}

template <class T> T* Child(TTotalOptionsDlg& d, const char* name) {
  T* child = d.findChild<T*>(name);
  if (!child) qWarning("no control %s", name);
  return child;
}

void Click(TTotalOptionsDlg& d, const char* name) {
  QWidget* w = Child<QWidget>(d, name);
  if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->click(); // also on a page not shown
  else
    QTest::mouseClick(w, Qt::LeftButton);
}

void Type(TTotalOptionsDlg& d, const char* name, const QString& text) {
  Child<QLineEdit>(d, name)->setText(text);
}

QFont PointFont(const char* family, double points, bool bold = false) {
  QFont font(family);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

} // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QByteArray store_;

  // A main window over a store holding the defaults, with two documents open.
  std::unique_ptr<TAppFixture> Fresh() {
    QFile::remove(QString::fromLocal8Bit(store_));
    auto f = std::make_unique<TAppFixture>();
    f->M().show();
    if (!QTest::qWaitForWindowExposed(&f->M())) qWarning("main window not shown");
    f->M().SaveSettingsNow();
    OpenWith(*f, Path(dir_, "a.zba"), "x = 1\r\n");
    OpenWith(*f, Path(dir_, "b.zba"), "rem b\r\n");
    return f;
  }

private slots:
  void initTestCase() {
    store_ = QFile::encodeName(dir_.filePath("registry.reg"));
    qputenv("MARLO_REGISTRY", store_);
  }

  void okUnchangedKeepsSettingsStoreAndWindows() {
    auto f = Fresh();
    // Values a careless round trip would change: bytes that are no valid text, a font
    // size in pixels that is no whole point, a viewer path with Internal still on.
    TSettings& s = f->M().Settings();
    s.CorePath = "/opt/z\xe9/ZB";
    s.EditorFont.Height = -14;
    s.MIDPath = "/usr/bin/timidity";
    s.KTColor = 0x12345678;
    f->M().SaveSettingsNow();
    for (TWindowForm* w : f->M().Documents()) f->M().ApplyEditorSettings(*w);
    const TSettings before = s;
    const std::string bytes = ReadBytes(store_.toStdString());
    const auto looks = Looks(*f);
    RunOptions(*f, [](TTotalOptionsDlg& d, TFakeDialogs&) {
      QVERIFY(Child<QRadioButton>(d, "rbinternal_mid")->isChecked());
    });
    QVERIFY(f->M().Settings() == before);
    QCOMPARE(ReadBytes(store_.toStdString()), bytes);
    QVERIFY(Looks(*f) == looks);
    QVERIFY(f->Dialogs->Errors.isEmpty());
  }

  void everyControlReachesSettingStoreAndWindows() {
    struct TRow {
      const char* Control;
      TAct Change;
      TValues Expect;
      bool Shown; // the editors show the change
    };
    const TAct toggle = [](TTotalOptionsDlg&, TFakeDialogs&) {};
    const auto browse = [](const char* edit, const char* chosen) -> TAct {
      return [edit, chosen](TTotalOptionsDlg& d, TFakeDialogs& fake) {
        fake.OpenNames.push_back(chosen);
        fake.FolderNames.push_back(chosen);
        Click(d, (std::string(edit) + "Browse").c_str());
      };
    };
    const auto type = [](const char* edit, const char* text) -> TAct {
      return [edit, text](TTotalOptionsDlg& d, TFakeDialogs&) { Type(d, edit, text); };
    };
    const std::vector<TRow> rows = {
        {"cbSyntaxHighlight", toggle, {{"Highlight Syntax", "0"}}, true},
        {"cbShowGutter", toggle, {{"Show Gutter", "0"}}, true},
        {"cbShowLineNumbers", toggle, {{"Show Numbers", "0"}}, true},
        {"cbPastEOL", toggle, {{"Past EOL", "1"}}, true},
        {"cbLeftGoesUp", toggle, {{"Left Arrow Up", "1"}}, false},
        {"cbHighlightLine", toggle, {{"Highlight Line", "0"}}, true},
        {"cbAutoIndent", toggle, {{"Auto Indent", "0"}}, true},
        {"cbAutoSave", toggle, {{"Auto Save", "0"}}, true},
        {"cbBackup", toggle, {{"Save Backups", "0"}}, false},
        {"cbStructs", toggle, {{"Struct Enabled", "1"}}, false},
        {"cbDefines", toggle, {{"Define Enabled", "1"}}, false},
        {"cbGlobals", toggle, {{"Global Enabled", "1"}}, false},
        {"cbRestoreSession", toggle, {{"Restore Session", "0"}}, false},
        {"cbBoldReserved", toggle, {{"Keywords Style", ""}}, true},
        {"cbItalicReserved", toggle, {{"Keywords Style", "BI"}}, true},
        {"cbUnderlineReserved", toggle, {{"Keywords Style", "BU"}}, true},
        {"cbStrikeReserved", toggle, {{"Keywords Style", "BS"}}, true},
        {"cbItalicRemarks", toggle, {{"Comments Style", ""}}, true},
        {"cbBoldRemarks", toggle, {{"Comments Style", "BI"}}, true},
        {"cbStrikeStrings", toggle, {{"Strings Style", "S"}}, true},
        {"cbitalicNumbers", toggle, {{"Numbers Style", "BI"}}, true},
        {"cbUnderlineNumbers", toggle, {{"Numbers Style", "BU"}}, true},
        {"textcolorreserved", toggle, {{"KTColor", "197121"}}, true},
        {"backcolorreserved", toggle, {{"KBColor", "197121"}}, true},
        {"textcolorremarks", toggle, {{"CTColor", "197121"}}, true},
        {"backcolorremarks", toggle, {{"CBColor", "197121"}}, true},
        {"textcolorstrings", toggle, {{"STColor", "197121"}}, true},
        {"backcolorstrings", toggle, {{"SBColor", "197121"}}, true},
        {"textcolornumbers", toggle, {{"NTColor", "197121"}}, true},
        {"backcolornumbers", toggle, {{"NBColor", "197121"}}, true},
        {"fontcolor", toggle, {{"Font Color", "197121"}}, true},
        {"defaultbackcolor", toggle, {{"Background Color", "197121"}}, true},
        {"cmSetFont",
         [](TTotalOptionsDlg& d, TFakeDialogs& fake) {
           QFont font = PointFont("DejaVu Sans Mono", 12, true);
           font.setStrikeOut(true);
           fake.FontAnswers.push_back(font);
           Click(d, "cmSetFont");
         },
         {{"Font Name", "DejaVu Sans Mono"}, {"Font Size", "12"}, {"Font Style", "BS"}},
         true},
        {"ZBexepath", browse("ZBexepath", "/opt/zb/ZB"), {{"Core Path", "/opt/zb/ZB"}}, false},
        {"HTMLEXEPath",
         browse("HTMLEXEPath", "/usr/bin/my browser"),
         {{"Browser Path", "/usr/bin/my browser"}},
         false},
        {"HTMLHelppath",
         browse("HTMLHelppath", "/h/menu.htm"),
         {{"Help Path", "/h/menu.htm"}},
         false},
        {"DefaultPath",
         browse("DefaultPath", "/src/games"),
         {{"Source Path", "/src/games"}},
         false},
        {"compile_switch", type("compile_switch", "-C"), {{"Check Switch", "-C"}}, false},
        {"execute_switch", type("execute_switch", "-run"), {{"Execute Switch", "-run"}}, false},
        {"exe_switch", type("exe_switch", ""), {{"EXE Switch", ""}}, false},
        {"final_switch", type("final_switch", "-F x"), {{"Final Switch", "-F x"}}, false},
        {"rbexternal_mid", toggle, {{"Internal MID", "0"}}, false},
        {"rbexternal_bmp", toggle, {{"Internal BMP", "0"}}, false},
        {"select_wav_path",
         browse("select_wav_path", "/usr/bin/aplay"),
         {{"WAV Path", "/usr/bin/aplay"}, {"Internal WAV", "0"}},
         false},
        {"select_3ds_path", type("select_3ds_path", "/v/3ds"), {{"3DS Path", "/v/3ds"}}, false},
        {"select_x_path", type("select_x_path", "/v/x"), {{"X Path", "/v/x"}}, false},
        {"select_avi_path",
         type("select_avi_path", "/v/avi"),
         {{"AVI Path", "/v/avi"}, {"Internal AVI", "0"}},
         false},
    };
    for (const TRow& row : rows) {
      auto f = Fresh();
      f->Dialogs->ColorAnswer = QColor(1, 2, 3);
      const TValues before = SettingValues(f->M().Settings());
      const auto looks = Looks(*f);
      RunOptions(*f, [&](TTotalOptionsDlg& d, TFakeDialogs& fake) {
        if (qobject_cast<QCheckBox*>(Child<QWidget>(d, row.Control)) ||
            qobject_cast<QRadioButton*>(Child<QWidget>(d, row.Control)) ||
            qobject_cast<TColorPanel*>(Child<QWidget>(d, row.Control)))
          Click(d, row.Control);
        else
          row.Change(d, fake);
      });
      TValues expected = before;
      for (const auto& [name, value] : row.Expect) expected[name] = value;
      const QByteArray what = row.Control;
      QVERIFY2(SettingValues(f->M().Settings()) == expected, what);
      QVERIFY2(StoreValues() == expected, what);
      QCOMPARE(f->M().OpenDialogFolder(), f->M().Settings().SourcePath);
      QCOMPARE(f->M().SaveDialogFolder(), f->M().Settings().SourcePath);
      // Every open window looks as one opened now, which takes the settings at creation.
      OpenWith(*f, Path(dir_, "c.zba"), "x = 2\r\n");
      const auto now = Looks(*f);
      QVERIFY2(now[0] == now[2] && now[1] == now[2], what);
      QVERIFY2((now[0] != looks[0]) == row.Shown, what);
      QVERIFY2(f->Dialogs->Errors.isEmpty(), what);
    }
  }

  void browseDialogsAskForProgramsHelpAndFolder() {
    auto f = Fresh();
    RunOptions(
        *f,
        [](TTotalOptionsDlg& d, TFakeDialogs&) {
          for (const char* edit : {"ZBexepath", "HTMLEXEPath", "HTMLHelppath", "DefaultPath",
                                   "select_mid_path", "select_avi_path"})
            Click(d, (std::string(edit) + "Browse").c_str());
        },
        "cmCancel");
    const QList<TFileDialogSetup>& asked = f->Dialogs->OpenSpecs;
    QCOMPARE(asked.size(), 5);
    const QStringList titles = {
        "Select Zorbic Executable File", "Select HTML Browser Executable File",
        "Select Default HTML Help File", "Select MIDI Viewer", "Select AVI Viewer"};
    for (int i = 0; i < asked.size(); ++i) {
      QCOMPARE(asked[i].Title, titles[i]);
      const bool help = i == 2;
      QCOMPARE(asked[i].Filters.first(),
               help ? QString("Html Files (*.htm *.html)") : QString("All Files (*)"));
      QCOMPARE(asked[i].DefaultSuffix, help ? QString("htm") : QString());
    }
    QCOMPARE(f->Dialogs->FolderTitles, QStringList{"Select Default Source Code Path"});
  }

  void cancelAndCloseBoxChangeNothing() {
    for (const QString exit : {"cmCancel", "close"}) {
      auto f = Fresh();
      f->Dialogs->ColorAnswer = QColor(Qt::red);
      const TSettings before = f->M().Settings();
      const std::string bytes = ReadBytes(store_.toStdString());
      const auto looks = Looks(*f);
      RunOptions(
          *f,
          [](TTotalOptionsDlg& d, TFakeDialogs& fake) {
            fake.FontAnswers.push_back(PointFont("DejaVu Sans Mono", 20));
            for (const char* name : {"cmSetFont", "cbShowGutter", "cbBoldReserved",
                                     "defaultbackcolor", "textcolorremarks", "rbexternal_bmp"})
              Click(d, name);
            Type(d, "ZBexepath", "/elsewhere");
            Type(d, "select_wav_path", "/usr/bin/aplay");
          },
          exit);
      QVERIFY2(f->M().Settings() == before, qPrintable(exit));
      QCOMPARE(ReadBytes(store_.toStdString()), bytes);
      QVERIFY(Looks(*f) == looks);
    }
  }

  void fontCaptionCountsWholePoints() {
    struct TRow {
      const char* Name;
      std::function<QFont()> Chosen; // null: the font dialog is cancelled
      const char* Caption;
      int Pixels; // of the samples
    };
    const std::vector<TRow> rows = {
        {"points", [] { return PointFont("Courier New", 12); }, "12 pt. Courier New", 16},
        {"half point", [] { return PointFont("Courier New", 10.5); }, "11 pt. Courier New", 15},
        {"pixels",
         [] {
           QFont font("Mono");
           font.setPixelSize(16);
           return font;
         },
         "12 pt. Mono", 16},
        {"one pixel",
         [] {
           QFont font("Mono");
           font.setPixelSize(1);
           return font;
         },
         "1 pt. Mono", 1},
        {"cancelled", nullptr, "10 pt. Courier New", 13},
    };
    for (const TRow& row : rows) {
      auto f = Fresh();
      f->M().Settings().EditorFont.Name = "Courier New";
      QString caption;
      int samplePixels = 0;
      bool sampleItalic = false;
      RunOptions(
          *f,
          [&](TTotalOptionsDlg& d, TFakeDialogs& fake) {
            QCOMPARE(Child<QLabel>(d, "displayeditorfont")->text(), QString("10 pt. Courier New"));
            Click(d, "cbItalicReserved");
            fake.FontAnswers.push_back(row.Chosen ? std::optional(row.Chosen()) : std::nullopt);
            Click(d, "cmSetFont");
            caption = Child<QLabel>(d, "displayeditorfont")->text();
            const QFont sample = Child<QLabel>(d, "ebreserved")->font();
            samplePixels = sample.pixelSize();
            sampleItalic = sample.italic() && sample.bold();
          },
          "cmCancel");
      QCOMPARE(f->Dialogs->FontStarts.size(), 1);
      QCOMPARE(f->Dialogs->FontStarts[0].pointSize(), 10);
      QCOMPARE(caption, QString(row.Caption));
      QVERIFY2(samplePixels == row.Pixels, row.Name);
      QVERIFY2(sampleItalic, row.Name); // the sample keeps its own style
    }
    // A stored size that is no size at all still shows a whole point.
    for (const int height : {0, 1, -1, 20}) {
      auto f = Fresh();
      f->M().Settings().EditorFont.Height = height;
      QString caption;
      RunOptions(
          *f,
          [&](TTotalOptionsDlg& d, TFakeDialogs&) {
            caption = Child<QLabel>(d, "displayeditorfont")->text();
          },
          "cmCancel");
      QVERIFY2(!caption.startsWith("-") && !caption.startsWith("0 "), qPrintable(caption));
    }
  }

  void mediaRowsFollowTheirPaths() {
    auto f = Fresh();
    TSettings& s = f->M().Settings();
    s.MIDPath = "/usr/bin/timidity"; // loaded with Internal on: stays Internal
    s.InternalBMP = false;           // loaded External without a path: stays External
    s.Internal3DS = true;
    RunOptions(*f, [](TTotalOptionsDlg& d, TFakeDialogs&) {
      const auto internal = [&](const char* name) {
        return Child<QRadioButton>(d, name)->isChecked();
      };
      QVERIFY(internal("rbinternal_mid") && !internal("rbexternal_mid"));
      QVERIFY(!internal("rbinternal_bmp") && internal("rbexternal_bmp"));
      QVERIFY(internal("rbinternal_3ds"));
      QVERIFY(!Child<QRadioButton>(d, "rbinternal_3ds")->isEnabled());
      QVERIFY(!Child<QRadioButton>(d, "rbinternal_x")->isEnabled());
      QVERIFY(Child<QRadioButton>(d, "rbInternal_AVI")->isEnabled());
      Type(d, "select_wav_path", "/usr/bin/aplay");
      QVERIFY(internal("rbexternal_wav") && !internal("rbinternal_wav"));
      Type(d, "select_wav_path", "");
      QVERIFY(internal("rbinternal_wav") && !internal("rbexternal_wav"));
      Type(d, "select_3ds_path", "/v");
      Type(d, "select_3ds_path", "");
      QVERIFY(internal("rbinternal_3ds"));
      Type(d, "select_x_path", "/v/x");
    });
    QVERIFY(s.InternalMID && s.InternalWAV && !s.InternalBMP && s.Internal3DS && !s.InternalX);
    QCOMPARE(s.MIDPath, std::string("/usr/bin/timidity"));
  }

  void storeThatCannotBeWrittenSaysSoOnceAndStillApplies() {
    auto f = Fresh();
    const auto looks = Looks(*f);
    QTemporaryDir bad;
    WriteBytes(Path(bad, "file"), "x");
    qputenv("MARLO_REGISTRY", QFile::encodeName(bad.filePath("file/registry.reg")));
    RunOptions(*f, [](TTotalOptionsDlg& d, TFakeDialogs&) {
      Click(d, "cbShowGutter");
      Type(d, "DefaultPath", "/src");
    });
    qputenv("MARLO_REGISTRY", store_);
    QCOMPARE(f->Dialogs->Errors.size(), 1);
    QVERIFY(!f->M().Settings().ShowGutter);
    QCOMPARE(f->M().OpenDialogFolder(), std::string("/src"));
    const auto now = Looks(*f);
    QVERIFY(now[0] != looks[0] && now[1] != looks[1]);
  }
};

} // namespace marlo::test

QTEST_MAIN(marlo::test::OptionsDialogTest)
#include "options_dialog_test.moc"
