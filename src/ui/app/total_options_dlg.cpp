#include "ui/app/total_options_dlg.h"

#include "core/shell/font_caption.h"
#include "ui/app/main_form.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/editor/qt_font_metrics.h"
#include "ui/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace marlo {

namespace {

struct TSwitchInfo {
  const char* Name;
  bool TSettings::*Field;
};

// The editor page's check boxes, in the order they are shown.
constexpr std::array<TSwitchInfo, 13> kSwitches{{
    {"cbSyntaxHighlight", &TSettings::HighlightSyntax},
    {"cbShowGutter", &TSettings::ShowGutter},
    {"cbShowLineNumbers", &TSettings::ShowNumbers},
    {"cbPastEOL", &TSettings::PastEOL},
    {"cbLeftGoesUp", &TSettings::LeftArrowUp},
    {"cbHighlightLine", &TSettings::HighlightLine},
    {"cbAutoIndent", &TSettings::AutoIndent},
    {"cbAutoSave", &TSettings::AutoSave},
    {"cbBackup", &TSettings::SaveBackups},
    {"cbStructs", &TSettings::StructEnabled},
    {"cbDefines", &TSettings::DefineEnabled},
    {"cbGlobals", &TSettings::GlobalEnabled},
    {"cbRestoreSession", &TSettings::RestoreSession},
}};

struct TStyleInfo {
  const char* Sample;
  std::array<const char*, 4> Boxes; // bold, italic, underline, strike-out
  const char* TextPanel;
  const char* BackPanel;
  TFontStyles TSettings::*Style;
  TColor TSettings::*TextColor;
  TColor TSettings::*BackColor;
};

constexpr std::array<TFontStyle, 4> kBoxStyles{fsBold, fsItalic, fsUnderline, fsStrikeOut};

constexpr std::array<TStyleInfo, 4> kStyles{{
    {"ebreserved",
     {"cbBoldReserved", "cbItalicReserved", "cbUnderlineReserved", "cbStrikeReserved"},
     "textcolorreserved",
     "backcolorreserved",
     &TSettings::KeywordsStyle,
     &TSettings::KTColor,
     &TSettings::KBColor},
    {"ebremarks",
     {"cbBoldRemarks", "cbItalicRemarks", "cbUnderlineRemarks", "cbStrikeRemarks"},
     "textcolorremarks",
     "backcolorremarks",
     &TSettings::CommentsStyle,
     &TSettings::CTColor,
     &TSettings::CBColor},
    {"ebstrings",
     {"cbBoldStrings", "cbItalicStrings", "cbUnderlineStrings", "cbStrikeStrings"},
     "textcolorstrings",
     "backcolorstrings",
     &TSettings::StringsStyle,
     &TSettings::STColor,
     &TSettings::SBColor},
    {"ebnumbers",
     {"cbBoldNumbers", "cbitalicNumbers", "cbUnderlineNumbers", "cbStrikeNumbers"},
     "textcolornumbers",
     "backcolornumbers",
     &TSettings::NumbersStyle,
     &TSettings::NTColor,
     &TSettings::NBColor},
}};

enum TBrowse : uint8_t { brProgram, brHelp, brFolder, brNone };

struct TTextInfo {
  const char* Name;
  const char* Label;
  std::string TSettings::*Field;
  TBrowse Browse;
  const char* Title;
};

// The Zorbic page: four paths, then the four switches (shown in their own group).
constexpr std::array<TTextInfo, 8> kTexts{{
    {"ZBexepath", "zorbicprogram", &TSettings::CorePath, brProgram,
     "Select Zorbic Executable File"},
    {"HTMLEXEPath", "PreferredHTML", &TSettings::BrowserPath, brProgram,
     "Select HTML Browser Executable File"},
    {"HTMLHelppath", "HelpFile", &TSettings::HelpPath, brHelp, "Select Default HTML Help File"},
    {"DefaultPath", "DefaultStartupPath", &TSettings::SourcePath, brFolder,
     "Select Default Source Code Path"},
    {"compile_switch", "Compile", &TSettings::CheckSwitch, brNone, ""},
    {"execute_switch", "Execute", &TSettings::ExecuteSwitch, brNone, ""},
    {"exe_switch", "MakeEXE", &TSettings::EXESwitch, brNone, ""},
    {"final_switch", "BuildFinal", &TSettings::FinalSwitch, brNone, ""},
}};
constexpr size_t kPathCount = 4;

struct TMediaInfo {
  const char* Label;
  const char* LabelKey;
  const char* Internal;
  const char* External;
  const char* Path;
  bool TSettings::*InternalField;
  std::string TSettings::*PathField;
  const char* Title;
  bool InternalFixed; // no viewer of our own: the Internal button stays disabled
};

constexpr std::array<TMediaInfo, 6> kMedia{{
    {"MIDIViewer", "OptionsMIDIViewer", "rbinternal_mid", "rbexternal_mid", "select_mid_path",
     &TSettings::InternalMID, &TSettings::MIDPath, "Select MIDI Viewer", false},
    {"WAVViewer", "OptionsWAVViewer", "rbinternal_wav", "rbexternal_wav", "select_wav_path",
     &TSettings::InternalWAV, &TSettings::WAVPath, "Select WAV Viewer", false},
    {"BMPViewer", "OptionsBMPViewer", "rbinternal_bmp", "rbexternal_bmp", "select_bmp_path",
     &TSettings::InternalBMP, &TSettings::BMPPath, "Select BMP Viewer", false},
    {"The3DSViewer", "Options3DSViewer", "rbinternal_3ds", "rbexternal_3ds", "select_3ds_path",
     &TSettings::Internal3DS, &TSettings::Path3DS, "Select 3DS Viewer", true},
    {"XOFViewer", "OptionsXOFViewer", "rbinternal_x", "rbexternal_x", "select_x_path",
     &TSettings::InternalX, &TSettings::XPath, "Select X Viewer", true},
    {"AVIViewer", "OptionsAVIViewer", "rbInternal_AVI", "rbExternal_AVI", "select_avi_path",
     &TSettings::InternalAVI, &TSettings::AVIPath, "Select AVI Viewer", false},
}};

TColor FromQColor(const QColor& c) {
  return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// The text loaded into an edit is kept beside it, so that an edit left alone gives back
// the very bytes it was filled from (a name that is no valid text survives).
constexpr const char* kLoadedText = "marloLoadedText";
constexpr const char* kLoadedBytes = "marloLoadedBytes";

void LoadEdit(QLineEdit* edit, const std::string& bytes) {
  const QString text = PathToQString(bytes);
  edit->setText(text);
  edit->setProperty(kLoadedText, text);
  edit->setProperty(kLoadedBytes, QByteArray::fromStdString(bytes));
}

std::string EditBytes(const QLineEdit* edit) {
  if (edit->text() == edit->property(kLoadedText).toString())
    return edit->property(kLoadedBytes).toByteArray().toStdString();
  return QStringToPath(edit->text());
}

} // namespace

// ---- Colour panel ----------------------------------------------------------------------

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setFixedSize(40, 20);
  setCursor(Qt::PointingHandCursor);
  SetColor(clWhite);
}

void TColorPanel::SetColor(TColor color) {
  color_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(color));
  setPalette(p);
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* e) {
  QFrame::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

// ---- Creation --------------------------------------------------------------------------

TTotalOptionsDlg::TTotalOptionsDlg(TMainForm& main) : QDialog(&main), main_(main) {
  setObjectName("TotalOptionsDlg");
  setWindowTitle(main_.UiText("OptionsCaption"));
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  CreateEditorTab();
  CreateSyntaxTab();
  CreateZBTab();
  CreateMediaTab();

  auto* cmOK = new QPushButton(main_.UiText("OKButton"), this);
  cmOK->setObjectName("cmOK");
  cmOK->setDefault(true);
  auto* cmCancel = new QPushButton(main_.UiText("CancelButton"), this);
  cmCancel->setObjectName("cmCancel");
  connect(cmOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmOK);
  buttons->addWidget(cmCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);

  loading_ = true;
  LoadControls(main_.Settings());
  loading_ = false;

  // 490 by 337, more only when the texts of the language need it.
  setFixedSize(sizeHint().expandedTo(QSize(490, 337)));
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

QLabel* TTotalOptionsDlg::NamedLabel(const char* name, const char* key) {
  auto* label = new QLabel(main_.UiText(key), this);
  label->setObjectName(name);
  return label;
}

QCheckBox* TTotalOptionsDlg::NamedCheck(const char* name) {
  auto* box = new QCheckBox(main_.UiText(std::string("Options") + name), this);
  box->setObjectName(name);
  return box;
}

QLineEdit* TTotalOptionsDlg::NamedEdit(const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  return edit;
}

QWidget* TTotalOptionsDlg::Browsable(QLineEdit* edit, const std::function<void()>& browse) {
  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  auto* button = new QToolButton(box);
  button->setObjectName(edit->objectName() + "Browse");
  button->setText("...");
  connect(button, &QToolButton::clicked, this, browse);
  row->addWidget(edit);
  row->addWidget(button);
  return box;
}

void TTotalOptionsDlg::CreateEditorTab() {
  auto* page = new QWidget;
  page->setObjectName("EditorTab");
  PageControl1->addTab(page, main_.UiText("OptionsEditorTab"));
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);

  displayeditorfont = new QLabel(this);
  displayeditorfont->setObjectName("displayeditorfont");
  displayeditorfont->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  displayeditorfont->setAutoFillBackground(true);
  displayeditorfont->setAlignment(Qt::AlignCenter);
  displayeditorfont->setMinimumHeight(36);
  auto* cmSetFont = new QPushButton(main_.UiText("OptionscmSetFont"), this);
  cmSetFont->setObjectName("cmSetFont");
  cmSetFont->setAutoDefault(false); // Enter is OK, wherever the focus was left
  connect(cmSetFont, &QPushButton::clicked, this, [this] { cmSetFontClick(); });
  fontcolor = new TColorPanel(this);
  fontcolor->setObjectName("fontcolor");
  connect(fontcolor, &TColorPanel::clicked, this, [this] {
    if (ChooseColor(fontcolor)) {
      font_.Color = fontcolor->Color();
      ShowEditorFont();
    }
  });
  defaultbackcolor = new TColorPanel(this);
  defaultbackcolor->setObjectName("defaultbackcolor");
  connect(defaultbackcolor, &TColorPanel::clicked, this, [this] {
    if (ChooseColor(defaultbackcolor)) ShowEditorFont();
  });

  grid->addWidget(NamedLabel("EditorFont", "OptionsEditorFont"), 0, 0);
  grid->addWidget(displayeditorfont, 0, 1, 1, 3);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(cmSetFont);
  fontRow->addWidget(NamedLabel("FontTextColor", "OptionsTextColor"));
  fontRow->addWidget(fontcolor);
  fontRow->addStretch();
  grid->addLayout(fontRow, 1, 1, 1, 3);
  auto* backRow = new QHBoxLayout;
  backRow->addWidget(NamedLabel("DefaultBackground", "OptionsDefaultBackground"));
  backRow->addWidget(defaultbackcolor);
  backRow->addStretch();
  grid->addLayout(backRow, 2, 0, 1, 2);
  // Two columns of six editor switches; the program's own switch, the last, where the
  // background row leaves room, so that the page keeps its height.
  for (size_t i = 0; i + 1 < kSwitches.size(); ++i)
    grid->addWidget(NamedCheck(kSwitches[i].Name), 3 + int(i % 6), int(i / 6) * 2, 1, 2);
  grid->addWidget(NamedCheck(kSwitches.back().Name), 2, 2, 1, 2);
  grid->setRowStretch(9, 1);
}

void TTotalOptionsDlg::CreateSyntaxTab() {
  auto* page = new QWidget;
  page->setObjectName("SyntaxTab");
  PageControl1->addTab(page, main_.UiText("OptionsSyntaxTab"));
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->addWidget(NamedLabel("Identifier", "OptionsIdentifier"), 0, 0);
  grid->addWidget(NamedLabel("TextStyleOptions", "OptionsTextStyleOptions"), 0, 1, 1, 4);
  grid->addWidget(NamedLabel("TextColor", "OptionsTextColor"), 0, 5);
  grid->addWidget(NamedLabel("Backgroundcolor", "OptionsBackgroundColor"), 0, 6);
  static constexpr std::array<const char*, 4> kLetters{"B", "I", "U", "S"};
  for (size_t r = 0; r < kStyles.size(); ++r) {
    const TStyleInfo& info = kStyles[r];
    TStyleRow row;
    row.Sample = NamedLabel(info.Sample, (std::string("Options") + info.Sample).c_str());
    row.Sample->setAutoFillBackground(true);
    row.Sample->setMinimumWidth(110);
    const int y = int(r) + 1;
    grid->addWidget(row.Sample, y, 0);
    for (size_t b = 0; b < 4; ++b) {
      row.Box[b] = new QCheckBox(kLetters[b], this);
      row.Box[b]->setObjectName(info.Boxes[b]);
      grid->addWidget(row.Box[b], y, 1 + int(b));
    }
    row.Text = new TColorPanel(this);
    row.Text->setObjectName(info.TextPanel);
    row.Back = new TColorPanel(this);
    row.Back->setObjectName(info.BackPanel);
    grid->addWidget(row.Text, y, 5);
    grid->addWidget(row.Back, y, 6);
    styles_.push_back(row);
  }
  for (size_t r = 0; r < styles_.size(); ++r) {
    const TStyleRow& row = styles_[r];
    for (QCheckBox* box : row.Box)
      connect(box, &QCheckBox::toggled, this, [this, r] { ShowSample(styles_[r]); });
    for (TColorPanel* panel : {row.Text, row.Back})
      connect(panel, &TColorPanel::clicked, this, [this, r, panel] {
        if (ChooseColor(panel)) ShowSample(styles_[r]);
      });
  }
  grid->setRowStretch(int(kStyles.size()) + 1, 1);
}

void TTotalOptionsDlg::CreateZBTab() {
  auto* page = new QWidget;
  page->setObjectName("ZBTab");
  PageControl1->addTab(page, main_.UiText("OptionsZBTab"));
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);
  auto* group = new QGroupBox(main_.UiText("OptionsCommandLine"), this);
  group->setObjectName("CommandLine");
  auto* switches = new QGridLayout(group);
  for (size_t i = 0; i < kTexts.size(); ++i) {
    const TTextInfo& info = kTexts[i];
    QLineEdit* edit = NamedEdit(info.Name);
    QLabel* label = NamedLabel(info.Label, (std::string("Options") + info.Label).c_str());
    if (i < kPathCount) {
      std::function<void()> browse;
      switch (info.Browse) {
      case brProgram:
        browse = [this, edit, title = info.Title] { BrowseProgram(edit, title); };
        break;
      case brHelp:
        browse = [this] { BrowseHelpFile(); };
        break;
      default:
        browse = [this] { BrowseFolder(); };
        break;
      }
      grid->addWidget(label, int(i), 0);
      grid->addWidget(Browsable(edit, browse), int(i), 1);
    } else {
      edit->setMaximumWidth(110); // a switch is a few letters
      const int k = int(i - kPathCount);
      switches->addWidget(label, k / 2, (k % 2) * 2);
      switches->addWidget(edit, k / 2, (k % 2) * 2 + 1);
    }
  }
  grid->addWidget(group, int(kPathCount), 0, 1, 2);
  grid->setRowStretch(int(kPathCount) + 1, 1);
}

void TTotalOptionsDlg::CreateMediaTab() {
  auto* page = new QWidget;
  page->setObjectName("MediaTab");
  PageControl1->addTab(page, main_.UiText("OptionsMediaTab"));
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);
  for (size_t r = 0; r < kMedia.size(); ++r) {
    const TMediaInfo& info = kMedia[r];
    TMediaRow row;
    row.Internal = new QRadioButton(main_.UiText("OptionsInternal"), this);
    row.Internal->setObjectName(info.Internal);
    row.Internal->setEnabled(!info.InternalFixed);
    row.External = new QRadioButton(main_.UiText("OptionsExternal"), this);
    row.External->setObjectName(info.External);
    auto* pair = new QButtonGroup(this);
    pair->addButton(row.Internal);
    pair->addButton(row.External);
    row.Path = NamedEdit(info.Path);
    const int y = int(r);
    grid->addWidget(NamedLabel(info.Label, info.LabelKey), y, 0);
    grid->addWidget(row.Internal, y, 1);
    grid->addWidget(row.External, y, 2);
    QLineEdit* edit = row.Path;
    grid->addWidget(
        Browsable(edit, [this, edit, title = info.Title] { BrowseProgram(edit, title); }), y, 3);
    media_.push_back(row);
    connect(edit, &QLineEdit::textChanged, this, [this, r] { MediaPathEdited(media_[r]); });
  }
  grid->setRowStretch(int(kMedia.size()), 1);
}

// ---- Filling and reading back ------------------------------------------------------------

void TTotalOptionsDlg::LoadControls(const TSettings& s) {
  font_ = s.EditorFont;
  fontcolor->SetColor(font_.Color);
  defaultbackcolor->SetColor(s.BackgroundColor);
  for (size_t i = 0; i < kSwitches.size(); ++i)
    findChild<QCheckBox*>(kSwitches[i].Name)->setChecked(s.*kSwitches[i].Field);
  for (size_t r = 0; r < kStyles.size(); ++r) {
    const TStyleInfo& info = kStyles[r];
    TStyleRow& row = styles_[r];
    for (size_t b = 0; b < 4; ++b) row.Box[b]->setChecked((s.*info.Style).Has(kBoxStyles[b]));
    row.Text->SetColor(s.*info.TextColor);
    row.Back->SetColor(s.*info.BackColor);
  }
  for (const TTextInfo& info : kTexts) LoadEdit(findChild<QLineEdit*>(info.Name), s.*info.Field);
  for (size_t r = 0; r < kMedia.size(); ++r) {
    const bool internal = s.*kMedia[r].InternalField;
    media_[r].Internal->setChecked(internal);
    media_[r].External->setChecked(!internal);
    LoadEdit(media_[r].Path, s.*kMedia[r].PathField);
  }
  ShowEditorFont();
}

TSettings TTotalOptionsDlg::Edited(const TSettings& base) const {
  TSettings s = base;
  s.EditorFont = font_;
  s.BackgroundColor = defaultbackcolor->Color();
  for (const TSwitchInfo& info : kSwitches)
    s.*info.Field = findChild<QCheckBox*>(info.Name)->isChecked();
  for (size_t r = 0; r < kStyles.size(); ++r) {
    const TStyleInfo& info = kStyles[r];
    const TStyleRow& row = styles_[r];
    TFontStyles style;
    for (size_t b = 0; b < 4; ++b) style.Set(kBoxStyles[b], row.Box[b]->isChecked());
    s.*info.Style = style;
    s.*info.TextColor = row.Text->Color();
    s.*info.BackColor = row.Back->Color();
  }
  for (const TTextInfo& info : kTexts) s.*info.Field = EditBytes(findChild<QLineEdit*>(info.Name));
  for (size_t r = 0; r < kMedia.size(); ++r) {
    s.*kMedia[r].InternalField = !media_[r].External->isChecked();
    s.*kMedia[r].PathField = EditBytes(media_[r].Path);
  }
  return s;
}

// ---- Samples -------------------------------------------------------------------------------

void TTotalOptionsDlg::ShowEditorFont() {
  displayeditorfont->setText(QString::fromStdString(FontCaption(font_)));
  displayeditorfont->setFont(TQtFontMetrics::MakeFont(font_));
  QPalette p = displayeditorfont->palette();
  p.setColor(QPalette::WindowText, ToQColor(font_.Color));
  p.setColor(QPalette::Window, ToQColor(defaultbackcolor->Color()));
  displayeditorfont->setPalette(p);
  for (const TStyleRow& row : styles_) ShowSample(row);
}

void TTotalOptionsDlg::ShowSample(const TStyleRow& row) {
  TTextFont f = font_;
  f.Style = {};
  for (size_t b = 0; b < 4; ++b) f.Style.Set(kBoxStyles[b], row.Box[b]->isChecked());
  row.Sample->setFont(TQtFontMetrics::MakeFont(f));
  QPalette p = row.Sample->palette();
  p.setColor(QPalette::WindowText, ToQColor(row.Text->Color()));
  p.setColor(QPalette::Window, ToQColor(row.Back->Color()));
  row.Sample->setPalette(p);
}

bool TTotalOptionsDlg::ChooseColor(TColorPanel* panel) {
  std::optional<QColor> chosen =
      main_.Dialogs().Color(this, main_.SavedCustomColors(), ToQColor(panel->Color()));
  if (!chosen) return false;
  panel->SetColor(FromQColor(*chosen));
  return true;
}

void TTotalOptionsDlg::cmSetFontClick() {
  QFont initial = TQtFontMetrics::MakeFont(font_);
  initial.setPointSize(FontPoints(font_));
  std::optional<QFont> chosen = main_.Dialogs().Font(this, initial);
  if (!chosen) return;
  font_.Name = chosen->family().toStdString();
  font_.SetSize(WholePoints(chosen->pointSizeF(), chosen->pixelSize()));
  font_.Style = {};
  font_.Style.Set(fsBold, chosen->bold());
  font_.Style.Set(fsItalic, chosen->italic());
  font_.Style.Set(fsUnderline, chosen->underline());
  font_.Style.Set(fsStrikeOut, chosen->strikeOut());
  ShowEditorFont();
}

// ---- Browsing and the media rows ---------------------------------------------------------

void TTotalOptionsDlg::BrowseProgram(QLineEdit* edit, const QString& title) {
  TFileDialogSetup setup;
  setup.Title = title;
  setup.Filters = {"All Files (*)"};
  const QFileInfo current(edit->text());
  if (!edit->text().isEmpty()) {
    setup.Folder = current.absolutePath();
    setup.FileName = current.fileName();
  }
  const QString chosen = main_.Dialogs().OpenFile(this, setup);
  if (!chosen.isEmpty()) edit->setText(chosen);
}

void TTotalOptionsDlg::BrowseHelpFile() {
  auto* edit = findChild<QLineEdit*>("HTMLHelppath");
  TFileDialogSetup setup;
  setup.Title = "Select Default HTML Help File";
  setup.Filters = {"Html Files (*.htm *.html)", "All Files (*)"};
  setup.DefaultSuffix = "htm";
  if (!edit->text().isEmpty()) {
    const QFileInfo current(edit->text());
    setup.Folder = current.absolutePath();
    setup.FileName = current.fileName();
  }
  const QString chosen = main_.Dialogs().OpenFile(this, setup);
  if (!chosen.isEmpty()) edit->setText(chosen);
}

void TTotalOptionsDlg::BrowseFolder() {
  auto* edit = findChild<QLineEdit*>("DefaultPath");
  const QString chosen =
      main_.Dialogs().Folder(this, "Select Default Source Code Path", edit->text());
  if (!chosen.isEmpty()) edit->setText(chosen);
}

void TTotalOptionsDlg::MediaPathEdited(const TMediaRow& row) {
  if (loading_) return;
  // The group keeps one of the pair checked: checking one unchecks the other.
  if (row.Path->text().isEmpty())
    row.Internal->setChecked(true);
  else
    row.External->setChecked(true);
}

} // namespace marlo
